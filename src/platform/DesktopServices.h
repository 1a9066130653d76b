#pragma once
// The desktop behind the service interfaces: message boxes, the save dialog,
// the system clipboard and starting programs or web pages.

#include "platform/Services.h"

namespace platform {

class DesktopMessageService : public MessageService {
public:
    Answer show(const Message& message) override;
};

// The extension a save-dialog filter names ("csv" for "CSV File(*.csv)"),
// empty when it names none ("All Files(*.*)").
QString filterSuffix(const QString& filter);

class DesktopFileDialogService : public FileDialogService {
public:
    QString getSaveFileName(const SaveDialogRequest& request) override;
    // Qt's own dialog instead of the platform's (tests drive it).
    void setUseOwnDialog(bool own) { m_useOwnDialog = own; }

private:
    bool m_useOwnDialog = false;
};

class DesktopClipboardService : public ClipboardService {
public:
    bool setText(const QString& text) override;
    QString text() const override;
};

class DesktopProcessLauncher : public ProcessLauncher {
public:
    bool startDetached(const QString& program, const QStringList& arguments,
                       const QString& workingDirectory = {}) override;
    bool openUrl(const QString& url) override;
};

}  // namespace platform

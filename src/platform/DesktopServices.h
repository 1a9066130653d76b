#pragma once
// The desktop behind the service interfaces: message boxes, the save dialog,
// the system clipboard and starting programs or web pages.

#include "platform/Services.h"

namespace platform {

class DesktopMessageService : public MessageService {
public:
    Answer show(const Message& message) override;
};

class DesktopFileDialogService : public FileDialogService {
public:
    QString getSaveFileName(const SaveDialogRequest& request) override;
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

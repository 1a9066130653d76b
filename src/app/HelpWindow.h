#pragma once
// The user guide: its pages are compiled into the program and shown in a
// window of their own, opened on the contents page. Links to other sites go
// to the default browser.

#include "platform/Services.h"

#include <QUrl>
#include <QWidget>

class QTextBrowser;

namespace app {

class HelpWindow : public QWidget {
    Q_OBJECT

public:
    HelpWindow(platform::ProcessLauncher& launcher, platform::MessageService& messages, QWidget* parent = nullptr);

    // The contents page of the user guide.
    static QUrl contentsPage();

    QTextBrowser* browser() const { return m_browser; }
    void showContents();

private:
    void followLink(const QUrl& link);

    platform::ProcessLauncher& m_launcher;
    platform::MessageService& m_messages;
    QTextBrowser* m_browser = nullptr;
};

// Shows the user guide on its contents page: the window already open for
// `owner`, or a new one.
HelpWindow* showHelpContents(platform::ProcessLauncher& launcher, platform::MessageService& messages, QWidget* owner);

}  // namespace app

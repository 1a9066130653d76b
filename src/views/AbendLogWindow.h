#pragma once
// frmAbendLogs: the halts recorded in one server's SYS:SYSTEM\ABEND.LOG, by
// date and time. A double-click (or Enter) writes the report of the chosen
// halt to a temporary file and opens it in the platform's text viewer. One
// window per server; the list is read once, when the window opens.

#include "viewbase/ViewWindow.h"
#include "views/AbendLog.h"

#include <QString>

class QLabel;
class QListWidget;
class QStatusBar;

namespace views {

class AbendLogWindow : public ViewWindow {
    Q_OBJECT
public:
    static QString captionFor(const QString& server);  // "Abend log for " + server

    AbendLogWindow(views::ViewHost& host, const QString& server, QWidget* parent = nullptr);
    ~AbendLogWindow() override;

    QString server() const;
    QLabel* lblAbendDates() const { return m_server; }
    QListWidget* lstAbendDates() const { return m_list; }
    QStatusBar* StatusBar() const { return m_status; }

    // Reads the server's log into the list ("No Abend log found." when it
    // cannot be read).
    void readLog();
    // Shows what was read of the log.
    void showLog(const AbendLogRead& read);
    // The report of the selected halt, as it goes to the text viewer; empty
    // when nothing (or "No Abend log found.") is selected or the log cannot
    // be read.
    QStringList selectedReport() const;
    // Writes that report to a temporary file and starts the text viewer on
    // it. Returns the file, or an empty text when nothing was shown.
    QString viewSelectedHalt();

protected:
    void activated() override;
    void deactivated() override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layoutControls();

    QLabel* m_server;
    QListWidget* m_list;
    QStatusBar* m_status;
};

// The opening routine: one viewer per selected server; an open viewer of a
// server is only brought to the front. The logs are read side by side; the
// viewers appear in the servers' order, and the first new one shows the
// progress and Stop.
void openAbendLogs(views::ViewHost& host);

}  // namespace views

#pragma once
// frmOpenFiles, "Open Files": the files one connection to a server holds
// open, each with its full path and lock flags, refreshed on a timer. One
// window per chosen connection, opened by "Show Open Files" of the
// "&User Connections" menu from the connections view or the file opens and
// locks view.

#include "connections/FileUse.h"
#include "viewbase/ViewWindow.h"

#include <QString>

class QLabel;
class QPushButton;
class QStatusBar;

namespace widgets {
class FlexGrid;
class RefreshFrame;
}  // namespace widgets

namespace connections {

class OpenFilesWindow : public views::ViewWindow {
    Q_OBJECT
public:
    OpenFilesWindow(views::ViewHost& host, const QString& user, quint16 connectionNumber, const QString& server,
                    QWidget* parent = nullptr);

    widgets::FlexGrid* grdOpenFiles() const { return m_grid; }
    widgets::RefreshFrame* refresh() const { return m_refresh; }
    QLabel* lblOpenFiles() const { return m_count; }
    QLabel* lblUser() const { return m_user; }
    QLabel* lblConnection() const { return m_connection; }
    QLabel* lblServerName() const { return m_serverName; }
    QPushButton* btnClose() const { return m_close; }

    // Rebuilds the list from the server (subListOpenFiles): read on a
    // reading thread, put in here. Returns at once; listingFinished() is
    // emitted at its end. False when refused: a listing is running.
    bool startListing();
    // startListing() and waits for its end while events run. False when it
    // did not run to its end (refused, stopped or closed).
    bool listOpenFiles();
    // Stop: a running listing ends now and changes no row.
    void stopListing();
    bool isListing() const { return m_listing; }

Q_SIGNALS:
    void listingFinished();

protected:
    void loadContents() override;
    void unloadContents() override;
    void fitColumns() override;

private:
    void refreshToggled();
    void refreshTick();
    void fillRows(const QList<OpenFile>& files);

    quint16 m_number;
    QLabel* m_user;
    QLabel* m_connection;
    QLabel* m_serverName;
    QLabel* m_count;
    widgets::FlexGrid* m_grid;
    widgets::RefreshFrame* m_refresh;
    QPushButton* m_close;
    QStatusBar* m_statusBar;
    bool m_listing = false;
    bool m_listed = false;
};

// A new window for one connection, listed at once.
OpenFilesWindow* openOpenFiles(views::ViewHost& host, const QString& user, quint16 connectionNumber,
                               const QString& server);

// "Show Open Files": one window per connection chosen in the active view's
// connection list. Returns the windows opened.
QList<OpenFilesWindow*> showOpenFilesOfChosen(views::ViewHost& host);

}  // namespace connections

#pragma once
// What can be done with connections chosen in a connection list: a broadcast
// message to them, and clearing them. Both take their connections from the
// first connection list of the active view (the connections view's list
// view, or the file opens and locks view's grid) and the server from the
// view's ConnectionSource. The routines that do the work take the list and
// the source directly, so any view with a connection list can call them.

#include "connections/ConnectionSource.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace core {
class AppContext;
}
namespace views {
class ViewHost;
}  // namespace views

namespace widgets {
class FlexGrid;
class ReportListView;
}  // namespace widgets

namespace connections {

// The main window's "&User Connections" menu and its entries, in one place.
namespace userMenu {
// Shows or hides the menu together with "Choose Columns".
void show(views::ViewHost& host, bool shown);
// Enables or disables "Send Message", "Clear Connection" and "Show Open Files".
void enableEntries(views::ViewHost& host, bool enabled);
void enableClear(views::ViewHost& host, bool enabled);
}  // namespace userMenu

// A connection taken from a list: the user text (with "*" for the program's
// own connection in the connections view) and the "Conn #" text as shown.
struct ChosenConnection {
    QString user;
    QString number;
};

// From a list view: the selected rows, first to last.
QList<ChosenConnection> chosenConnections(const widgets::ReportListView& list);
// From a grid: the shown rows from the lower to the higher of the current
// row and the selection end.
QList<ChosenConnection> chosenConnections(const widgets::FlexGrid& grid);
// The first connection list of a window (a list view or a grid), in control order.
QWidget* firstConnectionList(const QWidget* window);

// frmSendMessage, "Send Message": one window gathering the connections of
// every "Send Message" until it is closed.
class SendMessageWindow : public QWidget {
    Q_OBJECT
public:
    SendMessageWindow(core::AppContext& context, QWidget* parent = nullptr);

    widgets::FlexGrid* grdConnectionsList() const { return m_grid; }
    QLineEdit* txtMessage() const { return m_message; }
    QPushButton* btnSend() const { return m_send; }
    QPushButton* btnCancel() const { return m_cancel; }
    QString server() const;

    void addConnections(const QList<ChosenConnection>& chosen);
    void setServer(const QString& server);
    // Sends the message to every listed connection and writes each result.
    void send();

private:
    void fitUserColumn();

    core::AppContext& m_context;
    widgets::FlexGrid* m_grid;
    QLineEdit* m_message;
    QPushButton* m_send;
    QPushButton* m_cancel;
    QLabel* m_server;
};

// "Send Message": shows the one send-message window (made when needed) and
// adds the connections chosen in the active view. Returns the window, or
// null when the active view has no connection list.
SendMessageWindow* sendMessageToChosen(views::ViewHost& host);

// Clears the connections selected in a list view, leaving out the program's
// own; asks first. Rows of cleared connections go; a connection the server
// refused to clear keeps its row and is named in one message afterwards.
// Returns the number of rows removed.
int clearChosenConnections(core::AppContext& context, widgets::ReportListView& list, ConnectionSource& source);

// "Clear Connection" on the active view (list views only; a grid does nothing).
void clearConnectionsOfActiveView(views::ViewHost& host);

}  // namespace connections

#pragma once
// What a view window needs from the main window: the multiple-document area it
// lives in, the selection of the server list, the File/Edit menu switches, the
// hidden pop-up menus that views show as their own, and the opening state.

#include "core/AppContext.h"
#include "viewbase/ViewMenus.h"

#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <QString>
#include <QStringList>

class QAction;
class QMdiArea;
class QMenu;

namespace views {

class ViewHost {
public:
    virtual ~ViewHost() = default;

    virtual core::AppContext& context() = 0;
    virtual QMdiArea* mdiArea() = 0;

    // The texts of the selected entries of lstServers, first to last.
    virtual QStringList selectedServers() const = 0;
    // Number of entries in lstServers (opening does nothing when it is empty).
    virtual int serverCount() const = 0;

    // Enables File/"&Save" and Edit/"Copy" for the caption "Begin &Refresh",
    // disables both for any other caption.
    virtual void enableSaveCopy(const QString& refreshCaption) = 0;
    virtual void setSaveEnabled(bool enabled) = 0;
    virtual void setCopyEnabled(bool enabled) = 0;

    // The hidden pop-up menus of the views and their items; they exist for
    // the whole run.
    virtual const ViewMenus& viewMenus() const = 0;
    QMenu* userConnectionsMenu() const { return viewMenus().userConnections; }
    QAction* sendMessageAction() const { return viewMenus().sendMessage; }
    QAction* showOpenFilesAction() const { return viewMenus().showOpenFiles; }
    QAction* clearConnectionAction() const { return viewMenus().clearConnection; }
    QAction* chooseColumnsAction() const { return viewMenus().chooseColumns; }
    QMenu* setCommandsMenu() const { return viewMenus().setCommands; }
    QAction* removeColumnAction() const { return viewMenus().removeColumn; }
    QMenu* nlmCommandsMenu() const { return viewMenus().nlmCommands; }
    QAction* removeServerAction() const { return viewMenus().removeServer; }
    QMenu* partitionsMenu() const { return viewMenus().partitions; }
    QAction* removePartitionColumnAction() const { return viewMenus().removePartitionColumn; }

    // Shows a menu as a pop-up at a global position and returns when it closes.
    virtual void popupMenu(QMenu* menu, const QPoint& globalPos) = 0;

    // The opening state of views: hourglass pointer, lstServers disabled and,
    // with disableToolBar, the tool bar picButtons too; endOpening restores them.
    virtual void beginOpening(bool disableToolBar) = 0;
    virtual void endOpening() = 0;

    // The view the opening under way creates or reuses (openView, createView
    // and bringToFront note it); null when no view has been named yet.
    QWidget* openedView() const { return m_openedView.data(); }
    void setOpenedView(QWidget* view) { m_openedView = view; }

private:
    QPointer<QWidget> m_openedView;
};

// Holds the opening state for one opening, however it ends. When it ends, the
// view the opening created or reused is the active child window and holds the
// main window's focus, whatever became active meanwhile: a message box shown
// during the opening takes the activation away, and when it comes back the
// focus must not return to the view that was active before.
class OpeningScope {
public:
    OpeningScope(ViewHost& host, bool disableToolBar);
    ~OpeningScope();
    OpeningScope(const OpeningScope&) = delete;
    OpeningScope& operator=(const OpeningScope&) = delete;

private:
    ViewHost& m_host;
    QPointer<QWidget> m_outerView;  // an enclosing opening's view
};

// Shows or hides a menu of the menu bar.
void setMenuShown(QMenu* menu, bool shown);

}  // namespace views

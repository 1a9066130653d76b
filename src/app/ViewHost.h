#pragma once
// What a view window needs from the main window: the multiple-document area it
// lives in, the selection of the server list, the File/Edit menu switches and
// the hidden pop-up menus that views show as their own.

#include "app/AppContext.h"

#include <QPoint>
#include <QString>
#include <QStringList>

class QAction;
class QMdiArea;
class QMenu;
class QWidget;

namespace app {

class ViewHost {
public:
    virtual ~ViewHost() = default;

    virtual AppContext& context() = 0;
    virtual QMdiArea* mdiArea() = 0;

    // The texts of the selected entries of lstServers, first to last.
    virtual QStringList selectedServers() const = 0;
    // Number of entries in lstServers (opening does nothing when it is empty).
    virtual int serverCount() const = 0;

    // Enables File/"&Save" and Edit/"Copy" for the caption "Begin &Refresh",
    // disables both for any other caption.
    virtual void subEnableSaveCopy(const QString& refreshCaption) = 0;
    virtual void setSaveEnabled(bool enabled) = 0;
    virtual void setCopyEnabled(bool enabled) = 0;

    // Menus and items of the main window by object name ("PopMenu_Set_Commands",
    // "Menu_Remove_Column", "PopMenu_NLM_Comands", "PopMenu_Remove_Server", ...).
    virtual QMenu* menu(const QString& objectName) = 0;
    virtual QAction* menuAction(const QString& objectName) = 0;
    // Shows or hides a top-level menu in the menu bar.
    virtual void setMenuVisible(const QString& objectName, bool visible) = 0;
    // Shows a menu as a pop-up at a global position.
    virtual void popupMenu(const QString& objectName, const QPoint& globalPos) = 0;

    // Brings the child window with exactly this caption to the front.
    virtual bool fnActivateOpenForm(const QString& caption) = 0;

    // The opening pattern of views: hourglass pointer, lstServers disabled and,
    // with disableToolBar, the tool bar picButtons too; endOpening restores them.
    virtual void beginOpening(bool disableToolBar) = 0;
    virtual void endOpening() = 0;
};

// Holds the opening state for one opening, however it ends.
class OpeningScope {
public:
    OpeningScope(ViewHost& host, bool disableToolBar) : m_host(host) { m_host.beginOpening(disableToolBar); }
    ~OpeningScope() { m_host.endOpening(); }
    OpeningScope(const OpeningScope&) = delete;
    OpeningScope& operator=(const OpeningScope&) = delete;

private:
    ViewHost& m_host;
};

}  // namespace app

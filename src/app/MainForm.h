#pragma once
// mdiMainForm: the program's only top-level window. A multiple-document frame
// with the tool bar picButtons, the side panel picControls holding the server
// list, and the menu tree whose hidden menus serve as pop-ups of the views.

#include "app/AppContext.h"
#include "app/Commands.h"
#include "app/TableExport.h"
#include "app/ViewHost.h"

#include <QHash>
#include <QMainWindow>
#include <QPoint>
#include <QSize>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <vector>

class QAction;
class QDockWidget;
class QListWidget;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPushButton;
class QToolBar;
class QToolButton;

namespace app {

class OpeningGuard;

class MainForm : public QMainWindow, public ViewHost {
    Q_OBJECT

public:
    explicit MainForm(AppContext& context, QWidget* parent = nullptr);
    ~MainForm() override;

    AppContext& context() override { return m_context; }

    // --- Start-up and shut-down ------------------------------------------------
    enum class LoadResult { Running, ClientMissing };
    // Start-up steps from the client check to the closed splash window.
    LoadResult Form_Load();
    // Closes every child window, saves the geometry, releases the client.
    // Runs once, from whichever close comes first.
    void Form_Unload();
    bool isUnloaded() const { return m_unloaded; }
    // Offscreen renderings start without the splash window.
    void setShowSplash(bool show) { m_showSplash = show; }

    // --- Server list ---------------------------------------------------------------
    // Refills lstAllServers and lstServers and selects the first entry.
    void subGetServerList(const QString& objectClass);
    QListWidget* lstServers() const { return m_lstServers; }
    const QStringList& lstAllServers() const { return m_lstAllServers; }
    void setAllServers(const QStringList& servers) { m_lstAllServers = servers; }
    // Texts of the selected entries of lstServers, first to last.
    QStringList selectedServers() const override;
    int serverCount() const override;

    // --- Child windows ---------------------------------------------------------------
    QMdiArea* mdiArea() override { return m_mdiArea; }
    // Puts a view into the frame; the view's window title is the caption.
    QMdiSubWindow* addChildWindow(QWidget* view);
    // The child window that is current (active when the program is active).
    QMdiSubWindow* activeChild() const;
    // Brings the child window titled exactly `caption` to the front and sets
    // gFoundFormIndex to its position in load order.
    bool fnActivateOpenForm(const QString& caption) override;
    // The child window gFoundFormIndex points at, or null.
    QMdiSubWindow* foundForm() const;

    // --- Commands and views ------------------------------------------------------------
    void setCommand(Command command, CommandHandler handler);
    bool hasCommand(Command command) const;
    void setTableExport(std::unique_ptr<TableExport> exporter);
    TableExport* tableExport() const { return m_tableExport.get(); }

    // --- Menus -------------------------------------------------------------------------
    // The action with this objectName: a menu item, or the title of a (sub-)menu.
    QAction* menuAction(const QString& objectName) override;
    QMenu* menu(const QString& objectName) override;
    // Shows or hides a menu of the menu bar, or a single item.
    void setMenuVisible(const QString& objectName, bool visible) override;
    // Shows the menu as a pop-up at a global position and returns when it closes.
    void popupMenu(const QString& objectName, const QPoint& globalPos) override;
    // Tests replace the modal pop-up with a recorder.
    using PopupPresenter = std::function<void(QMenu*, const QPoint&)>;
    void setPopupPresenter(PopupPresenter presenter) { m_popupPresenter = std::move(presenter); }

    QToolBar* picButtons() const { return m_picButtons; }
    QWidget* picControls() const { return m_picControls; }
    QToolButton* toolButton(Command command) const;

    // --- Handlers ------------------------------------------------------------------------
    void btnServerInfo_Click() { runView(Command::ServerInfo); }
    void btnUtilization_Click() { runView(Command::Utilization); }
    void btnNLMs_Click() { runView(Command::NLMs); }
    void btnSetParameters_Click() { runView(Command::SetParameters); }
    void btnVolume_Click() { runView(Command::Volume); }
    void btnGetConnInfo_Click() { runView(Command::GetConnInfo); }
    void btnPartitions_Click() { runView(Command::Partitions); }
    void btnAbendLog_Click() { runView(Command::AbendLog); }
    void btnFileLocks_Click() { runView(Command::FileLocks); }
    void btnRemoteControl_Click() { runView(Command::RemoteControl); }
    void btnClose_Click();
    void btnServerList_Click();
    void Menu_Close_Click();
    void Menu_Save_Click();
    void Menu_Copy_Click();
    void Menu_Server_Location_Click();
    void Menu_ShowHideServers_Click();
    void Menu_Options_Click();
    void Menu_Help_File_Click();
    void Menu_FAQs_Click();
    void Menu_Korvanel_Products_Click();
    void Menu_About_Click();
    void Menu_Tile_Horizontal_Click();
    void Menu_Tile_Vertical_Click();
    void Menu_Cascade_Click();
    void lstServers_MouseDown(Qt::MouseButton button, const QPoint& globalPos);
    void lstServers_DblClick();
    void PopMenu_Action_HideServer_Click();
    void picControls_Resize();
    // "Begin &Refresh" (the view is not refreshing) enables Save and Copy;
    // any other caption disables both.
    void subEnableSaveCopy(const QString& refreshCaption) override;
    void setSaveEnabled(bool enabled) override;
    void setCopyEnabled(bool enabled) override;
    void beginOpening(bool disableToolBar) override;
    void endOpening() override;

    // Restores and activates the window when a second start hands over.
    void activateFromAnotherStart();

    // The designed size, used on a first run.
    static constexpr int kDesignedWidthTwips = 15360;
    static constexpr int kDesignedHeightTwips = 10800;

    static QString commandTitle(Command command);

    QMenu* createPopupMenu() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void tileChildren(Qt::Orientation stacking);
    void buildToolBar();
    void buildSidePanel();
    void buildMenus();
    void refreshCommandStates();
    void refreshWindowMenu();
    void runView(Command command);
    void runDialog(Command command);
    void restoreGeometryFromSettings();
    void saveGeometryToSettings();
    QAction* addNamedAction(QMenu* menu, const QString& text, const QString& objectName);
    QMenu* addNamedMenu(QMenu* parent, const QString& title, const QString& objectName);

    AppContext& m_context;
    QMdiArea* m_mdiArea = nullptr;
    QToolBar* m_picButtons = nullptr;
    QDockWidget* m_controlsDock = nullptr;
    QWidget* m_picControls = nullptr;
    QPushButton* m_btnServerList = nullptr;
    QListWidget* m_lstServers = nullptr;
    QStringList m_lstAllServers;
    QMenu* m_windowMenu = nullptr;
    QList<QAction*> m_windowListActions;

    std::map<Command, CommandHandler> m_commands;
    QHash<Command, QToolButton*> m_toolButtons;
    QHash<Command, QAction*> m_actionItems;
    std::unique_ptr<TableExport> m_tableExport;
    PopupPresenter m_popupPresenter;
    bool m_saveCopyWanted = false;
    bool m_unloaded = false;
    bool m_showSplash = true;
    QSize m_pendingFrameSize;  // stored outer size still to be applied
    std::vector<std::unique_ptr<OpeningGuard>> m_openings;
};

}  // namespace app

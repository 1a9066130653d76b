#pragma once
// mdiMainForm: the program's only top-level window. A multiple-document frame
// with the tool bar picButtons, the side panel picControls holding the server
// list, and the menu tree whose hidden menus serve as pop-ups of the views.

#include "app/Commands.h"
#include "app/TableExport.h"
#include "core/AppContext.h"
#include "settings/WindowGeometry.h"
#include "viewbase/ViewHost.h"
#include "viewbase/ViewMenus.h"

#include <QHash>
#include <QStringList>
#include <QMainWindow>
#include <QPoint>
#include <QSize>

#include <optional>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <vector>

class QAction;
class QDockWidget;
class QListWidget;
class QListWidgetItem;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPushButton;
class QToolBar;
class QToolButton;

namespace app {

class OpeningGuard;

class MainWindow : public QMainWindow, public views::ViewHost {
    Q_OBJECT

public:
    explicit MainWindow(core::AppContext& context, QWidget* parent = nullptr);
    ~MainWindow() override;

    core::AppContext& context() override { return m_context; }

    // --- Start-up and shut-down ------------------------------------------------
    enum class LoadResult { Running, ClientMissing };
    // Start-up steps from the client check to the closed splash window.
    LoadResult load();
    // Closes every child window, saves the geometry, releases the client.
    // Runs once, from whichever close comes first.
    void unload();
    bool isUnloaded() const { return m_unloaded; }
    // Offscreen renderings start without the splash window.
    void setShowSplash(bool show) { m_showSplash = show; }

    // --- Server list ---------------------------------------------------------------
    // Refills lstAllServers and lstServers and selects the first entry.
    void fillServerList(const QString& objectClass);
    QListWidget* lstServers() const { return m_serverList; }
    const QStringList& lstAllServers() const { return m_allServers; }
    void setAllServers(const QStringList& servers) { m_allServers = servers; }
    // Texts of the selected entries of lstServers, first to last; after
    // selectServers, in the order it was given until the selection changes.
    QStringList selectedServers() const override;
    // Selects exactly the entries named (matched without regard to case;
    // names not in the list are passed over), as veskaro-report does to open
    // a view for servers in the order given on its command line.
    void selectServers(const QStringList& names);
    int serverCount() const override;

    // --- Child windows ---------------------------------------------------------------
    QMdiArea* mdiArea() override { return m_mdiArea; }
    // Puts a view into the frame; the view's window title is the caption.
    QMdiSubWindow* addChildWindow(QWidget* view);
    // The child window that is current (active when the program is active).
    QMdiSubWindow* activeChild() const;

    // --- Commands and views ------------------------------------------------------------
    void setCommand(Command command, CommandHandler handler);
    bool hasCommand(Command command) const;
    void setTableExport(std::unique_ptr<TableExport> exporter);
    TableExport* tableExport() const { return m_tableExport.get(); }

    // --- Menus -------------------------------------------------------------------------
    const views::ViewMenus& viewMenus() const override { return m_viewMenus; }
    QAction* saveAction() const { return m_saveAction; }
    QAction* copyAction() const { return m_copyAction; }
    // Edit / "&Undo": enabled while a hide of servers can be undone.
    QAction* undoAction() const { return m_undoAction; }
    // Window / "Fit Columns": the active view's columns fitted again.
    QAction* fitColumnsAction() const { return m_fitColumnsAction; }
    QAction* closeAction() const { return m_closeAction; }
    // "Server &Action" and its items, one per view command.
    QMenu* actionMenu() const { return m_actionMenu; }
    QAction* serverActionItem(Command command) const { return m_actionItems.value(command); }
    // Shown only when the server list offers the menu.
    QAction* actionSeparator() const { return m_actionSeparator; }
    QAction* hideServersAction() const { return m_hideServersAction; }
    QMenu* windowMenu() const { return m_windowMenu; }
    // Shows the menu as a pop-up at a global position and returns when it closes.
    void popupMenu(QMenu* menu, const QPoint& globalPos) override;
    // Tests replace the modal pop-up with a recorder.
    using PopupPresenter = std::function<void(QMenu*, const QPoint&)>;
    void setPopupPresenter(PopupPresenter presenter) { m_popupPresenter = std::move(presenter); }

    QToolBar* picButtons() const { return m_toolBar; }
    QWidget* picControls() const { return m_controls; }
    QToolButton* toolButton(Command command) const;

    // --- Actions -------------------------------------------------------------------------
    // Opens a view (tool-bar buttons, "Server &Action", veskaro-report): does
    // nothing when the command is not installed or the server list is empty.
    void runCommand(Command command);
    // File/"&Save" and Edit/"Copy" on the active child window.
    void saveActiveView();
    void copyActiveView();
    // A press on the server list: the right button offers "&Action".
    void pressServerList(Qt::MouseButton button, const QPoint& globalPos);
    // A double-click on the server list re-runs the view that is active.
    void repeatActiveView();
    // "&Hide Selected Servers"; the list never becomes empty.
    void hideSelectedServers();

    // The server list and the tree's stored hidden servers, taken before a
    // hide so that Edit / "&Undo" can put them back.
    struct HiddenServersState {
        QString tree;
        std::optional<QString> stored;
        QStringList visible;
    };
    HiddenServersState hiddenServersState() const;
    // A hide took place: Undo now returns to `before` (replacing any earlier one).
    void rememberHide(HiddenServersState before);
    // Puts back the state before the last hide; Undo is then disabled.
    void undoHide();
    // "Begin &Refresh" (the view is not refreshing) enables Save and Copy;
    // any other caption disables both.
    void enableSaveCopy(const QString& refreshCaption) override;
    void setSaveEnabled(bool enabled) override;
    void setCopyEnabled(bool enabled) override;
    void beginOpening(bool disableToolBar) override;
    void endOpening() override;

    // Restores and activates the window when a second start hands over; a
    // request that comes before the window is first shown is honoured once it is.
    void activateFromAnotherStart();

    // The designed size, used on a first run.
    static constexpr int kDesignedWidthTwips = 15360;
    static constexpr int kDesignedHeightTwips = 10800;

    static QString commandTitle(Command command);

    QMenu* createPopupMenu() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void chooseStartingContainer();
    void showHideServers();
    // Tools / "Save as Baseline...": asks a name, then keeps the selected
    // servers' modules and SET parameters under it.
    void saveSelectedAsBaseline();
    void showOptions();
    void openHelpFile();
    void openFaqs();
    void openProductsPage();
    void showAbout();
    void tileHorizontally();
    void tileVertically();
    void tileChildren(Qt::Orientation stacking);
    void cascadeChildren();
    // The windows an arrangement moves: those shown and not minimised.
    QList<QMdiSubWindow*> arrangedChildren() const;
    void layoutSidePanel();
    void buildToolBar();
    void buildSidePanel();
    // The mark of a server whose last attempt to reach it failed: an icon and
    // the time and status of that attempt as the tool tip; none once it answers.
    void markServer(QListWidgetItem* item);
    void buildMenus();
    void refreshCommandStates();
    void refreshWindowMenu();
    void runDialog(Command command);
    void restoreGeometryFromSettings();
    void saveGeometryToSettings();
    // Moves the window, its frame included, inside the available area of its
    // screen when any of it lies outside.
    void keepFrameOnScreen();
    QAction* addNamedAction(QMenu* menu, const QString& text, const QString& objectName);
    QMenu* addNamedMenu(QMenu* parent, const QString& title, const QString& objectName);

    core::AppContext& m_context;
    QMdiArea* m_mdiArea = nullptr;
    QToolBar* m_toolBar = nullptr;
    QDockWidget* m_controlsDock = nullptr;
    QWidget* m_controls = nullptr;
    QPushButton* m_serverListButton = nullptr;
    QListWidget* m_serverList = nullptr;
    QStringList m_allServers;
    QStringList m_selectionOrder;  // selectServers' order, while the selection is that
    QMenu* m_windowMenu = nullptr;
    QMenu* m_actionMenu = nullptr;
    QAction* m_saveAction = nullptr;
    QAction* m_copyAction = nullptr;
    QAction* m_undoAction = nullptr;
    QAction* m_fitColumnsAction = nullptr;
    std::optional<HiddenServersState> m_hideUndo;
    QAction* m_closeAction = nullptr;
    QAction* m_serverLocationAction = nullptr;
    QAction* m_showHideServersAction = nullptr;
    QAction* m_optionsAction = nullptr;
    QAction* m_actionSeparator = nullptr;
    QAction* m_hideServersAction = nullptr;
    views::ViewMenus m_viewMenus;
    QList<QAction*> m_windowListActions;

    std::map<Command, CommandHandler> m_commands;
    QHash<Command, QToolButton*> m_toolButtons;
    QHash<Command, QAction*> m_actionItems;
    std::unique_ptr<TableExport> m_tableExport;
    PopupPresenter m_popupPresenter;
    bool m_saveCopyWanted = false;
    bool m_unloaded = false;
    bool m_showSplash = true;
    settings::AppliedGeometry m_appliedGeometry;  // what start-up gave the window from MainWindow
    bool m_frameCheckPending = false;
    bool m_shownOnce = false;
    bool m_activationPending =
        false;  // asked to come forward before it was shown   // shown, the window manager's frame not yet looked at
    std::vector<std::unique_ptr<OpeningGuard>> m_openings;
};

}  // namespace app

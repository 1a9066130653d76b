#include "app/MainWindow.h"
#include "app/ViewDescriptors.h"
#include "platform/Services.h"
#include "platform/WebPages.h"
#include "app/Icons.h"

#include "app/AboutDialog.h"
#include "app/HelpWindow.h"
#include "app/OpeningGuard.h"
#include "app/Splash.h"
#include "app/StartupSettings.h"
#include "netware/NovellCalls.h"
#include "netware/ServerDiscovery.h"
#include "settings/WindowState.h"
#include "widgets/WaitCursor.h"
#include "widgets/WindowArrangement.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDir>
#include <QDockWidget>
#include <QKeyEvent>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include <utility>

#include <algorithm>
#include <cmath>

namespace app {

QListWidgetItem* newServerItem(const QString& text);

namespace {

const QString kRefreshIdleCaption = QStringLiteral("Begin &Refresh");
const QString kFaqAddress = QStringLiteral("https://www.korvanel.com/veskaro/faq.html");
const QString kProductsAddress = QStringLiteral("https://www.korvanel.com/products.html");

// Room for the btnServerList above the list in the side panel.
constexpr int kListTopTwips = 450;
// The least size of a tiled window: its title bar and a few rows of its table.
constexpr int kReadableTileWidth = 240;
constexpr int kReadableTileHeight = 160;

struct CaptionRoute {
    const char* caption;
    bool prefix;  // true: the caption begins with it; false: equals it
    Command command;
};

// The views name their windows so; a double-click on the server list re-runs
// the view that is active.
constexpr CaptionRoute kCaptionRoutes[] = {
    {"Server Information", false, Command::ShowServerInformation},
    {"Server Utilization", false, Command::MonitorUtilization},
    {"NLMs", false, Command::CompareNlms},
    {"Set Commands", false, Command::CompareSetParameters},
    {"Volume Space Usage", false, Command::ShowVolumeUsage},
    {"User Connections", true, Command::ShowUserConnections},
    {"Partitions", true, Command::ShowPartitions},
    {"Abend log", true, Command::ShowAbendLog},
    {"File Open/Lock", true, Command::ShowFileLocks},
    {"Changes", true, Command::ShowChanges},
};

}  // namespace

MainWindow::MainWindow(core::AppContext& context, QWidget* parent) : QMainWindow(parent), m_context(context)
{
    setObjectName(QStringLiteral("mdiMainForm"));
    setWindowTitle(QStringLiteral("Veskaro"));
    setWindowIcon(loadIcon(QStringLiteral("app.svg")));

    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setObjectName(QStringLiteral("mdiArea"));
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);

    buildToolBar();
    buildSidePanel();
    buildMenus();

    m_popupPresenter = [](QMenu* menu, const QPoint& pos) { menu->exec(pos); };

    const QRect designed(0, 0, twipsToPixels(kDesignedWidthTwips), twipsToPixels(kDesignedHeightTwips));
    resize(designed.size());
    refreshCommandStates();
}

MainWindow::~MainWindow() = default;

QMenu* MainWindow::createPopupMenu()
{
    // The tool bar and the server panel are part of the frame; they are not
    // offered for hiding.
    return nullptr;
}

// --- Start-up and shut-down ----------------------------------------------------

MainWindow::LoadResult MainWindow::load()
{
    nw::NetWareClient& client = m_context.client();
    // Both results are of no interest except that the libraries are there at all.
    const nw::NWRCODE callsInit = client.NWCallsInit(0, 0);
    const nw::NWRCODE clxInit = client.NWCLXInit(0, 0);
    if (callsInit == nw::status::NotInstalled || clxInit == nw::status::NotInstalled) {
        showClientMissing(m_context.messages());
        m_unloaded = true;  // never got going: nothing to save, nothing to release
        return LoadResult::ClientMissing;
    }

    QPointer<Splash> splash;
    if (m_showSplash) {
        splash = new Splash();
        splash->setAttribute(Qt::WA_DeleteOnClose);
        splash->show();
        QCoreApplication::processEvents();
    }

    readGlobalSettings(m_context);
    restoreGeometryFromSettings();
    fillServerList(QStringLiteral("NCP Server"));

    if (splash)
        splash->close();
    return LoadResult::Running;
}

void MainWindow::unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;

    // A view may open another window while it closes (or refuse to close);
    // pass again until no child is left, but never loop on a stubborn one.
    for (int pass = 0; pass < 10; ++pass) {
        const QList<QMdiSubWindow*> found = m_mdiArea->subWindowList(QMdiArea::CreationOrder);
        if (found.isEmpty())
            break;
        // Closing one view may close or delete another.
        QList<QPointer<QMdiSubWindow>> windows;
        for (QMdiSubWindow* window : found)
            windows.append(window);
        for (const QPointer<QMdiSubWindow>& window : std::as_const(windows)) {
            if (window) {
                window->setAttribute(Qt::WA_DeleteOnClose);
                window->close();
            }
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    if (m_context.saveWindowState && !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)))
        saveGeometryToSettings();

    m_context.client().NWCallsTerm(0);
    m_context.client().NWCLXTerm(0);
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // The window manager adds its frame once the window is on screen (its
    // size is known at the latest when the window is first activated); a
    // title bar pushed above the screen's top edge could no longer be grabbed.
    if (!event->spontaneous()) {
        m_shownOnce = true;
        if (std::exchange(m_activationPending, false))
            QTimer::singleShot(0, this, &MainWindow::activateFromAnotherStart);
        m_frameCheckPending = true;
        QTimer::singleShot(0, this, &MainWindow::keepFrameOnScreen);
    }
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && m_frameCheckPending && isActiveWindow()) {
        m_frameCheckPending = false;
        keepFrameOnScreen();
    }
}

void MainWindow::keepFrameOnScreen()
{
    if (!isVisible() || (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)))
        return;
    const QScreen* shown = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!shown)
        return;
    const QRect outer = frameGeometry();
    const QRect inside = settings::keepInside(outer, shown->availableGeometry());
    if (inside == outer)
        return;
    const QRect inner = geometry();
    const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                         outer.bottom() - inner.bottom());
    setGeometry(inside.marginsRemoved(frame));
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    unload();
    event->accept();
}

void MainWindow::restoreGeometryFromSettings()
{
    const std::optional<TwipsGeometry> stored = readMainWindowGeometry(m_context.registry());
    if (!stored)
        return;  // first run: designed size and place
    TwipsGeometry twips = *stored;
    if (twips.height == 0)
        twips.height = 5625;
    if (twips.width == 0)
        twips.width = 6750;
    // The stored values are the window's own place and size, the frame the
    // window manager draws round it excluded: what is restored here is what
    // shut-down writes back, so a window that was left alone keeps its values
    // to the twip from run to run instead of growing by its frame.
    const settings::WindowGeometry given{double(twips.top), double(twips.left), double(twips.height),
                                         double(twips.width)};
    QRect placed = m_appliedGeometry.apply(given, logicalDpiX(), logicalDpiY());
    // A place on a screen that is no longer there, or partly beyond this one,
    // comes back inside the available area.
    const QScreen* target = QGuiApplication::screenAt(placed.center());
    if (!target)
        target = QGuiApplication::primaryScreen();
    if (target)
        placed = settings::keepInside(placed, target->availableGeometry());
    setGeometry(placed);
}

void MainWindow::saveGeometryToSettings()
{
    const QRect inner = normalGeometry().isValid() ? normalGeometry() : geometry();
    const settings::WindowGeometry g = m_appliedGeometry.toStore(inner, logicalDpiX(), logicalDpiY());
    const auto whole = [](double twips) { return static_cast<int>(std::lround(twips)); };
    writeMainWindowGeometry(m_context.registry(),
                            TwipsGeometry{whole(g.top), whole(g.left), whole(g.height), whole(g.width)});
}

void MainWindow::activateFromAnotherStart()
{
    if (!m_shownOnce) {
        // Still starting: showing the window now would put it up half built.
        m_activationPending = true;
        return;
    }
    if (windowState() & Qt::WindowMinimized)
        showNormal();
    else if (!isVisible())
        show();
    raise();
    activateWindow();
}

// --- Server list ------------------------------------------------------------------

void MainWindow::fillServerList(const QString& objectClass)
{
    const nw::ServerLists found = nw::findServers(m_context, objectClass);
    // A new search replaces the list a hide could return to.
    m_hideUndo.reset();
    m_undoAction->setEnabled(false);
    m_allServers = found.all;
    m_serverList->clear();
    for (const QString& name : found.visible)
        m_serverList->addItem(newServerItem(name));
    if (m_serverList->count() > 0) {
        m_serverList->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
    }
}

int MainWindow::serverCount() const
{
    return m_serverList->count();
}

QStringList MainWindow::selectedServers() const
{
    QStringList names;
    for (int row = 0; row < m_serverList->count(); ++row) {
        const QListWidgetItem* item = m_serverList->item(row);
        if (item->isSelected())
            names.append(item->text());
    }
    // The order selectServers was given holds while the same entries are selected.
    if (!m_selectionOrder.isEmpty() && m_selectionOrder.size() == names.size()) {
        QStringList sorted = names;
        QStringList ordered = m_selectionOrder;
        sorted.sort();
        ordered.sort();
        if (sorted == ordered)
            return m_selectionOrder;
    }
    return names;
}

void MainWindow::selectServers(const QStringList& names)
{
    m_serverList->clearSelection();
    QStringList order;
    for (const QString& name : names) {
        const QList<QListWidgetItem*> matches = m_serverList->findItems(name, Qt::MatchFixedString);
        if (matches.isEmpty() || order.contains(matches.first()->text()))
            continue;
        matches.first()->setSelected(true);
        order.append(matches.first()->text());
    }
    m_selectionOrder = order;
}

void MainWindow::pressServerList(Qt::MouseButton button, const QPoint& globalPos)
{
    if (button != Qt::RightButton || m_serverList->count() == 0)
        return;
    m_actionSeparator->setVisible(true);
    m_hideServersAction->setVisible(true);
    popupMenu(m_actionMenu, globalPos);
    m_actionSeparator->setVisible(false);
    m_hideServersAction->setVisible(false);
}

void MainWindow::repeatActiveView()
{
    const QMdiSubWindow* active = activeChild();
    if (!active)
        return;
    const QString caption = active->windowTitle();
    for (const auto& route : kCaptionRoutes) {
        const QString text = QLatin1String(route.caption);
        if (route.prefix ? caption.startsWith(text) : caption == text) {
            runCommand(route.command);
            return;
        }
    }
}

void MainWindow::hideSelectedServers()
{
    HiddenServersState before = hiddenServersState();
    for (int row = m_serverList->count() - 1; row >= 0; --row) {
        QListWidgetItem* item = m_serverList->item(row);
        if (!item->isSelected())
            continue;
        if (m_serverList->count() < 2) {
            m_context.messages().show({tr("Server List error"), tr("Your server list can not be empty."),
                                       platform::Buttons::Ok, platform::Icon::None, platform::Answer::Ok});
            continue;
        }
        appendHiddenServer(m_context, item->text());
        delete m_serverList->takeItem(row);
    }
    if (m_serverList->count() != before.visible.size())
        rememberHide(std::move(before));
}

MainWindow::HiddenServersState MainWindow::hiddenServersState() const
{
    HiddenServersState state;
    state.tree = m_context.values.treeName;
    state.stored = storedHiddenServers(m_context.registry(), state.tree);
    for (int row = 0; row < m_serverList->count(); ++row)
        state.visible.append(m_serverList->item(row)->text());
    return state;
}

void MainWindow::rememberHide(HiddenServersState before)
{
    m_hideUndo = std::move(before);
    m_undoAction->setEnabled(true);
}

void MainWindow::undoHide()
{
    if (!m_hideUndo)
        return;
    const HiddenServersState before = *std::exchange(m_hideUndo, std::nullopt);
    m_undoAction->setEnabled(false);
    restoreHiddenServers(m_context.registry(), before.tree, before.stored);
    m_serverList->clear();
    for (const QString& name : before.visible)
        m_serverList->addItem(newServerItem(name));
    if (m_serverList->count() > 0)
        m_serverList->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
}

void MainWindow::layoutSidePanel()
{
    if (windowState() & Qt::WindowMinimized)
        return;
    const QRect inner = m_controls->contentsRect();
    const int top = twipsToPixels(kListTopTwips);
    const int margin = 2;
    m_serverListButton->setGeometry(inner.left() + margin, inner.top() + margin, inner.width() - 2 * margin,
                                    top - 2 * margin);
    m_serverList->setGeometry(inner.left(), inner.top() + top, inner.width(), std::max(0, inner.height() - top));
}

namespace {

// The menu key (a keyboard context-menu event) or Shift+F10.
bool isKeyboardMenuRequest(const QEvent* event)
{
    if (event->type() == QEvent::ContextMenu)
        return static_cast<const QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard;
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    return key->key() == Qt::Key_F10 && (key->modifiers() & ~Qt::KeypadModifier) == Qt::ShiftModifier;
}

}  // namespace

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_controls && event->type() == QEvent::Resize) {
        layoutSidePanel();
    } else if (isKeyboardMenuRequest(event) && m_serverList
               && (watched == m_serverList || watched == m_serverList->viewport())) {
        // The menu key and Shift+F10 offer the menu beside the current server.
        QListWidgetItem* current = m_serverList->currentItem();
        if (current)
            m_serverList->scrollToItem(current);
        const QRect rect = current ? m_serverList->visualItemRect(current) : QRect();
        pressServerList(Qt::RightButton,
                        m_serverList->viewport()->mapToGlobal(rect.isValid() ? rect.center() : QPoint(0, 0)));
        return true;
    } else if ((event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
               && m_serverList && watched == m_serverList->viewport()) {
        // Only mouse events reach the list's viewport test: while the list is
        // being taken apart it can no longer be asked for its viewport.
        if (event->type() == QEvent::MouseButtonPress) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::RightButton) {
                // The right button offers the menu and leaves the selection as it is.
                pressServerList(mouse->button(), mouse->globalPosition().toPoint());
                return true;
            }
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton) {
                repeatActiveView();
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// --- Child windows -------------------------------------------------------------------

QMdiSubWindow* MainWindow::addChildWindow(QWidget* view)
{
    QMdiSubWindow* window = m_mdiArea->addSubWindow(view);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowIcon(view->windowIcon().isNull() ? windowIcon() : view->windowIcon());
    return window;
}

QMdiSubWindow* MainWindow::activeChild() const
{
    // currentSubWindow stays valid while another program has the focus (and
    // when the frame is drawn offscreen); activeSubWindow would then be null.
    return m_mdiArea->currentSubWindow();
}

// --- Commands ------------------------------------------------------------------------------

void MainWindow::setCommand(Command command, CommandHandler handler)
{
    if (handler.run)
        m_commands[command] = std::move(handler);
    else
        m_commands.erase(command);
    refreshCommandStates();
}

bool MainWindow::hasCommand(Command command) const
{
    return m_commands.count(command) != 0;
}

void MainWindow::setTableExport(std::unique_ptr<TableExport> exporter)
{
    m_tableExport = std::move(exporter);
    refreshCommandStates();
}

void MainWindow::refreshCommandStates()
{
    for (const ViewDescriptor& view : viewDescriptors()) {
        const Command command = view.command;
        const bool available = hasCommand(command);
        if (QToolButton* button = m_toolButtons.value(command))
            button->setEnabled(available);
        if (QAction* item = m_actionItems.value(command))
            item->setEnabled(available);
    }
    const bool startingContainer = hasCommand(Command::SelectStartingContainer);
    m_serverLocationAction->setEnabled(startingContainer);
    m_serverListButton->setEnabled(startingContainer);
    m_showHideServersAction->setEnabled(hasCommand(Command::ShowHideServers));
    m_optionsAction->setEnabled(hasCommand(Command::EditOptions));

    const bool exporting = m_tableExport != nullptr;
    m_saveAction->setEnabled(exporting && m_saveCopyWanted);
    m_copyAction->setEnabled(exporting);

    if (startingContainer) {
        QPointer<MainWindow> self(this);
        m_context.startingContainerDialog = [self](core::AppContext&) {
            if (self)
                self->runDialog(Command::SelectStartingContainer);
        };
    }
}

void MainWindow::runCommand(Command command)
{
    const auto found = m_commands.find(command);
    if (found == m_commands.end() || m_serverList->count() == 0)
        return;
    // The handler may be replaced while it runs; keep our own copy. The view's
    // opening routine holds the opening state itself.
    const CommandHandler handler = found->second;
    handler.run(*this);
}

void MainWindow::runDialog(Command command)
{
    const auto found = m_commands.find(command);
    if (found == m_commands.end())
        return;
    const CommandHandler handler = found->second;
    handler.run(*this);
}

void MainWindow::enableSaveCopy(const QString& refreshCaption)
{
    m_saveCopyWanted = refreshCaption == kRefreshIdleCaption;
    const bool exporting = m_tableExport != nullptr;
    m_saveAction->setEnabled(exporting && m_saveCopyWanted);
    m_copyAction->setEnabled(exporting && m_saveCopyWanted);
}

void MainWindow::setSaveEnabled(bool enabled)
{
    m_saveAction->setEnabled(enabled && m_tableExport != nullptr);
}

void MainWindow::setCopyEnabled(bool enabled)
{
    m_copyAction->setEnabled(enabled && m_tableExport != nullptr);
}

void MainWindow::beginOpening(bool disableToolBar)
{
    m_openings.push_back(std::make_unique<OpeningGuard>(*this, disableToolBar));
}

void MainWindow::endOpening()
{
    if (!m_openings.empty())
        m_openings.pop_back();
}

// --- Menus -----------------------------------------------------------------------------------

void MainWindow::popupMenu(QMenu* shown, const QPoint& globalPos)
{
    if (!shown || !m_popupPresenter)
        return;
    m_popupPresenter(shown, globalPos);
}

QToolButton* MainWindow::toolButton(Command command) const
{
    return m_toolButtons.value(command);
}

// --- Menu and button handlers -------------------------------------------------------------

void MainWindow::chooseStartingContainer()
{
    runDialog(Command::SelectStartingContainer);
}

void MainWindow::showHideServers()
{
    runDialog(Command::ShowHideServers);
}

void MainWindow::showOptions()
{
    runDialog(Command::EditOptions);
}

void MainWindow::saveActiveView()
{
    if (!m_tableExport)
        return;
    QMdiSubWindow* active = activeChild();
    m_tableExport->save(*this, active ? active->widget() : nullptr);
}

void MainWindow::copyActiveView()
{
    QMdiSubWindow* active = activeChild();
    if (!m_tableExport || !active)
        return;
    m_tableExport->copy(*this, active->widget());
}

void MainWindow::tileHorizontally()
{
    tileChildren(Qt::Vertical);  // one above the other, each the full width of the frame
}

void MainWindow::tileVertically()
{
    tileChildren(Qt::Horizontal);  // side by side, each the full height of the frame
}

QList<QMdiSubWindow*> MainWindow::arrangedChildren() const
{
    const QList<QMdiSubWindow*> windows = m_mdiArea->subWindowList(QMdiArea::CreationOrder);
    QList<QMdiSubWindow*> shown;
    std::copy_if(windows.begin(), windows.end(), std::back_inserter(shown),
                 [](QMdiSubWindow* w) { return !w->isMinimized() && w->isVisible(); });
    return shown;
}

void MainWindow::tileChildren(Qt::Orientation stacking)
{
    const QList<QMdiSubWindow*> shown = arrangedChildren();
    if (shown.isEmpty())
        return;
    // Readable: a title bar and a few rows, or more where a window needs it.
    QSize readable(kReadableTileWidth, kReadableTileHeight);
    for (QMdiSubWindow* window : shown)
        readable = readable.expandedTo(window->minimumSizeHint()).expandedTo(window->minimumSize());
    const std::vector<QRect> places =
        widgets::tileRects(m_mdiArea->viewport()->rect(), static_cast<int>(shown.size()), stacking, readable);
    for (qsizetype i = 0; i < shown.size(); ++i) {
        QMdiSubWindow* window = shown.at(i);
        window->showNormal();
        const QRect before(window->pos(), window->size());
        window->setGeometry(places.at(static_cast<size_t>(i)));
        settings::WindowState::noteArranged(window, before);
    }
}

void MainWindow::cascadeChildren()
{
    const QList<QMdiSubWindow*> shown = arrangedChildren();
    std::vector<QRect> before;
    for (QMdiSubWindow* window : shown)
        before.emplace_back(window->pos(), window->size());
    m_mdiArea->cascadeSubWindows();
    for (qsizetype i = 0; i < shown.size(); ++i)
        settings::WindowState::noteArranged(shown.at(i), before.at(static_cast<size_t>(i)));
}

void MainWindow::openHelpFile()
{
    showHelpContents(m_context.processes(), m_context.messages(), this);
}

void MainWindow::openFaqs()
{
    const widgets::WaitCursor wait;
    platform::openWebPage(m_context.processes(), m_context.messages(), kFaqAddress);
}

void MainWindow::openProductsPage()
{
    const widgets::WaitCursor wait;
    platform::openWebPage(m_context.processes(), m_context.messages(), kProductsAddress);
}

void MainWindow::showAbout()
{
    AboutDialog about(m_context, this);
    about.exec();
}

}  // namespace app

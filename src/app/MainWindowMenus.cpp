// The controls of the main window: tool bar, side panel and menu tree.

#include "app/MainWindow.h"
#include "app/Icons.h"
#include "app/ViewDescriptors.h"
#include "core/ServerReachability.h"
#include "widgets/TroubleLook.h"

#include <QAction>
#include <QDockWidget>
#include <QIcon>
#include <QKeySequence>
#include <QLayout>
#include <QMdiSubWindow>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>

#include "platform/Services.h"
#include "text/LocaleText.h"
#include "viewbase/ViewWindow.h"
#include "views/Baselines.h"
#include "views/HistoryRecords.h"

#include <QInputDialog>
#include <QLineEdit>

namespace app {

namespace {

// Sorted as a person reads names: by the user's collation, without regard to case.
class ServerItem : public QListWidgetItem {
public:
    using QListWidgetItem::QListWidgetItem;
    bool operator<(const QListWidgetItem& other) const override { return texts::nameLess(text(), other.text()); }
};

// The tool bar's buttons are 495 twips square and 600 twips apart; at the
// usual 96 dots per inch that is 33 pixels with 7 pixels between them.
constexpr int kButtonSize = 33;
constexpr int kButtonGap = 7;

QIcon resourceIcon(const char* file)
{
    return loadIcon(QLatin1String(file));
}

}  // namespace

QString MainWindow::commandTitle(Command command)
{
    if (const ViewDescriptor* view = viewDescriptor(command))
        return QLatin1String(view->caption);
    switch (command) {
    case Command::SelectStartingContainer:
        return QStringLiteral("Select Starting Server Location");
    case Command::ShowHideServers:
        return QStringLiteral("Show/Hide Servers");
    case Command::EditOptions:
        return QStringLiteral("Options");
    default:
        return {};
    }
}

QListWidgetItem* newServerItem(const QString& text);
QListWidgetItem* newServerItem(const QString& text)
{
    return new ServerItem(text);
}

void MainWindow::buildToolBar()
{
    m_toolBar = new QToolBar(tr("Tool bar"), this);
    m_toolBar->setObjectName(QStringLiteral("picButtons"));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setIconSize(QSize(24, 24));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_toolBar->setContextMenuPolicy(Qt::PreventContextMenu);
    m_toolBar->layout()->setSpacing(kButtonGap);
    m_toolBar->setContentsMargins(4, 2, 4, 2);

    const auto addButton = [this](const QString& objectName, const QString& toolTip, const char* icon) {
        auto* button = new QToolButton(m_toolBar);
        button->setObjectName(objectName);
        button->setToolTip(toolTip);
        button->setIcon(resourceIcon(icon));
        button->setFixedSize(kButtonSize, kButtonSize);
        button->setAutoRaise(false);
        m_toolBar->addWidget(button);
        return button;
    };

    for (const ViewDescriptor& design : viewDescriptors()) {
        QToolButton* button = addButton(QLatin1String(design.buttonName), tr(design.caption), design.icon);
        m_toolButtons.insert(design.command, button);
        const Command command = design.command;
        connect(button, &QToolButton::clicked, this, [this, command] { runCommand(command); });
    }

    // Close stands apart from the view buttons.
    auto* gap = new QWidget(m_toolBar);
    gap->setFixedWidth(kButtonSize / 2);
    m_toolBar->addWidget(gap);
    QToolButton* close = addButton(QStringLiteral("btnClose"), tr("Close Program"), "close.svg");
    connect(close, &QToolButton::clicked, this, &QWidget::close);

    addToolBar(Qt::TopToolBarArea, m_toolBar);
}

void MainWindow::buildSidePanel()
{
    m_controlsDock = new QDockWidget(this);
    m_controlsDock->setObjectName(QStringLiteral("dockControls"));
    m_controlsDock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    m_controlsDock->setTitleBarWidget(new QWidget(m_controlsDock));

    m_controls = new QWidget(m_controlsDock);
    m_controls->setObjectName(QStringLiteral("picControls"));
    m_controls->setMinimumSize(120, 120);
    m_controls->installEventFilter(this);

    m_serverListButton = new QPushButton(tr("&Servers"), m_controls);
    m_serverListButton->setObjectName(QStringLiteral("btnServerList"));
    m_serverListButton->setToolTip(tr("Change Server List"));
    connect(m_serverListButton, &QPushButton::clicked, this, &MainWindow::chooseStartingContainer);

    m_serverList = new QListWidget(m_controls);
    m_serverList->setObjectName(QStringLiteral("lstServers"));
    m_serverList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_serverList->setSortingEnabled(true);
    m_serverList->setContextMenuPolicy(Qt::PreventContextMenu);
    m_serverList->viewport()->installEventFilter(this);
    m_serverList->installEventFilter(this);
    // Servers whose last attempt failed carry a mark, whichever view tried:
    // new entries get theirs as they come, and an attempt (recorded on a
    // reading thread) updates the entry here, on the window thread.
    connect(m_serverList->model(), &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) {
                for (int row = first; row <= last; ++row)
                    markServer(m_serverList->item(row));
            });
    connect(
        &m_context.reachability(), &core::ServerReachability::changed, this,
        [this](const QString& server) {
            for (QListWidgetItem* item : m_serverList->findItems(server, Qt::MatchFixedString))
                markServer(item);
        },
        Qt::QueuedConnection);

    m_controlsDock->setWidget(m_controls);
    addDockWidget(Qt::LeftDockWidgetArea, m_controlsDock);
    resizeDocks({m_controlsDock}, {150}, Qt::Horizontal);
}

void MainWindow::markServer(QListWidgetItem* item)
{
    if (!item)
        return;
    const auto attempt = m_context.reachability().lastAttempt(item->text());
    if (!attempt || attempt->reached) {
        if (!item->icon().isNull() || !item->toolTip().isEmpty()) {
            item->setIcon(QIcon());
            item->setToolTip(QString());
        }
        return;
    }
    item->setIcon(widgets::troubleIcon(models::TroubleLevel::Unavailable));
    item->setToolTip(core::attemptText(*attempt));
}

QAction* MainWindow::addNamedAction(QMenu* menu, const QString& text, const QString& objectName)
{
    QAction* action = menu->addAction(text);
    action->setObjectName(objectName);
    return action;
}

QMenu* MainWindow::addNamedMenu(QMenu* parent, const QString& title, const QString& objectName)
{
    QMenu* created = parent ? parent->addMenu(title) : menuBar()->addMenu(title);
    created->setObjectName(objectName);
    created->menuAction()->setObjectName(objectName);
    return created;
}

void MainWindow::buildMenus()
{
    // File
    QMenu* file = addNamedMenu(nullptr, tr("&File"), QStringLiteral("Menu_File"));
    m_saveAction = addNamedAction(file, tr("&Save"), QStringLiteral("Menu_Save"));
    m_saveAction->setShortcut(QKeySequence::Save);
    m_saveAction->setEnabled(false);
    connect(m_saveAction, &QAction::triggered, this, &MainWindow::saveActiveView);
    m_closeAction = addNamedAction(file, tr("&Close"), QStringLiteral("Menu_Close"));
    connect(m_closeAction, &QAction::triggered, this, &QWidget::close);

    // Edit
    QMenu* edit = addNamedMenu(nullptr, tr("&Edit"), QStringLiteral("Menu_Edit"));
    m_undoAction = addNamedAction(edit, tr("&Undo"), QStringLiteral("Menu_Undo"));
    m_undoAction->setShortcut(QKeySequence::Undo);
    m_undoAction->setEnabled(false);
    connect(m_undoAction, &QAction::triggered, this, &MainWindow::undoHide);
    m_copyAction = addNamedAction(edit, tr("Copy"), QStringLiteral("Menu_Copy"));
    m_copyAction->setShortcut(QKeySequence::Copy);
    connect(m_copyAction, &QAction::triggered, this, &MainWindow::copyActiveView);

    // Pop-up menus of the views: part of the menu tree for the whole run, never
    // shown in the menu bar unless a view shows its own. Their items are wired
    // by the views that show them.
    m_viewMenus = views::addViewMenus(*menuBar());

    // Action: the server list's own menu.
    m_actionMenu = addNamedMenu(nullptr, tr("&Action"), QStringLiteral("PopMenu_Action"));
    QMenu* serverAction = addNamedMenu(m_actionMenu, tr("Server &Action"), QStringLiteral("PopMenu_Action_Action"));
    for (const ViewDescriptor& design : viewDescriptors()) {
        QAction* item = addNamedAction(serverAction, tr(design.actionText),
                                       QStringLiteral("PopMenu_Action_") + QLatin1String(design.buttonName).mid(3));
        m_actionItems.insert(design.command, item);
        const Command command = design.command;
        connect(item, &QAction::triggered, this, [this, command] { runCommand(command); });
    }
    m_actionSeparator = m_actionMenu->addSeparator();
    m_actionSeparator->setObjectName(QStringLiteral("PopMenu_Action_Blank"));
    m_actionSeparator->setVisible(false);
    m_hideServersAction =
        addNamedAction(m_actionMenu, tr("&Hide Selected Servers"), QStringLiteral("PopMenu_Action_HideServer"));
    m_hideServersAction->setVisible(false);
    connect(m_hideServersAction, &QAction::triggered, this, &MainWindow::hideSelectedServers);

    // Tools
    QMenu* tools = addNamedMenu(nullptr, tr("&Tools"), QStringLiteral("Menu_Tools"));
    m_serverLocationAction =
        addNamedAction(tools, tr("Select Starting Server Location"), QStringLiteral("Menu_Server_Location"));
    connect(m_serverLocationAction, &QAction::triggered, this, &MainWindow::chooseStartingContainer);
    m_showHideServersAction = addNamedAction(tools, tr("Show/Hide Servers"), QStringLiteral("Menu_ShowHideServers"));
    connect(m_showHideServersAction, &QAction::triggered, this, &MainWindow::showHideServers);
    m_optionsAction = addNamedAction(tools, tr("Options"), QStringLiteral("Menu_Options"));
    connect(m_optionsAction, &QAction::triggered, this, &MainWindow::showOptions);
    connect(addNamedAction(tools, tr("Save as Baseline..."), QStringLiteral("Menu_SaveBaseline")), &QAction::triggered,
            this, &MainWindow::saveSelectedAsBaseline);
    connect(addNamedAction(tools, tr("Clear History..."), QStringLiteral("Menu_ClearHistory")), &QAction::triggered,
            this, [this] { views::clearHistoryAfterAsking(context()); });

    // Window
    m_windowMenu = addNamedMenu(nullptr, tr("&Window"), QStringLiteral("Menu_Window"));
    connect(addNamedAction(m_windowMenu, tr("Tile Horizontal"), QStringLiteral("Menu_Tile_Horizontal")),
            &QAction::triggered, this, &MainWindow::tileHorizontally);
    connect(addNamedAction(m_windowMenu, tr("Tile Vertical"), QStringLiteral("Menu_Tile_Vertical")),
            &QAction::triggered, this, &MainWindow::tileVertically);
    connect(addNamedAction(m_windowMenu, tr("Cascade"), QStringLiteral("Menu_Cascade")), &QAction::triggered, this,
            &MainWindow::cascadeChildren);
    m_windowMenu->addSeparator();
    m_fitColumnsAction = addNamedAction(m_windowMenu, tr("&Fit Columns"), QStringLiteral("Menu_Fit_Columns"));
    connect(m_fitColumnsAction, &QAction::triggered, this, [this] {
        if (auto* view = activeChild() ? qobject_cast<views::ViewWindow*>(activeChild()->widget()) : nullptr)
            view->refitColumns();
    });
    connect(m_windowMenu, &QMenu::aboutToShow, this, &MainWindow::refreshWindowMenu);

    // Help
    QMenu* help = addNamedMenu(nullptr, tr("&Help"), QStringLiteral("Menu_Help"));
    connect(addNamedAction(help, tr("Help Contents"), QStringLiteral("Menu_Help_File")), &QAction::triggered, this,
            &MainWindow::openHelpFile);
    help->addSeparator();
    connect(addNamedAction(help, tr("FAQs"), QStringLiteral("Menu_FAQs")), &QAction::triggered, this,
            &MainWindow::openFaqs);
    connect(addNamedAction(help, tr("Other Korvanel Products"), QStringLiteral("Menu_Korvanel_Products")),
            &QAction::triggered, this, &MainWindow::openProductsPage);
    help->addSeparator();
    connect(addNamedAction(help, tr("About"), QStringLiteral("Menu_About")), &QAction::triggered, this,
            &MainWindow::showAbout);
}

void MainWindow::saveSelectedAsBaseline()
{
    const QStringList servers = selectedServers();
    if (servers.isEmpty())
        return;
    if (!context().history) {
        context().messages().inform(tr("No history is kept in this run."), tr("Save as Baseline"));
        return;
    }
    bool accepted = false;
    const QString name = QInputDialog::getText(
        this, tr("Save as Baseline"), tr("Name of the baseline of %1:").arg(servers.join(QStringLiteral(", "))),
        QLineEdit::Normal, QString(), &accepted);
    if (accepted)
        views::saveBaseline(context(), servers, name);
}

void MainWindow::refreshWindowMenu()
{
    for (QAction* action : std::as_const(m_windowListActions)) {
        m_windowMenu->removeAction(action);
        action->deleteLater();
    }
    m_windowListActions.clear();
    m_fitColumnsAction->setEnabled(activeChild() && qobject_cast<views::ViewWindow*>(activeChild()->widget()));

    const QList<QMdiSubWindow*> windows = m_mdiArea->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty())
        return;
    m_windowListActions.append(m_windowMenu->addSeparator());
    QMdiSubWindow* current = activeChild();
    int number = 1;
    for (QMdiSubWindow* window : windows) {
        const QString label = number < 10 ? QStringLiteral("&%1 %2").arg(number).arg(window->windowTitle())
                                          : QStringLiteral("%1 %2").arg(number).arg(window->windowTitle());
        ++number;
        QAction* item = m_windowMenu->addAction(label);
        item->setCheckable(true);
        item->setChecked(window == current);
        QPointer<QMdiSubWindow> target(window);
        connect(item, &QAction::triggered, this, [this, target] {
            if (target)
                m_mdiArea->setActiveSubWindow(target);
        });
        m_windowListActions.append(item);
    }
}

}  // namespace app

#include "views/SetCommandsForm.h"

#include "views/ViewWindow.h"

#include "app/ViewHost.h"
#include "netware/NovellCalls.h"
#include "settings/Registry.h"
#include "settings/Twips.h"
#include "settings/WindowState.h"
#include "views/ServerReaders.h"
#include "widgets/FlexGrid.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QVBoxLayout>

namespace views {

namespace {

constexpr int kCommandColWidth = 2880;
constexpr int kCategoryColWidth = 1200;
constexpr int kMinimumSize = 3000;   // twips, both ways

settings::WindowGeometry defaultGeometry()
{
    return settings::WindowGeometry{0, 0, 7000, 8040};
}

// The hourglass for as long as a handler runs, however it ends.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

QString keyPath()
{
    return settings::rootKeyPath(frmSetCommands::SettingsKey);
}

}  // namespace

frmSetCommands::frmSetCommands(app::ViewHost& host, QWidget* parent)
    : QWidget(parent)
    , m_host(host)
    , m_grid(new widgets::FlexGrid(this))
    , m_chkDifferences(new QCheckBox(tr("Show Differences &Only"), this))
    , m_label1(new QLabel(tr("Find SET Command:"), this))
    , m_txtFind(new QLineEdit(this))
    , m_statusBar1(new QStatusBar(this))
{
    setObjectName(QStringLiteral("frmSetCommands"));
    setWindowTitle(Caption);
    m_grid->setObjectName(QStringLiteral("grdSetCommands"));
    m_chkDifferences->setObjectName(QStringLiteral("chkDifferences"));
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_txtFind->setObjectName(QStringLiteral("txtFind"));
    m_statusBar1->setObjectName(QStringLiteral("StatusBar1"));
    m_statusBar1->setSizeGripEnabled(false);
    m_label1->setBuddy(m_txtFind);

    m_grid->setRows(1);
    m_grid->setCols(2);
    m_grid->setFixedRows(1);
    m_grid->setFixedCols(2);
    m_grid->setTextMatrix(0, kSetNameCol, tr("Command"));
    m_grid->setTextMatrix(0, kSetCategoryCol, tr("Category"));
    m_grid->setColWidth(kSetNameCol, kCommandColWidth);
    m_grid->setColWidth(kSetCategoryCol, kCategoryColWidth);
    m_chkDifferences->setEnabled(false);

    auto* findRow = new QHBoxLayout;
    findRow->addWidget(m_label1);
    findRow->addWidget(m_txtFind, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_chkDifferences);
    layout->addLayout(findRow);
    layout->addWidget(m_statusBar1);

    connect(m_chkDifferences, &QCheckBox::toggled, this, [this] { chkDifferences_Click(); });
    connect(m_txtFind, &QLineEdit::textChanged, this, [this] { txtFind_Change(); });
    connect(m_grid, &widgets::FlexGrid::mouseDown, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, int row, int col) {
                grdSetCommands_MouseDown(button, row, col, QCursor::pos());
            });
}

frmSetCommands::~frmSetCommands() = default;

int frmSetCommands::serverColumns() const
{
    return std::max(0, m_grid->cols() - kSetFirstServerCol);
}

void frmSetCommands::attachToFrame()
{
    m_frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!m_frame)
        return;
    m_frame->setWindowTitle(Caption);
    m_frame->installEventFilter(this);
    const int minimum = settings::twipsToPixels(kMinimumSize, m_frame->logicalDpiX());
    m_frame->setMinimumSize(minimum, settings::twipsToPixels(kMinimumSize, m_frame->logicalDpiY()));
    connect(m_frame, &QMdiSubWindow::windowStateChanged, this,
            [this](Qt::WindowStates before, Qt::WindowStates now) {
                // A sub-window deleted with the main window's area reports its
                // last deactivation when there is no main window left to tell.
                if (!m_frame || !m_frame->mdiArea())
                    return;
                const bool was = before.testFlag(Qt::WindowActive);
                const bool is = now.testFlag(Qt::WindowActive);
                if (!was && is)
                    Form_Activate();
                else if (was && !is)
                    Form_Deactivate();
            });
}

bool frmSetCommands::eventFilter(QObject* watched, QEvent* event)
{
    // The event type first: the frame also reports while it is being taken
    // apart, when it can no longer be looked at as a frame.
    if (event->type() == QEvent::Close && watched == m_frame && !m_unloaded)
        Form_Unload();
    return QWidget::eventFilter(watched, event);
}

void frmSetCommands::Form_Load()
{
    app::AppContext& context = m_host.context();
    const settings::WindowState state(context, keyPath(), defaultGeometry());
    state.restore(this);
    // Before the window has ever been closed its columns have their designed
    // widths. A width missing from an existing key reads 0, which would hide
    // the column with no way to get it back; it keeps its designed width too.
    if (context.registry().keyExists(settings::Hive::CurrentUser, keyPath())) {
        for (int col : {kSetNameCol, kSetCategoryCol}) {
            const double twips = settings::fnGetTwipsSetting(context.registry(), keyPath(),
                                                             QStringLiteral("ColWidth") + QString::number(col));
            if (twips >= 1.0)
                m_grid->setColWidth(col, static_cast<int>(twips));
        }
    }
}

void frmSetCommands::Form_Unload()
{
    m_unloaded = true;
    m_host.setMenuVisible(MenuName, false);
    app::AppContext& context = m_host.context();
    const settings::WindowState state(context, keyPath(), defaultGeometry());
    state.save(this);
    if (!context.saveWindowState)
        return;
    for (int col : {kSetNameCol, kSetCategoryCol}) {
        settings::subSaveSetting(context, keyPath(), QStringLiteral("ColWidth") + QString::number(col),
                                 settings::twipsToText(m_grid->colWidth(col)));
    }
}

void frmSetCommands::Form_Activate()
{
    m_host.setMenuVisible(MenuName, true);
    m_host.setSaveEnabled(true);
    m_host.setCopyEnabled(true);
}

void frmSetCommands::Form_Deactivate()
{
    m_host.setMenuVisible(MenuName, false);
}

frmSetCommands::AddOutcome frmSetCommands::subAddServer(const QString& server, SetComparisonFill& fill)
{
    if (fcnSetServerShown(m_grid->data(), server))
        return AddOutcome::AlreadyShown;

    app::AppContext& context = m_host.context();
    nw::NetWareClient& client = context.client();
    nw::NWCONN_HANDLE connection = 0;
    const nw::NWRCODE opened = nw::fcnOpenConnByName(client, server, connection);
    if (opened != nw::status::Success) {
        context.messages().inform(tr("Unable to connect to server. Error ") + nw::fcnStatusText(opened),
                                  tr("Connect to server"), platform::Icon::Critical);
        return AddOutcome::Unreachable;
    }
    quint32 reserved = 0;
    if (client.NWDSAuthenticate(connection, 0, &reserved) != nw::status::Success) {
        client.NWCCCloseConn(connection);
        // The whole comparison goes: it is not worth keeping half of it for a
        // user who must log in before anything can be added.
        if (m_frame)
            m_frame->close();
        else
            Form_Unload();
        context.messages().inform(
            tr("You are not authenticated to selected tree.  Please authenticate and try again."),
            tr("Not Authenticated"));
        return AddOutcome::NotAuthenticated;
    }

    widgets::FlexGridModel& model = m_grid->model();
    model.beginUpdate();
    fill.beginServer(server);
    setWindowTitle(Caption);
    fcnReadSetParameters(client, connection, [&fill](const SetParameter& parameter) { fill.add(parameter); });
    nw::subCloseConnReporting(context, connection);
    fill.endServer();
    model.endUpdate();
    return AddOutcome::Added;
}

void frmSetCommands::subUpdateDifferencesBox()
{
    if (m_grid->cols() > kSetFirstServerCol + 1) {
        m_chkDifferences->setEnabled(true);
    } else {
        m_chkDifferences->setChecked(false);
        m_chkDifferences->setEnabled(false);
    }
    subCheckDifferences();
}

void frmSetCommands::chkDifferences_Click()
{
    subCheckDifferences();
}

void frmSetCommands::subCheckDifferences()
{
    const WaitCursor wait;
    subApplySetDifferences(m_grid->model(), m_chkDifferences->isChecked());
}

void frmSetCommands::txtFind_Change()
{
    const int row = fcnFindSetRow(m_grid->data(), m_txtFind->text());
    if (row < 0)
        return;
    m_grid->select(row, 0, row, m_grid->cols() - 1);
    if (!m_grid->isRowVisible(row))
        m_grid->setTopRow(row);
}

void frmSetCommands::grdSetCommands_MouseDown(Qt::MouseButton button, int row, int col, const QPoint& globalPos)
{
    if (m_grid->rows() < 2 || row < 0 || col < 0)
        return;
    const WaitCursor wait;
    QAction* removeColumn = m_host.menuAction(RemoveColumnAction);
    if (button == Qt::LeftButton && col < kSetFirstServerCol) {
        const int target = row < m_grid->fixedRows() ? m_grid->fixedRows() : row;
        m_grid->setHighlight(true);
        m_grid->select(target, 0, target, m_grid->cols() - 1);
        removeColumn->setEnabled(false);
        if (row < m_grid->fixedRows()) {
            m_grid->sortRows(col, m_sortAscendingNext ? widgets::SortMode::GenericAscending
                                                      : widgets::SortMode::GenericDescending);
            m_sortAscendingNext = !m_sortAscendingNext;
        }
        return;
    }
    if ((button == Qt::LeftButton || button == Qt::RightButton) && row < m_grid->fixedRows()
        && col >= kSetFirstServerCol) {
        m_grid->setHighlight(true);
        m_grid->select(m_grid->fixedRows(), col, m_grid->rows() - 1, col);
        removeColumn->setEnabled(m_grid->cols() > kSetFirstServerCol + 1);
        if (button == Qt::RightButton)
            m_host.popupMenu(MenuName, globalPos);
    }
}

void frmSetCommands::subRemoveCurrentColumn()
{
    const int col = m_grid->col();
    // "Command" and "Category" are the table itself, never a server.
    if (col < kSetFirstServerCol || col >= m_grid->cols())
        return;
    m_grid->moveColumnToEnd(col);
    m_grid->setCols(m_grid->cols() - 1);
    QAction* removeColumn = m_host.menuAction(RemoveColumnAction);
    if (m_grid->col() >= kSetFirstServerCol && m_grid->cols() > kSetFirstServerCol + 1) {
        removeColumn->setEnabled(true);
        m_chkDifferences->setEnabled(true);
        subCheckDifferences();
    } else {
        removeColumn->setEnabled(false);
        m_chkDifferences->setChecked(false);
        subCheckDifferences();
        m_chkDifferences->setEnabled(false);
    }
}

frmSetCommands* findSetCommandsForm(QMdiArea* area)
{
    return fcnFindView<frmSetCommands>(area);
}

frmSetCommands* findSetCommandsForm(app::ViewHost& host)
{
    return findSetCommandsForm(host.mdiArea());
}

namespace {

frmSetCommands* fcnLoadSetCommandsForm(app::ViewHost& host)
{
    auto* form = new frmSetCommands(host);
    fcnAddViewFrame(host, form);
    form->attachToFrame();
    form->Form_Load();
    return form;
}

}  // namespace

void btnSetParameters_Click(app::ViewHost& host)
{
    if (host.serverCount() == 0)
        return;
    const app::OpeningScope opening(host, true);
    const QStringList servers = host.selectedServers();

    QPointer<frmSetCommands> form = findSetCommandsForm(host);
    if (!form)
        form = fcnLoadSetCommandsForm(host);
    QPointer<QMdiSubWindow> frame = qobject_cast<QMdiSubWindow*>(form->parentWidget());
    if (frame)
        frame->show();
    QCoreApplication::processEvents();

    SetComparisonFill fill(form->grdSetCommands()->model());
    for (const QString& server : servers) {
        if (!form || form->isUnloaded())
            return;
        if (form->subAddServer(server, fill) == frmSetCommands::AddOutcome::NotAuthenticated)
            return;
    }
    if (!form || form->isUnloaded())
        return;
    form->subUpdateDifferencesBox();
    if (frame) {
        host.mdiArea()->setActiveSubWindow(frame);
        frame->raise();
    }
}

void Menu_Remove_Column_Click(app::ViewHost& host)
{
    if (frmSetCommands* form = findSetCommandsForm(host))
        form->subRemoveCurrentColumn();
}

void applySetReportOptions(QWidget* window, bool differencesOnly)
{
    if (!window)
        return;
    auto* form = qobject_cast<frmSetCommands*>(window);
    if (!form)
        form = window->findChild<frmSetCommands*>();
    if (!form)
        return;
    QCheckBox* box = form->chkDifferences();
    if (box->isEnabled() && box->isChecked() != differencesOnly)
        box->click();
}

}  // namespace views

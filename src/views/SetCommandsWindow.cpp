#include "views/SetCommandsWindow.h"

#include "history/HistoryRecorder.h"
#include "history/HistoryStore.h"
#include "views/ComparisonDifferences.h"
#include "views/DifferenceMarks.h"
#include "views/HistoryRecords.h"
#include "views/PastStateDialog.h"

#include "platform/Services.h"
#include "viewbase/ViewWindow.h"

#include "netware/NovellCalls.h"
#include "netware/ServerSession.h"
#include "settings/Registry.h"
#include "text/Twips.h"
#include "settings/WindowState.h"
#include "views/ServerReaders.h"
#include "widgets/ColumnFit.h"
#include "widgets/FlexGrid.h"
#include "widgets/WaitCursor.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QTableView>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSet>
#include <QStatusBar>
#include <QVBoxLayout>

namespace views {

namespace {

constexpr int kCommandColWidth = 2880;
constexpr int kCategoryColWidth = 1200;
// Longest the column fit measures before letting events run.
constexpr std::chrono::milliseconds kFitSlice{10};

ViewDesign design()
{
    return {
        QStringLiteral("frmSetCommands"), settings::kSetCommandsKeyName, settings::kDesignedViewGeometry, {3000, 3000}};
}

}  // namespace

SetCommandsWindow::SetCommandsWindow(ViewHost& host, QWidget* parent)
    : ViewWindow(host, design(), parent)
    , m_grid(new widgets::FlexGrid(this))
    , m_differencesOnly(new QCheckBox(tr("Show Differences &Only"), this))
    , m_findLabel(new QLabel(tr("Find SET Command:"), this))
    , m_findText(new QLineEdit(this))
    , m_statusBar(new QStatusBar(this))
{
    models::FlexGridModel& cells = m_grid->model();
    setWindowTitle(caption());
    m_grid->setObjectName(QStringLiteral("grdSetCommands"));
    m_differencesOnly->setObjectName(QStringLiteral("chkDifferences"));
    m_findLabel->setObjectName(QStringLiteral("Label1"));
    m_findText->setObjectName(QStringLiteral("txtFind"));
    m_statusBar->setObjectName(QStringLiteral("StatusBar1"));
    m_statusBar->setSizeGripEnabled(false);
    m_findLabel->setBuddy(m_findText);
    m_differencesLabel = new QLabel(this);
    m_differencesLabel->setObjectName(QStringLiteral("lblDifferences"));
    m_statusBar->addPermanentWidget(m_differencesLabel);
    setReadingStatusBar(m_statusBar);
    m_marks = new DifferenceMarks(*m_grid, &setCellDifference, this);
    if (QAction* toggle = host.viewMenus().markSetDifferences) {
        m_marks->setEnabled(toggle->isChecked());
        connect(toggle, &QAction::toggled, this, [this](bool on) { m_marks->setEnabled(on); });
    }

    cells.setHeaderDecorator(
        [this](int col, int role) { return isPastColumn(col) ? pastHeaderLook(role) : QVariant(); });

    cells.setRows(1);
    cells.setCols(2);
    cells.setFixedRows(1);
    cells.setFixedCols(2);
    cells.setTextMatrix(0, kSetNameCol, tr("Command"));
    cells.setTextMatrix(0, kSetCategoryCol, tr("Category"));
    cells.setColWidth(kSetNameCol, kCommandColWidth);
    cells.setColWidth(kSetCategoryCol, kCategoryColWidth);
    m_differencesOnly->setEnabled(false);

    auto* findRow = new QHBoxLayout;
    findRow->addWidget(m_findLabel);
    findRow->addWidget(m_findText, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_differencesOnly);
    layout->addLayout(findRow);
    layout->addWidget(m_statusBar);

    connect(m_differencesOnly, &QCheckBox::toggled, this, [this] { applyDifferences(); });
    connect(m_findText, &QLineEdit::textChanged, this, [this] { findTypedName(); });
    connect(m_grid, &widgets::FlexGrid::mouseDown, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, int row, int col) {
                clickGrid(button, row, col, m_grid->menuPosition());
            });
}

SetCommandsWindow::~SetCommandsWindow() = default;

int SetCommandsWindow::serverColumns() const
{
    return std::max(0, m_grid->model().cols() - kSetFirstServerCol);
}

void SetCommandsWindow::loadContents()
{
    core::AppContext& context = this->context();
    // Before the window has ever been closed its columns have their designed
    // widths. A width missing from an existing key reads 0, which would hide
    // the column with no way to get it back; it keeps its designed width too.
    if (context.registry().keyExists(settings::Hive::CurrentUser, keyPath())) {
        for (int col : {kSetNameCol, kSetCategoryCol}) {
            const double twips = settings::readTwipsSetting(context.registry(), keyPath(),
                                                            settings::kColWidthPrefix + QString::number(col));
            if (twips >= 1.0)
                m_grid->model().setColWidth(col, static_cast<int>(twips));
        }
    }
}

void SetCommandsWindow::unloadContents()
{
    core::AppContext& context = this->context();
    if (!context.saveWindowState)
        return;
    for (int col : {kSetNameCol, kSetCategoryCol}) {
        settings::saveSetting(context, keyPath(), settings::kColWidthPrefix + QString::number(col),
                              texts::twipsToText(m_grid->model().colWidth(col)));
    }
}

void SetCommandsWindow::activated()
{
    setMenuShown(host().setCommandsMenu(), true);
    host().setSaveEnabled(true);
    host().setCopyEnabled(true);
}

void SetCommandsWindow::deactivated()
{
    setMenuShown(host().setCommandsMenu(), false);
}

namespace {

// What one server gave, read on a reading thread.
struct ParametersRead {
    bool skipped = false;  // shown before the opening
    nw::NWRCODE opened = nw::status::Success;
    nw::NWRCODE authenticated = nw::status::Success;
    std::vector<SetParameter> parameters;
    bool complete = false;  // not cut short by a stop: the history may keep it
    nw::NWRCODE closed = nw::status::Success;
};

ParametersRead readParameters(core::AppContext& context, const QString& server, const nw::ReadStop& stop)
{
    ParametersRead read;
    nw::ServerSession session(context, server, nw::kLicensedByBinderyName);
    const nw::SessionStart start = session.openAuthenticated();
    read.opened = start.opened;
    read.authenticated = start.authenticated;
    if (!start.ready())
        return read;
    readSetParameters(
        session.client(), session.handle(),
        [&read](const SetParameter& parameter) { read.parameters.push_back(parameter); }, stop);
    read.complete = !stop.requested();
    // A failed close is told on the window thread, after the server's column.
    read.closed = session.closeQuietly();
    return read;
}

}  // namespace

ViewWindow::ReadEnd SetCommandsWindow::addServers(const QStringList& servers, SetComparisonFill& fill)
{
    QSet<QString> shownBefore;
    for (const QString& server : servers) {
        if (isServerInSetComparison(m_grid->data(), server))
            shownBefore.insert(server);
    }
    core::AppContext& context = this->context();
    return readServers<ParametersRead>(
        servers,
        [&context, shownBefore](const QString& server, const nw::ReadStop& stop) {
            if (shownBefore.contains(server)) {
                ParametersRead skipped;
                skipped.skipped = true;
                return skipped;
            }
            return readParameters(context, server, stop);
        },
        [this, &context, servers, &fill](int index, ParametersRead& read) {
            const QString& server = servers.at(index);
            if (read.skipped || isServerInSetComparison(m_grid->data(), server))
                return;
            if (read.opened != nw::status::Success) {
                context.messages().inform(tr("Unable to connect to server. Error ") + nw::statusText(read.opened),
                                          tr("Connect to server"), platform::Icon::Critical);
                return;
            }
            if (read.authenticated != nw::status::Success) {
                // The whole comparison goes: it is not worth keeping half of it
                // for a user who must log in before anything can be added.
                closeView();
                context.messages().inform(
                    tr("You are not authenticated to selected tree.  Please authenticate and try again."),
                    tr("Not Authenticated"));
                return;
            }
            models::FlexGridModel& model = m_grid->model();
            model.beginUpdate();
            fill.beginServer(server);
            setWindowTitle(caption());
            for (const SetParameter& parameter : read.parameters)
                fill.add(parameter);
            model.endUpdate();
            if (read.complete)
                recordSnapshot(context, parameterSnapshot(server, read.parameters));
            nw::reportCloseFailure(context, read.closed);
        });
}

bool SetCommandsWindow::isPastColumn(int col) const
{
    return col >= kSetFirstServerCol && col < m_grid->model().cols()
           && m_pastHeadings.contains(m_grid->model().textMatrix(0, col));
}

QStringList SetCommandsWindow::liveServers() const
{
    QStringList servers;
    const QString suffix = serverColumnHeader(QString());
    for (int col = kSetFirstServerCol; col < m_grid->model().cols(); ++col) {
        const QString heading = m_grid->model().textMatrix(0, col);
        if (!isPastColumn(col) && heading.endsWith(suffix))
            servers.append(heading.chopped(suffix.size()));
    }
    return servers;
}

bool SetCommandsWindow::addPastColumn(const PastState& state)
{
    QString problem;
    const std::optional<history::Snapshot> kept =
        readPastState(context(), state, history::SnapshotKind::Parameters, &problem);
    if (!kept) {
        context().messages().inform(problem, tr("Add Column from History"));
        return false;
    }
    const QString heading = pastStateLabel(state);
    for (int col = kSetFirstServerCol; col < m_grid->model().cols(); ++col) {
        if (m_grid->model().textMatrix(0, col) == heading)
            return true;
    }
    m_pastHeadings.insert(heading);
    models::FlexGridModel& model = m_grid->model();
    const int firstNewColumn = model.cols();
    model.beginUpdate();
    SetComparisonFill fill(model, &m_valueTexts);
    fill.beginColumn(heading);
    for (const KeptParameter& parameter : parametersOfSnapshot(*kept))
        fill.addText(parameter.parameter, parameter.valueText);
    fill.finish();
    model.endUpdate();
    updateDifferencesBox();
    fitColumnsOfOpening(firstNewColumn);
    return true;
}

void SetCommandsWindow::updateDifferencesBox()
{
    if (m_grid->model().cols() > kSetFirstServerCol + 1) {
        m_differencesOnly->setEnabled(true);
    } else {
        m_differencesOnly->setChecked(false);
        m_differencesOnly->setEnabled(false);
    }
    applyDifferences();
}

void SetCommandsWindow::fitColumns()
{
    widgets::fitGridColumnsLettingEventsRun(*m_grid, kFitSlice);
}

void SetCommandsWindow::fitAddedColumns(int firstColumn)
{
    widgets::fitGridColumnsLettingEventsRun(*m_grid, kFitSlice, firstColumn);
}

void SetCommandsWindow::applyDifferences()
{
    const widgets::WaitCursor wait;
    applySetDifferences(m_grid->model(), m_differencesOnly->isChecked());
    if (m_grid->model().cols() <= kSetFirstServerCol + 1) {
        m_differencesLabel->clear();
        return;
    }
    const DifferingRows rows = countSetDifferingRows(m_grid->data());
    m_differencesLabel->setText(models::differingRowsText(rows.differing, rows.total, m_differencesOnly->isChecked()));
}

void SetCommandsWindow::findTypedName()
{
    const int row = findSetRow(m_grid->data(), m_findText->text());
    if (row < 0)
        return;
    m_grid->model().select(row, 0, row, m_grid->model().cols() - 1);
    if (!m_grid->isRowVisible(row))
        m_grid->setTopRow(row);
}

void SetCommandsWindow::clickGrid(Qt::MouseButton button, int row, int col, const QPoint& globalPos)
{
    models::FlexGridModel& cells = m_grid->model();
    if (cells.rows() < 2 || row < 0 || col < 0)
        return;
    const widgets::WaitCursor wait;
    QAction* removeColumn = host().removeColumnAction();
    if (button == Qt::LeftButton && col < kSetFirstServerCol) {
        const int target = row < cells.fixedRows() ? cells.fixedRows() : row;
        cells.setHighlight(true);
        cells.select(target, 0, target, cells.cols() - 1);
        removeColumn->setEnabled(false);
        if (row < cells.fixedRows()) {
            cells.sortRows(col,
                           m_sortAscendingNext ? models::SortMode::TypedAscending : models::SortMode::TypedDescending,
                           cells.fixedRows());
            m_grid->setSortIndicator(col, m_sortAscendingNext ? Qt::AscendingOrder : Qt::DescendingOrder);
            m_sortAscendingNext = !m_sortAscendingNext;
        }
        return;
    }
    if ((button == Qt::LeftButton || button == Qt::RightButton) && row < cells.fixedRows()
        && col >= kSetFirstServerCol) {
        cells.setHighlight(true);
        cells.select(cells.fixedRows(), col, cells.rows() - 1, col);
        removeColumn->setEnabled(cells.cols() > kSetFirstServerCol + 1);
        if (button == Qt::RightButton)
            host().popupMenu(host().setCommandsMenu(), globalPos);
    }
}

void SetCommandsWindow::removeCurrentColumn()
{
    models::FlexGridModel& cells = m_grid->model();
    const int col = cells.col();
    // "Command" and "Category" are the table itself, never a server.
    if (col < kSetFirstServerCol || col >= cells.cols())
        return;
    cells.moveColumnToEnd(col);
    cells.setCols(cells.cols() - 1);
    QAction* removeColumn = host().removeColumnAction();
    if (cells.col() >= kSetFirstServerCol && cells.cols() > kSetFirstServerCol + 1) {
        removeColumn->setEnabled(true);
        m_differencesOnly->setEnabled(true);
        applyDifferences();
    } else {
        removeColumn->setEnabled(false);
        m_differencesOnly->setChecked(false);
        applyDifferences();
        m_differencesOnly->setEnabled(false);
    }
}

void openSetCommands(ViewHost& host)
{
    if (host.serverCount() == 0)
        return;
    const OpeningScope opening(host, true);
    const QStringList servers = host.selectedServers();

    QPointer<SetCommandsWindow> form = openView<SetCommandsWindow>(host);
    if (QMdiSubWindow* frame = form->frame())
        frame->show();
    QCoreApplication::processEvents();
    // Closed while it was being shown: nothing of it may be touched.
    if (!form || form->isUnloaded())
        return;

    // The whole opening is one change of the table: its columns and rows are
    // announced once, sorted by name once. The fill writes into the model,
    // so it is only used while the window is there; its end does not touch
    // the model.
    QPointer<models::FlexGridModel> model = &form->grdSetCommands()->model();
    const int firstNewColumn = model->cols();
    model->beginUpdate();
    model->reserveCols(model->cols() + static_cast<int>(servers.size()));
    SetComparisonFill fill(*model, &form->valueTexts());
    const auto closed = [&form, &model] { return !form || form->isUnloaded() || !model; };
    // While the servers are read the window stays responsive and can be closed.
    if (form->addServers(servers, fill) == ViewWindow::ReadEnd::Closed || closed())
        return;
    fill.finish();
    model->endUpdate();
    // The end is done in steps with the events running between them: the
    // sorted table is painted, then filtered, then its columns fitted.
    QCoreApplication::processEvents();
    if (closed())
        return;
    form->updateDifferencesBox();
    QCoreApplication::processEvents();
    if (closed())
        return;
    form->fitColumnsOfOpening(firstNewColumn);
}

void addPastSetColumn(ViewHost& host)
{
    QPointer<SetCommandsWindow> form = findView<SetCommandsWindow>(host);
    if (!form || !host.context().history)
        return;
    const std::optional<PastState> state =
        askPastStateForComparison(form, host.context(), form->liveServers(), host.selectedServers());
    if (state && form && !form->isUnloaded())
        form->addPastColumn(*state);
}

void removeSetCommandsColumn(ViewHost& host)
{
    if (SetCommandsWindow* form = findView<SetCommandsWindow>(host))
        form->removeCurrentColumn();
}

void applySetReportOptions(QWidget* window, bool differencesOnly)
{
    if (!window)
        return;
    auto* form = qobject_cast<SetCommandsWindow*>(window);
    if (!form)
        form = window->findChild<SetCommandsWindow*>();
    if (!form)
        return;
    QCheckBox* box = form->chkDifferences();
    if (box->isEnabled() && box->isChecked() != differencesOnly)
        box->click();
}

}  // namespace views

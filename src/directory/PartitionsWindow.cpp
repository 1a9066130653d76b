#include "directory/PartitionsWindow.h"
#include "settings/SettingsKeys.h"

#include "viewbase/ViewHost.h"
#include "directory/Partitions.h"
#include "settings/Registry.h"
#include "text/Twips.h"
#include "widgets/ColumnFit.h"
#include "widgets/FlexGrid.h"
#include "widgets/RefreshFrame.h"

#include <QAction>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGridLayout>
#include <QGroupBox>
#include <QHelpEvent>
#include <QPointer>
#include <QRadioButton>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

namespace directory {

namespace {

// Sizes in twips, as the window was designed.
constexpr double kMinWidth = 5775;
constexpr double kMinHeight = 2670;
constexpr double kGridWidthAllowance = 135;    // client width minus the grid's width
constexpr double kGridHeightAllowance = 1200;  // client height minus the grid's height
constexpr double kMargin = 60;
// Designed widths of the name column and of a server column (a date and time fits).
constexpr int kNameColumnTwips = 2400;
constexpr int kServerColumnTwips = 1800;

views::ViewDesign design()
{
    return {QStringLiteral("frmPartitions"),
            settings::kPartitionsKeyName,
            settings::kDesignedViewGeometry,
            {kMinWidth, kMinHeight}};
}

}  // namespace

QString PartitionsWindow::captionFor(const QString& treeName)
{
    return QStringLiteral("Partitions - ") + treeName;
}

PartitionsWindow::PartitionsWindow(views::ViewHost& host, QWidget* parent)
    : ViewWindow(host, design(), parent)
    , m_grid(new widgets::FlexGrid(this))
    , m_views(new QGroupBox(tr("Replica Information"), this))
    , m_type(new QRadioButton(tr("Replica Type"), m_views))
    , m_state(new QRadioButton(tr("Replica State"), m_views))
    , m_timeStamp(new QRadioButton(tr("Replica Time Stamp"), m_views))
    , m_syncTime(new QRadioButton(tr("Sync Time"), m_views))
    , m_refresh(new widgets::RefreshFrame(this))
    , m_status(new QStatusBar(this))
{
    models::FlexGridModel& cells = m_grid->model();
    setWindowTitle(captionFor(context().values.treeName));
    m_grid->setObjectName(QStringLiteral("grdPartitions"));
    cells.setTroubleRule([this](int row, int col) {
        if (row < m_grid->model().fixedRows() || col < m_grid->model().fixedCols())
            return models::TroubleLevel::None;
        return replicaCellLevel(m_grid->model().textMatrix(row, col), m_view);
    });
    m_views->setObjectName(QStringLiteral("fraReplicaInformation"));
    m_type->setObjectName(QStringLiteral("optReplicaType"));
    m_state->setObjectName(QStringLiteral("optReplicaState"));
    m_timeStamp->setObjectName(QStringLiteral("optReplicaTimeStamp"));
    m_syncTime->setObjectName(QStringLiteral("optSyncTime"));
    m_refresh->setObjectName(QStringLiteral("fraRefresh"));
    m_refresh->timer()->setObjectName(QStringLiteral("timerRefreshPartitions"));
    m_status->setObjectName(QStringLiteral("StatusBar1"));
    m_status->setSizeGripEnabled(false);
    setReadingStatusBar(m_status);
    m_type->setChecked(true);

    auto* options = new QGridLayout(m_views);
    options->addWidget(m_type, 0, 0);
    options->addWidget(m_state, 1, 0);
    options->addWidget(m_timeStamp, 0, 1);
    options->addWidget(m_syncTime, 1, 1);

    cells.setRows(1);
    cells.setCols(1);
    cells.setFixedRows(1);
    cells.setFixedCols(1);
    cells.setColWidth(0, kNameColumnTwips);

    const auto choose = [this](QRadioButton* option, ReplicaView view) {
        connect(option, &QRadioButton::toggled, this, [this, view](bool on) {
            if (on)
                showReplicaView(view);
        });
    };
    choose(m_type, ReplicaView::Type);
    choose(m_state, ReplicaView::State);
    choose(m_timeStamp, ReplicaView::TimeStamp);
    choose(m_syncTime, ReplicaView::SyncTime);
    connect(m_refresh, &widgets::RefreshFrame::timeout, this, &PartitionsWindow::startRefresh);
    // "&Stop" ends a refresh pass under way too; the columns read stay.
    connect(m_refresh, &widgets::RefreshFrame::stopped, this, [this] {
        if (m_refreshing)
            stopReadingServers();
    });
    connect(m_grid, &widgets::FlexGrid::mouseDown, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, int row, int col) {
                gridMouseDown(button, row, col, m_grid->menuPosition());
            });
    m_grid->tableView()->viewport()->installEventFilter(this);
    setRefreshFrame(m_refresh);
    layoutControls();
}

PartitionsWindow::~PartitionsWindow() = default;

void PartitionsWindow::loadContents()
{
    // Column widths come back only when the window has been closed before.
    m_restoreWidths = context().registry().keyExists(settings::Hive::CurrentUser, keyPath());
    if (m_restoreWidths) {
        if (const auto first = windowState().gridColumnTwips(0))
            m_grid->model().setColWidth(0, *first);
    }
    m_refresh->setIntervalText(QStringLiteral("5"));
}

void PartitionsWindow::unloadContents()
{
    host().removePartitionColumnAction()->setEnabled(false);
    if (!context().saveWindowState || m_grid->model().cols() < 2)
        return;
    for (int col : {0, 1})
        windowState().saveGridColumnTwips(col, m_grid->model().colWidth(col));
}

void PartitionsWindow::activated()
{
    ViewWindow::activated();
    updateRemoveItem();
}

void PartitionsWindow::fitColumns()
{
    widgets::fitGridColumns(*m_grid);
    // The replica codes the view opens with are short; a switch to the time
    // stamps fills the same columns with a date and time.
    for (int col = 1; col < m_grid->model().cols(); ++col)
        m_grid->model().setColWidth(col, qMax(m_grid->model().colWidth(col), kServerColumnTwips));
}

QStringList PartitionsWindow::servers() const
{
    QStringList names;
    for (int col = 1; col < m_grid->model().cols(); ++col)
        names.append(m_grid->model().textMatrix(0, col));
    return names;
}

int PartitionsWindow::serverColumn(const QString& server)
{
    models::FlexGridModel& cells = m_grid->model();
    for (int col = 1; col < cells.cols(); ++col) {
        if (cells.textMatrix(0, col) == server)
            return col;
    }
    const int col = cells.cols();
    cells.setCols(col + 1);
    cells.setColWidth(col, kServerColumnTwips);
    if (m_restoreWidths) {
        if (const auto width = windowState().gridColumnTwips(1))
            cells.setColWidth(col, *width);
    }
    cells.setTextMatrix(0, col, server);
    cells.setCellAlignment(0, col, Qt::AlignCenter);
    return col;
}

void PartitionsWindow::writeCell(const QString& partitionName, int col, const QString& text)
{
    models::FlexGridModel& cells = m_grid->model();
    const QString shown = partitionDisplayName(partitionName);
    int row = -1;
    for (int r = 1; r < cells.rows(); ++r) {
        if (cells.textMatrix(r, 0) == shown) {
            row = r;
            break;
        }
    }
    if (row < 0) {
        row = cells.rows();
        cells.setRows(row + 1);
        cells.setTextMatrix(row, 0, shown);
        // A server that could not be reached shows "N/A" in rows found after
        // it, too, not an empty cell that would read as "no replica".
        for (int c = 1; c < cells.cols(); ++c) {
            if (m_unreachable.contains(cells.textMatrix(0, c))) {
                cells.setTextMatrix(row, c, kNotAvailable);
                cells.setCellAlignment(row, c, Qt::AlignCenter);
            }
        }
    }
    cells.setTextMatrix(row, col, text);
    cells.setCellAlignment(row, col, Qt::AlignCenter);
}

namespace {

using ReplicaRead = std::function<ServerReplicas(const QString&, const nw::ReadStop&)>;

// The read of one server in a pass, run on a reading thread.
ReplicaRead replicaRead(nw::NetWareClient& client, const QString& treeName, ReplicaView view)
{
    nw::NetWareClient* shared = &client;
    return [shared, treeName, view](const QString& server, const nw::ReadStop&) {
        return readReplicaCells(*shared, treeName, server, view);
    };
}

const QString kGathering = QStringLiteral("Gathering Partition information for ");

}  // namespace

void PartitionsWindow::applyServer(const QString& server, ServerReplicas& read, bool blankColumn)
{
    models::FlexGridModel& cells = m_grid->model();
    const int col = serverColumn(server);
    if (blankColumn) {
        for (int row = 1; row < cells.rows(); ++row)
            cells.setTextMatrix(row, col, QString());
    }
    for (const auto& [partition, text] : read.cells)
        writeCell(partition, col, text);
    // The listing opens its own connections: it reports whether the server answered.
    if (read.reading != ReplicaReading::Skipped)
        context().reachability().record(server, read.reading == ReplicaReading::Read,
                                        static_cast<qint32>(read.openStatus));
    noteServersRead({server});
    if (read.reading == ReplicaReading::Read) {
        m_unreachable.removeAll(server);
    } else if (read.reading == ReplicaReading::Unreachable) {
        if (!m_unreachable.contains(server))
            m_unreachable.append(server);
        for (int row = 1; row < cells.rows(); ++row) {
            cells.setTextMatrix(row, col, kNotAvailable);
            cells.setCellAlignment(row, col, Qt::AlignCenter);
        }
    }
}

void PartitionsWindow::fillServer(const QString& server)
{
    fillServers({server});
}

views::ViewWindow::ReadEnd PartitionsWindow::fillServers(const QStringList& servers)
{
    if (isUnloaded())
        return ReadEnd::Closed;
    // A refresh pass under way gives way: starting this reading cancels it.
    m_filling = true;
    m_refreshing = false;
    // The view stays as it is until its cells are in.
    m_views->setEnabled(false);
    if (!servers.isEmpty())
        m_status->showMessage(kGathering + servers.constFirst());
    const ReadEnd end =
        readServers<ServerReplicas>(servers, replicaRead(context().client(), context().values.treeName, m_view),
                                    [this, servers](int index, ServerReplicas& read) {
                                        if (index + 1 < servers.size())
                                            m_status->showMessage(kGathering + servers.at(index + 1));
                                        applyServer(servers.at(index), read, false);
                                    });
    // Closed: the window went away, or a newer pass took over.
    if (end != ReadEnd::Closed)
        endPass();
    return end;
}

void PartitionsWindow::endPass()
{
    m_filling = false;
    m_refreshing = false;
    m_views->setEnabled(true);
    m_status->clearMessage();
    m_refresh->resumeTimer();
    Q_EMIT passFinished();
}

void PartitionsWindow::blankDataCells()
{
    for (int row = 1; row < m_grid->model().rows(); ++row)
        for (int col = 1; col < m_grid->model().cols(); ++col)
            m_grid->model().setTextMatrix(row, col, QString());
}

void PartitionsWindow::refreshAll()
{
    if (m_filling || isUnloaded())
        return;
    m_refresh->holdTimer();
    startRefresh();
    // Ends with the pass, or with the window when it is destroyed meanwhile:
    // nothing of it is touched after the wait.
    QEventLoop wait;
    connect(this, &PartitionsWindow::passFinished, &wait, &QEventLoop::quit);
    connect(this, &QObject::destroyed, &wait, &QEventLoop::quit);
    wait.exec();
}

void PartitionsWindow::startRefresh()
{
    // A tick that falls due while a pass runs is dropped.
    if (m_filling || isUnloaded())
        return;
    m_filling = true;
    m_refreshing = true;
    const QStringList names = servers();
    startReadingServers<ServerReplicas>(
        names, replicaRead(context().client(), context().values.treeName, m_view),
        [this, names](int index, ServerReplicas& read) { applyServer(names.at(index), read, true); },
        [this](ReadEnd end) {
            if (end == ReadEnd::Closed) {
                m_filling = false;
                m_refreshing = false;
                Q_EMIT passFinished();
                return;
            }
            endPass();
        });
}

void PartitionsWindow::showReplicaView(ReplicaView view)
{
    QRadioButton* option = view == ReplicaView::Type        ? m_type
                           : view == ReplicaView::State     ? m_state
                           : view == ReplicaView::TimeStamp ? m_timeStamp
                                                            : m_syncTime;
    if (!option->isChecked()) {
        option->setChecked(true);  // comes back here through the option's signal
        return;
    }
    if (view == m_view)
        return;
    m_view = view;
    blankDataCells();
    // Rows are dropped only when every column was read: those of servers
    // not read after a stop are empty for want of reading.
    if (fillServers(servers()) == ReadEnd::Completed)
        m_grid->model().removeEmptyRows();
}

QString PartitionsWindow::toolTipAt(int row, int col) const
{
    if (row < 0 || col < 0 || row >= m_grid->model().rows() || col >= m_grid->model().cols())
        return {};
    return cellToolTip(m_grid->model().textMatrix(row, col));
}

void PartitionsWindow::gridMouseDown(Qt::MouseButton button, int row, int col, const QPoint& globalPos)
{
    models::FlexGridModel& cells = m_grid->model();
    if (cells.rows() <= 2 || row < 0 || col < 0)
        return;
    if (button == Qt::LeftButton) {
        if (row == 0) {
            // By what the cells mean: sync figures by value, time stamps by
            // time, names by the locale's collation (" [Root]" still first).
            cells.sortRows(col, m_sortDescending ? models::SortMode::TypedDescending : models::SortMode::TypedAscending,
                           cells.fixedRows());
            m_grid->setSortIndicator(col, m_sortDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
            m_sortDescending = !m_sortDescending;
        }
        return;
    }
    if (button != Qt::RightButton)
        return;
    if (row == 0 && col >= 1) {
        cells.select(1, col, cells.rows() - 1, col);
        updateRemoveItem();
        host().popupMenu(host().partitionsMenu(), globalPos);
        return;
    }
    const int target = row == 0 ? 1 : row;
    cells.select(target, 1, target, cells.cols() - 1);
}

bool PartitionsWindow::removeSelectedColumn()
{
    models::FlexGridModel& cells = m_grid->model();
    const int col = cells.col();
    if (cells.cols() <= 2 || col < 1 || col >= cells.cols())
        return false;
    m_unreachable.removeAll(cells.textMatrix(0, col));
    cells.moveColumnToEnd(col);
    cells.setCols(cells.cols() - 1);
    updateRemoveItem();
    cells.removeEmptyRows();
    return true;
}

void PartitionsWindow::updateRemoveItem()
{
    host().removePartitionColumnAction()->setEnabled(m_grid->model().cols() > 2);
}

bool PartitionsWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ToolTip && watched == m_grid->tableView()->viewport()) {
        const auto* help = static_cast<QHelpEvent*>(event);
        // The viewport lies inside the grid: its point is carried up to the grid.
        const QPoint inGrid = m_grid->tableView()->viewport()->mapTo(m_grid, help->pos());
        const QString tip = toolTipAt(m_grid->rowAt(inGrid), m_grid->colAt(inGrid));
        // Without a tip of its own, a cell cut short still shows its whole text.
        if (tip.isEmpty())
            return ViewWindow::eventFilter(watched, event);
        QToolTip::showText(help->globalPos(), tip, m_grid);
        return true;
    }
    return ViewWindow::eventFilter(watched, event);
}

void PartitionsWindow::layoutControls()
{
    const double dpiX = logicalDpiX();
    const double dpiY = logicalDpiY();
    const int margin = texts::twipsToPixels(kMargin, dpiX);

    const QSize optionsHint = m_views->sizeHint();
    const QSize refreshHint = m_refresh->sizeHint();
    const int top = margin / 2;
    const int frameHeight = qMax(optionsHint.height(), refreshHint.height());
    m_views->setGeometry(margin, top, optionsHint.width(), frameHeight);
    m_refresh->setGeometry(m_views->geometry().right() + margin, top, refreshHint.width(), frameHeight);

    const int statusHeight = m_status->sizeHint().height();
    m_status->setGeometry(0, height() - statusHeight, width(), statusHeight);
    const int gridWidth = width() - texts::twipsToPixels(kGridWidthAllowance, dpiX);
    const int allowance = texts::twipsToPixels(kGridHeightAllowance, dpiY);
    const int gridTop = qMax(m_views->geometry().bottom() + margin, allowance - statusHeight);
    m_grid->setGeometry(margin, gridTop, qMax(0, gridWidth), qMax(0, height() - gridTop - statusHeight));
}

void PartitionsWindow::resizeEvent(QResizeEvent* event)
{
    ViewWindow::resizeEvent(event);
    layoutControls();
}

PartitionsWindow* partitionsWindow(views::ViewHost& host)
{
    const QString caption = PartitionsWindow::captionFor(host.context().values.treeName);
    return views::findView<PartitionsWindow>(
        host, [&caption](const PartitionsWindow& form) { return form.windowTitle() == caption; });
}

void openPartitions(views::ViewHost& host)
{
    if (host.serverCount() == 0)
        return;
    views::OpeningScope opening(host, false);
    QPointer<PartitionsWindow> form = partitionsWindow(host);
    if (!form)
        form = views::createView<PartitionsWindow>(host);
    form->setWindowTitle(PartitionsWindow::captionFor(host.context().values.treeName));
    views::bringToFront(host, form);
    QCoreApplication::processEvents();
    if (!form || form->isUnloaded())
        return;
    // Events run while the servers are read; the window may be gone afterwards.
    if (form->fillServers(host.selectedServers()) == views::ViewWindow::ReadEnd::Closed || !form || form->isUnloaded())
        return;
    form->updateRemoveItem();
    form->fitColumnsOnFirstOpening();
}

void removePartitionColumn(views::ViewHost& host)
{
    if (PartitionsWindow* form = partitionsWindow(host))
        form->removeSelectedColumn();
}

}  // namespace directory

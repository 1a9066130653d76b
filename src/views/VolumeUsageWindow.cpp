#include "views/VolumeUsageWindow.h"

#include "platform/Services.h"

#include "netware/NovellCalls.h"
#include "netware/ServerSession.h"
#include "settings/Registry.h"
#include "settings/RegistryStore.h"
#include "settings/SettingsKeys.h"
#include "settings/Trace.h"
#include "text/Twips.h"
#include "viewbase/ViewHost.h"
#include "views/HistoryRecords.h"
#include "views/VolumeUsage.h"
#include "widgets/ColumnFit.h"
#include "widgets/RefreshFrame.h"
#include "widgets/ReportListView.h"

#include <QCoreApplication>
#include <QHash>
#include <QHeaderView>
#include <QLayout>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>

#include <functional>

namespace views {

namespace {

// Sizes in twips, as the window was designed.
constexpr double kMinWidth = 6500;
constexpr double kMinHeight = 2300;
constexpr double kListWidthAllowance = 105;    // outer width minus the list's width
constexpr double kListHeightAllowance = 1230;  // client height minus the list's height
constexpr double kMargin = 60;

constexpr int kSizeCol = 1;
constexpr int kUsedCol = 2;
constexpr int kFreeCol = 5;

ViewDesign design()
{
    return {QStringLiteral("frmVolumeUsage"),
            settings::kVolumeUsageKeyName,
            settings::kDesignedViewGeometry,
            {kMinWidth, kMinHeight}};
}

}  // namespace

QString VolumeUsageWindow::caption()
{
    return tr("Volume Space Usage");
}

VolumeUsageWindow::VolumeUsageWindow(views::ViewHost& host, QWidget* parent)
    : ViewWindow(host, design(), parent)
    , m_list(new widgets::ReportListView(this))
    , m_refresh(new widgets::RefreshFrame(this))
    , m_status(new QStatusBar(this))
{
    setWindowTitle(caption());
    m_list->setObjectName(QStringLiteral("lstvwVolumeUsage"));
    m_refresh->setObjectName(QStringLiteral("fraRefresh"));
    m_refresh->timer()->setObjectName(QStringLiteral("timerRefresh"));
    m_refresh->setIntervalMaxLength(2);
    m_status->setObjectName(QStringLiteral("StatusBar"));
    m_status->setSizeGripEnabled(false);
    setReadingStatusBar(m_status);

    connect(m_refresh, &widgets::RefreshFrame::timeout, this, &VolumeUsageWindow::startMeasuring);
    // "&Stop" ends a refresh pass under way too; what it read stays.
    connect(m_refresh, &widgets::RefreshFrame::stopped, this, [this] {
        if (m_refreshing)
            stopReadingServers();
    });
    connect(m_list, &widgets::ReportListView::columnClicked, this, &VolumeUsageWindow::sortByColumn);
    setRefreshFrame(m_refresh);
    layoutControls();
}

VolumeUsageWindow::~VolumeUsageWindow() = default;

void VolumeUsageWindow::loadContents()
{
    const auto add = [this](const QString& heading, Qt::Alignment alignment) {
        const int col = m_list->addColumn(heading, alignment, 1440);
        m_list->setColumnWidthTwips(col,
                                    qRound(settings::readTwipsSetting(context().registry(), keyPath(),
                                                                      settings::kColWidthHeadingPrefix + heading)));
    };
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    add(tr("Volume"), Qt::AlignLeft | Qt::AlignVCenter);
    add(tr("Size(MB)"), right);
    add(tr("Used(MB)"), right);
    add(tr("Purgeable(MB)"), right);
    add(tr("Not Yet Purgeable(MB)"), right);
    add(tr("Free(MB)"), right);
    add(tr("% Free"), right);
    m_refresh->setIntervalText(QStringLiteral("5"));

    // Volumes short of free space, and those that cannot be reached, are
    // marked by the program-wide levels.
    const settings::RegistryStore& store = context().registry();
    QString problem;
    m_freeSpace = readFreeSpaceThresholds(
        store.queryValue(settings::Hive::CurrentUser, settings::kRootKey, settings::kVolumeFreeWarningValue),
        store.queryValue(settings::Hive::CurrentUser, settings::kRootKey, settings::kVolumeFreeCriticalValue),
        &problem);
    if (!problem.isEmpty())
        context().messages().inform(problem, caption());
    m_list->model().setTroubleRule([this](int row, int col) {
        QStringList cells;
        for (int c = 0; c < m_list->columnCount(); ++c)
            cells.append(m_list->itemText(row, c));
        return volumeCellLevel(cells, col, m_freeSpace);
    });
}

void VolumeUsageWindow::unloadContents()
{
    windowState().saveListColumns(m_list->treeView()->header());
}

void VolumeUsageWindow::fitColumns()
{
    widgets::fitListColumns(*m_list->treeView());
}

namespace {

using VolumeRead = std::function<ServerVolumesRead(const QString&, const nw::ReadStop&)>;

// The read of one server in a pass, run on a reading thread: it holds copies
// of what it needs, never the window.
VolumeRead volumeRead(core::AppContext& context, const QStringList& scanned, const QStringList& volumes)
{
    QHash<QString, QStringList> known;
    for (const QString& entry : volumes)
        known[entryServer(entry)].append(entry);
    const QSet<QString> scan(scanned.begin(), scanned.end());
    const bool tracing = settings::isTraceEnabled(context.arguments);
    core::AppContext* shared = &context;
    return [shared, scan, known, tracing](const QString& server, const nw::ReadStop& stop) {
        return readServerVolumes(*shared, server, scan.contains(server), known.value(server), tracing, stop);
    };
}

}  // namespace

QStringList VolumeUsageWindow::passServers(const QStringList& scanned) const
{
    QStringList servers = scanned;
    QSet<QString> seen(scanned.begin(), scanned.end());
    for (const QString& entry : m_volumes) {
        const QString server = entryServer(entry);
        if (!seen.contains(server)) {
            seen.insert(server);
            servers.append(server);
        }
    }
    return servers;
}

void VolumeUsageWindow::applyServer(ServerVolumesRead& read)
{
    core::AppContext& context = this->context();
    for (const ServerVolumesRead::Traced& traced : read.trace)
        settings::traceCalls(context, traced.label, traced.subject, traced.calls);
    if (read.scanned && read.opened == nw::status::Success) {
        for (const QString& entry : std::as_const(read.found)) {
            if (!m_volumes.contains(entry))
                m_volumes.append(entry);
        }
        if (read.closed != nw::status::Success) {
            QPointer<VolumeUsageWindow> self(this);
            nw::reportCloseFailure(context, read.closed);
            if (!self || isUnloaded())
                return;
        }
    }
    // The server's volumes for the history, unless one of them could not be
    // read: an unread volume is no removed one.
    std::vector<VolumeReading> readings;
    bool complete = !read.measured.empty();
    for (const ServerVolumesRead::Measured& volume : read.measured) {
        showVolume(volume.entry, volume.cells);
        complete = complete && volume.spaceRead;
        if (volume.spaceRead)
            readings.push_back({volume.volume, volume.totalBytes, volume.freeBytes});
    }
    if (complete)
        recordSnapshot(context, volumeSnapshot(entryServer(read.measured.front().entry), readings));
}

ViewWindow::ReadEnd VolumeUsageWindow::addServers(const QStringList& servers)
{
    if (isUnloaded())
        return ReadEnd::Closed;
    // A refresh pass under way gives way to the opening: starting this
    // reading cancels it, and this pass measures every volume again.
    m_measuring = true;
    m_refreshing = false;
    const QStringList pass = passServers(servers);
    if (!pass.isEmpty())
        m_status->showMessage(QStringLiteral("Gathering information for \\\\") + pass.constFirst());
    const ReadEnd end = readServers<ServerVolumesRead>(
        pass, volumeRead(context(), servers, m_volumes), [this, pass](int index, ServerVolumesRead& read) {
            if (index + 1 < pass.size())
                m_status->showMessage(QStringLiteral("Gathering information for \\\\") + pass.at(index + 1));
            applyServer(read);
        });
    // Closed: the window went away, or a newer pass took over; either way
    // this one leaves the window alone.
    if (end != ReadEnd::Closed)
        endPass();
    return end;
}

bool VolumeUsageWindow::measureVolumes()
{
    // Two passes never interleave.
    if (m_measuring || isUnloaded())
        return !isUnloaded();
    QPointer<VolumeUsageWindow> self(this);
    addServers({});
    return self && !isUnloaded();
}

void VolumeUsageWindow::startMeasuring()
{
    // A tick that falls due while a pass runs is dropped.
    if (m_measuring || isUnloaded())
        return;
    m_measuring = true;
    m_refreshing = true;
    const QStringList pass = passServers({});
    startReadingServers<ServerVolumesRead>(
        pass, volumeRead(context(), {}, m_volumes), [this](int, ServerVolumesRead& read) { applyServer(read); },
        [this](ReadEnd end) {
            if (end == ReadEnd::Closed) {
                m_measuring = false;
                m_refreshing = false;
                return;
            }
            endPass();
        });
}

void VolumeUsageWindow::endPass()
{
    m_measuring = false;
    m_refreshing = false;
    showTotals();
}

void VolumeUsageWindow::showVolume(const QString& entry, const QStringList& cells)
{
    int row = m_list->findRow(0, entry, Qt::CaseSensitive);
    if (row < 0) {
        m_list->addRow(QStringList{entry} + cells);
        return;
    }
    for (int i = 0; i < cells.size(); ++i)
        m_list->setItemText(row, i + 1, cells.at(i));
}

void VolumeUsageWindow::showTotals()
{
    double size = 0;
    double used = 0;
    double free = 0;
    for (int row = 0; row < m_list->rowCount(); ++row) {
        if (m_list->itemText(row, kSizeCol) == kUnavailable)
            continue;
        size += cellMegabytes(m_list->itemText(row, kSizeCol));
        used += cellMegabytes(m_list->itemText(row, kUsedCol));
        free += cellMegabytes(m_list->itemText(row, kFreeCol));
    }
    m_status->showMessage(totalsText(size, used, free));
    m_status->repaint();
}

void VolumeUsageWindow::sortByColumn(int col)
{
    // A new column sorts ascending; the same column again flips the order.
    if (col == m_lastSortColumn)
        m_lastSortOrder = m_lastSortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    else
        m_lastSortOrder = Qt::AscendingOrder;
    m_lastSortColumn = col;
    m_list->sortByColumn(col, m_lastSortOrder);
}

void VolumeUsageWindow::layoutControls()
{
    const double dpiX = logicalDpiX();
    const double dpiY = logicalDpiY();
    const int margin = texts::twipsToPixels(kMargin, dpiX);
    QWidget* outer = settings::WindowState::frameOf(this);

    const QSize frameHint = m_refresh->sizeHint();
    m_refresh->setGeometry(margin, 0, frameHint.width(), frameHint.height());
    const int statusHeight = m_status->sizeHint().height();
    m_status->setGeometry(0, height() - statusHeight, width(), statusHeight);

    const int outerWidth = outer == this ? width() : outer->width();
    const int listWidth = qMin(outerWidth - texts::twipsToPixels(kListWidthAllowance, dpiX), width() - 2 * margin);
    const int allowance = texts::twipsToPixels(kListHeightAllowance, dpiY);
    const int top = qMax(m_refresh->geometry().bottom() + margin, allowance - statusHeight);
    m_list->setGeometry(margin, top, qMax(0, listWidth), qMax(0, height() - top - statusHeight));
}

void VolumeUsageWindow::resizeEvent(QResizeEvent* event)
{
    ViewWindow::resizeEvent(event);
    layoutControls();
}

void openVolumeUsage(views::ViewHost& host)
{
    if (host.serverCount() == 0)
        return;
    views::OpeningScope opening(host, true);
    const QStringList servers = host.selectedServers();
    QPointer<VolumeUsageWindow> form = openView<VolumeUsageWindow>(host);
    bringToFront(host, form);
    QCoreApplication::processEvents();
    if (!form || form->isUnloaded())
        return;
    form->setWindowTitle(VolumeUsageWindow::caption());
    // Events run while the servers are read; the window may be gone afterwards.
    if (form->addServers(servers) == ViewWindow::ReadEnd::Closed || !form)
        return;
    form->fitColumnsOnFirstOpening();
}

}  // namespace views

#include "views/VolumeUsageForm.h"

#include "platform/Services.h"

#include "netware/NovellCalls.h"
#include "netware/ServerSession.h"
#include "settings/Registry.h"
#include "settings/Trace.h"
#include "settings/Twips.h"
#include "viewbase/ViewHost.h"
#include "views/HistoryRecords.h"
#include "views/VolumeUsage.h"
#include "widgets/ColumnFit.h"
#include "widgets/RefreshFrame.h"
#include "widgets/ReportListView.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLayout>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>

#include <array>

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

const QString kVolumesLabel = QStringLiteral("Volume Info - subGetVolumes");
const QString kUsageLabel = QStringLiteral("Volume Info - subGetVolumeUsage");

ViewDesign design()
{
    return {QStringLiteral("frmVolumeUsage"), QStringLiteral("VolumeUsageForm"), {0, 0, 7000, 8040},
            {kMinWidth, kMinHeight}};
}

}  // namespace

bool isVolumeReachable(core::AppContext& context, const QString& entry)
{
    const QString local = context.client().localPathOf(entry);
    if (local.isEmpty())
        return false;
    const QFileInfo info(local);
    return info.isDir() && info.isReadable() && QDir(local).isReadable();
}

QString VolumeUsageForm::caption()
{
    return tr("Volume Space Usage");
}

VolumeUsageForm::VolumeUsageForm(views::ViewHost& host, QWidget* parent)
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

    connect(m_refresh, &widgets::RefreshFrame::timeout, this, [this] { measureVolumes(); });
    connect(m_list, &widgets::ReportListView::columnClicked, this, &VolumeUsageForm::sortByColumn);
    setRefreshFrame(m_refresh);
    layoutControls();
}

VolumeUsageForm::~VolumeUsageForm() = default;

void VolumeUsageForm::loadContents()
{
    const auto add = [this](const QString& heading, Qt::Alignment alignment) {
        const int col = m_list->addColumn(heading, alignment, 1440);
        m_list->setColumnWidthTwips(
            col, qRound(settings::readTwipsSetting(context().registry(), keyPath(),
                                                    QStringLiteral("ColWidth-") + heading)));
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
}

void VolumeUsageForm::unloadContents()
{
    windowState().saveListColumns(m_list->treeView()->header());
}

void VolumeUsageForm::fitColumns()
{
    widgets::fitListColumns(*m_list->treeView());
}

void VolumeUsageForm::addServerVolumes(const QString& server)
{
    core::AppContext& context = this->context();
    nw::ServerSession session(context, server, nw::kLicensedByBinderyName);
    const nw::NWRCODE opened = session.open();
    settings::traceCall(context, kVolumesLabel, server, QStringLiteral("NWCCOpenConnByName"),
                        static_cast<qint32>(opened));
    if (opened != nw::status::Success)
        return;
    nw::NetWareClient& client = session.client();
    const nw::NWCONN_HANDLE connection = session.handle();

    quint32 iterator = 0;
    // A scan that never reports its end is cut off after the most volumes a server can mount.
    for (int step = 0; step < 256; ++step) {
        std::array<nw::VolumeRecord, 1> record{};
        quint32 returned = 0;
        const nw::NWRCODE rc = client.NWScanMountedVolumeList(connection, 1, nw::NW_NS_DOS, iterator, 1, returned,
                                                              record);
        settings::traceCall(context, kVolumesLabel, server, QStringLiteral("NWScanMountedVolumeList"),
                            static_cast<qint32>(rc));
        if (rc != nw::status::Success)
            break;
        if (returned > 0) {
            const QString name = nw::bytesToString(std::span<const char>(record[0].volumeName));
            if (!name.isEmpty() && !isAdministrationVolume(name)) {
                const QString entry = volumeEntry(server, name);
                if (!m_volumes.contains(entry))
                    m_volumes.append(entry);
            }
        }
        if (iterator == 0)
            break;
    }

    const nw::NWRCODE closed = session.closeQuietly();
    settings::traceCall(context, kVolumesLabel, server, QStringLiteral("NWCCCloseConn"), static_cast<qint32>(closed));
    if (closed != nw::status::Success)
        context.messages().inform(QStringLiteral("NWCCCloseConn returned ") + nw::statusText(closed));
}

bool VolumeUsageForm::measureVolumes()
{
    // Two passes never interleave: a tick that falls due while one yields is dropped.
    if (m_measuring || isUnloaded())
        return !isUnloaded();
    m_measuring = true;
    QPointer<VolumeUsageForm> self(this);
    core::AppContext& context = this->context();
    nw::NetWareClient& client = context.client();

    const QStringList volumes = m_volumes;
    // Each server's volumes for the history; a server of which one volume
    // could not be read is not recorded (an unread volume is no removed one).
    QMap<QString, std::vector<VolumeReading>> readings;
    QSet<QString> unread;
    const auto serverOf = [](const QString& entry) { return entry.mid(2).section(QLatin1Char('\\'), 0, 0); };
    for (const QString& entry : volumes) {
        QCoreApplication::processEvents();
        if (!self)
            return false;
        if (isUnloaded())
            break;
        m_status->showMessage(QStringLiteral("Gathering information for ") + entry);
        m_status->repaint();

        if (!isVolumeReachable(context, entry)) {
            unread.insert(serverOf(entry));
            showVolume(entry, unavailableCells());
            continue;
        }
        const QString path = netWarePathOf(entry);
        std::array<char, 48> serverName{};
        std::array<char, 25> volumeName{};
        std::array<char, 256> dirPath{};
        nw::NWCONN_HANDLE connection = 0;
        nw::NWRCODE rc = client.NWParsePath(nw::toAnsi(path), serverName, connection, volumeName, dirPath);
        settings::traceCall(context, kUsageLabel, path, QStringLiteral("NWParsePath"), static_cast<qint32>(rc));
        quint16 number = 0;
        const QString volume = nw::bytesToString(std::span<const char>(volumeName)).trimmed();
        rc = client.NWGetVolumeNumber(connection, nw::toAnsi(volume), number);
        settings::traceCall(context, kUsageLabel, path, QStringLiteral("NWGetVolumeNumber"), static_cast<qint32>(rc));
        nw::DirSpaceInfo info{};
        rc = client.NWGetDirSpaceInfo(connection, 0, number, info);
        settings::traceCall(context, kUsageLabel, path, QStringLiteral("NWGetDirSpaceInfo"), static_cast<qint32>(rc));
        showVolume(entry, volumeCells(volumeSpace(info)));
        if (rc == nw::status::Success)
            readings[serverOf(entry)].push_back({volume, volumeSpace(info).total, volumeSpace(info).free});
        else
            unread.insert(serverOf(entry));
    }
    if (self && !isUnloaded()) {
        showTotals();
        for (auto it = readings.cbegin(); it != readings.cend(); ++it) {
            if (!unread.contains(it.key()))
                recordSnapshot(context, volumeSnapshot(it.key(), it.value()));
        }
    }
    m_measuring = false;
    return true;
}

void VolumeUsageForm::showVolume(const QString& entry, const QStringList& cells)
{
    int row = m_list->findRow(0, entry, Qt::CaseSensitive);
    if (row < 0) {
        m_list->addRow(QStringList{entry} + cells);
        return;
    }
    for (int i = 0; i < cells.size(); ++i)
        m_list->setItemText(row, i + 1, cells.at(i));
}

void VolumeUsageForm::showTotals()
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

void VolumeUsageForm::sortByColumn(int col)
{
    // A new column sorts ascending; the same column again flips the order.
    if (col == m_lastSortColumn)
        m_lastSortOrder = m_lastSortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    else
        m_lastSortOrder = Qt::AscendingOrder;
    m_lastSortColumn = col;
    m_list->sortByColumn(col, m_lastSortOrder);
}

void VolumeUsageForm::layoutControls()
{
    const double dpiX = logicalDpiX();
    const double dpiY = logicalDpiY();
    const int margin = settings::twipsToPixels(kMargin, dpiX);
    QWidget* outer = settings::WindowState::frameOf(this);

    const QSize frameHint = m_refresh->sizeHint();
    m_refresh->setGeometry(margin, 0, frameHint.width(), frameHint.height());
    const int statusHeight = m_status->sizeHint().height();
    m_status->setGeometry(0, height() - statusHeight, width(), statusHeight);

    const int outerWidth = outer == this ? width() : outer->width();
    const int listWidth = qMin(outerWidth - settings::twipsToPixels(kListWidthAllowance, dpiX), width() - 2 * margin);
    const int allowance = settings::twipsToPixels(kListHeightAllowance, dpiY);
    const int top = qMax(m_refresh->geometry().bottom() + margin, allowance - statusHeight);
    m_list->setGeometry(margin, top, qMax(0, listWidth), qMax(0, height() - top - statusHeight));
}

void VolumeUsageForm::resizeEvent(QResizeEvent* event)
{
    ViewWindow::resizeEvent(event);
    layoutControls();
}

void openVolumeUsage(views::ViewHost& host)
{
    if (host.serverCount() == 0)
        return;
    views::OpeningScope opening(host, true);
    QPointer<VolumeUsageForm> form = openView<VolumeUsageForm>(host);
    bringToFront(host, form);
    QCoreApplication::processEvents();
    for (const QString& server : host.selectedServers()) {
        if (!form || form->isUnloaded())
            return;
        form->setWindowTitle(VolumeUsageForm::caption());
        QCoreApplication::processEvents();
        if (!form || form->isUnloaded())
            return;
        form->addServerVolumes(server);
        if (!form || !form->measureVolumes())
            return;
    }
    form->fitColumnsOnFirstOpening();
}

}  // namespace views

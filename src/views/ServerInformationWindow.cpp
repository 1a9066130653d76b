#include "views/ServerInformationWindow.h"

#include "platform/Services.h"
#include "viewbase/ViewWindow.h"

#include "netware/NovellCalls.h"
#include "netware/ServerSession.h"
#include "settings/Registry.h"
#include "settings/Trace.h"
#include "text/Twips.h"
#include "views/HistoryRecords.h"
#include "views/ServerFormats.h"
#include "widgets/ColumnFit.h"
#include "widgets/ReportListView.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QHeaderView>
#include <QPointer>
#include <QSet>
#include <QStatusBar>
#include <QTreeView>

#include <array>

namespace views {

namespace {

// Sizes in twips, as the window was designed.
constexpr double kListWidthAllowance = 135;   // outer width minus the list's width
constexpr double kListHeightAllowance = 270;  // client height minus the list's height

ViewDesign design()
{
    return {QStringLiteral("frmServerInformation"),
            settings::kServerInfoKeyName,
            settings::kDesignedViewGeometry,
            {6500, 1600}};
}

}  // namespace

QString ServerInformationWindow::caption()
{
    return tr("Server Information");
}

ServerInformationWindow::ServerInformationWindow(ViewHost& host, QWidget* parent)
    : ViewWindow(host, design(), parent)
    , m_list(new widgets::ReportListView(this))
    , m_status(new QStatusBar(this))
{
    setWindowTitle(caption());
    m_list->setObjectName(QStringLiteral("lstvwServerInformation"));
    widgets::showElidedTextInToolTips(*m_list->treeView());
    m_status->setObjectName(QStringLiteral("StatusBar1"));
    m_status->setSizeGripEnabled(false);
    setReadingStatusBar(m_status);
    connect(m_list, &widgets::ReportListView::columnClicked, this, &ServerInformationWindow::sortByColumn);
    layoutContents();
}

ServerInformationWindow::~ServerInformationWindow() = default;

void ServerInformationWindow::loadContents()
{
    const auto add = [this](const QString& heading, Qt::Alignment alignment) {
        const int col = m_list->addColumn(heading, alignment | Qt::AlignVCenter, 1440);
        m_list->setColumnWidthTwips(col,
                                    qRound(settings::readTwipsSetting(context().registry(), keyPath(),
                                                                      settings::kColWidthHeadingPrefix + heading)));
    };
    add(tr("Server"), Qt::AlignLeft);
    add(tr("Up Time"), Qt::AlignRight);
    add(tr("Version"), Qt::AlignRight);
    add(tr("Company"), Qt::AlignLeft);
    add(tr("Revision"), Qt::AlignRight);
    add(tr("DS Version"), Qt::AlignRight);
}

namespace {

// What one server gave, read on a reading thread.
struct InformationRead {
    bool skipped = false;  // a row named it before the opening
    nw::NWRCODE opened = nw::status::Success;
    QStringList row;
    nw::NWRCODE closed = nw::status::Success;
    QList<settings::TracedCall> calls;  // for the trace, when it is on
};

InformationRead readInformation(core::AppContext& context, const QString& name, bool tracing)
{
    InformationRead read;
    const auto trace = [&](const char* call, nw::NWRCODE rc) {
        if (tracing)
            read.calls.append({QDateTime::currentDateTime(), QLatin1String(call), static_cast<qint32>(rc)});
    };

    nw::ServerSession session(context, name, nw::kLicensedByBinderyName);
    read.opened = session.open();
    trace("NWCCOpenConnByName", read.opened);
    if (read.opened != nw::status::Success)
        return read;
    nw::NetWareClient& client = session.client();
    const nw::NWCONN_HANDLE connection = session.handle();

    // Outputs start zero-filled: a call that fails leaves its cells empty or 0.
    std::array<char, 50> serverName{};
    nw::FileServerInformation information{};
    trace("NWGetFileServerInformation", client.NWGetFileServerInformation(connection, serverName, information));

    nw::FileServerInfo info{};
    const nw::NWRCODE infoRc = client.NWGetFileServerInfo(connection, info);
    trace("NWGetFileServerInfo", infoRc);
    const QString upTime = infoRc == nw::status::Success ? formatUpTime(info.serverUpTicks) : QString();

    std::array<char, 90> company{};
    std::array<char, 90> revision{};
    std::array<char, 90> notice{};
    trace("NWGetFileServerDescription", client.NWGetFileServerDescription(connection, company, revision, {}, notice));

    qint32 dsVersion = 0;
    trace("NWDSGetDSVerInfo", client.NWDSGetDSVerInfo(connection, &dsVersion, nullptr, {}, nullptr, {}));

    read.row = {nw::bytesToString(std::span<const char>(serverName)).trimmed(),
                upTime,
                serverVersionText(information.majorVersion, information.minorVersion, information.revision),
                nw::bytesToString(std::span<const char>(company)).trimmed(),
                nw::bytesToString(std::span<const char>(revision)).trimmed(),
                dsVersionText(dsVersion)};
    // A failed close is told on the window thread, when the row is added.
    read.closed = session.closeQuietly();
    trace("NWCCCloseConn", read.closed);
    return read;
}

}  // namespace

ViewWindow::ReadEnd ServerInformationWindow::addServers(const QStringList& names)
{
    // Servers shown before the opening are not read again.
    QSet<QString> shownBefore;
    for (const QString& name : names) {
        if (hasRowNamed(name))
            shownBefore.insert(name);
    }
    if (!names.isEmpty())
        m_status->showMessage(tr("Gathering information for ") + names.constFirst());

    core::AppContext& context = this->context();
    const bool tracing = settings::isTraceEnabled(context.arguments);
    const QString label = QLatin1String(kServerInfoTraceLabel);
    return readServers<InformationRead>(
        names,
        [&context, tracing, shownBefore](const QString& name, const nw::ReadStop&) {
            if (shownBefore.contains(name)) {
                InformationRead skipped;
                skipped.skipped = true;
                return skipped;
            }
            return readInformation(context, name, tracing);
        },
        [this, &context, names, label](int index, InformationRead& read) {
            const QString& name = names.at(index);
            if (index + 1 < names.size())
                m_status->showMessage(tr("Gathering information for ") + names.at(index + 1));
            if (read.skipped || hasRowNamed(name))
                return;
            settings::traceCalls(context, label, name, read.calls);
            if (read.opened != nw::status::Success) {
                context.messages().inform(tr("Unable to connect to server ") + name + QStringLiteral("."),
                                          tr("Connect to server"));
                return;
            }
            m_list->addRow(read.row);
            // Row: name, up time, version, company, revision, DS version.
            if (read.row.size() >= 6)
                recordSnapshot(context,
                               factsSnapshot(name, read.row.at(2), read.row.at(4), read.row.at(3), read.row.at(5)));
            nw::reportCloseFailure(context, read.closed);
        });
}

bool ServerInformationWindow::hasRowNamed(const QString& name) const
{
    for (int row = 0; row < m_list->rowCount(); ++row) {
        if (m_list->itemText(row, 0).trimmed() == name)
            return true;
    }
    return false;
}

void ServerInformationWindow::sortByColumn(int column)
{
    m_list->setSorted(false);
    Qt::SortOrder order = Qt::AscendingOrder;
    if (column != m_lastSortColumn)
        m_lastSortColumn = column;
    else
        order = m_list->sortOrder() == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    m_list->sortByColumn(column, order);
    m_list->setSorted(true);
}

void ServerInformationWindow::layoutContents()
{
    QWidget* frame = settings::WindowState::frameOf(this);
    const int outerWidth = frame == this ? width() : frame->width();
    const int statusHeight = m_status->sizeHint().height();
    m_status->setGeometry(0, height() - statusHeight, width(), statusHeight);
    // The designed allowance is the status bar's height; a taller bar on this
    // desktop must not cover the last row.
    const int allowance = qMax(texts::twipsToPixels(kListHeightAllowance, logicalDpiY()), statusHeight);
    const int listWidth = qMin(outerWidth - texts::twipsToPixels(kListWidthAllowance, logicalDpiX()), width());
    m_list->setGeometry(0, 0, qMax(0, listWidth), qMax(0, height() - allowance));
}

void ServerInformationWindow::unloadContents()
{
    windowState().saveListColumns(m_list->treeView()->header());
}

void ServerInformationWindow::fitColumns()
{
    // Thousands of rows: the columns are measured one at a time, with events between.
    widgets::fitListColumnsLettingEventsRun(*m_list->treeView());
}

void openServerInformation(ViewHost& host)
{
    if (host.serverCount() == 0)
        return;
    OpeningScope opening(host, true);

    const QStringList servers = host.selectedServers();
    QPointer<ServerInformationWindow> form = openView<ServerInformationWindow>(host);
    bringToFront(host, form);
    // The new window is painted before the reading starts, not in the same
    // stretch as its making.
    QCoreApplication::processEvents();
    if (!form || form->isUnloaded())
        return;
    // Events run while the servers are read; the window may be gone afterwards.
    if (form->addServers(servers) == ViewWindow::ReadEnd::Closed || !form)
        return;
    form->statusBar()->clearMessage();
    form->fitColumnsOnFirstOpening();
}

}  // namespace views

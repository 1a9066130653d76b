#include "views/ServerInformationForm.h"

#include "platform/Services.h"
#include "viewbase/ViewWindow.h"

#include "netware/NovellCalls.h"
#include "netware/ServerSession.h"
#include "settings/Registry.h"
#include "settings/Trace.h"
#include "settings/Twips.h"
#include "views/ServerFormats.h"
#include "widgets/ColumnFit.h"
#include "widgets/ReportListView.h"

#include <QHeaderView>
#include <QPointer>
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
    return {QStringLiteral("frmServerInformation"), settings::kServerInfoKeyName, {0, 0, 7000, 8040},
            {6500, 1600}};
}

}  // namespace

QString ServerInformationForm::caption()
{
    return tr("Server Information");
}

ServerInformationForm::ServerInformationForm(ViewHost& host, QWidget* parent)
    : ViewWindow(host, design(), parent)
    , m_list(new widgets::ReportListView(this))
    , m_status(new QStatusBar(this))
{
    setWindowTitle(caption());
    m_list->setObjectName(QStringLiteral("lstvwServerInformation"));
    widgets::showElidedTextInToolTips(*m_list->treeView());
    m_status->setObjectName(QStringLiteral("StatusBar1"));
    m_status->setSizeGripEnabled(false);
    connect(m_list, &widgets::ReportListView::columnClicked, this, &ServerInformationForm::sortByColumn);
    layoutContents();
}

ServerInformationForm::~ServerInformationForm() = default;

void ServerInformationForm::loadContents()
{
    const auto add = [this](const QString& heading, Qt::Alignment alignment) {
        const int col = m_list->addColumn(heading, alignment | Qt::AlignVCenter, 1440);
        m_list->setColumnWidthTwips(
            col, qRound(settings::readTwipsSetting(context().registry(), keyPath(),
                                                   settings::kColWidthHeadingPrefix + heading)));
    };
    add(tr("Server"), Qt::AlignLeft);
    add(tr("Up Time"), Qt::AlignRight);
    add(tr("Version"), Qt::AlignRight);
    add(tr("Company"), Qt::AlignLeft);
    add(tr("Revision"), Qt::AlignRight);
    add(tr("DS Version"), Qt::AlignRight);
}

void ServerInformationForm::addServer(const QString& name)
{
    m_status->showMessage(tr("Gathering information for ") + name);
    m_status->repaint();

    for (int row = 0; row < m_list->rowCount(); ++row) {
        if (m_list->itemText(row, 0).trimmed() == name)
            return;
    }

    core::AppContext& context = this->context();
    const QString label = QLatin1String(kServerInfoTraceLabel);
    const auto trace = [&](const char* call, nw::NWRCODE rc) {
        settings::traceCall(context, label, name, QLatin1String(call), static_cast<qint32>(rc));
    };

    nw::ServerSession session(context, name, nw::kLicensedByBinderyName);
    const nw::NWRCODE opened = session.open();
    trace("NWCCOpenConnByName", opened);
    if (opened != nw::status::Success) {
        context.messages().inform(tr("Unable to connect to server ") + name + QStringLiteral("."),
                                  tr("Connect to server"));
        return;
    }
    nw::NetWareClient& client = session.client();
    const nw::NWCONN_HANDLE connection = session.handle();

    // Outputs start zero-filled: a call that fails leaves its cells empty or 0.
    std::array<char, 50> serverName{};
    nw::FileServerInformation information{};
    trace("NWGetFileServerInformation", client.NWGetFileServerInformation(connection, serverName, information));

    nw::FileServerInfo info{};
    const nw::NWRCODE infoRc = client.NWGetFileServerInfo(connection, info);
    trace("NWGetFileServerInfo", infoRc);
    const QString upTime =
        infoRc == nw::status::Success ? formatUpTime(info.serverUpTicks) : QString();

    std::array<char, 90> company{};
    std::array<char, 90> revision{};
    std::array<char, 90> notice{};
    trace("NWGetFileServerDescription",
          client.NWGetFileServerDescription(connection, company, revision, {}, notice));

    qint32 dsVersion = 0;
    trace("NWDSGetDSVerInfo", client.NWDSGetDSVerInfo(connection, &dsVersion, nullptr, {}, nullptr, {}));

    m_list->addRow({nw::bytesToString(std::span<const char>(serverName)).trimmed(), upTime,
                    serverVersionText(information.majorVersion, information.minorVersion, information.revision),
                    nw::bytesToString(std::span<const char>(company)).trimmed(),
                    nw::bytesToString(std::span<const char>(revision)).trimmed(), dsVersionText(dsVersion)});

    trace("NWCCCloseConn", session.close());
}

void ServerInformationForm::sortByColumn(int column)
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

void ServerInformationForm::layoutContents()
{
    QWidget* frame = settings::WindowState::frameOf(this);
    const int outerWidth = frame == this ? width() : frame->width();
    const int statusHeight = m_status->sizeHint().height();
    m_status->setGeometry(0, height() - statusHeight, width(), statusHeight);
    // The designed allowance is the status bar's height; a taller bar on this
    // desktop must not cover the last row.
    const int allowance = qMax(settings::twipsToPixels(kListHeightAllowance, logicalDpiY()), statusHeight);
    const int listWidth =
        qMin(outerWidth - settings::twipsToPixels(kListWidthAllowance, logicalDpiX()), width());
    m_list->setGeometry(0, 0, qMax(0, listWidth), qMax(0, height() - allowance));
}

void ServerInformationForm::unloadContents()
{
    windowState().saveListColumns(m_list->treeView()->header());
}

void ServerInformationForm::fitColumns()
{
    widgets::fitListColumns(*m_list->treeView());
}

void openServerInformation(ViewHost& host)
{
    if (host.serverCount() == 0)
        return;
    OpeningScope opening(host, true);

    QPointer<ServerInformationForm> form = openView<ServerInformationForm>(host);
    bringToFront(host, form);
    for (const QString& name : host.selectedServers()) {
        // Message boxes run events; the window may be gone afterwards.
        if (!form || form->isUnloaded())
            return;
        form->addServer(name);
    }
    if (form) {
        form->statusBar()->clearMessage();
        form->fitColumnsOnFirstOpening();
    }
}

}  // namespace views

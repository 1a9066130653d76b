#include "views/ServerInformationForm.h"

#include "views/ViewWindow.h"

#include "app/ViewHost.h"
#include "netware/NovellCalls.h"
#include "settings/Registry.h"
#include "settings/Trace.h"
#include "settings/Twips.h"
#include "views/ServerFormats.h"
#include "widgets/ReportListView.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QStatusBar>
#include <QTreeView>

#include <array>

namespace views {

namespace {

// Sizes in twips, as the window was designed.
constexpr double kMinWidth = 6500;
constexpr double kMinHeight = 1600;
constexpr double kListWidthAllowance = 135;   // outer width minus the list's width
constexpr double kListHeightAllowance = 270;  // client height minus the list's height

settings::WindowGeometry defaultGeometry()
{
    return {0, 0, 7000, 8040};
}

}  // namespace

QString ServerInformationForm::caption()
{
    return tr("Server Information");
}

ServerInformationForm::ServerInformationForm(app::ViewHost& host, QWidget* parent)
    : QWidget(parent)
    , m_host(host)
    , m_state(host.context(), settings::rootKeyPath(QStringLiteral("ServerInfoForm")), defaultGeometry())
    , m_list(new widgets::ReportListView(this))
    , m_status(new QStatusBar(this))
{
    setObjectName(QStringLiteral("frmServerInformation"));
    setWindowTitle(caption());
    m_list->setObjectName(QStringLiteral("lstvwServerInformation"));
    m_status->setObjectName(QStringLiteral("StatusBar1"));
    m_status->setSizeGripEnabled(false);
    connect(m_list, &widgets::ReportListView::columnClicked, this,
            &ServerInformationForm::lstvwServerInformation_ColumnClick);
    layoutControls();
}

ServerInformationForm::~ServerInformationForm() = default;

void ServerInformationForm::Form_Load()
{
    m_state.restore(this);
    subInitInfoGrid();
}

void ServerInformationForm::subInitInfoGrid()
{
    const auto add = [this](const QString& heading, Qt::Alignment alignment) {
        const int col = m_list->addColumn(heading, alignment | Qt::AlignVCenter, 1440);
        m_list->setColumnWidthTwips(
            col, qRound(settings::fnGetTwipsSetting(m_host.context().registry(), m_state.keyPath(),
                                                    QStringLiteral("ColWidth-") + heading)));
    };
    add(tr("Server"), Qt::AlignLeft);
    add(tr("Up Time"), Qt::AlignRight);
    add(tr("Version"), Qt::AlignRight);
    add(tr("Company"), Qt::AlignLeft);
    add(tr("Revision"), Qt::AlignRight);
    add(tr("DS Version"), Qt::AlignRight);
}

void ServerInformationForm::subAddServer(const QString& name)
{
    m_status->showMessage(tr("Gathering information for ") + name);
    m_status->repaint();

    for (int row = 0; row < m_list->rowCount(); ++row) {
        if (m_list->itemText(row, 0).trimmed() == name)
            return;
    }

    app::AppContext& context = m_host.context();
    nw::NetWareClient& client = context.client();
    const QString label = QLatin1String(ServerInfoTraceLabel);
    const auto trace = [&](const char* call, nw::NWRCODE rc) {
        settings::traceCall(context, label, name, QLatin1String(call), static_cast<qint32>(rc));
    };

    nw::NWCONN_HANDLE connection = 0;
    const nw::NWRCODE opened = nw::fcnOpenConnByName(client, name, connection);
    trace("NWCCOpenConnByName", opened);
    if (opened != nw::status::Success) {
        context.messages().inform(tr("Unable to connect to server ") + name + QStringLiteral("."),
                                  tr("Connect to server"));
        return;
    }

    // Outputs start zero-filled: a call that fails leaves its cells empty or 0.
    std::array<char, 50> serverName{};
    nw::FileServerInformation information{};
    trace("NWGetFileServerInformation", client.NWGetFileServerInformation(connection, serverName, information));

    nw::FileServerInfo info{};
    const nw::NWRCODE infoRc = client.NWGetFileServerInfo(connection, info);
    trace("NWGetFileServerInfo", infoRc);
    const QString upTime =
        infoRc == nw::status::Success ? fnFormatUpTime(info.serverUpTicks) : QString();

    std::array<char, 90> company{};
    std::array<char, 90> revision{};
    std::array<char, 90> notice{};
    trace("NWGetFileServerDescription",
          client.NWGetFileServerDescription(connection, company, revision, {}, notice));

    qint32 dsVersion = 0;
    trace("NWDSGetDSVerInfo", client.NWDSGetDSVerInfo(connection, &dsVersion, nullptr, {}, nullptr, {}));

    m_list->addRow({nw::fcnBytesToString(std::span<const char>(serverName)).trimmed(), upTime,
                    fcnServerVersionText(information.majorVersion, information.minorVersion, information.revision),
                    nw::fcnBytesToString(std::span<const char>(company)).trimmed(),
                    nw::fcnBytesToString(std::span<const char>(revision)).trimmed(), fcnDsVersionText(dsVersion)});

    const nw::NWRCODE closed = client.NWCCCloseConn(connection);
    trace("NWCCCloseConn", closed);
    if (closed != nw::status::Success)
        context.messages().inform(QStringLiteral("NWCCCloseConn returned ") + nw::fcnStatusText(closed));
}

void ServerInformationForm::Form_Activate()
{
    m_host.setSaveEnabled(true);
    m_host.setCopyEnabled(true);
}

void ServerInformationForm::lstvwServerInformation_ColumnClick(int column)
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

void ServerInformationForm::Form_Resize()
{
    QWidget* frame = settings::WindowState::frameOf(this);
    if (frame->isMinimized())
        return;
    if (!frame->isMaximized() && frame != this) {
        const int minWidth = settings::twipsToPixels(kMinWidth, logicalDpiX());
        const int minHeight = settings::twipsToPixels(kMinHeight, logicalDpiY());
        if (frame->width() < minWidth || frame->height() < minHeight) {
            m_resizing = true;
            frame->resize(qMax(frame->width(), minWidth), qMax(frame->height(), minHeight));
            m_resizing = false;
        }
    }
    layoutControls();
}

void ServerInformationForm::layoutControls()
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

void ServerInformationForm::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_state.save(this);
    m_state.saveListColumns(m_list->treeView()->header());
}

void ServerInformationForm::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    QWidget::closeEvent(event);
}

void ServerInformationForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (!m_resizing)
        Form_Resize();
}

ServerInformationForm* serverInfoWindow(app::ViewHost& host)
{
    return fcnFindView<ServerInformationForm>(host.mdiArea());
}

void btnServerInfo_Click(app::ViewHost& host)
{
    if (host.serverCount() == 0)
        return;
    app::OpeningScope opening(host, true);

    QPointer<ServerInformationForm> form = serverInfoWindow(host);
    if (!form) {
        form = new ServerInformationForm(host);
        QMdiSubWindow* frame = fcnAddViewFrame(host, form, [form = form.data()] { form->Form_Activate(); });
        form->Form_Load();
        frame->show();
    }
    subActivateView(host, form);

    for (const QString& name : host.selectedServers()) {
        // Message boxes run events; the window may be gone afterwards.
        if (!form)
            return;
        form->subAddServer(name);
    }
    if (form)
        form->StatusBar1()->clearMessage();
}

}  // namespace views

#include "views/UtilizationWindow.h"

#include "viewbase/ViewWindow.h"

#include "models/ReportListModel.h"
#include "netware/ServerSession.h"
#include "settings/Registry.h"
#include "settings/SettingsKeys.h"
#include "text/Twips.h"
#include "viewbase/ViewHost.h"
#include "views/HistoryRecords.h"
#include "widgets/OwnedWindow.h"
#include "views/UtilizationBar.h"
#include "views/UtilizationHistoryWindow.h"
#include "widgets/ColumnFit.h"
#include "widgets/RefreshFrame.h"
#include "widgets/ReportListView.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QFont>

#include <algorithm>
#include <QLocale>
#include <QHeaderView>
#include <QTreeView>
#include <QCoreApplication>
#include <QEventLoop>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

namespace views {

namespace {

constexpr int kServerCol = 0;
constexpr int kUtilCol = 1;
constexpr int kHighCol = 2;
constexpr int kUtilBarWidth = 140;  // pixels of a fitted "Util %" column

// Sizes in twips, as the window was designed.
constexpr double kMinWidth = 3975;
constexpr double kMinHeight = 2295;
constexpr double kListWidthAllowance = 135;    // outer width minus the list's width
constexpr double kListHeightAllowance = 1230;  // client height minus the list's height
constexpr double kMargin = 60;

ViewDesign design()
{
    return {QStringLiteral("frmServerMon"),
            settings::kServerUtilKeyName,
            settings::kDesignedViewGeometry,
            {kMinWidth, kMinHeight}};
}

// A cell read back as a number, the way the monitor compares its marks: text
// that is no number ("?") counts as 0.
double cellNumber(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok ? value : 0.0;
}

}  // namespace

QString UtilizationWindow::caption()
{
    return tr("Server Utilization");
}

UtilizationWindow::UtilizationWindow(views::ViewHost& host, QWidget* parent)
    : ViewWindow(host, design(), parent)
    , m_list(new widgets::ReportListView(this))
    , m_refresh(new widgets::RefreshFrame(this))
    , m_reset(new QPushButton(tr("R&eset High %"), this))
    , m_status(new QStatusBar(this))
    , m_lastPollLabel(new QLabel(this))
    , m_bars(new UtilizationBarDelegate(this))
    , m_historyButton(new QPushButton(tr("&History"), this))
{
    setWindowTitle(caption());

    // Control order: the list first, so Save finds it as the window's table.
    m_list->setObjectName(QStringLiteral("lstvwServerUtilization"));
    m_refresh->timer()->setObjectName(QStringLiteral("Timer1"));
    m_reset->setObjectName(QStringLiteral("btnReset"));
    m_reset->setToolTip(tr("Reset High %"));
    m_status->setObjectName(QStringLiteral("StatusBar1"));
    m_status->setSizeGripEnabled(false);
    m_lastPollLabel->setObjectName(QStringLiteral("lblLastPoll"));
    m_historyButton->setObjectName(QStringLiteral("btnHistory"));
    m_historyButton->setToolTip(tr("Utilization of every polled server since the monitor started"));
    connect(m_historyButton, &QPushButton::clicked, this, [this] { showHistory(); });
    m_status->addPermanentWidget(m_lastPollLabel);
    setReadingStatusBar(m_status);
    m_list->treeView()->setItemDelegateForColumn(kUtilCol, m_bars);
    widgets::showElidedTextInToolTips(*m_list->treeView());
    m_list->model().setCellDecorator([this](int row, int col, int role) { return decorateCell(row, col, role); });
    // The highest reading so far is judged by the same levels as the bars.
    m_list->model().setTroubleRule([this](int row, int col) {
        return col == kHighCol ? troubleLevelOf(utilizationLevel(m_list->itemText(row, kHighCol), m_thresholds))
                               : models::TroubleLevel::None;
    });

    connect(m_refresh, &widgets::RefreshFrame::timeout, this, &UtilizationWindow::startPoll);
    connect(m_refresh, &widgets::RefreshFrame::started, this, [this] { m_reset->setEnabled(true); });
    setRefreshFrame(m_refresh);
    connect(m_reset, &QPushButton::clicked, this, &UtilizationWindow::resetHighs);
    layoutContents();
}

UtilizationWindow::~UtilizationWindow() = default;

QPushButton* UtilizationWindow::btnRefresh() const
{
    return m_refresh->btnRefresh();
}

QLineEdit* UtilizationWindow::txtInterval() const
{
    return m_refresh->txtInterval();
}

QLabel* UtilizationWindow::lblSeconds() const
{
    return m_refresh->lblSeconds();
}

QTimer* UtilizationWindow::timer() const
{
    return m_refresh->timer();
}

void UtilizationWindow::loadContents()
{
    readThresholds();
    buildColumns();
    m_refresh->setIntervalText(QStringLiteral("1"));
    toggleRefresh();
}

void UtilizationWindow::buildColumns()
{
    const auto add = [this](const QString& heading, Qt::Alignment alignment) {
        const int col = m_list->addColumn(heading, alignment, 1440);
        m_list->setColumnWidthTwips(col,
                                    qRound(settings::readTwipsSetting(context().registry(), keyPath(),
                                                                      settings::kColWidthHeadingPrefix + heading)));
    };
    add(tr("Server"), Qt::AlignLeft | Qt::AlignVCenter);
    add(tr("Util %"), Qt::AlignRight | Qt::AlignVCenter);
    add(tr("High %"), Qt::AlignRight | Qt::AlignVCenter);
}

void UtilizationWindow::readThresholds()
{
    const settings::RegistryStore& store = context().registry();
    QString problem;
    m_thresholds = readUtilizationThresholds(
        store.queryValue(settings::Hive::CurrentUser, keyPath(), settings::kUtilWarningValue),
        store.queryValue(settings::Hive::CurrentUser, keyPath(), settings::kUtilCriticalValue), &problem);
    m_bars->setThresholds(m_thresholds);
    if (!problem.isEmpty())
        m_status->showMessage(problem);
}

QVariant UtilizationWindow::decorateCell(int row, int col, int role) const
{
    if (col != kUtilCol)
        return {};
    const QString text = m_list->itemText(row, kUtilCol);
    if (role == Qt::ToolTipRole) {
        if (text == QStringLiteral("?"))
            return m_failures.value(m_list->itemText(row, kServerCol));
        return {};
    }
    if (role == Qt::FontRole) {
        // Bold from the warning level on: the level shows without its colour.
        if (utilizationLevel(text, m_thresholds) >= UtilizationLevel::Warning) {
            QFont bold = m_list->font();
            bold.setBold(true);
            return bold;
        }
    }
    return {};
}

bool UtilizationWindow::addServer(const QString& name)
{
    if (m_list->findRow(kServerCol, name, Qt::CaseSensitive) >= 0)
        return false;
    m_list->addRow({name, QStringLiteral("0"), QStringLiteral("0")});
    return true;
}

void UtilizationWindow::toggleRefresh()
{
    m_refresh->toggle();
}

void UtilizationWindow::resetHighs()
{
    m_list->beginUpdate();
    for (int row = 0; row < m_list->rowCount(); ++row)
        m_list->setItemText(row, kHighCol, QStringLiteral("0"));
    m_list->endUpdate();
}

namespace {

// What one server's poll gave, read on a reading thread.
struct PollRead {
    nw::NWRCODE opened = nw::status::Success;
    nw::NWRCODE authenticated = nw::status::Success;
    nw::NWRCODE read = nw::status::Success;
    nw::FileServerInfo info{};
    nw::NWRCODE closed = nw::status::Success;
};

PollRead pollServer(core::AppContext& context, const QString& server)
{
    PollRead poll;
    nw::ServerSession session(context, server, nw::kLicensedByBinderyName);
    poll.opened = session.open();
    if (poll.opened != nw::status::Success)
        return poll;
    // A server outside the login still answers; a refusal only explains a
    // failing request.
    poll.authenticated = session.authenticate();
    poll.read = session.client().NWGetFileServerInfo(session.handle(), poll.info);
    // A failed close is told on the window thread, after the row is set.
    poll.closed = session.closeQuietly();
    return poll;
}

}  // namespace

void UtilizationWindow::pollOnce()
{
    if (m_polling || isUnloaded())
        return;
    startPoll();
    waitForPoll();
}

void UtilizationWindow::waitForPoll()
{
    if (!m_polling)
        return;
    // Ends with the poll, or with the window when it is destroyed meanwhile:
    // nothing of it is touched after the wait.
    QEventLoop loop;
    connect(this, &UtilizationWindow::pollFinished, &loop, &QEventLoop::quit);
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec();
}

void UtilizationWindow::startPoll()
{
    // Two polls must never interleave: a tick that comes due while a poll is
    // still reading is dropped, the next one starts afresh.
    if (m_polling || isUnloaded())
        return;
    m_polling = true;
    setCursor(Qt::WaitCursor);

    // The reads outlast this call: they hold the context, not a local of it.
    core::AppContext* context = &this->context();
    // Rows added while the poll runs wait for the next tick.
    QStringList servers;
    for (int row = 0; row < m_list->rowCount(); ++row)
        servers.append(m_list->itemText(row, kServerCol));
    m_polled.clear();
    m_readings.clear();
    startReadingServers<PollRead>(
        servers, [context](const QString& server, const nw::ReadStop&) { return pollServer(*context, server); },
        [this, servers](int row, PollRead& poll) {
            const QString& server = servers.at(row);
            m_polled.append(server);
            m_readings.emplace_back();
            if (poll.opened != nw::status::Success) {
                m_failures.insert(server, pollFailureText(PollFailure::CannotConnect, poll.opened));
                m_list->setItemText(row, kUtilCol, QStringLiteral("?"));
                return;
            }
            if (poll.read != nw::status::Success) {
                m_failures.insert(server, poll.authenticated != nw::status::Success
                                              ? pollFailureText(PollFailure::NotAuthenticated, poll.authenticated)
                                              : pollFailureText(PollFailure::RequestFailed, poll.read));
                m_list->setItemText(row, kUtilCol, QStringLiteral("?"));
            } else {
                m_failures.remove(server);
                m_readings.back() = static_cast<int>(static_cast<qint32>(poll.info.utilization));
                m_list->setItemText(row, kUtilCol, QString::number(static_cast<qint32>(poll.info.utilization)));
                const double high = cellNumber(m_list->itemText(row, kHighCol));
                const double current = cellNumber(m_list->itemText(row, kUtilCol));
                if (high < current)
                    m_list->setItemText(row, kHighCol, m_list->itemText(row, kUtilCol));
            }
            // The failure message is modal and lets events run as well.
            nw::reportCloseFailure(this->context(), poll.closed);
        },
        [this](ReadEnd) {
            unsetCursor();
            m_polling = false;
            m_history.recordPoll(QDateTime::currentMSecsSinceEpoch(), m_polled, m_readings);
            // The poll's readings with each row's high-water mark, kept by the program's history.
            std::vector<history::Sample> samples;
            const QDateTime polledAt = QDateTime::currentDateTimeUtc();
            for (int row = 0; row < static_cast<int>(m_readings.size()) && row < m_polled.size(); ++row) {
                const std::optional<int>& reading = m_readings[static_cast<size_t>(row)];
                if (!reading)
                    continue;
                int high = *reading;
                if (row < m_list->rowCount() && m_list->itemText(row, kServerCol) == m_polled.at(row))
                    high = std::max(high, static_cast<int>(cellNumber(m_list->itemText(row, kHighCol))));
                samples.push_back({m_polled.at(row), polledAt, *reading, high});
            }
            recordSamples(this->context(), std::move(samples));
            if (m_historyWindow)
                m_historyWindow->historyChanged();
            m_lastPollLabel->setText(
                tr("Last poll: %1").arg(QLocale().toString(QTime::currentTime(), QLocale::LongFormat)));
            Q_EMIT pollFinished();
        });
}

QSize UtilizationWindow::minimumFrameSize() const
{
    // The designed minimum, but never so narrow that the reset button is cut off.
    const QSize designed = ViewWindow::minimumFrameSize();
    const int margin = texts::twipsToPixels(kMargin, logicalDpiX());
    const QWidget* outer = frame() ? static_cast<const QWidget*>(frame()) : this;
    const int controlsWidth = m_refresh->sizeHint().width() + m_reset->sizeHint().width()
                              + m_historyButton->sizeHint().width() + 4 * margin + (outer->width() - width());
    return {qMax(designed.width(), controlsWidth), designed.height()};
}

void UtilizationWindow::layoutContents()
{
    const double dpiX = logicalDpiX();
    const double dpiY = logicalDpiY();
    const int margin = texts::twipsToPixels(kMargin, dpiX);
    QWidget* frame = settings::WindowState::frameOf(this);

    // The refresh frame and the reset button keep their places above the list.
    const QSize frameHint = m_refresh->sizeHint();
    m_refresh->setGeometry(margin, 0, frameHint.width(), frameHint.height());
    if (m_refresh->layout())
        m_refresh->layout()->activate();  // places the start button, which the reset button lines up with
    const QSize resetHint = m_reset->sizeHint();
    // Level with the start button inside the frame.
    const QRect button = m_refresh->btnRefresh()->geometry();
    m_reset->setGeometry(m_refresh->geometry().right() + margin,
                         m_refresh->y() + button.center().y() - resetHint.height() / 2, resetHint.width(),
                         resetHint.height());

    const QSize historyHint = m_historyButton->sizeHint();
    m_historyButton->setGeometry(m_reset->geometry().right() + margin, m_reset->y(), historyHint.width(),
                                 historyHint.height());

    const int statusHeight = m_status->sizeHint().height();
    m_status->setGeometry(0, height() - statusHeight, width(), statusHeight);

    // The list takes what the designed allowances leave; the allowance counts
    // the status bar, so a taller bar on this desktop moves the list's top up,
    // never under the refresh frame.
    const int outerWidth = frame == this ? width() : frame->width();
    const int listWidth = qMin(outerWidth - texts::twipsToPixels(kListWidthAllowance, dpiX), width() - 2 * margin);
    const int allowance = texts::twipsToPixels(kListHeightAllowance, dpiY);
    const int top = qMax(m_refresh->geometry().bottom() + margin, allowance - statusHeight);
    const int listHeight = height() - top - statusHeight;
    m_list->setGeometry(margin, top, qMax(0, listWidth), qMax(0, listHeight));
}

UtilizationHistoryWindow* UtilizationWindow::showHistory()
{
    if (!m_historyWindow) {
        QStringList monitored;
        for (int row = 0; row < m_list->rowCount(); ++row)
            monitored.append(m_list->itemText(row, kServerCol));
        m_historyWindow = new UtilizationHistoryWindow(m_history, context().history, monitored, this);
        m_historyWindow->setAttribute(Qt::WA_DeleteOnClose);
        m_historyWindow->setWindowIcon(window()->windowIcon());
    }
    widgets::showOverOwner(*m_historyWindow);
    return m_historyWindow;
}

void UtilizationWindow::fitColumns()
{
    widgets::fitListColumns(*m_list->treeView());
    // Room for the bar: a narrow bar would not tell 20 % from 30 %.
    QHeaderView* header = m_list->treeView()->header();
    header->resizeSection(kUtilCol, std::max(header->sectionSize(kUtilCol), kUtilBarWidth));
}

void UtilizationWindow::unloadContents()
{
    windowState().saveListColumns(m_list->treeView()->header());
}

void openServerUtilization(views::ViewHost& host)
{
    if (host.serverCount() == 0)
        return;
    views::OpeningScope opening(host, true);

    UtilizationWindow* form = openView<UtilizationWindow>(host);
    for (const QString& name : host.selectedServers())
        form->addServer(name);
    form->fitColumnsOnFirstOpening();
}

void pollOnceForReport(QWidget* window)
{
    QPointer<UtilizationWindow> form = qobject_cast<UtilizationWindow*>(window);
    if (!form)
        return;
    form->fraRefresh()->stop();
    // A poll the timer started is let end first: the printed poll is whole.
    form->waitForPoll();
    if (form)
        form->pollOnce();
}

}  // namespace views

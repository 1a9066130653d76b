#include "settings/ColumnScale.h"
#include "settings/Registry.h"
#include "settings/Twips.h"
#include "support/FakeViewHost.h"
#include "support/MemoryRegistry.h"
#include "support/SimNetwork.h"
#include "support/StubClient.h"
#include "support/TestContext.h"
#include "views/ServerMonForm.h"
#include "widgets/RefreshFrame.h"
#include "widgets/ReportListView.h"

#include <QHash>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

using views::ServerMonForm;

namespace {

const QString kKey = settings::rootKeyPath(QStringLiteral("ServerUtilForm"));

// Three servers: FS1 walks 10, 30, 20; FS2 cannot report its figures; DOWN is
// unreachable. CLOSEFAIL answers but refuses to close the connection.
const QByteArray kNetwork = R"({
  "format": 1,
  "clock": "2026-12-05T19:04:36",
  "trees": [ { "name": "T", "containers": [ { "name": "O", "class": "Organization" } ] } ],
  "servers": [
    { "name": "FS1", "tree": "T", "utilization": [10, 30, 20] },
    { "name": "FS2", "tree": "T", "utilization": [50], "faults": { "NWGetFileServerInfo": "0x8801" } },
    { "name": "DOWN", "tree": "T", "reachable": false },
    { "name": "CLOSEFAIL", "tree": "T", "utilization": [7], "faults": { "NWCCCloseConn": "0x8801" } }
  ]
})";

QByteArray slowNetwork(int servers, int latencyMs)
{
    QByteArray list;
    for (int i = 1; i <= servers; ++i) {
        if (i > 1)
            list += ',';
        list += R"({ "name": "S)" + QByteArray::number(i) + R"(", "tree": "T", "utilization": [5] })";
    }
    return R"({ "format": 1, "latencyMs": )" + QByteArray::number(latencyMs)
           + R"(, "trees": [ { "name": "T", "containers": [ { "name": "O", "class": "Organization" } ] } ],
                  "servers": [ )" + list + " ] }";
}

// A monitor that answers one step of a script per poll and server: a number is
// the utilization read, "?" a failed read, "x" a server that cannot be reached.
// It refuses NWDSAuthenticate: the monitor polls without looking at it.
class ScriptedServers : public testing::StubClient {
public:
    QHash<QString, QStringList> scripts;
    QHash<QString, int> steps;
    QHash<nw::NWCONN_HANDLE, QString> open;
    nw::NWCONN_HANDLE next = 100;

    NWRCODE NWCCOpenConnByName(nw::NWCONN_HANDLE, const QByteArray& name, quint32, quint32, quint32,
                               nw::NWCONN_HANDLE& connection) override
    {
        const QString server = QString::fromLatin1(name.constData());
        if (current(server) == u"x") {
            ++steps[server];
            return nw::status::ConnectionRefused;
        }
        connection = ++next;
        open.insert(connection, server);
        return nw::status::Success;
    }
    NWRCODE NWGetFileServerInfo(nw::NWCONN_HANDLE connection, nw::FileServerInfo& info) override
    {
        const QString server = open.value(connection);
        const QString step = current(server);
        ++steps[server];
        if (step == u"?")
            return nw::status::InvalidConnection;
        info.utilization = step.toUInt();
        return nw::status::Success;
    }
    NWRCODE NWCCCloseConn(nw::NWCONN_HANDLE connection) override
    {
        return open.remove(connection) ? nw::status::Success : nw::status::InvalidConnection;
    }

private:
    QString current(const QString& server) const
    {
        const QStringList script = scripts.value(server);
        return script.isEmpty() ? QStringLiteral("0") : script.at(steps.value(server) % script.size());
    }
};

struct Fixture {
    explicit Fixture(std::unique_ptr<nw::NetWareClient> c)
        : client(std::move(c)), services(client ? *client : fallback, registry), host(services.context)
    {
        settings::subResetStartingServerContext(registry);   // the root key, as after a first run
        host.window()->show();
    }
    explicit Fixture(const QByteArray& json) : Fixture(testing::makeNetwork(json)) {}

    ServerMonForm* open(const QStringList& servers)
    {
        host.selection = servers;
        views::btnUtilization_Click(host);
        return views::serverMonWindow(host);
    }

    testing::StubClient fallback;
    std::unique_ptr<nw::NetWareClient> client;
    testing::MemoryRegistry registry;
    testing::TestContext services;
    testing::FakeViewHost host;
};

QStringList column(const ServerMonForm* form, int col)
{
    QStringList texts;
    for (int row = 0; row < form->lstvwServerUtilization()->rowCount(); ++row)
        texts.append(form->lstvwServerUtilization()->itemText(row, col));
    return texts;
}

// "util/high" of every row.
QString marks(const ServerMonForm* form)
{
    QStringList cells;
    for (int row = 0; row < form->lstvwServerUtilization()->rowCount(); ++row)
        cells.append(form->lstvwServerUtilization()->itemText(row, 1) + u'/'
                     + form->lstvwServerUtilization()->itemText(row, 2));
    return cells.join(u' ');
}

void stopPolling(ServerMonForm* form)
{
    if (form->fraRefresh()->isRefreshing())
        form->btnRefresh_Click();
}

}  // namespace

class TestServerMon : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QCoreApplication::processEvents(); }
    void firstOpeningStartsPolling();
    void nothingHappensWithoutServers();
    void addsEachServerOnceCaseSensitive();
    void restoresAndSavesWindowState();
    void pollMarks_data();
    void pollMarks();
    void pollsTheSimulatedNetwork();
    void closeFailureIsReportedEveryPoll();
    void resetClearsHighMarksOnly();
    void intervalEdits_data();
    void intervalEdits();
    void saveAndCopyOnlyWhileStopped();
    void tickDuringPollIsSkipped();
    void rowsAddedDuringPollWaitForTheNextTick();
    void closingDuringPollEndsIt();
    void keepsMinimumSize();
    void reportPollsOnceAndStops();
};

void TestServerMon::firstOpeningStartsPolling()
{
    Fixture f(kNetwork);
    QVERIFY(f.client);
    ServerMonForm* form = f.open({QStringLiteral("FS1")});
    QVERIFY(form);
    QCOMPARE(form->windowTitle(), QStringLiteral("Server Utilization"));
    QCOMPARE(f.host.openingsStarted, 1);
    QCOMPARE(f.host.openings, 0);

    // Placed at 0,0 with 8040 x 7000 twips, three columns of 1440 twips.
    QWidget* frame = settings::WindowState::frameOf(form);
    const double dpiX = frame->logicalDpiX();
    const double dpiY = frame->logicalDpiY();
    QCOMPARE(frame->pos(), QPoint(0, 0));
    QCOMPARE(frame->size(), QSize(settings::twipsToPixels(8040, dpiX), settings::twipsToPixels(7000, dpiY)));
    auto* list = form->lstvwServerUtilization();
    QCOMPARE(list->columnCount(), 3);
    QCOMPARE(QStringList({list->heading(0), list->heading(1), list->heading(2)}),
             QStringList({"Server", "Util %", "High %"}));
    for (int col = 0; col < 3; ++col)
        QCOMPARE(list->columnWidthTwips(col), 1440);
    QCOMPARE(list->model().columnAlignment(1) & Qt::AlignHorizontal_Mask, Qt::AlignRight);

    QCOMPARE(form->txtInterval()->text(), QStringLiteral("1"));
    QVERIFY(!form->txtInterval()->isEnabled());
    QCOMPARE(form->btnRefresh()->text(), QStringLiteral("&Stop"));
    QVERIFY(form->Timer1()->isActive());
    QCOMPARE(form->Timer1()->interval(), 1000);
    QCOMPARE(form->btnReset()->text(), QStringLiteral("R&eset High %"));
    QCOMPARE(form->btnReset()->toolTip(), QStringLiteral("Reset High %"));
    QCOMPARE(form->findChild<QTimer*>(QStringLiteral("Timer1")), form->Timer1());
    QVERIFY(!f.host.saveEnabled);
    QVERIFY(!f.host.copyEnabled);

    // The first tick polls on its own.
    QSignalSpy polled(form, &ServerMonForm::pollFinished);
    QVERIFY(polled.wait(3000));
    QCOMPARE(marks(form), QStringLiteral("10/10"));
}

void TestServerMon::nothingHappensWithoutServers()
{
    Fixture f(kNetwork);
    f.host.selection.clear();
    views::btnUtilization_Click(f.host);
    QVERIFY(!views::serverMonWindow(f.host));
    QCOMPARE(f.host.openingsStarted, 0);
}

void TestServerMon::addsEachServerOnceCaseSensitive()
{
    Fixture f(kNetwork);
    ServerMonForm* form = f.open({QStringLiteral("FS1"), QStringLiteral("FS2")});
    stopPolling(form);
    QCOMPARE(f.open({QStringLiteral("FS2"), QStringLiteral("fs1"), QStringLiteral("FS1")}), form);
    QCOMPARE(f.host.mdiArea()->subWindowList().size(), 1);
    QCOMPARE(column(form, 0), QStringList({"FS1", "FS2", "fs1"}));
    QCOMPARE(column(form, 1), QStringList({"0", "0", "0"}));
    QCOMPARE(column(form, 2), QStringList({"0", "0", "0"}));

    // The name goes to the client as written; the network knows fs1 as FS1.
    form->Timer1_Timer();
    QCOMPARE(marks(form), QStringLiteral("10/10 ?/0 30/30"));
}

void TestServerMon::restoresAndSavesWindowState()
{
    Fixture f(kNetwork);
    const QList<std::pair<QString, QString>> stored = {
        {"Top", "300"}, {"Left", "600"}, {"Height", "4500"}, {"Width", "6000"},
        {"ColWidth-Server", "2100"}, {"ColWidth-Util %", "900"}, {"ColWidth-High %", "1200"}};
    for (const auto& [name, value] : stored)
        settings::subSaveSetting(f.registry, kKey, name, value);

    ServerMonForm* form = f.open({QStringLiteral("FS1")});
    QWidget* frame = settings::WindowState::frameOf(form);
    const double dpi = frame->logicalDpiX();
    QCOMPARE(frame->pos(), QPoint(settings::twipsToPixels(600, dpi), settings::twipsToPixels(300, dpi)));
    QCOMPARE(form->lstvwServerUtilization()->columnWidthTwips(0), 2100);
    QCOMPARE(form->lstvwServerUtilization()->columnWidthTwips(1), 900);

    frame->move(settings::twipsToPixels(1500, dpi), settings::twipsToPixels(750, dpi));
    form->lstvwServerUtilization()->setColumnWidthTwips(2, 1800);
    // A widened column is stored as its width in whole pixels means in twips.
    const double columnDpi = settings::fnColumnDotsPerInch(form->lstvwServerUtilization());
    const QString widened = settings::twipsToText(
        settings::pixelsToTwips(settings::twipsToPixels(1800, columnDpi), columnDpi));
    QPointer<QWidget> watched(frame);
    frame->close();
    QTRY_VERIFY(!watched);
    QVERIFY(!views::serverMonWindow(f.host));

    const auto value = [&](const char* name) {
        return settings::fnReadValue(f.registry, kKey, QLatin1String(name), 9).value_or(QString());
    };
    QCOMPARE(value("Left"), QStringLiteral("1500"));
    QCOMPARE(value("Top"), QStringLiteral("750"));
    QCOMPARE(value("ColWidth-High %"), widened);
    QCOMPARE(value("ColWidth-Server"), QStringLiteral("2100"));

    // The next opening starts empty and polling again at one second.
    form = f.open({QStringLiteral("FS2")});
    QCOMPARE(column(form, 0), QStringList({"FS2"}));
    QCOMPARE(form->txtInterval()->text(), QStringLiteral("1"));
}

void TestServerMon::pollMarks_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QStringList>("afterEachPoll");   // "util/high"
    QTest::newRow("rise and fall") << QStringList{"10", "30", "20"} << QStringList{"10/10", "30/30", "20/30"};
    QTest::newRow("failed reads keep the mark")
        << QStringList{"25", "?", "x", "15", "40"} << QStringList{"25/25", "?/25", "?/25", "15/25", "40/40"};
    QTest::newRow("first reads fail") << QStringList{"x", "?", "5"} << QStringList{"?/0", "?/0", "5/5"};
    QTest::newRow("idle server") << QStringList{"0", "0"} << QStringList{"0/0", "0/0"};
    QTest::newRow("numbers, not texts") << QStringList{"9", "10", "100"} << QStringList{"9/9", "10/10", "100/100"};
}

void TestServerMon::pollMarks()
{
    QFETCH(QStringList, script);
    QFETCH(QStringList, afterEachPoll);
    auto scripted = std::make_unique<ScriptedServers>();
    ScriptedServers* servers = scripted.get();
    servers->scripts.insert(QStringLiteral("FS1"), script);
    Fixture f(std::move(scripted));
    ServerMonForm* form = f.open({QStringLiteral("FS1")});
    stopPolling(form);
    for (const QString& expected : afterEachPoll) {
        form->Timer1_Timer();
        QCOMPARE(marks(form), expected);
    }
    QVERIFY(servers->open.isEmpty());   // every opened connection was closed
    QVERIFY(f.services.messages.shown.isEmpty());
}

void TestServerMon::pollsTheSimulatedNetwork()
{
    Fixture f(kNetwork);
    ServerMonForm* form = f.open({QStringLiteral("FS1"), QStringLiteral("FS2"), QStringLiteral("DOWN")});
    stopPolling(form);
    const QStringList expected = {"10/10 ?/0 ?/0", "30/30 ?/0 ?/0", "20/30 ?/0 ?/0", "10/30 ?/0 ?/0"};
    for (const QString& marksAfter : expected) {
        form->Timer1_Timer();
        QCOMPARE(marks(form), marksAfter);
    }
    QVERIFY(f.services.messages.shown.isEmpty());
    QCOMPARE(form->cursor().shape(), Qt::ArrowCursor);
}

void TestServerMon::closeFailureIsReportedEveryPoll()
{
    Fixture f(kNetwork);
    ServerMonForm* form = f.open({QStringLiteral("CLOSEFAIL"), QStringLiteral("FS1")});
    stopPolling(form);
    form->Timer1_Timer();
    form->Timer1_Timer();
    QCOMPARE(f.services.messages.texts(),
             QStringList({"NWCCCloseConn returned 34817", "NWCCCloseConn returned 34817"}));
    QCOMPARE(f.services.messages.titles(), QStringList({"", ""}));
    // The figures were read before the close failed, and the poll went on.
    QCOMPARE(marks(form), QStringLiteral("7/7 30/30"));
}

void TestServerMon::resetClearsHighMarksOnly()
{
    auto scripted = std::make_unique<ScriptedServers>();
    scripted->scripts.insert(QStringLiteral("FS1"), {"40", "12", "8"});
    scripted->scripts.insert(QStringLiteral("FS2"), {"20", "0", "3"});
    scripted->scripts.insert(QStringLiteral("FS3"), {"60", "?", "?"});
    Fixture f(std::move(scripted));
    ServerMonForm* form = f.open({QStringLiteral("FS1"), QStringLiteral("FS2"), QStringLiteral("FS3")});
    stopPolling(form);
    form->Timer1_Timer();
    QCOMPARE(marks(form), QStringLiteral("40/40 20/20 60/60"));

    QTest::mouseClick(form->btnReset(), Qt::LeftButton);
    QCOMPARE(marks(form), QStringLiteral("40/0 20/0 60/0"));

    // The next poll sets each mark to the current value, unless that is 0 or unknown.
    form->Timer1_Timer();
    QCOMPARE(marks(form), QStringLiteral("12/12 0/0 ?/0"));
    form->Timer1_Timer();
    QCOMPARE(marks(form), QStringLiteral("8/12 3/3 ?/0"));
}

void TestServerMon::intervalEdits_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("startEnabled");
    QTest::addColumn<bool>("ticks");   // a started monitor has a running timer
    QTest::addColumn<int>("period");
    QTest::newRow("75 becomes 60") << "75" << "60" << true << true << 60000;
    QTest::newRow("empty") << "" << "" << false << false << 0;
    QTest::newRow("lone point") << "." << "." << false << false << 0;
    QTest::newRow("zero never ticks") << "0" << "0" << true << false << 0;
    QTest::newRow("letters are not typed") << "a5b" << "5" << true << true << 5000;
    QTest::newRow("rounded seconds") << "2.6" << "2.6" << true << true << 3000;
}

void TestServerMon::intervalEdits()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(bool, startEnabled);
    QFETCH(bool, ticks);
    QFETCH(int, period);
    Fixture f(kNetwork);
    ServerMonForm* form = f.open({QStringLiteral("FS1")});
    stopPolling(form);
    QVERIFY(form->txtInterval()->isEnabled());
    form->txtInterval()->clear();
    QTest::keyClicks(form->txtInterval(), typed);
    QCOMPARE(form->txtInterval()->text(), shown);
    QCOMPARE(form->btnRefresh()->isEnabled(), startEnabled);
    if (!startEnabled)
        return;
    QTest::mouseClick(form->btnRefresh(), Qt::LeftButton);
    QCOMPARE(form->btnRefresh()->text(), QStringLiteral("&Stop"));
    QCOMPARE(form->Timer1()->isActive(), ticks);
    if (ticks)
        QCOMPARE(form->Timer1()->interval(), period);
}

void TestServerMon::saveAndCopyOnlyWhileStopped()
{
    Fixture f(kNetwork);
    ServerMonForm* form = f.open({QStringLiteral("FS1")});
    QVERIFY(!f.host.saveEnabled && !f.host.copyEnabled);
    QTest::mouseClick(form->btnRefresh(), Qt::LeftButton);
    QCOMPARE(form->btnRefresh()->text(), QStringLiteral("Begin &Refresh"));
    QVERIFY(f.host.saveEnabled && f.host.copyEnabled);
    QVERIFY(!form->Timer1()->isActive());
    QVERIFY(form->txtInterval()->isEnabled());

    // Becoming active again follows the caption.
    f.host.setSaveEnabled(false);
    f.host.setCopyEnabled(false);
    form->Form_Activate();
    QVERIFY(f.host.saveEnabled && f.host.copyEnabled);

    QTest::mouseClick(form->btnRefresh(), Qt::LeftButton);
    QVERIFY(!f.host.saveEnabled && !f.host.copyEnabled);
    form->Form_Activate();
    QVERIFY(!f.host.saveEnabled && !f.host.copyEnabled);
}

void TestServerMon::tickDuringPollIsSkipped()
{
    Fixture f(slowNetwork(3, 5));
    ServerMonForm* form = f.open({QStringLiteral("S1"), QStringLiteral("S2"), QStringLiteral("S3")});
    stopPolling(form);
    // A tick that falls due while the poll yields finds it running and returns.
    int nestedCalls = 0;
    QTimer::singleShot(0, form, [&] {
        ++nestedCalls;
        QVERIFY(form->isPolling());
        form->Timer1_Timer();
    });
    QSignalSpy finished(form, &ServerMonForm::pollFinished);
    form->Timer1_Timer();
    QCOMPARE(nestedCalls, 1);
    QCOMPARE(finished.count(), 1);
    QVERIFY(!form->isPolling());
    QCOMPARE(marks(form), QStringLiteral("5/5 5/5 5/5"));
}

void TestServerMon::rowsAddedDuringPollWaitForTheNextTick()
{
    auto scripted = std::make_unique<ScriptedServers>();
    scripted->scripts.insert(QStringLiteral("FS1"), {"11"});
    scripted->scripts.insert(QStringLiteral("FS2"), {"22"});
    Fixture f(std::move(scripted));
    ServerMonForm* form = f.open({QStringLiteral("FS1")});
    stopPolling(form);
    QTimer::singleShot(0, form, [&] { f.open({QStringLiteral("FS2")}); });
    form->Timer1_Timer();
    QCOMPARE(marks(form), QStringLiteral("11/11 0/0"));
    form->Timer1_Timer();
    QCOMPARE(marks(form), QStringLiteral("11/11 22/22"));
}

void TestServerMon::closingDuringPollEndsIt()
{
    // Eight slow servers; the window is closed while the second or third is read.
    Fixture f(slowNetwork(8, 10));
    QStringList names;
    for (int i = 1; i <= 8; ++i)
        names.append(QStringLiteral("S%1").arg(i));
    QPointer<ServerMonForm> form = f.open(names);
    stopPolling(form);
    QPointer<QWidget> frame = settings::WindowState::frameOf(form);
    bool pollReturned = false;
    QTimer::singleShot(0, form, [&] {
        form->Timer1_Timer();
        pollReturned = true;
    });
    QTimer::singleShot(90, frame, [&] { frame->close(); });
    QTRY_VERIFY(pollReturned);
    QTRY_VERIFY(!frame);
    QVERIFY(!form);
    QVERIFY(!views::serverMonWindow(f.host));
    // The close saved the window's state.
    QVERIFY(settings::fnReadValue(f.registry, kKey, QStringLiteral("Width"), 9).has_value());
}

void TestServerMon::keepsMinimumSize()
{
    Fixture f(kNetwork);
    ServerMonForm* form = f.open({QStringLiteral("FS1")});
    stopPolling(form);
    QWidget* frame = settings::WindowState::frameOf(form);
    const double dpiX = frame->logicalDpiX();
    const double dpiY = frame->logicalDpiY();
    frame->resize(50, 40);
    // 3975 x 2295 twips, widened where this desktop's buttons need more room.
    QVERIFY(frame->width() >= settings::twipsToPixels(3975, dpiX));
    QVERIFY(form->btnReset()->geometry().right() < form->width());
    QCOMPARE(frame->height(), settings::twipsToPixels(2295, dpiY));
    frame->resize(settings::twipsToPixels(6000, dpiX), 40);
    QCOMPARE(frame->width(), settings::twipsToPixels(6000, dpiX));
    QCOMPARE(frame->height(), settings::twipsToPixels(2295, dpiY));

    frame->resize(700, 500);
    auto* list = form->lstvwServerUtilization();
    QCOMPARE(list->width(), qMin(700 - settings::twipsToPixels(135, dpiX), form->width() - 2 * settings::twipsToPixels(60, dpiX)));
    QVERIFY(list->geometry().top() > form->fraRefresh()->geometry().bottom());
    QVERIFY(list->geometry().bottom() < form->StatusBar1()->geometry().top());
    QVERIFY(form->btnReset()->geometry().bottom() < list->geometry().top());
}

void TestServerMon::reportPollsOnceAndStops()
{
    Fixture f(kNetwork);
    ServerMonForm* form = f.open({QStringLiteral("FS1"), QStringLiteral("DOWN")});
    views::pollOnceForReport(form);
    QCOMPARE(marks(form), QStringLiteral("10/10 ?/0"));
    QVERIFY(!form->Timer1()->isActive());
    QVERIFY(f.host.saveEnabled);
}

QTEST_MAIN(TestServerMon)
#include "test_servermon.moc"

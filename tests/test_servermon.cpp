#include "settings/Registry.h"
#include "text/Twips.h"
#include "support/FakeViewHost.h"
#include "support/MemoryRegistry.h"
#include "support/SimNetwork.h"
#include "support/StubClient.h"
#include "support/TestContext.h"
#include "support/TestMain.h"
#include "views/UtilizationWindow.h"
#include "widgets/RefreshFrame.h"
#include "widgets/ReportListView.h"

#include <QHash>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <mutex>

using views::UtilizationWindow;

namespace {

const QString kKey = settings::rootKeyPath(QStringLiteral("ServerUtilForm"));

// FS1 walks 10, 30, 20; FS2 cannot report its figures; DOWN is unreachable;
// CLOSEFAIL answers but refuses to close the connection; S1 to S3 answer slowly.
const QByteArray kNetwork = R"({
  "format": 1,
  "clock": "2026-12-05T19:04:36",
  "trees": [ { "name": "T", "containers": [ { "name": "O", "class": "Organization" } ] } ],
  "servers": [
    { "name": "FS1", "tree": "T", "utilization": [10, 30, 20] },
    { "name": "FS2", "tree": "T", "utilization": [50], "faults": { "NWGetFileServerInfo": "0x8801" } },
    { "name": "DOWN", "tree": "T", "reachable": false },
    { "name": "CLOSEFAIL", "tree": "T", "utilization": [7], "faults": { "NWCCCloseConn": "0x8801" } },
    { "name": "S1", "tree": "T", "utilization": [5], "latencyMs": 15 },
    { "name": "S2", "tree": "T", "utilization": [5], "latencyMs": 15 },
    { "name": "S3", "tree": "T", "utilization": [5], "latencyMs": 15 }
  ]
})";

// A monitor that answers one step of a script per poll and server: a number is
// the utilization read, "?" a failed read, "x" a server that cannot be reached.
// It refuses NWDSAuthenticate: the monitor polls without looking at it.
class ScriptedServers : public testing::StubClient {
public:
    explicit ScriptedServers(QHash<QString, QStringList> s) : scripts(std::move(s)) {}
    QHash<QString, QStringList> scripts;
    QHash<QString, int> steps;
    QHash<nw::NWCONN_HANDLE, QString> open;
    nw::NWCONN_HANDLE next = 100;

    NWRCODE NWCCOpenConnByName(nw::NWCONN_HANDLE, const QByteArray& name, quint32, quint32, quint32,
                               nw::NWCONN_HANDLE& connection) override
    {
        // Polls read their servers from several threads at once.
        const std::lock_guard lock(m_mutex);
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
        const std::lock_guard lock(m_mutex);
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
        const std::lock_guard lock(m_mutex);
        return open.remove(connection) ? nw::status::Success : nw::status::InvalidConnection;
    }

private:
    std::mutex m_mutex;
    QString current(const QString& server) const
    {
        const QStringList script = scripts.value(server);
        return script.isEmpty() ? QStringLiteral("0") : script.at(steps.value(server) % script.size());
    }
};

struct Fixture {
    explicit Fixture(std::unique_ptr<nw::NetWareClient> c)
        : client(std::move(c))
        , services(client ? *client : fallback, registry)
        , host(services.context)
    {
        settings::resetStartingServerContext(registry);  // the root key, as after a first run
        host.window()->show();
    }
    explicit Fixture(const QByteArray& json) : Fixture(testing::makeNetwork(json)) {}
    explicit Fixture(QHash<QString, QStringList> scripts)
        : Fixture(std::make_unique<ScriptedServers>(std::move(scripts)))
    {
    }

    // Opened and stopped, so that each poll is one call of the timer's handler.
    UtilizationWindow* openStopped(const QStringList& servers)
    {
        UtilizationWindow* form = open(servers);
        if (form->fraRefresh()->isRefreshing())
            form->toggleRefresh();
        return form;
    }

    UtilizationWindow* open(const QStringList& servers)
    {
        host.selection = servers;
        views::openServerUtilization(host);
        return views::findView<views::UtilizationWindow>(host);
    }

    testing::StubClient fallback;
    std::unique_ptr<nw::NetWareClient> client;
    testing::MemoryRegistry registry;
    testing::TestContext services;
    testing::FakeViewHost host;
};

QStringList column(const UtilizationWindow* form, int col)
{
    QStringList texts;
    for (int row = 0; row < form->lstvwServerUtilization()->rowCount(); ++row)
        texts.append(form->lstvwServerUtilization()->itemText(row, col));
    return texts;
}

// "util/high" of every row.
QString marks(const UtilizationWindow* form)
{
    QStringList cells;
    for (int row = 0; row < form->lstvwServerUtilization()->rowCount(); ++row)
        cells.append(form->lstvwServerUtilization()->itemText(row, 1) + u'/'
                     + form->lstvwServerUtilization()->itemText(row, 2));
    return cells.join(u' ');
}

}  // namespace

class TestServerMon : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QCoreApplication::processEvents(); }
    void firstOpeningStartsPolling();
    void addsEachServerOnceCaseSensitive();
    void pollMarks_data();
    void pollMarks();
    void pollsTheSimulatedNetwork();
    void closeFailureIsReportedEveryPoll();
    void intervalEdits_data();
    void intervalEdits();
    void saveAndCopyOnlyWhileStopped();
    void tickDuringPollIsSkipped();
    void rowsAddedDuringPollWaitForTheNextTick();
    void closingDuringPollEndsIt();
    void keepsMinimumSize();
};

void TestServerMon::firstOpeningStartsPolling()
{
    Fixture f(kNetwork);
    QVERIFY(f.client);
    QVERIFY(!f.open({}));  // nothing selected: nothing opens
    QCOMPARE(f.host.openingsStarted, 0);

    UtilizationWindow* form = f.open({QStringLiteral("FS1")});
    QVERIFY(form);
    QCOMPARE(form->windowTitle(), QStringLiteral("Server Utilization"));
    QCOMPARE(f.host.openingsStarted, 1);
    QCOMPARE(f.host.openings, 0);
    QCOMPARE(form->txtInterval()->text(), QStringLiteral("1"));
    QVERIFY(!form->txtInterval()->isEnabled());
    QCOMPARE(form->btnRefresh()->text(), QStringLiteral("&Stop"));
    QVERIFY(form->timer()->isActive());
    QCOMPARE(form->timer()->interval(), 1000);
    QVERIFY(!f.host.saveEnabled && !f.host.copyEnabled);

    // The first tick polls on its own.
    QSignalSpy polled(form, &UtilizationWindow::pollFinished);
    QVERIFY(polled.wait(3000));
    QCOMPARE(marks(form), QStringLiteral("10/10"));
}

void TestServerMon::addsEachServerOnceCaseSensitive()
{
    Fixture f(kNetwork);
    UtilizationWindow* form = f.openStopped({QStringLiteral("FS1"), QStringLiteral("FS2")});
    QCOMPARE(f.open({QStringLiteral("FS2"), QStringLiteral("fs1"), QStringLiteral("FS1")}), form);
    QCOMPARE(f.host.mdiArea()->subWindowList().size(), 1);
    QCOMPARE(column(form, 0), QStringList({"FS1", "FS2", "fs1"}));
    QCOMPARE(marks(form), QStringLiteral("0/0 0/0 0/0"));

    // The name goes to the client as written; the network knows fs1 as FS1.
    form->pollOnce();
    QCOMPARE(marks(form), QStringLiteral("10/10 ?/0 30/30"));
}

void TestServerMon::pollMarks_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QStringList>("afterEachStep");  // "util/high" after a poll, or after "reset "
    QTest::newRow("rise and fall") << QStringList{"10", "30", "20"} << QStringList{"10/10", "30/30", "20/30"};
    QTest::newRow("failed reads keep the mark")
        << QStringList{"25", "?", "x", "15", "40"} << QStringList{"25/25", "?/25", "?/25", "15/25", "40/40"};
    QTest::newRow("first reads fail") << QStringList{"x", "?", "5"} << QStringList{"?/0", "?/0", "5/5"};
    QTest::newRow("numbers, not texts") << QStringList{"9", "10", "100"} << QStringList{"9/9", "10/10", "100/100"};
    // After a reset the next poll sets the mark to the current value, unless that is 0 or unknown.
    QTest::newRow("reset, lower read") << QStringList{"40", "12", "8"}
                                       << QStringList{"40/40", "reset 40/0", "12/12", "8/12"};
    QTest::newRow("reset, idle") << QStringList{"20", "0", "3"} << QStringList{"20/20", "reset 20/0", "0/0", "3/3"};
    QTest::newRow("reset, failures") << QStringList{"60", "?", "?"} << QStringList{"60/60", "reset 60/0", "?/0", "?/0"};
}

void TestServerMon::pollMarks()
{
    QFETCH(QStringList, script);
    QFETCH(QStringList, afterEachStep);
    Fixture f(QHash<QString, QStringList>{{QStringLiteral("FS1"), script}});
    UtilizationWindow* form = f.openStopped({QStringLiteral("FS1")});
    for (QString expected : afterEachStep) {
        if (expected.startsWith(QLatin1String("reset ")))
            QTest::mouseClick(form->btnReset(), Qt::LeftButton);
        else
            form->pollOnce();
        QCOMPARE(marks(form), expected.remove(QLatin1String("reset ")));
    }
    QVERIFY(static_cast<ScriptedServers&>(*f.client).open.isEmpty());  // every opened connection was closed
    QVERIFY(f.services.messages.shown.isEmpty());
}

void TestServerMon::pollsTheSimulatedNetwork()
{
    Fixture f(kNetwork);
    UtilizationWindow* form = f.openStopped({QStringLiteral("FS1"), QStringLiteral("FS2"), QStringLiteral("DOWN")});
    for (const char* marksAfter : {"10/10 ?/0 ?/0", "30/30 ?/0 ?/0", "20/30 ?/0 ?/0", "10/30 ?/0 ?/0"}) {
        form->pollOnce();
        QCOMPARE(marks(form), QLatin1String(marksAfter));
    }
    QVERIFY(f.services.messages.shown.isEmpty());
    QCOMPARE(form->cursor().shape(), Qt::ArrowCursor);
}

void TestServerMon::closeFailureIsReportedEveryPoll()
{
    Fixture f(kNetwork);
    UtilizationWindow* form = f.openStopped({QStringLiteral("CLOSEFAIL"), QStringLiteral("FS1")});
    form->pollOnce();
    form->pollOnce();
    QCOMPARE(f.services.messages.texts(),
             QStringList({"NWCCCloseConn returned 34817", "NWCCCloseConn returned 34817"}));
    QCOMPARE(f.services.messages.titles(), QStringList({"", ""}));
    // The figures were read before the close failed, and the poll went on.
    QCOMPARE(marks(form), QStringLiteral("7/7 30/30"));
}

void TestServerMon::intervalEdits_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("period");  // -1: cannot be started; 0: started, never ticks
    QTest::newRow("75 becomes 60") << "75"
                                   << "60" << 60000;
    QTest::newRow("empty") << ""
                           << "" << -1;
    QTest::newRow("lone point") << "."
                                << "." << -1;
    QTest::newRow("zero never ticks") << "0"
                                      << "0" << 0;
    QTest::newRow("letters are not typed") << "a5b"
                                           << "5" << 5000;
    QTest::newRow("fractions of a second count") << "2.6"
                                                 << "2.6" << 2600;
}

void TestServerMon::intervalEdits()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, period);
    Fixture f(kNetwork);
    UtilizationWindow* form = f.openStopped({QStringLiteral("FS1")});
    QVERIFY(form->txtInterval()->isEnabled());
    form->txtInterval()->clear();
    QTest::keyClicks(form->txtInterval(), typed);
    QCOMPARE(form->txtInterval()->text(), shown);
    QCOMPARE(form->btnRefresh()->isEnabled(), period >= 0);
    if (period < 0)
        return;
    QTest::mouseClick(form->btnRefresh(), Qt::LeftButton);
    QCOMPARE(form->btnRefresh()->text(), QStringLiteral("&Stop"));
    QCOMPARE(form->timer()->isActive(), period > 0);
    if (period > 0)
        QCOMPARE(form->timer()->interval(), period);
}

void TestServerMon::saveAndCopyOnlyWhileStopped()
{
    Fixture f(kNetwork);
    UtilizationWindow* form = f.open({QStringLiteral("FS1")});
    const auto saveCopy = [&f] { return QString::number(f.host.saveEnabled) + QString::number(f.host.copyEnabled); };
    QCOMPARE(saveCopy(), QStringLiteral("00"));
    QTest::mouseClick(form->btnRefresh(), Qt::LeftButton);
    QCOMPARE(form->btnRefresh()->text(), QStringLiteral("Begin &Refresh"));
    QCOMPARE(saveCopy(), QStringLiteral("11"));
    QVERIFY(!form->timer()->isActive());

    // Becoming active again follows the caption.
    f.host.setSaveEnabled(false);
    f.host.setCopyEnabled(false);
    form->activate();
    QCOMPARE(saveCopy(), QStringLiteral("11"));
    QTest::mouseClick(form->btnRefresh(), Qt::LeftButton);
    QCOMPARE(saveCopy(), QStringLiteral("00"));
    form->activate();
    QCOMPARE(saveCopy(), QStringLiteral("00"));
}

void TestServerMon::tickDuringPollIsSkipped()
{
    Fixture f(kNetwork);
    UtilizationWindow* form = f.openStopped({QStringLiteral("S1"), QStringLiteral("S2"), QStringLiteral("S3")});
    // A tick that falls due while the poll yields finds it running and returns.
    int nestedCalls = 0;
    QTimer::singleShot(0, form, [&] {
        ++nestedCalls;
        QVERIFY(form->isPolling());
        form->pollOnce();
    });
    QSignalSpy finished(form, &UtilizationWindow::pollFinished);
    form->pollOnce();
    QCOMPARE(nestedCalls, 1);
    QCOMPARE(finished.count(), 1);
    QVERIFY(!form->isPolling());
    QCOMPARE(marks(form), QStringLiteral("5/5 5/5 5/5"));
}

void TestServerMon::rowsAddedDuringPollWaitForTheNextTick()
{
    Fixture f(QHash<QString, QStringList>{{"FS1", {"11"}}, {"FS2", {"22"}}});
    UtilizationWindow* form = f.openStopped({QStringLiteral("FS1")});
    QTimer::singleShot(0, form, [&] { f.open({QStringLiteral("FS2")}); });
    form->pollOnce();
    QCOMPARE(marks(form), QStringLiteral("11/11 0/0"));
    form->pollOnce();
    QCOMPARE(marks(form), QStringLiteral("11/11 22/22"));
}

void TestServerMon::closingDuringPollEndsIt()
{
    // Three slow servers; the window is closed while they are read.
    Fixture f(kNetwork);
    QPointer<UtilizationWindow> form =
        f.openStopped({QStringLiteral("S1"), QStringLiteral("S2"), QStringLiteral("S3")});
    QPointer<QWidget> frame = settings::WindowState::frameOf(form);
    bool pollReturned = false;
    QTimer::singleShot(0, form, [&] {
        form->pollOnce();
        pollReturned = true;
    });
    // Closed as soon as the round is seen under way, however fast this machine reads.
    bool closedWhilePolling = false;
    QTimer watch;
    watch.setInterval(2);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!form || !form->isPolling())
            return;
        watch.stop();
        closedWhilePolling = true;
        frame->close();
    });
    watch.start();
    QTRY_VERIFY(pollReturned);
    watch.stop();
    QVERIFY(closedWhilePolling);
    QTRY_VERIFY(!frame);
    QVERIFY(!form);
    QVERIFY(!views::findView<views::UtilizationWindow>(f.host));
    // The close saved the window's state.
    QVERIFY(settings::readValue(f.registry, kKey, QStringLiteral("Width"), 9).has_value());

    // The next opening starts empty and polling again at one second.
    form = f.open({QStringLiteral("S2")});
    QCOMPARE(column(form, 0), QStringList({"S2"}));
    QCOMPARE(form->txtInterval()->text(), QStringLiteral("1"));
    QVERIFY(form->timer()->isActive());
}

void TestServerMon::keepsMinimumSize()
{
    Fixture f(kNetwork);
    UtilizationWindow* form = f.openStopped({QStringLiteral("FS1")});
    QWidget* frame = settings::WindowState::frameOf(form);
    const double dpiX = frame->logicalDpiX();
    frame->resize(50, 40);
    // 3975 x 2295 twips, widened where this desktop's buttons need more room.
    QVERIFY(frame->width() >= texts::twipsToPixels(3975, dpiX));
    QVERIFY(form->btnReset()->geometry().right() < form->width());
    QCOMPARE(frame->height(), texts::twipsToPixels(2295, frame->logicalDpiY()));
    frame->resize(texts::twipsToPixels(6000, dpiX), 40);
    QCOMPARE(frame->width(), texts::twipsToPixels(6000, dpiX));
}

VESKARO_TEST_MAIN(TestServerMon)
#include "test_servermon.moc"

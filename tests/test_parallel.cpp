// Reading servers side by side: the reads themselves (order, bound, stop,
// owner going away), the ParallelServers setting and --jobs, the simulated
// client under concurrent calls, the same tables and messages with one and
// with many servers at a time, and views stopped and closed at every stage of
// a parallel opening with reads still under way.

#include "netware/NovellCalls.h"
#include "netware/ServerReads.h"
#include "netware/sim/SimClient.h"
#include "settings/Registry.h"
#include "support/FakeViewHost.h"
#include "support/MemoryRegistry.h"
#include "support/ReportRun.h"
#include "support/SimNetwork.h"
#include "support/TestContext.h"
#include "directory/PartitionsWindow.h"
#include "support/TestMain.h"
#include "views/AbendLogWindow.h"
#include "views/NlmWindow.h"
#include "views/ServerInformationWindow.h"
#include "views/SetCommandsWindow.h"
#include "views/VolumeUsageWindow.h"
#include "widgets/FlexGrid.h"
#include "widgets/RefreshFrame.h"
#include "widgets/ReportListView.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

using nw::ServerReads;

namespace {

// Runs the event loop until the reads end; false after the timeout.
bool waitForEnd(ServerReads& reads, int timeoutMs = 20000)
{
    if (!reads.isRunning())
        return true;
    QSignalSpy finished(&reads, &ServerReads::finished);
    return finished.wait(timeoutMs);
}

// ---- networks ----------------------------------------------------------------

QByteArray header(const QByteArray& servers)
{
    return R"({ "format": 1, "clock": "2026-12-05T19:04:36",
  "workstation": { "tree": "ACME_TREE", "logins": { "ACME_TREE": "admin.ACME" } },
  "trees": [ { "name": "ACME_TREE", "containers": [ { "name": "ACME", "class": "Organization" } ] } ],
  "servers": [ )"
           + servers + " ] }";
}

QString serverName(int i)
{
    return QStringLiteral("S%1").arg(i, 2, 10, QLatin1Char('0'));
}

QStringList serverNames(int count)
{
    QStringList names;
    for (int i = 0; i < count; ++i)
        names.append(serverName(i));
    return names;
}

// `count` servers with random latencies of 0 to 5 ms, module lists and SET
// parameters that differ a little, some that cannot be reached, and some whose
// calls fail: the close (a message after the server's row), the module list,
// the SET list or the utilization read. `notAuthenticated` >= 0 makes that
// server refuse the directory authentication.
QByteArray randomNetwork(quint32 seed, int count, int notAuthenticated = -1)
{
    QRandomGenerator random(seed);
    const QStringList modules{"CLIB.NLM", "DS.NLM",    "MONITOR.NLM", "TCPIP.NLM",   "NSS.NLM",
                              "SMDR.NLM", "TSAFS.NLM", "APACHE2.NLM", "LDAPSDK.NLM", "XMLRPC.NLM"};
    const QStringList parameters{
        "Maximum Packet Receive Buffers", "Read Ahead Enabled",          "Time Zone",
        "Minimum Service Processes",      "Dirty Disk Cache Delay Time", "Allow Unencrypted Passwords"};
    const QStringList faults{"NWCCCloseConn", "NWGetNLMLoadedList", "NWGetServerSetCommandsInfo", "NWGetFileServerInfo",
                             "NWDSGetDSVerInfo"};
    QByteArray servers;
    for (int i = 0; i < count; ++i) {
        QByteArray server = "{ \"name\": \"" + serverName(i).toLatin1() + "\", \"tree\": \"ACME_TREE\"";
        server += ", \"latencyMs\": " + QByteArray::number(random.bounded(6));
        server += ", \"upSeconds\": " + QByteArray::number(random.bounded(1000000));
        server += ", \"version\": \"5." + QByteArray::number(60 + 10 * random.bounded(2)) + "."
                  + QByteArray::number(random.bounded(9)) + "\"";
        server += ", \"utilization\": [" + QByteArray::number(random.bounded(100)) + ", "
                  + QByteArray::number(random.bounded(100)) + "]";
        const int roll = random.bounded(10);
        if (roll == 0)
            server += ", \"reachable\": false";
        else if (roll == 1 && i != notAuthenticated)
            server += ", \"faults\": { \"" + faults.at(random.bounded(faults.size())).toLatin1() + "\": \"0x8801\" }";
        if (i == notAuthenticated)
            server += ", \"faults\": { \"NWDSAuthenticate\": \"0xFFFFFD9E\" }";
        QByteArrayList nlms;
        for (int m = 0; m < modules.size(); ++m) {
            if (random.bounded(4) == 0)
                continue;
            QByteArray file = modules.at(m).toLatin1();
            if (random.bounded(8) == 0)
                file = file.toLower();
            nlms.append("{ \"file\": \"" + file + "\", \"name\": \"Module " + QByteArray::number(m)
                        + "\", \"notice\": \"(C) Acme\", \"version\": \"" + QByteArray::number(1 + m % 3) + "."
                        + QByteArray::number(random.bounded(3)) + "." + QByteArray::number(random.bounded(3))
                        + "\", \"date\": \"2008-0" + QByteArray::number(1 + random.bounded(9)) + "-1"
                        + QByteArray::number(random.bounded(10)) + "\" }");
        }
        server += ", \"nlms\": [ " + nlms.join(", ") + " ]";
        QByteArrayList sets;
        for (int p = 0; p < parameters.size(); ++p) {
            if (random.bounded(5) == 0)
                continue;
            sets.append("{ \"name\": \"" + parameters.at(p).toLatin1() + "\", \"category\": " + QByteArray::number(p)
                        + ", \"type\": 0, \"value\": " + QByteArray::number(random.bounded(3) * 100) + " }");
        }
        server += ", \"setParameters\": [ " + sets.join(", ") + " ] }";
        servers += (i ? ", " : "") + server;
    }
    return header(servers);
}

// Every server takes `latencyMs` a call: a read is slow enough to be caught in flight.
QByteArray slowNetwork(int count, int latencyMs)
{
    QByteArray servers;
    for (int i = 0; i < count; ++i) {
        servers += (i ? ", " : "") + QByteArray("{ \"name\": \"") + serverName(i).toLatin1()
                   + "\", \"tree\": \"ACME_TREE\", \"latencyMs\": " + QByteArray::number(latencyMs)
                   + (i == 3 ? ", \"reachable\": false" : "") + " }";
    }
    return header(servers);
}

// Servers with volumes, directory replicas and abend logs, for the volume,
// partitions and abend log views: random latencies of 0 to 5 ms, volumes
// reachable through the file system or not, administration volumes, some
// servers that cannot be reached, some whose close or volume scan fails,
// logs with halts of their own server and of another, servers without a log.
struct StorageNetwork {
    QByteArray json;
    std::vector<std::pair<QString, QByteArray>> files;  // below the description's folder
    QStringList closeRefused;                           // servers that refuse to close a connection

    // Connections that must still be open: those the servers refused to close.
    qsizetype refusedCloses(const nw::sim::SimClient& client) const
    {
        qsizetype count = 0;
        for (const auto& open : client.connectionOpens()) {
            if (open.result == 0 && closeRefused.contains(open.name))
                ++count;
        }
        return count;
    }

    // Writes the files below `folder`.
    bool writeFiles(const QString& folder) const
    {
        for (const auto& [name, bytes] : files) {
            const QString path = QDir(folder).filePath(name);
            if (!QDir().mkpath(QFileInfo(path).path()))
                return false;
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
                return false;
        }
        return true;
    }
};

// `latencyMs` >= 0: every server takes that long a call instead.
StorageNetwork storageNetwork(quint32 seed, int count, int closeFails = -1, int latencyMs = -1)
{
    QRandomGenerator random(seed);
    StorageNetwork network;
    const QStringList volumeNames{"DATA", "APPS", "_ADMIN", "NSS_ADMIN", "USERS"};
    QByteArrayList rootReplicas;
    QByteArrayList salesReplicas;
    QByteArray servers;
    for (int i = 0; i < count; ++i) {
        const QByteArray name = serverName(i).toLatin1();
        QByteArray server = "{ \"name\": \"" + name + "\", \"tree\": \"ACME_TREE\", \"context\": \"ACME\"";
        const int latency = random.bounded(6);
        server += ", \"latencyMs\": " + QByteArray::number(latencyMs >= 0 ? latencyMs : latency);
        const int roll = random.bounded(10);
        if (roll == 0)
            server += ", \"reachable\": false";
        else if (roll == 1 || i == closeFails) {
            server += ", \"faults\": { \"NWCCCloseConn\": \"0x8801\" }";
            network.closeRefused.append(serverName(i));
        } else if (roll == 2)
            server += ", \"faults\": { \"NWScanMountedVolumeList\": \"0x8801\" }";
        QByteArrayList volumes;
        QStringList mounted{QStringLiteral("SYS")};
        for (const QString& extra : volumeNames) {
            if (random.bounded(3) == 0)
                mounted.append(extra);
        }
        for (const QString& volume : std::as_const(mounted)) {
            const int total = 1000 + random.bounded(100000);
            volumes.append("{ \"name\": \"" + volume.toLatin1() + "\", \"totalBlocks\": " + QByteArray::number(total)
                           + ", \"availableBlocks\": " + QByteArray::number(random.bounded(total))
                           + ", \"purgeableBlocks\": " + QByteArray::number(random.bounded(50)) + " }");
            if (random.bounded(2) == 0)
                network.files.emplace_back(QStringLiteral("volumes/%1/%2/.keep").arg(serverName(i), volume), "");
        }
        server += ", \"volumes\": [ " + volumes.join(", ") + " ] }";
        servers += (i ? ", " : "") + server;

        const int halts = random.bounded(4);
        if (halts > 0) {
            QByteArray log;
            for (int h = 0; h < halts; ++h) {
                log += "Server " + name + " halted Tuesday, March " + QByteArray::number(h + 1) + ", 2009 4:2"
                       + QByteArray::number(h) + ":11 pm\r\nAbend: page fault\r\nStack: 0x"
                       + QByteArray::number(random.bounded(100000), 16) + "\r\n";
                if (h == 0)
                    log += "Server OTHER halted Monday, March 2, 2009 1:00:00 am\r\n";
            }
            network.files.emplace_back(QStringLiteral("volumes/%1/SYS/SYSTEM/ABEND.LOG").arg(serverName(i)), log);
        }
        const QByteArray modified = "2026-12-05T1" + QByteArray::number(random.bounded(9)) + ":00:00";
        if (random.bounded(3) != 0)
            rootReplicas.append("{ \"server\": \"" + name + "\", \"type\": " + QByteArray::number(random.bounded(4))
                                + ", \"state\": " + QByteArray::number(random.bounded(2) ? 0 : 48)
                                + ", \"modified\": \"" + modified + "\", \"purged\": \"2026-12-05T09:00:00\" }");
        if (random.bounded(3) == 0)
            salesReplicas.append("{ \"server\": \"" + name + "\", \"type\": " + QByteArray::number(random.bounded(4))
                                 + " }");
    }
    network.json = R"({ "format": 1, "clock": "2026-12-05T19:04:36", "fileRoot": "volumes",
  "workstation": { "tree": "ACME_TREE", "logins": { "ACME_TREE": "admin.ACME" } },
  "trees": [ { "name": "ACME_TREE",
               "containers": [ { "name": "ACME", "class": "Organization", "children": [ { "name": "SALES" } ] } ],
               "partitions": [ { "name": "[Root]", "replicas": [ )"
                   + rootReplicas.join(", ") + R"( ] }, { "name": "SALES.ACME", "replicas": [ )"
                   + salesReplicas.join(", ") + " ] } ] } ],\n  \"servers\": [ " + servers + " ] }";
    return network;
}

nw::sim::SimClient* simClient(const std::unique_ptr<nw::NetWareClient>& client)
{
    return dynamic_cast<nw::sim::SimClient*>(client.get());
}

// ---- views ---------------------------------------------------------------------

using Open = std::function<void(views::ViewHost&)>;
using Find = std::function<views::ViewWindow*(views::ViewHost&)>;
// The servers a view shows, in its order.
using Shown = std::function<QStringList(views::ViewWindow*)>;

QStringList nlmServers(views::ViewWindow* view)
{
    const widgets::FlexGrid& grid = *static_cast<views::NlmWindow*>(view)->grdNLMs();
    QStringList servers;
    for (int col = 1; col < grid.model().cols(); col += 2)
        servers.append(grid.model().textMatrix(0, col));
    return servers;
}

QStringList setServers(views::ViewWindow* view)
{
    const widgets::FlexGrid& grid = *static_cast<views::SetCommandsWindow*>(view)->grdSetCommands();
    QStringList servers;
    for (int col = 2; col < grid.model().cols(); ++col)
        servers.append(grid.model().textMatrix(0, col).section(QLatin1Char(' '), 0, 0));
    return servers;
}

QStringList infoServers(views::ViewWindow* view)
{
    const widgets::ReportListView& list = *static_cast<views::ServerInformationWindow*>(view)->lstvwServerInformation();
    QStringList servers;
    for (int row = 0; row < list.rowCount(); ++row)
        servers.append(list.itemText(row, 0));
    return servers;
}

QStringList volumeRows(views::ViewWindow* view)
{
    const widgets::ReportListView& list = *static_cast<views::VolumeUsageWindow*>(view)->lstvwVolumeUsage();
    QStringList volumes;
    for (int row = 0; row < list.rowCount(); ++row)
        volumes.append(list.itemText(row, 0));
    return volumes;
}

QStringList partitionColumns(views::ViewWindow* view)
{
    return static_cast<directory::PartitionsWindow*>(view)->servers();
}

// The abend log viewers with their halts, in the order they were made; a
// viewer still waiting for its log (the reading was stopped first) is left out.
QStringList abendViewers(views::ViewWindow* view)
{
    QStringList viewers;
    for (QMdiSubWindow* frame : view->host().mdiArea()->subWindowList(QMdiArea::CreationOrder)) {
        const auto* viewer = qobject_cast<views::AbendLogWindow*>(frame->widget());
        if (!viewer || viewer->isUnloaded() || viewer->lstAbendDates()->count() == 0)
            continue;
        QStringList entries;
        for (int row = 0; row < viewer->lstAbendDates()->count(); ++row)
            entries.append(viewer->lstAbendDates()->item(row)->text());
        viewers.append(viewer->windowTitle() + QLatin1String(": ") + entries.join(QLatin1String(" / ")));
    }
    return viewers;
}

struct ViewCase {
    Open open;
    Find find;
    Shown shown;
};

ViewCase nlmCase()
{
    return {&views::openNLMs,
            [](views::ViewHost& h) -> views::ViewWindow* { return views::findView<views::NlmWindow>(h); }, &nlmServers};
}

ViewCase setCase()
{
    return {&views::openSetCommands,
            [](views::ViewHost& h) -> views::ViewWindow* { return views::findView<views::SetCommandsWindow>(h); },
            &setServers};
}

ViewCase infoCase()
{
    return {&views::openServerInformation,
            [](views::ViewHost& h) -> views::ViewWindow* { return views::findView<views::ServerInformationWindow>(h); },
            &infoServers};
}

ViewCase volumeCase()
{
    return {&views::openVolumeUsage,
            [](views::ViewHost& h) -> views::ViewWindow* { return views::findView<views::VolumeUsageWindow>(h); },
            &volumeRows};
}

ViewCase partitionsCase()
{
    return {&directory::openPartitions,
            [](views::ViewHost& h) -> views::ViewWindow* { return directory::partitionsWindow(h); }, &partitionColumns};
}

// The viewer of the first server reads the logs of the opening.
ViewCase abendCase()
{
    return {&views::openAbendLogs,
            [](views::ViewHost& h) -> views::ViewWindow* {
                return views::findView<views::AbendLogWindow>(
                    h, [](const views::AbendLogWindow& viewer) { return viewer.server() == serverName(0); });
            },
            &abendViewers};
}

struct Fixture {
    explicit Fixture(const QByteArray& json, int parallel = 4, const QString& files = {})
        : client(testing::makeNetwork(json, files))
        , test(*client, registry)
        , host(test.context)
    {
        registry.createKey(settings::Hive::CurrentUser, settings::kRootKey);
        test.context.values.parallelServers = parallel;
        host.window()->show();
    }
    ~Fixture()
    {
        host.window()->hide();
        host.closeViews();
    }
    Fixture(const Fixture&) = delete;
    Fixture& operator=(const Fixture&) = delete;

    std::unique_ptr<nw::NetWareClient> client;
    testing::MemoryRegistry registry;
    testing::TestContext test;
    testing::FakeViewHost host;
};

enum class Action { Stop, Escape, Close, Destroy };

// Does to the view what a user does to stop or close it.
void act(Action action, views::ViewWindow* view)
{
    if (!view)
        return;
    switch (action) {
    case Action::Stop:
        if (view->stopReadingButton() && view->stopReadingButton()->isVisible())
            view->stopReadingButton()->click();
        break;
    case Action::Escape:
        QTest::keyClick(view, Qt::Key_Escape);
        break;
    case Action::Close:
        view->frame()->close();
        break;
    case Action::Destroy:
        delete view->frame();
        break;
    }
}

}  // namespace

Q_DECLARE_METATYPE(ViewCase)
Q_DECLARE_METATYPE(std::optional<QString>)
Q_DECLARE_METATYPE(Action)

class TestParallel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    // ---- the reads ---------------------------------------------------------------

    void partsOfOneReadRunSideBySide()
    {
        // A read that spreads its calls: every part runs once, the first on
        // the reading thread itself, all of them at the same time (each waits
        // until every part has begun), and the read goes on only when all
        // have ended.
        for (const int parts : {1, 4}) {
            ServerReads reads;
            QList<int> applied;
            nw::startServerReads<std::vector<int>>(
                reads, 3, 3,
                [parts](int, const nw::ReadStop&) {
                    std::vector<int> ran(static_cast<size_t>(parts), 0);
                    std::atomic<int> begun{0};
                    const std::thread::id reader = std::this_thread::get_id();
                    nw::readAlongside(parts, [&](int part) {
                        ++begun;
                        for (int wait = 0; wait < 500 && begun.load() < parts; ++wait)
                            QThread::msleep(10);
                        const bool together = begun.load() == parts;
                        const bool where = part != 0 || std::this_thread::get_id() == reader;
                        ran[static_cast<size_t>(part)] += together && where ? 1 : 100;
                    });
                    return ran;
                },
                [&](int index, std::vector<int>& ran) {
                    QCOMPARE(ran, std::vector<int>(static_cast<size_t>(parts), 1));
                    applied.append(index);
                });
            QVERIFY(waitForEnd(reads));
            QCOMPARE(applied, (QList<int>{0, 1, 2}));
        }
        nw::readAlongside(0, [](int) { QFAIL("no part to run"); });
    }

    void appliesInSelectionOrderWithAtMostParallelInFlight()
    {
        for (const int parallel : {1, 3, 8}) {
            ServerReads reads;
            std::atomic<int> inFlight{0};
            std::atomic<int> most{0};
            QList<int> applied;
            reads.start(
                24, parallel,
                [&](int index, const nw::ReadStop&) -> std::any {
                    const int now = ++inFlight;
                    int seen = most.load();
                    while (now > seen && !most.compare_exchange_weak(seen, now)) {
                    }
                    // Later servers answer sooner: results arrive out of order.
                    QThread::msleep(static_cast<unsigned long>(1 + (24 - index) % 7));
                    --inFlight;
                    return index * 10;
                },
                [&](int index, std::any& result) {
                    QCOMPARE(std::any_cast<int>(result), index * 10);
                    applied.append(index);
                });
            QVERIFY(waitForEnd(reads));
            QList<int> expected;
            for (int i = 0; i < 24; ++i)
                expected.append(i);
            QCOMPARE(applied, expected);
            QVERIFY2(most.load() <= parallel, qPrintable(QString::number(most.load())));
            if (parallel > 1)
                QVERIFY(most.load() > 1);
            QCOMPARE(reads.appliedCount(), 24);
            QCOMPARE(reads.readCount(), 24);
        }
    }

    void oneAtATimeReadsEachServerAfterThePreviousWasApplied()
    {
        ServerReads reads;
        QStringList events;
        std::mutex guard;
        reads.start(
            5, 1,
            [&](int index, const nw::ReadStop&) -> std::any {
                const std::lock_guard lock(guard);
                events.append(QStringLiteral("read %1").arg(index));
                return index;
            },
            [&](int index, std::any&) {
                const std::lock_guard lock(guard);
                events.append(QStringLiteral("apply %1").arg(index));
            });
        QVERIFY(waitForEnd(reads));
        QCOMPARE(events, (QStringList{"read 0", "apply 0", "read 1", "apply 1", "read 2", "apply 2", "read 3",
                                      "apply 3", "read 4", "apply 4"}));
    }

    void stopKeepsWhatWasReadAndStartsNoMore()
    {
        ServerReads reads;
        std::atomic<int> started{0};
        QList<int> applied;
        QSignalSpy finished(&reads, &ServerReads::finished);
        reads.start(
            60, 4,
            [&](int index, const nw::ReadStop& stop) -> std::any {
                ++started;
                for (int i = 0; i < 5 && !stop.requested(); ++i)
                    QThread::msleep(1);
                return index;
            },
            [&](int index, std::any&) {
                applied.append(index);
                if (index == 6)
                    reads.stop();
            });
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished.constFirst().constFirst().value<ServerReads::End>(), ServerReads::End::Stopped);
        QVERIFY(applied.size() >= 7);
        for (int i = 0; i < applied.size(); ++i)
            QCOMPARE(applied.at(i), i);
        // Nothing starts after the stop beyond the reads that were in flight.
        nw::waitForServerReads();
        QVERIFY2(started.load() <= applied.size() + 4, qPrintable(QString::number(started.load())));
        QCoreApplication::processEvents();
        QCOMPARE(applied.size(), reads.appliedCount());
        QVERIFY(!reads.isRunning());
    }

    void ownerGoneDiscardsLateResults()
    {
        std::atomic<int> started{0};
        std::atomic<int> ended{0};
        bool appliedAfter = false;
        {
            auto reads = std::make_unique<ServerReads>();
            reads->start(
                8, 8,
                [&](int, const nw::ReadStop&) -> std::any {
                    ++started;
                    QThread::msleep(30);
                    ++ended;
                    return 1;
                },
                [&](int, std::any&) { appliedAfter = true; });
            // The owner goes while reads are under way (however many a busy
            // machine has started by then). The wait lets no event run, so
            // a result that arrived meanwhile is still waiting to be applied.
            for (int waited = 0; waited < 20000 && started.load() == 0; ++waited)
                QThread::msleep(1);
            QVERIFY(started.load() >= 1);
        }
        nw::waitForServerReads();
        QCoreApplication::processEvents();
        // Every read that started ran to its end; none was applied.
        QCOMPARE(ended.load(), started.load());
        QVERIFY(!appliedAfter);
    }

    void cancelWhileApplyingEndsTheRun()
    {
        ServerReads reads;
        QList<int> applied;
        QSignalSpy finished(&reads, &ServerReads::finished);
        reads.start(
            10, 3, [](int index, const nw::ReadStop&) -> std::any { return index; },
            [&](int index, std::any&) {
                applied.append(index);
                if (index == 2)
                    reads.cancel();
            });
        QVERIFY(finished.wait(20000) || !finished.isEmpty());
        QCOMPARE(finished.constFirst().constFirst().value<ServerReads::End>(), ServerReads::End::Cancelled);
        QTest::qWait(20);
        QCOMPARE(applied, (QList<int>{0, 1, 2}));
    }

    void aServerNamedTwiceIsReadInOrder()
    {
        const QStringList names{"FS1", "FS2", "fs1", "FS3", " FS1", "fs2"};
        const std::vector<int> after = ServerReads::sameServerOrder(names);
        QCOMPARE(after, (std::vector<int>{-1, -1, 0, -1, 2, 1}));

        // The later reads of FS1 and FS2 wait for the earlier ones, which
        // take longer: without the wait they would end first.
        ServerReads reads;
        std::mutex guard;
        QStringList ended;
        std::atomic<int> fs1Reading{0};
        std::atomic<bool> overlapped{false};
        reads.start(
            static_cast<int>(names.size()), 6,
            [&](int index, const nw::ReadStop&) -> std::any {
                const QString key = names.at(index).trimmed().toUpper();
                if (key == u"FS1" && ++fs1Reading > 1)
                    overlapped = true;
                QThread::msleep(index < 2 ? 40 : 2);
                if (key == u"FS1")
                    --fs1Reading;
                const std::lock_guard lock(guard);
                ended.append(QString::number(index));
                return index;
            },
            [](int, std::any&) {}, after);
        QVERIFY(waitForEnd(reads));
        QVERIFY(!overlapped.load());
        QVERIFY(ended.indexOf(QStringLiteral("0")) < ended.indexOf(QStringLiteral("2")));
        QVERIFY(ended.indexOf(QStringLiteral("2")) < ended.indexOf(QStringLiteral("4")));
        QVERIFY(ended.indexOf(QStringLiteral("1")) < ended.indexOf(QStringLiteral("5")));
        // FS3 did not wait for anyone.
        QVERIFY(ended.indexOf(QStringLiteral("3")) < ended.indexOf(QStringLiteral("0")));
    }

    void noServerEndsAtOnce()
    {
        ServerReads reads;
        QSignalSpy finished(&reads, &ServerReads::finished);
        reads.start(
            0, 32, [](int, const nw::ReadStop&) -> std::any { return {}; }, [](int, std::any&) {});
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished.constFirst().constFirst().value<ServerReads::End>(), ServerReads::End::Completed);
    }

    // ---- the setting and --jobs ---------------------------------------------------

    void parallelServersSettingFallsBackAndStaysInRange_data()
    {
        QTest::addColumn<std::optional<QString>>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("missing") << std::optional<QString>() << 32;
        QTest::newRow("empty") << std::optional<QString>(QString()) << 32;
        QTest::newRow("not a number") << std::optional<QString>(QStringLiteral("many")) << 32;
        QTest::newRow("fraction") << std::optional<QString>(QStringLiteral("2.5")) << 32;
        QTest::newRow("one") << std::optional<QString>(QStringLiteral("1")) << 1;
        QTest::newRow("spaces") << std::optional<QString>(QStringLiteral(" 8 ")) << 8;
        QTest::newRow("zero") << std::optional<QString>(QStringLiteral("0")) << 1;
        QTest::newRow("negative") << std::optional<QString>(QStringLiteral("-4")) << 1;
        QTest::newRow("too many") << std::optional<QString>(QStringLiteral("100000")) << 256;
        QTest::newRow("huge") << std::optional<QString>(QStringLiteral("99999999999999999999")) << 32;
    }

    void parallelServersSettingFallsBackAndStaysInRange()
    {
        QFETCH(std::optional<QString>, stored);
        QFETCH(int, expected);
        QCOMPARE(settings::parallelServersSetting(stored), expected);
    }

    void jobsTakesANumberFromOneTo256_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("zero") << QStringList{"--jobs", "0", "info"};
        QTest::newRow("too many") << QStringList{"--jobs=257", "info"};
        QTest::newRow("a word") << QStringList{"--jobs", "all", "info"};
        QTest::newRow("no value") << QStringList{"info", "--jobs"};
    }

    void jobsTakesANumberFromOneTo256()
    {
        QFETCH(QStringList, arguments);
        testing::ReportRun report(randomNetwork(1, 3));
        const testing::ReportOutcome outcome = report.run(arguments);
        QCOMPARE(outcome.exitCode, 2);
        QVERIFY2(outcome.err.contains(QLatin1String("--jobs")), qPrintable(outcome.err));
    }

    void helpListsJobs()
    {
        testing::ReportRun report(randomNetwork(1, 3));
        const testing::ReportOutcome outcome = report.run({QStringLiteral("--help")});
        QCOMPARE(outcome.exitCode, 0);
        QVERIFY(outcome.out.contains(QLatin1String("--jobs N")));
    }

    // ---- the simulated client under concurrent calls ------------------------------------

    void simulatedClientServesThreadsAtOnce()
    {
        // 16 threads, each on a server of its own behind a 4 ms link, 10 reads
        // each: every answer is its own server's, every connection is closed.
        QByteArray servers;
        for (int i = 0; i < 16; ++i)
            servers += (i ? ", " : "") + QByteArray("{ \"name\": \"") + serverName(i).toLatin1()
                       + "\", \"tree\": \"ACME_TREE\", \"latencyMs\": 4, \"utilization\": [1, 2, 3, 4, 5] }";
        const std::unique_ptr<nw::NetWareClient> client = testing::makeNetwork(header(servers));
        QVERIFY(simClient(client));
        std::atomic<int> wrong{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < 16; ++t) {
            threads.emplace_back([&, t] {
                nw::NWCONN_HANDLE connection = 0;
                if (nw::openConnectionByName(*client, serverName(t), connection) != nw::status::Success) {
                    ++wrong;
                    return;
                }
                for (int read = 0; read < 10; ++read) {
                    nw::FileServerInfo info{};
                    if (client->NWGetFileServerInfo(connection, info) != nw::status::Success
                        || info.utilization != static_cast<quint32>(read % 5 + 1))
                        ++wrong;
                }
                if (client->NWCCCloseConn(connection) != nw::status::Success)
                    ++wrong;
            });
        }
        for (std::thread& thread : threads)
            thread.join();
        QCOMPARE(wrong.load(), 0);
        QCOMPARE(simClient(client)->openConnectionCount(), 0);
        // Each server's readings went round its list exactly twice.
        for (const nw::sim::Server& server : simClient(client)->network().servers)
            QCOMPARE(server.utilizationReads, quint64(10));
    }

    void simulatedClientSleepsWithoutHoldingOthersUp()
    {
        // A call to a server behind a slow link sleeps its latency without
        // holding the client: a call to a fast server made meanwhile returns
        // while the slow one is still under way.
        const std::unique_ptr<nw::NetWareClient> client =
            testing::makeNetwork(header("{ \"name\": \"SLOW\", \"tree\": \"ACME_TREE\", \"latencyMs\": 1500 }, "
                                        "{ \"name\": \"FAST\", \"tree\": \"ACME_TREE\" }"));
        QVERIFY(simClient(client));
        nw::NWCONN_HANDLE slow = 0;
        nw::NWCONN_HANDLE fast = 0;
        QCOMPARE(nw::openConnectionByName(*client, QStringLiteral("FAST"), fast), nw::status::Success);
        std::atomic<bool> slowStarted{false};
        std::atomic<bool> slowDone{false};
        std::thread slowCaller([&] {
            slowStarted = true;
            if (nw::openConnectionByName(*client, QStringLiteral("SLOW"), slow) == nw::status::Success)
                client->NWCCCloseConn(slow);
            slowDone = true;
        });
        while (!slowStarted)
            std::this_thread::yield();
        QThread::msleep(100);  // well inside the slow open's 1.5 s
        nw::FileServerInfo info{};
        QCOMPARE(client->NWGetFileServerInfo(fast, info), nw::status::Success);
        const bool overtook = !slowDone;
        slowCaller.join();
        QVERIFY(overtook);
        QCOMPARE(client->NWCCCloseConn(fast), nw::status::Success);
        QCOMPARE(simClient(client)->openConnectionCount(), 0);
    }

    void simulatedClientKeepsFaultsAndCountsUnderConcurrency()
    {
        const std::unique_ptr<nw::NetWareClient> client = testing::makeNetwork(randomNetwork(7, 30));
        QVERIFY(simClient(client));
        // The same servers read from many threads and from one give the same answers.
        const auto answers = [&client](int server) {
            QString text;
            nw::NWCONN_HANDLE connection = 0;
            const nw::NWRCODE opened = nw::openConnectionByName(*client, serverName(server), connection);
            text += QString::number(opened);
            if (opened != nw::status::Success)
                return text;
            nw::NLMLoadedList list;
            text += QLatin1Char(' ') + QString::number(client->NWGetNLMLoadedList(connection, 0, list));
            text += QLatin1Char(' ') + QString::number(list.numbersInList);
            text += QLatin1Char(' ') + QString::number(client->NWCCCloseConn(connection));
            return text;
        };
        QStringList alone;
        for (int s = 0; s < 30; ++s)
            alone.append(answers(s));
        const qsizetype leftOpen = simClient(client)->openConnectionCount();  // failed closes stay open
        std::vector<QString> together(30);
        std::vector<std::thread> threads;
        for (int s = 0; s < 30; ++s)
            threads.emplace_back([&, s] { together[s] = answers(s); });
        for (std::thread& thread : threads)
            thread.join();
        QCOMPARE(QStringList(together.begin(), together.end()), alone);
        QCOMPARE(simClient(client)->openConnectionCount(), 2 * leftOpen);
    }

    // ---- the same result with one and with many servers at a time ----------------------

    void sameReportWithOneAndManyJobs_data()
    {
        QTest::addColumn<QStringList>("view");
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("notAuthenticated");
        for (const quint32 seed : {11u, 12u, 13u}) {
            for (const QStringList& view :
                 {QStringList{"info"}, QStringList{"nlms"}, QStringList{"nlms", "--differences-only"},
                  QStringList{"sets"}, QStringList{"sets", "--differences-only"}, QStringList{"utilization"}}) {
                QTest::addRow("%s, seed %u", qPrintable(view.join(QLatin1Char(' '))), seed) << view << seed << -1;
            }
        }
        QTest::newRow("nlms, a server not authenticated") << QStringList{"nlms"} << 14u << 17;
        QTest::newRow("sets, a server not authenticated") << QStringList{"sets"} << 14u << 17;
    }

    void sameReportWithOneAndManyJobs()
    {
        QFETCH(QStringList, view);
        QFETCH(quint32, seed);
        QFETCH(int, notAuthenticated);
        testing::ReportRun report(randomNetwork(seed, 40, notAuthenticated));
        // Not in the list's order: the order given is kept.
        QStringList servers = serverNames(40);
        std::reverse(servers.begin() + 10, servers.begin() + 25);
        const auto run = [&](const QString& jobs) {
            return report.runBytes(QStringList{QStringLiteral("--jobs"), jobs} + view + servers);
        };
        const testing::ReportOutcome one = run(QStringLiteral("1"));
        const testing::ReportOutcome many = run(QStringLiteral("32"));
        QCOMPARE(many.exitCode, one.exitCode);
        QCOMPARE(many.bytes, one.bytes);
        QCOMPARE(many.err, one.err);
        if (notAuthenticated < 0) {
            QCOMPARE(one.exitCode, 0);
            QVERIFY(one.bytes.count('\n') >= (view.constFirst() == u"info" ? 20 : 3));
        } else {
            QVERIFY(one.err.contains(QLatin1String("Not Authenticated")));
        }
        // The failing servers speak, in the order given.
        if (view.constFirst() != u"utilization" && notAuthenticated < 0)
            QVERIFY2(one.err.contains(QLatin1String("Connect to server")), qPrintable(one.err));
    }

    void sameStorageReportWithOneAndManyJobs_data()
    {
        QTest::addColumn<QStringList>("view");
        QTest::addColumn<quint32>("seed");
        for (const quint32 seed : {21u, 22u, 23u}) {
            for (const QStringList& view :
                 {QStringList{"volumes"}, QStringList{"partitions"}, QStringList{"partitions", "--view", "state"},
                  QStringList{"partitions", "--view", "timestamp"}, QStringList{"partitions", "--view", "sync"}}) {
                QTest::addRow("%s, seed %u", qPrintable(view.join(QLatin1Char(' '))), seed) << view << seed;
            }
        }
    }

    void sameStorageReportWithOneAndManyJobs()
    {
        QFETCH(QStringList, view);
        QFETCH(quint32, seed);
        const StorageNetwork network = storageNetwork(seed, 40, 5);
        testing::ReportRun report(network.json);
        QVERIFY(network.writeFiles(report.path(QString())));
        const auto run = [&](const QString& jobs) {
            return report.runBytes(QStringList{QStringLiteral("--jobs"), jobs} + view + serverNames(40));
        };
        const testing::ReportOutcome one = run(QStringLiteral("1"));
        const testing::ReportOutcome many = run(QStringLiteral("32"));
        QCOMPARE(many.exitCode, one.exitCode);
        QCOMPARE(many.bytes, one.bytes);
        QCOMPARE(many.err, one.err);
        QCOMPARE(one.exitCode, 0);
        if (view.constFirst() == u"volumes") {
            // Reachable and unreachable volumes, and the failed closes speak in the servers' order.
            QVERIFY(one.bytes.contains("Unavailable"));
            QVERIFY(one.bytes.count('\n') > 40);
            QVERIFY2(one.err.contains(QLatin1String("NWCCCloseConn returned")), qPrintable(one.err));
        } else {
            QVERIFY(one.bytes.contains("N/A"));
            QVERIFY(one.bytes.contains("[Root]"));
        }
    }

    // Many viewers at once: the same viewers, lists and stacking with one
    // log read at a time and with all of them side by side.
    void abendViewersTheSameWithOneAndManyAtATime()
    {
        const StorageNetwork network = storageNetwork(31, 24);
        QTemporaryDir files;
        QVERIFY(network.writeFiles(files.path()));
        const auto open = [&](int parallel, const QStringList& openBefore) {
            Fixture f(network.json, parallel, files.path());
            // A viewer already open is only brought to the front.
            f.host.selection = openBefore;
            views::openAbendLogs(f.host);
            f.host.selection = serverNames(24);
            views::openAbendLogs(f.host);
            QStringList seen;
            for (QMdiSubWindow* frame : f.host.mdiArea()->subWindowList(QMdiArea::StackingOrder))
                seen.append(frame->windowTitle());
            views::ViewWindow* first = views::findView<views::AbendLogWindow>(f.host);
            const QStringList viewers = abendViewers(first);
            nw::waitForServerReads();
            return std::make_pair(viewers, seen);
        };
        for (const QStringList& before : {QStringList(), QStringList{"S05", "S00"}}) {
            const auto one = open(1, before);
            const auto many = open(24, before);
            QCOMPARE(many.first, one.first);
            QCOMPARE(many.second, one.second);
            QCOMPARE(one.first.size(), 24);
            QCOMPARE(one.second.constLast(), QStringLiteral("Abend log for S23"));
            QVERIFY(one.first.filter(views::kNoAbendLog).size() > 1);
            QVERIFY(one.first.filter(QStringLiteral("OTHER")).isEmpty());
        }
    }

    // ---- stopped and closed at every stage of a parallel opening -------------------------

    void stoppedOrClosedWhileReading_data()
    {
        QTest::addColumn<ViewCase>("view");
        QTest::addColumn<Action>("action");
        QTest::addColumn<int>("delayMs");  // -1: while the message of the failed server is shown
        const QList<std::pair<const char*, ViewCase>> views{
            {"info", infoCase()}, {"nlms", nlmCase()}, {"sets", setCase()}};
        const QList<std::pair<const char*, Action>> actions{
            {"stop", Action::Stop}, {"escape", Action::Escape}, {"close", Action::Close}, {"destroy", Action::Destroy}};
        for (const auto& [viewName, view] : views) {
            for (const auto& [actionName, action] : actions) {
                for (const int delay : {-1, 0, 3, 15, 40, 90})
                    QTest::addRow("%s, %s at %d ms", viewName, actionName, delay) << view << action << delay;
            }
        }
    }

    void stoppedOrClosedWhileReading()
    {
        QFETCH(ViewCase, view);
        QFETCH(Action, action);
        QFETCH(int, delayMs);
        const QStringList servers = serverNames(24);

        // The whole opening, undisturbed, for what a stopped one must keep.
        QStringList whole;
        {
            Fixture f(slowNetwork(24, 0), 24);
            f.host.selection = servers;
            view.open(f.host);
            whole = view.shown(view.find(f.host));
            QCOMPARE(f.test.messages.shown.size(), 1);  // S03 cannot be reached
        }

        Fixture f(slowNetwork(24, 3), 4);
        f.host.selection = servers;
        bool acted = false;
        QPointer<views::ViewWindow> target;
        const auto doIt = [&] {
            if (acted)
                return;
            acted = true;
            target = view.find(f.host);
            act(action, target);
        };
        if (delayMs < 0)
            f.test.messages.whileShown = [&](const platform::Message&) { doIt(); };
        else
            QTimer::singleShot(delayMs, f.host.window(), doIt);
        if (action == Action::Escape)
            QApplication::setActiveWindow(f.host.window());
        view.open(f.host);
        // An action that did not come during the opening does not come at all.
        const bool actedWhileOpening = acted;
        acted = true;
        const int messagesAfterOpening = static_cast<int>(f.test.messages.shown.size());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(f.host.openings, 0);

        QPointer<views::ViewWindow> left = view.find(f.host);
        if (action == Action::Close || action == Action::Destroy) {
            if (actedWhileOpening) {
                QVERIFY(!left);
                QVERIFY(!target);
            }
        } else if (left) {
            // What was kept is the start of the whole opening, in its order.
            const QStringList kept = view.shown(left);
            QCOMPARE(kept, whole.mid(0, kept.size()));
            if (actedWhileOpening && kept.size() < whole.size()) {
                QVERIFY(left->readingLabel()->text().startsWith(QLatin1String("Stopped: ")));
                QVERIFY(!left->isReadingServers());
            }
        }
        // No late result: the reads still running end without touching anything.
        nw::waitForServerReads();
        QTest::qWait(10);
        QCOMPARE(static_cast<int>(f.test.messages.shown.size()), messagesAfterOpening);
        if (left)
            QCOMPARE(view.shown(left), view.shown(view.find(f.host)));
        // Every connection opened was closed.
        QCOMPARE(simClient(f.client)->openConnectionCount(), 0);
    }

    void storageViewsStoppedOrClosedWhileReading_data()
    {
        QTest::addColumn<ViewCase>("view");
        QTest::addColumn<Action>("action");
        QTest::addColumn<int>("delayMs");  // -1: while the message of the failed close is shown
        const QList<std::pair<const char*, ViewCase>> views{
            {"volumes", volumeCase()}, {"partitions", partitionsCase()}, {"abends", abendCase()}};
        const QList<std::pair<const char*, Action>> actions{
            {"stop", Action::Stop}, {"escape", Action::Escape}, {"close", Action::Close}, {"destroy", Action::Destroy}};
        for (const auto& [viewName, view] : views) {
            for (const auto& [actionName, action] : actions) {
                for (const int delay : {-1, 0, 3, 15, 40, 90}) {
                    // Only the volume view speaks while it opens.
                    if (delay < 0 && qstrcmp(viewName, "volumes") != 0)
                        continue;
                    QTest::addRow("%s, %s at %d ms", viewName, actionName, delay) << view << action << delay;
                }
            }
        }
    }

    void storageViewsStoppedOrClosedWhileReading()
    {
        QFETCH(ViewCase, view);
        QFETCH(Action, action);
        QFETCH(int, delayMs);
        const QStringList servers = serverNames(24);
        const StorageNetwork network = storageNetwork(41, 24, 6);
        QTemporaryDir files;
        QVERIFY(network.writeFiles(files.path()));

        // The whole opening, undisturbed, for what a stopped one must keep.
        QStringList whole;
        {
            Fixture f(network.json, 24, files.path());
            f.test.context.values.treeName = QStringLiteral("ACME_TREE");
            f.host.selection = servers;
            view.open(f.host);
            whole = view.shown(view.find(f.host));
            QVERIFY(whole.size() > 10);
        }

        // Slower: every call takes 3 ms.
        Fixture f(storageNetwork(41, 24, 6, 3).json, 4, files.path());
        f.test.context.values.treeName = QStringLiteral("ACME_TREE");
        f.host.selection = servers;
        bool acted = false;
        QPointer<views::ViewWindow> target;
        const auto doIt = [&] {
            if (acted)
                return;
            acted = true;
            target = view.find(f.host);
            act(action, target);
        };
        if (delayMs < 0)
            f.test.messages.whileShown = [&](const platform::Message&) { doIt(); };
        else
            QTimer::singleShot(delayMs, f.host.window(), doIt);
        if (action == Action::Escape)
            QApplication::setActiveWindow(f.host.window());
        view.open(f.host);
        const bool actedWhileOpening = acted;
        acted = true;
        const int messagesAfterOpening = static_cast<int>(f.test.messages.shown.size());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(f.host.openings, 0);

        QPointer<views::ViewWindow> left = view.find(f.host);
        if (action == Action::Close || action == Action::Destroy) {
            if (actedWhileOpening && target) {
                QVERIFY(!left);
            }
        } else if (left) {
            const QStringList kept = view.shown(left);
            QCOMPARE(kept, whole.mid(0, kept.size()));
            if (actedWhileOpening && kept.size() < whole.size() && target) {
                QVERIFY2(left->readingLabel()->text().startsWith(QLatin1String("Stopped: ")),
                         qPrintable(left->readingLabel()->text()));
                QVERIFY(!left->isReadingServers());
            }
        }
        nw::waitForServerReads();
        QTest::qWait(10);
        QCOMPARE(static_cast<int>(f.test.messages.shown.size()), messagesAfterOpening);
        if (left)
            QCOMPARE(view.shown(left), view.shown(view.find(f.host)));
        QCOMPARE(simClient(f.client)->callerConnectionCount(), network.refusedCloses(*simClient(f.client)));
    }

    // A refresh pass runs without holding up the window: a tick while it
    // runs starts no second pass, "&Stop" ends it at once keeping what was
    // read, and closing the window meanwhile leaves every connection closed.
    void refreshPassesNeverOverlapAndStopAtOnce()
    {
        const StorageNetwork network = storageNetwork(51, 24, -1, 3);
        QTemporaryDir files;
        QVERIFY(network.writeFiles(files.path()));
        for (const bool volumes : {true, false}) {
            for (const bool close : {false, true}) {
                Fixture f(network.json, 4, files.path());
                f.test.context.values.treeName = QStringLiteral("ACME_TREE");
                f.host.selection = serverNames(24);
                QPointer<views::ViewWindow> view;
                std::function<void()> tick;
                std::function<bool()> running;
                widgets::RefreshFrame* refresh = nullptr;
                if (volumes) {
                    views::openVolumeUsage(f.host);
                    auto* form = views::findView<views::VolumeUsageWindow>(f.host);
                    view = form;
                    refresh = form->fraRefresh();
                    tick = [form] { form->startMeasuring(); };
                    running = [form] { return form->isMeasuring(); };
                } else {
                    directory::openPartitions(f.host);
                    auto* form = directory::partitionsWindow(f.host);
                    view = form;
                    refresh = form->fraRefresh();
                    tick = [form] { form->startRefresh(); };
                    running = [form] { return form->isFilling(); };
                }
                QVERIFY(view);
                nw::sim::SimClient* sim = simClient(f.client);
                const qsizetype leftByOpening = network.refusedCloses(*sim);
                sim->clearConnectionOpens();
                refresh->setIntervalText(QStringLiteral("60"));
                refresh->start();
                tick();
                QVERIFY(running());
                QVERIFY(view->isReadingServers());
                tick();  // dropped: the pass under way goes on alone
                if (close) {
                    QTest::qWait(15);
                    view->frame()->close();
                    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                } else {
                    refresh->stop();
                    QTRY_VERIFY(!running());
                    QVERIFY2(view->readingLabel()->text().startsWith(QLatin1String("Stopped: ")),
                             qPrintable(view->readingLabel()->text()));
                    QVERIFY(!view->isReadingServers());
                }
                nw::waitForServerReads();
                QTest::qWait(10);
                // One pass at most: no server was opened twice.
                QStringList opened;
                for (const auto& open : sim->connectionOpens())
                    opened.append(open.name);
                for (const QString& name : std::as_const(opened))
                    QCOMPARE(opened.count(name), 1);
                QCOMPARE(sim->callerConnectionCount(), leftByOpening + network.refusedCloses(*sim));
            }
        }
    }

    void progressShowsInTheStatusBar()
    {
        Fixture f(slowNetwork(12, 4), 2);
        f.host.selection = serverNames(12);
        QStringList seen;
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (views::NlmWindow* form = views::findView<views::NlmWindow>(f.host)) {
                if (form->readingLabel() && form->readingLabel()->isVisible())
                    seen.append(form->readingLabel()->text());
            }
        });
        poll.start();
        views::openNLMs(f.host);
        poll.stop();
        QVERIFY(!seen.isEmpty());
        QVERIFY2(seen.constFirst().startsWith(QLatin1String("Reading ")), qPrintable(seen.constFirst()));
        QVERIFY(seen.constFirst().endsWith(QLatin1String(" of 12 servers")));
        views::NlmWindow* form = views::findView<views::NlmWindow>(f.host);
        QVERIFY(!form->readingLabel()->isVisible());
        QCOMPARE(nlmServers(form).size(), 11);  // S03 cannot be reached
    }

    void escapeStopsAndTheBarSaysSo()
    {
        Fixture f(slowNetwork(12, 20), 2);
        f.host.selection = serverNames(12);
        QApplication::setActiveWindow(f.host.window());
        // Escape once the first server is in: the others still take seconds to read,
        // however slowly this machine runs.
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            views::NlmWindow* form = views::findView<views::NlmWindow>(f.host);
            if (!form || !form->readingLabel() || !form->readingLabel()->isVisible()
                || form->readingLabel()->text().startsWith(QLatin1String("Reading 0 ")))
                return;
            poll.stop();
            QWidget* focus = QApplication::focusWidget();
            QTest::keyClick(focus ? focus : f.host.window(), Qt::Key_Escape);
        });
        poll.start();
        views::openNLMs(f.host);
        poll.stop();
        views::NlmWindow* form = views::findView<views::NlmWindow>(f.host);
        QVERIFY(form);
        const QStringList kept = nlmServers(form);
        QVERIFY2(kept.size() < 11, qPrintable(kept.join(QLatin1Char(' '))));
        QCOMPARE(kept, serverNames(kept.size()));
        QVERIFY(form->readingLabel()->isVisible());
        const QString said = form->readingLabel()->text();
        QVERIFY2(said.startsWith(QLatin1String("Stopped: ")) && said.endsWith(QLatin1String(" of 12 servers read")),
                 qPrintable(said));
        QVERIFY(!form->stopReadingButton()->isVisible());
        nw::waitForServerReads();
        QCOMPARE(simClient(f.client)->openConnectionCount(), 0);
    }
};

VESKARO_TEST_MAIN(TestParallel)
#include "test_parallel.moc"

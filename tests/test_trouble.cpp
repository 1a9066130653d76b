// Trouble in every view: which servers did not answer (the record every
// opening reports to, the server list's marks, the views' status-bar line) and
// the levels the shared tables draw (free space, replica states, locks, the
// highest utilization), which never reach what Save and Copy write.

#include "app/MainWindow.h"
#include "connections/FileLocksWindow.h"
#include "connections/FileUse.h"
#include "core/ServerReachability.h"
#include "directory/Partitions.h"
#include "directory/PartitionsWindow.h"
#include "export/WidgetExport.h"
#include "netware/ServerSession.h"
#include "settings/Registry.h"
#include "settings/SettingsKeys.h"
#include "support/FakeViewHost.h"
#include "support/MemoryRegistry.h"
#include "support/SavedText.h"
#include "support/SimNetwork.h"
#include "support/StubClient.h"
#include "support/TestContext.h"
#include "support/TestMain.h"
#include "views/ServerInformationWindow.h"
#include "views/UtilizationRules.h"
#include "views/VolumeUsage.h"
#include "views/VolumeUsageWindow.h"
#include "widgets/FlexGrid.h"
#include "widgets/ReportListView.h"
#include "widgets/TroubleLook.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <thread>
#include <vector>

using models::TroubleLevel;

namespace {

// FS1 mounts SYS (25 % free), LOW (8 % free), FULL (3 % free) and DATA (no
// folder: cannot be reached); DOWN does not answer. Replicas of [Root] are
// on, SALES.ACME is being split on FS1 and dead on FS2.
const QByteArray kNetwork = R"({
  "format": 1,
  "fileRoot": "volumes",
  "trees": [ { "name": "T",
               "containers": [ { "name": "ACME", "class": "Organization", "children": [ { "name": "SALES" } ] } ],
               "partitions": [
                 { "name": "[Root]", "replicas": [ { "server": "FS1", "type": 0 }, { "server": "FS2", "type": 1 } ] },
                 { "name": "SALES.ACME", "replicas": [ { "server": "FS1", "type": 1, "state": 48 },
                                                       { "server": "FS2", "type": 2, "state": 7 } ] } ] } ],
  "servers": [
    { "name": "FS1", "tree": "T", "context": "ACME", "volumes": [
        { "name": "SYS", "totalBlocks": 10000, "availableBlocks": 2500 },
        { "name": "LOW", "totalBlocks": 10000, "availableBlocks": 800 },
        { "name": "FULL", "totalBlocks": 10000, "availableBlocks": 300 },
        { "name": "DATA", "totalBlocks": 10000, "availableBlocks": 100 } ] },
    { "name": "FS2", "tree": "T", "context": "ACME" },
    { "name": "DOWN", "tree": "T", "context": "ACME", "reachable": false }
  ]
})";

// ADMIN holds REPORT.TXT locked, JSMITH has it open shared.
const QByteArray kLockNetwork = R"({
  "format": 1,
  "fileRoot": "vols",
  "workstation": { "tree": "T", "context": "O", "logins": { "T": "admin.O" } },
  "trees": [ { "name": "T", "containers": [ { "name": "O", "class": "Organization" } ] } ],
  "servers": [
    { "name": "FS1", "tree": "T", "ownConnection": 3, "volumes": [ { "name": "SYS" } ],
      "connections": [
        { "number": 3, "user": "ADMIN.O", "openFiles": [ { "volume": "SYS", "path": "PUBLIC\\REPORT.TXT", "lockFlags": "0x03" } ] },
        { "number": 5, "user": "JSMITH.O", "openFiles": [ { "volume": "SYS", "path": "PUBLIC\\REPORT.TXT", "lockFlags": "0x0A" } ] } ] }
  ]
})";

struct Fixture {
    Fixture()
    {
        for (const char* folder : {"volumes/FS1/SYS", "volumes/FS1/LOW", "volumes/FS1/FULL"})
            QDir(files.path()).mkpath(QLatin1String(folder));
        client = testing::makeNetwork(kNetwork, files.path());
        services = std::make_unique<testing::TestContext>(client ? *client : fallback, registry);
        services->context.values.treeName = QStringLiteral("T");
        host = std::make_unique<testing::FakeViewHost>(services->context);
        settings::resetStartingServerContext(registry);
        host->window()->show();
    }
    core::AppContext& context() { return services->context; }

    QTemporaryDir files;
    testing::StubClient fallback;
    std::unique_ptr<nw::NetWareClient> client;
    testing::MemoryRegistry registry;
    std::unique_ptr<testing::TestContext> services;
    std::unique_ptr<testing::FakeViewHost> host;
};

TroubleLevel levelAt(const QAbstractItemModel& model, int row, int col)
{
    return static_cast<TroubleLevel>(model.index(row, col).data(models::kTroubleRole).toInt());
}

int rowOf(const widgets::ReportListView& list, const QString& first)
{
    return list.findRow(0, first, Qt::CaseSensitive);
}

// Pixels of the widget close to `color` (the tint over white, or the symbol).
int pixelsNear(QWidget* widget, const QColor& color)
{
    const QImage image = widget->grab().toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.red() - color.red()) < 12 && std::abs(pixel.green() - color.green()) < 12
                && std::abs(pixel.blue() - color.blue()) < 12)
                ++count;
        }
    }
    return count;
}

}  // namespace

class TestTrouble : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // ---- the rules ----------------------------------------------------------

    void freeSpaceLevelsAtTheirBoundaries_data()
    {
        QTest::addColumn<double>("freeBytes");
        QTest::addColumn<double>("total");
        QTest::addColumn<int>("level");
        QTest::newRow("plenty") << 50.0 << 100.0 << int(TroubleLevel::None);
        QTest::newRow("exactly the warning level") << 10.0 << 100.0 << int(TroubleLevel::None);
        QTest::newRow("just below it") << 9.999 << 100.0 << int(TroubleLevel::Warning);
        QTest::newRow("exactly the critical level") << 5.0 << 100.0 << int(TroubleLevel::Warning);
        QTest::newRow("just below it, large volume") << 4.99e12 << 100e12 << int(TroubleLevel::Critical);
        QTest::newRow("full") << 0.0 << 100.0 << int(TroubleLevel::Critical);
        QTest::newRow("no size: no share") << 0.0 << 0.0 << int(TroubleLevel::None);
    }
    void freeSpaceLevelsAtTheirBoundaries()
    {
        QFETCH(double, freeBytes);
        QFETCH(double, total);
        QFETCH(int, level);
        QCOMPARE(int(views::freeSpaceLevel(freeBytes, total, views::FreeSpaceThresholds{})), level);
    }

    void freeSpaceThresholdsFromStoredTexts()
    {
        QString problem;
        auto t = views::readFreeSpaceThresholds(std::nullopt, std::nullopt, &problem);
        QCOMPARE(t.warning, 10);
        QCOMPARE(t.critical, 5);
        QVERIFY(problem.isEmpty());

        t = views::readFreeSpaceThresholds(QStringLiteral(" 20 "), QStringLiteral("15"), &problem);
        QCOMPARE(t.warning, 20);
        QCOMPARE(t.critical, 15);
        QVERIFY(problem.isEmpty());

        t = views::readFreeSpaceThresholds(QStringLiteral("lots"), QStringLiteral("2"), &problem);
        QCOMPARE(t.warning, 10);
        QCOMPARE(t.critical, 2);
        QVERIFY(problem.contains(QStringLiteral("VolumeFreeWarning")));

        // Critical above warning: both defaults, both named.
        t = views::readFreeSpaceThresholds(QStringLiteral("5"), QStringLiteral("30"), &problem);
        QCOMPARE(t.warning, 10);
        QCOMPARE(t.critical, 5);
        QVERIFY(problem.contains(QStringLiteral("VolumeFreeCritical")));
    }

    void volumeCellsCarryTheirRowsLevel()
    {
        const views::FreeSpaceThresholds levels;
        const QStringList low{"\\\\FS1\\LOW", "100.00", "92.00", "0.00", "0.00", "8.00", "8%"};
        QCOMPARE(views::volumeCellLevel(low, 0, levels), TroubleLevel::Warning);
        QCOMPARE(views::volumeCellLevel(low, 2, levels), TroubleLevel::None);  // used: no level of its own
        QCOMPARE(views::volumeCellLevel(low, 5, levels), TroubleLevel::Warning);
        QCOMPARE(views::volumeCellLevel(low, 6, levels), TroubleLevel::Warning);
        const QStringList down = QStringList{"\\\\FS1\\DATA"} + views::unavailableCells();
        for (int col = 0; col < down.size(); ++col)
            QCOMPARE(views::volumeCellLevel(down, col, levels), TroubleLevel::Unavailable);
        QCOMPARE(views::volumeCellLevel({"\\\\FS1\\X"}, 0, levels), TroubleLevel::None);  // a row being filled
    }

    void replicaLockAndUtilizationLevels()
    {
        using directory::ReplicaView;
        QCOMPARE(directory::replicaCellLevel(QStringLiteral("On"), ReplicaView::State), TroubleLevel::None);
        QCOMPARE(directory::replicaCellLevel(QString(), ReplicaView::State), TroubleLevel::None);
        QCOMPARE(directory::replicaCellLevel(QStringLiteral("Split"), ReplicaView::State), TroubleLevel::Warning);
        QCOMPARE(directory::replicaCellLevel(QStringLiteral("9"), ReplicaView::State), TroubleLevel::Warning);
        QCOMPARE(directory::replicaCellLevel(QStringLiteral("Dead"), ReplicaView::State), TroubleLevel::Critical);
        QCOMPARE(directory::replicaCellLevel(QStringLiteral("N/A"), ReplicaView::Type), TroubleLevel::Unavailable);
        // Only the state view judges states: "RO" or a time stamp is no trouble.
        QCOMPARE(directory::replicaCellLevel(QStringLiteral("RO"), ReplicaView::Type), TroubleLevel::None);

        QCOMPARE(connections::fileLockLevel(QStringLiteral("Normal,Locked")), TroubleLevel::Warning);
        QCOMPARE(connections::fileLockLevel(connections::fileLockStatusText(0x01)), TroubleLevel::Warning);
        QCOMPARE(connections::fileLockLevel(connections::fileLockStatusText(0x0A)), TroubleLevel::None);
        QCOMPARE(connections::fileLockLevel(QStringLiteral("open")), TroubleLevel::None);

        const views::UtilizationThresholds util;  // 70 and 90
        const auto high = [&](const char* text) {
            return views::troubleLevelOf(views::utilizationLevel(QLatin1String(text), util));
        };
        QCOMPARE(high("69"), TroubleLevel::None);
        QCOMPARE(high("70"), TroubleLevel::Warning);
        QCOMPARE(high("89"), TroubleLevel::Warning);
        QCOMPARE(high("90"), TroubleLevel::Critical);
        QCOMPARE(high("?"), TroubleLevel::None);
    }

    // ---- the record of attempts -----------------------------------------------

    void attemptsAreRecordedByNameWithoutCase()
    {
        core::ServerReachability record;
        QDateTime now(QDate(2026, 12, 7), QTime(12, 4, 31));
        record.setClock([&now] { return now; });
        int changes = 0;
        connect(&record, &core::ServerReachability::changed, &record, [&changes] { ++changes; });
        QVERIFY(!record.lastAttempt(QStringLiteral("FS1")));
        QVERIFY(!record.isUnreachable(QStringLiteral("FS1")));  // never tried: no mark

        record.record(QStringLiteral("vault1"), false, -601);
        QVERIFY(record.isUnreachable(QStringLiteral("VAULT1")));
        QCOMPARE(record.unreachableAmong({"FS1", "VAULT1", "vault1", "FS2"}), QStringList{"VAULT1"});
        QCOMPARE(changes, 1);

        // Failing again the same way: the attempt is newer, the trouble as old as before, no news.
        now = now.addSecs(60);
        record.record(QStringLiteral("VAULT1"), false, -601);
        QCOMPARE(changes, 1);
        const auto again = record.lastAttempt(QStringLiteral("Vault1"));
        QCOMPARE(again->when, now);
        QCOMPARE(core::attemptText(*again), QStringLiteral("Not reached since 2026-12-07 12:04:31 (status -601)"));
        // Failing another way is news.
        record.record(QStringLiteral("VAULT1"), false, -1);
        QCOMPARE(changes, 2);

        record.record(QStringLiteral("VAULT1"), true);
        QCOMPARE(changes, 3);
        QVERIFY(!record.isUnreachable(QStringLiteral("vault1")));
        QVERIFY(record.unreachableAmong({"VAULT1"}).isEmpty());
    }

    void attemptsFromManyThreadsAllArrive()
    {
        core::ServerReachability record;
        std::atomic<int> changes{0};
        connect(
            &record, &core::ServerReachability::changed, &record, [&changes] { ++changes; }, Qt::DirectConnection);
        std::vector<std::thread> threads;
        for (int t = 0; t < 8; ++t) {
            threads.emplace_back([&record, t] {
                for (int i = 0; i < 200; ++i) {
                    record.record(QStringLiteral("S%1").arg(i), t % 2 == 0, 0x8801);
                    record.isUnreachable(QStringLiteral("S%1").arg(199 - i));
                }
            });
        }
        for (std::thread& thread : threads)
            thread.join();
        // Every server was told about at least once, and at most once per attempt.
        QVERIFY(changes.load() >= 200);
        QVERIFY(changes.load() <= 8 * 200);
        for (int i = 0; i < 200; ++i)
            QVERIFY(record.lastAttempt(QStringLiteral("s%1").arg(i)));
    }

    void everySessionOpeningReportsItsAttempt()
    {
        Fixture f;
        {
            nw::ServerSession down(f.context(), QStringLiteral("DOWN"));
            QVERIFY(down.open() != 0);
            nw::ServerSession up(f.context(), QStringLiteral("fs1"));
            QCOMPARE(up.open(), nw::NWRCODE(0));
        }
        const auto attempt = f.context().reachability().lastAttempt(QStringLiteral("DOWN"));
        QVERIFY(attempt && !attempt->reached);
        QCOMPARE(quint32(attempt->status), 0x8801u);
        QVERIFY(!f.context().reachability().isUnreachable(QStringLiteral("FS1")));
    }

    // ---- the server list ----------------------------------------------------------

    void serverListMarksServersThatDidNotAnswer()
    {
        Fixture f;
        app::MainWindow form(f.context());
        QListWidget* list = form.lstServers();
        list->addItem(QStringLiteral("FS1"));
        list->addItem(QStringLiteral("DOWN"));
        const auto item = [list](const char* name) {
            return list->findItems(QLatin1String(name), Qt::MatchExactly).first();
        };
        QVERIFY(item("DOWN")->icon().isNull());  // never tried yet

        // An attempt on a reading thread reaches the list through the event loop.
        std::thread([&f] { nw::ServerSession(f.context(), QStringLiteral("DOWN")).open(); }).join();
        QTRY_VERIFY(!item("DOWN")->icon().isNull());
        QVERIFY(item("DOWN")->toolTip().startsWith(QStringLiteral("Not reached since ")));
        QVERIFY(item("DOWN")->toolTip().endsWith(QStringLiteral("(status %1)").arg(qint32(0x8801))));
        QVERIFY(item("FS1")->icon().isNull());

        // A server added later gets its mark at once.
        list->addItem(QStringLiteral("down"));
        QVERIFY(!list->findItems(QStringLiteral("down"), Qt::MatchCaseSensitive).first()->icon().isNull());

        // It answers again: the mark goes.
        f.context().reachability().record(QStringLiteral("DOWN"), true);
        QTRY_VERIFY(item("DOWN")->icon().isNull());
        QVERIFY(item("DOWN")->toolTip().isEmpty());
    }

    // ---- the views' status bar -------------------------------------------------------

    void statusBarNamesTheServersAViewCouldNotRead()
    {
        Fixture f;
        // A view reading side by side (server information)...
        f.host->selection = {"FS1", "DOWN", "FS2"};
        views::openServerInformation(*f.host);
        auto* info = views::findView<views::ServerInformationWindow>(*f.host);
        QVERIFY(info);
        QTRY_VERIFY(!info->isReadingServers());
        QVERIFY(info->unreachableLabel());
        QVERIFY(info->unreachableLabel()->isVisibleTo(info));
        QCOMPARE(info->unreachableText(), QStringLiteral("Could not reach: DOWN"));
        QVERIFY(info->unreachableLabel()->toolTip().startsWith(QStringLiteral("DOWN: Not reached since ")));

        // ...and one reading on its own (volumes): each names only its own servers.
        f.host->selection = {"FS1"};
        views::openVolumeUsage(*f.host);
        auto* volumes = views::findView<views::VolumeUsageWindow>(*f.host);
        QVERIFY(volumes->unreachableLabel());
        QVERIFY(!volumes->unreachableLabel()->isVisibleTo(volumes));
        f.host->selection = {"DOWN"};
        views::openVolumeUsage(*f.host);
        QCOMPARE(volumes->unreachableText(), QStringLiteral("Could not reach: DOWN"));
        // The totals stay the status bar's message.
        QVERIFY(volumes->StatusBar()->currentMessage().startsWith(QStringLiteral("Total Size=")));

        // The server answers again (any view's attempt): both lines clear.
        f.context().reachability().record(QStringLiteral("DOWN"), true);
        QTRY_VERIFY(!info->unreachableLabel()->isVisibleTo(info));
        QTRY_VERIFY(!volumes->unreachableLabel()->isVisibleTo(volumes));
    }

    void statusBarCountsBeyondAFewNames()
    {
        Fixture f;
        f.host->selection = {"FS1"};
        views::openVolumeUsage(*f.host);
        auto* volumes = views::findView<views::VolumeUsageWindow>(*f.host);
        QStringList many;
        for (int i = 1; i <= 6; ++i) {
            many << QStringLiteral("GONE%1").arg(i);
            f.context().reachability().record(many.last(), false, 0x8801);
        }
        volumes->noteServersRead(many);
        QCOMPARE(volumes->unreachableText(), QStringLiteral("Could not reach: GONE1, GONE2, GONE3, GONE4 and 2 more"));
        QCOMPARE(volumes->unreachableLabel()->toolTip().count(QLatin1Char('\n')), 5);

        // In a narrow window the names give way to the totals: the label
        // keeps to two fifths of the bar, cut with "…", and the totals are
        // whole in the bar's tool tip.
        volumes->window()->show();
        QMdiSubWindow* frame = volumes->frame();
        frame->resize(420, 300);
        QStatusBar* bar = volumes->StatusBar();
        QTRY_VERIFY(bar->width() < 480);
        QTRY_VERIFY(volumes->unreachableLabel()->text().endsWith(QChar(0x2026)));
        QVERIFY(volumes->unreachableLabel()->fontMetrics().horizontalAdvance(volumes->unreachableLabel()->text())
                <= bar->width() * 2 / 5);
        QVERIFY(bar->toolTip().startsWith(QStringLiteral("Total Size=")));
        QCOMPARE(bar->toolTip(), bar->currentMessage());
        // Wide again: every name shows.
        frame->resize(1600, 300);
        QTRY_COMPARE(volumes->unreachableLabel()->text(), volumes->unreachableText());
    }

    // ---- levels drawn, never saved -----------------------------------------------------

    void volumesShowTheirLevelsButSaveTheirTexts()
    {
        Fixture f;
        f.host->selection = {"FS1"};
        views::openVolumeUsage(*f.host);
        auto* form = views::findView<views::VolumeUsageWindow>(*f.host);
        widgets::ReportListView* list = form->lstvwVolumeUsage();
        const QAbstractItemModel& model = list->model();
        QCOMPARE(levelAt(model, rowOf(*list, "\\\\FS1\\SYS"), 6), TroubleLevel::None);
        QCOMPARE(levelAt(model, rowOf(*list, "\\\\FS1\\LOW"), 6), TroubleLevel::Warning);
        QCOMPARE(levelAt(model, rowOf(*list, "\\\\FS1\\FULL"), 6), TroubleLevel::Critical);
        QCOMPARE(levelAt(model, rowOf(*list, "\\\\FS1\\DATA"), 1), TroubleLevel::Unavailable);

        // Drawn: the critical colour shows in the list, and goes with the rule.
        QWidget* viewport = list->treeView()->viewport();
        QVERIFY(pixelsNear(viewport, widgets::troubleColor(TroubleLevel::Critical)) > 0);
        const QString saved = testing::savedText(form);
        exporting::copyListViewToClipboard(*list, true, QStringLiteral(","), f.services->clipboard);
        const QString copied = f.services->clipboard.text();
        list->model().setTroubleRule({});
        QCOMPARE(pixelsNear(viewport, widgets::troubleColor(TroubleLevel::Critical)), 0);
        QCOMPARE(testing::savedText(form), saved);
        exporting::copyListViewToClipboard(*list, true, QStringLiteral(","), f.services->clipboard);
        QCOMPARE(f.services->clipboard.text(), copied);
        QVERIFY(saved.contains(QStringLiteral("\\\\FS1\\DATA,Unavailable")));
    }

    void levelsFollowTheRowsThroughSorting()
    {
        Fixture f;
        f.host->selection = {"FS1"};
        views::openVolumeUsage(*f.host);
        auto* form = views::findView<views::VolumeUsageWindow>(*f.host);
        widgets::ReportListView* list = form->lstvwVolumeUsage();
        form->sortByColumn(6);
        form->sortByColumn(6);
        QCOMPARE(levelAt(list->model(), rowOf(*list, "\\\\FS1\\FULL"), 0), TroubleLevel::Critical);
        QCOMPARE(levelAt(list->model(), rowOf(*list, "\\\\FS1\\SYS"), 0), TroubleLevel::None);
    }

    void freeSpaceLevelsComeFromTheProgramSettings()
    {
        Fixture f;
        f.registry.setValue(settings::Hive::CurrentUser, settings::kRootKey, settings::kVolumeFreeWarningValue,
                            QStringLiteral("30"));
        f.host->selection = {"FS1"};
        views::openVolumeUsage(*f.host);
        auto* form = views::findView<views::VolumeUsageWindow>(*f.host);
        widgets::ReportListView* list = form->lstvwVolumeUsage();
        QCOMPARE(levelAt(list->model(), rowOf(*list, "\\\\FS1\\SYS"), 6), TroubleLevel::Warning);
    }

    void lockedFilesAreMarkedRowByRow()
    {
        QTemporaryDir dir;
        QDir(dir.path()).mkpath(QStringLiteral("vols/FS1/SYS/PUBLIC"));
        QFile(dir.path() + QStringLiteral("/vols/FS1/SYS/PUBLIC/REPORT.TXT")).open(QIODevice::WriteOnly);
        auto client = testing::makeNetwork(kLockNetwork, dir.path());
        QVERIFY(client);
        testing::MemoryRegistry registry;
        settings::resetStartingServerContext(registry);
        testing::TestContext services(*client, registry);
        testing::FakeViewHost host(services.context);
        host.window()->show();
        host.selection = {QStringLiteral("FS1")};
        connections::openFileLocks(host);
        connections::FileLocksWindow* form = connections::findFileLocks(host, QStringLiteral("FS1"));
        QVERIFY(form);
        form->setDirectories({QStringLiteral("PUBLIC")});
        form->filFileList()->setCurrentItem(
            form->filFileList()->findItems(QStringLiteral("REPORT.TXT"), Qt::MatchExactly).value(0));
        form->showFileLocks();

        widgets::FlexGrid* grid = form->grdFileLocks();
        QCOMPARE(grid->model().rows(), 3);
        const QString saved = testing::savedText(form);
        for (int row = 1; row < grid->model().rows(); ++row) {
            const bool locked = grid->model().textMatrix(row, 2).contains(QStringLiteral("Locked"));
            for (int col = 0; col < 3; ++col)
                QCOMPARE(levelAt(grid->model(), grid->model().viewRow(row), col),
                         locked ? TroubleLevel::Warning : TroubleLevel::None);
        }
        QVERIFY(saved.contains(QStringLiteral("Shareable,Locked")));
        QVERIFY(!form->unreachableLabel()->isVisibleTo(form));
    }

    void replicasInTransitionAreMarkedInTheStateViewOnly()
    {
        Fixture f;
        f.host->selection = {"FS1", "FS2", "DOWN"};
        directory::openPartitions(*f.host);
        directory::PartitionsWindow* form = directory::partitionsWindow(*f.host);
        QVERIFY(form);
        widgets::FlexGrid* grid = form->grdPartitions();
        const auto level = [grid](int row, int col) {
            const int viewRow = grid->model().viewRow(row);
            return levelAt(grid->model(), viewRow, col);
        };
        const auto rowNamed = [grid](const char* name) {
            for (int row = 1; row < grid->model().rows(); ++row)
                if (grid->model().textMatrix(row, 0) == QLatin1String(name))
                    return row;
            return -1;
        };
        const QString typeText = testing::savedText(form);
        // The type view: only the server that could not be read.
        QCOMPARE(level(rowNamed(".ACME.SALES"), 1), TroubleLevel::None);
        QCOMPARE(level(rowNamed(".ACME.SALES"), 3), TroubleLevel::Unavailable);
        QCOMPARE(form->unreachableLabel()->text(), QStringLiteral("Could not reach: DOWN"));
        QVERIFY(f.context().reachability().isUnreachable(QStringLiteral("DOWN")));

        form->showReplicaView(directory::ReplicaView::State);
        QCOMPARE(grid->model().textMatrix(rowNamed(".ACME.SALES"), 1), QStringLiteral("Split"));
        QCOMPARE(level(rowNamed(".ACME.SALES"), 1), TroubleLevel::Warning);
        QCOMPARE(level(rowNamed(".ACME.SALES"), 2), TroubleLevel::Critical);
        QCOMPARE(level(rowNamed(" [Root]"), 1), TroubleLevel::None);
        QVERIFY(!testing::savedText(form).contains(QStringLiteral("Warning")));
        QVERIFY(typeText != testing::savedText(form));
    }
};

VESKARO_TEST_MAIN(TestTrouble)
#include "test_trouble.moc"

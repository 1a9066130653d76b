#include "export/WidgetExport.h"
#include "settings/ColumnScale.h"
#include "settings/Registry.h"
#include "text/Twips.h"
#include "support/FakeViewHost.h"
#include "support/MemoryRegistry.h"
#include "support/SimNetwork.h"
#include "support/StubClient.h"
#include "support/TestContext.h"
#include "support/TestMain.h"
#include "views/VolumeUsage.h"
#include "views/VolumeUsageWindow.h"
#include "widgets/RefreshFrame.h"
#include "widgets/ReportListView.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QMdiArea>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

using views::VolumeUsageWindow;

namespace {

// FS1 mounts SYS (reachable, the worked example's figures), DATA (no folder:
// not reachable through the file system) and the two administration volumes;
// FS2 mounts SYS and an empty volume; DOWN cannot be reached; CLOSEFAIL
// refuses to close its connection.
const QByteArray kNetwork = R"({
  "format": 1,
  "fileRoot": "volumes",
  "trees": [ { "name": "T", "containers": [ { "name": "O", "class": "Organization" } ] } ],
  "servers": [
    { "name": "FS1", "tree": "T", "volumes": [
        { "name": "SYS", "sectorsPerBlock": 8, "totalBlocks": 10000, "availableBlocks": 2500, "purgeableBlocks": 500 },
        { "name": "_ADMIN" },
        { "name": "DATA", "totalBlocks": 20480, "availableBlocks": 100 },
        { "name": "NSS_ADMIN" } ] },
    { "name": "FS2", "tree": "T", "volumes": [
        { "name": "SYS", "sectorsPerBlock": 8, "totalBlocks": 2560, "availableBlocks": 256 },
        { "name": "EMPTY", "totalBlocks": 0, "availableBlocks": 0 } ] },
    { "name": "DOWN", "tree": "T", "reachable": false },
    { "name": "CLOSEFAIL", "tree": "T", "faults": { "NWCCCloseConn": "0x8801" } }
  ]
})";

struct Fixture {
    Fixture()
    {
        for (const char* folder : {"volumes/FS1/SYS", "volumes/FS2/sys", "volumes/FS2/EMPTY", "volumes/CLOSEFAIL/SYS"})
            QDir(files.path()).mkpath(QLatin1String(folder));
        client = testing::makeNetwork(kNetwork, files.path());
        services = std::make_unique<testing::TestContext>(client ? *client : fallback, registry);
        host = std::make_unique<testing::FakeViewHost>(services->context);
        settings::resetStartingServerContext(registry);
        host->window()->show();
    }

    VolumeUsageWindow* open(const QStringList& servers)
    {
        host->selection = servers;
        views::openVolumeUsage(*host);
        return views::findView<VolumeUsageWindow>(*host);
    }

    QTemporaryDir files;
    testing::StubClient fallback;
    std::unique_ptr<nw::NetWareClient> client;
    testing::MemoryRegistry registry;
    std::unique_ptr<testing::TestContext> services;
    std::unique_ptr<testing::FakeViewHost> host;
};

QStringList rows(const VolumeUsageWindow* form)
{
    QStringList texts;
    const widgets::ReportListView* list = form->lstvwVolumeUsage();
    for (int row = 0; row < list->rowCount(); ++row) {
        QStringList cells;
        for (int col = 0; col < list->columnCount(); ++col)
            cells.append(list->itemText(row, col).trimmed());
        texts.append(cells.join(QLatin1Char('|')));
    }
    return texts;
}

}  // namespace

class TestVolumeUsage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cells_data();
    void cells();
    void paths();
    void listsAndMeasuresVolumes();
    void secondOpeningAddsNoDuplicates();
    void unreachableAndClosingServers();
    void sortingTwiceReverses();
    void refreshKeepsVolumes();
    void columnsFitUntilWidthsAreStored();
    void nothingListedIsNeverFitted();
    void tracesItsCalls();
};

void TestVolumeUsage::cells_data()
{
    QTest::addColumn<quint32>("total");
    QTest::addColumn<quint32>("available");
    QTest::addColumn<quint32>("purgeable");
    QTest::addColumn<quint32>("notYet");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("worked example") << 10000u << 2500u << 500u << 0u
                                    << QStringList{"39.06", "27.34", "1.95", "0.00", "9.77", "25%"};
    QTest::newRow("no blocks") << 0u << 0u << 0u << 0u << QStringList{"0.00", "0.00", "0.00", "0.00", "0.00", "N/A"};
    QTest::newRow("grouping") << 4000000000u << 2000000000u << 0u << 256u
                              << QStringList{"15,625,000.00", "7,812,500.00", "0.00", "1.00", "7,812,500.00", "50%"};
}

void TestVolumeUsage::cells()
{
    QFETCH(quint32, total);
    QFETCH(quint32, available);
    QFETCH(quint32, purgeable);
    QFETCH(quint32, notYet);
    QFETCH(QStringList, expected);
    nw::DirSpaceInfo info{};
    info.sectorsPerBlock = 8;
    info.totalBlocks = total;
    info.availableBlocks = available;
    info.purgeableBlocks = purgeable;
    info.notYetPurgeableBlocks = notYet;
    const QLocale c = QLocale::c();
    const QStringList cells = views::volumeCells(views::volumeSpace(info), c);
    QCOMPARE(cells.size(), 6);
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(cells.at(i).size(), qMax<qsizetype>(15, expected.at(i).size()));  // padded, never cut
        QCOMPARE(cells.at(i).trimmed(), expected.at(i));
        QCOMPARE(views::cellMegabytes(cells.at(i), c), c.toDouble(expected.at(i)));
    }
    QCOMPARE(cells.at(5), expected.at(5));
}

void TestVolumeUsage::paths()
{
    QCOMPARE(views::volumeEntry("FS1", "SYS"), QStringLiteral("\\\\FS1\\SYS"));
    QCOMPARE(views::netWarePathOf("\\\\FS1\\SYS"), QStringLiteral("FS1/SYS:"));
    QVERIFY(views::isAdministrationVolume("_ADMIN") && views::isAdministrationVolume("NSS_ADMIN"));
    QVERIFY(!views::isAdministrationVolume("nss_admin") && !views::isAdministrationVolume("ADMIN"));
    QCOMPARE(views::totalsText(1234.5, 0, 1, QLocale::c()),
             QStringLiteral("Total Size=1,234.50 MB | Total Used=0.00 MB | Total Free=1.00 MB"));
}

void TestVolumeUsage::listsAndMeasuresVolumes()
{
    Fixture f;
    QVERIFY(f.client);
    QVERIFY(!f.open({}));  // nothing selected, nothing opens
    VolumeUsageWindow* form = f.open({"FS1"});
    QVERIFY(form);
    QCOMPARE(form->windowTitle(), QStringLiteral("Volume Space Usage"));
    QCOMPARE(form->volumes(), QStringList({"\\\\FS1\\SYS", "\\\\FS1\\DATA"}));
    QCOMPARE(rows(form),
             QStringList({"\\\\FS1\\SYS|39.06|27.34|1.95|0.00|9.77|25%",
                          "\\\\FS1\\DATA|Unavailable|Unavailable|Unavailable|Unavailable|Unavailable|N/A"}));
    // Only the reachable volume counts.
    QCOMPARE(form->StatusBar()->currentMessage(),
             QStringLiteral("Total Size=39.06 MB | Total Used=27.34 MB | Total Free=9.77 MB"));
    QCOMPARE(form->fraRefresh()->intervalText(), QStringLiteral("5"));
    QVERIFY(!form->fraRefresh()->isRefreshing());
    QCOMPARE(f.host->openingsStarted, 1);
    QCOMPARE(f.host->openings, 0);

    // Save finds the list.
    QCOMPARE(exporting::exportableTables(form), QList<QWidget*>{form->lstvwVolumeUsage()});
}

void TestVolumeUsage::secondOpeningAddsNoDuplicates()
{
    Fixture f;
    VolumeUsageWindow* form = f.open({"FS1"});
    QCOMPARE(f.open({"FS1", "FS2"}), form);
    QCOMPARE(f.host->mdiArea()->subWindowList().size(), 1);
    QCOMPARE(form->volumes(), QStringList({"\\\\FS1\\SYS", "\\\\FS1\\DATA", "\\\\FS2\\SYS", "\\\\FS2\\EMPTY"}));
    QCOMPARE(form->lstvwVolumeUsage()->rowCount(), 4);
    QCOMPARE(rows(form).at(2), QStringLiteral("\\\\FS2\\SYS|10.00|9.00|0.00|0.00|1.00|10%"));
    QCOMPARE(rows(form).at(3), QStringLiteral("\\\\FS2\\EMPTY|0.00|0.00|0.00|0.00|0.00|N/A"));
    QCOMPARE(form->StatusBar()->currentMessage(),
             QStringLiteral("Total Size=49.06 MB | Total Used=36.34 MB | Total Free=10.77 MB"));
    QVERIFY(f.services->messages.shown.isEmpty());
}

void TestVolumeUsage::unreachableAndClosingServers()
{
    Fixture f;
    VolumeUsageWindow* form = f.open({"DOWN"});
    QVERIFY(form);
    QVERIFY(form->volumes().isEmpty());
    QVERIFY(f.services->messages.shown.isEmpty());  // silently nothing

    f.open({"CLOSEFAIL"});
    QCOMPARE(form->volumes(), QStringList({"\\\\CLOSEFAIL\\SYS"}));
    QCOMPARE(f.services->messages.texts(), QStringList({"NWCCCloseConn returned 34817"}));
}

void TestVolumeUsage::sortingTwiceReverses()
{
    Fixture f;
    VolumeUsageWindow* form = f.open({"FS2", "FS1"});
    const auto firstColumn = [form] {
        QStringList names;
        for (int row = 0; row < form->lstvwVolumeUsage()->rowCount(); ++row)
            names.append(form->lstvwVolumeUsage()->itemText(row, 0));
        return names;
    };
    form->sortByColumn(5);  // Free(MB), by its padded text
    const QStringList ascending = firstColumn();
    QCOMPARE(ascending.first(), QStringLiteral("\\\\FS2\\EMPTY"));
    form->sortByColumn(5);
    QStringList reversed = firstColumn();
    std::reverse(reversed.begin(), reversed.end());
    QCOMPARE(reversed, ascending);
    form->sortByColumn(0);  // another column starts ascending again
    QCOMPARE(firstColumn().first(), QStringLiteral("\\\\FS1\\DATA"));
}

void TestVolumeUsage::columnsFitUntilWidthsAreStored()
{
    Fixture f;
    const auto width = [&](int col) {
        return views::findView<VolumeUsageWindow>(*f.host)->lstvwVolumeUsage()->treeView()->header()->sectionSize(col);
    };
    VolumeUsageWindow* form = f.open({"FS1"});
    const int inch = texts::twipsToPixels(1440, settings::columnDotsPerInch(form->lstvwVolumeUsage()->treeView()));
    QVERIFY(width(2) != inch);  // "Used(MB)" fitted, not the designed inch
    form->lstvwVolumeUsage()->treeView()->header()->resizeSection(2, 150);
    f.host->closeViews();
    f.open({"FS1"});
    QCOMPARE(width(2), 150);
}

void TestVolumeUsage::nothingListedIsNeverFitted()
{
    // Only a server that cannot be reached: nothing is listed, so nothing is
    // fitted to the headings alone; the designed widths are what is stored.
    Fixture f;
    const auto width = [&](int col) {
        return views::findView<VolumeUsageWindow>(*f.host)->lstvwVolumeUsage()->treeView()->header()->sectionSize(col);
    };
    VolumeUsageWindow* form = f.open({"DOWN"});
    QVERIFY(form->volumes().isEmpty());
    const int inch = texts::twipsToPixels(1440, settings::columnDotsPerInch(form->lstvwVolumeUsage()->treeView()));
    QCOMPARE(width(2), inch);
    // Volumes listed later in the same window are fitted then.
    f.open({"FS1"});
    QVERIFY(width(2) != inch);
}

void TestVolumeUsage::refreshKeepsVolumes()
{
    Fixture f;
    VolumeUsageWindow* form = f.open({"FS1"});
    // The volume becomes reachable: the next pass updates its row in place.
    QDir(f.files.path()).mkpath(QStringLiteral("volumes/FS1/DATA"));
    QVERIFY(form->measureVolumes());
    QCOMPARE(form->lstvwVolumeUsage()->rowCount(), 2);
    QVERIFY(rows(form).at(1).startsWith(QStringLiteral("\\\\FS1\\DATA|80.00|")));

    form->fraRefresh()->setIntervalText(QStringLiteral("75"));
    QCOMPARE(form->fraRefresh()->intervalText(), QStringLiteral("60"));
    form->fraRefresh()->toggle();
    QVERIFY(form->fraRefresh()->isRefreshing());
    QVERIFY(!f.host->saveEnabled);
    form->fraRefresh()->toggle();
    QVERIFY(f.host->saveEnabled);
}

void TestVolumeUsage::tracesItsCalls()
{
    Fixture f;
    QTemporaryDir programDir;
    f.services->context.arguments = {QStringLiteral("/debug")};
    f.services->context.programDir = programDir.path();
    f.open({"FS2"});
    QFile trace(QDir(programDir.path()).filePath(QStringLiteral("Veskaro.dbg")));
    QVERIFY(trace.open(QIODevice::ReadOnly));
    QStringList calls;
    for (const QByteArray& line : trace.readAll().split('\n')) {
        const QList<QByteArray> fields = line.trimmed().split(',');
        if (fields.size() >= 4)
            calls.append(QString::fromLatin1(fields.mid(fields.size() - 4, 3).join(',')).simplified());
    }
    // One scan step per mounted volume, then three calls per reachable
    // volume under its NetWare path.
    QCOMPARE(calls.mid(0, 4), QStringList({"Volume Info - subGetVolumes, FS2, NWCCOpenConnByName",
                                           "Volume Info - subGetVolumes, FS2, NWScanMountedVolumeList",
                                           "Volume Info - subGetVolumes, FS2, NWScanMountedVolumeList",
                                           "Volume Info - subGetVolumes, FS2, NWCCCloseConn"}));
    QCOMPARE(calls.mid(4, 3), QStringList({"Volume Info - subGetVolumeUsage, FS2/SYS:, NWParsePath",
                                           "Volume Info - subGetVolumeUsage, FS2/SYS:, NWGetVolumeNumber",
                                           "Volume Info - subGetVolumeUsage, FS2/SYS:, NWGetDirSpaceInfo"}));
    QVERIFY(calls.contains(QStringLiteral("Volume Info - subGetVolumeUsage, FS2/EMPTY:, NWParsePath")));
}

VESKARO_TEST_MAIN(TestVolumeUsage)
#include "test_volumeusage.moc"

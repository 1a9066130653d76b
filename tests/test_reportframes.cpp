// veskaro-report's volume usage, partitions and abend log views against a
// small network with a folder of volumes: the printed text to the character.

#include "export/TableExport.h"
#include "report/ReportCommand.h"
#include "support/ReportRun.h"
#include "support/TestMain.h"

#include <QDir>
#include <QImage>
#include <QTest>

namespace {

const QByteArray kNetwork = R"({ "format": 1, "clock": "2026-12-05T19:04:36", "fileRoot": "volumes",
  "workstation": { "tree": "ACME_TREE", "context": "ACME", "logins": { "ACME_TREE": "admin.ACME" } },
  "trees": [ { "name": "ACME_TREE",
               "containers": [ { "name": "ACME", "class": "Organization", "children": [ { "name": "SALES" } ] } ],
               "partitions": [
                 { "name": "[Root]", "replicas": [ { "server": "FS1", "type": 0 }, { "server": "FS2", "type": 1 } ] },
                 { "name": "SALES.ACME", "replicas": [
                     { "server": "FS2", "type": 2, "state": 48, "modified": "2026-12-05T19:04:36",
                       "purged": "2026-12-05T19:00:00" } ] } ] } ],
  "servers": [
    { "name": "FS1", "tree": "ACME_TREE", "context": "ACME", "volumes": [
        { "name": "SYS", "sectorsPerBlock": 8, "totalBlocks": 10000, "availableBlocks": 2500, "purgeableBlocks": 500 },
        { "name": "NSS_ADMIN" },
        { "name": "DATA", "totalBlocks": 2560, "availableBlocks": 0 } ] },
    { "name": "FS2", "tree": "ACME_TREE", "context": "ACME", "volumes": [
        { "name": "SYS", "sectorsPerBlock": 8, "totalBlocks": 2560, "availableBlocks": 256 } ] },
    { "name": "DOWN", "tree": "ACME_TREE", "context": "ACME", "reachable": false }
  ]
})";

const QByteArray kAbendLog = "Server FS1 halted Tuesday, March 3, 2009 4:23:11 pm\r\n"
                             "Abend 1 on P00: Page Fault Processor Exception\r\n"
                             "Server FS9 halted Friday, May 1, 2009 1:00:00 am\r\n"
                             "Server FS1 halted Sunday, January 10, 2010 9:15:42 am\r\n"
                             "Abend 2 on P00: NMI\r\n";

// The network with the abend log of FS1 and an empty SYS volume of FS2.
struct FramesRun : testing::ReportRun {
    FramesRun() : ReportRun(kNetwork)
    {
        QVERIFY(writeFile(QStringLiteral("volumes/FS1/SYS/SYSTEM/ABEND.LOG"), kAbendLog));
        QVERIFY(QDir().mkpath(path(QStringLiteral("volumes/FS2/SYS"))));
    }
};

}  // namespace

class TestReportFrames : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void printed_data();
    void printed();
    void pictureShowsThePrintedTable_data();
    void pictureShowsThePrintedTable();
};

void TestReportFrames::printed_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");

    // Selected together: the list's order, whatever the order given.
    QTest::newRow("volumes") << QStringList{"volumes", "FS2", "FS1", "DOWN"} << 0
                             << "Volume,Size(MB),Used(MB),Purgeable(MB),Not Yet Purgeable(MB),Free(MB),% Free\r\n"
                                "\\\\FS1\\SYS,39.06,27.34,1.95,0.00,9.77,25%\r\n"
                                "\\\\FS1\\DATA,Unavailable,Unavailable,Unavailable,Unavailable,Unavailable,N/A\r\n"
                                "\\\\FS2\\SYS,10.00,9.00,0.00,0.00,1.00,10%\r\n"
                             << "";
    QTest::newRow("partitions") << QStringList{"partitions", "FS2", "FS1", "DOWN"} << 0
                                << ",DOWN,FS1,FS2\r\n[Root],N/A,M,RW\r\n.ACME.SALES,N/A,,RO\r\n"
                                << "";
    QTest::newRow("partitions by state") << QStringList{"partitions", "--view", "state", "FS1", "FS2"} << 0
                                         << ",FS1,FS2\r\n[Root],On,On\r\n.ACME.SALES,,Split\r\n"
                                         << "";
    QTest::newRow("partitions by sync time")
        << QStringList{"partitions", "FS2", "--view", "sync"} << 0 << ",FS2\r\n[Root],0\r\n.ACME.SALES,276\r\n"
        << "";
    QTest::newRow("partitions by time stamp")
        << QStringList{"partitions", "--view", "timestamp", "FS2"} << 0
        << ",FS2\r\n[Root],5 Dec 2026 19:04:36\r\n.ACME.SALES,5 Dec 2026 19:00:00\r\n"
        << "";
    QTest::newRow("partitions, other view") << QStringList{"partitions", "--view", "age", "FS1"} << 2 << ""
                                            << "--view takes type|state|timestamp|sync";
    QTest::newRow("abends") << QStringList{"abends", "FS1"} << 0
                            << "Tuesday, March 3, 2009 4:23:11 pm\nSunday, January 10, 2010 9:15:42 am\n"
                            << "";
    QTest::newRow("abend report") << QStringList{"abends", "--show", "1", "FS1"} << 0
                                  << "Abend information for server FS1 Tuesday, March 3, 2009 4:23:11 pm\n\n"
                                     "Server FS1 halted Tuesday, March 3, 2009 4:23:11 pm\n"
                                     "Abend 1 on P00: Page Fault Processor Exception\n"
                                     "Server FS9 halted Friday, May 1, 2009 1:00:00 am\n"
                                  << "";
    QTest::newRow("last abend to the end") << QStringList{"abends", "--show", "2", "FS1"} << 0
                                           << "Abend information for server FS1 Sunday, January 10, 2010 9:15:42 am\n\n"
                                              "Server FS1 halted Sunday, January 10, 2010 9:15:42 am\n"
                                              "Abend 2 on P00: NMI\n"
                                           << "";
    QTest::newRow("no log") << QStringList{"abends", "FS2"} << 0 << "No Abend log found.\n"
                            << "";
    QTest::newRow("no such halt") << QStringList{"abends", "--show", "3", "FS1"} << 1 << ""
                                  << "There is no halt number 3.";
    QTest::newRow("show needs a number") << QStringList{"abends", "--show", "last", "FS1"} << 2 << ""
                                         << "--show takes a number from 1";
    QTest::newRow("one server") << QStringList{"abends", "FS1", "FS2"} << 2 << ""
                                << "takes one server";
}

void TestReportFrames::printed()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    FramesRun run;
    const testing::ReportOutcome outcome = run.run(arguments);
    QCOMPARE(outcome.out, out);
    QCOMPARE(outcome.exitCode, exitCode);
    if (!err.isEmpty())
        QVERIFY2(outcome.err.contains(err), qPrintable(outcome.err));
}

void TestReportFrames::pictureShowsThePrintedTable_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("volumes") << QStringList{"volumes", "FS2", "FS1", "DOWN"};
    QTest::newRow("partitions") << QStringList{"partitions", "FS1", "FS2"};
}

void TestReportFrames::pictureShowsThePrintedTable()
{
    // The window in the picture holds, at the moment it is drawn, the very
    // table that was printed: the same pass, not a later one.
    QFETCH(QStringList, arguments);
    FramesRun run;
    const QString png = run.path(QStringLiteral("view.png"));
    QString pictured;
    const testing::ReportOutcome outcome =
        run.run(QStringList{QStringLiteral("--screenshot"), png} + arguments, [&](app::MainWindow& form) {
            if (const auto rows = report::savedRowsOfActiveView(form, arguments.first()))
                pictured = QString::fromLatin1(exporting::delimitedBytes(*rows, QStringLiteral(",")));
        });
    QCOMPARE(outcome.exitCode, 0);
    QVERIFY(outcome.out.count(QLatin1Char('\n')) > 2);
    QCOMPARE(pictured, outcome.out);
    QVERIFY(!QImage(png).isNull());
}

VESKARO_TEST_MAIN(TestReportFrames)
#include "test_reportframes.moc"

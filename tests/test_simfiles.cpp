// Volume files of the simulated network: DOS names as NetWare derives them, and
// folders under fileRoot reached by long or DOS names.

#include "support/ResourceUse.h"
#include "support/SimNetwork.h"
#include "support/TestMain.h"

#include "netware/sim/SimFiles.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace nw;

namespace {

QString text(std::span<const char> bytes)
{
    return QString::fromLatin1(bytes.data(), qstrnlen(bytes.data(), bytes.size()));
}

}  // namespace

class TestSimFiles : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void dosNames_data();
    void dosNames();
    void manyLikeNamesTakeLinearTime();
    void foldersUnderFileRoot();
    void linksStayInsideTheirVolume();
};

void TestSimFiles::dosNames_data()
{
    QTest::addColumn<QStringList>("longNames");
    QTest::addColumn<QStringList>("dosNames");

    QTest::newRow("valid 8.3 kept") << QStringList{"REPORT.TXT", "ABEND.LOG", "SYSTEM"}
                                    << QStringList{"REPORT.TXT", "ABEND.LOG", "SYSTEM"};
    QTest::newRow("lower case is not valid") << QStringList{"readme.txt"} << QStringList{"README~1.TXT"};
    QTest::newRow("clashes count up") << QStringList{"Data Files", "Data Filesx", "Data Files 2"}
                                      << QStringList{"DATAFI~1", "DATAFI~2", "DATAFI~3"};
    QTest::newRow("existing short name is skipped")
        << QStringList{"Data Files", "DATAFI~1"} << QStringList{"DATAFI~2", "DATAFI~1"};
    QTest::newRow("long extension cut") << QStringList{"index.html"} << QStringList{"INDEX~1.HTM"};
    QTest::newRow("several dots") << QStringList{"a.b.c"} << QStringList{"AB~1.C"};
    QTest::newRow("invalid characters dropped") << QStringList{"x+y=z;[1].doc"} << QStringList{"XYZ1~1.DOC"};
    QTest::newRow("nine-character base") << QStringList{"ABCDEFGHI"} << QStringList{"ABCDEF~1"};

    QStringList many, expected;
    for (int i = 1; i <= 10; ++i) {
        many.append(QStringLiteral("Report %1 final.doc").arg(i, 2, 10, QLatin1Char('0')));
        expected.append(i < 10 ? QStringLiteral("REPORT~%1.DOC").arg(i) : QStringLiteral("REPOR~10.DOC"));
    }
    QTest::newRow("tenth clash keeps eight characters") << many << expected;
}

void TestSimFiles::dosNames()
{
    QFETCH(QStringList, longNames);
    QFETCH(QStringList, dosNames);
    QCOMPARE(sim::deriveDosNames(longNames), dosNames);
}

void TestSimFiles::manyLikeNamesTakeLinearTime()
{
    // A folder of 20,000 files that share their first letters (a generated
    // server's DATA folder): the numbers run on instead of being searched from 1.
    QStringList names;
    for (int i = 1; i <= 20000; ++i)
        names.append(QStringLiteral("Report %1.txt").arg(i));
    names.append(QStringLiteral("REPOR~11.TXT"));  // already a short name: skipped
    const testing::ResourceUse use;
    const QStringList dos = sim::deriveDosNames(names);
    QVERIFY2(use.cpuMs() < 2000 * testing::kSanitizerSlowdown, qPrintable(QString::number(use.cpuMs())));
    QCOMPARE(dos.size(), names.size());
    QCOMPARE(dos[0], QStringLiteral("REPORT~1.TXT"));
    QCOMPARE(dos[9], QStringLiteral("REPOR~10.TXT"));
    QCOMPARE(dos[10], QStringLiteral("REPOR~12.TXT"));
    QCOMPARE(dos[98], QStringLiteral("REPO~100.TXT"));
    QCOMPARE(dos[19999], QStringLiteral("RE~20001.TXT"));
    QCOMPARE(QSet<QString>(dos.begin(), dos.end()).size(), dos.size());
}

void TestSimFiles::foldersUnderFileRoot()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const char* name :
         {"Apps/Data Files/Q4 Report.xls", "Apps/Data Files/Q4 Report old.xls", "SYSTEM/ABEND.LOG"}) {
        QFile file(dir.path() + "/vols/fs1/Sys/" + QLatin1String(name));
        QVERIFY(QDir().mkpath(QFileInfo(file).path()) && file.open(QIODevice::WriteOnly));
    }

    auto c = testing::makeNetwork(R"({ "format": 1, "fileRoot": "vols",
        "trees": [ { "name": "T", "containers": [ { "name": "O", "class": "Organization" } ] } ],
        "servers": [ { "name": "FS1", "tree": "T", "volumes": [ { "name": "SYS" }, { "name": "VOL1" } ],
          "connections": [ { "number": 3, "openFiles": [ { "volume": "SYS", "path": "Apps\\Data Files\\Q4 Report old.xls" } ] } ] } ] })",
                                  dir.path());
    QVERIFY(c);
    NWCONN_HANDLE conn = 0;
    QCOMPARE(c->NWCCOpenConnByName(0, "FS1", 2, 1, NW_TRAN_TYPE_WILD, conn), 0u);

    NWDirHandle byLong = 0, byDos = 0, other = 0;
    QCOMPARE(c->NWAllocTempNSDirHandle2(conn, 0, "SYS:APPS\\data files", NW_NS_LONG, byLong, NW_NS_DOS), 0u);
    QCOMPARE(c->NWAllocTempNSDirHandle2(conn, 0, "SYS:APPS\\DATAFI~1", NW_NS_DOS, byDos, NW_NS_DOS), 0u);
    QVERIFY(byLong != byDos);
    QCOMPARE(c->NWAllocTempNSDirHandle2(conn, 0, "SYS:", NW_NS_LONG, other, NW_NS_DOS), 0u);
    QCOMPARE(c->NWAllocTempNSDirHandle2(conn, 0, "SYS:APPS\\NOPE", NW_NS_LONG, other, NW_NS_DOS), status::InvalidPath);
    QCOMPARE(c->NWAllocTempNSDirHandle2(conn, 0, "VOL1:ANY", NW_NS_LONG, other, NW_NS_DOS), status::InvalidPath);

    // "Q4 Report old.xls" sorts before "Q4 Report.xls" and takes ~1.
    std::array<char, 256> name{};
    QCOMPARE(c->NWGetLongName(conn, 0, "SYS:APPS\\DATAFI~1\\Q4REPO~2.XLS", NW_NS_DOS, NW_NS_LONG, name), 0u);
    QCOMPARE(text(name), QStringLiteral("Q4 Report.xls"));
    QCOMPARE(c->NWGetLongName(conn, 0, "SYS:SYSTEM\\ABEND.LOG", NW_NS_DOS, NW_NS_LONG, name), 0u);
    QCOMPARE(text(name), QStringLiteral("ABEND.LOG"));
    QCOMPARE(c->NWGetLongName(conn, 0, "SYS:SYSTEM\\NOFILE.LOG", NW_NS_DOS, NW_NS_LONG, name), status::NoFilesFound);

    qint16 iteration = 0;
    ConnectionUsingFile use;
    FileUsage usage;
    QCOMPARE(c->NWScanConnectionsUsingFile(conn, byDos, "Q4REPO~1.XLS", iteration, use, usage), 0u);
    QCOMPARE(use.connectionNumber, qint16(3));
    QCOMPARE(c->NWScanConnectionsUsingFile(conn, byDos, "Q4REPO~1.XLS", iteration, use, usage), status::NoMoreItems);
    iteration = 0;
    QCOMPARE(c->NWScanConnectionsUsingFile(conn, byLong, "Q4REPO~2.XLS", iteration, use, usage), status::NoMoreItems);
    QCOMPARE(usage.connectionCount, quint16(0));
    QCOMPARE(iteration, qint16(-1));

    // A folder of the volume tree on disk parses to its server, volume and path.
    std::array<char, 50> server{}, volume{};
    std::array<char, 500> path{};
    NWCONN_HANDLE parsed = 0;
    const QByteArray local = QDir(dir.path()).absoluteFilePath("vols/fs1/Sys/Apps").toLocal8Bit();
    QCOMPARE(c->NWParsePath(local, server, parsed, volume, path), 0u);
    QCOMPARE(text(server) + "|" + text(volume) + "|" + text(path), QStringLiteral("FS1|SYS|Apps"));
    QCOMPARE(c->NWCCCloseConn(parsed), 0u);
    FileServerInfo info;
    QCOMPARE(c->NWGetFileServerInfo(parsed, info), 0u);  // the client's own connection stays usable
}

void TestSimFiles::linksStayInsideTheirVolume()
{
    // fs1/SYS holds links: "out" to a folder beside the volume tree, "Logs" to
    // a folder inside the volume, SYSTEM/ABEND.LOG to a file outside it and
    // SYSTEM/KEPT.LOG to a file inside.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QDir root(dir.path());
    for (const char* name : {"outside/shadow", "outside/abend.log", "vols/fs1/SYS/SYSTEM/SYS.LOG",
                             "vols/fs1/SYS/Archive/2009/KEPT.LOG", "vols/fs1/SYS2/secret.txt"}) {
        QFile file(root.filePath(QLatin1String(name)));
        QVERIFY(QDir().mkpath(QFileInfo(file).path()) && file.open(QIODevice::WriteOnly));
        file.write("Server FS1 halted Monday\n");
    }
    QVERIFY(QFile::link(root.filePath("outside"), root.filePath("vols/fs1/SYS/out")));
    QVERIFY(QFile::link("../SYS2", root.filePath("vols/fs1/SYS/sibling")));  // another volume's folder
    QVERIFY(QFile::link("Archive/2009", root.filePath("vols/fs1/SYS/Logs")));
    QVERIFY(QFile::link(root.filePath("outside/abend.log"), root.filePath("vols/fs1/SYS/SYSTEM/ABEND.LOG")));
    QVERIFY(QFile::link("../Archive/2009/KEPT.LOG", root.filePath("vols/fs1/SYS/SYSTEM/KEPT.LOG")));

    auto c = testing::makeNetwork(R"({ "format": 1, "fileRoot": "vols",
        "trees": [ { "name": "T", "containers": [ { "name": "O", "class": "Organization" } ] } ],
        "servers": [ { "name": "FS1", "tree": "T", "volumes": [ { "name": "SYS" }, { "name": "SYS2" } ] } ] })",
                                  dir.path());
    QVERIFY(c);
    NWCONN_HANDLE conn = 0;
    QCOMPARE(c->NWCCOpenConnByName(0, "FS1", 2, 1, NW_TRAN_TYPE_WILD, conn), 0u);

    // Looking a file up: what lies outside does not exist on the server.
    std::array<char, 256> name{};
    QCOMPARE(c->NWGetLongName(conn, 0, "SYS:OUT\\SHADOW", NW_NS_LONG, NW_NS_LONG, name), status::NoFilesFound);
    QCOMPARE(c->NWGetLongName(conn, 0, "SYS:OUT", NW_NS_LONG, NW_NS_LONG, name), status::NoFilesFound);
    QCOMPARE(c->NWGetLongName(conn, 0, "SYS:SIBLING\\SECRET.TXT", NW_NS_LONG, NW_NS_LONG, name), status::NoFilesFound);
    QCOMPARE(c->NWGetLongName(conn, 0, "SYS:SYSTEM\\ABEND.LOG", NW_NS_LONG, NW_NS_LONG, name), status::NoFilesFound);
    QCOMPARE(c->NWGetLongName(conn, 0, "SYS:LOGS\\KEPT.LOG", NW_NS_LONG, NW_NS_LONG, name), 0u);
    QCOMPARE(text(name), QStringLiteral("KEPT.LOG"));
    QCOMPARE(c->NWGetLongName(conn, 0, "SYS:SYSTEM\\KEPT.LOG", NW_NS_LONG, NW_NS_LONG, name), 0u);

    // Browsing folders, through directory handles and the local paths the views read.
    NWDirHandle handle = 0;
    QCOMPARE(c->NWAllocTempNSDirHandle2(conn, 0, "SYS:OUT", NW_NS_LONG, handle, NW_NS_DOS), status::InvalidPath);
    QCOMPARE(c->NWAllocTempNSDirHandle2(conn, 0, "SYS:LOGS", NW_NS_LONG, handle, NW_NS_DOS), 0u);
    QCOMPARE(c->localPathOf("\\\\FS1\\SYS\\out"), QString());
    QCOMPARE(c->localPathOf("\\\\FS1\\SYS\\out\\shadow"), QString());
    QCOMPARE(c->localPathOf("\\\\FS1\\SYS\\sibling"), QString());
    QCOMPARE(c->localPathOf("\\\\FS1\\SYS\\Logs"), root.filePath("vols/fs1/SYS/Logs"));
    QCOMPARE(c->localPathOf("\\\\FS1\\SYS"), root.filePath("vols/fs1/SYS"));

    // The abend log is read from the local path: one linked outside is not there.
    QCOMPARE(c->localPathOf("\\\\FS1\\SYS\\SYSTEM\\ABEND.LOG"), QString());
    QCOMPARE(c->localPathOf("\\\\FS1\\SYS\\SYSTEM\\KEPT.LOG"), root.filePath("vols/fs1/SYS/SYSTEM/KEPT.LOG"));
}

VESKARO_TEST_GUILESS_MAIN(TestSimFiles)
#include "test_simfiles.moc"

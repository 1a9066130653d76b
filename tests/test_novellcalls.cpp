// The shared client routines: name conversions, byte-array strings from
// well-formed and hostile records, the free drive search and volume listing.

#include "netware/NovellCalls.h"
#include "netware/ServerDiscovery.h"
#include "netware/ServerSession.h"
#include "support/MemoryRegistry.h"
#include "support/StubClient.h"
#include "support/TestContext.h"
#include "support/TestMain.h"

#include <QTest>

#include <cstring>

using namespace nw;

namespace {

// A server with a scripted volume list and drive table.
class VolumeServer : public testing::StubClient {
public:
    QStringList volumes;
    NWRCODE closeResult = 0;
    NWRCODE openResult = 0;
    NWRCODE authenticateResult = 0;
    QList<quint16> mappedDrives;  // drive numbers in use
    int opens = 0;
    int closes = 0;

    NWRCODE NWCCOpenConnByName(NWCONN_HANDLE, const QByteArray&, quint32, quint32, quint32,
                               NWCONN_HANDLE& connection) override
    {
        ++opens;
        connection = 7;
        return openResult;
    }
    NWRCODE NWDSAuthenticate(NWCONN_HANDLE, quint32, quint32*) override { return authenticateResult; }
    NWRCODE NWCCCloseConn(NWCONN_HANDLE) override
    {
        ++closes;
        return closeResult;
    }
    NWRCODE NWScanMountedVolumeList(NWCONN_HANDLE, quint32, quint32, quint32& iterator, quint32, quint32& returned,
                                    std::span<VolumeRecord> records) override
    {
        if (iterator >= static_cast<quint32>(volumes.size())) {
            iterator = 0;
            returned = 0;
            return 0x8801;
        }
        const QByteArray name = volumes.at(static_cast<qsizetype>(iterator)).toLatin1();
        records[0] = VolumeRecord{};
        records[0].volumeNumber = iterator;
        std::memcpy(records[0].volumeName.data(), name.constData(),
                    std::min<std::size_t>(name.size(), records[0].volumeName.size()));
        returned = 1;
        ++iterator;
        if (iterator == static_cast<quint32>(volumes.size()))
            iterator = 0;
        return 0;
    }
    NWRCODE NWGetDriveStatus(quint16 drive, quint16, quint16& driveStatus, NWCONN_HANDLE&, std::span<char>,
                             std::span<char>, std::span<char>) override
    {
        driveStatus = mappedDrives.contains(drive) ? NW_NETWARE_DRIVE : NW_UNMAPPED_DRIVE;
        return 0;
    }
};

}  // namespace

class TestNovellCalls : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void dotsToTreePath_data()
    {
        QTest::addColumn<QString>("dotted");
        QTest::addColumn<QString>("path");
        QTest::newRow("relative") << "SALES.ACME"
                                  << "MYTREE\\ACME\\SALES";
        QTest::newRow("absolute keeps a trailing backslash") << ".SALES.ACME"
                                                             << "MYTREE\\ACME\\SALES\\";
        QTest::newRow("single") << "ACME"
                                << "MYTREE\\ACME";
        QTest::newRow("root") << "[Root]"
                              << "MYTREE\\[Root]";
        QTest::newRow("empty") << ""
                               << "MYTREE\\";
    }
    void dotsToTreePath()
    {
        QFETCH(QString, dotted);
        QFETCH(QString, path);
        QCOMPARE(nw::dotsToTreePath(dotted, QStringLiteral("MYTREE")), path);
    }

    void treePathToDots_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("dotted");
        QTest::newRow("relative") << "MYTREE\\ACME\\SALES"
                                  << "SALES.ACME";
        QTest::newRow("stored form is absolute") << "MYTREE\\ACME\\SALES\\"
                                                 << ".SALES.ACME";
        QTest::newRow("tree root") << "MYTREE\\[Root]"
                                   << "[Root]";
        QTest::newRow("tree compared without case") << "mytree\\ACME"
                                                    << "ACME";
        QTest::newRow("no backslash unchanged") << ".SALES.ACME"
                                                << ".SALES.ACME";
        QTest::newRow("another tree gives its first component") << "OTHER\\ACME\\SALES"
                                                                << "OTHER";
        QTest::newRow("empty") << ""
                               << "[Owner unavailable]";
        QTest::newRow("the tree alone is its root") << "MYTREE"
                                                    << "[Root]";
    }
    void treePathToDots()
    {
        QFETCH(QString, path);
        QFETCH(QString, dotted);
        QCOMPARE(nw::treePathToDots(path, QStringLiteral("MYTREE")), dotted);
    }

    void conversionsRoundTrip()
    {
        for (const QString& dotted : {QStringLiteral(".SALES.ACME"), QStringLiteral(".A.B.C.D")}) {
            QCOMPARE(nw::treePathToDots(nw::dotsToTreePath(dotted, QStringLiteral("T")), QStringLiteral("T")), dotted);
        }
    }

    void bytesToStringStopsAtNulOrEnd()
    {
        const char withNul[] = {'F', 'S', '1', '\0', 'X', 'Y'};
        QCOMPARE(nw::bytesToString(std::span<const char>(withNul)), QStringLiteral("FS1"));
        const char noNul[] = {'A', 'B', 'C'};
        QCOMPARE(nw::bytesToString(std::span<const char>(noNul)), QStringLiteral("ABC"));
        const char latin[] = {'\xC4', 'R', '\0'};
        QCOMPARE(nw::bytesToString(std::span<const char>(latin)), QString::fromUtf8("\xC3\x84R"));
        QCOMPARE(nw::bytesToString(std::span<const char>()), QString());
    }

    void stringToBytesNeverOverruns()
    {
        std::array<char, 6> buffer;
        buffer.fill('#');
        nw::stringToBytes(std::span<char>(buffer), QStringLiteral("AB"));
        QCOMPARE(QByteArray(buffer.data(), 3), QByteArray("AB\0", 3));
        QCOMPARE(buffer[3], '#');

        std::array<char, 4> small;
        small.fill('#');
        nw::stringToBytes(std::span<char>(small), QStringLiteral("TOOLONG"));
        QCOMPARE(QByteArray(small.data(), 4), QByteArray("TOO\0", 4));
        QCOMPARE(nw::bytesToString(std::span<const char>(small)), QStringLiteral("TOO"));
    }

    void componentsToPath_data()
    {
        QTest::addColumn<QByteArray>("buffer");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("path");
        QTest::newRow("two components") << QByteArray("\x06PUBLIC\x0AREPORT.TXT", 18) << 18 << "\\PUBLIC\\REPORT.TXT";
        QTest::newRow("length ends the path") << QByteArray("\x04"
                                                            "APPS\x04"
                                                            "DATA\x00\x00",
                                                            12)
                                              << 10 << "\\APPS\\DATA";
        QTest::newRow("empty") << QByteArray() << 0 << "";
        // Hostile records: length bytes that point past the data.
        QTest::newRow("component longer than buffer") << QByteArray("\x7F"
                                                                    "ABC",
                                                                    4)
                                                      << 200 << "\\ABC";
        QTest::newRow("total longer than buffer") << QByteArray("\x02"
                                                                "AB\x02",
                                                                4)
                                                  << 255 << "\\AB";
        QTest::newRow("component past total") << QByteArray("\x05"
                                                            "ABCDEFGH",
                                                            9)
                                              << 4 << "\\ABC";
    }
    void componentsToPath()
    {
        QFETCH(QByteArray, buffer);
        QFETCH(int, length);
        QFETCH(QString, path);
        const std::span<const quint8> bytes(reinterpret_cast<const quint8*>(buffer.constData()),
                                            static_cast<std::size_t>(buffer.size()));
        QCOMPARE(nw::componentsToPath(bytes, static_cast<quint8>(length)), path);
    }

    void listsVolumesWithoutAdminVolumesOnce()
    {
        VolumeServer server;
        server.volumes = {QStringLiteral("SYS"), QStringLiteral("_ADMIN"), QStringLiteral("DATA"),
                          QStringLiteral("NSS_ADMIN"), QStringLiteral("SYS")};
        testing::MemoryRegistry registry;
        testing::TestContext test(server, registry);
        QStringList target{QStringLiteral("DATA")};
        listServerVolumes(test.context, QStringLiteral("FS1"), true, target);
        QCOMPARE(target, (QStringList{QStringLiteral("DATA"), QStringLiteral("SYS")}));
        QCOMPARE(server.closes, 1);
        QVERIFY(test.messages.shown.isEmpty());

        QStringList untouched;
        listServerVolumes(test.context, QStringLiteral("FS1"), false, untouched);
        QVERIFY(untouched.isEmpty());
    }

    void volumeNameWithoutTerminatorIsWholeField()
    {
        VolumeServer server;
        server.volumes = {QStringLiteral("ABCDEFGHIJKLMNOPQRSTUV")};
        testing::MemoryRegistry registry;
        testing::TestContext test(server, registry);
        QStringList target;
        listServerVolumes(test.context, QStringLiteral("FS1"), true, target);
        QCOMPARE(target, QStringList{QStringLiteral("ABCDEFGHIJKLMNOPQ")});
    }

    void volumeListingFailures()
    {
        VolumeServer server;
        server.volumes = {QStringLiteral("SYS")};
        server.closeResult = 0x8801;
        testing::MemoryRegistry registry;
        testing::TestContext test(server, registry);
        QStringList target;
        listServerVolumes(test.context, QStringLiteral("FS1"), true, target);
        QCOMPARE(test.messages.texts(), QStringList{QStringLiteral("NWCCCloseConn returned 34817")});

        server.openResult = 0x8801;
        test.messages.clear();
        target.clear();
        listServerVolumes(test.context, QStringLiteral("FS1"), true, target);
        QVERIFY(target.isEmpty());
        QVERIFY(test.messages.shown.isEmpty());
    }

    // The session closes once on every path out, and only a refused close it
    // reports itself is shown, with the program's message and its title.
    void sessionClosesOnEveryPath_data()
    {
        QTest::addColumn<NWRCODE>("openResult");
        QTest::addColumn<NWRCODE>("closeResult");
        QTest::addColumn<int>("how");  // 0 scope end, 1 close(), 2 closeQuietly()
        QTest::addColumn<int>("closes");
        QTest::addColumn<QStringList>("messages");
        const QStringList refused{QStringLiteral("NWCCCloseConn returned 34817")};
        QTest::newRow("scope end") << NWRCODE(0) << NWRCODE(0) << 0 << 1 << QStringList();
        QTest::newRow("scope end, refused") << NWRCODE(0) << NWRCODE(0x8801) << 0 << 1 << refused;
        QTest::newRow("close, refused") << NWRCODE(0) << NWRCODE(0x8801) << 1 << 1 << refused;
        QTest::newRow("quietly, refused") << NWRCODE(0) << NWRCODE(0x8801) << 2 << 1 << QStringList();
        QTest::newRow("never opened") << NWRCODE(0x8801) << NWRCODE(0) << 0 << 0 << QStringList();
    }

    void sessionClosesOnEveryPath()
    {
        QFETCH(NWRCODE, openResult);
        QFETCH(NWRCODE, closeResult);
        QFETCH(int, how);
        QFETCH(int, closes);
        QFETCH(QStringList, messages);
        VolumeServer server;
        server.openResult = openResult;
        server.closeResult = closeResult;
        testing::MemoryRegistry registry;
        testing::TestContext test(server, registry);
        {
            ServerSession session(test.context, QStringLiteral("FS1"));
            session.setCloseTitle(QStringLiteral("Server Utilization"));
            QCOMPARE(session.open(), openResult);
            QCOMPARE(session.isOpen(), openResult == 0);
            if (how == 1)
                QCOMPARE(session.close(), closeResult);
            else if (how == 2)
                QCOMPARE(session.closeQuietly(), closeResult);
        }
        QCOMPARE(server.closes, closes);
        QCOMPARE(test.messages.texts(), messages);
        if (!messages.isEmpty())
            QCOMPARE(test.messages.titles(), QStringList{QStringLiteral("Server Utilization")});
    }

    // Opening and authenticating tells which step failed. A connection the
    // directory refuses is closed again at once, without a message even when
    // that close is refused too; one that never opened is not closed.
    void openAuthenticatedTellsWhichStepFailed()
    {
        struct Case {
            NWRCODE open, authenticate;
            bool ready;
            int closesBeforeScopeEnd;
        };
        for (const Case& c : {Case{0, 0, true, 0}, Case{0x8801, 0, false, 0}, Case{0, 0x89FC, false, 1}}) {
            VolumeServer server;
            server.openResult = c.open;
            server.authenticateResult = c.authenticate;
            server.closeResult = 0x8801;
            testing::MemoryRegistry registry;
            testing::TestContext test(server, registry);
            {
                ServerSession session(test.context, QStringLiteral("FS1"));
                const nw::SessionStart start = session.openAuthenticated();
                QCOMPARE(start.opened, c.open);
                QCOMPARE(start.authenticated, c.open == 0 ? c.authenticate : NWRCODE(0));
                QCOMPARE(start.ready(), c.ready);
                QCOMPARE(session.isOpen(), c.ready);
                QCOMPARE(server.closes, c.closesBeforeScopeEnd);
                if (c.ready)
                    session.closeQuietly();
            }
            QCOMPARE(server.opens, 1);
            QCOMPARE(server.closes, c.open == 0 ? 1 : 0);
            QVERIFY(test.messages.texts().isEmpty());
        }
    }

    void findsFreeDriveFromZDown()
    {
        VolumeServer server;
        testing::MemoryRegistry registry;
        testing::TestContext test(server, registry);
        server.mappedDrives = {26, 25};
        QCOMPARE(findFreeDrive(test.context), 24);

        // Only A: is free: A: is never offered.
        server.mappedDrives.clear();
        for (quint16 d = 2; d <= 26; ++d)
            server.mappedDrives.append(d);
        QCOMPARE(findFreeDrive(test.context), 99);
        QCOMPARE(test.messages.texts(),
                 QStringList{QStringLiteral("There are no free drive letters, please release a drive and try again.")});
    }

    void statusTextIsSigned()
    {
        QCOMPARE(nw::statusText(0x8801), QStringLiteral("34817"));
        QCOMPARE(nw::statusText(0xFFFFFDA7), QStringLiteral("-601"));
    }
};

VESKARO_TEST_GUILESS_MAIN(TestNovellCalls)
#include "test_novellcalls.moc"

// veskaro-report as a command: start-up against a simulated network named by
// VESKARO_NETWORK and a temporary settings file, the printed table, and the
// exit codes of the three ways a run can end.

#include "app/StartupSettings.h"
#include "report/ReportCommand.h"
#include "settings/RegistryStore.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

using settings::Hive;

namespace {

// Servers with known facts for the printed tables; DOWN cannot be reached.
QByteArray networkJson(bool clientInstalled = true)
{
    return QByteArray(R"({ "format": 1, "clock": "2026-12-05T19:04:36", "clientInstalled": )")
           + (clientInstalled ? "true" : "false") + R"(,
  "workstation": { "tree": "ACME_TREE", "context": "ACME", "logins": { "ACME_TREE": "admin.ACME" } },
  "trees": [ { "name": "ACME_TREE", "containers": [ { "name": "ACME", "class": "Organization" } ] } ],
  "servers": [
    { "name": "FS1", "tree": "ACME_TREE", "version": "5.70.5", "company": "Novell, Inc.",
      "revisionText": "Support Pack 5", "dsVersion": 885, "upSeconds": 90061, "utilization": [12, 40, 87],
      "nlms": [ { "file": "CLIB.NLM", "name": "C Library", "version": "5.90.8", "date": "2008-10-07" },
                { "file": "DS.NLM", "name": "Directory", "version": "10552.79.0", "date": "2008-09-01" } ],
      "setParameters": [ { "name": "Read Ahead Enabled", "category": 2, "type": 1, "value": true },
                         { "name": "Maximum Packet Receive Buffers", "category": 0, "type": 0, "raw": "00 00 01 00" } ] },
    { "name": "FS2", "tree": "ACME_TREE", "version": "5.60.0", "company": "Acme", "revisionText": "R1",
      "dsVersion": 0, "upSeconds": 59, "utilization": [7],
      "nlms": [ { "file": "clib.nlm", "name": "C Library", "version": "5.90.8", "date": "2008-10-07" },
                { "file": "DS.NLM", "name": "Directory", "version": "10551.0.26", "date": "2008-09-01" } ],
      "setParameters": [ { "name": "READ AHEAD ENABLED", "category": 2, "type": 1, "value": true },
                         { "name": "Maximum Packet Receive Buffers", "category": 0, "type": 0, "value": 500 } ] },
    { "name": "DOWN", "tree": "ACME_TREE", "reachable": false }
  ]
})";
}

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

// One run of the command against its own description and settings file,
// which starts the search at the tree's root.
class ReportRun {
public:
    explicit ReportRun(const QByteArray& network = networkJson())
    {
        const QString networkPath = m_dir.filePath(QStringLiteral("network.json"));
        QFile file(networkPath);
        if (file.open(QIODevice::WriteOnly))
            file.write(network);
        file.close();
        qputenv("VESKARO_NETWORK", networkPath.toLocal8Bit());
        qputenv("VESKARO_SETTINGS", m_dir.filePath(QStringLiteral("settings.reg")).toLocal8Bit());
        seed(app::kRootKey, QStringLiteral("StartingServerContext"), QStringLiteral("ACME_TREE\\[Root]"));
    }
    ~ReportRun()
    {
        qunsetenv("VESKARO_NETWORK");
        qunsetenv("VESKARO_SETTINGS");
    }

    Outcome run(const QStringList& arguments)
    {
        Outcome outcome;
        QTextStream out(&outcome.out);
        QTextStream err(&outcome.err);
        outcome.exitCode = report::ReportCommand().execute(arguments, out, err);
        out.flush();
        err.flush();
        return outcome;
    }

    void seed(const QString& path, const QString& name, const QString& value)
    {
        auto store = settings::openDefaultRegistryStore();
        store->createKey(Hive::CurrentUser, path);
        store->setValue(Hive::CurrentUser, path, name, value);
    }

    QString path(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

std::optional<QString> storedTree()
{
    return settings::openDefaultRegistryStore()->queryValue(Hive::CurrentUser, app::kRootKey, QStringLiteral("Tree"));
}

}  // namespace

class TestReport : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void serversLeavesHiddenOnesOut();
    void failedStartExitsOne_data();
    void failedStartExitsOne();
    void usage_data();
    void usage();
    void brokenSettingsAreKeptAsideAndReported();
    void screenshotOfAnOversizedWindowNamesTheCause();
    void tables_data();
    void tables();
};

void TestReport::serversLeavesHiddenOnesOut()
{
    ReportRun report;
    report.seed(app::kHiddenKey, QStringLiteral("ACME_TREE"), QStringLiteral("FS2, FS9"));
    // The same run draws the main window with its server list.
    const QString png = report.path(QStringLiteral("main.png"));
    const Outcome outcome = report.run({QStringLiteral("--screenshot"), png, QStringLiteral("servers"),
                                        QStringLiteral("--delimiter"), QStringLiteral(";")});
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(outcome.out, QStringLiteral("DOWN\nFS1\n"));
    QCOMPARE(outcome.err, QString());
    const QImage image(png);
    QVERIFY(image.width() > 300);
    // Of the settings only the tree is written.
    const auto store = settings::openDefaultRegistryStore();
    QCOMPARE(storedTree(), std::optional<QString>(QStringLiteral("ACME_TREE")));
    QVERIFY(!store->keyExists(Hive::CurrentUser, app::kMainFormKey));
    QCOMPARE(store->queryValue(Hive::CurrentUser, app::kHiddenKey, QStringLiteral("ACME_TREE")),
             std::optional<QString>(QStringLiteral("FS2, FS9")));
}

void TestReport::failedStartExitsOne_data()
{
    QTest::addColumn<QByteArray>("network");
    QTest::addColumn<QString>("err");
    QTest::newRow("client missing")
        << networkJson(false)
        << "Novell Client Error: You must have a Novell Client installed to run Veskaro.  Veskaro will now exit.";
    QTest::newRow("unreadable description") << QByteArray("{ \"format\": 1, \"trees\": 7 }") << "network.json";
}

void TestReport::failedStartExitsOne()
{
    QFETCH(QByteArray, network);
    QFETCH(QString, err);
    ReportRun report(network);
    const Outcome outcome = report.run({QStringLiteral("servers")});
    QCOMPARE(outcome.exitCode, 1);
    QCOMPARE(outcome.out, QString());
    QVERIFY2(outcome.err.contains(err), qPrintable(outcome.err));
    QCOMPARE(storedTree(), std::nullopt);
}
void TestReport::usage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("errContains");

    QTest::newRow("nothing") << QStringList{} << 2 << "no view";
    QTest::newRow("unknown view") << QStringList{"printers"} << 2 << "unknown view printers";
    QTest::newRow("unknown option") << QStringList{"--colour", "servers"} << 2 << "unknown option --colour";
    QTest::newRow("long delimiter") << QStringList{"--delimiter", "::", "servers"} << 2 << "one character";
    QTest::newRow("servers with names") << QStringList{"servers", "FS1"} << 2 << "takes no server names";
    QTest::newRow("show on a view without columns") << QStringList{"info", "--show", "date"} << 2
                                                    << "takes no --show";
    QTest::newRow("show of something else") << QStringList{"nlms", "--show", "size"} << 2 << "--show takes";
    QTest::newRow("server not in the list") << QStringList{"info", "NOSUCH"} << 2 << "not in the server list";
    QTest::newRow("help") << QStringList{"--help"} << 0 << "";
}

void TestReport::usage()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, errContains);

    const Outcome outcome = ReportRun().run(arguments);
    QCOMPARE(outcome.exitCode, exitCode);
    if (exitCode == 0) {
        QVERIFY(outcome.out.startsWith(QLatin1String("Usage: veskaro-report")));
        QVERIFY(outcome.out.contains(QLatin1String("servers")));
    } else {
        QVERIFY2(outcome.err.contains(errContains), qPrintable(outcome.err));
        QCOMPARE(outcome.out, QString());
    }
}

void TestReport::screenshotOfAnOversizedWindowNamesTheCause()
{
    ReportRun report;
    for (const char* name : {"Width", "Height"})
        report.seed(app::kMainFormKey, QString::fromLatin1(name), QStringLiteral("900000000"));
    const QString png = report.path(QStringLiteral("main.png"));
    const Outcome outcome = report.run({QStringLiteral("--screenshot"), png, QStringLiteral("servers")});
    QCOMPARE(outcome.exitCode, 1);
    QVERIFY2(outcome.err.contains(QLatin1String("cannot render the main window")), qPrintable(outcome.err));
    QVERIFY(!outcome.err.contains(QLatin1String("cannot write")));
    QVERIFY(!QFile::exists(png));
}

void TestReport::brokenSettingsAreKeptAsideAndReported()
{
    ReportRun report;
    QFile broken(report.path(QStringLiteral("settings.reg")));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("REGEDIT4\r\n[HKEY_CURRENT_USER\\Software\r\n\"Tree\"=\"open\r\n");
    broken.close();
    const Outcome outcome = report.run({QStringLiteral("servers")});
    QCOMPARE(outcome.exitCode, 0);
    QVERIFY2(outcome.err.contains(QLatin1String("Settings: The settings file")), qPrintable(outcome.err));
    const QStringList aside = QDir(report.path(QString())).entryList({QStringLiteral("settings.reg.broken-*")});
    QCOMPARE(aside.size(), 1);
}

void TestReport::tables_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("messages");

    // Servers are taken in the order given, not in the list's order.
    QTest::newRow("info") << QStringList{"info", "FS2", "FS1"}
                          << "Server,Up Time,Version,Company,Revision,DS Version\r\n"
                             "FS2,0D 0H 0M,5.60.0,Acme,R1,0\r\n"
                             "FS1,1D 1H 1M,5.70.5,\"Novell, Inc.\",Support Pack 5,8.85\r\n"
                          << "";
    QTest::newRow("info of an unreachable server")
        << QStringList{"info", "DOWN"} << "" << "Connect to server: Unable to connect to server DOWN.\n";
    QTest::newRow("utilization after one poll") << QStringList{"--delimiter", ";", "utilization", "FS1", "DOWN"}
                                                << "Server;Util %;High %\r\nFS1;12;12\r\nDOWN;?;0\r\n"
                                                << "";
    QTest::newRow("nlms by date, differences only")
        << QStringList{"nlms", "--show", "date", "--differences-only", "FS1", "FS2"}
        << "Name,FS1,FS2\r\n,Date,Date\r\n" << "";
    QTest::newRow("nlms by version, differences only")
        << QStringList{"nlms", "FS1", "FS2", "--show", "version", "--differences-only"}
        << "Name,FS1,FS2\r\n,Version,Version\r\nDS.NLM,10552.79,10551.00z\r\n" << "";
    QTest::newRow("sets") << QStringList{"sets", "FS1", "FS2"}
                          << "Command,Category,FS1 - Value,FS2 - Value\r\n"
                             "Maximum Packet Receive Buffers,Comm,65536,500\r\n"
                             "Read Ahead Enabled,File Cache,On,On\r\n"
                          << "";
    QTest::newRow("sets differences only") << QStringList{"--differences-only", "sets", "FS1", "FS2"}
                                           << "Command,Category,FS1 - Value,FS2 - Value\r\n"
                                              "Maximum Packet Receive Buffers,Comm,65536,500\r\n"
                                           << "";
}

void TestReport::tables()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, table);
    QFETCH(QString, messages);
    const Outcome outcome = ReportRun().run(arguments);
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(outcome.out, table);
    if (!messages.isEmpty())
        QVERIFY2(outcome.err.contains(messages), qPrintable(outcome.err));
}

QTEST_MAIN(TestReport)
#include "test_report.moc"

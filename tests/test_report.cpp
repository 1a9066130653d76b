// veskaro-report as a command: start-up against a simulated network named by
// VESKARO_NETWORK and a temporary settings file, the printed table in its
// three formats, and the exit codes of the three ways a run can end. The
// manual page and the shell completion are held against the command's own
// tables of options and views.

#include "app/StartupSettings.h"
#include "report/ReportCommand.h"
#include "report/ReportFormats.h"
#include "settings/RegistryStore.h"
#include "text/CodePage.h"
#include "support/DelimitedText.h"
#include "support/ReportRun.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QScreen>
#include <QGuiApplication>
#include <QTest>

using settings::Hive;

namespace {

// The given servers in ACME_TREE, the workstation logged in to it.
QByteArray acmeNetwork(const QByteArray& servers, bool clientInstalled = true)
{
    return QByteArray(R"({ "format": 1, "clock": "2026-12-05T19:04:36", "clientInstalled": )")
           + (clientInstalled ? "true" : "false") + R"(,
  "workstation": { "tree": "ACME_TREE", "context": "ACME", "logins": { "ACME_TREE": "admin.ACME" } },
  "trees": [ { "name": "ACME_TREE", "containers": [ { "name": "ACME", "class": "Organization" } ] } ],
  "servers": [ )"
           + servers + " ] }";
}

// Servers with known facts for the printed tables; DOWN cannot be reached.
QByteArray networkJson(bool clientInstalled = true)
{
    return acmeNetwork(R"(
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
    { "name": "DOWN", "tree": "ACME_TREE", "reachable": false })",
                       clientInstalled);
}

// Cells that need care in every format: the delimiter, quotes, a line break,
// a tab, a backslash, non-ASCII letters and one character ANSI cannot hold
// (quotes and the backslash as \u escapes, which keep moc's reading intact).
QByteArray awkwardTextsJson()
{
    return acmeNetwork(R"(
    { "name": "FS1", "tree": "ACME_TREE", "version": "5.70.5", "company": "M\u00fcller, \u0022S\u00f6hne\u0022\r\nZ\u00fcrich",
      "revisionText": "tab\there\u005cback \u0141", "dsVersion": 885, "upSeconds": 90061, "utilization": [12],
      "nlms": [ { "file": "CLIB.NLM", "name": "C Library", "version": "5.90.8", "date": "2008-10-07" } ],
      "setParameters": [ { "name": "Read Ahead Enabled", "category": 2, "type": 1, "value": true } ] },
    { "name": "FS2", "tree": "ACME_TREE", "version": "5.60.0", "company": "Acme;Two", "revisionText": "",
      "dsVersion": 0, "upSeconds": 59, "utilization": [7],
      "nlms": [ { "file": "CLIB.NLM", "name": "C Library", "version": "5.90.9", "date": "2008-10-07" } ],
      "setParameters": [ { "name": "Read Ahead Enabled", "category": 2, "type": 1, "value": false } ] })");
}

using Outcome = testing::ReportOutcome;
using testing::ReportRun;

std::optional<QString> storedTree()
{
    return settings::openDefaultRegistryStore()->queryValue(Hive::CurrentUser, app::kRootKey, QStringLiteral("Tree"));
}

// Rows of a tsv text, its escapes undone.
QList<QStringList> readTsv(const QByteArray& bytes)
{
    QList<QStringList> rows;
    QString text = QString::fromUtf8(bytes);
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    if (text.isEmpty())
        return rows;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        QStringList cells;
        for (const QString& field : line.split(QLatin1Char('\t'))) {
            QString cell;
            for (qsizetype i = 0; i < field.size(); ++i) {
                const bool escaped = field.at(i) == QLatin1Char('\\') && i + 1 < field.size();
                const QChar c = field.at(escaped ? ++i : i);
                cell += !escaped ? c : c == u't' ? u'\t' : c == u'n' ? u'\n' : c == u'r' ? u'\r' : c;
            }
            cells.append(cell);
        }
        rows.append(cells);
    }
    return rows;
}

QString sourceFile(const QString& path)
{
    QFile file(QStringLiteral(VESKARO_SOURCE_DIR "/") + path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

}  // namespace

class TestReport : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void serversLeavesHiddenOnesOut();
    void runsThatStartNothing_data();
    void runsThatStartNothing();
    void usage_data();
    void usage();
    void brokenSettingsAreKeptAsideAndReported();
    void settingsProblemsAreReportedOnce_data();
    void settingsProblemsAreReportedOnce();
    void tables_data();
    void tables();
    void namesValuesAndSettingsReadAsTheyAre();
    void csvIsWhatSaveWrites();
    void formatsCarryTheSameCells_data();
    void formatsCarryTheSameCells();
    void outputGoesToTheFile();
    void tablePerServerNamesItsServer();
    void everyCodePageCharacterReachesEachFormat();
    void plainNumbers_data();
    void plainNumbers();
    void columnKeysAreUnique();
    void manualAndCompletionFollowTheTables();
    void demoOpensWithAHealthyServer();
};

void TestReport::serversLeavesHiddenOnesOut()
{
    ReportRun report(networkJson());
    report.seed(app::kHiddenKey, QStringLiteral("ACME_TREE"), QStringLiteral("FS2, FS9"));
    // A stored size far beyond any screen is cut to the available area, so the
    // picture of the main window, drawn in the same run, can be taken.
    for (const char* name : {"Width", "Height"})
        report.seed(app::kMainWindowKey, QString::fromLatin1(name), QStringLiteral("900000000"));
    const QString png = report.path(QStringLiteral("main.png"));
    const Outcome outcome = report.run({QStringLiteral("--screenshot"), png, QStringLiteral("servers"),
                                        QStringLiteral("--delimiter"), QStringLiteral(";")});
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(outcome.out, QStringLiteral("DOWN\nFS1\n"));
    QCOMPARE(outcome.err, QString());
    const QImage picture(png);
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    QVERIFY2(picture.width() > 300 && picture.width() <= screen.width() + 64
                 && picture.height() <= screen.height() + 64,
             qPrintable(QStringLiteral("%1 x %2").arg(picture.width()).arg(picture.height())));
    // Of the settings only the tree is written.
    const auto store = settings::openDefaultRegistryStore();
    QCOMPARE(storedTree(), std::optional<QString>(QStringLiteral("ACME_TREE")));
    for (const char* name : {"Top", "Left"})
        QCOMPARE(store->queryValue(Hive::CurrentUser, app::kMainWindowKey, QLatin1String(name)), std::nullopt);
    for (const char* name : {"Width", "Height"})
        QCOMPARE(store->queryValue(Hive::CurrentUser, app::kMainWindowKey, QLatin1String(name)),
                 std::optional<QString>(QStringLiteral("900000000")));
    QCOMPARE(store->queryValue(Hive::CurrentUser, app::kHiddenKey, QStringLiteral("ACME_TREE")),
             std::optional<QString>(QStringLiteral("FS2, FS9")));
}

// A start that fails ends with 1; the answers that need no start come even
// without a client. Neither writes a setting.
void TestReport::runsThatStartNothing_data()
{
    QTest::addColumn<QByteArray>("network");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");  // a part of it; empty: nothing

    QString views;
    const report::ReportCommand command;
    for (const report::ReportView& view : command.views())
        views += view.name + QLatin1Char('\n');
    QTest::newRow("client missing")
        << networkJson(false) << QStringList{"servers"} << 1 << ""
        << "Novell Client Error: You must have a Novell Client installed to run Veskaro.  Veskaro will now exit.";
    QTest::newRow("unreadable description")
        << QByteArray("{ \"format\": 1, \"trees\": 7 }") << QStringList{"servers"} << 1 << ""
        << "network.json";
    QTest::newRow("version") << networkJson(false) << QStringList{"--version"} << 0
                             << "veskaro-report " VESKARO_VERSION_TEXT "\n"
                             << "";
    QTest::newRow("views, one a line") << networkJson(false) << QStringList{"--list-views"} << 0 << views << "";
}

void TestReport::runsThatStartNothing()
{
    QFETCH(QByteArray, network);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    ReportRun report(network);
    const Outcome outcome = report.run(arguments);
    QCOMPARE(outcome.exitCode, exitCode);
    QCOMPARE(outcome.out, out);
    if (err.isEmpty())
        QCOMPARE(outcome.err, QString());
    else
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
    QTest::newRow("show on a view without columns") << QStringList{"info", "--show", "date"} << 2 << "takes no --show";
    QTest::newRow("show of something else") << QStringList{"nlms", "--show", "size"} << 2 << "--show takes";
    QTest::newRow("server not in the list") << QStringList{"info", "NOSUCH"} << 2 << "not in the server list";
    QTest::newRow("help") << QStringList{"--help"} << 0 << "";
    QTest::newRow("unknown format") << QStringList{"--format", "xml", "info"} << 2 << "--format takes csv|tsv|json";
    QTest::newRow("delimiter with json") << QStringList{"--format=json", "--delimiter", ";", "info"} << 2
                                         << "--delimiter applies to csv only";
    QTest::newRow("output without a name") << QStringList{"--output", "", "info"} << 2 << "needs a file name";
    QTest::newRow("value on a switch") << QStringList{"--version=2"} << 2 << "Unexpected value after '--version'";
}

void TestReport::usage()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, errContains);

    const Outcome outcome = ReportRun(networkJson()).run(arguments);
    QCOMPARE(outcome.exitCode, exitCode);
    if (exitCode == 0) {
        QVERIFY(outcome.out.startsWith(QLatin1String("Usage: veskaro-report")));
        QVERIFY(outcome.out.contains(QLatin1String("servers")));
    } else {
        QVERIFY2(outcome.err.contains(errContains), qPrintable(outcome.err));
        QCOMPARE(outcome.out, QString());
    }
}

void TestReport::brokenSettingsAreKeptAsideAndReported()
{
    ReportRun report(networkJson());
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

void TestReport::settingsProblemsAreReportedOnce_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("unclosed key") << QByteArray("REGEDIT4\r\n[HKEY_CURRENT_USER\\Software\r\n\"Tree\"=\"open\r\n");
    QTest::newRow("not a header") << QByteArray("[HKEY_CURRENT_USER\\Software]\r\n");
    // Every read and every change of the start meets a folder at the settings path.
    QTest::newRow("a folder") << QByteArray();
}

// However many reads and changes of the start meet the problem, the user is
// told once, as "Settings: ..." on the error stream, and nothing else of it
// reaches the stream.
void TestReport::settingsProblemsAreReportedOnce()
{
    QFETCH(QByteArray, content);
    ReportRun report(networkJson());
    const QString settingsPath = report.path(QStringLiteral("settings.reg"));
    QVERIFY(QFile::remove(settingsPath));
    if (content.isEmpty()) {
        QVERIFY(QDir().mkpath(settingsPath));
    } else {
        QFile broken(settingsPath);
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write(content);
    }

    static QStringList logged;
    logged.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) { logged.append(text); });
    const Outcome outcome = report.run({QStringLiteral("servers")});
    qInstallMessageHandler(previous);

    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(outcome.out, QStringLiteral("DOWN\nFS1\nFS2\n"));
    const QString told = outcome.err + logged.join(QLatin1Char('\n'));
    QCOMPARE(told.count(QLatin1String("The settings file")), 1);
    QVERIFY2(outcome.err.startsWith(QLatin1String("Settings: The settings file")), qPrintable(outcome.err));
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
    QTest::newRow("info of an unreachable server") << QStringList{"info", "DOWN"} << ""
                                                   << "Connect to server: Unable to connect to server DOWN.\n";
    QTest::newRow("utilization after one poll") << QStringList{"--delimiter", ";", "utilization", "FS1", "DOWN"}
                                                << "Server;Util %;High %\r\nFS1;12;12\r\nDOWN;?;0\r\n"
                                                << "";
    QTest::newRow("nlms by date, differences only")
        << QStringList{"nlms", "--show", "date", "--differences-only", "FS1", "FS2"} << "Name,FS1,FS2\r\n,Date,Date\r\n"
        << "";
    QTest::newRow("nlms by version, differences only")
        << QStringList{"nlms", "FS1", "FS2", "--show", "version", "--differences-only"}
        << "Name,FS1,FS2\r\n,Version,Version\r\nDS.NLM,10552.79,10551.00z\r\n"
        << "";
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

void TestReport::namesValuesAndSettingsReadAsTheyAre()
{
    // Names in the ANSI code page, sorted as a person reads them; a hidden
    // list of more than a thousand characters; an up time past 2^31 ticks;
    // a text value ending at its zero byte and a negative time offset; module
    // years in full; a stored delimiter of two characters.
    const QByteArray json = acmeNetwork(R"(
    { "name": "Z\u00dcRICH", "tree": "ACME_TREE" }, { "name": "\u0152RSTED1", "tree": "ACME_TREE" },
    { "name": "HIDDEN1", "tree": "ACME_TREE" }, { "name": "BERN", "tree": "ACME_TREE" },
    { "name": "\u00c5LAND", "tree": "ACME_TREE", "upSeconds": 150000000,
      "nlms": [ { "file": "OLD.NLM", "name": "Old", "version": "1.0.0", "date": "1999-12-31" },
                { "file": "NEW.NLM", "name": "New", "version": "1.0.0", "date": "2099-12-31" } ],
      "setParameters": [ { "name": "Time Zone", "category": 8, "type": 5, "raw": "45 53 54 35 45 44 54 00" },
                         { "name": "Offset", "category": 8, "type": 4, "raw": "F0 F1 FF FF" } ] })");
    const auto runWith = [&json](const QString& delimiter, const QStringList& arguments) {
        ReportRun report(json);
        QStringList hidden;
        for (int i = 0; i < 150; ++i)
            hidden.append(QStringLiteral("RETIRED-%1").arg(i, 3, 10, QLatin1Char('0')));
        hidden.append(QStringLiteral("HIDDEN1"));
        report.seed(app::kRootKey + QStringLiteral("\\Hidden"), QStringLiteral("ACME_TREE"), hidden.join(u','));
        if (!delimiter.isEmpty())
            report.seed(app::kRootKey, QStringLiteral("SaveFileDelimiter"), delimiter);
        return report.runBytes(arguments);
    };

    // The server list is printed as UTF-8; the tables as Save writes them (ANSI).
    const Outcome servers = runWith({}, {QStringLiteral("servers")});
    QCOMPARE(servers.exitCode, 0);
    QCOMPARE(QString::fromUtf8(servers.bytes), QStringLiteral("\u00c5LAND\nBERN\n\u0152RSTED1\nZ\u00dcRICH\n"));

    const Outcome info = runWith(QStringLiteral("||"), {QStringLiteral("info"), QStringLiteral("\u00c5LAND")});
    QCOMPARE(info.exitCode, 0);
    QVERIFY2(info.bytes.contains("||1736D 2H 44M||"), info.bytes.constData());

    const Outcome sets = runWith({}, {QStringLiteral("sets"), QStringLiteral("\u00c5LAND")});
    QVERIFY2(sets.bytes.contains("Time Zone,Time,EST5EDT\r\n"), sets.bytes.constData());
    QVERIFY2(sets.bytes.contains("Offset,Time,-3600\r\n"), sets.bytes.constData());
    QVERIFY(!sets.bytes.contains('\0'));

    const Outcome nlms = runWith(
        {}, {QStringLiteral("nlms"), QStringLiteral("--show"), QStringLiteral("date"), QStringLiteral("\u00c5LAND")});
    QVERIFY2(nlms.bytes.contains("1999") && nlms.bytes.contains("2099"), nlms.bytes.constData());
}

void TestReport::tables()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, table);
    QFETCH(QString, messages);
    const Outcome outcome = ReportRun(networkJson()).run(arguments);
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(outcome.out, table);
    if (!messages.isEmpty())
        QVERIFY2(outcome.err.contains(messages), qPrintable(outcome.err));
}

void TestReport::csvIsWhatSaveWrites()
{
    // ANSI bytes, CR LF, quoted where a cell holds the delimiter, a quote or a
    // line break; what ANSI cannot hold is "?", as in the saved file.
    const Outcome outcome = ReportRun(awkwardTextsJson()).runBytes({QStringLiteral("info"), QStringLiteral("FS1")});
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(outcome.bytes, QByteArray("Server,Up Time,Version,Company,Revision,DS Version\r\n"
                                       "FS1,1D 1H 1M,5.70.5,\"M\xfcller, \"\"S\xf6hne\"\"\r\nZ\xfcrich\","
                                       "tab\there\\back ?,8.85\r\n"));
}

void TestReport::formatsCarryTheSameCells_data()
{
    QTest::addColumn<QByteArray>("network");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("headerRows");

    QTest::newRow("info, awkward texts") << awkwardTextsJson() << QStringList{"info", "FS2", "FS1"} << 1;
    QTest::newRow("nlms, two heading rows") << awkwardTextsJson() << QStringList{"nlms", "FS1", "FS2"} << 2;
    QTest::newRow("nlms by date") << networkJson() << QStringList{"nlms", "--show", "date", "FS1", "FS2"} << 2;
    QTest::newRow("sets") << networkJson() << QStringList{"sets", "FS1", "FS2"} << 1;
    QTest::newRow("utilization") << networkJson() << QStringList{"utilization", "FS1", "DOWN"} << 1;
}

void TestReport::formatsCarryTheSameCells()
{
    QFETCH(QByteArray, network);
    QFETCH(QStringList, arguments);
    QFETCH(int, headerRows);

    ReportRun report(network);
    const Outcome csv = report.runBytes(arguments);
    const Outcome tsv = report.runBytes(QStringList{"--format", "tsv"} + arguments);
    const Outcome json = report.runBytes(QStringList{"--format=json"} + arguments);
    QCOMPARE(csv.exitCode, 0);
    QCOMPARE(tsv.exitCode, 0);
    QCOMPARE(json.exitCode, 0);
    const QList<QStringList> rows = testing::splitDelimitedText(texts::fromWindows1252(csv.bytes), QLatin1Char(','));
    QVERIFY(rows.size() > headerRows);

    // tsv keeps what the code page of csv cannot hold ("?" there).
    QList<QStringList> tsvRows = readTsv(tsv.bytes);
    for (QStringList& row : tsvRows) {
        for (QString& cell : row)
            cell = texts::fromWindows1252(texts::toWindows1252Lossy(cell));
    }
    QCOMPARE(tsvRows, rows);
    QVERIFY(!tsv.bytes.contains('\r'));

    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json.bytes, &error);
    QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
    const QJsonArray objects = document.array();
    QCOMPARE(objects.size(), rows.size() - headerRows);
    const QStringList keys = report::columnKeys(rows, headerRows);
    QCOMPARE(keys.size(), rows.first().size());
    const QStringList jsonLines = QString::fromUtf8(json.bytes).split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < objects.size(); ++i) {
        const QJsonObject object = objects.at(i).toObject();
        const QStringList& row = rows.at(i + headerRows);
        QCOMPARE(object.size(), keys.size());
        qsizetype lastKeyAt = -1;
        for (qsizetype c = 0; c < keys.size(); ++c) {
            const QJsonValue value = object.value(keys.at(c));
            QCOMPARE(value.isDouble() ? row.at(c).toDouble() : 0.0, value.isDouble() ? value.toDouble() : 0.0);
            if (!value.isDouble())
                QCOMPARE(texts::fromWindows1252(texts::toWindows1252Lossy(value.toString())), row.at(c));
            // Keys stay in column order on the object's line.
            const qsizetype keyAt = jsonLines.at(i + 1).indexOf(QLatin1Char('"') + keys.at(c) + QLatin1String("\":"));
            QVERIFY2(keyAt > lastKeyAt, qPrintable(keys.at(c)));
            lastKeyAt = keyAt;
        }
    }
}

void TestReport::outputGoesToTheFile()
{
    ReportRun report(networkJson());
    const QStringList arguments{"--format", "json", "info", "FS1"};
    const QString path = report.path(QStringLiteral("info.json"));
    const Outcome printed = report.runBytes(arguments);
    const Outcome written = report.runBytes(QStringList{"--output", path} + arguments);
    QCOMPARE(written.exitCode, 0);
    QCOMPARE(written.bytes, QByteArray());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), printed.bytes);

    // A file that cannot be written ends the run with 1 and leaves nothing behind.
    const QString unwritable = report.path(QStringLiteral("no-such-folder/info.csv"));
    const Outcome refused =
        report.runBytes({QStringLiteral("--output"), unwritable, QStringLiteral("info"), QStringLiteral("FS1")});
    QCOMPARE(refused.exitCode, 1);
    QCOMPARE(refused.bytes, QByteArray());
    QVERIFY2(refused.err.contains(QLatin1String("cannot write ") + unwritable), qPrintable(refused.err));
    QVERIFY(!QFile::exists(unwritable));
}

void TestReport::tablePerServerNamesItsServer()
{
    // User connections print one table per server: csv keeps Save's tables
    // one after another, while tsv and json make one table whose records
    // name their server, and no heading line passes for a connection.
    ReportRun report(acmeNetwork(R"(
    { "name": "FS1", "tree": "ACME_TREE", "ownConnection": 3,
      "connections": [ { "number": 3, "user": "ADMIN.ACME" }, { "number": 5, "user": "JSMITH.ACME" } ] },
    { "name": "FS2", "tree": "ACME_TREE", "ownConnection": 4, "connections": [ { "number": 4, "user": "ADMIN.ACME" } ] })"));
    const QStringList arguments{"connections", "FS1", "FS2"};
    const Outcome csv = report.runBytes(arguments);
    QCOMPARE(csv.exitCode, 0);
    const QList<QStringList> csvRows = testing::splitDelimitedText(QString::fromLatin1(csv.bytes), QLatin1Char(','));
    QCOMPARE(csvRows.size(), 5);  // two headings, three connections
    QCOMPARE(csvRows.at(3), csvRows.at(0));

    const Outcome tsv = report.runBytes(QStringList{"--format", "tsv"} + arguments);
    const QList<QStringList> tsvRows = readTsv(tsv.bytes);
    QCOMPARE(tsvRows.size(), 4);
    QCOMPARE(tsvRows.at(0), QStringList{"Server"} + csvRows.at(0));
    QCOMPARE(tsvRows.at(1), QStringList{"FS1"} + csvRows.at(1));
    QCOMPARE(tsvRows.at(3), QStringList{"FS2"} + csvRows.at(4));

    const Outcome json = report.runBytes(QStringList{"--format", "json"} + arguments);
    const QJsonArray records = QJsonDocument::fromJson(json.bytes).array();
    QCOMPARE(records.size(), 3);
    QStringList seen;
    for (const QJsonValue& record : records) {
        QVERIFY(record.toObject().value(QStringLiteral("User")).toString() != QLatin1String("User"));
        seen.append(record.toObject().value(QStringLiteral("Server")).toString() + QLatin1Char(' ')
                    + record.toObject().value(QStringLiteral("User")).toString());
    }
    QCOMPARE(seen, (QStringList{"FS1 *ADMIN.ACME", "FS1 JSMITH.ACME", "FS2 *ADMIN.ACME"}));

    // The server list is a line view: a record per server, no heading taken from the first.
    const QJsonArray servers = QJsonDocument::fromJson(report.runBytes({"--format", "json", "servers"}).bytes).array();
    QCOMPARE(servers.size(), 2);
    QCOMPARE(servers.at(0).toObject().value(QStringLiteral("Server")).toString(), QStringLiteral("FS1"));
}

void TestReport::everyCodePageCharacterReachesEachFormat()
{
    // Company names holding every character of Windows-1252 (the five bytes
    // it leaves unassigned included) are the same bytes in csv as in the
    // servers' replies, and the same characters in tsv and json. A company
    // name holds at most 40 characters, so they are spread over servers.
    QByteArray bytes;
    for (int byte = 0x20; byte < 256; ++byte) {
        if (byte != ',' && byte != '"' && byte != '\\' && byte != 0x7F)
            bytes += static_cast<char>(byte);
    }
    QList<QByteArray> pieces;
    QByteArray servers;
    QStringList names;
    for (qsizetype at = 0; at < bytes.size(); at += 30) {
        pieces.append(bytes.mid(at, 30));
        QByteArray escaped;
        for (const QChar ch : texts::fromWindows1252(pieces.constLast()))
            escaped += QStringLiteral("\\u%1").arg(ch.unicode(), 4, 16, QLatin1Char('0')).toLatin1();
        names.append(QStringLiteral("FS%1").arg(pieces.size()));
        servers += (servers.isEmpty() ? "" : ",") + QByteArray(R"({ "name": ")") + names.constLast().toLatin1()
                   + R"(", "tree": "ACME_TREE", "company": "x)" + escaped + R"(x", "upSeconds": 60 })";
    }
    ReportRun report(acmeNetwork(servers));
    const Outcome csv = report.runBytes(QStringList{"info"} + names);
    const Outcome tsv = report.runBytes(QStringList{"--format", "tsv", "info"} + names);
    const Outcome json = report.runBytes(QStringList{"--format", "json", "info"} + names);
    QCOMPARE(csv.exitCode, 0);
    const QList<QStringList> tsvRows = readTsv(tsv.bytes);
    const QJsonArray records = QJsonDocument::fromJson(json.bytes).array();
    QCOMPARE(tsvRows.size(), pieces.size() + 1);
    QCOMPARE(records.size(), pieces.size());
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        QVERIFY2(csv.bytes.contains(",x" + pieces.at(i) + "x,"), csv.bytes.constData());
        const QString text = QLatin1Char('x') + texts::fromWindows1252(pieces.at(i)) + QLatin1Char('x');
        QCOMPARE(tsvRows.at(i + 1).value(3), text);
        QCOMPARE(records.at(i).toObject().value(QStringLiteral("Company")).toString(), text);
    }
}

void TestReport::plainNumbers_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<bool>("number");

    QTest::newRow("whole") << "65536" << true;
    QTest::newRow("zero") << "0" << true;
    QTest::newRow("two decimals") << "8.85" << true;
    QTest::newRow("negative") << "-12.50" << true;
    QTest::newRow("leading zero") << "007" << false;
    QTest::newRow("version") << "5.70.5" << false;
    QTest::newRow("decimal comma") << "12,50" << false;
    QTest::newRow("unit") << "12 MB" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("point only") << "." << false;
}

void TestReport::plainNumbers()
{
    QFETCH(QString, cell);
    QFETCH(bool, number);
    QCOMPARE(report::isPlainNumber(cell), number);
}

void TestReport::columnKeysAreUnique()
{
    const QList<QStringList> rows{{"Name", "FS1", "FS1", "", "Name"}, {"", "Version", "Date", "", ""}};
    QCOMPARE(report::columnKeys(rows, 2), (QStringList{"Name", "FS1 Version", "FS1 Date", "Column 4", "Name (2)"}));
    QCOMPARE(report::jsonText({{"A", "B"}}, 1), QByteArray("[]\n"));
}

void TestReport::manualAndCompletionFollowTheTables()
{
    QString manual = sourceFile(QStringLiteral("docs/man/veskaro-report.1.in"));
    manual.replace(QLatin1String("\\-"), QLatin1String("-"));
    const QString completion = sourceFile(QStringLiteral("packaging/veskaro-report.bash-completion"));
    QVERIFY(!manual.isEmpty());
    QVERIFY(!completion.isEmpty());

    const QRegularExpression optionsLine(QStringLiteral("options=\"([^\"]*)\""));
    const QStringList completedOptions =
        optionsLine.match(completion).captured(1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QStringList options;
    for (const report::ReportOption& option : report::reportOptions()) {
        options.append(QLatin1String(option.name));
        const QRegularExpression entry(QStringLiteral("^\\.B[IR]? ")
                                           + QRegularExpression::escape(QLatin1String(option.name))
                                           + (option.valueName ? QStringLiteral(" \"? ") : QStringLiteral("( |$)")),
                                       QRegularExpression::MultilineOption);
        QVERIFY2(entry.match(manual).hasMatch(), option.name);
    }
    QCOMPARE(completedOptions, options);
    QVERIFY(completion.contains(QLatin1String("compgen -W \"") + report::reportFormatNames().join(QLatin1Char(' '))));

    // The VIEWS section lists exactly the command's views, in its order.
    const qsizetype from = manual.indexOf(QLatin1String(".SH VIEWS"));
    const qsizetype to = manual.indexOf(QLatin1String(".SH"), from + 1);
    const QRegularExpression viewEntry(QStringLiteral("^\\.TP\n\\.B (\\S+)$"), QRegularExpression::MultilineOption);
    QStringList manualViews;
    for (const auto& match : viewEntry.globalMatch(manual.mid(from, to - from)))
        manualViews.append(match.captured(1));
    QStringList views;
    const report::ReportCommand command;
    for (const report::ReportView& view : command.views()) {
        views.append(view.name);
        if (!view.showValues.isEmpty())
            QVERIFY(completion.contains(QLatin1String("compgen -W \"") + view.showValues.join(QLatin1Char(' '))));
    }
    QCOMPARE(manualViews, views);
    // The completion asks the program for its views rather than keeping a copy.
    QVERIFY(completion.contains(QLatin1String("--list-views")));
}

void TestReport::demoOpensWithAHealthyServer()
{
    // A newcomer's first run: the built-in demo and no settings yet. The
    // server selected at start answers, so the first view shows no error.
    ReportRun report(networkJson());
    qunsetenv("VESKARO_NETWORK");
    qputenv("VESKARO_SETTINGS", report.path(QStringLiteral("first-run.reg")).toLocal8Bit());
    const Outcome servers = report.run({QStringLiteral("servers")});
    QCOMPARE(servers.exitCode, 0);
    const QStringList names = servers.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(names.size(), 9);
    QVERIFY(names.contains(QLatin1String("VAULT1")));

    const Outcome info = report.run({QStringLiteral("info"), names.first()});
    QCOMPARE(info.exitCode, 0);
    QCOMPARE(info.err, QString());
    QCOMPARE(info.out.count(QLatin1String("\r\n")), 2);
    QVERIFY(info.out.contains(QLatin1String("\r\n") + names.first() + QLatin1Char(',')));
    // With no server named, the view opens for the start-up selection.
    QCOMPARE(report.run({QStringLiteral("info")}).out, info.out);
}

VESKARO_TEST_MAIN(TestReport)
#include "test_report.moc"

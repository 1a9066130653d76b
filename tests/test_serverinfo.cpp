#include "settings/Registry.h"
#include "text/Twips.h"
#include "support/FakeViewHost.h"
#include "support/MemoryRegistry.h"
#include "support/SimNetwork.h"
#include "support/StubClient.h"
#include "support/TestContext.h"
#include "support/TestMain.h"
#include "views/ServerInformationWindow.h"
#include "widgets/ReportListView.h"

#include <QFile>
#include <QHeaderView>
#include <QMdiArea>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

using views::ServerInformationWindow;

namespace {

const QString kKey = settings::rootKeyPath(QStringLiteral("ServerInfoForm"));

// FS1 and FS2 as the administrator sees them; FS3 up longest; DOWN
// unreachable; CLOSEFAIL keeps its connection open.
QByteArray network(const QByteArray& extraServer = {})
{
    return R"({
  "format": 1,
  "clock": "2026-12-05T19:04:36",
  "trees": [ { "name": "T", "containers": [ { "name": "O", "class": "Organization" } ] } ],
  "servers": [
    { "name": "FS1", "tree": "T", "version": "5.70.5", "company": "  Novell, Inc.  ",
      "revisionText": "Support Pack 5", "dsVersion": 885, "upSeconds": 1050330 },
    { "name": "FS2", "tree": "T", "version": "6.5.0", "company": "Acme Systems",
      "revisionText": "3.5", "dsVersion": 0, "upSeconds": 200000 },
    { "name": "FS3", "tree": "T", "version": "4.11.0", "company": "Acme Systems",
      "revisionText": "B", "dsVersion": 10550, "upSeconds": 777600 },
    { "name": "DOWN", "tree": "T", "reachable": false },
    { "name": "CLOSEFAIL", "tree": "T", "faults": { "NWCCCloseConn": "0x8801" } })"
           + (extraServer.isEmpty() ? QByteArray() : ",\n    " + extraServer) + R"(
  ]
})";
}

struct Fixture {
    explicit Fixture(const QByteArray& json)
        : client(testing::makeNetwork(json))
        , services(client ? *client : fallback, registry)
        , host(services.context)
    {
        settings::resetStartingServerContext(registry);
        host.window()->show();
    }

    ServerInformationWindow* open(const QStringList& servers)
    {
        host.selection = servers;
        views::openServerInformation(host);
        return views::findView<ServerInformationWindow>(host);
    }

    testing::StubClient fallback;
    std::unique_ptr<nw::NetWareClient> client;
    testing::MemoryRegistry registry;
    testing::TestContext services;
    testing::FakeViewHost host;
};

QStringList rowTexts(const ServerInformationWindow* form, int row)
{
    return form->lstvwServerInformation()->model().rowTexts(row);
}

QStringList column(const ServerInformationWindow* form, int col)
{
    QStringList texts;
    for (int row = 0; row < form->lstvwServerInformation()->rowCount(); ++row)
        texts.append(form->lstvwServerInformation()->itemText(row, col));
    return texts;
}

// The part of each trace line after its time stamp.
QStringList traceLines(const QString& dir)
{
    QFile file(dir + QStringLiteral("/Veskaro.dbg"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines;
    const QString label = QLatin1String(views::kServerInfoTraceLabel);
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.isEmpty())
            continue;
        QString text = QString::fromLocal8Bit(line);
        if (!text.endsWith(u'\r'))
            return {QStringLiteral("line without CR LF: ") + text};
        text.chop(1);
        lines.append(text.mid(text.indexOf(label)));
    }
    return lines;
}

void clickHeader(ServerInformationWindow* form, int col)
{
    QHeaderView* header = form->lstvwServerInformation()->treeView()->header();
    const QPoint at(header->sectionViewportPosition(col) + header->sectionSize(col) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

}  // namespace

class TestServerInfo : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void showsOneRowPerServer();
    void addsEachServerOnce();
    void failuresAreReported();
    void failedCallsLeaveCellsEmpty_data();
    void failedCallsLeaveCellsEmpty();
    void trace_data();
    void trace();
    void sortsByClickedColumn();
    void keepsMinimumSizeAndSavesState();
};

void TestServerInfo::showsOneRowPerServer()
{
    Fixture f(network());
    QVERIFY(f.client);
    ServerInformationWindow* form = f.open({QStringLiteral("FS1"), QStringLiteral("FS2"), QStringLiteral("FS3")});
    QVERIFY(form);
    QCOMPARE(form->windowTitle(), QStringLiteral("Server Information"));
    QCOMPARE(form->lstvwServerInformation()->model().headings(),
             QStringList({"Server", "Up Time", "Version", "Company", "Revision", "DS Version"}));
    QCOMPARE(form->lstvwServerInformation()->rowCount(), 3);
    QCOMPARE(rowTexts(form, 0), QStringList({"FS1", "12D 3H 45M", "5.70.5", "Novell, Inc.", "Support Pack 5", "8.85"}));
    QCOMPARE(rowTexts(form, 1), QStringList({"FS2", "2D 7H 33M", "6.5.0", "Acme Systems", "3.5", "0"}));
    QCOMPARE(rowTexts(form, 2).last(), QStringLiteral("105.5"));
    QVERIFY(f.services.messages.shown.isEmpty());
    QCOMPARE(f.host.openings, 0);
    QCOMPARE(f.host.openingsStarted, 1);
    // Becoming the active window enables Save and Copy.
    QVERIFY(f.host.saveEnabled && f.host.copyEnabled);
}

void TestServerInfo::addsEachServerOnce()
{
    Fixture f(network());
    ServerInformationWindow* form = f.open({QStringLiteral("FS1")});
    QCOMPARE(f.open({QStringLiteral("FS1"), QStringLiteral("FS2"), QStringLiteral("FS1")}), form);
    QCOMPARE(f.host.mdiArea()->subWindowList().size(), 1);
    QCOMPARE(column(form, 0), QStringList({"FS1", "FS2"}));

    // The row holds the server's own spelling; a selection entry in other
    // letters is not the same text and reads the server again.
    f.open({QStringLiteral("fs2")});
    QCOMPARE(column(form, 0), QStringList({"FS1", "FS2", "FS2"}));
}

void TestServerInfo::failuresAreReported()
{
    Fixture f(network());
    ServerInformationWindow* form =
        f.open({QStringLiteral("DOWN"), QStringLiteral("FS2"), QStringLiteral("NOSUCH"), QStringLiteral("CLOSEFAIL")});
    // A server whose connection would not close still has its row.
    QCOMPARE(column(form, 0), QStringList({"FS2", "CLOSEFAIL"}));
    QCOMPARE(f.services.messages.titles(), QStringList({"Connect to server", "Connect to server", ""}));
    QCOMPARE(f.services.messages.texts(),
             QStringList({"Unable to connect to server DOWN.", "Unable to connect to server NOSUCH.",
                          "NWCCCloseConn returned 34817"}));
}
void TestServerInfo::failedCallsLeaveCellsEmpty_data()
{
    QTest::addColumn<QByteArray>("fault");
    QTest::addColumn<QStringList>("row");
    QTest::newRow("server information") << QByteArray("NWGetFileServerInformation")
                                        << QStringList({"", "2D 7H 33M", "0.0.0", "Acme", "R1", "1.5"});
    QTest::newRow("up time") << QByteArray("NWGetFileServerInfo")
                             << QStringList({"BAD", "", "5.70.8", "Acme", "R1", "1.5"});
    QTest::newRow("description") << QByteArray("NWGetFileServerDescription")
                                 << QStringList({"BAD", "2D 7H 33M", "5.70.8", "", "", "1.5"});
    QTest::newRow("directory version") << QByteArray("NWDSGetDSVerInfo")
                                       << QStringList({"BAD", "2D 7H 33M", "5.70.8", "Acme", "R1", "0"});
    QTest::newRow("authentication is not asked")
        << QByteArray("NWDSAuthenticate") << QStringList({"BAD", "2D 7H 33M", "5.70.8", "Acme", "R1", "1.5"});
}

void TestServerInfo::failedCallsLeaveCellsEmpty()
{
    QFETCH(QByteArray, fault);
    QFETCH(QStringList, row);
    Fixture f(network(R"({ "name": "BAD", "tree": "T", "company": "Acme", "revisionText": "R1", "dsVersion": 150,
                         "upSeconds": 200000, "faults": { ")"
                      + fault + R"(": "0x8801" } })"));
    QVERIFY(f.client);
    ServerInformationWindow* form = f.open({QStringLiteral("BAD")});
    QCOMPARE(form->lstvwServerInformation()->rowCount(), 1);
    QCOMPARE(rowTexts(form, 0), row);
    QVERIFY(f.services.messages.shown.isEmpty());
}

void TestServerInfo::trace_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("written");
    QTest::newRow("/debug") << QStringList{"/debug"} << true;
    QTest::newRow("/DEBUG x") << QStringList{"/DEBUG", "x"} << false;
    QTest::newRow("no argument") << QStringList{} << false;
}

void TestServerInfo::trace()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, written);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    Fixture f(network());
    f.services.context.arguments = arguments;
    f.services.context.programDir = dir.path();
    f.open({QStringLiteral("FS1"), QStringLiteral("DOWN"), QStringLiteral("CLOSEFAIL")});
    if (!written) {
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("Veskaro.dbg"))));
        return;
    }
    QStringList expected;
    const auto calls = [&expected](const char* server, const char* closeResult) {
        for (const char* call : {"NWCCOpenConnByName", "NWGetFileServerInformation", "NWGetFileServerInfo",
                                 "NWGetFileServerDescription", "NWDSGetDSVerInfo"})
            expected.append(QStringLiteral("%1, %2, Result: 0").arg(QLatin1String(server), QLatin1String(call)));
        expected.append(
            QStringLiteral("%1, NWCCCloseConn, Result: %2").arg(QLatin1String(server), QLatin1String(closeResult)));
    };
    calls("FS1", "0");
    expected.append(QStringLiteral("DOWN, NWCCOpenConnByName, Result: 34817"));
    calls("CLOSEFAIL", "34817");
    for (QString& line : expected)
        line.prepend(QLatin1String(views::kServerInfoTraceLabel) + QStringLiteral(", "));
    QCOMPARE(traceLines(dir.path()), expected);
}

void TestServerInfo::sortsByClickedColumn()
{
    Fixture f(network());
    ServerInformationWindow* form = f.open({QStringLiteral("FS2"), QStringLiteral("FS3"), QStringLiteral("FS1")});
    QCOMPARE(column(form, 0), QStringList({"FS2", "FS3", "FS1"}));

    const struct {
        int col;
        QStringList servers;
    } clicks[] = {
        {0, {"FS1", "FS2", "FS3"}},  // Server, ascending
        {0, {"FS3", "FS2", "FS1"}},  // the same column again: descending
        {5, {"FS2", "FS1", "FS3"}},  // DS Version by value: 0, 8.85, 105.5
    };
    for (const auto& click : clicks) {
        clickHeader(form, click.col);
        QCOMPARE(column(form, 0), click.servers);
    }
    // Rows added later take their sorted place: 105.52 after 105.5.
    f.open({QStringLiteral("CLOSEFAIL")});
    QCOMPARE(column(form, 0), QStringList({"FS2", "FS1", "FS3", "CLOSEFAIL"}));
}

void TestServerInfo::keepsMinimumSizeAndSavesState()
{
    Fixture f(network());
    ServerInformationWindow* form = f.open({QStringLiteral("FS1")});
    QWidget* frame = settings::WindowState::frameOf(form);
    frame->resize(100, 60);
    QCOMPARE(frame->size(),
             QSize(texts::twipsToPixels(6500, frame->logicalDpiX()), texts::twipsToPixels(1600, frame->logicalDpiY())));

    form->lstvwServerInformation()->setColumnWidthTwips(3, 2880);
    QPointer<QWidget> watched(frame);
    frame->close();
    QTRY_VERIFY(!watched);
    // Fitted on the first opening, and stored.
    QVERIFY(settings::readValue(f.registry, kKey, QStringLiteral("ColWidth-DS Version"), 9).has_value());

    // Reopened: the saved widths come back, the rows do not.
    form = f.open({QStringLiteral("FS2")});
    QCOMPARE(form->lstvwServerInformation()->columnWidthTwips(3), 2880);
    QCOMPARE(column(form, 0), QStringList({"FS2"}));
}

VESKARO_TEST_MAIN(TestServerInfo)
#include "test_serverinfo.moc"

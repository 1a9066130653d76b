#include "export/SaveCopy.h"
#include "settings/ColumnScale.h"
#include "settings/Registry.h"
#include "settings/Twips.h"
#include "support/FakeViewHost.h"
#include "support/MemoryRegistry.h"
#include "support/SimNetwork.h"
#include "support/StubClient.h"
#include "support/TestContext.h"
#include "views/ServerInformationForm.h"
#include "widgets/ReportListView.h"

#include <QFile>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

using views::ServerInformationForm;

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
        : client(testing::makeNetwork(json)), services(client ? *client : fallback, registry), host(services.context)
    {
        settings::subResetStartingServerContext(registry);
        host.window()->show();
    }

    ServerInformationForm* open(const QStringList& servers)
    {
        host.selection = servers;
        views::btnServerInfo_Click(host);
        return views::serverInfoWindow(host);
    }

    testing::StubClient fallback;
    std::unique_ptr<nw::NetWareClient> client;
    testing::MemoryRegistry registry;
    testing::TestContext services;
    testing::FakeViewHost host;
};

QStringList rowTexts(const ServerInformationForm* form, int row)
{
    return form->lstvwServerInformation()->model().rowTexts(row);
}

QStringList column(const ServerInformationForm* form, int col)
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
    const QString label = QLatin1String(views::ServerInfoTraceLabel);
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

void clickHeader(ServerInformationForm* form, int col)
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
    void windowShapeAndDefaults();
    void addsEachServerOnce();
    void unreachableServerIsReported();
    void failedCallsLeaveCellsEmpty_data();
    void failedCallsLeaveCellsEmpty();
    void closeFailureIsReported();
    void statusBarShowsProgress();
    void trace_data();
    void trace();
    void sortsByClickedColumn();
    void keepsMinimumSizeAndSavesState();
    void reportTextMatches();
};

void TestServerInfo::showsOneRowPerServer()
{
    Fixture f(network());
    QVERIFY(f.client);
    ServerInformationForm* form = f.open({QStringLiteral("FS1"), QStringLiteral("FS2")});
    QVERIFY(form);
    QCOMPARE(form->lstvwServerInformation()->rowCount(), 2);
    QCOMPARE(rowTexts(form, 0),
             QStringList({"FS1", "12D 3H 45M", "5.70.5", "Novell, Inc.", "Support Pack 5", "8.85"}));
    QCOMPARE(rowTexts(form, 1), QStringList({"FS2", "2D 7H 33M", "6.5.0", "Acme Systems", "3.5", "0"}));
    QVERIFY(f.services.messages.shown.isEmpty());
    QCOMPARE(f.host.openings, 0);
    QCOMPARE(f.host.openingsStarted, 1);
    // Becoming the active window enables Save and Copy.
    QVERIFY(f.host.saveEnabled);
    QVERIFY(f.host.copyEnabled);
}

void TestServerInfo::windowShapeAndDefaults()
{
    Fixture f(network());
    ServerInformationForm* form = f.open({QStringLiteral("FS3")});
    QCOMPARE(form->windowTitle(), QStringLiteral("Server Information"));
    auto* list = form->lstvwServerInformation();
    QCOMPARE(list->model().headings(),
             QStringList({"Server", "Up Time", "Version", "Company", "Revision", "DS Version"}));
    const QList<Qt::Alignment> alignments = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignRight,
                                             Qt::AlignLeft, Qt::AlignRight, Qt::AlignRight};
    for (int col = 0; col < 6; ++col) {
        QCOMPARE(list->columnWidthTwips(col), 1440);
        QCOMPARE(list->model().columnAlignment(col) & Qt::AlignHorizontal_Mask, alignments.at(col));
    }
    QCOMPARE(rowTexts(form, 0).last(), QStringLiteral("105.5"));
    QWidget* frame = settings::WindowState::frameOf(form);
    QCOMPARE(frame->pos(), QPoint(0, 0));
    QCOMPARE(frame->size(), QSize(settings::twipsToPixels(8040, frame->logicalDpiX()),
                                  settings::twipsToPixels(7000, frame->logicalDpiY())));
}

void TestServerInfo::addsEachServerOnce()
{
    Fixture f(network());
    ServerInformationForm* form = f.open({QStringLiteral("FS1")});
    QCOMPARE(f.open({QStringLiteral("FS1"), QStringLiteral("FS2"), QStringLiteral("FS1")}), form);
    QCOMPARE(f.host.mdiArea()->subWindowList().size(), 1);
    QCOMPARE(column(form, 0), QStringList({"FS1", "FS2"}));

    // The row holds the server's own spelling; a selection entry in other
    // letters is not the same text and reads the server again.
    f.open({QStringLiteral("fs2")});
    QCOMPARE(column(form, 0), QStringList({"FS1", "FS2", "FS2"}));
}

void TestServerInfo::unreachableServerIsReported()
{
    Fixture f(network());
    ServerInformationForm* form = f.open({QStringLiteral("DOWN"), QStringLiteral("FS2"), QStringLiteral("NOSUCH")});
    QCOMPARE(column(form, 0), QStringList({"FS2"}));
    QCOMPARE(f.services.messages.titles(), QStringList({"Connect to server", "Connect to server"}));
    QCOMPARE(f.services.messages.texts(),
             QStringList({"Unable to connect to server DOWN.", "Unable to connect to server NOSUCH."}));
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
    QTest::newRow("authentication is not asked") << QByteArray("NWDSAuthenticate")
                                                 << QStringList({"BAD", "2D 7H 33M", "5.70.8", "Acme", "R1", "1.5"});
}

void TestServerInfo::failedCallsLeaveCellsEmpty()
{
    QFETCH(QByteArray, fault);
    QFETCH(QStringList, row);
    Fixture f(network(R"({ "name": "BAD", "tree": "T", "company": "Acme", "revisionText": "R1", "dsVersion": 150,
                         "upSeconds": 200000, "faults": { ")" + fault + R"(": "0x8801" } })"));
    QVERIFY(f.client);
    ServerInformationForm* form = f.open({QStringLiteral("BAD")});
    QCOMPARE(form->lstvwServerInformation()->rowCount(), 1);
    QCOMPARE(rowTexts(form, 0), row);
    QVERIFY(f.services.messages.shown.isEmpty());
}

void TestServerInfo::closeFailureIsReported()
{
    Fixture f(network());
    ServerInformationForm* form = f.open({QStringLiteral("CLOSEFAIL"), QStringLiteral("FS1")});
    QCOMPARE(column(form, 0), QStringList({"CLOSEFAIL", "FS1"}));
    QCOMPARE(f.services.messages.texts(), QStringList({"NWCCCloseConn returned 34817"}));
    QCOMPARE(f.services.messages.titles(), QStringList({""}));
}

void TestServerInfo::statusBarShowsProgress()
{
    Fixture f(network());
    ServerInformationForm* form = f.open({QStringLiteral("FS1")});
    QCOMPARE(form->StatusBar1()->currentMessage(), QString());
    form->subAddServer(QStringLiteral("FS1"));   // already shown: only the progress text
    QCOMPARE(form->StatusBar1()->currentMessage(), QStringLiteral("Gathering information for FS1"));
    QCOMPARE(form->lstvwServerInformation()->rowCount(), 1);
}

void TestServerInfo::trace_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("written");
    QTest::newRow("/debug") << QStringList{"/debug"} << true;
    QTest::newRow("/DEBUG") << QStringList{"/DEBUG"} << true;
    QTest::newRow("/DEBUG x") << QStringList{"/DEBUG", "x"} << false;
    QTest::newRow("no argument") << QStringList{} << false;
    QTest::newRow("/DEBUGX") << QStringList{"/DEBUGX"} << false;
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
    const QString label = QLatin1String(views::ServerInfoTraceLabel);
    QStringList expected;
    for (const char* call : {"NWCCOpenConnByName", "NWGetFileServerInformation", "NWGetFileServerInfo",
                             "NWGetFileServerDescription", "NWDSGetDSVerInfo", "NWCCCloseConn"})
        expected.append(label + QStringLiteral(", FS1, ") + QLatin1String(call) + QStringLiteral(", Result: 0"));
    expected.append(label + QStringLiteral(", DOWN, NWCCOpenConnByName, Result: 34817"));
    for (const char* call : {"NWCCOpenConnByName", "NWGetFileServerInformation", "NWGetFileServerInfo",
                             "NWGetFileServerDescription", "NWDSGetDSVerInfo"})
        expected.append(label + QStringLiteral(", CLOSEFAIL, ") + QLatin1String(call) + QStringLiteral(", Result: 0"));
    expected.append(label + QStringLiteral(", CLOSEFAIL, NWCCCloseConn, Result: 34817"));
    QCOMPARE(traceLines(dir.path()), expected);
}

void TestServerInfo::sortsByClickedColumn()
{
    Fixture f(network());
    ServerInformationForm* form = f.open({QStringLiteral("FS2"), QStringLiteral("FS3"), QStringLiteral("FS1")});
    QCOMPARE(column(form, 0), QStringList({"FS2", "FS3", "FS1"}));

    const struct {
        int col;
        QStringList servers;
    } clicks[] = {
        {0, {"FS1", "FS2", "FS3"}},   // Server, ascending
        {0, {"FS3", "FS2", "FS1"}},   // the same column again: descending
        {1, {"FS1", "FS2", "FS3"}},   // Up Time ascending by text: "12D", "2D", "9D"
        {5, {"FS2", "FS3", "FS1"}},   // DS Version by text: "0", "105.5", "8.85"
        {5, {"FS1", "FS3", "FS2"}},
        {0, {"FS1", "FS2", "FS3"}},   // back to Server: ascending again
    };
    for (const auto& click : clicks) {
        clickHeader(form, click.col);
        QCOMPARE(column(form, 0), click.servers);
    }
    // Rows added later take their sorted place.
    f.open({QStringLiteral("CLOSEFAIL")});
    QCOMPARE(column(form, 0), QStringList({"CLOSEFAIL", "FS1", "FS2", "FS3"}));
}

void TestServerInfo::keepsMinimumSizeAndSavesState()
{
    Fixture f(network());
    ServerInformationForm* form = f.open({QStringLiteral("FS1")});
    QWidget* frame = settings::WindowState::frameOf(form);
    const double dpiX = frame->logicalDpiX();
    const double dpiY = frame->logicalDpiY();
    frame->resize(100, 60);
    QCOMPARE(frame->width(), settings::twipsToPixels(6500, dpiX));
    QCOMPARE(frame->height(), settings::twipsToPixels(1600, dpiY));

    frame->resize(600, 400);
    auto* list = form->lstvwServerInformation();
    QCOMPARE(list->width(), 600 - settings::twipsToPixels(135, dpiX));
    const int allowance = qMax(settings::twipsToPixels(270, dpiY), form->StatusBar1()->height());
    QCOMPARE(list->height(), form->height() - allowance);
    QVERIFY(list->geometry().bottom() < form->StatusBar1()->geometry().top());

    frame->move(settings::twipsToPixels(900, dpiX), settings::twipsToPixels(450, dpiY));
    list->setColumnWidthTwips(3, 2880);
    // A widened column is stored as its width in whole pixels means in twips.
    const double columnDpi = settings::fnColumnDotsPerInch(list);
    const QString widened = settings::twipsToText(
        settings::pixelsToTwips(settings::twipsToPixels(2880, columnDpi), columnDpi));
    QPointer<QWidget> watched(frame);
    frame->close();
    QTRY_VERIFY(!watched);
    const auto value = [&](const char* name) {
        return settings::fnReadValue(f.registry, kKey, QLatin1String(name), 9).value_or(QString());
    };
    QCOMPARE(value("Left"), QStringLiteral("900"));
    QCOMPARE(value("Top"), QStringLiteral("450"));
    QCOMPARE(value("Width"), settings::twipsToText(settings::pixelsToTwips(600, dpiX)));
    QCOMPARE(value("ColWidth-Company"), widened);
    QCOMPARE(value("ColWidth-DS Version"), QStringLiteral("1440"));

    // Reopened: the saved widths come back, the rows do not.
    form = f.open({QStringLiteral("FS2")});
    QCOMPARE(form->lstvwServerInformation()->columnWidthTwips(3), 2880);
    QCOMPARE(column(form, 0), QStringList({"FS2"}));
}

void TestServerInfo::reportTextMatches()
{
    // What veskaro-report prints for "serverinfo FS1 FS2": the text File/Save writes.
    Fixture f(network());
    f.open({QStringLiteral("FS1"), QStringLiteral("FS2")});
    const QByteArray expected = "Server,Up Time,Version,Company,Revision,DS Version\r\n"
                                "FS1,12D 3H 45M,5.70.5,\"Novell, Inc.\",Support Pack 5,8.85\r\n"
                                "FS2,2D 7H 33M,6.5.0,Acme Systems,3.50,0\r\n";
    QCOMPARE(exporting::fcnSavedBytes(views::serverInfoWindow(f.host), QLatin1Char(',')), expected);
}

QTEST_MAIN(TestServerInfo)
#include "test_serverinfo.moc"

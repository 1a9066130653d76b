// The SET parameter comparison window against small simulated networks:
// value texts in the cells, rows shared across servers, the differences
// filter and its box, find, header sorting, removing a server, failures on
// opening, window state and what Save writes.

#include "views/SetCommandsForm.h"

#include "export/WidgetExport.h"
#include "settings/Registry.h"
#include "support/FakeViewHost.h"
#include "support/MemoryRegistry.h"
#include "support/SimNetwork.h"
#include "support/TestContext.h"
#include "widgets/FlexGrid.h"

#include <QAction>
#include <QBuffer>
#include <QCheckBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QtTest>

using views::frmSetCommands;

namespace {

// A tree the workstation is logged in to (ACME_TREE) and one it is not
// (OTHER_TREE); `servers` is the JSON of the server list.
QByteArray network(const QByteArray& servers)
{
    return R"({ "format": 1, "clock": "2026-12-05T19:04:36",
      "workstation": { "tree": "ACME_TREE", "context": "ACME", "logins": { "ACME_TREE": "admin.ACME" } },
      "trees": [ { "name": "ACME_TREE", "containers": [ { "name": "ACME", "class": "Organization" } ] },
                 { "name": "OTHER_TREE", "containers": [ { "name": "O", "class": "Organization" } ] } ],
      "servers": [ )" + servers + "] }";
}

QByteArray server(const QByteArray& name, const QByteArray& parameters, const QByteArray& extra = {})
{
    return R"({ "name": ")" + name + R"(", "tree": "ACME_TREE", )" + extra + R"( "setParameters": [ )" + parameters
        + "] }";
}

// Two servers differing in one value, for the filter, Save and removal.
const QByteArray kPair = server("FS1", R"(
        { "name": "Maximum Packet Receive Buffers", "category": 0, "type": 0, "value": 500 },
        { "name": "Allow Unencrypted Passwords", "category": 9, "type": 1, "value": false },
        { "name": "Directory Cache Allocation Wait Time", "category": 3, "type": 2, "value": 91 })")
    + "," + server("FS2", R"(
        { "name": "Maximum Packet Receive Buffers", "category": 0, "type": 0, "value": 1000 },
        { "name": "ALLOW UNENCRYPTED PASSWORDS", "category": 9, "type": 1, "value": false },
        { "name": "Directory Cache Allocation Wait Time", "category": 3, "type": 2, "value": 91 })");

const QByteArray kThird = server("FS3", R"(
        { "name": "Maximum Packet Receive Buffers", "category": 0, "type": 0, "value": 500 },
        { "name": "Allow Unencrypted Passwords", "category": 9, "type": 1, "value": true })");

struct Fixture {
    explicit Fixture(const QByteArray& json)
        : client(testing::makeNetwork(json)), test(*client, registry), host(test.context)
    {
        host.servers = {"FS1", "FS2", "FS3", "FS9", "DOWN"};
    }
    // The views leave before the stand-in main window does, as they do when
    // the program ends: a window deactivated by the main window's teardown
    // would otherwise call into a half-destroyed host.
    ~Fixture()
    {
        host.window()->hide();
        host.mdiArea()->closeAllSubWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    Fixture(const Fixture&) = delete;
    Fixture& operator=(const Fixture&) = delete;
    frmSetCommands* open(const QStringList& servers)
    {
        host.selection = servers;
        views::btnSetParameters_Click(host);
        return views::findSetCommandsForm(host);
    }
    std::unique_ptr<nw::NetWareClient> client;
    testing::MemoryRegistry registry;
    testing::TestContext test;
    testing::FakeViewHost host;
};

widgets::FlexGrid& grid(frmSetCommands* form)
{
    return *form->grdSetCommands();
}

int rowOf(frmSetCommands* form, const QString& name)
{
    for (int r = 1; r < grid(form).rows(); ++r) {
        if (grid(form).textMatrix(r, 0) == name)
            return r;
    }
    return -1;
}

QStringList headers(frmSetCommands* form)
{
    return grid(form).data().rowTexts(0);
}

QStringList column(frmSetCommands* form, int col)
{
    QStringList texts;
    for (int r = 1; r < grid(form).rows(); ++r)
        texts << grid(form).textMatrix(r, col);
    return texts;
}

QStringList shownNames(frmSetCommands* form)
{
    QStringList names;
    for (int r = 1; r < grid(form).rows(); ++r) {
        if (grid(form).rowHeight(r) > 0)
            names << grid(form).textMatrix(r, 0);
    }
    return names;
}

QByteArray saved(frmSetCommands* form)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const auto tables = exporting::exportableTables(form);
    for (QWidget* table : tables) {
        buffer.seek(0);
        buffer.buffer().clear();
        exporting::writeTable(table, buffer, QLatin1Char(','), QLocale::c());
    }
    return buffer.data();
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

class TestSetCommands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void valueTexts_data();
    void valueTexts();
    void categoryTexts();
    void oneRowPerNameAcrossServers();
    void serverAlreadyShownIsSkipped();
    void differencesFilter_data();
    void differencesFilter();
    void findSelectsFirstShownMatch();
    void headerSortsAscendingThenDescending();
    void addingServersSortsByNameAgain();
    void serverHeaderSelectsColumnAndEnablesRemoval();
    void removingServerColumns();
    void unreachableServerIsSkipped();
    void failedAuthenticationClosesTheView();
    void menuFollowsActivation();
    void windowStateDefaultsAndSaving();
    void saveWritesTheTable_data();
    void saveWritesTheTable();
};

void TestSetCommands::valueTexts_data()
{
    QTest::addColumn<QByteArray>("parameter");
    QTest::addColumn<QString>("text");

    QTest::newRow("number 256") << QByteArray(R"("type": 0, "raw": "00 01 00 00")") << "256";
    // The value is as long as the record says: zeros inside it are digits,
    // not its end.
    QTest::newRow("number 65536") << QByteArray(R"("type": 0, "raw": "00 00 01 00")") << "65536";
    QTest::newRow("number 0") << QByteArray(R"("type": 0, "value": 0)") << "0";
    QTest::newRow("number 0 from bytes") << QByteArray(R"("type": 0, "raw": "00 00 00 00")") << "0";
    QTest::newRow("number, no bytes") << QByteArray(R"("type": 0, "raw": "")") << "0";
    QTest::newRow("number largest") << QByteArray(R"("type": 0, "value": 4294967295)") << "4294967295";
    QTest::newRow("ticks 91") << QByteArray(R"("type": 2, "value": 91)") << "5.0 seconds";
    QTest::newRow("ticks 1093") << QByteArray(R"("type": 2, "value": 1093)") << "1 minutes 0.0 seconds";
    QTest::newRow("ticks 1192") << QByteArray(R"("type": 2, "value": 1192)") << "1 minutes 5.5 seconds";
    QTest::newRow("ticks 0") << QByteArray(R"("type": 2, "value": 0)") << "0.0 seconds";
    QTest::newRow("on") << QByteArray(R"("type": 1, "value": true)") << "On";
    QTest::newRow("off") << QByteArray(R"("type": 1, "value": false)") << "Off";
    QTest::newRow("on/off, other byte") << QByteArray(R"("type": 1, "raw": "02")") << "";
    QTest::newRow("block shift") << QByteArray(R"("type": 3, "value": "6")") << "6";
    QTest::newRow("time offset") << QByteArray(R"("type": 4, "value": 3600)") << "3600";
    QTest::newRow("text") << QByteArray(R"("type": 5, "value": "SYS:ETC\\CONSOLE")") << "SYS:ETC\\CONSOLE";
    QTest::newRow("trigger") << QByteArray(R"("type": 6)") << "";
    QTest::newRow("unknown type, 1") << QByteArray(R"("type": 9, "raw": "01")") << "On";
    QTest::newRow("unknown type, 0") << QByteArray(R"("type": 9, "raw": "00")") << "Off";
    QTest::newRow("unknown type, no bytes") << QByteArray(R"("type": 9, "raw": "")") << "Off";
    QTest::newRow("unknown type, other") << QByteArray(R"("type": 9, "raw": "07")") << "Unknown";
}

void TestSetCommands::valueTexts()
{
    QFETCH(QByteArray, parameter);
    QFETCH(QString, text);
    Fixture f(network(server("FS1", R"({ "name": "Before", "type": 0, "value": 1 },
        { "name": "Parameter", "category": 10, )" + parameter + R"( },
        { "name": "Zeta After", "type": 0, "value": 2 })")));
    QVERIFY(f.client);
    frmSetCommands* form = f.open({"FS1"});
    QVERIFY(form);
    const int row = rowOf(form, QStringLiteral("Parameter"));
    QVERIFY(row > 0);
    QCOMPARE(grid(form).textMatrix(row, 2), text);
    QVERIFY(grid(form).cellAlignment(row, 2) & Qt::AlignRight);
    // The neighbours are read on: a value never runs into the next parameter.
    QCOMPARE(grid(form).textMatrix(rowOf(form, QStringLiteral("Zeta After")), 2), QStringLiteral("2"));
}

void TestSetCommands::categoryTexts()
{
    Fixture f(network(server("FS1", R"(
        { "name": "A", "category": 0, "type": 0 }, { "name": "B", "category": 1, "type": 0 },
        { "name": "C", "category": 7, "type": 0 }, { "name": "D", "category": 12, "type": 0 },
        { "name": "E", "category": 15, "type": 0 }, { "name": "F", "category": 16, "type": 0 },
        { "name": "G", "category": 4294967295, "type": 0 })")));
    QVERIFY(f.client);
    frmSetCommands* form = f.open({"FS1"});
    QCOMPARE(column(form, 1),
             (QStringList{"Comm", "Memory", "Disk", "Dir Svcs", "License Svcs", "N/A", "N/A"}));
}

void TestSetCommands::oneRowPerNameAcrossServers()
{
    Fixture f(network(kPair + "," + kThird));
    QVERIFY(f.client);
    frmSetCommands* form = f.open({"FS1", "FS2", "FS3"});
    QVERIFY(form);
    QCOMPARE(headers(form), (QStringList{"Command", "Category", "FS1 - Value", "FS2 - Value", "FS3 - Value"}));
    QCOMPARE(form->windowTitle(), QStringLiteral("Set Commands"));
    // Sorted by name; the first server's spelling names the row.
    QCOMPARE(column(form, 0), (QStringList{"Allow Unencrypted Passwords", "Directory Cache Allocation Wait Time",
                                           "Maximum Packet Receive Buffers"}));
    QCOMPARE(column(form, 1), (QStringList{"NCP", "Dir Cache", "Comm"}));
    QCOMPARE(column(form, 2), (QStringList{"Off", "5.0 seconds", "500"}));
    QCOMPARE(column(form, 3), (QStringList{"Off", "5.0 seconds", "1000"}));
    QCOMPARE(column(form, 4), (QStringList{"On", "", "500"}));
    QCOMPARE(grid(form).colWidth(2), 1830);
    QCOMPARE(grid(form).colWidth(4), 1830);
}

void TestSetCommands::serverAlreadyShownIsSkipped()
{
    Fixture f(network(kPair));
    QVERIFY(f.client);
    frmSetCommands* form = f.open({"FS1"});
    QCOMPARE(f.open({"FS2", "FS1"}), form);
    QCOMPARE(headers(form), (QStringList{"Command", "Category", "FS1 - Value", "FS2 - Value"}));
    QCOMPARE(grid(form).rows(), 4);
    QCOMPARE(f.host.mdiArea()->subWindowList().size(), 1);
    QCOMPARE(f.host.openings, 0);
    QCOMPARE(f.host.openingsStarted, 2);
}

void TestSetCommands::differencesFilter_data()
{
    QTest::addColumn<QStringList>("servers");
    QTest::addColumn<bool>("boxEnabled");
    QTest::addColumn<QStringList>("shownWhenTicked");

    const QStringList all{"Allow Unencrypted Passwords", "Directory Cache Allocation Wait Time",
                          "Maximum Packet Receive Buffers"};
    QTest::newRow("one server") << QStringList{"FS1"} << false << all;
    QTest::newRow("two servers") << QStringList{"FS1", "FS2"} << true
                                 << QStringList{"Maximum Packet Receive Buffers"};
    QTest::newRow("three servers") << QStringList{"FS1", "FS2", "FS3"} << true << all;
    QTest::newRow("three, first and last agree") << QStringList{"FS1", "FS3", "FS1"} << true
                                                 << QStringList{"Allow Unencrypted Passwords",
                                                                "Directory Cache Allocation Wait Time"};
}

void TestSetCommands::differencesFilter()
{
    QFETCH(QStringList, servers);
    QFETCH(bool, boxEnabled);
    QFETCH(QStringList, shownWhenTicked);
    Fixture f(network(kPair + "," + kThird));
    QVERIFY(f.client);
    frmSetCommands* form = f.open(servers);
    QCheckBox* box = form->chkDifferences();
    QCOMPARE(box->isEnabled(), boxEnabled);
    QVERIFY(!box->isChecked());
    QCOMPARE(shownNames(form).size(), grid(form).rows() - 1);

    views::applySetReportOptions(form->parentWidget(), true);
    QCOMPARE(box->isChecked(), boxEnabled);
    if (boxEnabled)
        QCOMPARE(shownNames(form), shownWhenTicked);
    views::applySetReportOptions(form, false);
    QVERIFY(!box->isChecked());
    QCOMPARE(shownNames(form).size(), grid(form).rows() - 1);
    for (int r = 1; r < grid(form).rows(); ++r)
        QCOMPARE(grid(form).rowHeight(r), grid(form).rowHeight(0));
}

void TestSetCommands::findSelectsFirstShownMatch()
{
    QByteArray many;
    for (int i = 0; i < 60; ++i)
        many += QStringLiteral(R"({ "name": "Parameter %1", "type": 0, "value": %2 },)").arg(i, 2, 10, QLatin1Char('0')).arg(i).toLatin1();
    Fixture f(network(server("FS1", many + R"({ "name": "Zulu Time", "type": 0, "value": 1 })")));
    QVERIFY(f.client);
    frmSetCommands* form = f.open({"FS1"});
    f.host.window()->show();
    QLineEdit* find = form->txtFind();
    widgets::FlexGrid& g = grid(form);

    find->setText(QStringLiteral("zULU"));
    const int zulu = rowOf(form, QStringLiteral("Zulu Time"));
    QCOMPARE(g.row(), zulu);
    QCOMPARE(g.rowSel(), zulu);
    QCOMPARE(g.col(), 0);
    QCOMPARE(g.colSel(), 2);
    QVERIFY(g.isRowVisible(zulu));

    find->setText(QStringLiteral("Parameter 3"));
    QCOMPARE(g.row(), rowOf(form, QStringLiteral("Parameter 30")));
    // No match: the selection stays where it was.
    find->setText(QStringLiteral("Parameter 3x"));
    QCOMPARE(g.row(), rowOf(form, QStringLiteral("Parameter 30")));
    g.setRowHeight(rowOf(form, QStringLiteral("Parameter 10")), 0);
    find->setText(QStringLiteral("parameter 1"));
    QCOMPARE(g.row(), rowOf(form, QStringLiteral("Parameter 11")));
}

void TestSetCommands::headerSortsAscendingThenDescending()
{
    Fixture f(network(kPair));
    QVERIFY(f.client);
    frmSetCommands* form = f.open({"FS1", "FS2"});
    widgets::FlexGrid& g = grid(form);
    QAction* remove = f.host.menuAction(frmSetCommands::RemoveColumnAction);
    remove->setEnabled(true);

    form->grdSetCommands_MouseDown(Qt::LeftButton, 0, 1, {});
    QCOMPARE(column(form, 1), (QStringList{"Comm", "Dir Cache", "NCP"}));
    QCOMPARE(g.row(), 1);
    QCOMPARE(g.colSel(), 3);
    QVERIFY(!remove->isEnabled());
    form->grdSetCommands_MouseDown(Qt::LeftButton, 0, 1, {});
    QCOMPARE(column(form, 1), (QStringList{"NCP", "Dir Cache", "Comm"}));
    // One direction for both columns: the next click, on "Command", ascends.
    form->grdSetCommands_MouseDown(Qt::LeftButton, 0, 0, {});
    QCOMPARE(column(form, 0).first(), QStringLiteral("Allow Unencrypted Passwords"));
    form->grdSetCommands_MouseDown(Qt::LeftButton, 0, 0, {});
    QCOMPARE(column(form, 0).first(), QStringLiteral("Maximum Packet Receive Buffers"));

    // A data row's name selects that row across and sorts nothing.
    form->grdSetCommands_MouseDown(Qt::LeftButton, 2, 0, {});
    QCOMPARE(g.row(), 2);
    QCOMPARE(g.rowSel(), 2);
    QCOMPARE(column(form, 0).first(), QStringLiteral("Maximum Packet Receive Buffers"));
    // The right button on the name columns does nothing.
    form->grdSetCommands_MouseDown(Qt::RightButton, 0, 0, {});
    QCOMPARE(column(form, 0).first(), QStringLiteral("Maximum Packet Receive Buffers"));
    QVERIFY(f.host.popups.isEmpty());
}

void TestSetCommands::addingServersSortsByNameAgain()
{
    Fixture f(network(kPair + "," + kThird));
    QVERIFY(f.client);
    frmSetCommands* form = f.open({"FS1"});
    form->grdSetCommands_MouseDown(Qt::LeftButton, 0, 1, {});
    form->grdSetCommands_MouseDown(Qt::LeftButton, 0, 1, {});
    QCOMPARE(column(form, 1), (QStringList{"NCP", "Dir Cache", "Comm"}));
    // FS2 and FS3 bring no new parameter; the rows still go back to name order.
    f.open({"FS2", "FS3"});
    QCOMPARE(column(form, 0), (QStringList{"Allow Unencrypted Passwords", "Directory Cache Allocation Wait Time",
                                           "Maximum Packet Receive Buffers"}));
    QCOMPARE(column(form, 4), (QStringList{"On", "", "500"}));
}

void TestSetCommands::serverHeaderSelectsColumnAndEnablesRemoval()
{
    Fixture f(network(kPair));
    QVERIFY(f.client);
    frmSetCommands* form = f.open({"FS1"});
    QAction* remove = f.host.menuAction(frmSetCommands::RemoveColumnAction);
    form->grdSetCommands_MouseDown(Qt::LeftButton, 0, 2, {});
    QVERIFY(!remove->isEnabled());
    QCOMPARE(grid(form).col(), 2);

    f.open({"FS2"});
    form->grdSetCommands_MouseDown(Qt::RightButton, 0, 3, {});
    QVERIFY(remove->isEnabled());
    const widgets::CellRange range = grid(form).selectedRange();
    QCOMPARE(range.left, 3);
    QCOMPARE(range.right, 3);
    QCOMPARE(range.top, 1);
    QCOMPARE(range.bottom, grid(form).rows() - 1);
    QCOMPARE(f.host.popups, QStringList{frmSetCommands::MenuName});
}

void TestSetCommands::removingServerColumns()
{
    Fixture f(network(kPair + "," + kThird));
    QVERIFY(f.client);
    frmSetCommands* form = f.open({"FS1", "FS2", "FS3"});
    QAction* remove = f.host.menuAction(frmSetCommands::RemoveColumnAction);
    QCheckBox* box = form->chkDifferences();
    box->click();
    QCOMPARE(shownNames(form).size(), 3);

    form->grdSetCommands_MouseDown(Qt::LeftButton, 0, 3, {});
    views::Menu_Remove_Column_Click(f.host);
    QCOMPARE(headers(form), (QStringList{"Command", "Category", "FS1 - Value", "FS3 - Value"}));
    QVERIFY(remove->isEnabled());
    QVERIFY(box->isEnabled());
    QVERIFY(box->isChecked());
    // FS1 and FS3 differ only in the passwords switch and the wait time FS3 lacks.
    QCOMPARE(shownNames(form), (QStringList{"Allow Unencrypted Passwords", "Directory Cache Allocation Wait Time"}));

    views::Menu_Remove_Column_Click(f.host);
    QCOMPARE(headers(form), (QStringList{"Command", "Category", "FS1 - Value"}));
    QVERIFY(!remove->isEnabled());
    QVERIFY(!box->isEnabled());
    QVERIFY(!box->isChecked());
    QCOMPARE(shownNames(form).size(), 3);

    // The name columns are never removed, whatever the current cell.
    form->grdSetCommands_MouseDown(Qt::LeftButton, 0, 0, {});
    views::Menu_Remove_Column_Click(f.host);
    QCOMPARE(headers(form), (QStringList{"Command", "Category", "FS1 - Value"}));

    // A server added afterwards joins the existing rows again.
    f.open({"FS2"});
    QCOMPARE(grid(form).rows(), 4);
    QVERIFY(box->isEnabled());
}

void TestSetCommands::unreachableServerIsSkipped()
{
    Fixture f(network(kPair + R"(, { "name": "DOWN", "tree": "ACME_TREE", "reachable": false })"));
    QVERIFY(f.client);
    frmSetCommands* form = f.open({"DOWN", "FS1"});
    QVERIFY(form);
    QCOMPARE(f.test.messages.titles(), QStringList{"Connect to server"});
    QCOMPARE(f.test.messages.texts(), QStringList{"Unable to connect to server. Error 34817"});
    QCOMPARE(f.test.messages.shown.first().icon, platform::Icon::Critical);
    QCOMPARE(headers(form), (QStringList{"Command", "Category", "FS1 - Value"}));
    QCOMPARE(f.host.openings, 0);
}

void TestSetCommands::failedAuthenticationClosesTheView()
{
    Fixture f(network(kPair + R"(, { "name": "FS9", "tree": "OTHER_TREE" })"));
    QVERIFY(f.client);
    f.host.window()->show();
    QPointer<frmSetCommands> form = f.open({"FS1"});
    QVERIFY(form);
    QVERIFY(f.host.menuVisible.value(frmSetCommands::MenuName));
    f.host.selection = {"FS9", "FS2"};
    views::btnSetParameters_Click(f.host);
    QCOMPARE(f.test.messages.titles(), QStringList{"Not Authenticated"});
    QCOMPARE(f.test.messages.texts(),
             QStringList{"You are not authenticated to selected tree.  Please authenticate and try again."});
    QCOMPARE(f.host.openings, 0);
    QVERIFY(!f.host.menuVisible.value(frmSetCommands::MenuName));
    flushDeletes();
    QVERIFY(!form);
    QVERIFY(!views::findSetCommandsForm(f.host));
    // The next opening starts afresh.
    frmSetCommands* again = f.open({"FS2"});
    QVERIFY(again);
    QCOMPARE(headers(again), (QStringList{"Command", "Category", "FS2 - Value"}));
}

void TestSetCommands::menuFollowsActivation()
{
    Fixture f(network(kPair));
    QVERIFY(f.client);
    f.host.window()->show();
    frmSetCommands* form = f.open({"FS1"});
    QVERIFY(f.host.menuVisible.value(frmSetCommands::MenuName));
    QVERIFY(f.host.saveEnabled);
    QVERIFY(f.host.copyEnabled);

    auto* other = f.host.mdiArea()->addSubWindow(new QWidget);
    other->show();
    f.host.mdiArea()->setActiveSubWindow(other);
    QVERIFY(!f.host.menuVisible.value(frmSetCommands::MenuName));
    f.host.saveEnabled = false;
    f.host.mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(form->parentWidget()));
    QVERIFY(f.host.menuVisible.value(frmSetCommands::MenuName));
    QVERIFY(f.host.saveEnabled);
    form->parentWidget()->close();
    QVERIFY(!f.host.menuVisible.value(frmSetCommands::MenuName));
}

void TestSetCommands::windowStateDefaultsAndSaving()
{
    Fixture f(network(kPair));
    QVERIFY(f.client);
    const QString key = settings::rootKeyPath(QStringLiteral("SetCommandsForm"));
    f.registry.createKey(settings::Hive::CurrentUser, settings::kRootKey);
    frmSetCommands* form = f.open({"FS1"});
    QCOMPARE(grid(form).colWidth(0), 2880);
    QCOMPARE(grid(form).colWidth(1), 1200);
    grid(form).setColWidth(0, 3000);
    form->parentWidget()->close();
    flushDeletes();
    QCOMPARE(settings::fnGetSetting(f.registry, key, QStringLiteral("ColWidth0")), QStringLiteral("3000"));
    QCOMPARE(settings::fnGetSetting(f.registry, key, QStringLiteral("ColWidth1")), QStringLiteral("1200"));
    QVERIFY(f.registry.queryValue(settings::Hive::CurrentUser, key, QStringLiteral("Width")).has_value());

    // Stored widths come back; a width missing from the key keeps the designed one.
    f.registry.deleteValue(settings::Hive::CurrentUser, key, QStringLiteral("ColWidth1"));
    form = f.open({"FS1"});
    QCOMPARE(grid(form).colWidth(0), 3000);
    QCOMPARE(grid(form).colWidth(1), 1200);
    form->parentWidget()->close();
    flushDeletes();

    // Hand-edited nonsense neither hides a column nor stops the window.
    settings::subSaveSetting(f.registry, key, QStringLiteral("ColWidth0"), QStringLiteral("wide"));
    form = f.open({"FS1"});
    QVERIFY(grid(form).colWidth(0) > 0);
}

void TestSetCommands::saveWritesTheTable_data()
{
    QTest::addColumn<bool>("differencesOnly");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("all rows") << false
                              << QByteArray("Command,Category,FS1 - Value,FS2 - Value\r\n"
                                            "Allow Unencrypted Passwords,NCP,Off,Off\r\n"
                                            "Directory Cache Allocation Wait Time,Dir Cache,5.0 seconds,5.0 seconds\r\n"
                                            "Maximum Packet Receive Buffers,Comm,500,1000\r\n");
    QTest::newRow("differences only") << true
                                      << QByteArray("Command,Category,FS1 - Value,FS2 - Value\r\n"
                                                    "Maximum Packet Receive Buffers,Comm,500,1000\r\n");
}

void TestSetCommands::saveWritesTheTable()
{
    QFETCH(bool, differencesOnly);
    QFETCH(QByteArray, expected);
    Fixture f(network(kPair));
    QVERIFY(f.client);
    frmSetCommands* form = f.open({"FS1", "FS2"});
    views::applySetReportOptions(form->parentWidget(), differencesOnly);
    QCOMPARE(saved(form), expected);
}

QTEST_MAIN(TestSetCommands)
#include "test_setcommands.moc"

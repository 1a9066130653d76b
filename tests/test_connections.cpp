// The connections of a server: formats of the cells, the column chooser at
// the opening, filters, refresh, the own connection, find, the actions on
// chosen connections, and veskaro-report's table of the view.

#include "connections/ConnectionActions.h"
#include "connections/ConnectionFormats.h"
#include "connections/ConnectionRows.h"
#include "connections/ConnectionTypeDialog.h"
#include "connections/UserConnectionsWindow.h"
#include "netware/ServerReads.h"
#include "netware/sim/SimClient.h"
#include "settings/ColumnScale.h"
#include "settings/Registry.h"
#include "text/Twips.h"
#include "support/FakeViewHost.h"
#include "support/MemoryRegistry.h"
#include "support/ReportRun.h"
#include "support/SimNetwork.h"
#include "support/StubClient.h"
#include "support/TestContext.h"
#include "support/TestMain.h"
#include "widgets/FlexGrid.h"
#include "widgets/RefreshFrame.h"
#include "widgets/ReportListView.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QApplication>
#include <QContextMenuEvent>
#include <QSignalSpy>
#include <QTreeView>
#include <QStatusBar>
#include <QMenu>
#include <QTest>
#include <QTimer>

using connections::UserConnectionsWindow;
using platform::Answer;

namespace {

const QString kKey = connections::userConnectionsKeyPath();

// FS1: own connection 3, a Mac station (7), one that takes no messages (9),
// a Normal one (12). FS2: own connection 4; it also has a number 3. BIG has
// connections in three blocks. CLEARFAIL refuses to clear, SENDFAIL to send.
// FULL has no user licence left.
const QByteArray kNetwork = R"({
  "format": 1,
  "clock": "2026-12-05T19:04:36",
  "workstation": { "tree": "T", "context": "O", "logins": { "T": "admin.O" } },
  "trees": [ { "name": "T", "containers": [ { "name": "O", "class": "Organization" } ] } ],
  "servers": [
    { "name": "FS1", "tree": "T", "ownConnection": 3, "connections": [
        { "number": 3, "user": "ADMIN.O", "loginMinutesAgo": 61 },
        { "number": 5, "user": "JSMITH.O", "type": "IPX", "bytesRead": 1048576, "loginMinutesAgo": 1500 },
        { "number": 7, "user": "MAC1.O", "type": "AFP", "status": "0x0010" },
        { "number": 9, "user": "NOMSG.O", "messageResult": 3 },
        { "number": 12, "user": "ada.O", "status": "0x0001" } ] },
    { "name": "FS2", "tree": "T", "ownConnection": 4, "connections": [
        { "number": 3, "user": "OTHER.O" }, { "number": 4, "user": "ADMIN.O" } ] },
    { "name": "BIG", "tree": "T", "ownConnection": 100, "maxConnections": 10000, "connections": [
        { "number": 100, "user": "ADMIN.O" }, { "number": 5000, "user": "B.O" }, { "number": 9000, "user": "C.O" } ] },
    { "name": "CLEARFAIL", "tree": "T", "ownConnection": 1, "faults": { "NWClearConnectionNumber": "0x8801" },
      "connections": [ { "number": 1, "user": "ADMIN.O" }, { "number": 2, "user": "X.O" } ] },
    { "name": "SENDFAIL", "tree": "T", "ownConnection": 1, "faults": { "NWSendBroadcastMessage": "0x8801" },
      "connections": [ { "number": 1, "user": "ADMIN.O" }, { "number": 2, "user": "X.O" } ] },
    { "name": "NOAUTH", "tree": "T", "faults": { "NWDSAuthenticate": "0x89FF" } },
    { "name": "DOWN", "tree": "T", "reachable": false },
    { "name": "FULL", "tree": "T", "ownConnection": 2, "licences": 0, "connections": [
        { "number": 1, "user": "A.O" }, { "number": 2, "user": "ADMIN.O" } ] },
    { "name": "SLOW", "tree": "T", "ownConnection": 1, "latencyMs": 4, "connections": [
        { "number": 1 }, { "number": 2 }, { "number": 3 }, { "number": 9 }, { "number": 17 }, { "number": 25 },
        { "number": 33 }, { "number": 41 }, { "number": 49 }, { "number": 57 } ] }
  ]
})";

struct Fixture {
    explicit Fixture(const QByteArray& network = kNetwork)
        : client(testing::makeNetwork(network))
        , services(*client, registry)
        , host(services.context)
    {
        settings::resetStartingServerContext(registry);
        host.window()->show();
    }
    ~Fixture() { connections::setChooserPresenter({}); }

    // Settings as after a chooser that is no longer shown at the opening.
    void store(const QString& name, const QString& value)
    {
        settings::createUserConnectionsKey(registry);
        registry.setValue(settings::Hive::CurrentUser, kKey, name, value);
    }
    void skipChooser() { store(QStringLiteral("ShowAtStartup"), QStringLiteral("False")); }
    std::optional<QString> stored(const char* name) const
    {
        return registry.queryValue(settings::Hive::CurrentUser, kKey, QLatin1String(name));
    }

    UserConnectionsWindow* open(const QStringList& servers)
    {
        host.selection = servers;
        connections::openUserConnections(host);
        return servers.isEmpty() ? nullptr : connections::findUserConnections(host, servers.last());
    }

    std::unique_ptr<nw::NetWareClient> client;
    testing::MemoryRegistry registry;
    testing::TestContext services;
    testing::FakeViewHost host;
};

// Two servers of 90 connections each (some with open files), answering
// after `latencyMs`: enough connections for a pass to read them over
// several connections of its own.
QByteArray manyConnections(int latencyMs)
{
    return QStringLiteral(R"({
  "format": 1, "clock": "2026-12-05T19:04:36", "latencyMs": %1,
  "workstation": { "tree": "T", "context": "O", "logins": { "T": "admin.O" } },
  "trees": [ { "name": "T", "containers": [ { "name": "O", "class": "Organization" } ] } ],
  "generate": [ { "prefix": "MANY", "count": 2, "tree": "T", "context": "O", "connections": 90,
                  "openFilesPerConnection": 1, "seed": 7 } ]
})")
        .arg(latencyMs)
        .toUtf8();
}

nw::sim::SimClient& simOf(const std::unique_ptr<nw::NetWareClient>& client)
{
    return dynamic_cast<nw::sim::SimClient&>(*client);
}

// Every row of every connections window, window by window in creation order.
QList<QStringList> allRows(views::ViewHost& host)
{
    QList<QStringList> rows;
    for (QMdiSubWindow* frame : host.mdiArea()->subWindowList(QMdiArea::CreationOrder)) {
        const auto* form = qobject_cast<UserConnectionsWindow*>(frame->widget());
        if (!form)
            continue;
        rows.append({form->windowTitle()});
        for (int row = 0; row < form->lstvwUsers()->rowCount(); ++row)
            rows.append(form->lstvwUsers()->model().rowTexts(row));
    }
    return rows;
}

QStringList column(const UserConnectionsWindow* form, int col)
{
    QStringList texts;
    for (int row = 0; row < form->lstvwUsers()->rowCount(); ++row)
        texts.append(form->lstvwUsers()->itemText(row, col).trimmed());
    return texts;
}

void selectNumbers(UserConnectionsWindow* form, const QStringList& numbers)
{
    widgets::ReportListView* list = form->lstvwUsers();
    for (int row = 0; row < list->rowCount(); ++row)
        list->setRowSelected(row, numbers.contains(list->itemText(row, 1).trimmed()));
}

}  // namespace

class TestConnections : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cellTexts_data();
    void cellTexts();
    void columnChoice_data();
    void columnChoice();
    void bitListOrder();
    void rowIndexFollowsTheList();
    void chooserAtTheFirstOpening();
    void chooserFromTheMenuTellsWhenSettingsApply();
    void storedColumnsInTheirFixedOrder();
    void filtersAndRefresh();
    void eachWindowMarksItsOwnConnection();
    void openingFailures();
    void listingTakesNoLicence();
    void findAsYouType();
    void sortingByColumnClicks();
    void keyboardOpensTheConnectionsMenu();
    void refreshTogglesControls();
    void passesLetEventsRun();
    void clearing();
    void sendingMessages();
    void report_data();
    void report();
    void passReadsTheClockOnce();
    void sameRowsWhateverTheLinkAndParallelism();
    void stopAndCloseWhileThePassReads();
    void timerTicksDoNotPileUp();
};

void TestConnections::cellTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QDateTime now(QDate(2026, 12, 5), QTime(19, 4, 36), Qt::UTC);
    QTest::newRow("61 minutes") << connections::connectionTimeText(now.addSecs(-61 * 60), now) << "00D 01H 01M";
    QTest::newRow("1500 minutes") << connections::connectionTimeText(now.addSecs(-1500 * 60), now) << "01D 01H 00M";
    // Both ends are cut to the minute: 19:03:59 to 19:04:36 is one minute.
    QTest::newRow("whole minutes") << connections::connectionTimeText(now.addSecs(-37), now) << "00D 00H 01M";
    QTest::newRow("login after the clock") << connections::connectionTimeText(now.addSecs(600), now) << "00D 00H 00M";
    QTest::newRow("read 00 00 10 00 00 00")
        << connections::kilobytesText(connections::counterValue({0x00, 0x00, 0x10, 0x00, 0x00, 0x00}), english)
        << "          1,024";
    QTest::newRow("kilobytes round") << connections::kilobytesText(1536, english) << "              2";
    QTest::newRow("requests grouped") << connections::requestsText(4000000000U, english) << "  4,000,000,000";
    QTest::newRow("open files") << connections::openFilesText(12) << "        12";
    QTest::newRow("conn # padded") << connections::connectionNumberText(5) << "         5";
    QTest::newRow("longer than the pad") << connections::padLeft(QStringLiteral("12345678901"), 10) << "12345678901";
    QTest::newRow("Mac Station") << connections::connectionStatusName(0x0010) << "Mac Station";
    QTest::newRow("0x0401") << connections::connectionStatusName(0x0401) << "Normal";
    QTest::newRow("combined bits") << connections::connectionStatusName(0x0011) << "Unknown";
    QTest::newRow("type 9") << connections::connectionTypeName(9) << "WINSOCK";
    QTest::newRow("type 12") << connections::connectionTypeName(12) << "";
    QTest::newRow("result 3") << connections::sendResultText(3) << "Not Accepting Messages";
    QTest::newRow("result 5") << connections::sendResultText(5) << "Unable to send message";
}

void TestConnections::cellTexts()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(text, expected);
}

void TestConnections::columnChoice_data()
{
    QTest::addColumn<std::optional<QString>>("stored");
    QTest::addColumn<QString>("headings");
    QTest::addColumn<QString>("setting");
    QTest::newRow("missing") << std::optional<QString>()
                             << "User|Conn #|Type|Conn Time|Read (KB)|Written (KB)|Requests|Open Files|Status"
                             << "Type,Conn Time,Read (KB),Written (KB),Requests,Open Files,Status";
    QTest::newRow("status first") << std::optional<QString>(QStringLiteral("Status,Type")) << "User|Conn #|Type|Status"
                                  << "Type,Status";
    QTest::newRow("empty") << std::optional<QString>(QString()) << "User|Conn #"
                           << "";
    QTest::newRow("unknown and wrong case ignored")
        << std::optional<QString>(QStringLiteral("status,Open Files,Foo,Open Files")) << "User|Conn #|Open Files"
        << "Open Files";
    const QString every = QStringLiteral("Type,Conn Time,Read (KB),Written (KB),Requests,Open Files,Status");
    QTest::newRow("every column stored") << std::optional<QString>(
        every) << "User|Conn #|Type|Conn Time|Read (KB)|Written (KB)|Requests|Open Files|Status"
                                         << every;
}

void TestConnections::columnChoice()
{
    QFETCH(std::optional<QString>, stored);
    QFETCH(QString, headings);
    QFETCH(QString, setting);
    const connections::ColumnChoice choice = connections::ColumnChoice::fromSetting(stored);
    QCOMPARE(choice.headings().join(u'|'), headings);
    QCOMPARE(choice.settingText(), setting);
}

void TestConnections::bitListOrder()
{
    std::array<quint8, 512> bits{};
    bits[0] = 0x81;    // 8 before 1
    bits[2] = 0x04;    // 19
    bits[511] = 0x80;  // the block's last number
    QCOMPARE(connections::activeConnectionNumbers(1, bits), (std::vector<quint16>{8, 1, 19, 4096}));
    QCOMPARE(connections::activeConnectionNumbers(4097, bits), (std::vector<quint16>{4104, 4097, 4115, 8192}));
    // Numbers beyond 16 bits signed are not listed.
    QCOMPARE(connections::activeConnectionNumbers(28673, bits), (std::vector<quint16>{28680, 28673, 28691}));
}

void TestConnections::rowIndexFollowsTheList()
{
    models::ReportListModel model;
    model.addColumn(QStringLiteral("User"), Qt::AlignLeft, 1440);
    model.addColumn(QStringLiteral("Conn #"), Qt::AlignRight, 1440);
    connections::ConnectionRows rows(model, 1);
    const auto scan = [&](quint16 number) { return model.findRow(1, connections::connectionNumberText(number)); };
    const auto agrees = [&] {
        for (quint16 number = 1; number <= 40; ++number) {
            if (rows.rowOf(number) != scan(number))
                return false;
        }
        return true;
    };
    for (quint16 number : {7, 3, 30, 12, 5, 21})
        rows.put(number, {QStringLiteral("U%1").arg(40 - number), connections::connectionNumberText(number)});
    QVERIFY(agrees());
    model.sortByColumn(0, Qt::AscendingOrder);
    QVERIFY(agrees());
    // Updating a row keeps it in place.
    QCOMPARE(rows.put(12, {QStringLiteral("new"), connections::connectionNumberText(12)}), scan(12));
    QCOMPARE(model.itemText(scan(12), 0), QStringLiteral("new"));
    model.removeRows({0, 2});
    QVERIFY(agrees());
    std::vector<bool> met(0x10000, false);
    met[3] = met[21] = true;
    rows.removeUnmet(met);
    QVERIFY(agrees());
    QCOMPARE(model.rowCount(), 2);
    model.clearRows();
    QVERIFY(agrees());
}

void TestConnections::chooserAtTheFirstOpening()
{
    Fixture f;
    int shown = 0;
    connections::setChooserPresenter([&](connections::ConnectionTypeDialog& chooser) {
        ++shown;
        QVERIFY(f.services.context.values.filterAtStartup);
        // No settings yet: everything listed, every column, the box ticked.
        QCOMPARE(chooser.cmbConnType()->currentText(), QStringLiteral("All"));
        QCOMPARE(chooser.cmbStatus()->currentText(), QStringLiteral("All"));
        QCOMPARE(chooser.lstAvailableColumns()->selectedItems().size(), 7);
        QVERIFY(chooser.chkShowAtStartup()->isChecked());
        chooser.btnDeselectAll()->click();
        chooser.lstAvailableColumns()->item(6)->setSelected(true);  // Status
        chooser.cmbStatus()->setCurrentText(QStringLiteral("Authenticated"));
        chooser.chkShowAtStartup()->setChecked(false);
        chooser.btnSaveSettings()->click();
    });
    UserConnectionsWindow* form = f.open({QStringLiteral("FS1")});
    QCOMPARE(shown, 1);
    QVERIFY(!f.services.context.values.filterAtStartup);
    QVERIFY(f.services.messages.shown.isEmpty());  // no closing message during an opening
    QVERIFY(form);
    QCOMPARE(form->lstvwUsers()->model().headings(), QStringList({"User", "Conn #", "Status"}));
    // The saved filter applies to this opening already.
    QCOMPARE(column(form, 1), QStringList({"3", "5", "9"}));
    QCOMPARE(form->cmbStatus()->currentText(), QStringLiteral("Authenticated"));
    QCOMPARE(f.stored("SelectedColumns"), std::optional<QString>(QStringLiteral("Status")));

    // Saved with the box cleared: the next opening goes straight to the view.
    f.open({QStringLiteral("FS2")});
    QCOMPARE(shown, 1);

    // Cancelled, the view still opens with the stored settings.
    f.store(QStringLiteral("ShowAtStartup"), QStringLiteral("True"));
    connections::setChooserPresenter([&](connections::ConnectionTypeDialog& chooser) {
        ++shown;
        chooser.btnCancel()->click();
    });
    UserConnectionsWindow* big = f.open({QStringLiteral("BIG")});
    QCOMPARE(shown, 2);
    QVERIFY(big);
    QCOMPARE(big->lstvwUsers()->model().headings(), QStringList({"User", "Conn #", "Status"}));

    // "false" in lower case is not "True": no chooser at the opening.
    f.store(QStringLiteral("ShowAtStartup"), QStringLiteral("false"));
    QVERIFY(f.open({QStringLiteral("CLEARFAIL")}));
    QCOMPARE(shown, 2);
}

void TestConnections::chooserFromTheMenuTellsWhenSettingsApply()
{
    Fixture f;
    f.store(QStringLiteral("ShowAtStartup"), QStringLiteral("false"));
    f.store(QStringLiteral("SelectedColumns"), QStringLiteral("Type,Bogus"));
    bool ticked = false;
    int selected = -1;
    connections::setChooserPresenter([&](connections::ConnectionTypeDialog& chooser) {
        ticked = chooser.chkShowAtStartup()->isChecked();
        selected = static_cast<int>(chooser.lstAvailableColumns()->selectedItems().size());
        chooser.btnDeselectAll()->click();
        chooser.btnSaveSettings()->click();
    });
    connections::chooseColumns(f.host);
    QVERIFY(ticked);  // only exactly "False" clears the box
    QCOMPARE(selected, 1);
    QCOMPARE(f.services.messages.texts(),
             QStringList({"Settings will take effect the next time the User Connection window is loaded"}));
    QCOMPARE(f.services.messages.titles(), QStringList({"Save Settings"}));
    QCOMPARE(f.stored("SelectedColumns"), std::optional<QString>(QString()));
    QCOMPARE(f.stored("ShowAtStartup"), std::optional<QString>(QStringLiteral("True")));
}

void TestConnections::storedColumnsInTheirFixedOrder()
{
    Fixture f;
    f.skipChooser();
    f.store(QStringLiteral("SelectedColumns"), QStringLiteral("Status,Type"));
    UserConnectionsWindow* form = f.open({QStringLiteral("FS1")});
    QVERIFY(form);
    QCOMPARE(form->lstvwUsers()->model().headings(), QStringList({"User", "Conn #", "Type", "Status"}));
    QCOMPARE(form->lstvwUsers()->model().rowTexts(1), QStringList({"JSMITH.O", "         5", "IPX", "Authenticated"}));
    QCOMPARE(form->statusBar()->currentMessage(), QStringLiteral("Total connections: 5"));
}

void TestConnections::filtersAndRefresh()
{
    Fixture f;
    f.skipChooser();
    f.store(QStringLiteral("ConnStatus"), QStringLiteral("Mac Station"));
    UserConnectionsWindow* form = f.open({QStringLiteral("FS1")});
    QCOMPARE(column(form, 1), QStringList({"7"}));

    // A row whose status no longer passes the filter goes at the next refresh.
    form->cmbStatus()->setCurrentText(QStringLiteral("Normal"));
    QVERIFY(form->refreshUsers());
    QCOMPARE(column(form, 1), QStringList({"12"}));

    form->cmbStatus()->setCurrentText(QStringLiteral("All"));
    form->cmbConnType()->setCurrentText(QStringLiteral("IP"));
    form->listConnections();
    QCOMPARE(column(form, 1), QStringList({"3", "9", "12"}));  // the padded texts sort as numbers
    QCOMPARE(column(form, 0), QStringList({"*ADMIN.O", "NOMSG.O", "ada.O"}));
    QCOMPARE(f.stored("ConnType"), std::optional<QString>(QStringLiteral("IP")));
    QCOMPARE(form->statusBar()->currentMessage(), QStringLiteral("Total connections: 3"));
    QVERIFY(form->btnListConnections()->isEnabled());

    // A connection that went away loses its row; a single row stays one row.
    form->cmbConnType()->setCurrentText(QStringLiteral("AFP"));
    form->refreshUsers();
    QCOMPARE(column(form, 1), QStringList({"7"}));
    form->refreshUsers();
    QCOMPARE(column(form, 1), QStringList({"7"}));

    // A hand-edited filter that names no entry lists everything.
    f.store(QStringLiteral("ConnType"), QStringLiteral("ipx"));
    f.store(QStringLiteral("ConnStatus"), QStringLiteral("All"));
    UserConnectionsWindow* fs2 = f.open({QStringLiteral("FS2")});
    QCOMPARE(fs2->cmbConnType()->currentText(), QStringLiteral("All"));
    QCOMPARE(fs2->lstvwUsers()->rowCount(), 2);

    // Connections beyond the first block of 4096 are listed and refreshed too.
    UserConnectionsWindow* big = f.open({QStringLiteral("BIG")});
    QCOMPARE(column(big, 1), QStringList({"100", "5000", "9000"}));
    QVERIFY(big->refreshUsers());
    QCOMPARE(column(big, 1), QStringList({"100", "5000", "9000"}));
}

void TestConnections::eachWindowMarksItsOwnConnection()
{
    Fixture f;
    f.skipChooser();
    f.open({QStringLiteral("FS1"), QStringLiteral("FS2")});
    UserConnectionsWindow* fs1 = connections::findUserConnections(f.host, QStringLiteral("FS1"));
    UserConnectionsWindow* fs2 = connections::findUserConnections(f.host, QStringLiteral("FS2"));
    QVERIFY(fs1 && fs2 && fs1 != fs2);
    for (int pass = 0; pass < 2; ++pass) {
        QCOMPARE(fs1->lstvwUsers()->findRowStartingWith(0, QStringLiteral("*")),
                 fs1->lstvwUsers()->findRow(1, connections::connectionNumberText(3)));
        fs2->lstvwUsers()->sortByColumn(1, Qt::AscendingOrder);
        QCOMPARE(column(fs2, 0), QStringList({"OTHER.O", "*ADMIN.O"}));
        fs1->refreshUsers();
        fs2->refreshUsers();
    }
    // Opening again brings the open window to the front and opens nothing.
    const qsizetype windows = f.host.mdiArea()->subWindowList().size();
    f.open({QStringLiteral("BIG"), QStringLiteral("FS1")});
    QCOMPARE(f.host.mdiArea()->subWindowList().size(), windows);
    QCOMPARE(f.host.mdiArea()->activeSubWindow()->widget(), fs1);
}

void TestConnections::openingFailures()
{
    Fixture f;
    f.skipChooser();
    f.open({QStringLiteral("DOWN"), QStringLiteral("NOAUTH")});
    QVERIFY(f.host.mdiArea()->subWindowList().isEmpty());
    QCOMPARE(f.services.messages.texts(),
             QStringList({"You are not authenticated to the selected tree.  Please authenticate and try again."}));
    QCOMPARE(f.services.messages.titles(), QStringList({"Not Authenticated"}));
    QCOMPARE(f.host.openings, 0);
}

// The opening and every refresh open the server by a name of any format and
// public, so a server whose user licences are all taken is still listed.
void TestConnections::listingTakesNoLicence()
{
    Fixture f;
    f.skipChooser();
    auto* sim = dynamic_cast<nw::sim::SimClient*>(f.client.get());
    QVERIFY(sim);
    UserConnectionsWindow* form = f.open({QStringLiteral("FULL")});
    QVERIFY(form);
    QCOMPARE(column(form, 0), QStringList({"A.O", "*ADMIN.O"}));
    QVERIFY(form->refreshUsers());
    QCOMPARE(column(form, 1), QStringList({"1", "2"}));
    QCOMPARE(form->statusBar()->currentMessage(), QStringLiteral("Total connections: 2"));

    const auto& opens = sim->connectionOpens();
    QCOMPARE(opens.size(), size_t(2));
    for (const auto& open : opens) {
        QCOMPARE(open.name, QStringLiteral("FULL"));
        QCOMPARE(open.nameFormat, nw::NWCC_NAME_FORMAT_WILD);
        QCOMPARE(open.openState, nw::NWCC_OPEN_PUBLIC);
        QCOMPARE(open.transport, nw::NW_TRAN_TYPE_WILD);
        QCOMPARE(open.result, nw::status::Success);
    }
    QCOMPARE(sim->openConnectionCount(), 0);
    QVERIFY(f.services.messages.texts().isEmpty());
}

void TestConnections::findAsYouType()
{
    Fixture f;
    f.skipChooser();
    UserConnectionsWindow* form = f.open({QStringLiteral("FS1")});
    widgets::ReportListView* list = form->lstvwUsers();
    const auto selectedUsers = [&] {
        QStringList users;
        for (int row : list->selectedRows())
            users.append(list->itemText(row, 0));
        return users;
    };
    form->txtFindUser()->setText(QStringLiteral("ad"));
    QCOMPARE(selectedUsers(), QStringList({"ada.O"}));  // not "*ADMIN.O"
    QVERIFY(!list->multiSelect());
    form->txtFindUser()->setText(QStringLiteral("*"));
    QCOMPARE(selectedUsers(), QStringList({"*ADMIN.O"}));
    form->txtFindUser()->setText(QStringLiteral("zz"));  // no match changes nothing
    QCOMPARE(selectedUsers(), QStringList({"*ADMIN.O"}));
    form->txtFindUser()->setText(QString());
    QCOMPARE(list->selectedRows(), QList<int>({0}));
}

void TestConnections::sortingByColumnClicks()
{
    Fixture f;
    f.skipChooser();
    UserConnectionsWindow* form = f.open({QStringLiteral("FS1")});
    QCOMPARE(column(form, 1), QStringList({"3", "5", "7", "9", "12"}));
    form->sortByClickedColumn(1);  // not the column clicked last: ascending
    QCOMPARE(column(form, 1), QStringList({"3", "5", "7", "9", "12"}));
    form->sortByClickedColumn(1);  // again: descending
    QCOMPARE(column(form, 1), QStringList({"12", "9", "7", "5", "3"}));
    // The refresh keeps the order and finds every row again.
    form->refreshUsers();
    QCOMPARE(column(form, 1), QStringList({"12", "9", "7", "5", "3"}));
    form->sortByClickedColumn(0);
    QCOMPARE(column(form, 0), QStringList({"*ADMIN.O", "ada.O", "JSMITH.O", "MAC1.O", "NOMSG.O"}));
}

void TestConnections::keyboardOpensTheConnectionsMenu()
{
    Fixture f;
    f.skipChooser();
    UserConnectionsWindow* form = f.open({QStringLiteral("FS1")});
    form->lstvwUsers()->setSelectedRow(1);
    QTreeView* view = form->lstvwUsers()->treeView();
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(), QPoint());
    QApplication::sendEvent(view, &menuKey);
    QCOMPARE(f.host.popups, QStringList{"PopMenu_UserPopMenu"});
    QTest::keyClick(view, Qt::Key_F10, Qt::ShiftModifier);
    QCOMPARE(f.host.popups.size(), 2);
    // Shown beside the current row.
    const int current = form->lstvwUsers()->currentRow();
    QCOMPARE(current, 1);
    QCOMPARE(view->viewport()->mapFromGlobal(form->lstvwUsers()->menuPosition()),
             view->visualRect(view->model()->index(current, 0)).center());
}

void TestConnections::refreshTogglesControls()
{
    Fixture f;
    f.skipChooser();
    f.store(QStringLiteral("Refresh Interval"), QStringLiteral("5"));
    UserConnectionsWindow* form = f.open({QStringLiteral("FS1")});
    QAction* clear = f.host.clearConnectionAction();
    QCOMPARE(form->txtInterval()->text(), QStringLiteral("5"));
    QVERIFY(f.host.userConnectionsMenu()->menuAction()->isVisible());
    QVERIFY(clear->isEnabled());

    form->toggleRefresh();
    QCOMPARE(form->btnRefresh()->text(), QStringLiteral("&Stop"));
    // The first pass is read on a reading thread; the timer is armed at its end.
    QTRY_VERIFY(!form->isListing());
    QVERIFY(form->timerRefreshUsers()->isActive());
    QCOMPARE(form->timerRefreshUsers()->interval(), 5000);
    for (QWidget* control : {static_cast<QWidget*>(form->txtInterval()), static_cast<QWidget*>(form->txtFindUser()),
                             static_cast<QWidget*>(form->cmbConnType()), static_cast<QWidget*>(form->cmbStatus()),
                             static_cast<QWidget*>(form->btnListConnections())})
        QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));
    QVERIFY(!clear->isEnabled());
    QVERIFY(!f.host.saveEnabled);
    // Activating the window again while it refreshes enables nothing that would start a pass.
    form->setActiveControls();
    QVERIFY(!form->btnListConnections()->isEnabled());
    QVERIFY(!clear->isEnabled());
    // A refresh whose filter leaves no row can still be stopped.
    form->cmbStatus()->setCurrentText(QStringLiteral("Being Aborted"));
    form->refreshTick();
    QTRY_VERIFY(!form->isListing());
    QCOMPARE(form->lstvwUsers()->rowCount(), 0);
    form->setActiveControls();
    QVERIFY(form->btnRefresh()->isEnabled());

    form->toggleRefresh();
    QCOMPARE(form->btnRefresh()->text(), QStringLiteral("Begin &Refresh"));
    QVERIFY(!form->timerRefreshUsers()->isActive());
    QVERIFY(form->btnListConnections()->isEnabled() && form->txtFindUser()->isEnabled());
    QVERIFY(clear->isEnabled());
    QVERIFY(f.host.saveEnabled);

    // Closing writes the interval and the column widths.
    form->txtInterval()->setText(QStringLiteral("7"));
    form->closeView();
    QCOMPARE(f.stored("Refresh Interval"), std::optional<QString>(QStringLiteral("7")));
    QVERIFY(f.stored("ColWidth-Conn #"));
    QVERIFY(!f.host.userConnectionsMenu()->menuAction()->isVisible());
}

void TestConnections::passesLetEventsRun()
{
    Fixture f;
    f.skipChooser();
    QPointer<UserConnectionsWindow> form = f.open({QStringLiteral("SLOW")});
    QCOMPARE(form->lstvwUsers()->rowCount(), 10);

    // A second pass asked for while one runs is refused; the first ends whole.
    int refused = 0;
    QTimer::singleShot(20, form, [&] { refused += form->refreshUsers() ? 0 : 1; });
    QVERIFY(form->refreshUsers());
    QCOMPARE(refused, 1);
    QCOMPARE(form->lstvwUsers()->rowCount(), 10);
    QVERIFY(!form->isListing());

    // The timer's passes: one at the start, then one a tick.
    QSignalSpy passes(form.data(), &UserConnectionsWindow::passFinished);
    form->txtInterval()->setText(QStringLiteral("1"));
    form->toggleRefresh();
    QVERIFY(form->isListing());
    QTRY_COMPARE(passes.size(), 1);
    QVERIFY(passes.wait(3000));
    QVERIFY(form->timerRefreshUsers()->isActive());
    form->toggleRefresh();

    // Closing the window in the middle of a pass ends the pass.
    QTimer::singleShot(20, form, [&] { form->closeView(); });
    QVERIFY(!form->refreshUsers());
    QTRY_VERIFY(!form);
}

void TestConnections::clearing()
{
    Fixture f;
    f.skipChooser();
    UserConnectionsWindow* form = f.open({QStringLiteral("FS1")});
    const QStringList all = {"3", "5", "7", "9", "12"};
    const QString ownMessage = QStringLiteral(
        "Connection 3 is your connection.  You cannot clear your own connection, it will not be included.");

    // Only the own connection: its message, nothing else.
    selectNumbers(form, {"3"});
    QCOMPARE(connections::clearChosenConnections(f.services.context, *form->lstvwUsers(), *form), 0);
    QCOMPARE(f.services.messages.texts(), QStringList({ownMessage}));

    // 5, 7 and the own 3, answered No: asked about 5, 7, nothing changes.
    f.services.messages.clear();
    selectNumbers(form, {"3", "5", "7"});
    f.services.messages.queueAnswer(Answer::Ok);
    f.services.messages.queueAnswer(Answer::No);
    connections::clearConnectionsOfActiveView(f.host);
    // Each connection asked about is named by its number with its user beside it.
    const QStringList users = column(form, 0);
    QVERIFY(!users.at(1).trimmed().isEmpty() && !users.at(2).trimmed().isEmpty());
    QCOMPARE(f.services.messages.texts(),
             QStringList({ownMessage, "Are you sure you want to clear the following connections?\n5  "
                                          + users.at(1).trimmed() + "\n7  " + users.at(2).trimmed()}));
    const platform::Message question = f.services.messages.shown.at(1);
    QCOMPARE(question.title, QStringLiteral("Clear User Connections"));
    QCOMPARE(question.defaultAnswer, Answer::No);
    QCOMPARE(question.buttons, platform::Buttons::YesNo);
    QCOMPARE(column(form, 1), all);

    // Yes: the rows go and the count follows; the server no longer has them.
    f.services.messages.queueAnswer(Answer::Ok);
    f.services.messages.queueAnswer(Answer::Yes);
    connections::clearConnectionsOfActiveView(f.host);
    QCOMPARE(column(form, 1), QStringList({"3", "9", "12"}));
    QCOMPARE(form->statusBar()->currentMessage(), QStringLiteral("Total connections: 3"));
    form->refreshUsers();
    QCOMPARE(column(form, 1), QStringList({"3", "9", "12"}));

    // A server that refuses: the row stays and the refusal is told.
    UserConnectionsWindow* refusing = f.open({QStringLiteral("CLEARFAIL")});
    f.services.messages.clear();
    selectNumbers(refusing, {"2"});
    f.services.messages.queueAnswer(Answer::Yes);
    QCOMPARE(connections::clearChosenConnections(f.services.context, *refusing->lstvwUsers(), *refusing), 0);
    QCOMPARE(column(refusing, 1), QStringList({"1", "2"}));
    QCOMPARE(f.services.messages.texts().last(), QStringLiteral("The following connections could not be cleared:\n2"));
}

void TestConnections::sendingMessages()
{
    Fixture f;
    f.skipChooser();
    UserConnectionsWindow* form = f.open({QStringLiteral("FS1")});
    selectNumbers(form, {"5"});
    connections::SendMessageWindow* send = connections::sendMessageToChosen(f.host);
    QVERIFY(send);
    selectNumbers(form, {"3", "9"});
    QCOMPARE(connections::sendMessageToChosen(f.host), send);  // one window gathers both choices
    widgets::FlexGrid* grid = send->grdConnectionsList();
    QCOMPARE(grid->model().rows(), 4);
    QCOMPARE(grid->model().textMatrix(0, 2), QStringLiteral("Status"));
    QCOMPARE(grid->model().textMatrix(2, 0), QStringLiteral("*ADMIN.O"));
    QCOMPARE(grid->model().textMatrix(3, 1), connections::connectionNumberText(9));
    QCOMPARE(send->server(), QStringLiteral("FS1"));
    // Every user name is read whole, and the window opens over the program's window.
    const double dpi = settings::columnDotsPerInch(grid);
    for (int row = 1; row < grid->model().rows(); ++row)
        QVERIFY(QFontMetrics(grid->font()).horizontalAdvance(grid->model().textMatrix(row, 0))
                < texts::twipsToPixels(grid->model().colWidth(0), dpi));
    QCOMPARE(send->parentWidget(), f.host.mdiArea()->window());

    QVERIFY(!send->btnSend()->isEnabled());
    send->txtMessage()->setText(QStringLiteral("x"));
    QVERIFY(send->btnSend()->isEnabled());
    send->btnSend()->click();
    QCOMPARE(grid->model().textMatrix(1, 2), QStringLiteral("Sent"));
    QCOMPARE(grid->model().textMatrix(3, 2), QStringLiteral("Not Accepting Messages"));
    QCOMPARE(send->btnCancel()->text(), QStringLiteral("&Close"));
    send->close();

    // A refused broadcast shows that it was not sent.
    UserConnectionsWindow* refusing = f.open({QStringLiteral("SENDFAIL")});
    selectNumbers(refusing, {"2"});
    send = connections::sendMessageToChosen(f.host);
    QCOMPARE(send->grdConnectionsList()->model().rows(), 2);  // a new window after the close
    send->txtMessage()->setText(QStringLiteral("x"));
    send->send();
    QCOMPARE(send->grdConnectionsList()->model().textMatrix(1, 2), QStringLiteral("Unable to send message"));
}

// ---- veskaro-report -----------------------------------------------------------------

void TestConnections::report_data()
{
    QTest::addColumn<QStringList>("settings");  // name=value pairs
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");

    const QString allColumns =
        QStringLiteral("User,Conn #,Type,Conn Time,Read (KB),Written (KB),Requests,Open Files,Status\r\n");
    QTest::newRow("defaults") << QStringList() << QStringList{"connections", "FS1"} << 0
                              << allColumns
                                     + "*ADMIN.O,3,IP,00D 01H 01M,0,0,0,0,Authenticated\r\n"
                                       "JSMITH.O,5,IPX,01D 01H 00M,1024,0,0,0,Authenticated\r\n"
                                       "MAC1.O,7,AFP,00D 01H 00M,0,0,0,0,Mac Station\r\n"
                                       "NOMSG.O,9,IP,00D 01H 00M,0,0,0,0,Authenticated\r\n"
                                       "ada.O,12,IP,00D 01H 00M,0,0,0,0,Normal\r\n"
                              << "";
    QTest::newRow("stored choice, status given")
        << QStringList{"SelectedColumns=Status,Type", "ConnType=IP", "ShowAtStartup=True"}
        << QStringList{"connections", "--status", "Normal", "FS1"} << 0
        << "User,Conn #,Type,Status\r\nada.O,12,IP,Normal\r\n"
        << "";
    QTest::newRow("type given over the stored one")
        << QStringList{"SelectedColumns=", "ConnType=IP"} << QStringList{"connections", "--type", "All", "BIG"} << 0
        << "User,Conn #\r\n*ADMIN.O,100\r\nB.O,5000\r\nC.O,9000\r\n"
        << "";
    QTest::newRow("unreachable") << QStringList() << QStringList{"connections", "DOWN"} << 0 << ""
                                 << "";
    QTest::newRow("not authenticated") << QStringList() << QStringList{"connections", "NOAUTH"} << 0 << ""
                                       << "Not Authenticated: You are not authenticated to the selected tree.  "
                                          "Please authenticate and try again.\n";
    QTest::newRow("unknown status") << QStringList() << QStringList{"connections", "--status", "normal", "FS1"} << 2
                                    << ""
                                    << "--status takes All|Authenticated|";
    QTest::newRow("filters on another view") << QStringList() << QStringList{"info", "--type", "IP", "FS1"} << 2 << ""
                                             << "the info view takes no --type";
}

void TestConnections::report()
{
    QFETCH(QStringList, settings);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);

    testing::ReportRun run(kNetwork, QStringLiteral("T"));
    for (const QString& pair : settings)
        run.seed(kKey, pair.section(u'=', 0, 0), pair.section(u'=', 1));
    const testing::ReportOutcome outcome = run.run(arguments);
    QCOMPARE(outcome.exitCode, exitCode);
    QCOMPARE(outcome.out, out);
    if (err.isEmpty())
        QVERIFY2(!outcome.err.contains(u':'), qPrintable(outcome.err));
    else
        QVERIFY2(outcome.err.contains(err), qPrintable(outcome.err));
    // The report changes no setting of the view.
    QCOMPARE(settings::openDefaultRegistryStore()->keyExists(settings::Hive::CurrentUser, kKey), !settings.isEmpty());
}

VESKARO_TEST_MAIN(TestConnections)
void TestConnections::passReadsTheClockOnce()
{
    // The server's clock is read once a pass, however many connections it
    // lists, and not at all when the connection time is not shown.
    Fixture f(manyConnections(0));
    f.skipChooser();
    nw::sim::SimClient& sim = simOf(f.client);
    const QString clock = QStringLiteral("NWGetFileServerDateAndTime");
    UserConnectionsWindow* form = f.open({QStringLiteral("MANY001")});
    QVERIFY(form);
    // The 90 connections and the program's own.
    QCOMPARE(form->lstvwUsers()->rowCount(), 91);
    QCOMPARE(sim.serverCallCount(clock), 1);
    QVERIFY(form->refreshUsers());
    QCOMPARE(sim.serverCallCount(clock), 2);
    // Every connection's facts were still asked for, once a pass.
    QCOMPARE(sim.serverCallCount(QStringLiteral("NWGetServerConnInfo")), 2 * 91);
    form->closeView();

    f.store(QStringLiteral("SelectedColumns"), QStringLiteral("Type,Status"));
    UserConnectionsWindow* narrow = f.open({QStringLiteral("MANY002")});
    QVERIFY(narrow);
    QVERIFY(narrow->refreshUsers());
    QCOMPARE(sim.serverCallCount(clock), 2);
}

void TestConnections::sameRowsWhateverTheLinkAndParallelism()
{
    // The same windows with the same rows in the same order, read one server
    // at a time or side by side, over a fast link or a slow one, and again
    // after a refresh.
    const auto rowsOf = [](int latencyMs, int parallel) {
        Fixture f(manyConnections(latencyMs));
        f.skipChooser();
        f.services.context.values.parallelServers = parallel;
        f.open({QStringLiteral("MANY002"), QStringLiteral("MANY001")});
        QList<QStringList> rows = allRows(f.host);
        if (UserConnectionsWindow* form = connections::findUserConnections(f.host, QStringLiteral("MANY001"))) {
            form->refreshUsers();
            rows += allRows(f.host);
        }
        nw::waitForServerReads();
        rows.append({QString::number(simOf(f.client).openConnectionCount())});
        return rows;
    };
    const QList<QStringList> fast = rowsOf(0, 1);
    // Two windows of a title and 91 rows, after the opening and after the refresh.
    QCOMPARE(fast.size(), 2 * 2 * (1 + 91) + 1);
    QCOMPARE(fast.last(), QStringList{QStringLiteral("0")});
    QCOMPARE(rowsOf(0, 32), fast);
    QCOMPARE(rowsOf(2, 1), fast);
    QCOMPARE(rowsOf(2, 32), fast);
}

void TestConnections::stopAndCloseWhileThePassReads()
{
    // Stop while the pass's connections are still reading: the pass ends at
    // once and changes no row; closing the window in the middle of a pass
    // leaves nothing behind. Either way every connection is closed.
    Fixture f(manyConnections(3));
    f.skipChooser();
    nw::sim::SimClient& sim = simOf(f.client);
    QPointer<UserConnectionsWindow> form = f.open({QStringLiteral("MANY001")});
    QVERIFY(form);
    const QList<QStringList> before = allRows(f.host);

    QSignalSpy passes(form.data(), &UserConnectionsWindow::passFinished);
    QVERIFY(form->startRefresh());
    // Until the pass is past its listing and reads the connections' facts.
    QTRY_VERIFY(sim.serverCallCount(QStringLiteral("NWGetServerConnInfo")) > 90 + 4);
    form->stopPass();
    QTRY_COMPARE(passes.size(), 1);
    QVERIFY(!form->isListing());
    QCOMPARE(allRows(f.host), before);
    nw::waitForServerReads();
    QCOMPARE(sim.openConnectionCount(), 0);

    const int asked = sim.serverCallCount(QStringLiteral("NWGetServerConnInfo"));
    QVERIFY(form->startRefresh());
    QTRY_VERIFY(sim.serverCallCount(QStringLiteral("NWGetServerConnInfo")) > asked + 4);
    form->closeView();
    QTRY_VERIFY(!form);
    nw::waitForServerReads();
    QCOMPARE(sim.openConnectionCount(), 0);
    // The pass ended early: not every connection was asked for.
    QVERIFY(sim.serverCallCount(QStringLiteral("NWGetServerConnInfo")) < asked + 90);
}

void TestConnections::timerTicksDoNotPileUp()
{
    // Ticks and "&Begin Refresh" arriving while a pass reads start nothing;
    // the timer is armed again only when the pass has ended.
    Fixture f(manyConnections(2));
    f.skipChooser();
    nw::sim::SimClient& sim = simOf(f.client);
    const QString clock = QStringLiteral("NWGetFileServerDateAndTime");
    UserConnectionsWindow* form = f.open({QStringLiteral("MANY001")});
    QVERIFY(form);
    QCOMPARE(sim.serverCallCount(clock), 1);
    form->txtInterval()->setText(QStringLiteral("1"));
    QSignalSpy passes(form, &UserConnectionsWindow::passFinished);
    form->toggleRefresh();
    QVERIFY(form->isListing());
    QVERIFY(!form->timerRefreshUsers()->isActive());
    for (int i = 0; i < 5; ++i) {
        form->refreshTick();
        form->fraRefresh()->runPass();
        QVERIFY(!form->refreshUsers());
    }
    QTRY_COMPARE(passes.size(), 1);
    QCOMPARE(sim.serverCallCount(clock), 2);
    QVERIFY(form->timerRefreshUsers()->isActive());
    form->toggleRefresh();
    nw::waitForServerReads();
    QCOMPARE(sim.openConnectionCount(), 0);
}

#include "test_connections.moc"

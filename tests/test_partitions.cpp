#include "directory/Partitions.h"
#include "directory/PartitionsWindow.h"
#include "export/WidgetExport.h"
#include "netware/sim/SimClient.h"
#include "settings/Registry.h"
#include "support/EndlessServer.h"
#include "support/FakeViewHost.h"
#include "support/MemoryRegistry.h"
#include "support/SimNetwork.h"
#include "support/StubClient.h"
#include "support/TestContext.h"
#include "support/TestMain.h"
#include "widgets/FlexGrid.h"
#include "widgets/RefreshFrame.h"

#include <QAction>
#include <QBuffer>
#include <QHeaderView>
#include <QHelpEvent>
#include <QMdiArea>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QToolTip>

using directory::PartitionsWindow;
using directory::ReplicaReading;
using directory::ReplicaView;

namespace {

// [Root] on FS1 (master) and FS2; SALES.ACME on FS2 and FS3 only; FS3 lies in
// another state and is slow to purge; DOWN cannot be reached.
const QByteArray kNetwork = R"({
  "format": 1,
  "clock": "2026-12-05T19:04:36",
  "trees": [ { "name": "ACME_TREE",
               "containers": [ { "name": "ACME", "class": "Organization",
                                 "children": [ { "name": "SALES" } ] } ],
               "partitions": [
                 { "name": "[Root]", "replicas": [ { "server": "FS1", "type": 0 }, { "server": "FS2", "type": 1 } ] },
                 { "name": "SALES.ACME", "replicas": [
                     { "server": "FS2", "type": 2, "state": 48 },
                     { "server": "FS3", "type": 3, "state": 9,
                       "modified": "2026-12-05T19:00:00", "purged": "2026-12-05T18:58:20" } ] } ] } ],
  "servers": [
    { "name": "FS1", "tree": "ACME_TREE", "context": "ACME" },
    { "name": "FS2", "tree": "ACME_TREE", "context": "ACME" },
    { "name": "FS3", "tree": "ACME_TREE", "context": "SALES.ACME", "clockOffsetSeconds": -3600 },
    { "name": "DOWN", "tree": "ACME_TREE", "context": "ACME", "reachable": false }
  ]
})";

struct Fixture {
    explicit Fixture(const QByteArray& network = kNetwork)
        : client(testing::makeNetwork(network))
        , services(client ? *client : fallback, registry)
        , host(services.context)
    {
        settings::resetStartingServerContext(registry);
        services.context.values.treeName = QStringLiteral("ACME_TREE");
        host.window()->show();
    }
    PartitionsWindow* open(const QStringList& servers)
    {
        host.selection = servers;
        directory::openPartitions(host);
        return directory::partitionsWindow(host);
    }
    QAction* removeItem() { return host.removePartitionColumnAction(); }

    testing::StubClient fallback;
    std::unique_ptr<nw::NetWareClient> client;
    testing::MemoryRegistry registry;
    testing::TestContext services;
    testing::FakeViewHost host;
};

// The grid as "cell|cell|..." rows.
QStringList table(const PartitionsWindow* form)
{
    QStringList rows;
    const widgets::FlexGrid* grid = form->grdPartitions();
    for (int row = 0; row < grid->model().rows(); ++row) {
        QStringList cells;
        for (int col = 0; col < grid->model().cols(); ++col)
            cells.append(grid->model().textMatrix(row, col));
        rows.append(cells.join(QLatin1Char('|')));
    }
    return rows;
}

}  // namespace

class TestPartitions : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void texts_data();
    void texts();
    void serverClock();
    void timeViews();
    void fillsOneColumnPerServer();
    void unreachableFirstStillShowsNotAvailable();
    void eachViewOpensWithItsFlags();
    void reAddingRefreshesItsColumn();
    void viewsSwitchAndDropEmptyRows_data();
    void viewsSwitchAndDropEmptyRows();
    void removingColumns();
    void replicaTipsOverCells();
    void sortsByMeaning_data();
    void sortsByMeaning();
    void columnsFitUntilWidthsAreStored();
    void endlessReplicaListingsAreCutOff();
    void everyPassClosesQuietly_data();
    void everyPassClosesQuietly();
};

void TestPartitions::endlessReplicaListingsAreCutOff()
{
    // A listing that never ends and replies that count more partitions than
    // they hold: one partition a reply, up to the most replies taken.
    testing::EndlessServer server;
    for (const ReplicaView view : {ReplicaView::Type, ReplicaView::State, ReplicaView::SyncTime}) {
        server.replies = 0;
        int cells = 0;
        const ReplicaReading read = directory::readServerReplicas(server, QStringLiteral("T"), QStringLiteral("FS1"),
                                                                  view, [&](const QString& partition, const QString&) {
                                                                      QCOMPARE(partition, QStringLiteral("O"));
                                                                      ++cells;
                                                                  });
        QCOMPARE(read, ReplicaReading::Read);
        QCOMPARE(server.replies, nw::kMaxListingReplies);
        QCOMPARE(cells, nw::kMaxListingReplies);
    }
}

void TestPartitions::everyPassClosesQuietly_data()
{
    QTest::addColumn<QByteArray>("treeFaults");
    QTest::addColumn<QByteArray>("serverFaults");
    QTest::addColumn<int>("view");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("closed");  // the server took the connection back
    const QStringList listed{"|FS1", " [Root]|M"};
    const QStringList empty{"|FS1"};
    QTest::newRow("authentication refused") << QByteArray() << QByteArray(R"({ "NWDSAuthenticate": "0xFFFFFD9E" })")
                                            << int(ReplicaView::Type) << listed << true;
    QTest::newRow("listing refused") << QByteArray(R"({ "NWDSListPartitions": "0xFFFFFDA7" })") << QByteArray()
                                     << int(ReplicaView::Type) << empty << true;
    QTest::newRow("extended listing refused") << QByteArray(R"({ "NWDSListPartitionsExtInfo": "0xFFFFFDA7" })")
                                              << QByteArray() << int(ReplicaView::State) << empty << true;
    QTest::newRow("close refused") << QByteArray() << QByteArray(R"({ "NWCCCloseConn": "0x8801" })")
                                   << int(ReplicaView::Type) << listed << false;
}

// Whatever a pass meets after its opening, it closes its connection on the
// way out and shows no message: a refused close is left unsaid, as a timed
// refresh must not stop on a message box.
void TestPartitions::everyPassClosesQuietly()
{
    QFETCH(QByteArray, treeFaults);
    QFETCH(QByteArray, serverFaults);
    QFETCH(int, view);
    QFETCH(QStringList, expected);
    QFETCH(bool, closed);
    QByteArray network = kNetwork;
    if (!treeFaults.isEmpty())
        network.replace(R"("name": "ACME_TREE",)", R"("name": "ACME_TREE", "faults": )" + treeFaults + ',');
    if (!serverFaults.isEmpty())
        network.replace(R"({ "name": "FS1", "tree": "ACME_TREE", "context": "ACME" })",
                        R"({ "name": "FS1", "tree": "ACME_TREE", "context": "ACME", "faults": )" + serverFaults + " }");
    Fixture f(network);
    auto* sim = dynamic_cast<nw::sim::SimClient*>(f.client.get());
    QVERIFY(sim);

    int cells = 0;
    const ReplicaReading read = directory::readServerReplicas(*sim, QStringLiteral("ACME_TREE"), QStringLiteral("FS1"),
                                                              static_cast<ReplicaView>(view),
                                                              [&cells](const QString&, const QString&) { ++cells; });
    QCOMPARE(read, ReplicaReading::Read);
    QCOMPARE(cells, expected.size() - 1);
    QCOMPARE(sim->openConnectionCount(), closed ? 0 : 1);

    // The view, refreshed too: the same on every pass.
    PartitionsWindow* form = f.open({"FS1"});
    QVERIFY(form);
    form->showReplicaView(static_cast<ReplicaView>(view));
    form->refreshAll();
    QCOMPARE(table(form), expected);
    if (closed)
        QCOMPARE(sim->openConnectionCount(), 0);
    QVERIFY(f.services.messages.shown.isEmpty());
    QVERIFY(!f.services.context.reachability().isUnreachable(QStringLiteral("FS1")));
}

void TestPartitions::texts_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::newRow("partition") << "name"
                               << "SALES.ACME"
                               << ".ACME.SALES";
    QTest::newRow("root") << "name"
                          << "[Root]"
                          << " [Root]";
    QTest::newRow("absolute") << "name"
                              << ".EAST.SALES.ACME"
                              << ".ACME.SALES.EAST";
    QTest::newRow("master") << "type"
                            << "0"
                            << "M";
    QTest::newRow("subordinate") << "type"
                                 << "3"
                                 << "SR";
    QTest::newRow("unknown type") << "type"
                                  << "7"
                                  << "7";
    QTest::newRow("on") << "state"
                        << "0"
                        << "On";
    QTest::newRow("transition") << "state"
                                << "6"
                                << "Transition";
    QTest::newRow("new master") << "state"
                                << "12"
                                << "New Master";
    QTest::newRow("split") << "state"
                           << "49"
                           << "Split";
    QTest::newRow("join") << "state"
                          << "66"
                          << "Join";
    QTest::newRow("move") << "state"
                          << "81"
                          << "Move";
    QTest::newRow("unknown state") << "state"
                                   << "9"
                                   << "9";
    QTest::newRow("tip RW") << "tip"
                            << "RW"
                            << "Read/Write";
    QTest::newRow("tip N/A") << "tip"
                             << "N/A"
                             << "Not Available";
    QTest::newRow("no tip") << "tip"
                            << "On"
                            << "";
}

void TestPartitions::texts()
{
    QFETCH(QString, kind);
    QFETCH(QString, input);
    QFETCH(QString, expected);
    if (kind == u"name")
        QCOMPARE(directory::partitionDisplayName(input), expected);
    else if (kind == u"type")
        QCOMPARE(directory::replicaTypeText(input.toUInt()), expected);
    else if (kind == u"state")
        QCOMPARE(directory::replicaStateText(input.toUInt()), expected);
    else
        QCOMPARE(directory::cellToolTip(input), expected);
}

void TestPartitions::serverClock()
{
    QCOMPARE(directory::serverClockTime({126, 12, 5, 19, 4, 36, 6, 0}),
             QDateTime(QDate(2026, 12, 5), QTime(19, 4, 36), Qt::LocalTime));
    QCOMPARE(directory::serverClockTime({99, 1, 2, 3, 4, 5, 0, 0}).date(), QDate(1999, 1, 2));
    QVERIFY(!directory::serverClockTime({126, 13, 5, 0, 0, 0, 0, 0}).isValid());
}

void TestPartitions::timeViews()
{
    const QLocale c = QLocale::c();
    const QDateTime stamp(QDate(2026, 12, 5), QTime(18, 58, 20), Qt::LocalTime);
    const auto seconds = static_cast<quint32>(stamp.toSecsSinceEpoch());
    const QString plain = directory::replicaTimeStampText(seconds, stamp.addSecs(60), c);
    QCOMPARE(plain, c.toString(stamp.date(), QStringLiteral("d MMM yyyy")) + QStringLiteral(" 18:58:20"));
    QCOMPARE(directory::replicaTimeStampText(seconds, stamp.addSecs(-3600), c), plain + " (ahead of server clock)");
    QCOMPARE(directory::replicaTimeStampText(seconds, {}, c), plain);
    QCOMPARE(directory::syncTimeText(seconds + 100, seconds), QStringLiteral("100"));
    QCOMPARE(directory::syncTimeText(seconds, seconds + 100), QStringLiteral("0"));
}

void TestPartitions::fillsOneColumnPerServer()
{
    Fixture f;
    QVERIFY(f.client);
    PartitionsWindow* form = f.open({"FS1", "FS3", "DOWN"});
    QVERIFY(form);
    QCOMPARE(form->windowTitle(), QStringLiteral("Partitions - ACME_TREE"));
    QCOMPARE(table(form), QStringList({"|FS1|FS3|DOWN", " [Root]|M||N/A", ".ACME.SALES||SR|N/A"}));
    QCOMPARE(form->grdPartitions()->model().cellAlignment(1, 1), Qt::AlignCenter);
    QVERIFY(f.removeItem()->isEnabled());
    QCOMPARE(form->fraRefresh()->intervalText(), QStringLiteral("5"));
    QCOMPARE(exporting::exportableTables(form), QList<QWidget*>{form->grdPartitions()});

    // The same tree again: the same window gains a column.
    QCOMPARE(f.open({"FS2"}), form);
    QCOMPARE(f.host.mdiArea()->subWindowList().size(), 1);
    QCOMPARE(table(form), QStringList({"|FS1|FS3|DOWN|FS2", " [Root]|M||N/A|RW", ".ACME.SALES||SR|N/A|RO"}));

    // Every pass closed the connection it opened, whatever the view.
    const auto* sim = dynamic_cast<const nw::sim::SimClient*>(f.client.get());
    QVERIFY(sim);
    form->optReplicaTimeStamp()->click();
    form->refreshAll();
    QCOMPARE(sim->openConnectionCount(), 0);
}

void TestPartitions::unreachableFirstStillShowsNotAvailable()
{
    Fixture f;
    PartitionsWindow* form = f.open({"DOWN", "FS3"});
    QCOMPARE(table(form), QStringList({"|DOWN|FS3", ".ACME.SALES|N/A|SR"}));
    f.open({"FS1"});
    QCOMPARE(table(form), QStringList({"|DOWN|FS3|FS1", ".ACME.SALES|N/A|SR|", " [Root]|N/A||M"}));
}

// The Replica Type view opens a server by a name of any format, the other
// views by its bindery name, all of them licensed. Each pass gives its licence
// back before the next one opens: a server with one free licence is listed
// through every refresh, one with none is not available.
void TestPartitions::eachViewOpensWithItsFlags()
{
    Fixture f(QByteArray(kNetwork)
                  .replace(R"({ "name": "FS1", "tree": "ACME_TREE", "context": "ACME" })",
                           R"({ "name": "FS1", "tree": "ACME_TREE", "context": "ACME", "licences": 1 })")
                  .replace(R"({ "name": "FS2", "tree": "ACME_TREE", "context": "ACME" })",
                           R"({ "name": "FS2", "tree": "ACME_TREE", "context": "ACME", "licences": 0 })"));
    auto* sim = dynamic_cast<nw::sim::SimClient*>(f.client.get());
    QVERIFY(sim);
    const auto flagsOfOpens = [sim] {
        QStringList flags;
        for (const auto& open : sim->connectionOpens())
            flags.append(QStringLiteral("%1 %2 %3 %4 %5")
                             .arg(open.name)
                             .arg(open.nameFormat, 0, 16)
                             .arg(open.openState)
                             .arg(open.transport, 0, 16)
                             .arg(open.result, 0, 16));
        sim->clearConnectionOpens();
        // Servers are read side by side: their opens come in any order.
        flags.sort();
        return flags;
    };

    PartitionsWindow* form = f.open({"FS1", "FS2"});
    QCOMPARE(table(form), QStringList({"|FS1|FS2", " [Root]|M|N/A"}));
    QCOMPARE(flagsOfOpens(), QStringList({"FS1 ffff8000 1 ffff8000 0", "FS2 ffff8000 1 ffff8000 89d9"}));

    form->optReplicaState()->click();
    QCOMPARE(table(form), QStringList({"|FS1|FS2", " [Root]|On|N/A"}));
    QCOMPARE(flagsOfOpens(), QStringList({"FS1 2 1 ffff8000 0", "FS2 2 1 ffff8000 89d9"}));
    for (int tick = 0; tick < 3; ++tick)
        form->refreshAll();
    QCOMPARE(table(form), QStringList({"|FS1|FS2", " [Root]|On|N/A"}));
    QCOMPARE(flagsOfOpens().filter(QStringLiteral("FS1 2 1 ffff8000 0")).size(), 3);
    QCOMPARE(sim->openConnectionCount(), 0);
}

void TestPartitions::reAddingRefreshesItsColumn()
{
    Fixture f;
    PartitionsWindow* form = f.open({"FS1", "FS2"});
    form->grdPartitions()->model().setTextMatrix(1, 2, QStringLiteral("stale"));
    f.open({"FS2"});
    QCOMPARE(table(form), QStringList({"|FS1|FS2", " [Root]|M|RW", ".ACME.SALES||RO"}));
    QVERIFY(f.services.messages.shown.isEmpty());
}

void TestPartitions::viewsSwitchAndDropEmptyRows_data()
{
    QTest::addColumn<int>("view");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("state") << int(PartitionsWindow::ReplicaView::State)
                           << QStringList({"|FS1|FS3", " [Root]|On|", ".ACME.SALES||9"});
    QTest::newRow("sync") << int(PartitionsWindow::ReplicaView::SyncTime)
                          << QStringList({"|FS1|FS3", " [Root]|0|", ".ACME.SALES||100"});
}

void TestPartitions::viewsSwitchAndDropEmptyRows()
{
    QFETCH(int, view);
    QFETCH(QStringList, expected);
    Fixture f;
    PartitionsWindow* form = f.open({"FS1", "FS3"});
    form->grdPartitions()->model().addRow({QStringLiteral(".GONE"), QStringLiteral("M"), QString()});
    form->showReplicaView(static_cast<PartitionsWindow::ReplicaView>(view));
    QCOMPARE(table(form), expected);  // .GONE has no value any more and is gone

    // The time stamp view shows FS3's stamp ahead of its clock (an hour behind).
    form->optReplicaTimeStamp()->click();
    QVERIFY(form->grdPartitions()->model().textMatrix(2, 2).endsWith(QStringLiteral(" (ahead of server clock)")));
    QVERIFY(!form->grdPartitions()->model().textMatrix(1, 1).contains(QStringLiteral("ahead")));
    form->optReplicaType()->click();
    QCOMPARE(table(form), QStringList({"|FS1|FS3", " [Root]|M|", ".ACME.SALES||SR"}));
}

void TestPartitions::removingColumns()
{
    Fixture f;
    PartitionsWindow* form = f.open({"FS1", "FS3"});
    widgets::FlexGrid* grid = form->grdPartitions();
    form->gridMouseDown(Qt::RightButton, 2, 0);  // a row selects the whole row
    QCOMPARE(grid->model().row(), 2);
    QCOMPARE(grid->model().colSel(), 2);
    QCOMPARE(form->toolTipAt(2, 2), QStringLiteral("Subordinate Reference"));
    QCOMPARE(form->toolTipAt(0, 1), QString());
    form->gridMouseDown(Qt::RightButton, 0, 1);  // FS1's header
    QCOMPARE(f.host.popups, QStringList{"PopMenu_Remove_Partition"});
    QCOMPARE(grid->model().col(), 1);
    QVERIFY(f.removeItem()->isEnabled());
    directory::removePartitionColumn(f.host);
    QCOMPARE(table(form), QStringList({"|FS3", ".ACME.SALES|SR"}));  // [Root] lost its only value
    QVERIFY(!f.removeItem()->isEnabled());
    grid->model().setCol(1);
    QVERIFY(!form->removeSelectedColumn());  // the last server column stays
    QCOMPARE(grid->model().cols(), 2);
}

void TestPartitions::replicaTipsOverCells()
{
    // Resting the pointer on a cell of the grid: the replica type in words.
    Fixture f;
    PartitionsWindow* form = f.open({"FS1", "FS2", "FS3", "DOWN"});
    QCOMPARE(table(form), QStringList({"|FS1|FS2|FS3|DOWN", " [Root]|M|RW||N/A", ".ACME.SALES||RO|SR|N/A"}));
    QVERIFY(QTest::qWaitForWindowExposed(f.host.window()));
    widgets::FlexGrid* grid = form->grdPartitions();
    QTableView* view = grid->tableView();
    const auto tipOver = [&](int row, int col) {
        // A tip still on screen goes first: the next one would only replace its text.
        QToolTip::hideText();
        if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); }))
            return QStringLiteral("(the previous tip stays)");
        const QModelIndex index = grid->model().index(grid->model().viewRow(row), col);
        view->scrollTo(index);
        const QPoint at = view->visualRect(index).center();
        QHelpEvent help(QEvent::ToolTip, at, view->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(view->viewport(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    QCOMPARE(tipOver(1, 1), QStringLiteral("Master"));
    QCOMPARE(tipOver(1, 2), QStringLiteral("Read/Write"));
    QCOMPARE(tipOver(2, 2), QStringLiteral("Read Only"));
    QCOMPARE(tipOver(2, 3), QStringLiteral("Subordinate Reference"));
    QCOMPARE(tipOver(1, 4), QStringLiteral("Not Available"));
    QCOMPARE(tipOver(1, 3), QString());  // no replica there

    // The other views have no tips of their own; an unreachable server's cells keep theirs.
    form->optReplicaState()->click();
    QCOMPARE(grid->model().textMatrix(1, 1), QStringLiteral("On"));
    QCOMPARE(tipOver(1, 1), QString());
    QCOMPARE(tipOver(1, 4), QStringLiteral("Not Available"));
}

void TestPartitions::sortsByMeaning_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<QStringList>("cells");       // one row each, in the order written
    QTest::addColumn<QStringList>("descending");  // the first click's order; the second reverses it
    const auto stamp = [](int year, int month, int day, const char* note = "") {
        const QDateTime when(QDate(year, month, day), QTime(18, 58, 20), Qt::LocalTime);
        return directory::replicaTimeStampText(static_cast<quint32>(when.toSecsSinceEpoch()), {}) + note;
    };
    QTest::newRow("sync figures by value") << 1 << QStringList{"9", "100", "10"} << QStringList{"100", "10", "9"};
    QTest::newRow("time stamps across years")
        << 1 << QStringList{stamp(2026, 12, 5), stamp(2027, 1, 3), stamp(2025, 11, 30, " (ahead of server clock)")}
        << QStringList{stamp(2027, 1, 3), stamp(2026, 12, 5), stamp(2025, 11, 30, " (ahead of server clock)")};
    QTest::newRow("names by collation, root first ascending")
        << 0 << QStringList{".ACME.sales", " [Root]", ".acme.Eng", ".ACME.MARKETING"}
        << QStringList{".ACME.sales", ".ACME.MARKETING", ".acme.Eng", " [Root]"};
}

void TestPartitions::sortsByMeaning()
{
    QFETCH(int, col);
    QFETCH(QStringList, cells);
    QFETCH(QStringList, descending);
    Fixture f;
    PartitionsWindow* form = f.open({"FS2"});
    widgets::FlexGrid* grid = form->grdPartitions();
    grid->model().setRows(1);
    for (int i = 0; i < cells.size(); ++i) {
        const QString other = QString(QLatin1Char('a' + i));
        grid->model().addRow(col == 0 ? QStringList{cells[i], other} : QStringList{other, cells[i]});
    }
    const auto column = [&] {
        QStringList texts;
        for (int row = 1; row < grid->model().rows(); ++row)
            texts.append(grid->model().textMatrix(row, col));
        return texts;
    };
    const QHeaderView* header = grid->tableView()->horizontalHeader();
    form->gridMouseDown(Qt::LeftButton, 0, col);
    QCOMPARE(column(), descending);
    QVERIFY(header->isSortIndicatorShown());
    QCOMPARE(header->sortIndicatorSection(), col);
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
    form->gridMouseDown(Qt::LeftButton, 0, col);
    QStringList ascending = descending;
    std::reverse(ascending.begin(), ascending.end());
    QCOMPARE(column(), ascending);
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);

    // Save writes the rows as they are shown.
    QBuffer saved;
    saved.open(QIODevice::WriteOnly);
    QVERIFY(exporting::writeGrid(*grid, saved, QStringLiteral("|")));
    QStringList lines = QString::fromLatin1(saved.data()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    lines.removeFirst();
    for (int i = 0; i < lines.size(); ++i)
        QCOMPARE(lines[i].split(QLatin1Char('|')).value(col), ascending[i].trimmed());
}

void TestPartitions::columnsFitUntilWidthsAreStored()
{
    Fixture f;
    const auto close = [&] { f.host.closeViews(); };
    // No key yet: the names are fitted (sharing the free width) rather than
    // designed; the server columns keep room for a time stamp.
    PartitionsWindow* form = f.open({"FS1", "FS2"});
    QVERIFY(form->isFirstOpening());
    const int name = form->grdPartitions()->model().colWidth(0);
    QVERIFY(name > 0 && name != 2400);
    QCOMPARE(form->grdPartitions()->model().colWidth(1), 1800);
    form->grdPartitions()->model().setColWidth(0, 3000);
    form->grdPartitions()->model().setColWidth(1, 1234);
    close();
    // Stored widths win; every server column takes the stored one.
    form = f.open({"FS1", "FS2"});
    QCOMPARE(form->grdPartitions()->model().colWidth(0), 3000);
    QCOMPARE(form->grdPartitions()->model().colWidth(1), 1234);
    QCOMPARE(form->grdPartitions()->model().colWidth(2), 1234);
}

VESKARO_TEST_MAIN(TestPartitions)
#include "test_partitions.moc"

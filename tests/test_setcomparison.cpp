// The rules of the SET parameter comparison on a bare grid: rows shared by
// parameter name without regard to case, the differences rule, the find rule
// and the recognition of servers already shown. The window that applies them
// is in test_setcommands.

#include "support/TestMain.h"
#include "views/SetComparison.h"

#include <QtTest>

using models::FlexGridModel;
using views::SetParameter;

namespace {

// A comparison grid: one header row, "Command", "Category" and one column
// per server, filled with each server's parameters in turn the way the window does.
void makeGrid(FlexGridModel& grid, int servers)
{
    grid.setRows(1);
    grid.setCols(2 + servers);
    grid.setFixedRows(1);
    grid.setFixedCols(2);
    grid.setTextMatrix(0, 0, QStringLiteral("Command"));
    grid.setTextMatrix(0, 1, QStringLiteral("Category"));
    for (int s = 0; s < servers; ++s)
        grid.setTextMatrix(0, 2 + s, views::serverColumnHeader(QStringLiteral("FS%1").arg(s + 1)));
}

SetParameter number(const QString& name, quint32 value, quint32 category = 0)
{
    SetParameter p;
    p.name = name;
    p.type = 0;
    p.category = category;
    for (int i = 0; i < 4; ++i)
        p.value.append(static_cast<char>((value >> (8 * i)) & 0xFF));
    return p;
}

// Adds the servers' parameters column after column.
void fill(FlexGridModel& grid, const QList<QList<SetParameter>>& servers)
{
    for (int s = 0; s < servers.size(); ++s) {
        const int col = views::kSetFirstServerCol + static_cast<int>(s);
        const bool lookUp = s > 0;
        views::SetRowIndex index;
        if (lookUp)
            index.rebuild(grid.grid());
        for (const SetParameter& p : servers.at(s))
            views::addSetParameter(grid, index, col, p, lookUp);
    }
}

// Rows as "name|category|value|value..." for comparing whole tables.
QStringList rowTexts(const FlexGridModel& grid)
{
    QStringList rows;
    for (int r = 1; r < grid.rows(); ++r)
        rows << grid.grid().rowTexts(r).join(QLatin1Char('|'));
    return rows;
}

// The comparison filled server by server through the plain routines, sorted
// by name after every server: the order the fills must end with. Rows left
// from servers taken out are there before the first server.
void fillSortingAfterEachServer(FlexGridModel& grid, const QList<QList<SetParameter>>& servers,
                                const QStringList& leftRows = {})
{
    makeGrid(grid, static_cast<int>(servers.size()));
    for (const QString& name : leftRows)
        grid.addRow({name, QStringLiteral("Comm")});
    for (int s = 0; s < servers.size(); ++s) {
        views::SetRowIndex index;
        if (s > 0)
            index.rebuild(grid.grid());
        for (const SetParameter& p : servers.at(s))
            views::addSetParameter(grid, index, views::kSetFirstServerCol + s, p, s > 0);
        grid.sortRows(0, models::SortMode::GenericAscending, 1);
    }
}

}  // namespace

class TestSetComparison : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void rowsSharedByNameIgnoringCase_data()
    {
        QTest::addColumn<QList<QList<SetParameter>>>("servers");
        QTest::addColumn<QStringList>("rows");

        QTest::newRow("other case joins, first spelling stays")
            << QList<QList<SetParameter>>{{number("Max Packets", 1)},
                                          {number("MAX PACKETS", 2)},
                                          {number("max packets", 3)}}
            << QStringList{"Max Packets|Comm|1|2|3"};
        QTest::newRow("missing on one server leaves its cell empty")
            << QList<QList<SetParameter>>{{number("A", 1), number("B", 2)}, {number("b", 5)}}
            << QStringList{"A|Comm|1|", "B|Comm|2|5"};
        QTest::newRow("new on the second server appends a row")
            << QList<QList<SetParameter>>{{number("A", 1)}, {number("C", 7), number("a", 1)}}
            << QStringList{"A|Comm|1|1", "C|Comm||7"};
        QTest::newRow("second server naming one twice writes the first row")
            << QList<QList<SetParameter>>{{number("A", 1)}, {number("Z", 4), number("z", 9)}}
            << QStringList{"A|Comm|1|", "Z|Comm||9"};
        // The category is written when the row is made: the first server's stands.
        QTest::newRow("category of the first server")
            << QList<QList<SetParameter>>{{number("Cache", 5, 2)}, {number("CACHE", 5, 99)}}
            << QStringList{"Cache|File Cache|5|5"};
        QTest::newRow("unknown category")
            << QList<QList<SetParameter>>{{}, {number("Odd", 1, 99)}} << QStringList{"Odd|N/A||1"};
        // The first server's list is taken as it comes: nothing is looked up.
        QTest::newRow("first server keeps its own repeats")
            << QList<QList<SetParameter>>{{number("A", 1), number("a", 2)}, {number("A", 3)}}
            << QStringList{"A|Comm|1|3", "a|Comm|2|"};
    }

    void rowsSharedByNameIgnoringCase()
    {
        QFETCH(QList<QList<SetParameter>>, servers);
        QFETCH(QStringList, rows);
        FlexGridModel grid;
        makeGrid(grid, static_cast<int>(servers.size()));
        fill(grid, servers);
        QCOMPARE(rowTexts(grid), rows);
    }

    void fillSortsByNameOnceAtTheEnd()
    {
        FlexGridModel grid;
        makeGrid(grid, 0);
        views::SetComparisonFill fill(grid);
        QCOMPARE(fill.beginServer(QStringLiteral("FS1")), 2);
        for (const auto& p : {number("b", 1), number("C", 2), number("a", 3)})
            fill.add(p);
        QCOMPARE(grid.colWidth(2), 1830);
        QCOMPARE(grid.textMatrix(0, 2), QStringLiteral("FS1 - Value"));

        fill.beginServer(QStringLiteral("FS2"));
        for (const auto& p : {number("c", 5), number("B", 6), number("A", 7), number("0 first", 8)})
            fill.add(p);
        fill.finish();
        QCOMPARE(rowTexts(grid), (QStringList{"0 first|Comm||8", "a|Comm|3|7", "b|Comm|1|6", "C|Comm|2|5"}));

        // A later opening finds the sorted rows again; a new name sorts in.
        views::SetComparisonFill next(grid);
        next.beginServer(QStringLiteral("FS3"));
        for (const auto& p : {number("b", 9), number("10", 10), number("9", 11)})
            next.add(p);
        next.finish();
        QCOMPARE(rowTexts(grid), (QStringList{"9|Comm|||11", "10|Comm|||10", "0 first|Comm||8|", "a|Comm|3|7|",
                                              "b|Comm|1|6|9", "C|Comm|2|5|"}));
    }

    // One sort at the end of an opening orders the rows as a sort after
    // every server did, ties (names equal ignoring case, numbers of equal
    // value) included.
    void sortOnceMatchesSortAfterEachServer_data()
    {
        QTest::addColumn<QList<QList<SetParameter>>>("servers");
        QTest::newRow("names differing in case on the first server") << QList<QList<SetParameter>>{
            {number("Abc", 1), number("x", 2), number("ABC", 3)}, {number("abc", 4), number("y", 5)}};
        QTest::newRow("numbers of equal value")
            << QList<QList<SetParameter>>{{number("1", 1), number("b", 2), number("01", 3)},
                                          {number("1.0", 4), number("01", 5), number("a", 6)},
                                          {number("B", 7), number("2", 8)}};
        QTest::newRow("every server brings new names") << QList<QList<SetParameter>>{
            {number("m", 1)}, {number("c", 2), number("M", 3)}, {number("z", 4), number("a", 5)}};
    }

    void sortOnceMatchesSortAfterEachServer()
    {
        QFETCH(QList<QList<SetParameter>>, servers);
        FlexGridModel once;
        makeGrid(once, 0);
        views::SetComparisonFill fill(once);
        for (int s = 0; s < servers.size(); ++s) {
            fill.beginServer(QStringLiteral("FS%1").arg(s + 1));
            for (const SetParameter& p : servers.at(s))
                fill.add(p);
        }
        fill.finish();

        FlexGridModel eachServer;
        fillSortingAfterEachServer(eachServer, servers);
        QCOMPARE(rowTexts(once), rowTexts(eachServer));
    }

    // One opening per server, each keeping what the last left (value texts,
    // the name index, the rows by place), ends as a sort after every server
    // does: whatever order and case the servers give their names in, and
    // when the rows were sorted by category in between.
    void openingsKeepingTheirMemoryMatch_data()
    {
        QTest::addColumn<QList<QList<SetParameter>>>("servers");
        QTest::addColumn<bool>("sortByCategoryBetween");
        QTest::addColumn<QStringList>("leftRows");  // names of rows left from servers taken out
        const QList<QList<SetParameter>> reordered{
            {number("Alpha", 1), number("Beta", 2), number("Gamma", 3)},
            {number("Alpha", 1), number("Beta", 2), number("Gamma", 3)},
            {number("GAMMA", 4), number("alpha", 5), number("Beta", 6)},
            {number("Beta", 7), number("Delta", 8), number("Alpha", 9), number("Gamma", 1)}};
        QTest::newRow("same order, then another order and case") << reordered << false << QStringList();
        QTest::newRow("first server repeats a name, the next in the same order")
            << QList<QList<SetParameter>>{{number("A", 1), number("a", 2), number("B", 3)},
                                          {number("A", 4), number("a", 5), number("B", 6)},
                                          {number("A", 7), number("a", 8), number("B", 9)}}
            << false << QStringList();
        QTest::newRow("names missing and coming")
            << QList<QList<SetParameter>>{{number("A", 1), number("B", 2)},
                                          {number("B", 3)},
                                          {number("C", 4), number("A", 5), number("B", 6)},
                                          {number("A", 7), number("B", 8)}}
            << false << QStringList();
        // Categories run against the names, so the category sort moves the rows.
        QTest::newRow("sorted by category in between")
            << QList<QList<SetParameter>>{{number("A", 1, 5), number("B", 2, 4), number("C", 3, 3)},
                                          {number("A", 4, 5), number("B", 5, 4), number("C", 6, 3)},
                                          {number("D", 7, 1), number("c", 8, 3), number("b", 9, 4), number("a", 10, 5)}}
            << true << QStringList();
        // The first server appends its own rows beside those left; the next
        // finds the first row of each name, a left one.
        QTest::newRow("rows left from servers taken out")
            << QList<QList<SetParameter>>{{number("A", 1)}, {number("a", 3)}} << false << QStringList{"A"};
    }

    void openingsKeepingTheirMemoryMatch()
    {
        QFETCH(QList<QList<SetParameter>>, servers);
        QFETCH(bool, sortByCategoryBetween);
        QFETCH(QStringList, leftRows);
        FlexGridModel kept;
        makeGrid(kept, 0);
        for (const QString& name : leftRows)
            kept.addRow({name, QStringLiteral("Comm")});
        views::SetComparisonFill::Texts texts;
        for (int s = 0; s < servers.size(); ++s) {
            kept.beginUpdate();
            views::SetComparisonFill fill(kept, &texts);
            fill.beginServer(QStringLiteral("FS%1").arg(s + 1));
            for (const SetParameter& p : servers.at(s))
                fill.add(p);
            fill.finish();
            kept.endUpdate();
            if (sortByCategoryBetween)
                kept.sortRows(views::kSetCategoryCol, models::SortMode::GenericAscending, 1);
        }

        FlexGridModel eachServer;
        fillSortingAfterEachServer(eachServer, servers, leftRows);
        if (sortByCategoryBetween)
            eachServer.sortRows(views::kSetCategoryCol, models::SortMode::GenericAscending, 1);
        QCOMPARE(rowTexts(kept), rowTexts(eachServer));
    }

    // Value texts kept from one opening to the next are found by type and
    // bytes together: the same bytes render by their own type.
    void keptValueTextsFollowTheType()
    {
        FlexGridModel grid;
        makeGrid(grid, 0);
        views::SetComparisonFill::Texts texts;
        SetParameter onOff = number("switch", 1);
        onOff.type = 1;
        for (const SetParameter& p : {number("count", 1), onOff}) {
            views::SetComparisonFill fill(grid, &texts);
            fill.beginServer(QStringLiteral("FS%1").arg(grid.cols() - 1));
            fill.add(p);
            fill.add(number("same", 7));
            fill.finish();
        }
        QCOMPARE(rowTexts(grid), (QStringList{"count|Comm|1|", "same|Comm|7|7", "switch|Comm||On"}));
    }

    void differencesRule_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<bool>("differs");
        QTest::newRow("one server") << QStringList{"5"} << false;
        QTest::newRow("two equal") << QStringList{"5", "5"} << false;
        QTest::newRow("two different") << QStringList{"5", "6"} << true;
        QTest::newRow("missing on one") << QStringList{"5", ""} << true;
        QTest::newRow("missing on both") << QStringList{"", ""} << false;
        QTest::newRow("text compares with case") << QStringList{"On", "ON"} << true;
        QTest::newRow("three, last differs") << QStringList{"1", "1", "2"} << true;
        QTest::newRow("three, middle differs") << QStringList{"1", "2", "1"} << true;
    }

    void differencesRule()
    {
        QFETCH(QStringList, values);
        QFETCH(bool, differs);
        FlexGridModel grid;
        makeGrid(grid, static_cast<int>(values.size()));
        grid.addRow(QStringList{"P", "Comm"} + values);
        QCOMPARE(views::parameterRowDiffers(grid.grid(), 1), differs);
    }

    void findRule_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("row");
        QTest::newRow("prefix, other case") << "max" << 2;
        QTest::newRow("whole name") << "Maximum Packet Receive Buffers" << 2;
        QTest::newRow("hidden rows are passed over") << "Hidden" << -1;
        QTest::newRow("middle of a name is no match") << "Packet" << -1;
        QTest::newRow("empty text finds the first shown row") << "" << 2;
        QTest::newRow("second of two matches when the first is hidden") << "Min" << 4;
    }

    void findRule()
    {
        QFETCH(QString, text);
        QFETCH(int, row);
        FlexGridModel grid;
        makeGrid(grid, 1);
        grid.addRow({"Hidden Parameter", "Comm", "1"});
        grid.addRow({"Maximum Packet Receive Buffers", "Comm", "1"});
        grid.addRow({"Minimum File Cache", "Comm", "1"});
        grid.addRow({"MINIMUM Packets", "Comm", "1"});
        grid.setRowHeight(1, 0);
        grid.setRowHeight(3, 0);
        QCOMPARE(views::findSetRow(grid.grid(), text), row);
    }

    void serverShownByExactHeader()
    {
        FlexGridModel grid;
        makeGrid(grid, 2);
        QVERIFY(views::isServerInSetComparison(grid.grid(), QStringLiteral("FS2")));
        QVERIFY(!views::isServerInSetComparison(grid.grid(), QStringLiteral("FS3")));
        // Headers are compared exactly, as the server list spells the names.
        QVERIFY(!views::isServerInSetComparison(grid.grid(), QStringLiteral("fs1")));
        // "Command" and "Category" are never servers.
        QVERIFY(!views::isServerInSetComparison(grid.grid(), QStringLiteral("Command")));
    }
};

VESKARO_TEST_MAIN(TestSetComparison)
#include "test_setcomparison.moc"

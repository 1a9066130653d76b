#include "widgets/ColumnFit.h"
#include "widgets/FlexGrid.h"
#include "widgets/ColumnFit.h"
#include "models/FlexGridModel.h"
#include "models/GridData.h"
#include "models/RowNameIndex.h"
#include "settings/ColumnScale.h"
#include "support/TestMain.h"
#include "text/Twips.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QApplication>
#include <QContextMenuEvent>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

using models::FlexGridModel;
using models::GridData;
using models::SortMode;
using widgets::FlexGrid;

namespace {

// One header row over `cols` columns, then rows "n0", "n1", ... with the row
// number in the second column when there is one.
template <class Grid>
void fillNamed(Grid& grid, int cols, int rows)
{
    grid.setCols(cols);
    grid.setRows(1);
    grid.setFixedRows(1);
    for (int i = 0; i < rows; ++i)
        grid.addRow({QStringLiteral("n%1").arg(i), QString::number(i)});
}

// A grid with one header row, a name column and a value column.
GridData namedValues(const QStringList& values)
{
    GridData grid;
    fillNamed(grid, 2, 0);
    grid.setText(0, 1, QStringLiteral("Value"));
    for (qsizetype i = 0; i < values.size(); ++i)
        grid.addRow({QStringLiteral("r%1").arg(i), values[i]});
    return grid;
}

QStringList column(const GridData& grid, int col, int from = 1)
{
    QStringList texts;
    for (int r = from; r < grid.rows(); ++r)
        texts.append(grid.text(r, col));
    return texts;
}

// The model rows must be exactly the shown data rows, in grid order.
void verifyModelRows(const FlexGridModel& model)
{
    QStringList expected;
    for (int r = model.fixedRows(); r < model.rows(); ++r) {
        if (model.rowHeight(r) > 0)
            expected.append(model.textMatrix(r, 0));
    }
    QStringList shown;
    for (int v = 0; v < model.rowCount(); ++v)
        shown.append(model.data(model.index(v, 0)).toString());
    QCOMPARE(shown, expected);
}

}  // namespace

class TestFlexGrid : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Every change the grid makes keeps the item model consistent for its views.
    void modelStaysConsistentThroughEdits()
    {
        models::FlexGridModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setRows(2);
        model.setCols(3);
        model.setFixedRows(1);
        model.setFixedCols(1);
        for (const QStringList& row : {QStringList{"b", "2", "x"}, QStringList{"a", "10", ""}, QStringList{"", "", ""}})
            model.addRow(row);
        model.setTextMatrix(1, 1, QStringLiteral("7"));
        model.sortRows(1, models::SortMode::NumericAscending, 1);
        model.setRowHeight(2, 0);
        model.moveColumnToEnd(1);
        model.removeColumn(2);
        model.removeEmptyRows();
        model.beginUpdate();
        model.addRow({"c", "3"});
        model.removeRow(1);
        model.endUpdate();
        model.setCols(1);
        model.setRows(1);
        QCOMPARE(model.rows(), 1);
    }

    void sortsDataRows_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("expected");

        const QStringList mixed{"10", "9", "abc", "Abd", "2", "1,000"};
        QTest::newRow("generic ascending")
            << mixed << int(SortMode::GenericAscending) << QStringList{"2", "9", "10", "1,000", "abc", "Abd"};
        QTest::newRow("generic descending")
            << mixed << int(SortMode::GenericDescending) << QStringList{"Abd", "abc", "1,000", "10", "9", "2"};
        const QStringList versions{"     5.00h", "    4.11", "10.0a", "x", "-1"};
        QTest::newRow("numeric ascending")
            << versions << int(SortMode::NumericAscending) << QStringList{"-1", "x", "    4.11", "     5.00h", "10.0a"};
        QTest::newRow("numeric descending") << versions << int(SortMode::NumericDescending)
                                            << QStringList{"10.0a", "     5.00h", "    4.11", "x", "-1"};
        const QStringList cased{"b", "B", "a", "A"};
        QTest::newRow("string ascending, case counts")
            << cased << int(SortMode::StringAscending) << QStringList{"A", "B", "a", "b"};
        QTest::newRow("string descending, case counts")
            << cased << int(SortMode::StringDescending) << QStringList{"b", "a", "B", "A"};
        QTest::newRow("text ignoring case") << QStringList{"b", "A", "a", "B"} << int(SortMode::StringNoCaseAscending)
                                            << QStringList{"A", "a", "b", "B"};
        QTest::newRow("padded numbers as text")
            << QStringList{"   10", "    9", "  100"} << int(SortMode::StringAscending)
            << QStringList{"    9", "   10", "  100"};
    }

    void sortsDataRows()
    {
        QFETCH(QStringList, values);
        QFETCH(int, mode);
        QFETCH(QStringList, expected);
        GridData grid = namedValues(values);
        grid.sortRows(1, SortMode(mode), 1);
        QCOMPARE(column(grid, 1), expected);
    }

    void sortIsStableAndKeepsRowsTogether()
    {
        GridData grid = namedValues({"b", "a", "B", "a"});
        grid.setRowHeight(1, 0);  // the row holding "b" is hidden
        grid.setCellAlignment(2, 1, Qt::AlignRight);
        grid.sortRows(1, SortMode::GenericAscending, 1);
        QCOMPARE(grid.text(0, 1), QStringLiteral("Value"));
        QCOMPARE(column(grid, 0), (QStringList{"r1", "r3", "r0", "r2"}));
        QCOMPARE(grid.rowHeight(3), 0);
        QCOMPARE(grid.cellAlignment(1, 1) & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    }

    // A sort that finds the rows in the order of the last one leaves them,
    // and the row names keep their version; any edit in between that could
    // change the order makes the next sort read the keys again.
    void sortAgainAfterEdits_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("namesChanged");
        QTest::newRow("nothing") << "" << QStringList{"a", "b", "c"} << false;
        QTest::newRow("text of the sorted column") << "text" << QStringList{"b", "c", "z"} << true;
        QTest::newRow("text of another column") << "other" << QStringList{"a", "b", "c"} << false;
        QTest::newRow("row added") << "add" << QStringList{"0", "a", "b", "c"} << true;
        QTest::newRow("row removed") << "remove" << QStringList{"b", "c"} << true;
        QTest::newRow("sorted by another column") << "resort" << QStringList{"a", "b", "c"} << true;
        QTest::newRow("sorted column moved away") << "move" << QStringList{"a", "b", "c"} << true;
    }

    void sortAgainAfterEdits()
    {
        QFETCH(QString, edit);
        QFETCH(QStringList, expected);
        QFETCH(bool, namesChanged);
        GridData grid = namedValues({"c", "a", "b"});
        grid.setCols(3);
        for (int r = 1; r < grid.rows(); ++r)
            grid.setText(r, 2, QString::number(10 - r));
        grid.sortRows(1, SortMode::GenericAscending, 1);
        const quint64 sorted = grid.rowNamesVersion();
        if (edit == u"text")
            grid.setText(1, 1, QStringLiteral("z"));
        else if (edit == u"other")
            grid.setText(1, 2, QStringLiteral("99"));
        else if (edit == u"add")
            grid.addRow({QStringLiteral("r9"), QStringLiteral("0")});
        else if (edit == u"remove")
            grid.removeRow(1);
        else if (edit == u"resort")
            grid.sortRows(2, SortMode::GenericAscending, 1);
        else if (edit == u"move")
            grid.moveColumnToEnd(0);  // the values land in column 0, the names at the end
        const int valueCol = edit == u"move" ? 0 : 1;
        grid.sortRows(valueCol, SortMode::GenericAscending, 1);
        QCOMPARE(column(grid, valueCol), expected);
        QCOMPARE(grid.rowNamesVersion() != sorted, namesChanged);
        // The order equals that of a grid sorted once from scratch.
        GridData fresh;
        fresh.setCols(grid.cols());
        fresh.setRows(1);
        fresh.setFixedRows(1);
        for (int r = 1; r < grid.rows(); ++r)
            fresh.addRow(grid.rowTexts(r));
        fresh.sortRows(valueCol, SortMode::GenericAscending, 1);
        for (int r = 1; r < grid.rows(); ++r)
            QCOMPARE(grid.rowTexts(r), fresh.rowTexts(r));
    }

    // The name index finds a row exactly when the names compare equal under
    // its rule, as QString::compare has it, beyond ASCII too.
    void rowNameIndexFollowsTheCompare_data()
    {
        QTest::addColumn<QString>("filed");
        QTest::addColumn<QString>("sought");
        QTest::newRow("same") << "Maximum Packet Receive Buffers"
                              << "Maximum Packet Receive Buffers";
        QTest::newRow("other case") << "Maximum Packet Receive Buffers"
                                    << "MAXIMUM PACKET RECEIVE BUFFERS";
        QTest::newRow("one letter differs") << "Maximum Packet Receive Buffers"
                                            << "Maximum Packet Receive Buffert";
        QTest::newRow("longer") << "CLIB.NLM"
                                << "CLIB.NLM2";
        QTest::newRow("trailing zero") << "abc" << QString(QStringLiteral("abc") + QChar(0));
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("empty and blank") << ""
                                         << " ";
        QTest::newRow("signs around letters") << "@[`{"
                                              << "@[`{";
        QTest::newRow("signs next to letters") << "["
                                               << "{";
        QTest::newRow("accented") << QString::fromUtf8("Überlauf Prüfung") << QString::fromUtf8("üBERLAUF PRÜFUNG");
        QTest::newRow("Kelvin sign") << QString::fromUtf8("\u212Aelvin") << "kelvin";
        QTest::newRow("Deseret") << QString::fromUtf8("\U00010400x") << QString::fromUtf8("\U00010428X");
        QTest::newRow("sharp s") << QString::fromUtf8("Straße") << "STRASSE";
    }

    void rowNameIndexFollowsTheCompare()
    {
        QFETCH(QString, filed);
        QFETCH(QString, sought);
        for (const Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
            models::RowNameIndex index(cs);
            index.add(QStringLiteral("another name"), 1);
            index.add(filed, 7);
            const bool equal = QString::compare(filed, sought, cs) == 0;
            QCOMPARE(index.find(sought), equal ? 7 : -1);
            QCOMPARE(index.find(filed), 7);
        }
    }

    // Many names, some repeated in another case: each keeps its first row.
    void rowNameIndexKeepsFirstRows()
    {
        GridData grid;
        grid.setCols(1);
        grid.setRows(1);
        grid.setFixedRows(1);
        for (int i = 0; i < 1000; ++i)
            grid.addRow({QStringLiteral("Module%1.NLM").arg(i)});
        grid.addRow({QStringLiteral("module5.nlm")});
        models::RowNameIndex index(Qt::CaseInsensitive);
        index.rebuild(grid, 1);
        QCOMPARE(index.size(), 1000);
        for (int i = 0; i < 1000; i += 37)
            QCOMPARE(index.find(QStringLiteral("MODULE%1.NLM").arg(i)), i + 1);
        QCOMPARE(index.find(u"module5.nlm"), 6);
        QCOMPARE(index.add(QStringLiteral("MODULE5.NLM"), 2000), 6);
        QCOMPARE(index.find(u"Module1000.NLM"), -1);
        models::RowNameIndex exact(Qt::CaseSensitive);
        exact.rebuild(grid, 1);
        QCOMPARE(exact.find(u"module5.nlm"), 1001);
    }

    void movesAndRemovesColumns()
    {
        GridData grid;
        grid.setCols(4);
        grid.setRows(2);
        for (int c = 0; c < 4; ++c) {
            grid.setText(0, c, QString(QChar(u'A' + c)));
            grid.setText(1, c, QString::number(c));
            grid.setColWidth(c, 100 * (c + 1));
        }
        grid.setColAlignment(1, Qt::AlignRight);
        grid.moveColumnToEnd(1);
        QCOMPARE(grid.rowTexts(0), (QStringList{"A", "C", "D", "B"}));
        QCOMPARE(grid.rowTexts(1), (QStringList{"0", "2", "3", "1"}));
        QCOMPARE(grid.colWidth(3), 200);
        QCOMPARE(grid.colAlignment(3) & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        QVERIFY(grid.removeColumn(0));
        QCOMPARE(grid.rowTexts(1), (QStringList{"2", "3", "1"}));
        QCOMPARE(grid.colWidth(0), 300);
        QVERIFY(!grid.removeColumn(5));
    }

    void selectionIsClampedAndNormalised()
    {
        FlexGridModel model;
        model.setCols(4);
        model.setRows(6);
        model.select(5, 3, 2, 1);
        const models::CellRange range = model.selectedRange();
        QCOMPARE(QList<int>({range.top, range.left, range.bottom, range.right}), QList<int>({2, 1, 5, 3}));
        model.select(99, -4, -1, 17);
        QCOMPARE(QList<int>({model.row(), model.col(), model.rowSel(), model.colSel()}), QList<int>({5, 0, 0, 3}));
        model.setRows(3);
        QCOMPARE(model.row(), 2);
    }

    void newGridStartsOnItsFirstDataRow()
    {
        // As filled by a comparison: a header row, then data rows added one by one.
        FlexGridModel model;
        fillNamed(model, 2, 0);
        QCOMPARE(model.row(), 0);  // nothing but the header yet
        model.addRow({QStringLiteral("CLIB.NLM"), QStringLiteral("1")});
        model.addRow({QStringLiteral("TCPIP.NLM"), QStringLiteral("2")});
        QCOMPARE(QList<int>({model.row(), model.rowSel()}), QList<int>({1, 1}));
        // A current row chosen on purpose stays where it was put.
        model.select(0, 0, 0, 0);
        model.addRow({QStringLiteral("DS.NLM"), QStringLiteral("3")});
        QCOMPARE(model.row(), 0);
    }

    void hiddenRowsLeaveTheModel()
    {
        FlexGridModel model;
        fillNamed(model, 2, 6);
        model.setRowHeight(2, 0);
        model.setRowHeight(5, 0);
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(model.viewRow(5), -1);
        QCOMPARE(model.gridRow(2), 4);
        verifyModelRows(model);
        model.setRowHeight(2, model.rowHeight(0));
        QCOMPARE(model.viewRow(2), 1);
        verifyModelRows(model);

        // Every change of rows keeps the model in step with the shown ones.
        model.setRowHeight(3, 0);
        model.addRow({QStringLiteral("inserted")}, 2);
        verifyModelRows(model);
        model.removeRow(1);
        model.removeRow(model.rows() - 1);
        verifyModelRows(model);
        model.sortRows(0, SortMode::StringDescending, 1);
        verifyModelRows(model);
        model.setTextMatrix(2, 1, QString());
        QCOMPARE(model.removeEmptyRows(), 2);  // the cleared row and "inserted", which had no value
        verifyModelRows(model);
    }

    void batchAnnouncesOnce()
    {
        FlexGridModel model;
        model.setCols(10);
        model.setRows(501);
        model.setFixedRows(1);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);

        model.beginUpdate();
        for (int r = 1; r < 501; ++r)
            for (int c = 2; c < 9; ++c)
                model.setTextMatrix(r, c, QString::number(r * c));
        model.endUpdate();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(reset.count(), 0);
        const auto args = changed.takeFirst();
        QCOMPARE(args.at(0).toModelIndex(), model.index(0, 2));
        QCOMPARE(args.at(1).toModelIndex(), model.index(499, 8));

        model.beginUpdate();
        for (int r = 1; r < 501; r += 2)
            model.setRowHeight(r, 0);
        model.addRow({"late"});
        model.endUpdate();
        QCOMPARE(reset.count(), 1);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(model.rowCount(), 251);
        verifyModelRows(model);
    }

    // A batch that appends columns and inserts rows (sorted in among rows
    // already in order) is announced as insertions; anything that moves or
    // drops the rows the views show resets the model.
    void batchOfInsertionsKeepsTheViews_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<bool>("resets");
        QTest::addColumn<QStringList>("names");
        // Steps: "+x" appends row x, "^x" inserts it at the first data row,
        // "c" appends a column, "s" sorts by name, "h" hides the first data
        // row, "S" sorts by name descending.
        QTest::newRow("rows appended") << "+e +f" << false << QStringList{"b", "d", "a", "c", "e", "f"};
        QTest::newRow("column and rows") << "c +e c" << false << QStringList{"b", "d", "a", "c", "e"};
        QTest::newRow("sorted in among sorted rows")
            << "s +0 +bb +z s" << false << QStringList{"0", "a", "b", "bb", "c", "d", "z"};
        QTest::newRow("inserted at the top") << "^x c ^y" << false << QStringList{"y", "x", "b", "d", "a", "c"};
        QTest::newRow("old rows reordered") << "+e s" << true << QStringList{"a", "b", "c", "d", "e"};
        QTest::newRow("row hidden") << "+e h" << true << QStringList{"d", "a", "c", "e"};
        QTest::newRow("descending") << "+e S" << true << QStringList{"e", "d", "c", "b", "a"};
    }

    void batchOfInsertionsKeepsTheViews()
    {
        QFETCH(QString, steps);
        QFETCH(bool, resets);
        QFETCH(QStringList, names);
        FlexGridModel model;
        fillNamed(model, 2, 0);
        const bool startSorted = steps.startsWith(u's');
        for (const char* name : {"b", "d", "a", "c"})
            model.addRow({QString::fromLatin1(name)});
        if (startSorted) {
            model.sortRows(0, models::SortMode::StringNoCaseAscending, 1);
            steps = steps.mid(2);
        }
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        QSignalSpy rowsInserted(&model, &QAbstractItemModel::rowsInserted);

        model.beginUpdate();
        for (const QString& step : steps.split(u' ')) {
            if (step.startsWith(u'+'))
                model.addRow({step.mid(1), step.mid(1)});
            else if (step.startsWith(u'^'))
                model.addRow({step.mid(1), step.mid(1)}, 1);
            else if (step == u"c")
                model.setCols(model.cols() + 1);
            else if (step == u"s")
                model.sortRows(0, models::SortMode::StringNoCaseAscending, 1);
            else if (step == u"S")
                model.sortRows(0, models::SortMode::StringNoCaseDescending, 1);
            else if (step == u"h")
                model.setRowHeight(1, 0);
        }
        model.endUpdate();

        QCOMPARE(reset.count() > 0, resets);
        if (!resets)
            QVERIFY(rowsInserted.count() > 0);
        QCOMPARE(model.columnCount(), model.cols());
        verifyModelRows(model);
        QStringList shown;
        for (int v = 0; v < model.rowCount(); ++v)
            shown.append(model.data(model.index(v, 0)).toString());
        QCOMPARE(shown, names);
    }

    void fixedRowsBecomeHeaderLines()
    {
        FlexGridModel model;
        model.setCols(3);
        model.setRows(2);
        model.setFixedRows(2);
        model.setTextMatrix(0, 1, QStringLiteral("FS1"));
        model.setTextMatrix(1, 1, QStringLiteral("Version"));
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("FS1\nVersion"));
        QCOMPARE(model.rowCount(), 0);
        QSignalSpy header(&model, &QAbstractItemModel::headerDataChanged);
        model.setTextMatrix(1, 2, QStringLiteral("Date"));
        QCOMPARE(header.count(), 1);
    }

    void readsOutsideTheGridAreEmpty()
    {
        FlexGridModel model;
        model.setCols(2);
        model.setRows(2);
        model.setTextMatrix(7, 7, QStringLiteral("lost"));
        QCOMPARE(model.textMatrix(-1, 0), QString());
        QCOMPARE(model.textMatrix(7, 7), QString());
        model.removeRow(9);
        model.setRowHeight(-3, 0);
        QCOMPARE(model.rows(), 2);
    }

    void widgetHidesZeroWidthColumns()
    {
        FlexGrid grid;
        fillNamed(grid.model(), 4, 2);
        grid.model().setColWidth(2, 0);
        QVERIFY(grid.tableView()->isColumnHidden(2));
        QVERIFY(!grid.tableView()->isColumnHidden(1));
        grid.model().setColWidth(2, 1125);
        QVERIFY(!grid.tableView()->isColumnHidden(2));
        QCOMPARE(grid.tableView()->columnWidth(2), texts::twipsToPixels(1125, settings::columnDotsPerInch(&grid)));
    }

    void fitLeavesHalfBesideTheFrozenColumns_data()
    {
        QTest::addColumn<int>("servers");
        QTest::newRow("one server so far") << 1;
        QTest::newRow("three servers") << 3;
        QTest::newRow("ten servers") << 10;
        QTest::newRow("four hundred servers") << 400;
    }
    void fitLeavesHalfBesideTheFrozenColumns()
    {
        // A comparison: long names and categories frozen, a long value per server.
        QFETCH(int, servers);
        FlexGrid grid;
        grid.resize(520, 300);
        grid.model().setCols(2 + servers);
        grid.model().setRows(1);
        grid.model().setFixedRows(1);
        grid.model().setFixedCols(2);
        const QString longText = QStringLiteral("Maximum Concurrent Disk Cache Writes Per Volume");
        for (int row = 0; row < 5; ++row) {
            QStringList cells{longText + QString::number(row), QStringLiteral("File System Category")};
            for (int col = 0; col < servers; ++col)
                cells.append(QStringLiteral("(NOVEMBER SUNDAY FIRST 2:00:00 AM)"));
            grid.model().addRow(cells);
        }
        widgets::fitGridColumns(grid);
        const double dpi = settings::columnDotsPerInch(&grid);
        const auto pixels = [&](int col) { return texts::twipsToPixels(grid.model().colWidth(col), dpi); };
        const int frozen = pixels(0) + pixels(1);
        QVERIFY2(frozen <= grid.width() / 2 + 2, qPrintable(QString::number(frozen)));
        // The names need more than half the grid: they get close to half,
        // however many servers scroll beside them.
        QVERIFY2(frozen >= grid.width() / 2 - 40, qPrintable(QString::number(frozen)));
        QVERIFY(pixels(1) >= widgets::kMinFittedColumn - 1);
        int scrolled = 0;
        for (int col = 2; col < grid.model().cols(); ++col) {
            QVERIFY(pixels(col) >= widgets::kMinSharedColumn - 2);
            scrolled += pixels(col);
        }
        // The value columns share the rest.
        if (servers * widgets::kMinSharedColumn <= grid.width() - frozen)
            QVERIFY(scrolled <= grid.width() - frozen + 2 * servers);
    }

    void sharesTheRoom_data()
    {
        QTest::addColumn<QList<int>>("needs");
        QTest::addColumn<int>("frozenCount");  // the first ones are frozen
        QTest::addColumn<int>("available");
        QTest::addColumn<QList<int>>("widths");

        // Everything fits: each keeps its need, the spare width is shared in proportion.
        QTest::newRow("room to spare") << QList<int>{100, 50, 50} << 0 << 400 << QList<int>{200, 100, 100};
        QTest::newRow("exactly") << QList<int>{100, 50} << 1 << 150 << QList<int>{100, 50};
        QTest::newRow("below the least") << QList<int>{10, 90} << 0 << 130 << QList<int>{40, 90};
        // Too wide: the narrow stay whole, the widest are cut to one limit.
        QTest::newRow("one long value") << QList<int>{80, 60, 900} << 0 << 500 << QList<int>{80, 60, 360};
        QTest::newRow("two long values") << QList<int>{80, 700, 900} << 0 << 500 << QList<int>{80, 210, 210};
        // Frozen columns keep at most half while others exist.
        QTest::newRow("long frozen name") << QList<int>{600, 150, 150} << 1 << 600 << QList<int>{300, 150, 150};
        QTest::newRow("frozen take what is left")
            << QList<int>{283, 97, 112, 112} << 2 << 506 << QList<int>{185, 97, 112, 112};
        // Many servers: the view scrolls, and the values are cut no more than any fitted column.
        QTest::newRow("many columns") << QList<int>{100, 300, 90, 300, 300} << 1 << 400
                                      << QList<int>{100, widgets::kMaxFittedColumn, 90, widgets::kMaxFittedColumn,
                                                    widgets::kMaxFittedColumn};
    }
    void sharesTheRoom()
    {
        QFETCH(QList<int>, needs);
        QFETCH(int, frozenCount);
        QFETCH(int, available);
        QFETCH(QList<int>, widths);
        std::vector<widgets::ColumnNeed> columns;
        for (int i = 0; i < needs.size(); ++i)
            columns.push_back({needs.at(i), i < frozenCount});
        const std::vector<int> shared = widgets::shareColumnWidths(columns, available);
        QCOMPARE(QList<int>(shared.begin(), shared.end()), widths);
    }

    // A drag of a column's edge in the heading is the user's width; widths
    // set by the program are not. A double-click on an edge asks for a fit.
    void headingTellsWhatTheUserDid()
    {
        FlexGrid grid;
        grid.resize(500, 200);
        fillNamed(grid.model(), 3, 4);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QSignalSpy byHand(&grid, &FlexGrid::columnSizedByHand);
        QSignalSpy fit(&grid, &FlexGrid::fitRequested);
        grid.model().setColWidth(1, 2000);
        QCOMPARE(byHand.count(), 0);

        QHeaderView* header = grid.tableView()->horizontalHeader();
        const QPoint edge(header->sectionViewportPosition(2) + header->sectionSize(2) - 1, header->height() / 2);
        QTest::mousePress(header->viewport(), Qt::LeftButton, {}, edge);
        QMouseEvent move(QEvent::MouseMove, QPointF(edge + QPoint(30, 0)),
                         header->viewport()->mapToGlobal(QPointF(edge + QPoint(30, 0))), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(header->viewport(), &move);
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, edge + QPoint(30, 0));
        QVERIFY(byHand.count() >= 1);
        QCOMPARE(byHand.constLast().at(0).toInt(), 2);
        byHand.clear();
        grid.model().setColWidth(2, 900);
        QCOMPARE(byHand.count(), 0);

        const QPoint newEdge(header->sectionViewportPosition(2) + header->sectionSize(2) - 1, header->height() / 2);
        QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, newEdge);
        QCOMPARE(fit.count(), 1);
    }

    void widgetReportsCellUnderMouse()
    {
        FlexGrid grid;
        grid.resize(500, 300);
        fillNamed(grid.model(), 3, 20);
        grid.model().setFixedRows(2);  // grid row 1 becomes the second header line
        grid.model().setTextMatrix(0, 1, QStringLiteral("FS1"));
        grid.model().setTextMatrix(1, 1, QStringLiteral("Version"));
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));

        QSignalSpy down(&grid, &FlexGrid::mouseDown);
        QTableView* view = grid.tableView();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(grid.model().index(3, 2)).center());
        QCOMPARE(down.count(), 1);
        QCOMPARE(down.at(0).at(2).toInt(), 5);  // model row 3 is grid row 5
        QCOMPARE(down.at(0).at(3).toInt(), 2);
        QCOMPARE(grid.model().row(), 5);
        QCOMPARE(grid.model().col(), 2);

        // The two header lines report grid rows 0 and 1.
        QHeaderView* header = view->horizontalHeader();
        const int x = header->sectionViewportPosition(2) + 5;
        QTest::mouseClick(header->viewport(), Qt::RightButton, {}, QPoint(x, header->height() - 3));
        QCOMPARE(down.count(), 2);
        QCOMPARE(down.at(1).at(0).value<Qt::MouseButton>(), Qt::RightButton);
        QCOMPARE(down.at(1).at(2).toInt(), 1);
        QCOMPARE(down.at(1).at(3).toInt(), 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, 2));
        QCOMPARE(down.at(2).at(2).toInt(), 0);
    }

    void keyboardAsksForTheMenuAndExtendsTheSelection()
    {
        FlexGrid grid;
        grid.resize(500, 300);
        fillNamed(grid.model(), 2, 8);  // grid rows 1..8
        grid.model().setRowHeight(4, 0);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QTableView* view = grid.tableView();
        grid.model().select(2, 1, 2, 1);

        // The menu key and Shift+F10 press the right button on the current cell.
        QSignalSpy down(&grid, &FlexGrid::mouseDown);
        QSignalSpy up(&grid, &FlexGrid::mouseUp);
        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(), QPoint());
        QApplication::sendEvent(view, &menuKey);
        QTest::keyClick(view, Qt::Key_F10, Qt::ShiftModifier);
        QCOMPARE(down.count(), 2);
        QCOMPARE(up.count(), 2);
        for (const QList<QVariant>& press : down) {
            QCOMPARE(press.at(0).value<Qt::MouseButton>(), Qt::RightButton);
            QCOMPARE(press.at(2).toInt(), 2);
            QCOMPARE(press.at(3).toInt(), 1);
        }
        const QRect cell = view->visualRect(grid.model().index(grid.model().viewRow(2), 1));
        QCOMPARE(view->viewport()->mapFromGlobal(grid.menuPosition()), cell.center());
        // F10 alone is no menu request.
        QTest::keyClick(view, Qt::Key_F10);
        QCOMPARE(down.count(), 2);
        // With Ctrl the press goes to the heading of the current column.
        QTest::keyClick(view, Qt::Key_F10, Qt::ShiftModifier | Qt::ControlModifier);
        QCOMPARE(down.count(), 3);
        QCOMPARE(down.at(2).at(2).toInt(), 0);
        QCOMPARE(down.at(2).at(3).toInt(), 1);
        QHeaderView* header = view->horizontalHeader();
        QCOMPARE(header->viewport()->mapFromGlobal(grid.menuPosition()),
                 QPoint(header->sectionViewportPosition(1) + header->sectionSize(1) / 2, header->height() / 2));
        QCOMPARE(grid.model().row(), 2);

        // Shift+Down moves the selection end over the hidden row; the current row stays.
        QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(grid.model().row(), 2);
        QCOMPARE(grid.model().rowSel(), 5);
        QTest::keyClick(view, Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(grid.model().rowSel(), 3);
        // Never into the header.
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(view, Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(grid.model().rowSel(), 1);
        QCOMPARE(grid.model().row(), 2);

        // Shift+click extends from the current row too; a plain arrow starts afresh.
        const QRect seventh = view->visualRect(grid.model().index(grid.model().viewRow(7), 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ShiftModifier, seventh.center());
        QCOMPARE(grid.model().row(), 2);
        QCOMPARE(grid.model().rowSel(), 7);
        QCOMPARE(grid.model().selectedRange().top, 2);
        QCOMPARE(grid.model().selectedRange().bottom, 7);
    }

    void hiddenCurrentRowKeepsItsColumnOnFocus()
    {
        // A column chosen while its first rows are filtered out stays chosen
        // when the grid gets the focus back (as after a pop-up menu).
        QWidget window;
        auto* grid = new FlexGrid(&window);
        auto* other = new QWidget(&window);
        other->setFocusPolicy(Qt::StrongFocus);
        grid->resize(400, 300);
        fillNamed(grid->model(), 4, 5);
        grid->model().setFixedCols(1);
        other->setFocus();
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        // A filter hides the first rows in one batch, as the comparisons do.
        grid->model().beginUpdate();
        grid->model().setRowHeight(1, 0);
        grid->model().setRowHeight(2, 0);
        grid->model().endUpdate();
        grid->model().select(1, 2, grid->model().rows() - 1, 2);
        grid->tableView()->setFocus();
        QVERIFY(grid->tableView()->hasFocus());
        QCOMPARE(grid->model().col(), 2);
        QCOMPARE(grid->model().colSel(), 2);
        QCOMPARE(grid->model().row(), 1);
        QCOMPARE(grid->model().rowSel(), grid->model().rows() - 1);
    }

    void widgetScrollsRowToTop()
    {
        FlexGrid grid;
        grid.resize(300, 200);
        fillNamed(grid.model(), 2, 200);
        grid.model().setRowHeight(10, 0);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QVERIFY(grid.isRowVisible(1));
        QVERIFY(!grid.isRowVisible(150));
        QVERIFY(!grid.isRowVisible(10));
        grid.setTopRow(150);
        QCOMPARE(grid.topRow(), 150);
        QVERIFY(grid.isRowVisible(150));
        QVERIFY(!grid.isRowVisible(1));
        QVERIFY(grid.isRowVisible(0));  // header rows stay in place

        grid.model().sortRows(1, SortMode::NumericAscending, 1);
        QCOMPARE(grid.topRow(), 150);  // re-sorting keeps the scroll position
    }

    void widgetHighlightsSelection()
    {
        FlexGrid grid;
        fillNamed(grid.model(), 3, 6);
        grid.model().setRowHeight(3, 0);
        grid.model().select(2, 0, 5, 2);
        QItemSelectionModel* selection = grid.tableView()->selectionModel();
        QCOMPARE(selection->selectedIndexes().size(), 3 * 3);  // rows 2, 4, 5; row 3 is hidden
        grid.model().setHighlight(false);
        QVERIFY(selection->selectedIndexes().isEmpty());
        QCOMPARE(grid.model().selectedRange().bottom, 5);
    }

    // Redraw off in the widget and a batch opened on its model nest: the
    // edits are announced once, when the last of them ends, and switching
    // redraw on more often than off never ends a batch someone else opened.
    void redrawSwitchNestsWithModelBatches()
    {
        FlexGrid grid;
        fillNamed(grid.model(), 2, 4);
        QSignalSpy changed(&grid.model(), &QAbstractItemModel::dataChanged);
        QVERIFY(grid.redraw());

        grid.setRedraw(false);
        grid.model().beginUpdate();
        grid.model().setTextMatrix(1, 1, QStringLiteral("a"));
        grid.setRedraw(true);
        grid.setRedraw(true);  // one more than was switched off
        QVERIFY(!grid.redraw());
        grid.model().setTextMatrix(4, 1, QStringLiteral("b"));
        QCOMPARE(changed.count(), 0);
        grid.model().endUpdate();
        QVERIFY(grid.redraw());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(grid.model().textMatrix(4, 1), QStringLiteral("b"));

        // Switched off, then on again with the model's own batch closed first.
        grid.setRedraw(false);
        grid.model().beginUpdate();
        grid.model().setTextMatrix(2, 1, QStringLiteral("c"));
        grid.model().endUpdate();
        QVERIFY(!grid.redraw());
        QCOMPARE(changed.count(), 1);
        grid.setRedraw(true);
        QVERIFY(grid.redraw());
        QCOMPARE(changed.count(), 2);
    }

    // The column fit measured one column per slice sets the same widths as
    // one pass: shown rows only, hidden columns left alone, texts repeated
    // across columns measured once, long texts held at the most any column
    // is taken to need; and the views learn of the widths once.
    void columnFitInSlicesMatchesOnePass()
    {
        const auto make = [](FlexGrid& grid) {
            grid.resize(2400, 600);  // room for every needed width: nothing cut
            grid.model().setCols(6);
            grid.model().setRows(1);
            grid.model().setFixedRows(1);
            grid.model().setFixedCols(1);
            for (int c = 0; c < 6; ++c)
                grid.model().setTextMatrix(0, c, QStringLiteral("Server %1").arg(c));
            for (int r = 0; r < 30; ++r)
                grid.model().addRow({QStringLiteral("module%1.nlm").arg(r), QStringLiteral("5.0.%1").arg(r % 3),
                                     r == 7 ? QString(300, QLatin1Char('W')) : QStringLiteral("  12.4.2008"),
                                     QStringLiteral("5.0.%1").arg(r % 3), QString(), QStringLiteral("x")});
            grid.model().setRowHeight(12, 0);
            grid.model().setTextMatrix(12, 5, QString(40, QLatin1Char('M')));  // hidden: not measured
            grid.model().setColWidth(4, 0);
        };
        FlexGrid onePass;
        make(onePass);
        widgets::fitGridColumns(onePass);

        FlexGrid sliced;
        make(sliced);
        QSignalSpy widths(&sliced.model(), &FlexGridModel::columnWidthChanged);
        widgets::GridColumnFit fit(sliced);
        int steps = 1;
        while (!fit.step(std::chrono::nanoseconds(0)))
            ++steps;
        QCOMPARE(steps, 5);  // one per shown column but the last, which ends the fit
        QCOMPARE(widths.count(), 1);
        for (int c = 0; c < 6; ++c)
            QCOMPARE(sliced.model().colWidth(c), onePass.model().colWidth(c));
        QCOMPARE(sliced.model().colWidth(4), 0);
        const double dpi = settings::columnDotsPerInch(&sliced);
        QVERIFY(texts::twipsToPixels(sliced.model().colWidth(2), dpi) >= widgets::kMaxNeededColumn);
        QVERIFY(texts::twipsToPixels(sliced.model().colWidth(5), dpi) < widgets::kMaxFittedColumn);
    }
};

VESKARO_TEST_MAIN(TestFlexGrid)
#include "test_flexgrid.moc"

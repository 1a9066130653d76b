// Which cells of the module and SET comparisons differ from their row's most
// common value, how the windows show it (marks, status bar, menu toggle), and
// that none of it changes what Save writes.

#include "export/WidgetExport.h"
#include "models/RowDifferences.h"
#include "settings/Registry.h"
#include "support/SavedText.h"
#include "support/FakeViewHost.h"
#include "support/MemoryRegistry.h"
#include "support/SimNetwork.h"
#include "support/TestContext.h"
#include "support/TestMain.h"
#include "views/ComparisonDifferences.h"
#include "views/DifferenceMarks.h"
#include "views/NlmWindow.h"
#include "views/SetCommandsWindow.h"
#include "viewbase/ViewMenus.h"
#include "widgets/FlexGrid.h"

#include <QAction>
#include <QBuffer>
#include <QCheckBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

#include <memory>

using models::CellMark;
using Marks = QList<CellMark>;

Q_DECLARE_METATYPE(CellMark)

using testing::savedText;

namespace {

Marks marksOf(const models::RowComparison& comparison)
{
    return Marks(comparison.marks.begin(), comparison.marks.end());
}

// A module comparison grid: per server a version and a date column.
models::GridData nlmGrid(const QList<QStringList>& rows, int servers)
{
    models::GridData grid;
    grid.setCols(1 + 2 * servers);
    grid.setRows(2);
    grid.setFixedRows(2);
    grid.setFixedCols(1);
    for (const QStringList& cells : rows)
        grid.addRow(cells);
    return grid;
}

models::GridData setGrid(const QList<QStringList>& rows, int servers)
{
    models::GridData grid;
    grid.setCols(2 + servers);
    grid.setRows(1);
    grid.setFixedRows(1);
    grid.setFixedCols(2);
    for (const QStringList& cells : rows)
        grid.addRow(cells);
    return grid;
}

const QByteArray kNetwork = R"({
  "format": 1,
  "workstation": { "tree": "ACME_TREE", "logins": { "ACME_TREE": "admin.ACME" } },
  "trees": [ { "name": "ACME_TREE", "containers": [ { "name": "ACME", "class": "Organization" } ] } ],
  "servers": [
    { "name": "FS1", "tree": "ACME_TREE",
      "nlms": [ { "file": "CLIB.NLM", "version": "5.0.8", "date": "2008-03-14" },
                { "file": "DS.NLM", "version": "10.1.0", "date": "2009-01-05" } ],
      "setParameters": [ { "name": "Maximum Packet Receive Buffers", "type": 0, "value": 500 },
                { "name": "Allow Unencrypted Passwords", "category": 10, "type": 1, "value": false } ] },
    { "name": "FS2", "tree": "ACME_TREE",
      "nlms": [ { "file": "clib.nlm", "version": "5.0.8", "date": "2008-03-14" },
                { "file": "DS.NLM", "version": "10.2.0", "date": "2009-01-05" } ],
      "setParameters": [ { "name": "MAXIMUM PACKET RECEIVE BUFFERS", "type": 0, "value": 1000 },
                { "name": "Allow Unencrypted Passwords", "category": 10, "type": 1, "value": false } ] },
    { "name": "FS3", "tree": "ACME_TREE",
      "nlms": [ { "file": "CLIB.NLM", "version": "5.0.8", "date": "2008-03-14" },
                { "file": "DS.NLM", "version": "10.1.0", "date": "2009-01-05" } ],
      "setParameters": [ { "name": "Maximum Packet Receive Buffers", "type": 0, "value": 500 },
                { "name": "Allow Unencrypted Passwords", "category": 10, "type": 1, "value": false } ] } ] })";

struct Fixture {
    Fixture() : client(testing::makeNetwork(kNetwork)), test(*client, registry), host(test.context)
    {
        registry.createKey(settings::Hive::CurrentUser, settings::kRootKey);
    }
    std::unique_ptr<nw::NetWareClient> client;
    testing::MemoryRegistry registry;
    testing::TestContext test;
    testing::FakeViewHost host;
};

QVariant cellData(widgets::FlexGrid& grid, int gridRow, int col, int role)
{
    const models::FlexGridModel& model = grid.model();
    return model.data(model.index(model.viewRow(gridRow), col), role);
}

}  // namespace

class TestDifferences : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void rowAgainstMostCommonValue_data()
    {
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<bool>("versions");
        QTest::addColumn<bool>("differs");
        QTest::addColumn<QString>("common");
        QTest::addColumn<int>("commonCount");
        QTest::addColumn<Marks>("marks");
        const auto A = CellMark::Agrees, D = CellMark::Differs, M = CellMark::Missing, O = CellMark::Older,
                   N = CellMark::Newer;
        QTest::newRow("all agree") << QStringList{"On", "On", "On"} << false << false << "On" << 3 << Marks{A, A, A};
        QTest::newRow("one number differs")
            << QStringList{"500", "1000", "500"} << false << true << "500" << 2 << Marks{A, D, A};
        QTest::newRow("tie goes to the leftmost value")
            << QStringList{"b", "a", "a", "b"} << false << true << "b" << 2 << Marks{A, D, D, A};
        QTest::newRow("tie the other way round")
            << QStringList{"a", "b", "b", "a"} << false << true << "a" << 2 << Marks{A, D, D, A};
        QTest::newRow("missing parameter")
            << QStringList{"", "Off", "Off"} << false << true << "Off" << 2 << Marks{M, A, A};
        QTest::newRow("module on one server of three")
            << QStringList{"", "5.00h", ""} << true << true << "5.00h" << 1 << Marks{M, A, M};
        QTest::newRow("older and newer versions") << QStringList{"     5.00h", "     5.00g", "     5.00h", "     5.01"}
                                                  << true << true << "     5.00h" << 2 << Marks{A, O, A, N};
        QTest::newRow("revision letter beats no letter")
            << QStringList{"    10.01", "   10.01a", "    10.01"} << true << true << "    10.01" << 2 << Marks{A, N, A};
        QTest::newRow("major before minor")
            << QStringList{"9.99z", "10.00", "10.00"} << true << true << "10.00" << 2 << Marks{O, A, A};
        QTest::newRow("texts without order only differ")
            << QStringList{"SYS:ETC", "sys:etc", "SYS:ETC"} << false << true << "SYS:ETC" << 2 << Marks{A, D, A};
    }
    void rowAgainstMostCommonValue()
    {
        QFETCH(QStringList, cells);
        QFETCH(bool, versions);
        const models::RowComparison result = models::compareRowCells(
            cells, versions ? models::CellOrder(views::compareNlmVersions) : models::CellOrder());
        QTEST(result.differs, "differs");
        QTEST(result.common, "common");
        QTEST(result.commonCount, "commonCount");
        QTEST(marksOf(result), "marks");
        QCOMPARE(result.cellCount, cells.size());
        // The same row always gives the same verdict.
        QCOMPARE(marksOf(models::compareRowCells(cells, versions ? models::CellOrder(views::compareNlmVersions)
                                                                 : models::CellOrder())),
                 marksOf(result));
    }

    void nlmCellsByShownKind()
    {
        // Three servers: versions differ on FS2 (older), dates agree; a module missing on FS3.
        const models::GridData grid = nlmGrid({{"CLIB.NLM", "5.00h", "3/14/08", "5.00g", "3/14/08", "5.00h", "3/14/08"},
                                               {"TCPIP.NLM", "3.01a", "6/1/06", "3.01a", "6/1/06", "", ""}},
                                              3);
        using views::NlmShow;
        QCOMPARE(views::nlmCellDifference(grid, 2, 3, NlmShow::Both).mark, CellMark::Older);
        QCOMPARE(views::nlmCellDifference(grid, 2, 4, NlmShow::Both).mark, CellMark::Agrees);
        QVERIFY(views::nlmCellDifference(grid, 2, 0, NlmShow::Both).rowDiffers);
        // Only dates shown: the row agrees.
        QVERIFY(!views::nlmCellDifference(grid, 2, 0, NlmShow::Date).rowDiffers);
        QVERIFY(!views::nlmCellDifference(grid, 2, 3, NlmShow::Date).rowDiffers);
        QCOMPARE(views::nlmCellDifference(grid, 3, 6, NlmShow::Date).mark, CellMark::Missing);
        QCOMPARE(views::nlmCellDifference(grid, 3, 5, NlmShow::Version).mark, CellMark::Missing);
        QCOMPARE(views::nlmCellDifference(grid, 3, 6, NlmShow::Version).mark, CellMark::Agrees);
        const models::CellDifference older = views::nlmCellDifference(grid, 2, 3, NlmShow::Version);
        QCOMPARE(older.commonCount, 2);
        QCOMPARE(older.cellCount, 3);
        QVERIFY(models::differenceToolTip(older).startsWith(QStringLiteral("2 of 3 servers share")));
        // Headers and hidden kinds are never marked.
        QVERIFY(!views::nlmCellDifference(grid, 1, 3, NlmShow::Both).rowDiffers);
        QCOMPARE(views::countNlmDifferingRows(grid, NlmShow::Both).differing, 2);
        QCOMPARE(views::countNlmDifferingRows(grid, NlmShow::Both).total, 2);
    }

    void setCellsAgainstMostCommonValue()
    {
        const models::GridData grid = setGrid({{"Maximum Packet Receive Buffers", "Comm", "500", "1000", "500"},
                                               {"Allow Unencrypted Passwords", "Misc", "Off", "Off", "Off"},
                                               {"Console Display Watchdog Logouts", "NCP", "", "On", "On"},
                                               {"Default Time Server Type", "Time", "SINGLE", "single", "PRIMARY"}},
                                              3);
        QCOMPARE(views::setCellDifference(grid, 1, 3).mark, CellMark::Differs);
        QCOMPARE(views::setCellDifference(grid, 1, 2).mark, CellMark::Agrees);
        QVERIFY(views::setCellDifference(grid, 1, 1).rowDiffers);
        QVERIFY(!views::setCellDifference(grid, 2, 0).rowDiffers);
        QCOMPARE(views::setCellDifference(grid, 3, 2).mark, CellMark::Missing);
        // Three different texts: the leftmost wins the tie.
        QCOMPARE(views::setCellDifference(grid, 4, 2).mark, CellMark::Agrees);
        QCOMPARE(views::setCellDifference(grid, 4, 3).mark, CellMark::Differs);
        QCOMPARE(views::setCellDifference(grid, 4, 4).mark, CellMark::Differs);
        QCOMPARE(views::countSetDifferingRows(grid).differing, 3);
        QCOMPARE(models::differingRowsText(3, 4, false), QStringLiteral("3 of 4 rows differ"));
        QCOMPARE(models::differingRowsText(3, 4, true),
                 QStringLiteral("3 of 4 rows differ; the other rows are hidden"));
    }

    void nlmWindowMarksWithoutChangingSavedText()
    {
        Fixture f;
        f.host.selection = {"FS1", "FS2", "FS3"};
        views::openNLMs(f.host);
        auto* form = views::findView<views::NlmWindow>(f.host);
        QVERIFY(form);
        widgets::FlexGrid& grid = *form->grdNLMs();
        // CLIB.NLM and clib.nlm share a row that agrees; DS differs on FS2 (newer).
        QCOMPARE(grid.model().rows(), 4);
        QCOMPARE(form->lblDifferences()->text(), QStringLiteral("1 of 2 rows differ"));
        const int ds = grid.model().textMatrix(2, 0) == QStringLiteral("DS.NLM") ? 2 : 3;
        QVERIFY(cellData(grid, ds, 3, Qt::BackgroundRole).isValid());
        QVERIFY(cellData(grid, ds, 3, Qt::ToolTipRole).toString().contains(QStringLiteral("2 of 3")));
        QVERIFY(cellData(grid, ds, 0, Qt::DecorationRole).isValid());
        QVERIFY(!cellData(grid, ds, 1, Qt::BackgroundRole).isValid());
        QVERIFY(!cellData(grid, 5 - ds, 0, Qt::DecorationRole).isValid());

        QMdiSubWindow* window = f.host.mdiArea()->subWindowList().first();
        const QString marked = savedText(window);
        QAction* toggle = f.host.viewMenus().markNlmDifferences;
        QVERIFY(toggle && toggle->isChecked());
        toggle->setChecked(false);
        QVERIFY(!cellData(grid, ds, 3, Qt::BackgroundRole).isValid());
        QCOMPARE(savedText(window), marked);
        toggle->setChecked(true);
        QVERIFY(cellData(grid, ds, 3, Qt::BackgroundRole).isValid());

        form->chkNLMDifferencesOnly()->setChecked(true);
        QCOMPARE(form->lblDifferences()->text(), QStringLiteral("1 of 2 rows differ; the other rows are hidden"));
        QVERIFY(savedText(window).contains(QStringLiteral("DS.NLM")));
    }

    void setWindowMarksWithoutChangingSavedText()
    {
        Fixture f;
        f.host.selection = {"FS1", "FS2", "FS3"};
        views::openSetCommands(f.host);
        auto* form = views::findView<views::SetCommandsWindow>(f.host);
        QVERIFY(form);
        widgets::FlexGrid& grid = *form->grdSetCommands();
        QCOMPARE(form->lblDifferences()->text(), QStringLiteral("1 of 2 rows differ"));
        int buffers = 1;
        while (buffers < grid.model().rows()
               && !grid.model().textMatrix(buffers, 0).startsWith(QStringLiteral("Maximum")))
            ++buffers;
        QVERIFY(buffers < grid.model().rows());
        QVERIFY(cellData(grid, buffers, 3, Qt::BackgroundRole).isValid());
        QVERIFY(cellData(grid, buffers, 3, Qt::FontRole).value<QFont>().bold());
        QVERIFY(!cellData(grid, buffers, 2, Qt::BackgroundRole).isValid());

        QMdiSubWindow* window = f.host.mdiArea()->subWindowList().first();
        const QString marked = savedText(window);
        f.host.viewMenus().markSetDifferences->setChecked(false);
        QVERIFY(!cellData(grid, buffers, 3, Qt::BackgroundRole).isValid());
        QCOMPARE(savedText(window), marked);
        f.host.viewMenus().markSetDifferences->setChecked(true);
    }
};

VESKARO_TEST_MAIN(TestDifferences)
#include "test_differences.moc"

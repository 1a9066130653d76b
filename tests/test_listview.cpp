#include "widgets/ReportListView.h"
#include "widgets/ColumnFit.h"
#include "settings/ColumnScale.h"
#include "support/TestMain.h"
#include "text/Twips.h"

#include "models/ReportListModel.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <cmath>

using models::ReportListModel;
using widgets::ReportListView;

namespace {

QStringList columnTexts(const ReportListModel& model, int col)
{
    QStringList texts;
    for (int r = 0; r < model.rowCount(); ++r)
        texts.append(model.itemText(r, col));
    return texts;
}

void fillVolumes(ReportListModel& model)
{
    model.addColumn(QStringLiteral("Volume"), Qt::AlignLeft, 2000);
    model.addColumn(QStringLiteral("Free(MB)"), Qt::AlignRight, 1440);
    model.addRow({"\\\\FS1\\SYS", "         100.00"});
    model.addRow({"\\\\fs2\\DATA", "          20.50"});
    model.addRow({"\\\\FS1\\VOL1", "       1,024.00"});
}

}  // namespace

class TestListView : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Rows, columns, sorting and clearing keep the item model consistent.
    void modelStaysConsistentThroughEdits()
    {
        models::ReportListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.addColumn(QStringLiteral("Server"), Qt::AlignLeft, 1440);
        model.addColumn(QStringLiteral("Util %"), Qt::AlignRight, 1440);
        model.addRow({"FS2", "5"});
        model.addRow({"FS1", "70"});
        model.setItemText(0, 1, QStringLiteral("6"));
        model.setSorted(true);
        model.sortByColumn(0, Qt::AscendingOrder);
        model.sort(1, Qt::DescendingOrder);
        model.beginUpdate();
        model.addRow({"FS3", "1"});
        model.removeRow(0);
        model.endUpdate();
        QCOMPARE(model.rowCount(), 2);
        model.clearRows();
        QCOMPARE(model.rowCount(), 0);
    }

    void sortsByText_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("order");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("volume ascending, case ignored")
            << 0 << int(Qt::AscendingOrder) << QStringList{"\\\\FS1\\SYS", "\\\\FS1\\VOL1", "\\\\fs2\\DATA"};
        QTest::newRow("volume descending")
            << 0 << int(Qt::DescendingOrder) << QStringList{"\\\\fs2\\DATA", "\\\\FS1\\VOL1", "\\\\FS1\\SYS"};
        // Padded numbers sort in numeric order as texts.
        QTest::newRow("free ascending") << 1 << int(Qt::AscendingOrder)
                                        << QStringList{"\\\\fs2\\DATA", "\\\\FS1\\SYS", "\\\\FS1\\VOL1"};
        QTest::newRow("free descending") << 1 << int(Qt::DescendingOrder)
                                         << QStringList{"\\\\FS1\\VOL1", "\\\\FS1\\SYS", "\\\\fs2\\DATA"};
    }

    void sortsByText()
    {
        QFETCH(int, column);
        QFETCH(int, order);
        QFETCH(QStringList, expected);
        ReportListModel model;
        fillVolumes(model);
        model.sortByColumn(column, Qt::SortOrder(order));
        QCOMPARE(columnTexts(model, 0), expected);
        QCOMPARE(model.sortColumn(), column);
    }

    void autoSortOnlyWhenSorted()
    {
        ReportListModel model;
        fillVolumes(model);
        model.sortByColumn(0, Qt::AscendingOrder);
        model.addRow({"\\\\AAA\\SYS", "1"});
        QCOMPARE(model.itemText(3, 0), QStringLiteral("\\\\AAA\\SYS"));  // not sorted: stays last

        model.setSorted(true);
        QCOMPARE(model.itemText(0, 0), QStringLiteral("\\\\AAA\\SYS"));
        model.setItemText(0, 0, QStringLiteral("\\\\ZZZ\\SYS"));
        QCOMPARE(model.itemText(3, 0), QStringLiteral("\\\\ZZZ\\SYS"));

        model.beginUpdate();
        model.addRow({"\\\\BBB\\SYS", "2"});
        QCOMPARE(model.itemText(4, 0), QStringLiteral("\\\\BBB\\SYS"));  // sorted once, at the end
        model.endUpdate();
        QCOMPARE(model.itemText(0, 0), QStringLiteral("\\\\BBB\\SYS"));
    }

    void batchAnnouncesOnce()
    {
        ReportListModel model;
        for (int c = 0; c < 10; ++c)
            model.addColumn(QStringLiteral("C%1").arg(c), Qt::AlignLeft, 1000);
        for (int r = 0; r < 300; ++r)
            model.addRow({QString::number(r)});
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy layout(&model, &QAbstractItemModel::layoutChanged);
        model.beginUpdate();
        for (int r = 0; r < 300; ++r)
            model.setItemText(r, 3, QString::number(r));
        model.setItemText(299, 9, QStringLiteral("last"));
        model.endUpdate();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(layout.count(), 0);
        QCOMPARE(changed.at(0).at(0).toModelIndex(), model.index(0, 3));
        QCOMPARE(changed.at(0).at(1).toModelIndex(), model.index(299, 9));
    }

    void selections()
    {
        ReportListView list;
        fillVolumes(list.model());
        list.setRowSelected(0, true);
        list.setRowSelected(2, true);  // \\FS1\VOL1
        QCOMPARE(list.selectedRows(), (QList<int>{0, 2}));
        list.setMultiSelect(false);
        list.setSelectedRow(2);
        QCOMPARE(list.selectedRows(), QList<int>{2});
        // The selection follows its row through a sort.
        list.sortByColumn(0, Qt::DescendingOrder);
        QCOMPARE(list.selectedRows(), QList<int>{1});
        QCOMPARE(list.itemText(list.currentRow(), 0), QStringLiteral("\\\\FS1\\VOL1"));
        QCOMPARE(list.treeView()->header()->sortIndicatorOrder(), Qt::DescendingOrder);
    }

    void removesRowsInRuns()
    {
        ReportListModel model;
        model.addColumn(QStringLiteral("N"), Qt::AlignLeft, 1440);
        for (int i = 0; i < 8; ++i)
            model.addRow({QString::number(i)});
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        model.removeRows({6, 1, 2, 7, 2, 4, 99});  // any order, repeats and rows past the end ignored
        QCOMPARE(columnTexts(model, 0), QStringList({"0", "3", "5"}));
        QCOMPARE(removed.size(), 3);  // 6-7, 4, 1-2
        // A list already in order is left alone by a sort.
        QSignalSpy moved(&model, &QAbstractItemModel::layoutChanged);
        model.sortByColumn(0, Qt::AscendingOrder);
        QCOMPARE(moved.size(), 0);
        model.sortByColumn(0, Qt::DescendingOrder);
        QCOMPARE(columnTexts(model, 0), QStringList({"5", "3", "0"}));
        QCOMPARE(moved.size(), 1);
    }

    // A sorted list refreshed with the same keys stays as it is; a changed
    // key, or a locale that collates the same keys otherwise, sorts again.
    void refreshResortsOnlyWhenKeysOrLocaleChange()
    {
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        ReportListModel model;
        model.addColumn(QStringLiteral("Name"), Qt::AlignLeft, 1440);
        for (const char* name : {"zeta", "\u00f6l", "alpha"})
            model.addRow({QString::fromUtf8(name)});
        model.setSorted(true);
        model.sortByColumn(0, Qt::AscendingOrder);
        QCOMPARE(columnTexts(model, 0), (QStringList{"alpha", QStringLiteral("\u00f6l"), "zeta"}));

        QSignalSpy moved(&model, &QAbstractItemModel::layoutChanged);
        model.beginUpdate();
        for (int r = 0; r < model.rowCount(); ++r)
            model.setItemText(r, 0, QString(model.itemText(r, 0)));  // a refresh: the same texts anew
        model.endUpdate();
        QCOMPARE(moved.size(), 0);

        model.setItemText(0, 0, QStringLiteral("omega"));
        QCOMPARE(columnTexts(model, 0), (QStringList{QStringLiteral("\u00f6l"), "omega", "zeta"}));

        // Swedish puts \u00f6 after z.
        QLocale::setDefault(QLocale(QLocale::Swedish, QLocale::Sweden));
        model.sortByColumn(0, Qt::AscendingOrder);
        const QStringList swedish = columnTexts(model, 0);
        QLocale::setDefault(before);
        QCOMPARE(swedish, (QStringList{"omega", "zeta", QStringLiteral("\u00f6l")}));
    }

    void findsRows()
    {
        ReportListModel model;
        fillVolumes(model);
        QCOMPARE(model.findRow(0, QStringLiteral("\\\\FS1\\VOL1")), 2);
        QCOMPARE(model.findRow(0, QStringLiteral("\\\\FS2\\DATA")), -1);
        QCOMPARE(model.findRow(0, QStringLiteral("\\\\FS2\\DATA"), Qt::CaseInsensitive), 1);
        QCOMPARE(model.findRowStartingWith(0, QStringLiteral("\\\\fs1")), 0);
        QCOMPARE(model.findRowStartingWith(0, QStringLiteral("\\\\fs1"), Qt::CaseInsensitive, 1), 2);
        QCOMPARE(model.findRow(7, QStringLiteral("x")), -1);
    }

    void rowsAreCutToColumns()
    {
        ReportListModel model;
        fillVolumes(model);
        const int row = model.addRow({"only", "two", "three"});
        QCOMPARE(model.rowTexts(row), (QStringList{"only", "two"}));
        model.addRow({"short"});
        QCOMPARE(model.itemText(4, 1), QString());
        model.setItemText(9, 0, QStringLiteral("ignored"));
        model.removeRow(-1);
        QCOMPARE(model.rowCount(), 5);
    }

    void columnWidthsInTwips()
    {
        ReportListView list;
        list.addColumn(QStringLiteral("Server"), Qt::AlignLeft, 1440);
        const double dpi = settings::columnDotsPerInch(&list);
        QCOMPARE(list.treeView()->header()->sectionSize(0), texts::twipsToPixels(1440, dpi));
        QCOMPARE(list.columnWidthTwips(0), 1440);
        // The user widens it to two inches (as near as whole pixels come).
        const int twoInches = texts::twipsToPixels(2880, dpi);
        list.treeView()->header()->resizeSection(0, twoInches);
        QCOMPARE(list.columnWidthTwips(0), static_cast<int>(std::lround(texts::pixelsToTwips(twoInches, dpi))));
    }

    void headerClickIsReported()
    {
        ReportListView list;
        fillVolumes(list.model());
        list.resize(400, 200);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QSignalSpy clicked(&list, &ReportListView::columnClicked);
        QHeaderView* header = list.treeView()->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.at(0).at(0).toInt(), 1);
    }

    // Fitting a long list a column at a time, with events between, gives the
    // widths of the fit in one go; a list destroyed meanwhile ends the fit.
    void fitInStepsMatchesTheFitInOneGo()
    {
        const auto filled = [](ReportListView& list) {
            list.addColumn(QStringLiteral("User"), Qt::AlignLeft, 600);
            list.addColumn(QStringLiteral("Conn #"), Qt::AlignRight, 600);
            list.addColumn(QStringLiteral("Status"), Qt::AlignLeft, 600);
            for (int row = 0; row < 3000; ++row)
                list.addRow({QStringLiteral("USER%1.SALES.ACME").arg(row * 7919 % 100000), QString::number(row + 1),
                             row % 5 ? QStringLiteral("Authenticated") : QString()});
            list.resize(500, 300);
            list.show();
        };
        ReportListView once;
        filled(once);
        widgets::fitListColumns(*once.treeView());
        ReportListView stepped;
        filled(stepped);
        QVERIFY(widgets::fitListColumnsLettingEventsRun(*stepped.treeView()));
        for (int col = 0; col < 3; ++col)
            QCOMPARE(stepped.treeView()->header()->sectionSize(col), once.treeView()->header()->sectionSize(col));
        QVERIFY(stepped.treeView()->header()->stretchLastSection());

        auto* doomed = new ReportListView;
        filled(*doomed);
        QTimer::singleShot(0, doomed, [doomed] { delete doomed; });
        QVERIFY(!widgets::fitListColumnsLettingEventsRun(*doomed->treeView()));
    }
};

VESKARO_TEST_MAIN(TestListView)
#include "test_listview.moc"

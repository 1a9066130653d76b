// Sorting by what cell texts mean, shared by the grids and the list views:
// up times by duration, dates across years, padded numbers, versions and
// texts by collation; and the saved order following the displayed one.

#include "models/GridData.h"
#include "models/ReportListModel.h"
#include "models/SortKeys.h"
#include "support/TestMain.h"

#include <QtTest>

namespace {

QStringList sorted(const QStringList& texts, bool descending)
{
    QStringList out;
    for (const int i : models::typedSortOrder(texts, descending, QLocale(QLocale::English, QLocale::UnitedStates)))
        out.append(texts.at(i));
    return out;
}

}  // namespace

class TestSortKeys : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void ordersByMeaning_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QStringList>("ascending");
        QTest::newRow("up times") << QStringList{"1D 2H 3M", "12H 59M", "118D 0H 1M", "12D 4H 0M", "41D 3H 9M"}
                                  << QStringList{"12H 59M", "1D 2H 3M", "12D 4H 0M", "41D 3H 9M", "118D 0H 1M"};
        QTest::newRow("connection times") << QStringList{"01D 00H 00M", "00D 23H 59M", "00D 00H 05M"}
                                          << QStringList{"00D 00H 05M", "00D 23H 59M", "01D 00H 00M"};
        // A day count no count of minutes can hold sorts last.
        QTest::newRow("durations beyond a count of minutes")
            << QStringList{"1111111111111111111D 1H", "5D 0H 0M", "9999999D", "12H 59M"}
            << QStringList{"12H 59M", "5D 0H 0M", "9999999D", "1111111111111111111D 1H"};
        QTest::newRow("dates across years") << QStringList{"10/1/07", "10/1/08", "10/12/07", "1/5/09", "12/31/99"}
                                            << QStringList{"12/31/99", "10/1/07", "10/12/07", "10/1/08", "1/5/09"};
        QTest::newRow("dates with times") << QStringList{"3/14/08 10:05 AM", "3/14/08 9:30 AM", "3/13/08 11:59 PM"}
                                          << QStringList{"3/13/08 11:59 PM", "3/14/08 9:30 AM", "3/14/08 10:05 AM"};
        QTest::newRow("time stamps with a remark")
            << QStringList{"12/5/2026 6:58:20 PM (ahead of server clock)", "1/3/2027 9:00:00 AM",
                           "11/30/2026 11:00:00 PM"}
            << QStringList{"11/30/2026 11:00:00 PM", "12/5/2026 6:58:20 PM (ahead of server clock)",
                           "1/3/2027 9:00:00 AM"};
        QTest::newRow("padded numbers") << QStringList{"  100", "   20", "    3", "1,000"}
                                        << QStringList{"    3", "   20", "  100", "1,000"};
        QTest::newRow("versions") << QStringList{"  10.01", "   5.00h", "   5.00", "   5.00a"}
                                  << QStringList{"   5.00", "   5.00a", "   5.00h", "  10.01"};
        QTest::newRow("texts by collation") << QStringList{"beta", "Alpha", "alpha2", "alpha10", "Gamma"}
                                            << QStringList{"Alpha", "alpha2", "alpha10", "beta", "Gamma"};
        QTest::newRow("a leading blank comes first")
            << QStringList{".ACME.SALES", " [Root]", ".ACME"} << QStringList{" [Root]", ".ACME", ".ACME.SALES"};
        QTest::newRow("mixed kinds sort as text")
            << QStringList{"12", "1D 2H 3M", "abc"} << QStringList{"1D 2H 3M", "12", "abc"};
        QTest::newRow("empty cells first") << QStringList{"5", "", "1"} << QStringList{"", "1", "5"};
    }
    void ordersByMeaning()
    {
        QFETCH(QStringList, texts);
        QFETCH(QStringList, ascending);
        QCOMPARE(sorted(texts, false), ascending);
        QStringList descending = ascending;
        std::reverse(descending.begin(), descending.end());
        QCOMPARE(sorted(texts, true), descending);
    }

    void fourDigitYearsInTheUsersOrder()
    {
        // Day first, as a German workstation writes its time stamps.
        const QStringList texts{"05.12.2026 18:58:20", "03.01.2027 09:00:00", "30.11.2026 23:00:00"};
        QStringList out;
        for (const int i : models::typedSortOrder(texts, false, QLocale(QLocale::German, QLocale::Germany)))
            out.append(texts.at(i));
        QCOMPARE(out, (QStringList{"30.11.2026 23:00:00", "05.12.2026 18:58:20", "03.01.2027 09:00:00"}));
    }

    // The plain "C" locale sorts texts as US English does, not by character
    // code (which would put every accented letter after z).
    void plainLocaleCollatesAsEnglish()
    {
        const QStringList texts{"zeta", QStringLiteral("\u00c5land"), "Oslo"};
        QStringList out;
        for (const int i : models::typedSortOrder(texts, false, QLocale::c()))
            out.append(texts.at(i));
        QCOMPARE(out, (QStringList{QStringLiteral("\u00c5land"), "Oslo", "zeta"}));
    }

    void equalKeysKeepTheirOrder()
    {
        const QStringList texts{"2", "1", "02", "1.0"};
        QCOMPARE(sorted(texts, false), (QStringList{"1", "1.0", "2", "02"}));
    }

    void columnKinds_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<int>("kind");
        QTest::newRow("numbers") << QStringList{"1", "", " 20"} << int(models::ValueKind::Number);
        QTest::newRow("durations") << QStringList{"1D 2H 3M", "5M"} << int(models::ValueKind::Duration);
        QTest::newRow("dates") << QStringList{"1/5/09", "2008-03-14"} << int(models::ValueKind::DateTime);
        QTest::newRow("texts") << QStringList{"On", "Off"} << int(models::ValueKind::Text);
        QTest::newRow("nothing") << QStringList{"", " "} << int(models::ValueKind::Empty);
    }
    void columnKinds()
    {
        QFETCH(QStringList, texts);
        QTEST(int(models::columnKind(texts)), "kind");
    }

    void gridRowsFollowTheSort()
    {
        models::GridData grid;
        grid.setCols(2);
        grid.setRows(1);
        grid.setFixedRows(1);
        grid.addRow({"FS1", "118D 0H 1M"});
        grid.addRow({"FS2", "12D 4H 0M"});
        grid.addRow({"FS3", "41D 3H 9M"});
        grid.sortRows(1, models::SortMode::TypedAscending, 1);
        QStringList order;
        for (int r = 1; r < grid.rows(); ++r)
            order << grid.text(r, 0);
        QCOMPARE(order, (QStringList{"FS2", "FS3", "FS1"}));
        // The rows' former places, for models that track rows inserted in a batch.
        std::vector<int> moved;
        grid.sortRows(1, models::SortMode::TypedDescending, 1, &moved);
        QCOMPARE(grid.text(1, 0), QStringLiteral("FS1"));
        QCOMPARE(moved, (std::vector<int>{3, 2, 1}));
    }

    void listRowsFollowTheSort()
    {
        models::ReportListModel list;
        list.addColumn(QStringLiteral("Server"), Qt::AlignLeft, 1440);
        list.addColumn(QStringLiteral("Date"), Qt::AlignLeft, 1440);
        list.addRow({"FS1", "10/1/08"});
        list.addRow({"FS2", "10/12/07"});
        list.addRow({"FS3", "10/1/07"});
        list.sortByColumn(1, Qt::AscendingOrder);
        QStringList order;
        for (int r = 0; r < list.rowCount(); ++r)
            order << list.itemText(r, 0);
        QCOMPARE(order, (QStringList{"FS3", "FS2", "FS1"}));
    }
};

VESKARO_TEST_MAIN(TestSortKeys)
#include "test_sortkeys.moc"

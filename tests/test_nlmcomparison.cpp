// The rules of the loaded-module comparison on tables built in the test; rows
// shared across servers, hiding and find are proven through the window in
// test_nlms.

#include "views/NLMComparison.h"

#include <QTest>

using views::NlmShow;
using models::FlexGridModel;

namespace {

views::LoadedModule module(const QString& file)
{
    views::LoadedModule m;
    m.fileName = file;
    m.info.majorVersion = 1;
    m.info.year = 2008;
    m.info.month = 3;
    m.info.day = 14;
    return m;
}

struct Tables {
    Tables()
    {
        nlms.setCols(1);
        nlms.setRows(2);
        nlms.setFixedRows(2);
        nlms.setFixedCols(1);
        descriptions.setCols(1);
        descriptions.setRows(1);
        descriptions.setFixedRows(1);
    }
    void add(const QString& server, const std::vector<views::LoadedModule>& modules, NlmShow show = NlmShow::Both)
    {
        views::NlmComparisonFill fill(nlms, descriptions, QLocale(QLocale::English, QLocale::UnitedStates));
        fill.addServer(server, show);
        fill.addModules(modules);
        fill.finish();
    }
    FlexGridModel nlms;
    FlexGridModel descriptions;
};

}  // namespace

class TestNlmComparison : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void rowsMatch_data()
    {
        QTest::addColumn<QStringList>("cells");   // version, date per server
        QTest::addColumn<bool>("both");
        QTest::addColumn<bool>("version");
        QTest::addColumn<bool>("date");
        QTest::newRow("one server") << QStringList{"1.00", "d1"} << true << true << true;
        QTest::newRow("same") << QStringList{"1.00", "d1", "1.00", "d1"} << true << true << true;
        QTest::newRow("version differs") << QStringList{"1.00", "d1", "1.01", "d1"} << false << false << true;
        QTest::newRow("date differs") << QStringList{"1.00", "d1", "1.00", "d2"} << false << true << false;
        QTest::newRow("missing on one") << QStringList{"1.00", "d1", "", ""} << false << false << false;
        QTest::newRow("third differs") << QStringList{"1.00", "d1", "1.00", "d1", "1.00", "d3"} << false << true
                                       << false;
    }
    void rowsMatch()
    {
        QFETCH(QStringList, cells);
        QFETCH(bool, both);
        QFETCH(bool, version);
        QFETCH(bool, date);
        models::GridData grid;
        grid.setCols(static_cast<int>(cells.size()) + 1);
        grid.setRows(3);
        grid.setFixedRows(2);
        for (int i = 0; i < cells.size(); ++i)
            grid.setText(2, i + 1, cells.at(i));
        QCOMPARE(views::nlmRowMatches(grid, 2, NlmShow::Both), both);
        QCOMPARE(views::nlmRowMatches(grid, 2, NlmShow::Version), version);
        QCOMPARE(views::nlmRowMatches(grid, 2, NlmShow::Date), date);
    }

    void columnChoicesKeepTheServerName()
    {
        Tables t;
        t.add(QStringLiteral("FS1"), {module("A.NLM")}, NlmShow::Version);
        // Date after Version, and Date again, still name the server.
        views::showNlmColumns(t.nlms, NlmShow::Date);
        views::showNlmColumns(t.nlms, NlmShow::Date);
        QCOMPARE(t.nlms.textMatrix(0, 2), QStringLiteral("FS1"));
        QCOMPARE(t.nlms.textMatrix(0, 1), QString());
        QCOMPARE(views::nlmServerName(t.nlms.grid(), 1), QStringLiteral("FS1"));
        QCOMPARE(views::nlmServerColumn(t.nlms.grid(), 2), 1);
        QCOMPARE(views::nlmServerColumn(t.nlms.grid(), 0), -1);
    }

    void removingAServerOutsideTheServerColumnsDoesNothing()
    {
        Tables t;
        t.add(QStringLiteral("FS1"), {module("A.NLM")});
        QVERIFY(!views::removeNlmServer(t.nlms, t.descriptions, 0));
        QVERIFY(!views::removeNlmServer(t.nlms, t.descriptions, 7));
        QCOMPARE(t.nlms.cols(), 3);
        QVERIFY(views::removeNlmServer(t.nlms, t.descriptions, 2));
        QCOMPARE(t.nlms.cols(), 1);
        QCOMPARE(t.descriptions.cols(), 1);
    }
};

QTEST_MAIN(TestNlmComparison)
#include "test_nlmcomparison.moc"

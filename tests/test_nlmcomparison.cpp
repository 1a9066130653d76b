// The rules of the loaded-module comparison on tables built in the test; rows
// shared across servers, hiding and find are proven through the window in
// test_nlms.

#include "support/TestMain.h"
#include "views/NLMComparison.h"

#include <QTest>

#include <vector>

using models::FlexGridModel;
using views::NlmShow;

namespace {

views::LoadedModule module(const QString& file, quint32 major = 1)
{
    views::LoadedModule m;
    m.fileName = file;
    m.descriptiveName = file + QStringLiteral(" module");
    m.info.majorVersion = major;
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

QStringList allRows(const FlexGridModel& table)
{
    QStringList rows;
    for (int r = 0; r < table.rows(); ++r)
        rows << table.grid().rowTexts(r).join(QLatin1Char('|'));
    return rows;
}

}  // namespace

class TestNlmComparison : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void rowsMatch_data()
    {
        QTest::addColumn<QStringList>("cells");  // version, date per server
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

    // One opening per server, each keeping what the last left (texts, name
    // indexes, rows by place), fills both tables as one opening of all the
    // servers does: modules in another order, names in another case (one row
    // in the comparison, one per spelling among the descriptions), modules
    // missing and new, and the table sorted by a version column in between.
    void openingsKeepingTheirMemoryMatchOneOpening_data()
    {
        using Modules = std::vector<views::LoadedModule>;
        QTest::addColumn<QList<Modules>>("servers");
        QTest::addColumn<bool>("sortBetween");
        const QList<Modules> servers{
            {module("CLIB.NLM", 4), module("A3112.NLM", 2), module("TCPIP.NLM", 3)},
            {module("CLIB.NLM", 4), module("A3112.NLM", 2), module("TCPIP.NLM", 3)},
            {module("tcpip.nlm", 5), module("CLIB.NLM", 1), module("NEW.NLM", 9)},
            {module("A3112.NLM", 2), module("CLIB.NLM", 4), module("TCPIP.NLM", 3), module("tcpip.nlm", 6)}};
        QTest::newRow("orders, cases, missing and new") << servers << false;
        QTest::newRow("sorted by a version column in between") << servers << true;
    }

    void openingsKeepingTheirMemoryMatchOneOpening()
    {
        using Modules = std::vector<views::LoadedModule>;
        QFETCH(QList<Modules>, servers);
        QFETCH(bool, sortBetween);
        const QLocale us(QLocale::English, QLocale::UnitedStates);
        Tables kept;
        views::NlmComparisonFill::Texts texts;
        for (int s = 0; s < servers.size(); ++s) {
            views::NlmComparisonFill fill(kept.nlms, kept.descriptions, us, &texts);
            fill.addServer(QStringLiteral("FS%1").arg(s + 1), NlmShow::Both);
            fill.addModules(servers.at(s));
            fill.finish();
            if (sortBetween)
                kept.nlms.sortRows(1, views::nlmSortMode(1, true), views::kNlmFirstDataRow);
        }
        Tables once;
        views::NlmComparisonFill fill(once.nlms, once.descriptions, us);
        for (int s = 0; s < servers.size(); ++s) {
            fill.addServer(QStringLiteral("FS%1").arg(s + 1), NlmShow::Both);
            fill.addModules(servers.at(s));
        }
        fill.finish();
        if (sortBetween) {
            kept.nlms.sortRows(0, models::SortMode::StringNoCaseAscending, views::kNlmFirstDataRow);
        }
        QCOMPARE(allRows(kept.nlms), allRows(once.nlms));
        QCOMPARE(allRows(kept.descriptions), allRows(once.descriptions));
        QCOMPARE(kept.nlms.rows(), views::kNlmFirstDataRow + 4);
        QCOMPARE(kept.descriptions.rows(), 1 + 5);
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

VESKARO_TEST_MAIN(TestNlmComparison)
#include "test_nlmcomparison.moc"

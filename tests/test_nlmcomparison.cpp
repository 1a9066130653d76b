// The rules of the loaded-module comparison on tables built in the test.

#include "views/NLMComparison.h"

#include <QTest>

using views::NlmShow;
using widgets::FlexGridModel;

namespace {

views::LoadedModule module(const QString& file, quint32 major, quint32 minor, quint32 revision,
                           const QString& notice = QStringLiteral("(C)"))
{
    views::LoadedModule m;
    m.fileName = file;
    m.descriptiveName = file + QStringLiteral(" module");
    m.copyright = notice;
    m.info.majorVersion = major;
    m.info.minorVersion = minor;
    m.info.revision = revision;
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
    QStringList names() const
    {
        QStringList out;
        for (int r = 2; r < nlms.rows(); ++r)
            out << nlms.textMatrix(r, 0);
        return out;
    }
    FlexGridModel nlms;
    FlexGridModel descriptions;
};

}  // namespace

class TestNlmComparison : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void rowsAreUniqueIgnoringCaseAndKeepTheFirstSpelling()
    {
        Tables t;
        t.add(QStringLiteral("FS1"), {module("clib.nlm", 5, 0, 8), module("ZLIB.NLM", 1, 2, 0)});
        t.add(QStringLiteral("FS2"), {module("CLIB.NLM", 5, 0, 9), module("Aio.nlm", 1, 0, 0)});
        QCOMPARE(t.names(), (QStringList{"Aio.nlm", "clib.nlm", "ZLIB.NLM"}));
        QCOMPARE(t.nlms.textMatrix(3, 3), QStringLiteral("          5.00i"));
        // The descriptions keep both spellings apart.
        QCOMPARE(t.descriptions.rows(), 5);
        bool found = false;
        QCOMPARE(views::fcnNlmDescription(t.descriptions.grid(), QStringLiteral("clib.nlm"), QStringLiteral("FS2"),
                                          &found),
                 QStringLiteral("CLIB.NLM module\n(C)"));
        QVERIFY(found);
        views::fcnNlmDescription(t.descriptions.grid(), QStringLiteral("ZLIB.NLM"), QStringLiteral("FS3"), &found);
        QVERIFY(!found);
    }

    void rowIndexFindsByNameInEitherCase()
    {
        Tables t;
        t.add(QStringLiteral("FS1"), {module("A.NLM", 1, 0, 0), module("b.nlm", 1, 0, 0)});
        views::NlmRowIndex index(Qt::CaseInsensitive);
        index.rebuild(t.nlms.grid(), views::kNlmFirstDataRow);
        QCOMPARE(index.find(QStringLiteral("a.nlm")), 2);
        QCOMPARE(index.find(QStringLiteral("B.NLM")), 3);
        QCOMPARE(index.find(QStringLiteral("C.NLM")), -1);
        views::NlmRowIndex exact(Qt::CaseSensitive);
        exact.rebuild(t.nlms.grid(), views::kNlmFirstDataRow);
        QCOMPARE(exact.find(QStringLiteral("a.nlm")), -1);
    }

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
        widgets::GridData grid;
        grid.setCols(static_cast<int>(cells.size()) + 1);
        grid.setRows(3);
        grid.setFixedRows(2);
        for (int i = 0; i < cells.size(); ++i)
            grid.setText(2, i + 1, cells.at(i));
        QCOMPARE(views::fcnNlmRowMatches(grid, 2, NlmShow::Both), both);
        QCOMPARE(views::fcnNlmRowMatches(grid, 2, NlmShow::Version), version);
        QCOMPARE(views::fcnNlmRowMatches(grid, 2, NlmShow::Date), date);
    }

    void differencesHideToZeroAndShowAtHeaderHeight()
    {
        Tables t;
        t.nlms.setRowHeight(0, 300);
        t.add(QStringLiteral("FS1"), {module("A.NLM", 1, 0, 0), module("B.NLM", 1, 0, 0)});
        t.add(QStringLiteral("FS2"), {module("A.NLM", 1, 0, 0), module("B.NLM", 1, 0, 1)});
        views::subApplyNlmDifferences(t.nlms, NlmShow::Both, true);
        QCOMPARE(t.nlms.rowHeight(2), 0);
        QCOMPARE(t.nlms.rowHeight(3), 300);
        QCOMPARE(views::fcnFindNlmRow(t.nlms.grid(), QString()), 3);
        QCOMPARE(views::fcnFindNlmRow(t.nlms.grid(), QStringLiteral("a")), -1);
        views::subApplyNlmDifferences(t.nlms, NlmShow::Both, false);
        QCOMPARE(t.nlms.rowHeight(2), 300);
        QCOMPARE(views::fcnFindNlmRow(t.nlms.grid(), QStringLiteral("a")), 2);
    }

    void columnChoicesKeepTheServerName()
    {
        Tables t;
        t.add(QStringLiteral("FS1"), {module("A.NLM", 1, 0, 0)}, NlmShow::Version);
        // Date after Version, and Date again, still name the server.
        views::subShowNlmColumns(t.nlms, NlmShow::Date);
        views::subShowNlmColumns(t.nlms, NlmShow::Date);
        QCOMPARE(t.nlms.textMatrix(0, 2), QStringLiteral("FS1"));
        QCOMPARE(t.nlms.textMatrix(0, 1), QString());
        QCOMPARE(views::fcnNlmServerName(t.nlms.grid(), 1), QStringLiteral("FS1"));
        QCOMPARE(views::fcnNlmServerColumn(t.nlms.grid(), 2), 1);
        QCOMPARE(views::fcnNlmServerColumn(t.nlms.grid(), 0), -1);
    }

    void removingAServerOutsideTheServerColumnsDoesNothing()
    {
        Tables t;
        t.add(QStringLiteral("FS1"), {module("A.NLM", 1, 0, 0)});
        QVERIFY(!views::subRemoveNlmServer(t.nlms, t.descriptions, 0));
        QVERIFY(!views::subRemoveNlmServer(t.nlms, t.descriptions, 7));
        QCOMPARE(t.nlms.cols(), 3);
        QVERIFY(views::subRemoveNlmServer(t.nlms, t.descriptions, 2));
        QCOMPARE(t.nlms.cols(), 1);
        QCOMPARE(t.descriptions.cols(), 1);
    }

    void showWords()
    {
        bool known = false;
        QCOMPARE(views::fcnNlmShowFromWord(QStringLiteral("Date"), &known), NlmShow::Date);
        QVERIFY(known);
        QCOMPARE(views::fcnNlmShowFromWord(QStringLiteral("1440"), &known), NlmShow::Both);
        QVERIFY(!known);
        QCOMPARE(views::fcnNlmShowWord(NlmShow::Version), QStringLiteral("Version"));
    }
};

QTEST_MAIN(TestNlmComparison)
#include "test_nlmcomparison.moc"

#include "export/TableExport.h"
#include "export/WidgetExport.h"
#include "support/ScriptedServices.h"
#include "widgets/FlexGrid.h"
#include "widgets/GridData.h"
#include "widgets/ReportListView.h"

#include <QBuffer>
#include <QTest>

using widgets::FlexGrid;

namespace {

const QLocale english(QLocale::English, QLocale::UnitedStates);

// Header "Server | Util % | Note", then rows FS1..FS6.
void fillServers(FlexGrid& grid)
{
    grid.setCols(3);
    grid.setRows(1);
    grid.setFixedRows(1);
    grid.setTextMatrix(0, 0, QStringLiteral(" Server "));
    grid.setTextMatrix(0, 1, QStringLiteral("Util %"));
    grid.setTextMatrix(0, 2, QStringLiteral("Note"));
    for (int i = 1; i <= 6; ++i)
        grid.addRow({QStringLiteral("FS%1").arg(i), QString::number(i * 10), QStringLiteral("n%1").arg(i)});
}

QByteArray saved(const FlexGrid& grid, QChar delimiter)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    exporting::writeGrid(grid, buffer, delimiter, english);
    return buffer.data();
}

}  // namespace

class TestExport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void convertsCells_data();
    void convertsCells();
    void convertsByTheLocalesDecimalPoint();
    void quotesFieldsThatWouldSplit_data();
    void quotesFieldsThatWouldSplit();
    void savesGridWithSemicolon();
    void savesOnlyShownRowsAndColumns();
    void savesListView();
    void emptyListGivesEmptyFile();
    void writesAnsi();
    void copiesRowsWithHeaderFirst();
    void copiesAllRowsWithoutRepeatedHeader();
    void copiedHeaderOfNlmGridSkipsHiddenColumns();
    void copyToClipboard();
    void proposesSaveName_data();
    void proposesSaveName();
    void findsTablesOfAWindow();
    void reportsDeviceFailure();
};

void TestExport::convertsCells_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("converted");
    QTest::newRow("grouped") << "1,234" << "1234";
    QTest::newRow("one decimal") << "12.5" << "12.50";
    QTest::newRow("word") << "N/A" << "N/A";
    QTest::newRow("blanks around") << "  FS1  " << "FS1";
    QTest::newRow("padded MB") << "       1,024.00" << "1024.00";
    QTest::newRow("rounded decimals") << "2.499" << "2.50";
    QTest::newRow("negative") << "-3" << "-3";
    QTest::newRow("tiny negative") << "-0.001" << "0.00";
    QTest::newRow("percent") << "37%" << "37%";
    QTest::newRow("version") << "     5.00h" << "5.00h";
    QTest::newRow("infinity stays a word") << "inf" << "inf";
    QTest::newRow("nan stays a word") << "nan" << "nan";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("date") << "1/2/2003" << "1/2/2003";
}

void TestExport::convertsCells()
{
    QFETCH(QString, text);
    QFETCH(QString, converted);
    QCOMPARE(exporting::fcnConvertCell(text, english), converted);
}

void TestExport::convertsByTheLocalesDecimalPoint()
{
    const QLocale german(QLocale::German, QLocale::Germany);
    QCOMPARE(exporting::fcnConvertCell(QStringLiteral("12,5"), german), QStringLiteral("12,50"));
    QCOMPARE(exporting::fcnConvertCell(QStringLiteral("1.234"), german), QStringLiteral("1234"));
    QCOMPARE(exporting::fcnConvertCell(QStringLiteral("1,234.5"), QLocale::c()), QStringLiteral("1234.50"));
}

void TestExport::quotesFieldsThatWouldSplit_data()
{
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<QString>("line");
    QTest::newRow("plain") << QStringList{"FS1", "10", "2.50"} << ";" << "FS1;10;2.50";
    QTest::newRow("delimiter inside") << QStringList{"a,b", "c"} << "," << "\"a,b\",c";
    QTest::newRow("quote inside") << QStringList{"say \"hi\""} << "," << "\"say \"\"hi\"\"\"";
    QTest::newRow("line feed inside") << QStringList{"name\nnotice", "x"} << "," << "\"name\nnotice\",x";
    QTest::newRow("other delimiter is plain") << QStringList{"a,b", "c"} << ";" << "a,b;c";
    QTest::newRow("empty cells") << QStringList{"", "", ""} << "," << ",,";
}

void TestExport::quotesFieldsThatWouldSplit()
{
    QFETCH(QStringList, cells);
    QFETCH(QString, delimiter);
    QFETCH(QString, line);
    QCOMPARE(exporting::fcnBuildLine(cells, delimiter.at(0)), line);
}

void TestExport::savesGridWithSemicolon()
{
    FlexGrid grid;
    grid.setCols(3);
    grid.setRows(2);
    grid.setFixedRows(1);
    grid.setTextMatrix(0, 0, QStringLiteral("Server"));
    grid.setTextMatrix(0, 1, QStringLiteral("Count"));
    grid.setTextMatrix(0, 2, QStringLiteral("Rate"));
    grid.setTextMatrix(1, 0, QStringLiteral(" FS1 "));
    grid.setTextMatrix(1, 1, QStringLiteral("10"));
    grid.setTextMatrix(1, 2, QStringLiteral("2.5"));
    QCOMPARE(saved(grid, u';'), QByteArray("Server;Count;Rate\r\nFS1;10;2.50\r\n"));
}

void TestExport::savesOnlyShownRowsAndColumns()
{
    FlexGrid grid;
    fillServers(grid);
    grid.setColWidth(2, 0);
    grid.setRowHeight(2, 0);
    grid.setRowHeight(6, 0);
    grid.setTextMatrix(0, 1, QStringLiteral("2003"));   // header cells are converted too
    QCOMPARE(saved(grid, u','), QByteArray("Server,2003\r\nFS1,10\r\nFS3,30\r\nFS4,40\r\nFS5,50\r\n"));
}

void TestExport::savesListView()
{
    widgets::ReportListView list;
    list.addColumn(QStringLiteral("Volume"), Qt::AlignLeft, 1440);
    list.addColumn(QStringLiteral("Size(MB)"), Qt::AlignRight, 1440);
    list.addColumn(QStringLiteral("% Free"), Qt::AlignRight, 1440);
    list.addRow({"\\\\FS1\\SYS", "          39.06", "25%"});
    list.addRow({"\\\\FS1\\VOL1", "      12,345.50", "N/A"});
    list.addRow({"\\\\FS2\\SYS"});
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(exporting::writeListView(list, buffer, u',', english));
    QCOMPARE(buffer.data(), QByteArray("Volume,Size(MB),% Free\r\n"
                                       "\\\\FS1\\SYS,39.06,25%\r\n"
                                       "\\\\FS1\\VOL1,12345.50,N/A\r\n"
                                       "\\\\FS2\\SYS,,\r\n"));
}

void TestExport::emptyListGivesEmptyFile()
{
    widgets::ReportListView list;
    list.addColumn(QStringLiteral("Server"), Qt::AlignLeft, 1440);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(exporting::writeListView(list, buffer, u',', english));
    QVERIFY(buffer.data().isEmpty());
}

void TestExport::writesAnsi()
{
    QCOMPARE(exporting::fcnToAnsi(QStringLiteral("Müller € ✓")), QByteArray("M\xfcller \x80 ?"));
}

void TestExport::copiesRowsWithHeaderFirst()
{
    FlexGrid grid;
    fillServers(grid);
    grid.setColWidth(2, 0);
    const QString text = exporting::fcnGridClipboardText(grid, 3, 5, u',', english);
    // Outside grdNLMs the header keeps every column; header cells are trimmed only.
    QCOMPARE(text, QStringLiteral("Server,Util %,Note\r\nFS3,30\r\nFS4,40\r\nFS5,50\r\n"));
}

void TestExport::copiesAllRowsWithoutRepeatedHeader()
{
    FlexGrid grid;
    fillServers(grid);
    grid.setRowHeight(4, 0);
    const QString text = exporting::fcnGridClipboardText(grid, 0, grid.rows() - 1, u';', english);
    QCOMPARE(text, QStringLiteral("Server;Util %;Note\r\nFS1;10;n1\r\nFS2;20;n2\r\nFS3;30;n3\r\n"
                                  "FS5;50;n5\r\nFS6;60;n6\r\n"));
    QCOMPARE(exporting::fcnGridClipboardText(grid, 2, 99, u';', english).count(QStringLiteral("\r\n")), 5);
}

void TestExport::copiedHeaderOfNlmGridSkipsHiddenColumns()
{
    FlexGrid grid;
    grid.setObjectName(QStringLiteral("grdNLMs"));
    fillServers(grid);
    grid.setColWidth(1, 0);
    QCOMPARE(exporting::fcnGridClipboardText(grid, 1, 1, u',', english),
             QStringLiteral("Server,Note\r\nFS1,n1\r\n"));
}

void TestExport::copyToClipboard()
{
    FlexGrid grid;
    fillServers(grid);
    testing::MemoryClipboard clipboard;
    exporting::subCopyGridToClipboard(grid, 1, 1, u',', clipboard, english);
    QCOMPARE(clipboard.text(), QStringLiteral("Server,Util %,Note\r\nFS1,10,n1\r\n"));

    testing::MemoryClipboard closed;
    closed.available = false;
    exporting::subCopyGridToClipboard(grid, 1, 1, u',', closed, english);
    QVERIFY(closed.text().isEmpty());
}

void TestExport::proposesSaveName_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("name");
    QTest::newRow("no slash") << "Volume Space Usage" << "Volume Space Usage";
    QTest::newRow("two slashes") << "Open Files/Locks for FS1/SYS" << "Open Files-Locks for FS1/SYS";
    QTest::newRow("leading slash") << "/x" << "-x";
}

void TestExport::proposesSaveName()
{
    QFETCH(QString, caption);
    QFETCH(QString, name);
    QCOMPARE(exporting::fcnProposedSaveName(caption), name);
}

void TestExport::findsTablesOfAWindow()
{
    QWidget window;
    auto* description = new FlexGrid(&window);
    description->setObjectName(QStringLiteral("grdNLMDescription"));
    auto* list = new widgets::ReportListView(&window);
    auto* nlms = new FlexGrid(&window);
    nlms->setObjectName(QStringLiteral("grdNLMs"));
    QCOMPARE(exporting::exportableTables(&window), (QList<QWidget*>{list, nlms}));
    QCOMPARE(exporting::copyableGrid(&window), nlms);

    QWidget volumes;
    new widgets::ReportListView(&volumes);
    QCOMPARE(exporting::copyableGrid(&volumes), nullptr);
}

void TestExport::reportsDeviceFailure()
{
    FlexGrid grid;
    fillServers(grid);
    QBuffer closed;   // never opened: every write fails
    QVERIFY(!exporting::writeGrid(grid, closed, u',', english));
    QVERIFY(!exporting::writeTable(new QWidget(&grid), closed, u','));
}

QTEST_MAIN(TestExport)
#include "test_export.moc"

// Cell conversion, quoting and the table writers on bare widgets; saving and
// copying through the menus, with the dialogs, are in test_savecopy.

#include "export/TableExport.h"
#include "export/WidgetExport.h"
#include "text/CodePage.h"
#include "support/ScriptedServices.h"
#include "widgets/FlexGrid.h"
#include "models/GridData.h"
#include "support/TestMain.h"
#include "widgets/ReportListView.h"

#include <QBuffer>
#include <QTest>

using widgets::FlexGrid;

namespace {

const QLocale english(QLocale::English, QLocale::UnitedStates);

// Header "Server | Util % | Note", then rows FS1..FS6.
void fillServers(FlexGrid& grid)
{
    grid.model().setCols(3);
    grid.model().setRows(1);
    grid.model().setFixedRows(1);
    grid.model().setTextMatrix(0, 0, QStringLiteral(" Server "));
    grid.model().setTextMatrix(0, 1, QStringLiteral("Util %"));
    grid.model().setTextMatrix(0, 2, QStringLiteral("Note"));
    for (int i = 1; i <= 6; ++i)
        grid.model().addRow({QStringLiteral("FS%1").arg(i), QString::number(i * 10), QStringLiteral("n%1").arg(i)});
}

QByteArray saved(const FlexGrid& grid, const QString& delimiter)
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
    void convertsCells_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("converted");
        const QLocale german(QLocale::German, QLocale::Germany);
        QTest::newRow("grouped") << "1,234" << english << "1234";
        QTest::newRow("one decimal") << "12.5" << english << "12.50";
        QTest::newRow("word") << "N/A" << english << "N/A";
        QTest::newRow("padded MB") << "       1,024.00" << english << "1024.00";
        QTest::newRow("rounded decimals") << "2.499" << english << "2.50";
        QTest::newRow("tiny negative") << "-0.001" << english << "0.00";
        QTest::newRow("percent") << "37%" << english << "37%";
        QTest::newRow("version") << "     5.00h" << english << "5.00h";
        QTest::newRow("infinity stays a word") << "inf" << english << "inf";
        QTest::newRow("empty") << "" << english << "";
        QTest::newRow("date") << "1/2/2003" << english << "1/2/2003";
        QTest::newRow("German decimal comma") << "12,5" << german << "12,50";
        QTest::newRow("German grouping point") << "1.234" << german << "1234";
        QTest::newRow("C locale") << "1,234.5" << QLocale::c() << "1234.50";
    }

    void convertsCells()
    {
        QFETCH(QString, text);
        QFETCH(QLocale, locale);
        QFETCH(QString, converted);
        QCOMPARE(exporting::convertCell(text, locale), converted);
    }

    void quotesFieldsThatWouldSplit_data()
    {
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QString>("delimiter");
        QTest::addColumn<QString>("line");
        QTest::newRow("plain") << QStringList{"FS1", "10", "2.50"} << ";"
                               << "FS1;10;2.50";
        QTest::newRow("delimiter inside") << QStringList{"a,b", "c"} << ","
                                          << "\"a,b\",c";
        QTest::newRow("quote inside") << QStringList{"say \"hi\""} << ","
                                      << "\"say \"\"hi\"\"\"";
        QTest::newRow("line feed inside") << QStringList{"name\nnotice", "x"} << ","
                                          << "\"name\nnotice\",x";
        QTest::newRow("other delimiter is plain") << QStringList{"a,b", "c"} << ";"
                                                  << "a,b;c";
        QTest::newRow("empty cells") << QStringList{"", "", ""} << ","
                                     << ",,";
    }

    void quotesFieldsThatWouldSplit()
    {
        QFETCH(QStringList, cells);
        QFETCH(QString, delimiter);
        QFETCH(QString, line);
        QCOMPARE(exporting::buildLine(cells, delimiter.at(0)), line);
    }

    void savesShownCellsOfAGrid()
    {
        FlexGrid grid;
        fillServers(grid);
        grid.model().setColWidth(2, 0);
        grid.model().setRowHeight(2, 0);
        grid.model().setRowHeight(6, 0);
        grid.model().setTextMatrix(0, 1, QStringLiteral("2003"));  // header cells are converted too
        grid.model().setTextMatrix(1, 1, QStringLiteral(" 2.5 "));
        QCOMPARE(saved(grid, QStringLiteral(";")),
                 QByteArray("Server;2003\r\nFS1;2.50\r\nFS3;30\r\nFS4;40\r\nFS5;50\r\n"));
    }

    void savesListView()
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
        QVERIFY(exporting::writeListView(list, buffer, QStringLiteral(","), english));
        QCOMPARE(buffer.data(), QByteArray("Volume,Size(MB),% Free\r\n"
                                           "\\\\FS1\\SYS,39.06,25%\r\n"
                                           "\\\\FS1\\VOL1,12345.50,N/A\r\n"
                                           "\\\\FS2\\SYS,,\r\n"));
    }

    // Every byte a server can send comes back as the same byte in a saved
    // file and as the same character in the copied text and the report's
    // reading of the file, the five bytes Windows-1252 leaves unassigned
    // included; a character the code page cannot hold is saved as "?".
    void keepsEveryCodePageByte()
    {
        FlexGrid grid;
        grid.model().setCols(1);
        grid.model().setRows(1);
        grid.model().setFixedRows(1);
        grid.model().setTextMatrix(0, 0, QStringLiteral("Name"));
        QByteArray expected("Name\r\n");
        for (int byte = 1; byte < 256; ++byte) {
            if (byte == ',' || byte == '"' || byte == '\r' || byte == '\n')
                continue;
            const QByteArray raw(1, static_cast<char>(byte));
            const QString text = texts::fromWindows1252(raw);
            // Letters around the byte keep spaces from being trimmed.
            grid.model().addRow({QLatin1Char('x') + text + QLatin1Char('x')});
            expected += 'x' + raw + "x\r\n";
        }
        QCOMPARE(saved(grid, QStringLiteral(",")), expected);

        testing::MemoryClipboard clipboard;
        exporting::copyGridToClipboard(grid, 1, grid.model().rows() - 1, QStringLiteral(","), clipboard, english);
        QCOMPARE(texts::toWindows1252(clipboard.text()).value_or(QByteArray()), expected);

        FlexGrid foreign;
        foreign.model().setCols(1);
        foreign.model().setRows(1);
        foreign.model().setTextMatrix(0, 0, QStringLiteral("Müller € ✓"));
        QCOMPARE(saved(foreign, QStringLiteral(",")), QByteArray("M\xfcller \x80 ?\r\n"));
    }

    void copyToClipboard()
    {
        FlexGrid grid;
        fillServers(grid);
        testing::MemoryClipboard clipboard;
        exporting::copyGridToClipboard(grid, 1, 1, QStringLiteral(","), clipboard, english);
        QCOMPARE(clipboard.text(), QStringLiteral("Server,Util %,Note\r\nFS1,10,n1\r\n"));

        // A hidden column's heading stays in the copied header unless the
        // window asks for the shown columns alone.
        grid.model().setColWidth(1, 0);
        QCOMPARE(exporting::gridClipboardText(grid, 1, 1, QStringLiteral(","), english),
                 QStringLiteral("Server,Util %,Note\r\nFS1,n1\r\n"));
        QCOMPARE(exporting::gridClipboardText(grid, 1, 1, QStringLiteral(","), english,
                                              exporting::CopiedHeading::ShownColumns),
                 QStringLiteral("Server,Note\r\nFS1,n1\r\n"));

        testing::MemoryClipboard closed;
        closed.available = false;
        exporting::copyGridToClipboard(grid, 1, 1, QStringLiteral(","), closed, english);
        QVERIFY(closed.text().isEmpty());
    }

    void proposesSaveName_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("name");
        QTest::newRow("no slash") << "Volume Space Usage"
                                  << "Volume Space Usage";
        QTest::newRow("two slashes") << "Open Files/Locks for FS1/SYS"
                                     << "Open Files-Locks for FS1/SYS";
        QTest::newRow("leading slash") << "/x"
                                       << "-x";
    }

    void proposesSaveName()
    {
        QFETCH(QString, caption);
        QFETCH(QString, name);
        QCOMPARE(exporting::proposedSaveName(caption), name);
    }
};

VESKARO_TEST_MAIN(TestExport)
#include "test_export.moc"

#include "export/CopyForm.h"
#include "export/SaveCopy.h"
#include "export/TableExport.h"
#include "support/MemoryRegistry.h"
#include "support/StubClient.h"
#include "support/TestContext.h"
#include "widgets/FlexGrid.h"
#include "widgets/ReportListView.h"

#include <QApplication>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using exporting::CopyForm;

namespace {

// A view window with a grid: header "Server | Hidden | Util % | Note", six
// servers; the column "Hidden" and the row of FS4 are hidden.
struct GridWindow {
    GridWindow()
    {
        window.setWindowTitle(QStringLiteral("NLMs/Compare/All"));
        grid = new widgets::FlexGrid(&window);
        grid->setObjectName(QStringLiteral("grdTest"));
        grid->setCols(4);
        grid->setRows(1);
        grid->setFixedRows(1);
        const QStringList header = {" Server ", "Hidden", "Util %", "Note"};
        for (int col = 0; col < header.size(); ++col)
            grid->setTextMatrix(0, col, header.at(col));
        for (int i = 1; i <= 6; ++i)
            grid->addRow({QStringLiteral("FS%1").arg(i), QStringLiteral("h"), QString::number(i * 1000),
                          QStringLiteral("%1.5").arg(i)});
        grid->setColWidth(1, 0);
        grid->setRowHeight(4, 0);
    }
    QWidget window;
    widgets::FlexGrid* grid;
};

widgets::ReportListView* addList(QWidget* window, int rows)
{
    auto* list = new widgets::ReportListView(window);
    list->setObjectName(QStringLiteral("lstvwTest"));
    list->addColumn(QStringLiteral("Volume"), Qt::AlignLeft, 1440);
    list->addColumn(QStringLiteral("Free MB"), Qt::AlignRight, 1440);
    for (int i = 1; i <= rows; ++i)
        list->addRow({QStringLiteral("VOL%1").arg(i), QStringLiteral("%1,100.00").arg(i)});
    return list;
}

struct Fixture {
    Fixture() : services(client, registry) { CopyForm::forgetLastChoice(); }

    QByteArray saveTo(QWidget* window, const QString& path)
    {
        services.fileDialogs.queueFileName(path);
        exporting::Menu_Save_Click(services.context, window);
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
    }

    // Opens frmCopy on the window, picks the option and copies.
    void copy(QWidget* window, bool allRows)
    {
        CopyForm dialog(services.context, window);
        (allRows ? dialog.optAllRows() : dialog.optSelected())->setChecked(true);
        dialog.btnCopy_Click();
    }

    testing::StubClient client;
    testing::MemoryRegistry registry;
    testing::TestContext services;
    QTemporaryDir dir;
};

}  // namespace

class TestSaveCopy : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void savesShownCellsOfAGrid();
    void asksWithProposedNameAndFilter_data();
    void asksWithProposedNameAndFilter();
    void cancelledDialogWritesNothing();
    void savesListViews_data();
    void savesListViews();
    void lastTableOfTheWindowWins();
    void unwritableFileIsPassedOver();
    void nothingWithoutActiveWindow();
    void copiesRows_data();
    void copiesRows();
    void remembersAllRowsForTheRun();
    void cancelKeepsClipboardAndChoice();
    void listViewCopyLeavesClipboard();
    void menuCopyShowsTheDialog();
};

void TestSaveCopy::savesShownCellsOfAGrid()
{
    Fixture f;
    GridWindow w;
    f.services.context.values.gSaveFileDelimiter = QStringLiteral(";");
    const QByteArray saved = f.saveTo(&w.window, f.dir.filePath(QStringLiteral("grid.csv")));
    QCOMPARE(saved, QByteArray("Server;Util %;Note\r\n"
                               "FS1;1000;1.50\r\n"
                               "FS2;2000;2.50\r\n"
                               "FS3;3000;3.50\r\n"
                               "FS5;5000;5.50\r\n"
                               "FS6;6000;6.50\r\n"));
    QVERIFY(f.services.messages.shown.isEmpty());

    // Saving again over the same file replaces it.
    w.grid->setRows(2);
    QCOMPARE(f.saveTo(&w.window, f.dir.filePath(QStringLiteral("grid.csv"))),
             QByteArray("Server;Util %;Note\r\nFS1;1000;1.50\r\n"));
}

void TestSaveCopy::asksWithProposedNameAndFilter_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("inMdiFrame");
    QTest::addColumn<QString>("proposed");
    QTest::newRow("two slashes") << "Volume/Usage/Report" << false << "Volume-Usage/Report";
    QTest::newRow("no slash") << "Server Information" << false << "Server Information";
    QTest::newRow("caption of the MDI frame") << "Connections FS1/SYS" << true << "Connections FS1-SYS";
}

void TestSaveCopy::asksWithProposedNameAndFilter()
{
    QFETCH(QString, caption);
    QFETCH(bool, inMdiFrame);
    QFETCH(QString, proposed);
    Fixture f;
    QMdiArea area;
    auto* window = new QWidget;
    addList(window, 1);
    window->setWindowTitle(caption);
    if (inMdiFrame)
        area.addSubWindow(window);
    else
        window->setParent(&area);
    exporting::Menu_Save_Click(f.services.context, window);
    QCOMPARE(f.services.fileDialogs.requests.size(), 1);
    const platform::SaveDialogRequest& request = f.services.fileDialogs.requests.constFirst();
    QCOMPARE(request.proposedName, proposed);
    QCOMPARE(request.filter, exporting::fcnSaveFilter());
    QVERIFY(request.overwritePrompt);
}

void TestSaveCopy::cancelledDialogWritesNothing()
{
    Fixture f;
    GridWindow w;
    const QString path = f.dir.filePath(QStringLiteral("kept.csv"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("earlier\r\n");
    }
    exporting::Menu_Save_Click(f.services.context, &w.window);   // no name queued: cancelled
    QCOMPARE(f.services.fileDialogs.requests.size(), 1);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("earlier\r\n"));
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files), QStringList({"kept.csv"}));
}

void TestSaveCopy::savesListViews_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("header then rows") << 2 << QByteArray("Volume,Free MB\r\nVOL1,1100.00\r\nVOL2,2100.00\r\n");
    QTest::newRow("no rows: empty file") << 0 << QByteArray();
}

void TestSaveCopy::savesListViews()
{
    QFETCH(int, rows);
    QFETCH(QByteArray, expected);
    Fixture f;
    QWidget window;
    addList(&window, rows);
    QCOMPARE(f.saveTo(&window, f.dir.filePath(QStringLiteral("list.csv"))), expected);
}

void TestSaveCopy::lastTableOfTheWindowWins()
{
    Fixture f;
    GridWindow w;
    addList(&w.window, 1);   // created after the grid: later in control order
    QCOMPARE(f.saveTo(&w.window, f.dir.filePath(QStringLiteral("two.csv"))),
             QByteArray("Volume,Free MB\r\nVOL1,1100.00\r\n"));
    QCOMPARE(exporting::fcnSavedBytes(&w.window, QLatin1Char(',')),
             QByteArray("Volume,Free MB\r\nVOL1,1100.00\r\n"));
}

void TestSaveCopy::unwritableFileIsPassedOver()
{
    Fixture f;
    GridWindow w;
    const QString path = f.dir.filePath(QStringLiteral("missing-folder/out.csv"));
    QCOMPARE(f.saveTo(&w.window, path), QByteArray("<no file>"));
    QVERIFY(f.services.messages.shown.isEmpty());
    QVERIFY(!exporting::subSaveTables(&w.window, path, QLatin1Char(',')));
}

void TestSaveCopy::nothingWithoutActiveWindow()
{
    Fixture f;
    f.services.fileDialogs.queueFileName(f.dir.filePath(QStringLiteral("none.csv")));
    exporting::Menu_Save_Click(f.services.context, nullptr);
    exporting::Menu_Copy_Click(f.services.context, nullptr, nullptr);
    QVERIFY(f.services.fileDialogs.requests.isEmpty());
    QVERIFY(QDir(f.dir.path()).isEmpty());
    QCOMPARE(f.services.clipboard.writes, 0);
}

void TestSaveCopy::copiesRows_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("rowSel");
    QTest::addColumn<bool>("allRows");
    QTest::addColumn<QString>("clipboard");
    const QString header = QStringLiteral("Server\tHidden\tUtil %\tNote\r\n");
    QTest::newRow("rows 3 to 5, header first")
        << 3 << 5 << false << header + "FS3\t3000\t3.50\r\nFS5\t5000\t5.50\r\n";
    QTest::newRow("selected upwards") << 5 << 3 << false << header + "FS3\t3000\t3.50\r\nFS5\t5000\t5.50\r\n";
    QTest::newRow("one row") << 2 << 2 << false << header + "FS2\t2000\t2.50\r\n";
    QTest::newRow("from the header row") << 0 << 1 << false << QString("Server\tUtil %\tNote\r\nFS1\t1000\t1.50\r\n");
    QTest::newRow("all rows, header once")
        << 3 << 3 << true
        << QString("Server\tUtil %\tNote\r\nFS1\t1000\t1.50\r\nFS2\t2000\t2.50\r\nFS3\t3000\t3.50\r\n"
                   "FS5\t5000\t5.50\r\nFS6\t6000\t6.50\r\n");
}

void TestSaveCopy::copiesRows()
{
    QFETCH(int, row);
    QFETCH(int, rowSel);
    QFETCH(bool, allRows);
    QFETCH(QString, clipboard);
    Fixture f;
    f.services.context.values.gSaveFileDelimiter = QStringLiteral("\t");
    GridWindow w;
    w.grid->setRow(row);
    w.grid->setRowSel(rowSel);
    f.copy(&w.window, allRows);
    QCOMPARE(f.services.clipboard.text(), clipboard);
}

void TestSaveCopy::remembersAllRowsForTheRun()
{
    Fixture f;
    GridWindow w;
    {
        CopyForm first(f.services.context, &w.window);
        QCOMPARE(first.windowTitle(), QStringLiteral("Copy"));
        QCOMPARE(first.optAllRows()->text(), QStringLiteral("&All Rows"));
        QCOMPARE(first.optSelected()->text(), QStringLiteral("&Selected Rows"));
        QCOMPARE(first.btnCopy()->text(), QStringLiteral("&Copy"));
        QCOMPARE(first.btnCancel()->text(), QStringLiteral("&Cancel"));
        QVERIFY(first.optSelected()->isChecked());
        first.optAllRows()->setChecked(true);
        first.btnCopy_Click();
        QCOMPARE(first.result(), int(QDialog::Accepted));
    }
    {
        CopyForm second(f.services.context, &w.window);
        QVERIFY(second.optAllRows()->isChecked());
        second.optSelected()->setChecked(true);
        second.btnCopy_Click();
    }
    CopyForm third(f.services.context, &w.window);
    QVERIFY(third.optSelected()->isChecked());
}

void TestSaveCopy::cancelKeepsClipboardAndChoice()
{
    Fixture f;
    GridWindow w;
    f.services.clipboard.setText(QStringLiteral("before"));
    CopyForm dialog(f.services.context, &w.window);
    dialog.optAllRows()->setChecked(true);
    QTest::mouseClick(dialog.btnCancel(), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(f.services.clipboard.text(), QStringLiteral("before"));
    QVERIFY(!CopyForm::lastChoiceWasAllRows());
}

void TestSaveCopy::listViewCopyLeavesClipboard()
{
    Fixture f;
    QWidget window;
    addList(&window, 3);
    f.services.clipboard.setText(QStringLiteral("before"));
    const int writes = f.services.clipboard.writes;
    f.copy(&window, true);
    QCOMPARE(f.services.clipboard.text(), QStringLiteral("before"));
    QCOMPARE(f.services.clipboard.writes, writes);
    // The choice is still remembered.
    QVERIFY(CopyForm::lastChoiceWasAllRows());
}

void TestSaveCopy::menuCopyShowsTheDialog()
{
    Fixture f;
    GridWindow w;
    w.grid->select(2, 0, 3, 0);
    bool shown = false;
    QTimer::singleShot(0, &w.window, [&] {
        auto* dialog = qobject_cast<CopyForm*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        shown = dialog->isModal() && dialog->optSelected()->isChecked();
        QTest::mouseClick(dialog->btnCopy(), Qt::LeftButton);
    });
    // Safety net: a dialog left open would block the test.
    QTimer::singleShot(2000, &w.window, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    exporting::Menu_Copy_Click(f.services.context, &w.window, nullptr);
    QVERIFY(shown);
    QCOMPARE(f.services.clipboard.text(),
             QStringLiteral("Server,Hidden,Util %,Note\r\nFS2,2000,2.50\r\nFS3,3000,3.50\r\n"));
}

QTEST_MAIN(TestSaveCopy)
#include "test_savecopy.moc"

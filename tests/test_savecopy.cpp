#include "export/CopyDialog.h"
#include "export/SaveCopy.h"
#include "export/TableExport.h"
#include "platform/DesktopServices.h"
#include "support/MemoryRegistry.h"
#include "support/StubClient.h"
#include "support/TestContext.h"
#include "support/TestMain.h"
#include "widgets/FlexGrid.h"
#include "widgets/ReportListView.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using exporting::CopyDialog;

namespace {

// A view window with a grid: header "Server | Hidden | Util % | Note", six
// servers; the column "Hidden" and the row of FS4 are hidden.
struct GridWindow {
    GridWindow()
    {
        window.setWindowTitle(QStringLiteral("NLMs/Compare/All"));
        grid = new widgets::FlexGrid(&window);
        grid->setObjectName(QStringLiteral("grdTest"));
        grid->model().setCols(4);
        grid->model().setRows(1);
        grid->model().setFixedRows(1);
        const QStringList header = {" Server ", "Hidden", "Util %", "Note"};
        for (int col = 0; col < header.size(); ++col)
            grid->model().setTextMatrix(0, col, header.at(col));
        for (int i = 1; i <= 6; ++i)
            grid->model().addRow({QStringLiteral("FS%1").arg(i), QStringLiteral("h"), QString::number(i * 1000),
                                  QStringLiteral("%1.5").arg(i)});
        grid->model().setColWidth(1, 0);
        grid->model().setRowHeight(4, 0);
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
    Fixture() : services(client, registry) { CopyDialog::forgetLastChoice(); }

    QByteArray saveTo(QWidget* window, const QString& path)
    {
        services.fileDialogs.queueFileName(path);
        exporting::saveWindow(services.context, window);
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
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
    void saves_data();
    void saves();
    void asksWithProposedNameAndFilter_data();
    void asksWithProposedNameAndFilter();
    void nothingWrittenWithoutNameFolderOrWindow();
    void copiesRows_data();
    void copiesRows();
    void copyChoiceIsRememberedForTheRun();
    void copiesListViewRowsAsSaveWrites();
    void menuCopyShowsTheDialog();
    void shiftExtendedSelectionIsCopied();
    void filterSuffixes_data();
    void filterSuffixes();
    void saveDialogAddsTheChosenFiltersExtension_data();
    void saveDialogAddsTheChosenFiltersExtension();
};

void TestSaveCopy::saves_data()
{
    QTest::addColumn<bool>("grid");
    QTest::addColumn<int>("listRows");  // -1: no list view
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("grid: shown cells only") << true << -1 << ";"
                                            << QByteArray("Server;Util %;Note\r\nFS1;1000;1.50\r\nFS2;2000;2.50\r\n"
                                                          "FS3;3000;3.50\r\nFS5;5000;5.50\r\nFS6;6000;6.50\r\n");
    QTest::newRow("a stored delimiter of two characters is used whole")
        << false << 1 << " |" << QByteArray("Volume |Free MB\r\nVOL1 |1100.00\r\n");
    QTest::newRow("list view: header then rows")
        << false << 2 << "," << QByteArray("Volume,Free MB\r\nVOL1,1100.00\r\nVOL2,2100.00\r\n");
    QTest::newRow("list after the grid: the later table wins")
        << true << 1 << "," << QByteArray("Volume,Free MB\r\nVOL1,1100.00\r\n");
}

void TestSaveCopy::saves()
{
    QFETCH(bool, grid);
    QFETCH(int, listRows);
    QFETCH(QString, delimiter);
    QFETCH(QByteArray, expected);
    Fixture f;
    f.services.context.values.saveFileDelimiter = delimiter;
    GridWindow w;
    QWidget plain;
    QWidget* window = grid ? &w.window : &plain;
    if (listRows >= 0)
        addList(window, listRows);
    const QString path = f.dir.filePath(QStringLiteral("table.csv"));
    QCOMPARE(f.saveTo(window, path), expected);
    // Saving again over the same file replaces it.
    QCOMPARE(f.saveTo(window, path), expected);
    QVERIFY(f.services.messages.shown.isEmpty());
}

void TestSaveCopy::asksWithProposedNameAndFilter_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("inMdiFrame");
    QTest::addColumn<QString>("proposed");
    QTest::newRow("two slashes") << "Volume/Usage/Report" << false << "Volume-Usage/Report";
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
    exporting::saveWindow(f.services.context, window);
    QCOMPARE(f.services.fileDialogs.requests.size(), 1);
    const platform::SaveDialogRequest& request = f.services.fileDialogs.requests.constFirst();
    QCOMPARE(request.proposedName, proposed);
    QCOMPARE(request.filter, exporting::saveFilter());
    QVERIFY(request.overwritePrompt);
}

void TestSaveCopy::nothingWrittenWithoutNameFolderOrWindow()
{
    Fixture f;
    GridWindow w;
    QFile file(f.dir.filePath(QStringLiteral("kept.csv")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("earlier\r\n");
    file.close();
    exporting::saveWindow(f.services.context, &w.window);  // no name queued: cancelled
    QCOMPARE(f.services.fileDialogs.requests.size(), 1);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("earlier\r\n"));

    const QString unwritable = f.dir.filePath(QStringLiteral("missing-folder/out.csv"));
    QCOMPARE(f.saveTo(&w.window, unwritable), QByteArray("<no file>"));
    QVERIFY(!exporting::saveTables(&w.window, unwritable, QStringLiteral(",")));
    QVERIFY(f.services.messages.shown.isEmpty());

    f.services.fileDialogs.requests.clear();
    f.services.fileDialogs.queueFileName(f.dir.filePath(QStringLiteral("none.csv")));
    exporting::saveWindow(f.services.context, nullptr);
    exporting::copyWindow(f.services.context, nullptr, nullptr);
    QVERIFY(f.services.fileDialogs.requests.isEmpty());
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList({"kept.csv"}));
    QCOMPARE(f.services.clipboard.writes, 0);
}

void TestSaveCopy::copiesRows_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("rowSel");
    QTest::addColumn<bool>("allRows");
    QTest::addColumn<QString>("clipboard");
    const QString rows3to5 = QStringLiteral("Server\tHidden\tUtil %\tNote\r\nFS3\t3000\t3.50\r\nFS5\t5000\t5.50\r\n");
    QTest::newRow("rows 3 to 5, header first") << 3 << 5 << false << rows3to5;
    QTest::newRow("selected upwards") << 5 << 3 << false << rows3to5;
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
    f.services.context.values.saveFileDelimiter = QStringLiteral("\t");
    GridWindow w;
    w.grid->model().setRow(row);
    w.grid->model().setRowSel(rowSel);
    CopyDialog dialog(f.services.context, &w.window);
    (allRows ? dialog.optAllRows() : dialog.optSelected())->setChecked(true);
    QTest::mouseClick(dialog.btnCopy(), Qt::LeftButton);
    QCOMPARE(f.services.clipboard.text(), clipboard);
}

void TestSaveCopy::copyChoiceIsRememberedForTheRun()
{
    Fixture f;
    GridWindow w;
    QWidget volumes;
    addList(&volumes, 3);
    f.services.clipboard.setText(QStringLiteral("before"));
    // Copies All Rows or Selected Rows; gives the option the dialog opened with.
    const auto copyWith = [&](QWidget* window, bool allRows, bool cancel = false) {
        CopyDialog dialog(f.services.context, window);
        const bool openedWithAllRows = dialog.optAllRows()->isChecked();
        (allRows ? dialog.optAllRows() : dialog.optSelected())->setChecked(true);
        if (cancel)
            QTest::mouseClick(dialog.btnCancel(), Qt::LeftButton);
        else
            QTest::mouseClick(dialog.btnCopy(), Qt::LeftButton);
        return openedWithAllRows;
    };
    QVERIFY(!copyWith(&w.window, true, true));  // cancelled: neither copied nor remembered
    QCOMPARE(f.services.clipboard.text(), QStringLiteral("before"));
    QCOMPARE(f.services.clipboard.writes, 1);
    QVERIFY(!copyWith(&volumes, true));  // a list view is copied and the choice remembered
    QCOMPARE(f.services.clipboard.writes, 2);
    QVERIFY(copyWith(&w.window, false));
    QVERIFY(!copyWith(&w.window, false));
}

void TestSaveCopy::copiesListViewRowsAsSaveWrites()
{
    Fixture f;
    f.services.context.values.saveFileDelimiter = QStringLiteral(";");
    QWidget volumes;
    widgets::ReportListView* list = addList(&volumes, 4);
    list->setMultiSelect(true);
    list->setRowSelected(1, true);
    list->setRowSelected(3, true);
    const auto copyWith = [&](bool allRows) {
        CopyDialog dialog(f.services.context, &volumes);
        (allRows ? dialog.optAllRows() : dialog.optSelected())->setChecked(true);
        QTest::mouseClick(dialog.btnCopy(), Qt::LeftButton);
        return f.services.clipboard.text();
    };
    // All rows: exactly the lines Save writes, with the options' delimiter.
    QCOMPARE(copyWith(true), QString::fromLatin1(exporting::savedBytes(&volumes, QStringLiteral(";"))));
    QCOMPARE(copyWith(true), QStringLiteral("Volume;Free MB\r\nVOL1;1100.00\r\nVOL2;2100.00\r\n"
                                            "VOL3;3100.00\r\nVOL4;4100.00\r\n"));
    // Selected rows: the headings, then the selected rows only.
    QCOMPARE(copyWith(false), QStringLiteral("Volume;Free MB\r\nVOL2;2100.00\r\nVOL4;4100.00\r\n"));
    // Nothing selected: the clipboard keeps what it had.
    list->setRowSelected(1, false);
    list->setRowSelected(3, false);
    const int writes = f.services.clipboard.writes;
    QCOMPARE(copyWith(false), QStringLiteral("Volume;Free MB\r\nVOL2;2100.00\r\nVOL4;4100.00\r\n"));
    QCOMPARE(f.services.clipboard.writes, writes);
}

void TestSaveCopy::shiftExtendedSelectionIsCopied()
{
    Fixture f;
    f.services.context.values.saveFileDelimiter = QStringLiteral(",");
    GridWindow w;
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    w.grid->model().select(2, 0, 2, 0);
    // From FS2 two rows down with Shift: FS3, then FS5 past the hidden FS4.
    QTest::keyClick(w.grid->tableView(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(w.grid->tableView(), Qt::Key_Down, Qt::ShiftModifier);
    CopyDialog dialog(f.services.context, &w.window);
    dialog.optSelected()->setChecked(true);
    QTest::mouseClick(dialog.btnCopy(), Qt::LeftButton);
    QCOMPARE(f.services.clipboard.text(),
             QStringLiteral("Server,Hidden,Util %,Note\r\nFS2,2000,2.50\r\nFS3,3000,3.50\r\nFS5,5000,5.50\r\n"));
}

void TestSaveCopy::menuCopyShowsTheDialog()
{
    Fixture f;
    GridWindow w;
    w.grid->model().select(2, 0, 3, 0);
    bool shown = false;
    QTimer::singleShot(0, &w.window, [&] {
        auto* dialog = qobject_cast<CopyDialog*>(QApplication::activeModalWidget());
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
    exporting::copyWindow(f.services.context, &w.window, nullptr);
    QVERIFY(shown);
    QCOMPARE(f.services.clipboard.text(),
             QStringLiteral("Server,Hidden,Util %,Note\r\nFS2,2000,2.50\r\nFS3,3000,3.50\r\n"));
}

void TestSaveCopy::filterSuffixes_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("csv") << "CSV File(*.csv)"
                         << "csv";
    QTest::newRow("all files") << "All Files(*.*)"
                               << "";
    QTest::newRow("bare star") << "Anything (*)"
                               << "";
    QTest::newRow("first of several") << "Text (*.txt *.log)"
                                      << "txt";
}

void TestSaveCopy::filterSuffixes()
{
    QFETCH(QString, filter);
    QFETCH(QString, suffix);
    QCOMPARE(platform::filterSuffix(filter), suffix);
}

void TestSaveCopy::saveDialogAddsTheChosenFiltersExtension_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("filterIndex");
    QTest::addColumn<QString>("saved");
    QTest::newRow("csv chosen: extension added") << "report" << 0 << "report.csv";
    QTest::newRow("csv chosen: own extension kept") << "report.txt" << 0 << "report.txt";
    QTest::newRow("all files chosen: name as typed") << "report" << 1 << "report";
}

void TestSaveCopy::saveDialogAddsTheChosenFiltersExtension()
{
    QFETCH(QString, typed);
    QFETCH(int, filterIndex);
    QFETCH(QString, saved);
    QTemporaryDir dir;
    platform::DesktopFileDialogService dialogs;
    dialogs.setUseOwnDialog(true);
    platform::SaveDialogRequest request;
    request.proposedName = dir.filePath(QStringLiteral("proposed.csv"));
    request.filter = exporting::saveFilter();
    // The dialog is modal: answer it once it is up, as a user would.
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        // Choosing a filter in the type list, as the dialog reports it.
        const QString filter = dialog->nameFilters().value(filterIndex);
        dialog->selectNameFilter(filter);
        Q_EMIT dialog->filterSelected(filter);
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        name->setText(typed);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    QCOMPARE(dialogs.getSaveFileName(request), dir.filePath(saved));
}

VESKARO_TEST_MAIN(TestSaveCopy)
#include "test_savecopy.moc"

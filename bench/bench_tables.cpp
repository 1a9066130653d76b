// Figures for the two table widgets at 10,000 rows of 10 columns: filling,
// refreshing 7 cells of every row in place while the widget is shown, and
// sorting. A connection list refresh has this shape.

#include "support/Figures.h"
#include "widgets/FlexGrid.h"
#include "widgets/ReportListView.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace {

constexpr int Rows = 10000;
constexpr int Cols = 10;

QString cell(int row, int col, int pass)
{
    return QStringLiteral("%1").arg((row * 7919 + col * 104729 + pass * 15485863) % 1000000, 15);
}

void benchListView()
{
    widgets::ReportListView list;
    list.resize(900, 600);
    for (int c = 0; c < Cols; ++c)
        list.addColumn(QStringLiteral("Column %1").arg(c), c == 0 ? Qt::AlignLeft : Qt::AlignRight, 1200);
    list.show();
    QCoreApplication::processEvents();

    std::printf("ReportListView, %d rows x %d columns\n", Rows, Cols);
    QElapsedTimer timer;
    timer.start();
    list.beginUpdate();
    for (int r = 0; r < Rows; ++r) {
        QStringList cells;
        for (int c = 0; c < Cols; ++c)
            cells.append(cell(r, c, 0));
        list.addRow(cells);
    }
    list.endUpdate();
    QCoreApplication::processEvents();
    bench::report("fill (rows added, then painted)", timer.nsecsElapsed());

    for (int pass = 1; pass <= 3; ++pass) {
        timer.restart();
        list.beginUpdate();
        for (int r = 0; r < Rows; ++r)
            for (int c = 3; c < Cols; ++c)
                list.setItemText(r, c, cell(r, c, pass));
        list.endUpdate();
        list.repaint();
        bench::report(qPrintable(QStringLiteral("update 10,000 x 7 cells in place + repaint (pass %1)").arg(pass)),
               timer.nsecsElapsed());
    }

    timer.restart();
    for (int r = 0; r < Rows; ++r)
        for (int c = 3; c < Cols; ++c)
            list.setItemText(r, c, cell(r, c, 9));
    list.repaint();
    bench::report("update 10,000 x 7 cells, one signal per cell", timer.nsecsElapsed());

    list.setSelectedRow(5000);
    timer.restart();
    list.sortByColumn(4, Qt::AscendingOrder);
    list.repaint();
    bench::report("sort by a column, ascending", timer.nsecsElapsed());
    timer.restart();
    list.sortByColumn(4, Qt::DescendingOrder);
    list.repaint();
    bench::report("sort by the same column, descending", timer.nsecsElapsed());
}

void benchGrid()
{
    widgets::FlexGrid grid;
    grid.resize(900, 600);
    grid.setCols(Cols);
    grid.setRows(1);
    grid.setFixedRows(1);
    grid.setFixedCols(1);
    for (int c = 0; c < Cols; ++c)
        grid.setTextMatrix(0, c, QStringLiteral("Column %1").arg(c));
    grid.show();
    QCoreApplication::processEvents();

    std::printf("FlexGrid, %d rows x %d columns\n", Rows, Cols);
    QElapsedTimer timer;
    timer.start();
    grid.setRedraw(false);
    for (int r = 0; r < Rows; ++r) {
        QStringList cells;
        for (int c = 0; c < Cols; ++c)
            cells.append(cell(r, c, 0));
        grid.addRow(cells);
    }
    grid.setRedraw(true);
    QCoreApplication::processEvents();
    bench::report("fill (rows added, then painted)", timer.nsecsElapsed());

    for (int pass = 1; pass <= 3; ++pass) {
        timer.restart();
        grid.setRedraw(false);
        for (int r = 1; r <= Rows; ++r)
            for (int c = 3; c < Cols; ++c)
                grid.setTextMatrix(r, c, cell(r, c, pass));
        grid.setRedraw(true);
        grid.repaint();
        bench::report(qPrintable(QStringLiteral("update 10,000 x 7 cells in place + repaint (pass %1)").arg(pass)),
               timer.nsecsElapsed());
    }

    timer.restart();
    for (int r = 1; r <= Rows; ++r)
        for (int c = 3; c < Cols; ++c)
            grid.setTextMatrix(r, c, cell(r, c, 9));
    grid.repaint();
    bench::report("update 10,000 x 7 cells, redraw left on", timer.nsecsElapsed());

    timer.restart();
    for (int r = 1; r <= Rows; r += 2)
        grid.setRowHeight(r, 0);
    grid.repaint();
    bench::report("hide every second row, one at a time", timer.nsecsElapsed());
    timer.restart();
    for (int r = 1; r <= Rows; r += 2)
        grid.setRowHeight(r, grid.rowHeight(0));
    grid.repaint();
    bench::report("show them again", timer.nsecsElapsed());

    // The differences filter's pass: every second row hidden in one batch,
    // against the same pass on the model alone, with no view attached.
    const auto filterPass = [](models::FlexGridModel& model, int height) {
        model.beginUpdate();
        for (int r = 1; r <= Rows; r += 2)
            model.setRowHeight(r, height);
        model.endUpdate();
    };
    timer.restart();
    filterPass(grid.model(), 0);
    grid.repaint();
    const qint64 widgetHide = timer.nsecsElapsed();
    bench::report("hide every second row in one pass (differences filter)", widgetHide);
    timer.restart();
    filterPass(grid.model(), grid.rowHeight(0));
    grid.repaint();
    const qint64 widgetShow = timer.nsecsElapsed();
    bench::report("show them again in one pass", widgetShow);
    {
        models::FlexGridModel bare;
        bare.setCols(Cols);
        bare.setRows(1);
        bare.setFixedRows(1);
        bare.beginUpdate();
        for (int r = 0; r < Rows; ++r) {
            QStringList cells;
            for (int c = 0; c < Cols; ++c)
                cells.append(cell(r, c, 0));
            bare.addRow(cells);
        }
        bare.endUpdate();
        timer.restart();
        filterPass(bare, 0);
        const qint64 bareHide = timer.nsecsElapsed();
        timer.restart();
        filterPass(bare, bare.rowHeight(0));
        const qint64 bareShow = timer.nsecsElapsed();
        bench::report("the same two passes on the bare model", bareHide + bareShow);
        timer.restart();
        for (int r = 1; r <= Rows; r += 2)
            bare.setRowHeight(r, 0);
        for (int r = 1; r <= Rows; r += 2)
            bare.setRowHeight(r, bare.rowHeight(0));
        bench::report("bare model, hidden and shown one row at a time", timer.nsecsElapsed());
        std::printf("  ratio widget / bare model: %.2f\n",
                    static_cast<double>(widgetHide + widgetShow) / static_cast<double>(bareHide + bareShow));
    }

    timer.restart();
    grid.sortRows(4, models::SortMode::GenericAscending);
    grid.repaint();
    bench::report("sort rows, generic ascending (numbers)", timer.nsecsElapsed());
    timer.restart();
    grid.sortRows(0, models::SortMode::StringDescending);
    grid.repaint();
    bench::report("sort rows, text descending", timer.nsecsElapsed());
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchListView();
    benchGrid();
    return 0;
}

// Figures for the two table widgets at 10,000 rows of 10 columns: filling,
// refreshing 7 cells of every row in place while the widget is shown, and
// sorting. A connection list refresh has this shape. The grid's differences
// filter (every second row hidden and shown again, painted) is held against
// plain Qt doing the same: a table view over a filter proxy.

#include "support/Figures.h"
#include "widgets/FlexGrid.h"
#include "widgets/ReportListView.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QSortFilterProxyModel>
#include <QTableView>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Rows = 10000;
constexpr int Cols = 10;
constexpr int Rounds = 5;

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

// The floor of the differences filter: what plain Qt does for the same job.
// A table view of the same size over a plain model of the same ready-made
// texts hides every second row through a filter proxy and shows them again,
// painted each time. The best of a few rounds, the machine being shared.
class PlainTable : public QAbstractTableModel {
public:
    explicit PlainTable(std::vector<QStringList> rows) : m_rows(std::move(rows)) {}
    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : Cols; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        return m_rows[static_cast<size_t>(index.row())].at(index.column());
    }

private:
    std::vector<QStringList> m_rows;
};

class EverySecondRow : public QSortFilterProxyModel {
public:
    void setHiding(bool hiding)
    {
        m_hiding = hiding;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex&) const override { return !m_hiding || sourceRow % 2 == 1; }

private:
    bool m_hiding = false;
};

std::vector<QStringList> plainRows()
{
    std::vector<QStringList> rows;
    rows.reserve(Rows);
    // Grid row r (from 1) holds cell(r - 1, ...); the grid hides its odd rows,
    // which are the even rows here.
    for (int r = 0; r < Rows; ++r) {
        QStringList cells;
        for (int c = 0; c < Cols; ++c)
            cells.append(cell(r, c, 0));
        rows.push_back(cells);
    }
    return rows;
}

qint64 plainTableFilter()
{
    PlainTable model(plainRows());
    EverySecondRow filter;
    filter.setSourceModel(&model);
    QTableView view;
    view.resize(900, 600);
    view.setModel(&filter);
    view.show();
    QCoreApplication::processEvents();

    QElapsedTimer timer;
    qint64 best = 0;
    for (int round = 0; round < Rounds; ++round) {
        timer.restart();
        filter.setHiding(true);
        QCoreApplication::processEvents();
        filter.setHiding(false);
        QCoreApplication::processEvents();
        const qint64 pass = timer.nsecsElapsed();
        best = round == 0 ? pass : std::min(best, pass);
    }
    return best;
}

// For information: the same view hiding the rows itself, one call a row.
qint64 plainTableRowHiding()
{
    PlainTable model(plainRows());
    QTableView view;
    view.resize(900, 600);
    view.setModel(&model);
    view.show();
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    for (bool hidden : {true, false}) {
        for (int r = 0; r < Rows; r += 2)
            view.setRowHidden(r, hidden);
        QCoreApplication::processEvents();
    }
    return timer.nsecsElapsed();
}

void benchGrid()
{
    widgets::FlexGrid grid;
    grid.resize(900, 600);
    grid.model().setCols(Cols);
    grid.model().setRows(1);
    grid.model().setFixedRows(1);
    grid.model().setFixedCols(1);
    for (int c = 0; c < Cols; ++c)
        grid.model().setTextMatrix(0, c, QStringLiteral("Column %1").arg(c));
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
        grid.model().addRow(cells);
    }
    grid.setRedraw(true);
    QCoreApplication::processEvents();
    bench::report("fill (rows added, then painted)", timer.nsecsElapsed());

    for (int pass = 1; pass <= 3; ++pass) {
        timer.restart();
        grid.setRedraw(false);
        for (int r = 1; r <= Rows; ++r)
            for (int c = 3; c < Cols; ++c)
                grid.model().setTextMatrix(r, c, cell(r, c, pass));
        grid.setRedraw(true);
        grid.repaint();
        bench::report(qPrintable(QStringLiteral("update 10,000 x 7 cells in place + repaint (pass %1)").arg(pass)),
                      timer.nsecsElapsed());
    }

    timer.restart();
    for (int r = 1; r <= Rows; ++r)
        for (int c = 3; c < Cols; ++c)
            grid.model().setTextMatrix(r, c, cell(r, c, 9));
    grid.repaint();
    bench::report("update 10,000 x 7 cells, redraw left on", timer.nsecsElapsed());

    // The differences filter: every second row hidden, then shown again,
    // each painted. One row at a time first, for information; then in one
    // pass, as the filter does it, against the floor.
    timer.restart();
    for (int r = 1; r <= Rows; r += 2)
        grid.model().setRowHeight(r, 0);
    QCoreApplication::processEvents();
    bench::report("hide every second row, one at a time (painted)", timer.nsecsElapsed());
    timer.restart();
    for (int r = 1; r <= Rows; r += 2)
        grid.model().setRowHeight(r, grid.model().rowHeight(0));
    QCoreApplication::processEvents();
    bench::report("show them again, one at a time (painted)", timer.nsecsElapsed());

    const auto filterPass = [&grid](int height) {
        grid.setRedraw(false);
        for (int r = 1; r <= Rows; r += 2)
            grid.model().setRowHeight(r, height);
        grid.setRedraw(true);
        QCoreApplication::processEvents();
    };
    qint64 bestHide = 0;
    qint64 bestShow = 0;
    for (int round = 0; round < Rounds; ++round) {
        timer.restart();
        filterPass(0);
        const qint64 hide = timer.nsecsElapsed();
        timer.restart();
        filterPass(grid.model().rowHeight(0));
        const qint64 show = timer.nsecsElapsed();
        if (round == 0 || hide + show < bestHide + bestShow) {
            bestHide = hide;
            bestShow = show;
        }
    }
    const qint64 widget = bestHide + bestShow;
    const qint64 floor = plainTableFilter();
    bench::report("hide every second row in one pass (differences filter)", bestHide);
    bench::report("show them again in one pass", bestShow);
    bench::report("floor: plain QTableView + filter proxy, hide + show", floor);
    std::printf("  ratio grid / floor: %.2f\n", static_cast<double>(widget) / static_cast<double>(floor));
    bench::report("plain QTableView::setRowHidden a row at a time, hide + show", plainTableRowHiding());

    timer.restart();
    grid.model().sortRows(4, models::SortMode::GenericAscending, grid.model().fixedRows());
    grid.repaint();
    bench::report("sort rows, generic ascending (numbers)", timer.nsecsElapsed());
    timer.restart();
    grid.model().sortRows(0, models::SortMode::StringDescending, grid.model().fixedRows());
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

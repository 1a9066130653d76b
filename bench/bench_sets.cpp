// Figures for the SET parameter comparison at 100 servers of 400 parameters
// each (5 % of the values differing between servers): opening the window,
// the differences filter, find and header sorting; and the cost of joining
// parameters to their rows against writing the same cells at known rows.

#include "support/BenchDesktop.h"
#include "support/Figures.h"
#include "views/ServerReaders.h"
#include "views/SetCommandsWindow.h"
#include "widgets/FlexGrid.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QHash>
#include <QLineEdit>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int Servers = 100;
constexpr int Parameters = 400;

// The comparison's grid as the window sets it up, shown.
struct Table {
    widgets::FlexGrid grid;
    views::SetComparisonFill::Texts texts;  // kept by the window from one opening to the next

    Table()
    {
        grid.model().setRows(1);
        grid.model().setCols(2);
        grid.model().setFixedRows(1);
        grid.model().setFixedCols(2);
        grid.resize(1200, 800);
        grid.show();
        QCoreApplication::processEvents();
    }
};

QString serverName(size_t s)
{
    return QStringLiteral("S%1").arg(s, 4, 10, QLatin1Char('0'));
}

void openOne(Table& table, size_t s, const std::vector<std::vector<views::SetParameter>>& lists)
{
    models::FlexGridModel& model = table.grid.model();
    model.beginUpdate();
    views::SetComparisonFill fill(model, &table.texts);
    fill.beginServer(serverName(s));
    for (const views::SetParameter& p : lists[s % lists.size()])
        fill.add(p);
    fill.finish();
    model.endUpdate();
}

qint64 timeComparison(size_t servers, const std::vector<std::vector<views::SetParameter>>& lists)
{
    Table table;
    QElapsedTimer timer;
    timer.start();
    for (size_t s = 0; s < servers; ++s) {
        openOne(table, s, lists);
    }
    QCoreApplication::processEvents();
    return timer.nsecsElapsed();
}

qint64 timeFloor(size_t servers, const std::vector<std::vector<views::SetParameter>>& lists)
{
    struct Cell {
        int row;
        bool newRow;
        QString name, category, value;
    };
    std::vector<std::vector<Cell>> cells(servers);
    QHash<QString, int> rowOf;
    for (size_t s = 0; s < servers; ++s) {
        for (const views::SetParameter& p : lists[s % lists.size()]) {
            const QString key = p.name.toCaseFolded();
            const bool fresh = !rowOf.contains(key);
            if (fresh)
                rowOf.insert(key, static_cast<int>(rowOf.size()) + 1);
            cells[s].push_back({rowOf.value(key), fresh, p.name, views::parameterCategoryText(p.category),
                                views::parameterValueText(p.type, p.value)});
        }
    }
    Table table;
    models::FlexGridModel& model = table.grid.model();
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    QElapsedTimer timer;
    timer.start();
    for (size_t s = 0; s < servers; ++s) {
        model.beginUpdate();
        const int col = model.cols();
        model.setCols(col + 1);
        model.setColWidth(col, views::kSetServerColWidth);
        model.setTextMatrix(0, col, serverName(s));
        for (const Cell& c : cells[s]) {
            if (c.newRow)
                model.addRow({c.name, c.category});
            model.setTextMatrix(c.row, col, c.value);
            model.setCellAlignment(c.row, col, right);
        }
        model.endUpdate();
    }
    QCoreApplication::processEvents();
    return timer.nsecsElapsed();
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    bench::GeneratedNetwork network;
    network.clock = QStringLiteral("2026-12-05T19:04:36");
    bench::ServerGroup& generated = network.addGroup(QStringLiteral("GEN"), Servers);
    generated.nlms = 5;
    generated.setParameters = Parameters;
    generated.connections = 2;
    generated.seed = 7;
    const std::unique_ptr<nw::NetWareClient> client = bench::loadNetwork(network.json());
    if (!client)
        return 1;
    bench::BenchContext desktop(*client);
    bench::BenchHost host(desktop.context, QSize(1200, 800));
    host.selection = generated.names();
    host.window().show();
    QCoreApplication::processEvents();

    std::printf("SET parameter comparison, %d servers x %d parameters\n", Servers, Parameters);
    QElapsedTimer timer;

    // The parameters as the servers report them, read once for the fill figures.
    std::vector<std::vector<views::SetParameter>> lists;
    timer.start();
    bench::forEachServer(*client, host.selection, [&](const QString&, nw::NWCONN_HANDLE connection) {
        auto& list = lists.emplace_back();
        views::readSetParameters(*client, connection, [&list](const views::SetParameter& p) { list.push_back(p); });
    });
    bench::report("read every server's parameters (simulated network only)", timer.nsecsElapsed());

    bench::measure("open the comparison (connect, read, fill, sort, paint)", [&] { views::openSetCommands(host); });
    views::SetCommandsWindow* form = views::findView<views::SetCommandsWindow>(host);
    if (!form)
        return 1;
    widgets::FlexGrid& grid = *form->grdSetCommands();
    std::printf("  rows %d, columns %d\n", grid.model().rows() - 1, grid.model().cols());

    int shown = 0;
    bench::measure("show differences only (filter + paint)", [&] {
        form->chkDifferences()->click();
        QCoreApplication::processEvents();
        for (int r = 1; r < grid.model().rows(); ++r)
            shown += grid.model().rowHeight(r) > 0 ? 1 : 0;
    });
    std::printf("  rows left by the filter: %d\n", shown);
    bench::measure("show every row again", [&] { form->chkDifferences()->click(); });

    const QString last = grid.model().textMatrix(grid.model().rows() - 1, 0);
    bench::measure("find the last parameter (select + scroll + paint)",
                   [&] { form->txtFind()->setText(last.toLower()); });
    // Only the search itself: what it leaves to paint is counted with the sort below.
    timer.restart();
    form->txtFind()->setText(QStringLiteral("no such parameter"));
    bench::report("find without a match", timer.nsecsElapsed());

    bench::measure("sort by category, ascending (+ paint)", [&] { form->clickGrid(Qt::LeftButton, 0, 1, {}); });
    bench::measure("sort by category, descending (+ paint)", [&] { form->clickGrid(Qt::LeftButton, 0, 1, {}); });

    // One opening per server, as veskaro-report adds them, against the floor:
    // the same shown widget, one update per server, writing texts made
    // beforehand at the places the comparison ends up with. The read servers
    // are used in turn, each time under a new name.
    std::printf("\nOne opening per server, painted at the end (the %d read servers in turn)\n", Servers);
    bench::printGrowthAgainstFloor([&](size_t n) { return timeComparison(n, lists); },
                                   [&](size_t n) { return timeFloor(n, lists); });
    const long before = bench::heapInUseMiB();
    {
        Table table;
        for (size_t s = 0; s < 500; ++s)
            openOne(table, s, lists);
        std::printf("  table's own memory at 500 servers: %ld MiB (peak of the process %ld MiB)\n",
                    bench::heapInUseMiB() - before, bench::peakMemoryMiB());
    }
    return 0;
}

// Figures for the SET parameter comparison at 100 servers of 400 parameters
// each (5 % of the values differing between servers): opening the window,
// the differences filter, find and header sorting; and the cost of joining
// parameters to their rows against writing the same cells at known rows.

#include "support/BenchDesktop.h"
#include "support/Figures.h"
#include "views/ServerReaders.h"
#include "views/SetCommandsForm.h"
#include "widgets/FlexGrid.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int Servers = 100;
constexpr int Parameters = 400;

void makeComparisonGrid(models::FlexGridModel& grid)
{
    grid.setRows(1);
    grid.setCols(2);
    grid.setFixedRows(1);
    grid.setFixedCols(2);
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

    bench::measure("open the comparison (connect, read, fill, sort, paint)",
                   [&] { views::openSetCommands(host); });
    views::SetCommandsForm* form = views::findView<views::SetCommandsForm>(host);
    if (!form)
        return 1;
    widgets::FlexGrid& grid = *form->grdSetCommands();
    std::printf("  rows %d, columns %d\n", grid.rows() - 1, grid.cols());

    int shown = 0;
    bench::measure("show differences only (filter + paint)", [&] {
        form->chkDifferences()->click();
        QCoreApplication::processEvents();
        for (int r = 1; r < grid.rows(); ++r)
            shown += grid.rowHeight(r) > 0 ? 1 : 0;
    });
    std::printf("  rows left by the filter: %d\n", shown);
    bench::measure("show every row again", [&] { form->chkDifferences()->click(); });

    const QString last = grid.textMatrix(grid.rows() - 1, 0);
    bench::measure("find the last parameter (select + scroll + paint)",
                   [&] { form->txtFind()->setText(last.toLower()); });
    // Only the search itself: what it leaves to paint is counted with the sort below.
    timer.restart();
    form->txtFind()->setText(QStringLiteral("no such parameter"));
    bench::report("find without a match", timer.nsecsElapsed());

    bench::measure("sort by category, ascending (+ paint)",
                   [&] { form->clickGrid(Qt::LeftButton, 0, 1, {}); });
    bench::measure("sort by category, descending (+ paint)",
                   [&] { form->clickGrid(Qt::LeftButton, 0, 1, {}); });

    // Joining parameters to rows, as the window fills its grid, against
    // writing the same cells at rows known beforehand; both into a grid under
    // one update, values rendered in both.
    constexpr int Rounds = 5;
    qint64 joined = 0;
    qint64 direct = 0;
    qint64 sorted = 0;
    for (int round = 0; round < Rounds; ++round) {
        {
            widgets::FlexGrid target;
            models::FlexGridModel& model = target.model();
            makeComparisonGrid(model);
            timer.restart();
            model.beginUpdate();
            views::SetComparisonFill fill(model);
            for (size_t s = 0; s < lists.size(); ++s) {
                fill.beginServer(host.selection.at(static_cast<qsizetype>(s)));
                for (const views::SetParameter& p : lists[s])
                    fill.add(p);
                fill.endServer();
            }
            model.endUpdate();
            joined += timer.nsecsElapsed();
            timer.restart();
            model.sortRows(1, models::SortMode::GenericAscending, 1);
            sorted += timer.nsecsElapsed();
        }
        {
            widgets::FlexGrid target;
            models::FlexGridModel& model = target.model();
            makeComparisonGrid(model);
            timer.restart();
            model.beginUpdate();
            for (int r = 0; r < Parameters; ++r)
                model.addRow({lists[0][static_cast<size_t>(r)].name,
                              views::parameterCategoryText(lists[0][static_cast<size_t>(r)].category)});
            for (size_t s = 0; s < lists.size(); ++s) {
                const int col = model.cols();
                model.setCols(col + 1);
                model.setColWidth(col, views::kSetServerColWidth);
                model.setTextMatrix(0, col, views::serverColumnHeader(host.selection.at(static_cast<qsizetype>(s))));
                for (size_t r = 0; r < lists[s].size() && r < static_cast<size_t>(Parameters); ++r) {
                    const views::SetParameter& p = lists[s][r];
                    model.setTextMatrix(static_cast<int>(r) + 1, col, views::parameterValueText(p.type, p.value));
                    model.setCellAlignment(static_cast<int>(r) + 1, col, Qt::AlignRight | Qt::AlignVCenter);
                }
            }
            model.endUpdate();
            direct += timer.nsecsElapsed();
        }
    }
    bench::report("fill with row look-ups, as the window does (mean of 5)", joined / Rounds);
    bench::report("same cells written at known rows (mean of 5)", direct / Rounds);
    std::printf("  ratio fill / known rows: %.2f\n", static_cast<double>(joined) / static_cast<double>(direct));
    bench::report("one generic sort of the filled grid (mean of 5)", sorted / Rounds);
    return 0;
}

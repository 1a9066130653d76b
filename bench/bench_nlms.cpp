// Figures for the loaded-module comparison of 100 generated servers with 300
// modules each (5 % of the versions differing): opening the comparison for
// all of them, the differences filter on and off, find, header sorts, and the
// cost of filing modules by name against writing the same cells at known
// places.

#include "support/BenchDesktop.h"
#include "support/Figures.h"
#include "views/NLMForm.h"
#include "views/ServerReaders.h"
#include "widgets/FlexGrid.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QHash>
#include <QLineEdit>

#include <cstdio>
#include <memory>

namespace {

constexpr int Servers = 100;
constexpr int Modules = 300;

// Every server's modules read once, so that filing can be timed without the network.
std::vector<std::vector<views::LoadedModule>> readAll(nw::NetWareClient& client, const QStringList& servers)
{
    std::vector<std::vector<views::LoadedModule>> all;
    bench::forEachServer(client, servers, [&](const QString&, nw::NWCONN_HANDLE connection) {
        auto& modules = all.emplace_back();
        views::readLoadedModules(client, connection, [&modules](const std::vector<views::LoadedModule>& batch) {
            modules.insert(modules.end(), batch.begin(), batch.end());
        });
    });
    return all;
}

// The comparison's two tables as the window sets them up, filled under one
// update each; only the filling is timed.
template <typename Fill>
qint64 timeFill(Fill&& fill)
{
    widgets::FlexGrid nlmGrid;
    widgets::FlexGrid descriptionGrid;
    nlmGrid.setRows(2);
    nlmGrid.setCols(1);
    nlmGrid.setFixedRows(2);
    nlmGrid.setFixedCols(1);
    descriptionGrid.setRows(1);
    descriptionGrid.setCols(1);
    descriptionGrid.setFixedRows(1);
    QElapsedTimer timer;
    timer.start();
    nlmGrid.beginUpdate();
    descriptionGrid.beginUpdate();
    fill(nlmGrid, descriptionGrid);
    descriptionGrid.endUpdate();
    nlmGrid.endUpdate();
    return timer.nsecsElapsed();
}

// The comparison's own filing: name look-ups, both tables, the sort by name.
qint64 timeComparisonFill(const QStringList& servers, const std::vector<std::vector<views::LoadedModule>>& all)
{
    return timeFill([&](widgets::FlexGrid& nlmGrid, widgets::FlexGrid& descriptionGrid) {
        views::NlmComparisonFill fill(nlmGrid.model(), descriptionGrid.model());
        for (size_t s = 0; s < all.size(); ++s) {
            fill.addServer(servers.at(static_cast<int>(s)), views::NlmShow::Both);
            fill.addModules(all[s]);
        }
        fill.finish();
    });
}

// The same cells written where they belong, the places worked out beforehand.
qint64 timePlainFill(const QStringList& servers, const std::vector<std::vector<views::LoadedModule>>& all)
{
    QHash<QString, int> rowOf;
    for (const auto& modules : all) {
        for (const auto& m : modules) {
            const QString key = m.fileName.toCaseFolded();
            if (!rowOf.contains(key))
                rowOf.insert(key, static_cast<int>(rowOf.size()) + 2);
        }
    }
    std::vector<std::vector<int>> places(all.size());
    for (size_t s = 0; s < all.size(); ++s) {
        for (const auto& m : all[s])
            places[s].push_back(rowOf.value(m.fileName.toCaseFolded()));
    }

    return timeFill([&](widgets::FlexGrid& nlmGrid, widgets::FlexGrid& descriptionGrid) {
        nlmGrid.setRows(static_cast<int>(rowOf.size()) + 2);
        descriptionGrid.setRows(static_cast<int>(rowOf.size()) + 1);
        nlmGrid.setCols(1 + 2 * static_cast<int>(all.size()));
        descriptionGrid.setCols(1 + static_cast<int>(all.size()));
        for (size_t s = 0; s < all.size(); ++s) {
            const int col = 1 + 2 * static_cast<int>(s);
            nlmGrid.setTextMatrix(0, col, servers.at(static_cast<int>(s)));
            descriptionGrid.setTextMatrix(0, static_cast<int>(s) + 1, servers.at(static_cast<int>(s)));
            for (size_t i = 0; i < all[s].size(); ++i) {
                const views::LoadedModule& m = all[s][i];
                const int row = places[s][i];
                nlmGrid.setTextMatrix(row, 0, m.fileName);
                nlmGrid.setTextMatrix(
                    row, col, views::nlmVersionText(m.info.majorVersion, m.info.minorVersion, m.info.revision));
                nlmGrid.setTextMatrix(row, col + 1, views::nlmDateText(m.info.year, m.info.month, m.info.day));
                descriptionGrid.setTextMatrix(row - 1, 0, m.fileName);
                descriptionGrid.setTextMatrix(row - 1, static_cast<int>(s) + 1,
                                              m.descriptiveName + QLatin1Char('\n') + m.copyright);
            }
        }
    });
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    bench::GeneratedNetwork network;
    network.organization = QStringLiteral("ACME");
    bench::ServerGroup& generated = network.addGroup(QStringLiteral("GEN"), Servers);
    generated.nlms = Modules;
    generated.seed = 11;
    const std::unique_ptr<nw::NetWareClient> client = bench::loadNetwork(network.json());
    if (!client)
        return 1;
    bench::BenchContext desktop(*client);
    bench::BenchHost host(desktop.context, QSize(1280, 900));
    host.window().show();
    const QStringList servers = generated.names();
    host.selection = servers;

    std::printf("NLM comparison, %d servers x %d modules, 5 %% differing\n", Servers, Modules);
    bench::measure("open the comparison for all servers (network included)", [&] { views::openNLMs(host); });

    views::NLMForm* form = views::findView<views::NLMForm>(host);
    if (!form || form->grdNLMs()->cols() != 1 + 2 * Servers) {
        std::printf("the comparison did not open with every server\n");
        return 1;
    }
    widgets::FlexGrid& grid = *form->grdNLMs();
    std::printf("  rows %d, columns %d\n", grid.rows() - 2, grid.cols());

    int shown = 0;
    bench::measure("differences filter on", [&] {
        form->chkNLMDifferencesOnly()->setChecked(true);
        QCoreApplication::processEvents();
        for (int r = 2; r < grid.rows(); ++r)
            shown += grid.rowHeight(r) > 0 ? 1 : 0;
    });
    std::printf("  rows that differ: %d\n", shown);
    bench::measure("differences filter off", [&] { form->chkNLMDifferencesOnly()->setChecked(false); });

    const QString lastName = grid.textMatrix(grid.rows() - 1, 0);
    bench::measure("find the last row by its first six letters", [&] { form->txtFind()->setText(lastName.left(6)); });
    bench::measure("find a name that is not there", [&] { form->txtFind()->setText(QStringLiteral("#none#")); });

    bench::measure("sort by name (header click)", [&] { form->clickGrid(Qt::LeftButton, 0, 0, {}); });
    bench::measure("sort by the first version column (numeric)",
                   [&] { form->clickGrid(Qt::LeftButton, 1, 1, {}); });
    bench::measure("sort by a date column (text)", [&] { form->clickGrid(Qt::LeftButton, 1, 100, {}); });

    const auto all = readAll(*client, servers);
    qint64 comparison = 0;
    qint64 plain = 0;
    constexpr int Rounds = 5;
    for (int round = 0; round < Rounds; ++round) {
        comparison += timeComparisonFill(servers, all);
        plain += timePlainFill(servers, all);
    }
    bench::report("fill by name look-up, both tables, sorted by name", comparison / Rounds);
    bench::report("same cells written at known places", plain / Rounds);
    std::printf("  ratio %.2f\n", static_cast<double>(comparison) / static_cast<double>(plain));
    return 0;
}

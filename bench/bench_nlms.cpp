// Figures for the loaded-module comparison of 100 generated servers with 300
// modules each (5 % of the versions differing): opening the comparison for
// all of them, the differences filter on and off, find, header sorts, and the
// cost of filing modules by name against writing the same cells at known
// places.

#include "support/BenchDesktop.h"
#include "support/Figures.h"
#include "views/NlmWindow.h"
#include "views/ServerReaders.h"
#include "widgets/FlexGrid.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QHash>
#include <QWidget>
#include <QLineEdit>

#include <algorithm>
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

// The comparison's two tables as the window sets them up, shown, so that
// each server's columns and rows reach the views as they do on screen.
struct Tables {
    QWidget window;
    widgets::FlexGrid* nlms = new widgets::FlexGrid(&window);
    widgets::FlexGrid* descriptions = new widgets::FlexGrid(&window);

    Tables()
    {
        nlms->model().setRows(2);
        nlms->model().setCols(1);
        nlms->model().setFixedRows(2);
        nlms->model().setFixedCols(1);
        descriptions->model().setRows(1);
        descriptions->model().setCols(1);
        descriptions->model().setFixedRows(1);
        descriptions->model().setFixedCols(1);
        descriptions->hide();
        nlms->resize(1200, 800);
        window.resize(1200, 800);
        window.show();
        QCoreApplication::processEvents();
    }
};

// Server `s` of a run of any length: the read servers are used in turn, each
// time under a new name.
QString serverName(size_t s)
{
    return QStringLiteral("S%1").arg(s, 4, 10, QLatin1Char('0'));
}

// One opening per server, as veskaro-report adds them.
void addServers(Tables& tables, views::NlmComparisonFill::Texts& texts, size_t servers,
                const std::vector<std::vector<views::LoadedModule>>& all)
{
    for (size_t s = 0; s < servers; ++s) {
        tables.nlms->model().beginUpdate();
        tables.descriptions->model().beginUpdate();
        views::NlmComparisonFill fill(tables.nlms->model(), tables.descriptions->model(), QLocale(), &texts);
        fill.addServer(serverName(s), views::NlmShow::Both);
        fill.addModules(all[s % all.size()]);
        fill.finish();
        tables.descriptions->model().endUpdate();
        tables.nlms->model().endUpdate();
    }
}

// The comparison as veskaro-report fills it: one opening per server (its own
// update, name look-ups, texts made from the module records, the sort by
// name at the end); the events run once at the end.
qint64 timeComparison(size_t servers, const std::vector<std::vector<views::LoadedModule>>& all)
{
    Tables tables;
    views::NlmComparisonFill::Texts texts;  // kept by the window from one opening to the next
    QElapsedTimer timer;
    timer.start();
    addServers(tables, texts, servers, all);
    QCoreApplication::processEvents();
    return timer.nsecsElapsed();
}

// The floor: the same widgets, one update per server, writing texts made
// beforehand at the places the comparison ends up with (rows appended in the
// order their names first come, columns appended per server).
qint64 timeFloor(size_t servers, const std::vector<std::vector<views::LoadedModule>>& all)
{
    struct Cell {
        int row;  // data row, 0 the first
        bool newRow;
        QString name, version, date, description;
    };
    std::vector<std::vector<Cell>> cells(servers);
    QHash<QString, int> rowOf;
    for (size_t s = 0; s < servers; ++s) {
        for (const views::LoadedModule& m : all[s % all.size()]) {
            const QString key = m.fileName.toCaseFolded();
            const bool fresh = !rowOf.contains(key);
            if (fresh)
                rowOf.insert(key, static_cast<int>(rowOf.size()));
            cells[s].push_back({rowOf.value(key), fresh, m.fileName,
                                views::nlmVersionText(m.info.majorVersion, m.info.minorVersion, m.info.revision),
                                views::nlmDateText(m.info.year, m.info.month, m.info.day),
                                m.descriptiveName + QLatin1Char('\n') + m.copyright});
        }
    }
    const QString version = QStringLiteral("Version");
    const QString date = QStringLiteral("Date");

    Tables tables;
    models::FlexGridModel& nlms = tables.nlms->model();
    models::FlexGridModel& descriptions = tables.descriptions->model();
    QElapsedTimer timer;
    timer.start();
    for (size_t s = 0; s < servers; ++s) {
        nlms.beginUpdate();
        descriptions.beginUpdate();
        const int col = nlms.cols();
        const int descriptionCol = descriptions.cols();
        nlms.setCols(col + 2);
        descriptions.setCols(descriptionCol + 1);
        const QString name = serverName(s);
        nlms.setTextMatrix(0, col, name);
        nlms.setTextMatrix(0, col + 1, name);
        nlms.setTextMatrix(1, col, version);
        nlms.setTextMatrix(1, col + 1, date);
        nlms.setColWidth(col, views::kNlmShownColWidth);
        nlms.setColWidth(col + 1, views::kNlmShownColWidth);
        descriptions.setTextMatrix(0, descriptionCol, name);
        for (const Cell& c : cells[s]) {
            if (c.newRow) {
                nlms.addRow({c.name});
                descriptions.addRow({c.name});
            }
            nlms.setTextMatrix(c.row + 2, col, c.version);
            nlms.setTextMatrix(c.row + 2, col + 1, c.date);
            descriptions.setTextMatrix(c.row + 1, descriptionCol, c.description);
        }
        descriptions.endUpdate();
        nlms.endUpdate();
    }
    QCoreApplication::processEvents();
    return timer.nsecsElapsed();
}

// The table's own memory at `servers` servers: peak growth while one is built.
long tablesMemoryMiB(size_t servers, const std::vector<std::vector<views::LoadedModule>>& all)
{
    const long before = bench::heapInUseMiB();
    Tables tables;
    views::NlmComparisonFill::Texts texts;
    addServers(tables, texts, servers, all);
    QCoreApplication::processEvents();
    return bench::heapInUseMiB() - before;
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

    views::NlmWindow* form = views::findView<views::NlmWindow>(host);
    if (!form || form->grdNLMs()->model().cols() != 1 + 2 * Servers) {
        std::printf("the comparison did not open with every server\n");
        return 1;
    }
    widgets::FlexGrid& grid = *form->grdNLMs();
    std::printf("  rows %d, columns %d\n", grid.model().rows() - 2, grid.model().cols());

    int shown = 0;
    bench::measure("differences filter on", [&] {
        form->chkNLMDifferencesOnly()->setChecked(true);
        QCoreApplication::processEvents();
        for (int r = 2; r < grid.model().rows(); ++r)
            shown += grid.model().rowHeight(r) > 0 ? 1 : 0;
    });
    std::printf("  rows that differ: %d\n", shown);
    bench::measure("differences filter off", [&] { form->chkNLMDifferencesOnly()->setChecked(false); });

    const QString lastName = grid.model().textMatrix(grid.model().rows() - 1, 0);
    bench::measure("find the last row by its first six letters", [&] { form->txtFind()->setText(lastName.left(6)); });
    bench::measure("find a name that is not there", [&] { form->txtFind()->setText(QStringLiteral("#none#")); });

    bench::measure("sort by name (header click)", [&] { form->clickGrid(Qt::LeftButton, 0, 0, {}); });
    bench::measure("sort by the first version column (numeric)", [&] { form->clickGrid(Qt::LeftButton, 1, 1, {}); });
    bench::measure("sort by a date column (text)", [&] { form->clickGrid(Qt::LeftButton, 1, 100, {}); });

    const auto all = readAll(*client, servers);
    std::printf(
        "\nOne opening per server, as veskaro-report adds them, painted at the end (the %d read servers in turn)\n",
        Servers);
    bench::printGrowthAgainstFloor([&](size_t n) { return timeComparison(n, all); },
                                   [&](size_t n) { return timeFloor(n, all); });
    std::printf("  tables' own memory at 500 servers: %ld MiB (peak of the process %ld MiB)\n",
                tablesMemoryMiB(500, all), bench::peakMemoryMiB());
    return 0;
}

// Figures for the loaded-module comparison of 100 generated servers with 300
// modules each (5 % of the versions differing): opening the comparison for
// all of them, the differences filter on and off, find, header sorts, and the
// cost of filing modules by name against writing the same cells at known
// places.

#include "netware/ClientProvider.h"
#include "netware/NovellCalls.h"
#include "views/NLMForm.h"
#include "views/ServerReaders.h"
#include "widgets/FlexGrid.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QHash>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>

#include <cstdio>
#include <map>
#include <memory>

namespace {

constexpr int Servers = 100;
constexpr int Modules = 300;

const QByteArray kNetwork = R"({ "format": 1,
  "trees": [ { "name": "BENCH_TREE", "containers": [ { "name": "ACME", "class": "Organization" } ] } ],
  "generate": [ { "prefix": "GEN", "count": 100, "tree": "BENCH_TREE", "nlms": 300, "setParameters": 0,
                  "connections": 0, "differences": 0.05, "seed": 11 } ] })";

void report(const char* what, qint64 ns)
{
    std::printf("  %-58s %9.2f ms\n", what, static_cast<double>(ns) / 1e6);
}

// The desktop and the settings store as far as the window needs them here:
// messages are printed, nothing is stored.
class PrintedMessages : public platform::MessageService {
public:
    platform::Answer show(const platform::Message& message) override
    {
        std::printf("  message: %s\n", qPrintable(message.text));
        return message.defaultAnswer;
    }
};
class NoFileDialogs : public platform::FileDialogService {
public:
    QString getSaveFileName(const platform::SaveDialogRequest&) override { return {}; }
};
class NoClipboard : public platform::ClipboardService {
public:
    bool setText(const QString&) override { return false; }
    QString text() const override { return {}; }
};
class NoProcesses : public platform::ProcessLauncher {
public:
    bool startDetached(const QString&, const QStringList&, const QString&) override { return false; }
    bool openUrl(const QString&) override { return false; }
};
class NoRegistry : public settings::RegistryStore {
public:
    bool keyExists(settings::Hive, const QString&) const override { return false; }
    bool createKey(settings::Hive, const QString&) override { return false; }
    std::optional<QString> queryValue(settings::Hive, const QString&, const QString&) const override { return {}; }
    bool setValue(settings::Hive, const QString&, const QString&, const QString&) override { return false; }
    bool deleteValue(settings::Hive, const QString&, const QString&) override { return false; }
    std::optional<QString> enumKey(settings::Hive, const QString&, int) const override { return {}; }
};

class BenchHost : public app::ViewHost {
public:
    explicit BenchHost(app::AppContext& context) : m_context(context)
    {
        m_area = new QMdiArea(&m_window);
        m_window.setCentralWidget(m_area);
        m_window.resize(1280, 900);
    }
    app::AppContext& context() override { return m_context; }
    QMdiArea* mdiArea() override { return m_area; }
    QStringList selectedServers() const override { return selection; }
    int serverCount() const override { return static_cast<int>(selection.size()); }
    void subEnableSaveCopy(const QString&) override {}
    void setSaveEnabled(bool) override {}
    void setCopyEnabled(bool) override {}
    QMenu* menu(const QString&) override { return nullptr; }
    QAction* menuAction(const QString& name) override
    {
        auto& action = m_actions[name];
        if (!action)
            action = std::make_unique<QAction>(name);
        return action.get();
    }
    void setMenuVisible(const QString&, bool) override {}
    void popupMenu(const QString&, const QPoint&) override {}
    bool fnActivateOpenForm(const QString&) override { return false; }
    void beginOpening(bool) override {}
    void endOpening() override {}

    QMainWindow& window() { return m_window; }
    QStringList selection;

private:
    app::AppContext& m_context;
    QMainWindow m_window;
    QMdiArea* m_area;
    std::map<QString, std::unique_ptr<QAction>> m_actions;
};

// Every server's modules read once, so that filing can be timed without the network.
std::vector<std::vector<views::LoadedModule>> readAll(nw::NetWareClient& client, const QStringList& servers)
{
    std::vector<std::vector<views::LoadedModule>> all;
    for (const QString& server : servers) {
        nw::NWCONN_HANDLE connection = 0;
        nw::fcnOpenConnByName(client, server, connection);
        auto& modules = all.emplace_back();
        views::fcnReadLoadedModules(client, connection, [&modules](const std::vector<views::LoadedModule>& batch) {
            modules.insert(modules.end(), batch.begin(), batch.end());
        });
        client.NWCCCloseConn(connection);
    }
    return all;
}

void setUpTables(widgets::FlexGridModel& nlms, widgets::FlexGridModel& descriptions)
{
    nlms.setRows(2);
    nlms.setCols(1);
    nlms.setFixedRows(2);
    nlms.setFixedCols(1);
    descriptions.setRows(1);
    descriptions.setCols(1);
    descriptions.setFixedRows(1);
}

// The comparison's own filing: name look-ups, both tables, the sort by name.
qint64 timeComparisonFill(const QStringList& servers, const std::vector<std::vector<views::LoadedModule>>& all)
{
    widgets::FlexGrid nlmGrid;
    widgets::FlexGrid descriptionGrid;
    setUpTables(nlmGrid.model(), descriptionGrid.model());
    QElapsedTimer timer;
    timer.start();
    nlmGrid.beginUpdate();
    descriptionGrid.beginUpdate();
    views::NlmComparisonFill fill(nlmGrid.model(), descriptionGrid.model());
    for (size_t s = 0; s < all.size(); ++s) {
        fill.addServer(servers.at(static_cast<int>(s)), views::NlmShow::Both);
        fill.addModules(all[s]);
    }
    fill.finish();
    descriptionGrid.endUpdate();
    nlmGrid.endUpdate();
    return timer.nsecsElapsed();
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

    widgets::FlexGrid nlmGrid;
    widgets::FlexGrid descriptionGrid;
    setUpTables(nlmGrid.model(), descriptionGrid.model());
    QElapsedTimer timer;
    timer.start();
    nlmGrid.beginUpdate();
    descriptionGrid.beginUpdate();
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
            nlmGrid.setTextMatrix(row, col,
                                  views::fcnNlmVersionText(m.info.majorVersion, m.info.minorVersion, m.info.revision));
            nlmGrid.setTextMatrix(row, col + 1, views::fcnNlmDateText(m.info.year, m.info.month, m.info.day));
            descriptionGrid.setTextMatrix(row - 1, 0, m.fileName);
            descriptionGrid.setTextMatrix(row - 1, static_cast<int>(s) + 1,
                                          m.descriptiveName + QLatin1Char('\n') + m.copyright);
        }
    }
    descriptionGrid.endUpdate();
    nlmGrid.endUpdate();
    return timer.nsecsElapsed();
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    nw::ClientLoad load = nw::loadSimulatedNetworkFromJson(kNetwork, QString(), QStringLiteral("bench network"));
    if (load.outcome != nw::ClientLoad::Outcome::Loaded) {
        std::printf("network did not load: %s\n", qPrintable(load.problem));
        return 1;
    }
    NoRegistry registry;
    PrintedMessages messages;
    NoFileDialogs dialogs;
    NoClipboard clipboard;
    NoProcesses processes;
    app::AppContext context(*load.client, registry, messages, dialogs, clipboard, processes);
    context.saveWindowState = false;
    BenchHost host(context);
    host.window().show();

    QStringList servers;
    for (int i = 1; i <= Servers; ++i)
        servers << QStringLiteral("GEN%1").arg(i, 3, 10, QLatin1Char('0'));
    host.selection = servers;

    std::printf("NLM comparison, %d servers x %d modules, 5 %% differing\n", Servers, Modules);
    QElapsedTimer timer;
    timer.start();
    views::btnNLMs_Click(host);
    QCoreApplication::processEvents();
    report("open the comparison for all servers (network included)", timer.nsecsElapsed());

    views::frmNLMs* form = views::fcnFindNlmForm(host);
    if (!form || form->grdNLMs()->cols() != 1 + 2 * Servers) {
        std::printf("the comparison did not open with every server\n");
        return 1;
    }
    widgets::FlexGrid& grid = *form->grdNLMs();
    std::printf("  rows %d, columns %d\n", grid.rows() - 2, grid.cols());

    timer.restart();
    form->chkNLMDifferencesOnly()->setChecked(true);
    QCoreApplication::processEvents();
    int shown = 0;
    for (int r = 2; r < grid.rows(); ++r)
        shown += grid.rowHeight(r) > 0 ? 1 : 0;
    report("differences filter on", timer.nsecsElapsed());
    std::printf("  rows that differ: %d\n", shown);
    timer.restart();
    form->chkNLMDifferencesOnly()->setChecked(false);
    QCoreApplication::processEvents();
    report("differences filter off", timer.nsecsElapsed());

    const QString lastName = grid.textMatrix(grid.rows() - 1, 0);
    timer.restart();
    form->txtFind()->setText(lastName.left(6));
    QCoreApplication::processEvents();
    report("find the last row by its first six letters", timer.nsecsElapsed());
    timer.restart();
    form->txtFind()->setText(QStringLiteral("#none#"));
    QCoreApplication::processEvents();
    report("find a name that is not there", timer.nsecsElapsed());

    timer.restart();
    form->grdNLMs_MouseDown(Qt::LeftButton, 0, 0, {});
    QCoreApplication::processEvents();
    report("sort by name (header click)", timer.nsecsElapsed());
    timer.restart();
    form->grdNLMs_MouseDown(Qt::LeftButton, 1, 1, {});
    QCoreApplication::processEvents();
    report("sort by the first version column (numeric)", timer.nsecsElapsed());
    timer.restart();
    form->grdNLMs_MouseDown(Qt::LeftButton, 1, 100, {});
    QCoreApplication::processEvents();
    report("sort by a date column (text)", timer.nsecsElapsed());

    const auto all = readAll(*load.client, servers);
    qint64 comparison = 0;
    qint64 plain = 0;
    constexpr int Rounds = 5;
    for (int round = 0; round < Rounds; ++round) {
        comparison += timeComparisonFill(servers, all);
        plain += timePlainFill(servers, all);
    }
    report("fill by name look-up, both tables, sorted by name", comparison / Rounds);
    report("same cells written at known places", plain / Rounds);
    std::printf("  ratio %.2f\n", static_cast<double>(comparison) / static_cast<double>(plain));
    return 0;
}

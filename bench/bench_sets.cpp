// Figures for the SET parameter comparison at 100 servers of 400 parameters
// each (5 % of the values differing between servers): opening the window,
// the differences filter, find and header sorting; and the cost of joining
// parameters to their rows against writing the same cells at known rows.

#include "app/ViewHost.h"
#include "netware/ClientProvider.h"
#include "views/ServerReaders.h"
#include "views/SetCommandsForm.h"
#include "widgets/FlexGrid.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int Servers = 100;
constexpr int Parameters = 400;

struct QuietMessages : platform::MessageService {
    platform::Answer show(const platform::Message& m) override
    {
        std::printf("  message: %s\n", qPrintable(m.text));
        return m.defaultAnswer;
    }
};
struct NoDialogs : platform::FileDialogService {
    QString getSaveFileName(const platform::SaveDialogRequest&) override { return {}; }
};
struct NoClipboard : platform::ClipboardService {
    bool setText(const QString&) override { return true; }
    QString text() const override { return {}; }
};
struct NoProcesses : platform::ProcessLauncher {
    bool startDetached(const QString&, const QStringList&, const QString&) override { return true; }
    bool openUrl(const QString&) override { return true; }
};
struct NoSettings : settings::RegistryStore {
    bool keyExists(settings::Hive, const QString&) const override { return false; }
    bool createKey(settings::Hive, const QString&) override { return false; }
    std::optional<QString> queryValue(settings::Hive, const QString&, const QString&) const override { return {}; }
    bool setValue(settings::Hive, const QString&, const QString&, const QString&) override { return false; }
    bool deleteValue(settings::Hive, const QString&, const QString&) override { return false; }
    std::optional<QString> enumKey(settings::Hive, const QString&, int) const override { return {}; }
};

// The main window as far as the comparison needs it.
class BenchHost : public app::ViewHost {
public:
    explicit BenchHost(app::AppContext& context) : m_context(context)
    {
        m_window.setCentralWidget(new QMdiArea);
        m_window.resize(1200, 800);
    }
    app::AppContext& context() override { return m_context; }
    QMdiArea* mdiArea() override { return static_cast<QMdiArea*>(m_window.centralWidget()); }
    QStringList selectedServers() const override { return selection; }
    int serverCount() const override { return static_cast<int>(selection.size()); }
    void subEnableSaveCopy(const QString&) override {}
    void setSaveEnabled(bool) override {}
    void setCopyEnabled(bool) override {}
    QMenu* menu(const QString& name) override
    {
        if (!m_menu) {
            m_menu = m_window.menuBar()->addMenu(name);
            m_menu->setObjectName(name);
        }
        return m_menu;
    }
    QAction* menuAction(const QString&) override { return &m_action; }
    void setMenuVisible(const QString& name, bool visible) override { menu(name)->menuAction()->setVisible(visible); }
    void popupMenu(const QString&, const QPoint&) override {}
    bool fnActivateOpenForm(const QString&) override { return false; }
    void beginOpening(bool) override {}
    void endOpening() override {}

    QMainWindow& window() { return m_window; }
    QStringList selection;

private:
    app::AppContext& m_context;
    QMainWindow m_window;
    QMenu* m_menu = nullptr;
    QAction m_action;
};

void report(const char* what, qint64 ns)
{
    std::printf("  %-60s %9.2f ms\n", what, static_cast<double>(ns) / 1e6);
}

QByteArray description()
{
    return QStringLiteral(R"({ "format": 1, "clock": "2026-12-05T19:04:36",
      "workstation": { "tree": "BENCH_TREE", "logins": { "BENCH_TREE": "admin.BENCH" } },
      "trees": [ { "name": "BENCH_TREE", "containers": [ { "name": "BENCH", "class": "Organization" } ] } ],
      "generate": [ { "prefix": "GEN", "count": %1, "tree": "BENCH_TREE", "setParameters": %2,
                      "nlms": 5, "connections": 2, "volumes": 1, "differences": 0.05, "seed": 7 } ] })")
        .arg(Servers)
        .arg(Parameters)
        .toUtf8();
}

void makeComparisonGrid(widgets::FlexGridModel& grid)
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
    nw::ClientLoad load = nw::loadSimulatedNetworkFromJson(description(), QString(), QStringLiteral("bench"));
    if (load.outcome != nw::ClientLoad::Outcome::Loaded) {
        std::printf("network did not load: %s\n", qPrintable(load.problem));
        return 1;
    }
    NoSettings registry;
    QuietMessages messages;
    NoDialogs dialogs;
    NoClipboard clipboard;
    NoProcesses processes;
    app::AppContext context(*load.client, registry, messages, dialogs, clipboard, processes);
    context.saveWindowState = false;
    BenchHost host(context);
    for (int i = 1; i <= Servers; ++i)
        host.selection << QStringLiteral("GEN%1").arg(i, 3, 10, QLatin1Char('0'));
    host.window().show();
    QCoreApplication::processEvents();

    std::printf("SET parameter comparison, %d servers x %d parameters\n", Servers, Parameters);
    QElapsedTimer timer;

    // The parameters as the servers report them, read once for the fill figures.
    std::vector<std::vector<views::SetParameter>> lists;
    timer.start();
    for (const QString& server : std::as_const(host.selection)) {
        nw::NWCONN_HANDLE connection = 0;
        load.client->NWCCOpenConnByName(0, server.toLatin1(), 2, 1, 0xFFFF8000u, connection);
        auto& list = lists.emplace_back();
        views::fcnReadSetParameters(*load.client, connection,
                                    [&list](const views::SetParameter& p) { list.push_back(p); });
        load.client->NWCCCloseConn(connection);
    }
    report("read every server's parameters (simulated network only)", timer.nsecsElapsed());

    timer.restart();
    views::btnSetParameters_Click(host);
    QCoreApplication::processEvents();
    report("open the comparison (connect, read, fill, sort, paint)", timer.nsecsElapsed());
    views::frmSetCommands* form = views::findSetCommandsForm(host);
    if (!form)
        return 1;
    widgets::FlexGrid& grid = *form->grdSetCommands();
    std::printf("  rows %d, columns %d\n", grid.rows() - 1, grid.cols());

    timer.restart();
    form->chkDifferences()->click();
    QCoreApplication::processEvents();
    int shown = 0;
    for (int r = 1; r < grid.rows(); ++r)
        shown += grid.rowHeight(r) > 0 ? 1 : 0;
    report("show differences only (filter + paint)", timer.nsecsElapsed());
    std::printf("  rows left by the filter: %d\n", shown);
    timer.restart();
    form->chkDifferences()->click();
    QCoreApplication::processEvents();
    report("show every row again", timer.nsecsElapsed());

    const QString last = grid.textMatrix(grid.rows() - 1, 0);
    timer.restart();
    form->txtFind()->setText(last.toLower());
    QCoreApplication::processEvents();
    report("find the last parameter (select + scroll + paint)", timer.nsecsElapsed());
    timer.restart();
    form->txtFind()->setText(QStringLiteral("no such parameter"));
    report("find without a match", timer.nsecsElapsed());

    for (int click = 0; click < 2; ++click) {
        timer.restart();
        form->grdSetCommands_MouseDown(Qt::LeftButton, 0, 1, {});
        QCoreApplication::processEvents();
        report(click == 0 ? "sort by category, ascending (+ paint)" : "sort by category, descending (+ paint)",
               timer.nsecsElapsed());
    }

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
            widgets::FlexGridModel& model = target.model();
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
            model.sortRows(1, widgets::SortMode::GenericAscending, 1);
            sorted += timer.nsecsElapsed();
        }
        {
            widgets::FlexGrid target;
            widgets::FlexGridModel& model = target.model();
            makeComparisonGrid(model);
            timer.restart();
            model.beginUpdate();
            for (int r = 0; r < Parameters; ++r)
                model.addRow({lists[0][static_cast<size_t>(r)].name,
                              views::fcnSetCategoryText(lists[0][static_cast<size_t>(r)].category)});
            for (size_t s = 0; s < lists.size(); ++s) {
                const int col = model.cols();
                model.setCols(col + 1);
                model.setColWidth(col, views::kSetServerColWidth);
                model.setTextMatrix(0, col, views::fcnSetServerHeader(host.selection.at(static_cast<qsizetype>(s))));
                for (size_t r = 0; r < lists[s].size() && r < static_cast<size_t>(Parameters); ++r) {
                    const views::SetParameter& p = lists[s][r];
                    model.setTextMatrix(static_cast<int>(r) + 1, col, views::fcnSetValueText(p.type, p.value));
                    model.setCellAlignment(static_cast<int>(r) + 1, col, Qt::AlignRight | Qt::AlignVCenter);
                }
            }
            model.endUpdate();
            direct += timer.nsecsElapsed();
        }
    }
    report("fill with row look-ups, as the window does (mean of 5)", joined / Rounds);
    report("same cells written at known rows (mean of 5)", direct / Rounds);
    std::printf("  ratio fill / known rows: %.2f\n", static_cast<double>(joined) / static_cast<double>(direct));
    report("one generic sort of the filled grid (mean of 5)", sorted / Rounds);

    host.window().hide();
    host.mdiArea()->closeAllSubWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}

// The views that read their servers side by side, over 200 generated servers
// behind a slow link (20 ms a call; 40 modules and 60 SET parameters a
// server, each holding a replica of the root partition): each view's whole
// opening (and one utilization poll round, one volume refresh pass, one
// partitions refresh pass) with
// ParallelServers at its default, against the one-at-a-time floor (n times one
// server's chain of calls) and the ideal (one server's chain), and the longest
// time the window thread stood still between two turns of its event loop.
//
//   bench_parallel [SERVERS [LATENCY_MS [PARALLEL [CONNECTIONS [info]]]]]
//
// CONNECTIONS gives each server that many connections (default 1); "info"
// measures the server information view alone.

#include "directory/PartitionsWindow.h"
#include "support/BenchDesktop.h"
#include "support/Figures.h"
#include "viewbase/ViewWindow.h"
#include "views/AbendLogWindow.h"
#include "views/NlmWindow.h"
#include "views/ServerInformationWindow.h"
#include "views/UtilizationWindow.h"
#include "views/SetCommandsWindow.h"
#include "views/VolumeUsageWindow.h"
#include "widgets/RefreshFrame.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMdiArea>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <type_traits>

namespace {

// The longest time between two turns of the event loop while it runs.
class StillWatch {
public:
    StillWatch()
    {
        m_timer.setInterval(0);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { turn(); });
    }
    void start()
    {
        m_clock.start();
        m_last = 0;
        m_longest = 0;
        m_longestEnd = 0;
        m_timer.start();
    }
    void stop()
    {
        turn();
        m_timer.stop();
    }
    qint64 longestNs() const { return m_longest; }
    // When the longest still ended, from the start.
    qint64 longestEndNs() const { return m_longestEnd; }

private:
    void turn()
    {
        const qint64 now = m_clock.nsecsElapsed();
        if (now - m_last > m_longest) {
            m_longest = now - m_last;
            m_longestEnd = now;
        }
        m_last = now;
    }

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
    qint64 m_longestEnd = 0;
};

using Run = std::function<void(bench::BenchHost&)>;

void closeAll(bench::BenchHost& host)
{
    host.mdiArea()->closeAllSubWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

qint64 timed(bench::BenchHost& host, const Run& run, StillWatch* watch = nullptr)
{
    QElapsedTimer clock;
    if (watch)
        watch->start();
    clock.start();
    run(host);
    const qint64 ns = clock.nsecsElapsed();
    if (watch)
        watch->stop();
    return ns;
}

// One view: one server's chain one at a time, then every server side by side.
void measure(const char* what, bench::BenchHost& host, const QStringList& servers, int parallel, double aimSeconds,
             const Run& prepare, const Run& run)
{
    core::AppContext& context = host.context();
    host.selection = servers.mid(0, 1);
    context.values.parallelServers = 1;
    prepare(host);
    const qint64 chain = timed(host, run);
    closeAll(host);

    host.selection = servers;
    context.values.parallelServers = parallel;
    prepare(host);
    StillWatch watch;
    const qint64 whole = timed(host, run, &watch);
    closeAll(host);

    std::printf("%s, %lld servers, %d at a time\n", what, static_cast<long long>(servers.size()), parallel);
    bench::report("side by side", whole);
    bench::report("one at a time (n x one server's chain)", chain * servers.size());
    bench::report("ideal (one server's chain)", chain);
    bench::report("longest still on the window thread", watch.longestNs());
    std::printf("    it ended %.1f ms into the opening\n", watch.longestEndNs() / 1e6);
    std::printf("    aim: at most %.1f s and no still over 50 ms: %s\n", aimSeconds,
                whole <= static_cast<qint64>(aimSeconds * 1e9) && watch.longestNs() <= 50'000'000 ? "met" : "MISSED");
}

const Run nothing = [](bench::BenchHost&) {};

views::UtilizationWindow* monitor(bench::BenchHost& host)
{
    return views::findView<views::UtilizationWindow>(host);
}

// The generated network with every server holding a replica of the root
// partition (the generator makes none).
QByteArray withRootReplicas(const QByteArray& json, const QStringList& servers)
{
    QJsonObject top = QJsonDocument::fromJson(json).object();
    QJsonArray trees = top.value(QStringLiteral("trees")).toArray();
    QJsonObject tree = trees.at(0).toObject();
    QJsonArray replicas;
    for (int i = 0; i < servers.size(); ++i)
        replicas.append(
            QJsonObject{{QStringLiteral("server"), servers.at(i)}, {QStringLiteral("type"), i == 0 ? 0 : 1}});
    tree.insert(QStringLiteral("partitions"), QJsonArray{QJsonObject{{QStringLiteral("name"), QStringLiteral("[Root]")},
                                                                     {QStringLiteral("replicas"), replicas}}});
    trees.replace(0, tree);
    top.insert(QStringLiteral("trees"), trees);
    return QJsonDocument(top).toJson(QJsonDocument::Compact);
}

// One refresh pass of a view already open, its timer stopped.
template <class Form>
Run refreshPass(Form* (*find)(bench::BenchHost&))
{
    return [find](bench::BenchHost& h) {
        Form* form = find(h);
        if (!form)
            return;
        form->fraRefresh()->stop();
        if constexpr (std::is_same_v<Form, views::VolumeUsageWindow>)
            form->measureVolumes();
        else
            form->refreshAll();
    };
}

views::VolumeUsageWindow* volumeForm(bench::BenchHost& host)
{
    return views::findView<views::VolumeUsageWindow>(host);
}

directory::PartitionsWindow* partitionsForm(bench::BenchHost& host)
{
    return directory::partitionsWindow(host);
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const int servers = arguments.size() > 1 ? arguments.at(1).toInt() : 200;
    const int latency = arguments.size() > 2 ? arguments.at(2).toInt() : 20;
    const int parallel = arguments.size() > 3 ? arguments.at(3).toInt() : 32;
    const int connections = arguments.size() > 4 ? std::max(1, arguments.at(4).toInt()) : 1;
    const bool informationOnly = arguments.size() > 5 && arguments.at(5) == QLatin1String("info");

    bench::GeneratedNetwork network;
    network.clock = QStringLiteral("2026-12-05T19:04:36");
    network.latencyMs = latency;
    bench::ServerGroup& generated = network.addGroup(QStringLiteral("GEN"), servers);
    generated.nlms = 40;
    generated.setParameters = 60;
    generated.connections = connections;
    generated.seed = 5;
    const std::unique_ptr<nw::NetWareClient> client =
        bench::loadNetwork(withRootReplicas(network.json(), generated.names()));
    if (!client)
        return 1;
    bench::BenchContext desktop(*client);
    desktop.context.values.treeName = network.tree;
    bench::BenchHost host(desktop.context, QSize(1280, 900));
    host.window().show();
    QCoreApplication::processEvents();
    const QStringList names = generated.names();
    std::printf("%d servers, %d ms a call, %d connections a server\n\n", servers, latency, connections);

    measure("Server information", host, names, parallel, 2.0, nothing,
            [](bench::BenchHost& h) { views::openServerInformation(h); });
    if (informationOnly)
        return 0;
    measure("NLM comparison", host, names, parallel, 8.0, nothing, [](bench::BenchHost& h) { views::openNLMs(h); });
    measure("SET parameter comparison", host, names, parallel, 10.0, nothing,
            [](bench::BenchHost& h) { views::openSetCommands(h); });
    // One poll round of the utilization monitor, its timer stopped.
    measure(
        "Utilization poll round", host, names, parallel, 1.5,
        [](bench::BenchHost& h) {
            views::openServerUtilization(h);
            if (views::UtilizationWindow* form = monitor(h)) {
                form->fraRefresh()->stop();
                while (form->isPolling())
                    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
            }
        },
        [](bench::BenchHost& h) {
            views::UtilizationWindow* form = monitor(h);
            if (!form)
                return;
            bool finished = false;
            const QMetaObject::Connection done =
                QObject::connect(form, &views::UtilizationWindow::pollFinished, [&finished] { finished = true; });
            form->pollOnce();
            while (!finished)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
            QObject::disconnect(done);
        });
    measure("Volume usage", host, names, parallel, 1.5, nothing,
            [](bench::BenchHost& h) { views::openVolumeUsage(h); });
    measure(
        "Volume refresh pass", host, names, parallel, 0.5, [](bench::BenchHost& h) { views::openVolumeUsage(h); },
        refreshPass(&volumeForm));
    measure("Partitions and replicas", host, names, parallel, 2.0, nothing,
            [](bench::BenchHost& h) { directory::openPartitions(h); });
    measure(
        "Partitions refresh pass", host, names, parallel, 2.0,
        [](bench::BenchHost& h) { directory::openPartitions(h); }, refreshPass(&partitionsForm));
    // The logs are files: no calls go to the servers, the viewers are the work.
    measure("Abend log viewers", host, names, parallel, 10.0, nothing,
            [](bench::BenchHost& h) { views::openAbendLogs(h); });
    return 0;
}

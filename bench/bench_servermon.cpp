// One poll of the utilization monitor over 200 servers that each answer every
// call after 2 ms: how long the poll takes, and the longest stretch in which
// the program processed no event (what the user feels as a frozen window).

#include "support/BenchDesktop.h"
#include "support/Figures.h"
#include "views/UtilizationWindow.h"
#include "widgets/ReportListView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int Servers = 200;

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    bench::GeneratedNetwork network;
    network.tree = QStringLiteral("T");
    network.organization = QStringLiteral("O");
    network.latencyMs = 2;
    const QStringList servers = network.addGroup(QStringLiteral("GEN"), Servers).names();
    const std::unique_ptr<nw::NetWareClient> client = bench::loadNetwork(network.json());
    if (!client)
        return 1;
    bench::BenchContext desktop(*client, stderr);
    bench::BenchHost host(desktop.context, QSize(1024, 768));
    host.selection = servers;
    host.window().show();
    views::openServerUtilization(host);
    views::UtilizationWindow* form = views::findView<views::UtilizationWindow>(host);
    if (!form || form->lstvwServerUtilization()->rowCount() != Servers) {
        std::fprintf(stderr, "the monitor did not open with %d servers\n", Servers);
        return 1;
    }
    form->toggleRefresh();  // stopped: this poll is the only one
    QCoreApplication::processEvents();

    // A 1 ms timer stands for the user's input: every gap between its
    // timeouts is a stretch in which no event was handled.
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longestGap = 0;
    int ticks = 0;
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    heartbeat.setInterval(1);
    QObject::connect(&heartbeat, &QTimer::timeout, &heartbeat, [&] {
        const qint64 now = clock.nsecsElapsed();
        longestGap = std::max(longestGap, now - last);
        last = now;
        ++ticks;
    });
    heartbeat.start();
    clock.start();
    form->pollOnce();
    const qint64 total = clock.nsecsElapsed();
    longestGap = std::max(longestGap, total - last);
    heartbeat.stop();

    int answered = 0;
    for (int row = 0; row < Servers; ++row)
        answered += form->lstvwServerUtilization()->itemText(row, 1) != QLatin1String("?");

    std::printf("Utilization poll, %d servers, 2 ms per call (open, authenticate, read, close)\n", Servers);
    bench::report("whole poll", total);
    bench::report("longest stretch without an event", longestGap);
    bench::reportCount("events of the 1 ms timer handled during the poll", ticks);
    bench::reportCount("servers answered", answered);
    return 0;
}

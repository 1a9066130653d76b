// How responsive the NLM and SET parameter comparisons stay while they open
// for 200 generated servers (300 modules, 400 parameters each): a zero timer
// notes every turn of the event loop, and the longest time between two turns
// is the longest the window stood still. Printed with the whole opening's
// time (painting included) and the longest stills, with when they happened;
// then each opening once more, its window closed 100 ms in.

#include "support/BenchDesktop.h"
#include "support/Figures.h"
#include "views/NlmWindow.h"
#include "views/SetCommandsWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Servers = 200;

// Notes the time of every turn of the event loop.
class TurnRecorder {
public:
    TurnRecorder()
    {
        m_timer.setInterval(0);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { turn(); });
    }

    void start()
    {
        m_gaps.clear();
        m_clock.start();
        m_last = 0;
        m_timer.start();
    }
    // The last turn is the one after the opening, when it has been painted.
    void stop()
    {
        turn();
        m_timer.stop();
    }

    struct Gap {
        qint64 endNs;
        qint64 lengthNs;
    };
    std::vector<Gap> longest(size_t count) const
    {
        std::vector<Gap> sorted = m_gaps;
        std::sort(sorted.begin(), sorted.end(), [](const Gap& a, const Gap& b) { return a.lengthNs > b.lengthNs; });
        sorted.resize(std::min(count, sorted.size()));
        return sorted;
    }
    size_t turns() const { return m_gaps.size(); }
    qint64 totalNs() const { return m_last; }

private:
    void turn()
    {
        const qint64 now = m_clock.nsecsElapsed();
        m_gaps.push_back({now, now - m_last});
        m_last = now;
    }

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    std::vector<Gap> m_gaps;
};

template <typename Open>
void measureOpening(const char* what, bench::BenchHost& host, Open&& open)
{
    TurnRecorder recorder;
    recorder.start();
    open(host);
    // What the opening left to the event loop (painting) ends with the next turn.
    QCoreApplication::processEvents();
    recorder.stop();

    std::printf("%s, %d servers\n", what, Servers);
    bench::report("whole opening, painted", recorder.totalNs());
    bench::reportCount("turns of the event loop", static_cast<qint64>(recorder.turns()));
    const std::vector<TurnRecorder::Gap> gaps = recorder.longest(5);
    if (!gaps.empty())
        bench::report("longest time between two turns", gaps.front().lengthNs);
    for (const TurnRecorder::Gap& gap : gaps)
        std::printf("    %8.2f ms still, ending %8.1f ms into the opening\n", gap.lengthNs / 1e6, gap.endNs / 1e6);

    host.mdiArea()->closeAllSubWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Closes the window 100 ms into the opening and prints how long the opening
// took to end after that.
template <typename Open>
void measureClosing(const char* what, bench::BenchHost& host, Open&& open)
{
    QElapsedTimer clock;
    qint64 closedAt = -1;
    QTimer::singleShot(100, [&] {
        closedAt = clock.nsecsElapsed();
        host.mdiArea()->closeAllSubWindows();
    });
    clock.start();
    open(host);
    const qint64 ended = clock.nsecsElapsed();
    if (closedAt < 0) {
        std::printf("%s: the opening ended before the window was closed\n", what);
    } else {
        std::printf("%s, closed %.1f ms into the opening\n", what, closedAt / 1e6);
        bench::report("the opening ended after the close", ended - closedAt);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::GeneratedNetwork network;
    network.clock = QStringLiteral("2026-12-05T19:04:36");
    bench::ServerGroup& generated = network.addGroup(QStringLiteral("GEN"), Servers);
    generated.nlms = 300;
    generated.setParameters = 400;
    generated.connections = 2;
    generated.seed = 3;
    const std::unique_ptr<nw::NetWareClient> client = bench::loadNetwork(network.json());
    if (!client)
        return 1;
    bench::BenchContext desktop(*client);
    bench::BenchHost host(desktop.context, QSize(1280, 900));
    host.selection = generated.names();
    host.window().show();
    QCoreApplication::processEvents();

    measureOpening("NLM comparison", host, [](bench::BenchHost& h) { views::openNLMs(h); });
    measureOpening("SET parameter comparison", host, [](bench::BenchHost& h) { views::openSetCommands(h); });
    measureClosing("NLM comparison", host, [](bench::BenchHost& h) { views::openNLMs(h); });
    measureClosing("SET parameter comparison", host, [](bench::BenchHost& h) { views::openSetCommands(h); });
    return 0;
}

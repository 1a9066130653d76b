// Figures for the history: what recording costs the window thread over a
// comparison of 500 servers (the hand-over) and the writer thread behind it
// (the first reading, where everything is new, and a repeated one, where
// nothing is stored); and the changes of 200 servers after a year of daily
// readings, against the state half a year ago and against the reading before;
// and the utilization history chart over a week of 20 servers: reading the
// week from the history, filling the lines and drawing them.

#include "history/Changes.h"
#include "history/HistoryRecorder.h"
#include "history/HistoryStore.h"
#include "views/HistoryRecords.h"
#include "views/UtilizationHistory.h"
#include "views/UtilizationHistoryWindow.h"

#include <QApplication>
#include <QChartView>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QLineSeries>
#include <QPixmap>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kComparedServers = 500;
constexpr int kModules = 300;
constexpr int kParameters = 400;
constexpr int kYearServers = 200;
constexpr int kDays = 365;
constexpr int kYearModules = 150;
constexpr int kYearParameters = 300;
constexpr int kChartServers = 20;
constexpr int kChartDays = 7;
constexpr qint64 kChartPollMs = 1'000;  // the monitor's own interval
constexpr qint64 kFullHoursMs = history::kFullSampleHours * 3600'000LL;

std::vector<views::LoadedModule> modulesOf(int server, int variant, int count)
{
    std::vector<views::LoadedModule> modules(static_cast<size_t>(count));
    for (int m = 0; m < count; ++m) {
        views::LoadedModule& module = modules[static_cast<size_t>(m)];
        module.number = static_cast<quint32>(m + 1);
        module.fileName = QStringLiteral("MOD%1.NLM").arg(m, 3, 10, QLatin1Char('0'));
        module.info.majorVersion = 5;
        module.info.minorVersion = static_cast<quint32>((m + server + variant) % 100);
        module.info.revision = static_cast<quint32>(m % 26);
        module.info.year = 2008;
        module.info.month = static_cast<quint32>(1 + m % 12);
        module.info.day = static_cast<quint32>(1 + m % 28);
    }
    return modules;
}

std::vector<history::Item> parameterItems(int variant, int count)
{
    std::vector<history::Item> items;
    for (int p = 0; p < count; ++p) {
        items.push_back({QStringLiteral("Parameter Number %1").arg(p),
                         {QStringLiteral("Memory"), QString::number(p == 0 ? variant : p * 7)}});
    }
    return items;
}

double msSince(QElapsedTimer& timer)
{
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    timer.restart();
    return ms;
}

void comparisonOverhead(const QString& folder)
{
    std::printf("Recording a comparison of %d servers (%d modules, %d SET parameters each)\n", kComparedServers,
                kModules, kParameters);
    history::HistoryRecorder recorder(folder + QStringLiteral("/compare.sqlite"));
    recorder.start();
    recorder.flush();
    std::vector<std::vector<views::LoadedModule>> modules;
    for (int s = 0; s < kComparedServers; ++s)
        modules.push_back(modulesOf(s, 0, kModules));
    for (int pass = 0; pass < 2; ++pass) {
        QElapsedTimer timer;
        timer.start();
        double longest = 0;
        for (int s = 0; s < kComparedServers; ++s) {
            QElapsedTimer one;
            one.start();
            const QString server = QStringLiteral("S%1").arg(s, 4, 10, QLatin1Char('0'));
            // What the NLM and SET views hand over as each server is applied.
            recorder.recordSnapshot(views::moduleSnapshot(server, modules[static_cast<size_t>(s)]));
            recorder.recordSnapshot({server, history::SnapshotKind::Parameters, QDateTime::currentDateTimeUtc(),
                                     parameterItems(s, kParameters)});
            longest = std::max(longest, static_cast<double>(one.nsecsElapsed()) / 1e6);
        }
        const double handOver = msSince(timer);
        recorder.flush();
        const double written = msSince(timer);
        std::printf("  %s reading: window thread %.1f ms in all (%.3f ms a server, longest %.3f ms); "
                    "writer thread %.1f ms more\n",
                    pass == 0 ? "first   " : "repeated", handOver, handOver / kComparedServers, longest, written);
    }
    std::printf("  snapshots kept: %lld\n", static_cast<long long>(recorder.ask<qint64>(
                                                [](history::HistoryStore& s) { return s.snapshotCount(); })));
}

void yearOfChanges(const QString& folder)
{
    const QString path = folder + QStringLiteral("/year.sqlite");
    std::printf("A year of daily readings of %d servers (%d modules, %d SET parameters; one server-day in ten "
                "changes one module and one value)\n",
                kYearServers, kYearModules, kYearParameters);
    history::HistoryStore store(path);
    if (!store.open())
        return;
    QRandomGenerator random(7);
    std::vector<int> moduleVariant(kYearServers, 0);
    std::vector<int> parameterVariant(kYearServers, 0);
    const QDateTime start = QDateTime(QDate(2025, 12, 7), QTime(6, 0), Qt::UTC);
    QElapsedTimer timer;
    timer.start();
    for (int day = 0; day < kDays; ++day) {
        std::vector<history::Snapshot> reading;
        const QDateTime taken = start.addDays(day);
        for (int s = 0; s < kYearServers; ++s) {
            if (day > 0 && random.bounded(10) == 0) {
                ++moduleVariant[static_cast<size_t>(s)];
                ++parameterVariant[static_cast<size_t>(s)];
            }
            const QString server = QStringLiteral("S%1").arg(s, 4, 10, QLatin1Char('0'));
            history::Snapshot modules = views::moduleSnapshot(server, modulesOf(s, 0, kYearModules));
            modules.items[0].values[0] = QString::number(moduleVariant[static_cast<size_t>(s)]);
            modules.taken = taken;
            reading.push_back(std::move(modules));
            reading.push_back({server, history::SnapshotKind::Parameters, taken,
                               parameterItems(parameterVariant[static_cast<size_t>(s)], kYearParameters)});
        }
        store.recordSnapshots(reading);
    }
    const double filled = msSince(timer);
    std::printf("  recording %d daily readings: %.0f ms (%.1f ms a reading); %lld snapshots kept, file %.1f MB\n",
                kDays, filled, filled / kDays, static_cast<long long>(store.snapshotCount()),
                static_cast<double>(QFileInfo(path).size()) / (1024.0 * 1024.0));

    const QDateTime halfYear = start.addDays(kDays / 2);
    for (int round = 0; round < 2; ++round) {
        size_t changes = 0;
        timer.restart();
        for (int s = 0; s < kYearServers; ++s) {
            const QString server = QStringLiteral("S%1").arg(s, 4, 10, QLatin1Char('0'));
            for (const history::SnapshotKind kind :
                 {history::SnapshotKind::Modules, history::SnapshotKind::Parameters}) {
                const std::optional<history::Snapshot> now = store.lastSnapshot(server, kind);
                std::optional<history::Snapshot> then;
                if (round == 0) {
                    then = store.lastSnapshot(server, kind, halfYear);
                } else {
                    const std::vector<history::Snapshot> all = store.snapshots(server, kind);
                    if (all.size() > 1)
                        then = all[all.size() - 2];
                }
                if (now && then)
                    changes += history::compareItems(server, kind, then->items, now->items).size();
            }
        }
        const double ms = msSince(timer);
        std::printf("  changes of %d servers %s: %.1f ms (%zu changes)\n", kYearServers,
                    round == 0 ? "since half a year ago" : "since the snapshot before (all snapshots read)", ms,
                    changes);
    }
}

void weekChart(const QString& folder)
{
    const QString path = folder + QStringLiteral("/week.sqlite");
    std::printf("The utilization history chart of a week of %d servers polled every %lld s\n", kChartServers,
                static_cast<long long>(kChartPollMs / 1000));
    QStringList servers;
    for (int s = 0; s < kChartServers; ++s)
        servers << QStringLiteral("FS%1").arg(s + 1);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QElapsedTimer timer;
    timer.start();
    {
        history::HistoryStore store(path);
        if (!store.open())
            return;
        QRandomGenerator random(11);
        const qint64 end = now.toMSecsSinceEpoch();
        std::vector<history::Sample> samples;
        // What the history keeps of a week of 1-second polls: each minute's
        // highest before the last two days, every poll in them.
        for (qint64 at = end - kChartDays * 24 * 3600'000LL; at < end;
             at += at < end - kFullHoursMs ? 60'000 : kChartPollMs) {
            const QDateTime taken = QDateTime::fromMSecsSinceEpoch(at, Qt::UTC);
            // Busy by day, quiet by night, with a little noise on every poll.
            const double day = static_cast<double>(at % (24 * 3600'000LL)) / (24 * 3600'000.0);
            const double office = std::max(0.0, std::sin((day - 0.3) * 2 * 3.14159265358979));
            for (int s = 0; s < kChartServers; ++s) {
                const QString& server = servers.at(s);
                const int value =
                    std::clamp(static_cast<int>(5 + s + (30 + 2 * s) * office) + random.bounded(6), 0, 100);
                samples.push_back({server, taken, value, value});
            }
            if (samples.size() >= 100'000)
                store.recordSamples(std::exchange(samples, {}));
        }
        store.recordSamples(samples);
    }
    const double written = msSince(timer);
    // The recorder keeps full samples two days and each minute's maxima before.
    history::HistoryRecorder recorder(path);
    recorder.start();
    const qint64 kept = recorder.ask<qint64>([](history::HistoryStore& s) { return s.sampleCount(); });
    const double pruned = msSince(timer);
    std::printf("  writing the week: %.0f ms; keeping it as full samples and minute maxima: %.0f ms; "
                "%lld samples kept, file %.1f MB\n",
                written, pruned, static_cast<long long>(kept),
                static_cast<double>(QFileInfo(path).size()) / (1024.0 * 1024.0));

    views::UtilizationHistory session;
    views::UtilizationHistoryWindow window(session, &recorder, servers);
    window.resize(1200, 700);
    window.show();
    QEventLoop reading;
    QObject::connect(&window, &views::UtilizationHistoryWindow::rangeRead, &reading, &QEventLoop::quit);
    if (window.isReading())
        reading.exec();  // the last hour: nothing to read
    timer.restart();
    window.setRange(views::HistoryRange::LastWeek);
    reading.exec();
    const double loaded = msSince(timer);
    QPixmap picture(window.size());
    window.render(&picture);
    const double drawn = msSince(timer);
    qsizetype points = 0;
    for (int s = 0; s < window.seriesCount(); ++s)
        points += window.series(s)->count();
    std::printf("  \"Last week\": read from the history and lines filled in %.0f ms (%lld points drawn), "
                "drawn in %.0f ms; in all %.0f ms\n",
                loaded, static_cast<long long>(points), drawn, loaded + drawn);
    timer.restart();
    const qint64 rows = recorder.ask<qint64>([&servers, now](history::HistoryStore& store) {
        qint64 count = 0;
        for (const QString& server : servers)
            count += static_cast<qint64>(store.samples(server, now.addDays(-kChartDays)).size());
        return count;
    });
    std::printf("  reading every sample instead, as the history keeps them: %.0f ms (%lld samples)\n", msSince(timer),
                static_cast<long long>(rows));
    window.btnZoomIn()->click();
    std::printf("  a zoom step, lines refilled: %.1f ms\n", msSince(timer));
    window.render(&picture);
    std::printf("  and drawn: %.1f ms\n", msSince(timer));
    constexpr int kZooms = 10;
    for (int z = 0; z < kZooms; ++z) {
        window.btnZoomIn()->click();
        window.render(&picture);
    }
    std::printf("  a zoom step, lines refilled and drawn: %.1f ms\n", msSince(timer) / kZooms);
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    // "chart" alone runs the chart's part only.
    if (app.arguments().value(1) != QStringLiteral("chart")) {
        comparisonOverhead(dir.path());
        yearOfChanges(dir.path());
    }
    weekChart(dir.path());
    return 0;
}

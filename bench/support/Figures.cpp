#include "support/Figures.h"

#include "netware/ClientProvider.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstdio>
#include <malloc.h>

#include <sys/resource.h>

namespace bench {

QStringList ServerGroup::names() const
{
    // The generator widens the number to the digits of the count, three at least.
    const int digits = std::max(3, static_cast<int>(QString::number(count).size()));
    QStringList result;
    for (int i = 1; i <= count; ++i)
        result.append(prefix + QStringLiteral("%1").arg(i, digits, 10, QLatin1Char('0')));
    return result;
}

ServerGroup& GeneratedNetwork::addGroup(const QString& prefix, int count)
{
    ServerGroup& group = groups.emplace_back();
    group.prefix = prefix;
    group.count = count;
    return group;
}

GeneratedNetwork thousandServerNetwork()
{
    GeneratedNetwork network;
    network.tree = QStringLiteral("BIG_TREE");
    network.organization = QStringLiteral("CORP");
    network.units = QStringList{QStringLiteral("EAST"), QStringLiteral("WEST")};
    network.clock = QStringLiteral("2026-12-05T19:04:36");
    int seed = 11;
    for (const QString& unit : network.units) {
        ServerGroup& group = network.addGroup(unit.left(1), 500);
        group.context = unit + QStringLiteral(".CORP");
        group.nlms = 300;
        group.setParameters = 400;
        group.connections = 5000;
        group.volumes = 3;
        group.seed = seed++;
    }
    return network;
}

QByteArray GeneratedNetwork::json() const
{
    QJsonArray children;
    for (const QString& unit : units)
        children.append(QJsonObject{{QStringLiteral("name"), unit},
                                    {QStringLiteral("class"), QStringLiteral("Organizational Unit")}});
    QJsonObject container{{QStringLiteral("name"), organization},
                          {QStringLiteral("class"), QStringLiteral("Organization")}};
    if (!children.isEmpty())
        container.insert(QStringLiteral("children"), children);

    QJsonArray generate;
    for (const ServerGroup& group : groups) {
        QJsonObject entry{{QStringLiteral("prefix"), group.prefix},
                          {QStringLiteral("count"), group.count},
                          {QStringLiteral("tree"), tree},
                          {QStringLiteral("nlms"), group.nlms},
                          {QStringLiteral("setParameters"), group.setParameters},
                          {QStringLiteral("connections"), group.connections},
                          {QStringLiteral("volumes"), group.volumes},
                          {QStringLiteral("differences"), group.differences},
                          {QStringLiteral("seed"), group.seed}};
        if (!group.context.isEmpty())
            entry.insert(QStringLiteral("context"), group.context);
        generate.append(entry);
    }

    QJsonObject top{
        {QStringLiteral("format"), 1},
        {QStringLiteral("trees"), QJsonArray{QJsonObject{{QStringLiteral("name"), tree},
                                                         {QStringLiteral("containers"), QJsonArray{container}}}}},
        {QStringLiteral("generate"), generate}};
    if (!clock.isEmpty())
        top.insert(QStringLiteral("clock"), clock);
    if (latencyMs > 0)
        top.insert(QStringLiteral("latencyMs"), latencyMs);
    return QJsonDocument(top).toJson(QJsonDocument::Compact);
}

std::unique_ptr<nw::NetWareClient> loadNetwork(const QByteArray& json)
{
    // The description names no files, so no folder is needed to resolve them.
    nw::ClientLoad load = nw::loadSimulatedNetworkFromJson(json, QString(), QStringLiteral("bench network"));
    if (load.outcome != nw::ClientLoad::Outcome::Loaded || !load.client) {
        std::fprintf(stderr, "network did not load: %s\n", qPrintable(load.problem));
        return nullptr;
    }
    return std::move(load.client);
}

void report(const char* what, qint64 nanoseconds)
{
    std::printf("  %-60s %9.2f ms\n", what, static_cast<double>(nanoseconds) / 1e6);
}

void reportCount(const char* what, qint64 count)
{
    std::printf("  %-60s %9lld\n", what, static_cast<long long>(count));
}

double lapMs(QElapsedTimer& timer)
{
    const double value = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    timer.restart();
    return value;
}

long heapInUseMiB()
{
    // Bytes handed out by malloc and not yet freed: what a structure holds,
    // unlike the resident size, which keeps pages freed memory still sits on.
    return static_cast<long>(mallinfo2().uordblks / (1024 * 1024));
}

long peakMemoryMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;  // Linux counts it in KiB
}

void printGrowthAgainstFloor(const std::function<qint64(size_t)>& comparison,
                             const std::function<qint64(size_t)>& floor)
{
    std::printf("  %-8s %12s %12s %8s %14s\n", "servers", "comparison", "floor", "ratio", "per server");
    double at20 = 0;
    for (const size_t n : {size_t(20), size_t(100), size_t(200), size_t(500), size_t(1000)}) {
        qint64 best = 0;
        qint64 bestFloor = 0;
        for (int round = 0; round < 3; ++round) {
            const qint64 c = comparison(n);
            const qint64 f = floor(n);
            best = round == 0 ? c : std::min(best, c);
            bestFloor = round == 0 ? f : std::min(bestFloor, f);
        }
        if (n == 20)
            at20 = static_cast<double>(best);
        std::printf("  %-8zu %9.1f ms %9.1f ms %8.2f %11.3f ms   (%.1fx the time of 20)\n", n, best / 1e6,
                    bestFloor / 1e6, static_cast<double>(best) / static_cast<double>(bestFloor),
                    best / 1e6 / static_cast<double>(n), static_cast<double>(best) / at20);
    }
}

}  // namespace bench

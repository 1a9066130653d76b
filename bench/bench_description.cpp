// Loading a network description with many containers: 100,000 organizational
// units and 2,000 described servers placed in them, then half and double the
// containers. Loading must be linear in the containers, not containers times
// servers.

#include "support/Figures.h"

#include "netware/sim/SimLoader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <ctime>

namespace {

QByteArray description(int containers, int servers)
{
    QJsonArray units;
    for (int i = 0; i < containers; ++i)
        units.append(QJsonObject{{QStringLiteral("name"), QStringLiteral("OU%1").arg(i)}});
    QJsonArray list;
    for (int i = 0; i < servers; ++i)
        list.append(QJsonObject{{QStringLiteral("name"), QStringLiteral("FS%1").arg(i)},
                                {QStringLiteral("tree"), QStringLiteral("BIG_TREE")},
                                {QStringLiteral("context"), QStringLiteral("OU%1.CORP").arg(i * 37 % containers)},
                                {QStringLiteral("nlms"), QJsonArray{}},
                                {QStringLiteral("setParameters"), QJsonArray{}}});
    const QJsonObject organization{{QStringLiteral("name"), QStringLiteral("CORP")},
                                   {QStringLiteral("class"), QStringLiteral("Organization")},
                                   {QStringLiteral("children"), units}};
    const QJsonObject tree{{QStringLiteral("name"), QStringLiteral("BIG_TREE")},
                           {QStringLiteral("containers"), QJsonArray{organization}}};
    const QJsonObject top{
        {QStringLiteral("format"), 1}, {QStringLiteral("trees"), QJsonArray{tree}}, {QStringLiteral("servers"), list}};
    return QJsonDocument(top).toJson(QJsonDocument::Compact);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    bool loaded = true;
    for (const int containers : {50000, 100000, 200000}) {
        const QByteArray json = description(containers, 2000);
        QElapsedTimer timer;
        timer.start();
        const std::clock_t cpu = std::clock();
        const auto network = nw::sim::loadNetworkDescription(json, QString(), QStringLiteral("bench.json"));
        const QByteArray label = "load " + QByteArray::number(containers) + " containers, 2,000 servers";
        bench::report(label.constData(), timer.nsecsElapsed());
        // Processor time: on a busy machine the wall time says more about the other programs.
        bench::report("  processor time", static_cast<qint64>(double(std::clock() - cpu) * 1e9 / CLOCKS_PER_SEC));
        if (!network.network) {
            std::fprintf(stderr, "%s\n", qPrintable(network.problem));
            loaded = false;
        }
    }
    bench::reportCount("peak memory (MB)", bench::peakMemoryMiB());
    return loaded ? 0 : 1;
}

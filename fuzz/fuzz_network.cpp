// The network description loader: any bytes give a network or a message,
// never a fault, and a loaded network's generated servers can be drawn.

#include "netware/sim/SimGenerator.h"
#include "netware/sim/SimLoader.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray json(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    nw::sim::LoadedNetwork loaded = nw::sim::loadNetworkDescription(json, QStringLiteral("/nonexistent"), QStringLiteral("fuzz.json"));
    if (!loaded.network) {
        if (loaded.problem.isEmpty())
            __builtin_trap();   // a refusal always says why
        return 0;
    }
    // The first servers' lists, within what a fuzzing run can draw quickly.
    int drawn = 0;
    for (nw::sim::Server& server : loaded.network->servers) {
        if (drawn == 3)
            break;
        if (server.group && qint64(server.group->connections) * (1 + server.group->openFilesPerConnection) > 20000)
            continue;
        nw::sim::serverLists(server);
        nw::sim::connectionCount(server);
        ++drawn;
    }
    return 0;
}

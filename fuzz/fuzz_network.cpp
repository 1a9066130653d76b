// The network description loader: any bytes give a network or a message,
// never a fault; a loaded network's directory can be searched and its
// generated servers drawn. Loading holds to a heap budget in proportion to
// the description, so that a description of a few kilobytes that makes the
// loader or the directory index keep far more than it says is a finding.

#include "FuzzSupport.h"

#include "netware/NovellCalls.h"
#include "netware/sim/SimClient.h"
#include "netware/sim/SimGenerator.h"
#include "netware/sim/SimLoader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdint>

namespace {

// What a description may cost beyond its own size: the servers it describes
// carry their default lists, and a generated group's servers exist from the
// start (their lists are drawn later).
size_t heapBudget(const QByteArray& json)
{
    size_t described = 0;
    size_t generated = 0;
    const QJsonDocument document = QJsonDocument::fromJson(json);
    if (document.isObject()) {
        described = static_cast<size_t>(document.object().value(QLatin1String("servers")).toArray().size());
        for (const QJsonValue group : document.object().value(QLatin1String("generate")).toArray()) {
            const QJsonObject fields = group.toObject();
            const double count = std::clamp(fields.value(QLatin1String("count")).toDouble(), 0.0, 100000.0);
            const double volumes = std::clamp(fields.value(QLatin1String("volumes")).toDouble(1), 1.0, 64.0);
            generated += static_cast<size_t>(count * (1 + volumes / 8));
        }
    }
    return (size_t(512) << 10) + 64 * static_cast<size_t>(json.size()) + 8192 * described + 1024 * generated;
}

// One subtree search from the root, every object name read.
void searchAll(nw::sim::SimClient& client)
{
    nw::NWDSContextHandle context = 0;
    nw::NWDSBufHandle reply = 0;
    if (client.NWDSCreateContextHandle(context) != 0 || client.NWDSAllocBuf(nw::DEFAULT_MESSAGE_LEN, reply) != 0)
        return;
    qint32 iteration = -1;
    for (int replies = 0; replies < 64; ++replies) {
        qint32 searched = 0;
        if (client.NWDSSearch(context, "[Root]", nw::DS_SEARCH_SUBTREE, false, 0, 1, false, 0, iteration, 0, searched,
                              reply)
            != 0)
            break;
        quint32 count = 0;
        client.NWDSGetObjectCount(context, reply, count);
        for (quint32 i = 0; i < count; ++i) {
            std::array<char, 257> name{};
            quint32 attributes = 0;
            nw::ObjectInfo info;
            client.NWDSGetObjectName(context, reply, name, attributes, info);
        }
        if (iteration == -1)
            break;
    }
    client.NWDSFreeBuf(reply);
    client.NWDSFreeContext(context);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzing::HeapPeak::install();
    // What is made once per process (expressions, defaults) is made here, not in an input's budget.
    nw::sim::loadNetworkDescription(R"({"format":1,"trees":[{"name":"T","containers":[{"name":"C"}]}],
        "servers":[{"name":"S","tree":"T","volumes":[{"name":"SYS"}]}],"generate":[{"prefix":"G","count":1,"tree":"T"}]})",
                                    QStringLiteral("/nonexistent"), QStringLiteral("warm.json"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray json(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const size_t budget = heapBudget(json);
    fuzzing::HeapPeak::start();
    nw::sim::LoadedNetwork loaded =
        nw::sim::loadNetworkDescription(json, QStringLiteral("/nonexistent"), QStringLiteral("fuzz.json"));
    if (!loaded.network) {
        if (loaded.problem.isEmpty())
            __builtin_trap();  // a refusal always says why
        fuzzing::requireWithinBudget(size, fuzzing::HeapPeak::peak(), budget, "refusing the description");
        return 0;
    }
    // A fuzzing run does not wait: the calls below are made without the described latency.
    loaded.network->latencyMs = 0;
    for (nw::sim::Server& server : loaded.network->servers)
        server.latencyMs.reset();
    nw::sim::SimClient client(std::move(loaded.network));
    fuzzing::requireWithinBudget(size, fuzzing::HeapPeak::peak(), budget, "loading the description");
    searchAll(client);

    // The first servers' lists, within what a fuzzing run can draw quickly.
    int drawn = 0;
    for (const nw::sim::Server& server : client.network().servers) {
        if (drawn == 3)
            break;
        if (server.group && qint64(server.group->connections) * (1 + server.group->openFilesPerConnection) > 2000)
            continue;
        nw::NWCONN_HANDLE connection = 0;
        if (client.NWCCOpenConnByName(0, nw::toAnsi(server.name), nw::NWCC_NAME_FORMAT_BIND, nw::NWCC_OPEN_LICENSED,
                                      nw::NW_TRAN_TYPE_WILD, connection)
            == 0) {
            nw::NLMLoadedList modules;
            client.NWGetNLMLoadedList(connection, 0, modules);
            nw::ActiveConnList connections;
            client.NWGetActiveConnListByType(connection, 1, 11, connections);
            nw::FileServerInformation information;
            std::array<char, 48> name{};
            client.NWGetFileServerInformation(connection, name, information);
        }
        ++drawn;
    }
    return 0;
}

#include "views/ServerReaders.h"

#include "netware/NovellCalls.h"

#include <array>

namespace views {

void readLoadedModules(nw::NetWareClient& client, nw::NWCONN_HANDLE connection,
                       const std::function<void(const std::vector<LoadedModule>&)>& batch, const nw::ReadStop& stop)
{
    quint32 start = 0;
    for (;;) {
        if (stop.requested())
            return;
        nw::NLMLoadedList reply;
        if (client.NWGetNLMLoadedList(connection, start, reply) != nw::status::Success)
            return;
        const quint32 listed = std::min<quint32>(reply.numbersInList, nw::NLMLoadedList::MaxNumbers);
        if (listed == 0)
            return;
        std::vector<LoadedModule> modules;
        modules.reserve(listed);
        quint32 highest = 0;
        for (quint32 i = 0; i < listed; ++i) {
            if (stop.requested())
                return;
            LoadedModule module;
            module.number = reply.numbers[i];
            highest = std::max(highest, module.number);
            std::array<char, 100> fileName{};
            std::array<char, 255> name{};
            std::array<char, 255> copyright{};
            // The status is not examined: a module that cannot be read shows
            // what the client left in the buffers.
            client.NWGetNLMInfo(connection, module.number, std::span<char>(fileName), std::span<char>(name),
                                std::span<char>(copyright), module.info);
            module.fileName = nw::bytesToString(std::span<const char>(fileName)).trimmed();
            module.descriptiveName = nw::bytesToString(std::span<const char>(name)).trimmed();
            module.copyright = nw::bytesToString(std::span<const char>(copyright)).trimmed();
            modules.push_back(std::move(module));
        }
        batch(modules);
        // A reply that does not move past its start would repeat forever.
        if (highest < start)
            return;
        start = highest + 1;
        if (start == 0)
            return;
    }
}

void readSetParameters(nw::NetWareClient& client, nw::NWCONN_HANDLE connection,
                       const std::function<void(const SetParameter&)>& parameter, const nw::ReadStop& stop)
{
    quint32 sequence = 0;
    for (;;) {
        if (stop.requested())
            return;
        nw::SetCommandRecord record;
        if (client.NWGetServerSetCommandsInfo(connection, sequence, record) != nw::status::Success)
            return;
        parameter(splitSetRecord(record));
        // Sequence numbers only grow; one that does not is the end, not a loop.
        if (record.nextSequence == 0 || record.nextSequence <= sequence)
            return;
        sequence = record.nextSequence;
    }
}

}  // namespace views

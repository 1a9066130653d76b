#include "views/ServerSnapshots.h"

#include "netware/NovellCalls.h"
#include "netware/ServerReads.h"
#include "netware/ServerSession.h"
#include "views/HistoryRecords.h"
#include "views/ServerFormats.h"
#include "views/ServerReaders.h"
#include "views/VolumeUsage.h"

#include <array>
#include <span>

namespace views {

namespace {

history::Snapshot readFacts(nw::NetWareClient& client, nw::NWCONN_HANDLE connection, const QString& server)
{
    // Outputs start zero-filled: a call that fails leaves its fact empty, as
    // the server information view shows it.
    std::array<char, 50> serverName{};
    nw::FileServerInformation information{};
    client.NWGetFileServerInformation(connection, serverName, information);
    std::array<char, 90> company{};
    std::array<char, 90> revision{};
    std::array<char, 90> notice{};
    client.NWGetFileServerDescription(connection, company, revision, {}, notice);
    qint32 dsVersion = 0;
    client.NWDSGetDSVerInfo(connection, &dsVersion, nullptr, {}, nullptr, {});
    return factsSnapshot(server,
                         serverVersionText(information.majorVersion, information.minorVersion, information.revision),
                         nw::bytesToString(std::span<const char>(revision)).trimmed(),
                         nw::bytesToString(std::span<const char>(company)).trimmed(), dsVersionText(dsVersion));
}

// Opens one connection and reads facts (when asked), modules and parameters.
ServerStateRead readOverConnection(core::AppContext& context, const QString& server, bool facts,
                                   const nw::ReadStop& stop)
{
    ServerStateRead read;
    nw::ServerSession session(context, server, nw::kLicensedByBinderyName);
    const nw::SessionStart start = session.openAuthenticated();
    read.opened = start.opened;
    read.authenticated = start.authenticated;
    if (!start.ready())
        return read;
    nw::NetWareClient& client = session.client();
    const nw::NWCONN_HANDLE connection = session.handle();
    if (facts)
        read.snapshots.push_back(readFacts(client, connection, server));

    std::vector<LoadedModule> modules;
    readLoadedModules(
        client, connection,
        [&modules](const std::vector<LoadedModule>& batch) {
            modules.insert(modules.end(), batch.begin(), batch.end());
        },
        stop);
    if (!stop.requested())
        read.snapshots.push_back(moduleSnapshot(server, modules));

    std::vector<SetParameter> parameters;
    readSetParameters(
        client, connection, [&parameters](const SetParameter& parameter) { parameters.push_back(parameter); }, stop);
    if (!stop.requested())
        read.snapshots.push_back(parameterSnapshot(server, parameters));
    session.closeQuietly();
    return read;
}

}  // namespace

ServerStateRead readServerState(core::AppContext& context, const QString& server, const nw::ReadStop& stop)
{
    ServerStateRead read = readOverConnection(context, server, true, stop);
    if (read.opened != nw::status::Success || read.authenticated != nw::status::Success || stop.requested())
        return read;
    const ServerVolumesRead volumes = readServerVolumes(context, server, true, {}, false, stop);
    std::vector<VolumeReading> readings;
    bool complete =
        volumes.scanned && volumes.opened == nw::status::Success && !volumes.measured.empty() && !stop.requested();
    for (const ServerVolumesRead::Measured& volume : volumes.measured) {
        complete = complete && volume.spaceRead;
        if (volume.spaceRead)
            readings.push_back({volume.volume, volume.totalBytes, volume.freeBytes});
    }
    if (complete)
        read.snapshots.push_back(volumeSnapshot(server, readings));
    return read;
}

ServerStateRead readBaselineState(core::AppContext& context, const QString& server, const nw::ReadStop& stop)
{
    return readOverConnection(context, server, false, stop);
}

}  // namespace views

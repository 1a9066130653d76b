// Server connections: opening and closing them, and the server's own table of
// connections (listing, facts, clearing, messages, open files).

#include "netware/sim/SimClient.h"

#include "netware/sim/SimGenerator.h"

namespace nw::sim {

namespace {

constexpr NWRCODE kBadConnectionNumber = 0x89FD;
constexpr int kBlockSize = 4096;  // connection numbers covered by one active-list reply

Connection* findConnection(Server& server, quint32 number)
{
    auto& list = serverLists(server).connections;
    const auto it =
        std::lower_bound(list.begin(), list.end(), number, [](const Connection& c, quint32 n) { return c.number < n; });
    return it != list.end() && it->number == number ? &*it : nullptr;
}

void putTime(std::span<quint8> out, const QDateTime& time)
{
    const QDate d = time.date();
    const QTime t = time.time();
    out[0] = static_cast<quint8>(std::clamp(d.year() - 1900, 0, 255));
    out[1] = static_cast<quint8>(d.month());
    out[2] = static_cast<quint8>(d.day());
    out[3] = static_cast<quint8>(t.hour());
    out[4] = static_cast<quint8>(t.minute());
    out[5] = static_cast<quint8>(t.second());
    out[6] = static_cast<quint8>(d.dayOfWeek() % 7);  // 0 is Sunday
}

void putCounter(std::array<quint8, 6>& out, quint64 value)
{
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<quint8>((value >> (8 * i)) & 0xFF);
}

}  // namespace

NWRCODE SimClient::NWCCOpenConnByName(NWCONN_HANDLE, const QByteArray& name, quint32 nameFormat, quint32 openState,
                                      quint32 transportType, NWCONN_HANDLE& connection)
{
    const NWRCODE rc = connectByName(name, (openState & NWCC_OPEN_LICENSED) != 0, connection);
    // Opens come from several reading threads at once.
    const Lock lock(m_mutex);
    if (m_opens.size() >= kOpensKept)
        m_opens.pop_front();
    m_opens.push_back({inputText(name), nameFormat, openState, transportType, rc});
    return rc;
}

NWRCODE SimClient::connectByName(const QByteArray& name, bool licensed, NWCONN_HANDLE& connection)
{
    const Lock lock(m_mutex);
    connection = 0;
    // A directory name of the server ("CN=FS1.OU=SALES.O=ACME") names it by its leaf.
    QString wanted = inputText(name).trimmed();
    if (wanted.startsWith(QLatin1Char('.')))
        wanted.remove(0, 1);
    wanted = wanted.section(QLatin1Char('.'), 0, 0);
    if (wanted.contains(QLatin1Char('=')))
        wanted = wanted.section(QLatin1Char('='), 1);
    const int index = m_network->findServer(wanted);
    Server* server = index < 0 ? nullptr : &m_network->servers[static_cast<size_t>(index)];
    delay(server);
    if (server) {
        const auto fault = server->faults.constFind(QStringLiteral("NWCCOpenConnByName"));
        if (fault != server->faults.cend())
            return *fault;
    }
    if (auto fault = topFault("NWCCOpenConnByName"))
        return *fault;
    if (!server || !server->reachable)
        return status::ConnectionRefused;
    if (licensed && server->licences && server->licencesInUse >= *server->licences)
        return status::MaximumLoginsExceeded;
    connection = newHandle();
    ConnEntry entry;
    entry.server = index;
    entry.licensed = licensed;
    if (licensed)
        ++server->licencesInUse;
    m_connections.insert(connection, entry);
    return status::Success;
}

NWRCODE SimClient::NWCCCloseConn(NWCONN_HANDLE connection)
{
    const Lock lock(m_mutex);
    Server* server = nullptr;
    ConnEntry* entry = nullptr;
    if (const NWRCODE rc = serverCall("NWCCCloseConn", connection, server, &entry))
        return rc;
    // The client's own connections (from NWParsePath, drive status) outlive callers.
    if (entry->clientOwned)
        return status::Success;
    if (entry->licensed && server->licencesInUse > 0)
        --server->licencesInUse;
    m_connections.remove(connection);
    return status::Success;
}

NWRCODE SimClient::NWCCGetConnInfo(NWCONN_HANDLE connection, quint32 infoType, std::span<quint8> buffer)
{
    const Lock lock(m_mutex);
    Server* server = nullptr;
    if (const NWRCODE rc = serverCall("NWCCGetConnInfo", connection, server))
        return rc;
    if (infoType != NWCC_INFO_CONN_NUMBER)
        return status::InvalidParameter;
    if (buffer.size() < 4)
        return status::BufferTooSmall;
    for (int i = 0; i < 4; ++i)
        buffer[static_cast<size_t>(i)] = static_cast<quint8>((server->ownConnection >> (8 * i)) & 0xFF);
    return status::Success;
}

NWRCODE SimClient::NWGetActiveConnListByType(NWCONN_HANDLE connection, quint32 startConnection, quint32 connectionType,
                                             ActiveConnList& list)
{
    const Lock lock(m_mutex);
    list = ActiveConnList{};
    Server* server = nullptr;
    if (const NWRCODE rc = serverCall("NWGetActiveConnListByType", connection, server))
        return rc;
    const auto& connections = serverLists(*server).connections;
    const quint32 highest = std::max(server->maxConnections, connections.empty() ? 0U : connections.back().number);
    if (startConnection == 0 || startConnection > highest)
        return status::NoMoreEntries;
    const quint32 last = startConnection + kBlockSize - 1;
    const auto first = std::lower_bound(connections.begin(), connections.end(), startConnection,
                                        [](const Connection& c, quint32 n) { return c.number < n; });
    for (auto it = first; it != connections.end() && it->number <= last; ++it) {
        if (it->type != connectionType)
            continue;
        const quint32 offset = it->number - startConnection;
        list.bits[offset / 8] |= static_cast<quint8>(1U << (offset % 8));
        ++list.connectionsInList;
    }
    return status::Success;
}

NWRCODE SimClient::NWGetConnectionInformation(NWCONN_HANDLE connection, quint16 connectionNumber,
                                              std::span<char> objectName, quint16& objectType, quint32& objectId,
                                              std::array<quint8, 7>& loginTime)
{
    const Lock lock(m_mutex);
    objectType = 0;
    objectId = 0;
    loginTime.fill(0);
    Server* server = nullptr;
    if (const NWRCODE rc = serverCall("NWGetConnectionInformation", connection, server))
        return rc;
    const Connection* c = findConnection(*server, connectionNumber);
    if (!c)
        return kBadConnectionNumber;
    putText(objectName, c->user);
    objectType = static_cast<quint16>(c->objectType);
    objectId = c->objectId;
    putTime(loginTime, c->loginTime.addSecs(server->clockOffsetSeconds));
    return status::Success;
}

NWRCODE SimClient::NWGetServerConnInfo(NWCONN_HANDLE connection, quint32, quint32 connectionNumber,
                                       ServerConnInfo& info)
{
    const Lock lock(m_mutex);
    info = ServerConnInfo{};
    Server* server = nullptr;
    if (const NWRCODE rc = serverCall("NWGetServerConnInfo", connection, server))
        return rc;
    const Connection* c = findConnection(*server, connectionNumber);
    if (!c)
        return kBadConnectionNumber;
    putTime(info.loginTime, c->loginTime.addSecs(server->clockOffsetSeconds));
    const QByteArray name = outputBytes(c->user).left(static_cast<qsizetype>(info.loginName.size() - 1));
    std::copy(name.begin(), name.end(), info.loginName.begin());
    info.nameLength = static_cast<quint8>(name.size());
    const quint64 seconds = static_cast<quint64>(std::max<qint64>(0, runningSeconds()));
    putCounter(info.bytesRead, c->bytesRead + c->bytesReadPerSecond * seconds);
    putCounter(info.bytesWritten, c->bytesWritten + c->bytesWrittenPerSecond * seconds);
    info.requestCount = static_cast<quint32>(c->requests + static_cast<quint64>(c->requestsPerSecond) * seconds);
    info.status = c->status;
    info.connectionType = c->type;
    info.objectType = c->objectType;
    info.objectId = c->objectId;
    return status::Success;
}

NWRCODE SimClient::NWClearConnectionNumber(NWCONN_HANDLE connection, quint16 connectionNumber)
{
    const Lock lock(m_mutex);
    Server* server = nullptr;
    if (const NWRCODE rc = serverCall("NWClearConnectionNumber", connection, server))
        return rc;
    auto& list = serverLists(*server).connections;
    const auto it =
        std::find_if(list.begin(), list.end(), [&](const Connection& c) { return c.number == connectionNumber; });
    if (it == list.end())
        return kBadConnectionNumber;
    list.erase(it);
    if (server->group)
        server->clearedConnections.push_back(connectionNumber);  // kept when the lists are drawn again
    return status::Success;
}

NWRCODE SimClient::NWSendBroadcastMessage(NWCONN_HANDLE connection, const QByteArray& message,
                                          std::span<const quint16> connections, std::span<quint8> results)
{
    const Lock lock(m_mutex);
    Server* server = nullptr;
    if (const NWRCODE rc = serverCall("NWSendBroadcastMessage", connection, server))
        return rc;
    if (results.size() < connections.size() || message.indexOf('\0') == 0 || message.isEmpty())
        return status::InvalidParameter;
    for (size_t i = 0; i < connections.size(); ++i) {
        const Connection* c = findConnection(*server, connections[i]);
        results[i] = c ? c->messageResult : 1;
    }
    return status::Success;
}

NWRCODE SimClient::NWScanOpenFilesByConn2(NWCONN_HANDLE connection, quint16 connectionNumber, qint16& iterationHandle,
                                          OpenFileScanControl& control, OpenFileRecord& file)
{
    const Lock lock(m_mutex);
    file = OpenFileRecord{};
    Server* server = nullptr;
    if (const NWRCODE rc = serverCall("NWScanOpenFilesByConn2", connection, server))
        return rc;
    if (iterationHandle < 0)
        return status::InvalidParameter;
    const Connection* c = findConnection(*server, connectionNumber);
    if (!c)
        return kBadConnectionNumber;
    const auto index = static_cast<size_t>(iterationHandle);
    control.openCount = static_cast<quint16>(c->openFiles.size());
    // The last file is answered with a handle that still asks for more; the
    // next call reports the end, so no caller can miss or double-count a file.
    if (index >= c->openFiles.size()) {
        iterationHandle = -1;
        control.nextRequest = 0;
        return status::NoFilesFound;
    }
    const OpenFile& open = c->openFiles[index];
    const int serverIndex = serverIndexOf(server);
    const Volume* volume = volumeByName(*server, open.volume);
    if (volume) {
        const QStringList path = open.path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
        file.volumeNumber = static_cast<quint8>(volume->number);
        file.directoryEntry = m_files.directoryBase(serverIndex, *volume, path);
        if (const auto dos = m_files.dosPath(serverIndex, *volume, path); dos && !dos->isEmpty())
            putText(std::span<char>(file.dosName), dos->last());
    }
    file.dosName.back() = '\0';
    file.nameSpace = open.nameSpace;
    file.lockFlags = open.lockFlags;
    file.accessRights = 0x03;
    file.taskNumber = 1;
    iterationHandle = static_cast<qint16>(index + 1);
    control.nextRequest = static_cast<quint32>(index + 1);
    return status::Success;
}

NWRCODE SimClient::NWScanConnectionsUsingFile(NWCONN_HANDLE connection, NWDirHandle dirHandle,
                                              const QByteArray& fileName, qint16& iterationHandle,
                                              ConnectionUsingFile& connectionUse, FileUsage& fileUse)
{
    const Lock lock(m_mutex);
    connectionUse = ConnectionUsingFile{};
    fileUse = FileUsage{};
    Server* server = nullptr;
    ConnEntry* entry = nullptr;
    if (const NWRCODE rc = serverCall("NWScanConnectionsUsingFile", connection, server, &entry))
        return rc;
    const auto handle = entry->dirHandles.find(dirHandle);
    if (handle == entry->dirHandles.end() || iterationHandle < 0)
        return status::InvalidParameter;
    const Volume* volume = volumeByNumber(*server, handle->second.volume);
    if (!volume)
        return status::NoSuchVolume;
    const int serverIndex = serverIndexOf(server);
    const auto folderDos = m_files.dosPath(serverIndex, *volume, handle->second.path);
    if (!folderDos)
        return status::InvalidPath;
    const QString wanted = nameKey((*folderDos + QStringList{inputText(fileName).trimmed()}).join(QLatin1Char('\\')));

    struct Use {
        quint32 number;
        quint8 lockFlags;
    };
    std::vector<Use> uses;
    for (const Connection& c : serverLists(*server).connections) {
        for (const OpenFile& f : c.openFiles) {
            if (nameKey(f.volume) != nameKey(volume->name))
                continue;
            const auto dos = m_files.dosPath(serverIndex, *volume, f.path.split(QLatin1Char('\\'), Qt::SkipEmptyParts));
            if (dos && nameKey(dos->join(QLatin1Char('\\'))) == wanted) {
                uses.push_back(Use{c.number, f.lockFlags});
                break;
            }
        }
    }
    fileUse.useCount = static_cast<quint16>(uses.size());
    fileUse.openCount = static_cast<quint16>(uses.size());
    fileUse.openForReadCount = static_cast<quint16>(uses.size());
    fileUse.connectionCount = static_cast<quint16>(uses.size());
    for (const Use& u : uses)
        fileUse.locked = static_cast<quint8>(fileUse.locked | ((u.lockFlags & 0x01) ? 1 : 0));
    const auto index = static_cast<size_t>(iterationHandle);
    if (index >= uses.size()) {
        iterationHandle = -1;
        return status::NoMoreItems;
    }
    connectionUse.connectionNumber = static_cast<qint16>(uses[index].number);
    connectionUse.taskNumber = 1;
    connectionUse.lockType = uses[index].lockFlags & 0x01;
    connectionUse.accessControl = 0x01;
    connectionUse.lockFlags = uses[index].lockFlags;
    iterationHandle = static_cast<qint16>(index + 1);
    return status::Success;
}

}  // namespace nw::sim

// Server facts: up time and utilization, version and description texts, the
// clock, the directory version, loaded modules and SET parameters.

#include "netware/sim/SimClient.h"

#include "netware/sim/SimGenerator.h"

#include <cmath>

namespace nw::sim {

namespace {

int nextUtilization(Server& s)
{
    const quint64 read = s.utilizationReads++;
    if (!s.utilization.empty())
        return s.utilization[static_cast<size_t>(read % s.utilization.size())];
    // A bounded random walk: each reading moves a few points from the last.
    const int span = s.walk.max - s.walk.min;
    SeededRandom r(static_cast<quint64>(s.walk.seed) * 0x100000001B3ULL + read);
    if (s.walkValue < 0) {
        s.walkValue = s.walk.min + static_cast<int>(r.next() % static_cast<quint64>(span + 1));
        return s.walkValue;
    }
    const int step = std::max(1, span / 5);
    const int move = static_cast<int>(r.next() % static_cast<quint64>(2 * step + 1)) - step;
    s.walkValue = std::clamp(s.walkValue + move, s.walk.min, s.walk.max);
    return s.walkValue;
}

}  // namespace

NWRCODE SimClient::NWGetFileServerInfo(NWCONN_HANDLE connection, FileServerInfo& info)
{
    const Lock lock(m_mutex);
    info = FileServerInfo{};
    Server* server = nullptr;
    if (const NWRCODE rc = serverCall("NWGetFileServerInfo", connection, server))
        return rc;
    // The server counts the PC timer's ticks, 1193182 / 65536 (about 18.2065) a
    // second, rounded to the nearest tick; the counter wraps at 32 bits.
    const double seconds = static_cast<double>(server->upSeconds + runningSeconds());
    const auto ticks = static_cast<quint64>(std::llround(seconds * 1193182.0 / 65536.0));
    info.serverUpTicks = static_cast<quint32>(ticks & 0xFFFFFFFFULL);
    info.utilization = static_cast<quint32>(nextUtilization(*server));
    info.cacheBuffers = 48000;
    info.dirtyCacheBuffers = info.utilization * 3;
    return status::Success;
}

NWRCODE SimClient::NWGetFileServerInformation(NWCONN_HANDLE connection, std::span<char> serverName,
                                              FileServerInformation& info)
{
    const Lock lock(m_mutex);
    info = FileServerInformation{};
    Server* server = nullptr;
    if (const NWRCODE rc = serverCall("NWGetFileServerInformation", connection, server))
        return rc;
    putText(serverName, server->name);
    info.majorVersion = server->major;
    info.minorVersion = server->minor;
    info.revision = server->revision;
    const auto inUse = connectionCount(*server);
    info.maxConnections = static_cast<quint16>(server->maxConnections);
    info.connectionsInUse = static_cast<quint16>(std::min<size_t>(inUse, 0xFFFF));
    info.maxConnectionsUsed =
        std::max(info.connectionsInUse, static_cast<quint16>(std::min<size_t>(inUse + inUse / 10, 0xFFFF)));
    info.numberOfVolumes = static_cast<quint16>(
        std::count_if(server->volumes.begin(), server->volumes.end(), [](const Volume& v) { return v.mounted; }));
    info.sftLevel = 2;
    info.ttsLevel = 1;
    return status::Success;
}

NWRCODE SimClient::NWGetFileServerDescription(NWCONN_HANDLE connection, std::span<char> companyName,
                                              std::span<char> revision, std::span<char> revisionDate,
                                              std::span<char> copyrightNotice)
{
    const Lock lock(m_mutex);
    Server* server = nullptr;
    if (const NWRCODE rc = serverCall("NWGetFileServerDescription", connection, server))
        return rc;
    putText(companyName, server->company);
    putText(revision, server->revisionText);
    putText(revisionDate, server->revisionDate);
    putText(copyrightNotice, server->notice);
    return status::Success;
}

NWRCODE SimClient::NWGetFileServerDateAndTime(NWCONN_HANDLE connection, std::array<quint8, 8>& dateTime)
{
    const Lock lock(m_mutex);
    dateTime.fill(0);
    Server* server = nullptr;
    if (const NWRCODE rc = serverCall("NWGetFileServerDateAndTime", connection, server))
        return rc;
    const QDateTime t = now().addSecs(server->clockOffsetSeconds);
    dateTime[0] = static_cast<quint8>(std::clamp(t.date().year() - 1900, 0, 255));
    dateTime[1] = static_cast<quint8>(t.date().month());
    dateTime[2] = static_cast<quint8>(t.date().day());
    dateTime[3] = static_cast<quint8>(t.time().hour());
    dateTime[4] = static_cast<quint8>(t.time().minute());
    dateTime[5] = static_cast<quint8>(t.time().second());
    dateTime[6] = static_cast<quint8>(t.date().dayOfWeek() % 7);
    return status::Success;
}

NWRCODE SimClient::NWDSGetDSVerInfo(NWCONN_HANDLE connection, qint32* dsVersion, quint32* rootMostEntryDepth,
                                    std::span<char> sapName, quint32* flags, std::span<char> treeName)
{
    const Lock lock(m_mutex);
    Server* server = nullptr;
    if (const NWRCODE rc = serverCall("NWDSGetDSVerInfo", connection, server))
        return rc;
    if (dsVersion)
        *dsVersion = server->dsVersion;
    if (rootMostEntryDepth)
        *rootMostEntryDepth =
            server->context.isEmpty() ? 0 : static_cast<quint32>(server->context.count(QLatin1Char('.')) + 1);
    if (flags)
        *flags = 0;
    putText(sapName, server->name);
    putText(treeName, server->tree);
    return status::Success;
}

NWRCODE SimClient::NWGetNLMLoadedList(NWCONN_HANDLE connection, quint32 startNumber, NLMLoadedList& list)
{
    const Lock lock(m_mutex);
    list = NLMLoadedList{};
    Server* server = nullptr;
    if (const NWRCODE rc = serverCall("NWGetNLMLoadedList", connection, server))
        return rc;
    const auto& nlms = serverLists(*server).nlms;
    list.numberLoaded = static_cast<quint32>(nlms.size());
    auto it = std::lower_bound(nlms.begin(), nlms.end(), startNumber,
                               [](const Nlm& n, quint32 start) { return n.number < start; });
    if (it == nlms.end())
        return status::NoMoreEntries;
    const size_t batch = std::min<size_t>(static_cast<size_t>(m_network->nlmListBatch), list.numbers.size());
    for (; it != nlms.end() && list.numbersInList < batch; ++it)
        list.numbers[list.numbersInList++] = it->number;
    return status::Success;
}

NWRCODE SimClient::NWGetNLMInfo(NWCONN_HANDLE connection, quint32 nlmNumber, std::span<char> fileName,
                                std::span<char> descriptiveName, std::span<char> copyright, NLMInfo& info)
{
    const Lock lock(m_mutex);
    info = NLMInfo{};
    Server* server = nullptr;
    if (const NWRCODE rc = serverCall("NWGetNLMInfo", connection, server))
        return rc;
    const auto& nlms = serverLists(*server).nlms;
    const auto it = std::lower_bound(nlms.begin(), nlms.end(), nlmNumber,
                                     [](const Nlm& n, quint32 number) { return n.number < number; });
    if (it == nlms.end() || it->number != nlmNumber)
        return status::InvalidParameter;
    putText(fileName, it->file);
    putText(descriptiveName, it->name);
    putText(copyright, it->notice);
    info.identifier = it->number;
    info.majorVersion = it->major;
    info.minorVersion = it->minor;
    info.revision = it->revision;
    info.year = it->year;
    info.month = it->month;
    info.day = it->day;
    return status::Success;
}

NWRCODE SimClient::NWGetServerSetCommandsInfo(NWCONN_HANDLE connection, quint32 sequence, SetCommandRecord& record)
{
    const Lock lock(m_mutex);
    record = SetCommandRecord{};
    Server* server = nullptr;
    if (const NWRCODE rc = serverCall("NWGetServerSetCommandsInfo", connection, server))
        return rc;
    const auto& parameters = serverLists(*server).setParameters;
    if (sequence >= parameters.size())
        return status::NoMoreEntries;
    const SetParameter& p = parameters[sequence];
    record.nextSequence = sequence + 1 < parameters.size() ? sequence + 1 : 0;
    record.type = p.type;
    record.category = p.category;
    const QByteArray name = outputBytes(p.name);
    const size_t nameBytes = std::min(static_cast<size_t>(name.size()), record.nameAndValue.size() - 1);
    std::copy_n(name.constData(), nameBytes, record.nameAndValue.begin());
    const size_t valueBytes = std::min(static_cast<size_t>(p.value.size()), record.nameAndValue.size() - nameBytes - 1);
    std::copy_n(p.value.constData(), valueBytes, record.nameAndValue.begin() + static_cast<qsizetype>(nameBytes + 1));
    record.valueLength = static_cast<quint32>(valueBytes);
    return status::Success;
}

}  // namespace nw::sim

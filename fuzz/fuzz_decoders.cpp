// The readers of what the network sends and keeps: the abend log, directory
// listings, searches and tree scans, partition replies, connection records and
// the server's date and time, volume space figures and the simulated
// network's volume files. The first byte picks the reader; the rest are the
// replies, taken in the order the reader asks for them.

#include "FuzzSupport.h"

#include "connections/ConnectionFormats.h"
#include "connections/ConnectionReader.h"
#include "connections/FileUse.h"
#include "core/AppContext.h"
#include "directory/DirectoryReaders.h"
#include "directory/Partitions.h"
#include "netware/NovellCalls.h"
#include "netware/ServerDiscovery.h"
#include "netware/sim/SimFiles.h"
#include "settings/SettingsKeys.h"
#include "support/MemoryRegistry.h"
#include "support/StubClient.h"
#include "views/AbendLog.h"
#include "views/ServerFormats.h"
#include "views/VolumeUsage.h"

#include <QLocale>
#include <QSet>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

using fuzzing::Input;
using nw::NWRCODE;

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

// A server and directory whose every answer comes from the input: first
// whether the call succeeds, then what it returns. Calls past the end of the
// input, or past a budget that keeps one run short, are refused.
class ReplyServer : public testing::StubClient {
public:
    explicit ReplyServer(Input& input) : m_input(input) {}

    NWRCODE NWDSCreateContextHandle(nw::NWDSContextHandle& context) override
    {
        context = 1;
        return nw::status::Success;
    }
    NWRCODE NWDSFreeContext(nw::NWDSContextHandle) override { return nw::status::Success; }
    NWRCODE NWDSGetContext(nw::NWDSContextHandle, int, quint32& value) override
    {
        value = m_input.take<quint8>();
        return nw::status::Success;
    }
    NWRCODE NWDSGetContext(nw::NWDSContextHandle, int, std::span<char> value) override
    {
        put(value);
        return nw::status::Success;
    }
    NWRCODE NWDSSetContext(nw::NWDSContextHandle, int, quint32) override { return nw::status::Success; }
    NWRCODE NWDSSetContext(nw::NWDSContextHandle, int, const QByteArray&) override { return nw::status::Success; }
    NWRCODE NWDSAllocBuf(quint32, nw::NWDSBufHandle& buffer) override
    {
        buffer = 2;
        return nw::status::Success;
    }
    NWRCODE NWDSInitBuf(nw::NWDSContextHandle, quint32, nw::NWDSBufHandle) override { return nw::status::Success; }
    NWRCODE NWDSFreeBuf(nw::NWDSBufHandle) override { return nw::status::Success; }
    NWRCODE NWDSAllocFilter(nw::NWFilterCursor& cursor) override
    {
        cursor = 3;
        return nw::status::Success;
    }
    NWRCODE NWDSAddFilterToken(nw::NWFilterCursor, quint16, const QByteArray*, quint32) override
    {
        return nw::status::Success;
    }
    NWRCODE NWDSPutFilter(nw::NWDSContextHandle, nw::NWDSBufHandle, nw::NWFilterCursor) override
    {
        return nw::status::Success;
    }

    NWRCODE NWDSListContainers(nw::NWDSContextHandle, const QByteArray&, qint32& iteration, nw::NWDSBufHandle) override
    {
        return listing(iteration);
    }
    NWRCODE NWDSSearch(nw::NWDSContextHandle, const QByteArray&, quint32, bool, nw::NWDSBufHandle, quint32, bool,
                       nw::NWDSBufHandle, qint32& iteration, qint32, qint32& searched, nw::NWDSBufHandle) override
    {
        searched = m_input.take<quint8>();
        return listing(iteration);
    }
    NWRCODE NWDSGetObjectCount(nw::NWDSContextHandle, nw::NWDSBufHandle, quint32& count) override
    {
        count = number();
        return answer();
    }
    NWRCODE NWDSGetObjectName(nw::NWDSContextHandle, nw::NWDSBufHandle, std::span<char> name, quint32& attributes,
                              nw::ObjectInfo& info) override
    {
        if (const NWRCODE rc = answer())
            return rc;
        put(name);
        attributes = m_input.take<quint8>();
        static const char* const classes[] = {"Organizational Unit", "Organization", "Country", "Domain", "NCP Server"};
        const quint8 pick = m_input.take<quint8>();
        if (pick < 5 * 40)
            nw::stringToBytes(info.baseClass, QString::fromLatin1(classes[pick % 5]));
        else
            put(info.baseClass);
        info.subordinateCount = m_input.take<quint32>();
        return nw::status::Success;
    }
    NWRCODE NWDSScanConnsForTrees(nw::NWDSContextHandle, quint32& count, std::span<std::array<char, 65>> names) override
    {
        count = number();
        for (auto& name : names)
            put(name);
        return answer();
    }
    NWRCODE NWGetObjectNamesBeginA(quint32, nw::NWScanHandle& scan) override
    {
        scan = 4;
        return answer();
    }
    NWRCODE NWGetObjectNamesNextA(nw::NWScanHandle, quint32, std::span<char> name) override
    {
        if (const NWRCODE rc = answer())
            return rc;
        put(name);
        return nw::status::Success;
    }
    NWRCODE NWGetObjectNamesEndA(nw::NWScanHandle) override { return nw::status::Success; }
    NWRCODE NWDSWhoAmI(nw::NWDSContextHandle, std::span<char> name) override
    {
        if (const NWRCODE rc = answer())
            return rc;
        put(name);
        return nw::status::Success;
    }

    NWRCODE NWCCOpenConnByName(nw::NWCONN_HANDLE, const QByteArray&, quint32, quint32, quint32,
                               nw::NWCONN_HANDLE& connection) override
    {
        connection = 5;
        return answer();
    }
    NWRCODE NWCCCloseConn(nw::NWCONN_HANDLE) override { return nw::status::Success; }
    NWRCODE NWDSAuthenticate(nw::NWCONN_HANDLE, quint32, quint32*) override { return answer(); }
    NWRCODE NWDSGetServerDN(nw::NWDSContextHandle, nw::NWCONN_HANDLE, std::span<char> name) override
    {
        if (const NWRCODE rc = answer())
            return rc;
        put(name);
        return nw::status::Success;
    }
    NWRCODE NWGetFileServerDateAndTime(nw::NWCONN_HANDLE, std::array<quint8, 8>& clock) override
    {
        if (const NWRCODE rc = answer())
            return rc;
        m_input.fill(clock.data(), clock.size());
        return nw::status::Success;
    }
    NWRCODE NWDSListPartitions(nw::NWDSContextHandle, qint32& iteration, const QByteArray&, nw::NWDSBufHandle) override
    {
        return listing(iteration);
    }
    NWRCODE NWDSListPartitionsExtInfo(nw::NWDSContextHandle, qint32& iteration, const QByteArray&, quint32,
                                      nw::NWDSBufHandle) override
    {
        return listing(iteration);
    }
    NWRCODE NWDSGetServerName(nw::NWDSContextHandle, nw::NWDSBufHandle, std::span<char> name, quint32& count) override
    {
        if (const NWRCODE rc = answer())
            return rc;
        put(name);
        count = number();
        return nw::status::Success;
    }
    NWRCODE NWDSGetPartitionInfo(nw::NWDSContextHandle, nw::NWDSBufHandle, std::span<char> name, quint32& type) override
    {
        if (const NWRCODE rc = answer())
            return rc;
        put(name);
        type = number();
        return nw::status::Success;
    }
    NWRCODE NWDSGetPartitionExtInfoPtr(nw::NWDSContextHandle, nw::NWDSBufHandle, quint32& info) override
    {
        info = m_input.take<quint32>();
        return answer();
    }
    NWRCODE NWDSGetPartitionExtInfo(nw::NWDSContextHandle, quint32, quint32, std::span<quint8> data,
                                    quint32& length) override
    {
        if (const NWRCODE rc = answer())
            return rc;
        const QByteArray bytes = m_input.bytes(data.size());
        std::fill(data.begin(), data.end(), quint8(0));
        std::copy(bytes.begin(), bytes.end(), data.begin());
        length = m_input.take<quint32>();
        return nw::status::Success;
    }

    NWRCODE NWGetServerConnInfo(nw::NWCONN_HANDLE, quint32, quint32, nw::ServerConnInfo& info) override
    {
        if (const NWRCODE rc = answer())
            return rc;
        m_input.fill(info.loginTime.data(), info.loginTime.size());
        info.nameLength = m_input.take<quint8>();
        put(info.loginName);
        m_input.fill(info.bytesRead.data(), info.bytesRead.size());
        m_input.fill(info.bytesWritten.data(), info.bytesWritten.size());
        info.requestCount = m_input.take<quint32>();
        info.status = m_input.take<quint8>() & 1 ? m_input.take<quint32>() : 0x20;
        return nw::status::Success;
    }
    NWRCODE NWScanOpenFilesByConn2(nw::NWCONN_HANDLE, quint16, qint16& iteration, nw::OpenFileScanControl&,
                                   nw::OpenFileRecord& record) override
    {
        if (const NWRCODE rc = answer())
            return rc;
        iteration = m_input.take<quint8>() & 1 ? -1 : static_cast<qint16>(iteration + 1);
        record.volumeNumber = m_input.take<quint8>();
        record.directoryEntry = m_input.take<quint32>();
        record.nameSpace = m_input.take<quint8>() & 1 ? nw::NW_NS_DOS : nw::NW_NS_LONG;
        record.lockFlags = m_input.take<quint8>();
        put(record.dosName);
        return nw::status::Success;
    }
    NWRCODE NWGetActiveConnListByType(nw::NWCONN_HANDLE, quint32, quint32, nw::ActiveConnList& list) override
    {
        if (const NWRCODE rc = answer())
            return rc;
        list.connectionsInList = m_input.take<quint16>();
        const QByteArray bits = m_input.bytes(list.bits.size());
        std::copy(bits.begin(), bits.end(), list.bits.begin());
        return nw::status::Success;
    }
    NWRCODE NWGetVolumeName(nw::NWCONN_HANDLE, quint16, std::span<char> name) override
    {
        if (const NWRCODE rc = answer())
            return rc;
        put(name);
        return nw::status::Success;
    }
    NWRCODE NWGetPathFromDirectoryBase(nw::NWCONN_HANDLE, quint8, quint32, quint8, quint8& length,
                                       std::span<quint8> path) override
    {
        if (const NWRCODE rc = answer())
            return rc;
        length = m_input.take<quint8>();
        const QByteArray bytes = m_input.bytes(path.size());
        std::copy(bytes.begin(), bytes.end(), path.begin());
        return nw::status::Success;
    }
    NWRCODE NWGetLongName(nw::NWCONN_HANDLE, nw::NWDirHandle, const QByteArray&, quint8, quint8,
                          std::span<char> name) override
    {
        if (const NWRCODE rc = answer())
            return rc;
        put(name);
        return nw::status::Success;
    }

private:
    // Success, or one of the refusals a reader sees in practice.
    NWRCODE answer()
    {
        if (m_input.done() || ++m_calls > 400)
            return nw::status::ConnectionRefused;
        const quint8 pick = m_input.take<quint8>();
        if (pick < 200)
            return nw::status::Success;
        static const NWRCODE refusals[] = {nw::status::BufferEmpty, nw::status::ConnectionRefused,
                                           nw::status::NoSuchEntry, nw::status::NoFilesFound,
                                           nw::status::InvalidParameter};
        return refusals[pick % std::size(refusals)];
    }
    NWRCODE listing(qint32& iteration)
    {
        if (const NWRCODE rc = answer())
            return rc;
        iteration = m_input.take<quint8>() & 1 ? -1 : static_cast<qint32>(m_input.take<quint8>());
        return nw::status::Success;
    }
    // Small numbers mostly, now and then any 32 bits (a count no reply can hold).
    quint32 number()
    {
        const quint8 size = m_input.take<quint8>();
        return size < 250 ? size : m_input.take<quint32>();
    }
    // Fills a reply array with input bytes, not always ending in NUL.
    template <typename Array>
    void put(Array& out)
    {
        std::span<char> bytes(reinterpret_cast<char*>(out.data()), out.size());
        std::fill(bytes.begin(), bytes.end(), '\0');
        const QByteArray text = m_input.bytes(bytes.size());
        std::copy(text.begin(), text.end(), bytes.begin());
    }
    void put(std::span<char> out)
    {
        std::fill(out.begin(), out.end(), '\0');
        const QByteArray text = m_input.bytes(out.size());
        std::copy(text.begin(), text.end(), out.begin());
    }

    Input& m_input;
    int m_calls = 0;
};

void abendLog(Input& input)
{
    const QString server = input.text(47);
    const QStringList lines = views::textLines(input.rest());
    const QStringList dates = views::abendDates(lines, server);
    for (qsizetype i = 0; i < dates.size() && i < 4; ++i) {
        const QStringList report = views::abendReport(lines, server, dates.at(i));
        if (report.size() < 2 || !report.at(1).isEmpty())
            fail("a report without its heading");
        // A halt whose header line has the blank after "halted" is found:
        // heading, empty line, its header. (Any other character there is
        // skipped when the halts are listed, and such a line is no header.)
        const QString header = QStringLiteral("Server ") + server + QStringLiteral(" halted ") + dates.at(i);
        if (lines.contains(header) && (report.size() < 3 || report.at(2) != header))
            fail("a listed halt has no report");
    }
    views::abendReport(lines, server, server);
}

void directoryReplies(Input& input)
{
    ReplyServer server(input);
    testing::MemoryRegistry registry;
    fuzzing::QuietServices quiet;
    core::AppContext context(server, registry, quiet, quiet, quiet, quiet);
    context.values.treeName = QStringLiteral("T");
    switch (input.take<quint8>() % 5) {
    case 0: {
        const directory::ContainerLevel level =
            directory::listContainerLevel(context, QStringLiteral("T"), QStringLiteral("[Root]"));
        if (level.containers.size() > size_t(nw::kMaxListingReplies) * nw::kMaxObjectsPerReply)
            fail("more containers than the replies can hold");
        break;
    }
    case 1:
        directory::connectedTrees(context);
        break;
    case 2:
        if (directory::advertisedTrees(server).size() > nw::kMaxScannedItems)
            fail("the tree scan did not stop");
        break;
    case 3:
        directory::userContext(context);
        break;
    default: {
        registry.createKey(settings::Hive::CurrentUser, settings::kRootKey);
        registry.setValue(settings::Hive::CurrentUser, settings::kRootKey, QStringLiteral("StartingServerContext"),
                          QStringLiteral("T\\[Root]"));
        nw::findServers(context, QStringLiteral("NCP Server"));
        break;
    }
    }
}

void partitionReplies(Input& input)
{
    ReplyServer server(input);
    const auto view = static_cast<directory::ReplicaView>(input.take<quint8>() % 4);
    directory::readServerReplicas(server, QStringLiteral("T"), QStringLiteral("FS1"), view,
                                  [](const QString& partition, const QString& text) {
                                      directory::partitionDisplayName(partition);
                                      directory::cellToolTip(text);
                                  });
}

void connectionRecords(Input& input)
{
    ReplyServer server(input);
    const quint8 pick = input.take<quint8>();
    if (pick % 3 == 2) {
        for (const connections::OpenFile& file : connections::readOpenFiles(server, 5, input.take<quint16>()))
            if (!file.path.contains(QLatin1Char(':')))
                fail("an open file without its volume");
        return;
    }
    connections::ColumnChoice columns = pick % 3 == 0 ? connections::ColumnChoice() : connections::ColumnChoice::none();
    connections::ConnectionReader reader(server, 5, columns, input.take<quint16>(), QLocale::c());
    std::vector<std::pair<quint16, QString>> visited;
    connections::walkActiveConnections(server, 5,
                                       {[](const QString&) { return true; },
                                        [&](quint16 number, const QString& type) {
                                            if (number == 0 || number > connections::kHighestConnection)
                                                fail("a connection number outside the lists");
                                            if (visited.size() < 8)
                                                visited.emplace_back(number, type);
                                        },
                                        [] { return true; }});
    for (const auto& [number, type] : visited)
        reader.read(number, type, connections::kAllFilter);
}

void dateTimes(Input& input)
{
    std::array<quint8, 8> clock{};
    input.fill(clock.data(), clock.size());
    const QDateTime serverClock = directory::serverClockTime(clock);
    directory::replicaTimeStampText(input.take<quint32>(), serverClock, QLocale::c());
    directory::syncTimeText(input.take<quint32>(), input.take<quint32>());
    const QByteArray login = input.bytes(8);
    const QByteArray now = input.bytes(8);
    const auto loginTime = connections::serverDateTime(
        std::span<const quint8>(reinterpret_cast<const quint8*>(login.data()), static_cast<size_t>(login.size())));
    const auto nowTime = connections::serverDateTime(
        std::span<const quint8>(reinterpret_cast<const quint8*>(now.data()), static_cast<size_t>(now.size())));
    if (loginTime && nowTime)
        connections::connectionTimeText(*loginTime, *nowTime);
    views::formatUpTime(input.take<quint32>());
    views::nlmDateText(input.take<quint32>(), input.take<quint32>(), input.take<quint32>(), QLocale::c());
    views::nlmVersionText(input.take<quint32>(), input.take<quint32>(), input.take<quint32>());
    std::array<quint8, 6> counter{};
    input.fill(counter.data(), counter.size());
    connections::kilobytesText(connections::counterValue(counter), QLocale::c());
    connections::connectionNumberOf(input.text(32));
}

void volumeSpace(Input& input)
{
    nw::DirSpaceInfo info;
    input.fill(&info, sizeof info);
    const views::VolumeSpace space = views::volumeSpace(info);
    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::German, QLocale::Germany)}) {
        const QStringList cells = views::volumeCells(space, locale);
        if (cells.size() != views::unavailableCells().size())
            fail("a volume row of the wrong width");
        double total = 0;
        for (const QString& cell : cells)
            total += views::cellMegabytes(cell, locale);
        views::totalsText(total, total / 2, total / 3, locale);
    }
    std::array<char, 17> record{};
    input.fill(record.data(), record.size());
    const QString name = nw::bytesToString(std::span<const char>(record));
    views::isAdministrationVolume(name);
    const QString server = input.text(47);
    const QString entry = views::volumeEntry(server, name);
    views::netWarePathOf(entry);
    views::netWarePathOf(input.text());
}

// The short names of a folder as the rule states them, found the slow way.
QStringList referenceDosNames(const QStringList& longNames)
{
    auto validChars = [](const QString& text) {
        QString out;
        for (const QChar c : text) {
            const QChar upper = c.toUpper();
            if (upper.unicode() <= 127
                && (upper.isLetterOrNumber() || QStringLiteral("!#$%&'()-@^_`{}~").contains(upper)))
                out.append(upper);
        }
        return out;
    };
    QSet<QString> taken;
    for (const QString& name : longNames)
        if (nw::sim::isValidDosName(name))
            taken.insert(name);
    QStringList result;
    for (const QString& name : longNames) {
        if (nw::sim::isValidDosName(name)) {
            result.append(name);
            continue;
        }
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        const QString base = validChars(dot > 0 ? name.left(dot) : name);
        const QString ext = dot > 0 ? validChars(name.mid(dot + 1)).left(3) : QString();
        for (int n = 1;; ++n) {
            const QString tail = QLatin1Char('~') + QString::number(n);
            QString shortName = base.left(std::min<qsizetype>(6, 8 - tail.size())) + tail;
            if (!ext.isEmpty())
                shortName += QLatin1Char('.') + ext;
            if (!taken.contains(shortName)) {
                taken.insert(shortName);
                result.append(shortName);
                break;
            }
        }
    }
    return result;
}

void volumeFiles(Input& input)
{
    const QStringList names = input.texts(48, 24);
    if (nw::sim::deriveDosNames(names) != referenceDosNames(names))
        fail("short names differ from the rule");

    nw::sim::Network network;
    nw::sim::Server server;
    server.name = QStringLiteral("FS1");
    server.tree = QStringLiteral("T");
    nw::sim::Volume volume;
    volume.name = QStringLiteral("SYS");
    server.volumes.push_back(volume);
    nw::sim::ServerLists lists;
    nw::sim::Connection connection;
    connection.number = 1;
    for (const QString& path : input.texts(32, 64))
        connection.openFiles.push_back(
            {input.take<quint8>() & 1 ? QStringLiteral("SYS") : QStringLiteral("VOL1"), path});
    lists.connections.push_back(connection);
    server.lists = std::move(lists);
    network.servers.push_back(std::move(server));

    nw::sim::VolumeFiles files(network);
    while (!input.done()) {
        const QStringList components = input.texts(8, 32);
        const auto resolved = files.resolve(0, volume, components);
        if (!resolved)
            continue;
        if (resolved->size() != components.size())
            fail("a resolved path of another length");
        const auto dos = files.dosPath(0, volume, *resolved);
        if (!dos || dos->size() != resolved->size())
            fail("a resolved path without its short names");
        if (files.resolve(0, volume, *dos) != resolved)
            fail("short names lead elsewhere");
        const quint32 base = files.directoryBase(0, volume, *resolved);
        if (files.pathOfBase(0, volume, base) != *resolved)
            fail("a directory base names another path");
        files.folder(0, volume, *resolved);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    Input input(data + 1, size - 1);
    switch (data[0] % 7) {
    case 0:
        abendLog(input);
        break;
    case 1:
        directoryReplies(input);
        break;
    case 2:
        partitionReplies(input);
        break;
    case 3:
        connectionRecords(input);
        break;
    case 4:
        dateTimes(input);
        break;
    case 5:
        volumeSpace(input);
        break;
    default:
        volumeFiles(input);
        break;
    }
    return 0;
}

#pragma once
// The NetWare client served by the simulated network. Handles are entries in
// tables the client keeps; scans and listings really iterate, in replies no
// larger than the network's batch sizes. The calls live in one source file per
// group: SimClientCore (start, contexts, buffers, filters), SimClientDirectory,
// SimClientLogin, SimClientConnections, SimClientServer, SimClientVolumes and
// SimClientPartitions.
//
// Safe for calls from several threads at once, as NetWareClient.h promises:
// every call holds one lock while it reads or changes the client's tables and
// the network, and releases it while it sleeps the server's latency, so that
// calls to other servers go on meanwhile.

#include "netware/NetWareClient.h"
#include "netware/sim/SimFiles.h"
#include "netware/sim/SimModel.h"

#include <QDateTime>
#include <QHash>
#include <QString>

#include "text/CodePage.h"

#include <algorithm>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace nw::sim {

// The text of an input the caller passed: its bytes up to the first NUL.
inline QString inputText(const QByteArray& bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    return texts::fromWindows1252(nul < 0 ? QByteArrayView(bytes) : QByteArrayView(bytes).first(nul));
}

// Names cross the client as Windows-1252 bytes, as on the workstation.
inline QByteArray outputBytes(const QString& text)
{
    return texts::toWindows1252Lossy(text);
}

class SimClient final : public NetWareClient {
public:
    explicit SimClient(std::unique_ptr<Network> network);
    ~SimClient() override;

    // The network as it stands; to be looked at while no call runs.
    const Network& network() const { return *m_network; }
    // Connections opened and not yet closed (tests check that views close theirs).
    qsizetype openConnectionCount() const
    {
        const Lock lock(m_mutex);
        return m_connections.size();
    }
    // The same less the client's own connections (those NWParsePath hands
    // out, which stay open for every caller).
    qsizetype callerConnectionCount() const
    {
        const Lock lock(m_mutex);
        return std::count_if(m_connections.cbegin(), m_connections.cend(),
                             [](const ConnEntry& entry) { return !entry.clientOwned; });
    }

    // One NWCCOpenConnByName as the caller made it, with its result.
    struct ConnectionOpen {
        QString name;
        quint32 nameFormat = 0;
        quint32 openState = 0;
        quint32 transport = 0;
        NWRCODE result = 0;
    };
    // The latest opens by name, oldest first; only the last kOpensKept are kept.
    static constexpr size_t kOpensKept = 1000;
    // A copy: reads on other threads may be opening connections meanwhile.
    std::deque<ConnectionOpen> connectionOpens() const
    {
        const Lock lock(m_mutex);
        return m_opens;
    }
    void clearConnectionOpens()
    {
        const Lock lock(m_mutex);
        m_opens.clear();
    }
    // How often a call went to a server over a connection since loading
    // (tests count the requests a view makes).
    int serverCallCount(const QString& call) const
    {
        const Lock lock(m_mutex);
        return m_serverCalls.value(call);
    }

    NWRCODE NWCallsInit(quintptr reserved1, quintptr reserved2) override;
    NWRCODE NWCLXInit(quintptr reserved1, quintptr reserved2) override;
    NWRCODE NWCallsTerm(quintptr reserved) override;
    NWRCODE NWCLXTerm(quintptr reserved) override;

    NWRCODE NWDSCreateContextHandle(NWDSContextHandle& context) override;
    NWRCODE NWDSGetContext(NWDSContextHandle context, int key, quint32& value) override;
    NWRCODE NWDSGetContext(NWDSContextHandle context, int key, std::span<char> value) override;
    NWRCODE NWDSSetContext(NWDSContextHandle context, int key, quint32 value) override;
    NWRCODE NWDSSetContext(NWDSContextHandle context, int key, const QByteArray& value) override;
    NWRCODE NWDSFreeContext(NWDSContextHandle context) override;

    NWRCODE NWDSAllocBuf(quint32 size, NWDSBufHandle& buffer) override;
    NWRCODE NWDSInitBuf(NWDSContextHandle context, quint32 operation, NWDSBufHandle buffer) override;
    NWRCODE NWDSFreeBuf(NWDSBufHandle buffer) override;
    NWRCODE NWDSListContainers(NWDSContextHandle context, const QByteArray& object, qint32& iterationHandle,
                               NWDSBufHandle reply) override;
    NWRCODE NWDSAllocFilter(NWFilterCursor& cursor) override;
    NWRCODE NWDSAddFilterToken(NWFilterCursor cursor, quint16 token, const QByteArray* value, quint32 syntax) override;
    NWRCODE NWDSPutFilter(NWDSContextHandle context, NWDSBufHandle filterBuffer, NWFilterCursor cursor) override;
    NWRCODE NWDSSearch(NWDSContextHandle context, const QByteArray& baseObject, quint32 scope, bool searchAliases,
                       NWDSBufHandle filter, quint32 infoType, bool allAttributes, NWDSBufHandle attributeNames,
                       qint32& iterationHandle, qint32 countObjectsToSearch, qint32& countObjectsSearched,
                       NWDSBufHandle reply) override;
    NWRCODE NWDSGetObjectCount(NWDSContextHandle context, NWDSBufHandle reply, quint32& count) override;
    NWRCODE NWDSGetObjectName(NWDSContextHandle context, NWDSBufHandle reply, std::span<char> objectName,
                              quint32& attributeCount, ObjectInfo& info) override;

    NWRCODE NWDSScanConnsForTrees(NWDSContextHandle context, quint32& treeCount,
                                  std::span<std::array<char, 65>> treeNames) override;
    NWRCODE NWGetObjectNamesBeginA(quint32 objectType, NWScanHandle& scan) override;
    NWRCODE NWGetObjectNamesNextA(NWScanHandle scan, quint32 bufferLength, std::span<char> name) override;
    NWRCODE NWGetObjectNamesEndA(NWScanHandle scan) override;
    NWRCODE NWDSLogin(NWDSContextHandle context, quint32 options, const QByteArray& objectName,
                      const QByteArray& password, quint32 validityPeriod) override;
    NWRCODE NWAttachToFileServer(const QByteArray& serverName, quint16 scope, NWCONN_HANDLE& connection) override;
    NWRCODE NWDSAuthenticate(NWCONN_HANDLE connection, quint32 options, quint32* reserved) override;
    NWRCODE NWDSWhoAmI(NWDSContextHandle context, std::span<char> objectName) override;

    NWRCODE NWCCOpenConnByName(NWCONN_HANDLE startConnection, const QByteArray& name, quint32 nameFormat,
                               quint32 openState, quint32 transportType, NWCONN_HANDLE& connection) override;
    NWRCODE NWCCCloseConn(NWCONN_HANDLE connection) override;
    NWRCODE NWCCGetConnInfo(NWCONN_HANDLE connection, quint32 infoType, std::span<quint8> buffer) override;
    NWRCODE NWGetActiveConnListByType(NWCONN_HANDLE connection, quint32 startConnection, quint32 connectionType,
                                      ActiveConnList& list) override;
    NWRCODE NWGetConnectionInformation(NWCONN_HANDLE connection, quint16 connectionNumber, std::span<char> objectName,
                                       quint16& objectType, quint32& objectId,
                                       std::array<quint8, 7>& loginTime) override;
    NWRCODE NWGetServerConnInfo(NWCONN_HANDLE connection, quint32 infoType, quint32 connectionNumber,
                                ServerConnInfo& info) override;
    NWRCODE NWClearConnectionNumber(NWCONN_HANDLE connection, quint16 connectionNumber) override;
    NWRCODE NWSendBroadcastMessage(NWCONN_HANDLE connection, const QByteArray& message,
                                   std::span<const quint16> connections, std::span<quint8> results) override;
    NWRCODE NWScanOpenFilesByConn2(NWCONN_HANDLE connection, quint16 connectionNumber, qint16& iterationHandle,
                                   OpenFileScanControl& control, OpenFileRecord& file) override;
    NWRCODE NWScanConnectionsUsingFile(NWCONN_HANDLE connection, NWDirHandle dirHandle, const QByteArray& fileName,
                                       qint16& iterationHandle, ConnectionUsingFile& connectionUse,
                                       FileUsage& fileUse) override;

    NWRCODE NWGetFileServerInfo(NWCONN_HANDLE connection, FileServerInfo& info) override;
    NWRCODE NWGetFileServerInformation(NWCONN_HANDLE connection, std::span<char> serverName,
                                       FileServerInformation& info) override;
    NWRCODE NWGetFileServerDescription(NWCONN_HANDLE connection, std::span<char> companyName, std::span<char> revision,
                                       std::span<char> revisionDate, std::span<char> copyrightNotice) override;
    NWRCODE NWGetFileServerDateAndTime(NWCONN_HANDLE connection, std::array<quint8, 8>& dateTime) override;
    NWRCODE NWDSGetDSVerInfo(NWCONN_HANDLE connection, qint32* dsVersion, quint32* rootMostEntryDepth,
                             std::span<char> sapName, quint32* flags, std::span<char> treeName) override;
    NWRCODE NWGetNLMLoadedList(NWCONN_HANDLE connection, quint32 startNumber, NLMLoadedList& list) override;
    NWRCODE NWGetNLMInfo(NWCONN_HANDLE connection, quint32 nlmNumber, std::span<char> fileName,
                         std::span<char> descriptiveName, std::span<char> copyright, NLMInfo& info) override;
    NWRCODE NWGetServerSetCommandsInfo(NWCONN_HANDLE connection, quint32 sequence, SetCommandRecord& record) override;

    NWRCODE NWScanMountedVolumeList(NWCONN_HANDLE connection, quint32 requestFlags, quint32 nameSpace,
                                    quint32& volumeIterator, quint32 numberItems, quint32& numberReturned,
                                    std::span<VolumeRecord> volumes) override;
    NWRCODE NWGetVolumeNumber(NWCONN_HANDLE connection, const QByteArray& volumeName, quint16& volumeNumber) override;
    NWRCODE NWGetVolumeName(NWCONN_HANDLE connection, quint16 volumeNumber, std::span<char> volumeName) override;
    NWRCODE NWGetDirSpaceInfo(NWCONN_HANDLE connection, NWDirHandle dirHandle, quint16 volumeNumber,
                              DirSpaceInfo& info) override;
    NWRCODE NWParsePath(const QByteArray& path, std::span<char> serverName, NWCONN_HANDLE& connection,
                        std::span<char> volumeName, std::span<char> dirPath) override;
    NWRCODE NWGetDriveStatus(quint16 driveNumber, quint16 pathFormat, quint16& status, NWCONN_HANDLE& connection,
                             std::span<char> rootPath, std::span<char> relativePath, std::span<char> fullPath) override;
    NWRCODE NWSetDriveBase(quint16 driveNumber, NWCONN_HANDLE connection, NWDirHandle dirHandle,
                           const QByteArray& dirPath, quint16 driveScope) override;
    NWRCODE NWDeleteDriveBase(quint16 driveNumber, quint16 driveScope) override;
    NWRCODE NWAllocTempNSDirHandle2(NWCONN_HANDLE connection, NWDirHandle dirHandle, const QByteArray& path,
                                    quint8 nameSpace, NWDirHandle& newDirHandle, quint8 targetNameSpace) override;
    NWRCODE NWDeallocateDirectoryHandle(NWCONN_HANDLE connection, NWDirHandle dirHandle) override;
    NWRCODE NWGetPathFromDirectoryBase(NWCONN_HANDLE connection, quint8 volumeNumber, quint32 directoryBase,
                                       quint8 nameSpace, quint8& length, std::span<quint8> path) override;
    NWRCODE NWGetLongName(NWCONN_HANDLE connection, NWDirHandle dirHandle, const QByteArray& path, quint8 srcNameSpace,
                          quint8 dstNameSpace, std::span<char> longName) override;

    NWRCODE NWDSListPartitions(NWDSContextHandle context, qint32& iterationHandle, const QByteArray& server,
                               NWDSBufHandle reply) override;
    NWRCODE NWDSListPartitionsExtInfo(NWDSContextHandle context, qint32& iterationHandle, const QByteArray& server,
                                      quint32 infoFlags, NWDSBufHandle reply) override;
    NWRCODE NWDSGetServerName(NWDSContextHandle context, NWDSBufHandle reply, std::span<char> serverName,
                              quint32& partitionCount) override;
    NWRCODE NWDSGetPartitionInfo(NWDSContextHandle context, NWDSBufHandle reply, std::span<char> partitionName,
                                 quint32& replicaType) override;
    NWRCODE NWDSGetPartitionExtInfoPtr(NWDSContextHandle context, NWDSBufHandle reply, quint32& infoPtr) override;
    NWRCODE NWDSGetPartitionExtInfo(NWDSContextHandle context, quint32 infoPtr, quint32 infoFlag,
                                    std::span<quint8> data, quint32& length) override;
    NWRCODE NWDSGetServerDN(NWDSContextHandle context, NWCONN_HANDLE connection, std::span<char> serverDN) override;
    // \\SERVER\VOLUME\PATH into fileRoot/SERVER/VOLUME/PATH, each component
    // matched without regard to case; empty when any part is missing.
    QString localPathOf(const QString& networkPath) const override;

private:
    using Lock = std::unique_lock<std::mutex>;

    struct DirContext {
        quint32 flags = 0;
        QString nameContext;
        QString tree;
    };
    struct ReplyObject {
        QString fullName;  // typeless, root last, no leading dot ("" is the root)
        QString baseClass;
        quint32 subordinates = 0;
    };
    struct ReplyPartition {
        QString name;  // typeless full name or "[Root]"
        Replica replica;
    };
    struct FilterToken {
        quint16 token = 0;
        QString value;
        quint32 syntax = 0;
    };
    struct Buffer {
        quint32 size = 0;
        quint32 operation = 0;
        std::vector<FilterToken> filter;
        bool holdsFilter = false;
        std::vector<ReplyObject> objects;
        QString serverName;
        std::vector<ReplyPartition> partitions;
        std::vector<quint32> infoPtrs;  // handed out for this reply's partitions
        size_t readPosition = 0;
    };
    struct Listing {
        std::vector<ReplyObject> objects;
        size_t next = 0;
    };
    struct DirHandleEntry {
        quint32 volume = 0;  // volume number
        QStringList path;    // long names from the volume root
    };
    struct ConnEntry {
        int server = -1;
        bool authenticated = false;
        bool clientOwned = false;
        bool licensed = false;  // holds one of the server's licences until closed
        std::map<quint8, DirHandleEntry> dirHandles;
    };

    // SimClientConnections.cpp
    // Opens a connection to the server a name names; a licensed one takes one
    // of the server's free licences.
    NWRCODE connectByName(const QByteArray& name, bool licensed, NWCONN_HANDLE& connection);

    // SimClientCore.cpp
    quint32 newHandle();
    QDateTime now() const;
    qint64 runningSeconds() const;  // real seconds since load; 0 with a fixed clock
    // Sleeps the server's latency (the network's without a server) with the
    // calling thread's lock released: handles and iterators taken before it
    // must be looked up again afterwards.
    void delay(const Server* server) const;
    // Top-level fault for a call made on no server and no tree.
    std::optional<NWRCODE> topFault(const char* call) const;
    // Looks the handle up, waits the latency and applies the server's faults.
    NWRCODE serverCall(const char* call, NWCONN_HANDLE connection, Server*& server, ConnEntry** entry = nullptr);
    // Resolves the context's tree, checks it can be reached, waits and applies its faults.
    NWRCODE directoryCall(const char* call, NWDSContextHandle context, DirContext*& ctx, const Tree*& tree,
                          bool reachesDirectory = true);
    NWCONN_HANDLE clientConnection(int server);
    int serverIndexOf(const Server* server) const;
    static void putText(std::span<char> out, const QString& text);

    // SimClientDirectory.cpp
    // The container a name given in the context stands for: its index in the
    // tree, -1 for [Root]; nothing when there is no such container.
    std::optional<int> resolveContainer(const Tree& tree, const DirContext& ctx, const QString& name) const;
    QString outputName(const Tree& tree, const DirContext& ctx, const QString& fullName, bool leafIsServer) const;
    // The servers whose NCP Server object lies directly in the container (-1: [Root]).
    const std::vector<int>& serversIn(const Tree& tree, int container) const;
    ReplyObject containerObject(const Tree& tree, int container) const;
    ReplyObject serverObject(int server) const;
    NWRCODE serveListing(qint32 id, Buffer& reply, qint32& iterationHandle, qint32* returned);
    void buildDirectoryIndex();

    // SimClientPartitions.cpp
    NWRCODE listPartitions(const char* call, NWDSContextHandle context, qint32& iterationHandle,
                           const QByteArray& server, NWDSBufHandle reply);
    // Takes the reply's next partition, named as the context shows names.
    NWRCODE nextPartition(const char* call, NWDSContextHandle context, NWDSBufHandle reply, ReplyPartition& partition,
                          Buffer*& buffer);

    // SimClientVolumes.cpp
    const Volume* volumeByName(const Server& server, const QString& name) const;
    const Volume* volumeByNumber(const Server& server, quint32 number) const;
    // "VOL:DIR\DIR" (or "VOL\DIR" without colon) into volume and components.
    static bool splitVolumePath(const QString& path, QString& volume, QStringList& components);
    // The mounted volume and the components a path names: below the directory
    // handle's folder, or, without a handle, starting with the volume.
    NWRCODE locatePath(const Server& server, const ConnEntry& entry, NWDirHandle dirHandle, const QByteArray& path,
                       const Volume*& volume, QStringList& components) const;

    // Held by every call (see above); never while sleeping.
    mutable std::mutex m_mutex;
    std::unique_ptr<Network> m_network;
    VolumeFiles m_files;
    QDateTime m_loadedAt;
    quint32 m_nextHandle = 0x00010000;
    qint32 m_nextIteration = 1;

    QHash<quint32, DirContext> m_contexts;
    QHash<quint32, Buffer> m_buffers;
    QHash<quint32, std::vector<FilterToken>> m_filters;
    QHash<qint32, Listing> m_listings;
    QHash<quint32, std::pair<QStringList, qsizetype>> m_objectScans;
    QHash<quint32, ConnEntry> m_connections;
    std::deque<ConnectionOpen> m_opens;
    QHash<QString, int> m_serverCalls;
    QHash<int, NWCONN_HANDLE> m_clientConnections;    // server -> the client's own handle
    QHash<quint32, ReplyPartition> m_partitionInfos;  // infoPtr -> partition

    // Per tree, the servers of each container: [0] the root, [i + 1] container i.
    std::vector<std::vector<std::vector<int>>> m_directoryServers;
};

}  // namespace nw::sim

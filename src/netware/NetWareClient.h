#pragma once
// The NetWare client as Veskaro sees it: every call the program makes to the
// client libraries (NetWare calls, directory calls and connection calls), with
// the NetWare names kept so that a trace line or a packet capture can be read
// side by side with the code.
//
// Conventions shared by every call:
// - The result is a 32-bit status; 0 is success. Callers do not tell codes apart
//   except where a window names one (0x8884 on login, 0x88FF on a file scan).
// - Handles are opaque 32-bit values handed out by the client.
// - Text crosses as NUL-terminated ANSI bytes. Inputs are QByteArrays; the client
//   reads them up to the first NUL or their end. Outputs are caller-owned fixed
//   buffers (std::span<char>); the client writes at most buffer.size() bytes and
//   terminates the text with a NUL when there is room. Callers read outputs with
//   bytesToString, which never reads past the buffer.
// - Record layouts are Veskaro's own; each is described where it is declared.

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <array>
#include <cstdint>
#include <span>

namespace nw {

using NWRCODE = quint32;
using NWCONN_HANDLE = quint32;
using NWDSContextHandle = quint32;
using NWDSBufHandle = quint32;   // a directory request/reply buffer
using NWFilterCursor = quint32;  // a search filter being built
using NWScanHandle = quint32;    // an object-name (advertisement) scan
using NWDirHandle = quint8;      // a directory handle on one connection

// Status codes the client returns. Only the ones the program or the simulated
// network needs are named.
namespace status {
constexpr NWRCODE Success = 0;
constexpr NWRCODE ConnectionRefused = 0x8801;  // server cannot be reached
constexpr NWRCODE InvalidConnection = 0x8801;
constexpr NWRCODE NoMoreEntries = 0x8801;
constexpr NWRCODE InvalidParameter = 0x8836;
constexpr NWRCODE NoSuchVolume = 0x8898;
constexpr NWRCODE BufferTooSmall = 0x880E;
constexpr NWRCODE InvalidPath = 0x899C;
constexpr NWRCODE NoFilesFound = 0x89FF;
constexpr NWRCODE NoMoreItems = 0x88FF;            // a scan reached its last item
constexpr NWRCODE TreeUnreachable = 0x8884;        // cannot attach to the tree
constexpr NWRCODE MaximumLoginsExceeded = 0x89D9;  // no user licence left on the server
constexpr NWRCODE NotAuthenticated = 0xFFFFFD9E;   // -610, no directory login
constexpr NWRCODE BadPassword = 0xFFFFFDA7;        // -601, failed authentication
constexpr NWRCODE NoSuchEntry = 0xFFFFFDA7;        // -601, object not found
constexpr NWRCODE NotInstalled = 0xFFFFFFFF;       // libraries could not be loaded
constexpr NWRCODE BufferEmpty = 0xFFFFFEC1;        // -319, read past the last object of a reply
}  // namespace status

// Argument values the program passes.
constexpr quint32 NW_TRAN_TYPE_WILD = 0xFFFF8000;  // any transport
constexpr quint32 NWCC_NAME_FORMAT_WILD = 0xFFFF8000;
constexpr quint32 NWCC_NAME_FORMAT_BIND = 2;  // bindery (server) name
constexpr quint32 NWCC_OPEN_LICENSED = 1;     // takes one of the server's user licences
constexpr quint32 NWCC_OPEN_UNLICENSED = 2;
constexpr quint32 NWCC_OPEN_PUBLIC = 8;       // shared, takes no licence
constexpr quint32 NWCC_INFO_CONN_NUMBER = 5;  // NWCCGetConnInfo: 4-byte connection number

// Directory context keys and flags.
constexpr int DCK_FLAGS = 1;
constexpr int DCK_NAME_CONTEXT = 3;
constexpr int DCK_TREE_NAME = 11;
constexpr quint32 DCV_TYPELESS_NAMES = 4;

// Buffer operations for NWDSInitBuf.
constexpr quint32 DSV_READ = 3;
constexpr quint32 DSV_LIST = 6;  // attribute-name buffers, container listings
constexpr quint32 DSV_SEARCH_FILTER = 28;
constexpr quint32 DEFAULT_MESSAGE_LEN = 4096;
constexpr quint32 MAX_MESSAGE_LEN = 64512;

// Search filter tokens and syntaxes.
constexpr quint16 FTOK_END = 0;
constexpr quint16 FTOK_AVAL = 6;
constexpr quint16 FTOK_EQ = 7;
constexpr quint16 FTOK_ANAME = 14;
constexpr quint32 SYN_CLASS_NAME = 20;

// Search scopes.
constexpr quint32 DS_SEARCH_SUBORDINATES = 1;  // immediate subordinates
constexpr quint32 DS_SEARCH_SUBTREE = 2;       // whole subtree

// Advertised object type of directory trees (NWGetObjectNamesBeginA).
constexpr quint32 OT_TREE_NAME = 0x7802;

// NWDSListPartitionsExtInfo / NWDSGetPartitionExtInfo information flags.
constexpr quint32 DSP_REPLICA_STATE = 0x04;
constexpr quint32 DSP_MODIFICATION_TIMESTAMP = 0x08;
constexpr quint32 DSP_PURGE_TIME = 0x10;
constexpr quint32 DSP_PARTITION_DN = 0x40;
constexpr quint32 DSP_REPLICA_TYPE = 0x80;

// Name spaces.
constexpr quint8 NW_NS_DOS = 0;
constexpr quint8 NW_NS_LONG = 4;

// ---------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------

// NWDSGetObjectName: base class of the object (e.g. "NCP Server",
// "Organizational Unit"), NUL-terminated, and its entry flags.
struct ObjectInfo {
    quint32 objectFlags = 0;
    quint32 subordinateCount = 0;
    std::array<char, 33> baseClass{};
};

// NWGetFileServerInfo reply: time since the server started in timer ticks
// (18.2 a second), then the current utilization in per cent.
struct FileServerInfo {
    quint32 serverUpTicks = 0;
    quint32 utilization = 0;
    quint32 cacheBuffers = 0;
    quint32 dirtyCacheBuffers = 0;
};

// NWGetFileServerInformation outputs besides the name.
struct FileServerInformation {
    quint8 majorVersion = 0;
    quint8 minorVersion = 0;
    quint8 revision = 0;
    quint16 maxConnections = 0;
    quint16 maxConnectionsUsed = 0;
    quint16 connectionsInUse = 0;
    quint16 numberOfVolumes = 0;
    quint8 sftLevel = 0;
    quint8 ttsLevel = 0;
};

// NWGetNLMLoadedList reply: how many modules the server has loaded in all, how
// many numbers this reply lists, and the module numbers themselves (ascending,
// starting at the first loaded module whose number is at least the start number).
struct NLMLoadedList {
    static constexpr int MaxNumbers = 130;
    quint32 numberLoaded = 0;
    quint32 numbersInList = 0;
    std::array<quint32, MaxNumbers> numbers{};
};

// NWGetNLMInfo: version and release date of one loaded module.
struct NLMInfo {
    quint32 identifier = 0;
    quint32 majorVersion = 0;
    quint32 minorVersion = 0;
    quint32 revision = 0;
    quint32 year = 0;
    quint32 month = 0;
    quint32 day = 0;
};

// NWGetServerSetCommandsInfo: one SET parameter. nextSequence is 0 after the
// last parameter. nameAndValue holds the name, a NUL, then valueLength value
// bytes (numbers little-endian, texts without terminator), then zero fill.
struct SetCommandRecord {
    quint32 nextSequence = 0;
    quint32 type = 0;
    quint32 category = 0;
    quint32 valueLength = 0;
    std::array<quint8, 500> nameAndValue{};
};

// NWScanMountedVolumeList: one mounted volume.
struct VolumeRecord {
    quint32 volumeNumber = 0;
    std::array<char, 17> volumeName{};
};

// NWGetDirSpaceInfo: block figures of a volume.
struct DirSpaceInfo {
    quint32 totalBlocks = 0;
    quint32 availableBlocks = 0;
    quint32 purgeableBlocks = 0;
    quint32 notYetPurgeableBlocks = 0;
    quint32 totalDirEntries = 0;
    quint32 availableDirEntries = 0;
    quint32 reserved = 0;
    quint8 sectorsPerBlock = 0;
    quint8 volumeNameLength = 0;
    std::array<char, 16> volumeName{};
};

// NWGetActiveConnListByType: bit i of byte k set means connection number
// (start - 1) + 8k + i + 1 is active and of the requested type.
struct ActiveConnList {
    quint32 connectionsInList = 0;
    std::array<quint8, 512> bits{};
};

// NWGetServerConnInfo: facts of one connection. Times are 7 bytes: years since
// 1900, month, day, hour, minute, second, weekday. Counters are little-endian.
struct ServerConnInfo {
    std::array<quint8, 7> loginTime{};
    quint8 nameLength = 0;
    std::array<char, 255> loginName{};
    std::array<quint8, 6> bytesRead{};
    std::array<quint8, 6> bytesWritten{};
    quint32 requestCount = 0;
    quint32 status = 0;
    quint32 connectionType = 0;
    quint32 objectType = 0;
    quint32 objectId = 0;
};

// NWScanOpenFilesByConn2: scan state the client keeps between calls, and one
// open file: its volume, directory entry (base) in the file's name space, the
// name space it was opened in and the lock flags byte.
struct OpenFileScanControl {
    quint32 nextRequest = 0;
    quint16 openCount = 0;
};
struct OpenFileRecord {
    quint8 volumeNumber = 0;
    quint32 directoryEntry = 0;  // DOS directory base of the file
    quint8 nameSpace = 0;
    quint8 lockFlags = 0;
    quint8 accessRights = 0;
    quint16 taskNumber = 0;
    std::array<char, 13> dosName{};
};

// NWScanConnectionsUsingFile: one connection that has the file open, and the
// file's totals.
struct ConnectionUsingFile {
    qint16 connectionNumber = 0;
    quint16 taskNumber = 0;
    quint8 lockType = 0;
    quint8 accessControl = 0;
    quint8 lockFlags = 0;
};
struct FileUsage {
    quint16 useCount = 0;
    quint16 openCount = 0;
    quint16 openForReadCount = 0;
    quint16 openForWriteCount = 0;
    quint16 denyReadCount = 0;
    quint16 denyWriteCount = 0;
    quint8 locked = 0;
    quint8 forkCount = 0;
    quint16 connectionCount = 0;
};

// NWGetDriveStatus status bits: 0 means the drive letter is not in use.
constexpr quint16 NW_UNMAPPED_DRIVE = 0x0000;
constexpr quint16 NW_LOCAL_DRIVE = 0x0002;
constexpr quint16 NW_NETWARE_DRIVE = 0x0004;

// ---------------------------------------------------------------------------
// The interface
// ---------------------------------------------------------------------------

// Threads. Views read many servers side by side (netware/ServerReads.h), so a
// client serves calls from several threads at once under these rules:
// - Calls on different connections may run at the same time, from any
//   threads: opening a connection (NWCCOpenConnByName, NWAttachToFileServer),
//   authenticating it, every call of groups 5 to 7 on it, and closing it.
//   One connection is used by one thread at a time, from its opening to its
//   closing.
// - The same holds for directory contexts and the buffers, filters and
//   iterations made with them: each belongs to the thread that created it
//   until it is freed, and calls on different contexts may run at once.
// - Start and stop (group 1), tree login (NWDSLogin), object-name scans and
//   drive mappings (NWSetDriveBase, NWDeleteDriveBase) are made from the
//   window thread while no read runs.
// - A call never waits for another caller's round trip: its time on the
//   network is spent without holding anything other callers need.
// - The client outlives every read: whoever releases it first waits for the
//   reads still running (nw::waitForServerReads).

class NetWareClient {
public:
    virtual ~NetWareClient() = default;

    // 1. Start and stop.
    virtual NWRCODE NWCallsInit(quintptr reserved1, quintptr reserved2) = 0;
    virtual NWRCODE NWCLXInit(quintptr reserved1, quintptr reserved2) = 0;
    virtual NWRCODE NWCallsTerm(quintptr reserved) = 0;
    virtual NWRCODE NWCLXTerm(quintptr reserved) = 0;

    // 2. Directory contexts. Keys: DCK_FLAGS (number), DCK_NAME_CONTEXT and
    // DCK_TREE_NAME (text).
    virtual NWRCODE NWDSCreateContextHandle(NWDSContextHandle& context) = 0;
    virtual NWRCODE NWDSGetContext(NWDSContextHandle context, int key, quint32& value) = 0;
    virtual NWRCODE NWDSGetContext(NWDSContextHandle context, int key, std::span<char> value) = 0;
    virtual NWRCODE NWDSSetContext(NWDSContextHandle context, int key, quint32 value) = 0;
    virtual NWRCODE NWDSSetContext(NWDSContextHandle context, int key, const QByteArray& value) = 0;
    virtual NWRCODE NWDSFreeContext(NWDSContextHandle context) = 0;

    // 3. Directory reading. Iteration handles start at -1 and are -1 again after
    // the last reply.
    virtual NWRCODE NWDSAllocBuf(quint32 size, NWDSBufHandle& buffer) = 0;
    virtual NWRCODE NWDSInitBuf(NWDSContextHandle context, quint32 operation, NWDSBufHandle buffer) = 0;
    virtual NWRCODE NWDSFreeBuf(NWDSBufHandle buffer) = 0;
    // Lists the containers directly under `object` ("." is the context's own
    // name context).
    virtual NWRCODE NWDSListContainers(NWDSContextHandle context, const QByteArray& object, qint32& iterationHandle,
                                       NWDSBufHandle reply) = 0;
    virtual NWRCODE NWDSAllocFilter(NWFilterCursor& cursor) = 0;
    // value is null for tokens without a value (FTOK_EQ, FTOK_END).
    virtual NWRCODE NWDSAddFilterToken(NWFilterCursor cursor, quint16 token, const QByteArray* value,
                                       quint32 syntax) = 0;
    // Moves the finished filter into the buffer; the cursor is freed.
    virtual NWRCODE NWDSPutFilter(NWDSContextHandle context, NWDSBufHandle filterBuffer, NWFilterCursor cursor) = 0;
    virtual NWRCODE NWDSSearch(NWDSContextHandle context, const QByteArray& baseObject, quint32 scope,
                               bool searchAliases, NWDSBufHandle filter, quint32 infoType, bool allAttributes,
                               NWDSBufHandle attributeNames, qint32& iterationHandle, qint32 countObjectsToSearch,
                               qint32& countObjectsSearched, NWDSBufHandle reply) = 0;
    virtual NWRCODE NWDSGetObjectCount(NWDSContextHandle context, NWDSBufHandle reply, quint32& count) = 0;
    // Reads the next object of a reply: its name (dotted, typeless when the
    // context asks for it) and its information record.
    virtual NWRCODE NWDSGetObjectName(NWDSContextHandle context, NWDSBufHandle reply, std::span<char> objectName,
                                      quint32& attributeCount, ObjectInfo& info) = 0;

    // 4. Trees, login, authentication.
    // Fills up to treeNames.size() buffers with the names of the trees the
    // workstation is connected to.
    virtual NWRCODE NWDSScanConnsForTrees(NWDSContextHandle context, quint32& treeCount,
                                          std::span<std::array<char, 65>> treeNames) = 0;
    virtual NWRCODE NWGetObjectNamesBeginA(quint32 objectType, NWScanHandle& scan) = 0;
    virtual NWRCODE NWGetObjectNamesNextA(NWScanHandle scan, quint32 bufferLength, std::span<char> name) = 0;
    virtual NWRCODE NWGetObjectNamesEndA(NWScanHandle scan) = 0;
    virtual NWRCODE NWDSLogin(NWDSContextHandle context, quint32 options, const QByteArray& objectName,
                              const QByteArray& password, quint32 validityPeriod) = 0;
    virtual NWRCODE NWAttachToFileServer(const QByteArray& serverName, quint16 scope, NWCONN_HANDLE& connection) = 0;
    virtual NWRCODE NWDSAuthenticate(NWCONN_HANDLE connection, quint32 options, quint32* reserved) = 0;
    virtual NWRCODE NWDSWhoAmI(NWDSContextHandle context, std::span<char> objectName) = 0;

    // 5. Server connections.
    virtual NWRCODE NWCCOpenConnByName(NWCONN_HANDLE startConnection, const QByteArray& name, quint32 nameFormat,
                                       quint32 openState, quint32 transportType, NWCONN_HANDLE& connection) = 0;
    virtual NWRCODE NWCCCloseConn(NWCONN_HANDLE connection) = 0;
    virtual NWRCODE NWCCGetConnInfo(NWCONN_HANDLE connection, quint32 infoType, std::span<quint8> buffer) = 0;
    virtual NWRCODE NWGetActiveConnListByType(NWCONN_HANDLE connection, quint32 startConnection, quint32 connectionType,
                                              ActiveConnList& list) = 0;
    // Login time as 7 bytes (years since 1900, month, day, hour, minute, second, weekday).
    virtual NWRCODE NWGetConnectionInformation(NWCONN_HANDLE connection, quint16 connectionNumber,
                                               std::span<char> objectName, quint16& objectType, quint32& objectId,
                                               std::array<quint8, 7>& loginTime) = 0;
    // infoType 175 asks for the full connection record.
    virtual NWRCODE NWGetServerConnInfo(NWCONN_HANDLE connection, quint32 infoType, quint32 connectionNumber,
                                        ServerConnInfo& info) = 0;
    virtual NWRCODE NWClearConnectionNumber(NWCONN_HANDLE connection, quint16 connectionNumber) = 0;
    // One result byte per target: 0 sent, 1 invalid connection, 2 not logged in,
    // 3 not accepting messages, 4 already has a message.
    virtual NWRCODE NWSendBroadcastMessage(NWCONN_HANDLE connection, const QByteArray& message,
                                           std::span<const quint16> connections, std::span<quint8> results) = 0;
    // iterationHandle starts at 0 and is -1 after the last file.
    virtual NWRCODE NWScanOpenFilesByConn2(NWCONN_HANDLE connection, quint16 connectionNumber, qint16& iterationHandle,
                                           OpenFileScanControl& control, OpenFileRecord& file) = 0;
    // fileName is the DOS name of a file in the folder of dirHandle.
    // iterationHandle starts at 0 and is -1 after the last connection.
    virtual NWRCODE NWScanConnectionsUsingFile(NWCONN_HANDLE connection, NWDirHandle dirHandle,
                                               const QByteArray& fileName, qint16& iterationHandle,
                                               ConnectionUsingFile& connectionUse, FileUsage& fileUse) = 0;

    // 6. Server facts.
    virtual NWRCODE NWGetFileServerInfo(NWCONN_HANDLE connection, FileServerInfo& info) = 0;
    virtual NWRCODE NWGetFileServerInformation(NWCONN_HANDLE connection, std::span<char> serverName,
                                               FileServerInformation& info) = 0;
    // Empty spans are not filled (the caller did not ask for that text).
    virtual NWRCODE NWGetFileServerDescription(NWCONN_HANDLE connection, std::span<char> companyName,
                                               std::span<char> revision, std::span<char> revisionDate,
                                               std::span<char> copyrightNotice) = 0;
    // 8 bytes: year (since 1900), month, day, hour, minute, second, weekday, spare.
    virtual NWRCODE NWGetFileServerDateAndTime(NWCONN_HANDLE connection, std::array<quint8, 8>& dateTime) = 0;
    // Null pointers and empty spans are outputs the caller did not ask for.
    virtual NWRCODE NWDSGetDSVerInfo(NWCONN_HANDLE connection, qint32* dsVersion, quint32* rootMostEntryDepth,
                                     std::span<char> sapName, quint32* flags, std::span<char> treeName) = 0;
    virtual NWRCODE NWGetNLMLoadedList(NWCONN_HANDLE connection, quint32 startNumber, NLMLoadedList& list) = 0;
    virtual NWRCODE NWGetNLMInfo(NWCONN_HANDLE connection, quint32 nlmNumber, std::span<char> fileName,
                                 std::span<char> descriptiveName, std::span<char> copyright, NLMInfo& info) = 0;
    virtual NWRCODE NWGetServerSetCommandsInfo(NWCONN_HANDLE connection, quint32 sequence,
                                               SetCommandRecord& record) = 0;

    // 7. Volumes, paths, drives.
    // volumeIterator starts at 0 and is 0 again after the last volume.
    virtual NWRCODE NWScanMountedVolumeList(NWCONN_HANDLE connection, quint32 requestFlags, quint32 nameSpace,
                                            quint32& volumeIterator, quint32 numberItems, quint32& numberReturned,
                                            std::span<VolumeRecord> volumes) = 0;
    virtual NWRCODE NWGetVolumeNumber(NWCONN_HANDLE connection, const QByteArray& volumeName,
                                      quint16& volumeNumber) = 0;
    virtual NWRCODE NWGetVolumeName(NWCONN_HANDLE connection, quint16 volumeNumber, std::span<char> volumeName) = 0;
    virtual NWRCODE NWGetDirSpaceInfo(NWCONN_HANDLE connection, NWDirHandle dirHandle, quint16 volumeNumber,
                                      DirSpaceInfo& info) = 0;
    // Parses "SERVER/VOLUME:PATH" (or a path on a mapped drive "F:\PATH"). The
    // returned connection is the client's own and must not be closed by the caller.
    virtual NWRCODE NWParsePath(const QByteArray& path, std::span<char> serverName, NWCONN_HANDLE& connection,
                                std::span<char> volumeName, std::span<char> dirPath) = 0;
    // driveNumber 1 = A:. status NW_UNMAPPED_DRIVE (0) means free.
    virtual NWRCODE NWGetDriveStatus(quint16 driveNumber, quint16 pathFormat, quint16& status,
                                     NWCONN_HANDLE& connection, std::span<char> rootPath, std::span<char> relativePath,
                                     std::span<char> fullPath) = 0;
    virtual NWRCODE NWSetDriveBase(quint16 driveNumber, NWCONN_HANDLE connection, NWDirHandle dirHandle,
                                   const QByteArray& dirPath, quint16 driveScope) = 0;
    virtual NWRCODE NWDeleteDriveBase(quint16 driveNumber, quint16 driveScope) = 0;
    // path is "VOLUME:DIR\DIR" in name space `nameSpace`.
    virtual NWRCODE NWAllocTempNSDirHandle2(NWCONN_HANDLE connection, NWDirHandle dirHandle, const QByteArray& path,
                                            quint8 nameSpace, NWDirHandle& newDirHandle, quint8 targetNameSpace) = 0;
    virtual NWRCODE NWDeallocateDirectoryHandle(NWCONN_HANDLE connection, NWDirHandle dirHandle) = 0;
    // The path of a directory entry as length-prefixed components, volume
    // root first. length is the buffer room on entry and the bytes used on return.
    virtual NWRCODE NWGetPathFromDirectoryBase(NWCONN_HANDLE connection, quint8 volumeNumber, quint32 directoryBase,
                                               quint8 nameSpace, quint8& length, std::span<quint8> path) = 0;
    // The name of the last component of path ("VOL:DIR\FILE") in dstNameSpace.
    virtual NWRCODE NWGetLongName(NWCONN_HANDLE connection, NWDirHandle dirHandle, const QByteArray& path,
                                  quint8 srcNameSpace, quint8 dstNameSpace, std::span<char> longName) = 0;

    // 8. Partitions.
    virtual NWRCODE NWDSListPartitions(NWDSContextHandle context, qint32& iterationHandle, const QByteArray& server,
                                       NWDSBufHandle reply) = 0;
    virtual NWRCODE NWDSListPartitionsExtInfo(NWDSContextHandle context, qint32& iterationHandle,
                                              const QByteArray& server, quint32 infoFlags, NWDSBufHandle reply) = 0;
    virtual NWRCODE NWDSGetServerName(NWDSContextHandle context, NWDSBufHandle reply, std::span<char> serverName,
                                      quint32& partitionCount) = 0;
    // Reads the next partition of a NWDSListPartitions reply.
    virtual NWRCODE NWDSGetPartitionInfo(NWDSContextHandle context, NWDSBufHandle reply, std::span<char> partitionName,
                                         quint32& replicaType) = 0;
    // Positions on the next partition of a NWDSListPartitionsExtInfo reply;
    // infoPtr identifies it for NWDSGetPartitionExtInfo.
    virtual NWRCODE NWDSGetPartitionExtInfoPtr(NWDSContextHandle context, NWDSBufHandle reply, quint32& infoPtr) = 0;
    // One field of that partition: DSP_REPLICA_STATE, DSP_REPLICA_TYPE (32-bit),
    // DSP_PURGE_TIME (32-bit seconds since 1970), DSP_MODIFICATION_TIMESTAMP
    // (32-bit seconds, 16-bit replica number, 16-bit event), DSP_PARTITION_DN
    // (NUL-terminated name). length returns the bytes written.
    virtual NWRCODE NWDSGetPartitionExtInfo(NWDSContextHandle context, quint32 infoPtr, quint32 infoFlag,
                                            std::span<quint8> data, quint32& length) = 0;
    virtual NWRCODE NWDSGetServerDN(NWDSContextHandle context, NWCONN_HANDLE connection, std::span<char> serverDN) = 0;

    // 9. Network files. Not a NetWare call: where the operating system's
    // network file access finds a network path (\\SERVER\VOLUME\PATH). The
    // real client leaves the path as it is, since the system resolves it
    // itself; the simulated network maps it into its folder of volumes.
    // Empty when the path cannot be reached.
    virtual QString localPathOf(const QString& networkPath) const { return networkPath; }
};

}  // namespace nw

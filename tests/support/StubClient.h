#pragma once
// A client that refuses every call. Tests derive from it and answer only the
// calls they are about, for records no well-behaved network would send.
// A test that overrides one of the overloaded calls adds a using-declaration
// (using StubClient::NWDSGetContext;) so the others stay visible.

#include "netware/NetWareClient.h"

namespace testing {

class StubClient : public nw::NetWareClient {
public:
    nw::NWRCODE refusal = nw::status::InvalidParameter;

protected:
    nw::NWRCODE refuse() const { return refusal; }

public:
    using NWRCODE = nw::NWRCODE;
    NWRCODE NWCallsInit(quintptr, quintptr) override { return refuse(); }
    NWRCODE NWCLXInit(quintptr, quintptr) override { return refuse(); }
    NWRCODE NWCallsTerm(quintptr) override { return refuse(); }
    NWRCODE NWCLXTerm(quintptr) override { return refuse(); }
    NWRCODE NWDSCreateContextHandle(nw::NWDSContextHandle&) override { return refuse(); }
    NWRCODE NWDSGetContext(nw::NWDSContextHandle, int, quint32&) override { return refuse(); }
    NWRCODE NWDSGetContext(nw::NWDSContextHandle, int, std::span<char>) override { return refuse(); }
    NWRCODE NWDSSetContext(nw::NWDSContextHandle, int, quint32) override { return refuse(); }
    NWRCODE NWDSSetContext(nw::NWDSContextHandle, int, const QByteArray&) override { return refuse(); }
    NWRCODE NWDSFreeContext(nw::NWDSContextHandle) override { return refuse(); }
    NWRCODE NWDSAllocBuf(quint32, nw::NWDSBufHandle&) override { return refuse(); }
    NWRCODE NWDSInitBuf(nw::NWDSContextHandle, quint32, nw::NWDSBufHandle) override { return refuse(); }
    NWRCODE NWDSFreeBuf(nw::NWDSBufHandle) override { return refuse(); }
    NWRCODE NWDSListContainers(nw::NWDSContextHandle, const QByteArray&, qint32&, nw::NWDSBufHandle) override
    {
        return refuse();
    }
    NWRCODE NWDSAllocFilter(nw::NWFilterCursor&) override { return refuse(); }
    NWRCODE NWDSAddFilterToken(nw::NWFilterCursor, quint16, const QByteArray*, quint32) override { return refuse(); }
    NWRCODE NWDSPutFilter(nw::NWDSContextHandle, nw::NWDSBufHandle, nw::NWFilterCursor) override { return refuse(); }
    NWRCODE NWDSSearch(nw::NWDSContextHandle, const QByteArray&, quint32, bool, nw::NWDSBufHandle, quint32, bool,
                       nw::NWDSBufHandle, qint32&, qint32, qint32&, nw::NWDSBufHandle) override
    {
        return refuse();
    }
    NWRCODE NWDSGetObjectCount(nw::NWDSContextHandle, nw::NWDSBufHandle, quint32&) override { return refuse(); }
    NWRCODE NWDSGetObjectName(nw::NWDSContextHandle, nw::NWDSBufHandle, std::span<char>, quint32&,
                              nw::ObjectInfo&) override
    {
        return refuse();
    }
    NWRCODE NWDSScanConnsForTrees(nw::NWDSContextHandle, quint32&, std::span<std::array<char, 65>>) override
    {
        return refuse();
    }
    NWRCODE NWGetObjectNamesBeginA(quint32, nw::NWScanHandle&) override { return refuse(); }
    NWRCODE NWGetObjectNamesNextA(nw::NWScanHandle, quint32, std::span<char>) override { return refuse(); }
    NWRCODE NWGetObjectNamesEndA(nw::NWScanHandle) override { return refuse(); }
    NWRCODE NWDSLogin(nw::NWDSContextHandle, quint32, const QByteArray&, const QByteArray&, quint32) override
    {
        return refuse();
    }
    NWRCODE NWAttachToFileServer(const QByteArray&, quint16, nw::NWCONN_HANDLE&) override { return refuse(); }
    NWRCODE NWDSAuthenticate(nw::NWCONN_HANDLE, quint32, quint32*) override { return refuse(); }
    NWRCODE NWDSWhoAmI(nw::NWDSContextHandle, std::span<char>) override { return refuse(); }
    NWRCODE NWCCOpenConnByName(nw::NWCONN_HANDLE, const QByteArray&, quint32, quint32, quint32,
                               nw::NWCONN_HANDLE&) override
    {
        return refuse();
    }
    NWRCODE NWCCCloseConn(nw::NWCONN_HANDLE) override { return refuse(); }
    NWRCODE NWCCGetConnInfo(nw::NWCONN_HANDLE, quint32, std::span<quint8>) override { return refuse(); }
    NWRCODE NWGetActiveConnListByType(nw::NWCONN_HANDLE, quint32, quint32, nw::ActiveConnList&) override
    {
        return refuse();
    }
    NWRCODE NWGetConnectionInformation(nw::NWCONN_HANDLE, quint16, std::span<char>, quint16&, quint32&,
                                       std::array<quint8, 7>&) override
    {
        return refuse();
    }
    NWRCODE NWGetServerConnInfo(nw::NWCONN_HANDLE, quint32, quint32, nw::ServerConnInfo&) override { return refuse(); }
    NWRCODE NWClearConnectionNumber(nw::NWCONN_HANDLE, quint16) override { return refuse(); }
    NWRCODE NWSendBroadcastMessage(nw::NWCONN_HANDLE, const QByteArray&, std::span<const quint16>,
                                   std::span<quint8>) override
    {
        return refuse();
    }
    NWRCODE NWScanOpenFilesByConn2(nw::NWCONN_HANDLE, quint16, qint16&, nw::OpenFileScanControl&,
                                   nw::OpenFileRecord&) override
    {
        return refuse();
    }
    NWRCODE NWScanConnectionsUsingFile(nw::NWCONN_HANDLE, nw::NWDirHandle, const QByteArray&, qint16&,
                                       nw::ConnectionUsingFile&, nw::FileUsage&) override
    {
        return refuse();
    }
    NWRCODE NWGetFileServerInfo(nw::NWCONN_HANDLE, nw::FileServerInfo&) override { return refuse(); }
    NWRCODE NWGetFileServerInformation(nw::NWCONN_HANDLE, std::span<char>, nw::FileServerInformation&) override
    {
        return refuse();
    }
    NWRCODE NWGetFileServerDescription(nw::NWCONN_HANDLE, std::span<char>, std::span<char>, std::span<char>,
                                       std::span<char>) override
    {
        return refuse();
    }
    NWRCODE NWGetFileServerDateAndTime(nw::NWCONN_HANDLE, std::array<quint8, 8>&) override { return refuse(); }
    NWRCODE NWDSGetDSVerInfo(nw::NWCONN_HANDLE, qint32*, quint32*, std::span<char>, quint32*, std::span<char>) override
    {
        return refuse();
    }
    NWRCODE NWGetNLMLoadedList(nw::NWCONN_HANDLE, quint32, nw::NLMLoadedList&) override { return refuse(); }
    NWRCODE NWGetNLMInfo(nw::NWCONN_HANDLE, quint32, std::span<char>, std::span<char>, std::span<char>,
                         nw::NLMInfo&) override
    {
        return refuse();
    }
    NWRCODE NWGetServerSetCommandsInfo(nw::NWCONN_HANDLE, quint32, nw::SetCommandRecord&) override { return refuse(); }
    NWRCODE NWScanMountedVolumeList(nw::NWCONN_HANDLE, quint32, quint32, quint32&, quint32, quint32&,
                                    std::span<nw::VolumeRecord>) override
    {
        return refuse();
    }
    NWRCODE NWGetVolumeNumber(nw::NWCONN_HANDLE, const QByteArray&, quint16&) override { return refuse(); }
    NWRCODE NWGetVolumeName(nw::NWCONN_HANDLE, quint16, std::span<char>) override { return refuse(); }
    NWRCODE NWGetDirSpaceInfo(nw::NWCONN_HANDLE, nw::NWDirHandle, quint16, nw::DirSpaceInfo&) override
    {
        return refuse();
    }
    NWRCODE NWParsePath(const QByteArray&, std::span<char>, nw::NWCONN_HANDLE&, std::span<char>,
                        std::span<char>) override
    {
        return refuse();
    }
    NWRCODE NWGetDriveStatus(quint16, quint16, quint16&, nw::NWCONN_HANDLE&, std::span<char>, std::span<char>,
                             std::span<char>) override
    {
        return refuse();
    }
    NWRCODE NWSetDriveBase(quint16, nw::NWCONN_HANDLE, nw::NWDirHandle, const QByteArray&, quint16) override
    {
        return refuse();
    }
    NWRCODE NWDeleteDriveBase(quint16, quint16) override { return refuse(); }
    NWRCODE NWAllocTempNSDirHandle2(nw::NWCONN_HANDLE, nw::NWDirHandle, const QByteArray&, quint8, nw::NWDirHandle&,
                                    quint8) override
    {
        return refuse();
    }
    NWRCODE NWDeallocateDirectoryHandle(nw::NWCONN_HANDLE, nw::NWDirHandle) override { return refuse(); }
    NWRCODE NWGetPathFromDirectoryBase(nw::NWCONN_HANDLE, quint8, quint32, quint8, quint8&, std::span<quint8>) override
    {
        return refuse();
    }
    NWRCODE NWGetLongName(nw::NWCONN_HANDLE, nw::NWDirHandle, const QByteArray&, quint8, quint8,
                          std::span<char>) override
    {
        return refuse();
    }
    NWRCODE NWDSListPartitions(nw::NWDSContextHandle, qint32&, const QByteArray&, nw::NWDSBufHandle) override
    {
        return refuse();
    }
    NWRCODE NWDSListPartitionsExtInfo(nw::NWDSContextHandle, qint32&, const QByteArray&, quint32,
                                      nw::NWDSBufHandle) override
    {
        return refuse();
    }
    NWRCODE NWDSGetServerName(nw::NWDSContextHandle, nw::NWDSBufHandle, std::span<char>, quint32&) override
    {
        return refuse();
    }
    NWRCODE NWDSGetPartitionInfo(nw::NWDSContextHandle, nw::NWDSBufHandle, std::span<char>, quint32&) override
    {
        return refuse();
    }
    NWRCODE NWDSGetPartitionExtInfoPtr(nw::NWDSContextHandle, nw::NWDSBufHandle, quint32&) override { return refuse(); }
    NWRCODE NWDSGetPartitionExtInfo(nw::NWDSContextHandle, quint32, quint32, std::span<quint8>, quint32&) override
    {
        return refuse();
    }
    NWRCODE NWDSGetServerDN(nw::NWDSContextHandle, nw::NWCONN_HANDLE, std::span<char>) override { return refuse(); }
};

}  // namespace testing

#pragma once
// A server and a directory that never end a listing: every reply asks for one
// more, counts far more objects than it holds and holds just one; scans hand
// out names for ever. Whoever reads such replies must stop on their own.

#include "netware/NovellCalls.h"
#include "support/StubClient.h"

namespace testing {

class EndlessServer : public StubClient {
public:
    using StubClient::NWDSGetContext;
    using StubClient::NWDSSetContext;

    int replies = 0;  // listing replies and scan items handed out

    NWRCODE NWDSCreateContextHandle(nw::NWDSContextHandle& context) override
    {
        context = 1;
        return nw::status::Success;
    }
    NWRCODE NWDSFreeContext(nw::NWDSContextHandle) override { return nw::status::Success; }
    NWRCODE NWDSAllocBuf(quint32, nw::NWDSBufHandle& buffer) override
    {
        buffer = 2;
        return nw::status::Success;
    }
    NWRCODE NWDSInitBuf(nw::NWDSContextHandle, quint32, nw::NWDSBufHandle) override { return nw::status::Success; }
    NWRCODE NWDSFreeBuf(nw::NWDSBufHandle) override { return nw::status::Success; }
    NWRCODE NWCCOpenConnByName(nw::NWCONN_HANDLE, const QByteArray&, quint32, quint32, quint32,
                               nw::NWCONN_HANDLE& connection) override
    {
        connection = 3;
        return nw::status::Success;
    }
    NWRCODE NWCCCloseConn(nw::NWCONN_HANDLE) override { return nw::status::Success; }

    NWRCODE NWDSListContainers(nw::NWDSContextHandle, const QByteArray&, qint32& iteration, nw::NWDSBufHandle) override
    {
        return reply(iteration);
    }
    NWRCODE NWDSSearch(nw::NWDSContextHandle, const QByteArray&, quint32, bool, nw::NWDSBufHandle, quint32, bool,
                       nw::NWDSBufHandle, qint32& iteration, qint32, qint32& searched, nw::NWDSBufHandle) override
    {
        searched = 1;
        return reply(iteration);
    }
    NWRCODE NWDSListPartitions(nw::NWDSContextHandle, qint32& iteration, const QByteArray&, nw::NWDSBufHandle) override
    {
        return reply(iteration);
    }
    NWRCODE NWDSListPartitionsExtInfo(nw::NWDSContextHandle, qint32& iteration, const QByteArray&, quint32,
                                      nw::NWDSBufHandle) override
    {
        return reply(iteration);
    }
    NWRCODE NWDSGetObjectCount(nw::NWDSContextHandle, nw::NWDSBufHandle, quint32& count) override
    {
        count = 0xFFFFFFFF;
        return nw::status::Success;
    }
    NWRCODE NWDSGetServerName(nw::NWDSContextHandle, nw::NWDSBufHandle, std::span<char> name, quint32& count) override
    {
        nw::stringToBytes(name, QStringLiteral("FS1.O"));
        count = 0x7FFFFFFF;
        return nw::status::Success;
    }
    NWRCODE NWDSGetObjectName(nw::NWDSContextHandle, nw::NWDSBufHandle, std::span<char> name, quint32&,
                              nw::ObjectInfo& info) override
    {
        if (m_taken++ > 0)
            return nw::status::BufferEmpty;
        nw::stringToBytes(name, QStringLiteral("FS1.O"));
        nw::stringToBytes(info.baseClass, QStringLiteral("Organizational Unit"));
        return nw::status::Success;
    }
    NWRCODE NWDSGetPartitionInfo(nw::NWDSContextHandle, nw::NWDSBufHandle, std::span<char> name, quint32& type) override
    {
        if (m_taken++ > 0)
            return nw::status::BufferEmpty;
        nw::stringToBytes(name, QStringLiteral("O"));
        type = 1;
        return nw::status::Success;
    }
    NWRCODE NWDSGetPartitionExtInfoPtr(nw::NWDSContextHandle, nw::NWDSBufHandle, quint32& info) override
    {
        info = 4;
        return m_taken++ > 0 ? nw::status::BufferEmpty : nw::status::Success;
    }
    NWRCODE NWDSGetPartitionExtInfo(nw::NWDSContextHandle, quint32, quint32 flag, std::span<quint8> data,
                                    quint32& length) override
    {
        std::fill(data.begin(), data.end(), quint8(0));
        if (flag == nw::DSP_PARTITION_DN && data.size() > 1)
            data[0] = 'O';
        length = static_cast<quint32>(std::min<size_t>(data.size(), 8));
        return nw::status::Success;
    }

    NWRCODE NWGetObjectNamesBeginA(quint32, nw::NWScanHandle& scan) override
    {
        scan = 5;
        return nw::status::Success;
    }
    NWRCODE NWGetObjectNamesNextA(nw::NWScanHandle, quint32, std::span<char> name) override
    {
        ++replies;
        nw::stringToBytes(name, QStringLiteral("TREE"));
        return nw::status::Success;
    }
    NWRCODE NWGetObjectNamesEndA(nw::NWScanHandle) override { return nw::status::Success; }
    NWRCODE NWScanMountedVolumeList(nw::NWCONN_HANDLE, quint32, quint32, quint32& iterator, quint32, quint32& returned,
                                    std::span<nw::VolumeRecord> volumes) override
    {
        ++replies;
        iterator = 1;
        returned = 1;
        nw::stringToBytes(volumes[0].volumeName, QStringLiteral("VOL"));
        return nw::status::Success;
    }

private:
    NWRCODE reply(qint32& iteration)
    {
        ++replies;
        iteration = 7;
        m_taken = 0;
        return nw::status::Success;
    }
    int m_taken = 0;
};

}  // namespace testing

// Partitions and replicas held by a server, and the server's directory name.

#include "netware/sim/SimClient.h"

namespace nw::sim {

namespace {

// Typeless, root last: the server's name followed by its container's.
QString fullName(const Server& server)
{
    return server.context.isEmpty() ? server.name : server.name + QLatin1Char('.') + server.context;
}

void putNumber(QByteArray& out, quint32 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

NWRCODE SimClient::listPartitions(const char* call, NWDSContextHandle context, qint32& iterationHandle,
                                  const QByteArray& serverName, NWDSBufHandle reply)
{
    DirContext* ctx = nullptr;
    const Tree* tree = nullptr;
    if (const NWRCODE rc = directoryCall(call, context, ctx, tree))
        return rc;
    const auto buffer = m_buffers.find(reply);
    if (buffer == m_buffers.end())
        return status::InvalidParameter;
    // The server may be named by its leaf or by its full directory name.
    QString name = inputText(serverName).trimmed();
    if (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1);
    name = name.section(QLatin1Char('.'), 0, 0);
    if (name.contains(QLatin1Char('=')))
        name = name.section(QLatin1Char('='), 1);
    const int index = m_network->findServer(name);
    if (index < 0 || nameKey(m_network->servers[static_cast<size_t>(index)].tree) != nameKey(tree->name))
        return status::NoSuchEntry;
    const Server& server = m_network->servers[static_cast<size_t>(index)];

    const quint32 size = buffer->size;
    const quint32 operation = buffer->operation;
    for (quint32 ptr : buffer->infoPtrs)
        m_partitionInfos.remove(ptr);
    *buffer = Buffer{};
    buffer->size = size;
    buffer->operation = operation;
    buffer->serverName = fullName(server);
    for (const Partition& p : tree->partitions)
        for (const Replica& r : p.replicas)
            if (nameKey(r.server) == nameKey(server.name))
                buffer->partitions.push_back(ReplyPartition{p.name, r});
    // A server holds few replicas: one reply carries them all.
    iterationHandle = -1;
    return status::Success;
}

NWRCODE SimClient::NWDSListPartitions(NWDSContextHandle context, qint32& iterationHandle, const QByteArray& server,
                                      NWDSBufHandle reply)
{
    const Lock lock(m_mutex);
    return listPartitions("NWDSListPartitions", context, iterationHandle, server, reply);
}

NWRCODE SimClient::NWDSListPartitionsExtInfo(NWDSContextHandle context, qint32& iterationHandle,
                                             const QByteArray& server, quint32, NWDSBufHandle reply)
{
    const Lock lock(m_mutex);
    return listPartitions("NWDSListPartitionsExtInfo", context, iterationHandle, server, reply);
}

NWRCODE SimClient::NWDSGetServerName(NWDSContextHandle context, NWDSBufHandle reply, std::span<char> serverName,
                                     quint32& partitionCount)
{
    const Lock lock(m_mutex);
    partitionCount = 0;
    DirContext* ctx = nullptr;
    const Tree* tree = nullptr;
    if (const NWRCODE rc = directoryCall("NWDSGetServerName", context, ctx, tree, false))
        return rc;
    const auto buffer = m_buffers.constFind(reply);
    if (buffer == m_buffers.cend() || buffer->serverName.isEmpty())
        return status::InvalidParameter;
    putText(serverName, outputName(*tree, *ctx, buffer->serverName, true));
    partitionCount = static_cast<quint32>(buffer->partitions.size());
    return status::Success;
}

NWRCODE SimClient::nextPartition(const char* call, NWDSContextHandle context, NWDSBufHandle reply,
                                 ReplyPartition& partition, Buffer*& buffer)
{
    DirContext* ctx = nullptr;
    const Tree* tree = nullptr;
    if (const NWRCODE rc = directoryCall(call, context, ctx, tree, false))
        return rc;
    const auto found = m_buffers.find(reply);
    if (found == m_buffers.end())
        return status::InvalidParameter;
    buffer = &*found;
    if (buffer->readPosition >= buffer->partitions.size())
        return status::BufferEmpty;
    partition = buffer->partitions[buffer->readPosition++];
    // The root partition keeps its own name in every context.
    if (partition.name.compare(QLatin1String("[Root]"), Qt::CaseInsensitive) == 0)
        partition.name = QStringLiteral("[Root]");
    else
        partition.name = outputName(*tree, *ctx, partition.name, false);
    return status::Success;
}

NWRCODE SimClient::NWDSGetPartitionInfo(NWDSContextHandle context, NWDSBufHandle reply, std::span<char> partitionName,
                                        quint32& replicaType)
{
    const Lock lock(m_mutex);
    replicaType = 0;
    ReplyPartition p;
    Buffer* buffer = nullptr;
    if (const NWRCODE rc = nextPartition("NWDSGetPartitionInfo", context, reply, p, buffer))
        return rc;
    putText(partitionName, p.name);
    replicaType = p.replica.type;
    return status::Success;
}

NWRCODE SimClient::NWDSGetPartitionExtInfoPtr(NWDSContextHandle context, NWDSBufHandle reply, quint32& infoPtr)
{
    const Lock lock(m_mutex);
    infoPtr = 0;
    ReplyPartition p;
    Buffer* buffer = nullptr;
    if (const NWRCODE rc = nextPartition("NWDSGetPartitionExtInfoPtr", context, reply, p, buffer))
        return rc;
    infoPtr = newHandle();
    buffer->infoPtrs.push_back(infoPtr);
    m_partitionInfos.insert(infoPtr, p);
    return status::Success;
}

NWRCODE SimClient::NWDSGetPartitionExtInfo(NWDSContextHandle context, quint32 infoPtr, quint32 infoFlag,
                                           std::span<quint8> data, quint32& length)
{
    const Lock lock(m_mutex);
    length = 0;
    DirContext* ctx = nullptr;
    const Tree* tree = nullptr;
    if (const NWRCODE rc = directoryCall("NWDSGetPartitionExtInfo", context, ctx, tree, false))
        return rc;
    const auto it = m_partitionInfos.constFind(infoPtr);
    if (it == m_partitionInfos.cend())
        return status::InvalidParameter;
    QByteArray bytes;
    switch (infoFlag) {
    case DSP_REPLICA_STATE:
        putNumber(bytes, it->replica.state, 4);
        break;
    case DSP_REPLICA_TYPE:
        putNumber(bytes, it->replica.type, 4);
        break;
    case DSP_PURGE_TIME:
        putNumber(bytes, static_cast<quint32>(it->replica.purged.toSecsSinceEpoch()), 4);
        break;
    case DSP_MODIFICATION_TIMESTAMP:
        putNumber(bytes, static_cast<quint32>(it->replica.modified.toSecsSinceEpoch()), 4);
        putNumber(bytes, it->replica.replicaNumber, 2);
        putNumber(bytes, 1, 2);  // event within that second
        break;
    case DSP_PARTITION_DN:
        bytes = outputBytes(it->name);
        bytes.append('\0');
        break;
    default:
        return status::InvalidParameter;
    }
    if (static_cast<size_t>(bytes.size()) > data.size())
        return status::BufferTooSmall;
    std::copy(bytes.begin(), bytes.end(), data.begin());
    length = static_cast<quint32>(bytes.size());
    return status::Success;
}

NWRCODE SimClient::NWDSGetServerDN(NWDSContextHandle context, NWCONN_HANDLE connection, std::span<char> serverDN)
{
    const Lock lock(m_mutex);
    Server* server = nullptr;
    if (const NWRCODE rc = serverCall("NWDSGetServerDN", connection, server))
        return rc;
    const auto it = m_contexts.constFind(context);
    if (it == m_contexts.cend())
        return status::InvalidParameter;
    const Tree* tree = m_network->findTree(server->tree);
    const QString full = fullName(*server);
    putText(serverDN,
            tree ? outputName(*tree, DirContext{it->flags, QStringLiteral("[Root]"), tree->name}, full, true) : full);
    return status::Success;
}

}  // namespace nw::sim

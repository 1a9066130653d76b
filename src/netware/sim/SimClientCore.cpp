// Start and stop, directory contexts, request/reply buffers and search filters,
// and what every call shares: handles, the clock, latency and faults.

#include "netware/sim/SimClient.h"

#include "netware/ServerReads.h"

#include <QThread>

namespace nw::sim {

SimClient::SimClient(std::unique_ptr<Network> network)
    : m_network(std::move(network))
    , m_files(*m_network)
    , m_loadedAt(QDateTime::currentDateTime())
{
    buildDirectoryIndex();
}

// Reads of a window closed a moment ago may still be using the client.
SimClient::~SimClient()
{
    waitForServerReads();
}

quint32 SimClient::newHandle()
{
    // Handles look arbitrary to callers but never collide and are never 0 or -1.
    m_nextHandle += 0x13;
    if (m_nextHandle >= 0x7FFF0000U)
        m_nextHandle = 0x00010000;
    return m_nextHandle;
}

QDateTime SimClient::now() const
{
    return m_network->clock ? *m_network->clock : QDateTime::currentDateTime();
}

qint64 SimClient::runningSeconds() const
{
    return m_network->clock ? 0 : m_loadedAt.secsTo(QDateTime::currentDateTime());
}

void SimClient::delay(const Server* server) const
{
    const int ms = server && server->latencyMs ? *server->latencyMs : m_network->latencyMs;
    if (ms <= 0)
        return;
    // The caller holds the lock through its Lock; it is given back for the
    // sleep and taken again before the call goes on.
    m_mutex.unlock();
    QThread::msleep(static_cast<unsigned long>(ms));
    m_mutex.lock();
}

std::optional<NWRCODE> SimClient::topFault(const char* call) const
{
    const auto it = m_network->faults.constFind(QLatin1String(call));
    if (it == m_network->faults.cend())
        return std::nullopt;
    return *it;
}

NWRCODE SimClient::serverCall(const char* call, NWCONN_HANDLE connection, Server*& server, ConnEntry** entry)
{
    server = nullptr;
    const auto it = m_connections.find(connection);
    if (it == m_connections.end())
        return status::InvalidConnection;
    server = &m_network->servers[static_cast<size_t>(it->server)];
    ++m_serverCalls[QLatin1String(call)];
    delay(server);
    // Another thread may have opened or closed connections meanwhile: the
    // table is looked at again (a connection is used by one thread at a time).
    const auto after = m_connections.find(connection);
    if (after == m_connections.end()) {
        server = nullptr;
        return status::InvalidConnection;
    }
    if (entry)
        *entry = &*after;
    const auto fault = server->faults.constFind(QLatin1String(call));
    if (fault != server->faults.cend())
        return *fault;
    return status::Success;
}

NWRCODE SimClient::directoryCall(const char* call, NWDSContextHandle context, DirContext*& ctx, const Tree*& tree,
                                 bool reachesDirectory)
{
    ctx = nullptr;
    tree = nullptr;
    const auto it = m_contexts.find(context);
    if (it == m_contexts.end())
        return status::InvalidParameter;
    tree = m_network->findTree(it->tree);
    if (reachesDirectory) {
        delay(nullptr);
        const auto after = m_contexts.find(context);
        if (after == m_contexts.end()) {
            tree = nullptr;
            return status::InvalidParameter;
        }
        ctx = &*after;
    } else {
        ctx = &*it;
    }
    if (!tree || (reachesDirectory && !tree->reachable))
        return status::TreeUnreachable;
    const auto fault = tree->faults.constFind(QLatin1String(call));
    if (fault != tree->faults.cend())
        return *fault;
    return status::Success;
}

NWCONN_HANDLE SimClient::clientConnection(int server)
{
    const auto it = m_clientConnections.constFind(server);
    if (it != m_clientConnections.cend())
        return *it;
    const NWCONN_HANDLE handle = newHandle();
    ConnEntry entry;
    entry.server = server;
    entry.clientOwned = true;
    for (const auto& login : m_network->workstation.logins)
        if (nameKey(login.first) == nameKey(m_network->servers[static_cast<size_t>(server)].tree))
            entry.authenticated = true;
    m_connections.insert(handle, entry);
    m_clientConnections.insert(server, handle);
    return handle;
}

int SimClient::serverIndexOf(const Server* server) const
{
    return static_cast<int>(server - m_network->servers.data());
}

void SimClient::putText(std::span<char> out, const QString& text)
{
    if (out.empty())
        return;
    const QByteArray bytes = outputBytes(text);
    const size_t n = std::min(out.size(), static_cast<size_t>(bytes.size()));
    std::copy_n(bytes.constData(), n, out.data());
    if (n < out.size())
        out[n] = '\0';
}

// --- Start and stop ------------------------------------------------------------

NWRCODE SimClient::NWCallsInit(quintptr, quintptr)
{
    const Lock lock(m_mutex);
    return topFault("NWCallsInit").value_or(status::Success);
}

NWRCODE SimClient::NWCLXInit(quintptr, quintptr)
{
    const Lock lock(m_mutex);
    return topFault("NWCLXInit").value_or(status::Success);
}

NWRCODE SimClient::NWCallsTerm(quintptr)
{
    const Lock lock(m_mutex);
    return topFault("NWCallsTerm").value_or(status::Success);
}

NWRCODE SimClient::NWCLXTerm(quintptr)
{
    const Lock lock(m_mutex);
    return topFault("NWCLXTerm").value_or(status::Success);
}

// --- Contexts ------------------------------------------------------------------

NWRCODE SimClient::NWDSCreateContextHandle(NWDSContextHandle& context)
{
    const Lock lock(m_mutex);
    context = 0;
    if (auto fault = topFault("NWDSCreateContextHandle"))
        return *fault;
    DirContext ctx;
    ctx.nameContext = m_network->workstation.context;
    ctx.tree = m_network->workstation.tree;
    context = newHandle();
    m_contexts.insert(context, ctx);
    return status::Success;
}

NWRCODE SimClient::NWDSGetContext(NWDSContextHandle context, int key, quint32& value)
{
    const Lock lock(m_mutex);
    if (auto fault = topFault("NWDSGetContext"))
        return *fault;
    const auto it = m_contexts.constFind(context);
    if (it == m_contexts.cend() || key != DCK_FLAGS)
        return status::InvalidParameter;
    value = it->flags;
    return status::Success;
}

NWRCODE SimClient::NWDSGetContext(NWDSContextHandle context, int key, std::span<char> value)
{
    const Lock lock(m_mutex);
    if (auto fault = topFault("NWDSGetContext"))
        return *fault;
    const auto it = m_contexts.constFind(context);
    if (it == m_contexts.cend())
        return status::InvalidParameter;
    if (key == DCK_NAME_CONTEXT)
        putText(value, it->nameContext);
    else if (key == DCK_TREE_NAME)
        putText(value, it->tree);
    else
        return status::InvalidParameter;
    return status::Success;
}

NWRCODE SimClient::NWDSSetContext(NWDSContextHandle context, int key, quint32 value)
{
    const Lock lock(m_mutex);
    if (auto fault = topFault("NWDSSetContext"))
        return *fault;
    const auto it = m_contexts.find(context);
    if (it == m_contexts.end() || key != DCK_FLAGS)
        return status::InvalidParameter;
    it->flags = value;
    return status::Success;
}

NWRCODE SimClient::NWDSSetContext(NWDSContextHandle context, int key, const QByteArray& value)
{
    const Lock lock(m_mutex);
    if (auto fault = topFault("NWDSSetContext"))
        return *fault;
    const auto it = m_contexts.find(context);
    if (it == m_contexts.end())
        return status::InvalidParameter;
    const QString text = inputText(value).trimmed();
    if (key == DCK_NAME_CONTEXT)
        it->nameContext = text.isEmpty() ? QStringLiteral("[Root]") : text;
    else if (key == DCK_TREE_NAME)
        it->tree = text;
    else
        return status::InvalidParameter;
    return status::Success;
}

NWRCODE SimClient::NWDSFreeContext(NWDSContextHandle context)
{
    const Lock lock(m_mutex);
    if (auto fault = topFault("NWDSFreeContext"))
        return *fault;
    return m_contexts.remove(context) ? status::Success : status::InvalidParameter;
}

// --- Buffers and filters ---------------------------------------------------------

NWRCODE SimClient::NWDSAllocBuf(quint32 size, NWDSBufHandle& buffer)
{
    const Lock lock(m_mutex);
    buffer = 0;
    if (auto fault = topFault("NWDSAllocBuf"))
        return *fault;
    if (size == 0 || size > MAX_MESSAGE_LEN)
        return status::InvalidParameter;
    buffer = newHandle();
    Buffer b;
    b.size = size;
    m_buffers.insert(buffer, b);
    return status::Success;
}

NWRCODE SimClient::NWDSInitBuf(NWDSContextHandle context, quint32 operation, NWDSBufHandle buffer)
{
    const Lock lock(m_mutex);
    if (auto fault = topFault("NWDSInitBuf"))
        return *fault;
    const auto it = m_buffers.find(buffer);
    if (it == m_buffers.end() || !m_contexts.contains(context))
        return status::InvalidParameter;
    const quint32 size = it->size;
    for (quint32 ptr : it->infoPtrs)
        m_partitionInfos.remove(ptr);
    *it = Buffer{};
    it->size = size;
    it->operation = operation;
    return status::Success;
}

NWRCODE SimClient::NWDSFreeBuf(NWDSBufHandle buffer)
{
    const Lock lock(m_mutex);
    if (auto fault = topFault("NWDSFreeBuf"))
        return *fault;
    const auto it = m_buffers.find(buffer);
    if (it == m_buffers.end())
        return status::InvalidParameter;
    for (quint32 ptr : it->infoPtrs)
        m_partitionInfos.remove(ptr);
    m_buffers.erase(it);
    return status::Success;
}

NWRCODE SimClient::NWDSAllocFilter(NWFilterCursor& cursor)
{
    const Lock lock(m_mutex);
    cursor = 0;
    if (auto fault = topFault("NWDSAllocFilter"))
        return *fault;
    cursor = newHandle();
    m_filters.insert(cursor, {});
    return status::Success;
}

NWRCODE SimClient::NWDSAddFilterToken(NWFilterCursor cursor, quint16 token, const QByteArray* value, quint32 syntax)
{
    const Lock lock(m_mutex);
    if (auto fault = topFault("NWDSAddFilterToken"))
        return *fault;
    const auto it = m_filters.find(cursor);
    if (it == m_filters.end())
        return status::InvalidParameter;
    if ((token == FTOK_ANAME || token == FTOK_AVAL) && !value)
        return status::InvalidParameter;
    it->push_back(FilterToken{token, value ? inputText(*value) : QString(), syntax});
    return status::Success;
}

NWRCODE SimClient::NWDSPutFilter(NWDSContextHandle context, NWDSBufHandle filterBuffer, NWFilterCursor cursor)
{
    const Lock lock(m_mutex);
    if (auto fault = topFault("NWDSPutFilter"))
        return *fault;
    const auto filter = m_filters.find(cursor);
    const auto buffer = m_buffers.find(filterBuffer);
    if (filter == m_filters.end() || buffer == m_buffers.end() || !m_contexts.contains(context))
        return status::InvalidParameter;
    if (buffer->operation != DSV_SEARCH_FILTER)
        return status::InvalidParameter;
    buffer->filter = std::move(*filter);
    buffer->holdsFilter = true;
    m_filters.erase(filter);
    return status::Success;
}

}  // namespace nw::sim

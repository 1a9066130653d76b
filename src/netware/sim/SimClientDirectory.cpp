// Directory reading: container listings and searches, returned in replies of
// at most searchBatch objects with an iteration handle that runs from -1 back
// to -1; names are dotted, typed or typeless as the context asks.

#include "netware/sim/SimClient.h"

namespace nw::sim {

namespace {

constexpr quint32 kContainerEntry = 0x04;  // entry flag of objects that can hold others

QString stripTypes(const QString& name)
{
    QStringList parts = name.split(QLatin1Char('.'));
    for (QString& part : parts) {
        const qsizetype eq = part.indexOf(QLatin1Char('='));
        if (eq >= 0)
            part = part.mid(eq + 1);
    }
    return parts.join(QLatin1Char('.'));
}

QString typePrefix(const QString& objectClass)
{
    const QString c = objectClass.toCaseFolded();
    if (c == QLatin1String("country"))
        return QStringLiteral("C=");
    if (c == QLatin1String("organization"))
        return QStringLiteral("O=");
    if (c == QLatin1String("locality"))
        return QStringLiteral("L=");
    if (c == QLatin1String("domain"))
        return QStringLiteral("DC=");
    return QStringLiteral("OU=");
}

bool isRoot(const QString& name)
{
    return name.compare(QLatin1String("[Root]"), Qt::CaseInsensitive) == 0;
}

}  // namespace

void SimClient::buildDirectoryIndex()
{
    m_directoryServers.assign(m_network->trees.size(), {});
    for (size_t t = 0; t < m_network->trees.size(); ++t)
        m_directoryServers[t].resize(m_network->trees[t].containers.size() + 1);
    // Servers share few contexts: each is looked up once per tree.
    std::vector<QHash<QString, int>> contexts(m_network->trees.size());
    for (size_t s = 0; s < m_network->servers.size(); ++s) {
        const Server& server = m_network->servers[s];
        const int t = m_network->treeIndex.value(nameKey(server.tree), -1);
        if (t < 0)
            continue;
        const Tree& tree = m_network->trees[static_cast<size_t>(t)];
        auto known = contexts[static_cast<size_t>(t)].constFind(server.context);
        if (known == contexts[static_cast<size_t>(t)].cend())
            known = contexts[static_cast<size_t>(t)].insert(
                server.context, server.context.isEmpty() ? -1 : tree.findContainer(server.context));
        const int container = *known;
        if (container < 0 && !server.context.isEmpty())
            continue;
        m_directoryServers[static_cast<size_t>(t)][static_cast<size_t>(container + 1)].push_back(static_cast<int>(s));
    }
}

const std::vector<int>& SimClient::serversIn(const Tree& tree, int container) const
{
    static const std::vector<int> none;
    const int t = m_network->treeIndex.value(nameKey(tree.name), -1);
    if (t < 0)
        return none;
    return m_directoryServers[static_cast<size_t>(t)][static_cast<size_t>(container + 1)];
}

std::optional<int> SimClient::resolveContainer(const Tree& tree, const DirContext& ctx, const QString& name) const
{
    QString text = stripTypes(name.trimmed());
    if (text.isEmpty())
        return std::nullopt;
    if (isRoot(text))
        return -1;
    if (text == QLatin1String(".")) {
        if (isRoot(ctx.nameContext))
            return -1;
        return resolveContainer(tree, DirContext{ctx.flags, QStringLiteral("[Root]"), ctx.tree},
                                ctx.nameContext.startsWith(QLatin1Char('.')) ? ctx.nameContext
                                                                             : QLatin1Char('.') + ctx.nameContext);
    }
    while (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    QString full;
    if (text.startsWith(QLatin1Char('.'))) {
        full = text.mid(1);
    } else {
        // Relative names hang below the name context when it names a container.
        const auto base = isRoot(ctx.nameContext)
                              ? std::optional<int>(-1)
                              : resolveContainer(tree, DirContext{0, QStringLiteral("[Root]"), ctx.tree},
                                                 QLatin1Char('.') + stripTypes(ctx.nameContext));
        full = base && *base >= 0 ? text + QLatin1Char('.') + tree.containerName(*base) : text;
    }
    if (full.isEmpty())
        return -1;
    const int found = tree.findContainer(full);
    if (found < 0)
        return std::nullopt;
    return found;
}

QString SimClient::outputName(const Tree& tree, const DirContext& ctx, const QString& fullName, bool leafIsServer) const
{
    if (fullName.isEmpty())
        return QStringLiteral("[Root]");
    QString name = fullName;
    int below = -1;  // the container the context stands for, when the name lies under it
    if (!isRoot(ctx.nameContext)) {
        const auto context = resolveContainer(tree, DirContext{0, QStringLiteral("[Root]"), ctx.tree},
                                              QLatin1Char('.') + stripTypes(ctx.nameContext));
        if (context && *context >= 0) {
            const QString contextName = tree.containerName(*context);
            if (name.endsWith(QLatin1Char('.') + contextName, Qt::CaseInsensitive)) {
                below = *context;
                name.chop(contextName.size() + 1);
            }
        }
    }
    if (ctx.flags & DCV_TYPELESS_NAMES)
        return name;
    // Typed: each component carries the naming attribute of its class. The
    // containers are found from the top down, each below the one before.
    const QStringList parts = name.split(QLatin1Char('.'));
    std::vector<QString> classes(static_cast<size_t>(parts.size()));
    int at = below;
    for (qsizetype i = parts.size() - 1; i >= 0; --i) {
        at = tree.findChild(at, parts[i]);
        if (at < 0)
            break;
        classes[static_cast<size_t>(i)] = tree.containers[static_cast<size_t>(at)].objectClass;
    }
    QStringList typed;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString& cls = classes[static_cast<size_t>(i)];
        const bool commonName = (i == 0 && leafIsServer) || cls.isEmpty();
        typed.append((commonName ? QStringLiteral("CN=") : typePrefix(cls)) + parts[i]);
    }
    return typed.join(QLatin1Char('.'));
}

SimClient::ReplyObject SimClient::containerObject(const Tree& tree, int container) const
{
    const Container& c = tree.containers[static_cast<size_t>(container)];
    return ReplyObject{tree.containerName(container), c.objectClass,
                       static_cast<quint32>(c.children.size() + serversIn(tree, container).size())};
}

SimClient::ReplyObject SimClient::serverObject(int server) const
{
    const Server& s = m_network->servers[static_cast<size_t>(server)];
    const QString full = s.context.isEmpty() ? s.name : s.name + QLatin1Char('.') + s.context;
    return ReplyObject{full, QStringLiteral("NCP Server"), 0};
}

NWRCODE SimClient::serveListing(qint32 id, Buffer& reply, qint32& iterationHandle, qint32* returned)
{
    auto it = m_listings.find(id);
    if (it == m_listings.end())
        return status::InvalidParameter;
    const size_t batch = static_cast<size_t>(m_network->searchBatch);
    const size_t end = std::min(it->objects.size(), it->next + batch);
    const quint32 size = reply.size;
    const quint32 operation = reply.operation;
    reply = Buffer{};
    reply.size = size;
    reply.operation = operation;
    reply.objects.assign(it->objects.begin() + static_cast<qsizetype>(it->next),
                         it->objects.begin() + static_cast<qsizetype>(end));
    if (returned)
        *returned = static_cast<qint32>(end - it->next);
    it->next = end;
    if (it->next >= it->objects.size()) {
        m_listings.erase(it);
        iterationHandle = -1;
    } else {
        iterationHandle = id;
    }
    return status::Success;
}

NWRCODE SimClient::NWDSListContainers(NWDSContextHandle context, const QByteArray& object, qint32& iterationHandle,
                                      NWDSBufHandle reply)
{
    const Lock lock(m_mutex);
    DirContext* ctx = nullptr;
    const Tree* tree = nullptr;
    if (const NWRCODE rc = directoryCall("NWDSListContainers", context, ctx, tree))
        return rc;
    const auto buffer = m_buffers.find(reply);
    if (buffer == m_buffers.end())
        return status::InvalidParameter;
    if (iterationHandle == -1) {
        const auto base = resolveContainer(*tree, *ctx, inputText(object).trimmed());
        if (!base)
            return status::NoSuchEntry;
        Listing listing;
        for (const int child : *base < 0 ? tree->topContainers : tree->containers[static_cast<size_t>(*base)].children)
            listing.objects.push_back(containerObject(*tree, child));
        iterationHandle = m_nextIteration++;
        m_listings.insert(iterationHandle, std::move(listing));
    }
    return serveListing(iterationHandle, *buffer, iterationHandle, nullptr);
}

NWRCODE SimClient::NWDSSearch(NWDSContextHandle context, const QByteArray& baseObject, quint32 scope, bool,
                              NWDSBufHandle filter, quint32, bool, NWDSBufHandle, qint32& iterationHandle, qint32,
                              qint32& countObjectsSearched, NWDSBufHandle reply)
{
    const Lock lock(m_mutex);
    countObjectsSearched = 0;
    DirContext* ctx = nullptr;
    const Tree* tree = nullptr;
    if (const NWRCODE rc = directoryCall("NWDSSearch", context, ctx, tree))
        return rc;
    const auto buffer = m_buffers.find(reply);
    if (buffer == m_buffers.end())
        return status::InvalidParameter;

    if (iterationHandle == -1) {
        // The one filter the directory answers here: Object Class equal to a class.
        QString wanted;
        if (filter != 0) {
            const auto f = m_buffers.constFind(filter);
            if (f == m_buffers.cend() || !f->holdsFilter)
                return status::InvalidParameter;
            std::vector<FilterToken> tokens = f->filter;
            if (!tokens.empty() && tokens.back().token == FTOK_END)
                tokens.pop_back();
            if (!tokens.empty()) {
                const bool classEquals =
                    tokens.size() == 3 && tokens[0].token == FTOK_ANAME
                    && (tokens[0].value.compare(QLatin1String("Object Class"), Qt::CaseInsensitive) == 0
                        || tokens[0].value.compare(QLatin1String("Base Class"), Qt::CaseInsensitive) == 0)
                    && tokens[1].token == FTOK_EQ && tokens[2].token == FTOK_AVAL;
                if (!classEquals)
                    return status::InvalidParameter;
                wanted = tokens[2].value;
            }
        }
        const auto matches = [&](const ReplyObject& o) {
            return wanted.isEmpty() || o.baseClass.compare(wanted, Qt::CaseInsensitive) == 0
                   || wanted.compare(QLatin1String("Top"), Qt::CaseInsensitive) == 0
                   || (o.baseClass == QLatin1String("NCP Server")
                       && wanted.compare(QLatin1String("Server"), Qt::CaseInsensitive) == 0);
        };
        const auto base = resolveContainer(*tree, *ctx, inputText(baseObject).trimmed());
        if (!base)
            return status::NoSuchEntry;
        if (scope > DS_SEARCH_SUBTREE)
            return status::InvalidParameter;

        Listing listing;
        auto add = [&](const ReplyObject& o) {
            if (matches(o))
                listing.objects.push_back(o);
        };
        const int start = *base;
        if (scope != DS_SEARCH_SUBORDINATES && start >= 0)
            add(containerObject(*tree, start));
        if (scope != 0) {
            std::function<void(int)> visit = [&](int container) {
                for (int s : serversIn(*tree, container))
                    add(serverObject(s));
                for (const int child :
                     container < 0 ? tree->topContainers : tree->containers[static_cast<size_t>(container)].children) {
                    add(containerObject(*tree, child));
                    if (scope == DS_SEARCH_SUBTREE)
                        visit(child);
                }
            };
            visit(start);
        }
        iterationHandle = m_nextIteration++;
        m_listings.insert(iterationHandle, std::move(listing));
    }
    return serveListing(iterationHandle, *buffer, iterationHandle, &countObjectsSearched);
}

NWRCODE SimClient::NWDSGetObjectCount(NWDSContextHandle context, NWDSBufHandle reply, quint32& count)
{
    const Lock lock(m_mutex);
    count = 0;
    DirContext* ctx = nullptr;
    const Tree* tree = nullptr;
    if (const NWRCODE rc = directoryCall("NWDSGetObjectCount", context, ctx, tree, false))
        return rc;
    const auto buffer = m_buffers.constFind(reply);
    if (buffer == m_buffers.cend())
        return status::InvalidParameter;
    count = static_cast<quint32>(buffer->objects.size());
    return status::Success;
}

NWRCODE SimClient::NWDSGetObjectName(NWDSContextHandle context, NWDSBufHandle reply, std::span<char> objectName,
                                     quint32& attributeCount, ObjectInfo& info)
{
    const Lock lock(m_mutex);
    attributeCount = 0;
    info = ObjectInfo{};
    DirContext* ctx = nullptr;
    const Tree* tree = nullptr;
    if (const NWRCODE rc = directoryCall("NWDSGetObjectName", context, ctx, tree, false))
        return rc;
    const auto buffer = m_buffers.find(reply);
    if (buffer == m_buffers.end())
        return status::InvalidParameter;
    if (buffer->readPosition >= buffer->objects.size())
        return status::BufferEmpty;
    const ReplyObject& o = buffer->objects[buffer->readPosition++];
    const bool isServer = o.baseClass == QLatin1String("NCP Server");
    putText(objectName, outputName(*tree, *ctx, o.fullName, isServer));
    info.objectFlags = isServer ? 0 : kContainerEntry;
    info.subordinateCount = o.subordinates;
    putText(std::span<char>(info.baseClass), o.baseClass);
    info.baseClass.back() = '\0';
    return status::Success;
}

}  // namespace nw::sim

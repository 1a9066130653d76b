// Directory reading: container listings and searches, returned in replies of
// at most searchBatch objects with an iteration handle that runs from -1 back
// to -1; names are dotted, typed or typeless as the context asks.

#include "netware/sim/SimClient.h"

namespace nw::sim {

namespace {

constexpr NWRCODE kBufferEmpty = 0xFFFFFEC1;   // -319: no more objects in the reply
constexpr quint32 kContainerEntry = 0x04;      // entry flag of objects that can hold others

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
    m_directory.assign(m_network->trees.size(), {});
    for (size_t t = 0; t < m_network->trees.size(); ++t) {
        auto& index = m_directory[t];
        index.insert(QString(), ContainerNode{QString(), QStringLiteral("Tree Root"), {}, {}});
        std::function<void(const std::vector<Container>&, const QString&)> walk =
            [&](const std::vector<Container>& level, const QString& parent) {
                for (const Container& c : level) {
                    const QString full = parent.isEmpty() ? c.name : c.name + QLatin1Char('.') + parent;
                    index[nameKey(parent)].children.push_back(nameKey(full));
                    index.insert(nameKey(full), ContainerNode{full, c.objectClass, {}, {}});
                    walk(c.children, full);
                }
            };
        walk(m_network->trees[t].containers, QString());
    }
    for (size_t s = 0; s < m_network->servers.size(); ++s) {
        const Server& server = m_network->servers[s];
        const int t = m_network->treeIndex.value(nameKey(server.tree), -1);
        if (t < 0)
            continue;
        auto& index = m_directory[static_cast<size_t>(t)];
        const auto it = index.find(nameKey(server.context));
        if (it != index.end())
            it->servers.push_back(static_cast<int>(s));
    }
}

const SimClient::ContainerNode* SimClient::node(const Tree& tree, const QString& fullName) const
{
    const int t = m_network->treeIndex.value(nameKey(tree.name), -1);
    if (t < 0)
        return nullptr;
    const auto& index = m_directory[static_cast<size_t>(t)];
    const auto it = index.constFind(nameKey(fullName));
    return it == index.cend() ? nullptr : &*it;
}

QString SimClient::containerClass(const Tree& tree, const QString& fullName) const
{
    const ContainerNode* n = node(tree, fullName);
    return n ? n->objectClass : QString();
}

std::optional<QString> SimClient::resolveContainer(const Tree& tree, const DirContext& ctx, const QString& name) const
{
    QString text = stripTypes(name.trimmed());
    if (text.isEmpty())
        return std::nullopt;
    if (isRoot(text))
        return QString();
    if (text == QLatin1String(".")) {
        if (isRoot(ctx.nameContext))
            return QString();
        const auto own = resolveContainer(tree, DirContext{ctx.flags, QStringLiteral("[Root]"), ctx.tree},
                                          ctx.nameContext.startsWith(QLatin1Char('.')) ? ctx.nameContext
                                                                                       : QLatin1Char('.') + ctx.nameContext);
        return own;
    }
    while (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    QString full;
    if (text.startsWith(QLatin1Char('.'))) {
        full = text.mid(1);
    } else {
        // Relative names hang below the name context when it names a container.
        const auto base = isRoot(ctx.nameContext) ? std::optional<QString>(QString())
                                                  : resolveContainer(tree, DirContext{0, QStringLiteral("[Root]"), ctx.tree},
                                                                     QLatin1Char('.') + stripTypes(ctx.nameContext));
        full = base && !base->isEmpty() ? text + QLatin1Char('.') + *base : text;
    }
    const ContainerNode* n = node(tree, full);
    if (!n)
        return std::nullopt;
    return n->fullName;
}

QString SimClient::outputName(const Tree& tree, const DirContext& ctx, const QString& fullName, bool leafIsServer) const
{
    if (fullName.isEmpty())
        return QStringLiteral("[Root]");
    QString name = fullName;
    QString below;   // the part of the name the context stands for
    if (!isRoot(ctx.nameContext)) {
        const auto context = resolveContainer(tree, DirContext{0, QStringLiteral("[Root]"), ctx.tree},
                                              QLatin1Char('.') + stripTypes(ctx.nameContext));
        if (context && !context->isEmpty() && name.endsWith(QLatin1Char('.') + *context, Qt::CaseInsensitive)) {
            below = *context;
            name.chop(context->size() + 1);
        }
    }
    if (ctx.flags & DCV_TYPELESS_NAMES)
        return name;
    // Typed: each component carries the naming attribute of its class.
    const QStringList parts = name.split(QLatin1Char('.'));
    QStringList typed;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i == 0 && leafIsServer) {
            typed.append(QStringLiteral("CN=") + parts[i]);
            continue;
        }
        QString container = parts.mid(i).join(QLatin1Char('.'));
        if (!below.isEmpty())
            container += QLatin1Char('.') + below;
        const QString cls = containerClass(tree, container);
        typed.append((cls.isEmpty() ? QStringLiteral("CN=") : typePrefix(cls)) + parts[i]);
    }
    return typed.join(QLatin1Char('.'));
}

SimClient::ReplyObject SimClient::containerObject(const ContainerNode& n) const
{
    return ReplyObject{n.fullName, n.objectClass, static_cast<quint32>(n.children.size() + n.servers.size())};
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
        for (const QString& key : node(*tree, *base)->children)
            listing.objects.push_back(containerObject(*node(*tree, key)));
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
                const bool classEquals = tokens.size() == 3 && tokens[0].token == FTOK_ANAME
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
                || (o.baseClass == QLatin1String("NCP Server") && wanted.compare(QLatin1String("Server"), Qt::CaseInsensitive) == 0);
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
        const ContainerNode* start = node(*tree, *base);
        if (scope != DS_SEARCH_SUBORDINATES && !start->fullName.isEmpty())
            add(containerObject(*start));
        if (scope != 0) {
            std::function<void(const ContainerNode&)> visit = [&](const ContainerNode& n) {
                for (int s : n.servers)
                    add(serverObject(s));
                for (const QString& key : n.children) {
                    const ContainerNode& child = *node(*tree, key);
                    add(containerObject(child));
                    if (scope == DS_SEARCH_SUBTREE)
                        visit(child);
                }
            };
            visit(*start);
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
        return kBufferEmpty;
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

// Trees, directory login and authentication of server connections.

#include "netware/sim/SimClient.h"

namespace nw::sim {

namespace {

QString typeless(const QString& name)
{
    QStringList parts = name.trimmed().split(QLatin1Char('.'), Qt::SkipEmptyParts);
    for (QString& part : parts) {
        const qsizetype eq = part.indexOf(QLatin1Char('='));
        if (eq >= 0)
            part = part.mid(eq + 1);
    }
    return parts.join(QLatin1Char('.'));
}

}  // namespace

NWRCODE SimClient::NWDSScanConnsForTrees(NWDSContextHandle context, quint32& treeCount,
                                         std::span<std::array<char, 65>> treeNames)
{
    const Lock lock(m_mutex);
    treeCount = 0;
    if (auto fault = topFault("NWDSScanConnsForTrees"))
        return *fault;
    if (!m_contexts.contains(context))
        return status::InvalidParameter;
    const QStringList& trees = m_network->workstation.connectedTrees;
    treeCount = static_cast<quint32>(trees.size());
    for (size_t i = 0; i < treeNames.size() && i < static_cast<size_t>(trees.size()); ++i)
        putText(std::span<char>(treeNames[i]), trees[static_cast<qsizetype>(i)]);
    return status::Success;
}

NWRCODE SimClient::NWGetObjectNamesBeginA(quint32 objectType, NWScanHandle& scan)
{
    const Lock lock(m_mutex);
    scan = 0;
    if (auto fault = topFault("NWGetObjectNamesBeginA"))
        return *fault;
    QStringList names;
    if (objectType == OT_TREE_NAME)
        for (const Tree& tree : m_network->trees)
            if (tree.advertised)
                names.append(tree.name);
    scan = newHandle();
    m_objectScans.insert(scan, {names, 0});
    return status::Success;
}

NWRCODE SimClient::NWGetObjectNamesNextA(NWScanHandle scan, quint32 bufferLength, std::span<char> name)
{
    const Lock lock(m_mutex);
    if (auto fault = topFault("NWGetObjectNamesNextA"))
        return *fault;
    const auto it = m_objectScans.find(scan);
    if (it == m_objectScans.end())
        return status::InvalidParameter;
    if (it->second >= it->first.size())
        return status::NoMoreEntries;
    const size_t room = std::min<size_t>(name.size(), static_cast<size_t>(bufferLength) + 1);
    putText(name.first(room), it->first[it->second++]);
    return status::Success;
}

NWRCODE SimClient::NWGetObjectNamesEndA(NWScanHandle scan)
{
    const Lock lock(m_mutex);
    if (auto fault = topFault("NWGetObjectNamesEndA"))
        return *fault;
    return m_objectScans.remove(scan) ? status::Success : status::InvalidParameter;
}

NWRCODE SimClient::NWDSLogin(NWDSContextHandle context, quint32, const QByteArray& objectName,
                             const QByteArray& password, quint32)
{
    const Lock lock(m_mutex);
    DirContext* ctx = nullptr;
    const Tree* tree = nullptr;
    if (const NWRCODE rc = directoryCall("NWDSLogin", context, ctx, tree))
        return rc;
    QString wanted = typeless(inputText(objectName));
    if (!inputText(objectName).trimmed().startsWith(QLatin1Char('.')) && !wanted.contains(QLatin1Char('.'))
        && ctx->nameContext.compare(QLatin1String("[Root]"), Qt::CaseInsensitive) != 0)
        wanted += QLatin1Char('.') + typeless(ctx->nameContext);
    for (const TreeUser& user : tree->users) {
        const QString full = user.context.isEmpty() ? user.name : user.name + QLatin1Char('.') + user.context;
        if (nameKey(full) != nameKey(wanted))
            continue;
        if (user.password != inputText(password))
            return status::BadPassword;
        auto& logins = m_network->workstation.logins;
        const auto existing = std::find_if(logins.begin(), logins.end(),
                                           [&](const auto& l) { return nameKey(l.first) == nameKey(tree->name); });
        if (existing != logins.end())
            existing->second = full;
        else
            logins.emplace_back(tree->name, full);
        if (!m_network->workstation.connectedTrees.contains(tree->name, Qt::CaseInsensitive))
            m_network->workstation.connectedTrees.append(tree->name);
        for (ConnEntry& entry : m_connections)
            if (nameKey(m_network->servers[static_cast<size_t>(entry.server)].tree) == nameKey(tree->name)
                && entry.clientOwned)
                entry.authenticated = true;
        return status::Success;
    }
    return status::NoSuchEntry;
}

NWRCODE SimClient::NWAttachToFileServer(const QByteArray& serverName, quint16, NWCONN_HANDLE& connection)
{
    // Attaching makes a connection that is not logged in and takes no licence.
    return connectByName(serverName, false, connection);
}

NWRCODE SimClient::NWDSAuthenticate(NWCONN_HANDLE connection, quint32, quint32*)
{
    const Lock lock(m_mutex);
    Server* server = nullptr;
    ConnEntry* entry = nullptr;
    if (const NWRCODE rc = serverCall("NWDSAuthenticate", connection, server, &entry))
        return rc;
    const Tree* tree = m_network->findTree(server->tree);
    if (!tree || !tree->reachable)
        return status::TreeUnreachable;
    for (const auto& login : m_network->workstation.logins) {
        if (nameKey(login.first) == nameKey(server->tree)) {
            entry->authenticated = true;
            return status::Success;
        }
    }
    return status::NotAuthenticated;
}

NWRCODE SimClient::NWDSWhoAmI(NWDSContextHandle context, std::span<char> objectName)
{
    const Lock lock(m_mutex);
    DirContext* ctx = nullptr;
    const Tree* tree = nullptr;
    if (const NWRCODE rc = directoryCall("NWDSWhoAmI", context, ctx, tree, false)) {
        if (!ctx)
            return rc;
        if (rc != status::TreeUnreachable)
            return rc;
    }
    for (const auto& login : m_network->workstation.logins) {
        if (nameKey(login.first) != nameKey(ctx->tree))
            continue;
        QString name = login.second;
        // Typed names: the user's leaf is a common name, the containers carry their class.
        if (!(ctx->flags & DCV_TYPELESS_NAMES) && tree)
            name = outputName(*tree, DirContext{ctx->flags, QStringLiteral("[Root]"), ctx->tree}, name, true);
        putText(objectName, name);
        return status::Success;
    }
    putText(objectName, QStringLiteral("[PUBLIC]"));
    return status::Success;
}

}  // namespace nw::sim

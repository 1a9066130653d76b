#include "directory/DirectoryReaders.h"

#include "netware/NovellCalls.h"
#include "platform/Services.h"

#include <algorithm>
#include <array>

namespace directory {

using namespace nw;

namespace {

// A directory context for one operation, freed however the operation ends.
class DirectoryContext {
public:
    explicit DirectoryContext(NetWareClient& client) : m_client(client)
    {
        m_valid = m_client.NWDSCreateContextHandle(m_handle) == status::Success;
    }
    ~DirectoryContext()
    {
        if (m_valid)
            m_client.NWDSFreeContext(m_handle);
    }
    DirectoryContext(const DirectoryContext&) = delete;
    DirectoryContext& operator=(const DirectoryContext&) = delete;

    bool valid() const { return m_valid; }
    NWDSContextHandle handle() const { return m_handle; }

private:
    NetWareClient& m_client;
    NWDSContextHandle m_handle = 0;
    bool m_valid = false;
};

}  // namespace

ContainerLevel listContainerLevel(core::AppContext& context, const QString& tree, const QString& containerContext)
{
    ContainerLevel level;
    NetWareClient& client = context.client();
    DirectoryContext dsContext(client);
    if (!dsContext.valid()) {
        level.failed = true;
        return level;
    }
    client.NWDSSetContext(dsContext.handle(), DCK_TREE_NAME, toAnsi(tree));
    client.NWDSSetContext(dsContext.handle(), DCK_NAME_CONTEXT, toAnsi(containerContext));
    quint32 flags = 0;
    client.NWDSGetContext(dsContext.handle(), DCK_FLAGS, flags);
    client.NWDSSetContext(dsContext.handle(), DCK_FLAGS, flags | DCV_TYPELESS_NAMES);

    NWDSBufHandle reply = 0;
    client.NWDSAllocBuf(MAX_MESSAGE_LEN, reply);
    client.NWDSInitBuf(dsContext.handle(), DSV_LIST, reply);

    qint32 iteration = -1;
    int replies = 0;
    do {
        const NWRCODE rc = client.NWDSListContainers(dsContext.handle(), toAnsi(QStringLiteral(".")), iteration, reply);
        if (rc != status::Success) {
            context.messages().inform(QStringLiteral("Error - ") + statusText(rc)
                                      + QStringLiteral(" listing containers! Selected container is: ")
                                      + containerContext);
            level.failed = true;
            break;
        }
        quint32 count = 0;
        client.NWDSGetObjectCount(dsContext.handle(), reply, count);
        for (quint32 i = 0; i < std::min(count, kMaxObjectsPerReply); ++i) {
            std::array<char, 260> name{};
            quint32 attributeCount = 0;
            ObjectInfo info;
            const NWRCODE nameRc =
                client.NWDSGetObjectName(dsContext.handle(), reply, std::span<char>(name), attributeCount, info);
            if (nameRc == status::BufferEmpty)
                break;  // the reply counted more objects than it holds
            if (nameRc != status::Success) {
                context.messages().inform(QStringLiteral("Error - ") + statusText(nameRc)
                                          + QStringLiteral(" getting object name!"));
                continue;
            }
            const auto containerClass = containerClassOf(bytesToString(std::span<const char>(info.baseClass)));
            if (containerClass)
                level.containers.push_back({bytesToString(std::span<const char>(name)), *containerClass});
        }
    } while (iteration != -1 && ++replies < kMaxListingReplies);

    client.NWDSFreeBuf(reply);
    return level;
}

QStringList connectedTrees(core::AppContext& context)
{
    QStringList trees;
    NetWareClient& client = context.client();
    DirectoryContext dsContext(client);
    if (!dsContext.valid())
        return trees;
    std::array<std::array<char, 65>, 16> names{};
    quint32 count = 0;
    const NWRCODE rc = client.NWDSScanConnsForTrees(dsContext.handle(), count, std::span<std::array<char, 65>>(names));
    if (rc != status::Success) {
        context.messages().inform(QStringLiteral("NWDSScanConnsForTrees failed, E=") + statusText(rc), {},
                                  platform::Icon::Critical);
        return trees;
    }
    // The client may count more trees than there were buffers for.
    for (quint32 i = 0; i < count && i < names.size(); ++i)
        trees.append(bytesToString(std::span<const char>(names[i])));
    return trees;
}

QStringList advertisedTrees(NetWareClient& client)
{
    QStringList trees;
    NWScanHandle scan = 0;
    if (client.NWGetObjectNamesBeginA(OT_TREE_NAME, scan) != status::Success)
        return trees;
    std::array<char, 128> name{};
    while (trees.size() < kMaxScannedItems
           && client.NWGetObjectNamesNextA(scan, 127, std::span<char>(name)) == status::Success) {
        trees.append(bytesToString(std::span<const char>(name)));
        name.fill('\0');
    }
    client.NWGetObjectNamesEndA(scan);
    return trees;
}

QString userContext(core::AppContext& context)
{
    NetWareClient& client = context.client();
    DirectoryContext dsContext(client);
    if (!dsContext.valid())
        return QStringLiteral("[PUBLIC]");
    client.NWDSSetContext(dsContext.handle(), DCK_TREE_NAME, toAnsi(context.values.treeName));
    client.NWDSSetContext(dsContext.handle(), DCK_FLAGS, quint32{6});
    std::array<char, 256> identity{};
    if (client.NWDSWhoAmI(dsContext.handle(), std::span<char>(identity)) != status::Success)
        return QStringLiteral("[PUBLIC]");
    return containerOfIdentity(bytesToString(std::span<const char>(identity)).trimmed());
}

void attachToServer(NetWareClient& client, const QString& server)
{
    NWCONN_HANDLE connection = 0;
    client.NWAttachToFileServer(toAnsi(server), 0, connection);
}

NWRCODE loginToTree(core::AppContext& context, const LoginRequest& request)
{
    NetWareClient& client = context.client();
    DirectoryContext dsContext(client);
    if (!dsContext.valid())
        return status::InvalidParameter;
    if (!request.server.isEmpty())
        attachToServer(client, request.server);
    client.NWDSSetContext(dsContext.handle(), DCK_TREE_NAME, toAnsi(request.tree.toUpper()));
    return client.NWDSLogin(dsContext.handle(), 0, toAnsi(request.name), toAnsi(request.password), 0);
}

}  // namespace directory

#include "netware/ServerDiscovery.h"

#include "core/AppContext.h"
#include "netware/NovellCalls.h"
#include "netware/ServerSession.h"
#include "platform/Services.h"
#include "settings/Registry.h"

#include <algorithm>
#include <array>

namespace nw {

namespace {

const QString kHiddenKey = settings::rootKeyPath(settings::kHiddenKeyName);

}  // namespace

void initClient(core::AppContext& context)
{
    NetWareClient& client = context.client();
    if (client.NWCallsInit(0, 0) != status::Success)
        context.messages().inform(QStringLiteral("Unable to initialize!"));

    NWDSContextHandle dsContext = 0;
    if (client.NWDSCreateContextHandle(dsContext) != status::Success)
        return;
    std::array<char, 200> tree;
    tree.fill(' ');
    client.NWDSGetContext(dsContext, DCK_TREE_NAME, std::span<char>(tree));
    context.values.treeName = bytesToString(std::span<const char>(tree)).trimmed();
    client.NWDSFreeContext(dsContext);
}

void loadStartingServerContext(core::AppContext& context)
{
    settings::RegistryStore& store = context.registry();
    if (!store.keyExists(settings::Hive::CurrentUser, settings::kRootKey))
        settings::resetStartingServerContext(store);  // first run: the root key comes into being

    QString text;
    const auto stored = settings::readValue(store, settings::kRootKey, settings::kStartingServerContextValue,
                                            settings::kStartingServerContextRoom);
    if (stored && !stored->trimmed().isEmpty()) {
        text = *stored;
    } else if (context.startingContainerDialog) {
        // An empty stored container is treated as none: the user chooses one.
        context.values.startingServerContext.clear();
        context.startingContainerDialog(context);
        text = context.values.startingServerContext;
    } else {
        text = QStringLiteral("[Root]");
    }

    // A container stored while another tree was current names nothing in this
    // one: the search starts at the tree root, as the starting-container
    // dialog then shows it. The stored value stays until a new choice is saved.
    if (isPathOfAnotherTree(text, context.values.treeName)) {
        context.values.startingServerContext = QStringLiteral("[Root]");
        return;
    }
    QString dots = treePathToDots(text.trimmed(), context.values.treeName);
    if (dots != QLatin1String("[Root]") && !dots.startsWith(QLatin1Char('.')))
        dots.prepend(QLatin1Char('.'));
    context.values.startingServerContext = dots;
}

ServerLists findServers(core::AppContext& context, const QString& objectClass)
{
    ServerLists lists;
    loadStartingServerContext(context);

    NetWareClient& client = context.client();
    const core::ProgramValues& values = context.values;

    NWDSContextHandle dsContext = 0;
    if (client.NWDSCreateContextHandle(dsContext) == status::Success) {
        quint32 flags = 0;
        client.NWDSGetContext(dsContext, DCK_FLAGS, flags);
        flags |= DCV_TYPELESS_NAMES;
        client.NWDSSetContext(dsContext, DCK_TREE_NAME, toAnsi(values.treeName));
        client.NWDSSetContext(dsContext, DCK_FLAGS, flags);
        client.NWDSSetContext(dsContext, DCK_NAME_CONTEXT,
                              toAnsi(dotsToTreePath(values.startingServerContext, values.treeName)));

        NWDSBufHandle filter = 0, attributes = 0, reply = 0;
        client.NWDSAllocBuf(DEFAULT_MESSAGE_LEN, filter);
        client.NWDSInitBuf(dsContext, DSV_SEARCH_FILTER, filter);
        client.NWDSAllocBuf(DEFAULT_MESSAGE_LEN, attributes);
        client.NWDSInitBuf(dsContext, DSV_LIST, attributes);
        client.NWDSAllocBuf(DEFAULT_MESSAGE_LEN, reply);

        NWFilterCursor cursor = 0;
        client.NWDSAllocFilter(cursor);
        const QByteArray attributeName = toAnsi(QStringLiteral("Object Class"));
        const QByteArray className = toAnsi(objectClass);
        client.NWDSAddFilterToken(cursor, FTOK_ANAME, &attributeName, SYN_CLASS_NAME);
        client.NWDSAddFilterToken(cursor, FTOK_EQ, nullptr, 0);
        client.NWDSAddFilterToken(cursor, FTOK_AVAL, &className, SYN_CLASS_NAME);
        client.NWDSAddFilterToken(cursor, FTOK_END, nullptr, 0);
        client.NWDSPutFilter(dsContext, filter, cursor);

        const QByteArray base = toAnsi(values.startingServerContext);
        const quint32 scope = values.searchSubContainers ? DS_SEARCH_SUBTREE : DS_SEARCH_SUBORDINATES;
        qint32 iteration = -1;
        int replies = 0;
        do {
            qint32 searched = 0;
            if (client.NWDSSearch(dsContext, base, scope, false, filter, 1, false, attributes, iteration, 0, searched,
                                  reply)
                != status::Success)
                break;
            quint32 count = 0;
            client.NWDSGetObjectCount(dsContext, reply, count);
            for (quint32 i = 0; i < std::min(count, kMaxObjectsPerReply); ++i) {
                std::array<char, 129> name{};
                quint32 attributeCount = 0;
                ObjectInfo info;
                // A record that cannot be read names no server: no blank entry.
                const NWRCODE read =
                    client.NWDSGetObjectName(dsContext, reply, std::span<char>(name), attributeCount, info);
                if (read == status::BufferEmpty)
                    break;  // the reply counted more objects than it holds
                if (read != status::Success)
                    continue;
                const QString server = bytesToString(std::span<const char>(name)).section(QLatin1Char('.'), 0, 0);
                if (!server.isEmpty())
                    lists.all.append(server);
            }
        } while (iteration != -1 && ++replies < kMaxListingReplies);

        client.NWDSFreeBuf(reply);
        client.NWDSFreeBuf(attributes);
        client.NWDSFreeBuf(filter);
        client.NWDSFreeContext(dsContext);
    }

    // Read whole: a hundred hidden servers fill more than any fixed room, and a
    // list cut short would show every one of them again.
    const auto hidden = context.registry().queryValue(settings::Hive::CurrentUser, kHiddenKey, values.treeName);
    if (!hidden) {
        lists.visible = lists.all;
        return lists;
    }
    QStringList hiddenNames;
    for (const QString& name : hidden->split(QLatin1Char(',')))
        hiddenNames.append(name.trimmed());
    for (const QString& server : std::as_const(lists.all)) {
        if (!hiddenNames.contains(server, Qt::CaseSensitive))
            lists.visible.append(server);
    }
    return lists;
}

int findFreeDrive(NetWareClient& client)
{
    for (quint16 drive = 26; drive >= 2; --drive) {
        quint16 driveStatus = 0xFFFF;
        NWCONN_HANDLE connection = 0;
        std::array<char, 260> root{}, relative{}, full{};
        const NWRCODE rc = client.NWGetDriveStatus(drive, 2, driveStatus, connection, std::span<char>(root),
                                                   std::span<char>(relative), std::span<char>(full));
        if (rc == status::Success && driveStatus == NW_UNMAPPED_DRIVE)
            return drive;
    }
    return 99;
}

QString noFreeDriveText()
{
    return QStringLiteral("There are no free drive letters, please release a drive and try again.");
}

int findFreeDrive(core::AppContext& context)
{
    const int drive = findFreeDrive(context.client());
    if (drive == 99)
        context.messages().inform(noFreeDriveText());
    return drive;
}

void listServerVolumes(core::AppContext& context, const QString& server, bool add, QStringList& target)
{
    ServerSession session(context, server, kLicensedByBinderyName);
    if (session.open() != status::Success)
        return;
    NetWareClient& client = session.client();
    const NWCONN_HANDLE connection = session.handle();

    quint32 iterator = 0;
    // A scan that never reports its end is cut off after the most volumes a server can mount.
    int step = 0;
    do {
        std::array<VolumeRecord, 1> volume{};
        quint32 returned = 0;
        if (client.NWScanMountedVolumeList(connection, 1, NW_NS_LONG, iterator, 1, returned,
                                           std::span<VolumeRecord>(volume))
            != status::Success)
            break;
        if (returned == 0)
            continue;
        const QString name = bytesToString(std::span<const char>(volume[0].volumeName));
        if (name == QLatin1String("_ADMIN") || name == QLatin1String("NSS_ADMIN"))
            continue;
        if (add && !target.contains(name, Qt::CaseSensitive))
            target.append(name);
    } while (iterator != 0 && ++step < 256);

    session.close();
}

}  // namespace nw

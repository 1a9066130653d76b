#include "netware/NovellCalls.h"

#include "settings/AnsiText.h"

#include "settings/Registry.h"

#include <QStringView>

#include <algorithm>
#include <array>

namespace nw {

namespace {

const QString kHiddenKey = settings::rootKeyPath(QStringLiteral("Hidden"));

StartingContainerDialog& startingContainerDialog()
{
    static StartingContainerDialog dialog;
    return dialog;
}

}  // namespace

// --- Byte-array strings -------------------------------------------------------

QString fcnBytesToString(std::span<const char> bytes)
{
    const auto end = std::find(bytes.begin(), bytes.end(), '\0');
    return settings::fromWindows1252(QByteArrayView(bytes.data(), static_cast<qsizetype>(end - bytes.begin())));
}

QString fcnBytesToString(std::span<const quint8> bytes)
{
    return fcnBytesToString(std::span<const char>(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void subStringToBytes(std::span<char> bytes, const QString& text)
{
    if (bytes.empty())
        return;
    const QByteArray ansi = toAnsi(text);
    std::size_t i = 0;
    for (; i < bytes.size() && i < static_cast<std::size_t>(ansi.size()); ++i) {
        bytes[i] = ansi[static_cast<qsizetype>(i)];
        if (bytes[i] == '\0')
            return;
    }
    // Text without its own terminator: end it where there is room, or in the
    // last element when it filled the array.
    bytes[std::min(i, bytes.size() - 1)] = '\0';
}

QByteArray toAnsi(const QString& text)
{
    return settings::toWindows1252Lossy(text);
}

QString fcnComponentsToPath(std::span<const quint8> bytes, quint8 totalLength)
{
    // The length bytes come from the server; the path never reaches past the
    // stated total length nor past the buffer, whatever they say.
    const std::size_t limit = std::min<std::size_t>(totalLength, bytes.size());
    QString path;
    std::size_t p = 0;
    while (p < limit) {
        const std::size_t n = bytes[p];
        ++p;
        if (p >= limit)
            break;
        const std::size_t end = std::min(p + n, limit);
        path += QLatin1Char('\\');
        path += settings::fromWindows1252(
            QByteArrayView(reinterpret_cast<const char*>(bytes.data() + p), static_cast<qsizetype>(end - p)));
        p = end;
    }
    return path;
}

// --- Name conversions -------------------------------------------------------------

QString fcnDotsToTreePath(const QString& dotted, const QString& treeName)
{
    QString rest = dotted;
    QString result;
    while (!rest.isEmpty()) {
        const qsizetype dot = rest.indexOf(QLatin1Char('.'));
        if (dot >= 0) {
            result = QLatin1Char('\\') + rest.left(dot) + result;
            rest = rest.mid(dot + 1);
        } else {
            result = rest + result;
            rest.clear();
        }
    }
    return treeName + QLatin1Char('\\') + result;
}

QString fcnTreePathToDots(const QString& treePath, const QString& treeName)
{
    if (treePath.isEmpty())
        return QStringLiteral("[Owner unavailable]");
    QString path = treePath;
    if (!treeName.isEmpty() && path.startsWith(treeName, Qt::CaseInsensitive)) {
        path = path.mid(treeName.size());
        // The tree alone names its root.
        if (path.isEmpty())
            return QStringLiteral("[Root]");
    }
    QString result;
    qsizetype i = 1;
    while (!path.isEmpty()) {
        if (path.at(path.size() - i) == QLatin1Char('\\')) {
            result += path.right(i - 1) + QLatin1Char('.');
            path.chop(i);
            i = 1;
        } else if (i == path.size()) {
            result = path + QLatin1Char('.');
            break;
        } else {
            ++i;
        }
    }
    result.chop(1);
    return result;
}

// --- Client routines ----------------------------------------------------------------

QString fcnStatusText(NWRCODE code)
{
    // The client's 32-bit result reads as a signed number (-601, 34817).
    return QString::number(static_cast<qint32>(code));
}

NWRCODE fcnOpenConnByName(NetWareClient& client, const QString& server, NWCONN_HANDLE& connection)
{
    return client.NWCCOpenConnByName(0, toAnsi(server), NWCC_NAME_FORMAT_BIND, NWCC_OPEN_LICENSED,
                                     NW_TRAN_TYPE_WILD, connection);
}

NWRCODE subCloseConnReporting(app::AppContext& context, NWCONN_HANDLE connection, const QString& title)
{
    const NWRCODE rc = context.client().NWCCCloseConn(connection);
    if (rc != status::Success)
        context.messages().inform(QStringLiteral("NWCCCloseConn returned ") + fcnStatusText(rc), title);
    return rc;
}

void subInitClient(app::AppContext& context)
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
    context.values.gTreeName = fcnBytesToString(std::span<const char>(tree)).trimmed();
    client.NWDSFreeContext(dsContext);
}

void setStartingContainerDialog(StartingContainerDialog dialog)
{
    startingContainerDialog() = std::move(dialog);
}

void subLoadStartingServerContext(app::AppContext& context)
{
    settings::RegistryStore& store = context.registry();
    if (!store.keyExists(settings::Hive::CurrentUser, settings::kRootKey))
        settings::subResetStartingServerContext(store);   // first run: the root key comes into being

    QString text;
    const auto stored = settings::fnReadValue(store, settings::kRootKey, QStringLiteral("StartingServerContext"), 249);
    if (stored && !stored->trimmed().isEmpty()) {
        text = *stored;
    } else if (startingContainerDialog()) {
        // An empty stored container is treated as none: the user chooses one.
        context.values.gStartingServerContext.clear();
        startingContainerDialog()(context);
        text = context.values.gStartingServerContext;
    } else {
        text = QStringLiteral("[Root]");
    }

    QString dots = fcnTreePathToDots(text.trimmed(), context.values.gTreeName);
    if (dots != QLatin1String("[Root]") && !dots.startsWith(QLatin1Char('.')))
        dots.prepend(QLatin1Char('.'));
    context.values.gStartingServerContext = dots;
}

ServerLists fcnFindServers(app::AppContext& context, const QString& objectClass)
{
    ServerLists lists;
    subLoadStartingServerContext(context);

    NetWareClient& client = context.client();
    const app::ProgramValues& values = context.values;

    NWDSContextHandle dsContext = 0;
    if (client.NWDSCreateContextHandle(dsContext) == status::Success) {
        quint32 flags = 0;
        client.NWDSGetContext(dsContext, DCK_FLAGS, flags);
        flags |= DCV_TYPELESS_NAMES;
        client.NWDSSetContext(dsContext, DCK_TREE_NAME, toAnsi(values.gTreeName));
        client.NWDSSetContext(dsContext, DCK_FLAGS, flags);
        client.NWDSSetContext(dsContext, DCK_NAME_CONTEXT,
                              toAnsi(fcnDotsToTreePath(values.gStartingServerContext, values.gTreeName)));

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

        const QByteArray base = toAnsi(values.gStartingServerContext);
        const quint32 scope = values.gSearchSubContainers ? DS_SEARCH_SUBTREE : DS_SEARCH_SUBORDINATES;
        qint32 iteration = -1;
        do {
            qint32 searched = 0;
            if (client.NWDSSearch(dsContext, base, scope, false, filter, 1, false, attributes, iteration, 0,
                                  searched, reply)
                != status::Success)
                break;
            quint32 count = 0;
            client.NWDSGetObjectCount(dsContext, reply, count);
            for (quint32 i = 0; i < count; ++i) {
                std::array<char, 129> name{};
                quint32 attributeCount = 0;
                ObjectInfo info;
                // A record that cannot be read names no server: no blank entry.
                if (client.NWDSGetObjectName(dsContext, reply, std::span<char>(name), attributeCount, info)
                    != status::Success)
                    continue;
                const QString server = fcnBytesToString(std::span<const char>(name)).section(QLatin1Char('.'), 0, 0);
                if (!server.isEmpty())
                    lists.all.append(server);
            }
        } while (iteration != -1);

        client.NWDSFreeBuf(reply);
        client.NWDSFreeBuf(attributes);
        client.NWDSFreeBuf(filter);
        client.NWDSFreeContext(dsContext);
    }

    // Read whole: a hundred hidden servers fill more than any fixed room, and a
    // list cut short would show every one of them again.
    const auto hidden = context.registry().queryValue(settings::Hive::CurrentUser, kHiddenKey, values.gTreeName);
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

int fcnFindFreeDrive(app::AppContext& context)
{
    NetWareClient& client = context.client();
    for (quint16 drive = 26; drive >= 2; --drive) {
        quint16 driveStatus = 0xFFFF;
        NWCONN_HANDLE connection = 0;
        std::array<char, 260> root{}, relative{}, full{};
        const NWRCODE rc = client.NWGetDriveStatus(drive, 2, driveStatus, connection, std::span<char>(root),
                                                   std::span<char>(relative), std::span<char>(full));
        if (rc == status::Success && driveStatus == NW_UNMAPPED_DRIVE)
            return drive;
    }
    context.messages().inform(
        QStringLiteral("There are no free drive letters, please release a drive and try again."));
    return 99;
}

void subListServerVolumes(app::AppContext& context, const QString& server, bool add, QStringList& target)
{
    NetWareClient& client = context.client();
    NWCONN_HANDLE connection = 0;
    if (fcnOpenConnByName(client, server, connection) != status::Success)
        return;

    quint32 iterator = 0;
    do {
        std::array<VolumeRecord, 1> volume{};
        quint32 returned = 0;
        if (client.NWScanMountedVolumeList(connection, 1, NW_NS_LONG, iterator, 1, returned,
                                           std::span<VolumeRecord>(volume))
            != status::Success)
            break;
        if (returned == 0)
            continue;
        const QString name = fcnBytesToString(std::span<const char>(volume[0].volumeName));
        if (name == QLatin1String("_ADMIN") || name == QLatin1String("NSS_ADMIN"))
            continue;
        if (add && !target.contains(name, Qt::CaseSensitive))
            target.append(name);
    } while (iterator != 0);

    subCloseConnReporting(context, connection);
}

}  // namespace nw

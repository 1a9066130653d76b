#include "netware/sim/SimGenerator.h"

#include "netware/sim/SimDefaults.h"

#include <QDateTime>

#include <charconv>

namespace nw::sim {

namespace {

constexpr size_t kMaxServersHeld = 64;

const char* const kModuleStems[] = {"CLIB",  "LIBC",   "NSS",   "DS",   "TCPIP",   "MONITOR",
                                    "NWPA",  "SMDR",   "PKI",   "LDAP", "NCPIP",   "SAL",
                                    "TSAFS", "APACHE", "NDPSM", "JVM",  "BTRIEVE", "DHCPSRVR"};
const char* const kParameterWords[] = {"Maximum", "Minimum", "Cache",      "Buffers", "Directory", "Packet", "Delay",
                                       "Time",    "Locks",   "Connection", "Receive", "Threshold", "Limit",  "Service"};
const char* const kUserNames[] = {"JSMITH", "AMEYER", "PJONES", "KLEE", "MBROWN", "TNGUYEN", "RGARCIA", "SWILSON"};

// Decimal digits appended without a temporary string: drawing a server's
// lists writes thousands of these.
void appendNumber(QString& text, int number)
{
    char digits[12];
    const auto end = std::to_chars(std::begin(digits), std::end(digits), number).ptr;
    text.append(QLatin1String(digits, static_cast<qsizetype>(end - digits)));
}

quint64 serverSeed(const GeneratedGroup& group, int index)
{
    SeededRandom mix((static_cast<quint64>(group.seed) << 32) ^ static_cast<quint64>(index) * 0x9E3779B97F4A7C15ULL);
    return mix.next();
}

QString serverName(const GeneratedGroup& group, int index)
{
    const int digits = std::max(3, static_cast<int>(QString::number(group.count).size()));
    return group.prefix + QStringLiteral("%1").arg(index + 1, digits, 10, QLatin1Char('0'));
}

// Module k of the group: the same name and base version on every server.
Nlm groupModule(const GeneratedGroup& group, int k)
{
    SeededRandom r(group.seed * 7919ULL + static_cast<quint64>(k));
    Nlm n;
    n.number = static_cast<quint32>(k + 1);
    const auto stems = std::size(kModuleStems);
    const QString stem = QString::fromLatin1(kModuleStems[static_cast<size_t>(k) % stems]);
    n.file = (k < static_cast<int>(stems) ? stem : stem.left(4) + QString::number(k)) + QStringLiteral(".NLM");
    n.name = stem + QStringLiteral(" support module");
    n.notice = defaultNotice();
    n.major = r.between(1, 9);
    n.minor = r.between(0, 99);
    n.revision = r.between(0, 20);
    n.year = r.between(2003, 2009);
    n.month = r.between(1, 12);
    n.day = r.between(1, 28);
    return n;
}

SetParameter groupParameter(const GeneratedGroup& group, int k)
{
    SeededRandom r(group.seed * 104729ULL + static_cast<quint64>(k));
    SetParameter p;
    const auto words = std::size(kParameterWords);
    p.name =
        QStringLiteral("%1 %2 %3 %4")
            .arg(QLatin1String(kParameterWords[r.next() % words]), QLatin1String(kParameterWords[r.next() % words]),
                 QLatin1String(kParameterWords[r.next() % words]))
            .arg(k + 1);
    p.category = r.between(1, 15);
    p.type = static_cast<quint32>(k % 3 == 1 ? 1 : (k % 7 == 5 ? 5 : 0));
    if (p.type == 1)
        p.value = QByteArray(1, static_cast<char>(r.between(0, 1)));
    else if (p.type == 5)
        p.value = QStringLiteral("VALUE%1").arg(r.between(1, 99)).toLatin1();
    else
        p.value = numberValue(r.between(1, 10000));
    return p;
}

void drawGroupRows(const GeneratedGroup& group)
{
    GeneratedGroup::Rows& rows = *group.rows;
    if (rows.drawn)
        return;
    rows.nlms.reserve(static_cast<size_t>(group.nlms));
    for (int k = 0; k < group.nlms; ++k)
        rows.nlms.push_back(groupModule(group, k));
    rows.setParameters.reserve(static_cast<size_t>(group.setParameters));
    for (int k = 0; k < group.setParameters; ++k)
        rows.setParameters.push_back(groupParameter(group, k));
    rows.drawn = true;
}

qint64 rowCount(const ServerLists& lists)
{
    qint64 rows = static_cast<qint64>(lists.nlms.size() + lists.setParameters.size() + lists.connections.size());
    for (const Connection& c : lists.connections)
        rows += static_cast<qint64>(c.openFiles.size());
    return rows;
}

void materialise(Server& server)
{
    const GeneratedGroup& group = *server.group;
    drawGroupRows(group);
    SeededRandom r(serverSeed(group, server.groupIndex));
    ServerLists lists;

    lists.nlms.reserve(static_cast<size_t>(group.nlms));
    for (int k = 0; k < group.nlms; ++k) {
        Nlm n = group.rows->nlms[static_cast<size_t>(k)];
        if (r.unit() < group.differences) {
            n.revision += r.between(1, 5);
            n.day = n.day % 28 + 1;
        }
        lists.nlms.push_back(std::move(n));
    }

    lists.setParameters.reserve(static_cast<size_t>(group.setParameters));
    for (int k = 0; k < group.setParameters; ++k) {
        SetParameter p = group.rows->setParameters[static_cast<size_t>(k)];
        if (r.unit() < group.differences) {
            if (p.type == 1)
                p.value[0] = static_cast<char>(p.value[0] ? 0 : 1);
            else if (p.type == 5)
                p.value += "X";
            else
                p.value = numberValue(r.between(10001, 20000));
        }
        lists.setParameters.push_back(std::move(p));
    }

    const QDateTime& reference = group.reference;
    const QString userContext = group.context.isEmpty() ? server.tree : group.context;
    const QString notLoggedIn = QStringLiteral("NOT-LOGGED-IN");
    const QString volume = server.volumes.front().name;
    lists.connections.reserve(static_cast<size_t>(group.connections) + 1);
    for (int k = 0; k < group.connections; ++k) {
        Connection c;
        c.number = static_cast<quint32>(k + 1);
        c.type = r.unit() < 0.8 ? 11 : 2;
        const bool loggedIn = r.unit() < 0.9;
        c.status = loggedIn ? 0x0020 : 0;
        if (loggedIn) {
            const QLatin1String stem(kUserNames[r.next() % std::size(kUserNames)]);
            c.user.reserve(stem.size() + 7 + userContext.size());
            c.user.append(stem);
            appendNumber(c.user, k + 1);
            c.user.append(QLatin1Char('.'));
            c.user.append(userContext);
        } else {
            c.user = notLoggedIn;
        }
        c.objectType = 1;
        c.objectId = 0x01000000U + static_cast<quint32>(k + 1);
        c.loginTime = reference.addSecs(-60 * static_cast<qint64>(r.between(1, 20000)));
        c.bytesRead = r.between(0, 0x7FFFFFFF);
        c.bytesWritten = r.between(0, 0x0FFFFFFF);
        c.requests = r.between(0, 1000000);
        c.messageResult = loggedIn ? 0 : 2;
        for (int f = 0; f < group.openFilesPerConnection; ++f) {
            OpenFile file;
            file.volume = volume;
            file.path.reserve(32);
            file.path.append(QLatin1String("DATA\\File "));
            appendNumber(file.path, f + 1);
            file.path.append(QLatin1String(" of "));
            appendNumber(file.path, k + 1);
            file.path.append(QLatin1String(".dat"));
            file.lockFlags = 0x08;
            c.openFiles.push_back(std::move(file));
        }
        lists.connections.push_back(std::move(c));
    }
    Connection own;
    own.number = server.ownConnection;
    own.type = 11;
    own.user = QStringLiteral("ADMIN");
    own.objectId = 0x01000000U;
    own.loginTime = reference.addSecs(-3600);
    lists.connections.push_back(std::move(own));
    for (const quint32 number : server.clearedConnections)
        std::erase_if(lists.connections, [&](const Connection& c) { return c.number == number; });
    server.lists = std::move(lists);
}

}  // namespace

void addGeneratedServers(Network& network, const std::shared_ptr<const GeneratedGroup>& group)
{
    // Grows the list by at least half when it must: reserving just enough for
    // each group would move every server already made once per group.
    const size_t needed = network.servers.size() + static_cast<size_t>(group->count);
    if (needed > network.servers.capacity())
        network.servers.reserve(std::max(needed, network.servers.capacity() + network.servers.capacity() / 2));
    // Every server's volumes share the group's names.
    QStringList volumeNames;
    for (int v = 0; v < group->volumes; ++v)
        volumeNames.append(v == 0 ? QStringLiteral("SYS") : QStringLiteral("VOL%1").arg(v));
    for (int i = 0; i < group->count; ++i) {
        Server s;
        s.name = serverName(*group, i);
        s.tree = group->tree;
        s.context = group->context;
        s.company = defaultCompany();
        s.revisionText = defaultRevisionText();
        s.revisionDate = defaultRevisionDate();
        s.notice = defaultNotice();
        SeededRandom r(serverSeed(*group, i) ^ 0x5555);
        s.upSeconds = r.between(3600, 400 * 86400);
        s.walk.seed = static_cast<quint32>(r.next());
        s.maxConnections = static_cast<quint32>(std::max(250, group->connections + 10));
        s.ownConnection = static_cast<quint32>(group->connections + 1);
        s.volumes.reserve(static_cast<size_t>(group->volumes));
        for (int v = 0; v < group->volumes; ++v) {
            Volume vol;
            vol.name = volumeNames[v];
            vol.number = static_cast<quint32>(v);
            vol.totalBlocks = r.between(262144, 4194304);
            vol.availableBlocks = vol.totalBlocks / r.between(2, 8);
            vol.purgeableBlocks = vol.availableBlocks / 50;
            s.volumes.push_back(std::move(vol));
        }
        s.group = group;
        s.groupIndex = i;
        network.servers.push_back(std::move(s));
    }
}

ServerLists& serverLists(Server& server)
{
    bool drawn = false;
    if (!server.lists) {
        drawn = true;
        if (server.group)
            materialise(server);
        else
            server.lists.emplace();
    }
    if (server.group && server.group->cache)
        server.group->cache->touch(server, drawn ? rowCount(*server.lists) : -1);
    return *server.lists;
}

size_t connectionCount(Server& server)
{
    if (server.lists || !server.group)
        return serverLists(server).connections.size();
    // Numbers 1 to `connections` and the own connection, less those cleared.
    return static_cast<size_t>(server.group->connections) + 1 - server.clearedConnections.size();
}

void GeneratedListCache::touch(Server& server, qint64 rows)
{
    if (!m_held.empty() && m_held.back().server == &server && rows < 0)
        return;  // the usual case: the same server's calls one after another
    const auto it = std::find_if(m_held.begin(), m_held.end(), [&](const Held& h) { return h.server == &server; });
    if (it != m_held.end()) {
        if (rows < 0)
            rows = it->rows;
        m_rows -= it->rows;
        m_held.erase(it);
    }
    rows = std::max<qint64>(rows, 0);
    m_held.push_back({&server, rows});
    m_rows += rows;
    while (m_held.size() > 2 && (m_rows > m_budget || m_held.size() > kMaxServersHeld)) {
        Held oldest = m_held.front();
        m_held.erase(m_held.begin());
        m_rows -= oldest.rows;
        oldest.server->lists.reset();
    }
}

}  // namespace nw::sim

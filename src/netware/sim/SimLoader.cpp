#include "netware/sim/SimLoader.h"

#include "netware/sim/SimDefaults.h"
#include "netware/sim/SimGenerator.h"
#include "text/CodePage.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QRegularExpression>
#include <QSet>

#include <cmath>
#include <limits>

namespace nw::sim {

namespace {

// Limits that keep a small description from asking for more than a desktop
// has: a generated group costs a few bytes of JSON however large it is.
constexpr qint64 kMaxLatencyMs = 10000;
constexpr qint64 kMaxGroups = 1000;
constexpr qint64 kMaxGeneratedServers = 100000;
constexpr qint64 kMaxGeneratedConnections = 10000000;
constexpr qint64 kMaxGeneratedOpenFiles = 10000000;
constexpr qint64 kMaxOpenFilesPerServer = 100000;
constexpr qint64 kMaxGeneratedVolumes = 1000000;
// What a description may hold besides generated servers: each described
// server carries its own lists, each container its place in the directory.
constexpr qint64 kMaxDescribedServers = 10000;
constexpr qint64 kMaxContainers = 100000;
// The document read from the file: objects and lists, and values of any kind.
constexpr qint64 kMaxJsonContainers = 500000;
constexpr qint64 kMaxJsonValues = 4000000;

const char* const kTypeNames[] = {"", "", "IPX", "NLM", "AFP", "FTAM", "ANCP", "ACP", "SMB", "WINSOCK", "HTTP", "IP"};

struct DescriptionError {
    QString path;
    QString problem;
};

[[noreturn]] void fail(const QString& path, const QString& problem)
{
    throw DescriptionError{path, problem};
}

QString member(const QString& path, const char* key)
{
    return path.isEmpty() ? QString::fromLatin1(key) : path + QLatin1Char('.') + QLatin1String(key);
}

QString element(const QString& path, qsizetype index)
{
    return path + QLatin1Char('[') + QString::number(index) + QLatin1Char(']');
}

QString kindOf(const QJsonValue& value)
{
    switch (value.type()) {
    case QJsonValue::Null:
        return QStringLiteral("null");
    case QJsonValue::Bool:
        return QStringLiteral("true/false");
    case QJsonValue::Double:
        return QStringLiteral("a number");
    case QJsonValue::String:
        return QStringLiteral("a text");
    case QJsonValue::Array:
        return QStringLiteral("a list");
    case QJsonValue::Object:
        return QStringLiteral("an object");
    case QJsonValue::Undefined:
        break;
    }
    return QStringLiteral("nothing");
}

// Typed reading of one JSON object with the path of each field for messages.
class Fields {
public:
    Fields(const QJsonValue& value, QString path) : m_path(std::move(path))
    {
        if (!value.isObject())
            fail(m_path, QStringLiteral("must be an object, not %1").arg(kindOf(value)));
        m_object = value.toObject();
    }

    const QString& path() const { return m_path; }
    bool has(const char* key) const { return m_object.contains(QLatin1String(key)); }
    QJsonValue value(const char* key) const { return m_object.value(QLatin1String(key)); }
    QString at(const char* key) const { return member(m_path, key); }

    QString text(const char* key, const QString& fallback = {}, int maxLength = 4096) const
    {
        if (!has(key))
            return fallback;
        return textOf(value(key), at(key), maxLength);
    }
    QString requiredText(const char* key, int maxLength = 4096) const
    {
        if (!has(key))
            fail(at(key), QStringLiteral("is required"));
        const QString result = text(key, {}, maxLength);
        if (result.trimmed().isEmpty())
            fail(at(key), QStringLiteral("must not be empty"));
        return result;
    }
    bool flag(const char* key, bool fallback) const
    {
        if (!has(key))
            return fallback;
        const QJsonValue v = value(key);
        if (!v.isBool())
            fail(at(key), QStringLiteral("must be true or false, not %1").arg(kindOf(v)));
        return v.toBool();
    }
    qint64 number(const char* key, qint64 low, qint64 high, qint64 fallback) const
    {
        if (!has(key))
            return fallback;
        return numberOf(value(key), at(key), low, high);
    }
    double real(const char* key, double low, double high, double fallback) const
    {
        if (!has(key))
            return fallback;
        const QJsonValue v = value(key);
        if (!v.isDouble())
            fail(at(key), QStringLiteral("must be a number, not %1").arg(kindOf(v)));
        const double d = v.toDouble();
        if (!(d >= low && d <= high))
            fail(at(key), QStringLiteral("must be from %1 to %2").arg(low).arg(high));
        return d;
    }
    // Status codes and bit fields: a number or a "0x..." text.
    quint32 code(const char* key, quint32 fallback, qint64 high = 0xFFFFFFFFLL) const
    {
        if (!has(key))
            return fallback;
        return codeOf(value(key), at(key), high);
    }
    QJsonArray list(const char* key) const
    {
        if (!has(key))
            return {};
        const QJsonValue v = value(key);
        if (!v.isArray())
            fail(at(key), QStringLiteral("must be a list, not %1").arg(kindOf(v)));
        return v.toArray();
    }
    std::optional<QDateTime> time(const char* key) const
    {
        if (!has(key))
            return std::nullopt;
        return timeOf(value(key), at(key));
    }

    static QString textOf(const QJsonValue& v, const QString& path, int maxLength = 4096)
    {
        if (!v.isString())
            fail(path, QStringLiteral("must be a text, not %1").arg(kindOf(v)));
        const QString s = v.toString();
        if (s.size() > maxLength)
            fail(path, QStringLiteral("is longer than %1 characters").arg(maxLength));
        return s;
    }
    static qint64 numberOf(const QJsonValue& v, const QString& path, qint64 low, qint64 high)
    {
        if (!v.isDouble())
            fail(path, QStringLiteral("must be a whole number, not %1").arg(kindOf(v)));
        const double d = v.toDouble();
        if (!std::isfinite(d) || d != std::floor(d))
            fail(path, QStringLiteral("must be a whole number"));
        if (d < static_cast<double>(low) || d > static_cast<double>(high))
            fail(path, QStringLiteral("must be a whole number from %1 to %2").arg(low).arg(high));
        return static_cast<qint64>(d);
    }
    static quint32 codeOf(const QJsonValue& v, const QString& path, qint64 high)
    {
        const qint64 low = high == 0xFFFFFFFFLL ? static_cast<qint64>(std::numeric_limits<qint32>::min()) : 0;
        if (v.isString()) {
            QString s = v.toString().trimmed();
            bool ok = false;
            qint64 n = 0;
            if (s.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
                n = s.mid(2).toLongLong(&ok, 16);
            else
                n = s.toLongLong(&ok, 10);
            if (!ok || s.size() > 12)
                fail(path, QStringLiteral("\"%1\" is not a number or 0x hexadecimal code").arg(v.toString()));
            if (n < low || n > high)
                fail(path, QStringLiteral("%1 is out of range (0 to 0x%2)").arg(v.toString()).arg(high, 0, 16));
            return static_cast<quint32>(n);
        }
        if (!v.isDouble())
            fail(path, QStringLiteral("must be a number or a \"0x...\" text, not %1").arg(kindOf(v)));
        return static_cast<quint32>(numberOf(v, path, low, high));
    }
    static QDateTime timeOf(const QJsonValue& v, const QString& path)
    {
        const QString s = textOf(v, path);
        QDateTime t = QDateTime::fromString(s, QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
        if (!t.isValid())
            fail(path, QStringLiteral("\"%1\" is not a time of the form YYYY-MM-DDTHH:MM:SS").arg(s));
        return t;
    }

private:
    QString m_path;
    QJsonObject m_object;
};

FaultMap readFaults(const Fields& f)
{
    FaultMap faults;
    if (!f.has("faults"))
        return faults;
    const Fields map(f.value("faults"), f.at("faults"));
    const QJsonObject object = f.value("faults").toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QString path = map.path() + QLatin1Char('.') + it.key();
        if (!it.key().startsWith(QLatin1String("NW")))
            fail(path, QStringLiteral("\"%1\" is not the name of a client call").arg(it.key()));
        faults.insert(it.key(), Fields::codeOf(it.value(), path, 0xFFFFFFFFLL));
    }
    return faults;
}

struct Version {
    quint32 major = 0, minor = 0, revision = 0;
};

Version readVersion(const Fields& f, const char* key, Version fallback, quint32 partLimit)
{
    if (!f.has(key))
        return fallback;
    const QString s = f.text(key);
    static const QRegularExpression form(QStringLiteral("^(\\d{1,10})\\.(\\d{1,10})\\.(\\d{1,10})$"));
    const auto match = form.match(s.trimmed());
    if (!match.hasMatch())
        fail(f.at(key), QStringLiteral("\"%1\" is not a version of the form major.minor.revision").arg(s));
    Version v;
    quint32* parts[] = {&v.major, &v.minor, &v.revision};
    for (int i = 0; i < 3; ++i) {
        const qint64 n = match.captured(i + 1).toLongLong();
        if (n > partLimit)
            fail(f.at(key), QStringLiteral("\"%1\": each part must be at most %2").arg(s).arg(partLimit));
        *parts[i] = static_cast<quint32>(n);
    }
    return v;
}

// Characters a NetWare server name cannot hold.
bool isServerName(const QString& name)
{
    static const QRegularExpression badChars(QStringLiteral("[ .\\\\/:*?\"<>|,;=\\[\\]]"));
    return !name.contains(badChars)
           && std::none_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x20; });
}

QString stripDot(const QString& name)
{
    return name.startsWith(QLatin1Char('.')) ? name.mid(1) : name;
}

class Loader {
public:
    Loader(QString baseDir) : m_baseDir(std::move(baseDir)) {}

    std::unique_ptr<Network> load(const QJsonValue& root)
    {
        auto net = std::make_unique<Network>();
        const Fields top(root, QString());
        if (!top.has("format"))
            fail(QStringLiteral("format"), QStringLiteral("is required (the value 1)"));
        if (top.number("format", 0, 1000000, 0) != 1)
            fail(QStringLiteral("format"), QStringLiteral("must be 1 (the only format this program reads)"));
        net->clock = top.time("clock");
        m_reference = net->clock.value_or(QDateTime::currentDateTime());
        net->latencyMs = static_cast<int>(top.number("latencyMs", 0, kMaxLatencyMs, 0));
        if (top.has("fileRoot")) {
            const QString folder = top.text("fileRoot");
            net->fileRoot = QDir::cleanPath(QDir(m_baseDir).absoluteFilePath(folder));
        }
        net->clientInstalled = top.flag("clientInstalled", true);
        net->faults = readFaults(top);
        net->nlmListBatch = static_cast<int>(top.number("nlmListBatch", 1, NLMLoadedList::MaxNumbers, 32));
        net->searchBatch = static_cast<int>(top.number("searchBatch", 1, 100000, 25));

        if (!top.has("trees"))
            fail(QStringLiteral("trees"), QStringLiteral("is required (a list of directory trees)"));
        const QJsonArray trees = top.list("trees");
        if (trees.isEmpty())
            fail(QStringLiteral("trees"), QStringLiteral("must name at least one tree"));
        for (qsizetype i = 0; i < trees.size(); ++i)
            readTree(*net, Fields(trees.at(i), element(QStringLiteral("trees"), i)));

        const QJsonArray servers = top.list("servers");
        if (servers.size() > kMaxDescribedServers)
            fail(QStringLiteral("servers"),
                 QStringLiteral("has %1 servers; at most %2 can be described (use \"generate\" for more)")
                     .arg(servers.size())
                     .arg(kMaxDescribedServers));
        net->servers.reserve(static_cast<size_t>(servers.size()));
        for (qsizetype i = 0; i < servers.size(); ++i)
            readServer(*net, Fields(servers.at(i), element(QStringLiteral("servers"), i)));

        const QJsonArray groups = top.list("generate");
        if (groups.size() > kMaxGroups)
            fail(QStringLiteral("generate"),
                 QStringLiteral("has %1 groups; at most %2 are allowed").arg(groups.size()).arg(kMaxGroups));
        // Every group is read and checked against the limits before any server is made.
        std::vector<std::pair<std::shared_ptr<GeneratedGroup>, qsizetype>> generated;
        for (qsizetype i = 0; i < groups.size(); ++i)
            generated.emplace_back(readGroup(*net, Fields(groups.at(i), element(QStringLiteral("generate"), i))), i);
        // Room for every group's servers at once: the list never moves while groups are added.
        net->servers.reserve(net->servers.size() + static_cast<size_t>(m_generatedServers));
        for (const auto& [group, i] : generated)
            addGroup(*net, group, Fields(groups.at(i), element(QStringLiteral("generate"), i)));

        checkReplicas(*net);
        addOwnConnections(*net);
        readWorkstation(*net, top);
        return net;
    }

private:
    void readTree(Network& net, const Fields& f)
    {
        Tree tree;
        tree.name = f.requiredText("name", 32);
        if (net.treeIndex.contains(nameKey(tree.name)))
            fail(f.at("name"), QStringLiteral("tree \"%1\" is described twice").arg(tree.name));
        tree.reachable = f.flag("reachable", true);
        tree.advertised = f.flag("advertised", true);
        readContainers(tree, f.list("containers"), f.at("containers"), -1, 0);
        const QJsonArray users = f.list("users");
        for (qsizetype i = 0; i < users.size(); ++i) {
            const Fields u(users.at(i), element(f.at("users"), i));
            TreeUser user;
            user.name = u.requiredText("name", kMaxNameComponent);
            user.context = stripDot(u.text("context"));
            if (!user.context.isEmpty() && tree.findContainer(user.context) < 0)
                fail(u.at("context"), QStringLiteral("no container \"%1\" in tree %2").arg(user.context, tree.name));
            checkFullName(user.name, user.context, u.at("name"));
            user.password = u.text("password");
            tree.users.push_back(user);
        }
        const QJsonArray partitions = f.list("partitions");
        for (qsizetype i = 0; i < partitions.size(); ++i) {
            const Fields p(partitions.at(i), element(f.at("partitions"), i));
            Partition partition;
            partition.name = stripDot(p.requiredText("name", kMaxDistinguishedName));
            if (partition.name.compare(QLatin1String("[Root]"), Qt::CaseInsensitive) != 0
                && tree.findContainer(partition.name) < 0)
                fail(p.at("name"), QStringLiteral("no container \"%1\" in tree %2").arg(partition.name, tree.name));
            const QJsonArray replicas = p.list("replicas");
            for (qsizetype r = 0; r < replicas.size(); ++r) {
                const Fields rf(replicas.at(r), element(p.at("replicas"), r));
                Replica replica;
                replica.server = rf.requiredText("server", kMaxServerName);
                replica.type = static_cast<quint32>(rf.number("type", 0, 3, 1));
                replica.state = rf.code("state", 0);
                replica.replicaNumber = static_cast<quint32>(rf.number("replicaNumber", 0, 65535, r + 1));
                replica.modified = rf.time("modified").value_or(m_reference);
                replica.purged = rf.time("purged").value_or(m_reference);
                partition.replicas.push_back(replica);
            }
            tree.partitions.push_back(std::move(partition));
        }
        tree.faults = readFaults(f);
        net.treeIndex.insert(nameKey(tree.name), static_cast<int>(net.trees.size()));
        net.trees.push_back(std::move(tree));
    }

    // The containers of one level below `parent` (-1: the root), whose dotted
    // name is parentLength characters long. The full name of each is checked
    // before its children are read, which also bounds how deep they nest.
    void readContainers(Tree& tree, const QJsonArray& list, const QString& path, int parent, qsizetype parentLength)
    {
        for (qsizetype i = 0; i < list.size(); ++i) {
            const Fields c(list.at(i), element(path, i));
            QString name = c.requiredText("name", kMaxNameComponent);
            if (name.contains(QLatin1Char('.')) || name.contains(QLatin1Char('\\')))
                fail(c.at("name"), QStringLiteral("a container name cannot hold \".\" or \"\\\""));
            if (tree.findChild(parent, name) >= 0)
                fail(c.at("name"), QStringLiteral("container \"%1\" appears twice at this level").arg(name));
            const qsizetype length = parentLength == 0 ? name.size() : parentLength + 1 + name.size();
            if (length > kMaxDistinguishedName)
                fail(c.at("name"),
                     QStringLiteral("the container's full name would be %1 characters long; at most %2 are allowed")
                         .arg(length)
                         .arg(kMaxDistinguishedName));
            if (++m_containers > kMaxContainers)
                fail(c.at("name"), QStringLiteral("the description has more than %1 containers").arg(kMaxContainers));
            const int index =
                tree.addContainer(std::move(name), c.text("class", QStringLiteral("Organizational Unit"), 32), parent);
            readContainers(tree, c.list("children"), c.at("children"), index, length);
        }
    }

    // A leaf's full dotted name (the leaf, a dot and its container) within NetWare's length.
    static void checkFullName(const QString& leaf, const QString& container, const QString& path)
    {
        const qsizetype length = container.isEmpty() ? leaf.size() : leaf.size() + 1 + container.size();
        if (length > kMaxDistinguishedName)
            fail(path, QStringLiteral("the full name \"%1.%2\" is %3 characters long; at most %4 are allowed")
                           .arg(leaf, container)
                           .arg(length)
                           .arg(kMaxDistinguishedName));
    }

    const Tree& treeOf(const Network& net, const Fields& f, const char* key)
    {
        const QString name = f.requiredText(key, 32);
        const Tree* tree = net.findTree(name);
        if (!tree)
            fail(f.at(key), QStringLiteral("no tree named \"%1\"").arg(name));
        return *tree;
    }

    QString contextIn(const Tree& tree, const Fields& f)
    {
        QString context = stripDot(f.text("context"));
        if (context.isEmpty())
            return tree.topContainers.empty() ? QString()
                                              : tree.containers[static_cast<size_t>(tree.topContainers.front())].name;
        if (context.compare(QLatin1String("[Root]"), Qt::CaseInsensitive) == 0)
            return QString();
        // Servers are mostly described in a few containers: each is looked up once.
        const QString key = nameKey(tree.name) + QLatin1Char('\n') + nameKey(context);
        auto known = m_knownContexts.constFind(key);
        if (known == m_knownContexts.cend())
            known = m_knownContexts.insert(key, tree.findContainer(context) >= 0);
        if (!*known)
            fail(f.at("context"), QStringLiteral("no container \"%1\" in tree %2").arg(context, tree.name));
        return context;
    }

    void addServer(Network& net, Server&& server, const QString& path)
    {
        if (net.serverIndex.contains(nameKey(server.name)))
            fail(path, QStringLiteral("server \"%1\" is described twice").arg(server.name));
        net.serverIndex.insert(nameKey(server.name), static_cast<int>(net.servers.size()));
        net.servers.push_back(std::move(server));
    }

    void readServer(Network& net, const Fields& f)
    {
        Server s;
        s.name = f.requiredText("name", kMaxServerName);
        if (!isServerName(s.name))
            fail(f.at("name"), QStringLiteral("\"%1\" is not a valid server name").arg(s.name));
        const Tree& tree = treeOf(net, f, "tree");
        s.tree = tree.name;
        s.context = contextIn(tree, f);
        checkFullName(s.name, s.context, f.at("name"));
        s.reachable = f.flag("reachable", true);
        const Version v = readVersion(f, "version", {5, 70, 8}, 255);
        s.major = static_cast<quint8>(v.major);
        s.minor = static_cast<quint8>(v.minor);
        s.revision = static_cast<quint8>(v.revision);
        s.company = f.text("company", defaultCompany(), 255);
        s.revisionText = f.text("revisionText", defaultRevisionText(), 255);
        s.revisionDate = f.text("revisionDate", defaultRevisionDate(), 255);
        s.notice = f.text("notice", defaultNotice(), 255);
        s.dsVersion = static_cast<qint32>(f.number("dsVersion", 0, std::numeric_limits<qint32>::max(), 10552));
        s.upSeconds = f.number("upSeconds", 0, 4000000000LL / 19, 86400);
        s.clockOffsetSeconds = f.number("clockOffsetSeconds", -3153600000LL, 3153600000LL, 0);
        readUtilization(s, f);
        s.maxConnections = static_cast<quint32>(f.number("maxConnections", 1, 65535, 250));
        if (f.has("licences"))
            s.licences = static_cast<quint32>(f.number("licences", 0, 65535, 0));
        if (f.has("latencyMs"))
            s.latencyMs = static_cast<int>(f.number("latencyMs", 0, kMaxLatencyMs, 0));
        s.faults = readFaults(f);
        s.volumes = f.has("volumes") ? readVolumes(f) : defaultVolumes();

        ServerLists lists;
        lists.nlms = f.has("nlms") ? readNlms(f) : defaultNlms();
        lists.setParameters = f.has("setParameters") ? readParameters(f) : defaultSetParameters();
        readConnections(s, lists, f);
        s.lists = std::move(lists);
        addServer(net, std::move(s), f.at("name"));
    }

    void readUtilization(Server& s, const Fields& f)
    {
        s.walk.seed = static_cast<quint32>(qHash(nameKey(s.name)));
        if (!f.has("utilization"))
            return;
        const QJsonValue v = f.value("utilization");
        if (v.isArray()) {
            const QJsonArray list = v.toArray();
            if (list.isEmpty())
                fail(f.at("utilization"), QStringLiteral("the list of percentages is empty"));
            for (qsizetype i = 0; i < list.size(); ++i)
                s.utilization.push_back(
                    static_cast<int>(Fields::numberOf(list.at(i), element(f.at("utilization"), i), 0, 100)));
            return;
        }
        const Fields w(v, f.at("utilization"));
        s.walk.min = static_cast<int>(w.number("min", 0, 100, 2));
        s.walk.max = static_cast<int>(w.number("max", 0, 100, 40));
        s.walk.seed = static_cast<quint32>(w.number("seed", 0, 0xFFFFFFFFLL, s.walk.seed));
        if (s.walk.min > s.walk.max)
            fail(w.at("min"), QStringLiteral("min (%1) is above max (%2)").arg(s.walk.min).arg(s.walk.max));
    }

    std::vector<Volume> readVolumes(const Fields& f)
    {
        std::vector<Volume> volumes;
        const QJsonArray list = f.list("volumes");
        QSet<QString> names;
        QSet<quint32> numbers;
        for (qsizetype i = 0; i < list.size(); ++i) {
            const Fields vf(list.at(i), element(f.at("volumes"), i));
            Volume v;
            v.name = vf.requiredText("name", 15);
            if (v.name.contains(QLatin1Char(':')) || v.name.contains(QLatin1Char('\\'))
                || v.name.contains(QLatin1Char('/')))
                fail(vf.at("name"), QStringLiteral("\"%1\" is not a valid volume name").arg(v.name));
            v.number = static_cast<quint32>(vf.number("number", 0, 255, i));
            v.sectorsPerBlock = static_cast<quint32>(vf.number("sectorsPerBlock", 1, 255, 8));
            v.totalBlocks = static_cast<quint32>(vf.number("totalBlocks", 0, 0xFFFFFFFFLL, 262144));
            v.availableBlocks = static_cast<quint32>(vf.number("availableBlocks", 0, 0xFFFFFFFFLL, v.totalBlocks / 2));
            v.purgeableBlocks = static_cast<quint32>(vf.number("purgeableBlocks", 0, 0xFFFFFFFFLL, 0));
            v.notYetPurgeableBlocks = static_cast<quint32>(vf.number("notYetPurgeableBlocks", 0, 0xFFFFFFFFLL, 0));
            v.mounted = vf.flag("mounted", true);
            if (v.availableBlocks > v.totalBlocks)
                fail(vf.at("availableBlocks"), QStringLiteral("is more than totalBlocks (%1)").arg(v.totalBlocks));
            if (names.contains(nameKey(v.name)))
                fail(vf.at("name"), QStringLiteral("volume \"%1\" appears twice").arg(v.name));
            if (numbers.contains(v.number))
                fail(vf.at("number"), QStringLiteral("volume number %1 is used twice").arg(v.number));
            names.insert(nameKey(v.name));
            numbers.insert(v.number);
            volumes.push_back(v);
        }
        return volumes;
    }

    std::vector<Nlm> readNlms(const Fields& f)
    {
        std::vector<Nlm> nlms;
        const QJsonArray list = f.list("nlms");
        QSet<quint32> numbers;
        quint32 next = 1;
        for (qsizetype i = 0; i < list.size(); ++i) {
            const Fields nf(list.at(i), element(f.at("nlms"), i));
            Nlm n;
            n.number = static_cast<quint32>(nf.number("number", 1, 0xFFFFFFFELL, next));
            if (numbers.contains(n.number))
                fail(nf.at("number"), QStringLiteral("module number %1 is used twice").arg(n.number));
            numbers.insert(n.number);
            next = n.number + 1;
            n.file = nf.requiredText("file", 99);
            n.name = nf.text("name", {}, 254);
            n.notice = nf.text("notice", {}, 254);
            const Version v = readVersion(nf, "version", {1, 0, 0}, 0xFFFFFFFFU);
            n.major = v.major;
            n.minor = v.minor;
            n.revision = v.revision;
            if (nf.has("date")) {
                const QString s = nf.text("date");
                const QDate d = QDate::fromString(s, QStringLiteral("yyyy-MM-dd"));
                if (!d.isValid())
                    fail(nf.at("date"), QStringLiteral("\"%1\" is not a date of the form YYYY-MM-DD").arg(s));
                n.year = static_cast<quint32>(d.year());
                n.month = static_cast<quint32>(d.month());
                n.day = static_cast<quint32>(d.day());
            } else {
                n.year = 2008;
                n.month = 1;
                n.day = 1;
            }
            nlms.push_back(n);
        }
        std::sort(nlms.begin(), nlms.end(), [](const Nlm& a, const Nlm& b) { return a.number < b.number; });
        return nlms;
    }

    static QByteArray parseHex(const QString& text, const QString& path)
    {
        QString compact = text;
        compact.remove(QLatin1Char(' '));
        if (compact.size() % 2 != 0)
            fail(path, QStringLiteral("\"%1\" is not hexadecimal bytes (odd number of digits)").arg(text));
        static const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]*$"));
        if (!hex.match(compact).hasMatch())
            fail(path, QStringLiteral("\"%1\" is not hexadecimal bytes").arg(text));
        return QByteArray::fromHex(compact.toLatin1());
    }

    std::vector<SetParameter> readParameters(const Fields& f)
    {
        std::vector<SetParameter> params;
        const QJsonArray list = f.list("setParameters");
        for (qsizetype i = 0; i < list.size(); ++i) {
            const Fields pf(list.at(i), element(f.at("setParameters"), i));
            SetParameter p;
            p.name = pf.requiredText("name", 255);
            p.category = static_cast<quint32>(pf.number("category", 0, 0xFFFFFFFFLL, 0));
            p.type = static_cast<quint32>(pf.number("type", 0, 0xFFFFFFFFLL, 0));
            if (pf.has("raw")) {
                p.value = parseHex(pf.text("raw"), pf.at("raw"));
            } else {
                const QJsonValue v = pf.value("value");
                const QString at = pf.at("value");
                switch (p.type) {
                case 0:
                case 2:
                case 4:
                    p.value =
                        numberValue(pf.has("value") ? static_cast<quint32>(Fields::numberOf(
                                        v, at, p.type == 4 ? std::numeric_limits<qint32>::min() : 0, 0xFFFFFFFFLL))
                                                    : 0U);
                    break;
                case 1:
                    if (pf.has("value") && !v.isBool())
                        fail(at, QStringLiteral("an on/off parameter takes true or false, not %1").arg(kindOf(v)));
                    p.value = QByteArray(1, v.toBool() ? '\1' : '\0');
                    break;
                case 3:
                case 5:
                    p.value = pf.has("value") ? texts::toWindows1252Lossy(Fields::textOf(v, at, 400)) : QByteArray();
                    break;
                case 6:
                    if (pf.has("value"))
                        fail(at, QStringLiteral("a trigger parameter (type 6) has no value"));
                    break;
                default:
                    if (pf.has("value"))
                        fail(at, QStringLiteral("type %1 takes its value as \"raw\" hexadecimal bytes").arg(p.type));
                    break;
                }
            }
            if (texts::toWindows1252Lossy(p.name).size() + 1 + p.value.size() > 500)
                fail(pf.path(), QStringLiteral("name and value do not fit in 500 bytes"));
            params.push_back(std::move(p));
        }
        return params;
    }

    void readConnections(Server& s, ServerLists& lists, const Fields& f)
    {
        const QJsonArray list = f.list("connections");
        QSet<quint32> numbers;
        for (qsizetype i = 0; i < list.size(); ++i) {
            const Fields cf(list.at(i), element(f.at("connections"), i));
            Connection c;
            if (!cf.has("number"))
                fail(cf.at("number"), QStringLiteral("is required (1 to 65535)"));
            c.number = static_cast<quint32>(cf.number("number", 1, 65535, 0));
            if (numbers.contains(c.number))
                fail(cf.at("number"), QStringLiteral("connection number %1 is used twice").arg(c.number));
            numbers.insert(c.number);
            if (cf.has("type")) {
                const QJsonValue t = cf.value("type");
                if (t.isString()) {
                    c.type = connectionTypeCode(t.toString());
                    if (c.type == 0)
                        fail(cf.at("type"), QStringLiteral("\"%1\" is not a connection type (IPX, NLM, AFP, FTAM, "
                                                           "ANCP, ACP, SMB, WINSOCK, HTTP, IP)")
                                                .arg(t.toString()));
                } else {
                    c.type = static_cast<quint32>(Fields::numberOf(t, cf.at("type"), 2, 11));
                }
            }
            c.status = cf.code("status", 0x0020);
            c.user = cf.text("user", QStringLiteral("NOT-LOGGED-IN"), 254);
            c.objectType = static_cast<quint32>(cf.number("objectType", 0, 0xFFFF, 1));
            c.objectId = cf.code("objectId", 0x01000000U + (static_cast<quint32>(qHash(nameKey(c.user))) & 0xFFFFFF));
            if (cf.has("loginTime"))
                c.loginTime = *cf.time("loginTime");
            else
                c.loginTime = m_reference.addSecs(-60 * cf.number("loginMinutesAgo", 0, 100LL * 365 * 1440, 60));
            const qint64 counterMax = (1LL << 48) - 1;
            c.bytesRead = static_cast<quint64>(cf.number("bytesRead", 0, counterMax, 0));
            c.bytesWritten = static_cast<quint64>(cf.number("bytesWritten", 0, counterMax, 0));
            c.requests = static_cast<quint32>(cf.number("requests", 0, 0xFFFFFFFFLL, 0));
            c.bytesReadPerSecond = static_cast<quint64>(cf.number("bytesReadPerSecond", 0, 1LL << 32, 0));
            c.bytesWrittenPerSecond = static_cast<quint64>(cf.number("bytesWrittenPerSecond", 0, 1LL << 32, 0));
            c.requestsPerSecond = static_cast<quint32>(cf.number("requestsPerSecond", 0, 1000000, 0));
            c.messageResult = static_cast<quint8>(cf.code("messageResult", c.status == 0 ? 2 : 0, 255));
            const QJsonArray files = cf.list("openFiles");
            for (qsizetype k = 0; k < files.size(); ++k) {
                const Fields of(files.at(k), element(cf.at("openFiles"), k));
                OpenFile file;
                file.volume = of.requiredText("volume", 15);
                bool known = false;
                for (const Volume& v : s.volumes)
                    known = known || nameKey(v.name) == nameKey(file.volume);
                if (!known)
                    fail(of.at("volume"), QStringLiteral("server %1 has no volume \"%2\"").arg(s.name, file.volume));
                file.path = of.requiredText("path", 255);
                while (file.path.startsWith(QLatin1Char('\\')))
                    file.path.remove(0, 1);
                const qint64 ns = of.number("nameSpace", 0, 255, NW_NS_LONG);
                if (ns != NW_NS_DOS && ns != NW_NS_LONG)
                    fail(of.at("nameSpace"), QStringLiteral("must be 0 (DOS) or 4 (long names)"));
                file.nameSpace = static_cast<quint8>(ns);
                file.lockFlags = static_cast<quint8>(of.code("lockFlags", 0x08, 255));
                c.openFiles.push_back(file);
            }
            lists.connections.push_back(std::move(c));
        }
        std::sort(lists.connections.begin(), lists.connections.end(),
                  [](const Connection& a, const Connection& b) { return a.number < b.number; });

        if (f.has("ownConnection")) {
            s.ownConnection = static_cast<quint32>(f.number("ownConnection", 1, 65535, 0));
        } else {
            quint32 lowest = 1;
            while (numbers.contains(lowest))
                ++lowest;
            if (lowest > 65535)
                fail(f.at("connections"), QStringLiteral("no connection number is left for this workstation"));
            s.ownConnection = lowest;
        }
        if (!numbers.contains(s.ownConnection))
            m_pendingOwn.push_back({s.name, s.ownConnection});
    }

    std::shared_ptr<GeneratedGroup> readGroup(Network& net, const Fields& f)
    {
        auto group = std::make_shared<GeneratedGroup>();
        group->prefix = f.requiredText("prefix", 40);
        if (!isServerName(group->prefix))
            fail(f.at("prefix"), QStringLiteral("\"%1\" cannot begin a server name").arg(group->prefix));
        group->count = static_cast<int>(f.number("count", 0, kMaxGeneratedServers, 0));
        const Tree& tree = treeOf(net, f, "tree");
        group->tree = tree.name;
        group->context = contextIn(tree, f);
        const int digits = std::max(3, static_cast<int>(QString::number(group->count).size()));
        checkFullName(group->prefix + QString(digits, QLatin1Char('9')), group->context, f.at("prefix"));
        group->nlms = static_cast<int>(f.number("nlms", 0, 10000, 40));
        group->setParameters = static_cast<int>(f.number("setParameters", 0, 10000, 60));
        group->connections = static_cast<int>(f.number("connections", 0, 65534, 20));
        group->volumes = static_cast<int>(f.number("volumes", 1, 64, 1));
        group->openFilesPerConnection = static_cast<int>(f.number("openFilesPerConnection", 0, 100, 0));
        group->differences = f.real("differences", 0.0, 1.0, 0.05);
        group->seed = static_cast<quint32>(f.number("seed", 0, 0xFFFFFFFFLL, 1));
        checkGroupTotals(*group, f);
        group->reference = QDateTime(m_reference.date(), m_reference.time(), Qt::UTC);
        group->cache = m_listCache;
        return group;
    }

    void addGroup(Network& net, const std::shared_ptr<GeneratedGroup>& group, const Fields& f)
    {
        const auto before = net.servers.size();
        addGeneratedServers(net, group);
        for (auto i = before; i < net.servers.size(); ++i) {
            const QString name = net.servers[i].name;
            const auto existing = net.serverIndex.constFind(nameKey(name));
            if (existing != net.serverIndex.cend())
                fail(f.at("prefix"), QStringLiteral("generated server \"%1\" is already described").arg(name));
            net.serverIndex.insert(nameKey(name), static_cast<int>(i));
        }
    }

    // Refuses a group that would take the generated servers beyond the limits,
    // before anything of it is made.
    void checkGroupTotals(const GeneratedGroup& group, const Fields& f)
    {
        const qint64 count = group.count;
        const qint64 perServerFiles = static_cast<qint64>(group.connections) * group.openFilesPerConnection;
        if (perServerFiles > kMaxOpenFilesPerServer)
            fail(f.at("openFilesPerConnection"),
                 QStringLiteral(
                     "%1 connections with %2 open files each make %3 open files on each server; at most %4 are allowed")
                     .arg(group.connections)
                     .arg(group.openFilesPerConnection)
                     .arg(perServerFiles)
                     .arg(kMaxOpenFilesPerServer));
        m_generatedServers += count;
        if (m_generatedServers > kMaxGeneratedServers)
            fail(f.at("count"),
                 QStringLiteral("the generated groups would have %1 servers in all; at most %2 are allowed")
                     .arg(m_generatedServers)
                     .arg(kMaxGeneratedServers));
        m_generatedConnections += count * group.connections;
        if (m_generatedConnections > kMaxGeneratedConnections)
            fail(f.at("connections"),
                 QStringLiteral("the generated groups would have %1 connections in all; at most %2 are allowed")
                     .arg(m_generatedConnections)
                     .arg(kMaxGeneratedConnections));
        m_generatedVolumes += count * group.volumes;
        if (m_generatedVolumes > kMaxGeneratedVolumes)
            fail(f.at("volumes"),
                 QStringLiteral("the generated groups would have %1 volumes in all; at most %2 are allowed")
                     .arg(m_generatedVolumes)
                     .arg(kMaxGeneratedVolumes));
        m_generatedOpenFiles += count * perServerFiles;
        if (m_generatedOpenFiles > kMaxGeneratedOpenFiles)
            fail(f.at("openFilesPerConnection"),
                 QStringLiteral("the generated groups would have %1 open files in all; at most %2 are allowed")
                     .arg(m_generatedOpenFiles)
                     .arg(kMaxGeneratedOpenFiles));
    }

    void checkReplicas(const Network& net)
    {
        for (size_t t = 0; t < net.trees.size(); ++t) {
            for (size_t p = 0; p < net.trees[t].partitions.size(); ++p) {
                for (size_t r = 0; r < net.trees[t].partitions[p].replicas.size(); ++r) {
                    const Replica& replica = net.trees[t].partitions[p].replicas[r];
                    if (net.findServer(replica.server) < 0) {
                        const QString path =
                            element(member(element(member(element(QStringLiteral("trees"), static_cast<qsizetype>(t)),
                                                          "partitions"),
                                                   static_cast<qsizetype>(p)),
                                           "replicas"),
                                    static_cast<qsizetype>(r));
                        fail(member(path, "server"), QStringLiteral("no server named \"%1\"").arg(replica.server));
                    }
                }
            }
        }
    }

    // The workstation's own connection, when the description does not list it.
    void addOwnConnections(Network& net)
    {
        const QDateTime loginTime = m_reference.addSecs(-3600);  // one time-zone lookup for all
        for (const auto& [serverName, number] : m_pendingOwn) {
            Server& s = net.servers[static_cast<size_t>(net.findServer(serverName))];
            Connection own;
            own.number = number;
            own.type = 11;
            own.status = 0x0020;
            own.loginTime = loginTime;
            s.lists->connections.push_back(std::move(own));  // user filled in below
            std::sort(s.lists->connections.begin(), s.lists->connections.end(),
                      [](const Connection& a, const Connection& b) { return a.number < b.number; });
        }
    }

    void readWorkstation(Network& net, const Fields& top)
    {
        Workstation& ws = net.workstation;
        const Tree& first = net.trees.front();
        if (!top.has("workstation")) {
            defaultLogins(net);
        } else {
            const Fields w(top.value("workstation"), QStringLiteral("workstation"));
            if (w.has("tree")) {
                const Tree& tree = treeOf(net, w, "tree");
                ws.tree = tree.name;
            }
            if (w.has("context")) {
                const Tree& tree = ws.tree.isEmpty() ? first : *net.findTree(ws.tree);
                const QString context = contextIn(tree, w);
                ws.context = context.isEmpty() ? QStringLiteral("[Root]") : context;
            }
            if (w.has("logins")) {
                const Fields logins(w.value("logins"), w.at("logins"));
                const QJsonObject object = w.value("logins").toObject();
                for (auto it = object.begin(); it != object.end(); ++it) {
                    const QString path = logins.path() + QLatin1Char('.') + it.key();
                    const Tree* tree = net.findTree(it.key());
                    if (!tree)
                        fail(path, QStringLiteral("no tree named \"%1\"").arg(it.key()));
                    const QString user = stripDot(Fields::textOf(it.value(), path, 255));
                    if (user.isEmpty())
                        fail(path, QStringLiteral("must name the logged-in user"));
                    ws.logins.emplace_back(tree->name, user);
                }
            } else {
                defaultLogins(net);
            }
            const QJsonArray connected = w.list("connectedTrees");
            for (qsizetype i = 0; i < connected.size(); ++i) {
                const QString path = element(w.at("connectedTrees"), i);
                const QString name = Fields::textOf(connected.at(i), path, 32);
                const Tree* tree = net.findTree(name);
                if (!tree)
                    fail(path, QStringLiteral("no tree named \"%1\"").arg(name));
                ws.connectedTrees.append(tree->name);
            }
            if (w.has("drives"))
                readDrives(net, w);
            const QJsonArray local = w.has("localDrives") ? w.list("localDrives") : QJsonArray{QStringLiteral("C")};
            for (qsizetype i = 0; i < local.size(); ++i) {
                const QString path = element(w.at("localDrives"), i);
                const int drive = driveNumber(Fields::textOf(local.at(i), path, 2), path);
                if (ws.drives.count(drive))
                    fail(path,
                         QStringLiteral("drive %1: is both a local and a network drive").arg(QChar(u'A' + drive - 1)));
                ws.localDrives.append(drive);
            }
        }
        if (!top.has("workstation"))
            ws.localDrives = {3};
        if (ws.tree.isEmpty())
            ws.tree = first.name;
        if (!top.has("workstation")
            || !Fields(top.value("workstation"), QStringLiteral("workstation")).has("connectedTrees"))
            for (const auto& login : ws.logins)
                ws.connectedTrees.append(login.first);

        // Own connections added above carry the workstation's login of the tree.
        for (const auto& [serverName, number] : m_pendingOwn) {
            Server& s = net.servers[static_cast<size_t>(net.findServer(serverName))];
            QString user = QStringLiteral("NOT-LOGGED-IN");
            for (const auto& login : ws.logins)
                if (nameKey(login.first) == nameKey(s.tree))
                    user = login.second.toUpper();
            for (Connection& c : s.lists->connections)
                if (c.number == number) {
                    c.user = user;
                    c.objectId = 0x01000000U + (static_cast<quint32>(qHash(nameKey(user))) & 0xFFFFFF);
                }
        }
    }

    void defaultLogins(Network& net)
    {
        const Tree& first = net.trees.front();
        const QString container = first.containers.empty() ? QString() : first.containers.front().name;
        net.workstation.logins.emplace_back(first.name, container.isEmpty() ? QStringLiteral("admin")
                                                                            : QStringLiteral("admin.") + container);
    }

    static int driveNumber(const QString& letter, const QString& path)
    {
        QString l = letter.trimmed().toUpper();
        if (l.endsWith(QLatin1Char(':')))
            l.chop(1);
        if (l.size() != 1 || l[0] < QLatin1Char('A') || l[0] > QLatin1Char('Z'))
            fail(path, QStringLiteral("\"%1\" is not a drive letter A to Z").arg(letter));
        return l[0].unicode() - u'A' + 1;
    }

    void readDrives(Network& net, const Fields& w)
    {
        const Fields drives(w.value("drives"), w.at("drives"));
        const QJsonObject object = w.value("drives").toObject();
        for (auto it = object.begin(); it != object.end(); ++it) {
            const QString path = drives.path() + QLatin1Char('.') + it.key();
            const int drive = driveNumber(it.key(), path);
            const QString target = Fields::textOf(it.value(), path, 255);
            const qsizetype slash = target.indexOf(QLatin1Char('/'));
            const qsizetype colon = target.indexOf(QLatin1Char(':'));
            if (slash <= 0 || colon <= slash + 1)
                fail(path, QStringLiteral("\"%1\" is not of the form SERVER/VOLUME:PATH").arg(target));
            const int server = net.findServer(target.left(slash));
            if (server < 0)
                fail(path, QStringLiteral("no server named \"%1\"").arg(target.left(slash)));
            const QString volume = target.mid(slash + 1, colon - slash - 1);
            const Server& s = net.servers[static_cast<size_t>(server)];
            const auto v = std::find_if(s.volumes.begin(), s.volumes.end(),
                                        [&](const Volume& each) { return nameKey(each.name) == nameKey(volume); });
            if (v == s.volumes.end())
                fail(path, QStringLiteral("server %1 has no volume \"%2\"").arg(target.left(slash), volume));
            // Kept with the names as the server writes them.
            net.workstation.drives[drive] = s.name + QLatin1Char('/') + v->name + target.mid(colon);
        }
    }

    QString m_baseDir;
    QDateTime m_reference;
    qint64 m_containers = 0;
    QHash<QString, bool> m_knownContexts;  // tree and context, without case -> names a container
    std::shared_ptr<GeneratedListCache> m_listCache = std::make_shared<GeneratedListCache>();
    qint64 m_generatedServers = 0;
    qint64 m_generatedConnections = 0;
    qint64 m_generatedOpenFiles = 0;
    qint64 m_generatedVolumes = 0;
    std::vector<std::pair<QString, quint32>> m_pendingOwn;
};

// How many objects and lists a JSON text holds, and how many values in all,
// counted without building the document: a small text of empty lists or
// numbers would otherwise become a document many times its size.
struct JsonShape {
    qint64 containers = 0;
    qint64 values = 0;
};

JsonShape jsonShape(const QByteArray& json)
{
    JsonShape shape;
    bool inString = false;
    bool escaped = false;
    for (const char c : json) {
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
            continue;
        }
        switch (c) {
        case '"':
            inString = true;
            break;
        case '{':
        case '[':
            ++shape.containers;
            ++shape.values;
            break;
        case ',':
            ++shape.values;
            break;
        default:
            break;
        }
    }
    return shape;
}

QString lineAndColumn(const QByteArray& json, int offset)
{
    int line = 1;
    int column = 1;
    for (int i = 0; i < offset && i < json.size(); ++i) {
        if (json[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return QStringLiteral("line %1, column %2").arg(line).arg(column);
}

}  // namespace

quint32 connectionTypeCode(const QString& name)
{
    for (quint32 code = 2; code <= 11; ++code)
        if (name.trimmed().compare(QLatin1String(kTypeNames[code]), Qt::CaseInsensitive) == 0)
            return code;
    return 0;
}

QString connectionTypeName(quint32 code)
{
    return code >= 2 && code <= 11 ? QString::fromLatin1(kTypeNames[code]) : QString::number(code);
}

LoadedNetwork loadNetworkDescription(const QByteArray& json, const QString& baseDir, const QString& sourceName)
{
    LoadedNetwork result;
    if (json.size() > kMaxDescriptionBytes) {
        result.problem =
            QStringLiteral("%1: the description is larger than %2 MB").arg(sourceName).arg(kMaxDescriptionBytes >> 20);
        return result;
    }
    if (json.startsWith("\xFF\xFE") || json.startsWith("\xFE\xFF")
        || (json.size() >= 2 && (json.at(0) == 0 || json.at(1) == 0))) {
        result.problem = QStringLiteral("%1: the description is in UTF-16; save it as UTF-8").arg(sourceName);
        return result;
    }
    const JsonShape shape = jsonShape(json);
    if (shape.containers > kMaxJsonContainers || shape.values > kMaxJsonValues) {
        result.problem = QStringLiteral("%1: the description holds more than %2 objects and lists or %3 values; "
                                        "describe large networks with \"generate\"")
                             .arg(sourceName)
                             .arg(kMaxJsonContainers)
                             .arg(kMaxJsonValues);
        return result;
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError) {
        result.problem =
            QStringLiteral("%1: %2: %3").arg(sourceName, lineAndColumn(json, error.offset), error.errorString());
        return result;
    }
    if (!document.isObject()) {
        result.problem = QStringLiteral("%1: the description must be a JSON object").arg(sourceName);
        return result;
    }
    try {
        Loader loader(baseDir);
        result.network = loader.load(document.object());
        result.network->sourceName = sourceName;
    } catch (const DescriptionError& e) {
        result.problem = QStringLiteral("%1: %2: %3").arg(sourceName, e.path, e.problem);
    }
    return result;
}

}  // namespace nw::sim

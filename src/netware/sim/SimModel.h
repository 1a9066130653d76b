#pragma once
// The simulated NetWare network as plain data: what the description file (or
// the generator) says exists. The client reads and changes it while it runs.

#include "netware/NetWareClient.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace nw::sim {

// Call name -> status it returns instead of doing its work.
using FaultMap = QHash<QString, NWRCODE>;

// Names compare without regard to case, as NetWare does.
inline QString nameKey(const QString& name)
{
    return name.toCaseFolded();
}

// Longest names NetWare gives its directory: one container name, a server
// name, and a whole typeless distinguished name ("FS1.SALES.ACME").
constexpr int kMaxNameComponent = 64;
constexpr int kMaxServerName = 47;
constexpr int kMaxDistinguishedName = 256;

// One container of a tree. A container names its parent by position instead
// of carrying its whole dotted name, so a deep hierarchy costs each container
// no more than its own name.
struct Container {
    QString name;
    QString objectClass;
    int parent = -1;            // index in Tree::containers; -1 directly under [Root]
    std::vector<int> children;  // indexes, in description order
};

struct TreeUser {
    QString name;
    QString context;  // dotted typeless, without leading dot
    QString password;
};

struct Replica {
    QString server;
    quint32 type = 1;
    quint32 state = 0;
    quint32 replicaNumber = 0;
    QDateTime modified;
    QDateTime purged;
};

struct Partition {
    QString name;  // dotted typeless, or "[Root]"
    std::vector<Replica> replicas;
};

struct Tree {
    QString name;
    bool reachable = true;
    bool advertised = true;
    std::vector<Container> containers;  // each after its parent
    std::vector<int> topContainers;     // those directly under [Root], in description order
    std::vector<TreeUser> users;
    std::vector<Partition> partitions;
    FaultMap faults;

    // Adds a container below `parent` (-1: the root) and returns its index.
    int addContainer(QString containerName, QString objectClass, int parent);
    // The container a typeless dotted name names ("SALES.ACME", leaf first,
    // without regard to case), or -1.
    int findContainer(QStringView dotted) const;
    // The container's child of the given name, or -1; parent -1 is the root.
    int findChild(int parent, QStringView childName) const;
    // The typeless dotted name of a container, leaf first.
    QString containerName(int index) const;

private:
    QHash<std::pair<int, QString>, int> m_containerIndex;  // (parent, nameKey) -> index
};

struct Volume {
    QString name;
    quint32 number = 0;
    quint32 sectorsPerBlock = 8;
    quint32 totalBlocks = 0;
    quint32 availableBlocks = 0;
    quint32 purgeableBlocks = 0;
    quint32 notYetPurgeableBlocks = 0;
    bool mounted = true;
};

struct Nlm {
    quint32 number = 0;
    QString file;
    QString name;
    QString notice;
    quint32 major = 0, minor = 0, revision = 0;
    quint32 year = 0, month = 0, day = 0;
};

struct SetParameter {
    QString name;
    quint32 category = 0;
    quint32 type = 0;
    QByteArray value;  // the bytes as the server sends them
};

struct OpenFile {
    QString volume;
    QString path;  // long names from the volume root, '\' between them
    quint8 nameSpace = NW_NS_LONG;
    quint8 lockFlags = 0x08;
};

struct Connection {
    quint32 number = 0;
    quint32 type = 11;  // IP
    QString user;
    quint32 objectType = 1;
    quint32 objectId = 0;
    quint32 status = 0x0020;
    QDateTime loginTime;
    quint64 bytesRead = 0, bytesWritten = 0;
    quint32 requests = 0;
    // How fast the counters grow while the real clock runs (per second).
    quint64 bytesReadPerSecond = 0, bytesWrittenPerSecond = 0;
    quint32 requestsPerSecond = 0;
    quint8 messageResult = 0;
    std::vector<OpenFile> openFiles;
};

struct UtilizationWalk {
    int min = 2;
    int max = 40;
    quint32 seed = 0;
};

// The lists a generated server builds only when first asked for them.
struct ServerLists {
    std::vector<Nlm> nlms;  // ascending by number
    std::vector<SetParameter> setParameters;
    std::vector<Connection> connections;  // ascending by number
};

struct GeneratedGroup;
struct Server;

// Which generated servers hold their lists now. Walking every server of a large
// generated network would otherwise keep all their lists; the least recently
// used are released once the lists held together pass a budget of rows, and
// drawn again (the same) when next needed.
class GeneratedListCache {
public:
    explicit GeneratedListCache(qint64 rowBudget = 1500000) : m_budget(rowBudget) {}
    // Marks the server's lists as used now and releases others over the budget;
    // the server touched last and the one before it are always kept.
    void touch(Server& server, qint64 rows);
    qint64 rowsHeld() const { return m_rows; }
    size_t serversHeld() const { return m_held.size(); }

private:
    struct Held {
        Server* server;
        qint64 rows;
    };
    std::vector<Held> m_held;  // least recently used first
    qint64 m_rows = 0;
    qint64 m_budget;
};

struct Server {
    QString name;
    QString tree;
    QString context;  // dotted typeless container of the NCP Server object
    bool reachable = true;
    quint8 major = 5, minor = 70, revision = 8;
    QString company, revisionText, revisionDate, notice;
    qint32 dsVersion = 10552;
    qint64 upSeconds = 86400;
    qint64 clockOffsetSeconds = 0;
    std::vector<int> utilization;  // empty: the walk
    UtilizationWalk walk;
    quint32 maxConnections = 250;
    quint32 ownConnection = 0;
    // User licences the server has free for this workstation's licensed
    // connections; none: no limit.
    std::optional<quint32> licences;
    std::vector<Volume> volumes;
    FaultMap faults;
    std::optional<int> latencyMs;

    // Filled at load for described servers, on first use for generated ones.
    std::optional<ServerLists> lists;
    std::shared_ptr<const GeneratedGroup> group;
    int groupIndex = 0;
    // Connections of a generated server cleared at run time, applied again
    // whenever its lists are drawn anew.
    std::vector<quint32> clearedConnections;

    // Run-time state: position in the utilization sequence or walk.
    quint64 utilizationReads = 0;
    int walkValue = -1;
    // Licensed connections this workstation holds open on the server.
    quint32 licencesInUse = 0;
};

struct GeneratedGroup {
    QString prefix;
    int count = 0;
    QString tree;
    QString context;
    int nlms = 40;
    int setParameters = 60;
    int connections = 20;
    int volumes = 1;
    int openFilesPerConnection = 0;
    double differences = 0.05;
    quint32 seed = 1;
    // The clock at load as a wall-clock time without time zone: connection
    // times count back from it by plain arithmetic, with no zone lookups.
    QDateTime reference;
    std::shared_ptr<GeneratedListCache> cache;  // shared by all groups of a network
    // The group's modules and parameters before each server's differences,
    // drawn once; servers copy them, sharing their texts.
    struct Rows {
        bool drawn = false;
        std::vector<Nlm> nlms;
        std::vector<SetParameter> setParameters;
    };
    std::shared_ptr<Rows> rows = std::make_shared<Rows>();
};

struct Workstation {
    QString tree;
    QString context = QStringLiteral("[Root]");
    // tree name as written -> user's typeless full name
    std::vector<std::pair<QString, QString>> logins;
    QStringList connectedTrees;
    std::map<int, QString> drives;  // drive number (1 = A:) -> "FS1/SYS:PATH"
    QList<int> localDrives;         // drive numbers of the machine's own disks
};

struct Network {
    QString sourceName;
    std::optional<QDateTime> clock;
    int latencyMs = 0;
    QString fileRoot;  // absolute folder, or empty
    bool clientInstalled = true;
    FaultMap faults;
    int nlmListBatch = 32;
    int searchBatch = 25;
    Workstation workstation;
    std::vector<Tree> trees;
    std::vector<Server> servers;

    QHash<QString, int> treeIndex;    // nameKey -> index
    QHash<QString, int> serverIndex;  // nameKey -> index

    const Tree* findTree(const QString& name) const
    {
        const auto it = treeIndex.constFind(nameKey(name));
        return it == treeIndex.cend() ? nullptr : &trees[static_cast<size_t>(*it)];
    }
    int findServer(const QString& name) const { return serverIndex.value(nameKey(name), -1); }
};

}  // namespace nw::sim

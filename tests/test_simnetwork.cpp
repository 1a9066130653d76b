// The simulated network through the client interface: loading and rejecting
// descriptions, directory listings and searches, server facts, connections,
// partitions, faults and generated networks.

#include "support/ResourceUse.h"
#include "support/SimNetwork.h"
#include "support/TestMain.h"

#include "netware/ClientProvider.h"
#include "netware/sim/SimClient.h"
#include "netware/sim/SimFiles.h"

#include <QtTest>

using namespace nw;

namespace {

QString text(std::span<const char> bytes)
{
    return QString::fromLatin1(bytes.data(), qstrnlen(bytes.data(), bytes.size()));
}

QByteArray acme(const QByteArray& servers, const QByteArray& extra = {})
{
    return R"({ "format": 1, "clock": "2026-12-05T19:04:36", )" + extra + R"(
      "workstation": { "tree": "ACME_TREE", "context": "SALES.ACME", "logins": { "ACME_TREE": "admin.ACME" } },
      "trees": [ { "name": "ACME_TREE",
        "containers": [ { "name": "ACME", "class": "Organization", "children": [
            { "name": "SALES", "class": "Organizational Unit" },
            { "name": "MKTG", "class": "Organizational Unit", "children": [ { "name": "EAST" } ] } ] } ],
        "users": [ { "name": "admin", "context": "ACME", "password": "secret" } ],
        "partitions": [ { "name": "[Root]", "replicas": [ { "server": "FS1", "type": 0, "modified": "2026-12-01T10:00:00" } ] },
                        { "name": "SALES.ACME", "replicas": [ { "server": "FS1", "type": 2, "state": 3 } ] } ] },
        { "name": "OTHER_TREE", "reachable": false, "containers": [ { "name": "O", "class": "Organization" } ] } ],
      "servers": [ )"
           + servers + "] }";
}

// The network with the single server FS1 described by the given fields.
QByteArray fs1(const QByteArray& fields, const QByteArray& extra = {})
{
    return acme(R"({ "name": "FS1", "tree": "ACME_TREE", )" + fields + " }", extra);
}

const QByteArray kTwoServers = R"(
  { "name": "FS1", "tree": "ACME_TREE", "context": "SALES.ACME" },
  { "name": "FS2", "tree": "ACME_TREE", "context": "MKTG.ACME" })";

NWDSContextHandle context(NetWareClient& c, quint32 flags, const QByteArray& nameContext = "[Root]")
{
    NWDSContextHandle ctx = 0;
    c.NWDSCreateContextHandle(ctx);
    c.NWDSSetContext(ctx, DCK_FLAGS, flags);
    c.NWDSSetContext(ctx, DCK_NAME_CONTEXT, nameContext);
    return ctx;
}

struct Search {
    QStringList names;
    int replies = 0;
    NWRCODE status = 0;
};

Search search(NetWareClient& c, const QByteArray& base, quint32 scope, const QByteArray& objectClass,
              const QByteArray& tree = "ACME_TREE", quint32 flags = DCV_TYPELESS_NAMES)
{
    Search result;
    const NWDSContextHandle ctx = context(c, flags);
    c.NWDSSetContext(ctx, DCK_TREE_NAME, tree);
    NWDSBufHandle filter = 0, attrs = 0, reply = 0;
    for (NWDSBufHandle* buf : {&filter, &attrs, &reply})
        c.NWDSAllocBuf(DEFAULT_MESSAGE_LEN, *buf);
    c.NWDSInitBuf(ctx, DSV_SEARCH_FILTER, filter);
    c.NWDSInitBuf(ctx, DSV_LIST, attrs);
    NWFilterCursor cursor = 0;
    c.NWDSAllocFilter(cursor);
    const QByteArray attribute("Object Class");
    c.NWDSAddFilterToken(cursor, FTOK_ANAME, &attribute, SYN_CLASS_NAME);
    c.NWDSAddFilterToken(cursor, FTOK_EQ, nullptr, 0);
    c.NWDSAddFilterToken(cursor, FTOK_AVAL, &objectClass, SYN_CLASS_NAME);
    c.NWDSAddFilterToken(cursor, FTOK_END, nullptr, 0);
    c.NWDSPutFilter(ctx, filter, cursor);
    qint32 iteration = -1;
    do {
        qint32 searched = 0;
        result.status = c.NWDSSearch(ctx, base, scope, false, filter, 1, false, attrs, iteration, 0, searched, reply);
        if (result.status != 0)
            break;
        ++result.replies;
        quint32 count = 0;
        c.NWDSGetObjectCount(ctx, reply, count);
        for (quint32 i = 0; i < count; ++i) {
            std::array<char, 129> name{};
            quint32 attributes = 0;
            ObjectInfo info;
            c.NWDSGetObjectName(ctx, reply, name, attributes, info);
            result.names.append(text(name));
        }
    } while (iteration != -1 && result.replies < 1000);
    for (NWDSBufHandle buf : {filter, attrs, reply})
        c.NWDSFreeBuf(buf);
    c.NWDSFreeContext(ctx);
    return result;
}

NWCONN_HANDLE open(NetWareClient& c, const QByteArray& server)
{
    NWCONN_HANDLE conn = 0;
    const NWRCODE rc =
        c.NWCCOpenConnByName(0, server, NWCC_NAME_FORMAT_BIND, NWCC_OPEN_LICENSED, NW_TRAN_TYPE_WILD, conn);
    return rc == 0 ? conn : 0;
}

QList<quint32> loadedModules(NetWareClient& c, NWCONN_HANDLE conn, int* replies = nullptr)
{
    QList<quint32> numbers;
    quint32 start = 0;
    NLMLoadedList list;
    int count = 0;
    while (c.NWGetNLMLoadedList(conn, start, list) == 0 && count < 1000) {
        ++count;
        for (quint32 i = 0; i < list.numbersInList; ++i)
            numbers.append(list.numbers[i]);
        // The reply's numbers are ascending: the next reply starts after the last one.
        start = list.numbersInList > 0 ? list.numbers[list.numbersInList - 1] + 1 : start + 1;
    }
    if (replies)
        *replies = count;
    return numbers;
}

QStringList setParameterNames(NetWareClient& c, NWCONN_HANDLE conn)
{
    QStringList names;
    quint32 sequence = 0;
    SetCommandRecord record;
    do {
        if (c.NWGetServerSetCommandsInfo(conn, sequence, record) != 0)
            break;
        names.append(text(std::span<const char>(reinterpret_cast<const char*>(record.nameAndValue.data()), 500)));
        sequence = record.nextSequence;
    } while (sequence != 0 && names.size() < 100000);
    return names;
}

QList<quint32> activeConnections(NetWareClient& c, NWCONN_HANDLE conn, quint32 type, quint32 start)
{
    QList<quint32> numbers;
    ActiveConnList list;
    if (c.NWGetActiveConnListByType(conn, start, type, list) != 0)
        return numbers;
    for (quint32 k = 0; k < 512; ++k)
        for (quint32 i = 0; i < 8; ++i)
            if (list.bits[k] & (1U << i))
                numbers.append(start + 8 * k + i);
    return numbers;
}

// One tree whose containers form a chain `depth` deep, all named C, with
// `leaves` containers directly under the deepest and `servers` bare servers
// described there. The pieces are written in the test, never read from disk.
QByteArray chainNetwork(int depth, int leaves, int servers = 0)
{
    QByteArray json = R"({ "format": 1, "searchBatch": 5000, "trees": [ { "name": "T", "containers": [ )";
    for (int level = 0; level < depth; ++level)
        json += R"({ "name": "C", "children": [ )";
    for (int leaf = 0; leaf < leaves; ++leaf)
        json += (leaf ? ", " : "") + QByteArray(R"({ "name": "L)") + QByteArray::number(leaf) + "\" }";
    for (int level = 0; level < depth; ++level)
        json += " ] }";
    json += R"( ] } ], "servers": [ )";
    QByteArray context;
    for (int level = 0; level < depth; ++level)
        context += level ? ".C" : "C";
    for (int server = 0; server < servers; ++server)
        json += (server ? ", " : "") + QByteArray(R"({ "name": "S)") + QByteArray::number(server)
                + R"(", "tree": "T", "context": ")" + context + "\" }";
    return json + " ] }";
}

// `groups` generated groups of `each` servers in the tree of acme().
QByteArray groupedNetwork(int groups, int each)
{
    QByteArray list;
    for (int g = 0; g < groups; ++g)
        list += (g ? "," : "") + QByteArray(R"({ "prefix": "G)") + QByteArray::number(g) + "X\", \"count\": "
                + QByteArray::number(each) + R"(, "tree": "ACME_TREE", "nlms": 1, "setParameters": 1 })";
    return acme(kTwoServers, R"("generate": [ )" + list + "],");
}

// The least processor time of three loads of the description, in milliseconds.
qint64 bestLoadMs(const QByteArray& json)
{
    qint64 best = std::numeric_limits<qint64>::max();
    for (int run = 0; run < 3; ++run) {
        const testing::ResourceUse use;
        const ClientLoad load = loadSimulatedNetworkFromJson(json, QDir::tempPath(), QStringLiteral("net.json"));
        best = std::min(best, use.cpuMs());
        if (load.outcome != ClientLoad::Outcome::Loaded)
            qWarning().noquote() << load.problem;
    }
    return best;
}

}  // namespace

class TestSimNetwork : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void rejectsBrokenDescriptions_data();
    void rejectsBrokenDescriptions();
    void providerChoosesTheNetwork();
    void searchesInBatches_data();
    void searchesInBatches();
    void listsContainersByLevel();
    void directoryFaultsAndUnreachableTrees();
    void loginAuthenticationAndIdentity();
    void serversOpenAndAnswerFacts();
    void modulesAndParametersWalkToTheEnd();
    void activeConnectionBlocks();
    void connectionFactsClearAndBroadcast();
    void serverFaultsReplaceTheWork();
    void licensedOpensStopAtTheLicences();
    void volumesAndDrives();
    void partitionsOfAServer();
    void generatedNetworkIsDeterministic();
    void walkingAGeneratedNetworkReleasesLists();
    void descriptionReadingStopsAtTheLimit();
    void hostileDescriptionsStayWithinBounds_data();
    void hostileDescriptionsStayWithinBounds();
    void manyGroupsLoadLikeOne();
    void demoStartsTogether();
};

void TestSimNetwork::rejectsBrokenDescriptions_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("syntax") << QByteArray("{\n \"format\": 1,\n \"trees\": [ }") << QStringList{"line 3"};
    QTest::newRow("not an object") << QByteArray("[1]") << QStringList{"JSON object"};
    QTest::newRow("no format") << QByteArray(R"({"trees": [{"name":"T"}]})") << QStringList{"format", "required"};
    QTest::newRow("format 2") << QByteArray(R"({"format": 2, "trees": [{"name":"T"}]})")
                              << QStringList{"format", "must be 1"};
    QTest::newRow("tree name type") << QByteArray(R"({"format": 1, "trees": [{"name": 5}]})")
                                    << QStringList{"trees[0].name", "must be a text"};
    QTest::newRow("duplicate tree") << QByteArray(R"({"format": 1, "trees": [{"name":"T"},{"name":"t"}]})")
                                    << QStringList{"trees[1].name", "twice"};
    QTest::newRow("connection number range") << acme(
        R"({ "name": "FS1", "tree": "ACME_TREE" }, { "name": "FS2", "tree": "ACME_TREE", "connections": [ { "number": 1 }, { "number": 70000 } ] })")
                                             << QStringList{"servers[1].connections[1].number", "1 to 65535"};
    QTest::newRow("duplicate server") << acme(
        R"({ "name": "FS1", "tree": "ACME_TREE" }, { "name": "fs1", "tree": "ACME_TREE" })")
                                      << QStringList{"servers[1].name", "twice"};
    QTest::newRow("unknown tree") << acme(R"({ "name": "FS1", "tree": "NOPE" })")
                                  << QStringList{"servers[0].tree", "NOPE"};
    QTest::newRow("connection type") << fs1(R"("connections": [ { "number": 1, "type": "TOKENRING" } ])")
                                     << QStringList{"servers[0].connections[0].type", "TOKENRING"};
    QTest::newRow("raw hex") << fs1(R"("setParameters": [ { "name": "X", "type": 9, "raw": "0G 01" } ])")
                             << QStringList{"servers[0].setParameters[0].raw", "hexadecimal"};
    QTest::newRow("licences") << fs1(R"("licences": -1)") << QStringList{"servers[0].licences", "0 to 65535"};
    QTest::newRow("status text") << fs1(R"("faults": { "NWCCCloseConn": "0xZZ" })")
                                 << QStringList{"servers[0].faults.NWCCCloseConn", "0xZZ"};
    QTest::newRow("replica server") << acme(R"({ "name": "FS9", "tree": "ACME_TREE" })")
                                    << QStringList{"trees[0].partitions[0].replicas[0].server", "FS1"};
    QTest::newRow("open file volume") << fs1(
        R"("connections": [ { "number": 1, "openFiles": [ { "volume": "DATA", "path": "A.TXT" } ] } ])")
                                      << QStringList{"servers[0].connections[0].openFiles[0].volume", "DATA"};
    QTest::newRow("generated clash") << acme(
        R"({ "name": "GEN001", "tree": "ACME_TREE" }, { "name": "FS1", "tree": "ACME_TREE" })",
        R"("generate": [ { "prefix": "GEN", "count": 2, "tree": "ACME_TREE" } ],)")
                                     << QStringList{"generate[0].prefix", "GEN001"};
    // Small descriptions that would ask for more than any desktop has are refused
    // before anything of them is made, naming the field.
    const QByteArray group =
        R"({ "prefix": "G%1", "count": 100000, "tree": "ACME_TREE", "nlms": 1, "setParameters": 1 })";
    QByteArray groups;
    for (int i = 0; i < 40; ++i)
        groups += (i ? "," : "") + QString::fromLatin1(group).arg(i).toLatin1();
    QTest::newRow("servers of all groups") << acme(kTwoServers, R"("generate": [ )" + groups + "],")
                                           << QStringList{"generate[1].count", "200000 servers", "100000"};
    QTest::newRow("open files of a server") << acme(
        kTwoServers,
        R"("generate": [ { "prefix": "G", "count": 10, "tree": "ACME_TREE", "connections": 65534, "openFilesPerConnection": 100 } ],)")
                                            << QStringList{"generate[0].openFilesPerConnection", "6553400 open files",
                                                           "100000"};
    QTest::newRow("connections of all groups") << acme(
        kTwoServers, R"("generate": [ { "prefix": "G", "count": 100000, "tree": "ACME_TREE", "connections": 200 } ],)")
                                               << QStringList{"generate[0].connections", "20000000 connections"};
    QTest::newRow("open files of all groups") << acme(
        kTwoServers,
        R"("generate": [ { "prefix": "G", "count": 1000, "tree": "ACME_TREE", "connections": 1000, "openFilesPerConnection": 20 } ],)")
                                              << QStringList{"generate[0].openFilesPerConnection",
                                                             "20000000 open files"};
    QTest::newRow("volumes of all groups") << acme(
        kTwoServers,
        R"("generate": [ { "prefix": "G", "count": 100000, "tree": "ACME_TREE", "connections": 1, "volumes": 64 } ],)")
                                           << QStringList{"generate[0].volumes", "6400000 volumes", "1000000"};
    QTest::newRow("prefix") << acme(kTwoServers,
                                    R"("generate": [ { "prefix": "GEN 1", "count": 2, "tree": "ACME_TREE" } ],)")
                            << QStringList{"generate[0].prefix", "GEN 1"};
    QTest::newRow("latency") << fs1(R"("latencyMs": 60000)") << QStringList{"servers[0].latencyMs", "10000"};
    QTest::newRow("UTF-16") << QByteArray("\xFF\xFE{\0}\0", 6) << QStringList{"UTF-16"};
    QTest::newRow("UTF-16 without mark") << QByteArray("{\0}\0", 4) << QStringList{"UTF-16"};
    QTest::newRow("drive letter")
        << acme(kTwoServers).replace("\"logins\"", "\"drives\": { \"F1\": \"FS1/SYS:\" }, \"logins\"")
        << QStringList{"workstation.drives.F1", "drive letter"};
    // Names within NetWare's own lengths: 64 characters a container name, 47 a
    // server name, 256 a whole distinguished name.
    const QByteArray name64(64, 'N');
    QTest::newRow("container name") << acme(kTwoServers).replace(R"("name": "EAST")", "\"name\": \"" + name64 + "X\"")
                                    << QStringList{"children[1].children[0].name", "64 characters"};
    QTest::newRow("container's full name")
        << chainNetwork(4, 0).replace(R"("name": "C")", "\"name\": \"" + name64 + "\"")
        << QStringList{"children[0].name", "259 characters", "256"};
    QTest::newRow("server name") << acme(R"({ "name": ")" + QByteArray(48, 'S') + R"(", "tree": "ACME_TREE" })")
                                 << QStringList{"servers[0].name", "47 characters"};
    QTest::newRow("server's full name") << chainNetwork(120, 0, 1).replace(R"("name": "S0")",
                                                                           R"("name": "SERVER_NAME_OF_30_CHARACTERS_")")
                                        << QStringList{"servers[0].name", "269 characters", "256"};
    QTest::newRow("generated server's full name") << chainNetwork(124, 0).replace(
        R"("servers": [  ])", R"("generate": [ { "prefix": "GENERATED", "count": 5, "tree": "T", "context": ")"
                                  + QByteArray("C.").repeated(123)
                                  + R"(C" } ])") << QStringList{"generate[0].prefix", "GENERATED999", "260 characters"};
    QTest::newRow("described servers") << chainNetwork(1, 0, 10001) << QStringList{"servers", "10001 servers", "10000"};
}

void TestSimNetwork::rejectsBrokenDescriptions()
{
    QFETCH(QByteArray, json);
    QFETCH(QStringList, expected);
    const ClientLoad load = loadSimulatedNetworkFromJson(json, QDir::tempPath(), QStringLiteral("net.json"));
    QCOMPARE(load.outcome, ClientLoad::Outcome::Unreadable);
    QVERIFY(!load.client);
    QVERIFY2(load.problem.startsWith(QLatin1String("net.json: ")), qPrintable(load.problem));
    for (const QString& part : expected)
        QVERIFY2(load.problem.contains(part), qPrintable(load.problem));
}

void TestSimNetwork::providerChoosesTheNetwork()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    qputenv("XDG_CACHE_HOME", QFile::encodeName(dir.path() + "/cache"));
    const QString path = dir.path() + "/net.json";
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(acme(kTwoServers)) > 0);
    file.close();

    qputenv("VESKARO_NETWORK", QFile::encodeName(path));
    QVERIFY(loadNetWareClient().client);
    qputenv("VESKARO_NETWORK", QFile::encodeName(dir.path() + "/missing.json"));
    ClientLoad load = loadNetWareClient();
    QCOMPARE(load.outcome, ClientLoad::Outcome::Unreadable);
    QVERIFY2(load.problem.contains(QLatin1String("missing.json")), qPrintable(load.problem));
    qunsetenv("VESKARO_NETWORK");  // the built-in demo: see demoStartsTogether
    qunsetenv("XDG_CACHE_HOME");

    const ClientLoad absent = loadSimulatedNetworkFromJson(
        R"({"format":1,"clientInstalled":false,"trees":[{"name":"T"}]})", QDir::tempPath(), QStringLiteral("x"));
    QCOMPARE(absent.outcome, ClientLoad::Outcome::NotInstalled);
    QVERIFY(!absent.client);
}

void TestSimNetwork::searchesInBatches_data()
{
    QTest::addColumn<QByteArray>("base");
    QTest::addColumn<quint32>("scope");
    QTest::addColumn<QByteArray>("objectClass");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<int>("replies");

    const QStringList all{"FS1.SALES.ACME", "FS2.SALES.ACME", "FS3.SALES.ACME", "FS4.MKTG.ACME", "FS5.EAST.MKTG.ACME"};
    QTest::newRow("subtree from root") << QByteArray("[Root]") << DS_SEARCH_SUBTREE << QByteArray("NCP Server") << all
                                       << 3;
    QTest::newRow("immediate") << QByteArray(".SALES.ACME") << DS_SEARCH_SUBORDINATES << QByteArray("NCP Server")
                               << all.mid(0, 3) << 2;
    QTest::newRow("subtree of MKTG") << QByteArray(".mktg.acme") << DS_SEARCH_SUBTREE << QByteArray("ncp server")
                                     << all.mid(3) << 1;
    QTest::newRow("nothing at root level")
        << QByteArray("[Root]") << DS_SEARCH_SUBORDINATES << QByteArray("NCP Server") << QStringList{} << 1;
    QTest::newRow("containers") << QByteArray("[Root]") << DS_SEARCH_SUBTREE << QByteArray("Organizational Unit")
                                << QStringList{"SALES.ACME", "MKTG.ACME", "EAST.MKTG.ACME"} << 2;
}

void TestSimNetwork::searchesInBatches()
{
    QFETCH(QByteArray, base);
    QFETCH(quint32, scope);
    QFETCH(QByteArray, objectClass);
    QFETCH(QStringList, names);
    QFETCH(int, replies);
    const QByteArray servers = R"(
      { "name": "FS1", "tree": "ACME_TREE", "context": "SALES.ACME" }, { "name": "FS2", "tree": "ACME_TREE", "context": "SALES.ACME" },
      { "name": "FS3", "tree": "ACME_TREE", "context": "SALES.ACME" }, { "name": "FS4", "tree": "ACME_TREE", "context": "MKTG.ACME" },
      { "name": "FS5", "tree": "ACME_TREE", "context": "EAST.MKTG.ACME" })";
    auto c = testing::makeNetwork(acme(servers, R"("searchBatch": 2,)"));
    QVERIFY(c);
    const Search found = search(*c, base, scope, objectClass);
    QCOMPARE(found.status, 0u);
    QCOMPARE(found.names, names);
    QCOMPARE(found.replies, replies);
}

void TestSimNetwork::listsContainersByLevel()
{
    auto c = testing::makeNetwork(acme(kTwoServers, R"("searchBatch": 1,)"));
    QVERIFY(c);
    auto level = [&](const QByteArray& nameContext, quint32 flags) {
        const NWDSContextHandle ctx = context(*c, flags, nameContext);
        NWDSBufHandle buf = 0;
        c->NWDSAllocBuf(MAX_MESSAGE_LEN, buf);
        c->NWDSInitBuf(ctx, DSV_LIST, buf);
        QStringList names;
        qint32 iteration = -1;
        while (names.size() < 100 && c->NWDSListContainers(ctx, ".", iteration, buf) == 0) {
            quint32 count = 0;
            c->NWDSGetObjectCount(ctx, buf, count);
            for (quint32 i = 0; i < count; ++i) {
                std::array<char, 257> name{};
                quint32 attributes = 0;
                ObjectInfo info;
                c->NWDSGetObjectName(ctx, buf, name, attributes, info);
                names.append(text(name) + QLatin1Char('/') + text(info.baseClass));
            }
            if (iteration == -1)
                break;
        }
        c->NWDSFreeBuf(buf);
        c->NWDSFreeContext(ctx);
        return names;
    };
    QCOMPARE(level("[Root]", DCV_TYPELESS_NAMES), QStringList{"ACME/Organization"});
    QCOMPARE(level("ACME", DCV_TYPELESS_NAMES), (QStringList{"SALES/Organizational Unit", "MKTG/Organizational Unit"}));
    QCOMPARE(level("MKTG.ACME", 0), QStringList{"OU=EAST/Organizational Unit"});
    QCOMPARE(level("SALES.ACME", DCV_TYPELESS_NAMES), QStringList{});
    QCOMPARE(level("NOWHERE", DCV_TYPELESS_NAMES), QStringList{});
}

void TestSimNetwork::directoryFaultsAndUnreachableTrees()
{
    auto c = testing::makeNetwork(
        acme(kTwoServers)
            .replace(R"("name": "ACME_TREE",)", R"("name": "ACME_TREE", "faults": { "NWDSSearch": -601 },)"));
    QVERIFY(c);
    QCOMPARE(search(*c, "[Root]", DS_SEARCH_SUBTREE, "NCP Server").status, status::NoSuchEntry);
    QCOMPARE(search(*c, "[Root]", DS_SEARCH_SUBTREE, "NCP Server", "OTHER_TREE").status, status::TreeUnreachable);
    QCOMPARE(search(*c, "[Root]", DS_SEARCH_SUBTREE, "NCP Server", "NO_SUCH_TREE").status, status::TreeUnreachable);

    auto plain = testing::makeNetwork(acme(kTwoServers));
    QVERIFY(plain);
    QCOMPARE(search(*plain, ".HR.ACME", DS_SEARCH_SUBTREE, "NCP Server").status, status::NoSuchEntry);
    const Search typed = search(*plain, "[Root]", DS_SEARCH_SUBTREE, "NCP Server", "ACME_TREE", 0);
    QCOMPARE(typed.names, (QStringList{"CN=FS1.OU=SALES.O=ACME", "CN=FS2.OU=MKTG.O=ACME"}));
}

void TestSimNetwork::loginAuthenticationAndIdentity()
{
    auto c = testing::makeNetwork(
        acme(kTwoServers).replace(R"("logins": { "ACME_TREE": "admin.ACME" })", R"("logins": {})"));
    QVERIFY(c);
    // A new context starts from the workstation's tree and context.
    NWDSContextHandle ctx = 0;
    QCOMPARE(c->NWDSCreateContextHandle(ctx), 0u);
    quint32 flags = 99;
    QCOMPARE(c->NWDSGetContext(ctx, DCK_FLAGS, flags), 0u);
    QCOMPARE(flags, 0u);
    std::array<char, 256> value{};
    c->NWDSGetContext(ctx, DCK_NAME_CONTEXT, value);
    QCOMPARE(text(value), QStringLiteral("SALES.ACME"));
    c->NWDSGetContext(ctx, DCK_TREE_NAME, value);
    QCOMPARE(text(value), QStringLiteral("ACME_TREE"));

    c->NWDSSetContext(ctx, DCK_FLAGS, DCV_TYPELESS_NAMES);
    c->NWDSWhoAmI(ctx, value);
    QCOMPARE(text(value), QStringLiteral("[PUBLIC]"));
    const NWCONN_HANDLE conn = open(*c, "FS1");
    QVERIFY(conn);
    QCOMPARE(c->NWDSAuthenticate(conn, 0, nullptr), status::NotAuthenticated);
    QCOMPARE(c->NWDSLogin(ctx, 0, "admin.ACME", "wrong", 0), status::BadPassword);
    QCOMPARE(c->NWDSLogin(ctx, 0, "nobody.ACME", "secret", 0), status::NoSuchEntry);
    QCOMPARE(c->NWDSLogin(ctx, 0, ".ADMIN.acme", "secret", 0), 0u);
    c->NWDSWhoAmI(ctx, value);
    QCOMPARE(text(value), QStringLiteral("admin.ACME"));
    QCOMPARE(c->NWDSAuthenticate(conn, 0, nullptr), 0u);

    std::array<std::array<char, 65>, 16> trees{};
    quint32 count = 0;
    QCOMPARE(c->NWDSScanConnsForTrees(ctx, count, trees), 0u);
    QCOMPARE(count, 1u);
    QCOMPARE(text(trees[0]), QStringLiteral("ACME_TREE"));
    c->NWDSSetContext(ctx, DCK_TREE_NAME, QByteArray("OTHER_TREE"));
    QCOMPARE(c->NWDSLogin(ctx, 0, "admin.O", "x", 0), status::TreeUnreachable);
    QCOMPARE(c->NWDSFreeContext(ctx), 0u);
    QVERIFY(c->NWDSGetContext(ctx, DCK_FLAGS, flags) != 0);

    NWScanHandle scan = 0;
    QCOMPARE(c->NWGetObjectNamesBeginA(OT_TREE_NAME, scan), 0u);
    QStringList advertised;
    std::array<char, 128> name{};
    while (c->NWGetObjectNamesNextA(scan, 127, name) == 0 && advertised.size() < 10)
        advertised.append(text(name));
    QCOMPARE(c->NWGetObjectNamesEndA(scan), 0u);
    QCOMPARE(advertised, (QStringList{"ACME_TREE", "OTHER_TREE"}));
}

void TestSimNetwork::serversOpenAndAnswerFacts()
{
    auto c = testing::makeNetwork(acme(R"(
      { "name": "FS1", "tree": "ACME_TREE", "context": "SALES.ACME", "clockOffsetSeconds": -30,
        "utilization": [12, 40, 87] },
      { "name": "FS2", "tree": "ACME_TREE", "utilization": { "min": 30, "max": 35, "seed": 4 } },
      { "name": "FS3", "tree": "ACME_TREE", "reachable": false })"));
    QVERIFY(c);
    const NWCONN_HANDLE a = open(*c, "fs1");
    const NWCONN_HANDLE b = open(*c, "FS1");
    QVERIFY(a && b && a != b);

    // A list of figures repeats; a range stays inside itself.
    const NWCONN_HANDLE walk = open(*c, "FS2");
    QList<quint32> seen;
    FileServerInfo info;
    for (int i = 0; i < 50; ++i) {
        c->NWGetFileServerInfo(a, info);
        seen.append(info.utilization);
        c->NWGetFileServerInfo(walk, info);
        QVERIFY(info.utilization >= 30 && info.utilization <= 35);
    }
    QCOMPARE(seen.mid(0, 5), (QList<quint32>{12, 40, 87, 12, 40}));

    std::array<quint8, 8> clock{};
    QCOMPARE(c->NWGetFileServerDateAndTime(a, clock), 0u);
    QCOMPARE(clock, (std::array<quint8, 8>{126, 12, 5, 19, 4, 6, 6, 0}));  // 30 s behind, a Saturday
    const NWDSContextHandle ctx = context(*c, 0);
    std::array<char, 256> dn{};
    c->NWDSGetServerDN(ctx, a, dn);
    QCOMPARE(text(dn), QStringLiteral("CN=FS1.OU=SALES.O=ACME"));
    c->NWDSFreeContext(ctx);

    QCOMPARE(open(*c, "NOSUCH"), 0u);
    NWCONN_HANDLE conn = 0;
    QCOMPARE(c->NWCCOpenConnByName(0, "FS3", 2, 1, NW_TRAN_TYPE_WILD, conn), status::ConnectionRefused);
    QCOMPARE(c->NWCCCloseConn(a), 0u);
    QCOMPARE(c->NWCCCloseConn(a), status::InvalidConnection);
    QCOMPARE(c->NWGetFileServerInfo(a, info), status::InvalidConnection);
    QCOMPARE(c->NWGetFileServerInfo(b, info), 0u);
}

void TestSimNetwork::modulesAndParametersWalkToTheEnd()
{
    QByteArray nlms;
    for (int i = 1; i <= 7; ++i)
        nlms += QStringLiteral(R"(%1{ "file": "MOD%2.NLM", "version": "1.%2.0", "date": "2008-0%2-1%2" })")
                    .arg(i > 1 ? "," : "")
                    .arg(i)
                    .toLatin1();
    // FS2 is described without lists: it still has the usual modules and parameters.
    auto c = testing::makeNetwork(acme(R"({ "name": "FS1", "tree": "ACME_TREE", "nlms": [)" + nlms + R"(],
        "setParameters": [ { "name": "Cache Buffers", "category": 3, "type": 0, "value": 258 },
                           { "name": "Read Ahead", "category": 3, "type": 1, "value": true },
                           { "name": "Time Zone", "category": 8, "type": 5, "value": "CET" },
                           { "name": "Odd", "category": 1, "type": 9, "raw": "00 01 00 00" } ] },
        { "name": "FS2", "tree": "ACME_TREE" })",
                                       R"("nlmListBatch": 3,)"));
    QVERIFY(c);
    const NWCONN_HANDLE conn = open(*c, "FS1");
    int replies = 0;
    QCOMPARE(loadedModules(*c, conn, &replies), (QList<quint32>{1, 2, 3, 4, 5, 6, 7}));
    QCOMPARE(replies, 3);
    NLMLoadedList list;
    QCOMPARE(c->NWGetNLMLoadedList(conn, 5, list), 0u);
    QCOMPARE((QList<quint32>{list.numberLoaded, list.numbersInList, list.numbers[0]}), (QList<quint32>{7, 3, 5}));
    QVERIFY(c->NWGetNLMLoadedList(conn, 8, list) != 0);
    std::array<char, 100> file{};
    NLMInfo info;
    QCOMPARE(c->NWGetNLMInfo(conn, 4, file, {}, {}, info), 0u);
    QCOMPARE((QList<quint32>{info.majorVersion, info.minorVersion, info.year, info.month, info.day}),
             (QList<quint32>{1, 4, 2008, 4, 14}));

    QCOMPARE(setParameterNames(*c, conn), (QStringList{"Cache Buffers", "Read Ahead", "Time Zone", "Odd"}));
    SetCommandRecord record;
    QCOMPARE(c->NWGetServerSetCommandsInfo(conn, 0, record), 0u);
    QCOMPARE(record.nextSequence, 1u);
    QCOMPARE(record.valueLength, 4u);
    const int at = QByteArrayLiteral("Cache Buffers").size() + 1;  // the value follows the name, low byte first
    QCOMPARE(record.nameAndValue[at], 2);
    QCOMPARE(record.nameAndValue[at + 1], 1);
    QCOMPARE(c->NWGetServerSetCommandsInfo(conn, 2, record), 0u);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(record.nameAndValue.data()) + 10, 3), QByteArray("CET"));
    QCOMPARE(c->NWGetServerSetCommandsInfo(conn, 3, record), 0u);
    QCOMPARE(record.nextSequence, 0u);
    QVERIFY(c->NWGetServerSetCommandsInfo(conn, 4, record) != 0);

    const NWCONN_HANDLE plain = open(*c, "FS2");
    QVERIFY(setParameterNames(*c, plain).size() >= 10);
    QVERIFY(loadedModules(*c, plain).size() >= 5);
}

void TestSimNetwork::activeConnectionBlocks()
{
    auto c = testing::makeNetwork(fs1(R"("maxConnections": 6000, "ownConnection": 2,
        "connections": [ { "number": 1 }, { "number": 8, "type": "IPX" }, { "number": 9 }, { "number": 4096 },
                         { "number": 4097 }, { "number": 5000, "type": 2 } ])"));
    QVERIFY(c);
    const NWCONN_HANDLE conn = open(*c, "FS1");
    QCOMPARE(activeConnections(*c, conn, 11, 1), (QList<quint32>{1, 2, 9, 4096}));
    QCOMPARE(activeConnections(*c, conn, 2, 1), (QList<quint32>{8}));
    QCOMPARE(activeConnections(*c, conn, 11, 4097), (QList<quint32>{4097}));
    QCOMPARE(activeConnections(*c, conn, 2, 4097), (QList<quint32>{5000}));
    ActiveConnList list;
    QCOMPARE(c->NWGetActiveConnListByType(conn, 1, 11, list), 0u);
    QCOMPARE(list.connectionsInList, 4u);
    QVERIFY(c->NWGetActiveConnListByType(conn, 8193, 11, list) != 0);

    std::array<quint8, 4> own{};
    QCOMPARE(c->NWCCGetConnInfo(conn, NWCC_INFO_CONN_NUMBER, own), 0u);
    QCOMPARE(own, (std::array<quint8, 4>{2, 0, 0, 0}));
}

void TestSimNetwork::connectionFactsClearAndBroadcast()
{
    auto c = testing::makeNetwork(fs1(R"("connections": [
        { "number": 5, "user": "JSMITH.SALES.ACME", "type": "IPX", "bytesRead": 1099511627777, "requests": 77,
          "loginMinutesAgo": 90, "status": "0x0020",
          "openFiles": [ { "volume": "SYS", "path": "PUBLIC\\REPORT.TXT", "lockFlags": "0x0A" },
                         { "volume": "SYS", "path": "APPS\\Data Files\\Q4 Report.xls", "nameSpace": 4 } ] },
        { "number": 6, "status": 0 },
        { "number": 7, "user": "BUSY", "messageResult": 4 } ])"));
    QVERIFY(c);
    const NWCONN_HANDLE conn = open(*c, "FS1");
    ServerConnInfo info;
    QCOMPARE(c->NWGetServerConnInfo(conn, 175, 5, info), 0u);
    QCOMPARE(QByteArray(info.loginName.data(), info.nameLength), QByteArray("JSMITH.SALES.ACME"));
    QCOMPARE(info.loginTime, (std::array<quint8, 7>{126, 12, 5, 17, 34, 36, 6}));
    QCOMPARE(info.bytesRead, (std::array<quint8, 6>{1, 0, 0, 0, 0, 1}));
    QCOMPARE((QList<quint32>{info.requestCount, info.status, info.connectionType}), (QList<quint32>{77, 0x20, 2}));

    std::array<char, 64> name{};
    quint16 type = 0;
    quint32 id = 0;
    std::array<quint8, 7> login{};
    QCOMPARE(c->NWGetConnectionInformation(conn, 6, name, type, id, login), 0u);
    QCOMPARE(text(name), QStringLiteral("NOT-LOGGED-IN"));

    const std::array<quint16, 4> targets{5, 6, 7, 99};
    std::array<quint8, 4> results{};
    QCOMPARE(c->NWSendBroadcastMessage(conn, "hello", targets, results), 0u);
    QCOMPARE(results, (std::array<quint8, 4>{0, 2, 4, 1}));

    // Open files: two, then the end; the long name comes back from its DOS path.
    qint16 iteration = 0;
    OpenFileScanControl control;
    OpenFileRecord file;
    QStringList dosNames;
    QList<quint32> bases;
    while (c->NWScanOpenFilesByConn2(conn, 5, iteration, control, file) == 0 && dosNames.size() < 10) {
        dosNames.append(text(file.dosName));
        bases.append(file.directoryEntry);
    }
    QCOMPARE(iteration, qint16(-1));
    QCOMPARE(dosNames, (QStringList{"REPORT.TXT", "Q4REPO~1.XLS"}));
    std::array<quint8, 255> path{};
    quint8 length = 255;
    QCOMPARE(c->NWGetPathFromDirectoryBase(conn, 0, bases[1], NW_NS_DOS, length, path), 0u);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(path.data()), length), QByteArray("\x04"
                                                                                        "APPS"
                                                                                        "\x08"
                                                                                        "DATAFI~1"
                                                                                        "\x0C"
                                                                                        "Q4REPO~1.XLS"));
    std::array<char, 256> longName{};
    QCOMPARE(c->NWGetLongName(conn, 0, "SYS\\APPS\\DATAFI~1\\Q4REPO~1.XLS", NW_NS_DOS, NW_NS_LONG, longName), 0u);
    QCOMPARE(text(longName), QStringLiteral("Q4 Report.xls"));

    // Cleared connections stay gone.
    QCOMPARE(c->NWClearConnectionNumber(conn, 5), 0u);
    QVERIFY(c->NWGetServerConnInfo(conn, 175, 5, info) != 0);
    QVERIFY(c->NWClearConnectionNumber(conn, 5) != 0);
    QCOMPARE(activeConnections(*c, open(*c, "FS1"), 2, 1), QList<quint32>{});
}

void TestSimNetwork::serverFaultsReplaceTheWork()
{
    auto c = testing::makeNetwork(fs1(R"("faults": { "NWCCCloseConn": "0x8801", "NWGetNLMLoadedList": 35006 })",
                                      R"("faults": { "NWDSCreateContextHandle": "0x8836" },)"));
    QVERIFY(c);
    const NWCONN_HANDLE conn = open(*c, "FS1");
    QVERIFY(conn);
    NLMLoadedList list;
    QCOMPARE(c->NWGetNLMLoadedList(conn, 0, list), 35006u);
    QCOMPARE(c->NWCCCloseConn(conn), 0x8801u);
    NWDSContextHandle ctx = 0;
    QCOMPARE(c->NWDSCreateContextHandle(ctx), 0x8836u);
    FileServerInfo info;
    QCOMPARE(c->NWGetFileServerInfo(conn, info), 0u);
}

// A licensed open holds one of the server's free licences until it is closed;
// public and unlicensed ones hold none. Every open is kept with its flags.
void TestSimNetwork::licensedOpensStopAtTheLicences()
{
    auto c = testing::makeNetwork(acme(R"(
      { "name": "FS1", "tree": "ACME_TREE", "licences": 1 },
      { "name": "FULL", "tree": "ACME_TREE", "licences": 0 },
      { "name": "FS2", "tree": "ACME_TREE" })"));
    QVERIFY(c);
    auto* sim = dynamic_cast<sim::SimClient*>(c.get());
    QVERIFY(sim);
    const auto openAs = [&](const QByteArray& server, quint32 nameFormat, quint32 state, NWCONN_HANDLE& conn) {
        return c->NWCCOpenConnByName(0, server, nameFormat, state, NW_TRAN_TYPE_WILD, conn);
    };

    NWCONN_HANDLE licensed = 0, second = 0, shared = 0, attached = 0;
    QCOMPARE(openAs("FS1", NWCC_NAME_FORMAT_BIND, NWCC_OPEN_LICENSED, licensed), status::Success);
    QCOMPARE(openAs("FS1", NWCC_NAME_FORMAT_BIND, NWCC_OPEN_LICENSED, second), status::MaximumLoginsExceeded);
    QCOMPARE(second, 0u);
    QCOMPARE(openAs("FS1", NWCC_NAME_FORMAT_WILD, NWCC_OPEN_PUBLIC, shared), status::Success);
    QCOMPARE(openAs("FS1", NWCC_NAME_FORMAT_BIND, NWCC_OPEN_UNLICENSED, second), status::Success);
    QCOMPARE(c->NWAttachToFileServer("FS1", 0, attached), status::Success);
    // Closing the licensed connection gives its licence back; others do not free one.
    QCOMPARE(c->NWCCCloseConn(shared), status::Success);
    NWCONN_HANDLE again = 0;
    QCOMPARE(openAs("FS1", NWCC_NAME_FORMAT_BIND, NWCC_OPEN_LICENSED, again), status::MaximumLoginsExceeded);
    QCOMPARE(c->NWCCCloseConn(licensed), status::Success);
    QCOMPARE(openAs("FS1", NWCC_NAME_FORMAT_BIND, NWCC_OPEN_LICENSED, again), status::Success);

    // A server at its licence limit still takes public opens; one without a limit takes any.
    NWCONN_HANDLE full = 0;
    QCOMPARE(openAs("FULL", NWCC_NAME_FORMAT_BIND, NWCC_OPEN_LICENSED, full), status::MaximumLoginsExceeded);
    QCOMPARE(openAs("FULL", NWCC_NAME_FORMAT_WILD, NWCC_OPEN_PUBLIC, full), status::Success);
    for (int i = 0; i < 3; ++i)
        QVERIFY(open(*c, "FS2"));

    const auto& opens = sim->connectionOpens();
    QCOMPARE(opens.size(), size_t(11));  // the attach is no open by name
    QCOMPARE(opens.at(2).name, QStringLiteral("FS1"));
    QCOMPARE(opens.at(2).nameFormat, NWCC_NAME_FORMAT_WILD);
    QCOMPARE(opens.at(2).openState, NWCC_OPEN_PUBLIC);
    QCOMPARE(opens.at(2).transport, NW_TRAN_TYPE_WILD);
    QCOMPARE(opens.at(1).result, status::MaximumLoginsExceeded);
    QCOMPARE(opens.back().name, QStringLiteral("FS2"));
    QCOMPARE(opens.back().openState, NWCC_OPEN_LICENSED);
    sim->clearConnectionOpens();
    QVERIFY(sim->connectionOpens().empty());
}

void TestSimNetwork::volumesAndDrives()
{
    auto c = testing::makeNetwork(
        fs1(R"("volumes": [
        { "name": "SYS", "totalBlocks": 1000, "availableBlocks": 400, "purgeableBlocks": 10 },
        { "name": "_ADMIN" }, { "name": "OFFLINE", "mounted": false }, { "name": "DATA", "number": 7, "sectorsPerBlock": 16 } ])")
            .replace("\"logins\"", "\"drives\": { \"F\": \"FS1/SYS:\", \"z\": \"fs1/sys:PUBLIC\" }, \"logins\""));
    QVERIFY(c);
    const NWCONN_HANDLE conn = open(*c, "FS1");
    QStringList names;
    quint32 iterator = 0;
    do {
        quint32 returned = 0;
        std::array<VolumeRecord, 1> record{};
        if (c->NWScanMountedVolumeList(conn, 1, NW_NS_LONG, iterator, 1, returned, record) != 0)
            break;
        if (returned == 1)
            names.append(QStringLiteral("%1:%2").arg(text(record[0].volumeName)).arg(record[0].volumeNumber));
    } while (iterator != 0 && names.size() < 10);
    QCOMPARE(names, (QStringList{"SYS:0", "_ADMIN:1", "DATA:7"}));

    quint16 number = 0;
    QCOMPARE(c->NWGetVolumeNumber(conn, "data", number), 0u);
    QCOMPARE(number, quint16(7));
    QCOMPARE(c->NWGetVolumeNumber(conn, "OFFLINE", number), status::NoSuchVolume);
    DirSpaceInfo space;
    QCOMPARE(c->NWGetDirSpaceInfo(conn, 0, 0, space), 0u);
    QCOMPARE((QList<quint32>{space.totalBlocks, space.availableBlocks, space.purgeableBlocks, space.sectorsPerBlock}),
             (QList<quint32>{1000, 400, 10, 8}));

    auto driveStatus = [&](quint16 drive) {
        quint16 state = 99;
        NWCONN_HANDLE handle = 0;
        std::array<char, 256> root{}, relative{}, full{};
        c->NWGetDriveStatus(drive, 2, state, handle, root, relative, full);
        return QStringLiteral("%1 %2").arg(state).arg(text(full));
    };
    QCOMPARE(driveStatus(6), QStringLiteral("4 FS1/SYS:"));
    QCOMPARE(driveStatus(26), QStringLiteral("4 FS1/SYS:PUBLIC"));
    QCOMPARE(driveStatus(3), QStringLiteral("2 C:\\"));
    QCOMPARE(driveStatus(25), QStringLiteral("0 "));

    std::array<char, 50> server{}, volume{};
    std::array<char, 500> dirPath{};
    NWCONN_HANDLE parsed = 0;
    QCOMPARE(c->NWParsePath("fs1/data:APPS\\SUB", server, parsed, volume, dirPath), 0u);
    QCOMPARE(text(server) + u'|' + text(volume) + u'|' + text(dirPath), QStringLiteral("FS1|DATA|APPS\\SUB"));
    QVERIFY(parsed != 0);
    QCOMPARE(c->NWParsePath("Z:\\DOCS", server, parsed, volume, dirPath), 0u);
    QCOMPARE(text(dirPath), QStringLiteral("PUBLIC\\DOCS"));
    QCOMPARE(c->NWParsePath("FS1/NOVOL:", server, parsed, volume, dirPath), status::NoSuchVolume);
    QCOMPARE(c->NWParsePath("GONE/SYS:", server, parsed, volume, dirPath), status::ConnectionRefused);

    QCOMPARE(c->NWSetDriveBase(25, conn, 0, "DATA", 0), 0u);
    QCOMPARE(driveStatus(25), QStringLiteral("4 FS1/DATA:"));
    QCOMPARE(c->NWDeleteDriveBase(25, 0), 0u);
    QCOMPARE(driveStatus(25), QStringLiteral("0 "));
    QCOMPARE(c->NWSetDriveBase(25, conn, 0, "NOVOL", 0), status::NoSuchVolume);
}

void TestSimNetwork::partitionsOfAServer()
{
    auto c = testing::makeNetwork(acme(kTwoServers));
    QVERIFY(c);
    const NWDSContextHandle ctx = context(*c, DCV_TYPELESS_NAMES);
    NWDSBufHandle buf = 0;
    c->NWDSAllocBuf(DEFAULT_MESSAGE_LEN, buf);
    qint32 iteration = -1;
    std::array<char, 256> server{};
    quint32 count = 0;
    QCOMPARE(c->NWDSListPartitions(ctx, iteration, "FS1", buf), 0u);
    QCOMPARE(iteration, -1);
    QCOMPARE(c->NWDSGetServerName(ctx, buf, server, count), 0u);
    QCOMPARE(text(server), QStringLiteral("FS1.SALES.ACME"));
    QStringList partitions;
    for (quint32 i = 0; i < count && i < 10; ++i) {
        std::array<char, 256> name{};
        quint32 type = 9;
        QCOMPARE(c->NWDSGetPartitionInfo(ctx, buf, name, type), 0u);
        partitions.append(QStringLiteral("%1=%2").arg(text(name)).arg(type));
    }
    QCOMPARE(partitions, (QStringList{"[Root]=0", "SALES.ACME=2"}));

    QCOMPARE(c->NWDSListPartitionsExtInfo(ctx, iteration, ".FS1.SALES.ACME", 0xDD, buf), 0u);
    c->NWDSGetServerName(ctx, buf, server, count);
    quint32 ptr = 0;
    QCOMPARE(c->NWDSGetPartitionExtInfoPtr(ctx, buf, ptr), 0u);
    std::array<quint8, 64> data{};
    quint32 length = 0;
    QCOMPARE(c->NWDSGetPartitionExtInfo(ctx, ptr, DSP_MODIFICATION_TIMESTAMP, data, length), 0u);
    QCOMPARE(length, 8u);
    const quint32 seconds = data[0] | (data[1] << 8) | (data[2] << 16) | (quint32(data[3]) << 24);
    QCOMPARE(QDateTime::fromSecsSinceEpoch(seconds), QDateTime(QDate(2026, 12, 1), QTime(10, 0)));
    QCOMPARE(c->NWDSGetPartitionExtInfo(ctx, ptr, DSP_PARTITION_DN, data, length), 0u);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(data.data()), length), QByteArray("[Root]\0", 7));
    QCOMPARE(c->NWDSGetPartitionExtInfoPtr(ctx, buf, ptr), 0u);
    QCOMPARE(c->NWDSGetPartitionExtInfo(ctx, ptr, DSP_REPLICA_STATE, data, length), 0u);
    QCOMPARE(data[0], 3);

    QCOMPARE(c->NWDSListPartitions(ctx, iteration, "FS2", buf), 0u);
    c->NWDSGetServerName(ctx, buf, server, count);
    QCOMPARE(count, 0u);
    QCOMPARE(c->NWDSListPartitions(ctx, iteration, "NOBODY", buf), status::NoSuchEntry);
    c->NWDSFreeBuf(buf);
    c->NWDSFreeContext(ctx);
}

void TestSimNetwork::generatedNetworkIsDeterministic()
{
    const QByteArray json = acme(kTwoServers, R"("generate": [ { "prefix": "GEN", "count": 12, "tree": "ACME_TREE",
        "context": "EAST.MKTG.ACME", "nlms": 30, "setParameters": 40, "connections": 50, "differences": 0.2, "seed": 7 } ],)");
    auto a = testing::makeNetwork(json);
    auto b = testing::makeNetwork(json);
    QVERIFY(a && b);

    const Search found = search(*a, ".MKTG.ACME", DS_SEARCH_SUBTREE, "NCP Server");
    QCOMPARE(found.names.size(), 13);
    QVERIFY(found.names.contains(QStringLiteral("GEN007.EAST.MKTG.ACME")));

    auto versions = [](NetWareClient& c, const QByteArray& server) {
        const NWCONN_HANDLE conn = open(c, server);
        QStringList result;
        for (quint32 n : loadedModules(c, conn)) {
            std::array<char, 100> file{};
            NLMInfo info;
            c.NWGetNLMInfo(conn, n, file, {}, {}, info);
            result.append(QStringLiteral("%1 %2.%3.%4")
                              .arg(text(file))
                              .arg(info.majorVersion)
                              .arg(info.minorVersion)
                              .arg(info.revision));
        }
        return result;
    };
    // The same server draws the same lists whatever was asked before.
    versions(*b, "GEN003");
    const QStringList first = versions(*a, "GEN009");
    QCOMPARE(versions(*b, "GEN009"), first);
    QCOMPARE(first.size(), 30);
    const QStringList other = versions(*a, "GEN010");
    int differing = 0;
    for (int i = 0; i < first.size(); ++i)
        differing += first[i] != other[i] ? 1 : 0;
    QVERIFY2(differing > 0 && differing < 20, qPrintable(QString::number(differing)));
    const NWCONN_HANDLE gen1 = open(*a, "GEN001");
    QCOMPARE(setParameterNames(*a, gen1).size(), 40);
    QCOMPARE(activeConnections(*a, gen1, 11, 1).size() + activeConnections(*a, gen1, 2, 1).size(), 51);
}

void TestSimNetwork::walkingAGeneratedNetworkReleasesLists()
{
    // Servers with 50,000 rows each: the list cache keeps only a few at a time,
    // and what a server lost at run time stays lost when its lists are drawn again.
    const QByteArray json = acme(kTwoServers, R"("generate": [ { "prefix": "GEN", "count": 60, "tree": "ACME_TREE",
        "nlms": 10, "setParameters": 10, "connections": 5000, "openFilesPerConnection": 9, "seed": 3 } ],)");
    auto c = testing::makeNetwork(json);
    QVERIFY(c);
    const NWCONN_HANDLE first = open(*c, "GEN001");
    QCOMPARE(c->NWClearConnectionNumber(first, 17), 0u);
    std::array<char, 48> name{};
    quint16 objectType = 0;
    quint32 objectId = 0;
    std::array<quint8, 7> login{};
    const NWRCODE before = c->NWGetConnectionInformation(first, 18, name, objectType, objectId, login);
    QCOMPARE(before, 0u);
    const QString user = text(name);
    const std::array<quint8, 7> loginBefore = login;
    for (int i = 2; i <= 60; ++i) {
        const NWCONN_HANDLE conn = open(*c, QStringLiteral("GEN%1").arg(i, 3, 10, QLatin1Char('0')).toLatin1());
        qsizetype listed = 0;
        for (quint32 type : {11U, 2U})
            listed += activeConnections(*c, conn, type, 1).size() + activeConnections(*c, conn, type, 4097).size();
        QCOMPARE(listed, 5001);
    }
    QCOMPARE(c->NWGetConnectionInformation(first, 17, name, objectType, objectId, login), 0x89FDu);
    // The count of connections in use, read without drawing the lists, agrees.
    for (const QByteArray& server : {QByteArray("GEN001"), QByteArray("GEN030")}) {
        std::array<char, 48> serverName{};
        FileServerInformation info;
        QCOMPARE(c->NWGetFileServerInformation(open(*c, server), serverName, info), 0u);
        QCOMPARE(info.connectionsInUse, quint16(server == "GEN001" ? 5000 : 5001));
    }
    QCOMPARE(c->NWGetConnectionInformation(first, 18, name, objectType, objectId, login), 0u);
    QCOMPARE(text(name), user);
    QVERIFY(login == loginBefore);
}

void TestSimNetwork::descriptionReadingStopsAtTheLimit()
{
    // An endless source is read only up to the largest description.
    if (!QFile::exists(QStringLiteral("/dev/zero")))
        QSKIP("no endless device here");
    const ClientLoad load = loadSimulatedNetwork(QStringLiteral("/dev/zero"));
    QCOMPARE(load.outcome, ClientLoad::Outcome::Unreadable);
    QVERIFY2(load.problem.contains(QLatin1String("larger than 32 MB")), qPrintable(load.problem));
}

void TestSimNetwork::hostileDescriptionsStayWithinBounds_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("refusal");  // empty: the description loads
    QTest::addColumn<int>("containers");   // found by a subtree search when it loads

    QTest::newRow("10,000 leaves under a 500-deep chain") << chainNetwork(500, 10000) << "256" << 0;
    QTest::newRow("10,000 leaves under the deepest chain the names allow")
        << chainNetwork(120, 10000) << QString() << 10120;
    QTest::newRow("10,000 servers in the deepest container") << chainNetwork(120, 0, 10000) << QString() << 120;
    QTest::newRow("the largest generated network")
        << QByteArray(R"({ "format": 1, "trees": [ { "name": "T", "containers": [ { "name": "C" } ] } ],
                           "generate": [ { "prefix": "G", "count": 100000, "tree": "T", "volumes": 10, "connections": 100 } ] })")
        << QString() << 1;
    QByteArray bare = R"({ "format": 1, "trees": [ { "name": "T" } ], "servers": [ )";
    bare.reserve(31 << 20);
    for (int i = 0; i < 1000000; ++i)
        bare += (i ? ",{\"name\":\"S" : "{\"name\":\"S") + QByteArray::number(i) + R"(","tree":"T"})";
    bare += " ] }";
    QTest::newRow("a million bare servers") << bare << "generate" << 0;
    QByteArray lists = R"({ "format": 1, "trees": [ { "name": "T" } ], "nlmListBatch": [)";
    lists += QByteArray("[],").repeated(8 << 20) + "[] ] }";
    QTest::newRow("millions of empty lists") << lists << "objects and lists" << 0;
}

void TestSimNetwork::hostileDescriptionsStayWithinBounds()
{
    // Each loads within five seconds and 400 MB, or is refused as quickly.
    QFETCH(QByteArray, json);
    QFETCH(QString, refusal);
    QFETCH(int, containers);
    const testing::ResourceUse use;
    ClientLoad load = loadSimulatedNetworkFromJson(json, QDir::tempPath(), QStringLiteral("net.json"));
    if (refusal.isEmpty()) {
        QVERIFY2(load.client, qPrintable(load.problem));
        const Search found = search(*load.client, "[Root]", DS_SEARCH_SUBTREE, "Organizational Unit", "T");
        QCOMPARE(found.status, 0u);
        QCOMPARE(found.names.size(), containers);
    } else {
        QCOMPARE(load.outcome, ClientLoad::Outcome::Unreadable);
        QVERIFY2(load.problem.startsWith(QLatin1String("net.json: ")) && load.problem.contains(refusal),
                 qPrintable(load.problem));
    }
    load.client.reset();
    qInfo("%lld KB: %lld ms (%lld ms processor time), %lld MB", static_cast<long long>(json.size() >> 10),
          static_cast<long long>(use.elapsedMs()), static_cast<long long>(use.cpuMs()),
          static_cast<long long>(use.growthMb()));
    QVERIFY2(use.cpuMs() < 5000 * testing::kSanitizerSlowdown, qPrintable(QString::number(use.cpuMs())));
    QVERIFY2(use.growthMb() < 400, qPrintable(QString::number(use.growthMb())));
}

void TestSimNetwork::manyGroupsLoadLikeOne()
{
    // A thousand groups load in about the time of one group of as many servers.
    const qint64 one = bestLoadMs(groupedNetwork(1, 20000));
    const qint64 many = bestLoadMs(groupedNetwork(1000, 20));
    qInfo("one group: %lld ms, 1000 groups: %lld ms", static_cast<long long>(one), static_cast<long long>(many));
    QVERIFY2(many <= 3 * std::max<qint64>(one, 20),
             qPrintable(QStringLiteral("%1 ms against %2 ms").arg(many).arg(one)));
}

void TestSimNetwork::demoStartsTogether()
{
    // Programs started at once on a fresh cache each find a complete copy of the
    // demo's files, and no half-made folder is left behind.
    for (int round = 0; round < 5; ++round) {
        QTemporaryDir cache;
        QVERIFY(cache.isValid());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), cache.path());
        environment.remove(QStringLiteral("VESKARO_NETWORK"));
        QProcess starters[4];
        for (QProcess& starter : starters) {
            starter.setProcessEnvironment(environment);
            starter.start(QStringLiteral(VESKARO_DEMO_STARTER), {});
        }
        for (QProcess& starter : starters) {
            QVERIFY(starter.waitForFinished(60000));
            QVERIFY2(starter.exitStatus() == QProcess::NormalExit && starter.exitCode() == 0,
                     qPrintable(QStringLiteral("round %1: %2")
                                    .arg(round)
                                    .arg(QString::fromLocal8Bit(starter.readAllStandardError()))));
        }
        const QStringList folders =
            QDir(cache.path() + QStringLiteral("/Veskaro")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCOMPARE(folders.size(), 1);
        QVERIFY(
            QFile::exists(cache.path() + QStringLiteral("/Veskaro/") + folders.first() + QStringLiteral("/.complete")));
    }
}

VESKARO_TEST_GUILESS_MAIN(TestSimNetwork)
#include "test_simnetwork.moc"

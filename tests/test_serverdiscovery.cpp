// Server discovery: the search below the starting container, its scope, the
// hidden servers of the tree, and the starting container read from settings.

#include "netware/ClientProvider.h"
#include "netware/NovellCalls.h"
#include "netware/ServerDiscovery.h"
#include "netware/ServerSession.h"
#include "settings/Registry.h"
#include "support/EndlessServer.h"
#include "support/MemoryRegistry.h"
#include "support/SimNetwork.h"
#include "support/TestContext.h"
#include "support/TestMain.h"

#include <QDir>
#include <QTest>

using namespace nw;

namespace {

const QByteArray kNetwork = R"({
  "format": 1, "clock": "2026-12-05T19:04:36", "searchBatch": 2,
  "workstation": { "tree": "ACME_TREE", "logins": { "ACME_TREE": "admin.ACME" } },
  "trees": [ { "name": "ACME_TREE",
               "containers": [ { "name": "ACME", "class": "Organization", "children": [
                   { "name": "SALES", "class": "Organizational Unit",
                     "children": [ { "name": "EAST", "class": "Organizational Unit" } ] },
                   { "name": "ENG", "class": "Organizational Unit" } ] } ] } ],
  "servers": [ { "name": "FS1", "tree": "ACME_TREE", "context": "SALES.ACME" },
               { "name": "FS2", "tree": "ACME_TREE", "context": "SALES.ACME" },
               { "name": "EAST-FS", "tree": "ACME_TREE", "context": "EAST.SALES.ACME" },
               { "name": "ENG-FS", "tree": "ACME_TREE", "context": "ENG.ACME" },
               { "name": "HQ", "tree": "ACME_TREE", "context": "ACME" } ]
})";

const QString kRoot = settings::kRootKey;
const QString kHidden = settings::rootKeyPath(QStringLiteral("Hidden"));

struct Fixture {
    Fixture() : client(testing::makeNetwork(kNetwork)), test(*client, registry)
    {
        test.context.values.treeName = QStringLiteral("ACME_TREE");
        registry.createKey(settings::Hive::CurrentUser, kRoot);
    }
    void store(const QString& path, const QString& name, const QString& value)
    {
        registry.createKey(settings::Hive::CurrentUser, path);
        registry.setValue(settings::Hive::CurrentUser, path, name, value);
    }
    testing::MemoryRegistry registry;
    std::unique_ptr<NetWareClient> client;
    testing::TestContext test;
};

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

}  // namespace

class TestServerDiscovery : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void searchScope_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("subContainers");
        QTest::addColumn<QStringList>("found");
        QTest::addColumn<QString>("context");
        QTest::newRow("root, whole tree")
            << "ACME_TREE\\[Root]" << true << QStringList{"EAST-FS", "ENG-FS", "FS1", "FS2", "HQ"} << "[Root]";
        QTest::newRow("container, whole subtree")
            << "ACME_TREE\\ACME\\SALES\\" << true << QStringList{"EAST-FS", "FS1", "FS2"} << ".SALES.ACME";
        QTest::newRow("container only") << "ACME_TREE\\ACME\\SALES\\" << false << QStringList{"FS1", "FS2"}
                                        << ".SALES.ACME";
        QTest::newRow("empty container") << "ACME_TREE\\ACME\\ENG\\SUB\\" << true << QStringList{} << ".SUB.ENG.ACME";
        // A container stored for another tree names nothing here: the whole tree is searched.
        QTest::newRow("another tree's container")
            << "OTHER_TREE\\OTH\\" << true << QStringList{"EAST-FS", "ENG-FS", "FS1", "FS2", "HQ"} << "[Root]";
        QTest::newRow("the tree in other case")
            << "acme_tree\\ACME\\SALES\\" << false << QStringList{"FS1", "FS2"} << ".SALES.ACME";
    }
    void searchScope()
    {
        QFETCH(QString, stored);
        QFETCH(bool, subContainers);
        QFETCH(QStringList, found);
        QFETCH(QString, context);
        Fixture f;
        QVERIFY(f.client);
        f.store(kRoot, QStringLiteral("StartingServerContext"), stored);
        f.test.context.values.searchSubContainers = subContainers;
        const ServerLists lists = findServers(f.test.context, QStringLiteral("NCP Server"));
        QCOMPARE(sorted(lists.all), found);
        QCOMPARE(lists.visible, lists.all);
        QCOMPARE(f.test.context.values.startingServerContext, context);
    }

    void hiddenServersOfTheTree()
    {
        Fixture f;
        QVERIFY(f.client);
        f.store(kRoot, QStringLiteral("StartingServerContext"), QStringLiteral("ACME_TREE\\ACME\\SALES\\"));
        // Entries are trimmed and compared exactly; a server that no longer
        // exists has no effect; another tree's list does not count.
        f.store(kHidden, QStringLiteral("ACME_TREE"), QStringLiteral("FS1, GONE,fs2"));
        f.store(kHidden, QStringLiteral("OTHER_TREE"), QStringLiteral("FS2"));
        const ServerLists lists = findServers(f.test.context, QStringLiteral("NCP Server"));
        QCOMPARE(sorted(lists.all), (QStringList{"EAST-FS", "FS1", "FS2"}));
        QCOMPARE(sorted(lists.visible), (QStringList{"EAST-FS", "FS2"}));
    }

    void longHiddenListsAreReadWhole()
    {
        Fixture f;
        QVERIFY(f.client);
        f.store(kRoot, QStringLiteral("StartingServerContext"), QStringLiteral("ACME_TREE\\ACME\\SALES\\"));
        // About a hundred hidden servers fill more than a thousand characters.
        QStringList names;
        for (int i = 0; i < 150; ++i)
            names.append(QStringLiteral("RETIRED-%1").arg(i, 3, 10, QLatin1Char('0')));
        names.append(QStringLiteral("FS1"));
        QVERIFY(names.join(QLatin1Char(',')).size() > 1000);
        f.store(kHidden, QStringLiteral("ACME_TREE"), names.join(QLatin1Char(',')));
        const ServerLists lists = findServers(f.test.context, QStringLiteral("NCP Server"));
        QCOMPARE(sorted(lists.visible), (QStringList{"EAST-FS", "FS2"}));
    }

    void namesCrossAsTheAnsiCodePage_data()
    {
        QTest::addColumn<QString>("server");
        QTest::newRow("ligature") << QStringLiteral("\u0152RSTED1");
        QTest::newRow("euro sign") << QStringLiteral("FS\u20AC");
        QTest::newRow("en dash") << QStringLiteral("HQ\u2013FS");
        QTest::newRow("typographic quote") << QStringLiteral("O\u2019HARE");
    }
    void namesCrossAsTheAnsiCodePage()
    {
        QFETCH(QString, server);
        const QByteArray json = QStringLiteral(R"({"format": 1, "trees": [{"name": "T",
            "containers": [{"name": "O", "class": "Organization"}]}],
            "servers": [{"name": "%1", "tree": "T", "context": "O"}]})")
                                    .arg(server)
                                    .toUtf8();
        testing::MemoryRegistry registry;
        auto client = testing::makeNetwork(json);
        QVERIFY(client);
        testing::TestContext test(*client, registry);
        test.context.values.treeName = QStringLiteral("T");
        registry.createKey(settings::Hive::CurrentUser, kRoot);
        registry.setValue(settings::Hive::CurrentUser, kRoot, QStringLiteral("StartingServerContext"),
                          QStringLiteral("T\\[Root]"));
        QCOMPARE(findServers(test.context, QStringLiteral("NCP Server")).all, QStringList{server});
        // ... and the name opens a connection to that server.
        NWCONN_HANDLE connection = 0;
        QCOMPARE(openConnectionByName(*client, server, connection), status::Success);
    }

    void unreadableObjectNamesAddNoEntries()
    {
        const QByteArray json = R"({"format": 1, "trees": [{"name": "T",
            "containers": [{"name": "O", "class": "Organization"}],
            "faults": {"NWDSGetObjectName": "0x8801"}}],
            "servers": [{"name": "FS1", "tree": "T", "context": "O"}, {"name": "FS2", "tree": "T", "context": "O"}]})";
        testing::MemoryRegistry registry;
        auto client = testing::makeNetwork(json);
        QVERIFY(client);
        testing::TestContext test(*client, registry);
        test.context.values.treeName = QStringLiteral("T");
        registry.createKey(settings::Hive::CurrentUser, kRoot);
        registry.setValue(settings::Hive::CurrentUser, kRoot, QStringLiteral("StartingServerContext"),
                          QStringLiteral("T\\[Root]"));
        const ServerLists lists = findServers(test.context, QStringLiteral("NCP Server"));
        QCOMPARE(lists.all, QStringList());
        QCOMPARE(lists.visible, QStringList());
    }

    // A directory whose search never ends and a server whose volume scan
    // never ends: both are cut off, the search after the most replies taken.
    void endlessSearchesAndVolumeScansAreCutOff()
    {
        testing::EndlessServer server;
        testing::MemoryRegistry registry;
        testing::TestContext test(server, registry);
        test.context.values.treeName = QStringLiteral("T");
        registry.createKey(settings::Hive::CurrentUser, kRoot);
        registry.setValue(settings::Hive::CurrentUser, kRoot, QStringLiteral("StartingServerContext"),
                          QStringLiteral("T\\[Root]"));
        const ServerLists lists = findServers(test.context, QStringLiteral("NCP Server"));
        QCOMPARE(server.replies, nw::kMaxListingReplies);
        QCOMPARE(lists.all.size(), nw::kMaxListingReplies);  // one server a reply
        server.replies = 0;
        QStringList volumes;
        listServerVolumes(test.context, QStringLiteral("FS1"), true, volumes);
        QCOMPARE(server.replies, 256);
        QCOMPARE(volumes, QStringList{QStringLiteral("VOL")});
    }

    void firstRunCreatesTheSettingsAndUsesTheDialog()
    {
        testing::MemoryRegistry registry;
        auto client = testing::makeNetwork(kNetwork);
        QVERIFY(client);
        testing::TestContext test(*client, registry);
        test.context.values.treeName = QStringLiteral("ACME_TREE");
        int dialogs = 0;
        test.context.startingContainerDialog = [&](core::AppContext& context) {
            ++dialogs;
            context.values.startingServerContext = QStringLiteral(".ENG.ACME");
        };
        const ServerLists lists = findServers(test.context, QStringLiteral("NCP Server"));
        test.context.startingContainerDialog = {};
        QCOMPARE(dialogs, 1);
        QCOMPARE(lists.all, QStringList{"ENG-FS"});
        QVERIFY(registry.keyExists(settings::Hive::CurrentUser, kHidden));
        QCOMPARE(registry.queryValue(settings::Hive::CurrentUser, kRoot, QStringLiteral("StartingServerContext")),
                 std::optional<QString>(QString()));
    }

    void withoutDialogTheTreeRootIsSearched()
    {
        Fixture f;
        QVERIFY(f.client);
        const ServerLists lists = findServers(f.test.context, QStringLiteral("NCP Server"));
        QCOMPARE(lists.all.size(), 5);
        QCOMPARE(f.test.context.values.startingServerContext, QStringLiteral("[Root]"));
    }

    void treeIsReadFromTheClient()
    {
        Fixture f;
        QVERIFY(f.client);
        f.test.context.values.treeName.clear();
        initClient(f.test.context);
        QCOMPARE(f.test.context.values.treeName, QStringLiteral("ACME_TREE"));
    }

    void builtInDemoNetworkLoads()
    {
        qputenv("VESKARO_NETWORK", QByteArray());
        qputenv("XDG_CACHE_HOME", QDir::tempPath().toUtf8() + "/veskaro-test-cache");
        const ClientLoad load = loadNetWareClient();
        QVERIFY2(load.outcome == ClientLoad::Outcome::Loaded, qPrintable(load.problem));
        testing::MemoryRegistry registry;
        testing::TestContext test(*load.client, registry);
        initClient(test.context);
        test.context.values.startingServerContext = QStringLiteral("[Root]");
        registry.createKey(settings::Hive::CurrentUser, kRoot);
        registry.setValue(settings::Hive::CurrentUser, kRoot, QStringLiteral("StartingServerContext"),
                          test.context.values.treeName + QStringLiteral("\\[Root]"));
        QVERIFY(findServers(test.context, QStringLiteral("NCP Server")).all.size() >= 8);
    }
};

VESKARO_TEST_GUILESS_MAIN(TestServerDiscovery)
#include "test_serverdiscovery.moc"

// Directory names, the container browser in both its forms, and the login
// dialog with its remembered fields, against a small simulated network.

#include "directory/ContainerBrowser.h"
#include "directory/ContainerNames.h"
#include "directory/DirectoryReaders.h"
#include "directory/DirectorySettings.h"
#include "directory/LoginDialog.h"
#include "settings/FileRegistryStore.h"
#include "settings/Registry.h"
#include "support/EndlessServer.h"
#include "support/MemoryRegistry.h"
#include "support/SimNetwork.h"
#include "support/TestContext.h"
#include "support/TestMain.h"

#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTreeWidget>

using namespace directory;
using settings::Hive;

namespace {

const QByteArray kNetwork = R"({
  "format": 1, "clock": "2026-12-05T19:04:36", "searchBatch": 2,
  "workstation": { "tree": "ACME_TREE", "logins": { "ACME_TREE": "admin.ACME" },
                   "connectedTrees": ["ACME_TREE"] },
  "trees": [ { "name": "ACME_TREE",
               "containers": [ { "name": "ACME", "class": "Organization", "children": [
                   { "name": "SALES", "class": "Organizational Unit",
                     "children": [ { "name": "EAST", "class": "Organizational Unit" } ] },
                   { "name": "ENG", "class": "Organizational Unit" },
                   { "name": "NEWYORK", "class": "Locality",
                     "children": [ { "name": "SHOWROOM", "class": "Organizational Unit" } ] } ] },
                 { "name": "US", "class": "Country" },
                 { "name": "com", "class": "Domain" } ],
               "users": [ { "name": "admin", "context": "ACME", "password": "secret" },
                          { "name": "jsmith", "context": "EAST.SALES.ACME", "password": "sales" } ] },
             { "name": "GLOBEX_TREE", "reachable": false,
               "containers": [ { "name": "GLOBEX", "class": "Organization" } ],
               "users": [ { "name": "admin", "context": "GLOBEX", "password": "globex" } ] },
             { "name": "HIDDEN_TREE", "advertised": false,
               "containers": [ { "name": "H", "class": "Organization" } ] },
             { "name": "BROKEN_TREE", "advertised": false, "faults": { "NWDSGetObjectName": "0x8836" },
               "containers": [ { "name": "B1", "class": "Organization" }, { "name": "B2", "class": "Domain" } ] } ],
  "servers": [ { "name": "FS1", "tree": "ACME_TREE", "context": "SALES.ACME" } ]
})";

const QString kTreesKey = settings::rootKeyPath(QStringLiteral("LoginForm\\Trees"));

struct Fixture {
    Fixture() : client(testing::makeNetwork(kNetwork)), test(*client, registry)
    {
        if (!client)
            qFatal("the test network does not load");
        test.context.values.treeName = QStringLiteral("ACME_TREE");
        settings::resetStartingServerContext(registry);
    }
    core::AppContext& context() { return test.context; }
    void remember(const QString& tree, const QString& user, const QString& ctx, const QString& server)
    {
        saveTreeLogin(registry, tree, user, ctx, server);
    }
    std::optional<QString> remembered(const QString& tree, const QString& name) const
    {
        return registry.queryValue(Hive::CurrentUser, kTreesKey + QLatin1Char('\\') + tree, name);
    }
    testing::MemoryRegistry registry;
    std::unique_ptr<nw::NetWareClient> client;
    testing::TestContext test;
};

QStringList childTexts(const QTreeWidgetItem* node)
{
    QStringList texts;
    for (int i = 0; i < node->childCount(); ++i)
        texts.append(node->child(i)->text(0));
    return texts;
}

QTreeWidgetItem* childNamed(QTreeWidgetItem* node, const QString& text)
{
    for (int i = 0; i < node->childCount(); ++i)
        if (node->child(i)->text(0) == text)
            return node->child(i);
    return nullptr;
}

void fill(LoginDialog& login, const QString& tree, const QString& user, const QString& context, const QString& password)
{
    login.treeBox()->setEditText(tree);
    login.userBox()->setEditText(user);
    login.contextBox()->setEditText(context);
    login.passwordBox()->setText(password);
}

QStringList items(const QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts.append(box->itemText(i));
    return texts;
}

}  // namespace

class TestDirectoryLogin : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // --- Names -------------------------------------------------------------------
    void containerClasses_data()
    {
        QTest::addColumn<QString>("baseClass");
        QTest::addColumn<int>("expected");  // -1: not shown
        QTest::newRow("country") << "Country" << int(ContainerClass::Country);
        QTest::newRow("organization, any case") << "organization" << int(ContainerClass::Organization);
        QTest::newRow("unit") << "Organizational Unit" << int(ContainerClass::OrganizationalUnit);
        QTest::newRow("domain") << "DOMAIN" << int(ContainerClass::Domain);
        QTest::newRow("locality") << "Locality" << -1;
        QTest::newRow("server") << "NCP Server" << -1;
    }
    void containerClasses()
    {
        QFETCH(QString, baseClass);
        QFETCH(int, expected);
        const auto found = containerClassOf(baseClass);
        QCOMPARE(found ? int(*found) : -1, expected);
    }

    void pathsAndNames_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("expected");
        QTest::newRow("top-level context") << "child"
                                           << "ACME"
                                           << "[Root]"
                                           << "ACME";
        QTest::newRow("nested context") << "child"
                                        << "SALES"
                                        << "ACME"
                                        << "SALES.ACME";
        QTest::newRow("starting: root") << "starting"
                                        << "T"
                                        << "T"
                                        << "T\\[Root]";
        QTest::newRow("starting: container") << "starting"
                                             << "T\\ACME\\SALES"
                                             << "T"
                                             << "T\\ACME\\SALES\\";
        QTest::newRow("login: root") << "login"
                                     << "T"
                                     << "T"
                                     << ".[Root]";
        QTest::newRow("login: container") << "login"
                                          << "T\\ACME\\SALES"
                                          << "T"
                                          << ".SALES.ACME";
        QTest::newRow("login name") << "name"
                                    << "admin"
                                    << ".ACME"
                                    << "admin.ACME";
        QTest::newRow("login name, full") << "name"
                                          << ".admin.ACME"
                                          << ".SALES"
                                          << ".admin.ACME";
        QTest::newRow("identity") << "identity"
                                  << "admin.SALES.ACME"
                                  << ""
                                  << ".SALES.ACME";
        QTest::newRow("identity, public") << "identity"
                                          << "[Public]"
                                          << ""
                                          << "[Public]";
        QTest::newRow("identity, at root") << "identity"
                                           << "admin"
                                           << ""
                                           << "[Root]";
        QTest::newRow("stored root") << "stored"
                                     << "T\\[Root]"
                                     << "T"
                                     << "[Root]";
        QTest::newRow("stored container") << "stored"
                                          << "T\\ACME\\SALES\\"
                                          << "T"
                                          << ".SALES.ACME";
    }
    void pathsAndNames()
    {
        QFETCH(QString, rule);
        QFETCH(QString, input);
        QFETCH(QString, second);
        QFETCH(QString, expected);
        QString result;
        if (rule == QLatin1String("child"))
            result = childContext(input, second);
        else if (rule == QLatin1String("starting"))
            result = startingContainerPath(input, second);
        else if (rule == QLatin1String("login"))
            result = loginContextFromPath(input, second);
        else if (rule == QLatin1String("name"))
            result = loginName(input, second);
        else if (rule == QLatin1String("identity"))
            result = containerOfIdentity(input);
        else
            result = startingContextFromPath(input, second);
        QCOMPARE(result, expected);
    }

    // --- Container browser ----------------------------------------------------
    void browserReadsEachLevelOnceAndShowsContainersOnly()
    {
        Fixture f;
        ContainerBrowser browser(f.context(), ContainerBrowser::Purpose::StartingContainer,
                                 QStringLiteral("ACME_TREE"));
        QStringList reads;
        browser.setLevelReader([&](const QString& ctx) {
            reads.append(ctx);
            return listContainerLevel(f.context(), QStringLiteral("ACME_TREE"), ctx);
        });
        QVERIFY(browser.load());
        QTreeWidgetItem* root = browser.rootNode();
        QCOMPARE(root->text(0), QStringLiteral("ACME_TREE"));
        QVERIFY(root->isExpanded());
        QCOMPARE(childTexts(root), (QStringList{"ACME", "com", "US"}));

        QTreeWidgetItem* acme = childNamed(root, QStringLiteral("ACME"));
        QCOMPARE(childTexts(acme), QStringList{"_dummy"});  // the expand sign before reading
        acme->setExpanded(true);
        acme->setExpanded(false);
        acme->setExpanded(true);
        QCOMPARE(reads, (QStringList{"[Root]", "ACME"}));
        // The locality and what lies below it are not shown.
        QCOMPARE(childTexts(acme), (QStringList{"ENG", "SALES"}));

        // A container without sub-containers shows nothing once opened.
        QTreeWidgetItem* eng = childNamed(acme, QStringLiteral("ENG"));
        QCOMPARE(eng->childCount(), 1);
        eng->setExpanded(true);
        QCOMPARE(eng->childCount(), 0);
        QTreeWidgetItem* sales = childNamed(acme, QStringLiteral("SALES"));
        sales->setExpanded(true);
        QCOMPARE(childTexts(sales), QStringList{"EAST"});
        QCOMPARE(reads, (QStringList{"[Root]", "ACME", "ENG.ACME", "SALES.ACME"}));
        QCOMPARE(ContainerBrowser::fullPath(childNamed(sales, QStringLiteral("EAST"))),
                 QStringLiteral("ACME_TREE\\ACME\\SALES\\EAST"));
        QVERIFY(f.test.messages.shown.isEmpty());
    }

    void selectionResults_data()
    {
        QTest::addColumn<bool>("login");
        QTest::addColumn<QString>("node");  // empty: the root
        QTest::addColumn<QString>("expected");
        QTest::newRow("starting, root") << false << ""
                                        << "ACME_TREE\\[Root]";
        QTest::newRow("starting, container") << false << "ACME"
                                             << "ACME_TREE\\ACME\\";
        QTest::newRow("login, root") << true << ""
                                     << ".[Root]";
        QTest::newRow("login, container") << true << "ACME"
                                          << ".ACME";
    }
    void selectionResults()
    {
        QFETCH(bool, login);
        QFETCH(QString, node);
        QFETCH(QString, expected);
        Fixture f;
        ContainerBrowser browser(
            f.context(), login ? ContainerBrowser::Purpose::LoginContext : ContainerBrowser::Purpose::StartingContainer,
            QStringLiteral("ACME_TREE"));
        QVERIFY(browser.load());
        QTreeWidgetItem* chosen = node.isEmpty() ? browser.rootNode() : childNamed(browser.rootNode(), node);
        QVERIFY(chosen);
        browser.tree()->setCurrentItem(chosen);
        QTest::mouseClick(browser.findChild<QWidget*>(QStringLiteral("btnSelect")), Qt::LeftButton);
        QCOMPARE(browser.result(), expected);
    }

    void listingErrors_data()
    {
        QTest::addColumn<QString>("tree");
        QTest::addColumn<bool>("failed");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("tree unreachable")
            << "GLOBEX_TREE" << true << QStringList{"Error - 34948 listing containers! Selected container is: [Root]"};
        // Objects whose names cannot be read are skipped one by one.
        QTest::newRow("names unreadable")
            << "BROKEN_TREE" << false
            << QStringList{"Error - 34870 getting object name!", "Error - 34870 getting object name!"};
    }
    void listingErrors()
    {
        QFETCH(QString, tree);
        QFETCH(bool, failed);
        QFETCH(QStringList, messages);
        Fixture f;
        ContainerBrowser browser(f.context(), ContainerBrowser::Purpose::LoginContext, tree);
        QCOMPARE(browser.load(), !failed);
        QCOMPARE(f.context().values.contextBrowseFailed, failed);
        QCOMPARE(browser.rootNode()->childCount(), 0);
        QCOMPARE(f.test.messages.texts(), messages);
    }

    // A directory that never ends a listing nor a scan: reading stops at the
    // most replies and names the program takes, one container a reply.
    void endlessListingsAreCutOff()
    {
        testing::EndlessServer server;
        testing::MemoryRegistry registry;
        testing::TestContext test(server, registry);
        const ContainerLevel level = listContainerLevel(test.context, QStringLiteral("T"), QStringLiteral("[Root]"));
        QVERIFY(!level.failed);
        QCOMPARE(server.replies, nw::kMaxListingReplies);
        QCOMPARE(level.containers.size(), size_t(nw::kMaxListingReplies));
        QCOMPARE(test.messages.texts(), QStringList());
        QCOMPARE(advertisedTrees(server).size(), nw::kMaxScannedItems);
    }

    // --- Login --------------------------------------------------------------------
    void rememberedFieldsOfAllTreesAndOfOne()
    {
        Fixture f;
        f.remember(QStringLiteral("ACME_TREE"), QStringLiteral("admin"), QStringLiteral(".ACME"),
                   QStringLiteral("FS1"));
        f.remember(QStringLiteral("GLOBEX_TREE"), QStringLiteral("admin"), QStringLiteral(".GLOBEX"), QString());
        LoginDialog login(f.context());
        QCOMPARE(items(login.treeBox()), (QStringList{"ACME_TREE", "GLOBEX_TREE"}));
        QCOMPARE(items(login.userBox()), QStringList{"admin"});
        QCOMPARE(items(login.contextBox()), (QStringList{".ACME", ".GLOBEX"}));
        QCOMPARE(items(login.serverBox()), QStringList{"FS1"});
        QVERIFY(login.userBox()->currentText().isEmpty());

        login.treeBox()->setEditText(QStringLiteral("ACME_TREE"));
        QCOMPARE(login.contextBox()->currentText(), QStringLiteral(".ACME"));
        QCOMPARE(login.serverBox()->currentText(), QStringLiteral("FS1"));
        // The other tree has no server: the field keeps its text.
        login.treeBox()->setEditText(QStringLiteral("GLOBEX_TREE"));
        QCOMPARE(login.contextBox()->currentText(), QStringLiteral(".GLOBEX"));
        QCOMPARE(login.serverBox()->currentText(), QStringLiteral("FS1"));

        // A login with the server left empty keeps the remembered server.
        login.treeBox()->setEditText(QStringLiteral("ACME_TREE"));
        login.serverBox()->setEditText(QString());
        login.passwordBox()->setText(QStringLiteral("secret"));
        login.login();
        QVERIFY(f.context().values.loginSucceeded);
        QCOMPARE(f.remembered(QStringLiteral("ACME_TREE"), QStringLiteral("Server")), std::optional<QString>("FS1"));
    }

    void loginOutcomes_data()
    {
        QTest::addColumn<QString>("tree");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("message");  // empty: logged in
        QTest::addColumn<QString>("title");
        QTest::newRow("logged in") << "acme_tree"
                                   << "jsmith"
                                   << "sales"
                                   << ""
                                   << "";
        QTest::newRow("wrong password") << "ACME_TREE"
                                        << "jsmith"
                                        << "nope"
                                        << "Invalid Login id or Password!"
                                        << "Login Failure";
        QTest::newRow("no such user") << "ACME_TREE"
                                      << "nobody"
                                      << "sales"
                                      << "Invalid Login id or Password!"
                                      << "Login Failure";
        QTest::newRow("tree unreachable") << "GLOBEX_TREE"
                                          << "admin"
                                          << "globex"
                                          << "Unable to attach to selected tree!"
                                          << "Login";
        QTest::newRow("blank user") << "ACME_TREE"
                                    << ""
                                    << "sales"
                                    << "Tree and Username cannot be blank"
                                    << "Login";
    }
    void loginOutcomes()
    {
        QFETCH(QString, tree);
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, message);
        QFETCH(QString, title);
        Fixture f;
        LoginDialog login(f.context());
        fill(login, tree, user, QStringLiteral("EAST.SALES.ACME"), password);  // the context typed without the dot
        login.login();

        if (message.isEmpty()) {
            QVERIFY(f.test.messages.shown.isEmpty());
            QCOMPARE(login.result(), int(QDialog::Accepted));
            QVERIFY(f.context().values.loginSucceeded);
            QCOMPARE(f.context().values.treeName, tree.toUpper());
            QCOMPARE(f.remembered(tree, QStringLiteral("Context")), std::optional<QString>(".EAST.SALES.ACME"));
            QCOMPARE(f.remembered(tree, QStringLiteral("User")), std::optional<QString>(user));
            // The sent name carried the dotted context: the tree knows who logged in.
            QCOMPARE(userContext(f.context()), QStringLiteral(".EAST.SALES.ACME"));
            QVERIFY(login.passwordBox()->text().isEmpty());
        } else {
            QCOMPARE(f.test.messages.texts(), QStringList{message});
            QCOMPARE(f.test.messages.titles(), QStringList{title});
            QVERIFY(!f.context().values.loginSucceeded);
            QCOMPARE(f.context().values.treeName, QStringLiteral("ACME_TREE"));
            QVERIFY(!f.registry.keyExists(Hive::CurrentUser, kTreesKey + QLatin1Char('\\') + tree));
            QCOMPARE(login.passwordBox()->text(), password);  // kept for a second try
            // Cancelled then, even a success left from an earlier login is gone.
            f.context().values.loginSucceeded = true;
            QTest::mouseClick(login.findChild<QWidget*>(QStringLiteral("cmdCancel")), Qt::LeftButton);
            QVERIFY(!f.context().values.loginSucceeded);
            QCOMPARE(f.context().values.treeName, QStringLiteral("ACME_TREE"));
            QVERIFY(login.passwordBox()->text().isEmpty());
        }
        // The password is never remembered.
        QVERIFY(!f.remembered(tree, QStringLiteral("Password")));
    }

    void passwordNeverReachesTheSettingsFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("settings.reg"));
        settings::FileRegistryStore store(path);
        auto client = testing::makeNetwork(kNetwork);
        QVERIFY(client);
        testing::TestContext test(*client, store);
        {
            LoginDialog login(test.context);
            fill(login, QStringLiteral("ACME_TREE"), QStringLiteral("jsmith"), QStringLiteral(".EAST.SALES.ACME"),
                 QStringLiteral("sales"));
            login.serverBox()->setEditText(QStringLiteral("FS1"));
            login.login();
            QVERIFY(test.context.values.loginSucceeded);
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray written = file.readAll();
        QVERIFY(written.contains("jsmith"));
        QVERIFY(written.contains("FS1"));
        QVERIFY(!written.contains("sales"));  // the context holds SALES, in capitals
        QVERIFY(!written.toLower().contains("password"));
    }

    void contextBrowserAndTreeListFillTheFields()
    {
        Fixture f;
        LoginDialog login(f.context());
        login.browseContext();
        QCOMPARE(f.test.messages.texts(), QStringList{"You must select a tree first."});
        QCOMPARE(f.test.messages.titles(), QStringList{"Select Context"});

        QStringList shown;
        int offered = 0;
        login.setModalRunner([&](QDialog& dialog) -> int {
            shown.append(dialog.objectName());
            if (auto* browser = qobject_cast<ContainerBrowser*>(&dialog)) {
                QTreeWidgetItem* acme = childNamed(browser->rootNode(), QStringLiteral("ACME"));
                acme->setExpanded(true);
                browser->selectNode(childNamed(acme, QStringLiteral("SALES")));
            } else if (auto* trees = qobject_cast<AvailableTreesDialog*>(&dialog)) {
                offered = trees->treeList()->count();
                trees->treeList()->setCurrentRow(1);
                trees->selectTree();
            }
            return dialog.result();
        });
        login.treeBox()->setEditText(QStringLiteral("ACME_TREE"));
        login.browseContext();
        QCOMPARE(login.contextBox()->currentText(), QStringLiteral(".SALES.ACME"));
        login.listTrees();
        QCOMPARE(login.treeBox()->currentText(), QStringLiteral("GLOBEX_TREE"));
        QCOMPARE(offered, 2);  // only the advertised trees
        QCOMPARE(shown, (QStringList{"frmLoginContext", "frmAvailableTrees"}));

        // An unreachable tree: the browser is not shown at all.
        login.browseContext();
        QCOMPARE(shown.size(), 2);
        QVERIFY(f.context().values.contextBrowseFailed);
    }
};

VESKARO_TEST_MAIN(TestDirectoryLogin)
#include "test_directorylogin.moc"

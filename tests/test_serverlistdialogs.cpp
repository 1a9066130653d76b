// The two dialogs that decide the server list: the starting container (with
// the first-run opening from the server search) and the hidden servers.

#include "app/MainWindow.h"
#include "app/Program.h"
#include "directory/ContainerBrowser.h"
#include "directory/LoginDialog.h"
#include "directory/ShowHideServersDialog.h"
#include "directory/StartingContainerDialog.h"
#include "netware/ClientProvider.h"
#include "netware/NovellCalls.h"
#include "netware/ServerDiscovery.h"
#include "settings/Registry.h"
#include "support/MemoryRegistry.h"
#include "support/SimNetwork.h"
#include "support/TestContext.h"
#include "support/TestMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using namespace directory;
using settings::Hive;

namespace {

QByteArray network(const QByteArray& topFaults = "{}")
{
    return R"({ "format": 1, "clock": "2026-12-05T19:04:36", "faults": )" + topFaults + R"(,
  "workstation": { "tree": "ACME_TREE", "logins": { "ACME_TREE": "admin.ACME" },
                   "connectedTrees": ["ACME_TREE", "OTHER_TREE"] },
  "trees": [ { "name": "ACME_TREE",
               "containers": [ { "name": "ACME", "class": "Organization", "children": [
                   { "name": "SALES", "class": "Organizational Unit" },
                   { "name": "ENG", "class": "Organizational Unit" } ] } ] },
             { "name": "OTHER_TREE", "containers": [ { "name": "OTHER", "class": "Organization" } ],
               "users": [ { "name": "admin", "context": "OTHER", "password": "other" } ] } ],
  "servers": [ { "name": "FS1", "tree": "ACME_TREE", "context": "SALES.ACME" },
               { "name": "FS2", "tree": "ACME_TREE", "context": "SALES.ACME" },
               { "name": "HQ", "tree": "ACME_TREE", "context": "ACME" },
               { "name": "OTHER-FS", "tree": "OTHER_TREE", "context": "OTHER" } ] })";
}

const QString kRoot = settings::kRootKey;
const QString kHidden = settings::rootKeyPath(QStringLiteral("Hidden"));

// The main window's two lists, filled by the real server search.
class ServerLists : public ServerListHost {
public:
    explicit ServerLists(core::AppContext& context) : m_context(context) {}
    QStringList visibleServers() const override { return visible; }
    QStringList allServers() const override { return all; }
    // lstServers keeps its entries in alphabetical order.
    void setVisibleServers(const QStringList& servers) override
    {
        visible = servers;
        visible.sort();
    }
    void searchServers() override
    {
        ++searches;
        const nw::ServerLists found = nw::findServers(m_context, QStringLiteral("NCP Server"));
        all = found.all;
        setVisibleServers(found.visible);
    }
    QStringList visible;
    QStringList all;
    int searches = 0;

private:
    core::AppContext& m_context;
};

struct Fixture {
    explicit Fixture(const QByteArray& json = network())
        : client(testing::makeNetwork(json))
        , test(*client, registry)
        , lists(test.context)
    {
        if (!client)
            qFatal("the test network does not load");
        settings::resetStartingServerContext(registry);
        values().treeName = QStringLiteral("ACME_TREE");
    }
    core::ProgramValues& values() { return test.context.values; }
    void storeStarting(const QString& path = QStringLiteral("ACME_TREE\\[Root]"))
    {
        registry.setValue(Hive::CurrentUser, kRoot, QStringLiteral("StartingServerContext"), path);
        lists.searchServers();
    }
    void storeHidden(const QString& tree, const QString& servers)
    {
        registry.createKey(Hive::CurrentUser, kHidden);
        registry.setValue(Hive::CurrentUser, kHidden, tree, servers);
    }
    std::optional<QString> stored(const QString& key, const QString& name) const
    {
        return registry.queryValue(Hive::CurrentUser, key, name);
    }
    testing::MemoryRegistry registry;
    std::unique_ptr<nw::NetWareClient> client;
    testing::TestContext test;
    ServerLists lists;
};

QStringList texts(const QListWidget* list)
{
    QStringList names;
    for (int row = 0; row < list->count(); ++row)
        names.append(list->item(row)->text());
    return names;
}

void selectTexts(QListWidget* list, const QStringList& names)
{
    for (int row = 0; row < list->count(); ++row)
        list->item(row)->setSelected(names.contains(list->item(row)->text()));
}

QString labelText(const QWidget* dialog, const char* name)
{
    return dialog->findChild<QLabel*>(QLatin1String(name))->text();
}

// Answers the container browser by choosing the named container below ACME.
directory::ModalRunner chooseContainer(const QString& name)
{
    return [name](QDialog& shown) -> int {
        if (auto* browser = qobject_cast<ContainerBrowser*>(&shown)) {
            QTreeWidgetItem* acme = browser->rootNode()->child(0);
            acme->setExpanded(true);
            for (int i = 0; i < acme->childCount(); ++i)
                if (acme->child(i)->text(0) == name)
                    browser->selectNode(acme->child(i));
        }
        return shown.result();
    };
}

}  // namespace

class TestServerListDialogs : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // --- Starting container ----------------------------------------------------
    void previousChoiceShown_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("custom");
        QTest::newRow("tree root") << "ACME_TREE\\[Root]"
                                   << "optRoot"
                                   << "";
        QTest::newRow("own container") << "ACME_TREE\\ACME\\"
                                       << "optCurrentContext"
                                       << "";
        QTest::newRow("another container") << "ACME_TREE\\ACME\\SALES\\"
                                           << "optCustom"
                                           << "ACME_TREE\\ACME\\SALES\\";
        QTest::newRow("another tree's container") << "OTHER_TREE\\OTHER\\"
                                                  << "optRoot"
                                                  << "";
    }
    void previousChoiceShown()
    {
        QFETCH(QString, stored);
        QFETCH(QString, option);
        QFETCH(QString, custom);
        Fixture f;
        f.storeStarting(stored);
        StartingContainerDialog dialog(f.test.context, f.lists, false);
        QVERIFY(dialog.findChild<QRadioButton*>(option)->isChecked());
        QCOMPARE(dialog.customLabel()->text(), custom);
        QCOMPARE(labelText(&dialog, "lblTreeRoot"), QStringLiteral("ACME_TREE\\[Root]"));
        QCOMPARE(labelText(&dialog, "lblCurrentContext"), QStringLiteral("ACME_TREE\\ACME\\"));
        QCOMPARE(dialog.treeBox()->currentText(), QStringLiteral("ACME_TREE"));
        QVERIFY(dialog.selectButton()->isEnabled());
    }

    void anotherTreeThenCancelRestoresTheTree()
    {
        Fixture f;
        f.storeStarting(QStringLiteral("ACME_TREE\\ACME\\SALES\\"));
        StartingContainerDialog dialog(f.test.context, f.lists, false);
        QCOMPARE(dialog.treeBox()->count(), 2);
        dialog.chooseTree(QStringLiteral("OTHER_TREE"));
        QCOMPARE(f.values().treeName, QStringLiteral("OTHER_TREE"));
        // The stored container belongs to the other tree: the root is offered.
        QVERIFY(dialog.rootOption()->isChecked());
        QCOMPARE(labelText(&dialog, "lblTreeRoot"), QStringLiteral("OTHER_TREE\\[Root]"));
        dialog.cancel();
        QCOMPARE(f.values().treeName, QStringLiteral("ACME_TREE"));
        QCOMPARE(f.stored(kRoot, QStringLiteral("StartingServerContext")),
                 std::optional<QString>("ACME_TREE\\ACME\\SALES\\"));
    }

    // A container with servers is stored and searched; one without is refused
    // and everything is rolled back to the stored choice, searched again on leaving.
    void chosenContainerStoredOrRolledBack_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("container");
        QTest::addColumn<QString>("message");  // empty: accepted
        QTest::newRow("servers in it") << "ACME_TREE\\[Root]"
                                       << "SALES"
                                       << "";
        QTest::newRow("no servers") << "ACME_TREE\\ACME\\SALES\\"
                                    << "ENG"
                                    << "There are no servers in the selected container or sub-containers.  "
                                       "Please choose another starting container.";
    }
    void chosenContainerStoredOrRolledBack()
    {
        QFETCH(QString, start);
        QFETCH(QString, container);
        QFETCH(QString, message);
        const bool refused = !message.isEmpty();
        Fixture f;
        f.storeStarting(start);
        StartingContainerDialog dialog(f.test.context, f.lists, false);
        dialog.setModalRunner(chooseContainer(container));
        dialog.browseContainer();
        QVERIFY(dialog.customOption()->isChecked());
        QCOMPARE(dialog.customLabel()->text(), QStringLiteral("ACME_TREE\\ACME\\%1\\").arg(container));
        dialog.subContainersBox()->setChecked(false);
        dialog.save();

        QCOMPARE(f.test.messages.texts(), refused ? QStringList{message} : QStringList{});
        QCOMPARE(f.test.messages.titles(), refused ? QStringList{"No Servers in Container"} : QStringList{});
        QCOMPARE(dialog.result(), int(refused ? QDialog::Rejected : QDialog::Accepted));  // refused: still open
        QCOMPARE(f.stored(kRoot, QStringLiteral("StartingServerContext")),
                 std::optional<QString>("ACME_TREE\\ACME\\SALES\\"));
        QCOMPARE(f.stored(kRoot, QStringLiteral("Tree")), std::optional<QString>("ACME_TREE"));
        QCOMPARE(f.stored(kRoot, QStringLiteral("ServerSearchSubContainers")),
                 std::optional<QString>(refused ? "True" : "False"));
        QCOMPARE(f.values().startingServerContext, QStringLiteral(".SALES.ACME"));
        QCOMPARE(f.values().searchSubContainers, refused);
        if (refused) {
            QVERIFY(f.lists.visible.isEmpty());
            dialog.cancel();
        }
        QCOMPARE(f.lists.visible, (QStringList{"FS1", "FS2"}));
    }

    void emptyCustomContainerIsRefused()
    {
        Fixture f;
        f.storeStarting();
        StartingContainerDialog dialog(f.test.context, f.lists, false);
        dialog.customOption()->setChecked(true);
        const int searches = f.lists.searches;
        dialog.save();
        QCOMPARE(f.test.messages.titles(), QStringList{"Select Specific Container"});
        QCOMPARE(f.test.messages.texts(), QStringList{"You must specify a container to continue."});
        QCOMPARE(f.lists.searches, searches);
    }

    void treeScanFailureStillShowsTheTree()
    {
        Fixture f(network(R"({"NWDSScanConnsForTrees": "0x8836"})"));
        f.storeStarting();
        StartingContainerDialog dialog(f.test.context, f.lists, false);
        QCOMPARE(f.test.messages.texts(), QStringList{"NWDSScanConnsForTrees failed, E=34870"});
        QCOMPARE(dialog.treeBox()->currentText(), QStringLiteral("ACME_TREE"));
    }

    void loginToNewTreeRescansTheTrees()
    {
        Fixture f;
        f.storeStarting();
        StartingContainerDialog dialog(f.test.context, f.lists, false);
        dialog.setModalRunner([](QDialog& shown) -> int {
            if (auto* login = qobject_cast<LoginDialog*>(&shown)) {
                login->treeBox()->setEditText(QStringLiteral("other_tree"));
                login->userBox()->setEditText(QStringLiteral("admin"));
                login->contextBox()->setEditText(QStringLiteral("OTHER"));
                login->passwordBox()->setText(QStringLiteral("other"));
                login->login();
            }
            return shown.result();
        });
        dialog.loginToNewTree();
        QVERIFY(f.values().loginSucceeded);
        QCOMPARE(f.values().treeName, QStringLiteral("OTHER_TREE"));
        QCOMPARE(dialog.treeBox()->currentText(), QStringLiteral("OTHER_TREE"));
        // The containers offered are those of the new tree.
        QVERIFY(dialog.rootOption()->isChecked());
        QCOMPARE(labelText(&dialog, "lblTreeRoot"), QStringLiteral("OTHER_TREE\\[Root]"));
        QCOMPARE(labelText(&dialog, "lblCurrentContext"), QStringLiteral("OTHER_TREE\\OTHER\\"));
    }

    // --- Hidden servers ---------------------------------------------------------
    void hidingEveryServerIsRefused()
    {
        Fixture f;
        f.storeStarting();
        ShowHideServersDialog dialog(f.test.context, f.lists);
        QCOMPARE(texts(dialog.visibleList()), (QStringList{"FS1", "FS2", "HQ"}));
        dialog.hideAll();
        QVERIFY(!dialog.saveButton()->isEnabled());
        dialog.save();
        QCOMPARE(f.test.messages.texts(), QStringList{"Your visible server list can not be empty."});
        QCOMPARE(f.test.messages.titles(), QStringList{"Visible Server List error"});
        QCOMPARE(f.lists.visible, (QStringList{"FS1", "FS2", "HQ"}));
        QVERIFY(!f.stored(kHidden, QStringLiteral("ACME_TREE")));
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    void serversMovedBackAndSaved_data()
    {
        QTest::addColumn<bool>("all");
        QTest::newRow("Remove") << false;
        QTest::newRow("Remove All") << true;
    }
    void serversMovedBackAndSaved()
    {
        QFETCH(bool, all);
        Fixture f;
        // Hand-edited: a blank, an empty piece and a name twice.
        f.storeHidden(QStringLiteral("ACME_TREE"), QStringLiteral("FS2, GONE,,FS2"));
        f.storeStarting();
        ShowHideServersDialog dialog(f.test.context, f.lists);
        QCOMPARE(texts(dialog.visibleList()), (QStringList{"FS1", "HQ"}));
        QCOMPARE(texts(dialog.hiddenList()), (QStringList{"FS2", "GONE"}));

        if (all) {
            dialog.showAll();
        } else {
            selectTexts(dialog.hiddenList(), {"FS2", "GONE"});
            dialog.showSelected();
        }
        // GONE was not found by the last search: it disappears.
        QCOMPARE(texts(dialog.visibleList()), (QStringList{"FS1", "HQ", "FS2"}));
        QVERIFY(texts(dialog.hiddenList()).isEmpty());
        dialog.save();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(f.lists.visible, (QStringList{"FS1", "FS2", "HQ"}));
        // Nothing hidden: the tree's value is removed, not left empty.
        QVERIFY(!f.stored(kHidden, QStringLiteral("ACME_TREE")));
    }

    void hiddenServersStoredPerTree()
    {
        Fixture f;
        f.storeHidden(QStringLiteral("OTHER_TREE"), QStringLiteral("OTHER-FS"));
        f.storeStarting();
        ShowHideServersDialog dialog(f.test.context, f.lists);
        QCOMPARE(labelText(&dialog, "lblTree"), QStringLiteral("Tree: ACME_TREE"));
        selectTexts(dialog.visibleList(), {"FS1", "HQ"});
        dialog.hideSelected();
        QCOMPARE(texts(dialog.hiddenList()), (QStringList{"FS1", "HQ"}));
        dialog.save();
        QCOMPARE(f.lists.visible, QStringList{"FS2"});
        QCOMPARE(f.stored(kHidden, QStringLiteral("ACME_TREE")), std::optional<QString>("FS1,HQ"));
        QCOMPARE(f.stored(kHidden, QStringLiteral("OTHER_TREE")), std::optional<QString>("OTHER-FS"));
    }

    void moveButtonsSayWhichWayServersGo()
    {
        Fixture f;
        f.storeStarting();
        ShowHideServersDialog dialog(f.test.context, f.lists);
        const auto button = [&](const char* name) {
            auto* found = dialog.findChild<QPushButton*>(QLatin1String(name));
            return found ? found->text() : QString();
        };
        QCOMPARE(button("btnAdd"), QStringLiteral("&Hide >"));
        QCOMPARE(button("btnAddAll"), QStringLiteral("Hide &All >>"));
        QCOMPARE(button("btnRemove"), QStringLiteral("< Sho&w"));
        QCOMPARE(button("btnRemoveAll"), QStringLiteral("<< Show A&ll"));
        // The buttons move the way they say.
        selectTexts(dialog.visibleList(), {"FS2"});
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("btnAdd")), Qt::LeftButton);
        QCOMPARE(texts(dialog.hiddenList()), QStringList{"FS2"});
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("btnRemoveAll")), Qt::LeftButton);
        QVERIFY(texts(dialog.hiddenList()).isEmpty());
    }

    // --- First run -------------------------------------------------------------------
    void firstRunAsksForTheStartingContainer_data()
    {
        QTest::addColumn<bool>("choose");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<std::optional<QString>>("stored");
        QTest::newRow("container chosen")
            << true << QStringList{"FS1", "FS2"} << std::optional<QString>("ACME_TREE\\ACME\\SALES\\");
        // Leaving without a choice: the whole tree this time, nothing stored.
        QTest::newRow("cancelled") << false << QStringList{"FS1", "FS2", "HQ"} << std::optional<QString>();
    }
    void firstRunAsksForTheStartingContainer()
    {
        QFETCH(bool, choose);
        QFETCH(QStringList, listed);
        QFETCH(std::optional<QString>, stored);
        QTemporaryDir dir;
        qputenv("VESKARO_SETTINGS", dir.filePath(QStringLiteral("settings.reg")).toLocal8Bit());
        testing::ScriptedMessages messages;
        testing::ScriptedFileDialogs fileDialogs;
        testing::MemoryClipboard clipboard;
        testing::RecordingLauncher launcher;
        int dialogs = 0;
        std::function<void()> answer = [&] {
            auto* dialog = qobject_cast<StartingContainerDialog*>(QApplication::activeModalWidget());
            if (!dialog) {
                QTimer::singleShot(10, answer);
                return;
            }
            ++dialogs;
            if (!choose) {
                dialog->cancel();
                return;
            }
            dialog->setModalRunner(chooseContainer(QStringLiteral("SALES")));
            dialog->browseContainer();
            dialog->save();
        };
        QTimer::singleShot(0, answer);
        {
            app::Program program(messages, fileDialogs, clipboard, launcher);
            app::StartOptions options;
            options.programDir = dir.path();
            options.showSplash = false;
            QCOMPARE(program.start(nw::loadSimulatedNetworkFromJson(network(), dir.path(), QStringLiteral("t.json")),
                                   settings::openDefaultRegistryStore(), options),
                     std::nullopt);
            QCOMPARE(texts(program.mainWindow()->lstServers()), listed);
        }
        QCOMPARE(dialogs, 1);
        QVERIFY(messages.shown.isEmpty());
        QCOMPARE(settings::openDefaultRegistryStore()->queryValue(Hive::CurrentUser, kRoot,
                                                                  QStringLiteral("StartingServerContext")),
                 stored);
        qunsetenv("VESKARO_SETTINGS");
    }

    // Settings that name a container of another tree than the stored one: the
    // start searches the tree root without asking, and the dialog offers the
    // root. The stored container stays until a new choice is saved.
    void storedContainerOfAnotherTree()
    {
        QTemporaryDir dir;
        qputenv("VESKARO_SETTINGS", dir.filePath(QStringLiteral("settings.reg")).toLocal8Bit());
        const QString otherContainer = QStringLiteral("OTHER_TREE\\OTHER\\");
        {
            auto store = settings::openDefaultRegistryStore();
            store->createKey(Hive::CurrentUser, kRoot);
            store->setValue(Hive::CurrentUser, kRoot, QStringLiteral("Tree"), QStringLiteral("ACME_TREE"));
            store->setValue(Hive::CurrentUser, kRoot, QStringLiteral("StartingServerContext"), otherContainer);
        }
        testing::ScriptedMessages messages;
        testing::ScriptedFileDialogs fileDialogs;
        testing::MemoryClipboard clipboard;
        testing::RecordingLauncher launcher;
        int dialogs = 0;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (auto* dialog = qobject_cast<StartingContainerDialog*>(QApplication::activeModalWidget())) {
                ++dialogs;
                dialog->cancel();
            }
        });
        watch.start(10);
        {
            app::Program program(messages, fileDialogs, clipboard, launcher);
            app::StartOptions options;
            options.programDir = dir.path();
            options.showSplash = false;
            QCOMPARE(program.start(nw::loadSimulatedNetworkFromJson(network(), dir.path(), QStringLiteral("t.json")),
                                   settings::openDefaultRegistryStore(), options),
                     std::nullopt);
            QCOMPARE(texts(program.mainWindow()->lstServers()), (QStringList{"FS1", "FS2", "HQ"}));
            QCOMPARE(program.context()->values.startingServerContext, QStringLiteral("[Root]"));

            ServerLists lists(*program.context());
            StartingContainerDialog dialog(*program.context(), lists, false);
            QVERIFY(dialog.rootOption()->isChecked());
            QCOMPARE(dialog.customLabel()->text(), QString());
            QCOMPARE(labelText(&dialog, "lblTreeRoot"), QStringLiteral("ACME_TREE\\[Root]"));
        }
        watch.stop();
        QCOMPARE(dialogs, 0);
        QVERIFY(messages.shown.isEmpty());
        QCOMPARE(settings::openDefaultRegistryStore()->queryValue(Hive::CurrentUser, kRoot,
                                                                  QStringLiteral("StartingServerContext")),
                 std::optional<QString>(otherContainer));
        qunsetenv("VESKARO_SETTINGS");
    }
};

VESKARO_TEST_MAIN(TestServerListDialogs)
#include "test_serverlistdialogs.moc"

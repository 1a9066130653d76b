// The main window driven through its handlers: start-up against a small
// simulated network and a temporary settings file, the server list's own
// commands, routing to the views, shut-down and the hand-over of a second start.

#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/SingleInstance.h"
#include "app/StartupSettings.h"
#include "app/ViewDescriptors.h"
#include "netware/ClientProvider.h"
#include "platform/LocalPeer.h"
#include "platform/PrivateFiles.h"
#include "report/ReportCommand.h"
#include "settings/RegistryStore.h"
#include "support/ScriptedServices.h"
#include "support/TestMain.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QKeySequence>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProcess>
#include <QRegion>
#include <QStandardPaths>
#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QScopeGuard>
#include <QToolBar>
#include <QToolButton>

#include <unistd.h>

using app::Command;
using settings::Hive;

namespace {

const QString kTree = QStringLiteral("ACME_TREE");

// Three servers in one organisation, found below the tree root.
QByteArray networkJson(bool clientInstalled = true)
{
    return QByteArray(R"({ "format": 1, "clock": "2024-03-01T12:00:00", "clientInstalled": )")
           + (clientInstalled ? "true" : "false") + R"(,
  "workstation": { "tree": "ACME_TREE", "context": "ACME" },
  "trees": [ { "name": "ACME_TREE", "containers": [ { "name": "ACME", "class": "Organization",
                 "children": [ { "name": "SALES", "class": "Organizational Unit" } ] } ] } ],
  "servers": [ { "name": "FS2", "tree": "ACME_TREE", "context": "ACME" },
               { "name": "FS3", "tree": "ACME_TREE", "context": "SALES.ACME" },
               { "name": "FS1", "tree": "ACME_TREE", "context": "ACME" } ] })";
}

// A settings file whose root holds the starting container, followed by
// `keys` keys 512 levels deep. Sharing parents, the keys differ only in their
// last names; otherwise each brings 511 parents of its own, and the file
// holds more than a settings file may.
QByteArray deepSettingsFile(int keys, bool sharingParents)
{
    QByteArray middle;
    for (int level = 1; level <= 510; ++level)
        middle += "\\K" + QByteArray::number(level);
    QByteArray file = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Korvanel\\Veskaro]\r\n"
                      "\"StartingServerContext\"=\"ACME_TREE\\\\[Root]\"\r\n\r\n";
    for (int key = 0; key < keys; ++key)
        file += "[HKEY_CURRENT_USER\\" + (sharingParents ? QByteArray("Deep") : "D" + QByteArray::number(key)) + middle
                + "\\L" + QByteArray::number(key) + "]\r\n\r\n";
    return file;
}

struct Seed {
    QString key;  // below the root; empty for the root itself
    QString name;
    QString value;
};

// One program run: services that answer from a script, a settings file of
// its own, and the main window built the way the program builds it.
class Harness {
public:
    Harness() { qputenv("VESKARO_SETTINGS", m_dir.filePath(QStringLiteral("settings.reg")).toLocal8Bit()); }
    ~Harness()
    {
        program.reset();
        qunsetenv("VESKARO_SETTINGS");
    }

    QString settingsPath() const { return m_dir.filePath(QStringLiteral("settings.reg")); }

    static QString path(const QString& key)
    {
        return key.isEmpty() ? app::kRootKey : app::kRootKey + QLatin1Char('\\') + key;
    }

    void seed(const QList<Seed>& values)
    {
        auto store = settings::openDefaultRegistryStore();
        for (const Seed& value : values) {
            store->createKey(Hive::CurrentUser, path(value.key));
            store->setValue(Hive::CurrentUser, path(value.key), value.name, value.value);
        }
    }

    // A value as the settings file holds it once the program has ended.
    std::optional<QString> storedAfterRun(const QString& key, const QString& name)
    {
        program.reset();
        return settings::openDefaultRegistryStore()->queryValue(Hive::CurrentUser, path(key), name);
    }

    std::optional<int> start(const QByteArray& json = networkJson(), bool seedStartingContainer = true)
    {
        if (seedStartingContainer)
            seed({{QString(), QStringLiteral("StartingServerContext"), kTree + QStringLiteral("\\[Root]")}});
        program = std::make_unique<app::Program>(messages, fileDialogs, clipboard, launcher);
        app::StartOptions options;
        options.programDir = m_dir.path();
        options.showSplash = false;
        return program->start(nw::loadSimulatedNetworkFromJson(json, m_dir.path(), QStringLiteral("test.json")),
                              settings::openDefaultRegistryStore(), options);
    }

    // Top, Left, Height and Width of the main window, in twips.
    void seedGeometry(const QStringList& values)
    {
        const QStringList names{"Top", "Left", "Height", "Width"};
        for (int i = 0; i < names.size(); ++i)
            seed({{QStringLiteral("MainForm"), names[i], values[i]}});
    }

    app::MainWindow& form() { return *program->mainWindow(); }
    QListWidget& list() { return *form().lstServers(); }

    QStringList listed()
    {
        QStringList names;
        for (int row = 0; row < list().count(); ++row)
            names.append(list().item(row)->text());
        return names;
    }

    void select(const QStringList& names)
    {
        for (int row = 0; row < list().count(); ++row)
            list().item(row)->setSelected(names.contains(list().item(row)->text()));
    }

    // A child window with the given caption, as a view would put it there.
    QMdiSubWindow* openChild(const QString& caption)
    {
        auto* view = new QWidget;
        view->setWindowTitle(caption);
        QMdiSubWindow* window = form().addChildWindow(view);
        window->show();
        form().mdiArea()->setActiveSubWindow(window);
        return window;
    }

    testing::ScriptedMessages messages;
    testing::ScriptedFileDialogs fileDialogs;
    testing::MemoryClipboard clipboard;
    testing::RecordingLauncher launcher;
    std::unique_ptr<app::Program> program;

private:
    QTemporaryDir m_dir;
};

}  // namespace

Q_DECLARE_METATYPE(QList<Seed>)
Q_DECLARE_METATYPE(std::optional<QString>)
Q_DECLARE_METATYPE(std::optional<uint>)

class TestMainWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void failedStartEndsTheProgram_data();
    void failedStartEndsTheProgram();
    void startupSettings_data();
    void startupSettings();
    void serverListSortsAsAPersonReads();
    void hideServers_data();
    void hideServers();
    void rightClickOffersHideOnlyFromTheList();
    void hideCanBeUndoneUntilTheNextHide();
    void keyboardOffersTheServerListMenu();
    void doubleClickReopensTheActiveView_data();
    void doubleClickReopensTheActiveView();
    void openingDisablesListAndRestores();
    void everyViewReachesItsParts();
    void saveAndCopyFollowTheRefreshCaption();
    void shutdownSavesGeometryUnlessMaximised_data();
    void shutdownSavesGeometryUnlessMaximised();
    void geometryKeptAndBroughtOnScreen_data();
    void geometryKeptAndBroughtOnScreen();
    void childWindowsClosedWithTheMainWindow();
    void tilingKeepsEveryWindowReadable_data();
    void tilingKeepsEveryWindowReadable();
    void handOverIsPrivateAndNeverLost();
    void handOverFolderIsTheUsersAlone_data();
    void handOverFolderIsTheUsersAlone();
    void handOverOnlyToPeersOfTheSameUser_data();
    void handOverOnlyToPeersOfTheSameUser();
    void handOverNeverInTheSharedTemporaryFolder();
    void secondProgramStartHandsOver();
    void startsOverADeepKeySettingsFile_data();
    void startsOverADeepKeySettingsFile();
};

void TestMainWindow::failedStartEndsTheProgram_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("title");  // empty: a message of the loader's own, not the client's
    QTest::addColumn<QString>("text");
    QTest::newRow("client missing")
        << networkJson(false) << "Novell Client Error"
        << "You must have a Novell Client installed to run Veskaro.  Veskaro will now exit.";
    QTest::newRow("unreadable description") << QByteArray("{ \"format\": 1, \"trees\": [ { \"name\": ") << ""
                                            << "";
}

void TestMainWindow::failedStartEndsTheProgram()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, title);
    QFETCH(QString, text);
    Harness run;
    QCOMPARE(run.start(json, false), std::optional<int>(1));
    QCOMPARE(run.program->mainWindow(), nullptr);
    QCOMPARE(run.messages.shown.size(), 1);
    const platform::Message& shown = run.messages.shown.first();
    if (title.isEmpty()) {
        QVERIFY(!shown.text.isEmpty() && !shown.text.contains(QLatin1String("Novell Client")));
    } else {
        QCOMPARE(shown.title, title);
        QCOMPARE(shown.text, text);
        QCOMPARE(shown.buttons, platform::Buttons::Ok);
    }
    run.program.reset();
    QVERIFY(!settings::openDefaultRegistryStore()->keyExists(Hive::CurrentUser, app::kRootKey));
}

void TestMainWindow::startupSettings_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QList<Seed>>("seeds");
    QTest::addColumn<QSize>("twips");  // width, height
    QTest::addColumn<bool>("searchSub");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<QString>("tree");                   // the tree the program works in
    QTest::addColumn<std::optional<QString>>("stored");  // Tree after the run
    const QSize designed(app::MainWindow::kDesignedWidthTwips, app::MainWindow::kDesignedHeightTwips);
    const auto row = [&](const char* name, const QList<Seed>& seeds, QSize twips, bool searchSub = true,
                         const QString& delimiter = QStringLiteral(",")) -> QTestData& {
        return QTest::newRow(name) << networkJson() << seeds << twips << searchSub << delimiter;
    };
    const std::optional<QString> client(kTree);  // no Tree stored: the client's is taken and written back

    row("first run: designed size", {}, designed) << kTree << client;
    row("stored size",
        {{"MainForm", "Top", "300"},
         {"MainForm", "Left", "600"},
         {"MainForm", "Height", "6000"},
         {"MainForm", "Width", "9000"}},
        QSize(9000, 6000))
        << kTree << client;
    row("height 0", {{"MainForm", "Height", "0"}, {"MainForm", "Width", "9000"}}, QSize(9000, 5625)) << kTree << client;
    row("key without values", {{"MainForm", "Top", "0"}}, QSize(8040, 7000)) << kTree << client;
    row("hand-edited text", {{"MainForm", "Height", "tall"}, {"MainForm", "Width", "9000"}}, QSize(9000, 7000))
        << kTree << client;
    row("sub-containers lower case", {{"", "ServerSearchSubContainers", "true"}}, designed, false) << kTree << client;
    row("delimiter of four fits", {{"", "SaveFileDelimiter", "abcd"}}, designed, true, "abcd") << kTree << client;
    row("delimiter of five does not", {{"", "SaveFileDelimiter", "abcde"}}, designed) << kTree << client;
    row("stored empty tree counts as missing", {{"", "Tree", ""}}, designed) << kTree << client;
    const QString thirtyTwo = QStringLiteral("A_TREE_NAME_OF_32_CHARACTERS_XYZ");
    row("tree of 32 characters read whole", {{"", "Tree", thirtyTwo}}, designed)
        << thirtyTwo << std::optional<QString>(thirtyTwo);
    QByteArray silent = networkJson();
    silent.replace(R"("format": 1,)", R"("format": 1, "faults": { "NWDSGetContext": "0x8801" },)");
    QTest::newRow("a tree the client cannot tell is not written")
        << silent << QList<Seed>{} << designed << true << "," << QString() << std::optional<QString>();
}

void TestMainWindow::startupSettings()
{
    QFETCH(QByteArray, json);
    QFETCH(QList<Seed>, seeds);
    QFETCH(QSize, twips);
    QFETCH(bool, searchSub);
    QFETCH(QString, delimiter);
    QFETCH(QString, tree);
    QFETCH(std::optional<QString>, stored);
    Harness run;
    run.seed(seeds);
    QCOMPARE(run.start(json), std::nullopt);
    QCOMPARE(run.form().size(), QSize(app::twipsToPixels(twips.width()), app::twipsToPixels(twips.height())));
    const core::ProgramValues& values = run.form().context().values;
    QCOMPARE(values.searchSubContainers, searchSub);
    QCOMPARE(values.saveFileDelimiter, delimiter);
    QCOMPARE(values.treeName, tree);
    QCOMPARE(run.storedAfterRun(QString(), QStringLiteral("Tree")), stored);
}

void TestMainWindow::serverListSortsAsAPersonReads()
{
    const QByteArray json = QStringLiteral(R"({ "format": 1, "workstation": { "tree": "ACME_TREE" },
  "trees": [ { "name": "ACME_TREE", "containers": [ { "name": "ACME", "class": "Organization" } ] } ],
  "servers": [ { "name": "Z\u00dcRICH", "tree": "ACME_TREE" }, { "name": "\u00e5land2", "tree": "ACME_TREE" },
               { "name": "BERN", "tree": "ACME_TREE" }, { "name": "\u00c5LAND", "tree": "ACME_TREE" } ] })")
                                .toUtf8();
    Harness run;
    QCOMPARE(run.start(json), std::nullopt);
    QCOMPARE(run.listed(), (QStringList{QStringLiteral("\u00c5LAND"), QStringLiteral("\u00e5land2"),
                                        QStringLiteral("BERN"), QStringLiteral("Z\u00dcRICH")}));
    // The first entry in that order is the one selected at start.
    QCOMPARE(run.list().selectedItems().size(), 1);
    QCOMPARE(run.list().selectedItems().first()->text(), QStringLiteral("\u00c5LAND"));
}

void TestMainWindow::hideServers_data()
{
    QTest::addColumn<QList<Seed>>("seeds");
    QTest::addColumn<QStringList>("selected");
    QTest::addColumn<QStringList>("listedAfter");
    QTest::addColumn<QString>("stored");
    const QStringList all{"FS1", "FS2", "FS3"};
    const QStringList rest{"FS2", "FS3"};

    // Walked from the last entry to the first; the first is refused.
    QTest::newRow("three selected") << QList<Seed>{} << all << QStringList{"FS1"} << "FS3,FS2";
    QTest::newRow("FS7 hidden") << QList<Seed>{{"Hidden", "ACME_TREE", "FS7"}} << QStringList{"FS1"} << rest
                                << "FS7,FS1";
    QTest::newRow("other tree untouched")
        << QList<Seed>{{"Hidden", "OTHER_TREE", "FS2"}} << QStringList{"FS1"} << rest << "FS1";
    QTest::newRow("empty value") << QList<Seed>{{"Hidden", "ACME_TREE", ""}} << QStringList{"FS1"} << rest << "FS1";
    // A list longer than the search reads must not be replaced by one name.
    QTest::newRow("long list kept") << QList<Seed>{{"Hidden", "ACME_TREE", QString(1100, QLatin1Char('X'))}}
                                    << QStringList{"FS1"} << rest << QString(1100, QLatin1Char('X')) + ",FS1";
}

void TestMainWindow::hideServers()
{
    QFETCH(QList<Seed>, seeds);
    QFETCH(QStringList, selected);
    QFETCH(QStringList, listedAfter);
    QFETCH(QString, stored);
    Harness run;
    run.seed(seeds);
    QCOMPARE(run.start(), std::nullopt);
    QCOMPARE(run.form().windowTitle(), QStringLiteral("Veskaro"));
    QCOMPARE(run.listed(), (QStringList{"FS1", "FS2", "FS3"}));
    QCOMPARE(run.form().selectedServers(), QStringList{"FS1"});

    run.select(selected);
    run.form().hideSelectedServers();
    QCOMPARE(run.listed(), listedAfter);
    QCOMPARE(run.form().lstAllServers().size(), 3);
    const bool refused = selected.size() == 3;
    QCOMPARE(run.messages.texts(), refused ? QStringList{"Your server list can not be empty."} : QStringList{});
    QCOMPARE(run.messages.titles(), refused ? QStringList{"Server List error"} : QStringList{});
    QCOMPARE(run.storedAfterRun(QStringLiteral("Hidden"), kTree), std::optional<QString>(stored));
}

void TestMainWindow::rightClickOffersHideOnlyFromTheList()
{
    Harness run;
    QCOMPARE(run.start(), std::nullopt);
    app::MainWindow& form = run.form();
    QAction* hide = form.hideServersAction();
    QAction* blank = form.actionSeparator();
    QStringList shown;
    form.setPopupPresenter([&](QMenu* menu, const QPoint&) {
        shown.append(menu->objectName() + (hide->isVisible() && blank->isVisible() ? "+hide" : ""));
    });

    form.pressServerList(Qt::LeftButton, QPoint(10, 10));
    QVERIFY(shown.isEmpty());
    form.pressServerList(Qt::RightButton, QPoint(10, 10));
    QCOMPARE(shown, QStringList{"PopMenu_Action+hide"});
    QVERIFY(!hide->isVisible() && !blank->isVisible());

    // A real right click goes the same way and leaves the selection alone.
    run.select({QStringLiteral("FS2")});
    QListWidget& list = run.list();
    QTest::mouseClick(list.viewport(), Qt::RightButton, {}, list.visualItemRect(list.item(0)).center());
    QCOMPARE(shown.size(), 2);
    QCOMPARE(form.selectedServers(), QStringList{"FS2"});

    list.clear();
    form.pressServerList(Qt::RightButton, QPoint(10, 10));
    QCOMPARE(shown.size(), 2);
}

void TestMainWindow::keyboardOffersTheServerListMenu()
{
    Harness run;
    QCOMPARE(run.start(), std::nullopt);
    app::MainWindow& form = run.form();
    QAction* hide = form.hideServersAction();
    QStringList shown;
    QList<QPoint> places;
    form.setPopupPresenter([&](QMenu* menu, const QPoint& pos) {
        shown.append(menu->objectName() + (hide->isVisible() ? "+hide" : ""));
        places.append(pos);
    });
    QListWidget& list = run.list();
    list.setCurrentRow(1);
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(), QPoint());
    QApplication::sendEvent(&list, &menuKey);
    QTest::keyClick(&list, Qt::Key_F10, Qt::ShiftModifier);
    QCOMPARE(shown, (QStringList{"PopMenu_Action+hide", "PopMenu_Action+hide"}));
    // Beside the current server, whatever the pointer does.
    const QPoint beside = list.viewport()->mapToGlobal(list.visualItemRect(list.item(1)).center());
    QCOMPARE(places, (QList<QPoint>{beside, beside}));
}

void TestMainWindow::hideCanBeUndoneUntilTheNextHide()
{
    Harness run;
    run.seed({{"Hidden", "ACME_TREE", "FS7"}});
    QCOMPARE(run.start(), std::nullopt);
    app::MainWindow& form = run.form();
    QAction* undo = form.undoAction();
    QCOMPARE(undo->objectName(), QStringLiteral("Menu_Undo"));
    QCOMPARE(undo->shortcut(), QKeySequence(QKeySequence::Undo));
    QVERIFY(!undo->isEnabled());
    const auto stored = [&] {
        return form.context().registry().queryValue(Hive::CurrentUser, Harness::path("Hidden"), kTree);
    };

    run.select({"FS2"});
    form.hideSelectedServers();
    QVERIFY(undo->isEnabled());
    run.select({"FS3"});
    form.hideSelectedServers();  // replaces what Undo returns to
    QCOMPARE(run.listed(), QStringList{"FS1"});
    QCOMPARE(stored(), std::optional<QString>("FS7,FS2,FS3"));
    undo->trigger();
    QCOMPARE(run.listed(), (QStringList{"FS1", "FS3"}));
    QCOMPARE(stored(), std::optional<QString>("FS7,FS2"));
    QVERIFY(!undo->isEnabled());
    undo->trigger();
    QCOMPARE(run.listed(), (QStringList{"FS1", "FS3"}));

    // A hide saved by the Show/Hide Servers dialog is undone the same way.
    QTimer::singleShot(0, &form, [] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        auto* visible = dialog->findChild<QListWidget*>(QStringLiteral("lstVisibleServers"));
        for (int row = 0; row < visible->count(); ++row)
            visible->item(row)->setSelected(visible->item(row)->text() == QLatin1String("FS1"));
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("btnAdd")), Qt::LeftButton);
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("btnSave")), Qt::LeftButton);
    });
    QTimer::singleShot(3000, &form, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    form.findChild<QAction*>(QStringLiteral("Menu_ShowHideServers"))->trigger();
    QCOMPARE(run.listed(), QStringList{"FS3"});
    QCOMPARE(stored(), std::optional<QString>("FS7,FS2,FS1"));
    QVERIFY(undo->isEnabled());
    undo->trigger();
    QCOMPARE(run.listed(), (QStringList{"FS1", "FS3"}));
    QCOMPARE(stored(), std::optional<QString>("FS7,FS2"));

    // Nothing hidden: no undo. A hide with the whole list refused changes nothing either.
    run.select({});
    form.hideSelectedServers();
    QVERIFY(!undo->isEnabled());
}

void TestMainWindow::doubleClickReopensTheActiveView_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("command");  // -1: none

    QTest::newRow("no child") << QString() << -1;
    QTest::newRow("information") << "Server Information" << int(Command::ShowServerInformation);
    QTest::newRow("information, longer") << "Server Information 2" << -1;
    QTest::newRow("connections") << "User Connections - FS1" << int(Command::ShowUserConnections);
    QTest::newRow("partitions") << "Partitions - ACME_TREE" << int(Command::ShowPartitions);
    QTest::newRow("abend log") << "Abend log for FS2" << int(Command::ShowAbendLog);
    QTest::newRow("file locks") << "File Open/Lock FS1/SYS:DATA" << int(Command::ShowFileLocks);
    QTest::newRow("other") << "Options" << -1;
    QTest::newRow("case matters") << "partitions - ACME_TREE" << -1;
}

void TestMainWindow::doubleClickReopensTheActiveView()
{
    QFETCH(QString, caption);
    QFETCH(int, command);
    Harness run;
    QCOMPARE(run.start(), std::nullopt);
    QList<int> opened;
    for (const app::ViewDescriptor& view : app::viewDescriptors()) {
        const Command each = view.command;
        run.form().setCommand(each, {[&opened, each](app::MainWindow&) { opened.append(int(each)); }});
    }
    if (!caption.isEmpty())
        run.openChild(caption);
    run.form().repeatActiveView();
    QCOMPARE(opened, command < 0 ? QList<int>{} : QList<int>{command});
}

// Each entry of the view table is a command installed at start-up, a button
// and an action item named for it, a name veskaro-report takes, and a window
// that opens (or, for the remote console, a program started or a message why not).
void TestMainWindow::everyViewReachesItsParts()
{
    Harness run;
    QCOMPARE(run.start(), std::nullopt);
    app::MainWindow& form = run.form();
    QStringList reportNames = report::historyCommandNames();
    const report::ReportCommand reportCommand;
    for (const report::ReportView& view : reportCommand.views())
        reportNames.append(view.name);
    // A view that asks something first (the connections' column chooser) is answered with OK.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->accept();
    });
    answer.start(20);
    QStringList buttons;
    for (const app::ViewDescriptor& view : app::viewDescriptors()) {
        const QString name = QLatin1String(view.buttonName);
        QVERIFY2(form.hasCommand(view.command), qPrintable(name));
        QToolButton* button = form.toolButton(view.command);
        QVERIFY(button);
        QCOMPARE(button->objectName(), name);
        QCOMPARE(button->toolTip(), QLatin1String(view.caption));
        QVERIFY(form.findChild<QAction*>(QStringLiteral("PopMenu_Action_") + name.mid(3)));
        QVERIFY(!buttons.contains(name));
        buttons.append(name);
        if (view.reportName)
            QVERIFY2(reportNames.contains(QLatin1String(view.reportName)), view.reportName);
        else
            QCOMPARE(view.command, Command::StartRemoteControl);

        form.selectServers({QStringLiteral("FS1")});
        const qsizetype before = run.launcher.started.size() + run.messages.shown.size();
        form.runCommand(view.command);
        if (view.windowName) {
            QTRY_VERIFY2(form.findChild<QWidget*>(QLatin1String(view.windowName)), view.windowName);
        } else {
            QVERIFY(run.launcher.started.size() + run.messages.shown.size() > before);
        }
    }
}

void TestMainWindow::openingDisablesListAndRestores()
{
    Harness run;
    QCOMPARE(run.start(), std::nullopt);
    app::MainWindow& form = run.form();
    // A button works exactly when its view is part of the program.
    for (const app::ViewDescriptor& view : app::viewDescriptors())
        QCOMPARE(form.toolButton(view.command)->isEnabled(), form.hasCommand(view.command));

    // list enabled, tool bar enabled, hourglass, servers: as a view that holds
    // the opening state saw them
    QStringList seen;
    const auto opener = [&seen](bool disableToolBar) {
        return [&seen, disableToolBar](app::MainWindow& f) {
            const views::OpeningScope opening(f, disableToolBar);
            const QCursor* cursor = QApplication::overrideCursor();
            seen =
                QStringList{QString::number(f.lstServers()->isEnabled()), QString::number(f.picButtons()->isEnabled()),
                            QString::number(cursor && cursor->shape() == Qt::WaitCursor)}
                + f.selectedServers();
        };
    };
    const auto restored = [&form] {
        return form.lstServers()->isEnabled() && form.picButtons()->isEnabled() && !QApplication::overrideCursor();
    };
    form.setCommand(Command::CompareNlms, {opener(true)});
    form.setCommand(Command::ShowAbendLog, {opener(false)});
    form.setCommand(Command::ShowVolumeUsage, {[](app::MainWindow& f) {
                        const views::OpeningScope opening(f, true);
                        throw std::runtime_error("server gone");
                    }});

    run.select({QStringLiteral("FS1"), QStringLiteral("FS3")});
    form.toolButton(Command::CompareNlms)->click();
    QCOMPARE(seen, (QStringList{"0", "0", "1", "FS1", "FS3"}));
    QVERIFY(restored());
    form.serverActionItem(Command::ShowAbendLog)->trigger();
    QCOMPARE(seen.mid(0, 2), (QStringList{"0", "1"}));

    // An opening that fails half-way still gives the list back.
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, form.runCommand(Command::ShowVolumeUsage));
    QVERIFY(restored());

    // Nothing happens with an empty list.
    seen.clear();
    form.lstServers()->clear();
    form.runCommand(Command::CompareNlms);
    QVERIFY(seen.isEmpty());
}

void TestMainWindow::saveAndCopyFollowTheRefreshCaption()
{
    struct CountingExport : app::TableExport {
        void save(app::MainWindow&, QWidget*) override { ++saves; }
        void copy(app::MainWindow&, QWidget*) override { ++copies; }
        QList<QStringList> savedRows(app::MainWindow&, QWidget*) const override { return {}; }
        int saves = 0;
        int copies = 0;
    };
    Harness run;
    QCOMPARE(run.start(), std::nullopt);
    app::MainWindow& form = run.form();
    QAction* save = form.saveAction();
    QAction* copy = form.copyAction();
    const auto enabled = [&](const char* caption) {  // "11": Save and Copy enabled
        form.enableSaveCopy(QLatin1String(caption));
        return QString::number(save->isEnabled()) + QString::number(copy->isEnabled());
    };
    // Without the export code nothing pretends to save.
    form.setTableExport(nullptr);
    QCOMPARE(enabled("Begin &Refresh"), QStringLiteral("00"));

    auto exporter = std::make_unique<CountingExport>();
    CountingExport* counts = exporter.get();
    form.setTableExport(std::move(exporter));
    QCOMPARE(enabled("&Stop"), QStringLiteral("00"));
    QCOMPARE(enabled("Begin &Refresh"), QStringLiteral("11"));

    // Copy needs a child window; Save goes to the export code either way.
    form.copyActiveView();
    QCOMPARE(counts->copies, 0);
    run.openChild(QStringLiteral("Volume Space Usage"));
    form.copyActiveView();
    form.saveActiveView();
    QCOMPARE(counts->copies, 1);
    QCOMPARE(counts->saves, 1);
}

void TestMainWindow::shutdownSavesGeometryUnlessMaximised_data()
{
    QTest::addColumn<Qt::WindowState>("state");
    QTest::addColumn<bool>("written");
    QTest::newRow("normal") << Qt::WindowNoState << true;
    QTest::newRow("maximised") << Qt::WindowMaximized << false;
    QTest::newRow("minimised") << Qt::WindowMinimized << false;
}

void TestMainWindow::shutdownSavesGeometryUnlessMaximised()
{
    QFETCH(Qt::WindowState, state);
    QFETCH(bool, written);
    Harness run;
    run.seedGeometry({"1440", "1440", "6000", "9000"});
    QCOMPARE(run.start(), std::nullopt);
    app::MainWindow& form = run.form();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form) || state == Qt::WindowMinimized);
    // The window's own place, its frame excluded, is what is kept.
    form.setGeometry(QRect(QPoint(app::twipsToPixels(2880), app::twipsToPixels(720)), form.size()));
    form.setWindowState(state);
    QCoreApplication::processEvents();
    form.close();
    QVERIFY(form.isUnloaded());

    const auto stored = [&run](const char* name) {
        return run.storedAfterRun(QStringLiteral("MainForm"), QLatin1String(name)).value_or(QStringLiteral("-"));
    };
    QCOMPARE(stored("Left"), written ? QStringLiteral("2880") : QStringLiteral("1440"));
    QCOMPARE(stored("Top"), written ? QStringLiteral("720") : QStringLiteral("1440"));
    // The size read at start-up is the size written back: no creeping by the
    // width of the window's frame from run to run.
    QCOMPARE(stored("Width"), QStringLiteral("9000"));
    QCOMPARE(stored("Height"), QStringLiteral("6000"));
}

void TestMainWindow::geometryKeptAndBroughtOnScreen_data()
{
    QTest::addColumn<QStringList>("seeded");    // Top, Left, Height, Width
    QTest::addColumn<QStringList>("expected");  // as stored after a run that moved nothing; empty: not compared
    QTest::addColumn<QSize>("twips");           // the size shown; empty: cut to the screen
    // Values that are no whole number of pixels come back to the twip.
    QTest::newRow("left alone") << QStringList{"1000", "1005", "7000", "8040"}
                                << QStringList{"1000", "1005", "7000", "8040"} << QSize(8040, 7000);
    QTest::newRow("first run heights") << QStringList{"1440", "1440", "0", "0"}
                                       << QStringList{"1440", "1440", "5625", "6750"} << QSize(6750, 5625);
    // Stored on a larger screen, or one no longer attached: back inside, against the right edge.
    QTest::newRow("off the screen") << QStringList{"-9000", "300000", "6000", "9000"} << QStringList{}
                                    << QSize(9000, 6000);
    QTest::newRow("larger than the screen") << QStringList{"0", "0", "900000", "900000"} << QStringList{} << QSize();
}

void TestMainWindow::geometryKeptAndBroughtOnScreen()
{
    QFETCH(QStringList, seeded);
    QFETCH(QStringList, expected);
    QFETCH(QSize, twips);
    Harness run;
    run.seedGeometry(seeded);
    QCOMPARE(run.start(), std::nullopt);
    app::MainWindow& form = run.form();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCoreApplication::processEvents();
    const QRect available = form.screen()->availableGeometry();
    const QRect frame = form.frameGeometry();
    QVERIFY2(
        available.contains(frame),
        qPrintable(QStringLiteral("%1,%2 %3x%4").arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height())));
    if (twips.isValid())
        QCOMPARE(form.size(), QSize(app::twipsToPixels(twips.width()), app::twipsToPixels(twips.height())));
    if (seeded[1].toInt() > 100000)
        QCOMPARE(frame.right(), available.right());
    form.close();
    const QStringList names{"Top", "Left", "Height", "Width"};
    for (qsizetype i = 0; i < expected.size(); ++i)
        QCOMPARE(run.storedAfterRun(QStringLiteral("MainForm"), names[i]).value_or("-"), expected[i]);
}

void TestMainWindow::childWindowsClosedWithTheMainWindow()
{
    Harness run;
    QCOMPARE(run.start(), std::nullopt);
    app::MainWindow& form = run.form();
    int closed = 0;
    for (const QString& caption : {QStringLiteral("Abend log for FS1"), QStringLiteral("Abend log for FS2")})
        QObject::connect(run.openChild(caption), &QObject::destroyed, &form, [&closed] { ++closed; });
    // A view that opens another window while it closes is closed on the next pass.
    QMdiSubWindow* opener = run.openChild(QStringLiteral("Set Commands"));
    QObject::connect(opener, &QObject::destroyed, &form, [&run] { run.openChild(QStringLiteral("Late")); });

    form.close();
    QCOMPARE(form.mdiArea()->subWindowList().size(), 0);
    QCOMPARE(closed, 2);
}

void TestMainWindow::tilingKeepsEveryWindowReadable_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("windows");
    QTest::addColumn<bool>("strips");
    QTest::newRow("horizontal, three") << "Menu_Tile_Horizontal" << 3 << true;
    QTest::newRow("vertical, three") << "Menu_Tile_Vertical" << 3 << true;
    QTest::newRow("horizontal, twelve") << "Menu_Tile_Horizontal" << 12 << false;
    QTest::newRow("vertical, twelve") << "Menu_Tile_Vertical" << 12 << false;
}

void TestMainWindow::tilingKeepsEveryWindowReadable()
{
    QFETCH(QString, command);
    QFETCH(int, windows);
    QFETCH(bool, strips);
    Harness run;
    QCOMPARE(run.start(), std::nullopt);
    app::MainWindow& form = run.form();
    form.resize(1000, 760);
    form.show();
    for (int i = 0; i < windows; ++i)
        run.openChild(QStringLiteral("View %1").arg(i));
    form.findChild<QAction*>(command)->trigger();

    const QRect area = form.mdiArea()->viewport()->rect();
    const QList<QMdiSubWindow*> tiled = form.mdiArea()->subWindowList(QMdiArea::CreationOrder);
    QRegion covered;
    for (QMdiSubWindow* window : tiled) {
        // Inside the area (no scroll bars needed), readable, and apart from the others.
        QVERIFY2(area.contains(window->geometry()), qPrintable(window->windowTitle()));
        QVERIFY(window->height() >= 160 && window->width() >= 240);
        QVERIFY(!covered.intersects(window->geometry()));
        covered += window->geometry();
        if (strips && command == QLatin1String("Menu_Tile_Horizontal"))
            QCOMPARE(window->width(), area.width());
        if (strips && command == QLatin1String("Menu_Tile_Vertical"))
            QCOMPARE(window->height(), area.height());
    }
    QCOMPARE(covered.boundingRect(), area);  // the whole area is used
}

void TestMainWindow::handOverIsPrivateAndNeverLost()
{
    // The socket lies in the user's runtime folder and only the user may use it.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    QVERIFY(app::SingleInstance::defaultName().startsWith(runtime + QLatin1Char('/')));
    const QString name =
        QDir(runtime).filePath(QStringLiteral("VeskaroTest-%1").arg(QCoreApplication::applicationPid()));
    app::SingleInstance first(name);
    QCOMPARE(first.listen(), app::SingleInstance::Listen::Listening);
    const QFile::Permissions others =
        QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    QVERIFY(QFileInfo::exists(name));
    QCOMPARE(QFileInfo(name).permissions() & others, QFile::Permissions());
    // A later start never takes the name over, whatever it finds; none answers a name nobody holds.
    QCOMPARE(app::SingleInstance(name).listen(), app::SingleInstance::Listen::HandedOver);
    QVERIFY(!app::SingleInstance(name + QStringLiteral("-none")).handOverToRunningInstance(200));

    // A request that comes before anything listens to it (the main window is
    // still being built) is kept, and answered once.
    QVERIFY(!first.takeUnansweredRequest());
    QVERIFY(app::SingleInstance(name).handOverToRunningInstance());
    bool answered = false;  // QTRY_VERIFY evaluates once more after its loop
    QTRY_VERIFY(answered = answered || first.takeUnansweredRequest());
    QVERIFY(!first.takeUnansweredRequest());

    // The main window honours it once it is shown, not before.
    Harness run;
    QCOMPARE(run.start(), std::nullopt);
    app::MainWindow& form = run.form();
    form.activateFromAnotherStart();
    QCoreApplication::processEvents();
    QVERIFY(!form.isVisible());
    form.showMinimized();
    QTRY_VERIFY(!(form.windowState() & Qt::WindowMinimized));
    QVERIFY(form.isVisible());

    // Once it listens, a later start brings the minimised window back.
    QObject::connect(&first, &app::SingleInstance::activationRequested, &form,
                     [&form] { form.activateFromAnotherStart(); });
    form.showMinimized();
    QCoreApplication::processEvents();
    QVERIFY(form.windowState() & Qt::WindowMinimized);
    QVERIFY(app::SingleInstance(name).handOverToRunningInstance());
    QTRY_VERIFY(!(form.windowState() & Qt::WindowMinimized));
}

void TestMainWindow::handOverFolderIsTheUsersAlone_data()
{
    QTest::addColumn<QString>("found");  // what stands at the folder's name beforehand
    QTest::addColumn<bool>("used");
    QTest::newRow("nothing: made for the user") << "" << true;
    QTest::newRow("the user's own") << "private" << true;
    QTest::newRow("open to others") << "open" << false;
    QTest::newRow("a link to the user's own folder") << "link" << false;
    QTest::newRow("another user's") << "foreign" << false;
    QTest::newRow("a file") << "file" << false;
}

void TestMainWindow::handOverFolderIsTheUsersAlone()
{
    QFETCH(QString, found);
    QFETCH(bool, used);
    QTemporaryDir scratch;
    const QString folder = scratch.filePath("runtime");
    const QFile::Permissions userOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    if (found == "private" || found == "open" || found == "foreign") {
        QVERIFY(QDir().mkdir(folder, userOnly));
        if (found == "open")
            QVERIFY(QFile::setPermissions(folder, userOnly | QFile::ReadOther | QFile::ExeOther));
        if (found == "foreign") {
            if (::geteuid() != 0)
                QSKIP("only the administrator can give a folder to another user");
            QVERIFY(::chown(QFile::encodeName(folder).constData(), 65534, 65534) == 0);
        }
    } else if (found == "link") {
        QVERIFY(QDir().mkdir(scratch.filePath("own"), userOnly));
        QVERIFY(QFile::link(scratch.filePath("own"), folder));
    } else if (found == "file") {
        QFile file(folder);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const QFileInfo before(folder);
    const QString name = app::SingleInstance::nameIn(folder);
    QCOMPARE(!name.isEmpty(), used);
    const QFileInfo after(folder);
    if (used) {
        QCOMPARE(QFileInfo(name).path(), folder);
        QVERIFY(after.isDir() && !after.isSymLink());
        QCOMPARE(after.ownerId(), uint(::geteuid()));
        QCOMPARE(after.permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser), userOnly);
    } else {
        // Refused as it is, not repaired or taken over.
        QCOMPARE(after.permissions(), before.permissions());
        QCOMPARE(after.ownerId(), before.ownerId());
        QCOMPARE(app::SingleInstance(name).listen(), app::SingleInstance::Listen::Unavailable);
        QVERIFY(!app::SingleInstance(name).handOverToRunningInstance(200));
    }
}

void TestMainWindow::handOverOnlyToPeersOfTheSameUser_data()
{
    QTest::addColumn<std::optional<uint>>("peer");
    QTest::addColumn<std::optional<uint>>("own");
    QTest::addColumn<bool>("trusted");
    QTest::newRow("same user") << std::optional<uint>(1000) << std::optional<uint>(1000) << true;
    QTest::newRow("another user") << std::optional<uint>(1001) << std::optional<uint>(1000) << false;
    QTest::newRow("the administrator") << std::optional<uint>(0) << std::optional<uint>(1000) << false;
    QTest::newRow("peer unknown") << std::optional<uint>() << std::optional<uint>(1000) << false;
    QTest::newRow("no user ids on the platform") << std::optional<uint>() << std::optional<uint>() << true;
}

void TestMainWindow::handOverOnlyToPeersOfTheSameUser()
{
    QFETCH(std::optional<uint>, peer);
    QFETCH(std::optional<uint>, own);
    QFETCH(bool, trusted);
    QCOMPARE(platform::isSameUser(peer, own), trusted);

    // A real socket tells its peer's user: this test's own, on both ends.
    QTemporaryDir scratch;
    const QString name = app::SingleInstance::nameIn(scratch.filePath("runtime"));
    QVERIFY(!name.isEmpty());
    app::SingleInstance first(name);
    QCOMPARE(first.listen(), app::SingleInstance::Listen::Listening);
    QSignalSpy activated(&first, &app::SingleInstance::activationRequested);
    QLocalSocket probe;
    probe.connectToServer(name);
    QVERIFY(probe.waitForConnected(2000));
    QCOMPARE(platform::peerUserId(probe.socketDescriptor()), std::optional<uint>(::geteuid()));
    QCOMPARE(platform::peerUserId(-1), std::optional<uint>());
    probe.abort();
    // So the hand-over between two starts of the same user goes through.
    QVERIFY(app::SingleInstance(name).handOverToRunningInstance());
    QTRY_COMPARE(activated.size(), 1);
}

void TestMainWindow::handOverNeverInTheSharedTemporaryFolder()
{
    // No runtime folder of the session, and none Qt could make in the
    // temporary folder: another user's socket listens there under the name
    // every start of this user looks for.
    QTemporaryDir shared;
    const QByteArray oldTemp = qgetenv("TMPDIR");
    const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    const auto restore = qScopeGuard([&] {
        oldTemp.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", oldTemp);
        oldRuntime.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", oldRuntime);
    });
    qputenv("TMPDIR", shared.path().toLocal8Bit());
    qunsetenv("XDG_RUNTIME_DIR");
    // Qt makes its own runtime folder in the temporary folder: a file in its place leaves none.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.startsWith(shared.path())) {
        QVERIFY(QDir(runtime).removeRecursively());
        QFile blocker(runtime);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    }
    QLocalServer planted;
    QLocalServer::removeServer(QDir(shared.path()).filePath(app::SingleInstance::socketName()));
    QVERIFY(planted.listen(QDir(shared.path()).filePath(app::SingleInstance::socketName())));

    const QString name = app::SingleInstance::defaultName();
    QVERIFY(!name.isEmpty());
    // A folder of the user's own in the temporary folder, never the folder itself.
    const QFileInfo folder(QFileInfo(name).path());
    QCOMPARE(folder.path(), shared.path());
    QVERIFY(folder.filePath() != runtime);
    QCOMPARE(platform::privateFolderProblem(folder.filePath()), QString());
    app::SingleInstance start(name);
    QVERIFY(!start.handOverToRunningInstance(500));
    QCOMPARE(start.listen(), app::SingleInstance::Listen::Listening);
    QCoreApplication::processEvents();
    QVERIFY(!planted.hasPendingConnections());
}

void TestMainWindow::secondProgramStartHandsOver()
{
    const QString program = QStringLiteral(VESKARO_PROGRAM);
    QVERIFY2(QFileInfo::exists(program), qPrintable(program));
    app::SingleInstance first;  // the name every start of this user uses
    if (first.listen() != app::SingleInstance::Listen::Listening)
        QSKIP("another Veskaro runs for this user");
    QSignalSpy activated(&first, &app::SingleInstance::activationRequested);

    QProcess second;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    second.setProcessEnvironment(environment);
    second.setProcessChannelMode(QProcess::ForwardedChannels);
    second.start(program, {});
    QVERIFY(second.waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(activated.size(), 1, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 10000);
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
}

void TestMainWindow::startsOverADeepKeySettingsFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("setAside");
    QTest::newRow("deep keys within the limits") << deepSettingsFile(2000, true) << false;
    QTest::newRow("deep keys beyond the limits") << deepSettingsFile(400, false) << true;
}

void TestMainWindow::startsOverADeepKeySettingsFile()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, setAside);
    Harness run;
    {
        QFile file(run.settingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    }
    // A file set aside leaves no starting container: the first-run question
    // comes up and is left unanswered.
    bool started = false;
    int asked = 0;
    std::function<void()> leaveUnanswered = [&] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            ++asked;
            dialog->reject();
        }
        if (!started)
            QTimer::singleShot(10, leaveUnanswered);
    };
    QTimer::singleShot(0, leaveUnanswered);
    QCOMPARE(run.start(networkJson(), false), std::nullopt);
    started = true;
    QCOMPARE(run.listed(), (QStringList{"FS1", "FS2", "FS3"}));
    QCOMPARE(asked, setAside ? 1 : 0);
    QStringList warnings;
    for (const platform::Message& shown : run.messages.shown)
        if (shown.title == QLatin1String("Settings"))
            warnings.append(shown.text);
    QCOMPARE(warnings.size(), setAside ? 1 : 0);
    if (setAside)
        QVERIFY2(warnings.first().contains(QLatin1String("more than 16 MB"))
                     && warnings.first().contains(QLatin1String("kept as")),
                 qPrintable(warnings.first()));
    run.program.reset();
    const QFileInfo settingsFile(run.settingsPath());
    const QStringList aside = settingsFile.dir().entryList({settingsFile.fileName() + QStringLiteral(".broken-*")});
    QCOMPARE(aside.size(), setAside ? 1 : 0);
    auto store = settings::openDefaultRegistryStore();
    QVERIFY(store->keyExists(Hive::CurrentUser, app::kRootKey));
    QCOMPARE(store->keyExists(Hive::CurrentUser, QStringLiteral("Deep")), !setAside);
}

VESKARO_TEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"

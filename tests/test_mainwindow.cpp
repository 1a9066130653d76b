// The main window driven through its handlers: start-up against a small
// simulated network and a temporary settings file, the server list's own
// commands, routing to the views, shut-down and the hand-over of a second start.

#include "app/MainForm.h"
#include "app/Program.h"
#include "app/SingleInstance.h"
#include "app/StartupSettings.h"
#include "netware/ClientProvider.h"
#include "settings/RegistryStore.h"
#include "support/ScriptedServices.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

using app::Command;
using settings::Hive;

namespace {

const QString kTree = QStringLiteral("ACME_TREE");

// Three servers in one organisation, found below the tree root.
QByteArray networkJson(bool clientInstalled = true)
{
    return QStringLiteral(R"({
  "format": 1,
  "clientInstalled": %1,
  "clock": "2024-03-01T12:00:00",
  "workstation": { "tree": "ACME_TREE", "context": "ACME" },
  "trees": [ { "name": "ACME_TREE",
               "containers": [ { "name": "ACME", "class": "Organization",
                                 "children": [ { "name": "SALES", "class": "Organizational Unit" } ] } ] } ],
  "servers": [
    { "name": "FS2", "tree": "ACME_TREE", "context": "ACME" },
    { "name": "FS3", "tree": "ACME_TREE", "context": "SALES.ACME" },
    { "name": "FS1", "tree": "ACME_TREE", "context": "ACME" }
  ]
})")
        .arg(clientInstalled ? QStringLiteral("true") : QStringLiteral("false"))
        .toUtf8();
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
    Harness()
    {
        qputenv("VESKARO_SETTINGS", settingsPath().toLocal8Bit());
    }
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

    app::MainForm& form() { return *program->mainForm(); }
    QListWidget& list() { return *form().lstServers(); }

    QStringList listed()
    {
        QStringList names;
        for (int row = 0; row < list().count(); ++row)
            names.append(list().item(row)->text());
        return names;
    }

    void selectAll()
    {
        for (int row = 0; row < list().count(); ++row)
            list().item(row)->setSelected(true);
    }

    void select(const QStringList& names)
    {
        list().clearSelection();
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

class TestMainWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void missingClientEndsTheProgram();
    void unreadableDescriptionWritesNothing();
    void startupFillsTheListAndSelectsTheFirst();
    void globalSettings_data();
    void globalSettings();
    void geometryFromSettings_data();
    void geometryFromSettings();
    void hideSelectedKeepsOneServer();
    void hideAppendsToTheTreesList_data();
    void hideAppendsToTheTreesList();
    void rightClickOffersHideOnlyFromTheList();
    void doubleClickReopensTheActiveView_data();
    void doubleClickReopensTheActiveView();
    void openingDisablesListAndRestores();
    void unregisteredViewsAreDisabled();
    void activateOpenFormFindsByCaption();
    void saveAndCopyFollowTheRefreshCaption();
    void shutdownSavesGeometryUnlessMaximised_data();
    void shutdownSavesGeometryUnlessMaximised();
    void shutdownClosesEveryChild();
    void secondStartHandsOverInProcess();
    void secondProgramStartHandsOver();
};

void TestMainWindow::missingClientEndsTheProgram()
{
    Harness run;
    QCOMPARE(run.start(networkJson(false), false), std::optional<int>(1));
    QCOMPARE(run.program->mainForm(), nullptr);
    QCOMPARE(run.messages.shown.size(), 1);
    const platform::Message& shown = run.messages.shown.first();
    QCOMPARE(shown.title, QStringLiteral("Novell Client Error"));
    QCOMPARE(shown.text,
             QStringLiteral("You must have a Novell Client installed to run Veskaro.  Veskaro will now exit."));
    QCOMPARE(shown.buttons, platform::Buttons::Ok);
}

void TestMainWindow::unreadableDescriptionWritesNothing()
{
    Harness run;
    QCOMPARE(run.start(QByteArrayLiteral("{ \"format\": 1, \"trees\": [ { \"name\": "), false),
             std::optional<int>(1));
    QCOMPARE(run.messages.shown.size(), 1);
    QVERIFY(!run.messages.shown.first().text.isEmpty());
    QVERIFY(!run.messages.shown.first().text.contains(QLatin1String("Novell Client")));
    run.program.reset();
    QVERIFY(!settings::openDefaultRegistryStore()->keyExists(Hive::CurrentUser, app::kRootKey));
}

void TestMainWindow::startupFillsTheListAndSelectsTheFirst()
{
    Harness run;
    QCOMPARE(run.start(), std::nullopt);
    QCOMPARE(run.form().windowTitle(), QStringLiteral("Veskaro"));
    QStringList all = run.form().lstAllServers();
    all.sort();
    QCOMPARE(all, (QStringList{"FS1", "FS2", "FS3"}));
    QCOMPARE(run.listed(), (QStringList{"FS1", "FS2", "FS3"}));
    QCOMPARE(run.form().selectedServers(), QStringList{"FS1"});
    QVERIFY(run.messages.shown.isEmpty());
}

void TestMainWindow::globalSettings_data()
{
    QTest::addColumn<QList<Seed>>("seeds");
    QTest::addColumn<bool>("searchSub");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<QString>("remote");

    QTest::newRow("all missing") << QList<Seed>{} << true << "," << "";
    QTest::newRow("sub-containers exactly True")
        << QList<Seed>{{"", "ServerSearchSubContainers", "True"}} << true << "," << "";
    QTest::newRow("sub-containers lower case")
        << QList<Seed>{{"", "ServerSearchSubContainers", "true"}} << false << "," << "";
    QTest::newRow("delimiter of four fits")
        << QList<Seed>{{"", "SaveFileDelimiter", "abcd"}} << true << "abcd" << "";
    QTest::newRow("delimiter of five does not")
        << QList<Seed>{{"", "SaveFileDelimiter", "abcde"}} << true << "," << "";
    QTest::newRow("remote console")
        << QList<Seed>{{"", "RemoteControl", "C:\\NOVELL\\rconj.exe"}} << true << "," << "C:\\NOVELL\\rconj.exe";
}

void TestMainWindow::globalSettings()
{
    QFETCH(QList<Seed>, seeds);
    QFETCH(bool, searchSub);
    QFETCH(QString, delimiter);
    QFETCH(QString, remote);

    Harness run;
    run.seed(seeds);
    QCOMPARE(run.start(), std::nullopt);
    const app::ProgramValues& values = run.form().context().values;
    QCOMPARE(values.gSearchSubContainers, searchSub);
    QCOMPARE(values.gSaveFileDelimiter, delimiter);
    QCOMPARE(values.gRemoteControlPath, remote);
    // No Tree was stored: the client's tree is taken and written back.
    QCOMPARE(values.gTreeName, kTree);
    QCOMPARE(run.form().context().registry().queryValue(Hive::CurrentUser, app::kRootKey, QStringLiteral("Tree")),
             std::optional<QString>(kTree));
}

void TestMainWindow::geometryFromSettings_data()
{
    QTest::addColumn<QList<Seed>>("seeds");
    QTest::addColumn<QSize>("twips");  // width, height

    QTest::newRow("first run: designed size")
        << QList<Seed>{} << QSize(app::MainForm::kDesignedWidthTwips, app::MainForm::kDesignedHeightTwips);
    QTest::newRow("stored size") << QList<Seed>{{"MainForm", "Top", "300"}, {"MainForm", "Left", "600"},
                                                {"MainForm", "Height", "6000"}, {"MainForm", "Width", "9000"}}
                                 << QSize(9000, 6000);
    QTest::newRow("height 0") << QList<Seed>{{"MainForm", "Height", "0"}, {"MainForm", "Width", "9000"}}
                              << QSize(9000, 5625);
    QTest::newRow("width 0") << QList<Seed>{{"MainForm", "Height", "6000"}, {"MainForm", "Width", "0"}}
                             << QSize(6750, 6000);
    QTest::newRow("key without values") << QList<Seed>{{"MainForm", "Top", "0"}} << QSize(8040, 7000);
    QTest::newRow("hand-edited text") << QList<Seed>{{"MainForm", "Height", "tall"}, {"MainForm", "Width", "9000"}}
                                      << QSize(9000, 7000);
}

void TestMainWindow::geometryFromSettings()
{
    QFETCH(QList<Seed>, seeds);
    QFETCH(QSize, twips);

    Harness run;
    run.seed(seeds);
    QCOMPARE(run.start(), std::nullopt);
    QCOMPARE(run.form().size(), QSize(app::twipsToPixels(twips.width()), app::twipsToPixels(twips.height())));
}

void TestMainWindow::hideSelectedKeepsOneServer()
{
    Harness run;
    QCOMPARE(run.start(), std::nullopt);
    run.selectAll();
    run.form().PopMenu_Action_HideServer_Click();

    QCOMPARE(run.listed(), QStringList{"FS1"});
    QCOMPARE(run.messages.texts(), QStringList{"Your server list can not be empty."});
    QCOMPARE(run.messages.titles(), QStringList{"Server List error"});
    // Walked from the last entry to the first.
    QCOMPARE(run.form().context().registry().queryValue(Hive::CurrentUser, app::kHiddenKey, kTree),
             std::optional<QString>(QStringLiteral("FS3,FS2")));
    QCOMPARE(run.form().lstAllServers().size(), 3);
}

void TestMainWindow::hideAppendsToTheTreesList_data()
{
    QTest::addColumn<QList<Seed>>("seeds");
    QTest::addColumn<QString>("expected");

    QTest::newRow("nothing hidden yet") << QList<Seed>{} << "FS1";
    QTest::newRow("FS7 hidden") << QList<Seed>{{"Hidden", "ACME_TREE", "FS7"}} << "FS7,FS1";
    QTest::newRow("other tree untouched") << QList<Seed>{{"Hidden", "OTHER_TREE", "FS2"}} << "FS1";
    QTest::newRow("empty value") << QList<Seed>{{"Hidden", "ACME_TREE", ""}} << "FS1";
    // A list longer than the search reads must not be replaced by one name.
    QTest::newRow("long list kept") << QList<Seed>{{"Hidden", "ACME_TREE", QString(1100, QLatin1Char('X'))}}
                                    << QString(1100, QLatin1Char('X')) + QStringLiteral(",FS1");
}

void TestMainWindow::hideAppendsToTheTreesList()
{
    QFETCH(QList<Seed>, seeds);
    QFETCH(QString, expected);

    Harness run;
    run.seed(seeds);
    QCOMPARE(run.start(), std::nullopt);
    run.select({QStringLiteral("FS1")});
    run.form().PopMenu_Action_HideServer_Click();
    QVERIFY(!run.listed().contains(QStringLiteral("FS1")));
    QCOMPARE(run.storedAfterRun(QStringLiteral("Hidden"), kTree), std::optional<QString>(expected));
}

void TestMainWindow::rightClickOffersHideOnlyFromTheList()
{
    Harness run;
    QCOMPARE(run.start(), std::nullopt);
    app::MainForm& form = run.form();

    QStringList shown;
    bool hideVisibleWhileShown = false;
    form.setPopupPresenter([&](QMenu* menu, const QPoint&) {
        shown.append(menu->objectName());
        hideVisibleWhileShown = form.menuAction(QStringLiteral("PopMenu_Action_HideServer"))->isVisible()
                                && form.menuAction(QStringLiteral("PopMenu_Action_Blank"))->isVisible();
    });

    form.lstServers_MouseDown(Qt::LeftButton, QPoint(10, 10));
    QVERIFY(shown.isEmpty());

    form.lstServers_MouseDown(Qt::RightButton, QPoint(10, 10));
    QCOMPARE(shown, QStringList{"PopMenu_Action"});
    QVERIFY(hideVisibleWhileShown);
    QVERIFY(!form.menuAction(QStringLiteral("PopMenu_Action_HideServer"))->isVisible());
    QVERIFY(!form.menuAction(QStringLiteral("PopMenu_Action_Blank"))->isVisible());

    // A real right click goes the same way and leaves the selection alone.
    shown.clear();
    run.select({QStringLiteral("FS2")});
    QListWidget& list = run.list();
    const QRect first = list.visualItemRect(list.item(0));
    QTest::mouseClick(list.viewport(), Qt::RightButton, {}, first.center());
    QCOMPARE(shown, QStringList{"PopMenu_Action"});
    QCOMPARE(form.selectedServers(), QStringList{"FS2"});

    shown.clear();
    list.clear();
    form.lstServers_MouseDown(Qt::RightButton, QPoint(10, 10));
    QVERIFY(shown.isEmpty());
}

void TestMainWindow::doubleClickReopensTheActiveView_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("command");  // -1: none

    QTest::newRow("no child") << QString() << -1;
    QTest::newRow("information") << "Server Information" << int(Command::ServerInfo);
    QTest::newRow("information, longer") << "Server Information 2" << -1;
    QTest::newRow("utilization") << "Server Utilization" << int(Command::Utilization);
    QTest::newRow("nlms") << "NLMs" << int(Command::NLMs);
    QTest::newRow("set") << "Set Commands" << int(Command::SetParameters);
    QTest::newRow("volumes") << "Volume Space Usage" << int(Command::Volume);
    QTest::newRow("connections") << "User Connections - FS1" << int(Command::GetConnInfo);
    QTest::newRow("partitions") << "Partitions - ACME_TREE" << int(Command::Partitions);
    QTest::newRow("abend log") << "Abend log for FS2" << int(Command::AbendLog);
    QTest::newRow("file locks") << "File Open/Lock FS1/SYS:DATA" << int(Command::FileLocks);
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
    for (Command each : app::kViewCommands)
        run.form().setCommand(each, {[&opened, each](app::MainForm&) { opened.append(int(each)); }});

    if (!caption.isEmpty())
        run.openChild(caption);
    run.form().lstServers_DblClick();
    QCOMPARE(opened, command < 0 ? QList<int>{} : QList<int>{command});
}

void TestMainWindow::openingDisablesListAndRestores()
{
    Harness run;
    QCOMPARE(run.start(), std::nullopt);
    app::MainForm& form = run.form();

    bool listEnabled = true;
    bool toolBarEnabled = true;
    bool hourglass = false;
    QStringList servers;
    const auto record = [&](app::MainForm& f) {
        listEnabled = f.lstServers()->isEnabled();
        toolBarEnabled = f.picButtons()->isEnabled();
        hourglass = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        servers = f.selectedServers();
    };
    form.setCommand(Command::NLMs, {record, true});
    form.setCommand(Command::AbendLog, {record, false});
    form.setCommand(Command::Volume, {[](app::MainForm&) { throw std::runtime_error("server gone"); }, true});

    run.select({QStringLiteral("FS1"), QStringLiteral("FS3")});
    form.toolButton(Command::NLMs)->click();
    QVERIFY(!listEnabled);
    QVERIFY(!toolBarEnabled);
    QVERIFY(hourglass);
    QCOMPARE(servers, (QStringList{"FS1", "FS3"}));
    QVERIFY(form.lstServers()->isEnabled());
    QVERIFY(form.picButtons()->isEnabled());
    QCOMPARE(QApplication::overrideCursor(), nullptr);

    form.menuAction(QStringLiteral("PopMenu_Action_AbendLog"))->trigger();
    QVERIFY(!listEnabled);
    QVERIFY(toolBarEnabled);

    // An opening that fails half-way still gives the list back.
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, form.btnVolume_Click());
    QVERIFY(form.lstServers()->isEnabled());
    QVERIFY(form.picButtons()->isEnabled());
    QCOMPARE(QApplication::overrideCursor(), nullptr);

    // Nothing happens with an empty list.
    servers.clear();
    form.lstServers()->clear();
    form.btnNLMs_Click();
    QVERIFY(servers.isEmpty());
}

void TestMainWindow::unregisteredViewsAreDisabled()
{
    Harness run;
    QCOMPARE(run.start(), std::nullopt);
    app::MainForm& form = run.form();
    for (Command command : app::kViewCommands) {
        QVERIFY(!form.toolButton(command)->isEnabled());
    }
    QVERIFY(!form.menuAction(QStringLiteral("PopMenu_Action_ServerInfo"))->isEnabled());
    QVERIFY(!form.menuAction(QStringLiteral("Menu_Options"))->isEnabled());
    QVERIFY(!form.menuAction(QStringLiteral("Menu_Save"))->isEnabled());

    form.setCommand(Command::ServerInfo, {[](app::MainForm&) {}});
    QVERIFY(form.toolButton(Command::ServerInfo)->isEnabled());
    QVERIFY(form.menuAction(QStringLiteral("PopMenu_Action_ServerInfo"))->isEnabled());
    QVERIFY(!form.toolButton(Command::Utilization)->isEnabled());

    // The tool bar in order, picture-only, with its tool tips.
    const QStringList expected{"btnServerInfo", "btnUtilization", "btnNLMs",     "btnSetParameters",
                               "btnVolume",     "btnGetConnInfo", "btnPartitions", "btnAbendLog",
                               "btnFileLocks",  "btnRemoteControl", "btnClose"};
    QStringList names;
    for (QToolButton* button : form.picButtons()->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly)) {
        if (button->objectName().startsWith(QLatin1String("btn"))) {
            names.append(button->objectName());
            QVERIFY(button->text().isEmpty() || button->toolButtonStyle() == Qt::ToolButtonIconOnly);
        }
    }
    QCOMPARE(names, expected);
    QCOMPARE(form.toolButton(Command::FileLocks)->toolTip(), QStringLiteral("File Opens/Locks"));
}

void TestMainWindow::activateOpenFormFindsByCaption()
{
    Harness run;
    QCOMPARE(run.start(), std::nullopt);
    app::MainForm& form = run.form();
    run.openChild(QStringLiteral("Abend log for FS1"));
    QMdiSubWindow* second = run.openChild(QStringLiteral("Abend log for FS2"));
    run.openChild(QStringLiteral("Volume Space Usage"));

    QVERIFY(!form.fnActivateOpenForm(QStringLiteral("Abend log for FS")));
    QCOMPARE(form.context().values.gFoundFormIndex, -1);
    QVERIFY(form.fnActivateOpenForm(QStringLiteral("Abend log for FS2")));
    QCOMPARE(form.context().values.gFoundFormIndex, 1);
    QCOMPARE(form.foundForm(), second);
    QCOMPARE(form.activeChild(), second);
}

void TestMainWindow::saveAndCopyFollowTheRefreshCaption()
{
    class CountingExport : public app::TableExport {
    public:
        void save(app::MainForm&, QWidget*) override { ++saves; }
        void copy(app::MainForm&, QWidget*) override { ++copies; }
        QString savedText(app::MainForm&, QWidget*) const override { return {}; }
        int saves = 0;
        int copies = 0;
    };

    Harness run;
    QCOMPARE(run.start(), std::nullopt);
    app::MainForm& form = run.form();
    QAction* save = form.menuAction(QStringLiteral("Menu_Save"));
    QAction* copy = form.menuAction(QStringLiteral("Menu_Copy"));
    QCOMPARE(save->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    QCOMPARE(copy->shortcut(), QKeySequence(QStringLiteral("Ctrl+C")));

    QVERIFY(!save->isEnabled());
    // Without the export code nothing pretends to save.
    form.setTableExport(nullptr);
    form.subEnableSaveCopy(QStringLiteral("Begin &Refresh"));
    QVERIFY(!save->isEnabled());
    QVERIFY(!copy->isEnabled());
    form.subEnableSaveCopy(QStringLiteral("&Stop"));

    auto exporter = std::make_unique<CountingExport>();
    CountingExport* counts = exporter.get();
    form.setTableExport(std::move(exporter));
    QVERIFY(!save->isEnabled());
    form.subEnableSaveCopy(QStringLiteral("Begin &Refresh"));
    QVERIFY(save->isEnabled());
    QVERIFY(copy->isEnabled());
    form.subEnableSaveCopy(QStringLiteral("&Stop"));
    QVERIFY(!save->isEnabled());
    QVERIFY(!copy->isEnabled());

    // Copy needs a child window; Save goes to the export code either way.
    form.subEnableSaveCopy(QStringLiteral("Begin &Refresh"));
    form.Menu_Copy_Click();
    QCOMPARE(counts->copies, 0);
    run.openChild(QStringLiteral("Volume Space Usage"));
    form.Menu_Copy_Click();
    form.Menu_Save_Click();
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
    run.seed({{"MainForm", "Top", "1440"},
              {"MainForm", "Left", "1440"},
              {"MainForm", "Height", "6000"},
              {"MainForm", "Width", "9000"}});
    QCOMPARE(run.start(), std::nullopt);
    app::MainForm& form = run.form();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form) || state == Qt::WindowMinimized);
    form.move(app::twipsToPixels(2880), app::twipsToPixels(720));
    form.setWindowState(state);
    QCoreApplication::processEvents();
    form.btnClose_Click();
    QVERIFY(form.isUnloaded());

    run.program.reset();
    const auto stored = [&run](const char* name) {
        return run.storedAfterRun(QStringLiteral("MainForm"), QLatin1String(name)).value_or(QStringLiteral("-"));
    };
    QCOMPARE(stored("Left"), written ? QStringLiteral("2880") : QStringLiteral("1440"));
    QCOMPARE(stored("Top"), written ? QStringLiteral("720") : QStringLiteral("1440"));
    // The outer size read at start-up is the outer size written back: no
    // creeping by the width of the window's frame from run to run.
    QCOMPARE(stored("Width"), QStringLiteral("9000"));
    QCOMPARE(stored("Height"), QStringLiteral("6000"));
}

void TestMainWindow::shutdownClosesEveryChild()
{
    Harness run;
    QCOMPARE(run.start(), std::nullopt);
    app::MainForm& form = run.form();
    QStringList closed;
    for (const QString& caption : {QStringLiteral("Volume Space Usage"), QStringLiteral("NLMs")}) {
        QMdiSubWindow* window = run.openChild(caption);
        QObject::connect(window, &QObject::destroyed, &form, [&closed, caption] { closed.append(caption); });
    }
    // A view that opens another window while it closes is closed on the next pass.
    QMdiSubWindow* opener = run.openChild(QStringLiteral("Set Commands"));
    QObject::connect(opener, &QObject::destroyed, &form, [&run] { run.openChild(QStringLiteral("Late")); });

    form.Menu_Close_Click();
    QCOMPARE(form.mdiArea()->subWindowList().size(), 0);
    QCOMPARE(closed.size(), 2);
}

void TestMainWindow::secondStartHandsOverInProcess()
{
    const QString name = QStringLiteral("VeskaroTest-%1").arg(QCoreApplication::applicationPid());
    Harness run;
    QCOMPARE(run.start(), std::nullopt);
    app::MainForm& form = run.form();

    app::SingleInstance first(name);
    QCOMPARE(first.listen(), app::SingleInstance::Listen::Listening);
    QObject::connect(&first, &app::SingleInstance::activationRequested, &form,
                     [&form] { form.activateFromAnotherStart(); });
    form.showMinimized();
    QCoreApplication::processEvents();

    app::SingleInstance second(name);
    QVERIFY(second.handOverToRunningInstance());
    QTRY_VERIFY(!(form.windowState() & Qt::WindowMinimized));
    QVERIFY(form.isVisible());
    // A start that finds the name taken when it comes to listen hands over too.
    app::SingleInstance late(name);
    QCOMPARE(late.listen(), app::SingleInstance::Listen::HandedOver);
    // Nobody listening: no hand-over.
    QVERIFY(!app::SingleInstance(name + QStringLiteral("-none")).handOverToRunningInstance(200));
}

void TestMainWindow::secondProgramStartHandsOver()
{
    const QString program =
        qEnvironmentVariable("VESKARO_BINARY_DIR") + QStringLiteral("/src/app/veskaro");
    if (!QFileInfo::exists(program))
        QSKIP("the veskaro program is not built");

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

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"

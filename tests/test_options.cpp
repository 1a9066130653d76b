#include "options/OptionsDialog.h"
#include "options/RemoteControl.h"
#include "settings/Registry.h"
#include "support/MemoryRegistry.h"
#include "support/StubClient.h"
#include "support/TestContext.h"
#include "support/TestMain.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

using options::OptionsDialog;

namespace {

struct Fixture {
    Fixture() : services(client, registry)
    {
        settings::resetStartingServerContext(registry);  // the root key, as after a first run
        QDir(folder.path()).mkpath(QStringLiteral("rconj"));
        QDir(folder.path()).mkpath(QStringLiteral("rconsole"));
        QDir(folder.path()).mkpath(QStringLiteral("empty"));
        touch(QStringLiteral("rconj/RCONJ.EXE"));
        touch(QStringLiteral("rconsole/rconsole.exe"));
        touch(QStringLiteral("empty/readme.txt"));
    }
    void touch(const QString& name)
    {
        QFile file(QDir(folder.path()).filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QString path(const QString& name) const { return QDir(folder.path()).filePath(name); }
    QString stored(const char* name) const
    {
        return settings::readValue(registry, settings::kRootKey, QLatin1String(name), 499).value_or(QString());
    }
    core::AppContext& context() { return services.context; }

    QTemporaryDir folder;
    testing::StubClient client;
    testing::MemoryRegistry registry;
    testing::TestContext services;
};

}  // namespace

class TestOptions : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void paths_data();
    void paths();
    void loadsStoredChoices_data();
    void loadsStoredChoices();
    void emptyDelimiterIsRefused();
    void folderWithoutProgramKeepsPath();
    void storesChosenProgram();
    void remoteConsolePerServer();
    void remoteConsoleMessages();
    void enterInFolderList();
    void pathBox();
    void missingStoredFolder_data();
    void missingStoredFolder();
};

namespace {

// The options window shown on its remote control panel, as the user meets it.
void showRemotePanel(OptionsDialog& form)
{
    form.show();
    form.tabstripOptions()->setCurrentIndex(1);
}

void highlight(OptionsDialog& form, const QString& entry)
{
    const QList<QListWidgetItem*> found = form.dirRconJ()->findItems(entry, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(entry));
    form.dirRconJ()->setCurrentItem(found.first());
}

void typePath(OptionsDialog& form, const QString& path)
{
    form.txtPath()->clear();
    QTest::keyClicks(form.txtPath(), path);
    QTest::keyClick(form.txtPath(), Qt::Key_Return);
}

}  // namespace

void TestOptions::paths_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("rconsole");
    QTest::newRow("windows") << "C:\\NOVELL\\RCONSOLE.EXE"
                             << "C:\\NOVELL" << true;
    QTest::newRow("any case") << "/opt/novell/RConsole.Exe"
                              << "/opt/novell" << true;
    QTest::newRow("root") << "/rconj.exe"
                          << "/" << false;
    QTest::newRow("drive root") << "C:\\rconj.exe"
                                << "C:\\" << false;
    QTest::newRow("no folder") << "rconj.exe"
                               << "" << false;
}

void TestOptions::paths()
{
    QFETCH(QString, path);
    QFETCH(QString, folder);
    QFETCH(bool, rconsole);
    QCOMPARE(options::programFolderOf(path), folder);
    QCOMPARE(options::isRconsolePath(path), rconsole);
    QCOMPARE(options::joinProgramPath("/opt/", "rconj.exe"), QStringLiteral("/opt/rconj.exe"));
    QCOMPARE(options::joinProgramPath("C:\\", "rconj.exe"), QStringLiteral("C:\\rconj.exe"));
}

void TestOptions::loadsStoredChoices_data()
{
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("checkedDelimiter");
    QTest::addColumn<QString>("checkedProgram");
    QTest::addColumn<QStringList>("files");
    QTest::newRow("comma, rconj") << ","
                                  << "rconj/RCONJ.EXE"
                                  << "optComma"
                                  << "optRconj" << QStringList{"RCONJ.EXE"};
    QTest::newRow("semicolon, rconsole") << ";"
                                         << "rconsole/RCONSOLE.exe"
                                         << "optSemiColon"
                                         << "optRconsole" << QStringList{"rconsole.exe"};
    QTest::newRow("tab, none") << "\t"
                               << ""
                               << "optOther"
                               << "optRconj" << QStringList{};
}

void TestOptions::loadsStoredChoices()
{
    QFETCH(QString, delimiter);
    QFETCH(QString, program);
    QFETCH(QString, checkedDelimiter);
    QFETCH(QString, checkedProgram);
    QFETCH(QStringList, files);
    Fixture f;
    f.context().values.saveFileDelimiter = delimiter;
    f.context().values.remoteControlPath = program.isEmpty() ? QString() : f.path(program);
    OptionsDialog form(f.context());
    QVERIFY(form.findChild<QRadioButton*>(checkedDelimiter)->isChecked());
    QVERIFY(form.findChild<QRadioButton*>(checkedProgram)->isChecked());
    if (checkedDelimiter == u"optOther")
        QCOMPARE(form.txtDelimiter()->text(), delimiter);
    QCOMPARE(form.filRconJ()->count(), files.size());
    for (int i = 0; i < files.size(); ++i)
        QCOMPARE(form.filRconJ()->item(i)->text(), files.at(i));
    QVERIFY(!form.btnApply()->isEnabled());
    QVERIFY(form.driveRconJ()->count() >= 1);  // the file-system roots
}

void TestOptions::emptyDelimiterIsRefused()
{
    Fixture f;
    {
        OptionsDialog form(f.context());
        form.optOther()->click();
        QVERIFY(form.btnApply()->isEnabled());
        form.tabstripOptions()->setCurrentIndex(1);
        QVERIFY(!form.optOther()->isEnabled());  // the hidden panel takes no input
        form.btnApply()->click();
        QCOMPARE(f.services.messages.texts(), QStringList{"You must enter a delimiter value"});
        QCOMPARE(f.services.messages.titles(), QStringList{"Enter Delimiter value"});
        QCOMPARE(form.tabstripOptions()->currentIndex(), 0);  // back on the delimiter panel
        QCOMPARE(form.result(), 0);                           // still open
        QVERIFY(f.stored("SaveFileDelimiter").isEmpty());
    }
    f.services.messages.clear();
    OptionsDialog form(f.context());
    form.optOther()->click();
    form.btnOK()->click();
    QCOMPARE(f.services.messages.texts(), QStringList{"You must enter a delimiter value"});
    QCOMPARE(form.result(), int(QDialog::Accepted));  // closes all the same
    QVERIFY(f.stored("SaveFileDelimiter").isEmpty());
    QCOMPARE(f.context().values.saveFileDelimiter, QStringLiteral(","));
}

void TestOptions::folderWithoutProgramKeepsPath()
{
    Fixture f;
    f.context().values.remoteControlPath = QStringLiteral("/kept/rconj.exe");
    OptionsDialog form(f.context());
    form.setFolder(f.path("empty"));
    form.optSemiColon()->click();
    form.btnOK()->click();
    QCOMPARE(f.stored("SaveFileDelimiter"), QStringLiteral(";"));
    QCOMPARE(f.context().values.saveFileDelimiter, QStringLiteral(";"));
    QCOMPARE(f.services.messages.titles(), QStringList{"Remote Control Option"});
    QCOMPARE(
        f.services.messages.texts(),
        QStringList{"Rconj/Rconsole does not exist in the selected directory.  Remote control directory not saved."});
    QVERIFY(f.stored("RemoteControl").isEmpty());
    QCOMPARE(f.context().values.remoteControlPath, QStringLiteral("/kept/rconj.exe"));
}

void TestOptions::storesChosenProgram()
{
    Fixture f;
    OptionsDialog form(f.context());
    form.setFolder(f.path("rconsole"));
    QCOMPARE(form.filRconJ()->count(), 0);  // Rconj is chosen: rconsole.exe is not listed
    form.tabstripOptions()->setCurrentIndex(1);
    form.optRconsole()->click();
    QCOMPARE(form.filRconJ()->count(), 1);
    form.btnApply()->click();
    QVERIFY(!form.btnApply()->isEnabled());
    QVERIFY(f.services.messages.shown.isEmpty());
    const QString expected = QDir::toNativeSeparators(f.path("rconsole/rconsole.exe"));
    QCOMPARE(f.stored("RemoteControl"), expected);
    QCOMPARE(f.context().values.remoteControlPath, expected);

    // Cancel stores nothing.
    OptionsDialog again(f.context());
    again.optComma()->click();
    again.btnCancel()->click();
    QCOMPARE(again.result(), int(QDialog::Rejected));
}

void TestOptions::remoteConsolePerServer()
{
    Fixture f;
    f.context().values.remoteControlPath = f.path("rconj/RCONJ.EXE");
    options::startRemoteConsoles(f.context(), {"FS1", "FS2", "FS 3;rm -rf x"});
    const auto& started = f.services.launcher.started;
    QCOMPARE(started.size(), 3);
    const QStringList servers{"FS1", "FS2", "FS 3;rm -rf x"};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(started.at(i).program, f.path("rconj/RCONJ.EXE"));
        QCOMPARE(started.at(i).arguments, QStringList{servers.at(i)});  // the name alone, never through a shell
        QCOMPARE(started.at(i).workingDirectory, f.path("rconj"));
    }
    QVERIFY(f.services.messages.shown.isEmpty());
}

void TestOptions::remoteConsoleMessages()
{
    Fixture f;
    options::startRemoteConsoles(f.context(), {"FS1"});
    f.context().values.remoteControlPath = f.path("gone/rconj.exe");
    options::startRemoteConsoles(f.context(), {"FS1"});
    QCOMPARE(f.services.messages.texts(),
             QStringList({"You must select the path to Rconj/Rconsole from the Tools/Options/Remote Control menu first",
                          "Unable to connect to Remote Console program.  Please verify path is correct from "
                          "Tools/Options."}));
    QVERIFY(f.services.launcher.started.isEmpty());
}

void TestOptions::enterInFolderList()
{
    Fixture f;
    OptionsDialog form(f.context());
    showRemotePanel(form);
    const QString top = QDir::toNativeSeparators(f.folder.path());
    form.setFolder(top);

    // Enter opens the highlighted folder and leaves the dialog open: OK is the
    // default button, and a press that reached it would store and close.
    highlight(form, QStringLiteral("rconj"));
    QTest::keyClick(form.dirRconJ(), Qt::Key_Return);
    QCOMPARE(form.folder(), QDir::toNativeSeparators(f.path("rconj")));
    QCOMPARE(form.filRconJ()->count(), 1);
    QVERIFY(form.isVisible());
    QCOMPARE(form.result(), 0);
    QVERIFY(f.stored("RemoteControl").isEmpty());
    QVERIFY(f.services.messages.shown.isEmpty());

    // Enter on ".." goes up and highlights the folder just left; the keypad's
    // Enter does the same as Return.
    QCOMPARE(form.dirRconJ()->currentItem()->text(), QStringLiteral(".."));
    QTest::keyClick(form.dirRconJ(), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(form.folder(), top);
    QCOMPARE(form.dirRconJ()->currentItem()->text(), QStringLiteral("rconj"));

    // A folder removed after the list was read: the list is read again, the
    // window stays where it was.
    QVERIFY(QDir(top).mkdir(QStringLiteral("doomed")));
    form.setFolder(top);
    highlight(form, QStringLiteral("doomed"));
    QVERIFY(QDir(top).rmdir(QStringLiteral("doomed")));
    QTest::keyClick(form.dirRconJ(), Qt::Key_Return);
    QCOMPARE(form.folder(), top);
    QVERIFY(form.dirRconJ()->findItems(QStringLiteral("doomed"), Qt::MatchExactly).isEmpty());
}

void TestOptions::pathBox()
{
    Fixture f;
    OptionsDialog form(f.context());
    showRemotePanel(form);
    form.setFolder(f.folder.path());
    QCOMPARE(form.txtPath()->text(), QDir::toNativeSeparators(f.folder.path()));

    typePath(form, QDir::toNativeSeparators(f.path("rconsole")));
    QCOMPARE(form.folder(), QDir::toNativeSeparators(f.path("rconsole")));
    QCOMPARE(form.driveRconJ()->currentText(), options::driveOf(form.folder()));

    // Relative to the folder shown; a file stands for its folder.
    typePath(form, QStringLiteral("../rconj/RCONJ.EXE"));
    QCOMPARE(form.folder(), QDir::toNativeSeparators(f.path("rconj")));
    QCOMPARE(form.filRconJ()->count(), 1);
    QVERIFY(form.lblPathMessage()->isHidden());

    // A missing folder is refused in words on the window, not in a message box,
    // and the lists stay where they were.
    const QString missing = QDir::toNativeSeparators(f.path("nowhere/else"));
    typePath(form, missing);
    QCOMPARE(form.folder(), QDir::toNativeSeparators(f.path("rconj")));
    QVERIFY(!form.lblPathMessage()->isHidden());
    QVERIFY(form.lblPathMessage()->text().contains(missing));
    QVERIFY(form.isVisible());
    QVERIFY(f.services.messages.shown.isEmpty());

    // Going somewhere clears the refusal.
    typePath(form, QStringLiteral(".."));
    QCOMPARE(form.folder(), QDir::toNativeSeparators(f.folder.path()));
    QVERIFY(form.lblPathMessage()->isHidden());
    typePath(form, QStringLiteral("~"));
    QCOMPARE(form.folder(), QDir::toNativeSeparators(QDir::homePath()));
    QVERIFY(f.stored("RemoteControl").isEmpty());
}

void TestOptions::missingStoredFolder_data()
{
    QTest::addColumn<QString>("stored");  // below the scratch folder, or as it is where "shown" is "~"
    QTest::addColumn<QString>("shown");   // below the scratch folder; "~" for home
    QTest::addColumn<int>("files");
    QTest::newRow("one level gone") << "rconj/gone/rconj.exe"
                                    << "rconj" << 1;
    QTest::newRow("three levels gone") << "empty/a/b/c/rconsole.exe"
                                       << "empty" << 0;
    QTest::newRow("nothing left") << "relative\\gone\\rconj.exe"
                                  << "~" << 0;
}

void TestOptions::missingStoredFolder()
{
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QFETCH(int, files);
    Fixture f;
    const QString program = shown == u"~" ? stored : QDir::toNativeSeparators(f.path(stored));
    const QString expected = QDir::toNativeSeparators(shown == u"~" ? QDir::homePath() : f.path(shown));
    f.context().values.remoteControlPath = program;
    OptionsDialog form(f.context());
    showRemotePanel(form);

    QCOMPARE(form.folder(), expected);
    QCOMPARE(form.txtPath()->text(), expected);
    QCOMPARE(form.filRconJ()->count(), files);
    QCOMPARE(form.driveRconJ()->currentText(), options::driveOf(expected));
    QVERIFY(!form.lblPathMessage()->isHidden());
    QVERIFY(!form.btnApply()->isEnabled());

    // ".." leads on from there.
    if (!QDir(expected).isRoot()) {
        highlight(form, QStringLiteral(".."));
        QTest::keyClick(form.dirRconJ(), Qt::Key_Return);
        QCOMPARE(form.folder(), QDir::toNativeSeparators(QFileInfo(expected).absolutePath()));
        QVERIFY(form.lblPathMessage()->isHidden());
    }

    // Nothing is stored by looking around, nor by leaving with Cancel.
    form.btnCancel()->click();
    QVERIFY(f.stored("RemoteControl").isEmpty());
    QCOMPARE(f.context().values.remoteControlPath, program);
}

VESKARO_TEST_MAIN(TestOptions)
#include "test_options.moc"

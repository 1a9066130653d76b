#include "netware/sim/SimClient.h"
#include "platform/PrivateFiles.h"
#include "settings/Registry.h"
#include "support/FakeViewHost.h"
#include "support/MemoryRegistry.h"
#include "support/SimNetwork.h"
#include "support/StubClient.h"
#include "support/TestContext.h"
#include "support/TestMain.h"
#include "views/AbendLog.h"
#include "views/AbendLogWindow.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRegularExpression>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using views::AbendLogWindow;

namespace {

const QStringList kLog = {
    "Server FS1 halted Tuesday, March 3, 2009 4:23:11 pm",
    "Abend 1 on P00: Server-5.70.05: Page Fault Processor Exception",
    "Registers:",
    "Server FS2 halted Friday, May 1, 2009 1:00:00 am",
    "copied from another server",
    "Server FS10 halted Monday, June 1, 2009 2:00:00 am",
    "server FS1 halted not a header (lower case)",
    "Server FS1 halted Sunday, January 10, 2010 9:15:42 am",
    "Abend 2 on P00: Server-5.70.05: NMI",
    "Stack: 0x1234",
};

const QByteArray kNetwork = R"({
  "format": 1,
  "fileRoot": "volumes",
  "trees": [ { "name": "T", "containers": [ { "name": "O", "class": "Organization" } ] } ],
  "servers": [ { "name": "FS1", "tree": "T" }, { "name": "FS2", "tree": "T" }, { "name": "NOLOG", "tree": "T" },
               { "name": "DOWN", "tree": "T", "reachable": false } ]
})";

struct Fixture {
    explicit Fixture(const QByteArray& network = kNetwork)
    {
        QDir(files.path()).mkpath(QStringLiteral("volumes/fs1/sys/system"));
        QDir(files.path()).mkpath(QStringLiteral("volumes/FS2/SYS/SYSTEM"));
        QDir(files.path()).mkpath(QStringLiteral("volumes/NOLOG/SYS/SYSTEM"));
        write(QStringLiteral("volumes/fs1/sys/system/abend.log"), kLog.join("\r\n") + "\r\n");
        write(QStringLiteral("volumes/FS2/SYS/SYSTEM/ABEND.LOG"), "nothing of this server\n");
        client = testing::makeNetwork(network, files.path());
        services = std::make_unique<testing::TestContext>(client ? *client : fallback, registry);
        host = std::make_unique<testing::FakeViewHost>(services->context);
        settings::resetStartingServerContext(registry);
        host->window()->show();
        qputenv("Temp", temp.path().toLocal8Bit());
    }
    ~Fixture()
    {
        views::TemporaryReports::instance().removeAll();
        qunsetenv("Temp");
    }

    void write(const QString& path, const QString& text)
    {
        QFile file(QDir(files.path()).filePath(path));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text.toLatin1());
    }

    AbendLogWindow* viewer(const QString& server)
    {
        return views::findView<AbendLogWindow>(*host, [&](const AbendLogWindow& form) {
            return form.windowTitle() == AbendLogWindow::captionFor(server);
        });
    }

    QTemporaryDir files;
    QTemporaryDir temp;
    testing::StubClient fallback;
    std::unique_ptr<nw::NetWareClient> client;
    testing::MemoryRegistry registry;
    std::unique_ptr<testing::TestContext> services;
    std::unique_ptr<testing::FakeViewHost> host;
};

QStringList entries(const AbendLogWindow* form)
{
    QStringList texts;
    for (int i = 0; i < form->lstAbendDates()->count(); ++i)
        texts.append(form->lstAbendDates()->item(i)->text());
    return texts;
}

const QFile::Permissions kOthers =
    QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;

QString readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
}

}  // namespace

class TestAbendLog : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void halts_data();
    void halts();
    void reports_data();
    void reports();
    void temporaryNamesNeverRepeat();
    void reportsNeverFollowAPlantedName();
    void refusedReportFolderIsNotUsed_data();
    void refusedReportFolderIsNotUsed();
    void killedRunsAreClearedAtTheNextStart();
    void oneViewerPerServer();
    void enterViewsLikeDoubleClick();
    void missingLogViewsNothing();
    void viewerThatCannotStartIsReported();
    void networkPaths_data();
    void networkPaths();
    void logLinkedOutsideIsNotRead();
    void missingLogProbesTheServerQuietly();
};

void TestAbendLog::halts_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("this server only") << "FS1"
                                      << QStringList{"Tuesday, March 3, 2009 4:23:11 pm",
                                                     "Sunday, January 10, 2010 9:15:42 am"};
    QTest::newRow("copied header") << "FS2" << QStringList{"Friday, May 1, 2009 1:00:00 am"};
    QTest::newRow("longer name") << "FS10" << QStringList{"Monday, June 1, 2009 2:00:00 am"};
    QTest::newRow("case-sensitive") << "fs1" << QStringList{};
}

void TestAbendLog::halts()
{
    QFETCH(QString, server);
    QFETCH(QStringList, expected);
    QCOMPARE(views::abendDates(kLog, server), expected);
}

void TestAbendLog::reports_data()
{
    QTest::addColumn<QString>("halt");
    QTest::addColumn<QStringList>("expected");
    const QString heading = "Abend information for server FS1 ";
    // Another server's header does not end the report; the next one of FS1 does.
    QTest::newRow("first halt") << "Tuesday, March 3, 2009 4:23:11 pm"
                                << (QStringList{heading + "Tuesday, March 3, 2009 4:23:11 pm", ""} + kLog.mid(0, 7));
    QTest::newRow("last halt to the end")
        << "Sunday, January 10, 2010 9:15:42 am"
        << (QStringList{heading + "Sunday, January 10, 2010 9:15:42 am", ""} + kLog.mid(7));
    QTest::newRow("not in the log") << "Monday" << QStringList{heading + "Monday", ""};
}

void TestAbendLog::reports()
{
    QFETCH(QString, halt);
    QFETCH(QStringList, expected);
    QCOMPARE(views::abendReport(kLog, "FS1", halt), expected);
}

void TestAbendLog::temporaryNamesNeverRepeat()
{
    QTemporaryDir folder;
    views::TemporaryReports reports;
    const QTime now(14, 25, 3);
    QFile first;
    QFile second;
    QCOMPARE(reports.create(folder.path(), now, first), QString());
    QCOMPARE(reports.create(folder.path(), now, second), QString());
    QCOMPARE(QFileInfo(first.fileName()).fileName(), QStringLiteral("142503.tmp"));
    QCOMPARE(QFileInfo(second.fileName()).fileName(), QStringLiteral("142503-2.tmp"));
    QCOMPARE(QFileInfo(first.fileName()).path(), QFileInfo(second.fileName()).path());
    first.close();
    second.close();
    reports.removeAll();
    QVERIFY(!QFileInfo::exists(first.fileName()));
    QVERIFY(!QFileInfo::exists(second.fileName()));
    QVERIFY(!QFileInfo::exists(QFileInfo(first.fileName()).path()));  // the run's folder too
    QVERIFY(reports.files().empty());
}

void TestAbendLog::reportsNeverFollowAPlantedName()
{
    Fixture f;
    f.host->selection = {"FS1"};
    views::openAbendLogs(*f.host);
    AbendLogWindow* form = f.viewer("FS1");
    // Another user's links where the reports of the coming seconds used to be written.
    QTemporaryDir elsewhere;
    QStringList targets;
    const QTime now = QTime::currentTime();
    for (int second = 0; second < 5; ++second) {
        const QString name = now.addSecs(second).toString(QStringLiteral("HHmmss"));
        targets.append(elsewhere.filePath(name));
        QVERIFY(QFile::link(targets.last(), f.temp.filePath(name + ".tmp")));
    }
    form->lstAbendDates()->setCurrentRow(0);
    const QString path = form->viewSelectedHalt();
    QVERIFY(!path.isEmpty());
    for (const QString& target : std::as_const(targets))
        QVERIFY2(!QFileInfo::exists(target), qPrintable(target));
    QCOMPARE(readFile(path),
             (QStringList{"Abend information for server FS1 Tuesday, March 3, 2009 4:23:11 pm", ""} + kLog.mid(0, 7))
                     .join('\n')
                 + '\n');

    // The file keeps its name, in a folder of the run inside a folder of the
    // user, both in the temporary folder and closed to everyone else.
    const QFileInfo report(path);
    QVERIFY(QRegularExpression(QStringLiteral("^[0-9]{6}\\.tmp$")).match(report.fileName()).hasMatch());
    QCOMPARE(report.permissions() & (kOthers | QFile::ExeOwner), QFile::Permissions());
    QVERIFY(report.permissions().testFlags(QFile::ReadOwner | QFile::WriteOwner));
    const QFileInfo run(report.path());
    const QFileInfo user(run.path());
    QCOMPARE(user.path(), f.temp.path());
    for (const QFileInfo& folder : {run, user}) {
        QVERIFY(folder.isDir() && !folder.isSymLink());
        QCOMPARE(folder.ownerId(), uint(::geteuid()));
        QCOMPARE(folder.permissions() & kOthers, QFile::Permissions());
    }
    views::TemporaryReports::instance().removeAll();
    QVERIFY(!QFileInfo::exists(path));
}

void TestAbendLog::refusedReportFolderIsNotUsed_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("a link to a folder") << "link";
    QTest::newRow("open to others") << "open";
    QTest::newRow("another user's") << "foreign";
    QTest::newRow("a file") << "file";
}

void TestAbendLog::refusedReportFolderIsNotUsed()
{
    QFETCH(QString, kind);
    QTemporaryDir base;
    const QString planted = base.filePath(platform::userFolderName(QStringLiteral("veskaro-reports")));
    const QString elsewhere = base.filePath("elsewhere");
    QVERIFY(QDir().mkdir(elsewhere, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    if (kind == "link") {
        QVERIFY(QFile::link(elsewhere, planted));
    } else if (kind == "file") {
        QFile file(planted);
        QVERIFY(file.open(QIODevice::WriteOnly));
    } else {
        QVERIFY(QDir().mkdir(planted));
        QVERIFY(QFile::setPermissions(planted, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                                   | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
        if (kind == "foreign") {
            if (::geteuid() != 0)
                QSKIP("only the administrator can give a folder to another user");
            QVERIFY(::chown(QFile::encodeName(planted).constData(), 65534, 65534) == 0);
            QVERIFY(QFile::setPermissions(planted, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        }
    }
    const QFile::Permissions before = QFileInfo(planted).permissions();

    views::TemporaryReports reports;
    QFile file;
    QCOMPARE(reports.create(base.path(), QTime(9, 0, 0), file), QString());
    file.close();
    // Written, but neither in nor through what was found at the name.
    const QFileInfo folder(QFileInfo(file.fileName()).path());
    QCOMPARE(folder.path(), base.path());
    QVERIFY(folder.filePath() != planted);
    QCOMPARE(folder.permissions() & kOthers, QFile::Permissions());
    QVERIFY(QDir(elsewhere).isEmpty());
    QCOMPARE(QFileInfo(planted).permissions(), before);
    if (kind == "open" || kind == "foreign")
        QVERIFY(QDir(planted).isEmpty());
    reports.removeAll();
    QVERIFY(!QFileInfo::exists(folder.filePath()));
}

void TestAbendLog::killedRunsAreClearedAtTheNextStart()
{
    QTemporaryDir base;
    // This run goes on: its report stays.
    views::TemporaryReports going;
    QFile kept;
    QCOMPARE(going.create(base.path(), QTime(10, 0, 0), kept), QString());
    kept.close();
    const QDir user(QFileInfo(QFileInfo(kept.fileName()).path()).path());

    // Two killed runs: one whose lock names a process that has ended, one
    // killed before it could take its lock. The second holds a note and a
    // link that are none of the program's.
    const auto write = [](const QString& path, const QByteArray& bytes) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    for (const char* run : {"run-Ab3xYz", "run-Cd4eFg"})
        QVERIFY(user.mkdir(QLatin1String(run), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    write(user.filePath("run-Ab3xYz.lock"), "999999\nveskaro\n" + QSysInfo::machineHostName().toUtf8() + '\n');
    write(user.filePath("run-Ab3xYz/101010.tmp"), "report");
    write(user.filePath("run-Ab3xYz/101010-2.tmp"), "report");
    write(user.filePath("run-Cd4eFg/111111.tmp"), "report");
    write(user.filePath("run-Cd4eFg/notes.txt"), "the user's");
    write(base.filePath("outside.txt"), "the user's");
    QVERIFY(QFile::link(base.filePath("outside.txt"), user.filePath("run-Cd4eFg/121212.tmp")));
    write(user.filePath("131313.tmp"), "not in a run's folder");

    views::TemporaryReports::removeLeftovers(base.path());
    QVERIFY(!QFileInfo::exists(user.filePath("run-Ab3xYz")));
    QVERIFY(!QFileInfo::exists(user.filePath("run-Ab3xYz.lock")));
    QVERIFY(!QFileInfo::exists(user.filePath("run-Cd4eFg/111111.tmp")));
    QVERIFY(QFileInfo::exists(user.filePath("run-Cd4eFg/notes.txt")));
    QVERIFY(QFileInfo(user.filePath("run-Cd4eFg/121212.tmp")).isSymLink());
    QCOMPARE(readFile(base.filePath("outside.txt")), QStringLiteral("the user's"));
    QVERIFY(QFileInfo::exists(user.filePath("131313.tmp")));
    QVERIFY(QFileInfo::exists(kept.fileName()));

    // A folder of that name open to others is not the program's: nothing in it goes.
    QTemporaryDir shared;
    const QDir open(shared.filePath(user.dirName()));
    QVERIFY(QDir().mkpath(open.filePath("run-Ef5gHi")));
    QVERIFY(QFile::setPermissions(open.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                                   | QFile::ExeOther));
    write(open.filePath("run-Ef5gHi/101010.tmp"), "report");
    views::TemporaryReports::removeLeftovers(shared.path());
    QVERIFY(QFileInfo::exists(open.filePath("run-Ef5gHi/101010.tmp")));
}

void TestAbendLog::oneViewerPerServer()
{
    Fixture f;
    QVERIFY(f.client);
    f.host->selection = {"FS1", "FS2", "NOLOG"};
    views::openAbendLogs(*f.host);
    QCOMPARE(f.host->mdiArea()->subWindowList().size(), 3);
    AbendLogWindow* fs1 = f.viewer("FS1");
    QVERIFY(fs1 && f.viewer("FS2") && f.viewer("NOLOG"));
    QCOMPARE(fs1->lblAbendDates()->text(), QStringLiteral("FS1"));
    QCOMPARE(entries(fs1), views::abendDates(kLog, "FS1"));
    QVERIFY(entries(f.viewer("FS2")).isEmpty());  // a log without this server's halts
    QCOMPARE(entries(f.viewer("NOLOG")), QStringList{views::kNoAbendLog});

    // Opening FS1 again only brings its viewer to the front.
    fs1->lstAbendDates()->clear();
    f.host->selection = {"FS1"};
    views::openAbendLogs(*f.host);
    QCOMPARE(f.host->mdiArea()->subWindowList().size(), 3);
    QVERIFY(entries(fs1).isEmpty());
    QCOMPARE(f.host->mdiArea()->activeSubWindow()->widget(), fs1);
    QVERIFY(!f.host->saveEnabled && !f.host->copyEnabled);
}

void TestAbendLog::enterViewsLikeDoubleClick()
{
    Fixture f;
    f.host->selection = {"FS1"};
    views::openAbendLogs(*f.host);
    AbendLogWindow* form = f.viewer("FS1");
    QListWidget* list = form->lstAbendDates();
    list->setCurrentRow(1);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Return);
    list->setCurrentRow(1);
    Q_EMIT list->itemDoubleClicked(list->item(1));

    const auto& started = f.services->launcher.started;
    QCOMPARE(started.size(), 2);
    const QString file = started.at(0).arguments.last();
    QCOMPARE(started.at(0).arguments.size(), 1);
    QVERIFY(file.startsWith(QDir::toNativeSeparators(f.temp.path())));
    QVERIFY(started.at(1).arguments.last() != file);  // same second, another file
    QCOMPARE(readFile(file),
             (QStringList{"Abend information for server FS1 Sunday, January 10, 2010 9:15:42 am", ""} + kLog.mid(7))
                     .join('\n')
                 + '\n');
    views::TemporaryReports::instance().removeAll();
    QVERIFY(!QFileInfo::exists(file));
}

void TestAbendLog::missingLogViewsNothing()
{
    Fixture f;
    f.host->selection = {"NOLOG"};
    views::openAbendLogs(*f.host);
    AbendLogWindow* form = f.viewer("NOLOG");
    form->lstAbendDates()->setCurrentRow(0);
    QVERIFY(form->viewSelectedHalt().isEmpty());
    QVERIFY(f.services->launcher.started.isEmpty());
}

void TestAbendLog::viewerThatCannotStartIsReported()
{
    Fixture f;
    f.services->launcher.succeed = false;
    f.host->selection = {"FS1"};
    views::openAbendLogs(*f.host);
    AbendLogWindow* form = f.viewer("FS1");
    QListWidget* list = form->lstAbendDates();
    list->setCurrentRow(0);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Return);
    const auto& started = f.services->launcher.started;
    QCOMPARE(started.size(), 1);
    const auto& shown = f.services->messages.shown;
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.at(0).title, QStringLiteral("Viewer Not Started"));
    QVERIFY2(shown.at(0).text.contains(started.at(0).program), qPrintable(shown.at(0).text));
    QVERIFY(shown.at(0).text.contains(started.at(0).arguments.last()));
}

void TestAbendLog::networkPaths_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("local");  // below the description's folder; empty: unreachable
    QTest::newRow("any case") << "\\\\Fs1\\SYS\\System\\Abend.log"
                              << "volumes/fs1/sys/system/abend.log";
    QTest::newRow("volume root") << "\\\\FS2\\SYS"
                                 << "volumes/FS2/SYS";
    QTest::newRow("missing file") << "\\\\NOLOG\\SYS\\SYSTEM\\ABEND.LOG"
                                  << "";
    QTest::newRow("unreachable server") << "\\\\DOWN\\SYS"
                                        << "";
    QTest::newRow("no volume") << "\\\\FS1\\VOL1"
                               << "";
    QTest::newRow("climbing out") << "\\\\FS1\\SYS\\..\\..\\FS2"
                                  << "";
    QTest::newRow("not a network path") << "C:\\SYS"
                                        << "";
}

void TestAbendLog::networkPaths()
{
    QFETCH(QString, path);
    QFETCH(QString, local);
    Fixture f;
    const QString found = f.client->localPathOf(path);
    QCOMPARE(found, local.isEmpty() ? QString() : QDir(f.files.path()).filePath(local));
}

void TestAbendLog::logLinkedOutsideIsNotRead()
{
    Fixture f;
    QTemporaryDir outside;
    const QString log = QDir(f.files.path()).filePath("volumes/fs1/sys/system/abend.log");
    const QString elsewhere = outside.filePath("abend.log");
    QVERIFY(QFile::rename(log, elsewhere));
    QVERIFY(QFile::link(elsewhere, log));
    f.host->selection = {"FS1"};
    views::openAbendLogs(*f.host);
    AbendLogWindow* form = f.viewer("FS1");
    QCOMPARE(entries(form), QStringList{views::kNoAbendLog});

    // A link that stays inside the volume is followed.
    QVERIFY(QDir(f.files.path()).mkpath("volumes/fs1/sys/archive"));
    QVERIFY(QFile::rename(elsewhere, QDir(f.files.path()).filePath("volumes/fs1/sys/archive/abend.log")));
    QVERIFY(QFile::remove(log));
    QVERIFY(QFile::link("../archive/abend.log", log));
    form->readLog();
    QCOMPARE(entries(form), views::abendDates(kLog, "FS1"));
}

// Without a log, one public connection tells a server that answers from one
// that does not; it is closed at once, and a close the server refuses is left
// unsaid: the viewer says all there is to say.
void TestAbendLog::missingLogProbesTheServerQuietly()
{
    Fixture f(QByteArray(kNetwork).replace(
        R"({ "name": "DOWN", "tree": "T", "reachable": false })",
        R"({ "name": "DOWN", "tree": "T", "reachable": false }, { "name": "SHUT", "tree": "T", "faults": { "NWCCCloseConn": "0x8801" } })"));
    auto* sim = dynamic_cast<nw::sim::SimClient*>(f.client.get());
    QVERIFY(sim);
    f.host->selection = {"NOLOG", "DOWN"};
    views::openAbendLogs(*f.host);
    QCOMPARE(sim->openConnectionCount(), 0);
    f.host->selection = {"SHUT"};
    views::openAbendLogs(*f.host);
    QCOMPARE(sim->openConnectionCount(), 1);

    QStringList opens;
    for (const auto& open : sim->connectionOpens())
        opens.append(QStringLiteral("%1 %2 %3 %4")
                         .arg(open.name)
                         .arg(open.nameFormat, 0, 16)
                         .arg(open.openState)
                         .arg(open.transport, 0, 16));
    opens.sort();  // the servers are read side by side
    QCOMPARE(opens, QStringList({"DOWN ffff8000 8 ffff8000", "NOLOG ffff8000 8 ffff8000", "SHUT ffff8000 8 ffff8000"}));
    for (const char* server : {"NOLOG", "DOWN", "SHUT"})
        QCOMPARE(entries(f.viewer(server)), QStringList{views::kNoAbendLog});
    QVERIFY(f.services->messages.shown.isEmpty());
    const core::ServerReachability& reachability = f.services->context.reachability();
    QCOMPARE(reachability.unreachableAmong({"NOLOG", "DOWN", "SHUT"}), QStringList{"DOWN"});
}

VESKARO_TEST_MAIN(TestAbendLog)
#include "test_abendlog.moc"

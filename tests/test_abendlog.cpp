#include "settings/Registry.h"
#include "support/FakeViewHost.h"
#include "support/MemoryRegistry.h"
#include "support/SimNetwork.h"
#include "support/StubClient.h"
#include "support/TestContext.h"
#include "views/AbendLog.h"
#include "views/AbendLogForm.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTest>

using views::AbendLogForm;

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
    Fixture()
    {
        QDir(files.path()).mkpath(QStringLiteral("volumes/fs1/sys/system"));
        QDir(files.path()).mkpath(QStringLiteral("volumes/FS2/SYS/SYSTEM"));
        QDir(files.path()).mkpath(QStringLiteral("volumes/NOLOG/SYS/SYSTEM"));
        write(QStringLiteral("volumes/fs1/sys/system/abend.log"), kLog.join("\r\n") + "\r\n");
        write(QStringLiteral("volumes/FS2/SYS/SYSTEM/ABEND.LOG"), "nothing of this server\n");
        client = testing::makeNetwork(kNetwork, files.path());
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

    AbendLogForm* viewer(const QString& server)
    {
        return views::findView<AbendLogForm>(*host, [&](const AbendLogForm& form) {
            return form.windowTitle() == AbendLogForm::captionFor(server);
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

QStringList entries(const AbendLogForm* form)
{
    QStringList texts;
    for (int i = 0; i < form->lstAbendDates()->count(); ++i)
        texts.append(form->lstAbendDates()->item(i)->text());
    return texts;
}

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
    void oneViewerPerServer();
    void enterViewsLikeDoubleClick();
    void missingLogViewsNothing();
    void networkPaths_data();
    void networkPaths();
};

void TestAbendLog::halts_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("this server only")
        << "FS1" << QStringList{"Tuesday, March 3, 2009 4:23:11 pm", "Sunday, January 10, 2010 9:15:42 am"};
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
    QFile taken(QDir(folder.path()).filePath("142503.tmp"));
    QVERIFY(taken.open(QIODevice::WriteOnly));
    taken.close();
    views::TemporaryReports reports;
    const QTime now(14, 25, 3);
    const QString first = reports.reserve(folder.path(), now);
    const QString second = reports.reserve(folder.path(), now);
    QCOMPARE(QFileInfo(first).fileName(), QStringLiteral("142503-2.tmp"));
    QCOMPARE(QFileInfo(second).fileName(), QStringLiteral("142503-3.tmp"));
    QFile(first).open(QIODevice::WriteOnly);
    reports.removeAll();
    QVERIFY(!QFileInfo::exists(first));
    QVERIFY(QFileInfo::exists(taken.fileName()));   // not ours: left alone
    QVERIFY(reports.files().empty());
}

void TestAbendLog::oneViewerPerServer()
{
    Fixture f;
    QVERIFY(f.client);
    f.host->selection = {"FS1", "FS2", "NOLOG"};
    views::openAbendLogs(*f.host);
    QCOMPARE(f.host->mdiArea()->subWindowList().size(), 3);
    AbendLogForm* fs1 = f.viewer("FS1");
    QVERIFY(fs1 && f.viewer("FS2") && f.viewer("NOLOG"));
    QCOMPARE(fs1->lblAbendDates()->text(), QStringLiteral("FS1"));
    QCOMPARE(entries(fs1), views::abendDates(kLog, "FS1"));
    QVERIFY(entries(f.viewer("FS2")).isEmpty());   // a log without this server's halts
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
    AbendLogForm* form = f.viewer("FS1");
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
    QVERIFY(started.at(1).arguments.last() != file);   // same second, another file
    QCOMPARE(readFile(file), (QStringList{"Abend information for server FS1 Sunday, January 10, 2010 9:15:42 am", ""}
                              + kLog.mid(7)).join('\n') + '\n');
    views::TemporaryReports::instance().removeAll();
    QVERIFY(!QFileInfo::exists(file));
}

void TestAbendLog::missingLogViewsNothing()
{
    Fixture f;
    f.host->selection = {"NOLOG"};
    views::openAbendLogs(*f.host);
    AbendLogForm* form = f.viewer("NOLOG");
    form->lstAbendDates()->setCurrentRow(0);
    QVERIFY(form->viewSelectedHalt().isEmpty());
    QVERIFY(f.services->launcher.started.isEmpty());
}

void TestAbendLog::networkPaths_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("local");   // below the description's folder; empty: unreachable
    QTest::newRow("any case") << "\\\\Fs1\\SYS\\System\\Abend.log" << "volumes/fs1/sys/system/abend.log";
    QTest::newRow("volume root") << "\\\\FS2\\SYS" << "volumes/FS2/SYS";
    QTest::newRow("missing file") << "\\\\NOLOG\\SYS\\SYSTEM\\ABEND.LOG" << "";
    QTest::newRow("unreachable server") << "\\\\DOWN\\SYS" << "";
    QTest::newRow("no volume") << "\\\\FS1\\VOL1" << "";
    QTest::newRow("climbing out") << "\\\\FS1\\SYS\\..\\..\\FS2" << "";
    QTest::newRow("not a network path") << "C:\\SYS" << "";
}

void TestAbendLog::networkPaths()
{
    QFETCH(QString, path);
    QFETCH(QString, local);
    Fixture f;
    const QString found = f.client->localPathOf(path);
    QCOMPARE(found, local.isEmpty() ? QString() : QDir(f.files.path()).filePath(local));
}

QTEST_MAIN(TestAbendLog)
#include "test_abendlog.moc"

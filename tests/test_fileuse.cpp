// Open files of a connection and who holds a file open: the lock flag
// wordings, paths in long name spaces, the volume paths the browser and the
// command line give, the query's clean-up on every way out, both windows and
// veskaro-report's tables of them.

#include "connections/ConnectionActions.h"
#include "connections/ConnectionFormats.h"
#include "connections/FileLocksForm.h"
#include "connections/FileUse.h"
#include "connections/OpenFilesForm.h"
#include "connections/UserConnectionsForm.h"
#include "netware/NovellCalls.h"
#include "report/ReportCommand.h"
#include "settings/ColumnScale.h"
#include "settings/Registry.h"
#include "settings/Twips.h"
#include "support/FakeViewHost.h"
#include "support/MemoryRegistry.h"
#include "support/SimNetwork.h"
#include "support/StubClient.h"
#include "support/TestContext.h"
#include "widgets/FlexGrid.h"
#include "widgets/RefreshFrame.h"
#include "widgets/ReportListView.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>
#include <QTreeView>

using connections::FileLocksForm;
using connections::OpenFilesForm;
using nw::NWRCODE;

namespace {

// FS1: own connection 3. REPORT.TXT is held by 3 and 5, "Q4 Report.xls" in
// the long name space by 5 and in DOS by 7. NOBODY.TXT is open nowhere.
// VOL1 has no folder, so the workstation cannot reach it.
const QByteArray kNetwork = R"({
  "format": 1,
  "clock": "2026-12-05T19:04:36",
  "fileRoot": "vols",
  "workstation": { "tree": "T", "context": "O", "logins": { "T": "admin.O" } },
  "trees": [ { "name": "T", "containers": [ { "name": "O", "class": "Organization" } ] } ],
  "servers": [
    { "name": "FS1", "tree": "T", "ownConnection": 3, "volumes": [ { "name": "SYS" }, { "name": "VOL1" } ],
      "connections": [
        { "number": 3, "user": "ADMIN.O", "openFiles": [ { "volume": "SYS", "path": "PUBLIC\\REPORT.TXT", "lockFlags": "0x03" } ] },
        { "number": 5, "user": "JSMITH.O", "openFiles": [
            { "volume": "SYS", "path": "PUBLIC\\REPORT.TXT", "lockFlags": "0x0A" },
            { "volume": "SYS", "path": "APPS\\Data Files\\Q4 Report.xls", "nameSpace": 4, "lockFlags": "0x88" } ] },
        { "number": 7, "user": "MAC1.O", "openFiles": [
            { "volume": "SYS", "path": "APPS\\Data Files\\Q4 Report.xls", "nameSpace": 0, "lockFlags": "0x00" } ] },
        { "number": 9, "user": "IDLE.O" } ] },
    { "name": "NOVOL", "tree": "T", "volumes": [ { "name": "SYS", "mounted": false } ] }
  ]
})";

// The files of FS1's SYS volume below `root`.
void makeVolumeFiles(const QString& root)
{
    for (const char* name : {"APPS/Data Files/Q4 Report.xls", "PUBLIC/REPORT.TXT", "PUBLIC/NOBODY.TXT"}) {
        QFile file(root + QStringLiteral("/vols/FS1/SYS/") + QLatin1String(name));
        QDir().mkpath(QFileInfo(file).path());
        file.open(QIODevice::WriteOnly);
    }
}

struct Fixture {
    Fixture()
    {
        makeVolumeFiles(dir.path());
        client = testing::makeNetwork(kNetwork, dir.path());
        services = std::make_unique<testing::TestContext>(*client, registry);
        host = std::make_unique<testing::FakeViewHost>(services->context);
        settings::resetStartingServerContext(registry);
        host->window()->show();
    }

    FileLocksForm* openFileLocks(const QString& server)
    {
        host->selection = {server};
        connections::openFileLocks(*host);
        return connections::findFileLocks(*host, server);
    }
    // FS1's window, browsed to `directories` with `file` queried.
    FileLocksForm* queryFS1(const QStringList& directories, const QString& file)
    {
        FileLocksForm* form = openFileLocks(QStringLiteral("FS1"));
        form->setDirectories(directories);
        const QList<QListWidgetItem*> items = form->filFileList()->findItems(file, Qt::MatchExactly);
        if (!items.isEmpty())
            form->filFileList()->setCurrentItem(items.first());
        form->showFileLocks();
        return form;
    }

    QTemporaryDir dir;
    std::unique_ptr<nw::NetWareClient> client;
    testing::MemoryRegistry registry;
    std::unique_ptr<testing::TestContext> services;
    std::unique_ptr<testing::FakeViewHost> host;
};

QList<QStringList> gridRows(const widgets::FlexGrid* grid)
{
    QList<QStringList> rows;
    for (int row = grid->fixedRows(); row < grid->rows(); ++row) {
        QStringList cells;
        for (int col = 0; col < grid->cols(); ++col)
            cells.append(grid->textMatrix(row, col));
        rows.append(cells);
    }
    return rows;
}

void selectFile(FileLocksForm* form, const QString& name)
{
    const QList<QListWidgetItem*> items = form->filFileList()->findItems(name, Qt::MatchExactly);
    QVERIFY2(!items.isEmpty(), qPrintable(name));
    form->filFileList()->setCurrentItem(items.first());
}

// Closes every window and lets the frames go.
void closeAll(testing::FakeViewHost& host)
{
    host.mdiArea()->closeAllSubWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A client that answers only what a file query asks, records what the query
// holds, and refuses one named call.
class QueryClient : public testing::StubClient {
public:
    QString failing;
    QList<nw::ConnectionUsingFile> uses;
    quint16 connectionCount = 1;
    int openConnections = 0;
    QSet<quint16> drives;
    QSet<nw::NWDirHandle> dirHandles;
    QStringList calls;
    QHash<quint16, QString> names;   // "USER" + number when not named
    std::function<void()> duringScan;

    NWRCODE answer(const char* call)
    {
        calls.append(QLatin1String(call));
        return failing == QLatin1String(call) ? NWRCODE(0x8801) : NWRCODE(0);
    }
    NWRCODE NWCCOpenConnByName(nw::NWCONN_HANDLE, const QByteArray&, quint32, quint32, quint32,
                               nw::NWCONN_HANDLE& connection) override
    {
        if (const NWRCODE rc = answer("NWCCOpenConnByName"))
            return rc;
        connection = 40 + static_cast<quint32>(++openConnections);
        return 0;
    }
    NWRCODE NWCCCloseConn(nw::NWCONN_HANDLE) override
    {
        --openConnections;
        return answer("NWCCCloseConn");
    }
    NWRCODE NWCCGetConnInfo(nw::NWCONN_HANDLE, quint32, std::span<quint8> buffer) override
    {
        buffer[0] = 3;
        return 0;
    }
    NWRCODE NWParsePath(const QByteArray& path, std::span<char> server, nw::NWCONN_HANDLE& connection,
                        std::span<char> volume, std::span<char> dirPath) override
    {
        connection = 99;   // the client's own, never to be used or closed by the caller
        if (const NWRCODE rc = answer("NWParsePath"))
            return rc;
        QStringList parts = QString::fromLatin1(path).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
        nw::stringToBytes(server, parts.takeFirst());
        nw::stringToBytes(volume, parts.takeFirst());
        nw::stringToBytes(dirPath, parts.join(QLatin1Char('\\')));
        return 0;
    }
    NWRCODE NWGetDriveStatus(quint16 drive, quint16, quint16& status, nw::NWCONN_HANDLE&, std::span<char>,
                             std::span<char>, std::span<char>) override
    {
        status = drives.contains(drive) ? nw::NW_NETWARE_DRIVE : nw::NW_UNMAPPED_DRIVE;
        return 0;
    }
    NWRCODE NWSetDriveBase(quint16 drive, nw::NWCONN_HANDLE connection, nw::NWDirHandle, const QByteArray&,
                           quint16) override
    {
        if (connection == 99)
            return 0x8836;
        if (const NWRCODE rc = answer("NWSetDriveBase"))
            return rc;
        drives.insert(drive);
        return 0;
    }
    NWRCODE NWDeleteDriveBase(quint16 drive, quint16) override
    {
        answer("NWDeleteDriveBase");
        return drives.remove(drive) ? 0 : 0x8836;
    }
    NWRCODE NWGetLongName(nw::NWCONN_HANDLE, nw::NWDirHandle, const QByteArray&, quint8, quint8,
                          std::span<char> name) override
    {
        if (const NWRCODE rc = answer("NWGetLongName"))
            return rc;
        nw::stringToBytes(name, QStringLiteral("Q4REPO~1.XLS"));
        return 0;
    }
    NWRCODE NWAllocTempNSDirHandle2(nw::NWCONN_HANDLE connection, nw::NWDirHandle, const QByteArray&, quint8,
                                    nw::NWDirHandle& handle, quint8) override
    {
        if (connection == 99)
            return 0x8836;
        if (const NWRCODE rc = answer("NWAllocTempNSDirHandle2"))
            return rc;
        handle = static_cast<nw::NWDirHandle>(10 + dirHandles.size());
        dirHandles.insert(handle);
        return 0;
    }
    NWRCODE NWDeallocateDirectoryHandle(nw::NWCONN_HANDLE, nw::NWDirHandle handle) override
    {
        answer("NWDeallocateDirectoryHandle");
        return dirHandles.remove(handle) ? 0 : 0x8836;
    }
    NWRCODE NWScanConnectionsUsingFile(nw::NWCONN_HANDLE, nw::NWDirHandle handle, const QByteArray&,
                                       qint16& iteration, nw::ConnectionUsingFile& use,
                                       nw::FileUsage& usage) override
    {
        if (const NWRCODE rc = answer("NWScanConnectionsUsingFile"))
            return rc;
        if (!dirHandles.contains(handle))
            return 0x899B;
        if (duringScan)
            duringScan();
        use = {};
        usage = {};
        usage.connectionCount = connectionCount;
        if (iteration >= uses.size()) {
            iteration = -1;
            return nw::status::NoMoreItems;
        }
        use = uses.at(iteration);
        ++iteration;
        return 0;
    }
    NWRCODE NWGetConnectionInformation(nw::NWCONN_HANDLE, quint16 number, std::span<char> name, quint16&, quint32&,
                                       std::array<quint8, 7>&) override
    {
        nw::stringToBytes(name, names.value(number, QStringLiteral("USER") + QString::number(number)));
        return 0;
    }

    bool holdsNothing() const { return openConnections == 0 && drives.isEmpty() && dirHandles.isEmpty(); }
};

// A query client with the windows' surroundings.
struct QueryFixture {
    QueryFixture() { host.window()->show(); }
    QueryClient client;
    testing::MemoryRegistry registry;
    testing::TestContext services{client, registry};
    testing::FakeViewHost host{services.context};
};

nw::ConnectionUsingFile use(qint16 number, quint8 flags)
{
    nw::ConnectionUsingFile entry;
    entry.connectionNumber = number;
    entry.lockFlags = flags;
    return entry;
}

const connections::VolumeFile kQ4{QStringLiteral("SYS"), {QStringLiteral("APPS"), QStringLiteral("Data Files")},
                                  QStringLiteral("Q4 Report.xls")};

struct ReportRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ReportRun runReport(const QTemporaryDir& dir, const QStringList& arguments)
{
    makeVolumeFiles(dir.path());
    QFile network(dir.filePath(QStringLiteral("network.json")));
    if (!network.exists() && network.open(QIODevice::WriteOnly))
        network.write(kNetwork);
    network.close();
    qputenv("VESKARO_NETWORK", network.fileName().toLocal8Bit());
    qputenv("VESKARO_SETTINGS", dir.filePath(QStringLiteral("settings.reg")).toLocal8Bit());
    ReportRun run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.exitCode = report::ReportCommand().execute(arguments, out, err);
    err.flush();
    return run;
}

}  // namespace

class TestFileUse : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lockFlagWordings_data();
    void lockFlagWordings();
    void volumeFilePaths_data();
    void volumeFilePaths();
    void longNamePathsComponentByComponent();
    void threeChosenConnectionsOpenThreeWindows();
    void columnsFitUntilWidthsAreStored();
    void volumesAndBrowser();
    void fileHeldByConnectionsAndNowhere();
    void popUpMenuAndTimedQuery();
    void sortsByMeaning_data();
    void sortsByMeaning();
    void connectionHoldingTheFileTwiceIsListedOnce();
    void cleanUpAfterEachFailingCall_data();
    void cleanUpAfterEachFailingCall();
    void namesThatWouldLeaveTheirPlaceAskNothing();
    void overlappingQueriesKeepTheirOwnResources();
    void windowClosedDuringTheScan();
    void reportTables_data();
    void reportTables();
};

void TestFileUse::lockFlagWordings_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<QString>("openFiles");
    QTest::addColumn<QString>("fileLocks");
    QTest::newRow("0x88") << 0x88 << "Transaction flag set, Normal" << "Normal";
    QTest::newRow("0x0A") << 0x0A << "Normal, Shareable" << "Normal,Shareable";
    QTest::newRow("none") << 0x00 << "" << "";
    QTest::newRow("0x03") << 0x03 << "Shareable, Locked" << "Shareable,Locked";
    QTest::newRow("unnamed bits") << 0x30 << "" << "";
    QTest::newRow("all") << 0xFF << "Transaction flag set, TTS Holding, Normal, Logged, Shareable, Locked"
                         << "Normal,Logged,Shareable,Locked";
}

void TestFileUse::lockFlagWordings()
{
    QFETCH(int, flags);
    QTEST(connections::openFileLockText(static_cast<quint8>(flags)), "openFiles");
    QTEST(connections::fileLockStatusText(static_cast<quint8>(flags)), "fileLocks");
}

void TestFileUse::volumeFilePaths_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("parsed");   // volume, directories..., file; empty: refused
    QTest::newRow("long names") << "DATA:Project Plans\\Q4 Budget Review.xlsx"
                                << QStringList{"DATA", "Project Plans", "Q4 Budget Review.xlsx"};
    QTest::newRow("root file") << "SYS:AUTOEXEC.NCF" << QStringList{"SYS", "AUTOEXEC.NCF"};
    QTest::newRow("leading backslash") << "SYS:\\PUBLIC\\MAP.EXE" << QStringList{"SYS", "PUBLIC", "MAP.EXE"};
    QTest::newRow("parent") << "SYS:PUBLIC\\..\\..\\etc\\passwd" << QStringList{};
    QTest::newRow("dot") << "SYS:.\\MAP.EXE" << QStringList{};
    QTest::newRow("absolute inside") << "SYS:PUBLIC\\C:\\x" << QStringList{};
    QTest::newRow("slash") << "SYS:/etc/passwd" << QStringList{};
    QTest::newRow("empty component") << "SYS:PUBLIC\\\\MAP.EXE" << QStringList{};
    QTest::newRow("no file") << "SYS:PUBLIC\\" << QStringList{};
    QTest::newRow("volume only") << "SYS:" << QStringList{};
    QTest::newRow("no volume") << "PUBLIC\\MAP.EXE" << QStringList{};
    QTest::newRow("empty volume") << ":MAP.EXE" << QStringList{};
    QTest::newRow("blank name") << "SYS:   " << QStringList{};
}

void TestFileUse::volumeFilePaths()
{
    QFETCH(QString, text);
    QFETCH(QStringList, parsed);
    QString problem;
    const auto file = connections::parseVolumeFile(text, &problem);
    QCOMPARE(!file, parsed.isEmpty());
    QCOMPARE(problem.isEmpty(), bool(file));
    if (file)
        QCOMPARE(QStringList{file->volume} + file->directories + QStringList{file->file}, parsed);
}

void TestFileUse::longNamePathsComponentByComponent()
{
    // The long name of each level is asked for with the DOS path up to that
    // level; a level whose long name cannot be read keeps its DOS name.
    class LongNames : public testing::StubClient {
    public:
        QStringList asked;
        NWRCODE NWGetLongName(nw::NWCONN_HANDLE, nw::NWDirHandle, const QByteArray& path, quint8 source,
                              quint8 target, std::span<char> name) override
        {
            asked.append(QString::fromLatin1(path));
            if (source != nw::NW_NS_DOS || target != nw::NW_NS_LONG)
                return 0x8836;
            static const QHash<QString, QString> names{{"SYS:\\APPS", "Apps"},
                                                       {"SYS:\\APPS\\DATAFI~1", "Data Files"},
                                                       {"SYS:\\APPS\\DATAFI~1\\Q4REPO~1.XLS", "Q4 Report.xls"}};
            const auto found = names.constFind(QString::fromLatin1(path));
            if (found == names.cend())
                return 0x89FF;
            nw::stringToBytes(name, *found);
            return 0;
        }
    } client;
    QCOMPARE(connections::longPathOf(client, 1, "SYS", "\\APPS\\DATAFI~1\\Q4REPO~1.XLS", nw::NW_NS_LONG),
             QStringLiteral("\\Apps\\Data Files\\Q4 Report.xls"));
    QCOMPARE(client.asked, (QStringList{"SYS:\\APPS\\DATAFI~1\\Q4REPO~1.XLS", "SYS:\\APPS\\DATAFI~1", "SYS:\\APPS"}));
    QCOMPARE(connections::longPathOf(client, 1, "SYS", "\\APPS\\UNKNOWN\\Q4REPO~1.XLS", nw::NW_NS_LONG),
             QStringLiteral("\\Apps\\UNKNOWN\\Q4REPO~1.XLS"));
    client.asked.clear();
    QCOMPARE(connections::longPathOf(client, 1, "SYS", "\\APPS\\DATAFI~1", nw::NW_NS_DOS),
             QStringLiteral("\\APPS\\DATAFI~1"));
    QVERIFY(client.asked.isEmpty());
}

void TestFileUse::threeChosenConnectionsOpenThreeWindows()
{
    Fixture f;
    settings::createUserConnectionsKey(f.registry);
    f.registry.setValue(settings::Hive::CurrentUser, connections::userConnectionsKeyPath(),
                        QStringLiteral("ShowAtStartup"), QStringLiteral("False"));
    f.host->selection = {QStringLiteral("FS1")};
    connections::openUserConnections(*f.host);
    connections::UserConnectionsForm* users = connections::findUserConnections(*f.host, QStringLiteral("FS1"));
    QVERIFY(users);
    widgets::ReportListView* list = users->lstvwUsers();
    const QStringList chosen{"3", "5", "7"};
    for (int row = 0; row < list->rowCount(); ++row)
        list->setRowSelected(row, chosen.contains(list->itemText(row, 1).trimmed()));
    views::bringToFront(*f.host, users);

    const QList<OpenFilesForm*> windows = connections::showOpenFilesOfChosen(*f.host);
    QCOMPARE(windows.size(), 3);
    QStringList numbers, counts;
    for (OpenFilesForm* window : windows) {
        QCOMPARE(window->windowTitle(), QStringLiteral("Open Files"));
        QCOMPARE(window->lblServerName()->text(), QStringLiteral("FS1"));
        numbers.append(window->lblConnection()->text());
        counts.append(window->lblOpenFiles()->text());
    }
    QCOMPARE(numbers, chosen);
    QCOMPARE(counts, (QStringList{"1", "2", "1"}));
    QCOMPARE(windows[0]->lblUser()->text(), QStringLiteral("*ADMIN.O"));
    QCOMPARE(gridRows(windows[1]->grdOpenFiles()),
             (QList<QStringList>{{"SYS:\\PUBLIC\\REPORT.TXT", "Normal, Shareable"},
                                 {"SYS:\\APPS\\Data Files\\Q4 Report.xls", "Transaction flag set, Normal"}}));

    // The interval takes two characters up to 60; the timer lists again from the header row.
    OpenFilesForm* form = windows[1];
    views::bringToFront(*f.host, form);
    QLineEdit* box = form->refresh()->txtInterval();
    box->clear();
    QVERIFY(!form->refresh()->btnRefresh()->isEnabled());
    QTest::keyClicks(box, QStringLiteral("x751"));
    QCOMPARE(box->text(), QStringLiteral("60"));
    form->refresh()->btnRefresh()->click();
    QCOMPARE(form->refresh()->buttonCaption(), widgets::RefreshFrame::stopCaption());
    QVERIFY(!f.host->saveEnabled);
    QVERIFY(!box->isEnabled());
    Q_EMIT form->refresh()->timeout();
    QCOMPARE(form->grdOpenFiles()->rows(), 3);
    form->refresh()->btnRefresh()->click();
    QVERIFY(f.host->saveEnabled);
}

void TestFileUse::columnsFitUntilWidthsAreStored()
{
    // Each table fits its texts on a first opening (not the designed widths),
    // and the widths stored when it closes win from then on.
    Fixture f;
    const auto key = [](const char* name) { return settings::rootKeyPath(QLatin1String(name)); };

    QPointer<OpenFilesForm> files = connections::openOpenFiles(*f.host, {}, 5, QStringLiteral("FS1"));
    QVERIFY(files->grdOpenFiles()->colWidth(0) != 2265);
    files->grdOpenFiles()->setColWidth(0, 4000);
    const int lockWidth = files->grdOpenFiles()->colWidth(1);
    closeAll(*f.host);
    QCOMPARE(settings::readTwipsSetting(f.registry, key("OpenFilesForm"), QStringLiteral("ColWidth0")), 4000.0);
    files = connections::openOpenFiles(*f.host, {}, 7, QStringLiteral("FS1"));
    QCOMPARE(files->grdOpenFiles()->colWidth(0), 4000);
    QCOMPARE(files->grdOpenFiles()->colWidth(1), lockWidth);

    // The file locks grid is empty until its first query: that fits it.
    FileLocksForm* locks = f.openFileLocks(QStringLiteral("FS1"));
    QCOMPARE(locks->grdFileLocks()->colWidth(0), 2265);
    locks = f.queryFS1({QStringLiteral("PUBLIC")}, QStringLiteral("REPORT.TXT"));
    QVERIFY(locks->grdFileLocks()->colWidth(0) < 2265);
    locks->grdFileLocks()->setColWidth(0, 3333);
    const int connWidth = locks->grdFileLocks()->colWidth(1);
    closeAll(*f.host);
    locks = f.queryFS1({QStringLiteral("PUBLIC")}, QStringLiteral("REPORT.TXT"));
    QCOMPARE(locks->grdFileLocks()->colWidth(0), 3333);
    QCOMPARE(locks->grdFileLocks()->colWidth(1), connWidth);

    // The connections key holds more than widths: a stored width is what counts.
    settings::createUserConnectionsKey(f.registry);
    f.registry.setValue(settings::Hive::CurrentUser, connections::userConnectionsKeyPath(),
                        QStringLiteral("ShowAtStartup"), QStringLiteral("False"));
    f.host->selection = {QStringLiteral("FS1")};
    connections::openUserConnections(*f.host);
    const auto numberWidth = [&](int twips) {
        const auto* list = connections::findUserConnections(*f.host, QStringLiteral("FS1"))->lstvwUsers();
        const int pixels = settings::twipsToPixels(twips, settings::columnDotsPerInch(list->treeView()));
        // Not the last column, which stretches.
        return list->heading(1) == connections::kNumberHeading && list->columnCount() > 2
                   ? list->treeView()->header()->sectionSize(1) - pixels
                   : -9999;
    };
    QVERIFY(numberWidth(1440) < 0);   // "Conn #" and short numbers need less than the designed inch
    closeAll(*f.host);
    f.registry.setValue(settings::Hive::CurrentUser, connections::userConnectionsKeyPath(),
                        QStringLiteral("ColWidth-") + connections::kNumberHeading, QStringLiteral("2880"));
    connections::openUserConnections(*f.host);
    QCOMPARE(numberWidth(2880), 0);
}

void TestFileUse::volumesAndBrowser()
{
    Fixture f;
    FileLocksForm* form = f.openFileLocks(QStringLiteral("FS1"));
    QVERIFY(form);
    QCOMPARE(form->windowTitle(), QStringLiteral("File Open/Lock FS1"));
    QCOMPARE(form->cmbVolumeList()->currentText(), QStringLiteral("SYS"));
    QCOMPARE(form->lblSelectedFile()->text(), QStringLiteral("None"));
    QCOMPARE(form->statusBar()->currentMessage(), QStringLiteral("Select file, then click 'Show File Status'"));
    QCOMPARE(form->lblDirectory()->text(), QStringLiteral("\\\\FS1\\SYS"));
    QVERIFY(form->btnShowLocks()->isEnabled());
    form->enterDirectory(QStringLiteral("PUBLIC"));
    QCOMPARE(form->filFileList()->count(), 2);
    QCOMPARE(form->dirDirlist()->item(0)->text(), QStringLiteral(".."));
    // Names that would leave the folder are never entered.
    form->enterDirectory(QStringLiteral("..\\..\\.."));
    form->enterDirectory(QStringLiteral("/etc"));
    QCOMPARE(form->directories(), QStringList{"PUBLIC"});
    form->enterDirectory(QStringLiteral(".."));
    QVERIFY(form->directories().isEmpty());

    // The second opening brings the window to the front instead.
    QCOMPARE(f.openFileLocks(QStringLiteral("FS1")), form);
    QCOMPARE(f.host->mdiArea()->subWindowList().size(), 1);

    // A volume the workstation cannot reach clears the choice.
    form->cmbVolumeList()->setCurrentIndex(1);
    form->chooseVolume();
    QCOMPARE(f.services->messages.texts().last(),
             QStringLiteral("Unable to access Volume.  Volume may be unavailable, or you may not have rights."));
    QCOMPARE(form->cmbVolumeList()->currentIndex(), -1);
    QVERIFY(!form->btnShowLocks()->isEnabled());
    QVERIFY(!form->filFileList()->isEnabled());

    // A server without volumes.
    f.services->messages.clear();
    FileLocksForm* none = f.openFileLocks(QStringLiteral("NOVOL"));
    QVERIFY(none);
    QCOMPARE(f.services->messages.texts(), QStringList{"Unable to list volumes for selected server"});
    QCOMPARE(f.services->messages.titles(), QStringList{"File Open/Lock"});
    for (QWidget* control : std::initializer_list<QWidget*>{none->cmbVolumeList(), none->btnShowLocks(),
                                                            none->refresh()->txtInterval()})
        QVERIFY(!control->isEnabled());
}

void TestFileUse::fileHeldByConnectionsAndNowhere()
{
    Fixture f;
    FileLocksForm* form = f.queryFS1({QStringLiteral("PUBLIC")}, QStringLiteral("REPORT.TXT"));
    QCOMPARE(form->lblSelectedFile()->text(), QStringLiteral("REPORT.TXT"));
    QCOMPARE(gridRows(form->grdFileLocks()), (QList<QStringList>{{"*ADMIN.O", "    3", "Shareable,Locked"},
                                                                 {"JSMITH.O", "    5", "Normal,Shareable"}}));
    QCOMPARE(form->statusBar()->currentMessage(), QStringLiteral("Total connections: 2"));
    QCOMPARE(form->ownConnectionText(), QStringLiteral("3"));
    QVERIFY(f.services->messages.shown.isEmpty());
    QVERIFY(f.host->showOpenFilesAction()->isEnabled());

    selectFile(form, QStringLiteral("NOBODY.TXT"));
    form->btnShowLocks()->click();
    QCOMPARE(gridRows(form->grdFileLocks()), (QList<QStringList>{{"File", "not", "open"}}));
    QCOMPARE(form->statusBar()->currentMessage(), QStringLiteral("No connections"));
    QVERIFY(!f.host->sendMessageAction()->isEnabled());
    QVERIFY(!f.host->showOpenFilesAction()->isEnabled());
    QVERIFY(!f.host->saveEnabled);
    Q_EMIT form->grdFileLocks()->mouseDown(Qt::RightButton, {}, 1, 0);
    QVERIFY(f.host->popups.isEmpty());
    // "Show Open Files" on that row opens nothing.
    form->grdFileLocks()->select(1, 0, 1, 2);
    QVERIFY(connections::showOpenFilesOfChosen(*f.host).isEmpty());

    // A long-named file held in both name spaces, found through its DOS name.
    form->setDirectories({QStringLiteral("APPS"), QStringLiteral("Data Files")});
    selectFile(form, QStringLiteral("Q4 Report.xls"));
    Q_EMIT form->filFileList()->itemDoubleClicked(form->filFileList()->currentItem());
    QCOMPARE(gridRows(form->grdFileLocks()),
             (QList<QStringList>{{"JSMITH.O", "    5", "Normal"}, {"MAC1.O", "    7", ""}}));
}

void TestFileUse::popUpMenuAndTimedQuery()
{
    Fixture f;
    FileLocksForm* form = f.queryFS1({QStringLiteral("PUBLIC")}, QStringLiteral("REPORT.TXT"));
    views::bringToFront(*f.host, form);
    widgets::FlexGrid* grid = form->grdFileLocks();
    Q_EMIT grid->mouseDown(Qt::RightButton, {}, 2, 0);
    QCOMPARE(f.host->popups, QStringList{QStringLiteral("PopMenu_UserPopMenu")});
    QVERIFY(f.host->userConnectionsMenu()->menuAction()->isVisible());
    QVERIFY(!f.host->chooseColumnsAction()->isVisible());

    // The pop-up's "Show Open Files" works on the grid's chosen rows.
    grid->select(1, 0, 2, 2);
    const QList<OpenFilesForm*> windows = connections::showOpenFilesOfChosen(*f.host);
    QCOMPARE(windows.size(), 2);
    QCOMPARE(windows[1]->lblUser()->text(), QStringLiteral("JSMITH.O"));
    QCOMPARE(windows[1]->lblConnection()->text(), QStringLiteral("5"));

    // While the query repeats on the timer, the file cannot be changed.
    views::bringToFront(*f.host, form);
    form->refresh()->btnRefresh()->click();
    for (QWidget* control : std::initializer_list<QWidget*>{form->filFileList(), form->cmbVolumeList(),
                                                            form->btnShowLocks()})
        QVERIFY(!control->isEnabled());
    QVERIFY(!f.host->saveEnabled);
    Q_EMIT form->refresh()->timeout();
    QCOMPARE(grid->rows(), 3);
    form->refresh()->btnRefresh()->click();
    QVERIFY(form->filFileList()->isEnabled());
    QVERIFY(f.host->saveEnabled);
}

void TestFileUse::sortsByMeaning_data()
{
    // Rows as the scan finds them: (carol, 9, Normal), (alice, 10, Locked), (Bob, 100, Shareable).
    QTest::addColumn<int>("col");
    QTest::addColumn<QStringList>("ascending");   // the first click's order; the second reverses it
    QTest::newRow("users by collation") << 0 << QStringList{"alice", "Bob", "carol"};
    QTest::newRow("numbers by value") << 1 << QStringList{"    9", "    10", "    100"};
    QTest::newRow("lock flags") << 2 << QStringList{"Locked", "Normal", "Shareable"};
}

void TestFileUse::sortsByMeaning()
{
    QFETCH(int, col);
    QFETCH(QStringList, ascending);
    QueryFixture f;
    f.client.uses = {use(9, 0x08), use(10, 0x01), use(100, 0x02)};
    f.client.names = {{9, "carol"}, {10, "alice"}, {100, "Bob"}};
    auto* form = views::createView<FileLocksForm>(f.host, QStringLiteral("FS1"));
    form->queryFile(kQ4);
    widgets::FlexGrid* grid = form->grdFileLocks();
    const auto column = [&] {
        QStringList texts;
        for (const QStringList& row : gridRows(grid))
            texts.append(row.at(col));
        return texts;
    };
    const QHeaderView* header = grid->tableView()->horizontalHeader();
    Q_EMIT grid->mouseDown(Qt::LeftButton, {}, 0, col);
    QCOMPARE(column(), ascending);
    QVERIFY(header->isSortIndicatorShown());
    QCOMPARE(header->sortIndicatorSection(), col);
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    Q_EMIT grid->mouseDown(Qt::LeftButton, {}, 0, col);
    QStringList descending = ascending;
    std::reverse(descending.begin(), descending.end());
    QCOMPARE(column(), descending);
    // A repeated query keeps the order and its indicator.
    form->queryFile(kQ4);
    QCOMPARE(column(), descending);
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
    // Another column starts ascending again.
    Q_EMIT grid->mouseDown(Qt::LeftButton, {}, 0, (col + 1) % 3);
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
}

void TestFileUse::connectionHoldingTheFileTwiceIsListedOnce()
{
    QueryFixture f;
    f.client.uses = {use(5, 0x08), use(3, 0x01), use(5, 0x02), use(0, 0x08)};
    const connections::FileUseResult result = connections::queryFileUse(f.services.context, QStringLiteral("FS1"), kQ4);
    QVERIFY(result.connected && result.complete);
    QCOMPARE(connections::fileUseCells(result),
             (QList<QStringList>{{"USER5", "    5", "Normal"}, {"*USER3", "    3", "Locked"}}));
    QVERIFY(f.services.messages.shown.isEmpty());
    QVERIFY(f.client.holdsNothing());
    // A record counting no connection adds no row.
    f.client.connectionCount = 0;
    QCOMPARE(connections::fileUseSummary(connections::queryFileUse(f.services.context, QStringLiteral("FS1"), kQ4)),
             QStringLiteral("No connections"));
}

void TestFileUse::cleanUpAfterEachFailingCall_data()
{
    QTest::addColumn<QString>("failing");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("connected");
    QTest::newRow("open") << "NWCCOpenConnByName" << "" << false;
    QTest::newRow("parse") << "NWParsePath" << "NWParsePath returned the following error 34817" << true;
    QTest::newRow("drive") << "NWSetDriveBase" << "NWSetDriveBase returned the following error 34817" << true;
    QTest::newRow("short name") << "NWGetLongName" << "" << true;
    // The query goes on without the handle, and the scan says why it found nothing.
    QTest::newRow("dir handle") << "NWAllocTempNSDirHandle2"
                                << "NWAllocTempNSDirHandle2 returned the following error 34817\n"
                                   "NWScanConnectionsUsingFile returned the following error 35227"
                                << true;
    QTest::newRow("scan") << "NWScanConnectionsUsingFile"
                          << "NWScanConnectionsUsingFile returned the following error 34817" << true;
    QTest::newRow("close") << "NWCCCloseConn" << "NWCCCloseConn returned 34817" << true;
}

void TestFileUse::cleanUpAfterEachFailingCall()
{
    QFETCH(QString, failing);
    QFETCH(QString, message);
    QueryFixture f;
    QueryClient& client = f.client;
    client.failing = failing;
    client.uses = {use(5, 0x08)};
    client.drives = {26};   // Z: is taken; the query maps Y:
    const connections::FileUseResult result = connections::queryFileUse(f.services.context, QStringLiteral("FS1"), kQ4);
    QTEST(result.connected, "connected");
    QCOMPARE(f.services.messages.texts(), message.isEmpty() ? QStringList{} : message.split(QLatin1Char('\n')));
    // Only what the query obtained is released; Z: stays with its owner.
    QCOMPARE(client.drives, QSet<quint16>{26});
    QVERIFY(client.dirHandles.isEmpty());
    QCOMPARE(client.openConnections, 0);
    const auto releasedOnce = [&](const char* obtain, const char* release) {
        const bool obtained = client.calls.contains(QLatin1String(obtain)) && failing != QLatin1String(obtain);
        return client.calls.count(QLatin1String(release)) == (obtained ? 1 : 0);
    };
    QVERIFY(releasedOnce("NWSetDriveBase", "NWDeleteDriveBase"));
    QVERIFY(releasedOnce("NWAllocTempNSDirHandle2", "NWDeallocateDirectoryHandle"));
}

void TestFileUse::namesThatWouldLeaveTheirPlaceAskNothing()
{
    QueryFixture f;
    connections::VolumeFile up = kQ4;
    up.directories = {QStringLiteral("APPS"), QStringLiteral("..")};
    connections::VolumeFile volume = kQ4;
    volume.volume = QStringLiteral("SYS\\..");
    for (const auto& [server, file] : {std::pair{QStringLiteral("FS1"), up}, std::pair{QStringLiteral("FS1"), volume},
                                       std::pair{QStringLiteral("FS1\\SYS"), kQ4}}) {
        QVERIFY(!connections::queryFileUse(f.services.context, server, file).connected);
    }
    QVERIFY(f.client.calls.isEmpty());
}

void TestFileUse::overlappingQueriesKeepTheirOwnResources()
{
    // While the scan lets events run, a tick of the same window is dropped
    // and another window's query takes its own drive letter and handle.
    QueryFixture f;
    QueryClient& client = f.client;
    client.uses = {use(5, 0x08), use(6, 0x02)};
    auto* first = views::createView<FileLocksForm>(f.host, QStringLiteral("FS1"));
    auto* second = views::createView<FileLocksForm>(f.host, QStringLiteral("FS2"));
    int nested = 0;
    QSet<quint16> drivesSeen;
    int scanCalls = 0;
    client.duringScan = [&] {
        drivesSeen.unite(client.drives);
        if (++scanCalls == 1) {
            QTimer::singleShot(0, first, [&] { first->queryFile(kQ4); });
            QTimer::singleShot(0, second, [&] {
                ++nested;
                second->queryFile(kQ4);
            });
        }
    };
    first->queryFile(kQ4);
    QCOMPARE(nested, 1);
    QCOMPARE(drivesSeen.size(), 2);   // two queries, two letters at once
    QCOMPARE(client.calls.count(QStringLiteral("NWSetDriveBase")), 2);
    QVERIFY(client.holdsNothing());
    QCOMPARE(first->grdFileLocks()->rows(), 3);
    QCOMPARE(second->grdFileLocks()->rows(), 3);
    QVERIFY(!first->isQuerying());
}

void TestFileUse::windowClosedDuringTheScan()
{
    QueryFixture f;
    f.client.uses = {use(5, 0x08), use(6, 0x02), use(7, 0x02)};
    QPointer<FileLocksForm> form = views::createView<FileLocksForm>(f.host, QStringLiteral("FS1"));
    f.client.duringScan = [&] {
        if (form && !form->isUnloaded())
            QTimer::singleShot(0, form, [&] { form->closeView(); });
    };
    form->queryFile(kQ4);
    QTRY_VERIFY(!form);
    QCOMPARE(f.client.calls.count(QStringLiteral("NWScanConnectionsUsingFile")), 1);
    QVERIFY(f.client.holdsNothing());
}

void TestFileUse::reportTables_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::newRow("openfiles") << QStringList{"openfiles", "FS1", "5"} << 0
                               << "Open File,Lock Type\r\n"
                                  "SYS:\\PUBLIC\\REPORT.TXT,\"Normal, Shareable\"\r\n"
                                  "SYS:\\APPS\\Data Files\\Q4 Report.xls,\"Transaction flag set, Normal\"\r\n";
    // Opened in the DOS name space: the DOS names.
    QTest::newRow("openfiles dos") << QStringList{"openfiles", "FS1", "7"} << 0
                                   << "Open File,Lock Type\r\nSYS:\\APPS\\DATAFI~1\\Q4REPO~1.XLS,\r\n";
    QTest::newRow("openfiles none") << QStringList{"openfiles", "FS1", "9"} << 0 << "Open File,Lock Type\r\n";
    QTest::newRow("filelocks") << QStringList{"filelocks", "FS1", "SYS:PUBLIC\\REPORT.TXT"} << 0
                               << "User,Conn #,Status\r\n*ADMIN.O,3,\"Shareable,Locked\"\r\n"
                                  "JSMITH.O,5,\"Normal,Shareable\"\r\n";
    QTest::newRow("filelocks long") << QStringList{"filelocks", "FS1", "SYS:APPS\\Data Files\\Q4 Report.xls"} << 0
                                    << "User,Conn #,Status\r\nJSMITH.O,5,Normal\r\nMAC1.O,7,\r\n";
    QTest::newRow("filelocks nowhere") << QStringList{"filelocks", "FS1", "SYS:PUBLIC\\NOBODY.TXT"} << 0
                                       << "User,Conn #,Status\r\nFile,not,open\r\n";
    QTest::newRow("leaves the volume") << QStringList{"filelocks", "FS1", "SYS:PUBLIC\\..\\..\\x"} << 2 << "";
    QTest::newRow("missing file") << QStringList{"filelocks", "FS1", "SYS:PUBLIC\\NONE.TXT"} << 2 << "";
    QTest::newRow("missing volume") << QStringList{"filelocks", "FS1", "DATA:X.TXT"} << 2 << "";
    QTest::newRow("not a number") << QStringList{"openfiles", "FS1", "five"} << 2 << "";
    QTest::newRow("no target") << QStringList{"openfiles", "FS1"} << 2 << "";
    QTest::newRow("two servers") << QStringList{"filelocks", "FS1", "FS1", "SYS:A"} << 2 << "";
}

void TestFileUse::reportTables()
{
    QFETCH(QStringList, arguments);
    QTemporaryDir dir;
    const ReportRun run = runReport(dir, arguments);
    QTEST(run.exitCode, "exitCode");
    QTEST(run.out, "out");
    if (run.exitCode == 2)
        QVERIFY(run.err.startsWith(QLatin1String("veskaro-report: ")));
    else
        QCOMPARE(run.err, QString());
}

QTEST_MAIN(TestFileUse)
#include "test_fileuse.moc"

// Open files of a connection and who holds a file open: the lock flag
// wordings, paths in long name spaces, the volume paths the browser and the
// command line give, the query's clean-up on every way out, both windows
// (sorting, fitted columns, menus) and veskaro-report's tables of them.

#include "connections/ConnectionActions.h"
#include "connections/ConnectionFormats.h"
#include "connections/FileLocksWindow.h"
#include "connections/FileUse.h"
#include "connections/OpenFilesWindow.h"
#include "connections/UserConnectionsWindow.h"
#include "netware/NovellCalls.h"
#include "netware/ServerReads.h"
#include "netware/sim/SimClient.h"
#include "settings/ColumnScale.h"
#include "settings/Registry.h"
#include "text/Twips.h"
#include "support/FakeViewHost.h"
#include "support/MemoryRegistry.h"
#include "support/ReportRun.h"
#include "support/SimNetwork.h"
#include "support/StubClient.h"
#include "support/TestContext.h"
#include "support/TestMain.h"
#include "widgets/FlexGrid.h"
#include "widgets/RefreshFrame.h"
#include "widgets/ReportListView.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
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
#include <QApplication>
#include <QContextMenuEvent>
#include <QTableView>
#include <QTest>
#include <QTextStream>
#include <QTimer>
#include <QTreeView>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

using connections::FileLocksWindow;
using connections::OpenFilesWindow;
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

// The same network with FS1 refusing every close of a connection.
QByteArray closeRefusedNetwork()
{
    return QByteArray(kNetwork).replace(R"({ "name": "FS1", "tree": "T",)",
                                        R"({ "name": "FS1", "tree": "T", "faults": { "NWCCCloseConn": "0x8801" },)");
}

// FS1's files below `root`, and the network reading them.
std::unique_ptr<nw::NetWareClient> makeFileNetwork(const QString& root, const QByteArray& network = kNetwork)
{
    for (const char* name : {"APPS/Data Files/Q4 Report.xls", "PUBLIC/REPORT.TXT", "PUBLIC/NOBODY.TXT"}) {
        QFile file(root + QStringLiteral("/vols/FS1/SYS/") + QLatin1String(name));
        QDir().mkpath(QFileInfo(file).path());
        file.open(QIODevice::WriteOnly);
    }
    return testing::makeNetwork(network, root);
}

struct Fixture {
    explicit Fixture(const QByteArray& network = kNetwork) : client(makeFileNetwork(dir.path(), network))
    {
        settings::resetStartingServerContext(registry);
        host.window()->show();
    }
    FileLocksWindow* openFileLocks(const QString& server)
    {
        host.selection = {server};
        connections::openFileLocks(host);
        return connections::findFileLocks(host, server);
    }
    // FS1's window, browsed to `directories`, with `file` queried.
    FileLocksWindow* queryFS1(const QStringList& directories, const QString& file)
    {
        FileLocksWindow* form = openFileLocks(QStringLiteral("FS1"));
        form->setDirectories(directories);
        const QList<QListWidgetItem*> items = form->filFileList()->findItems(file, Qt::MatchExactly);
        form->filFileList()->setCurrentItem(items.value(0));
        form->showFileLocks();
        return form;
    }
    void closeAll() { host.closeViews(); }

    QTemporaryDir dir;
    std::unique_ptr<nw::NetWareClient> client;
    testing::MemoryRegistry registry;
    testing::TestContext services{*client, registry};
    testing::FakeViewHost host{services.context};
};

QList<QStringList> gridRows(const widgets::FlexGrid* grid)
{
    QList<QStringList> rows;
    for (int row = grid->model().fixedRows(); row < grid->model().rows(); ++row) {
        QStringList cells;
        for (int col = 0; col < grid->model().cols(); ++col)
            cells.append(grid->model().textMatrix(row, col));
        rows.append(cells);
    }
    return rows;
}

// A client that answers only what a file query asks, records what the query
// holds, and refuses one named call.
class QueryClient : public testing::StubClient {
public:
    QString failing;
    QList<nw::ConnectionUsingFile> uses;
    quint16 connectionCount = 1;
    QHash<quint16, QString> names;  // "USER" + number when not named
    std::function<void()> duringScan;
    int openConnections = 0;
    QSet<quint16> drives;
    QSet<nw::NWDirHandle> dirHandles;
    QStringList calls;
    // Queries run on reading threads: every call takes the lock.
    std::recursive_mutex mutex;

    bool holdsNothing() const { return openConnections == 0 && drives.isEmpty() && dirHandles.isEmpty(); }

    NWRCODE answer(const char* call)
    {
        calls.append(QLatin1String(call));
        return failing == QLatin1String(call) ? NWRCODE(0x8801) : NWRCODE(0);
    }
    NWRCODE NWCCOpenConnByName(nw::NWCONN_HANDLE, const QByteArray&, quint32, quint32, quint32,
                               nw::NWCONN_HANDLE& connection) override
    {
        const std::lock_guard lock(mutex);
        const NWRCODE rc = answer("NWCCOpenConnByName");
        if (rc == 0)
            connection = 40 + static_cast<quint32>(++openConnections);
        return rc;
    }
    NWRCODE NWCCCloseConn(nw::NWCONN_HANDLE) override
    {
        const std::lock_guard lock(mutex);
        --openConnections;
        return answer("NWCCCloseConn");
    }
    NWRCODE NWCCGetConnInfo(nw::NWCONN_HANDLE, quint32, std::span<quint8> buffer) override
    {
        const std::lock_guard lock(mutex);
        buffer[0] = 3;
        return 0;
    }
    NWRCODE NWParsePath(const QByteArray& path, std::span<char> server, nw::NWCONN_HANDLE& connection,
                        std::span<char> volume, std::span<char> dirPath) override
    {
        const std::lock_guard lock(mutex);
        connection = kParsedConnection;
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
        const std::lock_guard lock(mutex);
        status = drives.contains(drive) ? nw::NW_NETWARE_DRIVE : nw::NW_UNMAPPED_DRIVE;
        return 0;
    }
    NWRCODE NWSetDriveBase(quint16 drive, nw::NWCONN_HANDLE connection, nw::NWDirHandle, const QByteArray&,
                           quint16) override
    {
        const std::lock_guard lock(mutex);
        const NWRCODE rc = connection == kParsedConnection ? NWRCODE(0x8836) : answer("NWSetDriveBase");
        if (rc == 0)
            drives.insert(drive);
        return rc;
    }
    NWRCODE NWDeleteDriveBase(quint16 drive, quint16) override
    {
        const std::lock_guard lock(mutex);
        answer("NWDeleteDriveBase");
        return drives.remove(drive) ? 0 : 0x8836;
    }
    NWRCODE NWGetLongName(nw::NWCONN_HANDLE, nw::NWDirHandle, const QByteArray&, quint8, quint8,
                          std::span<char> name) override
    {
        const std::lock_guard lock(mutex);
        const NWRCODE rc = answer("NWGetLongName");
        if (rc == 0)
            nw::stringToBytes(name, QStringLiteral("Q4REPO~1.XLS"));
        return rc;
    }
    NWRCODE NWAllocTempNSDirHandle2(nw::NWCONN_HANDLE connection, nw::NWDirHandle, const QByteArray&, quint8,
                                    nw::NWDirHandle& handle, quint8) override
    {
        const std::lock_guard lock(mutex);
        const NWRCODE rc = connection == kParsedConnection ? NWRCODE(0x8836) : answer("NWAllocTempNSDirHandle2");
        if (rc == 0) {
            handle = static_cast<nw::NWDirHandle>(10 + dirHandles.size());
            dirHandles.insert(handle);
        }
        return rc;
    }
    NWRCODE NWDeallocateDirectoryHandle(nw::NWCONN_HANDLE, nw::NWDirHandle handle) override
    {
        const std::lock_guard lock(mutex);
        answer("NWDeallocateDirectoryHandle");
        return dirHandles.remove(handle) ? 0 : 0x8836;
    }
    NWRCODE NWScanConnectionsUsingFile(nw::NWCONN_HANDLE, nw::NWDirHandle handle, const QByteArray&, qint16& iteration,
                                       nw::ConnectionUsingFile& use, nw::FileUsage& usage) override
    {
        {
            const std::lock_guard lock(mutex);
            if (const NWRCODE rc = answer("NWScanConnectionsUsingFile"))
                return rc;
            if (!dirHandles.contains(handle))
                return 0x899B;
        }
        if (duringScan)
            duringScan();
        const std::lock_guard lock(mutex);
        use = iteration < uses.size() ? uses.at(iteration) : nw::ConnectionUsingFile{};
        usage = {};
        usage.connectionCount = connectionCount;
        iteration = iteration < uses.size() ? iteration + 1 : -1;
        return iteration < 0 ? nw::status::NoMoreItems : 0;
    }
    NWRCODE NWGetConnectionInformation(nw::NWCONN_HANDLE, quint16 number, std::span<char> name, quint16&, quint32&,
                                       std::array<quint8, 7>&) override
    {
        const std::lock_guard lock(mutex);
        nw::stringToBytes(name, names.value(number, QStringLiteral("USER") + QString::number(number)));
        return 0;
    }

private:
    // The client's own connection, which NWParsePath hands out: never to be
    // used or closed by the caller.
    static constexpr nw::NWCONN_HANDLE kParsedConnection = 99;
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

const connections::VolumeFile kQ4{
    QStringLiteral("SYS"), {QStringLiteral("APPS"), QStringLiteral("Data Files")}, QStringLiteral("Q4 Report.xls")};

}  // namespace

class TestFileUse : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lockFlagWordings_data();
    void lockFlagWordings();
    void volumeFilePaths_data();
    void volumeFilePaths();
    void longNamePathsComponentByComponent();
    void openFilesOfChosenConnections();
    void columnsFitUntilWidthsAreStored();
    void openFilesSayNothingOfTheClose();
    void refreshWaitsWhileAPassShowsAMessage();
    void volumesAndBrowser();
    void fileLocksWindow();
    void sortsByMeaning_data();
    void sortsByMeaning();
    void connectionHoldingTheFileTwiceIsListedOnce();
    void cleanUpAfterEachFailingCall_data();
    void cleanUpAfterEachFailingCall();
    void namesThatWouldLeaveTheirPlaceAskNothing();
    void overlappingQueriesKeepTheirOwnResources();
    void windowClosedDuringTheScan();
    void stoppingAListing();
    void reportTables_data();
    void reportTables();
};

void TestFileUse::lockFlagWordings_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<QString>("openFiles");
    QTest::addColumn<QString>("fileLocks");
    // 0x88, 0x0A, 0x03 and 0x00 are read in the windows and the report tables below.
    QTest::newRow("transaction") << 0x90 << "Transaction flag set"
                                 << "";
    QTest::newRow("unnamed bits") << 0x30 << ""
                                  << "";
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
    QTest::addColumn<QStringList>("parsed");  // volume, directories..., file; empty: refused
    QTest::newRow("long names") << "DATA:Project Plans\\Q4 Budget Review.xlsx"
                                << QStringList{"DATA", "Project Plans", "Q4 Budget Review.xlsx"};
    QTest::newRow("root file") << "SYS:AUTOEXEC.NCF" << QStringList{"SYS", "AUTOEXEC.NCF"};
    QTest::newRow("leading backslash") << "SYS:\\PUBLIC\\MAP.EXE" << QStringList{"SYS", "PUBLIC", "MAP.EXE"};
    for (const char* refused :
         {"SYS:PUBLIC\\..\\..\\etc\\passwd", "SYS:.\\MAP.EXE", "SYS:PUBLIC\\C:\\x", "SYS:/etc/passwd",
          "SYS:PUBLIC\\\\MAP.EXE", "SYS:PUBLIC\\", "SYS:", "PUBLIC\\MAP.EXE", ":MAP.EXE", "SYS:   "})
        QTest::newRow(refused) << QString::fromLatin1(refused) << QStringList{};
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
    // Each level's long name is asked for with the DOS path up to it; a level
    // whose long name cannot be read keeps its DOS name.
    class LongNames : public testing::StubClient {
    public:
        int asked = 0;
        NWRCODE NWGetLongName(nw::NWCONN_HANDLE, nw::NWDirHandle, const QByteArray& path, quint8 source, quint8 target,
                              std::span<char> name) override
        {
            ++asked;
            static const QHash<QString, QString> names{{"SYS:\\APPS", "Apps"},
                                                       {"SYS:\\APPS\\DATAFI~1", "Data Files"},
                                                       {"SYS:\\APPS\\DATAFI~1\\Q4REPO~1.XLS", "Q4 Report.xls"}};
            const auto found = names.constFind(QString::fromLatin1(path));
            if (source != nw::NW_NS_DOS || target != nw::NW_NS_LONG || found == names.cend())
                return 0x89FF;
            nw::stringToBytes(name, *found);
            return 0;
        }
    } client;
    QCOMPARE(connections::longPathOf(client, 1, "SYS", "\\APPS\\DATAFI~1\\Q4REPO~1.XLS", nw::NW_NS_LONG),
             QStringLiteral("\\Apps\\Data Files\\Q4 Report.xls"));
    QCOMPARE(connections::longPathOf(client, 1, "SYS", "\\APPS\\UNKNOWN\\Q4REPO~1.XLS", nw::NW_NS_LONG),
             QStringLiteral("\\Apps\\UNKNOWN\\Q4REPO~1.XLS"));
    client.asked = 0;
    QCOMPARE(connections::longPathOf(client, 1, "SYS", "\\APPS\\DATAFI~1", nw::NW_NS_DOS),
             QStringLiteral("\\APPS\\DATAFI~1"));
    QCOMPARE(client.asked, 0);
}

void TestFileUse::openFilesOfChosenConnections()
{
    Fixture f;
    settings::createUserConnectionsKey(f.registry);
    f.registry.setValue(settings::Hive::CurrentUser, connections::userConnectionsKeyPath(),
                        QStringLiteral("ShowAtStartup"), QStringLiteral("False"));
    f.host.selection = {QStringLiteral("FS1")};
    connections::openUserConnections(f.host);
    connections::UserConnectionsWindow* users = connections::findUserConnections(f.host, QStringLiteral("FS1"));
    QVERIFY(users);
    widgets::ReportListView* list = users->lstvwUsers();
    const QStringList chosen{"3", "5", "7"};
    for (int row = 0; row < list->rowCount(); ++row)
        list->setRowSelected(row, chosen.contains(list->itemText(row, 1).trimmed()));
    views::bringToFront(f.host, users);

    const QList<OpenFilesWindow*> windows = connections::showOpenFilesOfChosen(f.host);
    QCOMPARE(windows.size(), 3);
    QStringList numbers, counts;
    for (OpenFilesWindow* window : windows) {
        // Each window names whose files it lists.
        QCOMPARE(window->windowTitle(), QStringLiteral("Open Files - %1 on FS1").arg(window->lblUser()->text()));
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

    // The timer lists again from the header row.
    OpenFilesWindow* form = windows[1];
    views::bringToFront(f.host, form);
    form->refresh()->btnRefresh()->click();
    QVERIFY(!f.host.saveEnabled);
    QVERIFY(!form->refresh()->txtInterval()->isEnabled());
    Q_EMIT form->refresh()->timeout();
    QCOMPARE(form->grdOpenFiles()->model().rows(), 3);
    form->refresh()->btnRefresh()->click();
    QVERIFY(f.host.saveEnabled);
}

void TestFileUse::columnsFitUntilWidthsAreStored()
{
    // Each table fits its texts on a first opening (not the designed widths),
    // and the widths stored when it closes win from then on.
    Fixture f;
    QPointer<OpenFilesWindow> files = connections::openOpenFiles(f.host, {}, 5, QStringLiteral("FS1"));
    QVERIFY(files->grdOpenFiles()->model().colWidth(0) != 2265);
    files->grdOpenFiles()->model().setColWidth(0, 4000);
    const int lockWidth = files->grdOpenFiles()->model().colWidth(1);
    f.closeAll();
    files = connections::openOpenFiles(f.host, {}, 7, QStringLiteral("FS1"));
    QCOMPARE(files->grdOpenFiles()->model().colWidth(0), 4000);
    QCOMPARE(files->grdOpenFiles()->model().colWidth(1), lockWidth);

    // The file locks grid is empty until its first query: that fits it.
    QCOMPARE(f.openFileLocks(QStringLiteral("FS1"))->grdFileLocks()->model().colWidth(0), 2265);
    widgets::FlexGrid* locks = f.queryFS1({QStringLiteral("PUBLIC")}, QStringLiteral("REPORT.TXT"))->grdFileLocks();
    QVERIFY(locks->model().colWidth(0) < 2265);
    locks->model().setColWidth(0, 3333);
    const int connWidth = locks->model().colWidth(1);
    f.closeAll();
    locks = f.queryFS1({QStringLiteral("PUBLIC")}, QStringLiteral("REPORT.TXT"))->grdFileLocks();
    QCOMPARE(locks->model().colWidth(0), 3333);
    QCOMPARE(locks->model().colWidth(1), connWidth);

    // The connections key holds more than widths: a stored width is what counts.
    const QString key = connections::userConnectionsKeyPath();
    settings::createUserConnectionsKey(f.registry);
    f.registry.setValue(settings::Hive::CurrentUser, key, QStringLiteral("ShowAtStartup"), QStringLiteral("False"));
    const auto numberWidthOver = [&](int twips) {  // "Conn #", not the last column, which stretches
        f.host.selection = {QStringLiteral("FS1")};
        connections::openUserConnections(f.host);
        const auto* list = connections::findUserConnections(f.host, QStringLiteral("FS1"))->lstvwUsers();
        const int pixels = texts::twipsToPixels(twips, settings::columnDotsPerInch(list->treeView()));
        const bool number = list->heading(1) == connections::kNumberHeading && list->columnCount() > 2;
        return number ? list->treeView()->header()->sectionSize(1) - pixels : -9999;
    };
    const int fitted = numberWidthOver(1440);
    QVERIFY(fitted > -9999 && fitted < 0);  // the header and short numbers need less than the designed inch
    f.closeAll();
    f.registry.setValue(settings::Hive::CurrentUser, key, "ColWidth-" + connections::kNumberHeading, "2880");
    QCOMPARE(numberWidthOver(2880), 0);
}

void TestFileUse::openFilesSayNothingOfTheClose()
{
    // FS1 refuses to close: the open files are listed all the same, and the
    // window never looks at how the close went, at opening or on the timer.
    Fixture f(closeRefusedNetwork());
    QPointer<OpenFilesWindow> form = connections::openOpenFiles(f.host, {}, 5, QStringLiteral("FS1"));
    QVERIFY(form);
    QCOMPARE(form->lblOpenFiles()->text(), QStringLiteral("2"));
    QCOMPARE(form->grdOpenFiles()->model().rows(), 3);
    form->refresh()->setIntervalText(QStringLiteral(".1"));
    form->refresh()->btnRefresh()->click();
    QTest::qWait(350);
    QVERIFY(form);
    form->refresh()->btnRefresh()->click();
    QCOMPARE(form->grdOpenFiles()->model().rows(), 3);
    QCOMPARE(f.services.messages.texts(), QStringList());
}

void TestFileUse::refreshWaitsWhileAPassShowsAMessage()
{
    // FS1 refuses to close, so every query of the file locks window says so
    // in a message box. While a box is open the timer keeps falling due: no
    // pass may start under it, and the timer waits instead of piling up ticks.
    Fixture f(closeRefusedNetwork());
    FileLocksWindow* form = f.queryFS1({QStringLiteral("PUBLIC")}, QStringLiteral("REPORT.TXT"));
    QVERIFY(f.services.messages.texts().contains(QStringLiteral("NWCCCloseConn returned 34817")));
    f.services.messages.clear();

    QTimer* timer = form->refresh()->timer();
    int open = 0;
    int startedUnderABox = 0;
    int timerRanUnderABox = 0;
    f.services.messages.whileShown = [&](const platform::Message&) {
        if (open > 0) {
            ++startedUnderABox;  // a pass ran before the user answered
            return;
        }
        ++open;
        QTest::qWait(450);  // the box stays up for four intervals and more
        if (timer->isActive())
            ++timerRanUnderABox;
        --open;
    };
    QPointer<FileLocksWindow> alive(form);
    form->refresh()->setIntervalText(QStringLiteral(".1"));
    form->refresh()->btnRefresh()->click();
    QTRY_VERIFY(f.services.messages.shown.size() >= 2);
    QVERIFY(alive);
    // Once the boxes are answered the refresh goes on.
    QTRY_VERIFY(open == 0 && timer->isActive());
    form->refresh()->btnRefresh()->click();
    QCOMPARE(startedUnderABox, 0);
    QCOMPARE(timerRanUnderABox, 0);
}

void TestFileUse::volumesAndBrowser()
{
    Fixture f;
    FileLocksWindow* form = f.openFileLocks(QStringLiteral("FS1"));
    QCOMPARE(form->windowTitle(), QStringLiteral("File Open/Lock FS1"));
    QCOMPARE(form->cmbVolumeList()->currentText(), QStringLiteral("SYS"));
    QCOMPARE(form->lblSelectedFile()->text(), QStringLiteral("None"));
    QCOMPARE(form->statusBar()->currentMessage(), QStringLiteral("Select file, then click 'Show File Status'"));
    QCOMPARE(form->lblDirectory()->text(), QStringLiteral("\\\\FS1\\SYS"));
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
    QCOMPARE(f.host.mdiArea()->subWindowList().size(), 1);

    // A volume the workstation cannot reach clears the choice.
    form->cmbVolumeList()->setCurrentIndex(1);
    form->chooseVolume();
    QCOMPARE(f.services.messages.texts().last(),
             QStringLiteral("Unable to access Volume.  Volume may be unavailable, or you may not have rights."));
    QCOMPARE(form->cmbVolumeList()->currentIndex(), -1);
    QVERIFY(!form->btnShowLocks()->isEnabled());
    QVERIFY(!form->filFileList()->isEnabled());

    // A server without volumes.
    f.services.messages.clear();
    FileLocksWindow* none = f.openFileLocks(QStringLiteral("NOVOL"));
    QCOMPARE(f.services.messages.texts(), QStringList{"Unable to list volumes for selected server"});
    QCOMPARE(f.services.messages.titles(), QStringList{"File Open/Lock"});
    for (QWidget* control : {static_cast<QWidget*>(none->cmbVolumeList()), static_cast<QWidget*>(none->btnShowLocks()),
                             static_cast<QWidget*>(none->refresh()->txtInterval())})
        QVERIFY(!control->isEnabled());
}

void TestFileUse::fileLocksWindow()
{
    Fixture f;
    FileLocksWindow* form = f.queryFS1({QStringLiteral("PUBLIC")}, QStringLiteral("REPORT.TXT"));
    views::bringToFront(f.host, form);
    widgets::FlexGrid* grid = form->grdFileLocks();
    QCOMPARE(form->lblSelectedFile()->text(), QStringLiteral("REPORT.TXT"));
    QCOMPARE(gridRows(grid), (QList<QStringList>{{"*ADMIN.O", "    3", "Shareable,Locked"},
                                                 {"JSMITH.O", "    5", "Normal,Shareable"}}));
    QCOMPARE(form->statusBar()->currentMessage(), QStringLiteral("Total connections: 2"));
    QCOMPARE(form->ownConnectionText(), QStringLiteral("3"));
    QVERIFY(f.services.messages.shown.isEmpty());

    // The rows offer the "&User Connections" menu; its "Show Open Files" takes the grid's chosen rows.
    Q_EMIT grid->mouseDown(Qt::RightButton, {}, 2, 0);
    QCOMPARE(f.host.popups, QStringList{QStringLiteral("PopMenu_UserPopMenu")});
    QVERIFY(f.host.userConnectionsMenu()->menuAction()->isVisible());
    QVERIFY(!f.host.chooseColumnsAction()->isVisible());
    QVERIFY(f.host.showOpenFilesAction()->isEnabled());
    // The menu key and Shift+F10 offer the same menu from the current row.
    f.host.popups.clear();
    grid->model().select(2, 0, 2, 0);
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(), QPoint());
    QApplication::sendEvent(grid->tableView(), &menuKey);
    QTest::keyClick(grid->tableView(), Qt::Key_F10, Qt::ShiftModifier);
    QCOMPARE(f.host.popups, (QStringList{"PopMenu_UserPopMenu", "PopMenu_UserPopMenu"}));
    grid->model().select(1, 0, 2, 2);
    const QList<OpenFilesWindow*> windows = connections::showOpenFilesOfChosen(f.host);
    QCOMPARE(windows.size(), 2);
    QCOMPARE(windows[1]->lblUser()->text(), QStringLiteral("JSMITH.O"));
    QCOMPARE(windows[1]->lblConnection()->text(), QStringLiteral("5"));

    // While the query repeats on the timer, the file cannot be changed.
    views::bringToFront(f.host, form);
    form->refresh()->btnRefresh()->click();
    for (QWidget* control : {static_cast<QWidget*>(form->filFileList()), static_cast<QWidget*>(form->cmbVolumeList()),
                             static_cast<QWidget*>(form->btnShowLocks())})
        QVERIFY(!control->isEnabled());
    QVERIFY(!f.host.saveEnabled);
    Q_EMIT form->refresh()->timeout();
    QCOMPARE(grid->model().rows(), 3);
    form->refresh()->btnRefresh()->click();
    QVERIFY(form->filFileList()->isEnabled());
    // The tick's query was stopped with the refresh; it ends with the next turn of events.
    QTRY_VERIFY(!form->isQuerying());
    QCOMPARE(grid->model().rows(), 3);

    // A file open nowhere (double-clicked): no menu, nothing to save or open.
    f.host.popups.clear();
    form->filFileList()->setCurrentItem(form->filFileList()->findItems("NOBODY.TXT", Qt::MatchExactly).value(0));
    Q_EMIT form->filFileList()->itemDoubleClicked(form->filFileList()->currentItem());
    QCOMPARE(gridRows(grid), (QList<QStringList>{{"File", "not", "open"}}));
    QCOMPARE(form->statusBar()->currentMessage(), QStringLiteral("No connections"));
    QVERIFY(!f.host.sendMessageAction()->isEnabled());
    QVERIFY(!f.host.saveEnabled);
    Q_EMIT grid->mouseDown(Qt::RightButton, {}, 1, 0);
    QTest::keyClick(grid->tableView(), Qt::Key_F10, Qt::ShiftModifier);
    QVERIFY(f.host.popups.isEmpty());
    grid->model().select(1, 0, 1, 2);
    QVERIFY(connections::showOpenFilesOfChosen(f.host).isEmpty());
}

void TestFileUse::sortsByMeaning_data()
{
    // Rows as the scan finds them: (carol, 9, Normal), (alice, 10, Locked), (Bob, 100, Shareable).
    QTest::addColumn<int>("col");
    QTest::addColumn<QStringList>("ascending");  // the first click's order; the second reverses it
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
    auto* form = views::createView<FileLocksWindow>(f.host, QStringLiteral("FS1"));
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
    std::reverse(ascending.begin(), ascending.end());
    QCOMPARE(column(), ascending);
    // A repeated query keeps the order and its indicator; another column starts ascending.
    form->queryFile(kQ4);
    QCOMPARE(column(), ascending);
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
    Q_EMIT grid->mouseDown(Qt::LeftButton, {}, 0, (col + 1) % 3);
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
}

void TestFileUse::connectionHoldingTheFileTwiceIsListedOnce()
{
    QueryFixture f;
    f.client.uses = {use(5, 0x08), use(3, 0x01), use(5, 0x02), use(0, 0x08)};
    const connections::FileUseResult result = connections::queryFileUse(f.services.context, "FS1", kQ4);
    QVERIFY(result.connected && result.complete);
    QCOMPARE(connections::fileUseCells(result),
             (QList<QStringList>{{"USER5", "    5", "Normal"}, {"*USER3", "    3", "Locked"}}));
    QVERIFY(f.services.messages.shown.isEmpty());
    QVERIFY(f.client.holdsNothing());
    // A record counting no connection adds no row.
    f.client.connectionCount = 0;
    QCOMPARE(connections::fileUseSummary(connections::queryFileUse(f.services.context, "FS1", kQ4)),
             QStringLiteral("No connections"));
}

void TestFileUse::cleanUpAfterEachFailingCall_data()
{
    QTest::addColumn<QString>("failing");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("connected");
    QTest::newRow("open") << "NWCCOpenConnByName"
                          << "" << false;
    QTest::newRow("parse") << "NWParsePath"
                           << "NWParsePath returned the following error 34817" << true;
    QTest::newRow("drive") << "NWSetDriveBase"
                           << "NWSetDriveBase returned the following error 34817" << true;
    QTest::newRow("short name") << "NWGetLongName"
                                << "" << true;
    // The query goes on without the handle, and the scan says why it found nothing.
    QTest::newRow("dir handle") << "NWAllocTempNSDirHandle2"
                                << "NWAllocTempNSDirHandle2 returned the following error 34817\n"
                                   "NWScanConnectionsUsingFile returned the following error 35227"
                                << true;
    QTest::newRow("scan") << "NWScanConnectionsUsingFile"
                          << "NWScanConnectionsUsingFile returned the following error 34817" << true;
    QTest::newRow("close") << "NWCCCloseConn"
                           << "NWCCCloseConn returned 34817" << true;
}

void TestFileUse::cleanUpAfterEachFailingCall()
{
    QFETCH(QString, failing);
    QFETCH(QString, message);
    QueryFixture f;
    QueryClient& client = f.client;
    client.failing = failing;
    client.uses = {use(5, 0x08)};
    client.drives = {26};  // Z: is taken; the query maps Y:
    QTEST(connections::queryFileUse(f.services.context, QStringLiteral("FS1"), kQ4).connected, "connected");
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
                                       std::pair{QStringLiteral("FS1\\SYS"), kQ4}})
        QVERIFY(!connections::queryFileUse(f.services.context, server, file).connected);
    QVERIFY(f.client.calls.isEmpty());
}

namespace {

// Holds a reading thread until `ready` says so (at most five seconds).
void waitFor(const std::function<bool()>& ready)
{
    for (int i = 0; i < 500 && !ready(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

}  // namespace

void TestFileUse::overlappingQueriesKeepTheirOwnResources()
{
    // While a query runs on its reading thread, a tick of the same window is
    // dropped and another window's query takes its own drive letter and handle.
    QueryFixture f;
    QueryClient& client = f.client;
    client.uses = {use(5, 0x08), use(6, 0x02)};
    auto* first = views::createView<FileLocksWindow>(f.host, QStringLiteral("FS1"));
    auto* second = views::createView<FileLocksWindow>(f.host, QStringLiteral("FS2"));
    std::atomic<int> scanning{0};
    QSet<quint16> drivesSeen;
    client.duringScan = [&] {
        // The first scan call of each query waits for the other's.
        if (scanning.fetch_add(1) < 2)
            waitFor([&] { return scanning.load() >= 2; });
        const std::lock_guard lock(client.mutex);
        drivesSeen.unite(client.drives);
    };
    QVERIFY(first->startQuery(kQ4));
    QVERIFY(!first->startQuery(kQ4));
    QVERIFY(second->startQuery(kQ4));
    QTRY_VERIFY(!first->isQuerying() && !second->isQuerying());
    nw::waitForServerReads();
    QCOMPARE(drivesSeen.size(), 2);  // two queries, two letters at once
    QCOMPARE(client.calls.count(QStringLiteral("NWSetDriveBase")), 2);
    QVERIFY(client.holdsNothing());
    QCOMPARE(first->grdFileLocks()->model().rows(), 3);
    QCOMPARE(second->grdFileLocks()->model().rows(), 3);
}

void TestFileUse::windowClosedDuringTheScan()
{
    // Closing the window while its query scans: nothing more is written into
    // it, the scan ends at its next call, and the reading thread gives back
    // the drive, the directory handle and the connection.
    QueryFixture f;
    f.client.uses = {use(5, 0x08), use(6, 0x02), use(7, 0x02)};
    QPointer<FileLocksWindow> form = views::createView<FileLocksWindow>(f.host, QStringLiteral("FS1"));
    std::atomic<bool> closed{false};
    f.client.duringScan = [&] {
        if (closed)
            return;
        QTimer::singleShot(0, form, [&] {
            form->closeView();
            closed = true;
        });
        waitFor([&] { return closed.load(); });
    };
    form->queryFile(kQ4);
    QTRY_VERIFY(!form);
    nw::waitForServerReads();
    QCOMPARE(f.client.calls.count(QStringLiteral("NWScanConnectionsUsingFile")), 1);
    QVERIFY(f.client.holdsNothing());
}

void TestFileUse::stoppingAListing()
{
    // "&Stop" during a listing of open files ends it at once; the window
    // keeps what it showed and the reading thread closes its connection.
    const std::unique_ptr<nw::NetWareClient> client = testing::makeNetwork(R"({"format": 1,
        "trees": [{"name": "T", "containers": [{"name": "O", "class": "Organization"}]}], "servers": [
        {"name": "FS1", "tree": "T", "latencyMs": 40, "connections": [{"number": 5, "user": "JSMITH",
            "openFiles": [{"volume": "SYS", "path": "PUBLIC\\REPORT.TXT"}]}]}]})");
    QVERIFY(client);
    auto* sim = dynamic_cast<nw::sim::SimClient*>(client.get());
    QVERIFY(sim);
    testing::MemoryRegistry registry;
    testing::TestContext services{*client, registry};
    testing::FakeViewHost host{services.context};
    host.window()->show();
    QPointer<OpenFilesWindow> form =
        connections::openOpenFiles(host, QStringLiteral("JSMITH"), 5, QStringLiteral("FS1"));
    QVERIFY(form);
    QCOMPARE(form->lblOpenFiles()->text(), QStringLiteral("1"));

    // Begin: a listing runs at once; Stop ends it, and no row changes.
    form->refresh()->setIntervalText(QStringLiteral("1"));
    form->refresh()->btnRefresh()->click();
    QVERIFY(form->isListing());
    form->refresh()->btnRefresh()->click();
    QTRY_VERIFY(!form->isListing());
    QVERIFY(!form->refresh()->timer()->isActive());
    QCOMPARE(form->grdOpenFiles()->model().rows(), 2);

    // Closed in the middle of a listing: the window goes, its connection is closed.
    QVERIFY(form->startListing());
    form->closeView();
    QTRY_VERIFY(!form);
    nw::waitForServerReads();
    QCOMPARE(sim->openConnectionCount(), 0);
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
    // Held in both name spaces, found through its DOS name.
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
    QFETCH(int, exitCode);
    testing::ReportRun run(kNetwork, QStringLiteral("T"));
    makeFileNetwork(run.path(QString()));
    const testing::ReportOutcome outcome = run.run(arguments);
    QCOMPARE(outcome.exitCode, exitCode);
    const QString& out = outcome.out;
    const QString& err = outcome.err;
    QTEST(out, "out");
    QCOMPARE(err.startsWith(QLatin1String("veskaro-report: ")), exitCode == 2);
    if (exitCode != 2)
        QCOMPARE(err, QString());
}

VESKARO_TEST_MAIN(TestFileUse)
#include "test_fileuse.moc"

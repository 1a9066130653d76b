#include "connections/FileUse.h"

#include "netware/NovellCalls.h"
#include "netware/ServerDiscovery.h"
#include "netware/ServerSession.h"
#include "platform/Services.h"
#include "settings/Registry.h"

#include <QSet>

#include <algorithm>
#include <array>
#include <mutex>

namespace connections {

namespace {

struct LockFlagName {
    quint8 bit;
    const char* name;
};

constexpr LockFlagName kOpenFileFlags[] = {
    {0x80, "Transaction flag set"},
    {0x40, "TTS Holding"},
    {0x08, "Normal"},
    {0x04, "Logged"},
    {0x02, "Shareable"},
    {0x01, "Locked"},
};

QString flagNames(quint8 flags, std::span<const LockFlagName> names, const QString& separator)
{
    QStringList set;
    for (const LockFlagName& name : names) {
        if (flags & name.bit)
            set.append(QLatin1String(name.name));
    }
    return set.join(separator);
}

// A scan that never reaches its end (a client that keeps answering with the
// same handle) is stopped after as many calls as a 16-bit handle can count.
constexpr int kMostScanCalls = 0x10000;

QString failureText(const char* call, nw::NWRCODE rc)
{
    return QLatin1String(call) + QStringLiteral(" returned the following error ") + nw::statusText(rc);
}

// Two queries side by side must not pick the same free drive letter: the
// search for one and its mapping go one query at a time.
std::mutex& driveChoice()
{
    static std::mutex mutex;
    return mutex;
}

// What a query borrows from the client besides its connection: the drive
// letter and the directory handle. Released when the query ends, however it
// ends; only what this query obtained is given back.
class BorrowedResources {
public:
    BorrowedResources(nw::NetWareClient& client, nw::NWCONN_HANDLE connection)
        : m_client(client)
        , m_connection(connection)
    {
    }
    ~BorrowedResources()
    {
        if (m_drive != 0)
            m_client.NWDeleteDriveBase(m_drive, 0);
        if (m_dirHandle != 0)
            m_client.NWDeallocateDirectoryHandle(m_connection, m_dirHandle);
    }
    BorrowedResources(const BorrowedResources&) = delete;
    BorrowedResources& operator=(const BorrowedResources&) = delete;

    void holdDrive(quint16 drive) { m_drive = drive; }
    void holdDirHandle(nw::NWDirHandle handle) { m_dirHandle = handle; }
    nw::NWDirHandle dirHandle() const { return m_dirHandle; }

private:
    nw::NetWareClient& m_client;
    nw::NWCONN_HANDLE m_connection;
    quint16 m_drive = 0;
    nw::NWDirHandle m_dirHandle = 0;
};

}  // namespace

QString openFileLockText(quint8 flags)
{
    return flagNames(flags, kOpenFileFlags, QStringLiteral(", "));
}

QString fileLockStatusText(quint8 flags)
{
    return flagNames(flags, std::span<const LockFlagName>(kOpenFileFlags).subspan(2), QStringLiteral(","));
}

models::TroubleLevel fileLockLevel(const QString& statusText)
{
    const QStringList names = statusText.split(QLatin1Char(','));
    for (const QString& name : names) {
        if (name.trimmed() == QLatin1String("Locked"))
            return models::TroubleLevel::Warning;
    }
    return models::TroubleLevel::None;
}

QString longPathOf(nw::NetWareClient& client, nw::NWCONN_HANDLE connection, const QString& volume,
                   const QString& dosPath, quint8 nameSpace)
{
    if (nameSpace == nw::NW_NS_DOS)
        return dosPath;
    QString remaining = dosPath;
    QString translated;
    while (!remaining.isEmpty()) {
        const qsizetype cut = remaining.lastIndexOf(QLatin1Char('\\'));
        const QString dosName = remaining.mid(cut + 1);
        std::array<char, 256> longName{};
        const nw::NWRCODE rc = client.NWGetLongName(connection, 0, nw::toAnsi(volume + QLatin1Char(':') + remaining),
                                                    nw::NW_NS_DOS, nameSpace, longName);
        const QString name = rc == nw::status::Success ? nw::bytesToString(std::span<const char>(longName)) : QString();
        if (!dosName.isEmpty())
            translated.prepend(QLatin1Char('\\') + (name.isEmpty() ? dosName : name));
        remaining.truncate(std::max<qsizetype>(cut, 0));
    }
    return translated;
}

QList<OpenFile> readOpenFiles(nw::NetWareClient& client, nw::NWCONN_HANDLE connection, quint16 connectionNumber,
                              const std::function<bool()>& keepGoing, bool* complete)
{
    QList<OpenFile> files;
    qint16 iteration = 0;
    if (complete)
        *complete = true;
    for (int call = 0; call < kMostScanCalls && iteration != -1; ++call) {
        if (keepGoing && !keepGoing()) {
            if (complete)
                *complete = false;
            break;
        }
        nw::OpenFileScanControl control;
        nw::OpenFileRecord record;
        if (client.NWScanOpenFilesByConn2(connection, connectionNumber, iteration, control, record)
            != nw::status::Success)
            break;
        std::array<char, 256> volumeBytes{};
        QString volume;
        if (client.NWGetVolumeName(connection, record.volumeNumber, volumeBytes) == nw::status::Success)
            volume = nw::bytesToString(std::span<const char>(volumeBytes));
        std::array<quint8, 255> pathBytes{};
        quint8 length = 255;
        QString dosPath;
        if (client.NWGetPathFromDirectoryBase(connection, record.volumeNumber, record.directoryEntry, nw::NW_NS_DOS,
                                              length, pathBytes)
            == nw::status::Success)
            dosPath = nw::componentsToPath(pathBytes, length);
        const QString path = longPathOf(client, connection, volume, dosPath, record.nameSpace);
        files.append({volume + QLatin1Char(':') + path, openFileLockText(record.lockFlags)});
    }
    return files;
}

OpenFilesRead readOpenFilesOf(core::AppContext& context, const QString& server, quint16 connectionNumber,
                              const std::function<bool()>& keepGoing)
{
    OpenFilesRead read;
    nw::ServerSession session(context, server, nw::kLicensedByBinderyName);
    read.opened = session.open();
    if (read.opened == nw::status::Success)
        read.files = readOpenFiles(session.client(), session.handle(), connectionNumber, keepGoing, &read.complete);
    else
        read.complete = !keepGoing || keepGoing();
    // The listing is complete whatever the close says: its status is not
    // looked at, and no message about it can hold up a refreshing window.
    session.closeQuietly();
    return read;
}

bool isPlainComponent(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        if (c == u'\\' || c == u'/' || c == u':' || c.unicode() < 0x20)
            return false;
    }
    return !name.trimmed().isEmpty();
}

std::optional<VolumeFile> parseVolumeFile(const QString& text, QString* problem)
{
    const auto refuse = [problem](const QString& why) -> std::optional<VolumeFile> {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon <= 0)
        return refuse(QStringLiteral("%1 names no volume (VOLUME:PATH)").arg(text));
    VolumeFile file;
    file.volume = text.left(colon);
    if (!isPlainComponent(file.volume))
        return refuse(QStringLiteral("%1 is not a volume name").arg(file.volume));
    QString rest = text.mid(colon + 1);
    if (rest.startsWith(QLatin1Char('\\')))
        rest.remove(0, 1);  // the volume root itself
    QStringList parts = rest.split(QLatin1Char('\\'));
    for (const QString& part : std::as_const(parts)) {
        if (!isPlainComponent(part))
            return refuse(QStringLiteral("%1 leaves the volume or names no file").arg(text));
    }
    file.file = parts.takeLast();
    file.directories = parts;
    return file;
}

QString networkPathOf(const QString& server, const QString& volume, const QStringList& directories)
{
    QString path = QStringLiteral("\\\\") + server + QLatin1Char('\\') + volume;
    for (const QString& name : directories)
        path += QLatin1Char('\\') + name;
    return path;
}

namespace {

void scanFileUse(nw::NetWareClient& client, nw::NWCONN_HANDLE connection, const QString& server, const VolumeFile& file,
                 const std::function<bool()>& keepGoing, FileUseResult& result);

QString longPathText(const QString& volume, const QString& directory, const QString& file)
{
    return volume + QLatin1Char(':') + (directory.isEmpty() ? QString() : directory + QLatin1Char('\\')) + file;
}

}  // namespace

std::optional<bool> volumeFileExists(core::AppContext& context, const QString& server, const VolumeFile& file)
{
    nw::ServerSession session(context, server, nw::kLicensedByBinderyName);
    if (session.open() != nw::status::Success)
        return std::nullopt;
    std::array<char, 256> shortName{};
    return session.client().NWGetLongName(
               session.handle(), 0,
               nw::toAnsi(longPathText(file.volume, file.directories.join(QLatin1Char('\\')), file.file)),
               nw::NW_NS_LONG, nw::NW_NS_DOS, shortName)
           == nw::status::Success;
}

FileUseResult readFileUse(core::AppContext& context, const QString& server, const VolumeFile& file,
                          const std::function<bool()>& keepGoing)
{
    FileUseResult result;
    // Every name becomes part of a path: none may step out of its place.
    const bool plain = isPlainComponent(server) && isPlainComponent(file.volume) && isPlainComponent(file.file)
                       && std::all_of(file.directories.cbegin(), file.directories.cend(), isPlainComponent);
    if (!plain)
        return result;
    nw::NetWareClient& client = context.client();
    nw::ServerSession session(context, server, nw::kLicensedByBinderyName);
    if (session.open() != nw::status::Success)
        return result;
    result.connected = true;
    scanFileUse(client, session.handle(), server, file, keepGoing, result);
    // The drive and the directory handle were released; the connection goes last.
    result.closed = session.closeQuietly();
    return result;
}

namespace {

void scanFileUse(nw::NetWareClient& client, nw::NWCONN_HANDLE connection, const QString& server, const VolumeFile& file,
                 const std::function<bool()>& keepGoing, FileUseResult& result)
{
    BorrowedResources borrowed(client, connection);
    result.ownConnection = nw::connectionNumberText(client, connection);

    // The folder as the client parses its network path. The connection the
    // parse returns is the client's own; every call of the query goes over
    // the query's connection, which is the one it closes.
    QString volume = file.volume;
    QString directory = file.directories.join(QLatin1Char('\\'));
    {
        std::array<char, 50> serverBytes{};
        std::array<char, 50> volumeBytes{};
        std::array<char, 500> pathBytes{};
        nw::NWCONN_HANDLE parsedConnection = 0;
        const nw::NWRCODE rc = client.NWParsePath(nw::toAnsi(networkPathOf(server, file.volume, file.directories)),
                                                  serverBytes, parsedConnection, volumeBytes, pathBytes);
        if (rc == nw::status::Success) {
            volume = nw::bytesToString(std::span<const char>(volumeBytes));
            directory = nw::bytesToString(std::span<const char>(pathBytes));
        } else {
            result.problems.append(failureText("NWParsePath", rc));
        }
    }

    {
        const std::lock_guard choosing(driveChoice());
        const int drive = nw::findFreeDrive(client);
        if (drive == 99)
            result.problems.append(nw::noFreeDriveText());
        const nw::NWRCODE mapped =
            client.NWSetDriveBase(static_cast<quint16>(drive), connection, 0, nw::toAnsi(volume), 0);
        if (mapped == nw::status::Success)
            borrowed.holdDrive(static_cast<quint16>(drive));
        else
            result.problems.append(failureText("NWSetDriveBase", mapped));
    }

    // The file's DOS name as the server knows it: the scan takes DOS names.
    const QString longPath = longPathText(volume, directory, file.file);
    std::array<char, 256> shortBytes{};
    QString shortName = file.file;
    if (client.NWGetLongName(connection, 0, nw::toAnsi(longPath), nw::NW_NS_LONG, nw::NW_NS_DOS, shortBytes)
        == nw::status::Success)
        shortName = nw::bytesToString(std::span<const char>(shortBytes));

    nw::NWDirHandle dirHandle = 0;
    const nw::NWRCODE allocated = client.NWAllocTempNSDirHandle2(
        connection, 0, nw::toAnsi(volume + QLatin1Char(':') + directory), nw::NW_NS_LONG, dirHandle, nw::NW_NS_DOS);
    if (allocated == nw::status::Success)
        borrowed.holdDirHandle(dirHandle);
    else
        result.problems.append(failureText("NWAllocTempNSDirHandle2", allocated));

    QSet<qint16> listed;
    qint16 iteration = 0;
    result.complete = true;
    for (int call = 0; call < kMostScanCalls && iteration > -1; ++call) {
        nw::ConnectionUsingFile use;
        nw::FileUsage usage;
        const nw::NWRCODE rc = client.NWScanConnectionsUsingFile(connection, borrowed.dirHandle(),
                                                                 nw::toAnsi(shortName), iteration, use, usage);
        if (rc != nw::status::Success && rc != nw::status::NoMoreItems) {
            result.problems.append(failureText("NWScanConnectionsUsingFile", rc));
            break;
        }
        if (use.connectionNumber > 0 && iteration > -1 && usage.connectionCount > 0
            && !listed.contains(use.connectionNumber)) {
            listed.insert(use.connectionNumber);
            std::array<char, 128> name{};
            quint16 objectType = 0;
            quint32 objectId = 0;
            std::array<quint8, 7> loginTime{};
            client.NWGetConnectionInformation(connection, static_cast<quint16>(use.connectionNumber), name, objectType,
                                              objectId, loginTime);
            const QString number = QString::number(use.connectionNumber);
            QString user = nw::bytesToString(std::span<const char>(name));
            if (number == result.ownConnection)
                user.prepend(QLatin1Char('*'));
            result.rows.append({user, QStringLiteral("    ") + number, fileLockStatusText(use.lockFlags)});
        }
        if (keepGoing && !keepGoing()) {
            result.complete = false;
            break;
        }
    }
}  // the drive and the directory handle are released here

}  // namespace

FileUseResult queryFileUse(core::AppContext& context, const QString& server, const VolumeFile& file,
                           const std::function<bool()>& yield)
{
    FileUseResult result = readFileUse(context, server, file, yield);
    reportFileUseProblems(context, result);
    return result;
}

void reportFileUseProblems(core::AppContext& context, const FileUseResult& result)
{
    for (const QString& problem : result.problems)
        context.messages().inform(problem);
    nw::reportCloseFailure(context, result.closed);
}

QList<QStringList> fileUseCells(const FileUseResult& result)
{
    QList<QStringList> cells;
    for (const FileUseRow& row : result.rows)
        cells.append({row.user, row.number, row.status});
    if (cells.isEmpty())
        cells.append({QStringLiteral("File"), QStringLiteral("not"), QStringLiteral("open")});
    return cells;
}

QString fileUseSummary(const FileUseResult& result)
{
    if (result.rows.isEmpty())
        return QStringLiteral("No connections");
    return QStringLiteral("Total connections: ") + QString::number(result.rows.size());
}

}  // namespace connections

#include "views/AbendLog.h"

#include "netware/NetWareClient.h"
#include "netware/NovellCalls.h"
#include "netware/ServerSession.h"
#include "platform/PrivateFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QRegularExpression>

namespace views {

namespace {

QString headerOf(const QString& server)
{
    return QStringLiteral("Server ") + server + QStringLiteral(" halted");
}

}  // namespace

QString abendLogPath(const QString& server)
{
    return QStringLiteral("\\\\") + server + QStringLiteral("\\SYS\\SYSTEM\\ABEND.LOG");
}

bool readTextLines(const QString& path, QStringList& lines)
{
    lines.clear();
    if (path.isEmpty())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    lines = textLines(file.readAll());
    return true;
}

QStringList textLines(const QByteArray& bytes)
{
    QString text = QString::fromLatin1(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = text.split(QLatin1Char('\n'));
    // A final line end does not start another line.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

AbendLogRead readAbendLog(nw::NetWareClient& client, const QString& server)
{
    AbendLogRead read;
    QStringList lines;
    read.found = readTextLines(client.localPathOf(abendLogPath(server)), lines);
    if (read.found) {
        read.dates = abendDates(lines, server);
        return read;
    }
    // No log: a connection opened and closed at once tells whether the server
    // answers at all. Its close is not reported; the viewer shows the log's
    // absence either way.
    nw::ServerSession probe(client, server, nw::kPublicByAnyName);
    read.probe = probe.open();
    probe.closeQuietly();
    return read;
}

QStringList abendDates(const QStringList& lines, const QString& server)
{
    const QString header = headerOf(server);
    QStringList dates;
    for (const QString& line : lines) {
        if (line.startsWith(header))
            dates.append(line.mid(header.size() + 1));
    }
    return dates;
}

QStringList abendReport(const QStringList& lines, const QString& server, const QString& halt)
{
    QStringList report{QStringLiteral("Abend information for server ") + server + QLatin1Char(' ') + halt, QString()};
    const QString next = headerOf(server) + QLatin1Char(' ');
    const QString wanted = next + halt;
    bool found = false;
    for (const QString& line : lines) {
        if (!found) {
            if (line == wanted) {
                report.append(line);
                found = true;
            }
            continue;
        }
        if (line.startsWith(next))
            break;
        report.append(line);
    }
    return report;
}

QString temporaryFolder()
{
    for (const char* name : {"Temp", "TEMP", "TMP"}) {
        const QString folder = qEnvironmentVariable(name);
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            return QDir::cleanPath(folder);
    }
    return QDir::tempPath();
}

namespace {

// The names the program gives its report files and run folders; nothing
// else in those folders is ever removed.
const QRegularExpression kReportName(QStringLiteral("^[0-9]{6}(-[0-9]+)?\\.tmp$"));
const QRegularExpression kRunName(QStringLiteral("^run-[A-Za-z0-9]{6}$"));
const QString kLockSuffix = QStringLiteral(".lock");

QString userReportFolder(const QString& base)
{
    return QDir(base).filePath(platform::userFolderName(QStringLiteral("veskaro-reports")));
}

QString randomName(const QString& prefix)
{
    static const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789");
    QString name = prefix;
    for (int i = 0; i < 6; ++i)
        name += letters.at(QRandomGenerator::system()->bounded(letters.size()));
    return name;
}

// Held for as long as a run uses its folder: a lock whose process has ended
// marks a folder left behind.
std::unique_ptr<QLockFile> runLock(const QString& path)
{
    auto lock = std::make_unique<QLockFile>(path);
    lock->setStaleLockTime(0);  // only the end of its process frees it
    return lock;
}

}  // namespace

struct TemporaryReports::RunFolder {
    QString base;
    QString path;
    std::unique_ptr<QLockFile> lock;  // none for a folder no later start looks for
};

TemporaryReports::TemporaryReports() = default;

TemporaryReports::~TemporaryReports()
{
    removeAll();
}

TemporaryReports::RunFolder* TemporaryReports::runFolder(const QString& base, QString& problem)
{
    for (const auto& run : m_runs) {
        if (run->base == base)
            return run.get();
    }
    auto run = std::make_unique<RunFolder>();
    run->base = base;
    const QString userFolder = userReportFolder(base);
    problem = platform::makePrivateFolder(userFolder);
    if (problem.isEmpty()) {
        for (int attempt = 0; attempt < 20 && run->path.isEmpty(); ++attempt) {
            const QString name = randomName(QStringLiteral("run-"));
            // The lock comes first: a folder without a live lock is a killed run's.
            auto lock = runLock(QDir(userFolder).filePath(name + kLockSuffix));
            if (!lock->tryLock(0))
                continue;
            const QString path = QDir(userFolder).filePath(name);
            problem = platform::makePrivateFolder(path);
            if (problem.isEmpty()) {
                run->path = path;
                run->lock = std::move(lock);
            }
        }
    } else {
        // Someone else has the user's folder name, or it is open to others:
        // this run makes a folder of a name nobody can foresee instead. A
        // killed run leaves it behind; no later start could tell it from
        // another user's.
        qWarning("%s", qUtf8Printable(problem));
        for (int attempt = 0; attempt < 20 && run->path.isEmpty(); ++attempt) {
            const QString path = QDir(base).filePath(randomName(QFileInfo(userFolder).fileName() + u'-'));
            if (!QFileInfo(path).isSymLink() && !QFileInfo::exists(path))
                problem = platform::makePrivateFolder(path);
            if (problem.isEmpty())
                run->path = path;
        }
    }
    if (run->path.isEmpty()) {
        if (problem.isEmpty())
            problem =
                QCoreApplication::translate("views::TemporaryReports", "No folder of its own could be made in %1.")
                    .arg(QDir::toNativeSeparators(base));
        return nullptr;
    }
    problem.clear();
    m_runs.push_back(std::move(run));
    return m_runs.back().get();
}

QString TemporaryReports::create(const QString& base, const QTime& now, QFile& file)
{
    QString problem;
    const RunFolder* run = runFolder(base, problem);
    if (!run)
        return problem;
    const QString stem = now.toString(QStringLiteral("HHmmss"));
    const QDir dir(run->path);
    for (int number = 1; number < 10000; ++number) {
        const QString name = number == 1 ? stem + QStringLiteral(".tmp")
                                         : stem + QLatin1Char('-') + QString::number(number) + QStringLiteral(".tmp");
        const QString path = dir.filePath(name);
        if (platform::createNewFile(file, path)) {
            m_files.push_back(path);
            return {};
        }
        // Only a name already taken calls for the next one.
        const QFileInfo taken(path);
        if (!taken.exists() && !taken.isSymLink())
            return file.errorString();
    }
    return file.errorString();
}

void TemporaryReports::removeAll()
{
    for (const QString& path : m_files)
        QFile::remove(path);
    m_files.clear();
    for (const auto& run : m_runs) {
        QDir().rmdir(run->path);
        if (run->lock)
            run->lock->unlock();
    }
    m_runs.clear();
}

void TemporaryReports::removeLeftovers(const QString& base)
{
    const QString userFolder = userReportFolder(base);
    // Only a folder that is the user's own and nobody else's holds runs of this user.
    const QFileInfo folderInfo(userFolder);
    if (!folderInfo.exists() && !folderInfo.isSymLink())
        return;
    if (const QString problem = platform::privateFolderProblem(userFolder); !problem.isEmpty())
        return;
    const QDir folder(userFolder);
    QStringList runs = folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks | QDir::Hidden);
    for (const QString& lockName :
         folder.entryList({QStringLiteral("run-*") + kLockSuffix}, QDir::Files | QDir::Hidden))
        runs.append(lockName.chopped(kLockSuffix.size()));
    runs.removeDuplicates();
    for (const QString& name : std::as_const(runs)) {
        if (!kRunName.match(name).hasMatch())
            continue;
        auto lock = runLock(folder.filePath(name + kLockSuffix));
        if (!lock->tryLock(0))
            continue;  // a run still going, or a lock we cannot judge
        const QString path = folder.filePath(name);
        const QFileInfo runInfo(path);
        if (runInfo.isDir() && !runInfo.isSymLink()) {
            const QDir run(path);
            const QFileInfoList entries = run.entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
            for (const QFileInfo& entry : entries) {
                if (!entry.isSymLink() && kReportName.match(entry.fileName()).hasMatch())
                    QFile::remove(entry.absoluteFilePath());
            }
            // Fails, and keeps the folder, when anything else is in it.
            folder.rmdir(name);
        }
        lock->unlock();
    }
}

TemporaryReports& TemporaryReports::instance()
{
    static TemporaryReports reports;
    return reports;
}

ViewerCommand textViewerCommand(const QString& file)
{
    const QString native = QDir::toNativeSeparators(file);
#if defined(Q_OS_WIN)
    return {QStringLiteral("notepad.exe"), {native}};
#elif defined(Q_OS_MACOS)
    return {QStringLiteral("open"), {QStringLiteral("-t"), native}};
#else
    return {QStringLiteral("xdg-open"), {native}};
#endif
}

}  // namespace views

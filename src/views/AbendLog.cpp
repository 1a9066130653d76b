#include "views/AbendLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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
    QStringList report{QStringLiteral("Abend information for server ") + server + QLatin1Char(' ') + halt,
                       QString()};
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

TemporaryReports::~TemporaryReports()
{
    removeAll();
}

QString TemporaryReports::reserve(const QString& folder, const QTime& now)
{
    const QString stem = now.toString(QStringLiteral("HHmmss"));
    const QDir dir(folder);
    for (int number = 1;; ++number) {
        const QString name = number == 1 ? stem + QStringLiteral(".tmp")
                                         : stem + QLatin1Char('-') + QString::number(number) + QStringLiteral(".tmp");
        const QString path = dir.filePath(name);
        if (QFileInfo::exists(path) || std::find(m_files.begin(), m_files.end(), path) != m_files.end())
            continue;
        m_files.push_back(path);
        return path;
    }
}

void TemporaryReports::removeAll()
{
    for (const QString& path : m_files)
        QFile::remove(path);
    m_files.clear();
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

#include "options/RemoteControl.h"

#include "core/AppContext.h"
#include "platform/Services.h"

#include <QDir>
#include <QFileInfo>

namespace options {

DelimiterChoice delimiterChoiceOf(const QString& delimiter)
{
    if (delimiter == QLatin1String(","))
        return DelimiterChoice::Comma;
    if (delimiter == QLatin1String(";"))
        return DelimiterChoice::SemiColon;
    return DelimiterChoice::Other;
}

bool isRconsolePath(const QString& path)
{
    return path.right(12).toUpper() == QLatin1String("RCONSOLE.EXE");
}

QString programFolderOf(const QString& path)
{
    const qsizetype last = qMax(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    if (last < 0)
        return {};
    // The root keeps its separator: "/" and "C:\" are folders, "" and "C:" are not.
    if (last == 0 || (last == 2 && path.at(1) == QLatin1Char(':')))
        return path.left(last + 1);
    return path.left(last);
}

QString joinProgramPath(const QString& folder, const QString& file)
{
    if (folder.endsWith(QLatin1Char('\\')) || folder.endsWith(QLatin1Char('/')))
        return folder + file;
    return folder + QDir::separator() + file;
}

QStringList matchingFiles(const QString& folder, const QString& pattern)
{
    QStringList found;
    if (folder.isEmpty())
        return found;
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QFileInfo& entry : entries) {
        if (entry.fileName().compare(pattern, Qt::CaseInsensitive) == 0)
            found.append(entry.fileName());
    }
    return found;
}

QString nearestExistingFolder(const QString& folder)
{
    // A relative path names no place the user chose: start from home instead.
    QString candidate = QDir::cleanPath(QDir::fromNativeSeparators(folder.trimmed()));
    if (candidate.isEmpty() || QDir::isRelativePath(candidate))
        candidate.clear();
    while (!candidate.isEmpty()) {
        const QFileInfo info(candidate);
        if (info.isDir())
            return QDir::toNativeSeparators(info.absoluteFilePath());
        // Up one level; a root that does not exist has no parent to try.
        const QString parent = QDir::cleanPath(candidate + QStringLiteral("/.."));
        if (parent == candidate || QDir(candidate).isRoot())
            break;
        candidate = parent;
    }
    return QDir::toNativeSeparators(QDir::homePath());
}

QString typedFolder(const QString& typed, const QString& current)
{
    QString path = QDir::fromNativeSeparators(typed.trimmed());
    if (path.isEmpty())
        return {};
    if (path == QLatin1String("~") || path.startsWith(QLatin1String("~/")))
        path = QDir::homePath() + path.mid(1);
    else if (QDir::isRelativePath(path))
        path = QDir(current).filePath(path);
    const QFileInfo info(QDir::cleanPath(path));
    if (info.isDir())
        return QDir::toNativeSeparators(info.absoluteFilePath());
    if (info.isFile())
        return QDir::toNativeSeparators(info.absolutePath());
    return {};
}

QStringList driveRoots()
{
    QStringList roots;
    for (const QFileInfo& drive : QDir::drives())
        roots.append(QDir::toNativeSeparators(drive.absoluteFilePath()));
    return roots;
}

QString driveOf(const QString& path)
{
#if defined(Q_OS_WIN)
    return path.left(2) + QLatin1Char('\\');  // as the drive list shows it: "C:\"
#else
    // The longest root the path lies under (one on most systems: "/").
    QString best;
    for (const QString& root : driveRoots()) {
        if (path.startsWith(root) && root.size() > best.size())
            best = root;
    }
    return best.isEmpty() ? QStringLiteral("/") : best;
#endif
}

void startRemoteConsoles(core::AppContext& context, const QStringList& servers)
{
    const QString program = context.values.remoteControlPath;
    if (program.isEmpty()) {
        context.messages().inform(QStringLiteral(
            "You must select the path to Rconj/Rconsole from the Tools/Options/Remote Control menu first"));
        return;
    }
    // The console starts in its own folder, without changing the program's.
    const QString folder = programFolderOf(program);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        context.messages().inform(QStringLiteral(
            "Unable to connect to Remote Console program.  Please verify path is correct from Tools/Options."));
        return;
    }
    // Started with an argument list: no shell ever reads a server's name.
    for (const QString& server : servers)
        context.processes().startDetached(program, {server}, folder);
}

}  // namespace options

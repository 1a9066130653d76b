#include "platform/PrivateFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("platform::PrivateFiles", text);
}

}  // namespace

std::optional<uint> currentUserId()
{
#ifdef Q_OS_UNIX
    return static_cast<uint>(::geteuid());
#else
    return std::nullopt;
#endif
}

QString userFolderName(const QString& stem)
{
    if (const auto uid = currentUserId())
        return stem + u'-' + QString::number(*uid);
    QString user = qEnvironmentVariable("USERNAME");
    if (user.isEmpty())
        user = qEnvironmentVariable("USER");
    // A user name may hold characters a file name cannot.
    user.removeIf([](QChar c) { return !c.isLetterOrNumber() && c != u'-' && c != u'_' && c != u'.'; });
    return user.isEmpty() ? stem : stem + u'-' + user;
}

QString privateFolderProblem(const QString& path)
{
    const QString shown = QDir::toNativeSeparators(path);
#ifdef Q_OS_UNIX
    // lstat: a link is refused as it is, whatever it leads to.
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return tr("%1 cannot be examined (%2).").arg(shown, qt_error_string(errno));
    if (S_ISLNK(st.st_mode))
        return tr("%1 is a link.").arg(shown);
    if (!S_ISDIR(st.st_mode))
        return tr("%1 is not a folder.").arg(shown);
    if (st.st_uid != ::geteuid())
        return tr("%1 belongs to another user.").arg(shown);
    if ((st.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        return tr("%1 is open to other users.").arg(shown);
    return {};
#else
    // The folders this is used for lie in the user's own profile on these
    // platforms; a link or a file at the name is still refused.
    const QFileInfo info(path);
    if (info.isSymLink() || info.isJunction())
        return tr("%1 is a link.").arg(shown);
    if (!info.isDir())
        return tr("%1 is not a folder.").arg(shown);
    return {};
#endif
}

QString makePrivateFolder(const QString& path)
{
#ifdef Q_OS_UNIX
    // mkdir never follows a link at the name and fails on anything already
    // there; whatever stands there is then checked, never changed.
    if (::mkdir(QFile::encodeName(path).constData(), S_IRWXU) != 0 && errno != EEXIST)
        return tr("%1 cannot be created (%2).").arg(QDir::toNativeSeparators(path), qt_error_string(errno));
#else
    if (!QFileInfo::exists(path) && !QDir().mkdir(path))
        return tr("%1 cannot be created.").arg(QDir::toNativeSeparators(path));
#endif
    return privateFolderProblem(path);
}

bool createNewFile(QFile& file, const QString& path)
{
    file.setFileName(path);
    // NewOnly is an exclusive create: it fails on any name already taken and
    // so never follows a link, even one whose target does not exist.
    return file.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFile::ReadOwner | QFile::WriteOwner);
}

}  // namespace platform

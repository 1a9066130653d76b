#include "settings/FileRegistryStore.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <QDirIterator>
#include <QRegularExpression>

#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace settings {

namespace {

// A change holds the lock for milliseconds; waiting this long means the holder hangs.
constexpr int kLockWaitMs = 10000;

QString tr(const char* text)
{
    return QCoreApplication::translate("settings::FileRegistryStore", text);
}

// What stands at the settings path when it is not a regular file (after
// following symbolic links), or an empty text when it is one or is missing.
QString nonFileKind(const QString& path)
{
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    if (S_ISREG(st.st_mode))
        return {};
    if (S_ISDIR(st.st_mode))
        return tr("a folder");
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return tr("a device");
    if (S_ISFIFO(st.st_mode))
        return tr("a pipe");
    if (S_ISSOCK(st.st_mode))
        return tr("a socket");
    return tr("not a regular file");
#else
    const QFileInfo info(path);
    return info.exists() && !info.isFile() ? tr("not a regular file") : QString();
#endif
}

#ifdef Q_OS_UNIX
// The operating system's lock on the file beside the settings: waiting writers
// are queued by the kernel and the lock goes with its process, so a killed
// writer never leaves it held and what the lock file contains does not matter.
class WriteLock {
public:
    explicit WriteLock(const QString& path)
    {
        m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (m_fd < 0) {
            m_error = qt_error_string(errno);
            return;
        }
        if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
            m_locked = true;
            return;
        }
        m_locked = waitForLock();
    }
    ~WriteLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);   // releases the lock
    }
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;

    bool locked() const { return m_locked; }
    bool opened() const { return m_fd >= 0; }
    QString error() const { return m_error; }

private:
    // Blocks in the kernel's queue; a timer signal to this thread ends the wait
    // when the holder hangs.
    bool waitForLock()
    {
        struct sigaction quiet {};
        quiet.sa_handler = [](int) {};
        sigemptyset(&quiet.sa_mask);
        quiet.sa_flags = 0;   // no restart: the wait returns EINTR
        struct sigaction previous {};
        const int signal = SIGRTMIN + 3;
        ::sigaction(signal, &quiet, &previous);
        sigevent event {};
        event.sigev_notify = SIGEV_THREAD_ID;
        event.sigev_signo = signal;
        event._sigev_un._tid = static_cast<pid_t>(::syscall(SYS_gettid));
        timer_t timer {};
        const bool timed = ::timer_create(CLOCK_MONOTONIC, &event, &timer) == 0;
        if (timed) {
            itimerspec when {};
            when.it_value.tv_sec = kLockWaitMs / 1000;
            ::timer_settime(timer, 0, &when, nullptr);
        }
        auto timeLeft = [&] {
            itimerspec left {};
            return timed && ::timer_gettime(timer, &left) == 0
                   && (left.it_value.tv_sec > 0 || left.it_value.tv_nsec > 0);
        };
        int result = -1;
        do {
            result = ::flock(m_fd, LOCK_EX);
        } while (result != 0 && errno == EINTR && (!timed || timeLeft()));
        if (timed)
            ::timer_delete(timer);
        ::sigaction(signal, &previous, nullptr);
        return result == 0;
    }

    int m_fd = -1;
    bool m_locked = false;
    QString m_error;
};

// Temporary files of a save that was killed before it could finish ("veskaro.reg.AbC123").
// Only called while holding the lock, when no save of another process is under way.
void removeStaleTemporaries(const QString& path)
{
    const QFileInfo info(path);
    static const QRegularExpression suffix(QStringLiteral("^\\.[A-Za-z0-9]{6}$"));
    QDirIterator it(info.absolutePath(), {info.fileName() + QStringLiteral(".??????")}, QDir::Files | QDir::Hidden);
    while (it.hasNext()) {
        const QString candidate = it.next();
        if (suffix.match(QFileInfo(candidate).fileName().mid(info.fileName().size())).hasMatch())
            QFile::remove(candidate);
    }
}
#endif

}  // namespace

QString hivePath(Hive hive, const QString& path)
{
    const QString root = hive == Hive::CurrentUser ? QStringLiteral("HKEY_CURRENT_USER")
                                                   : QStringLiteral("HKEY_LOCAL_MACHINE");
    return path.isEmpty() ? root : root + u'\\' + path;
}

QString takeStoreWarning(RegistryStore& store)
{
    auto* file = dynamic_cast<FileRegistryStore*>(&store);
    return file ? file->takeWarning() : QString();
}

FileRegistryStore::FileRegistryStore(QString filePath) : m_path(std::move(filePath)) {}

QString FileRegistryStore::takeWarning()
{
    return m_warnings.isEmpty() ? QString() : m_warnings.takeFirst();
}

void FileRegistryStore::warn(const QString& text) const
{
    qWarning("%s", qUtf8Printable(text));
    if (!m_warnings.contains(text))
        m_warnings.append(text);
}

FileRegistryStore::Stamp FileRegistryStore::stamp() const
{
    Stamp s;
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::stat(QFile::encodeName(m_path).constData(), &st) != 0)
        return s;
    s.exists = true;
    s.size = st.st_size;
    s.modified = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.identity = st.st_ino;
#else
    const QFileInfo info(m_path);
    if (!info.exists())
        return s;
    s.exists = true;
    s.size = info.size();
    s.modified = info.lastModified().toMSecsSinceEpoch();
    s.identity = quint64(info.birthTime().toMSecsSinceEpoch());
#endif
    return s;
}

namespace {

// A free name beside the file for keeping an unreadable one: the time of day,
// and a number when that is taken.
QString asideName(const QString& path)
{
    const QString stampText = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = path + QStringLiteral(".broken-") + stampText;
    for (int n = 2; QFile::exists(aside); ++n)
        aside = path + QStringLiteral(".broken-") + stampText + u'-' + QString::number(n);
    return aside;
}

// Reads the settings in an open file. A file larger than a settings file may
// be is not read beyond that size.
regfile::ParseResult readSettings(QFile& file)
{
    const QByteArray bytes = file.read(regfile::kMaxFileBytes + 1);
    return regfile::parse(bytes);
}

// Where and what the fault of an unreadable file is: "line 3: ..." or, for a
// fault of the whole file, the fault alone.
QString faultText(const regfile::ParseResult& parsed)
{
    return parsed.errorLine > 0 ? tr("line %1: %2").arg(parsed.errorLine).arg(parsed.error) : parsed.error;
}

}  // namespace

void FileRegistryStore::refresh() const
{
    const Stamp now = stamp();
    if (m_loaded && *m_loaded == now)
        return;
    m_loaded = now;
    m_tree = {};
    if (!now.exists)
        return;
    if (const QString kind = nonFileKind(m_path); !kind.isEmpty()) {
        warn(tr("The settings file %1 is %2, not a file; default settings are used and settings are not saved.")
                 .arg(QDir::toNativeSeparators(m_path), kind));
        return;
    }
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        warn(tr("The settings file %1 cannot be read (%2); default settings are used.")
                 .arg(QDir::toNativeSeparators(m_path), file.errorString()));
        return;
    }
    const auto parsed = readSettings(file);
    if (parsed.ok) {
        m_tree = parsed.tree;
        return;
    }
    // One warning names the place the user's file will be kept; the save that
    // moves it there says nothing more.
    m_announcedAside = asideName(m_path);
    warn(tr("The settings file %1 cannot be read (%2). Default settings are used; the file "
            "is kept as %3 when settings are next saved.")
             .arg(QDir::toNativeSeparators(m_path), faultText(parsed), QDir::toNativeSeparators(m_announcedAside)));
}

bool FileRegistryStore::change(const std::function<Outcome(regfile::Tree&)>& apply)
{
    // A device, pipe, socket or folder at the path is left alone: a save would replace it with a file.
    if (const QString kind = nonFileKind(m_path); !kind.isEmpty()) {
        warn(tr("The settings file %1 is %2, not a file; default settings are used and settings are not saved.")
                 .arg(QDir::toNativeSeparators(m_path), kind));
        return false;
    }
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(folder)) {
        warn(tr("The settings folder %1 cannot be created; settings are not saved.")
                 .arg(QDir::toNativeSeparators(folder)));
        return false;
    }
#ifdef Q_OS_UNIX
    WriteLock lock(m_path + QStringLiteral(".lock"));
    if (!lock.opened()) {
        warn(tr("The settings file %1 cannot be written: its folder does not allow it (%2); a setting was not "
                "saved.")
                 .arg(QDir::toNativeSeparators(m_path), lock.error()));
        return false;
    }
    if (!lock.locked()) {
        warn(tr("The settings file %1 is locked by another program; a setting was not saved.")
                 .arg(QDir::toNativeSeparators(m_path)));
        return false;
    }
    removeStaleTemporaries(m_path);
#else
    QLockFile lock(m_path + QStringLiteral(".lock"));
    if (!lock.tryLock(kLockWaitMs)) {
        if (lock.error() == QLockFile::LockFailedError) {
            warn(tr("The settings file %1 is locked by another program; a setting was not saved.")
                     .arg(QDir::toNativeSeparators(m_path)));
        } else {
            warn(tr("The settings file %1 cannot be written: its folder does not allow it; a setting was not "
                    "saved.")
                     .arg(QDir::toNativeSeparators(m_path)));
        }
        return false;
    }
#endif

    // Start from what is on disk now: another process may have written since we last read.
    regfile::Tree tree;
    QFile current(m_path);
    if (stamp().exists) {   // follows a symbolic link; one that leads nowhere is a missing file
        if (!current.open(QIODevice::ReadOnly)) {
            warn(tr("The settings file %1 cannot be read (%2); a setting was not saved.")
                     .arg(QDir::toNativeSeparators(m_path), current.errorString()));
            return false;
        }
        const auto parsed = readSettings(current);
        current.close();
        if (parsed.ok) {
            tree = parsed.tree;
        } else {
            // Keep the user's file: a hand edit gone wrong is worth more than our defaults.
            const bool announced = !m_announcedAside.isEmpty() && !QFile::exists(m_announcedAside);
            const QString aside = announced ? m_announcedAside : asideName(m_path);
            m_announcedAside.clear();
            if (!QFile::rename(m_path, aside)) {
                warn(tr("The settings file %1 cannot be read and cannot be kept aside; a setting was not saved.")
                         .arg(QDir::toNativeSeparators(m_path)));
                return false;
            }
            if (!announced) {
                warn(tr("The settings file %1 could not be read (%2). It was kept as %3 and new "
                        "settings were started.")
                         .arg(QDir::toNativeSeparators(m_path), faultText(parsed), QDir::toNativeSeparators(aside)));
            }
        }
    }

    const Outcome outcome = apply(tree);
    if (outcome.changed) {
        QSaveFile out(m_path);
        if (!out.open(QIODevice::WriteOnly) || out.write(regfile::serialize(tree)) < 0 || !out.commit()) {
            warn(tr("The settings file %1 cannot be written (%2); a setting was not saved.")
                     .arg(QDir::toNativeSeparators(m_path), out.errorString()));
            m_loaded.reset();
            return false;
        }
    }
    m_tree = std::move(tree);
    m_loaded = stamp();
    return outcome.result;
}

bool FileRegistryStore::keyExists(Hive hive, const QString& path) const
{
    if (path.isEmpty())
        return true;
    refresh();
    return m_tree.find(hivePath(hive, path)) != nullptr;
}

bool FileRegistryStore::createKey(Hive hive, const QString& path)
{
    if (path.isEmpty())
        return true;
    const QString full = hivePath(hive, path);
    if (!regfile::Tree::isValidPath(full))
        return false;
    if (keyExists(hive, path))
        return true;
    return change([&](regfile::Tree& tree) {
        if (tree.find(full))
            return Outcome{true, false};
        tree.ensure(full);
        return Outcome{true, true};
    });
}

std::optional<QString> FileRegistryStore::queryValue(Hive hive, const QString& path, const QString& name) const
{
    refresh();
    const regfile::Key* key = m_tree.find(hivePath(hive, path));
    if (!key)
        return std::nullopt;
    const regfile::Value* value = regfile::Tree::findValue(*key, name);
    if (!value || !value->textual || value->type != regfile::kTypeString)
        return std::nullopt;
    return value->text;
}

bool FileRegistryStore::setValue(Hive hive, const QString& path, const QString& name, const QString& data)
{
    const QString full = hivePath(hive, path);
    if (!regfile::Tree::isValidPath(full) || !regfile::Tree::isValidValueName(name))
        return false;
    return change([&](regfile::Tree& tree) {
        const regfile::Key* key = tree.find(full);
        if (!key)
            return Outcome{false, false};
        const regfile::Value* old = regfile::Tree::findValue(*key, name);
        if (old && old->textual && old->type == regfile::kTypeString && old->text == data)
            return Outcome{true, false};
        regfile::Tree::putValue(tree.ensure(full), regfile::Value{name, regfile::kTypeString, true, data, {}});
        return Outcome{true, true};
    });
}

bool FileRegistryStore::deleteValue(Hive hive, const QString& path, const QString& name)
{
    const QString full = hivePath(hive, path);
    if (!regfile::Tree::isValidPath(full))
        return false;
    return change([&](regfile::Tree& tree) {
        if (!tree.find(full))
            return Outcome{false, false};
        const bool removed = regfile::Tree::removeValue(tree.ensure(full), name);
        return Outcome{removed, removed};
    });
}

std::optional<QString> FileRegistryStore::enumKey(Hive hive, const QString& path, int index) const
{
    refresh();
    const QString full = hivePath(hive, path);
    if (index < 0 || !m_tree.find(full))
        return std::nullopt;
    const QStringList names = m_tree.children(full);
    if (index >= names.size())
        return std::nullopt;
    return names.at(index);
}

}  // namespace settings

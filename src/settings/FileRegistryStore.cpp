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
#include <QRandomGenerator>
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

// The same problem met by a read and by a change is told in the same words,
// and so only once.
QString notAFileText(const QString& path, const QString& kind)
{
    return tr("The settings file %1 is %2, not a file; default settings are used and settings are not saved.")
        .arg(QDir::toNativeSeparators(path), kind);
}

QString unreadableText(const QString& path, const QString& error)
{
    return tr("The settings file %1 cannot be read (%2); default settings are used and settings are not saved.")
        .arg(QDir::toNativeSeparators(path), error);
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
        const QByteArray native = QFile::encodeName(path);
        m_fd = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (m_fd < 0) {
            m_error = qt_error_string(errno);
            return;
        }
        // The lock file also records the save under way, but only when it is
        // a plain file of this user: a link or another user's file there is
        // locked, never written.
        struct stat opened {};
        struct stat named {};
        m_recordable = ::fstat(m_fd, &opened) == 0 && S_ISREG(opened.st_mode) && opened.st_uid == ::geteuid()
                       && ::lstat(native.constData(), &named) == 0 && S_ISREG(named.st_mode)
                       && named.st_ino == opened.st_ino && named.st_dev == opened.st_dev;
        if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
            m_locked = true;
            return;
        }
        m_locked = waitForLock();
    }
    ~WriteLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);  // releases the lock
    }
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;

    bool locked() const { return m_locked; }
    bool opened() const { return m_fd >= 0; }
    QString error() const { return m_error; }

    // Writes down the new file a save is about to make, before it makes it,
    // so that the next writer can remove it when this process is killed
    // before the save ends; an empty path clears the record.
    void record(const QString& temporary)
    {
        if (!m_locked || !m_recordable)
            return;
        const QByteArray text = temporary.isEmpty() ? QByteArray() : kRecordTag + QFile::encodeName(temporary) + '\n';
        // A record that cannot be written only means a killed save's file stays.
        if (::ftruncate(m_fd, 0) != 0 || text.isEmpty())
            return;
        [[maybe_unused]] const ssize_t written = ::pwrite(m_fd, text.constData(), static_cast<size_t>(text.size()), 0);
    }
    // The new file of a save that did not end, as recorded; empty when
    // there is none or the lock file holds anything else.
    QString recorded() const
    {
        if (!m_locked || !m_recordable)
            return {};
        char buffer[4096];
        const ssize_t size = ::pread(m_fd, buffer, sizeof buffer, 0);
        if (size <= 0)
            return {};
        const QByteArray text(buffer, size);
        if (!text.startsWith(kRecordTag) || !text.endsWith('\n') || text.count('\n') != 1)
            return {};
        return QFile::decodeName(text.mid(kRecordTag.size()).chopped(1));
    }

private:
    // Blocks in the kernel's queue; a timer signal to this thread ends the wait
    // when the holder hangs.
    bool waitForLock()
    {
        struct sigaction quiet {};
        quiet.sa_handler = [](int) {};
        sigemptyset(&quiet.sa_mask);
        quiet.sa_flags = 0;  // no restart: the wait returns EINTR
        struct sigaction previous {};
        const int signal = SIGRTMIN + 3;
        ::sigaction(signal, &quiet, &previous);
        sigevent event{};
        event.sigev_notify = SIGEV_THREAD_ID;
        event.sigev_signo = signal;
        event._sigev_un._tid = static_cast<pid_t>(::syscall(SYS_gettid));
        timer_t timer{};
        const bool timed = ::timer_create(CLOCK_MONOTONIC, &event, &timer) == 0;
        if (timed) {
            itimerspec when{};
            when.it_value.tv_sec = kLockWaitMs / 1000;
            ::timer_settime(timer, 0, &when, nullptr);
        }
        auto timeLeft = [&] {
            itimerspec left{};
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

    static inline const QByteArray kRecordTag = QByteArrayLiteral("veskaro-saving ");

    int m_fd = -1;
    bool m_locked = false;
    bool m_recordable = false;
    QString m_error;
};

// The file a save replaces: the settings path with its links followed, as
// far as they lead, so that a linked settings file stays a link.
QString saveTarget(const QString& path)
{
    QFileInfo info(path);
    for (int depth = 0; depth < 128 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.isSymLink() ? path : info.absoluteFilePath();
}

// A save's new file lies beside the file it replaces: "veskaro.reg.saving-Ab3xYz".
const QString kSavingInfix = QStringLiteral(".saving-");

bool isSavingNameOf(const QString& candidate, const QString& target)
{
    const QFileInfo file(candidate);
    const QFileInfo of(target);
    static const QRegularExpression suffix(QStringLiteral("^[A-Za-z0-9]{6}$"));
    const QString stem = of.fileName() + kSavingInfix;
    return file.absolutePath() == of.absolutePath() && file.fileName().startsWith(stem)
           && suffix.match(file.fileName().mid(stem.size())).hasMatch();
}

// Removes what a killed save of any Veskaro left behind: the one file the
// lock file names as the new file of a save under way, when it has the name
// a save gives and is a plain file of this user. Anything else beside the
// settings is the user's. Only called while holding the lock, when no save
// of another process is under way.
void removeUnfinishedSave(WriteLock& lock, const QString& target)
{
    const QString temporary = lock.recorded();
    if (temporary.isEmpty())
        return;
    if (isSavingNameOf(temporary, target)) {
        const QByteArray native = QFile::encodeName(temporary);
        struct stat st {};
        if (::lstat(native.constData(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid())
            ::unlink(native.constData());
    }
    lock.record({});
}

// Replaces `target` with `bytes` in one step: a new file beside it, written,
// synced and renamed over it, so that a crash leaves the old or the new file
// whole. The new file keeps the old one's permissions. Returns what went
// wrong, or an empty text.
QString replaceFile(const QString& target, const QByteArray& bytes, WriteLock& lock)
{
    static const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789");
    struct stat old {};
    const bool existed = ::stat(QFile::encodeName(target).constData(), &old) == 0;
    QString temporary;
    QByteArray native;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = target + kSavingInfix;
        for (int i = 0; i < 6; ++i)
            temporary += letters.at(QRandomGenerator::global()->bounded(letters.size()));
        native = QFile::encodeName(temporary);
        lock.record(temporary);
        // Until it has the old file's permissions the new one is the user's alone.
        fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, existed ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        const QString problem = qt_error_string(errno);
        lock.record({});
        return problem;
    }
    const auto fail = [&] {
        const QString problem = qt_error_string(errno);
        if (fd >= 0)
            ::close(fd);
        ::unlink(native.constData());
        lock.record({});
        return problem;
    };
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return fail();
        done += written;
    }
    if ((existed && ::fchmod(fd, old.st_mode & 0777) != 0) || ::fsync(fd) != 0)
        return fail();
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0 || ::rename(native.constData(), QFile::encodeName(target).constData()) != 0)
        return fail();
    lock.record({});
    return {};
}
#endif

}  // namespace

QString hivePath(Hive hive, const QString& path)
{
    const QString root =
        hive == Hive::CurrentUser ? QStringLiteral("HKEY_CURRENT_USER") : QStringLiteral("HKEY_LOCAL_MACHINE");
    return path.isEmpty() ? root : root + u'\\' + path;
}

QString takeStoreWarning(RegistryStore& store)
{
    auto* file = dynamic_cast<FileRegistryStore*>(&store);
    return file ? file->takeWarning() : QString();
}

void setStoreWarningSink(RegistryStore& store, FileRegistryStore::WarningSink sink)
{
    if (auto* file = dynamic_cast<FileRegistryStore*>(&store))
        file->setWarningSink(std::move(sink));
}

FileRegistryStore::FileRegistryStore(QString filePath) : m_path(std::move(filePath))
{
}

QString FileRegistryStore::takeWarning()
{
    return m_warnings.isEmpty() ? QString() : m_warnings.takeFirst();
}

void FileRegistryStore::warn(const QString& text) const
{
    // A file that stays unusable fails every read and change the same way:
    // the user hears of it once.
    if (m_told.contains(text))
        return;
    m_told.insert(text);
    if (m_sink)
        m_sink(text);
    else
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
        warn(notAFileText(m_path, kind));
        return;
    }
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        warn(unreadableText(m_path, file.errorString()));
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
        warn(notAFileText(m_path, kind));
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
    const QString target = saveTarget(m_path);
    removeUnfinishedSave(lock, target);
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
    if (stamp().exists) {  // follows a symbolic link; one that leads nowhere is a missing file
        if (!current.open(QIODevice::ReadOnly)) {
            warn(unreadableText(m_path, current.errorString()));
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
#ifdef Q_OS_UNIX
        const QString problem = replaceFile(target, regfile::serialize(tree), lock);
#else
        QSaveFile out(m_path);
        const bool saved = out.open(QIODevice::WriteOnly) && out.write(regfile::serialize(tree)) >= 0 && out.commit();
        const QString problem = saved ? QString() : out.errorString();
#endif
        if (!problem.isEmpty()) {
            warn(tr("The settings file %1 cannot be written (%2); a setting was not saved.")
                     .arg(QDir::toNativeSeparators(m_path), problem));
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

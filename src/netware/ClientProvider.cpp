#include "netware/ClientProvider.h"

#include "netware/sim/SimClient.h"
#include "netware/sim/SimLoader.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <unistd.h>
#endif

// The demo network is compiled into a static library; registering it here
// pulls it into every program that can load it.
static void registerDemoNetwork()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(demo_network);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace nw {

namespace {

const QString kDemoFolder = QStringLiteral(":/demo");
const QString kDemoDescription = QStringLiteral(":/demo/network.json");

// Every file of the built-in demo, by path below :/demo, sorted.
QStringList demoFiles()
{
    QStringList files;
    QDirIterator it(kDemoFolder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next().mid(kDemoFolder.size() + 1));
    files.sort();
    return files;
}

// Writes a copy of `source` without flushing it to the disk.
bool writePlainCopy(const QString& source, const QString& destination)
{
    QFile in(source);
    QFile out(destination);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray bytes = in.readAll();
    return out.write(bytes) == bytes.size() && out.flush();
}

// Flushes what was written to the file system holding `folder`, in one call.
void flushFolder(const QString& folder)
{
#if defined(Q_OS_LINUX)
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::syncfs(fd);
        ::close(fd);
    }
#elif defined(Q_OS_UNIX)
    Q_UNUSED(folder)
    ::sync();
#else
    Q_UNUSED(folder)
#endif
}

// The demo's volume files must be ordinary files (the file views read them by
// path), so they are copied once into the cache, in a folder named after their
// content so that a newer program never reads an older copy. Several programs
// may start at once: each builds its copy in a private folder and moves it into
// place in one step; a complete copy already there is used as it is, and no
// folder another program may be reading is ever deleted.
std::optional<QString> materialiseDemo(QString& problem)
{
    const QStringList files = demoFiles();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QString& name : files) {
        QFile file(kDemoFolder + QLatin1Char('/') + name);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        hash.addData(name.toUtf8());
        hash.addData(QByteArrayView("\0", 1));
        hash.addData(file.readAll());
    }
    QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty())
        cache = QDir::tempPath();
    const QString name = QStringLiteral("demo-") + QString::fromLatin1(hash.result().toHex().left(16));
    const QString parent = cache + QStringLiteral("/Veskaro");
    const QString target = parent + QLatin1Char('/') + name;
    const QString marker = target + QStringLiteral("/.complete");
    if (QFile::exists(marker))
        return target;

    if (!QDir().mkpath(parent)) {
        problem = QStringLiteral("The demo network's files cannot be written to %1").arg(parent);
        return std::nullopt;
    }
    QTemporaryDir staging(parent + QLatin1Char('/') + name + QStringLiteral(".part-XXXXXX"));
    if (!staging.isValid()) {
        problem =
            QStringLiteral("The demo network's files cannot be written to %1 (%2)").arg(parent, staging.errorString());
        return std::nullopt;
    }
    // Plain writes: copying file by file would flush each of them to the disk
    // on its own. The copy is flushed once, before the marker names it
    // complete; a copy lost anyway is simply made again at the next start.
    for (const QString& file : files) {
        const QString destination = staging.filePath(file);
        if (!QDir().mkpath(QFileInfo(destination).path())
            || !writePlainCopy(kDemoFolder + QLatin1Char('/') + file, destination)) {
            problem = QStringLiteral("The demo network's files cannot be written to %1").arg(staging.path());
            return std::nullopt;
        }
        QFile::setPermissions(destination, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    flushFolder(staging.path());
    QFile done(staging.filePath(QStringLiteral(".complete")));
    if (!done.open(QIODevice::WriteOnly)) {
        problem = QStringLiteral("The demo network's files cannot be written to %1").arg(staging.path());
        return std::nullopt;
    }
    done.close();
    QFile::setPermissions(staging.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                              | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);

    for (int attempt = 0; attempt < 3; ++attempt) {
        // Renaming a folder onto an existing one fails, so exactly one copy wins.
        if (QDir().rename(staging.path(), target)) {
            staging.setAutoRemove(false);
            return target;
        }
        if (QFile::exists(marker))
            return target;  // another program finished first; ours is removed with `staging`
        if (QFileInfo::exists(target)) {
            // An unfinished copy of an older program: nobody reads it (readers want the
            // marker), so it is moved out of the way in one step and then removed.
            QTemporaryDir aside(parent + QLatin1Char('/') + name + QStringLiteral(".old-XXXXXX"));
            if (aside.isValid() && QDir().rename(target, aside.filePath(QStringLiteral("copy"))))
                continue;
        }
    }
    if (QFile::exists(marker))
        return target;
    problem = QStringLiteral("The demo network's files cannot be moved to %1").arg(target);
    return std::nullopt;
}

}  // namespace

ClientLoad loadSimulatedNetworkFromJson(const QByteArray& json, const QString& baseDir, const QString& sourceName)
{
    ClientLoad load;
    sim::LoadedNetwork loaded = sim::loadNetworkDescription(json, baseDir, sourceName);
    if (!loaded.network) {
        load.outcome = ClientLoad::Outcome::Unreadable;
        load.problem = loaded.problem;
        return load;
    }
    if (!loaded.network->clientInstalled) {
        load.outcome = ClientLoad::Outcome::NotInstalled;
        return load;
    }
    load.outcome = ClientLoad::Outcome::Loaded;
    load.client = std::make_unique<sim::SimClient>(std::move(loaded.network));
    return load;
}

ClientLoad loadSimulatedNetwork(const QString& descriptionPath)
{
    QFile file(descriptionPath);
    if (!file.open(QIODevice::ReadOnly)) {
        ClientLoad load;
        load.outcome = ClientLoad::Outcome::Unreadable;
        load.problem = QStringLiteral("%1: cannot be read: %2").arg(descriptionPath, file.errorString());
        return load;
    }
    // Read no more than the largest description plus one byte: a device such as
    // /dev/zero would otherwise be read until memory runs out.
    const QByteArray json = file.read(sim::kMaxDescriptionBytes + 1);
    return loadSimulatedNetworkFromJson(json, QFileInfo(descriptionPath).absolutePath(), descriptionPath);
}

ClientLoad loadNetWareClient()
{
    const QString path = qEnvironmentVariable("VESKARO_NETWORK");
    if (!path.isEmpty())
        return loadSimulatedNetwork(path);

    registerDemoNetwork();
    ClientLoad load;
    load.outcome = ClientLoad::Outcome::Unreadable;
    QFile demo(kDemoDescription);
    if (!demo.open(QIODevice::ReadOnly)) {
        load.problem = QStringLiteral("%1: the built-in demo network is missing from this build").arg(kDemoDescription);
        return load;
    }
    const QByteArray json = demo.readAll();
    const auto folder = materialiseDemo(load.problem);
    if (!folder)
        return load;
    return loadSimulatedNetworkFromJson(json, *folder, kDemoDescription);
}

}  // namespace nw

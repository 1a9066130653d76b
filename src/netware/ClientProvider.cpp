#include "netware/ClientProvider.h"

#include "netware/sim/SimClient.h"
#include "netware/sim/SimLoader.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

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

// The demo's volume files must be ordinary files (the file views read them by
// path), so they are copied once into the cache, in a folder named after their
// content so that a newer program never reads an older copy.
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
    const QString target = cache + QStringLiteral("/Veskaro/demo-") + QString::fromLatin1(hash.result().toHex().left(16));
    const QString marker = target + QStringLiteral("/.complete");
    if (QFile::exists(marker))
        return target;

    const QString staging = target + QStringLiteral(".part");
    QDir(staging).removeRecursively();
    for (const QString& name : files) {
        const QString destination = staging + QLatin1Char('/') + name;
        if (!QDir().mkpath(QFileInfo(destination).path())
            || !QFile::copy(kDemoFolder + QLatin1Char('/') + name, destination)) {
            problem = QStringLiteral("The demo network's files cannot be written to %1").arg(staging);
            return std::nullopt;
        }
        QFile::setPermissions(destination, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    QFile done(staging + QStringLiteral("/.complete"));
    if (!done.open(QIODevice::WriteOnly)) {
        problem = QStringLiteral("The demo network's files cannot be written to %1").arg(staging);
        return std::nullopt;
    }
    done.close();
    QDir(target).removeRecursively();
    if (!QDir().rename(staging, target)) {
        // Another instance may have finished the same copy first.
        if (QFile::exists(marker))
            return target;
        problem = QStringLiteral("The demo network's files cannot be moved to %1").arg(target);
        return std::nullopt;
    }
    return target;
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
    return loadSimulatedNetworkFromJson(file.readAll(), QFileInfo(descriptionPath).absolutePath(), descriptionPath);
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

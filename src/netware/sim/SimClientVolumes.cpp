// Volumes, paths and drives: mounted volumes and their space, network paths,
// the workstation's drive letters, directory handles and file names.

#include "netware/sim/SimClient.h"

#include <QDir>

namespace nw::sim {

namespace {

QStringList components(const QString& path)
{
    QString p = path;
    p.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return p.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

}  // namespace

const Volume* SimClient::volumeByName(const Server& server, const QString& name) const
{
    for (const Volume& v : server.volumes)
        if (v.mounted && nameKey(v.name) == nameKey(name))
            return &v;
    return nullptr;
}

const Volume* SimClient::volumeByNumber(const Server& server, quint32 number) const
{
    for (const Volume& v : server.volumes)
        if (v.mounted && v.number == number)
            return &v;
    return nullptr;
}

bool SimClient::splitVolumePath(const QString& path, QString& volume, QStringList& parts)
{
    const qsizetype colon = path.indexOf(QLatin1Char(':'));
    if (colon >= 0) {
        volume = path.left(colon).trimmed();
        parts = components(path.mid(colon + 1));
    } else {
        parts = components(path);
        if (parts.isEmpty())
            return false;
        volume = parts.takeFirst();
    }
    return !volume.isEmpty();
}

NWRCODE SimClient::locatePath(const Server& server, const ConnEntry& entry, NWDirHandle dirHandle,
                              const QByteArray& path, const Volume*& volume, QStringList& parts) const
{
    volume = nullptr;
    if (dirHandle != 0) {
        const auto handle = entry.dirHandles.find(dirHandle);
        if (handle == entry.dirHandles.end())
            return status::InvalidParameter;
        volume = volumeByNumber(server, handle->second.volume);
        parts = handle->second.path + components(inputText(path).trimmed());
    } else {
        QString volumeText;
        if (!splitVolumePath(inputText(path).trimmed(), volumeText, parts))
            return status::InvalidPath;
        volume = volumeByName(server, volumeText);
    }
    return volume ? status::Success : status::NoSuchVolume;
}

NWRCODE SimClient::NWScanMountedVolumeList(NWCONN_HANDLE connection, quint32, quint32, quint32& volumeIterator,
                                           quint32 numberItems, quint32& numberReturned,
                                           std::span<VolumeRecord> volumes)
{
    const Lock lock(m_mutex);
    numberReturned = 0;
    Server* server = nullptr;
    if (const NWRCODE rc = serverCall("NWScanMountedVolumeList", connection, server)) {
        volumeIterator = 0;
        return rc;
    }
    std::vector<const Volume*> mounted;
    for (const Volume& v : server->volumes)
        if (v.mounted)
            mounted.push_back(&v);
    std::sort(mounted.begin(), mounted.end(), [](const Volume* a, const Volume* b) { return a->number < b->number; });
    const size_t room = std::min<size_t>(numberItems, volumes.size());
    size_t index = volumeIterator;
    if (room == 0)
        return status::InvalidParameter;
    while (index < mounted.size() && numberReturned < room) {
        VolumeRecord& record = volumes[numberReturned++];
        record = VolumeRecord{};
        record.volumeNumber = mounted[index]->number;
        putText(std::span<char>(record.volumeName), mounted[index]->name);
        ++index;
    }
    volumeIterator = index < mounted.size() ? static_cast<quint32>(index) : 0;
    return status::Success;
}

NWRCODE SimClient::NWGetVolumeNumber(NWCONN_HANDLE connection, const QByteArray& volumeName, quint16& volumeNumber)
{
    const Lock lock(m_mutex);
    volumeNumber = 0;
    Server* server = nullptr;
    if (const NWRCODE rc = serverCall("NWGetVolumeNumber", connection, server))
        return rc;
    const Volume* v = volumeByName(*server, inputText(volumeName).trimmed());
    if (!v)
        return status::NoSuchVolume;
    volumeNumber = static_cast<quint16>(v->number);
    return status::Success;
}

NWRCODE SimClient::NWGetVolumeName(NWCONN_HANDLE connection, quint16 volumeNumber, std::span<char> volumeName)
{
    const Lock lock(m_mutex);
    Server* server = nullptr;
    if (const NWRCODE rc = serverCall("NWGetVolumeName", connection, server))
        return rc;
    const Volume* v = volumeByNumber(*server, volumeNumber);
    if (!v)
        return status::NoSuchVolume;
    putText(volumeName, v->name);
    return status::Success;
}

NWRCODE SimClient::NWGetDirSpaceInfo(NWCONN_HANDLE connection, NWDirHandle dirHandle, quint16 volumeNumber,
                                     DirSpaceInfo& info)
{
    const Lock lock(m_mutex);
    info = DirSpaceInfo{};
    Server* server = nullptr;
    ConnEntry* entry = nullptr;
    if (const NWRCODE rc = serverCall("NWGetDirSpaceInfo", connection, server, &entry))
        return rc;
    quint32 number = volumeNumber;
    if (dirHandle != 0) {
        const auto handle = entry->dirHandles.find(dirHandle);
        if (handle == entry->dirHandles.end())
            return status::InvalidParameter;
        number = handle->second.volume;
    }
    const Volume* v = volumeByNumber(*server, number);
    if (!v)
        return status::NoSuchVolume;
    info.totalBlocks = v->totalBlocks;
    info.availableBlocks = v->availableBlocks;
    info.purgeableBlocks = v->purgeableBlocks;
    info.notYetPurgeableBlocks = v->notYetPurgeableBlocks;
    // Directory entries grow with the volume; a quarter are free on a working server.
    info.totalDirEntries = std::max<quint32>(1024, v->totalBlocks / 8);
    info.availableDirEntries = info.totalDirEntries / 4 * 3;
    info.sectorsPerBlock = static_cast<quint8>(v->sectorsPerBlock);
    const QByteArray name = outputBytes(v->name).left(16);
    info.volumeNameLength = static_cast<quint8>(name.size());
    std::copy(name.begin(), name.end(), info.volumeName.begin());
    return status::Success;
}

NWRCODE SimClient::NWParsePath(const QByteArray& path, std::span<char> serverName, NWCONN_HANDLE& connection,
                               std::span<char> volumeName, std::span<char> dirPath)
{
    const Lock lock(m_mutex);
    connection = 0;
    if (auto fault = topFault("NWParsePath"))
        return *fault;
    QString text = inputText(path).trimmed();
    QString serverText;
    QString volumeText;
    QStringList rest;

    const QString native = QDir::fromNativeSeparators(text);
    const QString root = m_network->fileRoot;
    if (text.startsWith(QLatin1String("\\\\")) || text.startsWith(QLatin1String("//"))) {
        // \\SERVER\VOLUME\PATH
        QStringList parts = components(text);
        if (parts.size() < 2)
            return status::InvalidPath;
        serverText = parts.takeFirst();
        volumeText = parts.takeFirst();
        rest = parts;
    } else if (!root.isEmpty() && native.startsWith(root + QLatin1Char('/'), Qt::CaseInsensitive)) {
        // A folder of the volume tree on disk: fileRoot/SERVER/VOLUME/PATH
        QStringList parts = native.mid(root.size() + 1).split(QLatin1Char('/'), Qt::SkipEmptyParts);
        if (parts.size() < 2)
            return status::InvalidPath;
        serverText = parts.takeFirst();
        volumeText = parts.takeFirst();
        rest = parts;
    } else if (text.size() >= 2 && text[1] == QLatin1Char(':') && text[0].isLetter()) {
        // A path on a mapped drive letter.
        const int drive = text[0].toUpper().unicode() - u'A' + 1;
        const auto mapping = m_network->workstation.drives.find(drive);
        if (mapping == m_network->workstation.drives.end())
            return status::InvalidPath;
        const QString target = mapping->second;
        const qsizetype slash = target.indexOf(QLatin1Char('/'));
        const qsizetype colon = target.indexOf(QLatin1Char(':'));
        serverText = target.left(slash);
        volumeText = target.mid(slash + 1, colon - slash - 1);
        rest = components(target.mid(colon + 1)) + components(text.mid(2));
    } else {
        // SERVER/VOLUME:PATH (or SERVER\VOLUME:PATH)
        const qsizetype colon = text.indexOf(QLatin1Char(':'));
        if (colon < 0)
            return status::InvalidPath;
        const QStringList head = components(text.left(colon));
        if (head.size() != 2)
            return status::InvalidPath;
        serverText = head[0];
        volumeText = head[1];
        rest = components(text.mid(colon + 1));
    }

    const int index = m_network->findServer(serverText);
    if (index < 0)
        return status::ConnectionRefused;
    Server& server = m_network->servers[static_cast<size_t>(index)];
    delay(&server);
    if (const auto fault = server.faults.constFind(QStringLiteral("NWParsePath")); fault != server.faults.cend())
        return *fault;
    if (!server.reachable)
        return status::ConnectionRefused;
    const Volume* volume = volumeByName(server, volumeText);
    if (!volume)
        return status::NoSuchVolume;
    connection = clientConnection(index);
    putText(serverName, server.name);
    putText(volumeName, volume->name);
    putText(dirPath, rest.join(QLatin1Char('\\')));
    return status::Success;
}

NWRCODE SimClient::NWGetDriveStatus(quint16 driveNumber, quint16, quint16& status, NWCONN_HANDLE& connection,
                                    std::span<char> rootPath, std::span<char> relativePath, std::span<char> fullPath)
{
    const Lock lock(m_mutex);
    status = NW_UNMAPPED_DRIVE;
    connection = 0;
    if (auto fault = topFault("NWGetDriveStatus"))
        return *fault;
    if (driveNumber < 1 || driveNumber > 26)
        return status::InvalidParameter;
    const QString letter = QString(QChar(u'A' + driveNumber - 1)) + QLatin1Char(':');
    putText(rootPath, QString());
    putText(relativePath, QString());
    putText(fullPath, QString());
    if (m_network->workstation.localDrives.contains(driveNumber)) {
        status = NW_LOCAL_DRIVE;
        putText(rootPath, letter + QLatin1Char('\\'));
        putText(fullPath, letter + QLatin1Char('\\'));
        return status::Success;
    }
    const auto mapping = m_network->workstation.drives.find(driveNumber);
    if (mapping == m_network->workstation.drives.end())
        return status::Success;
    const QString target = mapping->second;
    const qsizetype colon = target.indexOf(QLatin1Char(':'));
    status = NW_NETWARE_DRIVE;
    const int server = m_network->findServer(target.section(QLatin1Char('/'), 0, 0));
    if (server >= 0 && m_network->servers[static_cast<size_t>(server)].reachable)
        connection = clientConnection(server);
    putText(rootPath, target.left(colon + 1));
    putText(relativePath, target.mid(colon + 1));
    putText(fullPath, target);
    return status::Success;
}

NWRCODE SimClient::NWSetDriveBase(quint16 driveNumber, NWCONN_HANDLE connection, NWDirHandle dirHandle,
                                  const QByteArray& dirPath, quint16)
{
    const Lock lock(m_mutex);
    Server* server = nullptr;
    ConnEntry* entry = nullptr;
    if (const NWRCODE rc = serverCall("NWSetDriveBase", connection, server, &entry))
        return rc;
    if (driveNumber < 1 || driveNumber > 26 || m_network->workstation.localDrives.contains(driveNumber))
        return status::InvalidParameter;
    const Volume* volume = nullptr;
    QStringList parts;
    if (const NWRCODE rc = locatePath(*server, *entry, dirHandle, dirPath, volume, parts))
        return rc;
    m_network->workstation.drives[driveNumber] =
        server->name + QLatin1Char('/') + volume->name + QLatin1Char(':') + parts.join(QLatin1Char('\\'));
    return status::Success;
}

NWRCODE SimClient::NWDeleteDriveBase(quint16 driveNumber, quint16)
{
    const Lock lock(m_mutex);
    if (auto fault = topFault("NWDeleteDriveBase"))
        return *fault;
    return m_network->workstation.drives.erase(driveNumber) ? status::Success : status::InvalidParameter;
}

NWRCODE SimClient::NWAllocTempNSDirHandle2(NWCONN_HANDLE connection, NWDirHandle dirHandle, const QByteArray& path,
                                           quint8, NWDirHandle& newDirHandle, quint8)
{
    const Lock lock(m_mutex);
    newDirHandle = 0;
    Server* server = nullptr;
    ConnEntry* entry = nullptr;
    if (const NWRCODE rc = serverCall("NWAllocTempNSDirHandle2", connection, server, &entry))
        return rc;
    const Volume* volume = nullptr;
    QStringList parts;
    if (const NWRCODE rc = locatePath(*server, *entry, dirHandle, path, volume, parts))
        return rc;
    // Long and DOS names both lead to the folder, whatever name space is named.
    const auto resolved = m_files.resolve(serverIndexOf(server), *volume, parts);
    if (!resolved || !m_files.folder(serverIndexOf(server), *volume, *resolved))
        return status::InvalidPath;
    quint8 handle = 1;
    while (entry->dirHandles.count(handle) && handle < 255)
        ++handle;
    if (entry->dirHandles.count(handle))
        return status::InvalidParameter;
    entry->dirHandles[handle] = DirHandleEntry{volume->number, *resolved};
    newDirHandle = handle;
    return status::Success;
}

NWRCODE SimClient::NWDeallocateDirectoryHandle(NWCONN_HANDLE connection, NWDirHandle dirHandle)
{
    const Lock lock(m_mutex);
    Server* server = nullptr;
    ConnEntry* entry = nullptr;
    if (const NWRCODE rc = serverCall("NWDeallocateDirectoryHandle", connection, server, &entry))
        return rc;
    return entry->dirHandles.erase(dirHandle) ? status::Success : status::InvalidParameter;
}

NWRCODE SimClient::NWGetPathFromDirectoryBase(NWCONN_HANDLE connection, quint8 volumeNumber, quint32 directoryBase,
                                              quint8 nameSpace, quint8& length, std::span<quint8> path)
{
    const Lock lock(m_mutex);
    const quint8 room = static_cast<quint8>(std::min<size_t>(length, path.size()));
    length = 0;
    Server* server = nullptr;
    if (const NWRCODE rc = serverCall("NWGetPathFromDirectoryBase", connection, server))
        return rc;
    const Volume* volume = volumeByNumber(*server, volumeNumber);
    if (!volume)
        return status::NoSuchVolume;
    const int index = serverIndexOf(server);
    const auto longPath = m_files.pathOfBase(index, *volume, directoryBase);
    if (!longPath)
        return status::InvalidPath;
    QStringList names = *longPath;
    if (nameSpace == NW_NS_DOS) {
        const auto dos = m_files.dosPath(index, *volume, *longPath);
        if (!dos)
            return status::InvalidPath;
        names = *dos;
    }
    QByteArray bytes;
    for (const QString& name : names) {
        const QByteArray part = outputBytes(name).left(255);
        bytes.append(static_cast<char>(part.size()));
        bytes.append(part);
    }
    if (bytes.size() > room)
        return status::BufferTooSmall;
    std::copy(bytes.begin(), bytes.end(), path.begin());
    length = static_cast<quint8>(bytes.size());
    return status::Success;
}

NWRCODE SimClient::NWGetLongName(NWCONN_HANDLE connection, NWDirHandle dirHandle, const QByteArray& path, quint8,
                                 quint8 dstNameSpace, std::span<char> longName)
{
    const Lock lock(m_mutex);
    Server* server = nullptr;
    ConnEntry* entry = nullptr;
    if (const NWRCODE rc = serverCall("NWGetLongName", connection, server, &entry))
        return rc;
    const Volume* volume = nullptr;
    QStringList parts;
    if (const NWRCODE rc = locatePath(*server, *entry, dirHandle, path, volume, parts))
        return rc;
    const int index = serverIndexOf(server);
    const auto resolved = m_files.resolve(index, *volume, parts);
    if (!resolved)
        return status::NoFilesFound;
    if (resolved->isEmpty()) {
        putText(longName, volume->name);
        return status::Success;
    }
    if (dstNameSpace == NW_NS_DOS) {
        const auto dos = m_files.dosPath(index, *volume, *resolved);
        putText(longName, dos ? dos->last() : resolved->last());
    } else {
        putText(longName, resolved->last());
    }
    return status::Success;
}

QString SimClient::localPathOf(const QString& networkPath) const
{
    const Lock lock(m_mutex);
    QString text = networkPath;
    text.replace(QLatin1Char('/'), QLatin1Char('\\'));
    if (!text.startsWith(QLatin1String("\\\\")))
        return {};
    QStringList parts = text.mid(2).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (parts.size() < 2)
        return {};
    const int index = m_network->findServer(parts.takeFirst());
    if (index < 0)
        return {};
    const Server& server = m_network->servers[static_cast<size_t>(index)];
    if (!server.reachable)
        return {};
    const Volume* volume = volumeByName(server, parts.takeFirst());
    if (!volume)
        return {};
    const QString root = m_files.volumeFolder(index, *volume);
    if (root.isEmpty())
        return {};
    QString path = root;
    for (const QString& part : std::as_const(parts)) {
        if (part == QLatin1String(".") || part == QLatin1String(".."))
            return {};
        const QStringList entries = QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        const auto it =
            std::find_if(entries.begin(), entries.end(), [&](const QString& e) { return nameKey(e) == nameKey(part); });
        if (it == entries.end())
            return {};
        path += QLatin1Char('/') + *it;
    }
    // The abend log and the folders browsed for file locks are read from
    // here: a link must not take them out of the volume.
    return staysInside(path, root) ? path : QString();
}

}  // namespace nw::sim

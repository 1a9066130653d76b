#include "netware/sim/SimFiles.h"

#include "netware/sim/SimGenerator.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace nw::sim {

namespace {

bool isDosChar(QChar c)
{
    if (c.unicode() > 127)
        return false;
    if (c.isLetterOrNumber())
        return true;
    static const QString extra = QStringLiteral("!#$%&'()-@^_`{}~");
    return extra.contains(c);
}

QString validChars(const QString& text)
{
    QString result;
    for (QChar c : text) {
        const QChar upper = c.toUpper();
        if (isDosChar(upper))
            result.append(upper);
    }
    return result;
}

QString pathKey(const QStringList& path)
{
    return nameKey(path.join(QLatin1Char('\\')));
}

}  // namespace

bool isValidDosName(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    const QString base = dot < 0 ? name : name.left(dot);
    const QString ext = dot < 0 ? QString() : name.mid(dot + 1);
    if (base.isEmpty() || base.size() > 8 || ext.size() > 3 || (dot >= 0 && ext.isEmpty()))
        return false;
    for (QChar c : base + ext)
        if (!isDosChar(c) || c.isLower())
            return false;
    return true;
}

QStringList deriveDosNames(const QStringList& longNames)
{
    QStringList result;
    QSet<QString> taken;
    for (const QString& name : longNames)
        if (isValidDosName(name))
            taken.insert(name);
    // The numbers already given for each stem and extension: every number up
    // to the last one given is taken, so the search goes on after it instead
    // of from 1 (a folder of many like names would otherwise take the square
    // of their number).
    QHash<QString, int> lastNumber;
    for (const QString& name : longNames) {
        if (isValidDosName(name)) {
            result.append(name);
            continue;
        }
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        const QString base = validChars(dot > 0 ? name.left(dot) : name);
        const QString ext = dot > 0 ? validChars(name.mid(dot + 1)).left(3) : QString();
        int& last = lastNumber[base.left(6) + QLatin1Char('.') + ext];
        QString shortName;
        for (int n = last + 1;; ++n) {
            const QString tail = QLatin1Char('~') + QString::number(n);
            shortName = base.left(std::min<qsizetype>(6, 8 - tail.size())) + tail;
            if (!ext.isEmpty())
                shortName += QLatin1Char('.') + ext;
            if (!taken.contains(shortName)) {
                last = n;
                break;
            }
        }
        taken.insert(shortName);
        result.append(shortName);
    }
    return result;
}

bool staysInside(const QString& path, const QString& root)
{
    const QString canonicalRoot = QFileInfo(root).canonicalFilePath();
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (canonicalRoot.isEmpty() || canonical.isEmpty())
        return false;
    if (canonical == canonicalRoot)
        return true;
    const QString prefix = canonicalRoot.endsWith(QLatin1Char('/')) ? canonicalRoot : canonicalRoot + QLatin1Char('/');
    return canonical.startsWith(prefix);
}

QString VolumeFiles::volumeKey(int server, const Volume& volume) const
{
    return QString::number(server) + QLatin1Char('/') + nameKey(volume.name);
}

QString VolumeFiles::volumeFolder(int server, const Volume& volume) const
{
    if (m_network.fileRoot.isEmpty())
        return {};
    // Components are matched without regard to case, as on the server.
    QString folder = m_network.fileRoot;
    for (const QString& part : {m_network.servers[static_cast<size_t>(server)].name, volume.name}) {
        const QStringList entries = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        const auto it =
            std::find_if(entries.begin(), entries.end(), [&](const QString& e) { return nameKey(e) == nameKey(part); });
        if (it == entries.end())
            return {};
        folder += QLatin1Char('/') + *it;
    }
    return folder;
}

std::optional<std::vector<VolumeFiles::Entry>> VolumeFiles::folder(int server, const Volume& volume,
                                                                   const QStringList& longPath)
{
    const QString key = volumeKey(server, volume) + QLatin1Char('|') + pathKey(longPath);
    const auto cached = m_folders.constFind(key);
    if (cached != m_folders.cend())
        return *cached;

    bool exists = longPath.isEmpty();
    QStringList names;
    QSet<QString> seen;
    QSet<QString> folders;
    auto add = [&](const QString& name, bool isFolder) {
        if (!seen.contains(nameKey(name))) {
            seen.insert(nameKey(name));
            names.append(name);
        }
        if (isFolder)
            folders.insert(nameKey(name));
    };

    const QString root = volumeFolder(server, volume);
    if (!root.isEmpty()) {
        QString dir = root;
        bool found = true;
        for (const QString& part : longPath) {
            const QStringList entries = QDir(dir).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
            const auto it = std::find_if(entries.begin(), entries.end(),
                                         [&](const QString& e) { return nameKey(e) == nameKey(part); });
            if (it == entries.end()) {
                found = false;
                break;
            }
            dir += QLatin1Char('/') + *it;
        }
        if (found && staysInside(dir, root)) {
            exists = true;
            const QFileInfoList infos = QDir(dir).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
            for (const QFileInfo& info : infos) {
                if (!info.isSymLink() || staysInside(info.filePath(), root))
                    add(info.fileName(), info.isDir());
            }
        }
    }

    // Files held open name their folders too, whether or not they exist on disk.
    Server& s = m_network.servers[static_cast<size_t>(server)];
    for (const Connection& c : serverLists(s).connections) {
        for (const OpenFile& f : c.openFiles) {
            if (nameKey(f.volume) != nameKey(volume.name))
                continue;
            const QStringList parts = f.path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
            if (parts.size() <= longPath.size())
                continue;
            bool under = true;
            for (qsizetype i = 0; i < longPath.size() && under; ++i)
                under = nameKey(parts[i]) == nameKey(longPath[i]);
            if (!under)
                continue;
            exists = true;
            add(parts[longPath.size()], parts.size() > longPath.size() + 1);
        }
    }
    if (!exists)
        return std::nullopt;

    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    const QStringList dos = deriveDosNames(names);
    std::vector<Entry> entries;
    entries.reserve(static_cast<size_t>(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i)
        entries.push_back(Entry{names[i], dos[i], folders.contains(nameKey(names[i]))});
    m_folders.insert(key, entries);
    return entries;
}

std::optional<QStringList> VolumeFiles::resolve(int server, const Volume& volume, const QStringList& components)
{
    QStringList longPath;
    for (const QString& part : components) {
        const auto entries = folder(server, volume, longPath);
        if (!entries)
            return std::nullopt;
        const auto it = std::find_if(entries->begin(), entries->end(), [&](const Entry& e) {
            return nameKey(e.longName) == nameKey(part) || nameKey(e.dosName) == nameKey(part);
        });
        if (it == entries->end())
            return std::nullopt;
        longPath.append(it->longName);
    }
    return longPath;
}

std::optional<QStringList> VolumeFiles::dosPath(int server, const Volume& volume, const QStringList& longPath)
{
    QStringList result;
    QStringList parent;
    for (const QString& part : longPath) {
        const auto entries = folder(server, volume, parent);
        if (!entries)
            return std::nullopt;
        const auto it = std::find_if(entries->begin(), entries->end(),
                                     [&](const Entry& e) { return nameKey(e.longName) == nameKey(part); });
        if (it == entries->end())
            return std::nullopt;
        result.append(it->dosName);
        parent.append(it->longName);
    }
    return result;
}

quint32 VolumeFiles::directoryBase(int server, const Volume& volume, const QStringList& longPath)
{
    const QString vkey = volumeKey(server, volume);
    auto& bases = m_bases[vkey];
    const QString key = pathKey(longPath);
    const auto it = bases.constFind(key);
    if (it != bases.cend())
        return *it;
    auto& paths = m_basePaths[vkey];
    paths.push_back(longPath);
    // Small numbers are the volume's own system entries on a real server.
    const quint32 base = 0x100 + static_cast<quint32>(paths.size());
    bases.insert(key, base);
    return base;
}

std::optional<QStringList> VolumeFiles::pathOfBase(int server, const Volume& volume, quint32 base) const
{
    const auto it = m_basePaths.constFind(volumeKey(server, volume));
    if (it == m_basePaths.cend() || base <= 0x100 || base - 0x100 > it->size())
        return std::nullopt;
    return (*it)[base - 0x101];
}

}  // namespace nw::sim

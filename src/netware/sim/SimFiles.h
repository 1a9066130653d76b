#pragma once
// The volumes' files as the client sees them: long names from the folders
// under fileRoot (and from the paths of files that connections hold open),
// DOS names derived from them the way NetWare does, and directory base
// numbers that stay the same for the whole run.

#include "netware/sim/SimModel.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace nw::sim {

// True for a name DOS accepts unchanged: upper case, 1-8 characters, an
// optional extension of 1-3, only characters valid in short names.
bool isValidDosName(const QString& name);

// Short names for the long names of one folder, in the order given. Valid
// upper-case 8.3 names keep their name; the others get the first six valid
// characters, "~", the lowest number not yet taken in the folder, and the
// first three characters of the extension.
QStringList deriveDosNames(const QStringList& longNames);

// True when `path`, with every link on the way followed, is the folder
// `root` or lies below it. A volume's tree on disk may hold links, but one
// that leads out of the volume's folder leads nowhere on the server: the
// client must not tell what is there.
bool staysInside(const QString& path, const QString& root);

class VolumeFiles {
public:
    explicit VolumeFiles(Network& network) : m_network(network) {}

    struct Entry {
        QString longName;
        QString dosName;
        bool folder = false;
    };

    // The entries of a folder given by long components from the volume root;
    // nullopt when the folder does not exist. Links leading out of the
    // volume's folder are no entries.
    std::optional<std::vector<Entry>> folder(int server, const Volume& volume, const QStringList& longPath);

    // Matches each component against long or DOS names (without regard to
    // case) and returns the long names; nullopt when a component is missing.
    std::optional<QStringList> resolve(int server, const Volume& volume, const QStringList& components);

    // The same path in DOS names.
    std::optional<QStringList> dosPath(int server, const Volume& volume, const QStringList& longPath);

    // The real folder of the volume under fileRoot, or empty.
    QString volumeFolder(int server, const Volume& volume) const;

    quint32 directoryBase(int server, const Volume& volume, const QStringList& longPath);
    std::optional<QStringList> pathOfBase(int server, const Volume& volume, quint32 base) const;

private:
    QString volumeKey(int server, const Volume& volume) const;

    Network& m_network;
    QHash<QString, std::vector<Entry>> m_folders;          // volume key + path key -> entries
    QHash<QString, QHash<QString, quint32>> m_bases;       // volume key -> path key -> base
    QHash<QString, std::vector<QStringList>> m_basePaths;  // volume key -> base - 1 -> path
};

}  // namespace nw::sim

#pragma once
// The registry kept in one .reg file (see RegFile.h) where there is no
// Windows registry. Both hives live in the same file.
//
// Several Veskaro processes may share the file. Each change takes the
// operating system's lock on the lock file beside it (writers wait their turn
// in the kernel's queue; a killed writer's lock goes with it), reads what is
// on disk at that moment, applies only its own
// change and replaces the file in one step (a new file in the same folder,
// synced, renamed over the old), so a crash leaves either the old or the new
// file and two processes writing at once lose nothing. The lock file names
// the new file while a save is under way, so that the next change removes
// the one a killed save left; nothing else beside the settings is ever
// removed (copies such as "Veskaro.reg.backup" are the user's). Reads follow changes
// made by others as soon as the file's size, time or identity changes. A
// device, pipe, socket or folder at the path is never read or replaced.

#include "settings/RegFile.h"
#include "settings/RegistryStore.h"

#include <QSet>
#include <QStringList>

#include <functional>
#include <optional>

namespace settings {

class FileRegistryStore : public RegistryStore {
public:
    explicit FileRegistryStore(QString filePath);

    QString filePath() const { return m_path; }

    // Problems with the file (an unreadable file kept aside, a change that
    // could not be written) are told once a run, however many reads and
    // changes meet them. Until a sink is set they are kept for takeWarning().
    //
    // Oldest problem not yet taken, or an empty text when there is none.
    QString takeWarning();
    bool hasWarning() const { return !m_warnings.isEmpty(); }
    // Where problems that arise from now on go, instead of being kept.
    using WarningSink = std::function<void(const QString&)>;
    void setWarningSink(WarningSink sink) { m_sink = std::move(sink); }

    bool keyExists(Hive hive, const QString& path) const override;
    bool createKey(Hive hive, const QString& path) override;
    std::optional<QString> queryValue(Hive hive, const QString& path, const QString& name) const override;
    bool setValue(Hive hive, const QString& path, const QString& name, const QString& data) override;
    bool deleteValue(Hive hive, const QString& path, const QString& name) override;
    std::optional<QString> enumKey(Hive hive, const QString& path, int index) const override;

private:
    struct Stamp {
        bool exists = false;
        qint64 size = 0;
        qint64 modified = 0;   // nanoseconds where the file system keeps them
        quint64 identity = 0;  // inode: a replaced file is a new file
        friend bool operator==(const Stamp&, const Stamp&) = default;
    };
    struct Outcome {
        bool result = false;
        bool changed = false;
    };

    Stamp stamp() const;
    void refresh() const;
    bool change(const std::function<Outcome(regfile::Tree&)>& apply);
    void warn(const QString& text) const;

    QString m_path;
    mutable regfile::Tree m_tree;
    mutable std::optional<Stamp> m_loaded;
    mutable QStringList m_warnings;
    mutable QSet<QString> m_told;  // every problem told this run
    WarningSink m_sink;
    // Where an unreadable file will be kept aside, once it has been reported.
    mutable QString m_announcedAside;
};

// A full key path in the file: the hive's name, then the path below it.
QString hivePath(Hive hive, const QString& path);

// The user-facing warning of a store that keeps one (the file store), or an empty text.
QString takeStoreWarning(RegistryStore& store);
// Sends the later problems of a store that has them (the file store) to `sink`.
void setStoreWarningSink(RegistryStore& store, FileRegistryStore::WarningSink sink);

}  // namespace settings

#pragma once
// The history database: a SQLite file of its own (Qt SQL), by default in the
// user's application data folder, or the file VESKARO_HISTORY names.
//
// The file carries the program's application id and a schema version
// (PRAGMA user_version) that migrations bring up to date. It is written in
// WAL mode with a busy timeout, so that the window and a scheduled
// veskaro-report can write at once. A file that is damaged or is some other
// program's database is kept beside it (name.broken-<time>) and a new one
// started; a file of a newer schema is left as it is and nothing is kept.
//
// One store is one connection and belongs to the thread that opened it;
// each thread that writes opens a store of its own.

#include "history/Changes.h"
#include "history/HistoryTypes.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace history {

inline constexpr int kSchemaVersion = 1;
// "VsKH": tells the program's history files from other SQLite databases.
inline constexpr int kApplicationId = 0x56734B48;
inline constexpr int kBusyTimeoutMs = 5000;

// Full samples are kept this long, then per minute (the maxima) for
// kMinuteDays, then per hour (the maxima) for the HistoryDays setting.
inline constexpr qint64 kFullSampleHours = 48;
inline constexpr qint64 kMinuteDays = 30;

// VESKARO_HISTORY, else history.sqlite in the application data folder.
QString defaultHistoryPath();

class HistoryStore {
public:
    explicit HistoryStore(QString path);
    ~HistoryStore();
    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    // Opens (or makes) the file on the calling thread. False when nothing can
    // be kept: the reason is among the problems.
    bool open();
    bool isOpen() const { return m_open; }
    const QString& path() const { return m_path; }
    // What the user should hear of (a file kept aside, refused, not
    // writable), each once; emptied by taking.
    QStringList takeProblems();

    // Each call is one transaction; false (and a problem) when it could not be written.
    bool recordSamples(const std::vector<Sample>& samples);
    // Stores those snapshots that differ from their server's last one of
    // their kind; the number stored, or nothing when the write failed.
    std::optional<int> recordSnapshots(const std::vector<Snapshot>& snapshots);
    bool saveBaseline(const QString& name, const std::vector<Snapshot>& snapshots);
    bool clear();
    // Moves samples past their full age into per-minute, then per-hour
    // maxima, and drops what is older than `historyDays`. Snapshots older
    // than that go too, except each server's last one before then (the
    // state it was in when the kept history starts).
    bool prune(const QDateTime& now, int historyDays);

    // The latest snapshot of a server's kind, taken at or before `atOrBefore` when given.
    std::optional<Snapshot> lastSnapshot(const QString& server, SnapshotKind kind,
                                         const std::optional<QDateTime>& atOrBefore = {});
    // Row id of the latest snapshot (0: none), to find "the one before" later.
    qint64 lastSnapshotId(const QString& server, SnapshotKind kind);
    std::optional<Snapshot> snapshotById(qint64 id);
    // Every snapshot of a server, oldest first.
    std::vector<Snapshot> snapshots(const QString& server, SnapshotKind kind);
    std::vector<Snapshot> baseline(const QString& name, const QString& server);
    QStringList baselineNames();
    // Samples in [from, to], oldest first: full samples, per-minute and
    // per-hour maxima where only those are kept.
    std::vector<Sample> samples(const QString& server, const std::optional<QDateTime>& from = {},
                                const std::optional<QDateTime>& to = {});
    // Each `intervalMs` of [from, to] (counted from the epoch) as its highest
    // sample, oldest first: a long period in a bounded number of samples with
    // no peak lost. Every sample for an interval of 1 ms or less.
    std::vector<Sample> sampleMaxima(const QString& server, const QDateTime& from, const QDateTime& to,
                                     qint64 intervalMs);
    qint64 snapshotCount();
    qint64 sampleCount();

private:
    enum class Opening { Opened, SetAside, Refused, Failed };
    Opening openOnce();
    bool migrate();
    void setAside(const QString& why);
    void problem(const QString& text);
    bool beginWrite();
    bool commitWrite();
    void rollbackWrite(const QString& what, const QString& error);

    QString m_path;
    QString m_connection;
    bool m_open = false;
    QStringList m_problems;
};

}  // namespace history

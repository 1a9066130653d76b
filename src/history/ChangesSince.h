#pragma once
// What changed on a set of servers since an earlier moment: the state before
// a reading (the last snapshots then), the state at a date (each server's
// last snapshot at or before it) or a named baseline, held against each
// server's latest snapshots. The one rule of the Changes view and of
// veskaro-report's changes command.

#include "history/Changes.h"
#include "history/HistoryTypes.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace history {

class HistoryStore;

// The kinds of a server's state, in the order their changes are listed.
inline constexpr std::array kStateKinds = {SnapshotKind::Facts, SnapshotKind::Modules, SnapshotKind::Parameters,
                                           SnapshotKind::Volumes};
// What a baseline holds.
inline constexpr std::array kBaselineKinds = {SnapshotKind::Modules, SnapshotKind::Parameters};

// The row ids of each server's last snapshots, server by server and within
// a server in kStateKinds order (0: none yet): the state before a reading.
using StateMarks = std::vector<qint64>;
StateMarks lastSnapshotIds(HistoryStore& store, const QStringList& servers);

// Where a comparison starts.
struct ChangeOrigin {
    enum class From { Marks, Date, Baseline };
    From from = From::Marks;
    StateMarks marks;  // From::Marks: lastSnapshotIds of the same servers
    QDateTime date;    // From::Date
    QString baseline;  // From::Baseline
};

// A change and the time of the later of the two snapshots it lies between.
struct DatedChange {
    Change change;
    QDateTime when;  // UTC
};

// The changes of each server from the origin to its latest snapshots, server
// by server in the order given, each server's in kStateKinds order (a
// baseline's in the order it was saved). Servers in `skipped` (those not
// read) and kinds without a snapshot on either side give nothing.
std::vector<DatedChange> changesSince(HistoryStore& store, const QStringList& servers, const ChangeOrigin& origin,
                                      const QStringList& skipped = {});

// A server's state of one kind at a date (its last snapshot at or before it)
// or in a baseline. Nothing for From::Marks or when none is kept.
std::optional<Snapshot> pastSnapshot(HistoryStore& store, const QString& server, SnapshotKind kind,
                                     const ChangeOrigin& origin);

// Newest first; changes of one moment keep their order.
void sortNewestFirst(std::vector<DatedChange>& changes);

// The latest snapshots of the baseline kinds of each server (the servers
// having none are left out), to be kept under a baseline's name.
std::vector<Snapshot> latestBaselineSnapshots(HistoryStore& store, const QStringList& servers);

}  // namespace history

#include "history/ChangesSince.h"

#include "history/HistoryStore.h"

#include <algorithm>
#include <optional>

namespace history {

namespace {

void appendChanges(std::vector<DatedChange>& into, const QString& server, SnapshotKind kind, const Snapshot& then,
                   const Snapshot& now)
{
    for (Change& change : compareItems(server, kind, then.items, now.items))
        into.push_back({std::move(change), now.taken});
}

}  // namespace

StateMarks lastSnapshotIds(HistoryStore& store, const QStringList& servers)
{
    StateMarks ids;
    ids.reserve(static_cast<size_t>(servers.size()) * kStateKinds.size());
    for (const QString& server : servers) {
        for (const SnapshotKind kind : kStateKinds)
            ids.push_back(store.lastSnapshotId(server, kind));
    }
    return ids;
}

std::vector<DatedChange> changesSince(HistoryStore& store, const QStringList& servers, const ChangeOrigin& origin,
                                      const QStringList& skipped)
{
    std::vector<DatedChange> found;
    for (qsizetype s = 0; s < servers.size(); ++s) {
        const QString& server = servers.at(s);
        if (skipped.contains(server))
            continue;
        if (origin.from == ChangeOrigin::From::Baseline) {
            for (const Snapshot& saved : store.baseline(origin.baseline, server)) {
                if (const std::optional<Snapshot> now = store.lastSnapshot(server, saved.kind))
                    appendChanges(found, server, saved.kind, saved, *now);
            }
            continue;
        }
        for (size_t k = 0; k < kStateKinds.size(); ++k) {
            const SnapshotKind kind = kStateKinds[k];
            std::optional<Snapshot> then;
            if (origin.from == ChangeOrigin::From::Date) {
                then = store.lastSnapshot(server, kind, origin.date);
            } else {
                const size_t at = static_cast<size_t>(s) * kStateKinds.size() + k;
                if (at < origin.marks.size())
                    then = store.snapshotById(origin.marks[at]);
            }
            if (!then)
                continue;
            if (const std::optional<Snapshot> now = store.lastSnapshot(server, kind))
                appendChanges(found, server, kind, *then, *now);
        }
    }
    return found;
}

std::optional<Snapshot> pastSnapshot(HistoryStore& store, const QString& server, SnapshotKind kind,
                                     const ChangeOrigin& origin)
{
    switch (origin.from) {
    case ChangeOrigin::From::Date:
        return store.lastSnapshot(server, kind, origin.date);
    case ChangeOrigin::From::Baseline:
        for (Snapshot& saved : store.baseline(origin.baseline, server)) {
            if (saved.kind == kind)
                return std::move(saved);
        }
        return std::nullopt;
    case ChangeOrigin::From::Marks:
        break;
    }
    return std::nullopt;
}

void sortNewestFirst(std::vector<DatedChange>& changes)
{
    std::stable_sort(changes.begin(), changes.end(),
                     [](const DatedChange& a, const DatedChange& b) { return a.when > b.when; });
}

std::vector<Snapshot> latestBaselineSnapshots(HistoryStore& store, const QStringList& servers)
{
    std::vector<Snapshot> snapshots;
    for (const QString& server : servers) {
        for (const SnapshotKind kind : kBaselineKinds) {
            if (std::optional<Snapshot> last = store.lastSnapshot(server, kind))
                snapshots.push_back(std::move(*last));
        }
    }
    return snapshots;
}

}  // namespace history

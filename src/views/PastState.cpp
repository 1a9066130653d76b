#include "views/PastState.h"

#include "core/AppContext.h"
#include "history/HistoryRecorder.h"
#include "history/HistoryStore.h"

namespace views {

QString pastStateLabel(const PastState& state)
{
    if (state.origin.from == history::ChangeOrigin::From::Baseline)
        return QStringLiteral("%1 [%2]").arg(state.server, state.origin.baseline);
    return QStringLiteral("%1 @ %2").arg(state.server,
                                         state.origin.date.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")));
}

std::optional<history::Snapshot> readPastState(core::AppContext& context, const PastState& state,
                                               history::SnapshotKind kind, QString* problem)
{
    const auto fail = [problem](const QString& why) -> std::optional<history::Snapshot> {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    if (!context.history)
        return fail(QStringLiteral("No history is kept in this run."));
    if (state.server.trimmed().isEmpty())
        return fail(QStringLiteral("Name the server whose past state is to be shown."));
    const PastState asked = state;
    std::optional<history::Snapshot> found =
        context.history->ask<std::optional<history::Snapshot>>([&asked, kind](history::HistoryStore& store) {
            return history::pastSnapshot(store, asked.server.trimmed(), kind, asked.origin);
        });
    if (!found) {
        const QString what = kind == history::SnapshotKind::Modules ? QStringLiteral("loaded modules")
                                                                    : QStringLiteral("SET parameters");
        if (asked.origin.from == history::ChangeOrigin::From::Baseline)
            return fail(QStringLiteral("The baseline \"%1\" holds no %2 of %3.")
                            .arg(asked.origin.baseline, what, asked.server.trimmed()));
        return fail(QStringLiteral("No %1 of %2 are kept from %3 or earlier.")
                        .arg(what, asked.server.trimmed(),
                             asked.origin.date.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"))));
    }
    return found;
}

}  // namespace views

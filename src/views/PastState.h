#pragma once
// A server as it was, for a comparison column beside the live servers: its
// last snapshot at or before a date, or a named baseline. Such a column is
// headed so that nobody takes it for a live server ("FS1 @ 2026-12-01 14:00",
// "FS1 [before SP8]"), is never read from the server again and is not kept
// in the settings.

#include "history/ChangesSince.h"
#include "history/HistoryTypes.h"

#include <QString>

#include <optional>

namespace core {
class AppContext;
}

namespace views {

struct PastState {
    QString server;
    history::ChangeOrigin origin;  // From::Date or From::Baseline
};

// "FS1 @ 2026-12-01 14:00" (the date in the workstation's time zone) or "FS1 [before SP8]".
QString pastStateLabel(const PastState& state);

// The kept state of one kind. Nothing, and *problem says why for the user,
// when the run keeps no history or none is kept of that server then.
std::optional<history::Snapshot> readPastState(core::AppContext& context, const PastState& state,
                                               history::SnapshotKind kind, QString* problem = nullptr);

}  // namespace views

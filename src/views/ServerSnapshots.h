#pragma once
// Reading the whole state the history keeps of a server in one go: its
// facts, loaded modules, SET parameters and volumes, as the views that show
// them read them. Runs on a reading thread and touches no window.

#include "history/HistoryTypes.h"
#include "netware/NetWareClient.h"

#include <QString>

#include <vector>

namespace core {
class AppContext;
}
namespace nw {
class ReadStop;
}

namespace views {

struct ServerStateRead {
    nw::NWRCODE opened = 0;  // the connection for facts, modules and parameters
    nw::NWRCODE authenticated = 0;
    // A snapshot of each kind that was read completely (a stop, or a volume
    // whose space could not be read, leaves its kind out: an unread item is
    // no removed one).
    std::vector<history::Snapshot> snapshots;
};

ServerStateRead readServerState(core::AppContext& context, const QString& server, const nw::ReadStop& stop);

// The kinds of a baseline, read now: modules and SET parameters.
ServerStateRead readBaselineState(core::AppContext& context, const QString& server, const nw::ReadStop& stop);

}  // namespace views

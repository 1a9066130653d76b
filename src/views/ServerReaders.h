#pragma once
// Reading a server's loaded modules and SET parameters over an open connection.

#include "netware/NetWareClient.h"
#include "netware/ServerReads.h"
#include "views/ServerFormats.h"

#include <QString>

#include <functional>
#include <vector>

namespace views {

struct LoadedModule {
    quint32 number = 0;
    QString fileName;  // as the server reports it, trimmed
    QString descriptiveName;
    QString copyright;
    nw::NLMInfo info;
};

// Calls `batch` once per successful loaded-list reply with the modules it
// lists, in order. Each reply continues after the highest module number of the
// previous one, so every loaded module is read exactly once however many
// numbers a reply holds. Ends at the first failing request or an empty reply,
// or when `stop` asks for it between requests.
void readLoadedModules(nw::NetWareClient& client, nw::NWCONN_HANDLE connection,
                       const std::function<void(const std::vector<LoadedModule>&)>& batch,
                       const nw::ReadStop& stop = {});

// Calls `parameter` for each SET parameter in the server's order. Ends when a
// request fails or the server names no further parameter, or when `stop`
// asks for it between requests.
void readSetParameters(nw::NetWareClient& client, nw::NWCONN_HANDLE connection,
                       const std::function<void(const SetParameter&)>& parameter, const nw::ReadStop& stop = {});

}  // namespace views

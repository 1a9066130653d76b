#pragma once
// The one place where the rest of the program obtains its NetWare client.
// On machines without the client libraries this is the simulated network named
// by VESKARO_NETWORK, or the built-in demo network when that is unset.

#include "netware/NetWareClient.h"

#include <QString>

#include <memory>

namespace nw {

struct ClientLoad {
    enum class Outcome {
        Loaded,        // client ready
        NotInstalled,  // the client libraries are missing (the program must end)
        Unreadable,    // the network description cannot be read or is invalid
    };
    Outcome outcome = Outcome::NotInstalled;
    std::unique_ptr<NetWareClient> client;
    QString problem;  // for Unreadable: names the file, the place and the fault
};

// Loads the client the way the program and veskaro-report do.
ClientLoad loadNetWareClient();

// Loads a simulated network from a description file (tests, benchmarks).
ClientLoad loadSimulatedNetwork(const QString& descriptionPath);

// Loads a simulated network from description text; relative paths (fileRoot)
// are taken against baseDir.
ClientLoad loadSimulatedNetworkFromJson(const QByteArray& json, const QString& baseDir, const QString& sourceName);

}  // namespace nw

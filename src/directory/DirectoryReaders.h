#pragma once
// Directory work of the login, container-browser and starting-container
// dialogs: one level of containers, the trees the workstation is connected
// to, the trees advertised on the network, the user's own container and the
// login itself. Each call creates its own directory context and frees it.

#include "core/AppContext.h"
#include "netware/NetWareClient.h"
#include "directory/ContainerNames.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace directory {

struct ContainerEntry {
    QString name;  // relative name, typeless
    ContainerClass containerClass;
};

struct ContainerLevel {
    std::vector<ContainerEntry> containers;  // in the order listed
    bool failed = false;                     // the listing itself failed
};

// The containers directly under `context` ("[Root]" or a dotted name) of
// `tree`. A failed listing shows "Error - <code> listing containers! Selected
// container is: <context>" and ends it; a name that cannot be read shows
// "Error - <code> getting object name!" and is skipped. Objects of other
// classes than the four containers are left out.
ContainerLevel listContainerLevel(core::AppContext& context, const QString& tree, const QString& containerContext);

// Names of the trees the workstation is connected to; a failed scan shows
// "NWDSScanConnsForTrees failed, E=<code>" and gives none.
QStringList connectedTrees(core::AppContext& context);

// Names of the directory trees advertised on the network; none when the scan fails.
QStringList advertisedTrees(nw::NetWareClient& client);

// The user's own container in treeName as a dotted absolute name (.ACME),
// or "[PUBLIC]" when the workstation is not logged in to that tree.
QString userContext(core::AppContext& context);

struct LoginRequest {
    QString tree;  // as typed; sent in upper case
    QString name;  // the full login name (user and context)
    QString password;
    QString server;  // attached to first when not empty
};

// Logs in to the tree; the status of NWDSLogin (0 success, 0x8884 the tree
// cannot be reached, anything else a refused name or password).
nw::NWRCODE loginToTree(core::AppContext& context, const LoginRequest& request);

// Attaches to a server by name before the tree is used, so that the client
// reaches the tree through it; the result does not matter to the caller.
void attachToServer(nw::NetWareClient& client, const QString& server);

}  // namespace directory

#pragma once
// Routines that find servers for the program and talk to the user through the
// program's context: client start-up, the starting container, the server
// search with the hidden servers left out, a server's volume names and a free
// drive letter.

#include "netware/NetWareClient.h"

#include <QString>
#include <QStringList>

namespace core {
class AppContext;
}

namespace nw {

// Reads the tree of the client's current directory context into treeName.
void initClient(core::AppContext& context);

// Reads StartingServerContext into startingServerContext ("[Root]" or
// ".OU.O"). Without a stored value it shows the context's starting-container
// dialog, when one is installed; otherwise the search starts at the root. A
// stored container of another tree than treeName starts it at the root too.
void loadStartingServerContext(core::AppContext& context);

struct ServerLists {
    QStringList all;      // every server found, in the order found (lstAllServers)
    QStringList visible;  // those not hidden for treeName (lstServers)
};
// The search-and-filter core of the server discovery: searches objects of
// `objectClass` below the starting container and drops the hidden servers.
ServerLists findServers(core::AppContext& context, const QString& objectClass);

// Drive number (1 = A:) of the first free drive letter from Z: down to B:, or
// 99 after telling the user that none is free.
int findFreeDrive(core::AppContext& context);
// The same without telling anyone (for a reading thread): 99 when none is free.
int findFreeDrive(NetWareClient& client);
// What the user is told when no drive letter is free.
QString noFreeDriveText();

// Adds the server's mounted volume names (without _ADMIN and NSS_ADMIN) to
// `target` when `add` is true, skipping names it already holds.
void listServerVolumes(core::AppContext& context, const QString& server, bool add, QStringList& target);

}  // namespace nw

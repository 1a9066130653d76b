#pragma once
// Routines that several windows share on top of the NetWare client: client
// start-up, server discovery, the starting container, conversions between
// dotted directory names and tree paths, byte-array strings, a free drive
// letter and a server's volume names.

#include "app/AppContext.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <span>

namespace nw {

// --- Byte-array strings -----------------------------------------------------
// Bytes as characters (Windows-1252, the ANSI text of the client) from the first
// element up to, not including, the first 0 byte, and never past the end.
QString fcnBytesToString(std::span<const char> bytes);
QString fcnBytesToString(std::span<const quint8> bytes);
// Stores the character codes of text one by one from the first element, up to
// and including the first NUL; stops at the end of the array (the last element
// then still receives a NUL when the text does not fit).
void subStringToBytes(std::span<char> bytes, const QString& text);
// The NUL-terminated ANSI bytes that client calls take as input.
QByteArray toAnsi(const QString& text);
// Length-prefixed components to "\COMP\COMP"; never reads past `bytes` or past
// `totalLength`, whatever the length bytes say.
QString fcnComponentsToPath(std::span<const quint8> bytes, quint8 totalLength);

// --- Name conversions --------------------------------------------------------
// SALES.ACME -> TREE\ACME\SALES ; .SALES.ACME -> TREE\ACME\SALES\ (trailing backslash)
QString fcnDotsToTreePath(const QString& dotted, const QString& treeName);
// TREE\ACME\SALES -> SALES.ACME ; TREE\ACME\SALES\ -> .SALES.ACME ; TREE\[Root] -> [Root];
// "" -> "[Owner unavailable]".
QString fcnTreePathToDots(const QString& treePath, const QString& treeName);

// --- Client routines -----------------------------------------------------------
// A status as the user sees it in messages: the signed decimal number.
QString fcnStatusText(NWRCODE code);

// Opens a connection to a server by name the way most views do: bindery name
// format, licensed, any transport.
NWRCODE fcnOpenConnByName(NetWareClient& client, const QString& server, NWCONN_HANDLE& connection);

// Closes a connection; a failure is shown as "NWCCCloseConn returned " and the
// status, with `title` (empty: the application title). Returns the status.
NWRCODE subCloseConnReporting(app::AppContext& context, NWCONN_HANDLE connection, const QString& title = {});

// Reads the tree of the client's current directory context into gTreeName.
void subInitClient(app::AppContext& context);

// Shows the starting-container dialog modally; installed by the main window.
// Until it exists a missing StartingServerContext means the tree root.
using StartingContainerDialog = std::function<void(app::AppContext&)>;
void setStartingContainerDialog(StartingContainerDialog dialog);

// Reads StartingServerContext into gStartingServerContext ("[Root]" or ".OU.O").
void subLoadStartingServerContext(app::AppContext& context);

struct ServerLists {
    QStringList all;      // every server found, in the order found (lstAllServers)
    QStringList visible;  // those not hidden for gTreeName (lstServers)
};
// The search-and-filter core of the server discovery: searches objects of
// `objectClass` below the starting container and drops the hidden servers.
ServerLists fcnFindServers(app::AppContext& context, const QString& objectClass);

// Drive number (1 = A:) of the first free drive letter from Z: down to B:, or
// 99 after telling the user that none is free.
int fcnFindFreeDrive(app::AppContext& context);

// Adds the server's mounted volume names (without _ADMIN and NSS_ADMIN) to
// `target` when `add` is true, skipping names it already holds.
void subListServerVolumes(app::AppContext& context, const QString& server, bool add, QStringList& target);

}  // namespace nw

#pragma once
// Routines that several windows share on top of the NetWare client:
// conversions between dotted directory names and tree paths, byte-array
// strings, status texts, opening a connection by name and its number. The
// routines that need the program's context are in ServerDiscovery.h and
// ServerSession.h.

#include "netware/NetWareClient.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <span>

namespace nw {

// --- Byte-array strings -----------------------------------------------------
// Bytes as characters (Windows-1252, the ANSI text of the client) from the first
// element up to, not including, the first 0 byte, and never past the end.
QString bytesToString(std::span<const char> bytes);
QString bytesToString(std::span<const quint8> bytes);
// Stores the character codes of text one by one from the first element, up to
// and including the first NUL; stops at the end of the array (the last element
// then still receives a NUL when the text does not fit).
void stringToBytes(std::span<char> bytes, const QString& text);
// The NUL-terminated ANSI bytes that client calls take as input.
QByteArray toAnsi(const QString& text);
// Length-prefixed components to "\COMP\COMP"; never reads past `bytes` or past
// `totalLength`, whatever the length bytes say.
QString componentsToPath(std::span<const quint8> bytes, quint8 totalLength);

// --- Name conversions --------------------------------------------------------
// SALES.ACME -> TREE\ACME\SALES ; .SALES.ACME -> TREE\ACME\SALES\ (trailing backslash)
QString dotsToTreePath(const QString& dotted, const QString& treeName);
// TREE\ACME\SALES -> SALES.ACME ; TREE\ACME\SALES\ -> .SALES.ACME ; TREE\[Root] -> [Root];
// "" -> "[Owner unavailable]".
QString treePathToDots(const QString& treePath, const QString& treeName);
// Whether a tree path belongs to another tree: its first component, before the
// first backslash, is not treeName (compared without regard to case).
// OTHER_TREE\OTH\ in ACME_TREE is; ACME_TREE\[Root], acme_tree\ACME\ and a
// dotted name without a backslash are not.
bool isPathOfAnotherTree(const QString& treePath, const QString& treeName);

// --- Client routines -----------------------------------------------------------
// What the program takes from a server before it calls a reply broken: a
// listing that has not reported its end after this many replies is cut off,
// and a reply holds no more objects than its largest buffer has room for
// (a count beyond it is read only that far).
constexpr int kMaxListingReplies = 1000;
constexpr quint32 kMaxObjectsPerReply = MAX_MESSAGE_LEN / 8;
// A scan that hands out one item a call ends after this many items.
constexpr int kMaxScannedItems = 10000;

// A status as the user sees it in messages: the signed decimal number.
QString statusText(NWRCODE code);

// How a connection is opened by name: the format of the name, the open state
// and the transport.
struct OpenFlags {
    quint32 nameFormat = NWCC_NAME_FORMAT_BIND;
    quint32 openState = NWCC_OPEN_LICENSED;
    quint32 transport = NW_TRAN_TYPE_WILD;
};

// The way most views open a connection: bindery name, licensed, any transport.
inline constexpr OpenFlags kLicensedByBinderyName{};
// A name of any format, opened public: the connection takes none of the
// server's user licences, so a view that opens one on every refresh does not
// use them up.
inline constexpr OpenFlags kPublicByAnyName{NWCC_NAME_FORMAT_WILD, NWCC_OPEN_PUBLIC, NW_TRAN_TYPE_WILD};

// Opens a connection to a server by name (no start connection).
NWRCODE openConnectionByName(NetWareClient& client, const QString& server, NWCONN_HANDLE& connection,
                             const OpenFlags& flags = kLicensedByBinderyName);

// The connection number the server gave this connection, as text.
QString connectionNumberText(NetWareClient& client, NWCONN_HANDLE connection);

}  // namespace nw

#pragma once
// Who is at the other end of a local socket. A local socket's file
// permissions keep other users out only as long as the socket lies in a
// folder of the user's own; asking the kernel for the peer's user holds
// wherever the socket lies.

#include <QtGlobal>

#include <optional>

namespace platform {

// The user id of the process at the other end of the connected local socket
// `descriptor`; nothing when the platform cannot tell.
std::optional<uint> peerUserId(qintptr descriptor);

// True when a peer may be talked to as one of the user's own: its user is
// known and is `own`. Where the platform has no user ids at all (`own` is
// nothing) the socket's own access rules are all there is, and they decide.
bool isSameUser(std::optional<uint> peer, std::optional<uint> own);

}  // namespace platform

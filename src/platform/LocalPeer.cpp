#include "platform/LocalPeer.h"

#if defined(Q_OS_LINUX)
#include <sys/socket.h>
#elif defined(Q_OS_UNIX)
#include <sys/types.h>
#include <unistd.h>
#endif

namespace platform {

std::optional<uint> peerUserId(qintptr descriptor)
{
    if (descriptor < 0)
        return std::nullopt;
#if defined(Q_OS_LINUX)
    // The credentials the peer had when it connected or listened.
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (::getsockopt(static_cast<int>(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0
        || size != sizeof credentials)
        return std::nullopt;
    return static_cast<uint>(credentials.uid);
#elif defined(Q_OS_UNIX)
    uid_t uid = 0;
    gid_t gid = 0;
    if (::getpeereid(static_cast<int>(descriptor), &uid, &gid) != 0)
        return std::nullopt;
    return static_cast<uint>(uid);
#else
    return std::nullopt;
#endif
}

bool isSameUser(std::optional<uint> peer, std::optional<uint> own)
{
    if (!own)
        return true;
    return peer && *peer == *own;
}

}  // namespace platform

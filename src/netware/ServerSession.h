#pragma once
// One connection to a server for one operation. Views never keep a connection
// between operations or timer ticks: they open it by the server's name,
// authenticate it to the directory when the operation needs rights, use it and
// close it. The session closes on every path out of the operation, and a close
// the client refuses is reported with the program's message
// ("NWCCCloseConn returned " and the status).
//
// A reader that works with the client alone (its caller records whether the
// server answered and decides what a failed close means) opens a session
// without a context: it records nothing and shows nothing, and closes quietly.

#include "core/AppContext.h"
#include "netware/NetWareClient.h"
#include "netware/NovellCalls.h"

#include <QString>

namespace nw {

// Closes a connection; a failure is shown as "NWCCCloseConn returned " and the
// status, with `title` (empty: the application title). Returns the status.
NWRCODE closeConnectionReporting(core::AppContext& context, NWCONN_HANDLE connection, const QString& title = {});

// What opening and authenticating a session gave: the open's status, and the
// authentication's once the open succeeded (0 until then).
struct SessionStart {
    NWRCODE opened = status::Success;
    NWRCODE authenticated = status::Success;
    bool ready() const { return opened == status::Success && authenticated == status::Success; }
};

class ServerSession {
public:
    // flags: how the connection is opened; each view states what it needs.
    ServerSession(core::AppContext& context, QString server, const OpenFlags& flags = kLicensedByBinderyName);
    // A session without a context: open() records nothing in the program's
    // reachability, and close() is closeQuietly().
    ServerSession(NetWareClient& client, QString server, const OpenFlags& flags = kLicensedByBinderyName);
    ~ServerSession();

    ServerSession(const ServerSession&) = delete;
    ServerSession& operator=(const ServerSession&) = delete;

    // Opens the connection by name with the session's flags. Returns the
    // client's status; 0 when open.
    NWRCODE open();
    // Authenticates the open connection to the directory. Returns the status.
    NWRCODE authenticate();
    // open() and then authenticate(). A connection the directory refuses is
    // closed again quietly: nothing was read over it, so nothing is reported.
    SessionStart openAuthenticated();

    bool isOpen() const { return m_open; }
    NWCONN_HANDLE handle() const { return m_connection; }
    const QString& server() const { return m_server; }
    const OpenFlags& flags() const { return m_flags; }
    NetWareClient& client() const { return m_client; }

    // Title of the message that reports a failed close (empty: the
    // application title).
    void setCloseTitle(const QString& title) { m_closeTitle = title; }
    // Closes now, reporting a failure (a session without a context closes
    // quietly); later calls and the destructor do nothing. The message box
    // lets events run: a caller that goes on must check that its window
    // still exists.
    NWRCODE close();
    // Closes now without a message (a session given up on anyway); returns
    // the status.
    NWRCODE closeQuietly();

private:
    NetWareClient& m_client;
    core::AppContext* m_context = nullptr;  // none: nothing recorded, nothing shown
    QString m_server;
    OpenFlags m_flags;
    QString m_closeTitle;
    NWCONN_HANDLE m_connection = 0;
    bool m_open = false;
};

// A close that failed on a reading thread (closeQuietly), told later on the
// window thread with the same message as close(): "NWCCCloseConn returned "
// and the status, with `title` (empty: the application title). Nothing for 0.
void reportCloseFailure(core::AppContext& context, NWRCODE closed, const QString& title = {});

}  // namespace nw

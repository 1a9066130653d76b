#include "netware/ServerSession.h"

#include "netware/NovellCalls.h"
#include "platform/Services.h"

namespace nw {

NWRCODE closeConnectionReporting(core::AppContext& context, NWCONN_HANDLE connection, const QString& title)
{
    const NWRCODE rc = context.client().NWCCCloseConn(connection);
    if (rc != status::Success)
        context.messages().inform(QStringLiteral("NWCCCloseConn returned ") + statusText(rc), title);
    return rc;
}

ServerSession::ServerSession(core::AppContext& context, QString server, const OpenFlags& flags)
    : m_client(context.client())
    , m_context(&context)
    , m_server(std::move(server))
    , m_flags(flags)
{
}

ServerSession::ServerSession(NetWareClient& client, QString server, const OpenFlags& flags)
    : m_client(client)
    , m_server(std::move(server))
    , m_flags(flags)
{
}

ServerSession::~ServerSession()
{
    close();
}

NWRCODE ServerSession::open()
{
    if (m_open)
        return status::Success;
    NWCONN_HANDLE connection = 0;
    const NWRCODE rc = openConnectionByName(m_client, m_server, connection, m_flags);
    // Every view opens its servers here: the server list and the views' status
    // bars learn from this which servers did not answer. A reader without a
    // context leaves that to its caller.
    if (m_context)
        m_context->reachability().record(m_server, rc == status::Success, static_cast<qint32>(rc));
    if (rc == status::Success) {
        m_connection = connection;
        m_open = true;
    }
    return rc;
}

NWRCODE ServerSession::authenticate()
{
    if (!m_open)
        return status::InvalidConnection;
    quint32 reserved = 0;
    return m_client.NWDSAuthenticate(m_connection, 0, &reserved);
}

SessionStart ServerSession::openAuthenticated()
{
    SessionStart start;
    start.opened = open();
    if (start.opened != status::Success)
        return start;
    start.authenticated = authenticate();
    if (start.authenticated != status::Success)
        closeQuietly();
    return start;
}

NWRCODE ServerSession::close()
{
    if (!m_context)
        return closeQuietly();
    if (!m_open)
        return status::Success;
    m_open = false;
    return closeConnectionReporting(*m_context, m_connection, m_closeTitle);
}

NWRCODE ServerSession::closeQuietly()
{
    if (!m_open)
        return status::Success;
    m_open = false;
    return m_client.NWCCCloseConn(m_connection);
}

void reportCloseFailure(core::AppContext& context, NWRCODE closed, const QString& title)
{
    if (closed != status::Success)
        context.messages().inform(QStringLiteral("NWCCCloseConn returned ") + statusText(closed), title);
}

}  // namespace nw

#pragma once
// Reading a server's connections over an open connection: the walk over the
// active-connection lists of every block and type, and the facts of one
// connection turned into the cells of its row.

#include "connections/ConnectionFormats.h"
#include "netware/NetWareClient.h"

#include <QDateTime>
#include <QLocale>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace core {
class AppContext;
}

namespace nw {
class ReadStop;
}

namespace connections {

// Reads one connection and makes its row's cells, in column order.
class ConnectionReader {
public:
    ConnectionReader(nw::NetWareClient& client, nw::NWCONN_HANDLE connection, ColumnChoice columns, quint32 ownNumber,
                     QLocale locale = QLocale());

    // The server's time every connection time of a pass is measured
    // against; without it (or when it could not be read) the times stay empty.
    void setServerTime(std::optional<QDateTime> now) { m_now = std::move(now); }

    // The row of the connection listed under typeName: nothing when its
    // facts cannot be read or its status does not pass the status filter.
    std::optional<QStringList> read(quint16 number, const QString& typeName, const QString& statusFilter);

    // The user text of a row: "*" before the name of the program's own connection.
    static QString userText(const QString& name, bool own);

private:
    int countOpenFiles(quint16 number);

    nw::NetWareClient& m_client;
    nw::NWCONN_HANDLE m_connection;
    ColumnChoice m_columns;
    quint32 m_ownNumber;
    QLocale m_locale;
    std::optional<QDateTime> m_now;
};

// The server's clock; nothing when it cannot be read or makes no date.
std::optional<QDateTime> readServerTime(nw::NetWareClient& client, nw::NWCONN_HANDLE connection);

// What a walk over the active connections asks of its caller.
struct ConnectionWalk {
    // Called for each type whose list was read; false skips the type.
    std::function<bool(const QString& typeName)> wantType;
    // Called for each active connection of a wanted type, in reading order.
    std::function<void(quint16 number, const QString& typeName)> visit;
    // Called between bytes of a bit list; false ends the walk (the window went away).
    std::function<bool()> yield;
};

// Reads the lists of every type code from 2 to 11 for the block starting at
// 1, then the next block of 4096 numbers as long as the type-11 request of
// the block succeeded (at most eight blocks). A failed request skips its
// type. Returns false when yield() ended the walk.
bool walkActiveConnections(nw::NetWareClient& client, nw::NWCONN_HANDLE connection, const ConnectionWalk& walk);

// ---- One pass over a server's connections, on a reading thread -------------

// Connections of its own a pass reads the facts of the listed connections
// over, side by side: the listing connection and up to three more.
inline constexpr int kPassConnections = 4;

struct ConnectionPassRequest {
    QString server;
    ColumnChoice columns;
    quint16 ownNumber = 0;               // the program's own connection ("*"); see learnOwnNumber
    bool learnOwnNumber = false;         // the opening: the own connection is the pass's listing connection
    bool requireAuthentication = false;  // the opening: not authenticated, nothing is listed
    QString typeFilter;
    QString statusFilter;
    int connections = kPassConnections;
    QLocale locale;
};

struct ConnectionPassRow {
    quint16 number = 0;
    QStringList cells;
};

struct ConnectionPass {
    nw::NWRCODE opened = -1;  // opening the listing connection
    nw::NWRCODE authenticated = -1;
    quint16 ownNumber = 0;
    bool complete = false;                // listed to the end, every listed connection read
    std::vector<ConnectionPassRow> rows;  // in reading order; a number may come twice
    nw::NWRCODE closed = 0;               // closing the listing connection (told on the window thread)
};

// One pass as a reading thread makes it: opens the listing connection by
// name (any format, public), authenticates it, walks the active connections
// that pass the type filter, reads the server's clock once for the whole pass
// (all connection times are measured against that one reading), then reads the
// facts of each listed connection, spread over the listing connection and a
// few more of its own to the same server, each opened and closed by its part.
// Every connection is closed on the way out, also when `stop` ends the pass.
ConnectionPass readConnectionPass(core::AppContext& context, const ConnectionPassRequest& request,
                                  const nw::ReadStop& stop);

}  // namespace connections

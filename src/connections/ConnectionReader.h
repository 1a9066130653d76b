#pragma once
// Reading a server's connections over an open connection: the walk over the
// active-connection lists of every block and type, and the facts of one
// connection turned into the cells of its row.

#include "connections/ConnectionFormats.h"
#include "netware/NetWareClient.h"

#include <QLocale>
#include <QStringList>

#include <functional>
#include <optional>

namespace connections {

// Reads one connection and makes its row's cells, in column order.
class ConnectionReader {
public:
    ConnectionReader(nw::NetWareClient& client, nw::NWCONN_HANDLE connection, ColumnChoice columns,
                     quint32 ownNumber, QLocale locale = QLocale());

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
};

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

}  // namespace connections

#pragma once
// Rules of the partitions and replicas view: the display name of a partition,
// the texts of replica types and states with their tool tips, the server
// clock, and the two time views.
//
// The time views show:
// - Replica Time Stamp: the replica's purge time (the field of flag 0x10,
//   seconds since 1 January 1970 UTC: every change up to that moment has
//   reached the replica) as a date and time of the workstation's zone, in the
//   general date format. A stamp more than a minute later than the server's
//   own clock (read with NWGetFileServerDateAndTime in the same pass) cannot
//   be right and is marked " (ahead of server clock)".
// - Sync Time: the seconds by which the replica's purge time trails its last
//   modification time stamp (flag 8): how much recent change the replica has
//   not yet confirmed as synchronised everywhere. 0 means fully synchronised.

#include "models/CellTrouble.h"
#include "netware/NetWareClient.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <array>
#include <functional>
#include <utility>
#include <vector>

namespace directory {

// SALES.ACME -> .ACME.SALES; [Root] -> " [Root]" (so that it sorts first).
QString partitionDisplayName(const QString& dottedName);

// 0 "M", 1 "RW", 2 "RO", 3 "SR"; any other type shows its number.
QString replicaTypeText(quint32 type);
// The replica state's name; a state without a name shows its number.
QString replicaStateText(quint32 state);
// "Master", "Read/Write", "Read Only", "Subordinate Reference", "Not Available"; else empty.
QString cellToolTip(const QString& cellText);

inline const QString kNotAvailable = QStringLiteral("N/A");

// The 8 bytes of NWGetFileServerDateAndTime as a local date and time: a year
// below 100 is 19xx, 100 to 179 is 1900 + value. Invalid when the bytes name
// no date.
QDateTime serverClockTime(const std::array<quint8, 8>& bytes);

QString replicaTimeStampText(quint32 purgeSeconds, const QDateTime& serverClock,
                             const QLocale& locale = QLocale::system());
QString syncTimeText(quint32 modificationSeconds, quint32 purgeSeconds);

// What the cells of the view show: a replica's type, its state, its time
// stamp or its sync time.
enum class ReplicaView { Type, State, TimeStamp, SyncTime };

enum class ReplicaReading {
    Skipped,      // no directory context or reply buffer could be had
    Read,         // the server was reached (its listing may still have failed)
    Unreachable,  // no connection to the server could be opened
};

// The trouble of a cell of the view: a server that could not be read ("N/A")
// is Unavailable in every view; in the Replica State view a replica that is
// not "On" is in transition (Warning) and a "Dead" one Critical.
models::TroubleLevel replicaCellLevel(const QString& cellText, ReplicaView view);

// Reads the replicas `server` holds in `treeName`: `cell` receives the dotted
// name of each partition and the text of its cell in `view`. The server's
// listing is read pass by pass over a connection opened for each pass, and
// cut off after a generous number of replies if it never reports its end.
// *openStatus, when given, receives the status of a failed opening.
ReplicaReading readServerReplicas(nw::NetWareClient& client, const QString& treeName, const QString& server,
                                  ReplicaView view,
                                  const std::function<void(const QString& partition, const QString& text)>& cell,
                                  nw::NWRCODE* openStatus = nullptr);

// What one server's read gave, on a reading thread: how it went and the
// cells of its partitions, in the order the server listed them.
struct ServerReplicas {
    ReplicaReading reading = ReplicaReading::Skipped;
    std::vector<std::pair<QString, QString>> cells;  // dotted partition name, cell text
    nw::NWRCODE openStatus = 0;                      // of the server's connection, when one was tried
};
ServerReplicas readReplicaCells(nw::NetWareClient& client, const QString& treeName, const QString& server,
                                ReplicaView view);

}  // namespace directory

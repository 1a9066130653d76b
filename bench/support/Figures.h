#pragma once
// What every benchmark needs around the code it times: a generated network,
// its servers' connections one after another, and figures printed in one
// layout. Nothing here needs widgets, so a benchmark of the network alone
// stays free of them (and of their memory).

#include "netware/NetWareClient.h"
#include "netware/NovellCalls.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace bench {

// One "generate" group of the network description. Volumes, differences and
// seed start at the loader's own defaults; modules, parameters and
// connections at none, so that a benchmark asks for what it times.
struct ServerGroup {
    QString prefix;
    int count = 0;
    QString context;  // dotted typeless; empty: the tree's first container
    int nlms = 0;
    int setParameters = 0;
    int connections = 0;
    int volumes = 1;
    double differences = 0.05;
    int seed = 1;

    // The servers' names as the generator gives them: GEN001, GEN002, ...
    QStringList names() const;
};

// A network of one tree holding one organization (and optionally units below
// it), filled with generated servers.
struct GeneratedNetwork {
    QString tree = QStringLiteral("BENCH_TREE");
    QString organization = QStringLiteral("BENCH");
    QStringList units;
    QString clock;      // ISO time; empty: the loader's default
    int latencyMs = 0;  // every call answers after this long
    std::vector<ServerGroup> groups;

    // A new group at the end; its reference holds until the next one is added.
    ServerGroup& addGroup(const QString& prefix, int count);
    QByteArray json() const;
};

// The large network of the walking benchmarks: 1,000 servers in two
// containers (EAST and WEST of CORP in BIG_TREE), each with 300 modules, 400
// SET parameters, 5,000 connections and three volumes.
GeneratedNetwork thousandServerNetwork();

// Loads the description; on failure the problem goes to stderr and nothing
// is returned.
std::unique_ptr<nw::NetWareClient> loadNetwork(const QByteArray& json);

// Opens a connection to each server in turn, hands it over and closes it.
template <typename Read>
void forEachServer(nw::NetWareClient& client, const QStringList& servers, Read&& read)
{
    for (const QString& server : servers) {
        nw::NWCONN_HANDLE connection = 0;
        nw::openConnectionByName(client, server, connection);
        read(server, connection);
        client.NWCCCloseConn(connection);
    }
}

// Figures, one a line: "  what .......   12.34 ms".
void report(const char* what, qint64 nanoseconds);
void reportCount(const char* what, qint64 count);

// Runs the step, lets the event loop finish what it started (painting
// included) and prints how long both took.
template <typename Step>
void measure(const char* what, Step&& step)
{
    QElapsedTimer timer;
    timer.start();
    step();
    QCoreApplication::processEvents();
    report(what, timer.nsecsElapsed());
}

// Milliseconds since the timer was last started, restarting it.
double lapMs(QElapsedTimer& timer);

// The most memory the process has held so far, in MiB.
long peakMemoryMiB();
// The heap memory the process holds now, in MiB.
long heapInUseMiB();

// One opening per server at 20, 100, 200, 500 and 1,000 servers: the
// comparison against its floor (each the best of three rounds taken in turn,
// the machine being shared), the ratio, the cost per server and the growth
// against 20 servers. Both take the number of servers and return nanoseconds.
void printGrowthAgainstFloor(const std::function<qint64(size_t)>& comparison,
                             const std::function<qint64(size_t)>& floor);

}  // namespace bench

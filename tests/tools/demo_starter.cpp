// Starts the built-in demo network the way the programs do, for the test of
// several programs starting at once on a fresh cache: exit 0 when the network
// loaded, 1 with the problem on standard error when it did not.

#include "netware/ClientProvider.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const nw::ClientLoad load = nw::loadNetWareClient();
    if (load.outcome == nw::ClientLoad::Outcome::Unreadable) {
        std::fprintf(stderr, "%s\n", qPrintable(load.problem));
        return 1;
    }
    return 0;
}

#include "SimNetwork.h"

#include "netware/ClientProvider.h"

#include <QDebug>
#include <QDir>

namespace testing {

std::unique_ptr<nw::NetWareClient> makeNetwork(const QByteArray& json, const QString& baseDir)
{
    nw::ClientLoad load = nw::loadSimulatedNetworkFromJson(json, baseDir.isEmpty() ? QDir::currentPath() : baseDir,
                                                           QStringLiteral("test network"));
    if (load.outcome != nw::ClientLoad::Outcome::Loaded) {
        qWarning().noquote() << "The test network did not load:"
                             << (load.problem.isEmpty() ? QStringLiteral("client not installed") : load.problem);
        return nullptr;
    }
    return std::move(load.client);
}

}  // namespace testing

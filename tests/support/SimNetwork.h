#pragma once
// Small simulated networks for tests, written as JSON text in the test itself.

#include "netware/NetWareClient.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace testing {

// Loads the description; on failure prints the problem (qWarning) and returns
// nullptr, so a test can write QVERIFY(client) right after it.
std::unique_ptr<nw::NetWareClient> makeNetwork(const QByteArray& json, const QString& baseDir = {});

}  // namespace testing

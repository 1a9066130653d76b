#pragma once
// Reads a network description (JSON) into the model, checking every field.
// A broken description yields a message naming the source, the place (JSON
// path, or line and column for a syntax error) and the problem.

#include "netware/sim/SimModel.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace nw::sim {

struct LoadedNetwork {
    std::unique_ptr<Network> network;  // null when the description is invalid
    QString problem;
};

// Largest description read; larger ones are refused unread.
constexpr qint64 kMaxDescriptionBytes = qint64(32) << 20;

// baseDir: folder against which fileRoot is taken. sourceName: how the
// description is named in messages (usually its file name).
LoadedNetwork loadNetworkDescription(const QByteArray& json, const QString& baseDir, const QString& sourceName);

// Connection type code from its name ("IPX", "IP", ...), 0 when unknown.
quint32 connectionTypeCode(const QString& name);
QString connectionTypeName(quint32 code);

}  // namespace nw::sim

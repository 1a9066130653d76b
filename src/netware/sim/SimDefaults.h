#pragma once
// What a server has when its description leaves a list out: the module set,
// SET parameters and volume of a freshly installed server.

#include "netware/sim/SimModel.h"

#include <vector>

namespace nw::sim {

std::vector<Nlm> defaultNlms();
std::vector<SetParameter> defaultSetParameters();
std::vector<Volume> defaultVolumes();

QString defaultCompany();
QString defaultRevisionText();
QString defaultRevisionDate();
QString defaultNotice();

// Value bytes of a SET parameter of a numeric type (little-endian, 4 bytes).
QByteArray numberValue(quint32 value);

}  // namespace nw::sim

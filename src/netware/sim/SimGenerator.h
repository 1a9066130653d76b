#pragma once
// Large generated networks. A group's servers exist as light records from the
// start (name, place in the directory, volumes) so that directory searches find
// them; their module, parameter and connection lists are drawn only when a
// call first needs them, from a seed derived from the group seed and the
// server's position, so the result does not depend on the order of use.

#include "netware/sim/SimModel.h"

#include <memory>

namespace nw::sim {

// Appends the group's servers to network.servers (names prefix + number).
void addGeneratedServers(Network& network, const std::shared_ptr<const GeneratedGroup>& group);

// The server's lists, drawing them first when the server is generated.
ServerLists& serverLists(Server& server);

// How many connections the server has, without drawing a generated server's lists.
size_t connectionCount(Server& server);

// Small deterministic generator (splitmix64).
class SeededRandom {
public:
    explicit SeededRandom(quint64 seed) : m_state(seed) {}
    quint64 next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // Whole number in [low, high].
    quint32 between(quint32 low, quint32 high) { return low + static_cast<quint32>(next() % (high - low + 1ULL)); }
    double unit() { return static_cast<double>(next() >> 11) / static_cast<double>(1ULL << 53); }

private:
    quint64 m_state;
};

}  // namespace nw::sim

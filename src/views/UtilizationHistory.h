#pragma once
// The utilization readings of every polled server since the monitor started,
// kept by the monitor as it polls (no extra network calls) for the history
// chart. A poll costs its time (8 bytes) and one byte per server (0 to 100,
// or "no reading") plus a small fixed cost of its record (under 64 bytes), so
// 200 servers take about 260 bytes a poll. The history
// never holds more than `capacity` polls: every poll is kept as it came until
// then; when full, the older half is merged pairwise (each pair keeps its
// first time and each server's higher reading, so no peak is lost), which
// halves the resolution of the past and keeps the whole span since the start.
// Memory is therefore bounded by capacity x (servers + 64) bytes: 5.2 MB for
// 200 servers at the default capacity.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace views {

class UtilizationHistory {
public:
    static constexpr int kDefaultCapacity = 20000;  // 5.5 hours of 1-second polls at full resolution
    static constexpr quint8 kNoReading = 0xFF;

    explicit UtilizationHistory(int capacity = kDefaultCapacity);

    // Records one completed poll: a reading (or none) per server, by name.
    // Servers seen for the first time are added in the order they come.
    void recordPoll(qint64 msecsSinceEpoch, const QStringList& servers,
                    const std::vector<std::optional<int>>& readings);

    const QStringList& servers() const { return m_servers; }
    int pollCount() const { return static_cast<int>(m_times.size()); }
    int capacity() const { return m_capacity; }
    // Times merged into one entry at most (1 while every poll is kept as it came).
    int coarsestMerge() const;

    qint64 pollTime(int poll) const { return m_times[static_cast<size_t>(poll)]; }
    // The reading of a server in a poll; nothing for no reading or a server
    // not yet polled then.
    std::optional<int> reading(int poll, int server) const;
    // The highest reading of a server since the start; nothing before its first reading.
    std::optional<int> highest(int server) const;

    // Bytes held by the readings and times.
    qsizetype memoryBytes() const;

private:
    void compact();

    int m_capacity;
    QStringList m_servers;
    std::vector<qint64> m_times;
    std::vector<QByteArray> m_readings;  // per poll, one byte per server known then
    std::vector<int> m_merged;           // polls merged into each entry
    std::vector<int> m_highest;          // per server, -1 before any reading
};

}  // namespace views

#include "views/UtilizationHistory.h"

#include <algorithm>

namespace views {

UtilizationHistory::UtilizationHistory(int capacity) : m_capacity(std::max(capacity, 4))
{
}

void UtilizationHistory::recordPoll(qint64 msecsSinceEpoch, const QStringList& servers,
                                    const std::vector<std::optional<int>>& readings)
{
    QByteArray poll(m_servers.size(), static_cast<char>(kNoReading));
    for (qsizetype i = 0; i < servers.size(); ++i) {
        qsizetype index = m_servers.indexOf(servers.at(i));
        if (index < 0) {
            m_servers.append(servers.at(i));
            m_highest.push_back(-1);
            poll.append(static_cast<char>(kNoReading));
            index = m_servers.size() - 1;
        }
        const auto value = static_cast<size_t>(i) < readings.size() ? readings[static_cast<size_t>(i)] : std::nullopt;
        if (!value)
            continue;
        const int percent = std::clamp(*value, 0, 100);
        poll[index] = static_cast<char>(percent);
        int& high = m_highest[static_cast<size_t>(index)];
        high = std::max(high, percent);
    }
    if (static_cast<int>(m_times.size()) >= m_capacity)
        compact();
    m_times.push_back(msecsSinceEpoch);
    m_readings.push_back(poll);
    m_merged.push_back(1);
}

void UtilizationHistory::compact()
{
    // The older half is merged pairwise; the newer half stays as it came.
    const size_t half = (m_times.size() / 2) & ~size_t(1);
    size_t out = 0;
    for (size_t i = 0; i < half; i += 2, ++out) {
        QByteArray merged = m_readings[i];
        const QByteArray& second = m_readings[i + 1];
        if (merged.size() < second.size())
            merged.append(QByteArray(second.size() - merged.size(), static_cast<char>(kNoReading)));
        for (qsizetype s = 0; s < second.size(); ++s) {
            const auto a = static_cast<quint8>(merged[s]);
            const auto b = static_cast<quint8>(second[s]);
            if (a == kNoReading || (b != kNoReading && b > a))
                merged[s] = static_cast<char>(b);
        }
        m_times[out] = m_times[i];
        m_readings[out] = merged;
        m_merged[out] = m_merged[i] + m_merged[i + 1];
    }
    for (size_t i = half; i < m_times.size(); ++i, ++out) {
        m_times[out] = m_times[i];
        m_readings[out] = std::move(m_readings[i]);
        m_merged[out] = m_merged[i];
    }
    m_times.resize(out);
    m_readings.resize(out);
    m_merged.resize(out);
}

int UtilizationHistory::coarsestMerge() const
{
    return m_merged.empty() ? 1 : *std::max_element(m_merged.begin(), m_merged.end());
}

std::optional<int> UtilizationHistory::reading(int poll, int server) const
{
    if (poll < 0 || poll >= pollCount() || server < 0)
        return std::nullopt;
    const QByteArray& readings = m_readings[static_cast<size_t>(poll)];
    if (server >= readings.size())
        return std::nullopt;
    const auto value = static_cast<quint8>(readings[server]);
    if (value == kNoReading)
        return std::nullopt;
    return value;
}

std::optional<int> UtilizationHistory::highest(int server) const
{
    if (server < 0 || server >= static_cast<int>(m_highest.size()) || m_highest[static_cast<size_t>(server)] < 0)
        return std::nullopt;
    return m_highest[static_cast<size_t>(server)];
}

qsizetype UtilizationHistory::memoryBytes() const
{
    qsizetype bytes = static_cast<qsizetype>(m_times.capacity() * sizeof(qint64) + m_merged.capacity() * sizeof(int)
                                             + m_readings.capacity() * sizeof(QByteArray));
    for (const QByteArray& poll : m_readings)
        bytes += poll.capacity();
    return bytes;
}

}  // namespace views

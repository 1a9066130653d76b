#include "views/HistoryChartRules.h"

#include <algorithm>
#include <cmath>

namespace views {

namespace {

constexpr qint64 kMinuteMs = 60LL * 1000;
constexpr qint64 kDayMs = 24 * 60 * kMinuteMs;

bool earlier(const TimedReading& reading, qint64 ms)
{
    return reading.ms < ms;
}

}  // namespace

void TimeWindow::setData(qint64 first, qint64 last)
{
    if (last < first)
        std::swap(first, last);
    // Less than the minimum span recorded: the extent ends a minimum span
    // after the first reading, so the first polls fill the chart from the left.
    last = std::max(last, first + kMinimumSpanMs);
    const bool following = !m_hasData || atNewestEnd();
    const qint64 width = span();
    const bool firstData = !m_hasData;
    m_first = first;
    m_last = last;
    m_hasData = true;
    if (firstData) {
        showAll();
        return;
    }
    if (following) {
        m_to = m_last;
        m_from = m_to - width;
    }
    keepWithinExtent();
}

void TimeWindow::clearData(qint64 now)
{
    m_hasData = false;
    m_first = now - kMinimumSpanMs;
    m_last = now;
    showAll();
}

void TimeWindow::showAll()
{
    m_from = m_first;
    m_to = m_last;
}

void TimeWindow::zoom(double factor, std::optional<qint64> anchor)
{
    if (!(factor > 0) || !std::isfinite(factor))
        return;
    const qint64 extent = m_last - m_first;
    const qint64 oldWidth = span();
    const auto wanted = static_cast<qint64>(std::llround(static_cast<double>(oldWidth) * factor));
    const qint64 width = std::clamp(wanted, std::min(kMinimumSpanMs, extent), extent);
    const qint64 at = std::clamp(anchor.value_or(m_from + oldWidth / 2), m_from, m_to);
    // The anchor keeps its share of the width on either side.
    const double share = oldWidth > 0 ? static_cast<double>(at - m_from) / static_cast<double>(oldWidth) : 0.5;
    const bool following = atNewestEnd() && factor < 1 && !anchor;
    m_from = at - static_cast<qint64>(std::llround(share * static_cast<double>(width)));
    m_to = m_from + width;
    if (following) {
        // Zooming in on a following chart keeps it following the newest polls.
        m_to = m_last;
        m_from = m_to - width;
    }
    keepWithinExtent();
}

void TimeWindow::pan(qint64 deltaMs)
{
    moveTo(m_from + deltaMs);
}

void TimeWindow::moveTo(qint64 from)
{
    const qint64 width = span();
    m_from = from;
    m_to = from + width;
    keepWithinExtent();
}

void TimeWindow::keepWithinExtent()
{
    const qint64 width = std::min(span(), m_last - m_first);
    if (m_to > m_last) {
        m_to = m_last;
        m_from = m_to - width;
    }
    if (m_from < m_first) {
        m_from = m_first;
        m_to = m_from + width;
    }
}

QString timeLabelFormat(qint64 spanMs)
{
    if (spanMs <= 10 * kMinuteMs)
        return QStringLiteral("hh:mm:ss");
    if (spanMs <= kDayMs)
        return QStringLiteral("hh:mm");
    return QStringLiteral("dd MMM hh:mm");
}

std::optional<RangeBounds> rangeBounds(HistoryRange range, const QDateTime& now, const QDateTime& customFrom,
                                       const QDateTime& customTo)
{
    switch (range) {
    case HistoryRange::LastHour:
        return RangeBounds{now.addSecs(-3600), std::nullopt};
    case HistoryRange::LastDay:
        return RangeBounds{now.addDays(-1), std::nullopt};
    case HistoryRange::LastWeek:
        return RangeBounds{now.addDays(-7), std::nullopt};
    case HistoryRange::Custom:
        break;
    }
    if (!customFrom.isValid() || !customTo.isValid() || customTo <= customFrom)
        return std::nullopt;
    return RangeBounds{customFrom, customTo};
}

qint64 readingInterval(qint64 spanMs)
{
    // Whole seconds: the monitor polls once a second at most.
    const qint64 seconds = spanMs / kRangeSamples / 1000;
    return seconds >= 2 ? seconds * 1000 : 0;
}

std::vector<TimedReading> mergeReadings(const std::vector<TimedReading>& stored,
                                        const std::vector<TimedReading>& session, std::optional<qint64> sessionStart,
                                        qint64 from, qint64 to)
{
    std::vector<TimedReading> merged;
    const qint64 storedEnd = sessionStart ? std::min(to + 1, *sessionStart) : to + 1;
    auto begin = std::lower_bound(stored.begin(), stored.end(), from, earlier);
    auto end = std::lower_bound(begin, stored.end(), storedEnd, earlier);
    merged.assign(begin, end);
    begin = std::lower_bound(session.begin(), session.end(), from, earlier);
    end = std::lower_bound(begin, session.end(), to + 1, earlier);
    merged.insert(merged.end(), begin, end);
    return merged;
}

QList<QPointF> pointsToDraw(const std::vector<TimedReading>& line, qint64 from, qint64 to, int columns)
{
    QList<QPointF> points;
    const auto point = [](const TimedReading& reading) {
        return QPointF(static_cast<qreal>(reading.ms), reading.percent);
    };
    auto begin = std::lower_bound(line.begin(), line.end(), from, earlier);
    auto end = std::lower_bound(begin, line.end(), to + 1, earlier);
    if (begin != line.begin())
        --begin;  // the reading before the span, where the line comes from
    if (end != line.end())
        ++end;  // and the one after it
    const auto count = static_cast<qint64>(end - begin);
    columns = std::max(columns, 1);
    if (count <= 2LL * columns || to <= from) {
        points.reserve(count);
        for (auto it = begin; it != end; ++it)
            points.append(point(*it));
        return points;
    }
    points.reserve(columns + 2);
    const double columnMs = static_cast<double>(to - from) / columns;
    auto it = begin;
    if (it->ms < from)
        points.append(point(*it++));
    // The reading at `to` itself belongs to the last column.
    const auto columnOf = [&](qint64 ms) {
        return std::min<qint64>(static_cast<qint64>(static_cast<double>(ms - from) / columnMs), columns - 1);
    };
    while (it != end && it->ms <= to) {
        const qint64 column = columnOf(it->ms);
        auto highest = it;
        for (++it; it != end && it->ms <= to && columnOf(it->ms) == column; ++it) {
            if (it->percent > highest->percent)
                highest = it;
        }
        points.append(point(*highest));
    }
    if (it != end)
        points.append(point(*it));
    return points;
}

}  // namespace views

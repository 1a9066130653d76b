#pragma once
// The rules of the utilization history chart, apart from its window: which
// span of time is shown (following the newest poll, zoomed and panned within
// what was recorded), which clock format its axis labels take, which period a
// range choice reads from the history, and which points of a line are drawn.

#include <QDateTime>
#include <QList>
#include <QPointF>
#include <QString>

#include <optional>
#include <vector>

namespace views {

// A reading of one server: when (milliseconds since the epoch, UTC) and how busy.
struct TimedReading {
    qint64 ms = 0;
    int percent = 0;
};

// The span of time the chart shows, within the extent of what was recorded.
class TimeWindow {
public:
    // The narrowest span the chart zooms to, and the extent shown while less was recorded.
    static constexpr qint64 kMinimumSpanMs = 60LL * 1000;

    // The recorded readings now run from `first` to `last`. The first data
    // shows all of it; after that the shown span keeps its width and, while it
    // reached the newest end, moves along with it.
    void setData(qint64 first, qint64 last);
    // Nothing recorded: the shown span is the minimum span ending `now`.
    void clearData(qint64 now);

    // The whole recorded extent.
    void showAll();
    // Multiplies the shown width by `factor` (below 1 narrows), keeping the
    // time `anchor` (the middle when none) at the same place on the axis.
    void zoom(double factor, std::optional<qint64> anchor = {});
    // Moves the shown span by `deltaMs` (later when positive), within the extent.
    void pan(qint64 deltaMs);
    // Starts the shown span at `from`, within the extent.
    void moveTo(qint64 from);

    qint64 from() const { return m_from; }
    qint64 to() const { return m_to; }
    qint64 span() const { return m_to - m_from; }
    qint64 extentFirst() const { return m_first; }
    qint64 extentLast() const { return m_last; }
    bool hasData() const { return m_hasData; }
    // The shown span ends at the newest reading: new polls move it along.
    bool atNewestEnd() const { return m_to >= m_last; }

private:
    void keepWithinExtent();

    qint64 m_first = 0;
    qint64 m_last = kMinimumSpanMs;
    qint64 m_from = 0;
    qint64 m_to = kMinimumSpanMs;
    bool m_hasData = false;
};

// Axis labels that suit the shown span: seconds for a few minutes, the clock
// for up to a day, the date with it beyond.
QString timeLabelFormat(qint64 spanMs);

// The periods the chart reads from the history.
enum class HistoryRange { LastHour, LastDay, LastWeek, Custom };

// [from, to] of a choice at `now`: the chosen length up to now (to stays
// open, so that the chart goes on following the polls), or the custom
// period as given. Nothing for a custom period that ends before it starts.
struct RangeBounds {
    QDateTime from;
    std::optional<QDateTime> to;
};
std::optional<RangeBounds> rangeBounds(HistoryRange range, const QDateTime& now, const QDateTime& customFrom = {},
                                       const QDateTime& customTo = {});

// The interval whose highest sample the history gives for a range of
// `spanMs`, so that a line holds at most about kRangeSamples samples (a week
// of 1-second polls is 600,000): 0, every sample, where that is few enough.
inline constexpr qint64 kRangeSamples = 20000;
qint64 readingInterval(qint64 spanMs);

// The readings of one line that fall in [from, to], from two sources in time
// order: those the history keeps from before `sessionStart`, then the
// monitor's own polls (which the history also holds, a moment later).
std::vector<TimedReading> mergeReadings(const std::vector<TimedReading>& stored,
                                        const std::vector<TimedReading>& session, std::optional<qint64> sessionStart,
                                        qint64 from, qint64 to);

// The points to draw of a line for [from, to] on an axis `columns` pixels
// wide: every reading while there are few; else each column's highest (no
// peak is lost), at its own time. The last reading before the span and the
// first after it are kept so that the line runs to the chart's edges.
QList<QPointF> pointsToDraw(const std::vector<TimedReading>& line, qint64 from, qint64 to, int columns);

}  // namespace views

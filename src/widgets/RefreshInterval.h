#pragma once
// Rules of the refresh-interval box shared by every view that refreshes on a
// timer. Periods are seconds, at most a minute.

#include <QString>

namespace widgets {

struct IntervalCheck {
    bool acceptable = false;  // the start button may be enabled
    QString replacement;      // non-empty: the text the box must show instead
};

// The interval box's check of its text: an empty or non-numeric text is not acceptable; a value
// that rounds to 61 or more is replaced by "60".
IntervalCheck checkIntervalText(const QString& text);

// The timer period for an acceptable text: the value times 1000 ms, rounded to
// the millisecond, at most a minute. 0 for a text that is not a number or
// comes to no time at all.
int intervalMilliseconds(const QString& text);

}  // namespace widgets

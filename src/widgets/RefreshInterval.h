#pragma once
// Rules of the refresh-interval box shared by every view that refreshes on a
// timer. Periods are whole seconds, at most a minute.

#include <QString>

namespace widgets {

struct IntervalCheck {
    bool acceptable = false;   // the start button may be enabled
    QString replacement;       // non-empty: the text the box must show instead
};

// The interval box's check of its text: an empty or non-numeric text is not acceptable; a value
// that rounds to 61 or more is replaced by "60".
IntervalCheck checkIntervalText(const QString& text);

// The timer period for an acceptable text: the value rounded to whole seconds,
// in milliseconds. 0 for a text that is not a number.
int intervalMilliseconds(const QString& text);

}  // namespace widgets

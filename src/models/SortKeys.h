#pragma once
// Sorting cell texts by what they mean. A column is read as one kind, the
// kind every filled cell of it has: numbers by value (blanks and grouping
// allowed), module versions ("5.00h") by major, minor and revision, up times
// and connection times ("1D 2H 3M", "12H 59M") by duration, dates and times
// (the user's short formats, the C locale's, ISO) chronologically; anything
// else is text, ordered by the locale's collation, those that begin with a
// blank ahead of the others. Empty cells come first
// when ascending. Equal keys keep their order, so sorting by one column after
// another refines the order. Grids, list views and every table of the
// program share this rule.

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace models {

enum class ValueKind { Empty, Number, Version, Duration, DateTime, Text };

// The kind of one text, trying the kinds in the order above.
ValueKind valueKind(const QString& text, const QLocale& locale = QLocale());
// The kind a whole column is sorted as: the most specific kind all its filled
// cells share, Text when they share none (Empty for an empty column).
ValueKind columnKind(const QStringList& texts, const QLocale& locale = QLocale());

// Minutes of a duration text ("1D 2H 3M" gives 1563), or nothing.
std::optional<qint64> durationMinutes(const QString& text);
// A date or date and time text, or nothing.
std::optional<QDateTime> parseDateTime(const QString& text, const QLocale& locale = QLocale());

// Positions of `texts` in sorted order (a stable sort).
std::vector<int> typedSortOrder(const QStringList& texts, bool descending, const QLocale& locale = QLocale());

}  // namespace models

#pragma once
// Texts as the user's locale writes and orders them: dates with the year
// always in full (a two-digit year makes 1999 and 2099 read the same), and
// names in the order a person expects (accents with their letter, case
// ignored: ÅLAND before ZÜRICH).

#include <QLocale>
#include <QString>

namespace texts {

// The locale's short date format with "yy" widened to "yyyy" ("M/d/yyyy").
QString fourDigitYearShortFormat(const QLocale& locale);

// The locale whose collation orders names and table texts: the plain "C"
// locale collates by character code, which puts every accented capital after
// Z, so US English stands in for it.
QLocale collationLocale(const QLocale& locale = QLocale());

// Orders two names by the user's collation without regard to case; names
// that collate equal are ordered by their characters, so the order is total
// and the same every time. The plain "C" locale orders as US English would.
bool nameLess(const QString& a, const QString& b);

}  // namespace texts

#pragma once
// How server facts, module versions and SET parameter values read on screen.

#include "netware/NetWareClient.h"

#include <QByteArray>
#include <QLocale>
#include <QString>

namespace views {

// Up time from the server's timer ticks (18.2 a second): "12D 3H 45M".
QString formatUpTime(quint32 ticks);

// "5.70.8": each part an unsigned byte in decimal.
QString serverVersionText(quint8 major, quint8 minor, quint8 revision);

// The directory services version number divided by 100 in the user's number
// format: 885 -> "8.85", 10550 -> "105.5", 0 -> "0".
QString dsVersionText(qint32 version, const QLocale& locale = QLocale());

// A module version padded for text sorting: (15 - length of "major.minor.revision")
// blanks, then major, ".", minor as two digits and the revision letter
// (1 -> "a" ... 26 -> "z", 0 none): 5.0.8 -> "          5.00h".
QString nlmVersionText(quint32 major, quint32 minor, quint32 revision);

// A module's release date in the user's short date format, year in full.
QString nlmDateText(quint32 year, quint32 month, quint32 day, const QLocale& locale = QLocale());

// Category text of a SET parameter ("Comm", "Memory", ... "License Svcs", else "N/A").
QString parameterCategoryText(quint32 category);

struct SetParameter {
    QString name;
    quint32 type = 0;
    quint32 category = 0;
    QByteArray value;
};

// Splits a parameter record into its name and value bytes. The value is the
// number of bytes the record states; a record that states none is read up to
// the first pair of zero bytes, as older clients lay it out.
SetParameter splitSetRecord(const nw::SetCommandRecord& record);

// The cell text of a SET parameter value by its type.
QString parameterValueText(quint32 type, const QByteArray& value, const QLocale& locale = QLocale());

}  // namespace views

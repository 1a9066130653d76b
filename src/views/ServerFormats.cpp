#include "views/ServerFormats.h"

#include "text/CodePage.h"
#include "text/LocaleText.h"

#include <QDate>

#include <algorithm>
#include <cmath>

namespace views {

namespace {

// Little-endian unsigned number of up to eight bytes.
quint64 littleEndian(const QByteArray& bytes, qsizetype maxBytes)
{
    quint64 value = 0;
    const qsizetype n = std::min(bytes.size(), maxBytes);
    for (qsizetype k = n - 1; k >= 0; --k)
        value = (value << 8) | static_cast<quint8>(bytes.at(k));
    return value;
}

// Character values end at their first zero byte: what follows is padding of
// the record, not part of the text.
QString textUpToZero(const QByteArray& value)
{
    const qsizetype end = value.indexOf('\0');
    return texts::fromWindows1252(end < 0 ? QByteArrayView(value) : QByteArrayView(value).first(end));
}

QString onOff(const QByteArray& value, const QString& otherwise)
{
    if (value.isEmpty() || value.at(0) == 0)
        return QStringLiteral("Off");
    if (value.at(0) == 1)
        return QStringLiteral("On");
    return otherwise;
}

QString ticksText(quint64 ticks, const QLocale& locale)
{
    // The server counts time in ticks of 1/18.206 s; shown to a tenth of a second.
    double seconds = std::nearbyint(static_cast<double>(ticks) / 18.206 * 10.0) / 10.0;
    QString text;
    if (seconds >= 60.0) {
        const auto minutes = static_cast<quint64>(seconds / 60.0);
        text = QString::number(minutes) + QStringLiteral(" minutes ");
        seconds -= static_cast<double>(minutes) * 60.0;
    }
    // "0.0#": one decimal at least, two at most.
    QString number = locale.toString(seconds, 'f', 2);
    if (number.endsWith(QLatin1Char('0')))
        number.chop(1);
    return text + number + QStringLiteral(" seconds");
}

}  // namespace

QString formatUpTime(quint32 ticks)
{
    // The tick count is an unsigned 32-bit counter: a server up for more than
    // about 3.7 years has it past 2^31, which must not read as negative.
    // One tick is 0.0549255 s; rounding halves to even, as the conversion to a
    // whole number does.
    const auto s = static_cast<qint64>(std::nearbyint(static_cast<double>(ticks) * 0.0549255));
    const qint64 days = s / 86400;
    const qint64 hours = (s % 86400) / 3600;
    const qint64 minutes = (s % 3600) / 60;
    return QStringLiteral("%1D %2H %3M").arg(days).arg(hours).arg(minutes);
}

QString serverVersionText(quint8 major, quint8 minor, quint8 revision)
{
    return QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(revision);
}

QString dsVersionText(qint32 version, const QLocale& locale)
{
    return locale.toString(static_cast<double>(version) / 100.0, 'f', QLocale::FloatingPointShortest);
}

namespace {

// Decimal digits of a number.
int digitCount(quint32 value)
{
    int digits = 1;
    while (value >= 10) {
        value /= 10;
        ++digits;
    }
    return digits;
}

// Writes the digits of `value`, at least `width` of them (zeros before),
// at `out` and returns the end.
char* writeDigits(char* out, quint32 value, int width = 1)
{
    const int digits = std::max(width, digitCount(value));
    for (int i = digits - 1; i >= 0; --i) {
        out[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    return out + digits;
}

}  // namespace

QString nlmVersionText(quint32 major, quint32 minor, quint32 revision)
{
    // Made for every module a server lists: written into one buffer rather
    // than pieced together from formatted parts.
    const int plain = digitCount(major) + 1 + digitCount(minor) + 1 + digitCount(revision);
    char buffer[64];
    char* end = buffer;
    for (int pad = 15 - plain; pad > 0; --pad)
        *end++ = ' ';
    end = writeDigits(end, major);
    *end++ = '.';
    end = writeDigits(end, minor, 2);
    if (revision >= 1 && revision <= 26) {
        *end++ = static_cast<char>('a' + revision - 1);
    } else if (revision > 26) {
        // Past "z" the letters run out; the number keeps versions apart.
        *end++ = '(';
        end = writeDigits(end, revision);
        *end++ = ')';
    }
    return QString::fromLatin1(buffer, end - buffer);
}

QString nlmDateText(quint32 year, quint32 month, quint32 day, const QLocale& locale)
{
    const QDate date(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day));
    if (date.isValid())
        return locale.toString(date, texts::fourDigitYearShortFormat(locale));
    // Not a calendar date: the numbers as the module reports them.
    return QStringLiteral("%1-%2-%3").arg(year).arg(month).arg(day);
}

QString parameterCategoryText(quint32 category)
{
    static const char* const names[] = {"Comm",        "Memory", "File Cache", "Dir Cache",   "File System", "Locks",
                                        "Trans Track", "Disk",   "Time",       "NCP",         "Misc",        "Errors",
                                        "Dir Svcs",    "MPS",    "SLP",        "License Svcs"};
    if (category < std::size(names))
        return QString::fromLatin1(names[category]);
    return QStringLiteral("N/A");
}

SetParameter splitSetRecord(const nw::SetCommandRecord& record)
{
    SetParameter parameter;
    parameter.type = record.type;
    parameter.category = record.category;
    const auto* area = record.nameAndValue.data();
    const auto size = record.nameAndValue.size();
    std::size_t nameEnd = 0;
    while (nameEnd < size && area[nameEnd] != 0)
        ++nameEnd;
    parameter.name =
        texts::fromWindows1252(QByteArrayView(reinterpret_cast<const char*>(area), static_cast<qsizetype>(nameEnd)));
    const std::size_t valueStart = std::min(nameEnd + 1, size);
    std::size_t valueEnd = valueStart;
    if (record.valueLength > 0) {
        valueEnd = std::min<std::size_t>(valueStart + record.valueLength, size);
    } else {
        while (valueEnd < size && !(area[valueEnd] == 0 && (valueEnd + 1 >= size || area[valueEnd + 1] == 0)))
            ++valueEnd;
    }
    parameter.value =
        QByteArray(reinterpret_cast<const char*>(area + valueStart), static_cast<qsizetype>(valueEnd - valueStart));
    return parameter;
}

QString parameterValueText(quint32 type, const QByteArray& value, const QLocale& locale)
{
    switch (type) {
    case 0:  // number: at most four bytes count
        return QString::number(littleEndian(value, 4));
    case 1:  // on/off
        return onOff(value, QString());
    case 2:  // time in ticks
        return ticksText(littleEndian(value, 8), locale);
    case 3:  // block shift, shown as the server spells it
    case 5:  // text
        return textUpToZero(value);
    case 4:  // time offset: a signed number of seconds (west of Greenwich is negative)
        return QString::number(static_cast<qint32>(static_cast<quint32>(littleEndian(value, 4))));
    case 6:  // trigger: no value
        return QString();
    default:
        return onOff(value, QStringLiteral("Unknown"));
    }
}

}  // namespace views

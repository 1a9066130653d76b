#include "models/SortKeys.h"

#include "models/GridData.h"
#include "text/LocaleText.h"

#include <QCollator>
#include <QtNumeric>
#include <QRegularExpression>

#include <algorithm>
#include <limits>
#include <numeric>
#include <tuple>

namespace models {

namespace {

struct VersionKey {
    int major = 0;
    int minor = 0;
    int revision = 0;
};

std::optional<VersionKey> parseVersionKey(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*(\\d+)\\.(\\d+)([a-zA-Z]?)\\s*$"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    VersionKey key;
    key.major = m.captured(1).toInt();
    key.minor = m.captured(2).toInt();
    const QString letter = m.captured(3).toLower();
    key.revision = letter.isEmpty() ? 0 : letter.at(0).unicode() - u'a' + 1;
    return key;
}

// A date text with a two-digit year: Qt reads "07" as 1907; NetWare dates
// and logins are all after 1980, so such years are moved into 1980 .. 2079.
QDateTime fixCentury(QDateTime value, const QString& format)
{
    if (!value.isValid() || format.contains(QStringLiteral("yyyy")) || !format.contains(QStringLiteral("yy")))
        return value;
    const int year = value.date().year();
    if (year < 1980)
        value = value.addYears(((1980 - year + 99) / 100) * 100);
    return value;
}

}  // namespace

std::optional<qint64> durationMinutes(const QString& text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*(?:(\\d+)\\s*D)?\\s*(?:(\\d+)\\s*H)?\\s*(?:(\\d+)\\s*M)?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch() || (m.captured(1).isEmpty() && m.captured(2).isEmpty() && m.captured(3).isEmpty()))
        return std::nullopt;
    // A duration beyond what a count of minutes can hold is the longest there
    // is: it sorts after every other, never wrapping round to a short one.
    constexpr qint64 kLongest = std::numeric_limits<qint64>::max();
    qint64 minutes = 0;
    for (const auto& [part, factor] : {std::pair{1, qint64(1440)}, std::pair{2, qint64(60)}, std::pair{3, qint64(1)}}) {
        const QString digits = m.captured(part);
        if (digits.isEmpty())
            continue;
        bool ok = false;
        const qint64 count = digits.toLongLong(&ok);
        qint64 scaled = 0;
        if (!ok || qMulOverflow(count, factor, &scaled) || qAddOverflow(minutes, scaled, &minutes))
            return kLongest;
    }
    return minutes;
}

std::optional<QDateTime> parseDateTime(const QString& text, const QLocale& locale)
{
    // A remark after the time ("... (ahead of server clock)") does not make
    // the cell a text.
    static const QRegularExpression remark(QStringLiteral("\\s*\\([^()]*\\)$"));
    QString trimmed = text.trimmed();
    trimmed.remove(remark);
    if (trimmed.isEmpty() || !trimmed.front().isDigit())
        return std::nullopt;
    const QLocale c = QLocale::c();
    const QString shortFormat = locale.dateFormat(QLocale::ShortFormat);
    QStringList dateFormats{shortFormat, c.dateFormat(QLocale::ShortFormat), QStringLiteral("M/d/yy"),
                            QStringLiteral("M/d/yyyy"), QStringLiteral("yyyy-MM-dd")};
    // Time stamps are written with four-digit years in the user's order.
    const QString fourDigits = texts::fourDigitYearShortFormat(locale);
    if (fourDigits != shortFormat)
        dateFormats.insert(1, fourDigits);
    const QStringList timeFormats{locale.timeFormat(QLocale::ShortFormat),
                                  locale.timeFormat(QLocale::LongFormat),
                                  QStringLiteral("H:mm"),
                                  QStringLiteral("H:mm:ss"),
                                  QStringLiteral("h:mm AP"),
                                  QStringLiteral("h:mm:ss AP")};
    for (const QString& dateFormat : dateFormats) {
        const QDate date = QDate::fromString(trimmed, dateFormat);
        if (date.isValid())
            return fixCentury(QDateTime(date, QTime(0, 0)), dateFormat);
        for (const QString& timeFormat : timeFormats) {
            const QString format = dateFormat + QLatin1Char(' ') + timeFormat;
            QDateTime value = QDateTime::fromString(trimmed, format);
            if (!value.isValid())
                value = locale.toDateTime(trimmed, format);
            if (value.isValid())
                return fixCentury(value, dateFormat);
        }
    }
    const QDateTime iso = QDateTime::fromString(trimmed, Qt::ISODate);
    if (iso.isValid())
        return iso;
    return std::nullopt;
}

ValueKind valueKind(const QString& text, const QLocale& locale)
{
    if (text.trimmed().isEmpty())
        return ValueKind::Empty;
    if (parseNumber(text, nullptr))
        return ValueKind::Number;
    if (parseVersionKey(text))
        return ValueKind::Version;
    if (durationMinutes(text))
        return ValueKind::Duration;
    if (parseDateTime(text, locale))
        return ValueKind::DateTime;
    return ValueKind::Text;
}

ValueKind columnKind(const QStringList& texts, const QLocale& locale)
{
    // A column of "5.00" and "5.00h" is one of versions; "10" and "1D 2H 3M"
    // share no kind and sort as text.
    bool number = true;
    bool version = true;
    bool duration = true;
    bool dateTime = true;
    bool any = false;
    for (const QString& text : texts) {
        if (text.trimmed().isEmpty())
            continue;
        any = true;
        if (number && !parseNumber(text, nullptr))
            number = false;
        if (version && !parseVersionKey(text))
            version = false;
        if (duration && !durationMinutes(text))
            duration = false;
        if (dateTime && !number && !parseDateTime(text, locale))
            dateTime = false;
        if (!number && !version && !duration && !dateTime)
            return ValueKind::Text;
    }
    if (!any)
        return ValueKind::Empty;
    if (number)
        return ValueKind::Number;
    if (version)
        return ValueKind::Version;
    if (duration)
        return ValueKind::Duration;
    return dateTime ? ValueKind::DateTime : ValueKind::Text;
}

std::vector<int> typedSortOrder(const QStringList& texts, bool descending, const QLocale& locale)
{
    const ValueKind kind = columnKind(texts, locale);
    struct Key {
        bool empty = true;
        double number = 0;
        VersionKey version;
        qint64 minutes = 0;
        QDateTime when;
        // A text that begins with a blank was written to come first (the
        // root partition is shown as " [Root]"); the collation alone would
        // pass over the blank.
        bool indented = false;
        std::optional<QCollatorSortKey> text;
    };
    QCollator collator(texts::collationLocale(locale));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    std::vector<Key> keys(static_cast<size_t>(texts.size()));
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const QString& text = texts.at(i);
        Key& key = keys[static_cast<size_t>(i)];
        key.empty = text.trimmed().isEmpty();
        if (key.empty)
            continue;
        switch (kind) {
        case ValueKind::Number:
            parseNumber(text, &key.number);
            break;
        case ValueKind::Version:
            key.version = *parseVersionKey(text);
            break;
        case ValueKind::Duration:
            key.minutes = *durationMinutes(text);
            break;
        case ValueKind::DateTime:
            key.when = *parseDateTime(text, locale);
            break;
        // Folded first: not every collation backend honours the case setting.
        default:
            key.indented = text.front().isSpace();
            key.text.emplace(collator.sortKey(text.trimmed().toCaseFolded()));
            break;
        }
    }
    const auto compare = [kind](const Key& a, const Key& b) -> int {
        if (a.empty || b.empty)
            return a.empty == b.empty ? 0 : (a.empty ? -1 : 1);
        switch (kind) {
        case ValueKind::Number:
            return a.number < b.number ? -1 : (b.number < a.number ? 1 : 0);
        case ValueKind::Version: {
            const auto ka = std::tie(a.version.major, a.version.minor, a.version.revision);
            const auto kb = std::tie(b.version.major, b.version.minor, b.version.revision);
            return ka < kb ? -1 : (kb < ka ? 1 : 0);
        }
        case ValueKind::Duration:
            return a.minutes < b.minutes ? -1 : (b.minutes < a.minutes ? 1 : 0);
        case ValueKind::DateTime:
            return a.when < b.when ? -1 : (b.when < a.when ? 1 : 0);
        default:
            if (a.indented != b.indented)
                return a.indented ? -1 : 1;
            return a.text && b.text ? a.text->compare(*b.text) : 0;
        }
    };
    std::vector<int> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int r = compare(keys[static_cast<size_t>(a)], keys[static_cast<size_t>(b)]);
        return descending ? r > 0 : r < 0;
    });
    return order;
}

}  // namespace models

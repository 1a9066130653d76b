#include "history/HistoryTypes.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTimeZone>

#include <algorithm>

namespace history {

std::vector<Item> normalizedItems(std::vector<Item> items)
{
    std::stable_sort(items.begin(), items.end(),
                     [](const Item& a, const Item& b) { return a.name.compare(b.name, Qt::CaseInsensitive) < 0; });
    QHash<QString, int> seen;
    for (Item& item : items) {
        const int count = ++seen[item.name.toUpper()];
        if (count > 1)
            item.name += QStringLiteral(" #%1").arg(count);
    }
    return items;
}

QString itemsText(const std::vector<Item>& items)
{
    QJsonArray list;
    for (const Item& item : items) {
        QJsonArray entry{item.name};
        for (const QString& value : item.values)
            entry.append(value);
        list.append(entry);
    }
    return QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Compact));
}

std::optional<std::vector<Item>> itemsFromText(const QString& text)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return std::nullopt;
    std::vector<Item> items;
    const QJsonArray list = document.array();
    items.reserve(static_cast<size_t>(list.size()));
    for (const QJsonValue& entry : list) {
        if (!entry.isArray() || entry.toArray().isEmpty())
            return std::nullopt;
        const QJsonArray fields = entry.toArray();
        Item item;
        item.name = fields.at(0).toString();
        for (qsizetype i = 1; i < fields.size(); ++i)
            item.values.append(fields.at(i).toString());
        items.push_back(std::move(item));
    }
    return items;
}

QString kindName(SnapshotKind kind)
{
    switch (kind) {
    case SnapshotKind::Modules:
        return QStringLiteral("modules");
    case SnapshotKind::Parameters:
        return QStringLiteral("parameters");
    case SnapshotKind::Facts:
        return QStringLiteral("facts");
    case SnapshotKind::Volumes:
        return QStringLiteral("volumes");
    }
    return {};
}

std::optional<QDateTime> parseHistoryDate(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral(
        R"(^(\d{4})-(\d{2})-(\d{2})(?:[T ](\d{2}):(\d{2})(?::(\d{2})(?:\.(\d{1,3}))?)?(Z|[+-]\d{2}:?\d{2})?)?$)"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const QDate date(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    if (!date.isValid())
        return std::nullopt;
    QTime time(0, 0);
    if (match.hasCaptured(4)) {
        time = QTime(match.captured(4).toInt(), match.captured(5).toInt(),
                     match.hasCaptured(6) ? match.captured(6).toInt() : 0,
                     match.hasCaptured(7) ? match.captured(7).leftJustified(3, QLatin1Char('0')).toInt() : 0);
        if (!time.isValid())
            return std::nullopt;
    }
    int offsetSeconds = 0;
    const QString zone = match.captured(8);
    if (!zone.isEmpty() && zone != u"Z") {
        const QString digits = QString(zone).remove(QLatin1Char(':'));
        const int hours = digits.mid(1, 2).toInt();
        const int minutes = digits.mid(3, 2).toInt();
        if (hours > 14 || minutes > 59)
            return std::nullopt;
        offsetSeconds = (hours * 3600 + minutes * 60) * (zone.startsWith(QLatin1Char('-')) ? -1 : 1);
    }
    return QDateTime(date, time, QTimeZone(offsetSeconds)).toUTC();
}

}  // namespace history

#include "directory/Partitions.h"

#include "settings/Trace.h"

#include <QStringList>

namespace directory {

QString partitionDisplayName(const QString& dottedName)
{
    QString name = dottedName.trimmed();
    if (name.compare(QLatin1String("[Root]"), Qt::CaseInsensitive) == 0)
        return QStringLiteral(" [Root]");
    if (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1);
    const QStringList parts = name.split(QLatin1Char('.'), Qt::SkipEmptyParts);
    QString shown;
    for (auto it = parts.crbegin(); it != parts.crend(); ++it)
        shown += QLatin1Char('.') + *it;
    return shown;
}

QString replicaTypeText(quint32 type)
{
    switch (type) {
    case 0: return QStringLiteral("M");
    case 1: return QStringLiteral("RW");
    case 2: return QStringLiteral("RO");
    case 3: return QStringLiteral("SR");
    default: return QString::number(type);
    }
}

QString replicaStateText(quint32 state)
{
    switch (state) {
    case 0: return QStringLiteral("On");
    case 1: return QStringLiteral("New");
    case 2: return QStringLiteral("Dying");
    case 3: return QStringLiteral("Locked");
    case 4:
    case 5:
    case 6: return QStringLiteral("Transition");
    case 7: return QStringLiteral("Dead");
    case 8: return QStringLiteral("Begin Add");
    case 11:
    case 12: return QStringLiteral("New Master");
    case 13: return QStringLiteral("Federated");
    case 48:
    case 49: return QStringLiteral("Split");
    case 64:
    case 65:
    case 66: return QStringLiteral("Join");
    case 80:
    case 81: return QStringLiteral("Move");
    default: return QString::number(state);
    }
}

QString cellToolTip(const QString& cellText)
{
    if (cellText == QLatin1String("M"))
        return QStringLiteral("Master");
    if (cellText == QLatin1String("RW"))
        return QStringLiteral("Read/Write");
    if (cellText == QLatin1String("RO"))
        return QStringLiteral("Read Only");
    if (cellText == QLatin1String("SR"))
        return QStringLiteral("Subordinate Reference");
    if (cellText == kNotAvailable)
        return QStringLiteral("Not Available");
    return {};
}

QDateTime serverClockTime(const std::array<quint8, 8>& bytes)
{
    int year = bytes[0];
    year += 1900;   // below 100: 19 followed by the two digits; 100 to 179: 1900 + value
    const QDate date(year, bytes[1], bytes[2]);
    const QTime time(bytes[3], bytes[4], bytes[5]);
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time, Qt::LocalTime);
}

QString replicaTimeStampText(quint32 purgeSeconds, const QDateTime& serverClock, const QLocale& locale)
{
    const QDateTime stamp = QDateTime::fromSecsSinceEpoch(purgeSeconds, Qt::LocalTime);
    QString text = settings::traceTimestamp(stamp, locale);
    if (serverClock.isValid() && serverClock.secsTo(stamp) > 60)
        text += QStringLiteral(" (ahead of server clock)");
    return text;
}

QString syncTimeText(quint32 modificationSeconds, quint32 purgeSeconds)
{
    const qint64 behind = static_cast<qint64>(modificationSeconds) - static_cast<qint64>(purgeSeconds);
    return QString::number(qMax<qint64>(0, behind));
}

}  // namespace directory

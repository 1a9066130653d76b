#include "views/UtilizationRules.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace views {

std::optional<int> storedPercent(const std::optional<QString>& text)
{
    if (!text)
        return std::nullopt;
    bool ok = false;
    const int value = text->trimmed().toInt(&ok);
    if (!ok || value < 0 || value > 100)
        return std::nullopt;
    return value;
}

UtilizationThresholds readUtilizationThresholds(const std::optional<QString>& warning,
                                                const std::optional<QString>& critical, QString* problem)
{
    UtilizationThresholds thresholds;
    QStringList bad;
    if (const auto w = storedPercent(warning))
        thresholds.warning = *w;
    else if (warning)
        bad << QStringLiteral("UtilWarning");
    if (const auto c = storedPercent(critical))
        thresholds.critical = *c;
    else if (critical)
        bad << QStringLiteral("UtilCritical");
    if (thresholds.warning > thresholds.critical) {
        thresholds = UtilizationThresholds{};
        bad = QStringList{QStringLiteral("UtilWarning"), QStringLiteral("UtilCritical")};
    }
    if (problem) {
        *problem = bad.isEmpty() ? QString()
                                 : QCoreApplication::translate(
                                       "views", "The utilization levels %1 are not whole percentages from 0 to 100 "
                                                "(warning not above critical); the defaults 70 and 90 are used.")
                                       .arg(bad.join(QStringLiteral(", ")));
    }
    return thresholds;
}

std::optional<int> utilizationPercent(const QString& cellText)
{
    bool ok = false;
    const double value = cellText.trimmed().toDouble(&ok);
    if (!ok || std::isnan(value))
        return std::nullopt;
    // Clamped before it becomes a whole number: a number beyond int has none.
    return static_cast<int>(std::clamp(value, 0.0, 100.0));
}

UtilizationLevel utilizationLevel(const QString& cellText, const UtilizationThresholds& thresholds)
{
    const auto percent = utilizationPercent(cellText);
    if (!percent)
        return UtilizationLevel::Unknown;
    if (*percent >= thresholds.critical)
        return UtilizationLevel::Critical;
    if (*percent >= thresholds.warning)
        return UtilizationLevel::Warning;
    return UtilizationLevel::Normal;
}

models::TroubleLevel troubleLevelOf(UtilizationLevel level)
{
    switch (level) {
    case UtilizationLevel::Warning:
        return models::TroubleLevel::Warning;
    case UtilizationLevel::Critical:
        return models::TroubleLevel::Critical;
    case UtilizationLevel::Unknown:
    case UtilizationLevel::Normal:
        break;
    }
    return models::TroubleLevel::None;
}

QString netwareStatusText(quint32 status)
{
    return QStringLiteral("0x%1")
        .arg(status, status > 0xFFFF ? 8 : 4, 16, QLatin1Char('0'))
        .toUpper()
        .replace(QStringLiteral("0X"), QStringLiteral("0x"));
}

QString pollFailureText(PollFailure failure, quint32 status)
{
    const QString code = netwareStatusText(status);
    switch (failure) {
    case PollFailure::CannotConnect:
        return QCoreApplication::translate("views", "Cannot connect to the server (status %1).").arg(code);
    case PollFailure::NotAuthenticated:
        return QCoreApplication::translate("views", "Not authenticated to the server (status %1).").arg(code);
    case PollFailure::RequestFailed:
        return QCoreApplication::translate("views", "The utilization request failed (status %1).").arg(code);
    }
    return {};
}

}  // namespace views

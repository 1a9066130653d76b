#include "widgets/RefreshInterval.h"

#include <QLocale>

#include <cmath>
#include <optional>

namespace widgets {

namespace {

std::optional<double> numericValue(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// Halves go to the even neighbour, as the interval always has been rounded.
double wholeSeconds(double value)
{
    return std::nearbyint(value);
}

}  // namespace

IntervalCheck checkIntervalText(const QString& text)
{
    const auto value = numericValue(text);
    if (!value)
        return {};
    IntervalCheck check;
    check.acceptable = true;
    if (wholeSeconds(*value) >= 61)
        check.replacement = QStringLiteral("60");
    return check;
}

int intervalMilliseconds(const QString& text)
{
    const auto value = numericValue(text);
    if (!value)
        return 0;
    const double seconds = wholeSeconds(*value);
    if (seconds <= 0)
        return 0;
    if (seconds >= 60)
        return 60 * 1000;
    return static_cast<int>(seconds) * 1000;
}

}  // namespace widgets

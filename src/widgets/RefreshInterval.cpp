#include "widgets/RefreshInterval.h"

#include <QLocale>

#include <algorithm>
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
    // The box holds seconds and the timer counts milliseconds: half a second
    // polls every 500 ms. Only a value that comes to 0 ms leaves the timer
    // that never fires.
    const auto value = numericValue(text);
    if (!value)
        return 0;
    const double ms = std::nearbyint(*value * 1000.0);
    if (ms <= 0)
        return 0;
    return static_cast<int>(std::min(ms, 60.0 * 1000.0));
}

}  // namespace widgets

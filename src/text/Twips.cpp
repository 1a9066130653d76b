#include "text/Twips.h"

#include <QLocale>

#include <cmath>

namespace texts {

namespace {

double usableDpi(double logicalDpi)
{
    return logicalDpi > 0 && std::isfinite(logicalDpi) ? logicalDpi : 96.0;
}

}  // namespace

int twipsToPixels(double twips, double logicalDpi)
{
    return static_cast<int>(std::lround(twips * usableDpi(logicalDpi) / kTwipsPerInch));
}

double pixelsToTwips(int pixels, double logicalDpi)
{
    return pixels * kTwipsPerInch / usableDpi(logicalDpi);
}

QString twipsToText(double twips)
{
    return QString::number(std::llround(twips));
}

std::optional<double> textToNumber(const QString& text)
{
    const QString trimmed = text.trimmed();
    bool ok = false;
    double number = QLocale::c().toDouble(trimmed, &ok);
    if (!ok)
        number = QLocale::system().toDouble(trimmed, &ok);
    // Far beyond any screen: a value like this was not written by a window.
    constexpr double kLimit = 1e9;
    if (!ok || !std::isfinite(number) || std::abs(number) > kLimit)
        return std::nullopt;
    return number;
}

}  // namespace texts

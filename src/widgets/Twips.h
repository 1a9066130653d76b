#pragma once
// Window sizes and column widths are kept in twips (1440 to the inch) so that
// stored settings mean the same on screens of any resolution.

#include <cmath>

namespace widgets {

inline constexpr int TwipsPerInch = 1440;

inline int twipsToPixels(int twips, int dotsPerInch)
{
    if (twips <= 0 || dotsPerInch <= 0)
        return 0;
    return static_cast<int>(std::lround(static_cast<double>(twips) * dotsPerInch / TwipsPerInch));
}

inline int pixelsToTwips(int pixels, int dotsPerInch)
{
    if (pixels <= 0 || dotsPerInch <= 0)
        return 0;
    return static_cast<int>(std::lround(static_cast<double>(pixels) * TwipsPerInch / dotsPerInch));
}

}  // namespace widgets

#include "widgets/WindowArrangement.h"

#include <algorithm>
#include <cmath>

namespace widgets {

namespace {

// `count` lengths filling `total` from `start`, the remainder going to the
// first ones, so that the pieces meet without a gap.
std::vector<std::pair<int, int>> split(int start, int total, int count)
{
    std::vector<std::pair<int, int>> pieces;
    const int base = total / count;
    int extra = total % count;
    int at = start;
    for (int i = 0; i < count; ++i) {
        const int length = base + (extra-- > 0 ? 1 : 0);
        pieces.emplace_back(at, length);
        at += length;
    }
    return pieces;
}

}  // namespace

std::vector<QRect> tileRects(const QRect& area, int count, Qt::Orientation stacking, const QSize& readable)
{
    std::vector<QRect> places;
    if (count <= 0 || area.isEmpty())
        return places;
    // Lengths along the stacking and across it.
    const bool vertical = stacking == Qt::Vertical;
    const int along = vertical ? area.height() : area.width();
    const int across = vertical ? area.width() : area.height();
    const int readableAlong = std::max(1, vertical ? readable.height() : readable.width());
    const int readableAcross = std::max(1, vertical ? readable.width() : readable.height());

    // Strips while they stay readable; else as many strips (rows of a grid)
    // as fit, each holding the windows side by side.
    int strips = count;
    if (along / count < readableAlong) {
        const int fitAlong = std::max(1, along / readableAlong);
        const int fitAcross = std::max(1, across / readableAcross);
        strips = std::min(count, fitAlong);
        // With more windows than readable places, a square-ish grid.
        if (static_cast<long long>(fitAlong) * fitAcross < count)
            strips = std::max(1, static_cast<int>(std::lround(std::sqrt(static_cast<double>(count)))));
    }
    const int perStrip = (count + strips - 1) / strips;
    strips = (count + perStrip - 1) / perStrip;
    const auto stripPieces = split(vertical ? area.top() : area.left(), along, strips);
    int placed = 0;
    for (int s = 0; s < strips; ++s) {
        const int inStrip = std::min(perStrip, count - placed);
        const auto pieces = split(vertical ? area.left() : area.top(), across, inStrip);
        for (const auto& [at, length] : pieces) {
            const auto& [stripAt, stripLength] = stripPieces[static_cast<size_t>(s)];
            places.push_back(vertical ? QRect(at, stripAt, length, stripLength)
                                      : QRect(stripAt, at, stripLength, length));
        }
        placed += inStrip;
    }
    return places;
}

}  // namespace widgets

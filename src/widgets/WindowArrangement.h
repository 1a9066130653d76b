#pragma once
// Tiling the windows of the main window's area so that each stays readable:
// strips across the whole area while each strip leaves a window its readable
// size, else a grid of rows and columns, so that the area never needs scroll
// bars to reach a window.

#include <QRect>
#include <QSize>

#include <vector>

namespace widgets {

// The places of `count` windows in `area`. `stacking` Qt::Vertical puts them
// one above the other, each the full width (Tile Horizontal); Qt::Horizontal
// side by side, each the full height (Tile Vertical). When a strip would be
// smaller than `readable`, the windows go into a grid instead, in reading
// order, with as few rows (or columns) as leave each its readable size; the
// last row or column shares the whole width or height among its windows.
std::vector<QRect> tileRects(const QRect& area, int count, Qt::Orientation stacking, const QSize& readable);

}  // namespace widgets

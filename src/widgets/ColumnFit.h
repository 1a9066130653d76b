#pragma once
// Columns that fit on a view's first opening, before the user has stored any
// widths, and whenever Fit Columns asks: each shown column as wide as its
// heading and its texts need, the view's free width shared among them, and
// tool tips that give the full text of a cell too narrow for it.

#include <QFontMetrics>
#include <QHash>
#include <QPointer>
#include <QString>

#include <chrono>
#include <utility>
#include <vector>

class QAbstractItemView;
class QTreeView;

namespace widgets {

class FlexGrid;

// Bounds of a fitted column, in pixels at the widget's font. A column is
// cut below what its texts need only when the view has no room for it;
// kMaxFittedColumn bounds columns added beside widths the user keeps, and
// kMaxNeededColumn what any column is taken to need.
inline constexpr int kMinFittedColumn = 40;
inline constexpr int kMaxFittedColumn = 260;
inline constexpr int kMaxNeededColumn = 1200;
// The most of a grid's width, in per cent, its frozen columns are fitted to
// together; a cell cut short shows its full text in a tool tip.
inline constexpr int kFrozenShare = 50;
// Beside frozen columns, the others share the rest of the width, none made
// narrower than this for it.
inline constexpr int kMinSharedColumn = 100;

// What a column needs to show its heading and texts whole, in pixels.
struct ColumnNeed {
    int pixels = 0;
    bool frozen = false;  // stays in sight while the others scroll (names, categories)
};

// The widths of columns in a view `available` pixels wide. When every
// column fits, each gets what it needs and the free width is shared among
// them in proportion to it, so the view is filled and nothing is cut.
// Otherwise the frozen columns together take at most kFrozenShare of the
// width, or what the others leave when that is more, and the others get what they need up to one
// common limit, the widest at which they fit: narrow columns stay whole and
// only the widest are cut. Where they cannot fit at kMinSharedColumn each,
// the view scrolls and each gets what it needs up to kMaxFittedColumn.
std::vector<int> shareColumnWidths(const std::vector<ColumnNeed>& needs, int available);

// The list's columns sized to heading and texts, sharing the list's width
// (shareColumnWidths); the last one stretches.
void fitListColumns(QTreeView& view);
// The same fit one column at a time, letting the events run after each:
// each column measures up to a thousand rows. False when the list was
// destroyed meanwhile; the caller must then check its own window too.
bool fitListColumnsLettingEventsRun(QTreeView& view);
// The grid's shown columns (hidden ones stay hidden) sized to their header
// lines and texts, sharing the grid's width (shareColumnWidths); room is
// left for a cell's icon.
void fitGridColumns(FlexGrid& grid);

// The same fit a few columns at a time: a comparison of hundreds of servers
// has tens of thousands of cells to measure. The widths are set together
// once the last column is measured. Columns added or removed between steps
// are taken as they come; a grid gone meanwhile ends the fit.
class GridColumnFit {
public:
    // Fits the columns from firstColumn on; the others keep their widths and
    // the fitted ones take at most kMaxFittedColumn each.
    explicit GridColumnFit(FlexGrid& grid, int firstColumn = 0);
    ~GridColumnFit();
    GridColumnFit(const GridColumnFit&) = delete;
    GridColumnFit& operator=(const GridColumnFit&) = delete;

    // Measures columns until about `budget` has passed; true once the fit is
    // done (or the grid is gone).
    bool step(std::chrono::nanoseconds budget);

private:
    QPointer<FlexGrid> m_grid;
    QFontMetrics m_metrics;
    double m_dpi;
    int m_firstCol;
    int m_col;
    QHash<QString, int> m_advances;             // text -> pixels
    std::vector<std::pair<int, int>> m_widths;  // column, pixels
};

// Fits the grid in slices of about `slice`, letting the events run between
// them so that the window stays responsive. False when the grid was
// destroyed meanwhile; the caller must then check its own window too.
bool fitGridColumnsLettingEventsRun(FlexGrid& grid, std::chrono::milliseconds slice, int firstColumn = 0);

// A cell whose text does not fit its column shows the full text in a tool
// tip, ahead of the cell's own tool tip.
void showElidedTextInToolTips(QAbstractItemView& view);

}  // namespace widgets

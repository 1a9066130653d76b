#pragma once
// Columns that fit on a view's first opening, before the user has stored any
// widths: each shown column as wide as its heading and its texts need,
// within sensible bounds, and tool tips that give the full text of a cell
// too narrow for it.

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

// Bounds of a fitted column, in pixels at the widget's font.
inline constexpr int kMinFittedColumn = 40;
inline constexpr int kMaxFittedColumn = 260;
// The most of a grid's width, in per cent, its frozen columns are fitted to
// together; a cell cut short shows its full text in a tool tip.
inline constexpr int kFrozenShare = 50;
// Beside frozen columns, the others share the rest of the width, none made
// narrower than this for it.
inline constexpr int kMinSharedColumn = 100;

// The list's columns sized to heading and texts; the last one stretches.
void fitListColumns(QTreeView& view);
// The same fit one column at a time, letting the events run after each:
// each column measures up to a thousand rows. False when the list was
// destroyed meanwhile; the caller must then check its own window too.
bool fitListColumnsLettingEventsRun(QTreeView& view);
// The grid's shown columns (hidden ones stay hidden) sized to their header
// lines and texts; room is left for a cell's icon. The frozen columns
// together take at most kFrozenShare of the grid's width, and the others
// share the rest (down to kMinSharedColumn each).
void fitGridColumns(FlexGrid& grid);

// The same fit a few columns at a time: a comparison of hundreds of servers
// has tens of thousands of cells to measure. The widths are set together
// once the last column is measured. Columns added or removed between steps
// are taken as they come; a grid gone meanwhile ends the fit.
class GridColumnFit {
public:
    // Fits the columns from firstColumn on; the others keep their widths.
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
    QHash<QString, int> m_advances;              // text -> pixels
    std::vector<std::pair<int, int>> m_widths;   // column, pixels
};

// Fits the grid in slices of about `slice`, letting the events run between
// them so that the window stays responsive. False when the grid was
// destroyed meanwhile; the caller must then check its own window too.
bool fitGridColumnsLettingEventsRun(FlexGrid& grid, std::chrono::milliseconds slice, int firstColumn = 0);

// A cell whose text does not fit its column shows the full text in a tool
// tip, ahead of the cell's own tool tip.
void showElidedTextInToolTips(QAbstractItemView& view);

}  // namespace widgets

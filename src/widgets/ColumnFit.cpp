#include "widgets/ColumnFit.h"

#include "widgets/FlexGrid.h"

#include "settings/ColumnScale.h"
#include "text/Twips.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QHelpEvent>
#include <QStyle>
#include <QTableView>
#include <QToolTip>
#include <QTreeView>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

namespace widgets {

namespace {

// Rows measured per column: enough to see the widths of a column, cheap on
// a comparison of thousands of rows.
constexpr int kMeasuredRows = 400;
constexpr int kCellPadding = 14;
constexpr int kIconRoom = 18;

class ElidedToolTips : public QObject {
public:
    explicit ElidedToolTips(QAbstractItemView& view) : QObject(&view), m_view(view) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::ToolTip || watched != m_view.viewport())
            return false;
        auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = m_view.indexAt(help->pos());
        if (!index.isValid())
            return false;
        const QString text = index.data(Qt::DisplayRole).toString();
        const QRect rect = m_view.visualRect(index);
        const int needed = m_view.fontMetrics().horizontalAdvance(text) + kCellPadding
                           + (index.data(Qt::DecorationRole).isValid() ? kIconRoom : 0);
        if (text.isEmpty() || needed <= rect.width())
            return false;  // the cell's own tool tip, if any
        QString tip = text;
        const QString own = index.data(Qt::ToolTipRole).toString();
        if (!own.isEmpty())
            tip += QStringLiteral("\n\n") + own;
        QToolTip::showText(help->globalPos(), tip, m_view.viewport(), rect);
        return true;
    }

private:
    QAbstractItemView& m_view;
};

// The room a view's columns have side by side: the width of the widget that
// holds it (laid out already, where the view itself may not be yet) within
// the view's frame, less a vertical scroll bar, which long lists show.
int columnRoom(const QWidget& holder, const QAbstractScrollArea& view)
{
    const int frame = view.frameWidth() * 2;
    const int scrollBar = view.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &view);
    return std::max(0, holder.width() - frame - scrollBar);
}

// Shares `available` among columns that all fit: each keeps what it needs
// and the rest is given in proportion to it.
void growToFill(std::vector<int>& widths, int available)
{
    const long long needed = std::accumulate(widths.begin(), widths.end(), 0LL);
    const long long spare = available - needed;
    if (widths.empty() || needed <= 0 || spare <= 0)
        return;
    long long given = 0;
    for (int& width : widths) {
        const long long extra = spare * width / needed;
        width += static_cast<int>(extra);
        given += extra;
    }
    widths.back() += static_cast<int>(spare - given);
}

// The widest limit at which the columns fit `room` when each takes
// min(need, limit); never below `floor`.
int commonLimit(std::vector<int> needs, long long room, int floor)
{
    std::sort(needs.begin(), needs.end());
    long long taken = 0;
    for (size_t i = 0; i < needs.size(); ++i) {
        const long long left = static_cast<long long>(needs.size() - i);
        // Every column from i on takes the limit: is it below this need?
        const long long limit = (room - taken) / left;
        if (limit < needs[i])
            return static_cast<int>(std::max<long long>(floor, limit));
        taken += needs[i];
    }
    return std::max(floor, needs.empty() ? floor : needs.back());
}

}  // namespace

std::vector<int> shareColumnWidths(const std::vector<ColumnNeed>& needs, int available)
{
    std::vector<int> widths;
    widths.reserve(needs.size());
    long long total = 0;
    for (const ColumnNeed& need : needs) {
        widths.push_back(std::clamp(need.pixels, kMinFittedColumn, kMaxNeededColumn));
        total += widths.back();
    }
    if (total <= available) {
        growToFill(widths, available);
        return widths;
    }
    // Too wide: the frozen columns keep at most their share, or what the
    // others leave when those need less.
    std::vector<int> frozen;
    std::vector<int> scrolled;
    for (size_t i = 0; i < needs.size(); ++i)
        (needs[i].frozen ? frozen : scrolled).push_back(widths[i]);
    const long long scrolledNeed = std::accumulate(scrolled.begin(), scrolled.end(), 0LL);
    const long long frozenRoom =
        std::max(static_cast<long long>(available) * kFrozenShare / 100, available - scrolledNeed);
    const long long frozenNeed = std::accumulate(frozen.begin(), frozen.end(), 0LL);
    const int frozenLimit =
        frozenNeed > frozenRoom ? commonLimit(frozen, frozenRoom, kMinFittedColumn) : kMaxNeededColumn;
    long long frozenTaken = 0;
    for (size_t i = 0; i < needs.size(); ++i) {
        if (needs[i].frozen) {
            widths[i] = std::min(widths[i], frozenLimit);
            frozenTaken += widths[i];
        }
    }
    const long long room = std::max(0LL, available - frozenTaken);
    long long atTheLeast = 0;
    for (const int need : scrolled)
        atTheLeast += std::min(need, kMinSharedColumn);
    // When even kMinSharedColumn each is too wide, the view scrolls anyway:
    // rather than cut every value, each column gets what it needs, up to
    // kMaxFittedColumn.
    const int scrolledLimit = atTheLeast > room ? kMaxFittedColumn : commonLimit(scrolled, room, kMinSharedColumn);
    for (size_t i = 0; i < needs.size(); ++i) {
        if (!needs[i].frozen)
            widths[i] = std::min(widths[i], scrolledLimit);
    }
    return widths;
}

namespace {

// What a list column needs: the wider of its heading and its texts.
int listColumnNeed(QTreeView& view, int col)
{
    QHeaderView* header = view.header();
    return std::max(header->sectionSizeHint(col), static_cast<const QAbstractItemView&>(view).sizeHintForColumn(col))
           + kCellPadding;
}

void applyListWidths(QTreeView& view, const std::vector<std::pair<int, int>>& needs)
{
    std::vector<ColumnNeed> columns;
    for (const auto& [col, pixels] : needs)
        columns.push_back({pixels, false});
    const QWidget* holder = view.parentWidget() ? view.parentWidget() : &view;
    const std::vector<int> widths = shareColumnWidths(columns, columnRoom(*holder, view));
    QHeaderView* header = view.header();
    // The last section stretches over what is left once the others are set;
    // while it stretches it cannot be given a width.
    header->setStretchLastSection(false);
    for (size_t i = 0; i < needs.size(); ++i)
        header->resizeSection(needs[i].first, widths[i]);
    header->setStretchLastSection(true);
}

}  // namespace

void fitListColumns(QTreeView& view)
{
    std::vector<std::pair<int, int>> needs;
    for (int col = 0; col < view.header()->count(); ++col) {
        if (!view.header()->isSectionHidden(col))
            needs.emplace_back(col, listColumnNeed(view, col));
    }
    applyListWidths(view, needs);
}

bool fitListColumnsLettingEventsRun(QTreeView& view)
{
    QPointer<QTreeView> alive(&view);
    std::vector<std::pair<int, int>> needs;
    for (int col = 0; col < view.header()->count(); ++col) {
        if (view.header()->isSectionHidden(col))
            continue;
        needs.emplace_back(col, listColumnNeed(view, col));
        QCoreApplication::processEvents();
        if (!alive)
            return false;
    }
    // Columns added or removed meanwhile are taken as they are now.
    std::erase_if(needs, [&view](const auto& need) { return need.first >= view.header()->count(); });
    applyListWidths(view, needs);
    return true;
}

namespace {

QFont boldFont(const QWidget& widget)
{
    // Measured in bold: marked cells are drawn so.
    QFont bold = widget.font();
    bold.setBold(true);
    return bold;
}

// The frozen columns (names, categories) leave at least half the grid to the
// columns scrolled beside them, and those share what is left, so that a
// comparison opens with several servers in sight rather than one long value.
// Cells cut short show their text in a tool tip.
void shareWidth(std::vector<std::pair<int, int>>& widths, int fixedCols, int keptFrozen, int gridWidth)
{
    const int frozenRoom = gridWidth * kFrozenShare / 100;
    if (fixedCols <= 0 || frozenRoom <= 0)
        return;
    int frozen = 0;
    int scrolled = 0;
    int scrolledCount = 0;
    for (const auto& [col, pixels] : widths) {
        if (col < fixedCols) {
            frozen += pixels;
        } else {
            scrolled += pixels;
            ++scrolledCount;
        }
    }
    if (frozen > frozenRoom) {
        for (auto& [col, pixels] : widths) {
            if (col < fixedCols)
                pixels = std::max(kMinFittedColumn, pixels * frozenRoom / frozen);
        }
        frozen = frozenRoom;
    }
    frozen += keptFrozen;
    // A comparison opened with one server so far leaves room for the next one
    // beside it.
    const int room = gridWidth - frozen;
    if (scrolledCount > 0 && (scrolled > room || scrolledCount == 1)) {
        const int share = std::max(kMinSharedColumn, room / std::max(scrolledCount, 2));
        for (auto& [col, pixels] : widths) {
            if (col >= fixedCols)
                pixels = std::min(pixels, share);
        }
    }
}

}  // namespace

GridColumnFit::GridColumnFit(FlexGrid& grid, int firstColumn)
    : m_grid(&grid)
    , m_metrics(boldFont(grid))
    , m_dpi(settings::columnDotsPerInch(&grid))
    , m_firstCol(std::max(firstColumn, 0))
    , m_col(m_firstCol)
{
}

GridColumnFit::~GridColumnFit() = default;

bool GridColumnFit::step(std::chrono::nanoseconds budget)
{
    if (!m_grid)
        return true;
    QElapsedTimer clock;
    clock.start();
    const GridData& data = m_grid->data();
    while (m_col < data.cols()) {
        const int col = m_col++;
        if (!data.isColShown(col))
            continue;
        int width = 0;
        int measured = 0;
        for (int row = 0; row < data.rows() && measured < kMeasuredRows; ++row) {
            if (!data.isRowShown(row))
                continue;
            // Servers side by side share most of their texts: each is measured once.
            const QString text = data.text(row, col).trimmed();
            auto known = m_advances.constFind(text);
            if (known == m_advances.cend())
                known = m_advances.insert(text, m_metrics.horizontalAdvance(text));
            width = std::max(width, *known);
            if (row >= data.fixedRows())
                ++measured;
        }
        m_widths.emplace_back(col, std::clamp(width + kCellPadding + kIconRoom, kMinFittedColumn, kMaxNeededColumn));
        if (clock.nsecsElapsed() >= budget.count() && m_col < data.cols())
            return false;
    }
    if (m_firstCol == 0) {
        std::vector<ColumnNeed> needs;
        for (const auto& [col, pixels] : m_widths)
            needs.push_back({pixels, col < data.fixedCols()});
        // A pixel is left for the widths' rounding to twips and back for
        // each column that can be in sight at once. Counting every column
        // instead would leave a comparison of hundreds of servers hardly any
        // room, and its names cut to a few letters.
        const int width = columnRoom(*m_grid, *m_grid->tableView());
        const int inSight = std::min(static_cast<int>(needs.size()), width / kMinFittedColumn + 1);
        const int room = width - inSight;
        const std::vector<int> shared = shareColumnWidths(needs, room);
        for (size_t i = 0; i < m_widths.size(); ++i)
            m_widths[i].second = shared[i];

    } else {
        // Beside the widths kept, the added columns take what they need up to
        // kMaxFittedColumn; frozen columns left out of this fit keep their room.
        for (auto& [col, pixels] : m_widths)
            pixels = std::min(pixels, kMaxFittedColumn);
        int keptFrozen = 0;
        for (int col = 0; col < std::min({m_firstCol, data.fixedCols(), data.cols()}); ++col) {
            if (data.isColShown(col))
                keptFrozen += texts::twipsToPixels(m_grid->model().colWidth(col), m_dpi);
        }
        shareWidth(m_widths, data.fixedCols(), keptFrozen, m_grid->width());
    }
    // The views take the new widths at once, not column by column.
    m_grid->model().beginUpdate();
    for (const auto& [col, pixels] : m_widths)
        m_grid->model().setColWidth(col, static_cast<int>(std::lround(texts::pixelsToTwips(pixels, m_dpi))));
    m_grid->model().endUpdate();
    m_widths.clear();
    return true;
}

void fitGridColumns(FlexGrid& grid)
{
    GridColumnFit fit(grid);
    while (!fit.step(std::chrono::nanoseconds::max())) {
    }
}

bool fitGridColumnsLettingEventsRun(FlexGrid& grid, std::chrono::milliseconds slice, int firstColumn)
{
    GridColumnFit fit(grid, firstColumn);
    QPointer<FlexGrid> alive(&grid);
    while (!fit.step(slice)) {
        QCoreApplication::processEvents();
        if (!alive)
            return false;
    }
    return true;
}

void showElidedTextInToolTips(QAbstractItemView& view)
{
    view.viewport()->installEventFilter(new ElidedToolTips(view));
}

}  // namespace widgets

#include "widgets/ColumnFit.h"

#include "widgets/FlexGrid.h"

#include "settings/ColumnScale.h"
#include "settings/Twips.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QHelpEvent>
#include <QTableView>
#include <QToolTip>
#include <QTreeView>

#include <algorithm>
#include <cmath>
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
            return false;   // the cell's own tool tip, if any
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

}  // namespace

namespace {

void fitListColumn(QTreeView& view, int col)
{
    QHeaderView* header = view.header();
    if (header->isSectionHidden(col))
        return;
    view.resizeColumnToContents(col);
    const int width = std::max(header->sectionSizeHint(col), header->sectionSize(col)) + kCellPadding;
    header->resizeSection(col, std::clamp(width, kMinFittedColumn, kMaxFittedColumn));
}

}  // namespace

void fitListColumns(QTreeView& view)
{
    QHeaderView* header = view.header();
    for (int col = 0; col < header->count(); ++col)
        fitListColumn(view, col);
    header->setStretchLastSection(true);
}

bool fitListColumnsLettingEventsRun(QTreeView& view)
{
    QPointer<QTreeView> alive(&view);
    for (int col = 0; col < view.header()->count(); ++col) {
        fitListColumn(view, col);
        QCoreApplication::processEvents();
        if (!alive)
            return false;
    }
    view.header()->setStretchLastSection(true);
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
    : m_grid(&grid),
      m_metrics(boldFont(grid)),
      m_dpi(settings::columnDotsPerInch(&grid)),
      m_firstCol(std::max(firstColumn, 0)),
      m_col(m_firstCol)
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
        m_widths.emplace_back(col, std::clamp(width + kCellPadding + kIconRoom, kMinFittedColumn, kMaxFittedColumn));
        if (clock.nsecsElapsed() >= budget.count() && m_col < data.cols())
            return false;
    }
    // Frozen columns left out of this fit keep their room.
    int keptFrozen = 0;
    for (int col = 0; col < std::min({m_firstCol, data.fixedCols(), data.cols()}); ++col) {
        if (data.isColShown(col))
            keptFrozen += settings::twipsToPixels(m_grid->colWidth(col), m_dpi);
    }
    shareWidth(m_widths, data.fixedCols(), keptFrozen, m_grid->width());
    // The views take the new widths at once, not column by column.
    m_grid->beginUpdate();
    for (const auto& [col, pixels] : m_widths)
        m_grid->setColWidth(col, static_cast<int>(std::lround(settings::pixelsToTwips(pixels, m_dpi))));
    m_grid->endUpdate();
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

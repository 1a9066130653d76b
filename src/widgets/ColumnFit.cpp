#include "widgets/ColumnFit.h"

#include "widgets/FlexGrid.h"

#include "settings/ColumnScale.h"
#include "settings/Twips.h"

#include <QAbstractItemView>
#include <QEvent>
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

void fitListColumns(QTreeView& view)
{
    QHeaderView* header = view.header();
    for (int col = 0; col < header->count(); ++col) {
        if (header->isSectionHidden(col))
            continue;
        view.resizeColumnToContents(col);
        const int width = std::max(header->sectionSizeHint(col), header->sectionSize(col)) + kCellPadding;
        header->resizeSection(col, std::clamp(width, kMinFittedColumn, kMaxFittedColumn));
    }
    header->setStretchLastSection(true);
}

void fitGridColumns(FlexGrid& grid)
{
    // Measured in bold: marked cells are drawn so.
    QFont bold = grid.font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    const GridData& data = grid.data();
    const double dpi = settings::columnDotsPerInch(&grid);
    std::vector<int> widths(static_cast<size_t>(data.cols()), 0);
    for (int col = 0; col < data.cols(); ++col) {
        if (!data.isColShown(col))
            continue;
        int width = 0;
        int measured = 0;
        for (int row = 0; row < data.rows() && measured < kMeasuredRows; ++row) {
            if (!data.isRowShown(row))
                continue;
            width = std::max(width, metrics.horizontalAdvance(data.text(row, col).trimmed()));
            if (row >= data.fixedRows())
                ++measured;
        }
        widths[static_cast<size_t>(col)] =
            std::clamp(width + kCellPadding + kIconRoom, kMinFittedColumn, kMaxFittedColumn);
    }
    // The frozen columns (names, categories) leave at least half the grid to
    // the columns scrolled beside them, and those share what is left, so that
    // a comparison opens with several servers in sight rather than one long
    // value. Cells cut short show their text in a tool tip.
    const int fixedCols = std::min(data.fixedCols(), data.cols());
    const int frozenRoom = grid.width() * kFrozenShare / 100;
    int frozen = 0;
    int scrolled = 0;
    int scrolledCount = 0;
    for (int col = 0; col < data.cols(); ++col) {
        const int width = widths[static_cast<size_t>(col)];
        if (col < fixedCols) {
            frozen += width;
        } else if (width > 0) {
            scrolled += width;
            ++scrolledCount;
        }
    }
    if (fixedCols > 0 && frozenRoom > 0) {
        if (frozen > frozenRoom) {
            for (int col = 0; col < fixedCols; ++col) {
                int& width = widths[static_cast<size_t>(col)];
                if (width > 0)
                    width = std::max(kMinFittedColumn, width * frozenRoom / frozen);
            }
            frozen = frozenRoom;
        }
        // A comparison opened with one server so far leaves room for the
        // next one beside it.
        const int room = grid.width() - frozen;
        if (scrolledCount > 0 && (scrolled > room || scrolledCount == 1)) {
            const int share = std::max(kMinSharedColumn, room / std::max(scrolledCount, 2));
            for (int col = fixedCols; col < data.cols(); ++col) {
                int& width = widths[static_cast<size_t>(col)];
                width = std::min(width, share);
            }
        }
    }
    for (int col = 0; col < data.cols(); ++col) {
        const int pixels = widths[static_cast<size_t>(col)];
        if (pixels > 0)
            grid.setColWidth(col, static_cast<int>(std::lround(settings::pixelsToTwips(pixels, dpi))));
    }
}

void showElidedTextInToolTips(QAbstractItemView& view)
{
    view.viewport()->installEventFilter(new ElidedToolTips(view));
}

}  // namespace widgets

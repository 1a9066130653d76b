#pragma once
// How the shared tables draw a cell's trouble level (models::kTroubleRole):
// a tinted background from the colour-blind-safe palette the utilization bars
// use (orange for a warning, vermilion for critical, reddish purple for
// nothing read), bold text and a symbol of its own shape for each level, so
// that the level shows without its colour too. Only the drawing changes; the
// cell's text stays as it is.

#include "models/CellTrouble.h"

#include <QColor>
#include <QIcon>
#include <QPen>
#include <QStyledItemDelegate>

namespace widgets {

QColor troubleColor(models::TroubleLevel level);

// The colour-blind-safe palette (Okabe and Ito) the program draws with, in
// the order lines take it: blue, orange, bluish green, reddish purple,
// vermilion, sky blue, black. Yellow is left out: it does not show on white.
inline constexpr int kPaletteColours = 7;
QColor paletteColour(int index);

// How the n-th line of a chart is drawn (from 0): the palette's colours solid,
// then dashed, then dotted, then dash-dotted, so that no two of the first 28
// lines look alike and lines tell apart without their colour too.
struct LineLook {
    QColor colour;
    Qt::PenStyle style = Qt::SolidLine;
    friend bool operator==(const LineLook&, const LineLook&) = default;
};
LineLook lineLook(int index);
QPen linePen(int index);
// A triangle with "!" (warning), a disc with "!" (critical), a disc with a bar
// (unavailable); a null icon for None.
QIcon troubleIcon(models::TroubleLevel level);
// Adds the look of the cell's trouble level to a view item's style option.
void applyTroubleLook(QStyleOptionViewItem* option, const QModelIndex& index);

// The item delegate of tables that carry trouble levels.
class TroubleDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

}  // namespace widgets

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
#include <QStyledItemDelegate>

namespace widgets {

QColor troubleColor(models::TroubleLevel level);
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

} // namespace widgets

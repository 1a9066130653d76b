#pragma once
// Draws a "Util %" cell as a bar as long as the percentage, coloured by its
// level (green, orange from the warning level, vermilion from the critical
// one: colours that stay apart for the common colour-vision deficiencies),
// with the cell's text over it. The text is the cell's own, so what Save
// and Copy write does not change.

#include "views/UtilizationRules.h"

#include <QColor>
#include <QStyledItemDelegate>

namespace views {

QColor utilizationColor(UtilizationLevel level);

class UtilizationBarDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit UtilizationBarDelegate(QObject* parent = nullptr) : QStyledItemDelegate(parent) {}

    void setThresholds(const UtilizationThresholds& thresholds) { m_thresholds = thresholds; }
    const UtilizationThresholds& thresholds() const { return m_thresholds; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    UtilizationThresholds m_thresholds;
};

}  // namespace views

#include "views/UtilizationBar.h"

#include "widgets/TroubleLook.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace views {

QColor utilizationColor(UtilizationLevel level)
{
    switch (level) {
    case UtilizationLevel::Normal:
        return QColor(0x00, 0x9E, 0x73);
    // The levels in the colours every table marks trouble with.
    case UtilizationLevel::Warning:
    case UtilizationLevel::Critical:
        return widgets::troubleColor(troubleLevelOf(level));
    case UtilizationLevel::Unknown:
        break;
    }
    return {};
}

void UtilizationBarDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);

    const QString text = opt.text;
    const auto percent = utilizationPercent(text);
    painter->save();
    if (percent) {
        const QRect area = opt.rect.adjusted(2, 3, -2, -3);
        const int width = area.width() * *percent / 100;
        QColor fill = utilizationColor(utilizationLevel(text, m_thresholds));
        fill.setAlpha(170);
        if (width > 0)
            painter->fillRect(QRect(area.left(), area.top(), width, area.height()), fill);
        // A frame shows the full scale, so 2 % and 100 % cannot be confused.
        QColor frame = opt.palette.color(QPalette::Mid);
        painter->setPen(frame);
        painter->drawRect(area.adjusted(0, 0, -1, -1));
    }
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget).adjusted(0, 0, -4, 0);
    const bool selected = opt.state & QStyle::State_Selected;
    painter->setFont(opt.font);
    style->drawItemText(painter, textRect, static_cast<int>(opt.displayAlignment), opt.palette, true, text,
                        selected ? QPalette::HighlightedText : QPalette::Text);
    painter->restore();
}

}  // namespace views

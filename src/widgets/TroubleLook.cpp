#include "widgets/TroubleLook.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <algorithm>
#include <array>

namespace widgets {

using models::TroubleLevel;

namespace {

constexpr int kIconSize = 16;

QPixmap drawSymbol(TroubleLevel level, int size, qreal ratio)
{
    QPixmap pixmap(QSize(size, size) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor fill = troubleColor(level);
    const QRectF box(1.0, 1.0, size - 2.0, size - 2.0);
    painter.setPen(QPen(fill.darker(150), 1.0));
    painter.setBrush(fill);
    if (level == TroubleLevel::Warning) {
        QPainterPath triangle;
        triangle.moveTo(box.center().x(), box.top());
        triangle.lineTo(box.right(), box.bottom());
        triangle.lineTo(box.left(), box.bottom());
        triangle.closeSubpath();
        painter.drawPath(triangle);
    } else {
        painter.drawEllipse(box);
    }
    const qreal middle = box.center().x();
    if (level == TroubleLevel::Unavailable) {
        // A bar across: "no entry".
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(box.left() + 3.0, box.center().y() - 1.25, box.width() - 6.0, 2.5));
        return pixmap;
    }
    // The exclamation mark: black on orange, white on vermilion.
    const QColor mark = level == TroubleLevel::Warning ? QColor(Qt::black) : QColor(Qt::white);
    painter.setPen(Qt::NoPen);
    painter.setBrush(mark);
    const qreal top = level == TroubleLevel::Warning ? box.top() + 5.0 : box.top() + 3.0;
    const qreal bottom = box.bottom() - 5.0;
    painter.drawRect(QRectF(middle - 1.0, top, 2.0, bottom - top));
    painter.drawEllipse(QPointF(middle, box.bottom() - 2.5), 1.2, 1.2);
    return pixmap;
}

}  // namespace

QColor paletteColour(int index)
{
    static constexpr std::array<QRgb, kPaletteColours> colours{0x0072B2, 0xE69F00, 0x009E73, 0xCC79A7,
                                                               0xD55E00, 0x56B4E9, 0x000000};
    const int wrapped = ((index % kPaletteColours) + kPaletteColours) % kPaletteColours;
    return QColor::fromRgb(colours.at(static_cast<size_t>(wrapped)));
}

LineLook lineLook(int index)
{
    static constexpr std::array<Qt::PenStyle, 4> styles{Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine};
    index = std::max(index, 0);
    return {paletteColour(index), styles.at(static_cast<size_t>((index / kPaletteColours) % 4))};
}

QPen linePen(int index)
{
    const LineLook look = lineLook(index);
    QPen pen(look.colour);
    // Dots and dashes need a little more weight to read as a line.
    pen.setWidthF(look.style == Qt::SolidLine ? 1.6 : 2.0);
    pen.setStyle(look.style);
    return pen;
}

QColor troubleColor(TroubleLevel level)
{
    switch (level) {
    case TroubleLevel::Warning:
        return paletteColour(1);
    case TroubleLevel::Critical:
        return paletteColour(4);
    case TroubleLevel::Unavailable:
        return paletteColour(3);
    case TroubleLevel::None:
        break;
    }
    return {};
}

QIcon troubleIcon(TroubleLevel level)
{
    if (level == TroubleLevel::None)
        return {};
    static std::array<QIcon, 4> icons;
    QIcon& icon = icons.at(static_cast<size_t>(level));
    if (icon.isNull()) {
        icon.addPixmap(drawSymbol(level, kIconSize, 1.0));
        icon.addPixmap(drawSymbol(level, kIconSize, 2.0));
    }
    return icon;
}

void applyTroubleLook(QStyleOptionViewItem* option, const QModelIndex& index)
{
    const auto level = static_cast<TroubleLevel>(index.data(models::kTroubleRole).toInt());
    if (level == TroubleLevel::None)
        return;
    // A light tint keeps the black text readable; the selection colour wins
    // on selected cells, where the symbol and the weight still show the level.
    QColor tint = troubleColor(level);
    tint.setAlpha(80);
    option->backgroundBrush = tint;
    option->font.setBold(true);
    option->features |= QStyleOptionViewItem::HasDecoration;
    option->icon = troubleIcon(level);
    const int side = std::min(kIconSize, option->fontMetrics.height());
    option->decorationSize = QSize(side, side);
}

void TroubleDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    applyTroubleLook(option, index);
}

}  // namespace widgets

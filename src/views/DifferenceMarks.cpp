#include "views/DifferenceMarks.h"

#include "widgets/FlexGrid.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>

namespace views {

namespace {

constexpr int kTintAlpha = 110;
constexpr int kIconSize = 12;

// A small filled shape in the mark's colour with a dark outline, drawn so
// that it also reads without colour: a triangle down for older, up for
// newer, a hollow circle for missing, a diamond for another value, a bar for
// a row that differs.
QIcon markIcon(models::CellMark mark, bool rowMarker)
{
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor colour = rowMarker ? differenceColor(models::CellMark::Differs) : differenceColor(mark);
    painter.setPen(QPen(QColor(40, 40, 40), 1));
    painter.setBrush(colour);
    const double s = kIconSize;
    if (rowMarker) {
        painter.drawRect(QRectF(3, 1, 5, s - 2));
    } else {
        switch (mark) {
        case models::CellMark::Older:
            painter.drawPolygon(QPolygonF({QPointF(1, 2), QPointF(s - 1, 2), QPointF(s / 2, s - 1)}));
            break;
        case models::CellMark::Newer:
            painter.drawPolygon(QPolygonF({QPointF(1, s - 2), QPointF(s - 1, s - 2), QPointF(s / 2, 1)}));
            break;
        case models::CellMark::Missing:
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(colour.darker(130), 2));
            painter.drawEllipse(QRectF(2, 2, s - 4, s - 4));
            break;
        default:
            painter.drawPolygon(
                QPolygonF({QPointF(s / 2, 1), QPointF(s - 1, s / 2), QPointF(s / 2, s - 1), QPointF(1, s / 2)}));
            break;
        }
    }
    painter.end();
    return QIcon(pixmap);
}

}  // namespace

QColor differenceColor(models::CellMark mark)
{
    // Okabe and Ito's palette.
    switch (mark) {
    case models::CellMark::Differs:
        return QColor(0xE6, 0x9F, 0x00);  // orange
    case models::CellMark::Older:
        return QColor(0xD5, 0x5E, 0x00);  // vermilion
    case models::CellMark::Newer:
        return QColor(0x00, 0x72, 0xB2);  // blue
    case models::CellMark::Missing:
        return QColor(0xCC, 0x79, 0xA7);  // reddish purple
    case models::CellMark::Agrees:
        break;
    }
    return {};
}

DifferenceMarks::DifferenceMarks(widgets::FlexGrid& grid, Rule rule, QObject* parent)
    : QObject(parent)
    , m_grid(grid)
    , m_rule(std::move(rule))
    , m_rowMarker(markIcon(models::CellMark::Differs, true))
{
    for (int m = 0; m < 5; ++m)
        m_icons[m] = markIcon(static_cast<models::CellMark>(m), false);
    models::FlexGridModel& model = grid.model();
    // Any change of cells, rows or columns may change a row's verdict.
    connect(&model, &QAbstractItemModel::dataChanged, this, [this] { forget(); });
    connect(&model, &QAbstractItemModel::modelReset, this, [this] { forget(); });
    connect(&model, &QAbstractItemModel::layoutChanged, this, [this] { forget(); });
    connect(&model, &QAbstractItemModel::rowsInserted, this, [this] { forget(); });
    connect(&model, &QAbstractItemModel::rowsRemoved, this, [this] { forget(); });
    connect(&model, &QAbstractItemModel::columnsInserted, this, [this] { forget(); });
    connect(&model, &QAbstractItemModel::columnsRemoved, this, [this] { forget(); });
    connect(&model, &QAbstractItemModel::headerDataChanged, this, [this] { forget(); });
    model.setCellDecorator([this](int row, int col, int role) { return decoration(row, col, role); });
}

void DifferenceMarks::setEnabled(bool on)
{
    if (m_enabled == on)
        return;
    m_enabled = on;
    ruleChanged();
}

void DifferenceMarks::ruleChanged()
{
    forget();
    m_grid.model().refreshDecorations();
}

const models::CellDifference& DifferenceMarks::differenceAt(int gridRow, int col) const
{
    const quint64 key = (static_cast<quint64>(static_cast<quint32>(gridRow)) << 32) | static_cast<quint32>(col);
    auto it = m_cache.find(key);
    if (it == m_cache.end())
        it = m_cache.insert(key, m_rule(m_grid.data(), gridRow, col));
    return it.value();
}

QVariant DifferenceMarks::decoration(int gridRow, int col, int role) const
{
    if (!m_enabled)
        return {};
    if (role != Qt::BackgroundRole && role != Qt::FontRole && role != Qt::DecorationRole && role != Qt::ToolTipRole)
        return {};
    const models::CellDifference& cell = differenceAt(gridRow, col);
    if (!cell.rowDiffers)
        return {};
    const bool nameColumn = col < m_grid.model().fixedCols();
    if (nameColumn && col > 0)
        return {};  // the marker goes into the name column only
    if (role == Qt::ToolTipRole) {
        if (nameColumn)
            return tr("The servers do not all agree in this row.");
        return models::differenceToolTip(cell);
    }
    if (nameColumn) {
        if (role == Qt::DecorationRole)
            return m_rowMarker;
        if (role == Qt::FontRole) {
            QFont font = m_grid.font();
            font.setBold(true);
            return font;
        }
        return {};
    }
    if (cell.mark == models::CellMark::Agrees)
        return {};
    switch (role) {
    case Qt::BackgroundRole: {
        QColor tint = differenceColor(cell.mark);
        tint.setAlpha(kTintAlpha);
        return tint;
    }
    case Qt::FontRole: {
        QFont font = m_grid.font();
        font.setBold(true);
        return font;
    }
    case Qt::DecorationRole:
        return m_icons[static_cast<int>(cell.mark)];
    default:
        return {};
    }
}

}  // namespace views

#include "models/FlexGridModel.h"

#include <algorithm>

namespace models {

FlexGridModel::FlexGridModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

// ---- shape ---------------------------------------------------------------

void FlexGridModel::setRows(int count)
{
    if (count == rows())
        return;
    m_grid.setRows(count);
    structureChanged();
}

void FlexGridModel::setCols(int count)
{
    if (count == cols())
        return;
    m_grid.setCols(count);
    structureChanged();
}

void FlexGridModel::setFixedRows(int count)
{
    if (count == fixedRows())
        return;
    m_grid.setFixedRows(count);
    structureChanged();
}

void FlexGridModel::setFixedCols(int count)
{
    if (count == fixedCols())
        return;
    m_grid.setFixedCols(count);
    structureChanged();
}

// ---- cells ---------------------------------------------------------------

void FlexGridModel::setTextMatrix(int row, int col, const QString& text)
{
    if (m_grid.setText(row, col, text))
        cellChanged(row, col);
}

void FlexGridModel::setCellAlignment(int row, int col, Qt::Alignment alignment)
{
    if (!m_grid.isValidCell(row, col))
        return;
    m_grid.setCellAlignment(row, col, alignment);
    cellChanged(row, col);
}

void FlexGridModel::setColAlignment(int col, Qt::Alignment alignment)
{
    if (col < 0 || col >= cols())
        return;
    m_grid.setColAlignment(col, alignment);
    if (rows() == 0)
        return;
    cellChanged(0, col);
    cellChanged(rows() - 1, col);
}

void FlexGridModel::cellChanged(int row, int col)
{
    if (m_updateDepth > 0) {
        if (m_dirtyTop < 0) {
            m_dirtyTop = m_dirtyBottom = row;
            m_dirtyLeft = m_dirtyRight = col;
        } else {
            m_dirtyTop = std::min(m_dirtyTop, row);
            m_dirtyBottom = std::max(m_dirtyBottom, row);
            m_dirtyLeft = std::min(m_dirtyLeft, col);
            m_dirtyRight = std::max(m_dirtyRight, col);
        }
        if (row < fixedRows())
            m_pendingHeader = true;
        return;
    }
    if (row < fixedRows()) {
        Q_EMIT headerDataChanged(Qt::Horizontal, col, col);
        return;
    }
    const int v = viewRow(row);
    if (v >= 0)
        Q_EMIT dataChanged(index(v, col), index(v, col));
}

// ---- sizes ---------------------------------------------------------------

void FlexGridModel::setRowHeight(int row, int twips)
{
    if (row < 0 || row >= rows())
        return;
    const bool wasShown = m_grid.isRowShown(row);
    m_grid.setRowHeight(row, twips);
    const bool shown = m_grid.isRowShown(row);
    if (wasShown == shown)
        return;
    if (row < fixedRows()) {
        if (m_updateDepth > 0)
            m_pendingHeader = true;
        else
            Q_EMIT headerDataChanged(Qt::Horizontal, 0, std::max(0, cols() - 1));
        return;
    }
    if (m_updateDepth > 0) {
        m_pendingStructure = true;
        return;
    }
    const auto it = std::lower_bound(m_visible.begin(), m_visible.end(), row);
    const int position = static_cast<int>(it - m_visible.begin());
    if (shown) {
        beginInsertRows(QModelIndex(), position, position);
        m_visible.insert(it, row);
        endInsertRows();
    } else {
        beginRemoveRows(QModelIndex(), position, position);
        m_visible.erase(it);
        endRemoveRows();
    }
}

void FlexGridModel::setColWidth(int col, int twips)
{
    if (col < 0 || col >= cols() || m_grid.colWidth(col) == std::max(0, twips))
        return;
    m_grid.setColWidth(col, twips);
    if (m_updateDepth > 0)
        m_pendingColumns = true;
    else
        Q_EMIT columnWidthChanged(col);
}

// ---- rows and columns ----------------------------------------------------

int FlexGridModel::addRow(const QStringList& cells, int at)
{
    if (at < 0 || at > rows())
        at = rows();
    if (m_updateDepth > 0 || at < fixedRows()) {
        m_grid.insertRow(at, cells);
        structureChanged();
        return at;
    }
    const auto it = std::lower_bound(m_visible.begin(), m_visible.end(), at);
    const int position = static_cast<int>(it - m_visible.begin());
    beginInsertRows(QModelIndex(), position, position);
    m_grid.insertRow(at, cells);
    for (auto shifted = it; shifted != m_visible.end(); ++shifted)
        ++*shifted;
    m_visible.insert(m_visible.begin() + position, at);
    endInsertRows();
    return at;
}

void FlexGridModel::removeRow(int row)
{
    if (row < 0 || row >= rows())
        return;
    if (m_updateDepth > 0 || row < fixedRows()) {
        m_grid.removeRow(row);
        structureChanged();
        return;
    }
    const auto it = std::lower_bound(m_visible.begin(), m_visible.end(), row);
    const int position = static_cast<int>(it - m_visible.begin());
    const bool shown = it != m_visible.end() && *it == row;
    if (shown)
        beginRemoveRows(QModelIndex(), position, position);
    m_grid.removeRow(row);
    auto rest = shown ? m_visible.erase(it) : it;
    for (; rest != m_visible.end(); ++rest)
        --*rest;
    if (shown)
        endRemoveRows();
    clampSelection();
}

void FlexGridModel::moveColumnToEnd(int col)
{
    if (col < 0 || col >= cols() - 1)
        return;
    m_grid.moveColumnToEnd(col);
    structureChanged();
}

void FlexGridModel::removeColumn(int col)
{
    if (m_grid.removeColumn(col))
        structureChanged();
}

void FlexGridModel::sortRows(int col, SortMode mode, int firstDataRow)
{
    if (col < 0 || col >= cols())
        return;
    m_grid.sortRows(col, mode, firstDataRow);
    structureChanged();
}

int FlexGridModel::removeEmptyRows()
{
    const int removed = m_grid.removeEmptyRows();
    if (removed > 0)
        structureChanged();
    return removed;
}

// ---- selection -----------------------------------------------------------

void FlexGridModel::select(int row, int col, int rowSel, int colSel)
{
    const int lastRow = std::max(0, rows() - 1);
    const int lastCol = std::max(0, cols() - 1);
    m_row = std::clamp(row, 0, lastRow);
    m_col = std::clamp(col, 0, lastCol);
    m_rowSel = std::clamp(rowSel, 0, lastRow);
    m_colSel = std::clamp(colSel, 0, lastCol);
    if (m_updateDepth > 0)
        m_pendingSelection = true;
    else
        Q_EMIT cellSelectionChanged();
}

CellRange FlexGridModel::selectedRange() const
{
    return {std::min(m_row, m_rowSel), std::min(m_col, m_colSel), std::max(m_row, m_rowSel),
            std::max(m_col, m_colSel)};
}

void FlexGridModel::setHighlight(bool on)
{
    if (m_highlight == on)
        return;
    m_highlight = on;
    if (m_updateDepth > 0)
        m_pendingSelection = true;
    else
        Q_EMIT cellSelectionChanged();
}

void FlexGridModel::clampSelection()
{
    const int lastRow = std::max(0, rows() - 1);
    const int lastCol = std::max(0, cols() - 1);
    const int row = std::clamp(m_row, 0, lastRow);
    const int col = std::clamp(m_col, 0, lastCol);
    const int rowSel = std::clamp(m_rowSel, 0, lastRow);
    const int colSel = std::clamp(m_colSel, 0, lastCol);
    if (row != m_row || col != m_col || rowSel != m_rowSel || colSel != m_colSel)
        select(row, col, rowSel, colSel);
}

// ---- batches -------------------------------------------------------------

void FlexGridModel::beginUpdate()
{
    ++m_updateDepth;
}

void FlexGridModel::endUpdate()
{
    if (m_updateDepth == 0)
        return;
    if (--m_updateDepth == 0)
        emitPending();
}

void FlexGridModel::structureChanged()
{
    if (m_updateDepth > 0) {
        m_pendingStructure = true;
        return;
    }
    beginResetModel();
    rebuildVisible();
    endResetModel();
    Q_EMIT columnWidthChanged(-1);
    clampSelection();
    Q_EMIT cellSelectionChanged();
}

void FlexGridModel::emitPending()
{
    const bool structure = m_pendingStructure;
    const bool header = m_pendingHeader;
    const bool columns = m_pendingColumns;
    const bool selection = m_pendingSelection;
    const int top = m_dirtyTop;
    const int bottom = m_dirtyBottom;
    const int left = m_dirtyLeft;
    const int right = m_dirtyRight;
    m_pendingStructure = m_pendingHeader = m_pendingColumns = m_pendingSelection = false;
    m_dirtyTop = m_dirtyBottom = m_dirtyLeft = m_dirtyRight = -1;

    if (structure) {
        structureChanged();
        return;
    }
    if (top >= 0) {
        const auto first = std::lower_bound(m_visible.begin(), m_visible.end(), std::max(top, fixedRows()));
        const auto last = std::upper_bound(m_visible.begin(), m_visible.end(), bottom);
        if (first < last) {
            const int firstRow = static_cast<int>(first - m_visible.begin());
            const int lastRow = static_cast<int>(last - m_visible.begin()) - 1;
            Q_EMIT dataChanged(index(firstRow, left), index(lastRow, right));
        }
    }
    if (header && cols() > 0)
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, cols() - 1);
    if (columns)
        Q_EMIT columnWidthChanged(-1);
    if (selection)
        Q_EMIT cellSelectionChanged();
}

void FlexGridModel::rebuildVisible()
{
    m_visible.clear();
    m_visible.reserve(static_cast<size_t>(std::max(0, rows() - fixedRows())));
    for (int r = fixedRows(); r < rows(); ++r) {
        if (m_grid.isRowShown(r))
            m_visible.push_back(r);
    }
}

int FlexGridModel::viewRow(int gridRow) const
{
    const auto it = std::lower_bound(m_visible.begin(), m_visible.end(), gridRow);
    if (it == m_visible.end() || *it != gridRow)
        return -1;
    return static_cast<int>(it - m_visible.begin());
}

std::pair<int, int> FlexGridModel::viewRowsBetween(int top, int bottom) const
{
    const auto first = std::lower_bound(m_visible.begin(), m_visible.end(), top);
    const auto last = std::upper_bound(m_visible.begin(), m_visible.end(), bottom);
    return {static_cast<int>(first - m_visible.begin()), static_cast<int>(last - m_visible.begin()) - 1};
}

int FlexGridModel::gridRow(int viewRow) const
{
    if (viewRow < 0 || viewRow >= static_cast<int>(m_visible.size()))
        return -1;
    return m_visible[static_cast<size_t>(viewRow)];
}

// ---- QAbstractItemModel ----------------------------------------------------

int FlexGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_visible.size());
}

int FlexGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : cols();
}

void FlexGridModel::setCellDecorator(CellDecorator decorator)
{
    m_decorator = std::move(decorator);
    refreshDecorations();
}

void FlexGridModel::refreshDecorations()
{
    if (rowCount() > 0 && columnCount() > 0)
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

QVariant FlexGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    // During a batch the published rows may be stale: every read is checked.
    const int r = gridRow(index.row());
    if (!m_grid.isValidCell(r, index.column()))
        return {};
    switch (role) {
    case Qt::DisplayRole: {
        // Right-aligned cells may carry blanks on the left so that they sort as
        // text; on screen they would only push the text out of a narrow column.
        const QString& text = m_grid.text(r, index.column());
        if (m_grid.cellAlignment(r, index.column()) & Qt::AlignRight) {
            qsizetype blanks = 0;
            while (blanks < text.size() && text.at(blanks) == QLatin1Char(' '))
                ++blanks;
            return text.mid(blanks);
        }
        return text;
    }
    case Qt::TextAlignmentRole:
        return static_cast<int>(m_grid.cellAlignment(r, index.column()).toInt());
    case kFixedCellRole:
        return index.column() < fixedCols();
    default:
        return m_decorator ? m_decorator(r, index.column(), role) : QVariant();
    }
}

QVariant FlexGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= cols())
        return {};
    if (role == Qt::DisplayRole) {
        QStringList lines;
        for (int r = 0; r < fixedRows(); ++r) {
            if (m_grid.isRowShown(r))
                lines.append(m_grid.text(r, section));
        }
        return lines.join(QLatin1Char('\n'));
    }
    if (role == Qt::TextAlignmentRole && fixedRows() > 0)
        return static_cast<int>(m_grid.cellAlignment(0, section).toInt());
    return {};
}

Qt::ItemFlags FlexGridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

}  // namespace models

#include "models/FlexGridModel.h"

#include <algorithm>

namespace models {

FlexGridModel::FlexGridModel(QObject* parent) : QAbstractTableModel(parent)
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
    const bool appended = count > cols();
    m_grid.setCols(count);
    // Columns appended during a batch are announced as inserted at its end.
    if (!(appended && tracksInsertions()))
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
        m_insertedRows.clear();
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
    // A column not yet announced gets its width with its insertion.
    if (col >= m_publishedCols)
        return;
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
    if (tracksInsertions() && at >= fixedRows()) {
        m_grid.insertRow(at, cells);
        const auto it = std::lower_bound(m_insertedRows.begin(), m_insertedRows.end(), at);
        for (auto shifted = it; shifted != m_insertedRows.end(); ++shifted)
            ++*shifted;
        m_insertedRows.insert(it, at);
        return at;
    }
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
    if (!m_selectionMade && m_row < fixedRows())
        clampSelection();
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
    if (!tracksInsertions()) {
        m_grid.sortRows(col, mode, firstDataRow);
        structureChanged();
        return;
    }
    // Rows inserted during the batch may move anywhere; the rows the views
    // already show must keep their order among themselves, or the views are
    // told of a new model after all.
    std::vector<int> order;
    m_grid.sortRows(col, mode, firstDataRow, &order);
    const int first = std::max(0, firstDataRow);
    std::vector<int> inserted;
    int lastKnown = -1;
    for (size_t i = 0; i < order.size(); ++i) {
        const int before = order[i];
        if (std::binary_search(m_insertedRows.begin(), m_insertedRows.end(), before)) {
            inserted.push_back(first + static_cast<int>(i));
        } else if (before < lastKnown) {
            structureChanged();
            m_insertedRows.clear();
            return;
        } else {
            lastKnown = before;
        }
    }
    if (!order.empty()) {
        // Rows above the sorted range stay where they were.
        std::vector<int> kept;
        for (const int r : m_insertedRows) {
            if (r < first)
                kept.push_back(r);
        }
        kept.insert(kept.end(), inserted.begin(), inserted.end());
        m_insertedRows = std::move(kept);
    }
    // The texts of the moved rows are announced with the insertions.
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
    m_selectionMade = true;
    applySelection(row, col, rowSel, colSel);
}

void FlexGridModel::applySelection(int row, int col, int rowSel, int colSel)
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
    return {std::min(m_row, m_rowSel), std::min(m_col, m_colSel), std::max(m_row, m_rowSel), std::max(m_col, m_colSel)};
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
    int row = std::clamp(m_row, 0, lastRow);
    const int col = std::clamp(m_col, 0, lastCol);
    int rowSel = std::clamp(m_rowSel, 0, lastRow);
    const int colSel = std::clamp(m_colSel, 0, lastCol);
    // Until someone moves it, the current row of a grid is its first data
    // row, not the header: copying "the selected rows" of a new comparison
    // takes a row of data.
    const int firstData = m_grid.fixedRows();
    if (!m_selectionMade && firstData < rows()) {
        row = std::max(row, firstData);
        rowSel = std::max(rowSel, firstData);
    }
    if (row != m_row || col != m_col || rowSel != m_rowSel || colSel != m_colSel)
        applySelection(row, col, rowSel, colSel);
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
        m_insertedRows.clear();
        return;
    }
    beginResetModel();
    rebuildVisible();
    m_publishedCols = cols();
    m_insertedRows.clear();
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
    const bool rowsInserted = !m_insertedRows.empty();
    if (rowsInserted || cols() > m_publishedCols)
        emitInsertions();
    if (rowsInserted && top >= 0) {
        // Rows moved while the batch ran: the changed cells are somewhere in
        // the changed columns.
        if (!m_visible.empty())
            Q_EMIT dataChanged(index(0, left), index(static_cast<int>(m_visible.size()) - 1, right));
    } else if (top >= 0) {
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
    if (rowsInserted) {
        clampSelection();
        Q_EMIT cellSelectionChanged();
    } else if (selection) {
        Q_EMIT cellSelectionChanged();
    }
}

void FlexGridModel::emitInsertions()
{
    if (cols() > m_publishedCols) {
        beginInsertColumns(QModelIndex(), m_publishedCols, cols() - 1);
        m_publishedCols = cols();
        endInsertColumns();
    }
    if (m_insertedRows.empty())
        return;
    const std::vector<int> inserted = std::move(m_insertedRows);
    m_insertedRows.clear();
    // The rows shown before move down past the inserted rows above them.
    size_t above = 0;
    for (int& r : m_visible) {
        while (above < inserted.size() && inserted[above] <= r + static_cast<int>(above))
            ++above;
        r += static_cast<int>(above);
    }
    // Then each run of adjacent inserted rows is announced at its place.
    size_t i = 0;
    while (i < inserted.size()) {
        size_t end = i + 1;
        while (end < inserted.size() && inserted[end] == inserted[end - 1] + 1)
            ++end;
        const auto at = std::lower_bound(m_visible.begin(), m_visible.end(), inserted[i]);
        const int position = static_cast<int>(at - m_visible.begin());
        beginInsertRows(QModelIndex(), position, position + static_cast<int>(end - i) - 1);
        m_visible.insert(at, inserted.begin() + static_cast<std::ptrdiff_t>(i),
                         inserted.begin() + static_cast<std::ptrdiff_t>(end));
        endInsertRows();
        i = end;
    }
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
    return parent.isValid() ? 0 : m_publishedCols;
}

void FlexGridModel::setTroubleRule(TroubleRule rule)
{
    m_trouble = std::move(rule);
    refreshDecorations();
}

void FlexGridModel::setCellDecorator(CellDecorator decorator)
{
    m_decorator = std::move(decorator);
    refreshDecorations();
}

void FlexGridModel::setHeaderDecorator(HeaderDecorator decorator)
{
    m_headerDecorator = std::move(decorator);
    if (columnCount() > 0)
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
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
    case kTroubleRole:
        return static_cast<int>(m_trouble ? m_trouble(r, index.column()) : TroubleLevel::None);
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
    return m_headerDecorator ? m_headerDecorator(section, role) : QVariant();
}

Qt::ItemFlags FlexGridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

}  // namespace models

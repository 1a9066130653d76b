#pragma once
// Item model of a flex grid. It owns the cells (GridData) and shows the shown
// data rows (height > 0, below the fixed rows) as its rows; the fixed rows
// become the column headers, one line each. Changes made between beginUpdate
// and endUpdate are announced once at the end, so a refresh of thousands of
// cells costs one repaint. A batch that only appends columns, inserts rows
// and sorts the inserted rows in among rows already in order is announced as
// insertions, so the views keep their columns, widths and scroll position and
// do only the work of the new rows and columns; any other change of shape
// resets the model.

#include "models/CellTrouble.h"
#include "models/GridData.h"

#include <QAbstractTableModel>

#include <functional>
#include <utility>
#include <vector>

namespace models {

class FlexGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // True for cells of the fixed columns, which are drawn like headers.
    static constexpr int kFixedCellRole = Qt::UserRole + 1;

    explicit FlexGridModel(QObject* parent = nullptr);

    // Extra looks of cells (background, font, icon, tool tip) from the window
    // that shows them, by grid row and column; the cell texts stay as they are.
    using CellDecorator = std::function<QVariant(int gridRow, int col, int role)>;
    void setCellDecorator(CellDecorator decorator);
    // The decorator's answers changed: every shown cell is drawn again.
    void refreshDecorations();
    // Extra looks of a column's header (font, colour, tool tip), by column;
    // the header texts stay as they are.
    using HeaderDecorator = std::function<QVariant(int col, int role)>;
    void setHeaderDecorator(HeaderDecorator decorator);
    // The trouble level of each cell (kTroubleRole), by grid row and column.
    void setTroubleRule(TroubleRule rule);

    const GridData& grid() const { return m_grid; }

    // Grid shape.
    int rows() const { return m_grid.rows(); }
    int cols() const { return m_grid.cols(); }
    void setRows(int count);
    void setCols(int count);
    void reserveCols(int count) { m_grid.reserveCols(count); }
    int fixedRows() const { return m_grid.fixedRows(); }
    int fixedCols() const { return m_grid.fixedCols(); }
    void setFixedRows(int count);
    void setFixedCols(int count);

    // Cells.
    QString textMatrix(int row, int col) const { return m_grid.text(row, col); }
    void setTextMatrix(int row, int col, const QString& text);
    Qt::Alignment cellAlignment(int row, int col) const { return m_grid.cellAlignment(row, col); }
    void setCellAlignment(int row, int col, Qt::Alignment alignment);
    Qt::Alignment colAlignment(int col) const { return m_grid.colAlignment(col); }
    void setColAlignment(int col, Qt::Alignment alignment);

    // Sizes in twips; 0 hides the row or column.
    int rowHeight(int row) const { return m_grid.rowHeight(row); }
    void setRowHeight(int row, int twips);
    int colWidth(int col) const { return m_grid.colWidth(col); }
    void setColWidth(int col, int twips);

    // Rows and columns.
    int addRow(const QStringList& cells = {}, int at = -1);
    void removeRow(int row);
    void moveColumnToEnd(int col);
    void removeColumn(int col);
    void sortRows(int col, SortMode mode, int firstDataRow);
    int removeEmptyRows();

    // Current cell (row, col) and selection end (rowSel, colSel), kept inside the grid.
    int row() const { return m_row; }
    int col() const { return m_col; }
    int rowSel() const { return m_rowSel; }
    int colSel() const { return m_colSel; }
    void setRow(int row) { select(row, m_col, row, m_colSel); }
    void setCol(int col) { select(m_row, col, m_rowSel, col); }
    void setRowSel(int rowSel) { select(m_row, m_col, rowSel, m_colSel); }
    void setColSel(int colSel) { select(m_row, m_col, m_rowSel, colSel); }
    void select(int row, int col, int rowSel, int colSel);
    CellRange selectedRange() const;
    bool highlight() const { return m_highlight; }
    void setHighlight(bool on);

    // Updates between these calls are announced once, at the outermost end.
    void beginUpdate();
    void endUpdate();
    bool isUpdating() const { return m_updateDepth > 0; }

    // Between the grid and the model rows.
    int viewRow(int gridRow) const;  // -1 for fixed, hidden or missing rows
    int gridRow(int viewRow) const;  // -1 when out of range
    // First and last model rows showing grid rows top..bottom; last < first when none.
    std::pair<int, int> viewRowsBetween(int top, int bottom) const;

    // QAbstractItemModel
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

Q_SIGNALS:
    // Widths (or hidden state) of the given column changed; -1 for all columns.
    void columnWidthChanged(int col);
    // The current cell, the selection end or the highlight changed.
    void cellSelectionChanged();

private:
    void structureChanged();  // rebuilds the rows of the model
    void cellChanged(int row, int col);
    bool tracksInsertions() const { return m_updateDepth > 0 && !m_pendingStructure; }
    void emitInsertions();
    void rebuildVisible();
    void clampSelection();
    void applySelection(int row, int col, int rowSel, int colSel);
    void emitPending();

    GridData m_grid;
    CellDecorator m_decorator;
    HeaderDecorator m_headerDecorator;
    TroubleRule m_trouble;
    std::vector<int> m_visible;       // grid rows shown as model rows, ascending
    int m_publishedCols = 0;          // columns the views have been told of
    std::vector<int> m_insertedRows;  // grid rows inserted during the batch, ascending

    int m_row = 0;
    int m_col = 0;
    int m_rowSel = 0;
    int m_colSel = 0;
    bool m_highlight = true;
    bool m_selectionMade = false;  // the current cell was set by code or by the user

    int m_updateDepth = 0;
    bool m_pendingStructure = false;
    bool m_pendingHeader = false;
    bool m_pendingColumns = false;
    bool m_pendingSelection = false;
    int m_dirtyTop = -1;
    int m_dirtyBottom = -1;
    int m_dirtyLeft = -1;
    int m_dirtyRight = -1;
};

}  // namespace models

#pragma once
// The flex grid of the views: a table of cell texts with fixed header rows and
// columns, sizes in twips (0 hides a row or column), a current cell with a
// selection end, sorting and mouse events that name the cell under the
// pointer, header rows included. The cells live in a FlexGridModel; the
// table view only paints, with uniform row heights and no per-cell widgets.

#include "models/FlexGridModel.h"

#include <QPoint>
#include <QWidget>

#include <utility>

class QTableView;
class QHeaderView;
class QMouseEvent;

namespace widgets {

// The widget shows and edits the model's own types.
using models::CellRange;
using models::FlexGridModel;
using models::GridData;
using models::SortMode;

class FlexGrid : public QWidget {
    Q_OBJECT
public:
    explicit FlexGrid(QWidget* parent = nullptr);
    ~FlexGrid() override;

    // The grid's control name; export looks at it (grdNLMDescription, grdNLMs).
    QString name() const { return objectName(); }

    FlexGridModel& model() { return *m_model; }
    const FlexGridModel& model() const { return *m_model; }
    const GridData& data() const { return m_model->grid(); }
    QTableView* tableView() const;

    int rows() const { return m_model->rows(); }
    int cols() const { return m_model->cols(); }
    void setRows(int count) { m_model->setRows(count); }
    void setCols(int count) { m_model->setCols(count); }
    int fixedRows() const { return m_model->fixedRows(); }
    int fixedCols() const { return m_model->fixedCols(); }
    void setFixedRows(int count) { m_model->setFixedRows(count); }
    void setFixedCols(int count) { m_model->setFixedCols(count); }

    QString textMatrix(int row, int col) const { return m_model->textMatrix(row, col); }
    void setTextMatrix(int row, int col, const QString& text) { m_model->setTextMatrix(row, col, text); }
    Qt::Alignment cellAlignment(int row, int col) const { return m_model->cellAlignment(row, col); }
    void setCellAlignment(int row, int col, Qt::Alignment a) { m_model->setCellAlignment(row, col, a); }
    Qt::Alignment colAlignment(int col) const { return m_model->colAlignment(col); }
    void setColAlignment(int col, Qt::Alignment a) { m_model->setColAlignment(col, a); }

    int rowHeight(int row) const { return m_model->rowHeight(row); }
    void setRowHeight(int row, int twips) { m_model->setRowHeight(row, twips); }
    int colWidth(int col) const { return m_model->colWidth(col); }
    void setColWidth(int col, int twips) { m_model->setColWidth(col, twips); }

    int addRow(const QStringList& cells = {}, int at = -1) { return m_model->addRow(cells, at); }
    void removeRow(int row) { m_model->removeRow(row); }
    void moveColumnToEnd(int col) { m_model->moveColumnToEnd(col); }
    void removeColumn(int col) { m_model->removeColumn(col); }
    void sortRows(int col, SortMode mode, int firstDataRow) { m_model->sortRows(col, mode, firstDataRow); }
    // Sorts the rows below the fixed rows.
    void sortRows(int col, SortMode mode) { m_model->sortRows(col, mode, fixedRows()); }
    // The header's sort indicator on the column the rows were last sorted by.
    void setSortIndicator(int col, Qt::SortOrder order);

    int row() const { return m_model->row(); }
    int col() const { return m_model->col(); }
    int rowSel() const { return m_model->rowSel(); }
    int colSel() const { return m_model->colSel(); }
    void setRow(int row) { m_model->setRow(row); }
    void setCol(int col) { m_model->setCol(col); }
    void setRowSel(int row) { m_model->setRowSel(row); }
    void setColSel(int col) { m_model->setColSel(col); }
    void select(int row, int col, int rowSel, int colSel) { m_model->select(row, col, rowSel, colSel); }
    CellRange selectedRange() const { return m_model->selectedRange(); }
    bool highlight() const { return m_model->highlight(); }
    void setHighlight(bool on) { m_model->setHighlight(on); }

    // Redraw off: changes are shown once when it is switched on again.
    void setRedraw(bool on);
    bool redraw() const { return !m_model->isUpdating(); }
    void beginUpdate() { m_model->beginUpdate(); }
    void endUpdate() { m_model->endUpdate(); }

    // Scrolling: the first data row shown below the fixed rows.
    int topRow() const;
    void setTopRow(int row);
    bool isRowVisible(int row) const;

    // The cell under a point of this widget: header rows and fixed columns
    // included; -1 where there is no cell.
    int rowAt(const QPoint& pos) const;
    int colAt(const QPoint& pos) const;
    int mouseRow() const { return m_mouseRow; }
    int mouseCol() const { return m_mouseCol; }
    // Where the last pop-up menu of the grid was asked for, in global
    // coordinates: the pointer of a mouse press, or the current cell when the
    // menu key or Shift+F10 asked for it (with Ctrl: the current column's heading).
    QPoint menuPosition() const { return m_menuPosition; }

Q_SIGNALS:
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int row, int col);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int row, int col);
    void mouseMove(Qt::MouseButtons buttons, int row, int col);
    void doubleClick(int row, int col);
    // The user dragged a column's edge in the heading.
    void columnSizedByHand(int col);
    // The user double-clicked a column's edge in the heading: fit the columns.
    void fitRequested();

protected:
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void applyColumnWidths(int col);
    void applyColumnWidthRange(int first, int last);
    void rescaleColumns();
    void applySelection();
    // The view row of the grid row, or of the nearest shown row when it is hidden; -1 when none is shown.
    int shownRowNear(int row) const;
    bool handleMouse(QWidget* source, QMouseEvent* event);
    std::pair<int, int> cellAt(QWidget* source, const QPoint& posInSource) const;
    void currentMovedByKeyboard(const QModelIndex& current);
    // The menu key and Shift+F10 press the right button on the current cell,
    // so that the views offer the menu a right click there offers; with Ctrl
    // they press it on the heading of the current column (the column menus).
    void requestMenuFromKeyboard(bool onHeading);
    // Shift+Up and Shift+Down move the selection end, keeping the current row.
    void extendSelectionByKeyboard(int step);
    bool eventFilter(QObject* watched, QEvent* event) override;
    double dpi() const;
    void syncFrozenColumns();

    FlexGridModel* m_model;
    QTableView* m_view;
    QTableView* m_frozen;      // the fixed columns, kept in place beside the rest
    QWidget* m_frozenFoot;     // under the fixed columns, beside the horizontal scroll bar
    mutable double m_dpi = 0;  // column scale, measured once per font and screen
    int m_redrawOffDepth = 0;
    bool m_applyingSelection = false;
    bool m_applyingWidths = false;
    bool m_headingPressed = false;  // the left button is down on a heading
    bool m_dragging = false;
    int m_savedScroll = 0;
    int m_mouseRow = -1;
    QPoint m_menuPosition;
    int m_mouseCol = -1;
};

// Removes, from the last row up to row 1, every row whose cells from column 1
// on are all empty.
void removeEmptyGridRows(FlexGrid& grid);

}  // namespace widgets

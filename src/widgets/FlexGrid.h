#pragma once
// The flex grid of the views. What the grid holds lives in its
// FlexGridModel, reached through model(): the cell texts, fixed header rows
// and columns, sizes in twips (0 hides a row or column), the current cell
// with its selection end, sorting and batched updates. The widget itself
// shows that model in a table view that only paints, with uniform row
// heights and no per-cell widgets, and does what only a widget can: redraw
// on or off, scrolling, the cell under a point and mouse events that name
// it, header rows included, the pop-up menu's position and the heading's
// sort indicator.

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

    // The header's sort indicator on the column the rows were last sorted by.
    void setSortIndicator(int col, Qt::SortOrder order);

    // Redraw off: changes are shown once when it is switched on again.
    void setRedraw(bool on);
    bool redraw() const { return !m_model->isUpdating(); }

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

}  // namespace widgets

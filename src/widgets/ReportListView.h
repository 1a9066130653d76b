#pragma once
// The list view in report mode: column headings with widths in twips, rows of
// texts (item text and sub-items), single or multiple selection, sorting by a
// column's text and a column-click signal. The cells live in a
// ReportListModel; the tree view paints with uniform row heights.

#include "models/ReportListModel.h"

#include <QList>
#include <QPoint>
#include <QWidget>

class QTreeView;

namespace widgets {

// The widget shows and edits the model's own types.
using models::ReportListModel;

class ReportListView : public QWidget {
    Q_OBJECT
public:
    explicit ReportListView(QWidget* parent = nullptr);
    ~ReportListView() override;

    QString name() const { return objectName(); }
    ReportListModel& model() { return *m_model; }
    const ReportListModel& model() const { return *m_model; }
    QTreeView* treeView() const { return m_view; }

    // Columns.
    int addColumn(const QString& heading, Qt::Alignment alignment, int widthTwips);
    int columnCount() const { return m_model->columnCount(); }
    QString heading(int col) const { return m_model->heading(col); }
    int columnWidthTwips(int col) const { return m_model->columnWidthTwips(col); }
    void setColumnWidthTwips(int col, int twips) { m_model->setColumnWidthTwips(col, twips); }

    // Rows.
    int addRow(const QStringList& cells) { return m_model->addRow(cells); }
    void removeRow(int row) { m_model->removeRow(row); }
    void removeRows(const QList<int>& rows) { m_model->removeRows(rows); }
    void clearRows() { m_model->clearRows(); }
    int rowCount() const { return m_model->rowCount(); }
    QString itemText(int row, int col) const { return m_model->itemText(row, col); }
    void setItemText(int row, int col, const QString& text) { m_model->setItemText(row, col, text); }
    int findRow(int col, const QString& text, Qt::CaseSensitivity cs = Qt::CaseSensitive, int from = 0) const
    {
        return m_model->findRow(col, text, cs, from);
    }
    int findRowStartingWith(int col, const QString& prefix, Qt::CaseSensitivity cs = Qt::CaseInsensitive,
                            int from = 0) const
    {
        return m_model->findRowStartingWith(col, prefix, cs, from);
    }

    // Updates between these calls are shown at once at the end.
    void beginUpdate() { m_model->beginUpdate(); }
    void endUpdate() { m_model->endUpdate(); }

    // Selection.
    bool multiSelect() const;
    void setMultiSelect(bool on);
    QList<int> selectedRows() const;  // ascending
    void setSelectedRow(int row);     // the only selected row, also the current one
    void setRowSelected(int row, bool selected);
    int currentRow() const;
    void ensureVisible(int row);

    // Where the last pop-up menu of the list was asked for, in global
    // coordinates: the pointer of a mouse press, or the current row when the
    // menu key or Shift+F10 asked for it (which press the right button there).
    QPoint menuPosition() const { return m_menuPosition; }

    // Sorting by cell text.
    void sortByColumn(int col, Qt::SortOrder order);
    int sortColumn() const { return m_model->sortColumn(); }
    Qt::SortOrder sortOrder() const { return m_model->sortOrder(); }
    bool isSorted() const { return m_model->isSorted(); }
    void setSorted(bool on) { m_model->setSorted(on); }

Q_SIGNALS:
    void columnClicked(int col);
    void itemClicked(int row);
    void itemDoubleClicked(int row);
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int row);
    // The user dragged a column's edge in the heading.
    void columnSizedByHand(int col);
    // The user double-clicked a column's edge in the heading: fit the columns.
    void fitRequested();

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void applyColumnWidth(int col);
    double dpi() const;
    void requestMenuFromKeyboard();

    ReportListModel* m_model;
    QTreeView* m_view;
    bool m_applyingWidths = false;
    bool m_headingPressed = false;  // the left button is down on the heading
    QPoint m_menuPosition;
};

}  // namespace widgets

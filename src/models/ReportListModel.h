#pragma once
// Item model of a report-style list view: columns with a heading, an alignment
// and a width in twips, and rows of cell texts (the item text in column 0, the
// sub-items after it). Rows are kept in display order, so sorting reorders
// them here. Changes between beginUpdate and endUpdate are announced as one
// change, which keeps refreshes of thousands of connections cheap.

#include "models/CellTrouble.h"

#include <QAbstractTableModel>
#include <QLocale>
#include <QStringList>

#include <functional>
#include <vector>

namespace models {

class ReportListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ReportListModel(QObject* parent = nullptr);

    // Extra looks of cells (tool tips, colours) from the window that shows
    // them, by row and column; the cell texts stay as they are.
    using CellDecorator = std::function<QVariant(int row, int col, int role)>;
    void setCellDecorator(CellDecorator decorator) { m_decorator = std::move(decorator); }
    // The trouble level of each cell (kTroubleRole), by row and column.
    void setTroubleRule(TroubleRule rule);

    // Columns.
    int addColumn(const QString& heading, Qt::Alignment alignment, int widthTwips);
    QString heading(int col) const;
    Qt::Alignment columnAlignment(int col) const;
    int columnWidthTwips(int col) const;
    void setColumnWidthTwips(int col, int twips);
    QStringList headings() const;

    // Rows. Cells beyond the column count are ignored, missing ones are empty.
    int addRow(const QStringList& cells);
    void removeRow(int row);
    // Removes the given rows (any order, duplicates ignored), each run of
    // neighbouring rows in one step. The item model's own removeRows stays
    // reachable beside it.
    using QAbstractTableModel::removeRows;
    void removeRows(QList<int> rows);
    void clearRows();
    QString itemText(int row, int col) const;
    void setItemText(int row, int col, const QString& text);
    QStringList rowTexts(int row) const;

    // The first row from `from` on whose cell in `col` equals / begins with `text`; -1 when none.
    int findRow(int col, const QString& text, Qt::CaseSensitivity cs = Qt::CaseSensitive, int from = 0) const;
    int findRowStartingWith(int col, const QString& prefix, Qt::CaseSensitivity cs = Qt::CaseInsensitive,
                            int from = 0) const;

    // Sorting by the cell texts of one column, by what they mean
    // (models/SortKeys.h), equal texts keeping their order. With auto-sort on, changes re-sort at once (or at
    // the end of a batch).
    void sortByColumn(int col, Qt::SortOrder order);
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }
    bool isSorted() const { return m_sorted; }
    void setSorted(bool on);
    void setSortKey(int col, Qt::SortOrder order);  // remembered, applied when sorting

    void beginUpdate();
    void endUpdate();
    bool isUpdating() const { return m_updateDepth > 0; }

    // QAbstractItemModel
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

Q_SIGNALS:
    void columnWidthChanged(int col);

private:
    struct Column {
        QString heading;
        Qt::Alignment alignment;
        int widthTwips = 0;
    };

    void applySort();
    void resortIfAutomatic();

    std::vector<Column> m_columns;
    std::vector<std::vector<QString>> m_rows;

    CellDecorator m_decorator;
    TroubleRule m_trouble;
    int m_sortColumn = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    bool m_sorted = false;
    // The sort column's texts as the last sort left them, with what it sorted
    // by: while they are the same, the rows are in order and a refresh need
    // not work out a key for every row again.
    struct LastSort {
        int column = -1;
        Qt::SortOrder order = Qt::AscendingOrder;
        QLocale locale;
        QStringList texts;
    };
    LastSort m_lastSort;

    int m_updateDepth = 0;
    bool m_pendingSort = false;
    int m_dirtyTop = -1;
    int m_dirtyBottom = -1;
    int m_dirtyLeft = -1;
    int m_dirtyRight = -1;
};

}  // namespace models

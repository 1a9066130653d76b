#pragma once
// The cells of a flex grid without any window: rows and columns of texts,
// each row with a height and each column with a width in twips (0 hides it),
// alignments, and the row operations the views rely on (sorting, moving and
// cutting columns, removing rows). Row 0 .. fixedRows-1 are header rows.

#include <QLocale>
#include <QString>
#include <QStringList>
#include <Qt>
#include <QtGlobal>

#include <cstdint>
#include <vector>

namespace models {

enum class SortMode {
    GenericAscending,  // numbers by value, then texts ignoring case
    GenericDescending,
    NumericAscending,  // the value of the leading number of each cell (0 when none)
    NumericDescending,
    StringAscending,  // text, case-sensitive
    StringDescending,
    StringNoCaseAscending,  // text, ignoring case
    StringNoCaseDescending,
    TypedAscending,  // by what the texts mean (models/SortKeys.h)
    TypedDescending,
};

// Current cell and selection end, smallest first.
struct CellRange {
    int top = 0;
    int left = 0;
    int bottom = 0;
    int right = 0;
};

class GridData {
public:
    static constexpr int kDefaultRowHeight = 240;
    static constexpr int kDefaultColWidth = 960;

    GridData();

    int rows() const { return static_cast<int>(m_rows.size()); }
    int cols() const { return m_cols; }
    void setRows(int count);
    void setCols(int count);
    // Room for `count` columns in every row, so that columns added one by one
    // afterwards allocate nothing.
    void reserveCols(int count);

    int fixedRows() const { return m_fixedRows; }
    int fixedCols() const { return m_fixedCols; }
    void setFixedRows(int count);
    void setFixedCols(int count);

    bool isValidCell(int row, int col) const { return row >= 0 && row < rows() && col >= 0 && col < m_cols; }
    // Out-of-range cells read as empty text and ignore writes.
    const QString& text(int row, int col) const;
    bool setText(int row, int col, const QString& text);

    Qt::Alignment cellAlignment(int row, int col) const;
    void setCellAlignment(int row, int col, Qt::Alignment alignment);
    Qt::Alignment colAlignment(int col) const;
    void setColAlignment(int col, Qt::Alignment alignment);

    int rowHeight(int row) const;
    void setRowHeight(int row, int twips);
    int colWidth(int col) const;
    void setColWidth(int col, int twips);
    bool isRowShown(int row) const { return rowHeight(row) > 0; }
    bool isColShown(int col) const { return colWidth(col) > 0; }

    // Inserts a row before `at` (appends when `at` is out of range) with the
    // given cells from column 0; the row has the default height. Returns its index.
    int insertRow(int at, const QStringList& cells = {});
    int addRow(const QStringList& cells = {}) { return insertRow(rows(), cells); }
    bool removeRow(int row);
    void clearRows(int keep);  // keeps the first `keep` rows

    // The column with its cells, width and alignment goes to the last place.
    void moveColumnToEnd(int col);
    // moveColumnToEnd followed by cutting the last column.
    bool removeColumn(int col);

    // Sorts the rows firstDataRow .. rows-1 by the texts of `col`; rows keep
    // their heights and alignments. Equal keys keep their order. With `order`,
    // it receives for every row from firstDataRow on the index it had before.
    // Rows still in the order of the last sort (no row added, removed or
    // moved, no text of that column changed since, the same default locale)
    // are left as they are without reading a key: a comparison sorts after
    // every opening, and most openings bring no new row.
    void sortRows(int col, SortMode mode, int firstDataRow, std::vector<int>* order = nullptr);

    // Changes whenever a text of column 0 (the row names) changes or rows are
    // added, removed or moved, and never takes a value it had before, in this
    // grid or any other: a row index by name built at one value still holds
    // while the grid shows the same value.
    quint64 rowNamesVersion() const { return m_rowNamesVersion; }

    // Removes, from the last row up to row 1, every row whose cells from
    // column 1 on are all empty. Returns the number of rows removed.
    int removeEmptyRows();

    QStringList rowTexts(int row) const;

private:
    struct Row {
        std::vector<QString> cells;
        std::vector<std::uint16_t> alignments;  // empty until a cell alignment is set; 0 = column's
        int height = kDefaultRowHeight;
    };
    struct Col {
        int width = kDefaultColWidth;
        Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    };

    // The last sort, while the rows are still in its order; col -1 when none
    // is. Numbers and collation follow the default locale of its time.
    struct SortOrder {
        int col = -1;
        SortMode mode = SortMode::GenericAscending;
        int firstDataRow = 0;
        QLocale locale;
    };

    Row makeRow() const;
    void sortRowsTyped(int col, bool descending, int firstDataRow, std::vector<int>* order);
    // Puts the rows at `rows` (old indexes, in their new order) from
    // firstDataRow on and appends those indexes to `order`.
    void applyOrder(const std::vector<size_t>& rows, int firstDataRow, std::vector<int>* order);
    // Rows were added, removed or moved, or the row names changed.
    void rowsChanged();

    std::vector<Row> m_rows;
    std::vector<Col> m_colInfo;
    int m_cols = 0;
    int m_reservedCols = 0;  // new rows get room for this many columns
    int m_fixedRows = 0;
    int m_fixedCols = 0;
    SortOrder m_sorted;
    quint64 m_rowNamesVersion;
};

// Numeric reading used by the grid and list sorts: true and the value when the
// trimmed text is a number in the C or the user's locale (grouping allowed).
bool parseNumber(const QString& text, double* value);
// The value of the leading number of a text ("  5.00h" gives 5), 0 when none.
double leadingNumber(const QString& text);

}  // namespace models

#include "models/GridData.h"

#include "models/SortKeys.h"

#include <QLocale>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <numeric>

namespace models {

namespace {

// Row name versions are drawn from one counter for every grid of the process,
// so that a version never stands for two states.
quint64 nextRowNamesVersion()
{
    static std::atomic<quint64> last{0};
    return last.fetch_add(1, std::memory_order_relaxed) + 1;
}

const QString& emptyText()
{
    static const QString empty;
    return empty;
}

QLocale lenient(QLocale locale)
{
    locale.setNumberOptions(QLocale::DefaultNumberOptions);
    return locale;
}

}  // namespace

namespace {

// parseNumber with the two locales made once by the caller: making the
// user's locale asks the system each time, and a sort reads every key.
bool parseNumberIn(const QLocale& user, const QLocale& cLocale, const QString& text, double* value)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    // A number needs a digit: "inf" and "nan" are words here.
    if (std::none_of(trimmed.cbegin(), trimmed.cend(), [](QChar c) { return c.isDigit(); }))
        return false;
    // Nor has a number letters beyond an exponent's "e": names such as
    // "Maximum Directory Cache Buffers 2" are texts without asking the locale.
    if (std::any_of(trimmed.cbegin(), trimmed.cend(), [](QChar c) { return c.isLetter() && c != u'e' && c != u'E'; }))
        return false;
    bool ok = false;
    double v = user.toDouble(trimmed, &ok);
    if (!ok)
        v = cLocale.toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(v))
        return false;
    if (value)
        *value = v;
    return true;
}

}  // namespace

bool parseNumber(const QString& text, double* value)
{
    // Plain digits (connection numbers, counts) mean the same in every
    // locale: read without asking one, which a sort of tens of thousands of
    // cells would otherwise do twice a cell.
    const QStringView digits = QStringView(text).trimmed();
    if (!digits.isEmpty() && digits.size() <= 15
        && std::all_of(digits.cbegin(), digits.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; })) {
        if (value) {
            qint64 number = 0;
            for (const QChar c : digits)
                number = number * 10 + (c.unicode() - u'0');
            *value = static_cast<double>(number);
        }
        return true;
    }
    return parseNumberIn(lenient(QLocale()), lenient(QLocale::c()), text, value);
}

double leadingNumber(const QString& text)
{
    const QString s = text.trimmed();
    int end = 0;
    if (end < s.size() && (s[end] == u'-' || s[end] == u'+'))
        ++end;
    const int digitsFrom = end;
    while (end < s.size() && s[end].isDigit())
        ++end;
    if (end < s.size() && s[end] == u'.') {
        ++end;
        while (end < s.size() && s[end].isDigit())
            ++end;
    }
    bool ok = false;
    const double v = QLocale::c().toDouble(s.left(end), &ok);
    if (!ok || end == digitsFrom || !std::isfinite(v))
        return 0;
    return v;
}

GridData::GridData() : m_rowNamesVersion(nextRowNamesVersion())
{
}

void GridData::rowsChanged()
{
    m_rowNamesVersion = nextRowNamesVersion();
    m_sorted = {};
}

GridData::Row GridData::makeRow() const
{
    Row row;
    row.cells.reserve(static_cast<size_t>(std::max(m_cols, m_reservedCols)));
    row.cells.resize(static_cast<size_t>(m_cols));
    return row;
}

void GridData::setRows(int count)
{
    count = std::max(0, count);
    if (count != rows())
        rowsChanged();
    if (count < rows()) {
        m_rows.resize(static_cast<size_t>(count));
    } else {
        m_rows.reserve(static_cast<size_t>(count));
        while (rows() < count)
            m_rows.push_back(makeRow());
    }
    m_fixedRows = std::min(m_fixedRows, count);
}

void GridData::setCols(int count)
{
    count = std::max(0, count);
    if (count < m_cols) {
        m_reservedCols = 0;
        if (count == 0)
            rowsChanged();
        if (m_sorted.col >= count)
            m_sorted = {};
    }
    m_cols = count;
    m_colInfo.resize(static_cast<size_t>(count));
    for (Row& row : m_rows) {
        row.cells.resize(static_cast<size_t>(count));
        if (!row.alignments.empty())
            row.alignments.resize(static_cast<size_t>(count), 0);
    }
    m_fixedCols = std::min(m_fixedCols, count);
}

void GridData::reserveCols(int count)
{
    if (count <= m_cols)
        return;
    // Openings of one server each reserve a little more every time: the room
    // then grows by half at least, so that the copies stay few.
    const auto grown = [count](size_t capacity) {
        return capacity >= static_cast<size_t>(count) ? capacity
                                                      : std::max(static_cast<size_t>(count), capacity + capacity / 2);
    };
    m_reservedCols = count;
    m_colInfo.reserve(grown(m_colInfo.capacity()));
    for (Row& row : m_rows)
        row.cells.reserve(grown(row.cells.capacity()));
}

void GridData::setFixedRows(int count)
{
    m_fixedRows = std::clamp(count, 0, rows());
}

void GridData::setFixedCols(int count)
{
    m_fixedCols = std::clamp(count, 0, m_cols);
}

const QString& GridData::text(int row, int col) const
{
    if (!isValidCell(row, col))
        return emptyText();
    return m_rows[static_cast<size_t>(row)].cells[static_cast<size_t>(col)];
}

bool GridData::setText(int row, int col, const QString& text)
{
    if (!isValidCell(row, col))
        return false;
    QString& cell = m_rows[static_cast<size_t>(row)].cells[static_cast<size_t>(col)];
    if (cell == text)
        return false;
    cell = text;
    if (col == 0)
        rowsChanged();
    else if (col == m_sorted.col && row >= m_sorted.firstDataRow)
        m_sorted = {};
    return true;
}

Qt::Alignment GridData::cellAlignment(int row, int col) const
{
    if (!isValidCell(row, col))
        return Qt::AlignLeft | Qt::AlignVCenter;
    const Row& r = m_rows[static_cast<size_t>(row)];
    if (!r.alignments.empty() && r.alignments[static_cast<size_t>(col)] != 0)
        return Qt::Alignment(r.alignments[static_cast<size_t>(col)]);
    return colAlignment(col);
}

void GridData::setCellAlignment(int row, int col, Qt::Alignment alignment)
{
    if (!isValidCell(row, col))
        return;
    Row& r = m_rows[static_cast<size_t>(row)];
    if (r.alignments.empty())
        r.alignments.resize(static_cast<size_t>(m_cols), 0);
    if (!(alignment & Qt::AlignVertical_Mask))
        alignment |= Qt::AlignVCenter;
    r.alignments[static_cast<size_t>(col)] = static_cast<std::uint16_t>(alignment.toInt());
}

Qt::Alignment GridData::colAlignment(int col) const
{
    if (col < 0 || col >= m_cols)
        return Qt::AlignLeft | Qt::AlignVCenter;
    return m_colInfo[static_cast<size_t>(col)].alignment;
}

void GridData::setColAlignment(int col, Qt::Alignment alignment)
{
    if (col < 0 || col >= m_cols)
        return;
    if (!(alignment & Qt::AlignVertical_Mask))
        alignment |= Qt::AlignVCenter;
    m_colInfo[static_cast<size_t>(col)].alignment = alignment;
}

int GridData::rowHeight(int row) const
{
    if (row < 0 || row >= rows())
        return 0;
    return m_rows[static_cast<size_t>(row)].height;
}

void GridData::setRowHeight(int row, int twips)
{
    if (row < 0 || row >= rows())
        return;
    m_rows[static_cast<size_t>(row)].height = std::max(0, twips);
}

int GridData::colWidth(int col) const
{
    if (col < 0 || col >= m_cols)
        return 0;
    return m_colInfo[static_cast<size_t>(col)].width;
}

void GridData::setColWidth(int col, int twips)
{
    if (col < 0 || col >= m_cols)
        return;
    m_colInfo[static_cast<size_t>(col)].width = std::max(0, twips);
}

int GridData::insertRow(int at, const QStringList& cells)
{
    if (at < 0 || at > rows())
        at = rows();
    Row row = makeRow();
    const int n = std::min(static_cast<int>(cells.size()), m_cols);
    for (int c = 0; c < n; ++c)
        row.cells[static_cast<size_t>(c)] = cells[c];
    m_rows.insert(m_rows.begin() + at, std::move(row));
    rowsChanged();
    return at;
}

bool GridData::removeRow(int row)
{
    if (row < 0 || row >= rows())
        return false;
    m_rows.erase(m_rows.begin() + row);
    rowsChanged();
    m_fixedRows = std::min(m_fixedRows, rows());
    return true;
}

void GridData::clearRows(int keep)
{
    setRows(std::min(rows(), std::max(0, keep)));
}

void GridData::moveColumnToEnd(int col)
{
    if (col < 0 || col >= m_cols - 1)
        return;
    if (col == 0)
        rowsChanged();
    else if (col <= m_sorted.col)
        m_sorted = {};
    const auto from = static_cast<std::ptrdiff_t>(col);
    std::rotate(m_colInfo.begin() + from, m_colInfo.begin() + from + 1, m_colInfo.end());
    for (Row& row : m_rows) {
        std::rotate(row.cells.begin() + from, row.cells.begin() + from + 1, row.cells.end());
        if (!row.alignments.empty())
            std::rotate(row.alignments.begin() + from, row.alignments.begin() + from + 1, row.alignments.end());
    }
}

bool GridData::removeColumn(int col)
{
    if (col < 0 || col >= m_cols)
        return false;
    moveColumnToEnd(col);
    setCols(m_cols - 1);
    return true;
}

void GridData::sortRows(int col, SortMode mode, int firstDataRow, std::vector<int>* order)
{
    if (order)
        order->clear();
    if (col < 0 || col >= m_cols)
        return;
    firstDataRow = std::max(0, firstDataRow);
    if (firstDataRow >= rows() - 1)
        return;
    const QLocale locale;
    if (m_sorted.col == col && m_sorted.mode == mode && m_sorted.firstDataRow == firstDataRow
        && m_sorted.locale == locale) {
        if (order) {
            order->resize(m_rows.size() - static_cast<size_t>(firstDataRow));
            std::iota(order->begin(), order->end(), firstDataRow);
        }
        return;
    }
    if (mode == SortMode::TypedAscending || mode == SortMode::TypedDescending) {
        sortRowsTyped(col, mode == SortMode::TypedDescending, firstDataRow, order);
        m_sorted = {col, mode, firstDataRow, locale};
        return;
    }

    // Each key is read once; grids of some thousand rows are sorted on a click.
    struct Key {
        size_t row;
        bool numeric;
        double value;
    };
    const auto c = static_cast<size_t>(col);
    const bool generic = mode == SortMode::GenericAscending || mode == SortMode::GenericDescending;
    const bool numeric = mode == SortMode::NumericAscending || mode == SortMode::NumericDescending;
    const QLocale userLocale = lenient(QLocale());
    const QLocale cLocale = lenient(QLocale::c());
    std::vector<Key> keys;
    keys.reserve(m_rows.size() - static_cast<size_t>(firstDataRow));
    for (size_t i = static_cast<size_t>(firstDataRow); i < m_rows.size(); ++i) {
        Key key{i, false, 0};
        if (numeric) {
            key.numeric = true;
            key.value = leadingNumber(m_rows[i].cells[c]);
        } else if (generic) {
            key.numeric = parseNumberIn(userLocale, cLocale, m_rows[i].cells[c], &key.value);
        }
        keys.push_back(key);
    }

    const auto textOf = [this, c](const Key& k) -> const QString& { return m_rows[k.row].cells[c]; };
    auto compare = [&](const Key& a, const Key& b) -> int {
        switch (mode) {
        case SortMode::NumericAscending:
        case SortMode::NumericDescending:
            return a.value < b.value ? -1 : (a.value > b.value ? 1 : 0);
        case SortMode::GenericAscending:
        case SortMode::GenericDescending:
            // Numbers among themselves by value, before all texts: a mixed
            // column still has one consistent order.
            if (a.numeric && b.numeric)
                return a.value < b.value ? -1 : (a.value > b.value ? 1 : 0);
            if (a.numeric != b.numeric)
                return a.numeric ? -1 : 1;
            return textOf(a).compare(textOf(b), Qt::CaseInsensitive);
        case SortMode::StringAscending:
        case SortMode::StringDescending:
            return textOf(a).compare(textOf(b), Qt::CaseSensitive);
        case SortMode::StringNoCaseAscending:
        case SortMode::StringNoCaseDescending:
        case SortMode::TypedAscending:
        case SortMode::TypedDescending:
            return textOf(a).compare(textOf(b), Qt::CaseInsensitive);
        }
        return 0;
    };
    const bool descending = mode == SortMode::GenericDescending || mode == SortMode::NumericDescending
                            || mode == SortMode::StringDescending || mode == SortMode::StringNoCaseDescending;
    std::stable_sort(keys.begin(), keys.end(), [&](const Key& a, const Key& b) {
        const int r = compare(a, b);
        return descending ? r > 0 : r < 0;
    });

    std::vector<size_t> rows;
    rows.reserve(keys.size());
    for (const Key& key : keys)
        rows.push_back(key.row);
    applyOrder(rows, firstDataRow, order);
    m_sorted = {col, mode, firstDataRow, locale};
}

void GridData::applyOrder(const std::vector<size_t>& rows, int firstDataRow, std::vector<int>* order)
{
    if (order) {
        order->reserve(rows.size());
        for (const size_t row : rows)
            order->push_back(static_cast<int>(row));
    }
    // Rows already in place are not moved, and the row names keep their
    // version: a sort that finds the rows in order changes nothing.
    const auto first = static_cast<size_t>(firstDataRow);
    bool moved = false;
    for (size_t i = 0; i < rows.size() && !moved; ++i)
        moved = rows[i] != first + i;
    if (!moved)
        return;
    std::vector<Row> sorted;
    sorted.reserve(rows.size());
    for (const size_t row : rows)
        sorted.push_back(std::move(m_rows[row]));
    std::move(sorted.begin(), sorted.end(), m_rows.begin() + firstDataRow);
    rowsChanged();
}

void GridData::sortRowsTyped(int col, bool descending, int firstDataRow, std::vector<int>* order)
{
    QStringList texts;
    texts.reserve(rows() - firstDataRow);
    for (size_t i = static_cast<size_t>(firstDataRow); i < m_rows.size(); ++i)
        texts.append(m_rows[i].cells[static_cast<size_t>(col)]);
    std::vector<size_t> rows;
    rows.reserve(static_cast<size_t>(texts.size()));
    for (const int i : typedSortOrder(texts, descending))
        rows.push_back(static_cast<size_t>(firstDataRow + i));
    applyOrder(rows, firstDataRow, order);
}

int GridData::removeEmptyRows()
{
    int removed = 0;
    for (int r = rows() - 1; r >= 1; --r) {
        const Row& row = m_rows[static_cast<size_t>(r)];
        const bool empty = std::all_of(row.cells.begin() + std::min<std::ptrdiff_t>(1, m_cols), row.cells.end(),
                                       [](const QString& s) { return s.isEmpty(); });
        if (empty) {
            removeRow(r);
            ++removed;
        }
    }
    return removed;
}

QStringList GridData::rowTexts(int row) const
{
    QStringList texts;
    if (row < 0 || row >= rows())
        return texts;
    for (const QString& s : m_rows[static_cast<size_t>(row)].cells)
        texts.append(s);
    return texts;
}

}  // namespace models

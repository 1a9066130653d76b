#include "models/ReportListModel.h"

#include "models/SortKeys.h"

#include <algorithm>
#include <numeric>

namespace models {

ReportListModel::ReportListModel(QObject* parent) : QAbstractTableModel(parent)
{
}

// ---- columns -------------------------------------------------------------

int ReportListModel::addColumn(const QString& heading, Qt::Alignment alignment, int widthTwips)
{
    const int col = columnCount();
    if (!(alignment & Qt::AlignVertical_Mask))
        alignment |= Qt::AlignVCenter;
    beginInsertColumns(QModelIndex(), col, col);
    m_columns.push_back({heading, alignment, std::max(0, widthTwips)});
    for (auto& row : m_rows)
        row.resize(m_columns.size());
    endInsertColumns();
    return col;
}

QString ReportListModel::heading(int col) const
{
    return col >= 0 && col < columnCount() ? m_columns[static_cast<size_t>(col)].heading : QString();
}

Qt::Alignment ReportListModel::columnAlignment(int col) const
{
    return col >= 0 && col < columnCount() ? m_columns[static_cast<size_t>(col)].alignment
                                           : Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter);
}

int ReportListModel::columnWidthTwips(int col) const
{
    return col >= 0 && col < columnCount() ? m_columns[static_cast<size_t>(col)].widthTwips : 0;
}

void ReportListModel::setColumnWidthTwips(int col, int twips)
{
    if (col < 0 || col >= columnCount())
        return;
    twips = std::max(0, twips);
    if (m_columns[static_cast<size_t>(col)].widthTwips == twips)
        return;
    m_columns[static_cast<size_t>(col)].widthTwips = twips;
    Q_EMIT columnWidthChanged(col);
}

QStringList ReportListModel::headings() const
{
    QStringList list;
    for (const Column& c : m_columns)
        list.append(c.heading);
    return list;
}

// ---- rows ----------------------------------------------------------------

int ReportListModel::addRow(const QStringList& cells)
{
    const int row = rowCount();
    std::vector<QString> texts(m_columns.size());
    const size_t n = std::min(texts.size(), static_cast<size_t>(cells.size()));
    for (size_t i = 0; i < n; ++i)
        texts[i] = cells[static_cast<qsizetype>(i)];
    beginInsertRows(QModelIndex(), row, row);
    m_rows.push_back(std::move(texts));
    endInsertRows();
    resortIfAutomatic();
    return row;
}

void ReportListModel::removeRow(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
}

void ReportListModel::removeRows(QList<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    // From the bottom up, so the rows still to go keep their numbers.
    qsizetype i = rows.size() - 1;
    while (i >= 0) {
        const int last = rows[i];
        int first = last;
        while (i > 0 && rows[i - 1] == first - 1)
            first = rows[--i];
        --i;
        if (first < 0 || last >= rowCount())
            continue;
        beginRemoveRows(QModelIndex(), first, last);
        m_rows.erase(m_rows.begin() + first, m_rows.begin() + last + 1);
        endRemoveRows();
    }
}

void ReportListModel::clearRows()
{
    if (m_rows.empty())
        return;
    beginResetModel();
    m_rows.clear();
    m_lastSort = {};
    endResetModel();
}

QString ReportListModel::itemText(int row, int col) const
{
    if (row < 0 || row >= rowCount() || col < 0 || col >= columnCount())
        return {};
    return m_rows[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

void ReportListModel::setItemText(int row, int col, const QString& text)
{
    if (row < 0 || row >= rowCount() || col < 0 || col >= columnCount())
        return;
    QString& cell = m_rows[static_cast<size_t>(row)][static_cast<size_t>(col)];
    if (cell == text)
        return;
    cell = text;
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
        if (m_sorted && col == m_sortColumn)
            m_pendingSort = true;
        return;
    }
    Q_EMIT dataChanged(index(row, col), index(row, col));
    if (col == m_sortColumn)
        resortIfAutomatic();
}

QStringList ReportListModel::rowTexts(int row) const
{
    QStringList list;
    if (row < 0 || row >= rowCount())
        return list;
    for (const QString& s : m_rows[static_cast<size_t>(row)])
        list.append(s);
    return list;
}

int ReportListModel::findRow(int col, const QString& text, Qt::CaseSensitivity cs, int from) const
{
    if (col < 0 || col >= columnCount())
        return -1;
    for (int r = std::max(0, from); r < rowCount(); ++r) {
        if (m_rows[static_cast<size_t>(r)][static_cast<size_t>(col)].compare(text, cs) == 0)
            return r;
    }
    return -1;
}

int ReportListModel::findRowStartingWith(int col, const QString& prefix, Qt::CaseSensitivity cs, int from) const
{
    if (col < 0 || col >= columnCount())
        return -1;
    for (int r = std::max(0, from); r < rowCount(); ++r) {
        if (m_rows[static_cast<size_t>(r)][static_cast<size_t>(col)].startsWith(prefix, cs))
            return r;
    }
    return -1;
}

// ---- sorting -------------------------------------------------------------

void ReportListModel::sortByColumn(int col, Qt::SortOrder order)
{
    setSortKey(col, order);
    if (m_updateDepth > 0)
        m_pendingSort = true;
    else
        applySort();
}

void ReportListModel::sort(int column, Qt::SortOrder order)
{
    sortByColumn(column, order);
}

void ReportListModel::setSortKey(int col, Qt::SortOrder order)
{
    m_sortColumn = std::max(0, col);
    m_sortOrder = order;
}

void ReportListModel::setSorted(bool on)
{
    if (m_sorted == on)
        return;
    m_sorted = on;
    resortIfAutomatic();
}

void ReportListModel::resortIfAutomatic()
{
    if (!m_sorted)
        return;
    if (m_updateDepth > 0)
        m_pendingSort = true;
    else
        applySort();
}

void ReportListModel::applySort()
{
    if (m_sortColumn >= columnCount() || rowCount() < 2)
        return;
    const auto c = static_cast<size_t>(m_sortColumn);
    // By what the column's texts mean: numbers by value, up times by
    // duration, dates chronologically, other texts by the locale's collation.
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(m_rows.size()));
    for (const std::vector<QString>& row : m_rows)
        texts.append(c < row.size() ? row[c] : QString());
    const QLocale locale;
    if (m_lastSort.column == m_sortColumn && m_lastSort.order == m_sortOrder && m_lastSort.locale == locale
        && m_lastSort.texts == texts)
        return;
    const std::vector<int> order = typedSortOrder(texts, m_sortOrder == Qt::DescendingOrder, locale);
    QStringList sortedTexts;
    sortedTexts.reserve(texts.size());
    for (const int i : order)
        sortedTexts.append(texts.at(i));
    m_lastSort = {m_sortColumn, m_sortOrder, locale, std::move(sortedTexts)};
    // A list that is in order already (a refresh that changed no sort key)
    // keeps its rows where they are: no layout change.
    if (std::is_sorted(order.begin(), order.end()))
        return;

    // Selection and current item follow their rows.
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newPosition(order.size());
    std::vector<std::vector<QString>> sorted;
    sorted.reserve(m_rows.size());
    for (size_t i = 0; i < order.size(); ++i) {
        newPosition[static_cast<size_t>(order[i])] = static_cast<int>(i);
        sorted.push_back(std::move(m_rows[static_cast<size_t>(order[i])]));
    }
    m_rows = std::move(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& idx : before)
        after.append(index(newPosition[static_cast<size_t>(idx.row())], idx.column()));
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

// ---- batches -------------------------------------------------------------

void ReportListModel::beginUpdate()
{
    ++m_updateDepth;
}

void ReportListModel::endUpdate()
{
    if (m_updateDepth == 0 || --m_updateDepth > 0)
        return;
    if (m_dirtyTop >= 0 && m_dirtyBottom < rowCount() && m_dirtyRight < columnCount())
        Q_EMIT dataChanged(index(m_dirtyTop, m_dirtyLeft), index(m_dirtyBottom, m_dirtyRight));
    else if (m_dirtyTop >= 0 && rowCount() > 0 && columnCount() > 0)
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    m_dirtyTop = m_dirtyBottom = m_dirtyLeft = m_dirtyRight = -1;
    if (m_pendingSort) {
        m_pendingSort = false;
        applySort();
    }
}

// ---- QAbstractItemModel ----------------------------------------------------

int ReportListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ReportListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant ReportListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return m_rows[static_cast<size_t>(index.row())][static_cast<size_t>(index.column())];
    if (role == Qt::TextAlignmentRole)
        return static_cast<int>(m_columns[static_cast<size_t>(index.column())].alignment.toInt());
    if (role == kTroubleRole)
        return static_cast<int>(m_trouble ? m_trouble(index.row(), index.column()) : TroubleLevel::None);
    return m_decorator ? m_decorator(index.row(), index.column(), role) : QVariant();
}

void ReportListModel::setTroubleRule(TroubleRule rule)
{
    m_trouble = std::move(rule);
    if (rowCount() > 0 && columnCount() > 0)
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

QVariant ReportListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return m_columns[static_cast<size_t>(section)].heading;
    if (role == Qt::TextAlignmentRole)
        return static_cast<int>(m_columns[static_cast<size_t>(section)].alignment.toInt());
    return {};
}

Qt::ItemFlags ReportListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

}  // namespace models

#include "connections/ConnectionRows.h"

#include "connections/ConnectionFormats.h"
#include "models/ReportListModel.h"

namespace connections {

namespace {

constexpr size_t kNumbers = 0x10000;

}  // namespace

ConnectionRows::ConnectionRows(models::ReportListModel& model, int numberColumn, QObject* parent)
    : QObject(parent)
    , m_model(model)
    , m_numberColumn(numberColumn)
    , m_rowOf(kNumbers, -1)
{
    // Anything that moves rows makes the index stale; it is rebuilt when next asked.
    const auto stale = [this] { m_stale = true; };
    connect(&model, &QAbstractItemModel::layoutChanged, this, stale);
    connect(&model, &QAbstractItemModel::modelReset, this, stale);
    connect(&model, &QAbstractItemModel::rowsRemoved, this, stale);
    connect(&model, &QAbstractItemModel::rowsMoved, this, stale);
    connect(&model, &QAbstractItemModel::rowsInserted, this, [this] {
        if (!m_appending)
            m_stale = true;
    });
    // A "Conn #" cell written by someone else may change what a row stands for.
    connect(&model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                if (!m_appending && topLeft.column() <= m_numberColumn && bottomRight.column() >= m_numberColumn)
                    m_stale = true;
            });
}

void ConnectionRows::rebuild()
{
    std::fill(m_rowOf.begin(), m_rowOf.end(), -1);
    // From the bottom up, so that of two rows with one number the upper one wins.
    for (int row = m_model.rowCount() - 1; row >= 0; --row) {
        if (const auto number = connectionNumberOf(m_model.itemText(row, m_numberColumn)))
            m_rowOf[*number] = row;
    }
    m_stale = false;
}

int ConnectionRows::rowOf(quint16 number)
{
    if (m_stale)
        rebuild();
    return m_rowOf[number];
}

int ConnectionRows::put(quint16 number, const QStringList& cells)
{
    int row = rowOf(number);
    m_appending = true;
    if (row < 0) {
        row = m_model.addRow(cells);
        // An automatic sort may have moved it; then the index is stale already.
        if (!m_stale)
            m_rowOf[number] = row;
    } else {
        for (int col = 0; col < cells.size(); ++col)
            m_model.setItemText(row, col, cells.at(col));
    }
    m_appending = false;
    return row;
}

int ConnectionRows::removeUnmet(const std::vector<bool>& met)
{
    if (m_stale)
        rebuild();
    // Every row this index knows carries a number; a row whose "Conn #" is no
    // number (or repeats one above it) was not put here and goes as well.
    std::vector<bool> kept(static_cast<size_t>(m_model.rowCount()), false);
    for (size_t number = 0; number < m_rowOf.size(); ++number) {
        const int row = m_rowOf[number];
        if (row >= 0 && number < met.size() && met[number])
            kept[static_cast<size_t>(row)] = true;
    }
    QList<int> gone;
    for (int row = 0; row < m_model.rowCount(); ++row) {
        if (!kept[static_cast<size_t>(row)])
            gone.append(row);
    }
    if (!gone.isEmpty())
        m_model.removeRows(gone);
    return static_cast<int>(gone.size());
}

}  // namespace connections

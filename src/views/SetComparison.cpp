#include "views/SetComparison.h"

namespace views {

QString serverColumnHeader(const QString& server)
{
    return server + QStringLiteral(" - Value");
}

bool isServerInSetComparison(const models::GridData& grid, const QString& server)
{
    const QString header = serverColumnHeader(server);
    for (int col = kSetFirstServerCol; col < grid.cols(); ++col) {
        if (grid.text(0, col) == header)
            return true;
    }
    return false;
}

void SetRowIndex::rebuild(const models::GridData& grid)
{
    m_rows.clear();
    m_rows.reserve(grid.rows());
    for (int row = grid.fixedRows(); row < grid.rows(); ++row)
        add(grid.text(row, kSetNameCol), row);
}

size_t qHash(const SetRowIndex::Key& key, size_t seed) noexcept
{
    // Names that compare equal without regard to case fold to the same
    // characters, so they hash alike.
    size_t hash = seed ^ 0x9e3779b97f4a7c15ULL;
    for (const QChar c : key.name) {
        char32_t u = c.unicode();
        if (u < 0x80)
            u = (u >= 'A' && u <= 'Z') ? u + ('a' - 'A') : u;
        else
            u = QChar::toCaseFolded(u);
        hash = (hash ^ u) * 0x100000001b3ULL;
    }
    return hash;
}

int SetRowIndex::find(const QString& name) const
{
    return m_rows.value(Key{name}, -1);
}

void SetRowIndex::add(const QString& name, int row)
{
    // One look-up: a new entry starts as 0, which is the header row and
    // never a parameter's.
    int& slot = m_rows[Key{name}];
    if (slot <= 0)
        slot = row;
}

namespace {

int placeSetParameter(models::FlexGridModel& grid, SetRowIndex& index, int col, const SetParameter& parameter,
                      bool lookUp, const QString& value)
{
    int row = lookUp ? index.find(parameter.name) : -1;
    if (row < 0) {
        row = grid.addRow({parameter.name, parameterCategoryText(parameter.category)});
        index.add(parameter.name, row);
    }
    // Most values equal the server's to the left: the text is then shared
    // with that cell rather than held once more.
    const QString& left = grid.grid().text(row, col - 1);
    grid.setTextMatrix(row, col, col > kSetFirstServerCol && left == value ? left : value);
    grid.setCellAlignment(row, col, Qt::AlignRight | Qt::AlignVCenter);
    return row;
}

}  // namespace

int addSetParameter(models::FlexGridModel& grid, SetRowIndex& index, int col, const SetParameter& parameter,
                       bool lookUp, const QLocale& locale)
{
    return placeSetParameter(grid, index, col, parameter, lookUp,
                             parameterValueText(parameter.type, parameter.value, locale));
}

int SetComparisonFill::beginServer(const QString& server)
{
    m_col = m_grid.cols();
    m_grid.setCols(m_col + 1);
    m_grid.setColWidth(m_col, kSetServerColWidth);
    m_grid.setTextMatrix(0, m_col, serverColumnHeader(server));
    m_lookUp = m_grid.cols() > kSetFirstServerCol + 1;
    if (!m_indexValid) {
        if (m_lookUp)
            m_index.rebuild(m_grid.grid());
        else
            m_index.clear();
        m_indexValid = true;
    }
    m_added = true;
    return m_col;
}

void SetComparisonFill::add(const SetParameter& parameter)
{
    // The type's four bytes, then the value bytes: one key per rendering.
    QByteArray key(4 + parameter.value.size(), Qt::Uninitialized);
    for (int i = 0; i < 4; ++i)
        key[i] = static_cast<char>((parameter.type >> (8 * i)) & 0xFF);
    std::copy(parameter.value.cbegin(), parameter.value.cend(), key.begin() + 4);
    auto it = m_texts->find(key);
    if (it == m_texts->end())
        it = m_texts->insert(key, parameterValueText(parameter.type, parameter.value, m_locale));
    placeSetParameter(m_grid, m_index, m_col, parameter, m_lookUp, *it);
}

void SetComparisonFill::finish()
{
    if (!m_added)
        return;
    m_grid.sortRows(kSetNameCol, models::SortMode::GenericAscending, m_grid.fixedRows());
    m_added = false;
    m_indexValid = false;
}

bool parameterRowDiffers(const models::GridData& grid, int row)
{
    for (int col = kSetFirstServerCol + 1; col < grid.cols(); ++col) {
        if (grid.text(row, col) != grid.text(row, col - 1))
            return true;
    }
    return false;
}

void applySetDifferences(models::FlexGridModel& grid, bool differencesOnly)
{
    const models::GridData& cells = grid.grid();
    const int shownHeight = cells.rowHeight(0);
    grid.beginUpdate();
    for (int row = cells.fixedRows(); row < cells.rows(); ++row)
        grid.setRowHeight(row, !differencesOnly || parameterRowDiffers(cells, row) ? shownHeight : 0);
    grid.endUpdate();
}

int findSetRow(const models::GridData& grid, const QString& text)
{
    for (int row = std::max(1, grid.fixedRows()); row < grid.rows(); ++row) {
        if (grid.isRowShown(row) && grid.text(row, kSetNameCol).startsWith(text, Qt::CaseInsensitive))
            return row;
    }
    return -1;
}

}  // namespace views

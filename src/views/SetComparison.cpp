#include "views/SetComparison.h"

#include <algorithm>
#include <cstring>

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

namespace {

// The row of the parameter: `known` when it is given, else the one the index
// has, else a new row with the name and category text.
int placeSetParameter(models::FlexGridModel& grid, SetRowIndex& index, int col, const SetParameter& parameter,
                      bool lookUp, const QString& value, int known = -1)
{
    int row = known >= 0 ? known : (lookUp ? index.find(parameter.name) : -1);
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

int SetComparisonFill::beginColumn(const QString& header)
{
    m_col = m_grid.cols();
    m_grid.setCols(m_col + 1);
    m_grid.setColWidth(m_col, kSetServerColWidth);
    m_grid.setTextMatrix(0, m_col, header);
    m_lookUp = m_grid.cols() > kSetFirstServerCol + 1;
    // The index kept from an earlier server or opening holds while the row
    // names are as they were then; the first server's list is taken as it
    // comes, so it starts an empty one.
    const quint64 version = m_grid.grid().rowNamesVersion();
    if (!m_lookUp || m_texts->rowsVersion != version) {
        if (m_lookUp)
            m_texts->rows.rebuild(m_grid.grid());
        else
            m_texts->rows.clear();
        m_texts->rowsByPlace.clear();
    }
    m_startedEmpty = m_startedEmpty || !m_lookUp;
    m_texts->rowsVersion = version;
    m_place = 0;
    m_added = true;
    return m_col;
}

const QString& SetComparisonFill::valueText(const SetParameter& parameter)
{
    const QByteArray& value = parameter.value;
    if (value.size() <= 8) {
        Texts::ShortValue key;
        key.type = parameter.type;
        key.size = static_cast<quint32>(value.size());
        std::memcpy(&key.bytes, value.constData(), static_cast<size_t>(value.size()));
        auto it = m_texts->shortValues.find(key);
        if (it == m_texts->shortValues.end())
            it = m_texts->shortValues.insert(key, parameterValueText(parameter.type, value, m_locale));
        return *it;
    }
    // The type's four bytes, then the value bytes, in a buffer kept for the
    // next look-up; a new entry gets a copy of its own.
    m_longKey.resize(4 + value.size());
    for (int i = 0; i < 4; ++i)
        m_longKey[i] = static_cast<char>((parameter.type >> (8 * i)) & 0xFF);
    std::copy(value.cbegin(), value.cend(), m_longKey.begin() + 4);
    auto it = m_texts->longValues.find(m_longKey);
    if (it == m_texts->longValues.end())
        it = m_texts->longValues.insert(QByteArray(m_longKey.constData(), m_longKey.size()),
                                        parameterValueText(parameter.type, value, m_locale));
    return *it;
}

void SetComparisonFill::add(const SetParameter& parameter)
{
    addText(parameter, valueText(parameter));
}

void SetComparisonFill::addText(const SetParameter& parameter, const QString& value)
{
    // The row the last server's parameter at this place went to, when it
    // has this very name: the index would give that row too, since rows
    // are only appended while the index holds.
    std::vector<int>& byPlace = m_texts->rowsByPlace;
    int known = -1;
    if (m_lookUp && m_place < byPlace.size() && m_grid.grid().text(byPlace[m_place], kSetNameCol) == parameter.name)
        known = byPlace[m_place];
    const int rowsBefore = m_grid.rows();
    int row = placeSetParameter(m_grid, m_texts->rows, m_col, parameter, m_lookUp, value, known);
    if (m_grid.rows() != rowsBefore) {
        // A row of its own goes into the index with it: the index still
        // holds. The first server's repeats keep rows of their own; the
        // name's row is the first.
        m_texts->rowsVersion = m_grid.grid().rowNamesVersion();
        row = m_texts->rows.find(parameter.name);
    }
    if (m_place < byPlace.size())
        byPlace[m_place] = row;
    else
        byPlace.push_back(row);
    ++m_place;
}

void SetComparisonFill::finish()
{
    if (!m_added)
        return;
    // Rows moved by the sort leave the kept index behind: the grid's version
    // then differs and the next server rebuilds it.
    m_grid.sortRows(kSetNameCol, models::SortMode::GenericAscending, m_grid.fixedRows());
    // An index started empty for a first server leaves out rows the grid had
    // before; a later opening reads every row, as it always has.
    if (m_startedEmpty)
        m_texts->rowsVersion = 0;
    m_startedEmpty = false;
    m_added = false;
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

#include "views/SetComparison.h"

namespace views {

QString fcnSetServerHeader(const QString& server)
{
    return server + QStringLiteral(" - Value");
}

bool fcnSetServerShown(const widgets::GridData& grid, const QString& server)
{
    const QString header = fcnSetServerHeader(server);
    for (int col = kSetFirstServerCol; col < grid.cols(); ++col) {
        if (grid.text(0, col) == header)
            return true;
    }
    return false;
}

void SetRowIndex::rebuild(const widgets::GridData& grid)
{
    m_rows.clear();
    m_rows.reserve(grid.rows());
    for (int row = grid.fixedRows(); row < grid.rows(); ++row)
        add(grid.text(row, kSetNameCol), row);
}

int SetRowIndex::find(const QString& name) const
{
    return m_rows.value(key(name), -1);
}

void SetRowIndex::add(const QString& name, int row)
{
    const QString k = key(name);
    if (!m_rows.contains(k))
        m_rows.insert(k, row);
}

int subAddSetParameter(widgets::FlexGridModel& grid, SetRowIndex& index, int col, const SetParameter& parameter,
                       bool lookUp)
{
    int row = lookUp ? index.find(parameter.name) : -1;
    if (row < 0) {
        row = grid.addRow({parameter.name, fcnSetCategoryText(parameter.category)});
        index.add(parameter.name, row);
    }
    grid.setTextMatrix(row, col, fcnSetValueText(parameter.type, parameter.value));
    grid.setCellAlignment(row, col, Qt::AlignRight | Qt::AlignVCenter);
    return row;
}

bool fcnSetRowDiffers(const widgets::GridData& grid, int row)
{
    for (int col = kSetFirstServerCol + 1; col < grid.cols(); ++col) {
        if (grid.text(row, col) != grid.text(row, col - 1))
            return true;
    }
    return false;
}

void subApplySetDifferences(widgets::FlexGridModel& grid, bool differencesOnly)
{
    const widgets::GridData& cells = grid.grid();
    const int shownHeight = cells.rowHeight(0);
    grid.beginUpdate();
    for (int row = cells.fixedRows(); row < cells.rows(); ++row)
        grid.setRowHeight(row, !differencesOnly || fcnSetRowDiffers(cells, row) ? shownHeight : 0);
    grid.endUpdate();
}

int fcnFindSetRow(const widgets::GridData& grid, const QString& text)
{
    for (int row = std::max(1, grid.fixedRows()); row < grid.rows(); ++row) {
        if (grid.isRowShown(row) && grid.text(row, kSetNameCol).startsWith(text, Qt::CaseInsensitive))
            return row;
    }
    return -1;
}

}  // namespace views

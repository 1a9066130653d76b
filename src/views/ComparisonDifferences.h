#pragma once
// The cells in which the servers of a module or SET parameter comparison do
// not agree, read from the comparison tables: each kind of column (module
// versions, module dates, parameter values) is held against the row's most
// common value of that kind (models/RowDifferences.h).

#include "models/GridData.h"
#include "models/RowDifferences.h"
#include "views/NLMComparison.h"

namespace views {

// Orders two version texts of the comparison ("  5.00h"): major, minor, then
// revision letter; texts that are no version sort before those that are.
int compareNlmVersions(const QString& a, const QString& b);

// A cell of the module comparison: the name column tells whether the row
// differs in the kinds of column shown; a server cell is held against the
// other servers' cells of its kind. Hidden kinds and header rows are Agrees.
models::CellDifference nlmCellDifference(const models::GridData& grid, int row, int col, NlmShow show);

// A cell of the SET comparison (name and category columns tell whether the row differs).
models::CellDifference setCellDifference(const models::GridData& grid, int row, int col);

// Data rows in which the servers do not all agree, and all data rows.
struct DifferingRows {
    int differing = 0;
    int total = 0;
};
DifferingRows countNlmDifferingRows(const models::GridData& grid, NlmShow show);
DifferingRows countSetDifferingRows(const models::GridData& grid);

}  // namespace views

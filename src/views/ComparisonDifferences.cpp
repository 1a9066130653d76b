#include "views/ComparisonDifferences.h"

#include "views/SetComparison.h"

#include <QRegularExpression>

#include <tuple>

namespace views {

namespace {

struct Version {
    bool valid = false;
    int major = 0;
    int minor = 0;
    int revision = 0;
};

Version parseVersion(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*(\\d+)\\.(\\d+)([a-z]?)\\s*$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(text);
    Version version;
    if (!match.hasMatch())
        return version;
    version.valid = true;
    version.major = match.captured(1).toInt();
    version.minor = match.captured(2).toInt();
    const QString letter = match.captured(3).toLower();
    version.revision = letter.isEmpty() ? 0 : letter.at(0).unicode() - u'a' + 1;
    return version;
}

QStringList cellsOf(const models::GridData& grid, int row, int firstCol, int step)
{
    QStringList cells;
    for (int c = firstCol; c < grid.cols(); c += step)
        cells.append(grid.text(row, c));
    return cells;
}

bool kindShown(NlmShow show, bool versionKind)
{
    return show == NlmShow::Both || (versionKind ? show == NlmShow::Version : show == NlmShow::Date);
}

// Whether some cell of the row, from firstCol on in steps, differs from the
// first: what compareRowCells tells as `differs`, without copying the cells
// or counting values, and ending at the first difference. The counts of
// differing rows run after every server of an opening.
bool cellsDiffer(const models::GridData& grid, int row, int firstCol, int step)
{
    if (firstCol >= grid.cols())
        return false;
    const QString& first = grid.text(row, firstCol);
    for (int c = firstCol + step; c < grid.cols(); c += step) {
        if (grid.text(row, c) != first)
            return true;
    }
    return false;
}

bool nlmRowDiffers(const models::GridData& grid, int row, NlmShow show)
{
    for (const bool versionKind : {true, false}) {
        if (kindShown(show, versionKind) && cellsDiffer(grid, row, versionKind ? 1 : 2, 2))
            return true;
    }
    return false;
}

models::CellDifference fromComparison(const models::RowComparison& comparison, qsizetype index, bool rowDiffers)
{
    models::CellDifference cell;
    cell.rowDiffers = rowDiffers;
    cell.common = comparison.common;
    cell.commonCount = comparison.commonCount;
    cell.cellCount = comparison.cellCount;
    if (index >= 0 && index < static_cast<qsizetype>(comparison.marks.size()))
        cell.mark = comparison.marks[static_cast<size_t>(index)];
    return cell;
}

}  // namespace

int compareNlmVersions(const QString& a, const QString& b)
{
    const Version va = parseVersion(a);
    const Version vb = parseVersion(b);
    const auto key = [](const Version& v) { return std::make_tuple(v.valid, v.major, v.minor, v.revision); };
    if (key(va) < key(vb))
        return -1;
    return key(vb) < key(va) ? 1 : 0;
}

models::CellDifference nlmCellDifference(const models::GridData& grid, int row, int col, NlmShow show)
{
    if (row < kNlmFirstDataRow || row >= grid.rows() || col < 0 || col >= grid.cols())
        return {};
    if (col == 0) {
        models::CellDifference cell;
        cell.rowDiffers = nlmRowDiffers(grid, row, show);
        return cell;
    }
    const bool versionKind = (col % 2) == 1;
    if (!kindShown(show, versionKind))
        return {};
    const models::RowComparison comparison =
        models::compareRowCells(cellsOf(grid, row, versionKind ? 1 : 2, 2),
                                versionKind ? models::CellOrder(compareNlmVersions) : models::CellOrder());
    return fromComparison(comparison, (col - 1) / 2, comparison.differs);
}

models::CellDifference setCellDifference(const models::GridData& grid, int row, int col)
{
    if (row < 1 || row >= grid.rows() || col < 0 || col >= grid.cols())
        return {};
    const models::RowComparison comparison = models::compareRowCells(cellsOf(grid, row, kSetFirstServerCol, 1));
    if (col < kSetFirstServerCol) {
        models::CellDifference cell;
        cell.rowDiffers = comparison.differs;
        return cell;
    }
    return fromComparison(comparison, col - kSetFirstServerCol, comparison.differs);
}

DifferingRows countNlmDifferingRows(const models::GridData& grid, NlmShow show)
{
    DifferingRows rows;
    for (int r = kNlmFirstDataRow; r < grid.rows(); ++r) {
        ++rows.total;
        if (nlmRowDiffers(grid, r, show))
            ++rows.differing;
    }
    return rows;
}

DifferingRows countSetDifferingRows(const models::GridData& grid)
{
    DifferingRows rows;
    for (int r = 1; r < grid.rows(); ++r) {
        ++rows.total;
        if (cellsDiffer(grid, r, kSetFirstServerCol, 1))
            ++rows.differing;
    }
    return rows;
}

}  // namespace views

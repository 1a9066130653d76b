#pragma once
// Which cells of a comparison row differ. The servers' cells of one kind
// (the versions of the modules, the dates, or the values of a parameter) are
// held against the row's most common value: the value most servers share.
// A missing value (an empty cell) never counts as that value while any server
// has one, so a module loaded on one server of three is "missing" on the
// other two rather than "different" on the one. Ties go to the value that
// appears first from the left, so the same row is always read the same way.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

namespace models {

enum class CellMark : std::uint8_t {
    Agrees,   // equals the most common value (or the row agrees throughout)
    Differs,  // another value
    Missing,  // empty while other servers have a value
    Older,    // an older version than the most common one
    Newer,    // a newer version than the most common one
};

// Orders two cell texts of a kind that has an order (versions): negative,
// zero or positive. Zero for texts that are equal in value though spelled
// differently; those are marked Differs.
using CellOrder = std::function<int(const QString& a, const QString& b)>;

struct RowComparison {
    bool differs = false;         // not every cell equals the others
    QString common;               // the most common value ("" when none)
    int commonCount = 0;          // cells holding it
    int cellCount = 0;            // cells compared
    std::vector<CellMark> marks;  // one per cell, in the order given
};

// Compares the cells of one kind of one row.
RowComparison compareRowCells(const QStringList& cells, const CellOrder& order = {});

// The cells of several kinds of one row (each group a list of columns), as
// seen for a single cell.
struct CellDifference {
    CellMark mark = CellMark::Agrees;
    bool rowDiffers = false;  // some group of the row differs
    int commonCount = 0;      // of the cell's group
    int cellCount = 0;
    QString common;
};

// Text of a cell's tool tip: how many servers share the most common value;
// empty for a cell in a row where everything agrees.
QString differenceToolTip(const CellDifference& cell);

// "3 of 250 rows differ", with the filter on followed by
// "; the other rows are hidden".
QString differingRowsText(int differing, int total, bool othersHidden);

}  // namespace models

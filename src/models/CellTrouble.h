#pragma once
// How much trouble a cell's value stands for. The grid and list models answer
// it under kTroubleRole from a rule the window gives them; the shared table
// widgets draw it (colour, bold text and a symbol), and nothing of it reaches
// the cell's text, so Save, Copy and the report write what they always wrote.

#include <Qt>

#include <functional>

namespace models {

enum class TroubleLevel {
    None,
    Warning,      // needs a look soon (little free space, a replica in transition, a lock)
    Critical,     // needs a look now
    Unavailable,  // nothing could be read (a volume not mounted, a server not reached)
};

// The role under which the models answer a cell's TroubleLevel (as int).
constexpr int kTroubleRole = Qt::UserRole + 40;

// The level of a cell, by the model's own row and column numbering (grid rows
// for a flex grid, item rows for a list view); evaluated when the cell is drawn,
// so it follows the cell's text through sorting and refreshes.
using TroubleRule = std::function<TroubleLevel(int row, int col)>;

}  // namespace models

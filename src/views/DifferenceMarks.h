#pragma once
// Shows the differences of a comparison grid: a cell that differs from its
// row's most common value gets a tint, bold text and an icon (so colour is
// never the only sign), a tool tip tells how many servers share the most
// common value, and the frozen name column carries a marker on every row
// that differs, so the row can be found while the differing cell is scrolled
// out of sight. The tints are from a palette that stays distinct for the
// common colour-vision deficiencies and are translucent, so they read on a
// light or a dark background. Only the looks change: the cell texts, and
// with them what Save and Copy write, stay as they are.

#include "models/GridData.h"
#include "models/RowDifferences.h"

#include <QColor>
#include <QHash>
#include <QIcon>
#include <QObject>
#include <QVariant>

#include <functional>

namespace widgets {
class FlexGrid;
}

namespace views {

// Colour of a mark (Agrees gives an invalid colour).
QColor differenceColor(models::CellMark mark);

class DifferenceMarks : public QObject {
    Q_OBJECT
public:
    using Rule = std::function<models::CellDifference(const models::GridData& grid, int row, int col)>;

    // Decorates the grid's cells by `rule` from now on.
    DifferenceMarks(widgets::FlexGrid& grid, Rule rule, QObject* parent = nullptr);

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool on);
    // The rule reads something else now (another "Show Column" choice).
    void ruleChanged();

    // What the grid shows for a cell in a role; invalid for the default look.
    QVariant decoration(int gridRow, int col, int role) const;

private:
    const models::CellDifference& differenceAt(int gridRow, int col) const;
    void forget() { m_cache.clear(); }

    widgets::FlexGrid& m_grid;
    Rule m_rule;
    bool m_enabled = true;
    mutable QHash<quint64, models::CellDifference> m_cache;
    QIcon m_rowMarker;
    QIcon m_icons[5];
};

}  // namespace views

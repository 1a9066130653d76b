#pragma once
// What a window offers File / "&Save" and Edit / "Copy": the tables Save writes,
// in order, and the first grid (or, without one, the first list view) Copy
// takes. Views say so by implementing TableSource; a window that does not
// gives every grid and list view it holds, in the order it created them
// (exporting::tablesOf in WidgetExport.h).

#include <QList>

class QWidget;

namespace exporting {

// The columns the heading line of a copy names when the copy does not start
// at the heading row: every column, or only those shown (so that the heading
// stands over the copied cells of a table whose hidden columns are left out).
enum class CopiedHeading { EveryColumn, ShownColumns };

class TableSource {
public:
    virtual ~TableSource() = default;
    virtual QList<QWidget*> savedTables() const = 0;
    virtual CopiedHeading copiedHeading() const { return CopiedHeading::EveryColumn; }
};

}  // namespace exporting

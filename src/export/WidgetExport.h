#pragma once
// Save and copy applied to the table widgets of a view window.

#include "export/TableExport.h"

#include <QList>

#include <optional>

class QWidget;

namespace platform {
class ClipboardService;
}

namespace widgets {
class FlexGrid;
class ReportListView;
}  // namespace widgets

namespace exporting {

bool writeGrid(const widgets::FlexGrid& grid, QIODevice& device, const QString& delimiter,
               const QLocale& locale = QLocale());
bool writeListView(const widgets::ReportListView& list, QIODevice& device, const QString& delimiter,
                   const QLocale& locale = QLocale());

QString gridClipboardText(const widgets::FlexGrid& grid, int firstRow, int lastRow, const QString& delimiter,
                          const QLocale& locale = QLocale(), CopiedHeading heading = CopiedHeading::EveryColumn);

// Builds the clipboard text of rows firstRow..lastRow: a header line from
// row 0 first when the copy does not start there, then every shown row.
// Nothing happens when the clipboard cannot be opened.
void copyGridToClipboard(const widgets::FlexGrid& grid, int firstRow, int lastRow, const QString& delimiter,
                         platform::ClipboardService& clipboard, const QLocale& locale = QLocale(),
                         CopiedHeading heading = CopiedHeading::EveryColumn);

// Puts all rows or the selected rows of a list view on the clipboard in the
// lines Save writes (headings first). Nothing happens when no row is taken.
void copyListViewToClipboard(const widgets::ReportListView& list, bool allRows, const QString& delimiter,
                             platform::ClipboardService& clipboard, const QLocale& locale = QLocale());

// Every grid and list view of the window, in the order the window created them.
QList<QWidget*> tablesOf(const QWidget* window);
// The tables of a window (or of the view in an MDI frame) that Save writes:
// those the view declares as a TableSource, else every grid and list view.
QList<QWidget*> exportableTables(const QWidget* window);
// The columns the heading line of the window's copy names.
CopiedHeading copiedHeading(const QWidget* window);
// The first grid among the window's tables: the one Copy takes.
widgets::FlexGrid* copyableGrid(const QWidget* window);
// The first list view of a window; Copy takes it when the window has no grid.
widgets::ReportListView* copyableListView(const QWidget* window);

// The rows of one table widget (a FlexGrid or a ReportListView) as Save writes
// them; nothing for other widgets.
std::optional<TableRows> tableRows(const QWidget* table, const QLocale& locale = QLocale());

// Writes one table widget (a FlexGrid or a ReportListView); false for other widgets.
bool writeTable(const QWidget* table, QIODevice& device, const QString& delimiter, const QLocale& locale = QLocale());

}  // namespace exporting

#pragma once
// Save and copy of a view's table as delimited text. Cells that read as
// numbers are written as plain numbers (no grouping; two decimals when they
// had a decimal point) so that spreadsheets take them as numbers. Files are
// ANSI text with CR LF line ends.

#include "export/TableSource.h"

#include <QChar>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

class QIODevice;

namespace models {
class GridData;
class ReportListModel;
}  // namespace models

namespace exporting {

// Trimmed text; a number (grouping allowed) is reformatted with two decimals
// when it has a decimal point and without decimals otherwise.
QString convertCell(const QString& text, const QLocale& locale = QLocale());

// One field of a line: a cell holding the delimiter, a double quote, CR or LF
// is put in double quotes with its quotes doubled, so that it stays one field.
QString quoteField(const QString& cell, const QString& delimiter);

// Cells joined by the delimiter (each quoted where needed), no line end.
QString buildLine(const QStringList& cells, const QString& delimiter);

// The cells of a table as Save writes them, headings first.
using TableRows = QList<QStringList>;

// Rows of height > 0 from row 0, columns of width > 0, header cells
// converted like data cells.
TableRows gridRows(const models::GridData& grid, const QLocale& locale = QLocale());
// The headings, then one row per list row in display order; nothing for a
// list without rows.
TableRows listViewRows(const models::ReportListModel& list, const QLocale& locale = QLocale());

// The rows as the lines of a saved file: Windows-1252, fields joined by the
// delimiter (quoted where needed), each line ended by CR LF.
QByteArray delimitedBytes(const TableRows& rows, const QString& delimiter);

// Saved file of a grid (gridRows). False when the device fails.
bool writeGrid(const models::GridData& grid, QIODevice& device, const QString& delimiter,
               const QLocale& locale = QLocale());

// Saved file of a list view (listViewRows); a list without rows gives an empty file.
bool writeListView(const models::ReportListModel& list, QIODevice& device, const QString& delimiter,
                   const QLocale& locale = QLocale());

// Clipboard text of the given rows of a list view (indexes in display order):
// the headings line, then each row, in the lines Save writes. Empty when no
// row is given.
QString listViewClipboardText(const models::ReportListModel& list, const QList<int>& rows, const QString& delimiter,
                              const QLocale& locale = QLocale());

// Clipboard text of rows firstRow..lastRow of a grid (see copyGridToClipboard).
QString gridClipboardText(const models::GridData& grid, CopiedHeading heading, int firstRow, int lastRow,
                          const QString& delimiter, const QLocale& locale = QLocale());

// Proposed file name for a window caption: its first "/" becomes "-".
QString proposedSaveName(const QString& caption);

// Filter of the save dialog.
QString saveFilter();

}  // namespace exporting

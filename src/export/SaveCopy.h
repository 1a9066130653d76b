#pragma once
// File / "&Save" and Edit / "Copy" of the main window: the table of the active
// child window goes to a delimited text file or to the clipboard.
// The views take no part beyond switching the two menu items.

#include "export/TableExport.h"

#include <QByteArray>
#include <QChar>
#include <QLocale>
#include <QString>

class QWidget;

namespace core {
class AppContext;
}

namespace exporting {

// The field delimiter chosen in the options, as stored ("," when none).
QString saveDelimiter(const core::AppContext& context);

// The caption of a child window: the title of its MDI frame, else its own.
QString childCaption(const QWidget* activeChild);

// Asks for a file (proposed name from the caption, overwrite prompt) and writes
// every table of the window into it in control order, so a window with two
// tables leaves the last one. A cancelled dialog, a window without tables or a
// file that cannot be written leaves everything as it was, without a message.
void saveWindow(core::AppContext& context, QWidget* activeChild);

// Writes the window's tables to `path` as Save does; false when nothing could
// be written. An existing file is replaced only by a complete new one.
bool saveTables(const QWidget* window, const QString& path, const QString& delimiter,
                const QLocale& locale = QLocale());

// The rows Save would leave in the file for the window: those of its last
// table (empty without tables).
TableRows savedRows(const QWidget* window, const QLocale& locale = QLocale());

// The bytes Save would leave in the file for the window (empty without tables).
QByteArray savedBytes(const QWidget* window, const QString& delimiter, const QLocale& locale = QLocale());

// Shows the modal copy dialog ("frmCopy") for the window; nothing without a window.
void copyWindow(core::AppContext& context, QWidget* activeChild, QWidget* dialogParent);

}  // namespace exporting

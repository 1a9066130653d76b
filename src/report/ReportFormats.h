#pragma once
// Output formats of veskaro-report. csv is the text File / "&Save" writes,
// byte for byte (ANSI, CR LF). tsv and json carry the same cells in the same
// order for other tools: UTF-8, LF line ends.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace report {

enum class ReportFormat { Csv, Tsv, Json };

// The names --format accepts, in the order --help lists them.
QStringList reportFormatNames();
std::optional<ReportFormat> reportFormatFromName(const QString& name);

// Saved text is Windows-1252; the report carries it as one character per
// byte (QString::fromLatin1). This gives the characters the bytes stand for.
QString decodeAnsi(const QString& savedText);

// Splits delimited text as Save writes it into rows of cells: fields in
// double quotes may hold the delimiter, doubled quotes and line breaks; a
// row ends at CR LF (or LF) outside quotes.
QList<QStringList> splitDelimitedText(const QString& text, QChar delimiter);

// One line per row, cells separated by a tab; a backslash, tab, CR or LF
// inside a cell is written as \\, \t, \r or \n so that every row stays one line.
QByteArray tsvText(const QList<QStringList>& rows);

// The column names of a table whose first headerRows rows are headings: the
// non-empty heading cells of each column joined by a space ("FS1 Version");
// a column without any is "Column N"; a repeated name gets " (2)", " (3)"...
QStringList columnKeys(const QList<QStringList>& rows, int headerRows);

// An array of objects, one per row after the headings, keyed by columnKeys in
// column order. A cell that is a plain number (digits, optional minus sign
// and decimal point, no leading zeros) is written as a JSON number.
QByteArray jsonText(const QList<QStringList>& rows, int headerRows);

// True for the cells jsonText writes as numbers.
bool isPlainNumber(const QString& cell);

}  // namespace report

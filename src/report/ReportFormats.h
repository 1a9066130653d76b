#pragma once
// Output formats of veskaro-report. csv is the text File / "&Save" writes,
// byte for byte (ANSI, CR LF). tsv and json carry the same cells in the same
// order for other tools: UTF-8, LF line ends. All three are written from the
// view's rows of cells, never from one another.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace report {

enum class ReportFormat { Csv, Tsv, Json };

// The names --format accepts, in the order --help lists them.
QStringList reportFormatNames();
std::optional<ReportFormat> reportFormatFromName(const QString& name);

// One table of a view, its cells as File / "&Save" writes them, headings first.
struct ReportTable {
    QString server;  // the server a table of a view with one table per server belongs to
    QList<QStringList> rows;
};

// What a view produced for the report.
struct ReportOutput {
    // The tables in the order read; csv writes them one after another, as
    // Save would write each. Otherwise the last one is the view's table.
    std::vector<ReportTable> tables;
    // True for views with one table per server: tsv and json then write one
    // table with the server first ("Server"), so no heading is taken for a record.
    bool tablePerServer = false;
    // How many of a table's first rows are headings (json joins them into keys).
    int headerRows = 1;
    // Views that print one value a line instead of a table (the server list,
    // the halts of an abend log): the values, and the key json gives each.
    QStringList lines;
    QString lineKey;
};

// The tables of a view with one table per server as one table: "Server",
// then every heading any table has (in order of first appearance); each row
// starts with its table's server and puts its cells under their headings.
QList<QStringList> mergedPerServer(const std::vector<ReportTable>& tables);

// The bytes the report writes: csv with the given delimiter (ANSI, CR LF,
// byte for byte Save's file; a line view's values one a line in UTF-8), tsv and
// json in UTF-8.
QByteArray formattedOutput(const ReportOutput& output, ReportFormat format, const QString& delimiter);

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

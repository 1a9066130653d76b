#pragma once
// Reads delimited text as Save writes it back into rows of cells, so tests
// and fuzz targets can check what was written cell by cell: fields in double
// quotes may hold the delimiter, doubled quotes and line breaks; a row ends
// at CR LF (or LF) outside quotes.

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

namespace testing {

inline QList<QStringList> splitDelimitedText(const QString& text, QChar delimiter)
{
    QList<QStringList> rows;
    QStringList row;
    QString cell;
    bool quoted = false;
    bool rowStarted = false;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar ch = text.at(i);
        if (quoted) {
            if (ch != QLatin1Char('"'))
                cell += ch;
            else if (i + 1 < size && text.at(i + 1) == QLatin1Char('"'))
                cell += text.at(++i);
            else
                quoted = false;
            continue;
        }
        if (ch == QLatin1Char('"') && cell.isEmpty()) {
            quoted = true;
            rowStarted = true;
        } else if (ch == delimiter) {
            row.append(cell);
            cell.clear();
            rowStarted = true;
        } else if (ch == QLatin1Char('\r') && i + 1 < size && text.at(i + 1) == QLatin1Char('\n')) {
            // CR LF ends the row; the LF is taken by the next round.
        } else if (ch == QLatin1Char('\n')) {
            row.append(cell);
            rows.append(row);
            row.clear();
            cell.clear();
            rowStarted = false;
        } else {
            cell += ch;
            rowStarted = true;
        }
    }
    if (rowStarted || !row.isEmpty()) {
        row.append(cell);
        rows.append(row);
    }
    return rows;
}

}  // namespace testing

#include "export/TableExport.h"

#include "models/GridData.h"
#include "models/ReportListModel.h"
#include "text/CodePage.h"

#include <QHash>
#include <QIODevice>

#include <algorithm>
#include <cmath>

namespace exporting {

namespace {

const QByteArray lineEnd = QByteArrayLiteral("\r\n");

bool readNumber(const QString& text, const QLocale& locale, double* value)
{
    if (std::none_of(text.cbegin(), text.cend(), [](QChar c) { return c.isDigit(); }))
        return false;
    QLocale lenient = locale;
    lenient.setNumberOptions(QLocale::DefaultNumberOptions);
    bool ok = false;
    const double v = lenient.toDouble(text, &ok);
    if (!ok || !std::isfinite(v))
        return false;
    *value = v;
    return true;
}

bool writeLine(QIODevice& device, const QString& line)
{
    const QByteArray bytes = texts::toWindows1252Lossy(line) + lineEnd;
    return device.write(bytes) == bytes.size();
}

}  // namespace

QString convertCell(const QString& text, const QLocale& locale)
{
    const QString trimmed = text.trimmed();
    double value = 0;
    if (!readNumber(trimmed, locale, &value))
        return trimmed;
    // The decimal point is the locale's: in a decimal-comma locale "12,5" keeps
    // its fraction rather than being rounded to 13.
    const bool fraction = trimmed.contains(locale.decimalPoint());
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    const int decimals = fraction ? 2 : 0;
    const QString result = plain.toString(value, 'f', decimals);
    // A small negative value that rounds to zero is written without its sign.
    if (result.startsWith(plain.negativeSign()) && plain.toDouble(result) == 0.0)
        return plain.toString(0.0, 'f', decimals);
    return result;
}

QString quoteField(const QString& cell, const QString& delimiter)
{
    const bool needsQuotes = cell.contains(delimiter) || cell.contains(QLatin1Char('"'))
                             || cell.contains(QLatin1Char('\r')) || cell.contains(QLatin1Char('\n'));
    if (!needsQuotes)
        return cell;
    QString quoted = cell;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString buildLine(const QStringList& cells, const QString& delimiter)
{
    QString line;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0)
            line += delimiter;
        line += quoteField(cells[i], delimiter);
    }
    return line;
}

TableRows gridRows(const models::GridData& grid, const QLocale& locale)
{
    TableRows rows;
    // Servers side by side repeat most of their texts, and reading a number
    // asks the system's locale each time: each text is converted once.
    QHash<QString, QString> converted;
    for (int r = 0; r < grid.rows(); ++r) {
        if (grid.rowHeight(r) <= 0)
            continue;
        QStringList cells;
        for (int c = 0; c < grid.cols(); ++c) {
            if (grid.colWidth(c) <= 0)
                continue;
            const QString& text = grid.text(r, c);
            auto known = converted.constFind(text);
            if (known == converted.cend())
                known = converted.insert(text, convertCell(text, locale));
            cells.append(*known);
        }
        rows.append(cells);
    }
    return rows;
}

TableRows listViewRows(const models::ReportListModel& list, const QLocale& locale)
{
    TableRows rows;
    if (list.rowCount() == 0)
        return rows;
    rows.append(list.headings());
    for (int r = 0; r < list.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < list.columnCount(); ++c)
            cells.append(convertCell(list.itemText(r, c), locale));
        rows.append(cells);
    }
    return rows;
}

QByteArray delimitedBytes(const TableRows& rows, const QString& delimiter)
{
    QByteArray bytes;
    for (const QStringList& cells : rows)
        bytes += texts::toWindows1252Lossy(buildLine(cells, delimiter)) + lineEnd;
    return bytes;
}

bool writeGrid(const models::GridData& grid, QIODevice& device, const QString& delimiter, const QLocale& locale)
{
    for (const QStringList& cells : gridRows(grid, locale)) {
        if (!writeLine(device, buildLine(cells, delimiter)))
            return false;
    }
    return true;
}

bool writeListView(const models::ReportListModel& list, QIODevice& device, const QString& delimiter,
                   const QLocale& locale)
{
    for (const QStringList& cells : listViewRows(list, locale)) {
        if (!writeLine(device, buildLine(cells, delimiter)))
            return false;
    }
    return true;
}

QString listViewClipboardText(const models::ReportListModel& list, const QList<int>& rows, const QString& delimiter,
                              const QLocale& locale)
{
    const QString crlf = QStringLiteral("\r\n");
    QString text;
    for (int r : rows) {
        if (r < 0 || r >= list.rowCount())
            continue;
        if (text.isEmpty())
            text = buildLine(list.headings(), delimiter) + crlf;
        QStringList cells;
        for (int c = 0; c < list.columnCount(); ++c)
            cells.append(convertCell(list.itemText(r, c), locale));
        text += buildLine(cells, delimiter) + crlf;
    }
    return text;
}

QString gridClipboardText(const models::GridData& grid, CopiedHeading heading, int firstRow, int lastRow,
                          const QString& delimiter, const QLocale& locale)
{
    const QString crlf = QStringLiteral("\r\n");
    QString text;
    if (grid.rows() == 0 || grid.cols() == 0)
        return text;
    firstRow = std::max(0, firstRow);
    lastRow = std::min(lastRow, grid.rows() - 1);

    if (firstRow != 0) {
        const bool shownOnly = heading == CopiedHeading::ShownColumns;
        QStringList header;
        for (int c = 0; c < grid.cols(); ++c) {
            if (!shownOnly || grid.colWidth(c) > 0)
                header.append(grid.text(0, c).trimmed());
        }
        text += buildLine(header, delimiter) + crlf;
    }
    for (int r = firstRow; r <= lastRow; ++r) {
        if (grid.rowHeight(r) < 1)
            continue;
        QStringList cells;
        for (int c = 0; c < grid.cols(); ++c) {
            if (grid.colWidth(c) >= 1)
                cells.append(convertCell(grid.text(r, c), locale));
        }
        text += buildLine(cells, delimiter) + crlf;
    }
    return text;
}

QString proposedSaveName(const QString& caption)
{
    QString name = caption;
    const qsizetype slash = name.indexOf(QLatin1Char('/'));
    if (slash >= 0)
        name[slash] = QLatin1Char('-');
    return name;
}

QString saveFilter()
{
    return QStringLiteral("CSV File(*.csv);;All Files(*.*)");
}

}  // namespace exporting

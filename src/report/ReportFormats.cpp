#include "report/ReportFormats.h"

#include "export/TableExport.h"

#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace report {

namespace {

struct FormatName {
    ReportFormat format;
    const char* name;
};

constexpr FormatName kFormats[] = {
    {ReportFormat::Csv, "csv"},
    {ReportFormat::Tsv, "tsv"},
    {ReportFormat::Json, "json"},
};

void appendJsonString(QString& json, const QString& text)
{
    json += QLatin1Char('"');
    for (const QChar ch : text) {
        switch (ch.unicode()) {
        case '"':
            json += QLatin1String("\\\"");
            break;
        case '\\':
            json += QLatin1String("\\\\");
            break;
        case '\n':
            json += QLatin1String("\\n");
            break;
        case '\r':
            json += QLatin1String("\\r");
            break;
        case '\t':
            json += QLatin1String("\\t");
            break;
        default:
            if (ch.unicode() < 0x20)
                json += QStringLiteral("\\u%1").arg(ch.unicode(), 4, 16, QLatin1Char('0'));
            else
                json += ch;
        }
    }
    json += QLatin1Char('"');
}

}  // namespace

QStringList reportFormatNames()
{
    QStringList names;
    for (const FormatName& entry : kFormats)
        names.append(QLatin1String(entry.name));
    return names;
}

std::optional<ReportFormat> reportFormatFromName(const QString& name)
{
    for (const FormatName& entry : kFormats) {
        if (name == QLatin1String(entry.name))
            return entry.format;
    }
    return std::nullopt;
}

QByteArray tsvText(const QList<QStringList>& rows)
{
    QString text;
    for (const QStringList& row : rows) {
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (c > 0)
                text += QLatin1Char('\t');
            for (const QChar ch : row.at(c)) {
                switch (ch.unicode()) {
                case '\\':
                    text += QLatin1String("\\\\");
                    break;
                case '\t':
                    text += QLatin1String("\\t");
                    break;
                case '\r':
                    text += QLatin1String("\\r");
                    break;
                case '\n':
                    text += QLatin1String("\\n");
                    break;
                default:
                    text += ch;
                }
            }
        }
        text += QLatin1Char('\n');
    }
    return text.toUtf8();
}

QStringList columnKeys(const QList<QStringList>& rows, int headerRows)
{
    qsizetype columns = 0;
    for (const QStringList& row : rows)
        columns = std::max(columns, row.size());
    QStringList keys;
    QSet<QString> used;
    for (qsizetype c = 0; c < columns; ++c) {
        QStringList parts;
        for (int r = 0; r < headerRows && r < rows.size(); ++r) {
            const QString heading = c < rows.at(r).size() ? rows.at(r).at(c).trimmed() : QString();
            if (!heading.isEmpty())
                parts.append(heading);
        }
        QString key = parts.isEmpty() ? QStringLiteral("Column %1").arg(c + 1) : parts.join(QLatin1Char(' '));
        const QString base = key;
        for (int n = 2; used.contains(key); ++n)
            key = QStringLiteral("%1 (%2)").arg(base).arg(n);
        used.insert(key);
        keys.append(key);
    }
    return keys;
}

bool isPlainNumber(const QString& cell)
{
    static const QRegularExpression number(QStringLiteral("^-?(0|[1-9][0-9]*)(\\.[0-9]+)?$"));
    return number.match(cell).hasMatch();
}

QByteArray jsonText(const QList<QStringList>& rows, int headerRows)
{
    const QStringList keys = columnKeys(rows, headerRows);
    QString json = QStringLiteral("[");
    bool first = true;
    for (qsizetype r = std::max(0, headerRows); r < rows.size(); ++r) {
        const QStringList& row = rows.at(r);
        json += first ? QStringLiteral("\n  {") : QStringLiteral(",\n  {");
        first = false;
        for (qsizetype c = 0; c < keys.size(); ++c) {
            if (c > 0)
                json += QLatin1String(", ");
            appendJsonString(json, keys.at(c));
            json += QLatin1String(": ");
            const QString cell = c < row.size() ? row.at(c) : QString();
            if (isPlainNumber(cell))
                json += cell;
            else
                appendJsonString(json, cell);
        }
        json += QLatin1Char('}');
    }
    json += first ? QStringLiteral("]\n") : QStringLiteral("\n]\n");
    return json.toUtf8();
}

QList<QStringList> mergedPerServer(const std::vector<ReportTable>& tables)
{
    QStringList headings;
    for (const ReportTable& table : tables) {
        for (const QString& heading : table.rows.value(0)) {
            if (!headings.contains(heading))
                headings.append(heading);
        }
    }
    QList<QStringList> merged{QStringList{QStringLiteral("Server")} + headings};
    for (const ReportTable& table : tables) {
        if (table.rows.isEmpty())
            continue;
        // Each table's own headings say where its cells go.
        const QStringList& own = table.rows.constFirst();
        QList<qsizetype> place;
        for (const QString& heading : own)
            place.append(headings.indexOf(heading) + 1);
        for (qsizetype r = 1; r < table.rows.size(); ++r) {
            QStringList row(headings.size() + 1);
            row[0] = table.server;
            const QStringList& cells = table.rows.at(r);
            for (qsizetype c = 0; c < cells.size() && c < place.size(); ++c)
                row[place.at(c)] = cells.at(c);
            merged.append(row);
        }
    }
    return merged;
}

QByteArray formattedOutput(const ReportOutput& output, ReportFormat format, const QString& delimiter)
{
    if (!output.lineKey.isEmpty()) {
        QList<QStringList> rows;
        for (const QString& line : output.lines)
            rows.append({line});
        switch (format) {
        case ReportFormat::Csv: {
            // Plain lines, not a saved table: UTF-8, as a terminal reads them.
            QByteArray bytes;
            for (const QString& line : output.lines)
                bytes += line.toUtf8() + '\n';
            return bytes;
        }
        case ReportFormat::Tsv:
            return tsvText(rows);
        case ReportFormat::Json:
            rows.prepend({output.lineKey});
            return jsonText(rows, 1);
        }
    }
    if (format == ReportFormat::Csv) {
        // One table after another, each as Save writes it.
        QByteArray bytes;
        for (const ReportTable& table : output.tables)
            bytes += exporting::delimitedBytes(table.rows, delimiter);
        return bytes;
    }
    QList<QStringList> rows;
    int headerRows = output.headerRows;
    if (output.tablePerServer) {
        rows = mergedPerServer(output.tables);
        headerRows = 1;
    } else if (!output.tables.empty()) {
        rows = output.tables.back().rows;
    }
    return format == ReportFormat::Tsv ? tsvText(rows) : jsonText(rows, headerRows);
}

}  // namespace report

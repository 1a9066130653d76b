// Text the program reads back or sorts: delimited text as Save writes it
// (split by the report, joined by the export), the Windows-1252 code page both
// ways, and the typed sort keys of every table. The first byte picks the part.

#include "FuzzSupport.h"

#include "export/TableExport.h"
#include "models/SortKeys.h"
#include "report/ReportFormats.h"
#include "text/CodePage.h"
#include "support/DelimitedText.h"

#include <QLocale>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

using fuzzing::Input;

[[noreturn]] void fail(const char* what, const QString& text = {})
{
    std::fprintf(stderr, "%s: \"%s\"\n", what, qUtf8Printable(text));
    std::abort();
}

QString anyText(Input& input, size_t most)
{
    if (input.take<quint8>() < 192)
        return input.text(most);
    const QByteArray bytes = input.bytes(2 * most);
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
}

void delimitedText(Input& input)
{
    QChar delimiter = QChar(input.take<quint8>());
    if (delimiter == QLatin1Char('"') || delimiter == QLatin1Char('\r') || delimiter == QLatin1Char('\n'))
        delimiter = QLatin1Char(',');

    // Rows the export joins come back from the report's splitting as they were.
    QList<QStringList> rows;
    QString text;
    const int count = input.take<quint8>() % 8;
    for (int r = 0; r < count; ++r) {
        QStringList cells;
        const int width = 1 + input.take<quint8>() % 6;
        for (int c = 0; c < width; ++c)
            cells.append(anyText(input, 24));
        rows.append(cells);
        text += exporting::buildLine(cells, QString(delimiter)) + QStringLiteral("\r\n");
    }
    const QList<QStringList> split = testing::splitDelimitedText(text, delimiter);
    if (split != rows)
        fail("joined cells split differently", text);

    // Any text splits, and its rows make TSV and JSON.
    const QList<QStringList> any = testing::splitDelimitedText(anyText(input, 2048), delimiter);
    report::tsvText(any);
    if (any.size() <= 64) {
        report::columnKeys(any, 1);
        report::jsonText(any, 1);
    }
    for (const QStringList& row : any)
        for (const QString& cell : row) {
            exporting::convertCell(cell, QLocale::c());
            report::isPlainNumber(cell);
        }
}

void codePage(Input& input)
{
    const QByteArray bytes = input.bytes(1024);
    const QString text = texts::fromWindows1252(bytes);
    if (text.size() != bytes.size())
        fail("a byte did not become one character", text);
    // Every byte reads as a character that is written as that byte again.
    const auto back = texts::toWindows1252(text);
    if (!back || *back != bytes)
        fail("Windows-1252 did not come back as the same bytes", text);

    const QString any = anyText(input, 512);
    const QByteArray lossy = texts::toWindows1252Lossy(any);
    if (lossy.size() > any.size())
        fail("more bytes than characters", any);
    if (const auto exact = texts::toWindows1252(any); exact && *exact != lossy)
        fail("the lossy bytes differ where nothing was lost", any);
}

void sortKeys(Input& input)
{
    // Reading a date tries every format the locales know: a column of a few
    // cells keeps a run short.
    static const QLocale german(QLocale::German, QLocale::Germany);
    const QLocale& locale = input.take<quint8>() & 1 ? german : QLocale::c();
    QStringList texts;
    const int count = input.take<quint8>() % 8;
    for (int i = 0; i < count; ++i)
        texts.append(anyText(input, 20));
    for (const QString& text : texts.mid(0, 1)) {
        models::valueKind(text, locale);
        models::durationMinutes(text);
        models::parseDateTime(text, locale);
    }
    std::vector<int> order = models::typedSortOrder(texts, input.take<quint8>() & 1, locale);
    std::sort(order.begin(), order.end());
    for (int i = 0; i < static_cast<int>(order.size()); ++i)
        if (order[static_cast<size_t>(i)] != i || order.size() != static_cast<size_t>(texts.size()))
            fail("the sort order is no arrangement of the rows", texts.join(QLatin1Char('|')));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    Input input(data + 1, size - 1);
    // Sorting reads every cell as a date in many formats: it gets one input in
    // five, so that a run of many inputs stays short.
    switch (data[0] % 5) {
    case 0:
    case 1:
        delimitedText(input);
        break;
    case 2:
    case 3:
        codePage(input);
        break;
    default:
        sortKeys(input);
        break;
    }
    return 0;
}

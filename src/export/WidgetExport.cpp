#include "export/WidgetExport.h"

#include "platform/Services.h"
#include "widgets/FlexGrid.h"
#include "widgets/ReportListView.h"

#include <QMdiSubWindow>

namespace exporting {

bool writeGrid(const widgets::FlexGrid& grid, QIODevice& device, const QString& delimiter, const QLocale& locale)
{
    return writeGrid(grid.data(), device, delimiter, locale);
}

bool writeListView(const widgets::ReportListView& list, QIODevice& device, const QString& delimiter,
                   const QLocale& locale)
{
    return writeListView(list.model(), device, delimiter, locale);
}

QString gridClipboardText(const widgets::FlexGrid& grid, int firstRow, int lastRow, const QString& delimiter,
                          const QLocale& locale, CopiedHeading heading)
{
    return gridClipboardText(grid.data(), heading, firstRow, lastRow, delimiter, locale);
}

void copyGridToClipboard(const widgets::FlexGrid& grid, int firstRow, int lastRow, const QString& delimiter,
                         platform::ClipboardService& clipboard, const QLocale& locale, CopiedHeading heading)
{
    clipboard.setText(gridClipboardText(grid, firstRow, lastRow, delimiter, locale, heading));
}

void copyListViewToClipboard(const widgets::ReportListView& list, bool allRows, const QString& delimiter,
                             platform::ClipboardService& clipboard, const QLocale& locale)
{
    QList<int> rows;
    if (allRows) {
        for (int r = 0; r < list.rowCount(); ++r)
            rows.append(r);
    } else {
        rows = list.selectedRows();
    }
    const QString text = listViewClipboardText(list.model(), rows, delimiter, locale);
    if (!text.isEmpty())
        clipboard.setText(text);
}

QList<QWidget*> tablesOf(const QWidget* window)
{
    QList<QWidget*> tables;
    if (!window)
        return tables;
    // findChildren lists the controls in the order the window created them.
    const QList<QWidget*> children = window->findChildren<QWidget*>();
    for (QWidget* child : children) {
        if (qobject_cast<widgets::FlexGrid*>(child) || qobject_cast<widgets::ReportListView*>(child))
            tables.append(child);
    }
    return tables;
}

namespace {

// The view's own declaration: the window itself, or the view in its MDI frame.
const TableSource* tableSource(const QWidget* window)
{
    if (const auto* source = dynamic_cast<const TableSource*>(window))
        return source;
    if (const auto* frame = qobject_cast<const QMdiSubWindow*>(window))
        return dynamic_cast<const TableSource*>(frame->widget());
    return nullptr;
}

}  // namespace

QList<QWidget*> exportableTables(const QWidget* window)
{
    if (const TableSource* source = tableSource(window))
        return source->savedTables();
    return tablesOf(window);
}

CopiedHeading copiedHeading(const QWidget* window)
{
    const TableSource* source = tableSource(window);
    return source ? source->copiedHeading() : CopiedHeading::EveryColumn;
}

widgets::FlexGrid* copyableGrid(const QWidget* window)
{
    for (QWidget* table : exportableTables(window)) {
        if (auto* grid = qobject_cast<widgets::FlexGrid*>(table))
            return grid;
    }
    return nullptr;
}

widgets::ReportListView* copyableListView(const QWidget* window)
{
    for (QWidget* table : exportableTables(window)) {
        if (auto* list = qobject_cast<widgets::ReportListView*>(table))
            return list;
    }
    return nullptr;
}

std::optional<TableRows> tableRows(const QWidget* table, const QLocale& locale)
{
    if (const auto* grid = qobject_cast<const widgets::FlexGrid*>(table))
        return gridRows(grid->data(), locale);
    if (const auto* list = qobject_cast<const widgets::ReportListView*>(table))
        return listViewRows(list->model(), locale);
    return std::nullopt;
}

bool writeTable(const QWidget* table, QIODevice& device, const QString& delimiter, const QLocale& locale)
{
    if (const auto* grid = qobject_cast<const widgets::FlexGrid*>(table))
        return writeGrid(*grid, device, delimiter, locale);
    if (const auto* list = qobject_cast<const widgets::ReportListView*>(table))
        return writeListView(*list, device, delimiter, locale);
    return false;
}

}  // namespace exporting

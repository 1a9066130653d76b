#include "export/SaveCopy.h"

#include "core/AppContext.h"
#include "platform/Services.h"
#include "export/CopyDialog.h"
#include "export/WidgetExport.h"

#include <QMdiSubWindow>
#include <QPointer>
#include <QSaveFile>
#include <QWidget>

namespace exporting {

QString saveDelimiter(const core::AppContext& context)
{
    const QString& delimiter = context.values.saveFileDelimiter;
    return delimiter.isEmpty() ? QStringLiteral(",") : delimiter;
}

QString childCaption(const QWidget* activeChild)
{
    if (!activeChild)
        return {};
    if (const auto* frame = qobject_cast<const QMdiSubWindow*>(activeChild->parentWidget()))
        return frame->windowTitle();
    return activeChild->windowTitle();
}

bool saveTables(const QWidget* window, const QString& path, const QString& delimiter, const QLocale& locale)
{
    bool written = false;
    for (const QWidget* table : exportableTables(window)) {
        // Each table replaces the file as a whole; a write that fails halfway
        // leaves the previous content instead of a truncated file.
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            continue;
        if (!writeTable(table, file, delimiter, locale)) {
            file.cancelWriting();
            continue;
        }
        written = file.commit() || written;
    }
    return written;
}

TableRows savedRows(const QWidget* window, const QLocale& locale)
{
    TableRows rows;
    for (const QWidget* table : exportableTables(window)) {
        if (std::optional<TableRows> written = tableRows(table, locale))
            rows = std::move(*written);
    }
    return rows;
}

QByteArray savedBytes(const QWidget* window, const QString& delimiter, const QLocale& locale)
{
    return delimitedBytes(savedRows(window, locale), delimiter);
}

void saveWindow(core::AppContext& context, QWidget* activeChild)
{
    // Without a child window there is nothing a file could receive.
    if (!activeChild)
        return;
    platform::SaveDialogRequest request;
    request.proposedName = proposedSaveName(childCaption(activeChild));
    request.filter = saveFilter();
    request.overwritePrompt = true;
    QPointer<QWidget> window(activeChild);
    const QString path = context.fileDialogs().getSaveFileName(request);
    if (path.isEmpty() || !window)
        return;
    saveTables(window, path, saveDelimiter(context));
}

void copyWindow(core::AppContext& context, QWidget* activeChild, QWidget* dialogParent)
{
    if (!activeChild)
        return;
    CopyDialog dialog(context, activeChild, dialogParent);
    dialog.exec();
}

}  // namespace exporting

#include "app/WidgetTableExport.h"

#include "app/MainWindow.h"
#include "export/SaveCopy.h"

namespace app {

void WidgetTableExport::save(MainWindow& form, QWidget* activeChild)
{
    exporting::saveWindow(form.context(), activeChild);
}

void WidgetTableExport::copy(MainWindow& form, QWidget* activeChild)
{
    exporting::copyWindow(form.context(), activeChild, &form);
}

QList<QStringList> WidgetTableExport::savedRows(MainWindow&, QWidget* activeChild) const
{
    return exporting::savedRows(activeChild);
}

}  // namespace app

#include "app/WidgetTableExport.h"

#include "app/MainForm.h"
#include "export/SaveCopy.h"

namespace app {

void WidgetTableExport::save(MainForm& form, QWidget* activeChild)
{
    exporting::saveWindow(form.context(), activeChild);
}

void WidgetTableExport::copy(MainForm& form, QWidget* activeChild)
{
    exporting::copyWindow(form.context(), activeChild, &form);
}

QList<QStringList> WidgetTableExport::savedRows(MainForm&, QWidget* activeChild) const
{
    return exporting::savedRows(activeChild);
}

}  // namespace app

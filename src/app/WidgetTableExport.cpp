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

QString WidgetTableExport::savedText(MainForm& form, QWidget* activeChild) const
{
    return QString::fromLatin1(
        exporting::savedBytes(activeChild, exporting::saveDelimiter(form.context())));
}

}  // namespace app

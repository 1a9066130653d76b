#include "app/Commands.h"

#include "app/MainForm.h"

namespace app {

void installStandardCommands(MainForm& form)
{
    // Each folder that provides a view or a Tools window installs it here.
    Q_UNUSED(form);
}

}  // namespace app

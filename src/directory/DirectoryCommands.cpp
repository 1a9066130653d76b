#include "directory/DirectoryCommands.h"

#include "directory/ContainerNames.h"
#include "directory/ShowHideServersDialog.h"
#include "directory/StartingContainerDialog.h"

namespace directory {

void openStartingContainerDialog(core::AppContext& context, ServerListHost& servers, QWidget* parent)
{
    // The server search clears the starting container before it asks for one;
    // from the menu the dialog always finds the one in use.
    const bool openedBySearch = context.values.startingServerContext.isEmpty();
    if (openedBySearch && !context.saveWindowState) {
        context.values.startingServerContext = kRootName;
        return;
    }
    StartingContainerDialog dialog(context, servers, openedBySearch, parent);
    dialog.exec();
}

bool openShowHideServersDialog(core::AppContext& context, ServerListHost& servers, QWidget* parent)
{
    ShowHideServersDialog dialog(context, servers, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace directory

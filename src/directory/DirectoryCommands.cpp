#include "directory/DirectoryCommands.h"

#include "directory/ContainerNames.h"
#include "directory/ShowHideServersDialog.h"
#include "directory/StartingContainerDialog.h"

namespace directory {

void openStartingContainerDialog(app::AppContext& context, ServerListHost& servers, QWidget* parent)
{
    // The server search clears the starting container before it asks for one;
    // from the menu the dialog always finds the one in use.
    const bool openedBySearch = context.values.gStartingServerContext.isEmpty();
    if (openedBySearch && !context.saveWindowState) {
        context.values.gStartingServerContext = kRootName;
        return;
    }
    StartingContainerDialog dialog(context, servers, openedBySearch, parent);
    dialog.exec();
}

void openShowHideServersDialog(app::AppContext& context, ServerListHost& servers, QWidget* parent)
{
    ShowHideServersDialog dialog(context, servers, parent);
    dialog.exec();
}

}  // namespace directory

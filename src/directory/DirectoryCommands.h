#pragma once
// How the main window opens the two dialogs that decide its server list.

#include "core/AppContext.h"
#include "directory/DialogSupport.h"

class QWidget;

namespace directory {

// "Select Starting Server Location" and btnServerList, and the server search
// when no starting container is stored yet. A run that shows no windows
// (veskaro-report, offscreen renderings) is not asked: it searches the whole
// tree and stores nothing.
void openStartingContainerDialog(core::AppContext& context, ServerListHost& servers, QWidget* parent);

// "Show/Hide Servers"; true when the dialog saved its lists.
bool openShowHideServersDialog(core::AppContext& context, ServerListHost& servers, QWidget* parent);

}  // namespace directory

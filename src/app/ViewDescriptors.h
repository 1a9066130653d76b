#pragma once
// The one table of the views the main window opens. Each entry says how a
// view is reached (its command, tool-bar button and "Server &Action" item),
// how it opens, what veskaro-report calls it and which window it is. The tool
// bar, the action menu, the installed commands and the report all read it:
// a new view is one more entry here.

#include "app/Commands.h"

#include <span>

namespace app {

class MainWindow;

struct ViewDescriptor {
    Command command;
    const char* buttonName;     // objectName of the tool-bar button
    const char* caption;        // the button's tool tip and the command's title
    const char* icon;           // file in the icon resources
    const char* actionText;     // item of "Server &Action"
    void (*open)(MainWindow&);  // opens the view for the servers selected in lstServers
    // What veskaro-report calls the view (a view or a history command);
    // nullptr for a command that prints nothing.
    const char* reportName;
    // objectName of the window the view opens inside the main window;
    // nullptr for a command that starts another program.
    const char* windowName;
};

// Left to right, as the tool bar shows them.
std::span<const ViewDescriptor> viewDescriptors();
// The entry of a command; nullptr for the commands of the Tools menu.
const ViewDescriptor* viewDescriptor(Command command);

}  // namespace app

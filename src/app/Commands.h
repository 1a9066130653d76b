#pragma once
// What the main window can be asked to do beyond its own controls: open a view
// (tool-bar buttons and "Server &Action"), or show one of the modal windows of
// the Tools menu. Each is provided by the folder that owns the window and
// installed on the main window at start-up; a command nobody installed leaves
// its button and menu items disabled.

#include <QString>

#include <functional>

namespace app {

class MainWindow;

enum class Command {
    ShowServerInformation,
    MonitorUtilization,
    CompareNlms,
    CompareSetParameters,
    ShowVolumeUsage,
    ShowUserConnections,
    ShowPartitions,
    ShowAbendLog,
    ShowFileLocks,
    StartRemoteControl,
    ShowChanges,
    SelectStartingContainer,
    ShowHideServers,
    EditOptions,
};

struct CommandHandler {
    // Opens the window. View openers read the selection of lstServers
    // themselves and hold views::OpeningScope for as long as they open; the
    // main window has already checked that the list is not empty. Server
    // views keep the tool bar disabled while they fill, so that no second
    // server view starts while the first is still filling.
    std::function<void(MainWindow&)> run;
};

// Installs every command the program offers on a freshly built main window.
// Each owning folder adds its line here.
void installStandardCommands(MainWindow& form);

}  // namespace app

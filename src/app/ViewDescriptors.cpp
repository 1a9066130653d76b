#include "app/ViewDescriptors.h"

#include "app/MainWindow.h"
#include "connections/FileLocksWindow.h"
#include "connections/UserConnectionsWindow.h"
#include "directory/PartitionsWindow.h"
#include "options/RemoteControl.h"
#include "views/AbendLogWindow.h"
#include "views/ChangesWindow.h"
#include "views/NlmWindow.h"
#include "views/ServerInformationWindow.h"
#include "views/UtilizationWindow.h"
#include "views/SetCommandsWindow.h"
#include "views/VolumeUsageWindow.h"

#include <array>

namespace app {

namespace {

const std::array kViews = {
    ViewDescriptor{Command::ShowServerInformation, "btnServerInfo", "Server Information", "server-info.svg",
                   "Server &Information", [](MainWindow& f) { views::openServerInformation(f); }, "info",
                   "frmServerInformation"},
    ViewDescriptor{Command::MonitorUtilization, "btnUtilization", "Server Utilization", "utilization.svg",
                   "Server &Utilization", [](MainWindow& f) { views::openServerUtilization(f); }, "utilization",
                   "frmServerMon"},
    ViewDescriptor{Command::CompareNlms, "btnNLMs", "Loaded NLMs", "nlms.svg", "&Loaded NLMs",
                   [](MainWindow& f) { views::openNLMs(f); }, "nlms", "frmNLMs"},
    ViewDescriptor{Command::CompareSetParameters, "btnSetParameters", "List Set Parameters", "set-parameters.svg",
                   "List &Set Parameters", [](MainWindow& f) { views::openSetCommands(f); }, "sets", "frmSetCommands"},
    ViewDescriptor{Command::ShowVolumeUsage, "btnVolume", "Volume Information", "volume.svg", "&Volume Information",
                   [](MainWindow& f) { views::openVolumeUsage(f); }, "volumes", "frmVolumeUsage"},
    ViewDescriptor{Command::ShowUserConnections, "btnGetConnInfo", "User Connections", "connections.svg",
                   "User &Connections", [](MainWindow& f) { connections::openUserConnections(f); }, "connections",
                   "frmUserConnections"},
    ViewDescriptor{Command::ShowPartitions, "btnPartitions", "List Partitions", "partitions.svg", "List &Partitions",
                   [](MainWindow& f) { directory::openPartitions(f); }, "partitions", "frmPartitions"},
    ViewDescriptor{Command::ShowAbendLog, "btnAbendLog", "View Abend Log", "abend-log.svg", "View &Abend Log",
                   [](MainWindow& f) { views::openAbendLogs(f); }, "abends", "frmAbendLogs"},
    ViewDescriptor{Command::ShowFileLocks, "btnFileLocks", "File Opens/Locks", "file-locks.svg", "&File Opens/Locks",
                   [](MainWindow& f) { connections::openFileLocks(f); }, "filelocks", "frmFileLocks"},
    ViewDescriptor{
        Command::StartRemoteControl, "btnRemoteControl", "Remote Control", "remote-control.svg", "&Remote Control",
        [](MainWindow& f) { options::startRemoteConsoles(f.context(), f.selectedServers()); }, nullptr, nullptr},
    ViewDescriptor{Command::ShowChanges, "btnChanges", "Changes", "changes.svg", "C&hanges",
                   [](MainWindow& f) { views::openChanges(f); }, "changes", "frmChanges"},
};

}  // namespace

std::span<const ViewDescriptor> viewDescriptors()
{
    return kViews;
}

const ViewDescriptor* viewDescriptor(Command command)
{
    for (const ViewDescriptor& view : kViews) {
        if (view.command == command)
            return &view;
    }
    return nullptr;
}

}  // namespace app

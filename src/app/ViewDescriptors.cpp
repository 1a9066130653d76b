#include "app/ViewDescriptors.h"

#include "app/MainForm.h"
#include "connections/FileLocksForm.h"
#include "connections/UserConnectionsForm.h"
#include "directory/PartitionsForm.h"
#include "options/RemoteControl.h"
#include "views/AbendLogForm.h"
#include "views/ChangesForm.h"
#include "views/NLMForm.h"
#include "views/ServerInformationForm.h"
#include "views/ServerMonForm.h"
#include "views/SetCommandsForm.h"
#include "views/VolumeUsageForm.h"

#include <array>

namespace app {

namespace {

const std::array kViews = {
    ViewDescriptor{Command::ServerInfo, "btnServerInfo", "Server Information", "server-info.svg", "Server &Information",
                   [](MainForm& f) { views::openServerInformation(f); }, "info", "frmServerInformation"},
    ViewDescriptor{Command::Utilization, "btnUtilization", "Server Utilization", "utilization.svg",
                   "Server &Utilization", [](MainForm& f) { views::openServerUtilization(f); }, "utilization",
                   "frmServerMon"},
    ViewDescriptor{Command::NLMs, "btnNLMs", "Loaded NLMs", "nlms.svg", "&Loaded NLMs",
                   [](MainForm& f) { views::openNLMs(f); }, "nlms", "frmNLMs"},
    ViewDescriptor{Command::SetParameters, "btnSetParameters", "List Set Parameters", "set-parameters.svg",
                   "List &Set Parameters", [](MainForm& f) { views::openSetCommands(f); }, "sets", "frmSetCommands"},
    ViewDescriptor{Command::Volume, "btnVolume", "Volume Information", "volume.svg", "&Volume Information",
                   [](MainForm& f) { views::openVolumeUsage(f); }, "volumes", "frmVolumeUsage"},
    ViewDescriptor{Command::GetConnInfo, "btnGetConnInfo", "User Connections", "connections.svg", "User &Connections",
                   [](MainForm& f) { connections::openUserConnections(f); }, "connections", "frmUserConnections"},
    ViewDescriptor{Command::Partitions, "btnPartitions", "List Partitions", "partitions.svg", "List &Partitions",
                   [](MainForm& f) { directory::openPartitions(f); }, "partitions", "frmPartitions"},
    ViewDescriptor{Command::AbendLog, "btnAbendLog", "View Abend Log", "abend-log.svg", "View &Abend Log",
                   [](MainForm& f) { views::openAbendLogs(f); }, "abends", "frmAbendLogs"},
    ViewDescriptor{Command::FileLocks, "btnFileLocks", "File Opens/Locks", "file-locks.svg", "&File Opens/Locks",
                   [](MainForm& f) { connections::openFileLocks(f); }, "filelocks", "frmFileLocks"},
    ViewDescriptor{
        Command::RemoteControl, "btnRemoteControl", "Remote Control", "remote-control.svg", "&Remote Control",
        [](MainForm& f) { options::startRemoteConsoles(f.context(), f.selectedServers()); }, nullptr, nullptr},
    ViewDescriptor{Command::Changes, "btnChanges", "Changes", "changes.svg", "C&hanges",
                   [](MainForm& f) { views::openChanges(f); }, "changes", "frmChanges"},
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

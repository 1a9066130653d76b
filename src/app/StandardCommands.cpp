#include "app/Commands.h"

#include "app/MainForm.h"

#include <QAction>
#include "views/NLMForm.h"
#include "views/ServerInformationForm.h"
#include "views/SetCommandsForm.h"
#include "views/ServerMonForm.h"
#include "views/VolumeUsageForm.h"
#include "views/AbendLogForm.h"
#include "directory/PartitionsForm.h"
#include "options/OptionsForm.h"
#include "options/RemoteControl.h"

namespace app {

void installStandardCommands(MainForm& form)
{
    // Server views keep the tool bar disabled while they fill.
    form.setCommand(Command::ServerInfo, {[](MainForm& f) { views::btnServerInfo_Click(f); }, true});
    form.setCommand(Command::Utilization, {[](MainForm& f) { views::btnUtilization_Click(f); }, true});
    form.setCommand(Command::NLMs, {[](MainForm& f) { views::btnNLMs_Click(f); }, true});
    form.setCommand(Command::SetParameters, {[](MainForm& f) { views::btnSetParameters_Click(f); }, true});

    form.setCommand(Command::Volume, {[](MainForm& f) { views::openVolumeUsage(f); }, true});
    form.setCommand(Command::AbendLog, {[](MainForm& f) { views::openAbendLogs(f); }, false});
    form.setCommand(Command::Partitions, {[](MainForm& f) { directory::openPartitions(f); }, false});
    form.setCommand(Command::RemoteControl,
                    {[](MainForm& f) { options::startRemoteConsoles(f.context(), f.selectedServers()); }, false});
    form.setCommand(Command::Options, {[](MainForm& f) { options::showOptions(f.context(), &f); }, false});
    // Items of the hidden pop-up menus that act on an open view.
    QObject::connect(form.menuAction(QStringLiteral("PopMenu_Remove_Server")), &QAction::triggered, &form,
                     [&form] { views::PopMenu_Remove_Server_Click(form); });
    QObject::connect(form.menuAction(QStringLiteral("Menu_Remove_Column")), &QAction::triggered, &form,
                     [&form] { views::Menu_Remove_Column_Click(form); });
    QObject::connect(form.menuAction(QStringLiteral("PopMenu_Remove_Partition_Column")), &QAction::triggered, &form,
                     [&form] { directory::removePartitionColumn(form); });
}

}  // namespace app

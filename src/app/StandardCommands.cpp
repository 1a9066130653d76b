#include "app/Commands.h"

#include "app/MainForm.h"
#include "views/ServerInformationForm.h"
#include "views/ServerMonForm.h"

namespace app {

void installStandardCommands(MainForm& form)
{
    // Server views keep the tool bar disabled while they fill.
    form.setCommand(Command::ServerInfo, {[](MainForm& f) { views::btnServerInfo_Click(f); }, true});
    form.setCommand(Command::Utilization, {[](MainForm& f) { views::btnUtilization_Click(f); }, true});
}

}  // namespace app

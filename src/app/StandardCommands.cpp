#include "app/Commands.h"

#include "app/MainForm.h"
#include "views/NLMForm.h"
#include "views/ServerInformationForm.h"
#include "views/ServerMonForm.h"
#include "views/SetCommandsForm.h"

#include <QAction>

namespace app {

void installStandardCommands(MainForm& form)
{
    form.setCommand(Command::ServerInfo, {[](MainForm& f) { views::openServerInformation(f); }});
    form.setCommand(Command::Utilization, {[](MainForm& f) { views::openServerUtilization(f); }});
    form.setCommand(Command::NLMs, {[](MainForm& f) { views::openNLMs(f); }});
    form.setCommand(Command::SetParameters, {[](MainForm& f) { views::openSetCommands(f); }});

    // Items of the hidden pop-up menus that act on an open view.
    QObject::connect(form.removeServerAction(), &QAction::triggered, &form,
                     [&form] { views::removeSelectedNlmServer(form); });
    QObject::connect(form.removeColumnAction(), &QAction::triggered, &form,
                     [&form] { views::removeSetCommandsColumn(form); });
}

}  // namespace app

#include "app/Commands.h"

#include "app/MainForm.h"

#include <QAction>
#include "views/NLMForm.h"
#include "views/ServerInformationForm.h"
#include "views/SetCommandsForm.h"
#include "views/ServerMonForm.h"
#include "connections/ConnectionActions.h"
#include "connections/UserConnectionsForm.h"

namespace app {

void installStandardCommands(MainForm& form)
{
    // Server views keep the tool bar disabled while they fill.
    form.setCommand(Command::ServerInfo, {[](MainForm& f) { views::btnServerInfo_Click(f); }, true});
    form.setCommand(Command::Utilization, {[](MainForm& f) { views::btnUtilization_Click(f); }, true});
    form.setCommand(Command::NLMs, {[](MainForm& f) { views::btnNLMs_Click(f); }, true});
    form.setCommand(Command::SetParameters, {[](MainForm& f) { views::btnSetParameters_Click(f); }, true});
    form.setCommand(Command::GetConnInfo, {[](MainForm& f) { connections::openUserConnections(f); }, false});

    // Items of the hidden pop-up menus that act on an open view.
    QObject::connect(form.menuAction(QStringLiteral("PopMenu_Remove_Server")), &QAction::triggered, &form,
                     [&form] { views::PopMenu_Remove_Server_Click(form); });
    QObject::connect(form.menuAction(QStringLiteral("Menu_Remove_Column")), &QAction::triggered, &form,
                     [&form] { views::Menu_Remove_Column_Click(form); });
    QObject::connect(form.menuAction(connections::userMenu::kSendMessage), &QAction::triggered, &form,
                     [&form] { connections::sendMessageToChosen(form); });
    QObject::connect(form.menuAction(connections::userMenu::kClearConnection), &QAction::triggered, &form,
                     [&form] { connections::clearConnectionsOfActiveView(form); });
    QObject::connect(form.menuAction(connections::userMenu::kChooseColumns), &QAction::triggered, &form,
                     [&form] { connections::chooseColumns(form); });
}

}  // namespace app

#include "viewbase/ViewMenus.h"

#include "viewbase/ViewHost.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace views {

namespace {

QMenu* addHiddenMenu(QMenuBar& bar, const QString& title, const QString& objectName)
{
    QMenu* menu = bar.addMenu(title);
    menu->setObjectName(objectName);
    menu->menuAction()->setObjectName(objectName);
    menu->menuAction()->setVisible(false);
    return menu;
}

QAction* addItem(QMenu* menu, const QString& text, const QString& objectName)
{
    QAction* action = menu->addAction(text);
    action->setObjectName(objectName);
    return action;
}

QAction* addToggle(QMenu* menu, const QString& text, const QString& objectName)
{
    QAction* action = addItem(menu, text, objectName);
    action->setCheckable(true);
    action->setChecked(true);
    return action;
}

}  // namespace

ViewMenus addViewMenus(QMenuBar& bar)
{
    ViewMenus menus;
    menus.userConnections = addHiddenMenu(bar, QMenu::tr("&User Connections"), QStringLiteral("PopMenu_UserPopMenu"));
    menus.sendMessage =
        addItem(menus.userConnections, QMenu::tr("Send Message"), QStringLiteral("PopMenu_Send_Message"));
    menus.showOpenFiles =
        addItem(menus.userConnections, QMenu::tr("Show Open Files"), QStringLiteral("PopMenu_Show_Open_Files"));
    menus.clearConnection =
        addItem(menus.userConnections, QMenu::tr("Clear Connection"), QStringLiteral("PopMenu_ClearConnection"));
    menus.userConnections->addSeparator()->setObjectName(QStringLiteral("Menu_UserConns_Blank"));
    menus.chooseColumns =
        addItem(menus.userConnections, QMenu::tr("Choose Columns"), QStringLiteral("Menu_UserConns_Choose_Columns"));
    menus.chooseColumns->setVisible(false);

    menus.setCommands = addHiddenMenu(bar, QMenu::tr("S&et Commands"), QStringLiteral("PopMenu_Set_Commands"));
    menus.removeColumn = addItem(menus.setCommands, QMenu::tr("Remove Column"), QStringLiteral("Menu_Remove_Column"));
    menus.removeColumn->setEnabled(false);
    menus.markSetDifferences =
        addToggle(menus.setCommands, QMenu::tr("&Mark Differences"), QStringLiteral("Menu_Set_Mark_Differences"));
    menus.addPastSetColumn =
        addItem(menus.setCommands, QMenu::tr("Add Column from &History..."), QStringLiteral("Menu_Set_Past_Column"));

    menus.nlmCommands = addHiddenMenu(bar, QMenu::tr("&NLM Commands"), QStringLiteral("PopMenu_NLM_Comands"));
    menus.removeServer =
        addItem(menus.nlmCommands, QMenu::tr("Remove Server"), QStringLiteral("PopMenu_Remove_Server"));
    menus.removeServer->setEnabled(false);
    menus.markNlmDifferences =
        addToggle(menus.nlmCommands, QMenu::tr("&Mark Differences"), QStringLiteral("Menu_NLM_Mark_Differences"));
    menus.addPastNlmColumns =
        addItem(menus.nlmCommands, QMenu::tr("Add Server from &History..."), QStringLiteral("PopMenu_NLM_Past_Server"));

    menus.partitions = addHiddenMenu(bar, QMenu::tr("&Partitions"), QStringLiteral("PopMenu_Remove_Partition"));
    menus.removePartitionColumn =
        addItem(menus.partitions, QMenu::tr("Remove Column"), QStringLiteral("PopMenu_Remove_Partition_Column"));
    return menus;
}

void setMenuShown(QMenu* menu, bool shown)
{
    if (menu)
        menu->menuAction()->setVisible(shown);
}

}  // namespace views

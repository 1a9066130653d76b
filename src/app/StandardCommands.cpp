#include "app/Commands.h"

#include "app/MainWindow.h"

#include "directory/DirectoryCommands.h"

#include "app/ViewDescriptors.h"
#include "connections/ConnectionActions.h"
#include "connections/OpenFilesWindow.h"
#include "connections/UserConnectionsWindow.h"
#include "directory/PartitionsWindow.h"
#include "options/OptionsDialog.h"
#include "views/NlmWindow.h"
#include "views/SetCommandsWindow.h"

#include <QAction>
#include <QListWidget>

namespace app {

QListWidgetItem* newServerItem(const QString& text);

namespace {

// The main window's server lists as the directory dialogs see them.
class MainWindowServerLists : public directory::ServerListHost {
public:
    explicit MainWindowServerLists(MainWindow& form) : m_form(form) {}
    QStringList visibleServers() const override
    {
        QStringList names;
        for (int row = 0; row < m_form.lstServers()->count(); ++row)
            names.append(m_form.lstServers()->item(row)->text());
        return names;
    }
    QStringList allServers() const override { return m_form.lstAllServers(); }
    void setVisibleServers(const QStringList& servers) override
    {
        QListWidget* list = m_form.lstServers();
        list->clear();
        for (const QString& name : servers)
            list->addItem(newServerItem(name));
        if (list->count() > 0)
            list->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
    }
    void searchServers() override { m_form.fillServerList(QStringLiteral("NCP Server")); }

private:
    MainWindow& m_form;
};

}  // namespace

void installStandardCommands(MainWindow& form)
{
    for (const ViewDescriptor& view : viewDescriptors())
        form.setCommand(view.command, {view.open});

    // The dialogs that decide the server list.
    form.setCommand(Command::SelectStartingContainer, {[](MainWindow& f) {
                        MainWindowServerLists lists(f);
                        directory::openStartingContainerDialog(f.context(), lists, &f);
                    }});
    form.setCommand(Command::ShowHideServers, {[](MainWindow& f) {
                        MainWindowServerLists lists(f);
                        MainWindow::HiddenServersState before = f.hiddenServersState();
                        if (directory::openShowHideServersDialog(f.context(), lists, &f))
                            f.rememberHide(std::move(before));
                    }});

    form.setCommand(Command::EditOptions, {[](MainWindow& f) { options::showOptions(f.context(), &f); }});
    // Items of the hidden pop-up menus that act on an open view.
    QObject::connect(form.removeServerAction(), &QAction::triggered, &form,
                     [&form] { views::removeSelectedNlmServer(form); });
    QObject::connect(form.removeColumnAction(), &QAction::triggered, &form,
                     [&form] { views::removeSetCommandsColumn(form); });
    QObject::connect(form.viewMenus().addPastSetColumn, &QAction::triggered, &form,
                     [&form] { views::addPastSetColumn(form); });
    QObject::connect(form.viewMenus().addPastNlmColumns, &QAction::triggered, &form,
                     [&form] { views::addPastNlmColumns(form); });
    QObject::connect(form.removePartitionColumnAction(), &QAction::triggered, &form,
                     [&form] { directory::removePartitionColumn(form); });
    QObject::connect(form.sendMessageAction(), &QAction::triggered, &form,
                     [&form] { connections::sendMessageToChosen(form); });
    QObject::connect(form.showOpenFilesAction(), &QAction::triggered, &form,
                     [&form] { connections::showOpenFilesOfChosen(form); });
    QObject::connect(form.clearConnectionAction(), &QAction::triggered, &form,
                     [&form] { connections::clearConnectionsOfActiveView(form); });
    QObject::connect(form.chooseColumnsAction(), &QAction::triggered, &form,
                     [&form] { connections::chooseColumns(form); });
}

}  // namespace app

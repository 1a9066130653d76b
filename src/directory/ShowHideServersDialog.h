#pragma once
// frmShowHideServers: splits the servers found by the last search into those
// shown in the server list and those hidden in the current tree.

#include "core/AppContext.h"
#include "directory/DialogSupport.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

namespace directory {

class ShowHideServersDialog : public QDialog {
    Q_OBJECT

public:
    ShowHideServersDialog(core::AppContext& context, ServerListHost& servers, QWidget* parent = nullptr);

    QListWidget* visibleList() const { return m_visible; }
    QListWidget* hiddenList() const { return m_hidden; }
    QPushButton* saveButton() const { return m_saveButton; }

    // Selected (or all) visible servers become hidden.
    void hideSelected();
    void hideAll();
    // Selected (or all) hidden servers are shown again; one that the last
    // search did not find is dropped instead.
    void showSelected();
    void showAll();
    // "&Save": the server list and the tree's hidden servers; refused when no
    // server would stay visible.
    void save();

private:
    void moveToHidden(const QList<int>& rows);
    void moveToVisible(const QList<int>& rows);
    void updateSaveButton();

    core::AppContext& m_context;
    ServerListHost& m_servers;
    QListWidget* m_visible = nullptr;
    QListWidget* m_hidden = nullptr;
    QPushButton* m_saveButton = nullptr;
};

}  // namespace directory

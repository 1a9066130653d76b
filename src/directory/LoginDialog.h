#pragma once
// frmLogin: logs the workstation in to a directory tree with a user name,
// context and password, remembering per tree the user, context and server
// last used; frmAvailableTrees picks a tree among those advertised.

#include "core/AppContext.h"
#include "directory/DialogSupport.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QListWidget;

namespace directory {

class LoginDialog : public QDialog {
    Q_OBJECT

public:
    explicit LoginDialog(core::AppContext& context, QWidget* parent = nullptr);

    QComboBox* treeBox() const { return m_tree; }
    QComboBox* userBox() const { return m_user; }
    QLineEdit* passwordBox() const { return m_password; }
    QComboBox* contextBox() const { return m_contextBox; }
    QComboBox* serverBox() const { return m_server; }

    // How the container browser and the tree list are shown (tests answer them).
    void setModalRunner(ModalRunner runner) { m_runModal = std::move(runner); }

    // "&Login": checks the fields, logs in and closes on success.
    void login();
    // "&Cancel": no login; loginSucceeded false.
    void cancel();
    // The container browser for the context of the typed tree.
    void browseContext();
    // The advertised trees to pick from.
    void listTrees();

    // Clears the password whichever way the dialog closes.
    void done(int result) override;

private:
    void readRememberedFields();
    void readTreeFields();

    core::AppContext& m_context;
    QComboBox* m_tree = nullptr;
    QComboBox* m_user = nullptr;
    QLineEdit* m_password = nullptr;
    QComboBox* m_contextBox = nullptr;
    QComboBox* m_server = nullptr;
    ModalRunner m_runModal;
};

class AvailableTreesDialog : public QDialog {
    Q_OBJECT

public:
    AvailableTreesDialog(core::AppContext& context, QWidget* parent = nullptr);

    QListWidget* treeList() const { return m_trees; }
    // The tree chosen with "&Select" or a double click; empty otherwise.
    const QString& chosenTree() const { return m_chosen; }
    void selectTree();

private:
    QListWidget* m_trees = nullptr;
    QString m_chosen;
};

}  // namespace directory

#pragma once
// frmSelectServerStartingContainer: the tree and the directory container below
// which the server list is searched, and whether sub-containers are searched
// too. Its choice is stored and applied at once by a new server search.

#include "core/AppContext.h"
#include "directory/DialogSupport.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace directory {

class StartingContainerDialog : public QDialog {
    Q_OBJECT

public:
    // openedBySearch: the server search asked for a first starting container
    // and goes on by itself once the dialog closes.
    StartingContainerDialog(core::AppContext& context, ServerListHost& servers, bool openedBySearch,
                            QWidget* parent = nullptr);

    void setModalRunner(ModalRunner runner) { m_runModal = std::move(runner); }

    QComboBox* treeBox() const { return m_tree; }
    QRadioButton* rootOption() const { return m_treeRootOption; }
    QRadioButton* currentOption() const { return m_currentOption; }
    QRadioButton* customOption() const { return m_customOption; }
    QLabel* customLabel() const { return m_customLabel; }
    QCheckBox* subContainersBox() const { return m_subContainers; }
    QPushButton* selectButton() const { return m_saveButton; }

    // A tree chosen in the list becomes the program's tree at once.
    void chooseTree(const QString& tree);
    // "&Login to new Tree": the login dialog, then the connected trees again.
    void loginToNewTree();
    // The container browser for a container of one's own choosing.
    void browseContainer();
    // "&Select": stores the choice and searches again; stays open when the
    // chosen container holds no server.
    void save();
    // "&Cancel": the tree that was current on opening is restored.
    void cancel();

    void done(int result) override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void readConnectedTrees();
    void showTreeContainers();
    void setCustomPath(const QString& path);
    QString chosenPath() const;

    core::AppContext& m_context;
    ServerListHost& m_servers;
    bool m_openedBySearch;
    QString m_oldTree;          // lblOldTree
    QString m_previousPath;     // the choice found on opening, as a tree path
    QString m_previousContext;  // the same as the server search holds it
    bool m_previousSubContainers = true;
    QComboBox* m_tree = nullptr;
    QCheckBox* m_subContainers = nullptr;
    QRadioButton* m_treeRootOption = nullptr;
    QRadioButton* m_currentOption = nullptr;
    QRadioButton* m_customOption = nullptr;
    QLabel* m_treeRootLabel = nullptr;
    QLabel* m_currentLabel = nullptr;
    QLabel* m_customLabel = nullptr;
    QLabel* m_oldTreeLabel = nullptr;
    QPushButton* m_saveButton = nullptr;
    ModalRunner m_runModal;
};

}  // namespace directory

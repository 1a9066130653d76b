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
    QRadioButton* rootOption() const { return m_optRoot; }
    QRadioButton* currentOption() const { return m_optCurrent; }
    QRadioButton* customOption() const { return m_optCustom; }
    QLabel* customLabel() const { return m_lblCustom; }
    QCheckBox* subContainersBox() const { return m_chkSubContainers; }
    QPushButton* selectButton() const { return m_btnSave; }

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
    QCheckBox* m_chkSubContainers = nullptr;
    QRadioButton* m_optRoot = nullptr;
    QRadioButton* m_optCurrent = nullptr;
    QRadioButton* m_optCustom = nullptr;
    QLabel* m_lblTreeRoot = nullptr;
    QLabel* m_lblCurrent = nullptr;
    QLabel* m_lblCustom = nullptr;
    QLabel* m_lblOldTree = nullptr;
    QPushButton* m_btnSave = nullptr;
    ModalRunner m_runModal;
};

}  // namespace directory

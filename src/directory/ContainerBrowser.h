#pragma once
// The container browser: the containers of a directory tree in a tree view,
// read one level at a time as the user opens a node, and the container the
// user picks. As "Container" (frmLstConn) it chooses the starting container
// of the server list and hands back a tree path; as "Context" (frmLoginContext)
// it chooses the context of a login and hands back a dotted name.

#include "core/AppContext.h"
#include "directory/DirectoryReaders.h"

#include <QDialog>

#include <functional>

class QTreeWidget;
class QTreeWidgetItem;

namespace directory {

class ContainerBrowser : public QDialog {
    Q_OBJECT

public:
    enum class Purpose { StartingContainer, LoginContext };

    ContainerBrowser(core::AppContext& context, Purpose purpose, const QString& tree, QWidget* parent = nullptr);

    // The login browser attaches to this server before it lists the tree.
    void setServer(const QString& server) { m_server = server; }

    // Lists the tree's top level below the root node. False when that listing
    // failed (the login dialog then does not show the browser).
    bool load();

    // Reading one level; tests count the reads through it.
    using LevelReader = std::function<ContainerLevel(const QString& containerContext)>;
    void setLevelReader(LevelReader reader) { m_readLevel = std::move(reader); }

    QTreeWidget* tree() const { return m_tree; }
    QTreeWidgetItem* rootNode() const;
    // Reads the node's level the first time it is opened.
    void expandNode(QTreeWidgetItem* node);
    // Takes the node as the result and closes the browser.
    void selectNode(QTreeWidgetItem* node);
    // The chosen container: a tree path (StartingContainer) or a dotted name
    // (LoginContext); empty until a node was selected.
    const QString& result() const { return m_result; }

    // Texts of the nodes from the root down, joined by backslashes.
    static QString fullPath(const QTreeWidgetItem* node);

private:
    void addEntries(QTreeWidgetItem* parent, const ContainerLevel& level, const QString& containerContext);

    core::AppContext& m_context;
    Purpose m_purpose;
    QString m_treeName;
    QString m_server;
    QString m_result;
    QTreeWidget* m_tree = nullptr;
    LevelReader m_readLevel;
};

}  // namespace directory

#include "directory/ContainerBrowser.h"

#include "directory/DialogSupport.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace directory {

namespace {

const QString kPlaceholder = QStringLiteral("_dummy");
constexpr int kKeyRole = Qt::UserRole;
constexpr int kContextRole = Qt::UserRole + 1;

// Nodes sort by name without regard to case, as directory names compare.
class ContainerNode : public QTreeWidgetItem {
public:
    explicit ContainerNode(const QString& text) : QTreeWidgetItem(QStringList{text}) {}
    bool operator<(const QTreeWidgetItem& other) const override
    {
        return text(0).compare(other.text(0), Qt::CaseInsensitive) < 0;
    }
};

}  // namespace

ContainerBrowser::ContainerBrowser(core::AppContext& context, Purpose purpose, const QString& tree, QWidget* parent)
    : QDialog(parent)
    , m_context(context)
    , m_purpose(purpose)
    , m_treeName(tree)
{
    const bool login = purpose == Purpose::LoginContext;
    setObjectName(login ? QStringLiteral("frmLoginContext") : QStringLiteral("frmLstConn"));
    setWindowTitle(login ? tr("Context") : tr("Container"));
    if (parent)
        setWindowIcon(parent->window()->windowIcon());

    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("treeviewContext"));
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_tree->setExpandsOnDoubleClick(false);
    m_tree->setIconSize(QSize(16, 16));
    m_tree->setSortingEnabled(true);
    m_tree->sortByColumn(0, Qt::AscendingOrder);

    auto* select = new QPushButton(tr("&Select"), this);
    select->setObjectName(QStringLiteral("btnSelect"));
    select->setDefault(true);
    auto* cancel = new QPushButton(tr("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("btnClose"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(select);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tree);
    layout->addLayout(buttons);
    resize(340, 380);

    connect(m_tree, &QTreeWidget::itemExpanded, this, &ContainerBrowser::expandNode);
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* node) { selectNode(node); });
    connect(select, &QPushButton::clicked, this, [this] { selectNode(m_tree->currentItem()); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    m_readLevel = [this](const QString& containerContext) {
        return listContainerLevel(m_context, m_treeName, containerContext);
    };
}

QTreeWidgetItem* ContainerBrowser::rootNode() const
{
    return m_tree->topLevelItemCount() > 0 ? m_tree->topLevelItem(0) : nullptr;
}

bool ContainerBrowser::load()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (m_purpose == Purpose::LoginContext && !m_server.isEmpty())
        attachToServer(m_context.client(), m_server);

    m_tree->clear();
    auto* root = new ContainerNode(m_treeName);
    root->setData(0, kKeyRole, kRootName);
    root->setData(0, kContextRole, kRootName);
    m_tree->addTopLevelItem(root);
    const QPointer<ContainerBrowser> self(this);
    const ContainerLevel level = m_readLevel(kRootName);
    if (!self) {
        QApplication::restoreOverrideCursor();
        return false;
    }
    if (m_purpose == Purpose::LoginContext)
        m_context.values.contextBrowseFailed = level.failed;
    addEntries(root, level, kRootName);
    root->setExpanded(true);
    m_tree->setCurrentItem(root);
    QApplication::restoreOverrideCursor();
    return !level.failed;
}

void ContainerBrowser::addEntries(QTreeWidgetItem* parent, const ContainerLevel& level, const QString& containerContext)
{
    for (const ContainerEntry& entry : level.containers) {
        auto* node = new ContainerNode(entry.name);
        node->setIcon(0, directoryIcon(containerImage(entry.containerClass)));
        node->setData(0, kKeyRole, containerNodeKey(entry.name, containerContext, m_treeName));
        node->setData(0, kContextRole, childContext(entry.name, containerContext));
        // Shows the expand sign until the node's own level has been read.
        node->addChild(new QTreeWidgetItem(QStringList{kPlaceholder}));
        parent->addChild(node);
    }
}

void ContainerBrowser::expandNode(QTreeWidgetItem* node)
{
    if (!node || node->childCount() == 0 || node->child(0)->text(0) != kPlaceholder)
        return;
    delete node->takeChild(0);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString containerContext = node->data(0, kContextRole).toString();
    // A listing error is shown in a message box; the browser may be gone after it.
    const QPointer<ContainerBrowser> self(this);
    const ContainerLevel level = m_readLevel(containerContext);
    QApplication::restoreOverrideCursor();
    if (!self)
        return;
    addEntries(node, level, containerContext);
    node->setExpanded(true);
}

QString ContainerBrowser::fullPath(const QTreeWidgetItem* node)
{
    QStringList parts;
    for (const QTreeWidgetItem* at = node; at; at = at->parent())
        parts.prepend(at->text(0));
    return parts.join(QLatin1Char('\\'));
}

void ContainerBrowser::selectNode(QTreeWidgetItem* node)
{
    if (!node)
        return;
    const QString path = fullPath(node);
    m_result = m_purpose == Purpose::StartingContainer ? startingContainerPath(path, m_treeName)
                                                       : loginContextFromPath(path, m_treeName);
    accept();
}

}  // namespace directory

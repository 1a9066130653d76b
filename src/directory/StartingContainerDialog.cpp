#include "directory/StartingContainerDialog.h"

#include "platform/Services.h"

#include "directory/ContainerBrowser.h"
#include "directory/DirectoryReaders.h"
#include "directory/DirectorySettings.h"
#include "directory/LoginDialog.h"
#include "netware/NovellCalls.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace directory {

namespace {

QLabel* pathLabel(const QString& objectName, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setFrameShape(QFrame::StyledPanel);
    label->setFrameShadow(QFrame::Sunken);
    // Long paths are cut at the label's edge and shown whole in the tool tip.
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    label->setMinimumWidth(240);
    return label;
}

}  // namespace

StartingContainerDialog::StartingContainerDialog(core::AppContext& context, ServerListHost& servers,
                                                 bool openedBySearch, QWidget* parent)
    : QDialog(parent)
    , m_context(context)
    , m_servers(servers)
    , m_openedBySearch(openedBySearch)
{
    setObjectName(QStringLiteral("frmSelectServerStartingContext"));
    setWindowTitle(tr("Select Server Starting Container"));
    if (parent)
        setWindowIcon(parent->window()->windowIcon());

    m_tree = new QComboBox(this);
    m_tree->setObjectName(QStringLiteral("cmbTree"));
    m_tree->setMinimumWidth(180);
    auto* changeTree = new QPushButton(tr("&Login to new Tree"), this);
    changeTree->setObjectName(QStringLiteral("btnChangeTree"));
    changeTree->setMinimumWidth(changeTree->sizeHint().width() + 16);
    m_subContainers = new QCheckBox(tr("Include Sub-Containers"), this);
    m_subContainers->setObjectName(QStringLiteral("chkSearchSubContainers"));

    auto* frame = new QGroupBox(tr("Select Starting Container for Server list"), this);
    frame->setObjectName(QStringLiteral("fraStartingContainer"));
    m_treeRootOption = new QRadioButton(tr("Tree &Root:"), frame);
    m_treeRootOption->setObjectName(QStringLiteral("optRoot"));
    m_currentOption = new QRadioButton(tr("C&urrent Container"), frame);
    m_currentOption->setObjectName(QStringLiteral("optCurrentContext"));
    m_customOption = new QRadioButton(tr("S&pecify Container"), frame);
    m_customOption->setObjectName(QStringLiteral("optCustom"));
    m_treeRootLabel = pathLabel(QStringLiteral("lblTreeRoot"), frame);
    m_currentLabel = pathLabel(QStringLiteral("lblCurrentContext"), frame);
    m_customLabel = pathLabel(QStringLiteral("lblCustomContext"), frame);
    auto* selectContext = new QPushButton(QStringLiteral("..."), frame);
    selectContext->setObjectName(QStringLiteral("btnSelectContext"));
    selectContext->setToolTip(tr("Browse for the container"));
    selectContext->setFixedWidth(selectContext->sizeHint().height() + 8);

    auto* options = new QGridLayout(frame);
    options->addWidget(m_treeRootOption, 0, 0);
    options->addWidget(m_treeRootLabel, 0, 1, 1, 2);
    options->addWidget(m_currentOption, 1, 0);
    options->addWidget(m_currentLabel, 1, 1, 1, 2);
    options->addWidget(m_customOption, 2, 0);
    options->addWidget(m_customLabel, 2, 1);
    options->addWidget(selectContext, 2, 2);
    options->setColumnStretch(1, 1);

    m_saveButton = new QPushButton(tr("&Select"), this);
    m_saveButton->setObjectName(QStringLiteral("btnSave"));
    m_saveButton->setDefault(true);
    m_saveButton->setEnabled(false);
    auto* cancelButton = new QPushButton(tr("&Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("btnCancel"));
    m_oldTreeLabel = new QLabel(this);
    m_oldTreeLabel->setObjectName(QStringLiteral("lblOldTree"));
    m_oldTreeLabel->hide();

    auto* treeRow = new QHBoxLayout;
    treeRow->addWidget(new QLabel(tr("Tree:"), this));
    treeRow->addWidget(m_tree, 1);
    treeRow->addWidget(changeTree);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_subContainers);
    buttons->addStretch();
    buttons->addWidget(m_saveButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(treeRow);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    resize(520, sizeHint().height());

    connect(m_tree, &QComboBox::activated, this, [this](int index) { chooseTree(m_tree->itemText(index)); });
    connect(changeTree, &QPushButton::clicked, this, &StartingContainerDialog::loginToNewTree);
    connect(selectContext, &QPushButton::clicked, this, &StartingContainerDialog::browseContainer);
    connect(m_treeRootOption, &QRadioButton::clicked, m_saveButton, [this] { m_saveButton->setEnabled(true); });
    connect(m_currentOption, &QRadioButton::clicked, m_saveButton, [this] { m_saveButton->setEnabled(true); });
    connect(m_saveButton, &QPushButton::clicked, this, &StartingContainerDialog::save);
    connect(cancelButton, &QPushButton::clicked, this, &StartingContainerDialog::cancel);

    // Form_Load
    const core::ProgramValues& values = m_context.values;
    m_oldTree = values.treeName;
    m_oldTreeLabel->setText(m_oldTree);
    m_previousContext = values.startingServerContext;
    m_previousSubContainers = values.searchSubContainers;
    if (!m_previousContext.isEmpty())
        m_previousPath = nw::dotsToTreePath(m_previousContext, values.treeName);
    readConnectedTrees();
    showTreeContainers();
    m_subContainers->setChecked(values.searchSubContainers);
}

void StartingContainerDialog::readConnectedTrees()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_tree->clear();
    m_tree->addItems(connectedTrees(m_context));
    // The current tree is shown even when the scan did not report it.
    const QString& current = m_context.values.treeName;
    int index = m_tree->findText(current, Qt::MatchFixedString);
    if (index < 0 && !current.isEmpty()) {
        m_tree->addItem(current);
        index = m_tree->count() - 1;
    }
    m_tree->setCurrentIndex(index);
    QApplication::restoreOverrideCursor();
}

void StartingContainerDialog::showTreeContainers()
{
    const QString& tree = m_context.values.treeName;
    m_treeRootLabel->setText(tree + QLatin1Char('\\') + kRootName);
    m_currentLabel->setText(nw::dotsToTreePath(userContext(m_context), tree));
    updatePathToolTip(m_treeRootLabel);
    updatePathToolTip(m_currentLabel);

    if (m_previousPath.isEmpty() || tree != m_oldTree) {
        m_treeRootOption->setChecked(true);
    } else if (m_previousPath == m_treeRootLabel->text()) {
        m_treeRootOption->setChecked(true);
    } else if (m_previousPath == m_currentLabel->text()) {
        m_currentOption->setChecked(true);
    } else {
        m_customOption->setChecked(true);
        setCustomPath(m_previousPath);
    }
    m_saveButton->setEnabled(true);
}

void StartingContainerDialog::setCustomPath(const QString& path)
{
    m_customLabel->setText(path);
    updatePathToolTip(m_customLabel);
    if (!path.isEmpty())
        m_saveButton->setEnabled(true);
}

void StartingContainerDialog::chooseTree(const QString& tree)
{
    m_context.values.treeName = tree;
    showTreeContainers();
}

void StartingContainerDialog::loginToNewTree()
{
    const QPointer<StartingContainerDialog> self(this);
    LoginDialog login(m_context, this);
    login.setModalRunner(m_runModal);
    runModal(m_runModal, login);
    if (self && m_context.values.loginSucceeded) {
        readConnectedTrees();
        // The login switched the program to its tree: offer that tree's containers.
        showTreeContainers();
    }
}

void StartingContainerDialog::browseContainer()
{
    m_customOption->setChecked(true);
    const QPointer<StartingContainerDialog> self(this);
    ContainerBrowser browser(m_context, ContainerBrowser::Purpose::StartingContainer, m_context.values.treeName, this);
    browser.load();
    if (!self)
        return;
    if (runModal(m_runModal, browser) == QDialog::Accepted && self && !browser.result().isEmpty())
        setCustomPath(browser.result());
}

QString StartingContainerDialog::chosenPath() const
{
    if (m_treeRootOption->isChecked())
        return m_treeRootLabel->text();
    if (m_currentOption->isChecked())
        return m_currentLabel->text();
    return m_customLabel->text();
}

void StartingContainerDialog::save()
{
    if (m_customOption->isChecked() && m_customLabel->text().isEmpty()) {
        m_context.messages().inform(tr("You must specify a container to continue."), tr("Select Specific Container"));
        return;
    }
    core::ProgramValues& values = m_context.values;
    const QString path = chosenPath();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    values.searchSubContainers = m_subContainers->isChecked();
    saveStartingContainer(m_context.registry(), path, values.treeName, values.searchSubContainers);
    values.startingServerContext = startingContextFromPath(path, values.treeName);

    QPointer<StartingContainerDialog> self(this);
    m_servers.searchServers();
    QApplication::restoreOverrideCursor();
    if (!self)
        return;

    if (m_servers.visibleServers().isEmpty()) {
        m_context.messages().inform(tr("There are no servers in the selected container or sub-containers.  "
                                       "Please choose another starting container."),
                                    tr("No Servers in Container"));
        if (!self)
            return;
        // The previous choice is stored again, with the tree and scope it
        // belongs to, so that the stored values never mix two choices; the
        // dialog stays open.
        saveStartingContainer(m_context.registry(), m_previousPath, m_oldTree, m_previousSubContainers);
        values.startingServerContext = m_previousContext;
        values.searchSubContainers = m_previousSubContainers;
        return;
    }
    accept();
}

void StartingContainerDialog::cancel()
{
    reject();
}

void StartingContainerDialog::done(int result)
{
    core::ProgramValues& values = m_context.values;
    if (result != QDialog::Accepted) {
        values.treeName = m_oldTreeLabel->text();
        // A first run left without a choice: this run searches the whole tree;
        // nothing is stored, so the next start asks again.
        if (m_openedBySearch && values.startingServerContext.isEmpty())
            values.startingServerContext = kRootName;
    }
    QDialog::done(result);
    // A list left empty by a choice that found nothing is searched again
    // with the stored choice. The search that opened the dialog does that itself.
    if (!m_openedBySearch && m_servers.visibleServers().isEmpty())
        m_servers.searchServers();
}

void StartingContainerDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    updatePathToolTip(m_treeRootLabel);
    updatePathToolTip(m_currentLabel);
    updatePathToolTip(m_customLabel);
}

}  // namespace directory

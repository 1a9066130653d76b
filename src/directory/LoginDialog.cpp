#include "directory/LoginDialog.h"

#include "platform/Services.h"

#include "directory/ContainerBrowser.h"
#include "directory/DirectoryReaders.h"
#include "directory/DirectorySettings.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace directory {

namespace {

QComboBox* editableCombo(const QString& objectName, QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(objectName);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMinimumWidth(220);
    return box;
}

QToolButton* browseButton(const QString& objectName, const QString& toolTip, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(objectName);
    button->setText(QStringLiteral("..."));
    button->setToolTip(toolTip);
    return button;
}

// Where the cursor stands in the hourglass for the time of one login.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

LoginDialog::LoginDialog(core::AppContext& context, QWidget* parent) : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(tr("Login"));
    if (parent)
        setWindowIcon(parent->window()->windowIcon());

    m_tree = editableCombo(QStringLiteral("cmbTree"), this);
    m_user = editableCombo(QStringLiteral("cmbUser"), this);
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("txtPassword"));
    m_password->setEchoMode(QLineEdit::Password);
    m_contextBox = editableCombo(QStringLiteral("cmbContext"), this);
    m_server = editableCombo(QStringLiteral("cmbServer"), this);
    QToolButton* listTreesButton = browseButton(QStringLiteral("btnListTrees"), tr("Available Trees"), this);
    QToolButton* contextButton = browseButton(QStringLiteral("btnContext"), tr("Browse for the context"), this);

    auto* grid = new QGridLayout;
    const auto addRow = [&](int row, const QString& caption, QWidget* field, QWidget* button) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(field);
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1);
        if (button)
            grid->addWidget(button, row, 2);
    };
    addRow(0, tr("Tree:"), m_tree, listTreesButton);
    addRow(1, tr("&User Name:"), m_user, nullptr);
    addRow(2, tr("&Password:"), m_password, nullptr);
    addRow(3, tr("Context"), m_contextBox, contextButton);
    addRow(4, tr("Server: (optional)"), m_server, nullptr);
    grid->setColumnStretch(1, 1);

    auto* ok = new QPushButton(tr("&Login"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    auto* cancelButton = new QPushButton(tr("&Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("cmdCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, &LoginDialog::login);
    connect(cancelButton, &QPushButton::clicked, this, &LoginDialog::cancel);
    connect(contextButton, &QToolButton::clicked, this, &LoginDialog::browseContext);
    connect(listTreesButton, &QToolButton::clicked, this, &LoginDialog::listTrees);
    connect(m_tree, &QComboBox::editTextChanged, this, &LoginDialog::readTreeFields);
    connect(m_tree, &QComboBox::activated, this, &LoginDialog::readTreeFields);

    readRememberedFields();
}

void LoginDialog::readRememberedFields()
{
    const RememberedLogins remembered = readRememberedLogins(m_context.registry());
    const QString tree = m_tree->currentText();
    m_tree->addItems(remembered.trees);
    m_user->addItems(remembered.users);
    m_contextBox->addItems(remembered.contexts);
    m_server->addItems(remembered.servers);
    // Filling the lists leaves the typed texts empty, as they were.
    m_tree->setEditText(tree);
    m_user->setEditText(QString());
    m_contextBox->setEditText(QString());
    m_server->setEditText(QString());
}

void LoginDialog::readTreeFields()
{
    const TreeLogin fields = readTreeLogin(m_context.registry(), m_tree->currentText());
    if (fields.user)
        m_user->setEditText(*fields.user);
    if (fields.context)
        m_contextBox->setEditText(*fields.context);
    if (fields.server)
        m_server->setEditText(*fields.server);
}

void LoginDialog::login()
{
    const QString tree = m_tree->currentText();
    const QString user = m_user->currentText();
    if (user.isEmpty() || tree.isEmpty()) {
        m_context.messages().inform(tr("Tree and Username cannot be blank"), tr("Login"));
        return;
    }

    nw::NWRCODE rc = nw::status::Success;
    {
        WaitCursor wait;
        const QString context = withLeadingDot(m_contextBox->currentText());
        m_contextBox->setEditText(context);
        rc = loginToTree(m_context, {tree, loginName(user, context), m_password->text(), m_server->currentText()});
    }

    if (rc == nw::status::Success) {
        m_context.values.loginSucceeded = true;
        m_context.values.treeName = tree.toUpper();
        saveTreeLogin(m_context.registry(), tree, user, m_contextBox->currentText(), m_server->currentText());
        accept();
        return;
    }
    const QPointer<LoginDialog> self(this);
    if (rc == nw::status::TreeUnreachable)
        m_context.messages().inform(tr("Unable to attach to selected tree!"), tr("Login"));
    else
        m_context.messages().inform(tr("Invalid Login id or Password!"), tr("Login Failure"));
    if (!self)
        return;
    m_password->setFocus();
    m_password->selectAll();
}

void LoginDialog::cancel()
{
    reject();
}

void LoginDialog::done(int result)
{
    if (result != QDialog::Accepted)
        m_context.values.loginSucceeded = false;
    m_password->clear();
    QDialog::done(result);
}

void LoginDialog::browseContext()
{
    const QString tree = m_tree->currentText();
    if (tree.isEmpty()) {
        m_context.messages().inform(tr("You must select a tree first."), tr("Select Context"));
        return;
    }
    const QPointer<LoginDialog> self(this);
    ContainerBrowser browser(m_context, ContainerBrowser::Purpose::LoginContext, tree, this);
    browser.setServer(m_server->currentText());
    if (!browser.load() || !self)
        return;
    if (runModal(m_runModal, browser) == QDialog::Accepted && self && !browser.result().isEmpty())
        m_contextBox->setEditText(browser.result());
}

void LoginDialog::listTrees()
{
    const QPointer<LoginDialog> self(this);
    AvailableTreesDialog trees(m_context, this);
    if (runModal(m_runModal, trees) == QDialog::Accepted && self && !trees.chosenTree().isEmpty())
        m_tree->setEditText(trees.chosenTree());
}

AvailableTreesDialog::AvailableTreesDialog(core::AppContext& context, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAvailableTrees"));
    setWindowTitle(tr("Available Trees"));
    if (parent)
        setWindowIcon(parent->window()->windowIcon());

    m_trees = new QListWidget(this);
    m_trees->setObjectName(QStringLiteral("lstAvailableTrees"));
    auto* select = new QPushButton(tr("&Select"), this);
    select->setObjectName(QStringLiteral("btnSelect"));
    select->setDefault(true);
    auto* cancel = new QPushButton(tr("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(select);
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_trees, 1);
    layout->addLayout(buttons);
    resize(320, 220);

    connect(select, &QPushButton::clicked, this, &AvailableTreesDialog::selectTree);
    connect(m_trees, &QListWidget::itemDoubleClicked, this, &AvailableTreesDialog::selectTree);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    {
        WaitCursor wait;
        m_trees->addItems(advertisedTrees(context.client()));
    }
    if (m_trees->count() > 0)
        m_trees->setCurrentRow(0);
}

void AvailableTreesDialog::selectTree()
{
    if (QListWidgetItem* item = m_trees->currentItem())
        m_chosen = item->text();
    accept();
}

}  // namespace directory

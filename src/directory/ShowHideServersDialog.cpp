#include "directory/ShowHideServersDialog.h"

#include "platform/Services.h"

#include "directory/DirectorySettings.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace directory {

namespace {

QListWidget* serverList(const QString& objectName, QWidget* parent)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(objectName);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    return list;
}

QPushButton* moveButton(const QString& text, const QString& objectName, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(objectName);
    return button;
}

QList<int> selectedRows(const QListWidget* list)
{
    QList<int> rows;
    for (int row = 0; row < list->count(); ++row)
        if (list->item(row)->isSelected())
            rows.append(row);
    return rows;
}

QList<int> allRows(const QListWidget* list)
{
    QList<int> rows;
    for (int row = 0; row < list->count(); ++row)
        rows.append(row);
    return rows;
}

QStringList texts(const QListWidget* list)
{
    QStringList names;
    for (int row = 0; row < list->count(); ++row)
        names.append(list->item(row)->text());
    return names;
}

}  // namespace

ShowHideServersDialog::ShowHideServersDialog(core::AppContext& context, ServerListHost& servers, QWidget* parent)
    : QDialog(parent)
    , m_context(context)
    , m_servers(servers)
{
    setObjectName(QStringLiteral("frmShowHideServers"));
    setWindowTitle(tr("Show/Hide Servers"));
    if (parent)
        setWindowIcon(parent->window()->windowIcon());

    auto* tree = new QLabel(tr("Tree: ") + context.values.treeName, this);
    tree->setObjectName(QStringLiteral("lblTree"));
    m_visible = serverList(QStringLiteral("lstVisibleServers"), this);
    m_hidden = serverList(QStringLiteral("lstHiddenServers"), this);
    // The move buttons say which way they move the servers: hidden ones sit on the right.
    auto* add = moveButton(tr("&Hide >"), QStringLiteral("btnAdd"), this);
    auto* addAll = moveButton(tr("Hide &All >>"), QStringLiteral("btnAddAll"), this);
    auto* remove = moveButton(tr("< Sho&w"), QStringLiteral("btnRemove"), this);
    auto* removeAll = moveButton(tr("<< Show A&ll"), QStringLiteral("btnRemoveAll"), this);
    m_saveButton = moveButton(tr("&Save"), QStringLiteral("btnSave"), this);
    m_saveButton->setDefault(true);
    auto* cancel = moveButton(tr("&Cancel"), QStringLiteral("btnCancel"), this);

    auto* middle = new QVBoxLayout;
    middle->addStretch();
    for (QPushButton* button : {add, addAll, remove, removeAll})
        middle->addWidget(button);
    middle->addStretch();

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("Visible Servers"), this), 0, 0);
    grid->addWidget(new QLabel(tr("Hidden Servers"), this), 0, 2);
    grid->addWidget(m_visible, 1, 0);
    grid->addLayout(middle, 1, 1);
    grid->addWidget(m_hidden, 1, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_saveButton);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tree);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    resize(460, 340);

    connect(add, &QPushButton::clicked, this, &ShowHideServersDialog::hideSelected);
    connect(addAll, &QPushButton::clicked, this, &ShowHideServersDialog::hideAll);
    connect(remove, &QPushButton::clicked, this, &ShowHideServersDialog::showSelected);
    connect(removeAll, &QPushButton::clicked, this, &ShowHideServersDialog::showAll);
    connect(m_visible, &QListWidget::itemDoubleClicked, this, &ShowHideServersDialog::hideSelected);
    connect(m_hidden, &QListWidget::itemDoubleClicked, this, &ShowHideServersDialog::showSelected);
    connect(m_saveButton, &QPushButton::clicked, this, &ShowHideServersDialog::save);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    m_visible->addItems(m_servers.visibleServers());
    m_hidden->addItems(readHiddenServers(context.registry(), context.values.treeName));
}

void ShowHideServersDialog::moveToHidden(const QList<int>& rows)
{
    // Taken from the last row up, so that the rows still to move keep their
    // numbers; added in list order.
    QList<QListWidgetItem*> moved;
    for (auto row = rows.crbegin(); row != rows.crend(); ++row)
        moved.prepend(m_visible->takeItem(*row));
    for (QListWidgetItem* item : std::as_const(moved))
        m_hidden->addItem(item);
    updateSaveButton();
}

void ShowHideServersDialog::moveToVisible(const QList<int>& rows)
{
    const QStringList found = m_servers.allServers();
    QList<QListWidgetItem*> moved;
    for (auto row = rows.crbegin(); row != rows.crend(); ++row)
        moved.prepend(m_hidden->takeItem(*row));
    for (QListWidgetItem* item : std::as_const(moved)) {
        const bool shown = !m_visible->findItems(item->text(), Qt::MatchExactly | Qt::MatchCaseSensitive).isEmpty();
        if (found.contains(item->text(), Qt::CaseSensitive) && !shown)
            m_visible->addItem(item);
        else
            delete item;  // no longer in the directory, or listed already: nothing to show again
    }
    updateSaveButton();
}

void ShowHideServersDialog::hideSelected()
{
    moveToHidden(selectedRows(m_visible));
}

void ShowHideServersDialog::hideAll()
{
    moveToHidden(allRows(m_visible));
}

void ShowHideServersDialog::showSelected()
{
    moveToVisible(selectedRows(m_hidden));
}

void ShowHideServersDialog::showAll()
{
    moveToVisible(allRows(m_hidden));
}

void ShowHideServersDialog::updateSaveButton()
{
    m_saveButton->setEnabled(m_visible->count() > 0);
}

void ShowHideServersDialog::save()
{
    if (m_visible->count() == 0) {
        m_context.messages().inform(tr("Your visible server list can not be empty."), tr("Visible Server List error"));
        return;
    }
    m_servers.setVisibleServers(texts(m_visible));
    saveHiddenServers(m_context.registry(), m_context.values.treeName, texts(m_hidden));
    accept();
}

}  // namespace directory

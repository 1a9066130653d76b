#include "connections/ConnectionTypeDialog.h"

#include "platform/Services.h"

#include "core/AppContext.h"
#include "connections/ConnectionFormats.h"
#include "settings/Registry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace connections {

namespace {

ChooserPresenter& presenter()
{
    static ChooserPresenter shown;
    return shown;
}

void selectEntry(QComboBox* combo, const QString& text)
{
    const int index = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    combo->setCurrentIndex(index >= 0 ? index : 0);
}

}  // namespace

ConnectionTypeDialog::ConnectionTypeDialog(core::AppContext& context, bool atOpening, QWidget* parent)
    : QDialog(parent)
    , m_context(context)
    , m_type(new QComboBox(this))
    , m_status(new QComboBox(this))
    , m_columns(new QListWidget(this))
    , m_showAtStartup(new QCheckBox(tr("Show this window at startup"), this))
    , m_selectAll(new QPushButton(tr("Select All"), this))
    , m_deselectAll(new QPushButton(tr("Deselect All"), this))
    , m_save(new QPushButton(tr("&Save Settings"), this))
    , m_cancel(new QPushButton(tr("&Cancel"), this))
{
    setObjectName(QStringLiteral("frmConnectionType"));
    setWindowTitle(tr("Connection Filter"));
    setModal(true);
    m_context.values.filterAtStartup = atOpening;

    m_type->setObjectName(QStringLiteral("cmbConnType"));
    m_status->setObjectName(QStringLiteral("cmbStatus"));
    m_columns->setObjectName(QStringLiteral("lstAvailableColumns"));
    m_columns->setSelectionMode(QAbstractItemView::MultiSelection);
    m_showAtStartup->setObjectName(QStringLiteral("chkShowAtStartup"));
    m_selectAll->setObjectName(QStringLiteral("btnSelectAll"));
    m_deselectAll->setObjectName(QStringLiteral("btnDeselectAll"));
    m_save->setObjectName(QStringLiteral("btnSaveSettings"));
    m_cancel->setObjectName(QStringLiteral("btnCancel"));
    m_save->setDefault(true);

    auto* typeLabel = new QLabel(tr("Connection Type ="), this);
    auto* statusLabel = new QLabel(tr("Connection Status ="), this);
    auto* columnsLabel = new QLabel(tr("Columns"), this);
    auto* explanation =
        new QLabel(tr("User and Conn # are always included. Select additional columns to include"), this);
    explanation->setObjectName(QStringLiteral("Label5"));
    explanation->setWordWrap(true);
    typeLabel->setBuddy(m_type);
    statusLabel->setBuddy(m_status);
    columnsLabel->setBuddy(m_columns);

    auto* filters = new QGridLayout;
    filters->addWidget(typeLabel, 0, 0);
    filters->addWidget(m_type, 0, 1);
    filters->addWidget(statusLabel, 1, 0);
    filters->addWidget(m_status, 1, 1);

    auto* listButtons = new QVBoxLayout;
    listButtons->addWidget(m_selectAll);
    listButtons->addWidget(m_deselectAll);
    listButtons->addStretch();
    auto* list = new QHBoxLayout;
    list->addWidget(m_columns, 1);
    list->addLayout(listButtons);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_save);
    buttons->addWidget(m_cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(explanation);
    layout->addWidget(columnsLabel);
    layout->addLayout(list);
    layout->addWidget(m_showAtStartup);
    layout->addLayout(buttons);

    m_type->addItems(typeFilterEntries());
    m_status->addItems(statusFilterEntries());
    m_columns->addItems(optionalColumnHeadings());
    // Tall enough for the seven entries without a scroll bar.
    m_columns->setMinimumHeight(m_columns->sizeHintForRow(0) * (kOptionalColumnCount + 1)
                                + 2 * m_columns->frameWidth());

    connect(m_selectAll, &QPushButton::clicked, this, [this] { selectAll(true); });
    connect(m_deselectAll, &QPushButton::clicked, this, [this] { selectAll(false); });
    connect(m_save, &QPushButton::clicked, this, &ConnectionTypeDialog::saveSettings);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    loadSettings();
}

ConnectionTypeDialog::~ConnectionTypeDialog()
{
    // However the dialog closed, the opening is past the chooser.
    m_context.values.filterAtStartup = false;
}

void ConnectionTypeDialog::loadSettings()
{
    settings::RegistryStore& store = m_context.registry();
    if (!store.keyExists(settings::Hive::CurrentUser, userConnectionsKeyPath()))
        settings::createUserConnectionsKey(store);
    const ConnectionSettings stored = readConnectionSettings(store);
    selectEntry(m_type, stored.typeFilter);
    selectEntry(m_status, stored.statusFilter);
    const ColumnChoice columns = stored.columns();
    for (int i = 0; i < kOptionalColumnCount; ++i)
        m_columns->item(i)->setSelected(columns.shows(static_cast<Column>(i)));
    m_showAtStartup->setChecked(stored.chooserBoxTicked());
}

void ConnectionTypeDialog::selectAll(bool selected)
{
    for (int i = 0; i < m_columns->count(); ++i)
        m_columns->item(i)->setSelected(selected);
}

void ConnectionTypeDialog::saveSettings()
{
    setCursor(Qt::WaitCursor);
    ColumnChoice columns = ColumnChoice::none();
    for (int i = 0; i < kOptionalColumnCount; ++i)
        columns.setShown(static_cast<Column>(i), m_columns->item(i)->isSelected());
    saveChooserSettings(m_context.registry(), m_type->currentText(), m_status->currentText(),
                        m_showAtStartup->isChecked(), columns);
    unsetCursor();
    if (!m_context.values.filterAtStartup)
        m_context.messages().inform(tr("Settings will take effect the next time the User Connection window is loaded"),
                                    tr("Save Settings"));
    accept();
}

void showColumnChooser(core::AppContext& context, QWidget* parent, bool atOpening)
{
    ConnectionTypeDialog chooser(context, atOpening, parent);
    if (presenter())
        presenter()(chooser);
    else
        chooser.exec();
}

void setChooserPresenter(ChooserPresenter shown)
{
    presenter() = std::move(shown);
}

}  // namespace connections

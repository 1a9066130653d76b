#include "options/OptionsDialog.h"

#include "platform/Services.h"

#include "core/AppContext.h"
#include "options/RemoteControl.h"
#include "settings/Registry.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

namespace options {

namespace {

const QString kParentEntry = QStringLiteral("..");

bool isEnterKey(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// Two spellings of one folder, whatever their separators and trailing slashes.
bool sameFolder(const QString& a, const QString& b)
{
    return QDir::cleanPath(QDir::fromNativeSeparators(a)) == QDir::cleanPath(QDir::fromNativeSeparators(b));
}

}  // namespace

OptionsDialog::OptionsDialog(core::AppContext& context, QWidget* parent)
    : QDialog(parent)
    , m_context(context)
    , m_tabs(new QTabBar(this))
    , m_delimiterPanel(new QWidget(this))
    , m_remotePanel(new QWidget(this))
    , m_comma(new QRadioButton(tr("Comma (,)"), m_delimiterPanel))
    , m_semiColon(new QRadioButton(tr("Semicolon (;)"), m_delimiterPanel))
    , m_other(new QRadioButton(tr("Other:"), m_delimiterPanel))
    , m_delimiter(new QLineEdit(m_delimiterPanel))
    , m_rconj(new QRadioButton(tr("Rconj"), m_remotePanel))
    , m_rconsole(new QRadioButton(tr("Rconsole"), m_remotePanel))
    , m_drive(new QComboBox(m_remotePanel))
    , m_path(new QLineEdit(m_remotePanel))
    , m_pathMessage(new QLabel(m_remotePanel))
    , m_folderList(new QListWidget(m_remotePanel))
    , m_fileList(new QListWidget(m_remotePanel))
    , m_ok(new QPushButton(tr("OK"), this))
    , m_cancel(new QPushButton(tr("Cancel"), this))
    , m_apply(new QPushButton(tr("Apply"), this))
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(tr("Options"));
    m_tabs->setObjectName(QStringLiteral("tabstripOptions"));
    m_tabs->addTab(tr("Save File Delimiter"));
    m_tabs->addTab(tr("Remote Control "));
    m_tabs->setUsesScrollButtons(false);  // both tabs readable at the narrowest
    m_delimiterPanel->setObjectName(QStringLiteral("picOptions"));
    m_remotePanel->setObjectName(QStringLiteral("picOptions"));
    m_comma->setObjectName(QStringLiteral("optComma"));
    m_semiColon->setObjectName(QStringLiteral("optSemiColon"));
    m_other->setObjectName(QStringLiteral("optOther"));
    m_delimiter->setObjectName(QStringLiteral("txtDelimiter"));
    m_delimiter->setMaxLength(1);
    m_delimiter->setFixedWidth(m_delimiter->fontMetrics().horizontalAdvance(QStringLiteral("MMM")) + 12);
    m_rconj->setObjectName(QStringLiteral("optRconj"));
    m_rconsole->setObjectName(QStringLiteral("optRconsole"));
    m_drive->setObjectName(QStringLiteral("driveRconJ"));
    m_folderList->setObjectName(QStringLiteral("dirRconJ"));
    m_path->setObjectName(QStringLiteral("txtPath"));
    m_pathMessage->setObjectName(QStringLiteral("lblPathMessage"));
    m_fileList->setObjectName(QStringLiteral("filRconJ"));
    m_fileList->setSelectionMode(QAbstractItemView::NoSelection);
    m_ok->setObjectName(QStringLiteral("btnOK"));
    m_cancel->setObjectName(QStringLiteral("btnCancel"));
    m_apply->setObjectName(QStringLiteral("btnApply"));
    m_ok->setDefault(true);

    // The delimiter panel.
    auto* delimiters = new QButtonGroup(m_delimiterPanel);
    auto* delimiterLayout = new QGridLayout(m_delimiterPanel);
    int row = 0;
    for (QRadioButton* option : {m_comma, m_semiColon, m_other}) {
        delimiters->addButton(option);
        delimiterLayout->addWidget(option, row++, 0);
    }
    delimiterLayout->addWidget(m_delimiter, 2, 1, Qt::AlignLeft);
    delimiterLayout->setColumnStretch(2, 1);
    delimiterLayout->setRowStretch(3, 1);

    // The remote control panel: program choice, then drive, folder and file lists.
    auto* programs = new QButtonGroup(m_remotePanel);
    programs->addButton(m_rconj);
    programs->addButton(m_rconsole);
    auto* remoteLayout = new QGridLayout(m_remotePanel);
    auto* choice = new QHBoxLayout;
    choice->addWidget(m_rconj);
    choice->addWidget(m_rconsole);
    choice->addStretch(1);
    remoteLayout->addLayout(choice, 0, 0, 1, 2);
    remoteLayout->addWidget(m_drive, 1, 0);
    auto* pathRow = new QHBoxLayout;
    auto* pathLabel = new QLabel(tr("&Folder:"), m_remotePanel);
    pathLabel->setBuddy(m_path);
    pathRow->addWidget(pathLabel);
    pathRow->addWidget(m_path, 1);
    remoteLayout->addLayout(pathRow, 2, 0, 1, 2);
    remoteLayout->addWidget(m_pathMessage, 3, 0, 1, 2);
    remoteLayout->addWidget(m_folderList, 4, 0);
    remoteLayout->addWidget(m_fileList, 4, 1);
    m_path->setMinimumWidth(1);
    m_pathMessage->setTextFormat(Qt::PlainText);
    m_pathMessage->setWordWrap(true);
    m_pathMessage->hide();
    setTabOrder(m_drive, m_path);
    setTabOrder(m_path, m_folderList);

    auto* panels = new QStackedWidget(this);
    panels->addWidget(m_delimiterPanel);
    panels->addWidget(m_remotePanel);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_apply);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(panels, 1);
    layout->addLayout(buttons);
    // Room for a message over the lists; below that the lists shrink and scroll.
    resize(480, 380);

    connect(m_tabs, &QTabBar::currentChanged, panels, &QStackedWidget::setCurrentIndex);
    connect(m_tabs, &QTabBar::currentChanged, this, &OptionsDialog::showPanel);
    for (QRadioButton* option : {m_comma, m_semiColon, m_other, m_rconj, m_rconsole})
        connect(option, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                changed();
        });
    connect(m_other, &QRadioButton::clicked, this, [this] { m_delimiter->setFocus(); });
    m_delimiter->installEventFilter(this);
    // Enter in the folder list and in the path box moves the lists; it must
    // not reach the dialog, which would take it for OK.
    m_folderList->installEventFilter(this);
    m_path->installEventFilter(this);
    connect(m_rconj, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            setPattern(kRconjFile);
    });
    connect(m_rconsole, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            setPattern(kRconsoleFile);
    });
    connect(m_drive, &QComboBox::currentTextChanged, this, &OptionsDialog::setDrive);
    connect(m_folderList, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { enterFolder(item->text()); });
    connect(m_apply, &QPushButton::clicked, this, &OptionsDialog::apply);
    connect(m_ok, &QPushButton::clicked, this, &OptionsDialog::acceptOptions);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    load();
}

OptionsDialog::~OptionsDialog() = default;

void OptionsDialog::load()
{
    m_loading = true;
    const core::ProgramValues& values = m_context.values;
    switch (delimiterChoiceOf(values.saveFileDelimiter)) {
    case DelimiterChoice::Comma:
        m_comma->setChecked(true);
        break;
    case DelimiterChoice::SemiColon:
        m_semiColon->setChecked(true);
        break;
    case DelimiterChoice::Other:
        m_other->setChecked(true);
        m_delimiter->setText(values.saveFileDelimiter);
        break;
    }

    m_drive->addItems(driveRoots());
    const QString stored = values.remoteControlPath;
    if (isRconsolePath(stored))
        m_rconsole->setChecked(true);
    else
        m_rconj->setChecked(true);
    if (!stored.isEmpty()) {
        // A folder that has gone since it was chosen opens at its nearest
        // existing parent, from where ".." and the drive list lead on; the
        // stored path stays as it is until the user stores a new choice.
        const QString storedFolder = programFolderOf(stored);
        setFolder(storedFolder);
        if (!sameFolder(m_folder, storedFolder))
            say(tr("The folder \"%1\" of the chosen program no longer exists.")
                    .arg(QDir::toNativeSeparators(storedFolder)));
    } else {
        const QString windows = qEnvironmentVariable("windir");
        setDrive(windows.isEmpty() ? driveRoots().value(0) : driveOf(windows));
    }
    showPanel(0);
    m_loading = false;
    m_apply->setEnabled(false);
}

void OptionsDialog::changed()
{
    if (!m_loading)
        m_apply->setEnabled(true);
}

void OptionsDialog::setPattern(const QString& pattern)
{
    m_pattern = pattern;
    refreshFiles();
}

void OptionsDialog::setDrive(const QString& drive)
{
    if (drive.isEmpty())
        return;
    if (m_drive->findText(drive) < 0)
        m_drive->addItem(drive);
    if (m_drive->currentText() != drive) {
        m_drive->setCurrentText(drive);  // comes back here through the signal
        return;
    }
    if (!m_folder.startsWith(drive) || m_folder.isEmpty()) {
        setFolder(drive);
        // A drive without a readable root (no disc, a lost share) leaves the
        // lists on the home folder.
        if (!m_folder.startsWith(drive))
            say(tr("The drive %1 cannot be read.").arg(drive));
    }
    changed();
}

void OptionsDialog::setFolder(const QString& folder)
{
    showFolder(folder, QString());
}

void OptionsDialog::showFolder(const QString& folder, const QString& highlight)
{
    m_folder = nearestExistingFolder(folder);
    m_path->setText(m_folder);
    say(QString());
    {
        // The drive list follows the folder; moving it must not move the folder back to the root.
        const QSignalBlocker blocker(m_drive);
        const QString drive = driveOf(m_folder);
        if (m_drive->findText(drive) < 0)
            m_drive->addItem(drive);
        m_drive->setCurrentText(drive);
    }
    m_folderList->clear();
    QDir dir(m_folder);
    if (!dir.isRoot())
        m_folderList->addItem(kParentEntry);
    m_folderList->addItems(dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase));
    // A keyboard user goes on from the folder just left, or from the top.
    const QList<QListWidgetItem*> found = m_folderList->findItems(highlight, Qt::MatchExactly);
    if (!highlight.isEmpty() && !found.isEmpty())
        m_folderList->setCurrentItem(found.first());
    else if (m_folderList->count() > 0)
        m_folderList->setCurrentRow(0);
    refreshFiles();
    changed();
}

void OptionsDialog::enterFolder(const QString& entry)
{
    if (entry == kParentEntry) {
        const QString here = QDir::fromNativeSeparators(m_folder);
        showFolder(QDir::cleanPath(here + QStringLiteral("/..")), QFileInfo(here).fileName());
        return;
    }
    QDir dir(m_folder);
    // A folder removed since the list was read: show what is there now.
    showFolder(dir.cd(entry) ? dir.absolutePath() : m_folder, QString());
}

void OptionsDialog::goToTypedPath()
{
    const QString typed = m_path->text().trimmed();
    const QString target = typedFolder(typed, m_folder);
    if (target.isEmpty()) {
        say(typed.isEmpty() ? tr("Type the path of a folder.") : tr("The folder \"%1\" does not exist.").arg(typed));
        return;
    }
    showFolder(target, QString());
}

void OptionsDialog::say(const QString& text)
{
    m_pathMessage->setText(text);
    m_pathMessage->setVisible(!text.isEmpty());
}

void OptionsDialog::refreshFiles()
{
    m_fileList->clear();
    m_fileList->addItems(matchingFiles(m_folder, m_pattern));
}

void OptionsDialog::showPanel(int index)
{
    if (m_tabs->currentIndex() != index)
        m_tabs->setCurrentIndex(index);
    m_delimiterPanel->setEnabled(index == 0);
    m_remotePanel->setEnabled(index == 1);
}

bool OptionsDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_delimiter && event->type() == QEvent::FocusIn)
        m_other->setChecked(true);
    if (watched == m_folderList && isEnterKey(event)) {
        if (const QListWidgetItem* item = m_folderList->currentItem())
            enterFolder(item->text());
        return true;
    }
    if (watched == m_path && isEnterKey(event)) {
        goToTypedPath();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool OptionsDialog::applyUpdates()
{
    QString delimiter = QStringLiteral(",");
    if (m_semiColon->isChecked())
        delimiter = QStringLiteral(";");
    else if (m_other->isChecked())
        delimiter = m_delimiter->text();
    if (delimiter.isEmpty()) {
        m_context.messages().inform(QStringLiteral("You must enter a delimiter value"),
                                    QStringLiteral("Enter Delimiter value"));
        showPanel(0);
        m_delimiter->setFocus();
        return false;
    }
    settings::saveSetting(m_context, settings::kRootKey, QStringLiteral("SaveFileDelimiter"), delimiter);
    m_context.values.saveFileDelimiter = delimiter;

    if (m_fileList->count() == 1) {
        const QString path = joinProgramPath(m_folder, m_fileList->item(0)->text());
        settings::saveSetting(m_context, settings::kRootKey, QStringLiteral("RemoteControl"), path);
        m_context.values.remoteControlPath = path;
    } else {
        m_context.messages().inform(
            QStringLiteral(
                "Rconj/Rconsole does not exist in the selected directory.  Remote control directory not saved."),
            QStringLiteral("Remote Control Option"));
    }
    return true;
}

void OptionsDialog::apply()
{
    applyUpdates();
    m_apply->setEnabled(false);
}

void OptionsDialog::acceptOptions()
{
    if (m_apply->isEnabled())
        applyUpdates();
    accept();
}

void showOptions(core::AppContext& context, QWidget* parent)
{
    OptionsDialog form(context, parent);
    form.exec();
}

}  // namespace options

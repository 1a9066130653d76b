#include "connections/FileLocksWindow.h"
#include "settings/SettingsKeys.h"

#include "netware/ServerDiscovery.h"
#include "platform/Services.h"

#include "connections/ConnectionActions.h"
#include "netware/NovellCalls.h"
#include "settings/Registry.h"
#include "text/Twips.h"
#include "widgets/ColumnFit.h"
#include "widgets/FlexGrid.h"
#include "widgets/RefreshFrame.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

namespace connections {

namespace {

constexpr int kUserCol = 0;
constexpr int kNumberCol = 1;
constexpr int kStatusCol = 2;
constexpr int kDefaultWidths[] = {2265, 630, 990};
const QString kUp = QStringLiteral("..");

views::ViewDesign design()
{
    return {QStringLiteral("frmFileLocks"), settings::kFileLocksKeyName, settings::kDesignedViewGeometry, {7185, 5325}};
}

QLabel* namedLabel(const QString& text, const char* name, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

QString title()
{
    return QStringLiteral("File Open/Lock");
}

}  // namespace

QString FileLocksWindow::captionFor(const QString& server)
{
    return tr("File Open/Lock ") + server;
}

FileLocksWindow::FileLocksWindow(views::ViewHost& host, QString server, QWidget* parent)
    : ViewWindow(host, design(), parent)
    , m_server(std::move(server))
    , m_serverLabel(namedLabel(m_server, "lblServer", this))
    , m_volumes(new QComboBox(this))
    , m_directoryLabel(namedLabel(QString(), "lblDirectory", this))
    , m_dirList(new QListWidget(this))
    , m_fileList(new QListWidget(this))
    , m_selectedFile(namedLabel(tr("None"), "lblSelectedFile", this))
    , m_showLocks(new QPushButton(tr("&Show File Status"), this))
    , m_grid(new widgets::FlexGrid(this))
    , m_refresh(new widgets::RefreshFrame(this))
    , m_statusBar(new QStatusBar(this))
{
    models::FlexGridModel& cells = m_grid->model();
    setWindowTitle(captionFor(m_server));
    m_volumes->setObjectName(QStringLiteral("cmbVolumeList"));
    m_dirList->setObjectName(QStringLiteral("dirDirlist"));
    m_fileList->setObjectName(QStringLiteral("filFileList"));
    m_showLocks->setObjectName(QStringLiteral("btnShowLocks"));
    m_grid->setObjectName(QStringLiteral("grdFileLocks"));
    // A connection that holds the file locked marks its whole row.
    cells.setTroubleRule([this](int row, int) {
        return row < m_grid->model().fixedRows() ? models::TroubleLevel::None
                                                 : fileLockLevel(m_grid->model().textMatrix(row, kStatusCol));
    });
    m_refresh->setIntervalMaxLength(2);
    m_refresh->setIntervalText(QStringLiteral("5"));
    m_refresh->lblSeconds()->setObjectName(QStringLiteral("lblseconds"));
    m_refresh->timer()->setObjectName(QStringLiteral("timerConnectionRefresh"));
    m_statusBar->setObjectName(QStringLiteral("StatusBar"));
    m_statusBar->setSizeGripEnabled(false);
    m_directoryLabel->setWordWrap(true);
    m_selectedFile->setWordWrap(true);

    // subInitConnGrid: three columns under one header row.
    cells.setCols(3);
    cells.setRows(1);
    cells.setFixedRows(1);
    cells.setFixedCols(0);
    const QStringList headings = {tr("User"), tr("Conn #"), tr("Status")};
    for (int col = 0; col < 3; ++col) {
        cells.setTextMatrix(0, col, headings.at(col));
        cells.setColWidth(col, kDefaultWidths[col]);
        cells.setColAlignment(col, (col == kUserCol ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
    }

    auto* serverVolume = new QGroupBox(this);
    serverVolume->setObjectName(QStringLiteral("fraServerVol"));
    auto* serverVolumeLayout = new QGridLayout(serverVolume);
    serverVolumeLayout->addWidget(namedLabel(tr("Server"), "Label1", serverVolume), 0, 0);
    serverVolumeLayout->addWidget(m_serverLabel, 0, 1);
    auto* volumeLabel = namedLabel(tr("Volume"), "Label4", serverVolume);
    volumeLabel->setBuddy(m_volumes);
    serverVolumeLayout->addWidget(volumeLabel, 1, 0);
    serverVolumeLayout->addWidget(m_volumes, 1, 1);
    serverVolumeLayout->setColumnStretch(1, 1);
    m_serverLabel->setParent(serverVolume);
    m_volumes->setParent(serverVolume);

    auto* selected = new QGridLayout;
    selected->addWidget(namedLabel(tr("Selected File:"), "Label2", this), 0, 0, Qt::AlignTop);
    selected->addWidget(m_selectedFile, 0, 1, Qt::AlignTop);
    selected->addWidget(m_showLocks, 1, 0, 1, 2, Qt::AlignLeft);
    selected->setColumnStretch(1, 1);

    auto* browser = new QVBoxLayout;
    browser->addWidget(m_directoryLabel);
    browser->addWidget(m_dirList, 1);
    browser->addWidget(namedLabel(tr("Files"), "lblFiles", this));
    browser->addWidget(m_fileList, 1);

    auto* results = new QVBoxLayout;
    results->addWidget(m_grid, 1);
    results->addWidget(m_refresh);

    auto* grid = new QGridLayout;
    grid->addWidget(serverVolume, 0, 0);
    grid->addLayout(selected, 0, 1);
    grid->addLayout(browser, 1, 0);
    grid->addLayout(results, 1, 1);
    // The grid gets the room its three columns were designed with.
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 2);
    grid->setRowStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->addLayout(grid, 1);
    layout->addWidget(m_statusBar);

    setRefreshFrame(m_refresh);
    connect(m_volumes, &QComboBox::activated, this, [this] { chooseVolume(); });
    connect(m_dirList, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { enterDirectory(item->text()); });
    connect(m_fileList, &QListWidget::itemDoubleClicked, this, [this] { showFileLocks(); });
    connect(m_showLocks, &QPushButton::clicked, this, &FileLocksWindow::showFileLocks);
    connect(m_refresh->btnRefresh(), &QPushButton::clicked, this, &FileLocksWindow::refreshToggled);
    connect(m_refresh, &widgets::RefreshFrame::timeout, this, &FileLocksWindow::refreshTick);
    connect(m_grid, &widgets::FlexGrid::mouseDown, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, int row, int col) {
                if (button == Qt::LeftButton && row == 0 && col >= 0
                    && m_grid->model().rows() > m_grid->model().fixedRows())
                    sortByColumn(col);
                else if (button == Qt::RightButton && hasConnectionRows())
                    this->host().popupMenu(this->host().userConnectionsMenu(), m_grid->menuPosition());
            });
}

// ---- load and unload ---------------------------------------------------------------

void FileLocksWindow::loadContents()
{
    // Stored widths only when the key existed at load; a width that reads 0
    // would hide its column for good and keeps the designed one.
    if (!context().registry().keyExists(settings::Hive::CurrentUser, keyPath()))
        return;
    for (int col = 0; col < 3; ++col) {
        if (const auto twips = windowState().gridColumnTwips(col))
            m_grid->model().setColWidth(col, *twips);
    }
}

void FileLocksWindow::unloadContents()
{
    if (!context().saveWindowState)
        return;
    for (int col = 0; col < 3; ++col)
        windowState().saveGridColumnTwips(col, m_grid->model().colWidth(col));
}

// ---- activation and the main window's menu -------------------------------------------

void FileLocksWindow::activated()
{
    updateUserMenu();
}

void FileLocksWindow::deactivated()
{
    userMenu::show(host(), false);
}

void FileLocksWindow::fitColumns()
{
    widgets::fitGridColumns(*m_grid);
}

bool FileLocksWindow::hasConnectionRows() const
{
    return m_grid->model().rows() > m_grid->model().fixedRows()
           && m_grid->model().textMatrix(m_grid->model().fixedRows(), kNumberCol) != QLatin1String("not");
}

void FileLocksWindow::updateUserMenu()
{
    if (!isActiveView() || isUnloaded())
        return;
    userMenu::show(host(), true);
    host().chooseColumnsAction()->setVisible(false);  // the connections view's own entry
    host().showOpenFilesAction()->setVisible(true);
    const bool connections = hasConnectionRows();
    userMenu::enableEntries(host(), connections);
    // Save and Copy follow the refresh button; Save also needs rows worth saving.
    host().enableSaveCopy(m_refresh->buttonCaption());
    if (!connections)
        host().setSaveEnabled(false);
}

// ---- volumes and the browser ---------------------------------------------------------

void FileLocksWindow::listVolumes()
{
    m_statusBar->showMessage(tr("Connecting to server..."));
    m_statusBar->repaint();
    m_volumes->clear();
    QStringList names;
    QPointer<FileLocksWindow> self(this);
    nw::listServerVolumes(context(), m_server, true, names);
    if (!self || isUnloaded())
        return;
    noteServersRead({m_server});
    if (!names.isEmpty()) {
        m_volumes->addItems(names);
        const int sys = names.indexOf(QStringLiteral("SYS"));
        m_volumes->setCurrentIndex(sys >= 0 ? sys : 0);
        m_volumes->setEnabled(true);
        chooseVolume();
        if (!self || isUnloaded())
            return;
    } else {
        context().messages().inform(tr("Unable to list volumes for selected server"), title());
        if (!self || isUnloaded())
            return;
        m_volumes->setEnabled(false);
        setBrowsingEnabled(false);
    }
    m_statusBar->showMessage(tr("Select file, then click 'Show File Status'"));
}

void FileLocksWindow::chooseVolume()
{
    if (m_volumes->currentIndex() >= 0) {
        const bool plain = isPlainComponent(m_server) && isPlainComponent(m_volumes->currentText());
        const QString local =
            plain ? context().client().localPathOf(networkPathOf(m_server, m_volumes->currentText(), {})) : QString();
        if (local.isEmpty() || !QDir(local).exists()) {
            QPointer<FileLocksWindow> self(this);
            context().messages().inform(
                tr("Unable to access Volume.  Volume may be unavailable, or you may not have rights."));
            if (!self || isUnloaded())
                return;
            m_volumes->setCurrentIndex(-1);
        }
    }
    setDirectories({});
    setBrowsingEnabled(m_volumes->currentIndex() >= 0);
}

void FileLocksWindow::setBrowsingEnabled(bool enabled)
{
    m_showLocks->setEnabled(enabled);
    m_refresh->btnRefresh()->setEnabled(enabled);
    m_dirList->setEnabled(enabled);
    m_fileList->setEnabled(enabled);
    m_refresh->txtInterval()->setEnabled(enabled);
}

void FileLocksWindow::enterDirectory(const QString& name)
{
    if (name == kUp) {
        if (!m_directories.isEmpty())
            setDirectories(m_directories.mid(0, m_directories.size() - 1));
        return;
    }
    // Only names the listing offered, and never one that leaves the folder.
    if (!isPlainComponent(name))
        return;
    setDirectories(m_directories + QStringList{name});
}

void FileLocksWindow::setDirectories(const QStringList& directories)
{
    for (const QString& name : directories) {
        if (!isPlainComponent(name))
            return;
    }
    m_directories = directories;
    listDirectory();
}

void FileLocksWindow::listDirectory()
{
    m_dirList->clear();
    m_fileList->clear();
    if (m_volumes->currentIndex() < 0) {
        m_directoryLabel->clear();
        return;
    }
    const QString network = networkPathOf(m_server, m_volumes->currentText(), m_directories);
    m_directoryLabel->setText(network);
    // A server or volume name holding a separator would name another folder.
    const bool plain = isPlainComponent(m_server) && isPlainComponent(m_volumes->currentText());
    const QString local = plain ? context().client().localPathOf(network) : QString();
    if (!m_directories.isEmpty())
        m_dirList->addItem(kUp);
    if (local.isEmpty())
        return;
    // Links are not followed: they could lead out of the volume's folder.
    const QDir folder(local);
    const QDir::SortFlags order = QDir::Name | QDir::IgnoreCase;
    for (const QString& name : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, order)) {
        if (isPlainComponent(name))
            m_dirList->addItem(name);
    }
    for (const QString& name : folder.entryList(QDir::Files | QDir::NoSymLinks, order)) {
        if (isPlainComponent(name))
            m_fileList->addItem(name);
    }
}

// ---- the query -----------------------------------------------------------------------

std::optional<VolumeFile> FileLocksWindow::selectedFile()
{
    m_statusBar->clearMessage();
    const QListWidgetItem* item = m_fileList->currentItem();
    if (!item || m_volumes->currentIndex() < 0)
        return std::nullopt;
    return VolumeFile{m_volumes->currentText(), m_directories, item->text()};
}

void FileLocksWindow::showFileLocks()
{
    if (const std::optional<VolumeFile> file = selectedFile())
        queryFile(*file);
}

bool FileLocksWindow::startQuery(const VolumeFile& file)
{
    // A timer tick, a click or a second window arriving while this window's
    // query runs is dropped: the running query keeps its drive, directory
    // handle and connection to itself.
    if (m_querying || isUnloaded())
        return false;
    m_querying = true;
    m_selectedFile->setText(file.file);
    setCursor(Qt::WaitCursor);
    // The reading thread holds the context, and what it reads is a plain value.
    core::AppContext* context = &this->context();
    startReadingServers<FileUseResult>(
        {m_server},
        [context, file](const QString& server, const nw::ReadStop& stop) {
            return readFileUse(*context, server, file, [&stop] { return !stop.requested(); });
        },
        [this](int, FileUseResult& result) { applyQuery(result); },
        [this](ReadEnd end) {
            m_querying = false;
            if (end != ReadEnd::Closed) {
                unsetCursor();
                if (m_refresh->isRefreshing())
                    m_refresh->resumeTimer();
            }
            Q_EMIT queryFinished();
        });
    return true;
}

void FileLocksWindow::applyQuery(const FileUseResult& result)
{
    // The messages are shown here, on the window thread; they let events run.
    QPointer<FileLocksWindow> self(this);
    reportFileUseProblems(context(), result);
    if (self && !isUnloaded())
        noteServersRead({m_server});
    if (!self || isUnloaded() || !result.connected || !result.complete)
        return;
    m_ownConnection = result.ownConnection;
    fillGrid(fileUseCells(result));
    // A repeated query keeps the order the user chose.
    applySort();
    // The grid is empty until the first query: its columns fit what that finds.
    fitColumnsOnFirstOpening();
    m_statusBar->showMessage(fileUseSummary(result));
    updateUserMenu();
}

void FileLocksWindow::stopQuery()
{
    if (m_querying && isReadingServers())
        stopReadingServers();
}

void FileLocksWindow::queryFile(const VolumeFile& file)
{
    if (!startQuery(file))
        return;
    QEventLoop loop;
    connect(this, &FileLocksWindow::queryFinished, &loop, &QEventLoop::quit);
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    if (m_querying)
        loop.exec();
}

void FileLocksWindow::fillGrid(const QList<QStringList>& rows)
{
    models::FlexGridModel& table = m_grid->model();
    table.beginUpdate();
    table.setRows(table.fixedRows());
    for (const QStringList& cells : rows) {
        const int row = table.addRow(cells);
        table.setCellAlignment(row, kUserCol, Qt::AlignLeft | Qt::AlignVCenter);
        table.setCellAlignment(row, kNumberCol, Qt::AlignRight | Qt::AlignVCenter);
        table.setCellAlignment(row, kStatusCol, Qt::AlignRight | Qt::AlignVCenter);
    }
    table.endUpdate();
}

void FileLocksWindow::sortByColumn(int col)
{
    if (m_grid->model().rows() <= m_grid->model().fixedRows())
        return;
    m_sortAscending = col == m_sortCol ? !m_sortAscending : true;
    m_sortCol = col;
    applySort();
}

void FileLocksWindow::applySort()
{
    if (m_sortCol < 0 || !hasConnectionRows())
        return;
    // Connection numbers by value, names and lock flags by the locale's collation.
    m_grid->model().sortRows(m_sortCol,
                             m_sortAscending ? models::SortMode::TypedAscending : models::SortMode::TypedDescending,
                             m_grid->model().fixedRows());
    m_grid->setSortIndicator(m_sortCol, m_sortAscending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

// ---- automatic query -----------------------------------------------------------------

void FileLocksWindow::refreshToggled()
{
    // The frame has switched its caption, the interval box and the timer.
    const bool refreshing = m_refresh->isRefreshing();
    if (!refreshing)
        stopQuery();  // "&Stop" ends a running query at once
    m_volumes->setEnabled(!refreshing);
    m_dirList->setEnabled(!refreshing);
    m_fileList->setEnabled(!refreshing);
    m_showLocks->setEnabled(!refreshing);
    updateUserMenu();
}

void FileLocksWindow::refreshTick()
{
    // A tick never starts a query while one runs; the running one arms the
    // timer again when it ends.
    if (m_querying)
        return;
    const std::optional<VolumeFile> file = selectedFile();
    if (!file)
        return;
    m_refresh->holdTimer();
    if (!startQuery(*file))
        m_refresh->resumeTimer();
}

// ---- opening -------------------------------------------------------------------------

FileLocksWindow* findFileLocks(views::ViewHost& host, const QString& server)
{
    const QString caption = FileLocksWindow::captionFor(server);
    return views::findView<FileLocksWindow>(
        host, [&caption](const FileLocksWindow& form) { return form.windowTitle() == caption; });
}

void openFileLocks(views::ViewHost& host)
{
    if (host.serverCount() == 0)
        return;
    views::OpeningScope opening(host, false);
    for (const QString& server : host.selectedServers()) {
        if (FileLocksWindow* open = findFileLocks(host, server)) {
            views::bringToFront(host, open);
            continue;
        }
        QPointer<FileLocksWindow> form = views::createView<FileLocksWindow>(host, server);
        form->listVolumes();
        if (!form || form->isUnloaded())
            continue;
        if (form->cmbVolumeList()->currentIndex() < 0) {
            form->cmbVolumeList()->setEnabled(false);
            form->btnShowLocks()->setEnabled(false);
            form->refresh()->btnRefresh()->setEnabled(false);
            form->refresh()->txtInterval()->setEnabled(false);
            form->dirDirlist()->setEnabled(false);
            form->filFileList()->setEnabled(false);
        }
    }
}

}  // namespace connections

#include "connections/OpenFilesWindow.h"
#include "settings/SettingsKeys.h"

#include "connections/ConnectionActions.h"
#include "connections/ConnectionFormats.h"
#include "connections/FileUse.h"
#include "netware/ServerSession.h"
#include "settings/Registry.h"
#include "text/Twips.h"
#include "widgets/ColumnFit.h"
#include "widgets/FlexGrid.h"
#include "widgets/RefreshFrame.h"
#include "widgets/ReportListView.h"

#include <QBoxLayout>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

namespace connections {

namespace {

constexpr int kPathCol = 0;
constexpr int kLockCol = 1;
constexpr int kDefaultWidths[] = {2265, 1630};
// Longest the window thread adds rows before it lets events run (milliseconds).
constexpr qint64 kFillSliceMs = 15;

views::ViewDesign design()
{
    return {QStringLiteral("frmOpenFiles"), settings::kOpenFilesKeyName, settings::kDesignedViewGeometry, {5385, 3255}};
}

QLabel* namedLabel(const QString& text, const char* name, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

}  // namespace

OpenFilesWindow::OpenFilesWindow(views::ViewHost& host, const QString& user, quint16 connectionNumber,
                                 const QString& server, QWidget* parent)
    : ViewWindow(host, design(), parent)
    , m_number(connectionNumber)
    , m_user(namedLabel(user, "lblUser", this))
    , m_connection(namedLabel(QString::number(connectionNumber), "lblConnection", this))
    , m_serverName(namedLabel(server, "lblServerName", this))
    , m_count(namedLabel(QStringLiteral("0"), "lblOpenFiles", this))
    , m_grid(new widgets::FlexGrid(this))
    , m_refresh(new widgets::RefreshFrame(QString(), this))
    , m_close(new QPushButton(tr("&Close"), this))
    , m_statusBar(new QStatusBar(this))
{
    models::FlexGridModel& cells = m_grid->model();
    // Each window names whose files it lists, so that several are told apart.
    setWindowTitle(openFilesTitle(user, server));
    m_grid->setObjectName(QStringLiteral("grdOpenFiles"));
    cells.setCols(2);
    cells.setRows(1);
    cells.setFixedRows(1);
    cells.setFixedCols(0);
    cells.setTextMatrix(0, kPathCol, tr("Open File"));
    cells.setTextMatrix(0, kLockCol, tr("Lock Type"));
    for (int col : {kPathCol, kLockCol}) {
        cells.setColWidth(col, kDefaultWidths[col]);
        cells.setColAlignment(col, Qt::AlignLeft | Qt::AlignVCenter);
    }

    // The refresh controls as designed: the button, "Interval", the box, "seconds".
    m_refresh->setFlat(true);
    m_refresh->setStyleSheet(QStringLiteral("QGroupBox { border: 0; margin-top: 0; padding-top: 0; }"));
    m_refresh->setIntervalMaxLength(2);
    m_refresh->setIntervalText(QStringLiteral("5"));
    m_refresh->lblSeconds()->setText(tr("seconds"));
    m_refresh->lblSeconds()->setObjectName(QStringLiteral("lblseconds"));
    m_refresh->timer()->setObjectName(QStringLiteral("timerOpenFiles"));
    auto* intervalLabel = namedLabel(tr("Interval"), "lblInterval", m_refresh);
    intervalLabel->setBuddy(m_refresh->txtInterval());
    if (auto* row = qobject_cast<QBoxLayout*>(m_refresh->layout())) {
        row->insertWidget(1, intervalLabel);
        row->setContentsMargins(0, 0, 0, 0);
    }
    m_close->setObjectName(QStringLiteral("btnClose"));
    m_statusBar->setObjectName(QStringLiteral("StatusBar1"));
    m_statusBar->setSizeGripEnabled(false);

    auto* facts = new QGridLayout;
    facts->addWidget(namedLabel(tr("User:"), "Label1", this), 0, 0);
    facts->addWidget(m_user, 0, 1);
    facts->addWidget(m_serverName, 0, 2, Qt::AlignRight);
    facts->addWidget(namedLabel(tr("Connection:"), "Label2", this), 1, 0);
    facts->addWidget(m_connection, 1, 1);
    facts->setColumnStretch(1, 1);

    auto* below = new QHBoxLayout;
    below->addWidget(namedLabel(tr("Open Files:"), "lblOpenFilesLabel", this));
    below->addWidget(m_count);
    below->addStretch();
    below->addWidget(m_close);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->addLayout(facts);
    layout->addWidget(m_grid, 1);
    layout->addLayout(below);
    layout->addWidget(m_refresh);
    layout->addWidget(m_statusBar);

    setRefreshFrame(m_refresh);
    connect(m_refresh->btnRefresh(), &QPushButton::clicked, this, &OpenFilesWindow::refreshToggled);
    connect(m_refresh, &widgets::RefreshFrame::timeout, this, &OpenFilesWindow::refreshTick);
    connect(m_close, &QPushButton::clicked, this, &OpenFilesWindow::closeView);
}

void OpenFilesWindow::loadContents()
{
    // Stored widths only when the key existed at load; a width that reads 0
    // (missing from a hand-edited key) would hide the column for good.
    if (!context().registry().keyExists(settings::Hive::CurrentUser, keyPath()))
        return;
    for (int col : {kPathCol, kLockCol}) {
        if (const auto twips = windowState().gridColumnTwips(col))
            m_grid->model().setColWidth(col, *twips);
    }
}

void OpenFilesWindow::unloadContents()
{
    if (!context().saveWindowState)
        return;
    for (int col : {kPathCol, kLockCol})
        windowState().saveGridColumnTwips(col, m_grid->model().colWidth(col));
}

void OpenFilesWindow::fitColumns()
{
    widgets::fitGridColumns(*m_grid);
}

void OpenFilesWindow::refreshToggled()
{
    // The frame has switched its caption, the box and the timer already; the
    // first listing is a pass of the frame, so that no tick overtakes it.
    if (m_refresh->isRefreshing())
        m_refresh->runPass();
    else
        stopListing();  // "&Stop" ends a running listing at once
}

void OpenFilesWindow::refreshTick()
{
    // A tick never starts a listing while one runs; the running one arms the
    // timer again when it ends.
    if (m_listing)
        return;
    m_refresh->holdTimer();
    startListing();
}

bool OpenFilesWindow::startListing()
{
    if (m_listing || isUnloaded())
        return false;
    m_listing = true;
    m_listed = false;
    setCursor(Qt::WaitCursor);
    // The reading thread holds the context, and what it reads is a plain value.
    core::AppContext* context = &this->context();
    const quint16 number = m_number;
    startReadingServers<OpenFilesRead>(
        {m_serverName->text()},
        [context, number](const QString& server, const nw::ReadStop& stop) {
            return readOpenFilesOf(*context, server, number, [&stop] { return !stop.requested(); });
        },
        [this](int, OpenFilesRead& read) {
            if (!read.complete)
                return;
            fillRows(read.files);
        },
        [this](ReadEnd end) {
            m_listing = false;
            m_listed = end == ReadEnd::Completed;
            if (end != ReadEnd::Closed) {
                unsetCursor();
                if (m_refresh->isRefreshing())
                    m_refresh->resumeTimer();
            }
            Q_EMIT listingFinished();
        });
    return true;
}

void OpenFilesWindow::fillRows(const QList<OpenFile>& files)
{
    models::FlexGridModel& cells = m_grid->model();
    QPointer<OpenFilesWindow> self(this);
    cells.setRows(cells.fixedRows());
    cells.beginUpdate();
    // Long lists go in slices: between them the window repaints and answers.
    QElapsedTimer slice;
    slice.start();
    int added = 0;
    for (const OpenFile& file : files) {
        cells.addRow({file.path, file.lockType});
        if (++added % 64 == 0 && slice.elapsed() >= kFillSliceMs) {
            QCoreApplication::processEvents();
            if (!self || isUnloaded())
                return;
            slice.restart();
        }
    }
    cells.endUpdate();
    m_count->setText(QString::number(files.size()));
}

void OpenFilesWindow::stopListing()
{
    if (m_listing && isReadingServers())
        stopReadingServers();
}

bool OpenFilesWindow::listOpenFiles()
{
    if (!startListing())
        return false;
    QPointer<OpenFilesWindow> self(this);
    QEventLoop loop;
    connect(this, &OpenFilesWindow::listingFinished, &loop, &QEventLoop::quit);
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    if (m_listing)
        loop.exec();
    return self && m_listed && !isUnloaded();
}

OpenFilesWindow* openOpenFiles(views::ViewHost& host, const QString& user, quint16 connectionNumber,
                               const QString& server)
{
    QPointer<OpenFilesWindow> form = views::createView<OpenFilesWindow>(host, user, connectionNumber, server);
    form->listOpenFiles();
    if (form && !form->isUnloaded())
        form->fitColumnsOnFirstOpening();
    return form;
}

QList<OpenFilesWindow*> showOpenFilesOfChosen(views::ViewHost& host)
{
    QList<OpenFilesWindow*> opened;
    QMdiArea* area = host.mdiArea();
    QMdiSubWindow* active = area ? area->activeSubWindow() : nullptr;
    QWidget* view = active ? active->widget() : nullptr;
    auto* source = dynamic_cast<ConnectionSource*>(view);
    QWidget* list = firstConnectionList(view);
    if (!source || !list)
        return opened;
    // Taken before the first new window becomes the active one.
    QList<ChosenConnection> chosen;
    if (auto* listView = qobject_cast<widgets::ReportListView*>(list))
        chosen = chosenConnections(*listView);
    else if (auto* grid = qobject_cast<widgets::FlexGrid*>(list))
        chosen = chosenConnections(*grid);
    const QString server = source->connectionServer();

    for (const ChosenConnection& connection : std::as_const(chosen)) {
        // Rows that name no connection ("File", "not", "open") open nothing.
        const std::optional<quint16> number = connectionNumberOf(connection.number);
        if (!number || *number == 0)
            continue;
        if (OpenFilesWindow* form = openOpenFiles(host, connection.user, *number, server))
            opened.append(form);
    }
    return opened;
}

}  // namespace connections

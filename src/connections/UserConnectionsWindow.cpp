#include "connections/UserConnectionsWindow.h"
#include "settings/SettingsKeys.h"

#include "netware/NovellCalls.h"

#include "platform/Services.h"

#include "connections/ConnectionActions.h"
#include "connections/ConnectionReader.h"
#include "connections/ConnectionRows.h"
#include "connections/ConnectionTypeDialog.h"
#include "netware/ServerReads.h"
#include "netware/ServerSession.h"
#include "settings/Registry.h"
#include "text/Twips.h"
#include "widgets/ColumnFit.h"
#include "widgets/RefreshFrame.h"
#include "widgets/RefreshInterval.h"
#include "widgets/ReportListView.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>

#include <limits>

namespace connections {

namespace {

constexpr int kUserColumn = 0;
constexpr int kNumberColumn = 1;

// Sizes in twips, as the window was designed.
constexpr double kMinWidth = 7500;
constexpr double kMinHeight = 3075;
constexpr double kListWidthAllowance = 135;    // outer width minus the list's width
constexpr double kListHeightAllowance = 1845;  // outer height minus the list's height
constexpr double kMargin = 60;

// A pass lets events run at least this often (milliseconds), so the window
// answers while thousands of connections are read, without paying for an
// event round after every byte of a bit list.
constexpr qint64 kYieldEveryMs = 15;
// Rows put between two looks at the clock.
constexpr size_t kRowsBetweenClockLooks = 64;

views::ViewDesign design()
{
    return {QStringLiteral("frmUserConnections"),
            settings::kUserConnectionsKeyName,
            settings::kDesignedViewGeometry,
            {kMinWidth, kMinHeight}};
}

QElapsedTimer& passClock()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock;
}

void selectEntry(QComboBox* combo, const QString& text)
{
    const int index = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    combo->setCurrentIndex(index >= 0 ? index : 0);
}

// A stored filter that names no entry (a hand-edited setting) lists everything.
QString knownFilter(const QStringList& entries, const QString& text)
{
    return entries.contains(text) ? text : kAllFilter;
}

}  // namespace

QString UserConnectionsWindow::captionFor(const QString& server)
{
    return tr("User Connections for ") + server;
}

UserConnectionsWindow::UserConnectionsWindow(views::ViewHost& host, QString server, quint16 ownNumber,
                                             ColumnChoice columns, QWidget* parent)
    : ViewWindow(host, design(), parent)
    , m_server(std::move(server))
    , m_ownNumber(ownNumber)
    , m_columns(columns)
    , m_list(new widgets::ReportListView(this))
    , m_refresh(new widgets::RefreshFrame(tr("Auto Refresh Interval"), this))
    , m_filter(new QGroupBox(tr("Filter"), this))
    , m_type(new QComboBox(m_filter))
    , m_status(new QComboBox(m_filter))
    , m_listButton(new QPushButton(tr("&List Connections"), m_filter))
    , m_findLabel(new QLabel(tr("Find User:"), this))
    , m_find(new QLineEdit(this))
    , m_statusBar(new QStatusBar(this))
    , m_rows(new ConnectionRows(m_list->model(), kNumberColumn, this))
{
    setWindowTitle(captionFor(m_server));

    // The list first in control order: it is the window's table for Save and
    // the first connection list for the connection actions.
    m_list->setObjectName(QStringLiteral("lstvwUsers"));
    m_refresh->timer()->setObjectName(QStringLiteral("timerRefreshUsers"));
    m_refresh->lblSeconds()->setObjectName(QStringLiteral("lblseconds"));
    m_refresh->setIntervalMaxLength(2);
    m_filter->setObjectName(QStringLiteral("fraFilter"));
    m_type->setObjectName(QStringLiteral("cmbConnType"));
    m_status->setObjectName(QStringLiteral("cmbStatus"));
    m_listButton->setObjectName(QStringLiteral("btnListConnections"));
    m_find->setObjectName(QStringLiteral("txtFindUser"));
    m_statusBar->setObjectName(QStringLiteral("StatusBar"));
    m_statusBar->setSizeGripEnabled(false);

    auto* typeLabel = new QLabel(tr("Connection Type ="), m_filter);
    auto* statusLabel = new QLabel(tr("Connection Status ="), m_filter);
    typeLabel->setBuddy(m_type);
    statusLabel->setBuddy(m_status);
    m_findLabel->setBuddy(m_find);
    auto* filterLayout = new QGridLayout(m_filter);
    filterLayout->addWidget(typeLabel, 0, 0);
    filterLayout->addWidget(m_type, 0, 1);
    filterLayout->addWidget(statusLabel, 1, 0);
    filterLayout->addWidget(m_status, 1, 1);
    filterLayout->addWidget(m_listButton, 2, 1, Qt::AlignRight);
    filterLayout->setColumnStretch(1, 1);

    connect(m_refresh->btnRefresh(), &QPushButton::clicked, this, [this] {
        // The frame's own toggle runs first; this window adds its controls and the pass.
        m_refresh->isRefreshing() ? refreshStarted() : refreshStopped();
    });
    connect(m_refresh, &widgets::RefreshFrame::timeout, this, &UserConnectionsWindow::refreshTick);
    setRefreshFrame(m_refresh);
    connect(m_listButton, &QPushButton::clicked, this, &UserConnectionsWindow::listConnections);
    connect(m_find, &QLineEdit::textChanged, this, &UserConnectionsWindow::findUser);
    connect(m_list, &widgets::ReportListView::columnClicked, this, &UserConnectionsWindow::sortByClickedColumn);
    connect(m_list, &widgets::ReportListView::itemClicked, this, [this](int) { m_list->setMultiSelect(true); });
    connect(m_list, &widgets::ReportListView::mouseDown, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, int) {
                if (button == Qt::RightButton && m_list->rowCount() > 0)
                    this->host().popupMenu(this->host().userConnectionsMenu(), m_list->menuPosition());
            });
    layoutControls();
}

UserConnectionsWindow::~UserConnectionsWindow() = default;

QPushButton* UserConnectionsWindow::btnRefresh() const
{
    return m_refresh->btnRefresh();
}

QLineEdit* UserConnectionsWindow::txtInterval() const
{
    return m_refresh->txtInterval();
}

QTimer* UserConnectionsWindow::timerRefreshUsers() const
{
    return m_refresh->timer();
}

// ---- load and unload ---------------------------------------------------------------

void UserConnectionsWindow::loadContents()
{
    buildColumns();
    m_type->addItems(typeFilterEntries());
    m_status->addItems(statusFilterEntries());
    // Without the key (veskaro-report creates none) the interval is the
    // value's own default, not the one inch every missing key reads as.
    const QString interval = QStringLiteral("Refresh Interval");
    m_refresh->setIntervalText(
        settings::readValue(context().registry(), keyPath(), interval, 9).value_or(settings::defaultSetting(interval)));
}

void UserConnectionsWindow::buildColumns()
{
    for (const QString& heading : m_columns.headings()) {
        const Qt::Alignment alignment = heading == kNumberHeading ? Qt::AlignRight : Qt::AlignLeft;
        const QString name = settings::kColWidthHeadingPrefix + heading;
        const double twips = settings::readTwipsSetting(context().registry(), keyPath(), name);
        m_list->addColumn(heading, alignment | Qt::AlignVCenter, qRound(twips));
        m_widthsStored =
            m_widthsStored || context().registry().queryValue(settings::Hive::CurrentUser, keyPath(), name).has_value();
    }
}

void UserConnectionsWindow::fitColumns()
{
    // Thousands of rows: the columns are measured one at a time, with events between.
    widgets::fitListColumnsLettingEventsRun(*m_list->treeView());
}

void UserConnectionsWindow::unloadContents()
{
    windowState().saveListColumns(m_list->treeView()->header());
    if (context().saveWindowState)
        settings::saveSetting(context(), keyPath(), QStringLiteral("Refresh Interval"), m_refresh->intervalText());
}

// ---- activation --------------------------------------------------------------------

void UserConnectionsWindow::activated()
{
    setActiveControls();
}

void UserConnectionsWindow::deactivated()
{
    userMenu::show(host(), false);
}

void UserConnectionsWindow::setActiveControls()
{
    userMenu::show(host(), true);
    userMenu::enableEntries(host(), true);
    host().enableSaveCopy(m_refresh->buttonCaption());
    const bool refreshing = m_refresh->isRefreshing();
    const bool rows = m_list->rowCount() > 0;
    // A running refresh can always be stopped, even when its filters leave no row.
    m_refresh->btnRefresh()->setEnabled(refreshing
                                        || (rows && widgets::checkIntervalText(m_refresh->intervalText()).acceptable));
    // While the automatic refresh runs, what would start a second pass stays
    // disabled, however often the window is activated meanwhile.
    m_refresh->txtInterval()->setEnabled(rows && !refreshing);
    m_find->setEnabled(rows && !refreshing);
    m_type->setEnabled(!refreshing);
    m_status->setEnabled(!refreshing);
    m_listButton->setEnabled(!refreshing && !m_listing);
    userMenu::enableClear(host(), !refreshing);
}

void UserConnectionsWindow::setPassControlsEnabled(bool enabled)
{
    m_find->setEnabled(enabled);
    m_type->setEnabled(enabled);
    m_status->setEnabled(enabled);
    m_listButton->setEnabled(enabled);
    setClearEntryEnabled(enabled);
}

void UserConnectionsWindow::setClearEntryEnabled(bool enabled)
{
    if (isActiveView())
        userMenu::enableClear(host(), enabled);
}

// ---- handlers ----------------------------------------------------------------------

void UserConnectionsWindow::listConnections()
{
    m_refresh->txtInterval()->setEnabled(false);
    m_refresh->btnRefresh()->setEnabled(false);
    setPassControlsEnabled(false);
    QPointer<UserConnectionsWindow> self(this);
    refreshUsers();
    if (!self || isUnloaded())
        return;
    m_refresh->holdTimer();
    setActiveControls();
    saveFilterSettings(context().registry(), m_type->currentText(), m_status->currentText());
    host().enableSaveCopy(m_refresh->buttonCaption());
}

void UserConnectionsWindow::toggleRefresh()
{
    m_refresh->toggle();
    m_refresh->isRefreshing() ? refreshStarted() : refreshStopped();
}

void UserConnectionsWindow::refreshStarted()
{
    setPassControlsEnabled(false);
    m_refresh->holdTimer();  // armed again at the end of the pass
    startRefresh();
}

void UserConnectionsWindow::refreshStopped()
{
    // "&Stop" ends a running pass at once: its rows are not put in.
    stopPass();
    setPassControlsEnabled(true);
    m_refresh->txtInterval()->setEnabled(true);
}

void UserConnectionsWindow::refreshTick()
{
    // A tick never starts a pass while one runs; the running pass arms the
    // timer again when it ends.
    if (m_listing)
        return;
    m_refresh->holdTimer();
    startRefresh();
}

void UserConnectionsWindow::findUser(const QString& text)
{
    const int row = m_list->findRowStartingWith(kUserColumn, text, Qt::CaseInsensitive);
    if (row < 0)
        return;
    m_list->setMultiSelect(false);
    m_list->setSelectedRow(row);
    m_list->ensureVisible(row);
}

void UserConnectionsWindow::sortByClickedColumn(int col)
{
    Qt::SortOrder order = Qt::AscendingOrder;
    if (col == m_lastSortColumn)
        order = m_list->sortOrder() == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    else
        m_lastSortColumn = col;
    m_list->sortByColumn(col, order);
}

void UserConnectionsWindow::showRowCount()
{
    m_statusBar->showMessage(tr("Total connections: ") + QString::number(m_list->rowCount()));
}

void UserConnectionsWindow::connectionRowsRemoved()
{
    showRowCount();
}

// ---- listing passes ----------------------------------------------------------------

bool UserConnectionsWindow::yieldDuringPass()
{
    const qint64 now = passClock().elapsed();
    if (now - m_lastYield < kYieldEveryMs)
        return true;
    QPointer<UserConnectionsWindow> self(this);
    QCoreApplication::processEvents();
    if (!self || isUnloaded())
        return false;
    m_lastYield = passClock().elapsed();
    return true;
}

bool UserConnectionsWindow::putRows(const std::vector<ConnectionPassRow>& rows, std::vector<bool>* met)
{
    // Thousands of rows go in slices: between them the window repaints and
    // answers, as it does while the connections are read.
    QPointer<UserConnectionsWindow> self(this);
    m_lastYield = passClock().elapsed();
    size_t done = 0;
    for (const ConnectionPassRow& row : rows) {
        m_rows->put(row.number, row.cells);
        if (met)
            (*met)[row.number] = true;
        if (++done % kRowsBetweenClockLooks == 0 && !(self && yieldDuringPass()))
            return false;
    }
    return self && !isUnloaded();
}

ConnectionPassRequest UserConnectionsWindow::passRequest(const QString& typeFilter, const QString& statusFilter) const
{
    ConnectionPassRequest request;
    request.server = m_server;
    request.columns = m_columns;
    request.ownNumber = m_ownNumber;
    request.typeFilter = typeFilter;
    request.statusFilter = statusFilter;
    return request;
}

void UserConnectionsWindow::listInitially(const ConnectionPass& pass, const QString& typeFilter,
                                          const QString& statusFilter)
{
    if (m_listing)
        return;
    m_listing = true;
    QPointer<UserConnectionsWindow> self(this);
    // The opening's filters hold for its whole pass.
    selectEntry(m_type, typeFilter);
    selectEntry(m_status, statusFilter);
    m_list->beginUpdate();
    putRows(pass.rows, nullptr);
    if (!self)
        return;
    m_list->endUpdate();
    m_listing = false;
}

bool UserConnectionsWindow::startRefresh()
{
    if (m_listing || isUnloaded())
        return false;
    m_listing = true;
    m_passCompleted = false;
    setCursor(Qt::WaitCursor);
    m_statusBar->showMessage(tr("Refreshing...Please wait..."));

    // The reading thread holds the context, and what it reads is a plain value.
    core::AppContext* context = &this->context();
    const ConnectionPassRequest request = passRequest(m_type->currentText(), m_status->currentText());
    startReadingServers<ConnectionPass>(
        {m_server},
        [context, request](const QString&, const nw::ReadStop& stop) {
            return readConnectionPass(*context, request, stop);
        },
        [this](int, ConnectionPass& pass) { applyRefresh(pass); }, [this](ReadEnd end) { endRefresh(end); });
    return true;
}

void UserConnectionsWindow::applyRefresh(const ConnectionPass& pass)
{
    QPointer<UserConnectionsWindow> self(this);
    if (pass.opened != nw::status::Success || !pass.complete) {
        m_list->sortByColumn(m_list->sortColumn(), m_list->sortOrder());
        return;
    }
    // A failed close shows a message, which lets events run.
    nw::reportCloseFailure(context(), pass.closed);
    if (!self || isUnloaded())
        return;
    std::vector<bool> met(0x10000, false);
    m_list->beginUpdate();
    if (!putRows(pass.rows, &met)) {
        if (self)
            m_list->endUpdate();
        return;
    }
    m_rows->removeUnmet(met);
    // One sort at the end, by the column and order in force.
    m_list->sortByColumn(m_list->sortColumn(), m_list->sortOrder());
    m_list->endUpdate();
}

void UserConnectionsWindow::endRefresh(ReadEnd end)
{
    m_listing = false;
    m_passCompleted = end == ReadEnd::Completed && !isUnloaded();
    if (end != ReadEnd::Closed && !isUnloaded()) {
        showRowCount();
        if (m_refresh->isRefreshing())
            m_refresh->resumeTimer();
        else
            m_refresh->holdTimer();
        unsetCursor();
    }
    Q_EMIT passFinished();
}

bool UserConnectionsWindow::refreshUsers()
{
    if (!startRefresh())
        return false;
    QPointer<UserConnectionsWindow> self(this);
    QEventLoop loop;
    connect(this, &UserConnectionsWindow::passFinished, &loop, &QEventLoop::quit);
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    if (m_listing)
        loop.exec();
    // A window closed during the pass did not finish it.
    return self && m_passCompleted && !isUnloaded();
}

void UserConnectionsWindow::stopPass()
{
    if (m_listing && isReadingServers())
        stopReadingServers();
}

// ---- size --------------------------------------------------------------------------

QSize UserConnectionsWindow::minimumFrameSize() const
{
    // The designed minimum, but never so small that the list has no room for
    // a few rows under the controls of this desktop's font.
    const QSize designed = ViewWindow::minimumFrameSize();
    const QWidget* outer = frame() ? static_cast<const QWidget*>(frame()) : this;
    const int chrome = outer->height() - height();
    const int controls =
        qMax(m_refresh->sizeHint().height() + m_find->sizeHint().height(), m_filter->sizeHint().height());
    const int rows = 5 * m_list->treeView()->fontMetrics().height();
    const int needed =
        chrome + controls + rows + m_statusBar->sizeHint().height() + 3 * texts::twipsToPixels(kMargin, logicalDpiY());
    return {designed.width(), qMax(designed.height(), needed)};
}

void UserConnectionsWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_resizing)
        return;
    QWidget* outer = settings::WindowState::frameOf(this);
    if (outer->isMinimized())
        return;
    if (!outer->isMaximized() && outer != this) {
        const QSize minimum = minimumFrameSize();
        if (outer->width() < minimum.width() || outer->height() < minimum.height()) {
            m_resizing = true;
            outer->resize(qMax(outer->width(), minimum.width()), qMax(outer->height(), minimum.height()));
            m_resizing = false;
        }
    }
    layoutControls();
}

void UserConnectionsWindow::layoutControls()
{
    const double dpiX = logicalDpiX();
    const double dpiY = logicalDpiY();
    const int margin = texts::twipsToPixels(kMargin, dpiX);
    QWidget* outer = settings::WindowState::frameOf(this);

    // Left: the refresh frame with the find box under it; right: the filter frame.
    const QSize refreshHint = m_refresh->sizeHint();
    m_refresh->setGeometry(margin, 0, refreshHint.width(), refreshHint.height());
    const QSize filterHint = m_filter->sizeHint();
    const int filterLeft = m_refresh->geometry().right() + margin;
    m_filter->setGeometry(filterLeft, 0, qMax(filterHint.width(), width() - filterLeft - margin), filterHint.height());
    const QSize labelHint = m_findLabel->sizeHint();
    const int findHeight = m_find->sizeHint().height();
    const int findTop = m_refresh->geometry().bottom() + margin;
    m_findLabel->setGeometry(margin, findTop + (findHeight - labelHint.height()) / 2, labelHint.width(),
                             labelHint.height());
    m_find->setGeometry(m_findLabel->geometry().right() + margin, findTop,
                        qMax(0, refreshHint.width() - labelHint.width() - margin), findHeight);

    const int statusHeight = m_statusBar->sizeHint().height();
    m_statusBar->setGeometry(0, height() - statusHeight, width(), statusHeight);

    // The list takes what the designed allowances leave, never reaching up
    // into the controls above it.
    const int controlsBottom = qMax(m_find->geometry().bottom(), m_filter->geometry().bottom());
    const int outerHeight = outer == this ? height() : outer->height();
    const int outerWidth = outer == this ? width() : outer->width();
    const int designedHeight = outerHeight - texts::twipsToPixels(kListHeightAllowance, dpiY);
    const int top = controlsBottom + margin;
    const int listHeight = qMin(designedHeight, height() - top - statusHeight);
    const int listWidth = qMin(outerWidth - texts::twipsToPixels(kListWidthAllowance, dpiX), width() - 2 * margin);
    m_list->setGeometry(margin, top, qMax(0, listWidth), qMax(0, qMax(listHeight, height() - top - statusHeight)));
}

// ---- opening -----------------------------------------------------------------------

UserConnectionsWindow* findUserConnections(views::ViewHost& host, const QString& server)
{
    const QString caption = UserConnectionsWindow::captionFor(server);
    return views::findView<UserConnectionsWindow>(
        host, [&caption](const UserConnectionsWindow& form) { return form.windowTitle() == caption; });
}

void openUserConnections(views::ViewHost& host, const OpeningOptions& options)
{
    if (host.serverCount() == 0)
        return;
    const QStringList servers = host.selectedServers();
    for (const QString& server : servers) {
        if (UserConnectionsWindow* open = findUserConnections(host, server)) {
            views::bringToFront(host, open);
            return;
        }
    }

    core::AppContext& context = host.context();
    settings::RegistryStore& store = context.registry();
    if (options.createSettingsKey && !store.keyExists(settings::Hive::CurrentUser, userConnectionsKeyPath()))
        settings::createUserConnectionsKey(store);
    ConnectionSettings stored = readConnectionSettings(store);
    if (options.allowChooser && stored.chooserAtOpening()) {
        showColumnChooser(context, host.mdiArea() ? host.mdiArea()->window() : nullptr, true);
        stored = readConnectionSettings(store);  // what was saved just now applies at once
    } else {
        context.values.filterAtStartup = false;
    }
    const QString typeFilter = knownFilter(typeFilterEntries(), options.typeFilter.value_or(stored.typeFilter));
    const QString statusFilter = knownFilter(statusFilterEntries(), options.statusFilter.value_or(stored.statusFilter));

    views::OpeningScope opening(host, false);
    // The servers are read side by side; each window is made and filled in
    // the order of the selection, once its server was read. A server named
    // twice gets one window.
    QStringList toRead;
    for (const QString& server : servers) {
        if (!toRead.contains(server))
            toRead.append(server);
    }
    const ColumnChoice columns = stored.columns();
    QPointer<UserConnectionsWindow> last;
    nw::ServerReads reads;
    nw::startServerReads<ConnectionPass>(
        reads, static_cast<int>(toRead.size()), context.values.parallelServers,
        [&context, toRead, columns, typeFilter, statusFilter](int index, const nw::ReadStop& stop) {
            ConnectionPassRequest request;
            request.server = toRead.at(index);
            request.columns = columns;
            request.learnOwnNumber = true;
            request.requireAuthentication = true;
            request.typeFilter = typeFilter;
            request.statusFilter = statusFilter;
            return readConnectionPass(context, request, stop);
        },
        [&](int index, ConnectionPass& pass) {
            const QString& server = toRead.at(index);
            if (findUserConnections(host, server) || pass.opened != nw::status::Success)
                return;
            if (pass.authenticated != nw::status::Success) {
                context.messages().inform(
                    UserConnectionsWindow::tr(
                        "You are not authenticated to the selected tree.  Please authenticate and try again."),
                    UserConnectionsWindow::tr("Not Authenticated"));
                return;
            }
            QPointer<UserConnectionsWindow> form =
                views::createView<UserConnectionsWindow>(host, server, pass.ownNumber, columns);
            form->setCursor(Qt::WaitCursor);
            selectEntry(form->cmbConnType(), typeFilter);
            selectEntry(form->cmbStatus(), statusFilter);
            form->listInitially(pass, typeFilter, statusFilter);
            if (!form)
                return;
            nw::reportCloseFailure(context, pass.closed);
            if (!form)
                return;
            form->showRowCount();
            form->unsetCursor();
            form->fitColumnsOnFirstOpening();
            last = form;
        });
    if (reads.isRunning()) {
        QEventLoop loop;
        QObject::connect(&reads, &nw::ServerReads::finished, &loop, &QEventLoop::quit);
        loop.exec();
    }
    if (last && !last->isUnloaded()) {
        last->setActiveControls();
        last->lstvwUsers()->sortByColumn(kNumberColumn, Qt::AscendingOrder);
    }
}

void chooseColumns(views::ViewHost& host)
{
    showColumnChooser(host.context(), host.mdiArea() ? host.mdiArea()->window() : nullptr, false);
}

}  // namespace connections

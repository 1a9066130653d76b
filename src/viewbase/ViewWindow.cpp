#include "viewbase/ViewWindow.h"

#include "core/ServerReachability.h"
#include "export/WidgetExport.h"
#include "settings/Registry.h"
#include "text/Twips.h"
#include "widgets/FlexGrid.h"
#include "widgets/RefreshFrame.h"
#include "widgets/ReportListView.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>
#include <QEvent>
#include <QResizeEvent>

namespace views {

namespace {

// How long a resize of the window settles before the columns follow it: a
// drag of the frame's edge refits once, not at every step.
constexpr int kRefitDelay = 120;

}  // namespace

ViewWindow::ViewWindow(ViewHost& host, ViewDesign design, QWidget* parent)
    : QWidget(parent)
    , m_host(host)
    , m_design(std::move(design))
    , m_state(host.context(), settings::rootKeyPath(m_design.keyName), m_design.defaults)
{
    setObjectName(m_design.objectName);
    // The frame owns the view; closing it deletes both.
    setAttribute(Qt::WA_DeleteOnClose, false);
}

// Qt drops the frame's event filter when the view goes away.
ViewWindow::~ViewWindow() = default;

QMdiSubWindow* ViewWindow::frame() const
{
    return qobject_cast<QMdiSubWindow*>(m_frame.data());
}

void ViewWindow::attachFrame(QMdiSubWindow* frame)
{
    m_frame = frame;
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->setWindowTitle(windowTitle());
    frame->installEventFilter(this);
    QMdiArea* area = m_host.mdiArea();
    connect(area, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* active) {
        if (m_unloaded || !this->frame())
            return;
        if (active == m_frame)
            activate();
        else if (active && m_active)
            deactivate();  // another child window took over; a lost focus (null) is not one
    });
}

void ViewWindow::load()
{
    if (m_loaded || m_unloaded)
        return;
    m_firstOpening = !context().registry().keyExists(settings::Hive::CurrentUser, m_state.keyPath());
    m_state.restore(this);
    if (m_firstOpening)
        cascadeFromPreviousView();
    updateMinimumSize();
    if (!m_readingBox)
        setReadingStatusBar(findChild<QStatusBar*>());
    // Attempts are recorded on reading threads: the line is redrawn here, on
    // the window thread.
    connect(
        &context().reachability(), &core::ServerReachability::changed, this,
        [this](const QString& server) {
            if (!m_unloaded && m_viewServers.contains(server, Qt::CaseInsensitive))
                showUnreachableServers();
        },
        Qt::QueuedConnection);
    loadContents();
    m_loaded = true;
}

void ViewWindow::fitColumnsOnFirstOpening()
{
    if (m_columnsFitted || m_unloaded || hasStoredColumnWidths())
        return;
    fitColumnsOfOpening(0);
}

QList<QWidget*> ViewWindow::savedTables() const
{
    return exporting::tablesOf(this);
}

bool ViewWindow::listsNothing() const
{
    bool tables = false;
    for (const widgets::FlexGrid* grid : findChildren<widgets::FlexGrid*>()) {
        tables = true;
        if (grid->model().rows() > grid->model().fixedRows())
            return false;
    }
    for (const widgets::ReportListView* list : findChildren<widgets::ReportListView*>()) {
        tables = true;
        if (list->rowCount() > 0)
            return false;
    }
    return tables;
}

void ViewWindow::fitColumnsOfOpening(int firstNewColumn)
{
    // A fit to the headings alone (every server down, nothing listed) would
    // be stored and cut every later value: the designed widths stay until
    // something is listed.
    if (m_unloaded || listsNothing())
        return;
    const bool everyColumn = (!m_columnsFitted && !hasStoredColumnWidths()) || m_columnsFollowWidth;
    m_columnsFitted = true;
    if (everyColumn) {
        fitEveryColumn();
        return;
    }
    if (QLayout* own = layout())
        own->activate();
    fitAddedColumns(firstNewColumn);
}

void ViewWindow::refitColumns()
{
    if (m_unloaded || listsNothing())
        return;
    m_columnsFitted = true;
    fitEveryColumn();
}

void ViewWindow::fitEveryColumn()
{
    if (m_fittingColumns)
        return;
    watchColumnSizing();
    m_columnsFollowWidth = true;
    // The tables get their sizes from a pending layout pass; the fit measures
    // against the room they will have.
    if (QLayout* own = layout())
        own->activate();
    QPointer<ViewWindow> alive(this);
    m_fittingColumns = true;
    fitColumns();
    if (alive)
        m_fittingColumns = false;
}

void ViewWindow::watchColumnSizing()
{
    for (widgets::FlexGrid* grid : findChildren<widgets::FlexGrid*>()) {
        connect(grid, &widgets::FlexGrid::columnSizedByHand, this, &ViewWindow::stopFollowingWidth,
                Qt::UniqueConnection);
        connect(grid, &widgets::FlexGrid::fitRequested, this, &ViewWindow::refitColumns, Qt::UniqueConnection);
    }
    for (widgets::ReportListView* list : findChildren<widgets::ReportListView*>()) {
        connect(list, &widgets::ReportListView::columnSizedByHand, this, &ViewWindow::stopFollowingWidth,
                Qt::UniqueConnection);
        connect(list, &widgets::ReportListView::fitRequested, this, &ViewWindow::refitColumns, Qt::UniqueConnection);
    }
}

void ViewWindow::stopFollowingWidth()
{
    m_columnsFollowWidth = false;
}

void ViewWindow::cascadeFromPreviousView()
{
    QMdiSubWindow* own = frame();
    QMdiArea* area = m_host.mdiArea();
    if (!own || !area)
        return;
    QMdiSubWindow* previous = nullptr;
    for (QMdiSubWindow* other : area->subWindowList(QMdiArea::CreationOrder)) {
        if (other != own && !other->isHidden() && !other->isMinimized() && !other->isMaximized())
            previous = other;
    }
    if (!previous)
        return;
    // One title bar down and across; back to the top left corner when the
    // next step would leave the area.
    const int inner = previous->widget() ? previous->widget()->height() : previous->height();
    const int step = std::max(previous->height() - inner, 20);
    QPoint next = previous->pos() + QPoint(step, step);
    if (next.x() + own->width() / 2 > area->viewport()->width()
        || next.y() + own->height() / 2 > area->viewport()->height())
        next = QPoint(0, 0) + QPoint(step / 2, step / 2);
    own->move(next);
}

void ViewWindow::unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    // Whatever is still being read is not applied to a window going away.
    if (m_reads)
        m_reads->cancel();
    if (m_refresh)
        m_refresh->holdTimer();
    if (m_active)
        deactivate();
    if (!m_loaded)
        return;
    unloadContents();
    m_state.save(this);
}

void ViewWindow::closeView()
{
    unload();
    if (QMdiSubWindow* outer = frame())
        outer->close();
    else
        close();
}

void ViewWindow::activate()
{
    m_active = true;
    activated();
}

void ViewWindow::deactivate()
{
    m_active = false;
    deactivated();
}

void ViewWindow::activated()
{
    m_host.enableSaveCopy(m_refresh ? m_refresh->buttonCaption() : widgets::RefreshFrame::beginCaption());
}

QSize ViewWindow::minimumFrameSize() const
{
    const QMdiSubWindow* outer = frame();
    const QWidget* reference = outer ? static_cast<const QWidget*>(outer) : this;
    return {texts::twipsToPixels(m_design.minimumTwips.width(), reference->logicalDpiX()),
            texts::twipsToPixels(m_design.minimumTwips.height(), reference->logicalDpiY())};
}

void ViewWindow::updateMinimumSize()
{
    if (QMdiSubWindow* outer = frame())
        outer->setMinimumSize(minimumFrameSize());
}

// ---- reading servers side by side ------------------------------------------

void ViewWindow::setReadingStatusBar(QStatusBar* bar)
{
    if (!bar || m_readingBox)
        return;
    auto* box = new QWidget(bar);
    box->setObjectName(QStringLiteral("readingProgress"));
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    m_readingLabel = new QLabel(box);
    m_readingLabel->setObjectName(QStringLiteral("lblReading"));
    m_stopReading = new QPushButton(tr("Stop"), box);
    m_stopReading->setObjectName(QStringLiteral("btnStopReading"));
    m_stopReading->setToolTip(tr("Stop reading servers (Esc); what was read stays"));
    // A click must not take the focus from the table the user works in.
    m_stopReading->setFocusPolicy(Qt::NoFocus);
    row->addWidget(m_readingLabel);
    row->addWidget(m_stopReading);
    m_unreachableLabel = new QLabel(bar);
    m_unreachableLabel->setObjectName(QStringLiteral("lblUnreachable"));
    m_unreachableLabel->hide();
    bar->addPermanentWidget(m_unreachableLabel);
    bar->addPermanentWidget(box);
    box->hide();
    m_readingBox = box;
    m_readingBar = bar;
    bar->installEventFilter(this);
    // A message longer than the bar is cut where the bar ends: the whole of
    // it is at hand as the bar's tool tip.
    connect(bar, &QStatusBar::messageChanged, bar, &QWidget::setToolTip);
    showUnreachableServers();
    connect(m_stopReading, &QPushButton::clicked, this, &ViewWindow::stopReadingServers);
}

void ViewWindow::noteServersRead(const QStringList& servers)
{
    for (const QString& server : servers) {
        if (!server.isEmpty() && !m_viewServers.contains(server, Qt::CaseInsensitive))
            m_viewServers.append(server);
    }
    showUnreachableServers();
}

void ViewWindow::showUnreachableServers()
{
    if (!m_unreachableLabel)
        return;
    const core::ServerReachability& reachability = context().reachability();
    const QStringList down = reachability.unreachableAmong(m_viewServers);
    if (down.isEmpty()) {
        m_unreachableText.clear();
        m_unreachableLabel->clear();
        m_unreachableLabel->setToolTip({});
        m_unreachableLabel->hide();
        return;
    }
    // A long list would push the progress out of the bar: a few names, the
    // rest counted, and every one of them in the tool tip.
    constexpr int kNamesShown = 4;
    QString names = down.mid(0, kNamesShown).join(QStringLiteral(", "));
    if (down.size() > kNamesShown)
        names += tr(" and %n more", nullptr, static_cast<int>(down.size() - kNamesShown));
    m_unreachableText = tr("Could not reach: %1").arg(names);
    fitUnreachableText();
    QStringList tips;
    for (const QString& server : down) {
        if (const auto attempt = reachability.lastAttempt(server))
            tips.append(server + QStringLiteral(": ") + core::attemptText(*attempt));
    }
    m_unreachableLabel->setToolTip(tips.join(QLatin1Char('\n')));
    m_unreachableLabel->show();
}

void ViewWindow::fitUnreachableText()
{
    if (!m_unreachableLabel || !m_readingBar || m_unreachableText.isEmpty())
        return;
    const int room = m_readingBar->width() * 2 / 5;
    m_unreachableLabel->setText(
        m_unreachableLabel->fontMetrics().elidedText(m_unreachableText, Qt::ElideRight, std::max(room, 0)));
}

bool ViewWindow::isReadingServers() const
{
    return m_reads && m_reads->isRunning();
}

void ViewWindow::stopReadingServers()
{
    if (!isReadingServers() || m_reads->isStopping())
        return;
    m_reads->stop();
    if (m_readingBox) {
        m_readingLabel->setText(tr("Stopping..."));
        m_stopReading->setEnabled(false);
    }
}

void ViewWindow::beginServerReads(const QStringList& servers, nw::ServerReads::Read read, nw::ServerReads::Apply apply,
                                  std::function<void(ReadEnd)> done)
{
    const int count = static_cast<int>(servers.size());
    if (m_unloaded)
        return;
    if (!m_reads) {
        m_reads = new nw::ServerReads(this);
        connect(m_reads, &nw::ServerReads::progress, this, &ViewWindow::showReadingProgress);
        connect(m_reads, &nw::ServerReads::finished, this, &ViewWindow::endReadingProgress);
    }
    if (m_reads->isRunning()) {
        m_readsDone = {};
        m_reads->cancel();
    }
    if (!m_stopShortcut) {
        m_stopShortcut = new QShortcut(QKeySequence(Qt::Key_Escape), this);
        m_stopShortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(m_stopShortcut, &QShortcut::activated, this, &ViewWindow::stopReadingServers);
    }
    m_readsDone = std::move(done);
    for (const QString& server : servers) {
        if (!server.isEmpty() && !m_viewServers.contains(server, Qt::CaseInsensitive))
            m_viewServers.append(server);
    }
    const bool several = count > 1;
    m_stopShortcut->setEnabled(several);
    if (m_readingBox) {
        m_readingBox->setVisible(several);
        m_stopReading->setVisible(true);
        m_stopReading->setEnabled(true);
        showReadingProgress(0, count);
    }
    // A server named twice (rows of the utilization monitor may) is read in
    // order, as one at a time: its answers may change from read to read.
    m_reads->start(count, context().values.parallelServers, std::move(read), std::move(apply),
                   nw::ServerReads::sameServerOrder(servers));
}

void ViewWindow::showReadingProgress(int read, int count)
{
    if (m_readingBox && !m_reads->isStopping())
        m_readingLabel->setText(tr("Reading %1 of %2 servers").arg(read).arg(count));
}

void ViewWindow::endReadingProgress(nw::ServerReads::End end)
{
    if (m_stopShortcut)
        m_stopShortcut->setEnabled(false);
    if (m_readingBox) {
        if (end == nw::ServerReads::End::Stopped) {
            // What was read before the stop stays in the window; the bar says so.
            m_readingLabel->setText(
                tr("Stopped: %1 of %2 servers read").arg(m_reads->appliedCount()).arg(m_reads->count()));
            m_stopReading->setVisible(false);
        } else {
            m_readingBox->hide();
        }
    }
    showUnreachableServers();
    std::function<void(ReadEnd)> done = std::exchange(m_readsDone, {});
    if (!done)
        return;
    done(end == nw::ServerReads::End::Completed ? ReadEnd::Completed
         : end == nw::ServerReads::End::Stopped ? ReadEnd::Stopped
                                                : ReadEnd::Closed);
}

ViewWindow::ReadEnd ViewWindow::runServerReads(const QStringList& servers, nw::ServerReads::Read read,
                                               nw::ServerReads::Apply apply)
{
    if (m_unloaded)
        return ReadEnd::Closed;
    QPointer<ViewWindow> self(this);
    beginServerReads(servers, std::move(read), std::move(apply), {});
    ReadEnd result = ReadEnd::Closed;
    QEventLoop loop;
    connect(m_reads, &nw::ServerReads::finished, &loop, [&result, &loop](nw::ServerReads::End end) {
        result = end == nw::ServerReads::End::Completed ? ReadEnd::Completed
                 : end == nw::ServerReads::End::Stopped ? ReadEnd::Stopped
                                                        : ReadEnd::Closed;
        loop.quit();
    });
    connect(m_reads, &QObject::destroyed, &loop, &QEventLoop::quit);
    if (m_reads->isRunning())
        loop.exec();
    if (!self || m_unloaded)
        return ReadEnd::Closed;
    if (m_reads->isRunning()) {
        // The loop was left because the application is ending.
        m_reads->cancel();
        return ReadEnd::Closed;
    }
    return result;
}

void ViewWindow::setRefreshFrame(widgets::RefreshFrame* refresh)
{
    m_refresh = refresh;
    connect(refresh, &widgets::RefreshFrame::captionChanged, this, [this](const QString& caption) {
        if (m_active)
            m_host.enableSaveCopy(caption);
    });
}

void ViewWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_resizing)
        return;
    QMdiSubWindow* outer = frame();
    if (outer && !outer->isMinimized() && !outer->isMaximized()) {
        const QSize minimum = minimumFrameSize();
        if (outer->width() < minimum.width() || outer->height() < minimum.height()) {
            m_resizing = true;
            outer->resize(qMax(outer->width(), minimum.width()), qMax(outer->height(), minimum.height()));
            m_resizing = false;
        }
    }
    if (outer && outer->isMinimized())
        return;
    layoutContents();
    if (m_columnsFollowWidth && !m_unloaded && event->size().width() != event->oldSize().width()) {
        if (!m_refitTimer) {
            m_refitTimer = new QTimer(this);
            m_refitTimer->setSingleShot(true);
            m_refitTimer->setInterval(kRefitDelay);
            connect(m_refitTimer, &QTimer::timeout, this, [this] {
                if (m_columnsFollowWidth)
                    refitColumns();
            });
        }
        m_refitTimer->start();
    }
}

void ViewWindow::closeEvent(QCloseEvent* event)
{
    unload();
    QWidget::closeEvent(event);
}

bool ViewWindow::eventFilter(QObject* watched, QEvent* event)
{
    // The event type first: the frame also reports while it is being taken
    // apart, when it can no longer be looked at as a frame.
    if (event->type() == QEvent::Close && watched == m_frame && !m_unloaded)
        unload();
    else if (event->type() == QEvent::Resize && watched == m_readingBar)
        fitUnreachableText();
    return QWidget::eventFilter(watched, event);
}

QMdiSubWindow* frameView(ViewHost& host, ViewWindow* view)
{
    QMdiSubWindow* frame = host.mdiArea()->addSubWindow(view);
    view->attachFrame(frame);
    return frame;
}

namespace {

// Where the focus goes in a view: where it was last, else its first control
// that takes the focus, else the frame itself.
QWidget* focusTarget(QWidget* view, QMdiSubWindow* frame)
{
    if (QWidget* last = view->focusWidget(); last && view->isAncestorOf(last))
        return last;
    for (QWidget* w = view->nextInFocusChain(); w && w != view; w = w->nextInFocusChain()) {
        if (!view->isAncestorOf(w))
            break;
        if (w->isEnabled() && w->isVisibleTo(view) && (w->focusPolicy() & Qt::TabFocus))
            return w;
    }
    return frame;
}

}  // namespace

void bringToFront(ViewHost& host, QWidget* view)
{
    auto* frame = qobject_cast<QMdiSubWindow*>(settings::WindowState::frameOf(view));
    if (!frame)
        return;
    host.setOpenedView(view);
    frame->show();
    frame->raise();
    host.mdiArea()->setActiveSubWindow(frame);
    // With the main window inactive (a message box has just closed) the
    // activation comes back later and restores the focus the main window
    // remembers; it must find it in this view, or the view that had it
    // before becomes active again.
    QWidget* target = focusTarget(view, frame);
    if (!target->hasFocus())
        target->setFocus(Qt::OtherFocusReason);
}

OpeningScope::OpeningScope(ViewHost& host, bool disableToolBar) : m_host(host), m_outerView(host.openedView())
{
    m_host.setOpenedView(nullptr);
    m_host.beginOpening(disableToolBar);
}

OpeningScope::~OpeningScope()
{
    QWidget* view = m_host.openedView();
    auto* window = qobject_cast<ViewWindow*>(view);
    if (view && !(window && window->isUnloaded()) && m_host.mdiArea())
        bringToFront(m_host, view);
    m_host.setOpenedView(m_outerView);
    m_host.endOpening();
}

}  // namespace views

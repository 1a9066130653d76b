#pragma once
// Where view windows live: frames of the main window's multiple-document
// area. ViewWindow is the base of every view: it owns what each of them does
// the same way (window state in its registry key, the minimum size of its
// frame, load once and unload once, activation towards the main window, the
// refresh frame's hold on Save and Copy, reading servers side by side with
// its progress and Stop in the status bar). A view adds only its own controls
// and handlers.

#include "export/TableSource.h"
#include "netware/ServerReads.h"
#include "settings/WindowGeometry.h"
#include "settings/WindowState.h"
#include "viewbase/ViewHost.h"
#include "widgets/RefreshFrame.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QSizeF>
#include <QWidget>

#include <any>
#include <functional>

class QLabel;
class QTimer;
class QPushButton;
class QShortcut;
class QStatusBar;

namespace views {

// How a view was designed: its objectName, its registry key below the
// program's root key, its geometry on a first opening and the smallest size
// its frame may be given (both in twips).
struct ViewDesign {
    QString objectName;
    QString keyName;
    settings::WindowGeometry defaults;
    QSizeF minimumTwips;
};

class ViewWindow : public QWidget, public exporting::TableSource {
    Q_OBJECT
public:
    ViewWindow(ViewHost& host, ViewDesign design, QWidget* parent = nullptr);
    ~ViewWindow() override;

    ViewHost& host() const { return m_host; }
    core::AppContext& context() const { return m_host.context(); }
    const settings::WindowState& windowState() const { return m_state; }
    const QString& keyPath() const { return m_state.keyPath(); }
    // The frame around the view in the main window's area (null before framing).
    QMdiSubWindow* frame() const;

    // The tables File / "&Save" writes and Edit / "Copy" takes: every grid and
    // list view of the view unless it says otherwise.
    QList<QWidget*> savedTables() const override;

    bool isLoaded() const { return m_loaded; }
    // True from the start of unloading: the window is going away and takes
    // part in nothing more.
    bool isUnloaded() const { return m_unloaded; }
    bool isActiveView() const { return m_active; }
    // True when the view's registry key did not exist when it was loaded:
    // nothing of its geometry or column widths was stored yet.
    bool isFirstOpening() const { return m_firstOpening; }

    // Once its contents are in, while no column widths are stored:
    // fitColumns() runs (once). Later openings keep the widths the user stored.
    void fitColumnsOnFirstOpening();
    // For views that grow by openings (a comparison gains a server's
    // columns, whose widths are never stored): a first opening with no
    // stored widths fits every column as above; otherwise the columns from
    // firstNewColumn on are fitted, and those the user sized or stored keep
    // their widths.
    void fitColumnsOfOpening(int firstNewColumn);
    // True when the view has tables and none of them lists a row yet.
    bool listsNothing() const;
    // Fit Columns (and a double-click on a column's edge): fits every column
    // to what it lists now, sharing the view's width. From a fit on, the
    // columns are fitted again whenever the window's width changes or
    // servers are added, until the user sizes a column by hand. Nothing
    // happens while the view lists nothing.
    void refitColumns();
    // True while the columns follow the window's width (see refitColumns).
    bool columnsFollowWidth() const { return m_columnsFollowWidth; }

    // Restores the window state and builds the contents. Runs once, after the
    // window sits in its frame.
    void load();
    // Stops the view's work, writes its settings and window state. Runs once,
    // from whatever comes first: its close box, the main window shutting
    // down, or the view giving up (a failed authentication).
    void unload();
    // Unloads and closes the frame.
    void closeView();

    // The frame became the active child / another child became active.
    // Losing the application's focus is not a deactivation.
    void activate();
    void deactivate();

    // ---- Reading servers side by side -------------------------------------
    // How reading the servers of an opening or a refresh ended.
    enum class ReadEnd {
        Completed,  // every server applied
        Stopped,    // Stop or Esc: the servers read before it were applied
        Closed,     // the window went away; it may be deleted already
    };

    // Reads the servers on reading threads, up to the context's
    // parallelServers at once, and applies each result on this thread in the
    // order given: apply(index, result) for server k runs only after servers
    // 0 to k-1 were applied. `read(server, stop)` returns a plain value; it
    // runs on another thread and must not touch this window or show a
    // message. `apply` may show messages and close the window. Events run
    // meanwhile: the window repaints, moves and answers Stop. Returns when the
    // reading ended; after Closed the view must not be touched.
    template <class Result, class ReadFn, class ApplyFn>
    ReadEnd readServers(const QStringList& servers, ReadFn read, ApplyFn apply);
    // The same without waiting: `done` runs here when the reading ends (with
    // Closed when the window unloads), never after the window was destroyed.
    // A reading still under way is cancelled without calling its `done`.
    template <class Result, class ReadFn, class ApplyFn>
    void startReadingServers(const QStringList& servers, ReadFn read, ApplyFn apply, std::function<void(ReadEnd)> done);
    bool isReadingServers() const;
    // Stop and Esc: no further server is read; what was read is applied.
    void stopReadingServers();
    // The progress ("Reading 37 of 200 servers") and Stop in the status bar,
    // shown while more than one server is read (null without a status bar).
    QLabel* readingLabel() const { return m_readingLabel; }
    QPushButton* stopReadingButton() const { return m_stopReading; }

    // ---- Servers that did not answer -------------------------------------
    // Counts `servers` among the servers this view reads (readServers and
    // startReadingServers count theirs themselves) and names in the status
    // bar those whose last attempt to reach them failed. The line follows
    // every later attempt, by this view or any other.
    void noteServersRead(const QStringList& servers);
    // "Could not reach: VAULT1, VAULT2" (null without a status bar; hidden
    // while every server of the view answers). It takes at most two fifths
    // of the status bar, cut with "…", so that the view's own message (the
    // totals, a reading's result) keeps the rest.
    QLabel* unreachableLabel() const { return m_unreachableLabel; }
    // The label's whole text, however much of it shows.
    const QString& unreachableText() const { return m_unreachableText; }

protected:
    virtual void loadContents() {}
    virtual void unloadContents() {}
    // Default: Save and Copy follow the refresh frame's caption (enabled
    // when there is none).
    virtual void activated();
    virtual void deactivated() {}
    // The frame's smallest size in pixels; by default the designed minimum.
    virtual QSize minimumFrameSize() const;

    // Hooks a refresh frame up: while the view is active its caption switches
    // File/"&Save" and Edit/"Copy", and unloading stops its timer.
    void setRefreshFrame(widgets::RefreshFrame* refresh);
    widgets::RefreshFrame* refreshFrame() const { return m_refresh; }
    // Applies minimumFrameSize() to the frame again (after controls changed).
    void updateMinimumSize();
    // The status bar in which reading servers shows its progress and Stop,
    // and the servers that did not answer. Without one, load() takes the
    // view's own status bar, if it has one.
    void setReadingStatusBar(QStatusBar* bar);

    // Keeps the frame at least minimumFrameSize() when the user shrinks it
    // (not while minimized or maximized), then calls layoutContents().
    void resizeEvent(QResizeEvent* event) override;
    // Places the view's controls after a resize; nothing by default.
    virtual void layoutContents() {}
    // Sizes the view's columns to their contents; nothing by default.
    virtual void fitColumns() {}
    // Sizes the columns from firstColumn on; nothing by default.
    virtual void fitAddedColumns(int firstColumn) { Q_UNUSED(firstColumn) }
    // Whether the user's column widths were stored; by default, whether the
    // view's key existed when it was loaded. Views whose key holds more than
    // window state look for the widths themselves.
    virtual bool hasStoredColumnWidths() const { return !m_firstOpening; }

    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Shows as much of the unreachable servers' text as its share of the bar holds.
    void fitUnreachableText();

private:
    friend QMdiSubWindow* frameView(ViewHost& host, ViewWindow* view);
    ReadEnd runServerReads(const QStringList& servers, nw::ServerReads::Read read, nw::ServerReads::Apply apply);
    void beginServerReads(const QStringList& servers, nw::ServerReads::Read read, nw::ServerReads::Apply apply,
                          std::function<void(ReadEnd)> done);
    void showReadingProgress(int read, int count);
    void showUnreachableServers();
    void endReadingProgress(nw::ServerReads::End end);
    void attachFrame(QMdiSubWindow* frame);
    // A frame without stored geometry starts below and to the right of the
    // newest other frame instead of covering it at 0,0.
    void cascadeFromPreviousView();
    // Follows the tables' headings: a width set by hand ends the following
    // of the window's width, a double-click on an edge refits.
    void watchColumnSizing();
    void fitEveryColumn();
    void stopFollowingWidth();

    ViewHost& m_host;
    ViewDesign m_design;
    settings::WindowState m_state;
    // Held as a plain object: while the frame is taken apart it is no longer a
    // QMdiSubWindow, and only frame() looks at it as one.
    QPointer<QObject> m_frame;
    QPointer<widgets::RefreshFrame> m_refresh;
    bool m_loaded = false;
    bool m_unloaded = false;
    bool m_active = false;
    bool m_firstOpening = false;
    bool m_columnsFitted = false;
    bool m_columnsFollowWidth = false;
    bool m_fittingColumns = false;
    QTimer* m_refitTimer = nullptr;  // child; a resize refits once it settles
    bool m_resizing = false;

    nw::ServerReads* m_reads = nullptr;  // child; cancelled when the window unloads
    std::function<void(ReadEnd)> m_readsDone;
    QPointer<QWidget> m_readingBox;
    QLabel* m_readingLabel = nullptr;
    QPushButton* m_stopReading = nullptr;
    QShortcut* m_stopShortcut = nullptr;
    QStringList m_viewServers;  // every server this view read, each once
    QLabel* m_unreachableLabel = nullptr;
    QString m_unreachableText;
    QStatusBar* m_readingBar = nullptr;
};

namespace detail {

template <class Result, class ReadFn>
nw::ServerReads::Read anyRead(const QStringList& servers, ReadFn read)
{
    return [servers, read = std::move(read)](int index, const nw::ReadStop& stop) -> std::any {
        return std::any(read(servers.at(index), stop));
    };
}

template <class Result, class ApplyFn>
nw::ServerReads::Apply anyApply(ApplyFn apply)
{
    return [apply = std::move(apply)](int index, std::any& result) {
        if (auto* value = std::any_cast<Result>(&result))
            apply(index, *value);
    };
}

}  // namespace detail

template <class Result, class ReadFn, class ApplyFn>
ViewWindow::ReadEnd ViewWindow::readServers(const QStringList& servers, ReadFn read, ApplyFn apply)
{
    return runServerReads(servers, detail::anyRead<Result>(servers, std::move(read)),
                          detail::anyApply<Result>(std::move(apply)));
}

template <class Result, class ReadFn, class ApplyFn>
void ViewWindow::startReadingServers(const QStringList& servers, ReadFn read, ApplyFn apply,
                                     std::function<void(ReadEnd)> done)
{
    beginServerReads(servers, detail::anyRead<Result>(servers, std::move(read)),
                     detail::anyApply<Result>(std::move(apply)), std::move(done));
}

// Puts a new view into a frame of the host's area (closing the frame deletes
// both) and hooks up activation.
QMdiSubWindow* frameView(ViewHost& host, ViewWindow* view);

// Shows the view's frame, brings it to the front and makes it the active child
// with the focus in it (kept for when the main window is active again). Within
// an opening it names the view the opening ends on.
void bringToFront(ViewHost& host, QWidget* view);

// The first open view of type W (in creation order) that `match` accepts, or
// null. Windows that are unloading do not count.
template <class W>
W* findView(ViewHost& host, const std::function<bool(const W&)>& match = {})
{
    QMdiArea* area = host.mdiArea();
    if (!area)
        return nullptr;
    for (QMdiSubWindow* frame : area->subWindowList(QMdiArea::CreationOrder)) {
        auto* view = qobject_cast<W*>(frame->widget());
        if (!view)
            continue;
        if constexpr (requires { view->isUnloaded(); }) {
            if (view->isUnloaded())
                continue;
        }
        if (match && !match(*view))
            continue;
        return view;
    }
    return nullptr;
}

// A new view of type W, framed, loaded and shown.
template <class W, class... Args>
W* createView(ViewHost& host, Args&&... args)
{
    auto* view = new W(host, std::forward<Args>(args)...);
    host.setOpenedView(view);
    QMdiSubWindow* frame = frameView(host, view);
    view->load();
    frame->show();
    return view;
}

// The open view of type W, or a new one: for views that exist once.
template <class W, class... Args>
W* openView(ViewHost& host, Args&&... args)
{
    if (W* open = findView<W>(host)) {
        host.setOpenedView(open);
        return open;
    }
    return createView<W>(host, std::forward<Args>(args)...);
}

}  // namespace views

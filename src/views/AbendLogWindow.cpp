#include "views/AbendLogWindow.h"
#include "settings/SettingsKeys.h"

#include "netware/NetWareClient.h"
#include "netware/ServerSession.h"

#include "platform/Services.h"

#include "viewbase/ViewHost.h"
#include "text/Twips.h"
#include "views/AbendLog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QSet>
#include <QShortcut>
#include <QStatusBar>
#include <QTextStream>

#include <vector>

namespace views {

namespace {

// Sizes in twips, as the window was designed.
constexpr double kMinWidth = 4395;
constexpr double kMinHeight = 2640;
constexpr double kListWidthAllowance = 105;   // outer width minus the list's width
constexpr double kListHeightAllowance = 690;  // client height minus the list's height
constexpr double kMargin = 60;

const QString kStatusText = QStringLiteral("Double-Click Abend log entry to view");

ViewDesign design()
{
    return {QStringLiteral("frmAbendLogs"),
            settings::kAbendLogKeyName,
            settings::kDesignedViewGeometry,
            {kMinWidth, kMinHeight}};
}

}  // namespace

QString AbendLogWindow::captionFor(const QString& server)
{
    return QStringLiteral("Abend log for ") + server;
}

AbendLogWindow::AbendLogWindow(views::ViewHost& host, const QString& server, QWidget* parent)
    : ViewWindow(host, design(), parent)
    , m_server(new QLabel(server, this))
    , m_list(new QListWidget(this))
    , m_status(new QStatusBar(this))
{
    setWindowTitle(captionFor(server));
    m_server->setObjectName(QStringLiteral("lblAbendDates"));
    m_list->setObjectName(QStringLiteral("lstAbendDates"));
    m_status->setObjectName(QStringLiteral("StatusBar"));
    m_status->setSizeGripEnabled(false);
    m_status->showMessage(kStatusText);
    setReadingStatusBar(m_status);
    m_list->installEventFilter(this);
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { viewSelectedHalt(); });
    layoutControls();
}

AbendLogWindow::~AbendLogWindow() = default;

QString AbendLogWindow::server() const
{
    return m_server->text();
}

void AbendLogWindow::readLog()
{
    showLog(readAbendLog(context().client(), server()));
}

void AbendLogWindow::showLog(const AbendLogRead& read)
{
    m_list->clear();
    m_list->addItems(read.found ? read.dates : QStringList{kNoAbendLog});
    // A log read, or a connection made, means the server answered.
    context().reachability().record(server(), read.found || read.probe == nw::status::Success,
                                    read.found ? 0 : read.probe);
    noteServersRead({server()});
}

QStringList AbendLogWindow::selectedReport() const
{
    const QListWidgetItem* item = m_list->currentItem();
    if (!item || !item->isSelected() || item->text() == kNoAbendLog)
        return {};
    QStringList lines;
    if (!readTextLines(context().client().localPathOf(abendLogPath(server())), lines))
        return {};
    return abendReport(lines, server(), item->text());
}

QString AbendLogWindow::viewSelectedHalt()
{
    const QStringList report = selectedReport();
    if (report.isEmpty())
        return {};
    QFile file;
    const QString problem = TemporaryReports::instance().create(temporaryFolder(), QTime::currentTime(), file);
    if (!problem.isEmpty()) {
        context().messages().inform(tr("The report of this halt cannot be written: %1").arg(problem), windowTitle());
        return {};
    }
    file.setTextModeEnabled(true);  // the platform's line ends, for Notepad
    const QString path = file.fileName();
    file.write(report.join(QLatin1Char('\n')).toLatin1());
    file.write("\n");
    file.close();
    const ViewerCommand viewer = textViewerCommand(path);
    if (!context().processes().startDetached(viewer.program, viewer.arguments)) {
        context().messages().inform(tr("The viewer %1 could not be started to show the report of this halt, "
                                       "written to %2.")
                                        .arg(viewer.program, QDir::toNativeSeparators(path)),
                                    tr("Viewer Not Started"), platform::Icon::Warning);
    }
    return path;
}

void AbendLogWindow::activated()
{
    host().setSaveEnabled(false);
    host().setCopyEnabled(false);
    m_status->showMessage(kStatusText);
}

void AbendLogWindow::deactivated()
{
    // The frames hear of a new active child in the order they were made: when
    // another viewer has already taken over, it keeps Save off.
    const QMdiArea* area = host().mdiArea();
    const QMdiSubWindow* active = area ? area->activeSubWindow() : nullptr;
    if (active && qobject_cast<const AbendLogWindow*>(active->widget()))
        return;
    host().setSaveEnabled(true);
}

bool AbendLogWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            viewSelectedHalt();
            return true;
        }
    }
    return ViewWindow::eventFilter(watched, event);
}

void AbendLogWindow::layoutControls()
{
    const double dpiX = logicalDpiX();
    const double dpiY = logicalDpiY();
    const int margin = texts::twipsToPixels(kMargin, dpiX);
    QWidget* outer = settings::WindowState::frameOf(this);

    const int labelHeight = m_server->sizeHint().height();
    m_server->setGeometry(margin, margin / 2, width() - 2 * margin, labelHeight);
    const int statusHeight = m_status->sizeHint().height();
    m_status->setGeometry(0, height() - statusHeight, width(), statusHeight);

    const int outerWidth = outer == this ? width() : outer->width();
    const int listWidth = qMin(outerWidth - texts::twipsToPixels(kListWidthAllowance, dpiX), width() - 2 * margin);
    const int allowance = texts::twipsToPixels(kListHeightAllowance, dpiY);
    const int top = qMax(m_server->geometry().bottom() + margin / 2, allowance - statusHeight);
    m_list->setGeometry(margin, top, qMax(0, listWidth), qMax(0, height() - top - statusHeight));
}

void AbendLogWindow::resizeEvent(QResizeEvent* event)
{
    ViewWindow::resizeEvent(event);
    layoutControls();
}

namespace {

AbendLogWindow* openViewerOf(views::ViewHost& host, const QString& server)
{
    const QString caption = AbendLogWindow::captionFor(server);
    return findView<AbendLogWindow>(host,
                                    [&caption](const AbendLogWindow& form) { return form.windowTitle() == caption; });
}

// What one server's turn in an opening gave.
struct AbendTurn {
    bool viewerOpen = false;  // its viewer was open: only brought to the front
    AbendLogRead log;
};

}  // namespace

void openAbendLogs(views::ViewHost& host)
{
    if (host.serverCount() == 0)
        return;
    views::OpeningScope opening(host, false);
    const QStringList servers = host.selectedServers();
    QSet<QString> viewerOpen;
    int firstNew = -1;
    for (int i = 0; i < servers.size(); ++i) {
        if (openViewerOf(host, servers.at(i)))
            viewerOpen.insert(servers.at(i));
        else if (firstNew < 0)
            firstNew = i;
    }
    if (firstNew < 0) {
        for (const QString& server : servers) {
            if (AbendLogWindow* open = openViewerOf(host, server))
                bringToFront(host, open);
        }
        return;
    }

    // The first new viewer reads the logs and shows the progress; the
    // others are made as their turn comes, so that they stack in the
    // servers' order as when one log was read after another.
    QPointer<AbendLogWindow> reader = createView<AbendLogWindow>(host, servers.at(firstNew));
    nw::NetWareClient* client = &host.context().client();
    std::vector<QPointer<QShortcut>> stops;
    reader->readServers<AbendTurn>(
        servers,
        [client, viewerOpen](const QString& server, const nw::ReadStop&) {
            AbendTurn turn;
            turn.viewerOpen = viewerOpen.contains(server);
            if (!turn.viewerOpen)
                turn.log = readAbendLog(*client, server);
            return turn;
        },
        [&host, &servers, &stops, reader, firstNew](int index, AbendTurn& turn) {
            const QString& server = servers.at(index);
            AbendLogWindow* viewer = index == firstNew ? reader.data() : openViewerOf(host, server);
            if (!viewer && !turn.viewerOpen) {
                viewer = createView<AbendLogWindow>(host, server);
                // Esc in any viewer of the opening stops it, not only in the first.
                auto* stop = new QShortcut(QKeySequence(Qt::Key_Escape), viewer);
                stop->setContext(Qt::WidgetWithChildrenShortcut);
                QObject::connect(stop, &QShortcut::activated, viewer, [reader] {
                    if (reader)
                        reader->stopReadingServers();
                });
                stops.emplace_back(stop);
                viewer->showLog(turn.log);
            } else if (viewer && index == firstNew) {
                viewer->showLog(turn.log);
            }
            if (viewer)
                bringToFront(host, viewer);
        });
    // Once the logs are in, Esc in those viewers is theirs again.
    for (const QPointer<QShortcut>& stop : stops)
        delete stop.data();
}

}  // namespace views

#include "views/AbendLogForm.h"

#include "netware/NetWareClient.h"
#include "netware/ServerSession.h"

#include "platform/Services.h"

#include "viewbase/ViewHost.h"
#include "settings/Twips.h"
#include "views/AbendLog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTextStream>

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
    return {QStringLiteral("frmAbendLogs"), QStringLiteral("AbendForm"), {0, 0, 7000, 8040}, {kMinWidth, kMinHeight}};
}

}  // namespace

QString AbendLogForm::captionFor(const QString& server)
{
    return QStringLiteral("Abend log for ") + server;
}

AbendLogForm::AbendLogForm(views::ViewHost& host, const QString& server, QWidget* parent)
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
    m_list->installEventFilter(this);
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { viewSelectedHalt(); });
    layoutControls();
}

AbendLogForm::~AbendLogForm() = default;

QString AbendLogForm::server() const
{
    return m_server->text();
}

void AbendLogForm::readLog()
{
    m_list->clear();
    QStringList lines;
    if (!readTextLines(context().client().localPathOf(abendLogPath(server())), lines)) {
        m_list->addItem(kNoAbendLog);
        // No log and a server that does not answer read the same in the
        // list: a connection tried tells them apart in the status bar.
        nw::ServerSession probe(context(), server());
        probe.open();
        probe.closeQuietly();
        noteServersRead({server()});
        return;
    }
    // The log came from the server: it answered.
    context().reachability().record(server(), true);
    noteServersRead({server()});
    m_list->addItems(abendDates(lines, server()));
}

QStringList AbendLogForm::selectedReport() const
{
    const QListWidgetItem* item = m_list->currentItem();
    if (!item || !item->isSelected() || item->text() == kNoAbendLog)
        return {};
    QStringList lines;
    if (!readTextLines(context().client().localPathOf(abendLogPath(server())), lines))
        return {};
    return abendReport(lines, server(), item->text());
}

QString AbendLogForm::viewSelectedHalt()
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
    file.setTextModeEnabled(true);   // the platform's line ends, for Notepad
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

void AbendLogForm::activated()
{
    host().setSaveEnabled(false);
    host().setCopyEnabled(false);
    m_status->showMessage(kStatusText);
}

void AbendLogForm::deactivated()
{
    // The frames hear of a new active child in the order they were made: when
    // another viewer has already taken over, it keeps Save off.
    const QMdiArea* area = host().mdiArea();
    const QMdiSubWindow* active = area ? area->activeSubWindow() : nullptr;
    if (active && qobject_cast<const AbendLogForm*>(active->widget()))
        return;
    host().setSaveEnabled(true);
}

bool AbendLogForm::eventFilter(QObject* watched, QEvent* event)
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

void AbendLogForm::layoutControls()
{
    const double dpiX = logicalDpiX();
    const double dpiY = logicalDpiY();
    const int margin = settings::twipsToPixels(kMargin, dpiX);
    QWidget* outer = settings::WindowState::frameOf(this);

    const int labelHeight = m_server->sizeHint().height();
    m_server->setGeometry(margin, margin / 2, width() - 2 * margin, labelHeight);
    const int statusHeight = m_status->sizeHint().height();
    m_status->setGeometry(0, height() - statusHeight, width(), statusHeight);

    const int outerWidth = outer == this ? width() : outer->width();
    const int listWidth = qMin(outerWidth - settings::twipsToPixels(kListWidthAllowance, dpiX), width() - 2 * margin);
    const int allowance = settings::twipsToPixels(kListHeightAllowance, dpiY);
    const int top = qMax(m_server->geometry().bottom() + margin / 2, allowance - statusHeight);
    m_list->setGeometry(margin, top, qMax(0, listWidth), qMax(0, height() - top - statusHeight));
}

void AbendLogForm::resizeEvent(QResizeEvent* event)
{
    ViewWindow::resizeEvent(event);
    layoutControls();
}

void openAbendLogs(views::ViewHost& host)
{
    if (host.serverCount() == 0)
        return;
    views::OpeningScope opening(host, false);
    for (const QString& server : host.selectedServers()) {
        const QString caption = AbendLogForm::captionFor(server);
        if (AbendLogForm* open = findView<AbendLogForm>(
                host, [&caption](const AbendLogForm& form) { return form.windowTitle() == caption; })) {
            bringToFront(host, open);
            continue;
        }
        AbendLogForm* form = createView<AbendLogForm>(host, server);
        form->readLog();
        bringToFront(host, form);
    }
}

}  // namespace views

#include "connections/ConnectionActions.h"

#include "platform/Services.h"

#include "core/AppContext.h"
#include "viewbase/ViewHost.h"
#include "connections/ConnectionFormats.h"
#include "netware/NovellCalls.h"
#include "netware/ServerSession.h"
#include "settings/ColumnScale.h"
#include "text/Twips.h"
#include "widgets/FlexGrid.h"
#include "widgets/OwnedWindow.h"
#include "widgets/ReportListView.h"

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QFontMetrics>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace connections {

namespace userMenu {

void show(views::ViewHost& host, bool shown)
{
    views::setMenuShown(host.userConnectionsMenu(), shown);
    host.chooseColumnsAction()->setVisible(shown);
}

void enableEntries(views::ViewHost& host, bool enabled)
{
    for (QAction* entry : {host.sendMessageAction(), host.clearConnectionAction(), host.showOpenFilesAction()})
        entry->setEnabled(enabled);
}

void enableClear(views::ViewHost& host, bool enabled)
{
    host.clearConnectionAction()->setEnabled(enabled);
}

}  // namespace userMenu

namespace {

constexpr int kUserCol = 0;
constexpr int kNumberCol = 1;
constexpr int kStatusCol = 2;
// Room beside a cell's text: its margins and the grid line.
constexpr int kCellRoom = 12;
constexpr int kMessageLength = 250;

QWidget* activeView(views::ViewHost& host)
{
    QMdiArea* area = host.mdiArea();
    QMdiSubWindow* active = area ? area->activeSubWindow() : nullptr;
    return active ? active->widget() : nullptr;
}

}  // namespace

QList<ChosenConnection> chosenConnections(const widgets::ReportListView& list)
{
    QList<ChosenConnection> chosen;
    for (int row : list.selectedRows())
        chosen.append({list.itemText(row, kUserCol), list.itemText(row, kNumberCol)});
    return chosen;
}

QList<ChosenConnection> chosenConnections(const widgets::FlexGrid& grid)
{
    const models::FlexGridModel& cells = grid.model();
    QList<ChosenConnection> chosen;
    const int first = std::max(0, std::min(cells.row(), cells.rowSel()));
    const int last = std::max(cells.row(), cells.rowSel());
    for (int row = first; row <= last && row < cells.rows(); ++row) {
        if (cells.rowHeight(row) > 0)
            chosen.append({cells.textMatrix(row, kUserCol), cells.textMatrix(row, kNumberCol)});
    }
    return chosen;
}

QWidget* firstConnectionList(const QWidget* window)
{
    if (!window)
        return nullptr;
    for (QWidget* child : window->findChildren<QWidget*>()) {
        if (qobject_cast<widgets::ReportListView*>(child) || qobject_cast<widgets::FlexGrid*>(child))
            return child;
    }
    return nullptr;
}

// ---- send message --------------------------------------------------------------------

SendMessageWindow::SendMessageWindow(core::AppContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_context(context)
    , m_grid(new widgets::FlexGrid(this))
    , m_message(new QLineEdit(this))
    , m_send(new QPushButton(tr("&Send"), this))
    , m_cancel(new QPushButton(tr("&Cancel"), this))
    , m_server(new QLabel(this))
{
    models::FlexGridModel& cells = m_grid->model();
    setObjectName(QStringLiteral("frmSendMessage"));
    setWindowTitle(tr("Send Message"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* listLabel = new QLabel(tr("Send Message to the following connections"), this);
    listLabel->setObjectName(QStringLiteral("Label2"));
    auto* messageLabel = new QLabel(tr("Message"), this);
    messageLabel->setObjectName(QStringLiteral("Label1"));
    messageLabel->setBuddy(m_message);
    m_grid->setObjectName(QStringLiteral("grdConnectionsList"));
    m_message->setObjectName(QStringLiteral("txtMessage"));
    m_message->setMaxLength(kMessageLength);
    m_send->setObjectName(QStringLiteral("btnSend"));
    m_send->setEnabled(false);
    m_cancel->setObjectName(QStringLiteral("btnCancel"));
    m_server->setObjectName(QStringLiteral("lblServer"));
    m_server->hide();

    // subInitConnGrid: one header row, three columns.
    cells.setCols(3);
    cells.setRows(1);
    cells.setFixedRows(1);
    cells.setFixedCols(0);
    const QStringList headings = {tr("User"), tr("Conn #"), tr("Status")};
    constexpr int widths[] = {1100, 1100, 1950};
    for (int col = 0; col < 3; ++col) {
        cells.setTextMatrix(0, col, headings.at(col));
        cells.setColWidth(col, widths[col]);
        cells.setColAlignment(col, (col == kUserCol ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_send);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(listLabel);
    layout->addWidget(m_grid, 1);
    layout->addWidget(messageLabel);
    layout->addWidget(m_message);
    layout->addLayout(buttons);
    // Wide enough for the three columns as designed, with room for the scroll bar.
    const double dpi = settings::columnDotsPerInch(m_grid);
    const int gridWidth = texts::twipsToPixels(widths[0] + widths[1] + widths[2], dpi) + 40;
    resize(qMax(360, gridWidth + layout->contentsMargins().left() + layout->contentsMargins().right()), 320);

    connect(m_message, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_send->setEnabled(!text.isEmpty()); });
    connect(m_send, &QPushButton::clicked, this, &SendMessageWindow::send);
    connect(m_cancel, &QPushButton::clicked, this, &QWidget::close);
}

QString SendMessageWindow::server() const
{
    return m_server->text();
}

void SendMessageWindow::setServer(const QString& server)
{
    m_server->setText(server);
}

void SendMessageWindow::addConnections(const QList<ChosenConnection>& chosen)
{
    models::FlexGridModel& cells = m_grid->model();
    for (const ChosenConnection& connection : chosen) {
        const int row = cells.addRow({connection.user, connection.number, QString()});
        cells.setCellAlignment(row, kUserCol, Qt::AlignLeft | Qt::AlignVCenter);
        cells.setCellAlignment(row, kNumberCol, Qt::AlignRight | Qt::AlignVCenter);
        cells.setCellAlignment(row, kStatusCol, Qt::AlignRight | Qt::AlignVCenter);
    }
    fitUserColumn();
}

void SendMessageWindow::fitUserColumn()
{
    models::FlexGridModel& cells = m_grid->model();
    // The user column widens to the longest name listed, never below its
    // designed width, and the window widens with it while it fits the screen.
    const QFontMetrics metrics(m_grid->font());
    int needed = 0;
    for (int row = cells.fixedRows(); row < cells.rows(); ++row)
        needed = qMax(needed, metrics.horizontalAdvance(cells.textMatrix(row, kUserCol)));
    const double dpi = settings::columnDotsPerInch(m_grid);
    const int twips = qRound(texts::pixelsToTwips(needed + kCellRoom, dpi));
    if (twips <= cells.colWidth(kUserCol))
        return;
    const int added = texts::twipsToPixels(twips - cells.colWidth(kUserCol), dpi);
    cells.setColWidth(kUserCol, twips);
    int wanted = width() + added;
    if (const QScreen* shown = screen())
        wanted = qMin(wanted, shown->availableGeometry().width());
    if (wanted > width())
        resize(wanted, height());
}

void SendMessageWindow::send()
{
    setCursor(Qt::WaitCursor);
    QPointer<SendMessageWindow> self(this);
    {
        nw::ServerSession session(m_context, server(), nw::kLicensedByBinderyName);
        if (session.open() == nw::status::Success) {
            for (int row = m_grid->model().fixedRows(); row < m_grid->model().rows(); ++row) {
                const QByteArray message = nw::toAnsi(m_message->text());
                const std::optional<quint16> number = connectionNumberOf(m_grid->model().textMatrix(row, kNumberCol));
                QString result = kUnableToSend;
                if (number) {
                    const quint16 targets[] = {*number};
                    quint8 results[] = {0xFF};
                    // A refused request leaves no result byte to trust.
                    if (session.client().NWSendBroadcastMessage(session.handle(), message, targets, results)
                        == nw::status::Success)
                        result = sendResultText(results[0]);
                }
                m_grid->model().setTextMatrix(row, kStatusCol, result);
            }
            session.close();
        }
    }
    if (!self)
        return;
    m_cancel->setText(tr("&Close"));
    unsetCursor();
}

SendMessageWindow* sendMessageToChosen(views::ViewHost& host)
{
    QWidget* view = activeView(host);
    auto* source = dynamic_cast<ConnectionSource*>(view);
    QWidget* list = firstConnectionList(view);
    if (!source || !list)
        return nullptr;

    QWidget* mainWindow = host.mdiArea()->window();
    // A closed window is hidden until it is deleted; it is not the open one.
    SendMessageWindow* form = nullptr;
    for (SendMessageWindow* open :
         mainWindow->findChildren<SendMessageWindow*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!open->isHidden())
            form = open;
    }
    if (!form)
        form = new SendMessageWindow(host.context(), mainWindow);
    if (auto* listView = qobject_cast<widgets::ReportListView*>(list))
        form->addConnections(chosenConnections(*listView));
    else if (auto* grid = qobject_cast<widgets::FlexGrid*>(list))
        form->addConnections(chosenConnections(*grid));
    form->setServer(source->connectionServer());
    widgets::showOverOwner(*form);
    return form;
}

// ---- clear -------------------------------------------------------------------------

int clearChosenConnections(core::AppContext& context, widgets::ReportListView& list, ConnectionSource& source)
{
    const QString title = QObject::tr("Clear User Connections");
    const QString own = source.ownConnectionText();
    QPointer<widgets::ReportListView> guard(&list);

    // Each connection asked about is named by its number and, beside it, its
    // user, so that the right person is cut off.
    QStringList named;
    for (const ChosenConnection& chosen : chosenConnections(list)) {
        const QString number = chosen.number.trimmed();
        if (number == own) {
            context.messages().inform(QObject::tr("Connection ") + number
                                          + QObject::tr(" is your connection.  You cannot clear your own "
                                                        "connection, it will not be included."),
                                      title, platform::Icon::Information);
            continue;
        }
        const QString user = chosen.user.trimmed();
        named.append(user.isEmpty() ? number : number + QStringLiteral("  ") + user);
    }
    if (named.isEmpty() || !guard)
        return 0;

    const platform::Message question{title,
                                     QObject::tr("Are you sure you want to clear the following connections?")
                                         + QLatin1Char('\n') + named.join(QLatin1Char('\n')),
                                     platform::Buttons::YesNo, platform::Icon::Question, platform::Answer::No};
    if (context.messages().show(question) != platform::Answer::Yes || !guard)
        return 0;

    nw::ServerSession session(context, source.connectionServer(), nw::kLicensedByBinderyName);
    if (session.open() != nw::status::Success)
        return 0;
    // The rows to clear are those selected now that are not the program's own.
    QList<int> cleared;
    QStringList refused;
    for (int row : list.selectedRows()) {
        const QString number = list.itemText(row, kNumberCol).trimmed();
        if (number == own)
            continue;
        const std::optional<quint16> value = connectionNumberOf(number);
        if (value && session.client().NWClearConnectionNumber(session.handle(), *value) == nw::status::Success)
            cleared.append(row);
        else
            refused.append(number);
    }
    list.removeRows(cleared);
    session.close();
    if (!guard)
        return static_cast<int>(cleared.size());
    source.connectionRowsRemoved();
    if (!refused.isEmpty())
        context.messages().inform(QObject::tr("The following connections could not be cleared:") + QLatin1Char('\n')
                                      + refused.join(QStringLiteral(", ")),
                                  title, platform::Icon::Warning);
    return static_cast<int>(cleared.size());
}

void clearConnectionsOfActiveView(views::ViewHost& host)
{
    QWidget* view = activeView(host);
    auto* source = dynamic_cast<ConnectionSource*>(view);
    auto* list = qobject_cast<widgets::ReportListView*>(firstConnectionList(view));
    if (!source || !list)
        return;
    clearChosenConnections(host.context(), *list, *source);
}

}  // namespace connections

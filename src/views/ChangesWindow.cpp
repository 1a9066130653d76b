#include "views/ChangesWindow.h"

#include "core/AppContext.h"
#include "history/HistoryRecorder.h"
#include "history/HistoryStore.h"
#include "netware/NovellCalls.h"
#include "platform/Services.h"
#include "settings/Registry.h"
#include "settings/SettingsKeys.h"
#include "text/Twips.h"
#include "views/HistoryRecords.h"
#include "views/ServerSnapshots.h"
#include "widgets/ColumnFit.h"
#include "widgets/ReportListView.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateTimeEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeView>
#include <QVBoxLayout>

namespace views {

namespace {

ViewDesign design()
{
    return {QStringLiteral("frmChanges"), settings::kChangesKeyName, {0, 0, 9600, 6000}, {6000, 2400}};
}

}  // namespace

QStringList changesHeadings()
{
    return {QStringLiteral("Server"), QStringLiteral("When"),   QStringLiteral("Kind"),
            QStringLiteral("Item"),   QStringLiteral("Before"), QStringLiteral("After")};
}

QString changeTimeText(const QDateTime& utc)
{
    return utc.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QList<QStringList> changeRows(const std::vector<history::DatedChange>& changes)
{
    QList<QStringList> rows;
    rows.reserve(static_cast<qsizetype>(changes.size()));
    for (const history::DatedChange& dated : changes) {
        const history::Change& change = dated.change;
        rows.append({change.server, changeTimeText(dated.when), change.kind, change.item, change.before, change.after});
    }
    return rows;
}

ChangesWindow::ChangesWindow(ViewHost& host, QWidget* parent)
    : ViewWindow(host, design(), parent)
    , m_list(new widgets::ReportListView(this))
    , m_since(new QComboBox(this))
    , m_date(new QDateTimeEdit(this))
    , m_baseline(new QComboBox(this))
    , m_show(new QPushButton(tr("&Show Changes"), this))
    , m_status(new QStatusBar(this))
{
    setWindowTitle(caption());
    m_list->setObjectName(QStringLiteral("lstvwChanges"));
    widgets::showElidedTextInToolTips(*m_list->treeView());
    m_since->setObjectName(QStringLiteral("cboSince"));
    m_since->addItem(tr("since the previous snapshot"), int(ChangesSince::PreviousSnapshot));
    m_since->addItem(tr("since a date"), int(ChangesSince::Date));
    m_since->addItem(tr("since a baseline"), int(ChangesSince::Baseline));
    m_date->setObjectName(QStringLiteral("dtpSince"));
    m_date->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm"));
    m_date->setCalendarPopup(true);
    m_date->setDateTime(QDateTime::currentDateTime().addDays(-1));
    m_baseline->setObjectName(QStringLiteral("cboBaseline"));
    m_baseline->setMinimumContentsLength(12);
    m_show->setObjectName(QStringLiteral("btnShowChanges"));
    m_status->setObjectName(QStringLiteral("StatusBar1"));
    m_status->setSizeGripEnabled(false);
    setReadingStatusBar(m_status);

    auto* label = new QLabel(tr("C&hanges:"), this);
    label->setObjectName(QStringLiteral("lblSince"));
    label->setBuddy(m_since);
    auto* choices = new QHBoxLayout;
    choices->addWidget(label);
    choices->addWidget(m_since);
    choices->addWidget(m_date);
    choices->addWidget(m_baseline);
    choices->addWidget(m_show);
    choices->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->addLayout(choices);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_status);

    connect(m_since, &QComboBox::currentIndexChanged, this, [this] { updateChoiceControls(); });
    connect(m_show, &QPushButton::clicked, this, [this] { showChanges(); });
    updateChoiceControls();
}

ChangesWindow::~ChangesWindow() = default;

void ChangesWindow::loadContents()
{
    for (const QString& heading : changesHeadings()) {
        const int col = m_list->addColumn(heading, Qt::AlignLeft | Qt::AlignVCenter, 1440);
        m_list->setColumnWidthTwips(col,
                                    qRound(settings::readTwipsSetting(context().registry(), keyPath(),
                                                                      settings::kColWidthHeadingPrefix + heading)));
    }
    refreshBaselineNames();
}

void ChangesWindow::unloadContents()
{
    windowState().saveListColumns(m_list->treeView()->header());
}

void ChangesWindow::fitColumns()
{
    widgets::fitListColumnsLettingEventsRun(*m_list->treeView());
}

void ChangesWindow::setServers(const QStringList& servers)
{
    m_servers = servers;
    setWindowTitle(servers.isEmpty() ? caption()
                                     : caption() + QStringLiteral(" - ") + servers.join(QStringLiteral(", ")));
}

ChangesSince ChangesWindow::since() const
{
    return static_cast<ChangesSince>(m_since->currentData().toInt());
}

void ChangesWindow::chooseSince(ChangesSince since, const QDateTime& date, const QString& baseline)
{
    m_since->setCurrentIndex(m_since->findData(int(since)));
    if (date.isValid())
        m_date->setDateTime(date.toLocalTime());
    if (!baseline.isEmpty()) {
        if (m_baseline->findText(baseline) < 0)
            m_baseline->addItem(baseline);
        m_baseline->setCurrentText(baseline);
    }
}

void ChangesWindow::refreshBaselineNames()
{
    history::HistoryRecorder* recorder = context().history;
    if (!recorder)
        return;
    const QString chosen = m_baseline->currentText();
    const QStringList names =
        recorder->ask<QStringList>([](history::HistoryStore& store) { return store.baselineNames(); });
    m_baseline->clear();
    m_baseline->addItems(names);
    if (names.contains(chosen))
        m_baseline->setCurrentText(chosen);
}

void ChangesWindow::updateChoiceControls()
{
    m_date->setVisible(since() == ChangesSince::Date);
    m_baseline->setVisible(since() == ChangesSince::Baseline);
}

ViewWindow::ReadEnd ChangesWindow::showChanges()
{
    if (isReadingServers())
        return ReadEnd::Stopped;
    core::AppContext& context = this->context();
    history::HistoryRecorder* recorder = context.history;
    if (!recorder) {
        m_status->showMessage(tr("No history is kept in this run."));
        return ReadEnd::Completed;
    }
    history::ChangeOrigin origin;
    switch (since()) {
    case ChangesSince::PreviousSnapshot:
        origin.from = history::ChangeOrigin::From::Marks;
        break;
    case ChangesSince::Date:
        origin.from = history::ChangeOrigin::From::Date;
        origin.date = m_date->dateTime().toUTC();
        break;
    case ChangesSince::Baseline:
        origin.from = history::ChangeOrigin::From::Baseline;
        origin.baseline = m_baseline->currentText().trimmed();
        if (origin.baseline.isEmpty()) {
            context.messages().inform(
                tr("Choose a baseline to compare with; Tools / \"Save as Baseline...\" makes one."), caption());
            return ReadEnd::Completed;
        }
        break;
    }
    const QStringList servers = m_servers;
    if (origin.from == history::ChangeOrigin::From::Marks) {
        origin.marks = recorder->ask<history::StateMarks>(
            [&servers](history::HistoryStore& store) { return history::lastSnapshotIds(store, servers); });
    }

    m_show->setEnabled(false);
    m_status->showMessage(tr("Reading the servers"));
    QStringList recorded;
    QStringList failed;  // read, but without an answer to record
    const ReadEnd end = readServers<ServerStateRead>(
        servers,
        [&context](const QString& server, const nw::ReadStop& stop) { return readServerState(context, server, stop); },
        [&context, &recorded, &failed, servers](int index, ServerStateRead& read) {
            if (read.opened != nw::status::Success || read.authenticated != nw::status::Success
                || read.snapshots.empty()) {
                failed.append(servers.at(index));
                return;
            }
            for (history::Snapshot& snapshot : read.snapshots)
                recordSnapshot(context, std::move(snapshot));
            recorded.append(servers.at(index));
        });
    if (end == ReadEnd::Closed)
        return end;
    // Servers that could not be read, or that a stop left unread, show no changes.
    QStringList unread;
    for (const QString& server : servers) {
        if (!recorded.contains(server))
            unread.append(server);
    }
    m_show->setEnabled(true);

    std::vector<history::DatedChange> changes = recorder->ask<std::vector<history::DatedChange>>(
        [&](history::HistoryStore& store) { return history::changesSince(store, servers, origin, unread); });
    history::sortNewestFirst(changes);
    m_list->beginUpdate();
    m_list->clearRows();
    for (const QStringList& row : changeRows(changes))
        m_list->addRow(row);
    m_list->endUpdate();

    QString message = changes.empty()       ? tr("No changes")
                      : changes.size() == 1 ? tr("1 change")
                                            : tr("%1 changes").arg(changes.size());
    if (!failed.isEmpty())
        message += tr("; could not read %1").arg(failed.join(QStringLiteral(", ")));
    // A stop leaves servers that were never tried: they are counted, not
    // named as servers that failed.
    if (const qsizetype skipped = unread.size() - failed.size(); skipped > 0)
        message += tr("; %1 not read (stopped)").arg(skipped);
    m_status->showMessage(message);
    return end;
}

void openChanges(ViewHost& host)
{
    if (host.serverCount() == 0)
        return;
    const OpeningScope opening(host, true);
    const QStringList servers = host.selectedServers();
    QPointer<ChangesWindow> form = openView<ChangesWindow>(host);
    bringToFront(host, form);
    QCoreApplication::processEvents();
    if (!form || form->isUnloaded())
        return;
    form->setServers(servers);
    form->refreshBaselineNames();
    if (form->showChanges() == ViewWindow::ReadEnd::Closed || !form)
        return;
    form->fitColumnsOnFirstOpening();
}

}  // namespace views

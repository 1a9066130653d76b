// What changed on servers and how they were: the Changes view between two
// readings and against a baseline, "Save as Baseline" asking before it
// replaces a name, and comparison columns of a server as it was (in a
// baseline or at a date), headed as such and never kept in the settings.

#include "export/SaveCopy.h"
#include "history/ChangesSince.h"
#include "history/HistoryRecorder.h"
#include "history/HistoryStore.h"
#include "models/FlexGridModel.h"
#include "settings/SettingsKeys.h"
#include "support/FakeViewHost.h"
#include "support/MemoryRegistry.h"
#include "support/SimNetwork.h"
#include "support/TestContext.h"
#include "support/TestMain.h"
#include "views/Baselines.h"
#include "views/ChangesWindow.h"
#include "views/NlmWindow.h"
#include "views/PastStateDialog.h"
#include "views/SetCommandsWindow.h"
#include "widgets/FlexGrid.h"
#include "widgets/ReportListView.h"

#include <QCheckBox>
#include <QFont>
#include <QMainWindow>
#include <QSet>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using history::SnapshotKind;
using views::PastState;

namespace {

// FS1 and FS2; `later` changes FS1 in one module version (CLIB.NLM), one
// unloaded module (EXTRA.NLM) and one SET value (Maximum Packet Receive Buffers).
QByteArray network(bool later)
{
    const QByteArray clib = later ? "5.90.9" : "5.90.8";
    const QByteArray extra =
        later ? "" : R"(, { "file": "EXTRA.NLM", "name": "Extra", "version": "1.0.0", "date": "2007-01-02" })";
    const QByteArray buffers = later ? "600" : "500";
    return R"({ "format": 1, "clock": "2026-12-05T19:04:36", "clientInstalled": true,
  "workstation": { "tree": "ACME_TREE", "context": "ACME", "logins": { "ACME_TREE": "admin.ACME" } },
  "trees": [ { "name": "ACME_TREE", "containers": [ { "name": "ACME", "class": "Organization" } ] } ],
  "servers": [
    { "name": "FS1", "tree": "ACME_TREE", "version": "5.70.5", "company": "Novell, Inc.",
      "revisionText": "Support Pack 5", "dsVersion": 885,
      "nlms": [ { "file": "CLIB.NLM", "name": "C Library", "version": ")"
           + clib + R"(", "date": "2008-10-07" },
                { "file": "DS.NLM", "name": "Directory", "version": "10552.79.0", "date": "2008-09-01" })"
           + extra + R"( ],
      "setParameters": [ { "name": "Read Ahead Enabled", "category": 2, "type": 1, "value": true },
                         { "name": "Maximum Packet Receive Buffers", "category": 0, "type": 0, "value": )"
           + buffers + R"( } ] },
    { "name": "FS2", "tree": "ACME_TREE", "version": "5.60.0", "company": "Acme", "revisionText": "R1",
      "nlms": [ { "file": "CLIB.NLM", "name": "C Library", "version": "5.90.8", "date": "2008-10-07" } ],
      "setParameters": [ { "name": "Read Ahead Enabled", "category": 2, "type": 1, "value": true } ] },
    { "name": "DOWN", "tree": "ACME_TREE", "reachable": false } ] })";
}

// Remembers every value written, to show what a window keeps in the settings.
class RecordingRegistry : public testing::MemoryRegistry {
public:
    bool setValue(settings::Hive hive, const QString& path, const QString& name, const QString& data) override
    {
        written.append(path + QLatin1Char('|') + name + QLatin1Char('=') + data);
        return MemoryRegistry::setValue(hive, path, name, data);
    }
    QStringList written;
};

// The network in one state, with its own main window stand-in; every state
// keeps its history in the same file, as one workstation over time does.
struct State {
    State(bool later, history::HistoryRecorder& recorder)
        : client(testing::makeNetwork(network(later)))
        , test(*client, registry)
        , host(test.context)
    {
        test.context.history = &recorder;
        registry.createKey(settings::Hive::CurrentUser, settings::kRootKey);  // windows keep their state
        host.servers = {"FS1", "FS2", "DOWN"};
    }
    ~State()
    {
        host.window()->hide();
        host.closeViews();
    }
    State(const State&) = delete;
    State& operator=(const State&) = delete;

    views::ChangesWindow* openChanges(const QStringList& servers)
    {
        host.selection = servers;
        views::openChanges(host);
        return views::findView<views::ChangesWindow>(host);
    }

    std::unique_ptr<nw::NetWareClient> client;
    RecordingRegistry registry;
    testing::TestContext test;
    testing::FakeViewHost host;
};

// The rows of the list without their time: server|kind|item|before|after, sorted.
QStringList changeCells(const widgets::ReportListView& list)
{
    QStringList rows;
    for (int row = 0; row < list.rowCount(); ++row) {
        rows.append(QStringList{list.itemText(row, 0), list.itemText(row, 2), list.itemText(row, 3),
                                list.itemText(row, 4), list.itemText(row, 5)}
                        .join(QLatin1Char('|')));
    }
    rows.sort();
    return rows;
}

const QStringList kLaterChanges{
    "FS1|module unloaded|EXTRA.NLM|1.00 2007-01-02|",
    "FS1|module version|CLIB.NLM|5.90h|5.90i",
    "FS1|set value|Maximum Packet Receive Buffers|500|600",
};

// Names of the data rows a grid shows (height above 0), in order.
QStringList shownRows(const widgets::FlexGrid& grid)
{
    QStringList names;
    const models::GridData& data = grid.data();
    for (int row = data.fixedRows(); row < data.rows(); ++row) {
        if (data.isRowShown(row))
            names.append(data.text(row, 0));
    }
    return names;
}

// With VESKARO_SCREENSHOT_DIR set, keeps the picture of `widget` there as `name`.
void keepPicture(QWidget& widget, const QString& name)
{
    const QString dir = qEnvironmentVariable("VESKARO_SCREENSHOT_DIR");
    if (dir.isEmpty())
        return;
    QCoreApplication::processEvents();
    const QImage image = widget.grab().toImage();
    QVERIFY(image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither)
                .save(dir + QLatin1Char('/') + name, "PNG", 0));
}

}  // namespace

class TestChanges : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // ---- the rule -----------------------------------------------------------------

    void changesRunFromTheChosenOrigin()
    {
        QTemporaryDir dir;
        history::HistoryStore store(dir.filePath(QStringLiteral("h.sqlite")));
        QVERIFY(store.open());
        const QDateTime t0 = QDateTime(QDate(2026, 12, 1), QTime(8, 0), Qt::UTC);
        const auto parameters = [](const char* server, const char* value, const QDateTime& taken) {
            return history::Snapshot{server, SnapshotKind::Parameters, taken, {{"Buffers", {"Comm", value}}}};
        };
        QVERIFY(store.recordSnapshots({parameters("FS1", "100", t0), parameters("FS2", "7", t0)}));
        QVERIFY(store.saveBaseline("golden", {parameters("FS1", "100", t0)}));
        QVERIFY(store.recordSnapshots({parameters("FS1", "200", t0.addDays(1))}));
        const history::StateMarks marks = history::lastSnapshotIds(store, {"FS1", "FS2"});
        QVERIFY(
            store.recordSnapshots({parameters("FS1", "300", t0.addDays(2)), parameters("FS2", "8", t0.addDays(3))}));

        const auto cells = [](const std::vector<history::DatedChange>& changes) {
            QStringList found;
            for (const history::DatedChange& dated : changes)
                found.append(dated.change.server + ':' + dated.change.before + '>' + dated.change.after + '@'
                             + dated.when.toString(Qt::ISODate));
            return found;
        };
        history::ChangeOrigin origin;
        origin.marks = marks;
        // Since the reading before: each server from its own last snapshot then.
        QCOMPARE(cells(history::changesSince(store, {"FS1", "FS2"}, origin)),
                 (QStringList{"FS1:200>300@2026-12-03T08:00:00Z", "FS2:7>8@2026-12-04T08:00:00Z"}));
        // A server not read this time shows nothing.
        QCOMPARE(cells(history::changesSince(store, {"FS1", "FS2"}, origin, {"FS2"})).size(), 1);

        origin.from = history::ChangeOrigin::From::Date;
        origin.date = t0.addSecs(3600);
        std::vector<history::DatedChange> sinceDate = history::changesSince(store, {"FS1", "FS2"}, origin);
        history::sortNewestFirst(sinceDate);
        QCOMPARE(cells(sinceDate), (QStringList{"FS2:7>8@2026-12-04T08:00:00Z", "FS1:100>300@2026-12-03T08:00:00Z"}));

        origin.from = history::ChangeOrigin::From::Baseline;
        origin.baseline = "golden";
        QCOMPARE(cells(history::changesSince(store, {"FS1", "FS2"}, origin)),
                 QStringList{"FS1:100>300@2026-12-03T08:00:00Z"});
        // The same origins give a server's past state for a comparison column.
        QCOMPARE(history::pastSnapshot(store, "FS1", SnapshotKind::Parameters, origin)->items.front().values.at(1),
                 QString("100"));
        origin.from = history::ChangeOrigin::From::Date;
        origin.date = t0.addDays(1).addSecs(60);
        QCOMPARE(history::pastSnapshot(store, "FS1", SnapshotKind::Parameters, origin)->items.front().values.at(1),
                 QString("200"));
        QVERIFY(!history::pastSnapshot(store, "FS1", SnapshotKind::Modules, origin));
    }

    // ---- the Changes view ----------------------------------------------------------

    void changesViewListsWhatMovedBetweenTwoReadings()
    {
        QTemporaryDir dir;
        history::HistoryRecorder recorder(dir.filePath(QStringLiteral("h.sqlite")));
        recorder.start();
        {
            State before(false, recorder);
            views::ChangesWindow* form = before.openChanges({"FS1", "FS2"});
            QVERIFY(form);
            // A first reading has nothing to compare with.
            QCOMPARE(form->lstvwChanges()->rowCount(), 0);
            QCOMPARE(form->lstvwChanges()->columnCount(), 6);
            QCOMPARE(form->lstvwChanges()->heading(1), QString("When"));
            QCOMPARE(form->since(), views::ChangesSince::PreviousSnapshot);
        }
        State after(true, recorder);
        views::ChangesWindow* form = after.openChanges({"FS1", "FS2", "DOWN"});
        QVERIFY(form);
        QCOMPARE(changeCells(*form->lstvwChanges()), kLaterChanges);
        for (int row = 0; row < form->lstvwChanges()->rowCount(); ++row)
            QVERIFY(!form->lstvwChanges()->itemText(row, 1).isEmpty());
        // File / Save writes the list like every other table.
        const QList<QByteArray> saved = exporting::savedBytes(form, ",").split('\n');
        QCOMPARE(saved.size(), 5);
        QCOMPARE(saved.front().trimmed(), QByteArray("Server,When,Kind,Item,Before,After"));
        QVERIFY(saved.at(1).startsWith("FS1,"));
        // The server that did not answer is named, not taken for a server whose modules all went.
        QVERIFY(form->statusBar()->currentMessage().contains("DOWN"));

        // Read again with nothing changed: nothing moved since the snapshot before.
        QCOMPARE(form->showChanges(), views::ViewWindow::ReadEnd::Completed);
        QCOMPARE(form->lstvwChanges()->rowCount(), 0);
        QCOMPARE(form->statusBar()->currentMessage().left(10), QString("No changes"));
    }

    // ---- baselines -------------------------------------------------------------------

    void baselineComparedShowsWhatMoved()
    {
        QTemporaryDir dir;
        history::HistoryRecorder recorder(dir.filePath(QStringLiteral("h.sqlite")));
        recorder.start();
        {
            State before(false, recorder);
            QVERIFY(views::saveBaseline(before.test.context, {"FS1", "FS2"}, " before SP8 "));
            QVERIFY(before.test.messages.shown.isEmpty());
            // A name in use: asked first, No keeps the old one.
            QVERIFY(!views::saveBaseline(before.test.context, {"FS2"}, "before SP8"));
            QCOMPARE(before.test.messages.shown.size(), 1);
            QCOMPARE(before.test.messages.shown.front().defaultAnswer, platform::Answer::No);
            // Nothing readable, no name: told, nothing kept.
            QVERIFY(!views::saveBaseline(before.test.context, {"DOWN"}, "down"));
            QVERIFY(!views::saveBaseline(before.test.context, {"FS1"}, "  "));
            QCOMPARE(before.test.messages.shown.size(), 3);
        }
        QCOMPARE(recorder.ask<QStringList>([](history::HistoryStore& store) { return store.baselineNames(); }),
                 QStringList{"before SP8"});

        State after(true, recorder);
        // The SET comparison: the live server beside its baseline, the moved value a difference.
        after.host.selection = {"FS1"};
        views::openSetCommands(after.host);
        auto* sets = views::findView<views::SetCommandsWindow>(after.host);
        QVERIFY(sets);
        QVERIFY(!sets->chkDifferences()->isEnabled());
        PastState kept{"FS1", {}};
        kept.origin.from = history::ChangeOrigin::From::Baseline;
        kept.origin.baseline = "before SP8";
        QVERIFY(sets->addPastColumn(kept));
        widgets::FlexGrid& grid = *sets->grdSetCommands();
        QCOMPARE(grid.model().cols(), views::kSetFirstServerCol + 2);
        QCOMPARE(grid.model().textMatrix(0, views::kSetFirstServerCol + 1), QString("FS1 [before SP8]"));
        QVERIFY(sets->isPastColumn(views::kSetFirstServerCol + 1));
        QVERIFY(!sets->isPastColumn(views::kSetFirstServerCol));
        QCOMPARE(sets->liveServers(), QStringList{"FS1"});
        QVERIFY(sets->chkDifferences()->isEnabled());
        sets->chkDifferences()->setChecked(true);
        QCOMPARE(shownRows(grid), QStringList{"Maximum Packet Receive Buffers"});
        after.host.window()->resize(760, 300);
        after.host.window()->show();
        sets->frame()->setGeometry(0, 0, 740, 280);
        keepPicture(*after.host.window(), "past-set-column.png");
        const int row = views::findSetRow(grid.data(), "Maximum");
        QCOMPARE(grid.model().textMatrix(row, views::kSetFirstServerCol).trimmed(), QString("600"));
        QCOMPARE(grid.model().textMatrix(row, views::kSetFirstServerCol + 1).trimmed(), QString("500"));
        // A server the baseline does not hold: told, no column.
        kept.server = "DOWN";
        QVERIFY(!sets->addPastColumn(kept));
        QCOMPARE(after.test.messages.shown.size(), 1);
        QCOMPARE(grid.model().cols(), views::kSetFirstServerCol + 2);

        // The Changes view since the baseline: modules and SET parameters only.
        views::ChangesWindow* changes = after.openChanges({"FS1", "FS2"});
        QVERIFY(changes);
        changes->chooseSince(views::ChangesSince::Baseline, {}, "before SP8");
        changes->showChanges();
        QCOMPARE(changeCells(*changes->lstvwChanges()), kLaterChanges);
    }

    // ---- columns of a server as it was -------------------------------------------------

    void pastColumnsAreHeadedAsSuchAndNotKept()
    {
        QTemporaryDir dir;
        history::HistoryRecorder recorder(dir.filePath(QStringLiteral("h.sqlite")));
        recorder.start();
        {
            State before(false, recorder);
            before.host.selection = {"FS1"};
            views::openNLMs(before.host);
        }
        recorder.flush();
        const QDateTime between = QDateTime::currentDateTimeUtc();
        QTest::qWait(20);  // the next reading's snapshot comes strictly after `between`

        State after(true, recorder);
        after.host.selection = {"FS1"};
        views::openNLMs(after.host);
        auto* nlms = views::findView<views::NlmWindow>(after.host);
        QVERIFY(nlms);
        PastState then{"FS1", {}};
        then.origin.from = history::ChangeOrigin::From::Date;
        then.origin.date = between;
        QVERIFY(nlms->addPastColumns(then));
        const QString heading = "FS1 @ " + between.toLocalTime().toString("yyyy-MM-dd HH:mm");
        widgets::FlexGrid& grid = *nlms->grdNLMs();
        QCOMPARE(grid.model().cols(), 5);
        QCOMPARE(views::nlmServerName(grid.data(), 3), heading);
        QVERIFY(nlms->isPastColumn(3) && nlms->isPastColumn(4) && !nlms->isPastColumn(1));
        QCOMPARE(nlms->liveServers(), QStringList{"FS1"});
        // Its header looks apart from a live server's.
        const QVariant font = grid.model().headerData(3, Qt::Horizontal, Qt::FontRole);
        QVERIFY(font.isValid() && font.value<QFont>().italic());
        QVERIFY(!grid.model().headerData(1, Qt::Horizontal, Qt::FontRole).isValid());
        // The version moved and the module that went are differences; DS.NLM is not.
        nlms->chkNLMDifferencesOnly()->setChecked(true);
        QCOMPARE(shownRows(grid), (QStringList{"CLIB.NLM", "EXTRA.NLM"}));

        after.host.window()->resize(760, 300);
        after.host.window()->show();
        nlms->frame()->setGeometry(0, 0, 740, 280);
        keepPicture(*after.host.window(), "past-nlm-columns.png");
        views::PastStateDialog dialog({"FS1", "FS2"}, {"before SP8", "golden FS"});
        dialog.show();
        keepPicture(dialog, "past-state-dialog.png");

        after.host.closeViews();
        for (const QString& value : std::as_const(after.registry.written))
            QVERIFY2(!value.contains(heading) && !value.contains(" @ "), qPrintable(value));
        QVERIFY(!after.registry.written.isEmpty());  // the window did keep its own state
    }

    void changesViewRenders()
    {
        QTemporaryDir dir;
        history::HistoryRecorder recorder(dir.filePath(QStringLiteral("h.sqlite")));
        recorder.start();
        {
            State before(false, recorder);
            before.openChanges({"FS1", "FS2"});
        }
        State after(true, recorder);
        after.host.window()->resize(900, 360);
        after.host.window()->show();
        views::ChangesWindow* form = after.openChanges({"FS1", "FS2"});
        QVERIFY(form);
        form->frame()->setGeometry(0, 0, 880, 300);
        QCoreApplication::processEvents();
        QCOMPARE(form->lstvwChanges()->rowCount(), 3);
        keepPicture(*after.host.window(), "changes.png");
    }
};

VESKARO_TEST_MAIN(TestChanges)
#include "test_changes.moc"

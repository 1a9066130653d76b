// The utilization monitor at a glance: levels against the thresholds of the
// view's settings, the reasons behind a "?" in NetWare's hex form, the time
// of the last poll, and that none of it changes what Save writes.

#include "export/WidgetExport.h"
#include "settings/Registry.h"
#include "settings/SettingsKeys.h"
#include "support/SavedText.h"
#include "support/FakeViewHost.h"
#include "support/MemoryRegistry.h"
#include "support/SimNetwork.h"
#include "support/TestContext.h"
#include "support/TestMain.h"
#include "views/ServerInformationWindow.h"
#include "views/UtilizationWindow.h"
#include "views/UtilizationHistory.h"
#include "views/UtilizationHistoryWindow.h"
#include "views/UtilizationRules.h"
#include "widgets/ColumnFit.h"
#include "widgets/OwnedWindow.h"
#include "widgets/RefreshFrame.h"
#include "widgets/ReportListView.h"

#include <QBuffer>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QHeaderView>
#include <QTreeView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QTest>

#include <QTimeZone>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

using views::UtilizationLevel;
using OptText = std::optional<QString>;

Q_DECLARE_METATYPE(OptText)

using testing::savedText;

namespace {

const QString kKey = settings::rootKeyPath(QStringLiteral("ServerUtilForm"));

const QByteArray kNetwork = R"({
  "format": 1,
  "trees": [ { "name": "T", "containers": [ { "name": "O", "class": "Organization" } ] } ],
  "servers": [
    { "name": "FS1", "tree": "T", "utilization": [95] },
    { "name": "FS2", "tree": "T", "utilization": [50], "faults": { "NWGetFileServerInfo": "0x8801" } },
    { "name": "DOWN", "tree": "T", "reachable": false } ] })";

struct Fixture {
    Fixture() : client(testing::makeNetwork(kNetwork)), test(*client, registry), host(test.context)
    {
        registry.createKey(settings::Hive::CurrentUser, settings::kRootKey);
    }
    views::UtilizationWindow* open()
    {
        host.selection = {"FS1", "FS2", "DOWN"};
        views::openServerUtilization(host);
        auto* form = views::findView<views::UtilizationWindow>(host);
        form->fraRefresh()->stop();
        return form;
    }
    std::unique_ptr<nw::NetWareClient> client;
    testing::MemoryRegistry registry;
    testing::TestContext test;
    testing::FakeViewHost host;
};

}  // namespace

class TestUtilization : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void thresholdsFromSettings_data()
    {
        QTest::addColumn<OptText>("warning");
        QTest::addColumn<OptText>("critical");
        QTest::addColumn<int>("expectedWarning");
        QTest::addColumn<int>("expectedCritical");
        QTest::addColumn<bool>("problem");
        QTest::newRow("none stored") << OptText() << OptText() << 70 << 90 << false;
        QTest::newRow("both stored") << OptText("50") << OptText(" 80 ") << 50 << 80 << false;
        QTest::newRow("not a number") << OptText("lots") << OptText("95") << 70 << 95 << true;
        QTest::newRow("above 100") << OptText("60") << OptText("180") << 60 << 90 << true;
        QTest::newRow("crossed") << OptText("95") << OptText("80") << 70 << 90 << true;
        QTest::newRow("equal is fine") << OptText("85") << OptText("85") << 85 << 85 << false;
    }
    void thresholdsFromSettings()
    {
        QFETCH(OptText, warning);
        QFETCH(OptText, critical);
        QString problem;
        const views::UtilizationThresholds t = views::readUtilizationThresholds(warning, critical, &problem);
        QTEST(t.warning, "expectedWarning");
        QTEST(t.critical, "expectedCritical");
        QTEST(!problem.isEmpty(), "problem");
    }

    void levels_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<int>("level");
        QTest::newRow("zero") << "0" << int(UtilizationLevel::Normal);
        QTest::newRow("just below warning") << "69" << int(UtilizationLevel::Normal);
        QTest::newRow("warning") << "70" << int(UtilizationLevel::Warning);
        QTest::newRow("critical") << "90" << int(UtilizationLevel::Critical);
        QTest::newRow("full") << "100" << int(UtilizationLevel::Critical);
        QTest::newRow("unknown") << "?" << int(UtilizationLevel::Unknown);
        // Numbers no whole number can hold are clamped first, not cut.
        QTest::newRow("beyond every whole number")
            << "833333333333333333333333333337" << int(UtilizationLevel::Critical);
        QTest::newRow("infinite") << "inf" << int(UtilizationLevel::Critical);
        QTest::newRow("far below zero") << "-1e300" << int(UtilizationLevel::Normal);
        QTest::newRow("not a number") << "nan" << int(UtilizationLevel::Unknown);
    }
    void levels()
    {
        QFETCH(QString, cell);
        QTEST(int(views::utilizationLevel(cell, {})), "level");
    }

    void failureTexts()
    {
        QCOMPARE(views::netwareStatusText(0x8801), QStringLiteral("0x8801"));
        QCOMPARE(views::netwareStatusText(0xFFFFFDA7), QStringLiteral("0xFFFFFDA7"));
        QCOMPARE(views::pollFailureText(views::PollFailure::CannotConnect, 0x8801),
                 QStringLiteral("Cannot connect to the server (status 0x8801)."));
        QVERIFY(views::pollFailureText(views::PollFailure::NotAuthenticated, 0xFFFFFDA7).contains("0xFFFFFDA7"));
        QVERIFY(
            views::pollFailureText(views::PollFailure::RequestFailed, 0x89FF).startsWith("The utilization request"));
    }

    void pollExplainsQuestionMarksAndKeepsSavedText()
    {
        Fixture f;
        f.registry.createKey(settings::Hive::CurrentUser, kKey);
        f.registry.setValue(settings::Hive::CurrentUser, kKey, settings::kUtilWarningValue, QStringLiteral("40"));
        views::UtilizationWindow* form = f.open();
        QCOMPARE(form->thresholds().warning, 40);
        QCOMPARE(form->thresholds().critical, 90);
        QVERIFY(form->lblLastPoll()->text().isEmpty());
        form->pollOnce();
        QVERIFY(form->lblLastPoll()->text().startsWith(QStringLiteral("Last poll: ")));

        widgets::ReportListView& list = *form->lstvwServerUtilization();
        const auto tip = [&](int row) {
            const auto& model = list.model();
            return model.data(model.index(row, 1), Qt::ToolTipRole).toString();
        };
        QCOMPARE(list.itemText(0, 1), QStringLiteral("95"));
        QVERIFY(tip(0).isEmpty());
        QCOMPARE(list.itemText(1, 1), QStringLiteral("?"));
        QCOMPARE(tip(1), QStringLiteral("The utilization request failed (status 0x8801)."));
        QCOMPARE(list.itemText(2, 1), QStringLiteral("?"));
        QVERIFY(tip(2).startsWith(QStringLiteral("Cannot connect to the server (status 0x")));
        QCOMPARE(form->pollFailure(QStringLiteral("DOWN")), tip(2));

        QMdiSubWindow* window = f.host.mdiArea()->subWindowList().first();
        QCOMPARE(savedText(window), QStringLiteral("Server,Util %,High %\r\nFS1,95,95\r\nFS2,?,0\r\nDOWN,?,0\r\n"));
    }

    void firstOpeningsCascadeAndFitTheirColumns()
    {
        Fixture f;
        views::UtilizationWindow* monitor = f.open();
        QMdiSubWindow* first = monitor->frame();
        QCOMPARE(first->pos(), QPoint(0, 0));
        QVERIFY(monitor->isFirstOpening());
        const int serverWidth = monitor->lstvwServerUtilization()->treeView()->header()->sectionSize(0);
        QVERIFY(serverWidth >= widgets::kMinFittedColumn && serverWidth <= widgets::kMaxFittedColumn);

        f.host.selection = {"FS1"};
        views::openServerInformation(f.host);
        auto* info = views::findView<views::ServerInformationWindow>(f.host);
        QVERIFY(info && info->frame());
        // Below and to the right of the monitor, not over it.
        QVERIFY(info->frame()->x() > first->x());
        QVERIFY(info->frame()->y() > first->y());

        // Closed, its widths stored: the next opening keeps them.
        monitor->lstvwServerUtilization()->treeView()->header()->resizeSection(0, 222);
        first->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        views::UtilizationWindow* again = f.open();
        QVERIFY(!again->isFirstOpening());
        QCOMPARE(again->lstvwServerUtilization()->treeView()->header()->sectionSize(0), 222);
    }

    void historyKeepsEveryPollWithinItsBound()
    {
        // 200 servers, 1-second polls, a small capacity so that merging happens.
        constexpr int kServers = 200;
        constexpr int kCapacity = 1000;
        QStringList servers;
        for (int s = 0; s < kServers; ++s)
            servers << QStringLiteral("FS%1").arg(s, 3, 10, QLatin1Char('0'));
        views::UtilizationHistory history(kCapacity);
        const qint64 start = 1'700'000'000'000;
        for (int poll = 0; poll < 5000; ++poll) {
            std::vector<std::optional<int>> readings(kServers);
            for (int s = 0; s < kServers; ++s)
                readings[static_cast<size_t>(s)] = (poll * 7 + s) % 100;
            readings[0] = std::nullopt;            // FS000 never answers
            readings[1] = poll == 1234 ? 99 : 10;  // one peak in the past
            history.recordPoll(start + poll * 1000LL, servers, readings);
            if (poll == kCapacity - 1) {
                // Up to the capacity every poll is kept as it came.
                QCOMPARE(history.pollCount(), kCapacity);
                QCOMPARE(history.coarsestMerge(), 1);
                QCOMPARE(history.reading(500, 5), std::optional<int>((500 * 7 + 5) % 100));
            }
            QVERIFY(history.pollCount() <= kCapacity);
        }
        QCOMPARE(history.servers().size(), kServers);
        // The span still starts at the first poll and ends at the last.
        QCOMPARE(history.pollTime(0), start);
        QCOMPARE(history.pollTime(history.pollCount() - 1), start + 4999 * 1000LL);
        QVERIFY(history.coarsestMerge() > 1);
        // The past peak survived the merging; a server without readings has none.
        bool peak = false;
        for (int p = 0; p < history.pollCount(); ++p)
            peak = peak || history.reading(p, 1) == std::optional<int>(99);
        QVERIFY(peak);
        QCOMPARE(history.highest(1), std::optional<int>(99));
        QCOMPARE(history.highest(0), std::optional<int>());
        QCOMPARE(history.reading(history.pollCount() - 1, 0), std::optional<int>());
        // The bound: capacity x (servers + 64) bytes.
        QVERIFY(history.memoryBytes() <= qsizetype(kCapacity) * (kServers + 64));
    }

    void historyFollowsTheMonitorsPolls()
    {
        Fixture f;
        views::UtilizationWindow* form = f.open();
        form->pollOnce();
        form->pollOnce();
        QCOMPARE(form->history().pollCount(), 2);
        QCOMPARE(form->history().servers(), (QStringList{"FS1", "FS2", "DOWN"}));
        QWidget* owner = form->window();
        owner->setGeometry(140, 90, 700, 500);
        owner->show();
        views::UtilizationHistoryWindow* chart = form->showHistory();
        QVERIFY(chart);
        // A window of its own centred over the program's window, not in a corner of the screen.
        QVERIFY(chart->isWindow());
        QCOMPARE(chart->parentWidget(), form);
        const QRect expected = widgets::centredOver(owner->frameGeometry(), chart->frameGeometry().size(),
                                                    owner->screen()->availableGeometry());
        QCOMPARE(chart->frameGeometry().topLeft(), expected.topLeft());
        QCOMPARE(chart->seriesCount(), 3);
        QCOMPARE(chart->series(0)->count(), 2);  // FS1: two readings
        QCOMPARE(chart->series(2)->count(), 0);  // DOWN: none
        QVERIFY(chart->lstServers()->item(0)->text().contains(QStringLiteral("high 95")));
        form->pollOnce();
        QCOMPARE(chart->series(0)->count(), 3);
        // Filter and hide.
        chart->txtFilter()->setText(QStringLiteral("fs"));
        QVERIFY(!chart->lstServers()->item(0)->isHidden());
        QVERIFY(chart->lstServers()->item(2)->isHidden());
        chart->lstServers()->item(1)->setCheckState(Qt::Unchecked);
        QVERIFY(!chart->series(1)->isVisible());
    }

    // Renders an hour of six servers; with VESKARO_SCREENSHOT_DIR set the
    // picture is kept there (the README's gallery).
    void historyChartRenders()
    {
        views::UtilizationHistory history;
        const QStringList servers{"FS1", "FS2", "HQ-FS1", "MAIL1", "GW1", "VAULT1"};
        const qint64 start = QDateTime(QDate(2026, 12, 5), QTime(9, 0), Qt::UTC).toMSecsSinceEpoch();
        for (int poll = 0; poll <= 360; ++poll) {
            std::vector<std::optional<int>> readings;
            for (int s = 0; s < servers.size(); ++s) {
                const double wave = std::sin((poll + s * 40) / 30.0) * (10 + 5 * s);
                int value = std::clamp(static_cast<int>(15 + s * 12 + wave), 0, 100);
                if (s == 3 && poll > 200 && poll < 240)
                    value = 96;  // a busy mail server
                readings.push_back(s == 5 && poll > 300 ? std::optional<int>() : std::optional<int>(value));
            }
            history.recordPoll(start + poll * 10'000LL, servers, readings);
        }
        views::UtilizationHistoryWindow window(history);
        window.resize(900, 420);
        window.show();
        window.historyChanged();
        QCoreApplication::processEvents();
        QCOMPARE(window.seriesCount(), 6);
        const QImage image = window.grab().toImage();
        QVERIFY(!image.isNull());
        const QString dir = qEnvironmentVariable("VESKARO_SCREENSHOT_DIR");
        if (!dir.isEmpty())
            QVERIFY(image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither)
                        .save(dir + QStringLiteral("/utilization-history.png"), "PNG", 0));
    }
};

VESKARO_TEST_MAIN(TestUtilization)
#include "test_utilization.moc"

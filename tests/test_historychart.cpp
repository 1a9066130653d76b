// The utilization history chart: the shown span follows what was recorded,
// zooms and pans within it; every server has a look of its own; the legend
// and the server list hide lines in step; and a range reads what the history
// database kept days ago, merged with the monitor's own polls.

#include "history/HistoryRecorder.h"
#include "history/HistoryStore.h"
#include "support/TestMain.h"
#include "views/HistoryChartRules.h"
#include "views/UtilizationHistory.h"
#include "views/UtilizationHistoryWindow.h"
#include "widgets/TroubleLook.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QDateTimeEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <set>

using views::TimedReading;
using views::TimeWindow;

namespace {

constexpr qint64 kMinute = 60'000;
constexpr qint64 kHour = 60 * kMinute;
constexpr qint64 kDay = 24 * kHour;

// Polls every `stepMs` from `start`, one reading a server (a slow wave).
void poll(views::UtilizationHistory& history, const QStringList& servers, qint64 start, int polls, qint64 stepMs)
{
    for (int p = 0; p < polls; ++p) {
        std::vector<std::optional<int>> readings;
        for (int s = 0; s < servers.size(); ++s)
            readings.emplace_back(
                std::clamp(static_cast<int>(30 + 10 * s + 20 * std::sin((p + 30 * s) / 40.0)), 0, 100));
        history.recordPoll(start + p * stepMs, servers, readings);
    }
}

void showAndLayOut(QWidget& window)
{
    window.resize(960, 520);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();
}

qint64 axisFrom(const views::UtilizationHistoryWindow& window)
{
    return window.timeAxis()->min().toMSecsSinceEpoch();
}

qint64 axisTo(const views::UtilizationHistoryWindow& window)
{
    return window.timeAxis()->max().toMSecsSinceEpoch();
}

void wheel(QWidget* target, int notches, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const QPointF at(target->width() / 2.0, target->height() / 3.0);
    QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(target, &event);
}

// A history file with `servers` sampled every `stepMs` over the `days` before `now`.
void writeHistory(const QString& path, const QStringList& servers, const QDateTime& now, int days, qint64 stepMs)
{
    history::HistoryStore store(path);
    QVERIFY(store.open());
    std::vector<history::Sample> samples;
    const qint64 end = now.toMSecsSinceEpoch();
    for (qint64 at = end - days * kDay; at < end; at += stepMs) {
        // Busy in office hours, less so at weekends, quiet by night; the
        // servers' days start a little apart.
        const QDateTime when = QDateTime::fromMSecsSinceEpoch(at, Qt::UTC);
        const double weekday = when.date().dayOfWeek() >= 6 ? 0.35 : 1.0;
        for (int s = 0; s < servers.size(); ++s) {
            const double day = static_cast<double>((at + s * 40 * kMinute) % kDay) / kDay;
            const double office = weekday * std::max(0.0, std::sin((day - 0.3) * 2 * M_PI));
            const int jitter = static_cast<int>((at / stepMs * 7 + s * 3) % 3);
            const int value = std::clamp(static_cast<int>(5 + 3 * s + (30 + 6 * s) * office) + jitter, 0, 100);
            samples.push_back({servers.at(s), QDateTime::fromMSecsSinceEpoch(at, Qt::UTC), value, value});
        }
    }
    QVERIFY(store.recordSamples(samples));
}

}  // namespace

class TestHistoryChart : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyServerLooksDifferent()
    {
        std::set<std::pair<QRgb, int>> seen;
        for (int n = 0; n < 28; ++n) {
            const widgets::LineLook look = widgets::lineLook(n);
            QVERIFY2(seen.insert({look.colour.rgb(), static_cast<int>(look.style)}).second,
                     qPrintable(QString::number(n)));
            QVERIFY(look.colour.isValid());
            // Never yellow on white, never the background itself.
            QVERIFY(look.colour != QColor(Qt::white));
            QCOMPARE(widgets::linePen(n).style(), look.style);
        }
        // Neighbours differ in colour; the palette's second round differs in style.
        QVERIFY(widgets::lineLook(0).colour != widgets::lineLook(1).colour);
        QVERIFY(widgets::lineLook(0).style != widgets::lineLook(widgets::kPaletteColours).style);
        QCOMPARE(widgets::lineLook(-3), widgets::lineLook(0));
        // The trouble marks draw from the same palette.
        QCOMPARE(widgets::troubleColor(models::TroubleLevel::Critical), widgets::paletteColour(4));
    }

    void shownSpanFollowsZoomsAndPans()
    {
        TimeWindow time;
        time.setData(1'000'000, 1'000'000 + 3 * kHour);
        // The first data is shown whole, the newest end in sight.
        QCOMPARE(time.from(), 1'000'000);
        QCOMPARE(time.to(), 1'000'000 + 3 * kHour);
        QVERIFY(time.atNewestEnd());

        time.zoom(0.5);  // keeps following while it zooms in without a point to hold
        QCOMPARE(time.span(), 90 * kMinute);
        QCOMPARE(time.to(), 1'000'000 + 3 * kHour);
        time.setData(1'000'000, 1'000'000 + 4 * kHour);  // a new poll an hour later
        QCOMPARE(time.to(), 1'000'000 + 4 * kHour);
        QCOMPARE(time.span(), 90 * kMinute);

        time.pan(-kHour);  // back in time: new polls no longer move it
        const qint64 from = time.from();
        time.setData(1'000'000, 1'000'000 + 5 * kHour);
        QCOMPARE(time.from(), from);
        QVERIFY(!time.atNewestEnd());

        time.pan(-100 * kDay);  // never before the first reading
        QCOMPARE(time.from(), 1'000'000);
        time.pan(100 * kDay);  // nor after the last
        QCOMPARE(time.to(), 1'000'000 + 5 * kHour);

        // Zooming about a point keeps it at its place on the axis.
        time.moveTo(1'000'000 + kHour);
        const qint64 anchor = time.from() + time.span() / 4;
        time.zoom(0.5, anchor);
        QCOMPARE(time.span(), 45 * kMinute);
        QCOMPARE(time.from() + time.span() / 4, anchor);
        // Not below a minute, not beyond what was recorded, nothing for nonsense.
        time.zoom(1e-9);
        QCOMPARE(time.span(), TimeWindow::kMinimumSpanMs);
        time.zoom(1e9);
        QCOMPARE(time.span(), 5 * kHour);
        time.zoom(std::nan(""));
        time.zoom(-2);
        QCOMPARE(time.span(), 5 * kHour);

        // A single poll still gives a span that starts at it.
        TimeWindow one;
        one.setData(5'000, 5'000);
        QCOMPARE(one.from(), 5'000);
        QCOMPARE(one.span(), TimeWindow::kMinimumSpanMs);

        QCOMPARE(views::timeLabelFormat(5 * kMinute), QStringLiteral("hh:mm:ss"));
        QCOMPARE(views::timeLabelFormat(3 * kHour), QStringLiteral("hh:mm"));
        QCOMPARE(views::timeLabelFormat(7 * kDay), QStringLiteral("dd MMM hh:mm"));
    }

    void rangesAndLinesFromTwoSources()
    {
        const QDateTime now(QDate(2026, 12, 7), QTime(12, 0), Qt::UTC);
        QCOMPARE(views::rangeBounds(views::HistoryRange::LastWeek, now)->from, now.addDays(-7));
        QVERIFY(!views::rangeBounds(views::HistoryRange::LastDay, now)->to);
        QVERIFY(!views::rangeBounds(views::HistoryRange::Custom, now, now, now.addSecs(-1)));
        QVERIFY(!views::rangeBounds(views::HistoryRange::Custom, now, QDateTime(), now));
        QCOMPARE(*views::rangeBounds(views::HistoryRange::Custom, now, now.addDays(-2), now)->to, now);

        // A long range is read as each interval's highest sample.
        QCOMPARE(views::readingInterval(kHour), 0);
        QCOMPARE(views::readingInterval(kDay), 4000);
        QCOMPARE(views::readingInterval(7 * kDay), 30'000);

        // The history's copy of the monitor's polls is not drawn twice.
        const std::vector<TimedReading> stored{{100, 10}, {200, 20}, {300, 30}, {400, 40}};
        const std::vector<TimedReading> session{{300, 31}, {400, 41}, {500, 51}};
        const std::vector<TimedReading> merged = views::mergeReadings(stored, session, 300, 150, 450);
        QCOMPARE(merged.size(), size_t(3));
        QCOMPARE(merged[0].percent, 20);
        QCOMPARE(merged[1].percent, 31);
        QCOMPARE(merged[2].percent, 41);
        QCOMPARE(views::mergeReadings(stored, {}, std::nullopt, 0, 1000).size(), size_t(4));

        // A day of 1-second readings on 200 columns: few points, the peak kept,
        // the line reaching both edges.
        std::vector<TimedReading> line;
        for (qint64 t = 0; t < kDay; t += 1000)
            line.push_back({t, t == 12345000 ? 97 : 20});
        const QList<QPointF> drawn = views::pointsToDraw(line, kHour, 23 * kHour, 200);
        QVERIFY(drawn.size() <= 202);
        QVERIFY(
            std::any_of(drawn.begin(), drawn.end(), [](const QPointF& p) { return p.y() == 97 && p.x() == 12345000; }));
        QVERIFY(drawn.first().x() < kHour);
        QVERIFY(drawn.last().x() > 23 * kHour);
        QVERIFY(std::is_sorted(drawn.begin(), drawn.end(),
                               [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); }));
        // Few readings are drawn as they are.
        QCOMPARE(views::pointsToDraw(stored, 0, 1000, 200).size(), 4);
        QCOMPARE(views::pointsToDraw({}, 0, 1000, 200).size(), 0);
    }

    void historyGivesEachIntervalsHighest()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        history::HistoryStore store(dir.filePath(QStringLiteral("history.sqlite")));
        QVERIFY(store.open());
        const QDateTime start(QDate(2026, 12, 7), QTime(9, 0), Qt::UTC);
        std::vector<history::Sample> samples;
        for (int second = 0; second < 600; ++second) {
            const int value = second == 321 ? 88 : second % 10;
            samples.push_back({QStringLiteral("FS1"), start.addSecs(second), value, value});
            samples.push_back({QStringLiteral("FS2"), start.addSecs(second), 50, 50});
        }
        QVERIFY(store.recordSamples(samples));
        const std::vector<history::Sample> minutes = store.sampleMaxima("FS1", start, start.addSecs(599), kMinute);
        QCOMPARE(minutes.size(), size_t(10));
        // The peak at its own time; the other minutes' highest is 9.
        QCOMPARE(minutes[5].taken, start.addSecs(321));
        QCOMPARE(minutes[5].utilization, 88);
        QCOMPARE(minutes[0].utilization, 9);
        QVERIFY(std::is_sorted(minutes.begin(), minutes.end(),
                               [](const history::Sample& a, const history::Sample& b) { return a.taken < b.taken; }));
        // Within the period only; every sample for no interval.
        QCOMPARE(store.sampleMaxima("FS1", start.addSecs(60), start.addSecs(119), kMinute).size(), size_t(1));
        QCOMPARE(store.sampleMaxima("FS1", start, start.addSecs(599), 0).size(), size_t(600));
        QVERIFY(store.sampleMaxima("NONE", start, start.addSecs(599), kMinute).empty());
    }

    // Opened on the monitor's first poll, as a user opens it, the chart
    // still labels its time axis once the polls come in.
    void timeAxisLabelledWhileTheFirstPollsComeIn()
    {
        views::UtilizationHistory history;
        const QStringList servers{"FS1"};
        const qint64 start = QDateTime(QDate(2026, 12, 7), QTime(17, 2, 32), Qt::UTC).toMSecsSinceEpoch();
        poll(history, servers, start, 1, 1'000);
        views::UtilizationHistoryWindow window(history);
        showAndLayOut(window);
        for (int i = 1; i < 8; ++i) {
            poll(history, servers, start + i * 1000, 1, 1'000);
            window.historyChanged();
        }
        window.chartView()->grab();  // lays the chart out and draws it
        static const QRegularExpression clock(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$"));
        QStringList labels;
        for (QGraphicsItem* item : window.chartView()->scene()->items()) {
            if (auto* text = dynamic_cast<QGraphicsTextItem*>(item);
                text && clock.match(text->toPlainText()).hasMatch())
                labels.append(text->toPlainText());
        }
        QVERIFY2(labels.size() >= 2, qPrintable(labels.join(QLatin1Char(' '))));
    }

    void axisFollowsThePollsAndTheUsersView()
    {
        views::UtilizationHistory history;
        const QStringList servers{"FS1", "FS2", "MAIL1"};
        const qint64 start = QDateTime(QDate(2026, 12, 7), QTime(9, 0), Qt::UTC).toMSecsSinceEpoch();
        poll(history, servers, start, 361, 10'000);  // an hour of 10-second polls
        views::UtilizationHistoryWindow window(history);
        showAndLayOut(window);

        // The axis spans what was recorded, in clock times of the hour.
        QCOMPARE(axisFrom(window), start);
        QCOMPARE(axisTo(window), start + kHour);
        QCOMPARE(window.timeAxis()->format(), QStringLiteral("hh:mm"));
        QCOMPARE(window.series(0)->count(), 361);
        QCOMPARE(window.series(0)->at(0).x(), static_cast<qreal>(start));

        // A new poll: the axis follows it.
        poll(history, servers, start + kHour + 10'000, 1, 10'000);
        window.historyChanged();
        QCOMPARE(axisTo(window), start + kHour + 10'000);

        // The zoom button and the key narrow around the newest end.
        QTest::mouseClick(window.btnZoomIn(), Qt::LeftButton);
        const qint64 zoomed = axisTo(window) - axisFrom(window);
        QVERIFY(zoomed < kHour);
        QCOMPARE(axisTo(window), start + kHour + 10'000);
        window.chartView()->setFocus();
        QTest::keyClick(window.chartView(), Qt::Key_Plus);
        QVERIFY(axisTo(window) - axisFrom(window) < zoomed);
        QVERIFY(window.series(0)->count() < 361);  // only the shown span is drawn
        QTest::keyClick(window.chartView(), Qt::Key_Minus);
        QCOMPARE(axisTo(window) - axisFrom(window), zoomed);
        // The wheel zooms, with Ctrl as without.
        wheel(window.chartView()->viewport(), 1);
        const qint64 wheeled = axisTo(window) - axisFrom(window);
        QVERIFY(wheeled < zoomed);
        wheel(window.chartView()->viewport(), 1, Qt::ControlModifier);
        QVERIFY(axisTo(window) - axisFrom(window) < wheeled);

        // Pans: the arrow key, a drag to the right and the scroll bar go back in time.
        const qint64 beforePan = axisFrom(window);
        QTest::keyClick(window.chartView(), Qt::Key_Left);
        QVERIFY(axisFrom(window) < beforePan);
        const qint64 beforeDrag = axisFrom(window);
        QWidget* viewport = window.chartView()->viewport();
        const QPoint middle = window.chartView()->chart()->plotArea().center().toPoint();
        QTest::mousePress(viewport, Qt::LeftButton, {}, middle);
        QMouseEvent move(QEvent::MouseMove, middle + QPoint(150, 0), viewport->mapToGlobal(middle + QPoint(150, 0)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &move);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, middle + QPoint(150, 0));
        QVERIFY(axisFrom(window) < beforeDrag);
        QScrollBar* scroll = window.scrollTime();
        scroll->setValue(0);
        QCOMPARE(axisFrom(window), start);
        const qint64 span = axisTo(window) - axisFrom(window);

        // Looking back, a new poll leaves the view where it is.
        poll(history, servers, start + kHour + 20'000, 1, 10'000);
        window.historyChanged();
        QCOMPARE(axisFrom(window), start);
        QCOMPARE(axisTo(window) - axisFrom(window), span);
        // "All" shows everything again, and the axis follows once more.
        QTest::mouseClick(window.btnShowAll(), Qt::LeftButton);
        QCOMPARE(axisTo(window), start + kHour + 20'000);
        poll(history, servers, start + kHour + 30'000, 1, 10'000);
        window.historyChanged();
        QCOMPARE(axisTo(window), start + kHour + 30'000);
        QCOMPARE(scroll->value(), scroll->maximum());
    }

    void legendAndListHideLinesInStep()
    {
        views::UtilizationHistory history;
        const QStringList servers{"FS1", "FS2", "MAIL1"};
        poll(history, servers, QDateTime::currentMSecsSinceEpoch() - kHour, 60, kMinute);
        views::UtilizationHistoryWindow window(history, nullptr, {"FS1", "FS2", "MAIL1", "NEWFS"});
        showAndLayOut(window);
        QCOMPARE(window.seriesCount(), 4);  // a monitored server before its first poll has a line
        QCOMPARE(window.series(3)->count(), 0);

        QLegendMarker* marker = window.legendMarker(1);
        QVERIFY(marker);
        Q_EMIT marker->clicked();
        QVERIFY(!window.series(1)->isVisible());
        QCOMPARE(window.lstServers()->item(1)->checkState(), Qt::Unchecked);
        QVERIFY(marker->isVisible());  // faded, still there to bring the line back
        QVERIFY(window.series(0)->isVisible());
        Q_EMIT marker->clicked();
        QVERIFY(window.series(1)->isVisible());
        QCOMPARE(window.lstServers()->item(1)->checkState(), Qt::Checked);

        // The list's box hides the line and fades its marker the same way.
        window.lstServers()->item(2)->setCheckState(Qt::Unchecked);
        QVERIFY(!window.isServerShown(2));
        QVERIFY(window.legendMarker(2)->isVisible());
        QVERIFY(window.legendMarker(2)->labelBrush().color().alphaF() < 1.0);
        // A hidden line stays hidden when polls refill the chart.
        poll(history, servers, QDateTime::currentMSecsSinceEpoch(), 1, kMinute);
        window.historyChanged();
        QVERIFY(!window.isServerShown(2));
    }

    void rangesReadTheHistoryDatabase()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("history.sqlite"));
        const QDateTime now = QDateTime::currentDateTimeUtc();
        const QStringList servers{"FS1", "FS2"};
        writeHistory(path, servers, now.addDays(-2), 4, 30 * kMinute);  // six days ago to two days ago
        history::HistoryRecorder recorder(path);
        recorder.start();

        views::UtilizationHistory session;
        poll(session, servers, now.toMSecsSinceEpoch() - 10 * kMinute, 10, kMinute);
        views::UtilizationHistoryWindow window(session, &recorder, servers);
        QSignalSpy read(&window, &views::UtilizationHistoryWindow::rangeRead);
        showAndLayOut(window);
        QVERIFY(read.count() > 0 || read.wait(30'000));
        QVERIFY(!window.isReading());
        // "Last hour" holds only the monitor's polls.
        QCOMPARE(window.series(0)->count(), 10);

        read.clear();
        window.cboRange()->setCurrentIndex(window.cboRange()->findText(QStringLiteral("Last week")));
        Q_EMIT window.cboRange()->activated(window.cboRange()->currentIndex());
        QVERIFY(read.wait(30'000));
        // The axis reaches back to the samples of six days ago and on to the last poll.
        const qint64 sixDaysAgo = now.addDays(-6).toMSecsSinceEpoch();
        QVERIFY(std::abs(axisFrom(window) - sixDaysAgo) <= 30 * kMinute);
        QCOMPARE(axisTo(window), session.pollTime(session.pollCount() - 1));
        QCOMPARE(window.timeAxis()->format(), QStringLiteral("dd MMM hh:mm"));
        const QLineSeries* line = window.series(1);
        QVERIFY(line->count() > 100);
        QVERIFY(line->at(0).x() < static_cast<qreal>(now.addDays(-5).toMSecsSinceEpoch()));
        QCOMPARE(line->at(line->count() - 1).x(), static_cast<qreal>(session.pollTime(session.pollCount() - 1)));

        // A custom period that ends before it starts is refused; the range stays.
        QVERIFY(!window.setRange(views::HistoryRange::Custom, now, now.addDays(-1)));
        QCOMPARE(window.cboRange()->currentText(), QStringLiteral("Last week"));
        QVERIFY(!window.findChild<QLabel*>(QStringLiteral("lblRangeStatus"))->text().isEmpty());
        // A custom period of one day, three days ago, shows that day alone.
        read.clear();
        const QDateTime from = now.addDays(-4);
        QVERIFY(window.setRange(views::HistoryRange::Custom, from, from.addDays(1)));
        QVERIFY(read.wait(30'000));
        QVERIFY(axisFrom(window) >= from.toMSecsSinceEpoch());
        QVERIFY(axisTo(window) <= from.addDays(1).toMSecsSinceEpoch());
        QVERIFY(window.series(0)->count() >= 40);
    }

    void customPeriodAsksAndRefusesABackwardPeriod()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        history::HistoryRecorder recorder(dir.filePath(QStringLiteral("history.sqlite")));
        recorder.start();
        views::UtilizationHistory session;
        views::UtilizationHistoryWindow window(session, &recorder, {"FS1"});
        QSignalSpy read(&window, &views::UtilizationHistoryWindow::rangeRead);
        showAndLayOut(window);
        QVERIFY(read.count() > 0 || read.wait(30'000));
        const int custom = window.cboRange()->findText(QStringLiteral("Custom..."));

        // A period that ends before it starts cannot be taken; Cancel keeps the range.
        bool refused = false;
        QTimer::singleShot(0, &window, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            auto* from = dialog->findChild<QDateTimeEdit*>(QStringLiteral("dtmFrom"));
            auto* to = dialog->findChild<QDateTimeEdit*>(QStringLiteral("dtmTo"));
            to->setDateTime(from->dateTime().addSecs(-60));
            auto* buttons = dialog->findChild<QDialogButtonBox*>();
            refused = !buttons->button(QDialogButtonBox::Ok)->isEnabled();
            const QString shots = qEnvironmentVariable("VESKARO_SCREENSHOT_DIR");
            if (!shots.isEmpty())
                dialog->grab().save(shots + QStringLiteral("/history-period.png"));
            dialog->reject();
        });
        window.cboRange()->setCurrentIndex(custom);
        Q_EMIT window.cboRange()->activated(custom);
        QVERIFY(refused);
        QCOMPARE(window.cboRange()->currentText(), QStringLiteral("Last hour"));

        // A sound period is read.
        read.clear();
        QTimer::singleShot(0, &window, [] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            auto* from = dialog->findChild<QDateTimeEdit*>(QStringLiteral("dtmFrom"));
            from->setDateTime(QDateTime::currentDateTime().addDays(-3));
            dialog->accept();
        });
        Q_EMIT window.cboRange()->activated(custom);
        QVERIFY(read.count() > 0 || read.wait(30'000));
        QCOMPARE(window.cboRange()->currentText(), QStringLiteral("Custom..."));
    }

    // A week of nine servers read from the history; with VESKARO_SCREENSHOT_DIR
    // set the picture is kept there (the README's gallery).
    void weekChartRenders()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("history.sqlite"));
        const QStringList servers{"FS1", "FS2", "FS3", "HQ-FS1", "HQ-FS2", "MAIL1", "GW1", "VAULT1", "PRINT1"};
        const QDateTime now = QDateTime::currentDateTimeUtc();
        writeHistory(path, servers, now, 7, 10 * kMinute);
        history::HistoryRecorder recorder(path);
        recorder.start();
        views::UtilizationHistory session;
        views::UtilizationHistoryWindow window(session, &recorder, servers);
        QSignalSpy read(&window, &views::UtilizationHistoryWindow::rangeRead);
        window.setRange(views::HistoryRange::LastWeek);
        showAndLayOut(window);
        QVERIFY(read.count() > 0 || read.wait(30'000));
        QVERIFY(!window.isReading());
        QCoreApplication::processEvents();
        QCOMPARE(window.seriesCount(), 9);
        QVERIFY(window.series(8)->count() > 100);
        const QImage image = window.grab().toImage();
        QVERIFY(!image.isNull());
        const QString shots = qEnvironmentVariable("VESKARO_SCREENSHOT_DIR");
        if (!shots.isEmpty())
            QVERIFY(image.save(shots + QStringLiteral("/utilization-history-week.png"), "PNG", 0));
    }
};

VESKARO_TEST_MAIN(TestHistoryChart)
#include "test_historychart.moc"

#include "support/TestMain.h"
#include "widgets/RefreshFrame.h"
#include "widgets/RefreshInterval.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using widgets::RefreshFrame;

class TestRefreshFrame : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void intervalEdits_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("milliseconds");
        QTest::newRow("75 becomes 60") << "75"
                                       << "60" << true << 60000;
        QTest::newRow("60.5 rounds to 60") << "60.5"
                                           << "60.5" << true << 60000;
        QTest::newRow("60.6 rounds to 61") << "60.6"
                                           << "60" << true << 60000;
        QTest::newRow("empty") << ""
                               << "" << false << 0;
        QTest::newRow("lone point") << "."
                                    << "." << false << 0;
        QTest::newRow("two points") << "1.2.3"
                                    << "1.2.3" << false << 0;
        QTest::newRow("zero") << "0"
                              << "0" << true << 0;
        QTest::newRow("decimal") << "2.6"
                                 << "2.6" << true << 2600;
        QTest::newRow("half a second") << "0.5"
                                       << "0.5" << true << 500;
        QTest::newRow("one and a half") << "1.5"
                                        << "1.5" << true << 1500;
        QTest::newRow("too little to time") << "0.0004"
                                            << "0.0004" << true << 0;
        QTest::newRow("trailing point") << "7."
                                        << "7." << true << 7000;
        QTest::newRow("pasted word") << "ten"
                                     << "ten" << false << 0;
        QTest::newRow("huge") << "99999999999"
                              << "60" << true << 60000;
    }

    void intervalEdits()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(bool, enabled);
        QFETCH(int, milliseconds);
        RefreshFrame frame;
        frame.setIntervalText(QStringLiteral("5"));
        frame.setIntervalText(typed);
        QCOMPARE(frame.intervalText(), shown);
        QCOMPARE(frame.btnRefresh()->isEnabled(), enabled);
        QCOMPARE(frame.intervalMilliseconds(), milliseconds);
    }

    void fractionalIntervalsRunTheTimer()
    {
        RefreshFrame frame;
        frame.setIntervalText(QStringLiteral("0.5"));
        frame.start();
        QVERIFY(frame.timer()->isActive());
        QCOMPARE(frame.timer()->interval(), 500);
    }

    void typedKeysAreFiltered()
    {
        RefreshFrame frame;
        // Digits, the point and backspace pass; the neighbours of the digits do not.
        QTest::keyClicks(frame.txtInterval(), QStringLiteral("1a/2,:.-5"));
        QCOMPARE(frame.intervalText(), QStringLiteral("12.5"));
        QTest::keyClick(frame.txtInterval(), Qt::Key_Backspace);
        QCOMPARE(frame.intervalText(), QStringLiteral("12."));
        QTest::keyClick(frame.txtInterval(), Qt::Key_Home);
        QTest::keyClick(frame.txtInterval(), Qt::Key_Delete);
        QCOMPARE(frame.intervalText(), QStringLiteral("2."));
    }

    void maxLengthTwo()
    {
        RefreshFrame frame;
        frame.setIntervalMaxLength(2);
        QTest::keyClicks(frame.txtInterval(), QStringLiteral("123"));
        QCOMPARE(frame.intervalText(), QStringLiteral("12"));
        frame.txtInterval()->clear();
        QTest::keyClicks(frame.txtInterval(), QStringLiteral("99"));
        QCOMPARE(frame.intervalText(), QStringLiteral("60"));
    }

    void togglesCaptionAndTimer()
    {
        RefreshFrame frame;
        frame.setIntervalText(QStringLiteral("5"));
        QSignalSpy started(&frame, &RefreshFrame::started);
        QSignalSpy stopped(&frame, &RefreshFrame::stopped);
        QSignalSpy caption(&frame, &RefreshFrame::captionChanged);
        QCOMPARE(frame.buttonCaption(), QStringLiteral("Begin &Refresh"));

        QTest::mouseClick(frame.btnRefresh(), Qt::LeftButton);
        QCOMPARE(frame.buttonCaption(), QStringLiteral("&Stop"));
        QVERIFY(frame.isRefreshing());
        QVERIFY(!frame.txtInterval()->isEnabled());
        QVERIFY(frame.timer()->isActive());
        QCOMPARE(frame.timer()->interval(), 5000);
        QCOMPARE(started.count(), 1);
        QCOMPARE(caption.takeFirst().at(0).toString(), QStringLiteral("&Stop"));

        frame.holdTimer();
        QVERIFY(!frame.timer()->isActive());
        frame.resumeTimer();
        QVERIFY(frame.timer()->isActive());

        frame.toggle();
        QCOMPARE(frame.buttonCaption(), QStringLiteral("Begin &Refresh"));
        QVERIFY(frame.txtInterval()->isEnabled());
        QVERIFY(!frame.timer()->isActive());
        QCOMPARE(stopped.count(), 1);
        QCOMPARE(caption.takeFirst().at(0).toString(), QStringLiteral("Begin &Refresh"));
        frame.resumeTimer();
        QVERIFY(!frame.timer()->isActive());
    }

    void zeroIntervalNeverFires()
    {
        RefreshFrame frame;
        frame.setIntervalText(QStringLiteral("0"));
        frame.toggle();
        QVERIFY(frame.isRefreshing());
        QVERIFY(!frame.timer()->isActive());
    }

    void timerWaitsWhileAPassRuns()
    {
        // The first pass keeps a message box open for several intervals. No
        // other pass starts under it, and the next one comes a whole
        // interval after it ends, not at once for the ticks it sat through.
        RefreshFrame frame;
        frame.setIntervalText(QStringLiteral("0.05"));
        int passes = 0;
        int running = 0;
        int overlapping = 0;
        int timerRunning = 0;
        QElapsedTimer sinceFirstEnded;
        qint64 pause = -1;
        connect(&frame, &RefreshFrame::timeout, &frame, [&] {
            ++passes;
            if (running > 0)
                ++overlapping;
            ++running;
            if (passes == 1) {
                QTest::qWait(300);  // the box is open
                timerRunning += frame.timer()->isActive() ? 1 : 0;
                sinceFirstEnded.start();
            } else if (passes == 2) {
                pause = sinceFirstEnded.elapsed();
            }
            --running;
        });
        frame.start();
        QTRY_VERIFY(passes >= 2);
        frame.stop();
        QCOMPARE(overlapping, 0);
        QCOMPARE(timerRunning, 0);
        QVERIFY2(pause >= 40, qPrintable(QString::number(pause)));
    }

    void passOfTheViewHoldsTheTimerToo()
    {
        // A pass the view starts itself (on "Begin &Refresh") lets the ticks
        // that fall due under its box wait, and a second pass is refused.
        RefreshFrame frame;
        frame.setIntervalText(QStringLiteral("0.05"));
        int passes = 0;
        bool refused = false;
        bool timerRunning = true;
        connect(&frame, &RefreshFrame::timeout, &frame, [&] {
            if (++passes > 1)
                return;
            QTest::qWait(200);
            timerRunning = frame.timer()->isActive();
            refused = !frame.runPass();
        });
        frame.start();
        QVERIFY(frame.runPass());
        QCOMPARE(passes, 1);
        QVERIFY(refused);
        QVERIFY(!timerRunning);
        QVERIFY(frame.timer()->isActive());  // armed again for the next pass
        QVERIFY(!frame.isPassRunning());

        // A window unloaded during its pass holds the timer: the pass's end leaves it held.
        passes = 0;
        disconnect(&frame, &RefreshFrame::timeout, nullptr, nullptr);
        connect(&frame, &RefreshFrame::timeout, &frame, [&] { frame.holdTimer(); });
        QVERIFY(frame.runPass());
        QVERIFY(!frame.timer()->isActive());
        // Stopped during the pass: nothing runs on.
        frame.resumeTimer();
        disconnect(&frame, &RefreshFrame::timeout, nullptr, nullptr);
        connect(&frame, &RefreshFrame::timeout, &frame, [&] { frame.stop(); });
        QVERIFY(frame.runPass());
        QVERIFY(!frame.isRefreshing());
        QVERIFY(!frame.timer()->isActive());
    }

    void captionAndControlNames()
    {
        RefreshFrame frame(QStringLiteral("Auto Refresh Interval"));
        QCOMPARE(frame.title(), QStringLiteral("Auto Refresh Interval"));
        QCOMPARE(frame.findChild<QPushButton*>(QStringLiteral("btnRefresh")), frame.btnRefresh());
        QCOMPARE(frame.findChild<QLineEdit*>(QStringLiteral("txtInterval")), frame.txtInterval());
        QCOMPARE(frame.findChild<QLabel*>(QStringLiteral("lblSeconds"))->text(), QStringLiteral("secs."));
        QCOMPARE(RefreshFrame().title(), QStringLiteral("Refresh Interval"));
    }
};

VESKARO_TEST_MAIN(TestRefreshFrame)
#include "test_refreshframe.moc"

#include "settings/Registry.h"
#include "widgets/RefreshFrame.h"
#include "widgets/RefreshInterval.h"

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
    void keyFilter_data();
    void keyFilter();
    void intervalEdits_data();
    void intervalEdits();
    void typedKeysAreFiltered();
    void maxLengthTwo();
    void togglesCaptionAndTimer();
    void zeroIntervalNeverFires();
    void captionAndControlNames();
};

void TestRefreshFrame::keyFilter_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("result");
    QTest::newRow("backspace") << 8 << 8;
    QTest::newRow("point") << 46 << 46;
    QTest::newRow("zero") << 48 << 48;
    QTest::newRow("nine") << 57 << 57;
    QTest::newRow("slash") << 47 << 0;
    QTest::newRow("colon") << 58 << 0;
    QTest::newRow("letter") << int('a') << 0;
    QTest::newRow("comma") << int(',') << 0;
    QTest::newRow("enter") << 13 << 0;
    QTest::newRow("minus") << int('-') << 0;
}

void TestRefreshFrame::keyFilter()
{
    QFETCH(int, code);
    QFETCH(int, result);
    QCOMPARE(settings::fnNumericKeyFilter(code), result);
}

void TestRefreshFrame::intervalEdits_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("milliseconds");
    QTest::newRow("75 becomes 60") << "75" << "60" << true << 60000;
    QTest::newRow("61 becomes 60") << "61" << "60" << true << 60000;
    QTest::newRow("60 stays") << "60" << "60" << true << 60000;
    QTest::newRow("60.5 rounds to 60") << "60.5" << "60.5" << true << 60000;
    QTest::newRow("60.6 rounds to 61") << "60.6" << "60" << true << 60000;
    QTest::newRow("empty") << "" << "" << false << 0;
    QTest::newRow("lone point") << "." << "." << false << 0;
    QTest::newRow("two points") << "1.2.3" << "1.2.3" << false << 0;
    QTest::newRow("zero") << "0" << "0" << true << 0;
    QTest::newRow("five") << "5" << "5" << true << 5000;
    QTest::newRow("decimal") << "2.6" << "2.6" << true << 3000;
    QTest::newRow("trailing point") << "7." << "7." << true << 7000;
    QTest::newRow("pasted word") << "ten" << "ten" << false << 0;
    QTest::newRow("huge") << "99999999999" << "60" << true << 60000;
}

void TestRefreshFrame::intervalEdits()
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

void TestRefreshFrame::typedKeysAreFiltered()
{
    RefreshFrame frame;
    QTest::keyClicks(frame.txtInterval(), QStringLiteral("1a/2,.-5"));
    QCOMPARE(frame.intervalText(), QStringLiteral("12.5"));
    QTest::keyClick(frame.txtInterval(), Qt::Key_Backspace);
    QCOMPARE(frame.intervalText(), QStringLiteral("12."));
    QTest::keyClick(frame.txtInterval(), Qt::Key_Home);
    QTest::keyClick(frame.txtInterval(), Qt::Key_Delete);
    QCOMPARE(frame.intervalText(), QStringLiteral("2."));
}

void TestRefreshFrame::maxLengthTwo()
{
    RefreshFrame frame;
    frame.setIntervalMaxLength(2);
    QTest::keyClicks(frame.txtInterval(), QStringLiteral("123"));
    QCOMPARE(frame.intervalText(), QStringLiteral("12"));
    frame.txtInterval()->clear();
    QTest::keyClicks(frame.txtInterval(), QStringLiteral("99"));
    QCOMPARE(frame.intervalText(), QStringLiteral("60"));
}

void TestRefreshFrame::togglesCaptionAndTimer()
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

void TestRefreshFrame::zeroIntervalNeverFires()
{
    RefreshFrame frame;
    frame.setIntervalText(QStringLiteral("0"));
    QSignalSpy ticks(&frame, &RefreshFrame::timeout);
    frame.toggle();
    QVERIFY(frame.isRefreshing());
    QVERIFY(!frame.timer()->isActive());
    QTest::qWait(20);
    QCOMPARE(ticks.count(), 0);
}

void TestRefreshFrame::captionAndControlNames()
{
    RefreshFrame frame(QStringLiteral("Auto Refresh Interval"));
    QCOMPARE(frame.title(), QStringLiteral("Auto Refresh Interval"));
    QVERIFY(frame.findChild<QPushButton*>(QStringLiteral("btnRefresh")));
    QVERIFY(frame.findChild<QLineEdit*>(QStringLiteral("txtInterval")));
    QCOMPARE(frame.findChild<QLabel*>(QStringLiteral("lblSeconds"))->text(), QStringLiteral("secs."));
    QCOMPARE(RefreshFrame().title(), QStringLiteral("Refresh Interval"));
}

QTEST_MAIN(TestRefreshFrame)
#include "test_refreshframe.moc"

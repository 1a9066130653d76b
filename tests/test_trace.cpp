// The diagnostics trace: the switch, the line, and the file beside the program.

#include "settings/Trace.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace settings;

class TestTrace : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void traceSwitch_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("upper case") << QStringList{u"/DEBUG"_qs} << true;
        QTest::newRow("lower case") << QStringList{u"/debug"_qs} << true;
        QTest::newRow("none") << QStringList{} << false;
        QTest::newRow("with another argument") << QStringList{u"/DEBUG"_qs, u"x"_qs} << false;
        QTest::newRow("longer") << QStringList{u"/DEBUGX"_qs} << false;
    }

    void traceSwitch()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, enabled);
        QCOMPARE(isTraceEnabled(arguments), enabled);
    }

    void timestampLikeTheSystem()
    {
        const QDateTime when(QDate(2026, 12, 5), QTime(19, 4, 36));
        // Locale data of some releases puts a narrow space before "PM".
        const auto plainSpaces = [](QString text) {
            return text.replace(QChar(0x202F), u' ').replace(QChar(0x00A0), u' ');
        };
        QCOMPARE(plainSpaces(traceTimestamp(when, QLocale(QLocale::English, QLocale::UnitedStates))),
                 u"12/5/2026 7:04:36 PM"_qs);
        QCOMPARE(traceTimestamp(when, QLocale(QLocale::German, QLocale::Germany)), u"05.12.2026 19:04:36"_qs);
    }

    void linesAreAppended()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString file = dir.filePath(QStringLiteral("Veskaro.dbg"));
        {
            QFile earlier(file);
            QVERIFY(earlier.open(QIODevice::WriteOnly));
            earlier.write("earlier run\r\n");
        }
        const QDateTime before = QDateTime::currentDateTime();
        writeDebugLog(dir.path(), u"Volume Info - subGetVolumes"_qs, u"FS1"_qs, u"NWCCOpenConnByName"_qs, 0);
        writeDebugLog(dir.path(), u"Server Info - btnServerInfo"_qs, u"FS2"_qs, u"NWDSGetDSVerInfo"_qs, -610);
        const QDateTime after = QDateTime::currentDateTime();

        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = written.readAll().split('\n');
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines.at(0), QByteArray("earlier run\r"));
        // Each line begins with the moment of writing, as the system writes it.
        const QString stamp = QString::fromLocal8Bit(lines.at(1).left(lines.at(1).indexOf(", Volume Info")));
        bool stampedNow = false;
        for (QDateTime moment = before.addSecs(-1); moment <= after.addSecs(1) && !stampedNow;
             moment = moment.addSecs(1))
            stampedNow = stamp == traceTimestamp(moment);
        QVERIFY2(stampedNow, qPrintable(stamp));
        QVERIFY(lines.at(1).endsWith(", Volume Info - subGetVolumes, FS1, NWCCOpenConnByName, Result: 0\r"));
        QVERIFY(lines.at(2).endsWith(", Server Info - btnServerInfo, FS2, NWDSGetDSVerInfo, Result: -610\r"));
    }

    void unwritableFolderIsPassedOver()
    {
        QTemporaryDir dir;
        const QString missing = dir.filePath(QStringLiteral("no/such/folder"));
        writeDebugLog(missing, u"Volume Info - subGetVolumes"_qs, u"FS1"_qs, u"NWCCCloseConn"_qs, 0);
        QVERIFY(!QDir(missing).exists());
    }
};

VESKARO_TEST_GUILESS_MAIN(TestTrace)
#include "test_trace.moc"

// How up times, versions, module dates and SET values read on screen.

#include "support/TestMain.h"
#include "views/ServerFormats.h"

#include <QTest>

#include <cstring>

using namespace views;

namespace {

quint32 ticksFor(qint64 seconds)
{
    return static_cast<quint32>(std::llround(static_cast<double>(seconds) / 0.0549255));
}

nw::SetCommandRecord record(const QByteArray& name, const QByteArray& value, quint32 statedLength)
{
    nw::SetCommandRecord r;
    std::memcpy(r.nameAndValue.data(), name.constData(), static_cast<std::size_t>(name.size()));
    std::memcpy(r.nameAndValue.data() + name.size() + 1, value.constData(), static_cast<std::size_t>(value.size()));
    r.valueLength = statedLength;
    return r;
}

}  // namespace

class TestServerFormats : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void upTime_data()
    {
        QTest::addColumn<quint32>("ticks");
        QTest::addColumn<QString>("text");
        QTest::newRow("day hour minute second") << ticksFor(86400 + 3600 + 60 + 1) << "1D 1H 1M";
        QTest::newRow("exactly one day") << ticksFor(86400) << "1D 0H 0M";
        QTest::newRow("under a minute") << ticksFor(59) << "0D 0H 0M";
        QTest::newRow("long") << ticksFor(12 * 86400 + 3 * 3600 + 45 * 60) << "12D 3H 45M";
        QTest::newRow("zero") << 0u << "0D 0H 0M";
        // Past 2^31 ticks (about 3.7 years) the counter must not read negative.
        // 150,000,000 s of the PC timer's 1193182/65536 ticks a second.
        QTest::newRow("150,000,000 s") << 2730976868u << "1736D 2H 44M";
        QTest::newRow("counter at its top") << 0xFFFFFFFFu << "2730D 8H 40M";
    }
    void upTime()
    {
        QFETCH(quint32, ticks);
        QFETCH(QString, text);
        QCOMPARE(formatUpTime(ticks), text);
    }

    void versions()
    {
        QCOMPARE(serverVersionText(5, 70, 5), QStringLiteral("5.70.5"));
        QCOMPARE(serverVersionText(5, 0, 0), QStringLiteral("5.0.0"));
        const QLocale c = QLocale::c();
        QCOMPARE(dsVersionText(885, c), QStringLiteral("8.85"));
        QCOMPARE(dsVersionText(10550, c), QStringLiteral("105.5"));
        QCOMPARE(dsVersionText(0, c), QStringLiteral("0"));
        QCOMPARE(dsVersionText(885, QLocale(QLocale::German)), QStringLiteral("8,85"));
    }

    void nlmVersion_data()
    {
        QTest::addColumn<quint32>("major");
        QTest::addColumn<quint32>("minor");
        QTest::addColumn<quint32>("revision");
        QTest::addColumn<QString>("text");
        QTest::newRow("revision 8") << 5u << 0u << 8u << QString(10, QLatin1Char(' ')) + "5.00h";
        QTest::newRow("revision 0 has no letter") << 5u << 70u << 0u << QString(9, QLatin1Char(' ')) + "5.70";
        QTest::newRow("revision 26 is z") << 1u << 2u << 26u << QString(9, QLatin1Char(' ')) + "1.02z";
        QTest::newRow("long plain text not padded") << 1234567u << 1234567u << 1u << "1234567.1234567a";
        QTest::newRow("past z keeps the number") << 1u << 0u << 27u << QString(9, QLatin1Char(' ')) + "1.00(27)";
        QTest::newRow("three-digit minor") << 4u << 110u << 2u << QString(8, QLatin1Char(' ')) + "4.110b";
        QTest::newRow("largest numbers") << 4294967295u << 4294967295u << 4294967295u
                                         << "4294967295.4294967295(4294967295)";
        QTest::newRow("zeros") << 0u << 0u << 0u << QString(10, QLatin1Char(' ')) + "0.00";
    }
    void nlmVersion()
    {
        QFETCH(quint32, major);
        QFETCH(quint32, minor);
        QFETCH(quint32, revision);
        QFETCH(QString, text);
        QCOMPARE(nlmVersionText(major, minor, revision), text);
    }

    void nlmDate()
    {
        const QLocale us(QLocale::English, QLocale::UnitedStates);
        // The year is written in full, so 1999 and 2099 differ.
        QCOMPARE(nlmDateText(1999, 12, 31, us), QStringLiteral("12/31/1999"));
        QCOMPARE(nlmDateText(2099, 12, 31, us), QStringLiteral("12/31/2099"));
        QCOMPARE(nlmDateText(2008, 10, 7, QLocale(QLocale::German, QLocale::Germany)), QStringLiteral("07.10.2008"));
        QCOMPARE(nlmDateText(2008, 13, 40, us), QStringLiteral("2008-13-40"));
    }

    void categories()
    {
        QCOMPARE(parameterCategoryText(0), QStringLiteral("Comm"));
        QCOMPARE(parameterCategoryText(6), QStringLiteral("Trans Track"));
        QCOMPARE(parameterCategoryText(12), QStringLiteral("Dir Svcs"));
        QCOMPARE(parameterCategoryText(15), QStringLiteral("License Svcs"));
        QCOMPARE(parameterCategoryText(16), QStringLiteral("N/A"));
    }

    void setValues_data()
    {
        QTest::addColumn<quint32>("type");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("number 256") << 0u << QByteArray("\x00\x01\x00\x00", 4) << "256";
        QTest::newRow("number zero") << 0u << QByteArray("\x00\x00\x00\x00", 4) << "0";
        QTest::newRow("number no bytes") << 0u << QByteArray() << "0";
        QTest::newRow("number 65536") << 0u << QByteArray("\x00\x00\x01\x00", 4) << "65536";
        QTest::newRow("number only four bytes count") << 0u << QByteArray("\x01\x00\x00\x00\x05", 5) << "1";
        QTest::newRow("on") << 1u << QByteArray("\x01", 1) << "On";
        QTest::newRow("off") << 1u << QByteArray("\x00", 1) << "Off";
        QTest::newRow("off no bytes") << 1u << QByteArray() << "Off";
        QTest::newRow("on/off other") << 1u << QByteArray("\x02", 1) << "";
        QTest::newRow("91 ticks") << 2u << QByteArray("\x5B\x00\x00\x00", 4) << "5.0 seconds";
        QTest::newRow("1093 ticks") << 2u << QByteArray("\x45\x04\x00\x00", 4) << "1 minutes 0.0 seconds";
        QTest::newRow("1192 ticks") << 2u << QByteArray("\xA8\x04\x00\x00", 4) << "1 minutes 5.5 seconds";
        QTest::newRow("218 ticks") << 2u << QByteArray("\xDA\x00", 2) << "12.0 seconds";
        QTest::newRow("block shift") << 3u << QByteArray("64") << "64";
        QTest::newRow("time offset") << 4u << QByteArray("\x10\x0E\x00\x00", 4) << "3600";
        QTest::newRow("time offset west of Greenwich") << 4u << QByteArray("\xF0\xF1\xFF\xFF", 4) << "-3600";
        QTest::newRow("text") << 5u << QByteArray("EST5EDT") << "EST5EDT";
        QTest::newRow("text ends at its zero byte") << 5u << QByteArray("EST5EDT\x00", 8) << "EST5EDT";
        QTest::newRow("text with padding after the zero") << 5u << QByteArray("AB\x00\x43", 4) << "AB";
        QTest::newRow("block shift ends at its zero byte") << 3u << QByteArray("64\x00\x00", 4) << "64";
        QTest::newRow("text in the ANSI code page") << 5u << QByteArray("\x80 \x96") << QStringLiteral("\u20AC \u2013");
        QTest::newRow("trigger") << 6u << QByteArray("\x01", 1) << "";
        QTest::newRow("unknown type on") << 9u << QByteArray("\x01", 1) << "On";
        QTest::newRow("unknown type other") << 9u << QByteArray("\x07", 1) << "Unknown";
    }
    void setValues()
    {
        QFETCH(quint32, type);
        QFETCH(QByteArray, value);
        QFETCH(QString, text);
        QCOMPARE(parameterValueText(type, value, QLocale::c()), text);
    }

    void splitsRecordsByStatedLength()
    {
        const auto big = splitSetRecord(record("Maximum Packet Receive Buffers", QByteArray("\x00\x00\x01\x00", 4), 4));
        QCOMPARE(big.name, QStringLiteral("Maximum Packet Receive Buffers"));
        QCOMPARE(parameterValueText(0, big.value), QStringLiteral("65536"));

        // No stated length: the value ends at the first pair of zero bytes.
        const auto legacy = splitSetRecord(record("X", QByteArray("\x00\x01\x00\x00", 4), 0));
        QCOMPARE(legacy.value, QByteArray("\x00\x01", 2));
        QCOMPARE(parameterValueText(0, legacy.value), QStringLiteral("256"));
        const auto empty = splitSetRecord(record("Y", QByteArray(), 0));
        QVERIFY(empty.value.isEmpty());
    }

    void hostileRecordsStayInside()
    {
        nw::SetCommandRecord r;
        r.nameAndValue.fill('A');  // no terminator anywhere
        r.valueLength = 100000;
        const auto p = splitSetRecord(r);
        QCOMPARE(p.name.size(), 500);
        QVERIFY(p.value.isEmpty());

        nw::SetCommandRecord s = record("Name", QByteArray(), 0);
        s.valueLength = 4000;
        QCOMPARE(splitSetRecord(s).value.size(), 500 - 5);
    }
};

VESKARO_TEST_GUILESS_MAIN(TestServerFormats)
#include "test_serverformats.moc"

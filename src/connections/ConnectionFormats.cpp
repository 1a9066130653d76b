#include "connections/ConnectionFormats.h"
#include "settings/SettingsKeys.h"

#include "settings/Registry.h"

#include <cmath>

namespace connections {

namespace {

constexpr int kNumberWidth = 10;
constexpr int kCounterWidth = 15;
constexpr int kFilesWidth = 10;
constexpr int kFilterRoom = 24;
constexpr int kColumnsRoom = 99;
constexpr int kLastYearByte = 179;  // 2079

QLocale grouping(const QLocale& locale)
{
    QLocale grouped = locale;
    grouped.setNumberOptions(grouped.numberOptions() & ~QLocale::OmitGroupSeparator);
    return grouped;
}

}  // namespace

QString openFilesTitle(const QString& user, const QString& server)
{
    const QString base = QStringLiteral("Open Files");
    if (user.isEmpty() && server.isEmpty())
        return base;
    if (user.isEmpty())
        return QStringLiteral("%1 - %2").arg(base, server);
    if (server.isEmpty())
        return QStringLiteral("%1 - %2").arg(base, user);
    return QStringLiteral("%1 - %2 on %3").arg(base, user, server);
}

QString connectionTypeName(int code)
{
    static const QStringList names = {QStringLiteral("IPX"),  QStringLiteral("NLM"),     QStringLiteral("AFP"),
                                      QStringLiteral("FTAM"), QStringLiteral("ANCP"),    QStringLiteral("ACP"),
                                      QStringLiteral("SMB"),  QStringLiteral("WINSOCK"), QStringLiteral("HTTP"),
                                      QStringLiteral("IP")};
    if (code < kFirstTypeCode || code > kLastTypeCode)
        return {};
    return names.at(code - kFirstTypeCode);
}

QString connectionStatusName(quint32 status)
{
    switch (status) {
    case 0x0000:
        return QStringLiteral("Not Logged In");
    case 0x0001:
        return QStringLiteral("Normal");
    case 0x0002:
        return QStringLiteral("Being Aborted");
    case 0x0010:
        return QStringLiteral("Mac Station");
    case 0x0020:
        return QStringLiteral("Authenticated");
    case 0x0100:
        return QStringLiteral("Logging Out");
    case 0x0200:
        return QStringLiteral("Internal");
    case 0x0400:
        return QStringLiteral("Bindery");
    case 0x0401:
        return QStringLiteral("Normal");
    default:
        return QStringLiteral("Unknown");
    }
}

const QStringList& typeFilterEntries()
{
    static const QStringList entries = {kAllFilter,
                                        QStringLiteral("ACP"),
                                        QStringLiteral("AFP"),
                                        QStringLiteral("ANCP"),
                                        QStringLiteral("FTAM"),
                                        QStringLiteral("HTTP"),
                                        QStringLiteral("IP"),
                                        QStringLiteral("IPX"),
                                        QStringLiteral("NLM"),
                                        QStringLiteral("SMB"),
                                        QStringLiteral("WINSOCK")};
    return entries;
}

const QStringList& statusFilterEntries()
{
    static const QStringList entries = {kAllFilter,
                                        QStringLiteral("Authenticated"),
                                        QStringLiteral("Being Aborted"),
                                        QStringLiteral("Bindery"),
                                        QStringLiteral("Internal"),
                                        QStringLiteral("Logging Out"),
                                        QStringLiteral("Mac Station"),
                                        QStringLiteral("Normal"),
                                        QStringLiteral("Not Logged In"),
                                        QStringLiteral("Unknown")};
    return entries;
}

bool filterPasses(const QString& filter, const QString& name)
{
    return filter == kAllFilter || filter == name;
}

const QStringList& optionalColumnHeadings()
{
    static const QStringList headings = {QStringLiteral("Type"),      QStringLiteral("Conn Time"),
                                         QStringLiteral("Read (KB)"), QStringLiteral("Written (KB)"),
                                         QStringLiteral("Requests"),  QStringLiteral("Open Files"),
                                         QStringLiteral("Status")};
    return headings;
}

QString columnHeading(Column column)
{
    return optionalColumnHeadings().at(static_cast<int>(column));
}

ColumnChoice::ColumnChoice()
{
    m_shown.fill(true);
}

ColumnChoice ColumnChoice::none()
{
    ColumnChoice choice;
    choice.m_shown.fill(false);
    return choice;
}

ColumnChoice ColumnChoice::fromSetting(const std::optional<QString>& stored)
{
    if (!stored)
        return ColumnChoice();
    ColumnChoice choice = none();
    for (const QString& piece : stored->split(QLatin1Char(','))) {
        const int index = optionalColumnHeadings().indexOf(piece);
        if (index >= 0)
            choice.m_shown[static_cast<size_t>(index)] = true;
    }
    return choice;
}

QStringList ColumnChoice::headings() const
{
    QStringList list = {kUserHeading, kNumberHeading};
    for (int i = 0; i < kOptionalColumnCount; ++i) {
        if (m_shown[static_cast<size_t>(i)])
            list.append(optionalColumnHeadings().at(i));
    }
    return list;
}

QString ColumnChoice::settingText() const
{
    return headings().mid(2).join(QLatin1Char(','));
}

QString padLeft(const QString& text, int width)
{
    return text.size() >= width ? text : QString(width - text.size(), QLatin1Char(' ')) + text;
}

QString connectionNumberText(quint32 number)
{
    return padLeft(QString::number(number), kNumberWidth);
}

std::optional<quint16> connectionNumberOf(const QString& cell)
{
    bool ok = false;
    const uint number = cell.trimmed().toUInt(&ok);
    if (!ok || number == 0 || number > 0xFFFF)
        return std::nullopt;
    return static_cast<quint16>(number);
}

double counterValue(const std::array<quint8, 6>& counter)
{
    double value = 0;
    double weight = 1;
    for (quint8 byte : counter) {
        value += byte * weight;
        weight *= 256;
    }
    return value;
}

QString kilobytesText(double bytes, const QLocale& locale)
{
    const auto kilobytes = static_cast<qlonglong>(std::llround(bytes / 1024.0));
    return padLeft(grouping(locale).toString(kilobytes), kCounterWidth);
}

QString requestsText(quint32 requests, const QLocale& locale)
{
    return padLeft(grouping(locale).toString(static_cast<qulonglong>(requests)), kCounterWidth);
}

QString openFilesText(int files)
{
    return padLeft(QString::number(files), kFilesWidth);
}

std::optional<QDateTime> serverDateTime(std::span<const quint8> bytes)
{
    if (bytes.size() < 6 || bytes[0] > kLastYearByte)
        return std::nullopt;
    const QDate date(1900 + bytes[0], bytes[1], bytes[2]);
    const QTime time(bytes[3], bytes[4], bytes[5]);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    // The server's clock has no zone; both ends are read the same way.
    return QDateTime(date, time, Qt::UTC);
}

QString connectionTimeText(const QDateTime& login, const QDateTime& now)
{
    const qint64 loginMinutes = login.toSecsSinceEpoch() / 60;
    const qint64 nowMinutes = now.toSecsSinceEpoch() / 60;
    const qint64 minutes = std::max<qint64>(0, nowMinutes - loginMinutes);
    const auto two = [](qint64 value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); };
    return two(minutes / 1440) + QStringLiteral("D ") + two((minutes % 1440) / 60) + QStringLiteral("H ")
           + two(minutes % 60) + QLatin1Char('M');
}

void appendByteConnections(quint32 blockStart, int byteIndex, quint8 byte, std::vector<quint16>& out)
{
    for (int bit = 7; bit >= 0; --bit) {
        if (!(byte & (1U << bit)))
            continue;
        const quint32 number = blockStart + 8U * static_cast<quint32>(byteIndex) + static_cast<quint32>(bit);
        if (number >= 1 && number <= kHighestConnection)
            out.push_back(static_cast<quint16>(number));
    }
}

std::vector<quint16> activeConnectionNumbers(quint32 blockStart, const std::array<quint8, 512>& bits)
{
    std::vector<quint16> numbers;
    for (int i = 0; i < static_cast<int>(bits.size()); ++i) {
        if (bits[static_cast<size_t>(i)])
            appendByteConnections(blockStart, i, bits[static_cast<size_t>(i)], numbers);
    }
    return numbers;
}

QString sendResultText(quint8 result)
{
    switch (result) {
    case 0:
        return QStringLiteral("Sent");
    case 1:
        return QStringLiteral("Invalid Connection");
    case 2:
        return QStringLiteral("Not Logged In");
    case 3:
        return QStringLiteral("Not Accepting Messages");
    case 4:
        return QStringLiteral("Already has message");
    default:
        return kUnableToSend;
    }
}

QString userConnectionsKeyPath()
{
    return settings::rootKeyPath(settings::kUserConnectionsKeyName);
}

ConnectionSettings readConnectionSettings(const settings::RegistryStore& store)
{
    const QString key = userConnectionsKeyPath();
    ConnectionSettings read;
    read.typeFilter = settings::readValue(store, key, QStringLiteral("ConnType"), kFilterRoom).value_or(kAllFilter);
    read.statusFilter = settings::readValue(store, key, QStringLiteral("ConnStatus"), kFilterRoom).value_or(kAllFilter);
    read.showAtStartup = settings::readValue(store, key, QStringLiteral("ShowAtStartup"), kFilterRoom);
    read.selectedColumns = settings::readValue(store, key, QStringLiteral("SelectedColumns"), kColumnsRoom);
    return read;
}

void saveChooserSettings(settings::RegistryStore& store, const QString& typeFilter, const QString& statusFilter,
                         bool showAtStartup, const ColumnChoice& columns)
{
    const QString key = userConnectionsKeyPath();
    settings::saveSetting(store, key, QStringLiteral("ConnType"), typeFilter);
    settings::saveSetting(store, key, QStringLiteral("ConnStatus"), statusFilter);
    settings::saveSetting(store, key, QStringLiteral("ShowAtStartup"), settings::booleanText(showAtStartup));
    settings::saveSetting(store, key, QStringLiteral("SelectedColumns"), columns.settingText());
}

void saveFilterSettings(settings::RegistryStore& store, const QString& typeFilter, const QString& statusFilter)
{
    const QString key = userConnectionsKeyPath();
    settings::saveSetting(store, key, QStringLiteral("ConnType"), typeFilter);
    settings::saveSetting(store, key, QStringLiteral("ConnStatus"), statusFilter);
}

}  // namespace connections

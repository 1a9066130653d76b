#include "connections/ConnectionReader.h"

#include "settings/AnsiText.h"

#include <utility>

namespace connections {

namespace {

constexpr quint32 kConnectionInfoLevel = 175;

}  // namespace

ConnectionReader::ConnectionReader(nw::NetWareClient& client, nw::NWCONN_HANDLE connection, ColumnChoice columns,
                                   quint32 ownNumber, QLocale locale)
    : m_client(client)
    , m_connection(connection)
    , m_columns(columns)
    , m_ownNumber(ownNumber)
    , m_locale(std::move(locale))
{
}

QString ConnectionReader::userText(const QString& name, bool own)
{
    return own ? QLatin1Char('*') + name : name;
}

int ConnectionReader::countOpenFiles(quint16 number)
{
    int files = 0;
    qint16 iteration = 0;
    nw::OpenFileScanControl control;
    nw::OpenFileRecord file;
    // Each answered call is one file; the scan ends with the handle at -1 or
    // a refused call. A server that never ends the scan is cut off at the
    // most files a connection can hold.
    for (int guard = 0; guard < 0x10000; ++guard) {
        if (m_client.NWScanOpenFilesByConn2(m_connection, number, iteration, control, file) != nw::status::Success)
            break;
        ++files;
        if (iteration == -1)
            break;
    }
    return files;
}

std::optional<QStringList> ConnectionReader::read(quint16 number, const QString& typeName,
                                                  const QString& statusFilter)
{
    // The server's clock matters only for the connection time.
    std::optional<QDateTime> now;
    if (m_columns.shows(Column::ConnTime)) {
        std::array<quint8, 8> clock{};
        if (m_client.NWGetFileServerDateAndTime(m_connection, clock) == nw::status::Success)
            now = serverDateTime(clock);
    }

    nw::ServerConnInfo info;
    if (m_client.NWGetServerConnInfo(m_connection, kConnectionInfoLevel, number, info) != nw::status::Success)
        return std::nullopt;
    const QString status = connectionStatusName(info.status);
    if (!filterPasses(statusFilter, status))
        return std::nullopt;

    const int nameLength = std::min<int>(info.nameLength, static_cast<int>(info.loginName.size()));
    const QString name = settings::fromWindows1252(QByteArrayView(info.loginName.data(), nameLength));

    QStringList cells;
    cells.reserve(2 + kOptionalColumnCount);
    cells.append(userText(name, number == m_ownNumber));
    cells.append(connectionNumberText(number));
    if (m_columns.shows(Column::Type))
        cells.append(typeName);
    if (m_columns.shows(Column::ConnTime)) {
        const std::optional<QDateTime> login = serverDateTime(info.loginTime);
        // A clock or login time that makes no date leaves the time unknown.
        cells.append(now && login ? connectionTimeText(*login, *now) : QString());
    }
    if (m_columns.shows(Column::Read))
        cells.append(kilobytesText(counterValue(info.bytesRead), m_locale));
    if (m_columns.shows(Column::Written))
        cells.append(kilobytesText(counterValue(info.bytesWritten), m_locale));
    if (m_columns.shows(Column::Requests))
        cells.append(requestsText(info.requestCount, m_locale));
    if (m_columns.shows(Column::OpenFiles))
        cells.append(openFilesText(countOpenFiles(number)));
    if (m_columns.shows(Column::Status))
        cells.append(status);
    return cells;
}

bool walkActiveConnections(nw::NetWareClient& client, nw::NWCONN_HANDLE connection, const ConnectionWalk& walk)
{
    std::vector<quint16> numbers;
    quint32 blockStart = 1;
    for (int block = 0; block < kMaxBlocks; ++block, blockStart += kBlockSize) {
        bool lastTypeAnswered = false;
        for (int code = kFirstTypeCode; code <= kLastTypeCode; ++code) {
            nw::ActiveConnList list;
            const bool answered =
                client.NWGetActiveConnListByType(connection, blockStart, static_cast<quint32>(code), list)
                == nw::status::Success;
            if (code == kLastTypeCode)
                lastTypeAnswered = answered;
            if (!answered)
                continue;
            const QString typeName = connectionTypeName(code);
            if (walk.wantType && !walk.wantType(typeName))
                continue;
            for (int i = 0; i < static_cast<int>(list.bits.size()); ++i) {
                const quint8 byte = list.bits[static_cast<size_t>(i)];
                if (!byte)
                    continue;
                numbers.clear();
                appendByteConnections(blockStart, i, byte, numbers);
                for (quint16 number : numbers)
                    walk.visit(number, typeName);
                if (walk.yield && !walk.yield())
                    return false;
            }
        }
        if (!lastTypeAnswered)
            break;
    }
    return true;
}

}  // namespace connections

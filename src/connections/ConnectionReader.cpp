#include "connections/ConnectionReader.h"

#include "core/AppContext.h"
#include "netware/NovellCalls.h"
#include "netware/ServerReads.h"
#include "netware/ServerSession.h"
#include "text/CodePage.h"

#include <atomic>
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

std::optional<QStringList> ConnectionReader::read(quint16 number, const QString& typeName, const QString& statusFilter)
{
    nw::ServerConnInfo info;
    if (m_client.NWGetServerConnInfo(m_connection, kConnectionInfoLevel, number, info) != nw::status::Success)
        return std::nullopt;
    const QString status = connectionStatusName(info.status);
    if (!filterPasses(statusFilter, status))
        return std::nullopt;

    const int nameLength = std::min<int>(info.nameLength, static_cast<int>(info.loginName.size()));
    const QString name = texts::fromWindows1252(QByteArrayView(info.loginName.data(), nameLength));

    QStringList cells;
    cells.reserve(2 + kOptionalColumnCount);
    cells.append(userText(name, number == m_ownNumber));
    cells.append(connectionNumberText(number));
    if (m_columns.shows(Column::Type))
        cells.append(typeName);
    if (m_columns.shows(Column::ConnTime)) {
        const std::optional<QDateTime> login = serverDateTime(info.loginTime);
        // A clock or login time that makes no date leaves the time unknown.
        cells.append(m_now && login ? connectionTimeText(*login, *m_now) : QString());
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

std::optional<QDateTime> readServerTime(nw::NetWareClient& client, nw::NWCONN_HANDLE connection)
{
    std::array<quint8, 8> clock{};
    if (client.NWGetFileServerDateAndTime(connection, clock) != nw::status::Success)
        return std::nullopt;
    return serverDateTime(clock);
}

namespace {

// A connection of its own per this many listed connections beyond the
// listing connection: a small server is read over the listing one alone.
constexpr size_t kVisitsPerExtraConnection = 16;

struct Visit {
    quint16 number;
    QString typeName;
};

}  // namespace

ConnectionPass readConnectionPass(core::AppContext& context, const ConnectionPassRequest& request,
                                  const nw::ReadStop& stop)
{
    ConnectionPass pass;
    // The opening and every refresh open the server by a name of any format
    // and public: reading the connection table needs no user licence, and a
    // licensed open on every refresh would hold licences the server's users need.
    nw::ServerSession session(context, request.server, nw::kPublicByAnyName);
    pass.opened = session.open();
    if (pass.opened != nw::status::Success)
        return pass;
    nw::NetWareClient& client = session.client();
    pass.authenticated = session.authenticate();
    if (request.requireAuthentication && pass.authenticated != nw::status::Success) {
        pass.closed = session.closeQuietly();
        return pass;
    }
    pass.ownNumber = request.learnOwnNumber
                         ? static_cast<quint16>(nw::connectionNumberText(client, session.handle()).toUInt())
                         : request.ownNumber;

    std::vector<Visit> visits;
    ConnectionWalk walk;
    walk.wantType = [&](const QString& typeName) { return filterPasses(request.typeFilter, typeName); };
    walk.visit = [&](quint16 number, const QString& typeName) { visits.push_back({number, typeName}); };
    walk.yield = [&] { return !stop.requested(); };
    bool complete = walkActiveConnections(client, session.handle(), walk);

    std::optional<QDateTime> now;
    if (complete && !visits.empty() && request.columns.shows(Column::ConnTime))
        now = readServerTime(client, session.handle());

    // Each listed connection is read by whichever part takes it next; its row
    // goes into its own place, so the rows keep the listing's order.
    std::vector<std::optional<QStringList>> cells(visits.size());
    std::atomic<size_t> next{0};
    std::atomic<bool> cut{false};
    const auto readShare = [&](nw::NWCONN_HANDLE connection) {
        ConnectionReader reader(client, connection, request.columns, pass.ownNumber, request.locale);
        reader.setServerTime(now);
        for (;;) {
            if (stop.requested()) {
                cut = true;
                return;
            }
            const size_t at = next.fetch_add(1);
            if (at >= visits.size())
                return;
            cells[at] = reader.read(visits[at].number, visits[at].typeName, request.statusFilter);
        }
    };
    if (complete && !visits.empty()) {
        const size_t extra = std::min<size_t>(static_cast<size_t>(std::max(1, request.connections)) - 1,
                                              (visits.size() - 1) / kVisitsPerExtraConnection);
        const nw::NWCONN_HANDLE listing = session.handle();
        nw::readAlongside(static_cast<int>(extra) + 1, [&](int part) {
            if (part == 0) {
                readShare(listing);
                return;
            }
            nw::ServerSession own(context, request.server, nw::kPublicByAnyName);
            if (stop.requested() || own.open() != nw::status::Success)
                return;  // the other parts take its share
            own.authenticate();
            readShare(own.handle());
            own.closeQuietly();
        });
        complete = !cut && next.load() >= visits.size();
    }
    pass.complete = complete;
    if (complete) {
        pass.rows.reserve(visits.size());
        for (size_t i = 0; i < visits.size(); ++i) {
            if (cells[i])
                pass.rows.push_back({visits[i].number, std::move(*cells[i])});
        }
    }
    pass.closed = session.closeQuietly();
    return pass;
}

}  // namespace connections

#include "directory/Partitions.h"

#include "netware/NovellCalls.h"
#include "netware/ServerSession.h"
#include "settings/Trace.h"

#include <QStringList>

#include <algorithm>

namespace directory {

namespace {

// The Replica Type view opens its server by a name of any format, the other
// views by its bindery name; all of them licensed.
constexpr nw::OpenFlags kTypeViewFlags{nw::NWCC_NAME_FORMAT_WILD, nw::NWCC_OPEN_LICENSED, nw::NW_TRAN_TYPE_WILD};

// A directory context on the tree root with typeless names, and a reply buffer.
class DirectoryRequest {
public:
    DirectoryRequest(nw::NetWareClient& client, const QString& treeName, quint32 bufferSize) : m_client(client)
    {
        if (m_client.NWDSCreateContextHandle(m_context) != nw::status::Success)
            return;
        m_hasContext = true;
        m_client.NWDSSetContext(m_context, nw::DCK_TREE_NAME, nw::toAnsi(treeName));
        m_client.NWDSSetContext(m_context, nw::DCK_NAME_CONTEXT, nw::toAnsi(QStringLiteral("[Root]")));
        quint32 flags = 0;
        m_client.NWDSGetContext(m_context, nw::DCK_FLAGS, flags);
        m_client.NWDSSetContext(m_context, nw::DCK_FLAGS, flags | nw::DCV_TYPELESS_NAMES);
        m_hasBuffer = m_client.NWDSAllocBuf(bufferSize, m_buffer) == nw::status::Success;
    }
    ~DirectoryRequest()
    {
        if (m_hasBuffer)
            m_client.NWDSFreeBuf(m_buffer);
        if (m_hasContext)
            m_client.NWDSFreeContext(m_context);
    }
    DirectoryRequest(const DirectoryRequest&) = delete;
    DirectoryRequest& operator=(const DirectoryRequest&) = delete;

    bool isReady() const { return m_hasContext && m_hasBuffer; }
    nw::NWDSContextHandle context() const { return m_context; }
    nw::NWDSBufHandle buffer() const { return m_buffer; }

private:
    nw::NetWareClient& m_client;
    nw::NWDSContextHandle m_context = 0;
    nw::NWDSBufHandle m_buffer = 0;
    bool m_hasContext = false;
    bool m_hasBuffer = false;
};

quint32 readNumber(nw::NetWareClient& client, nw::NWDSContextHandle context, quint32 info, quint32 flag)
{
    std::array<quint8, 16> data{};
    quint32 length = 0;
    if (client.NWDSGetPartitionExtInfo(context, info, flag, data, length) != nw::status::Success)
        return 0;
    return static_cast<quint32>(data[0]) | static_cast<quint32>(data[1]) << 8 | static_cast<quint32>(data[2]) << 16
           | static_cast<quint32>(data[3]) << 24;
}

QString readName(nw::NetWareClient& client, nw::NWDSContextHandle context, quint32 info)
{
    std::array<quint8, 1028> data{};
    quint32 length = 0;
    if (client.NWDSGetPartitionExtInfo(context, info, nw::DSP_PARTITION_DN, data, length) != nw::status::Success)
        return {};
    return nw::bytesToString(std::span<const quint8>(data));
}

}  // namespace

QString partitionDisplayName(const QString& dottedName)
{
    QString name = dottedName.trimmed();
    if (name.compare(QLatin1String("[Root]"), Qt::CaseInsensitive) == 0)
        return QStringLiteral(" [Root]");
    if (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1);
    const QStringList parts = name.split(QLatin1Char('.'), Qt::SkipEmptyParts);
    QString shown;
    for (auto it = parts.crbegin(); it != parts.crend(); ++it)
        shown += QLatin1Char('.') + *it;
    return shown;
}

QString replicaTypeText(quint32 type)
{
    switch (type) {
    case 0:
        return QStringLiteral("M");
    case 1:
        return QStringLiteral("RW");
    case 2:
        return QStringLiteral("RO");
    case 3:
        return QStringLiteral("SR");
    default:
        return QString::number(type);
    }
}

QString replicaStateText(quint32 state)
{
    switch (state) {
    case 0:
        return QStringLiteral("On");
    case 1:
        return QStringLiteral("New");
    case 2:
        return QStringLiteral("Dying");
    case 3:
        return QStringLiteral("Locked");
    case 4:
    case 5:
    case 6:
        return QStringLiteral("Transition");
    case 7:
        return QStringLiteral("Dead");
    case 8:
        return QStringLiteral("Begin Add");
    case 11:
    case 12:
        return QStringLiteral("New Master");
    case 13:
        return QStringLiteral("Federated");
    case 48:
    case 49:
        return QStringLiteral("Split");
    case 64:
    case 65:
    case 66:
        return QStringLiteral("Join");
    case 80:
    case 81:
        return QStringLiteral("Move");
    default:
        return QString::number(state);
    }
}

models::TroubleLevel replicaCellLevel(const QString& cellText, ReplicaView view)
{
    if (cellText == kNotAvailable)
        return models::TroubleLevel::Unavailable;
    if (view != ReplicaView::State || cellText.isEmpty() || cellText == QLatin1String("On"))
        return models::TroubleLevel::None;
    if (cellText == QLatin1String("Dead"))
        return models::TroubleLevel::Critical;
    return models::TroubleLevel::Warning;
}

QString cellToolTip(const QString& cellText)
{
    if (cellText == QLatin1String("M"))
        return QStringLiteral("Master");
    if (cellText == QLatin1String("RW"))
        return QStringLiteral("Read/Write");
    if (cellText == QLatin1String("RO"))
        return QStringLiteral("Read Only");
    if (cellText == QLatin1String("SR"))
        return QStringLiteral("Subordinate Reference");
    if (cellText == kNotAvailable)
        return QStringLiteral("Not Available");
    return {};
}

QDateTime serverClockTime(const std::array<quint8, 8>& bytes)
{
    int year = bytes[0];
    year += 1900;  // below 100: 19 followed by the two digits; 100 to 179: 1900 + value
    const QDate date(year, bytes[1], bytes[2]);
    const QTime time(bytes[3], bytes[4], bytes[5]);
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time, Qt::LocalTime);
}

QString replicaTimeStampText(quint32 purgeSeconds, const QDateTime& serverClock, const QLocale& locale)
{
    const QDateTime stamp = QDateTime::fromSecsSinceEpoch(purgeSeconds, Qt::LocalTime);
    QString text = settings::traceTimestamp(stamp, locale);
    if (serverClock.isValid() && serverClock.secsTo(stamp) > 60)
        text += QStringLiteral(" (ahead of server clock)");
    return text;
}

QString syncTimeText(quint32 modificationSeconds, quint32 purgeSeconds)
{
    const qint64 behind = static_cast<qint64>(modificationSeconds) - static_cast<qint64>(purgeSeconds);
    return QString::number(qMax<qint64>(0, behind));
}

ReplicaReading readServerReplicas(nw::NetWareClient& client, const QString& treeName, const QString& server,
                                  ReplicaView view,
                                  const std::function<void(const QString& partition, const QString& text)>& cell,
                                  nw::NWRCODE* openStatus)
{
    const bool typeView = view == ReplicaView::Type;
    DirectoryRequest request(client, treeName, typeView ? nw::MAX_MESSAGE_LEN : nw::DEFAULT_MESSAGE_LEN);
    // The information the extended listing is asked for, by view.
    const quint32 infoFlags = view == ReplicaView::State ? 0xC5 : 0xDD;

    ReplicaReading reading = ReplicaReading::Skipped;
    qint32 iteration = -1;
    // A listing that never reports its end is cut off after a generous number of replies.
    for (int pass = 0; request.isReady() && pass < nw::kMaxListingReplies; ++pass) {
        // Opened for this pass and closed when it ends, on every way out,
        // without a word: a timed refresh must not stop on a message box.
        nw::ServerSession connection(client, server, typeView ? kTypeViewFlags : nw::kLicensedByBinderyName);
        if (const nw::NWRCODE rc = connection.open(); rc != nw::status::Success) {
            if (openStatus)
                *openStatus = rc;
            return ReplicaReading::Unreachable;
        }
        reading = ReplicaReading::Read;
        std::array<char, 257> serverDN{};
        client.NWDSGetServerDN(request.context(), connection.handle(), serverDN);
        QDateTime clock;
        if (view == ReplicaView::TimeStamp) {
            std::array<quint8, 8> bytes{};
            if (client.NWGetFileServerDateAndTime(connection.handle(), bytes) == nw::status::Success)
                clock = serverClockTime(bytes);
        }
        connection.authenticate();

        QString dn = nw::bytesToString(std::span<const char>(serverDN));
        if (dn.isEmpty())
            dn = server;
        const nw::NWRCODE listed =
            typeView ? client.NWDSListPartitions(request.context(), iteration, nw::toAnsi(dn), request.buffer())
                     : client.NWDSListPartitionsExtInfo(request.context(), iteration, nw::toAnsi(dn), infoFlags,
                                                        request.buffer());
        if (listed != nw::status::Success)
            break;
        std::array<char, 257> name{};
        quint32 count = 0;
        if (client.NWDSGetServerName(request.context(), request.buffer(), name, count) != nw::status::Success
            || static_cast<qint32>(count) <= 0)
            break;

        for (quint32 i = 0; i < std::min(count, nw::kMaxObjectsPerReply); ++i) {
            if (typeView) {
                std::array<char, 1028> partition{};
                quint32 type = 0;
                const nw::NWRCODE read =
                    client.NWDSGetPartitionInfo(request.context(), request.buffer(), partition, type);
                if (read == nw::status::BufferEmpty)
                    break;  // the reply counted more partitions than it holds
                if (read != nw::status::Success)
                    continue;
                cell(nw::bytesToString(std::span<const char>(partition)), replicaTypeText(type));
                continue;
            }
            quint32 info = 0;
            const nw::NWRCODE read = client.NWDSGetPartitionExtInfoPtr(request.context(), request.buffer(), info);
            if (read == nw::status::BufferEmpty)
                break;
            if (read != nw::status::Success)
                continue;
            QString text;
            switch (view) {
            case ReplicaView::State:
                text = replicaStateText(readNumber(client, request.context(), info, nw::DSP_REPLICA_STATE));
                break;
            case ReplicaView::TimeStamp:
                text = replicaTimeStampText(readNumber(client, request.context(), info, nw::DSP_PURGE_TIME), clock);
                break;
            case ReplicaView::SyncTime:
                text = syncTimeText(readNumber(client, request.context(), info, nw::DSP_MODIFICATION_TIMESTAMP),
                                    readNumber(client, request.context(), info, nw::DSP_PURGE_TIME));
                break;
            case ReplicaView::Type:
                break;
            }
            cell(readName(client, request.context(), info), text);
        }
        if (iteration == -1)
            break;
    }
    return reading;
}

ServerReplicas readReplicaCells(nw::NetWareClient& client, const QString& treeName, const QString& server,
                                ReplicaView view)
{
    ServerReplicas read;
    read.reading = readServerReplicas(
        client, treeName, server, view,
        [&read](const QString& partition, const QString& text) { read.cells.emplace_back(partition, text); },
        &read.openStatus);
    return read;
}

}  // namespace directory

#include "views/VolumeUsage.h"

#include "views/UtilizationRules.h"

#include "core/AppContext.h"
#include "netware/NovellCalls.h"
#include "netware/ServerReads.h"
#include "netware/ServerSession.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cmath>

namespace views {

namespace {

constexpr double kBytesPerMegabyte = 1048576.0;
constexpr int kCellWidth = 15;

}  // namespace

bool isAdministrationVolume(const QString& volumeName)
{
    return volumeName == QLatin1String("_ADMIN") || volumeName == QLatin1String("NSS_ADMIN");
}

QString volumeEntry(const QString& server, const QString& volume)
{
    return QStringLiteral("\\\\") + server + QLatin1Char('\\') + volume;
}

QString netWarePathOf(const QString& entry)
{
    QString path = entry.startsWith(QLatin1String("\\\\")) ? entry.mid(2) : entry;
    const qsizetype slash = path.indexOf(QLatin1Char('\\'));
    if (slash >= 0)
        path[slash] = QLatin1Char('/');
    return path + QLatin1Char(':');
}

VolumeSpace volumeSpace(const nw::DirSpaceInfo& info)
{
    const double blockSize = static_cast<double>(static_cast<qint32>(info.sectorsPerBlock) * 512);
    VolumeSpace space;
    space.total = info.totalBlocks * blockSize;
    space.free = info.availableBlocks * blockSize;
    space.purgeable = info.purgeableBlocks * blockSize;
    space.notYetPurgeable = info.notYetPurgeableBlocks * blockSize;
    space.used = space.total - space.free - space.purgeable;
    return space;
}

QString megabytesText(double bytes, const QLocale& locale)
{
    QLocale grouped = locale;
    grouped.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return grouped.toString(bytes / kBytesPerMegabyte, 'f', 2);
}

QString megabytesCell(double bytes, const QLocale& locale)
{
    return megabytesText(bytes, locale).rightJustified(kCellWidth, QLatin1Char(' '));
}

QString freeShareCell(const VolumeSpace& space, const QLocale& locale)
{
    if (space.total <= 0)
        return QStringLiteral("N/A");
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(std::round(space.free / space.total * 100.0), 'f', 0) + QLatin1Char('%');
}

QStringList volumeCells(const VolumeSpace& space, const QLocale& locale)
{
    return {megabytesCell(space.total, locale),     megabytesCell(space.used, locale),
            megabytesCell(space.purgeable, locale), megabytesCell(space.notYetPurgeable, locale),
            megabytesCell(space.free, locale),      freeShareCell(space, locale)};
}

QStringList unavailableCells()
{
    return {kUnavailable, kUnavailable, kUnavailable, kUnavailable, kUnavailable, QStringLiteral("N/A")};
}

QString entryServer(const QString& entry)
{
    const QString rest = entry.startsWith(QLatin1String("\\\\")) ? entry.mid(2) : entry;
    return rest.section(QLatin1Char('\\'), 0, 0);
}

bool isVolumeReachable(core::AppContext& context, const QString& entry)
{
    const QString local = context.client().localPathOf(entry);
    if (local.isEmpty())
        return false;
    const QFileInfo info(local);
    return info.isDir() && info.isReadable() && QDir(local).isReadable();
}

namespace {

// Collects the calls of one label and subject while tracing is on.
class CallLog {
public:
    CallLog(ServerVolumesRead& read, bool tracing, const QString& label, const QString& subject)
    {
        if (!tracing)
            return;
        read.trace.push_back({label, subject, {}});
        m_calls = &read.trace.back().calls;
    }
    void add(const char* call, nw::NWRCODE rc)
    {
        if (m_calls)
            m_calls->append({QDateTime::currentDateTime(), QLatin1String(call), static_cast<qint32>(rc)});
    }

private:
    QList<settings::TracedCall>* m_calls = nullptr;
};

void scanVolumes(core::AppContext& context, const QString& server, bool tracing, ServerVolumesRead& read)
{
    read.scanned = true;
    CallLog log(read, tracing, kVolumesTraceLabel, server);
    nw::ServerSession session(context, server, nw::kLicensedByBinderyName);
    read.opened = session.open();
    log.add("NWCCOpenConnByName", read.opened);
    if (read.opened != nw::status::Success)
        return;
    nw::NetWareClient& client = session.client();
    quint32 iterator = 0;
    // A scan that never reports its end is cut off after the most volumes a server can mount.
    for (int step = 0; step < 256; ++step) {
        std::array<nw::VolumeRecord, 1> record{};
        quint32 returned = 0;
        const nw::NWRCODE rc =
            client.NWScanMountedVolumeList(session.handle(), 1, nw::NW_NS_DOS, iterator, 1, returned, record);
        log.add("NWScanMountedVolumeList", rc);
        if (rc != nw::status::Success)
            break;
        if (returned > 0) {
            const QString name = nw::bytesToString(std::span<const char>(record[0].volumeName));
            if (!name.isEmpty() && !isAdministrationVolume(name)) {
                const QString entry = volumeEntry(server, name);
                if (!read.found.contains(entry))
                    read.found.append(entry);
            }
        }
        if (iterator == 0)
            break;
    }
    read.closed = session.closeQuietly();
    log.add("NWCCCloseConn", read.closed);
}

// The cells of one volume; its calls' results are only traced, as the view
// always did.
ServerVolumesRead::Measured measureVolume(core::AppContext& context, const QString& entry, bool tracing,
                                          ServerVolumesRead& read)
{
    ServerVolumesRead::Measured measured;
    measured.entry = entry;
    if (!isVolumeReachable(context, entry)) {
        measured.cells = unavailableCells();
        return measured;
    }
    const QString path = netWarePathOf(entry);
    CallLog log(read, tracing, kUsageTraceLabel, path);
    nw::NetWareClient& client = context.client();
    std::array<char, 48> serverName{};
    std::array<char, 25> volumeName{};
    std::array<char, 256> dirPath{};
    nw::NWCONN_HANDLE connection = 0;
    log.add("NWParsePath", client.NWParsePath(nw::toAnsi(path), serverName, connection, volumeName, dirPath));
    quint16 number = 0;
    const QString volume = nw::bytesToString(std::span<const char>(volumeName)).trimmed();
    log.add("NWGetVolumeNumber", client.NWGetVolumeNumber(connection, nw::toAnsi(volume), number));
    nw::DirSpaceInfo info{};
    const nw::NWRCODE rc = client.NWGetDirSpaceInfo(connection, 0, number, info);
    log.add("NWGetDirSpaceInfo", rc);
    const auto space = volumeSpace(info);
    measured.cells = volumeCells(space);
    measured.spaceRead = rc == nw::status::Success;
    measured.volume = volume;
    measured.totalBytes = space.total;
    measured.freeBytes = space.free;
    return measured;
}

}  // namespace

ServerVolumesRead readServerVolumes(core::AppContext& context, const QString& server, bool scan,
                                    const QStringList& known, bool tracing, const nw::ReadStop& stop)
{
    ServerVolumesRead read;
    if (scan)
        scanVolumes(context, server, tracing, read);
    QStringList entries = known;
    for (const QString& entry : std::as_const(read.found)) {
        if (!entries.contains(entry))
            entries.append(entry);
    }
    for (const QString& entry : std::as_const(entries)) {
        // A stopped reading discards this server's result: no need to go on.
        if (stop.requested())
            break;
        read.measured.push_back(measureVolume(context, entry, tracing, read));
    }
    return read;
}

double cellMegabytes(const QString& cell, const QLocale& locale)
{
    bool ok = false;
    const double value = locale.toDouble(cell.trimmed(), &ok);
    return ok ? value : 0.0;
}

QString totalsText(double sizeMB, double usedMB, double freeMB, const QLocale& locale)
{
    return QStringLiteral("Total Size=") + megabytesText(sizeMB * kBytesPerMegabyte, locale)
           + QStringLiteral(" MB | Total Used=") + megabytesText(usedMB * kBytesPerMegabyte, locale)
           + QStringLiteral(" MB | Total Free=") + megabytesText(freeMB * kBytesPerMegabyte, locale)
           + QStringLiteral(" MB");
}

FreeSpaceThresholds readFreeSpaceThresholds(const std::optional<QString>& warning,
                                            const std::optional<QString>& critical, QString* problem)
{
    FreeSpaceThresholds thresholds;
    QStringList bad;
    if (const auto w = storedPercent(warning))
        thresholds.warning = *w;
    else if (warning)
        bad << QStringLiteral("VolumeFreeWarning");
    if (const auto c = storedPercent(critical))
        thresholds.critical = *c;
    else if (critical)
        bad << QStringLiteral("VolumeFreeCritical");
    if (thresholds.critical > thresholds.warning) {
        thresholds = FreeSpaceThresholds{};
        bad = QStringList{QStringLiteral("VolumeFreeWarning"), QStringLiteral("VolumeFreeCritical")};
    }
    if (problem) {
        *problem = bad.isEmpty()
                       ? QString()
                       : QCoreApplication::translate("views",
                                                     "The free space levels %1 are not whole percentages from 0 to 100 "
                                                     "(critical not above warning); the defaults 10 and 5 are used.")
                             .arg(bad.join(QStringLiteral(", ")));
    }
    return thresholds;
}

models::TroubleLevel freeSpaceLevel(double freeBytes, double totalBytes, const FreeSpaceThresholds& thresholds)
{
    if (!(totalBytes > 0) || std::isnan(freeBytes))
        return models::TroubleLevel::None;
    // Compared as free * 100 < level * total: no rounding decides a boundary.
    const double free = std::max(0.0, freeBytes) * 100.0;
    if (free < thresholds.critical * totalBytes)
        return models::TroubleLevel::Critical;
    if (free < thresholds.warning * totalBytes)
        return models::TroubleLevel::Warning;
    return models::TroubleLevel::None;
}

models::TroubleLevel volumeCellLevel(const QStringList& rowCells, int col, const FreeSpaceThresholds& thresholds,
                                     const QLocale& locale)
{
    constexpr int kSizeCell = 1;
    constexpr int kFreeCell = 5;
    constexpr int kShareCell = 6;
    if (rowCells.size() <= kFreeCell || col < 0 || col >= rowCells.size())
        return models::TroubleLevel::None;
    if (rowCells.at(kSizeCell) == kUnavailable)
        return models::TroubleLevel::Unavailable;
    if (col != 0 && col != kFreeCell && col != kShareCell)
        return models::TroubleLevel::None;
    return freeSpaceLevel(cellMegabytes(rowCells.at(kFreeCell), locale), cellMegabytes(rowCells.at(kSizeCell), locale),
                          thresholds);
}

}  // namespace views

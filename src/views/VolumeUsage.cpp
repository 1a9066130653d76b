#include "views/VolumeUsage.h"

#include <QCoreApplication>

#include <algorithm>
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

namespace {

std::optional<int> wholePercent(const std::optional<QString>& text)
{
    if (!text)
        return std::nullopt;
    bool ok = false;
    const int value = text->trimmed().toInt(&ok);
    if (!ok || value < 0 || value > 100)
        return std::nullopt;
    return value;
}

}  // namespace

FreeSpaceThresholds readFreeSpaceThresholds(const std::optional<QString>& warning,
                                            const std::optional<QString>& critical, QString* problem)
{
    FreeSpaceThresholds thresholds;
    QStringList bad;
    if (const auto w = wholePercent(warning))
        thresholds.warning = *w;
    else if (warning)
        bad << QStringLiteral("VolumeFreeWarning");
    if (const auto c = wholePercent(critical))
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

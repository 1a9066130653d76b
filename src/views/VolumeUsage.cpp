#include "views/VolumeUsage.h"

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

}  // namespace views

#pragma once
// Rules of the volume usage view: which volumes are listed, how a volume's
// entry turns into its NetWare path, the space arithmetic from the block
// figures of NWGetDirSpaceInfo and the texts of the cells and the totals.

#include "models/CellTrouble.h"
#include "netware/NetWareClient.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

namespace views {

// Volumes that exist only for administration and are never listed.
bool isAdministrationVolume(const QString& volumeName);

// "\\" server "\" volume: the entry of a volume, also its row's first cell.
QString volumeEntry(const QString& server, const QString& volume);
// \\FS1\SYS -> FS1/SYS: (the leading "\\" dropped, the first "\" made "/", ":" appended).
QString netWarePathOf(const QString& entry);

// Space of one volume in bytes.
struct VolumeSpace {
    double total = 0;
    double free = 0;
    double purgeable = 0;
    double notYetPurgeable = 0;
    double used = 0;
};
VolumeSpace volumeSpace(const nw::DirSpaceInfo& info);

// Bytes as megabytes with grouping and two decimals ("1,234.50").
QString megabytesText(double bytes, const QLocale& locale = QLocale());
// The same, padded on the left with blanks to 15 characters (never cut).
QString megabytesCell(double bytes, const QLocale& locale = QLocale());
// Free space as a whole per cent of the total ("25%"); "N/A" for a volume
// without blocks, whose share does not exist.
QString freeShareCell(const VolumeSpace& space, const QLocale& locale = QLocale());

// The six cells after the volume's name, in column order.
QStringList volumeCells(const VolumeSpace& space, const QLocale& locale = QLocale());
// The six cells of a volume that cannot be reached.
QStringList unavailableCells();
inline const QString kUnavailable = QStringLiteral("Unavailable");

// A megabyte cell read back as a number (0 when it holds none).
double cellMegabytes(const QString& cell, const QLocale& locale = QLocale());

// The shares of free space below which a volume is in trouble.
struct FreeSpaceThresholds {
    int warning = 10;    // below: warning
    int critical = 5;    // below: critical
};
// The thresholds from the stored texts (`VolumeFreeWarning`,
// `VolumeFreeCritical`); a missing, non-numeric or out-of-range text gives the
// default of that value, a critical level above the warning one both
// defaults. *problem receives a message for the user when a stored text was
// not usable.
FreeSpaceThresholds readFreeSpaceThresholds(const std::optional<QString>& warning,
                                            const std::optional<QString>& critical, QString* problem = nullptr);
// The level of a volume with `freeBytes` of `totalBytes` free (any unit); a
// volume without size has no share and no level.
models::TroubleLevel freeSpaceLevel(double freeBytes, double totalBytes, const FreeSpaceThresholds& thresholds);
// The level of cell `col` of a volume's row, from the row's cells (name
// first, as the view lists them): every cell of a volume that cannot be
// reached is Unavailable; the name, "Free(MB)" and "% Free" carry the level of
// its free space.
models::TroubleLevel volumeCellLevel(const QStringList& rowCells, int col, const FreeSpaceThresholds& thresholds,
                                     const QLocale& locale = QLocale());

// "Total Size=... MB | Total Used=... MB | Total Free=... MB" (megabytes given).
QString totalsText(double sizeMB, double usedMB, double freeMB, const QLocale& locale = QLocale());

}  // namespace views

#pragma once
// Rules of the volume usage view: which volumes are listed, how a volume's
// entry turns into its NetWare path, the space arithmetic from the block
// figures of NWGetDirSpaceInfo and the texts of the cells and the totals.

#include "models/CellTrouble.h"
#include "netware/NetWareClient.h"
#include "settings/Trace.h"

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace core {
class AppContext;
}
namespace nw {
class ReadStop;
}

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

// The server of a volume entry (\\FS1\SYS -> FS1).
QString entryServer(const QString& entry);

// True when the volume can be opened as a directory through the operating
// system's network file access.
bool isVolumeReachable(core::AppContext& context, const QString& entry);

// What one server's read gave, on a reading thread: the volumes its scan
// found (when it was scanned) and the cells of each of its volumes, in the
// order they were measured, with the calls made for the trace.
struct ServerVolumesRead {
    bool scanned = false;
    nw::NWRCODE opened = 0;
    nw::NWRCODE closed = 0;
    QStringList found;  // entries of the mounted volumes, administration volumes left out
    struct Measured {
        QString entry;
        QStringList cells;
        // The figures behind the cells, for the history: the volume's name
        // and space when its figures were read.
        bool spaceRead = false;
        QString volume;
        double totalBytes = 0;
        double freeBytes = 0;
    };
    std::vector<Measured> measured;
    struct Traced {
        QString label;
        QString subject;
        QList<settings::TracedCall> calls;
    };
    std::vector<Traced> trace;  // empty unless tracing
};

// Reads one server: with `scan`, opens a connection, scans its mounted
// volumes and closes it (quietly: a failed close is told by the window
// thread); then measures `known` (the server's volumes the view holds) and
// the newly found ones. Touches no window; stops measuring once `stop` asks.
ServerVolumesRead readServerVolumes(core::AppContext& context, const QString& server, bool scan,
                                    const QStringList& known, bool tracing, const nw::ReadStop& stop);

inline const QString kVolumesTraceLabel = QStringLiteral("Volume Info - subGetVolumes");
inline const QString kUsageTraceLabel = QStringLiteral("Volume Info - subGetVolumeUsage");

// A megabyte cell read back as a number (0 when it holds none).
double cellMegabytes(const QString& cell, const QLocale& locale = QLocale());

// The shares of free space below which a volume is in trouble.
struct FreeSpaceThresholds {
    int warning = 10;  // below: warning
    int critical = 5;  // below: critical
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

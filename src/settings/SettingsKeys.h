#pragma once
// Every stored key path, value name and default of the program in one place.
// The names are those the settings have always been stored under (in the
// registry on Windows, in the .reg file elsewhere); they never change.

#include <QString>

namespace settings {

// --- Keys ----------------------------------------------------------------------
// HKEY_CURRENT_USER\Software\Korvanel\Veskaro: the program-wide values.
inline const QString kRootKey = QStringLiteral("Software\\Korvanel\\Veskaro");
// Keys below the root key, by name (settings::rootKeyPath makes the full path).
inline const QString kMainWindowKeyName = QStringLiteral("MainForm");
inline const QString kHiddenKeyName = QStringLiteral("Hidden");  // hidden servers, a value per tree
inline const QString kUserConnectionsKeyName = QStringLiteral("UserConnectionsForm");
inline const QString kServerInfoKeyName = QStringLiteral("ServerInfoForm");
inline const QString kServerUtilKeyName = QStringLiteral("ServerUtilForm");
inline const QString kNlmKeyName = QStringLiteral("NLMForm");
inline const QString kSetCommandsKeyName = QStringLiteral("SetCommandsForm");
inline const QString kChangesKeyName = QStringLiteral("ChangesForm");
inline const QString kVolumeUsageKeyName = QStringLiteral("VolumeUsageForm");
inline const QString kAbendLogKeyName = QStringLiteral("AbendForm");
inline const QString kFileLocksKeyName = QStringLiteral("FileLocksForm");
inline const QString kOpenFilesKeyName = QStringLiteral("OpenFilesForm");
inline const QString kPartitionsKeyName = QStringLiteral("PartitionsForm");
inline const QString kLoginKeyName = QStringLiteral("LoginForm");
inline const QString kLoginTreesKeyName = QStringLiteral("LoginForm\\Trees");
// Full paths of the keys the main window reads itself.
inline const QString kMainWindowKey = kRootKey + QStringLiteral("\\") + kMainWindowKeyName;
inline const QString kHiddenKey = kRootKey + QStringLiteral("\\") + kHiddenKeyName;

// --- Values of the root key, with the room a stored value may take -----------------
inline const QString kTreeValue = QStringLiteral("Tree");
constexpr int kTreeRoom = 32;  // the longest name a directory tree can have
inline const QString kSearchSubContainersValue = QStringLiteral("ServerSearchSubContainers");
constexpr int kSearchSubContainersRoom = 9;
constexpr bool kDefaultSearchSubContainers = true;
inline const QString kSaveFileDelimiterValue = QStringLiteral("SaveFileDelimiter");
constexpr int kSaveFileDelimiterRoom = 4;
inline const QString kDefaultSaveFileDelimiter = QStringLiteral(",");
inline const QString kRemoteControlValue = QStringLiteral("RemoteControl");
constexpr int kRemoteControlRoom = 499;
// How many servers a view reads at once (1: one after another). A value that
// is no whole number reads as the default; numbers are kept within the range.
inline const QString kParallelServersValue = QStringLiteral("ParallelServers");
constexpr int kParallelServersRoom = 9;
constexpr int kDefaultParallelServers = 32;
constexpr int kMinParallelServers = 1;
constexpr int kMaxParallelServers = 256;
// Volume usage: the share of free space (whole per cent, 0 to 100) below
// which a volume is marked as a warning and as critical.
inline const QString kVolumeFreeWarningValue = QStringLiteral("VolumeFreeWarning");
inline const QString kVolumeFreeCriticalValue = QStringLiteral("VolumeFreeCritical");
// Days the history of the servers keeps utilization and snapshots (whole
// days; what is not a whole number reads as the default).
inline const QString kHistoryDaysValue = QStringLiteral("HistoryDays");
constexpr int kHistoryDaysRoom = 9;
constexpr int kDefaultHistoryDays = 365;
constexpr int kMinHistoryDays = 1;
constexpr int kMaxHistoryDays = 3650;
// "[Root]" or "TREE\O\OU\" where the server search starts; empty until chosen.
inline const QString kStartingServerContextValue = QStringLiteral("StartingServerContext");
constexpr int kStartingServerContextRoom = 249;

// --- Values of a window's key -----------------------------------------------------
inline const QString kTopValue = QStringLiteral("Top");
inline const QString kLeftValue = QStringLiteral("Left");
inline const QString kHeightValue = QStringLiteral("Height");
inline const QString kWidthValue = QStringLiteral("Width");
inline const QString kRefreshIntervalValue = QStringLiteral("Refresh Interval");
// "ColWidth" + column number (grids), "ColWidth-" + heading (list views).
inline const QString kColWidthPrefix = QStringLiteral("ColWidth");
inline const QString kColWidthHeadingPrefix = QStringLiteral("ColWidth-");
// NlmWindow: the "Show Column" option ("Both", "Version" or "Date").
inline const QString kShowColumnsValue = QStringLiteral("ShowCols");
// ServerUtilForm: the utilization percentages from which a bar shows a
// warning and a critical level (whole numbers, 0 to 100).
inline const QString kUtilWarningValue = QStringLiteral("UtilWarning");
inline const QString kUtilCriticalValue = QStringLiteral("UtilCritical");

// --- Defaults of a value that is missing -------------------------------------------
// A window key that does not exist yet reads every value as one inch.
inline const QString kMissingKeyValue = QStringLiteral("1440");
inline const QString kDefaultTop = QStringLiteral("0");
inline const QString kDefaultLeft = QStringLiteral("0");
inline const QString kDefaultHeight = QStringLiteral("7000");
inline const QString kDefaultWidth = QStringLiteral("8040");
inline const QString kDefaultRefreshInterval = QStringLiteral("10");
inline const QString kDefaultColumnWidth = QStringLiteral("1440");
inline const QString kDefaultOtherValue = QStringLiteral("0");
// Booleans are stored as these words.
inline const QString kTrueText = QStringLiteral("True");
inline const QString kFalseText = QStringLiteral("False");

}  // namespace settings

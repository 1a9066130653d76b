#pragma once
// The settings routines every window uses: one registry value read with
// per-name defaults, one value written, the keys that must exist before
// deeper values are stored, and the small shared routines of the same module.
//
// Key paths are full paths below the current user's hive
// ("Software\Korvanel\Veskaro\VolumeUsageForm").

#include "settings/RegistryStore.h"
#include "settings/SettingsKeys.h"

#include <QString>

#include <optional>

namespace core {
class AppContext;
}

namespace settings {

// The full path of a key directly below the root ("MainForm" -> "Software\Korvanel\Veskaro\MainForm").
QString rootKeyPath(const QString& keyName);

// Reads a value with room for `room` characters. A missing key, a missing
// value, and a stored text longer than the room all give nothing: the
// registry refuses to fill a buffer that is too small.
std::optional<QString> readValue(const RegistryStore& store, const QString& keyPath, const QString& name, int room);

// The value read when the window's key exists but the value does not (or is too long).
QString defaultSetting(const QString& valueName);

// A missing key reads "1440" whatever the name; otherwise the stored text
// (room for 9 characters) or the per-name default.
QString readSetting(const RegistryStore& store, const QString& keyPath, const QString& valueName);
QString readSetting(const core::AppContext& context, const QString& keyPath, const QString& valueName);

// A twips setting read through readSetting. Text that is not a number (a
// hand-edited value) falls back to the name's default, so one bad value
// never puts a window off screen or makes it vanish.
double readTwipsSetting(const RegistryStore& store, const QString& keyPath, const QString& valueName);

// Writes one value. When the key cannot be opened, only a key named after the
// path's last component is created, directly below the root; a deeper path
// therefore still cannot be opened and its value is dropped, which is why
// deeper keys are made beforehand by the routines below. Nothing is reported.
void saveSetting(RegistryStore& store, const QString& keyPath, const QString& valueName, const QString& value);
void saveSetting(core::AppContext& context, const QString& keyPath, const QString& valueName, const QString& value);

// LoginForm and LoginForm\Trees, before per-tree login values are stored.
void createLoginTreesKey(RegistryStore& store);
void createLoginTreesKey(core::AppContext& context);

// UserConnectionsWindow, before the connection settings are first stored.
void createUserConnectionsKey(RegistryStore& store);
void createUserConnectionsKey(core::AppContext& context);

// Makes the root key step by step, the Hidden key, and an empty
// StartingServerContext: how the root comes into being on a first run.
void resetStartingServerContext(RegistryStore& store);
void resetStartingServerContext(core::AppContext& context);

// Booleans are stored as "True" and "False". Reading, only "True" exactly
// means yes ("true" does not); a missing value gives whenMissing.
QString booleanText(bool value);
bool booleanSetting(const std::optional<QString>& stored, bool whenMissing);

// ParallelServers as stored: a whole number (spaces around it allowed) kept
// within kMinParallelServers..kMaxParallelServers; anything else, or nothing,
// gives kDefaultParallelServers.
int parallelServersSetting(const std::optional<QString>& stored);
// HistoryDays the same way, within kMinHistoryDays..kMaxHistoryDays.
int historyDaysSetting(const std::optional<QString>& stored);

// Interval boxes take Backspace, "." and digits; any other key gives 0 (dropped).
int numericKeyFilter(int keyCode);

}  // namespace settings

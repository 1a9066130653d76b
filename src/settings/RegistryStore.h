#pragma once
// The registry as Veskaro uses it: keys addressed by their full path below a
// hive ("Software\Korvanel\Veskaro\MainForm", no leading or trailing
// backslash), each holding string values and sub-keys. On Windows this is the
// real registry; everywhere else a file store in the .reg export format.

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

namespace settings {

enum class Hive { CurrentUser, LocalMachine };

class RegistryStore {
public:
    virtual ~RegistryStore() = default;

    // True when the key exists (RegOpenKeyEx succeeds).
    virtual bool keyExists(Hive hive, const QString& path) const = 0;
    // Creates the key and any missing parents (RegCreateKey); true when it exists afterwards.
    virtual bool createKey(Hive hive, const QString& path) = 0;
    // The value's text, or nothing when the key or the value is missing.
    virtual std::optional<QString> queryValue(Hive hive, const QString& path, const QString& name) const = 0;
    // Writes a string value; false when the key does not exist or the write fails.
    virtual bool setValue(Hive hive, const QString& path, const QString& name, const QString& data) = 0;
    // Deletes one value; false when it did not exist.
    virtual bool deleteValue(Hive hive, const QString& path, const QString& name) = 0;
    // Name of the index-th direct sub-key (0-based, in a stable order), or nothing past the last.
    virtual std::optional<QString> enumKey(Hive hive, const QString& path, int index) const = 0;
};

// The store the program uses: the Windows registry on Windows, otherwise the
// file named by VESKARO_SETTINGS or Veskaro's file in the user's configuration folder.
std::unique_ptr<RegistryStore> openDefaultRegistryStore();

}  // namespace settings

#pragma once
// The current user's and the local machine's registry through the ANSI
// registry functions, as the program has always used it. Windows only.

#include "settings/RegistryStore.h"

namespace settings {

class WindowsRegistryStore : public RegistryStore {
public:
    bool keyExists(Hive hive, const QString& path) const override;
    bool createKey(Hive hive, const QString& path) override;
    std::optional<QString> queryValue(Hive hive, const QString& path, const QString& name) const override;
    bool setValue(Hive hive, const QString& path, const QString& name, const QString& data) override;
    bool deleteValue(Hive hive, const QString& path, const QString& name) override;
    std::optional<QString> enumKey(Hive hive, const QString& path, int index) const override;
};

}  // namespace settings

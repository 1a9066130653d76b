#include "settings/WindowGeometry.h"
#include "settings/SettingsKeys.h"

#include "settings/Registry.h"
#include "settings/Twips.h"

namespace settings {

std::optional<WindowGeometry> storedWindowGeometry(const RegistryStore& store, const QString& keyPath)
{
    if (!store.keyExists(Hive::CurrentUser, keyPath))
        return std::nullopt;
    WindowGeometry geometry;
    geometry.top = readTwipsSetting(store, keyPath, kTopValue);
    geometry.left = readTwipsSetting(store, keyPath, kLeftValue);
    geometry.height = readTwipsSetting(store, keyPath, kHeightValue);
    geometry.width = readTwipsSetting(store, keyPath, kWidthValue);
    return geometry;
}

WindowGeometry loadWindowGeometry(const RegistryStore& store, const QString& keyPath,
                                    const WindowGeometry& defaults)
{
    return storedWindowGeometry(store, keyPath).value_or(defaults);
}

void saveWindowGeometry(RegistryStore& store, const QString& keyPath, const WindowGeometry& geometry)
{
    saveSetting(store, keyPath, kTopValue, twipsToText(geometry.top));
    saveSetting(store, keyPath, kLeftValue, twipsToText(geometry.left));
    saveSetting(store, keyPath, kHeightValue, twipsToText(geometry.height));
    saveSetting(store, keyPath, kWidthValue, twipsToText(geometry.width));
}

}  // namespace settings

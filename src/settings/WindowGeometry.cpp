#include "settings/WindowGeometry.h"

#include "settings/Registry.h"
#include "settings/Twips.h"

namespace settings {

std::optional<WindowGeometry> storedWindowGeometry(const RegistryStore& store, const QString& keyPath)
{
    if (!store.keyExists(Hive::CurrentUser, keyPath))
        return std::nullopt;
    WindowGeometry geometry;
    geometry.top = readTwipsSetting(store, keyPath, QStringLiteral("Top"));
    geometry.left = readTwipsSetting(store, keyPath, QStringLiteral("Left"));
    geometry.height = readTwipsSetting(store, keyPath, QStringLiteral("Height"));
    geometry.width = readTwipsSetting(store, keyPath, QStringLiteral("Width"));
    return geometry;
}

WindowGeometry loadWindowGeometry(const RegistryStore& store, const QString& keyPath,
                                    const WindowGeometry& defaults)
{
    return storedWindowGeometry(store, keyPath).value_or(defaults);
}

void saveWindowGeometry(RegistryStore& store, const QString& keyPath, const WindowGeometry& geometry)
{
    saveSetting(store, keyPath, QStringLiteral("Top"), twipsToText(geometry.top));
    saveSetting(store, keyPath, QStringLiteral("Left"), twipsToText(geometry.left));
    saveSetting(store, keyPath, QStringLiteral("Height"), twipsToText(geometry.height));
    saveSetting(store, keyPath, QStringLiteral("Width"), twipsToText(geometry.width));
}

}  // namespace settings

#include "settings/WindowGeometry.h"

#include "settings/Registry.h"
#include "settings/Twips.h"

namespace settings {

std::optional<WindowGeometry> fnStoredWindowGeometry(const RegistryStore& store, const QString& keyPath)
{
    if (!store.keyExists(Hive::CurrentUser, keyPath))
        return std::nullopt;
    WindowGeometry geometry;
    geometry.top = fnGetTwipsSetting(store, keyPath, QStringLiteral("Top"));
    geometry.left = fnGetTwipsSetting(store, keyPath, QStringLiteral("Left"));
    geometry.height = fnGetTwipsSetting(store, keyPath, QStringLiteral("Height"));
    geometry.width = fnGetTwipsSetting(store, keyPath, QStringLiteral("Width"));
    return geometry;
}

WindowGeometry fnLoadWindowGeometry(const RegistryStore& store, const QString& keyPath,
                                    const WindowGeometry& defaults)
{
    return fnStoredWindowGeometry(store, keyPath).value_or(defaults);
}

void subSaveWindowGeometry(RegistryStore& store, const QString& keyPath, const WindowGeometry& geometry)
{
    subSaveSetting(store, keyPath, QStringLiteral("Top"), twipsToText(geometry.top));
    subSaveSetting(store, keyPath, QStringLiteral("Left"), twipsToText(geometry.left));
    subSaveSetting(store, keyPath, QStringLiteral("Height"), twipsToText(geometry.height));
    subSaveSetting(store, keyPath, QStringLiteral("Width"), twipsToText(geometry.width));
}

}  // namespace settings

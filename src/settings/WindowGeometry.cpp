#include "settings/WindowGeometry.h"
#include "settings/SettingsKeys.h"

#include "settings/Registry.h"
#include "text/Twips.h"

#include <algorithm>

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

WindowGeometry loadWindowGeometry(const RegistryStore& store, const QString& keyPath, const WindowGeometry& defaults)
{
    return storedWindowGeometry(store, keyPath).value_or(defaults);
}

QRect keepInside(const QRect& window, const QRect& area)
{
    if (area.isEmpty())
        return window;
    const int width = std::min(window.width(), area.width());
    const int height = std::min(window.height(), area.height());
    const int left = std::clamp(window.left(), area.left(), area.left() + area.width() - width);
    const int top = std::clamp(window.top(), area.top(), area.top() + area.height() - height);
    return {left, top, width, height};
}

QRect AppliedGeometry::apply(const WindowGeometry& twips, double dpiX, double dpiY)
{
    m_twips = twips;
    m_pixels = QRect(texts::twipsToPixels(twips.left, dpiX), texts::twipsToPixels(twips.top, dpiY),
                     texts::twipsToPixels(twips.width, dpiX), texts::twipsToPixels(twips.height, dpiY));
    m_applied = true;
    return m_pixels;
}

WindowGeometry AppliedGeometry::toStore(const QRect& pixels, double dpiX, double dpiY) const
{
    const auto keep = [this](int now, int applied, double stored, double dpi) {
        return m_applied && now == applied ? stored : texts::pixelsToTwips(now, dpi);
    };
    WindowGeometry g;
    g.top = keep(pixels.top(), m_pixels.top(), m_twips.top, dpiY);
    g.left = keep(pixels.left(), m_pixels.left(), m_twips.left, dpiX);
    g.height = keep(pixels.height(), m_pixels.height(), m_twips.height, dpiY);
    g.width = keep(pixels.width(), m_pixels.width(), m_twips.width, dpiX);
    return g;
}

void saveWindowGeometry(RegistryStore& store, const QString& keyPath, const WindowGeometry& geometry)
{
    saveSetting(store, keyPath, kTopValue, texts::twipsToText(geometry.top));
    saveSetting(store, keyPath, kLeftValue, texts::twipsToText(geometry.left));
    saveSetting(store, keyPath, kHeightValue, texts::twipsToText(geometry.height));
    saveSetting(store, keyPath, kWidthValue, texts::twipsToText(geometry.width));
}

}  // namespace settings

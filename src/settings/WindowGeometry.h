#pragma once
// The four window-state values every view keeps in its own key: Top, Left,
// Height and Width, in twips.

#include "settings/RegistryStore.h"

#include <QRect>
#include <QString>

#include <optional>

namespace settings {

struct WindowGeometry {
    double top = 0;
    double left = 0;
    double height = 7000;
    double width = 8040;
    friend bool operator==(const WindowGeometry&, const WindowGeometry&) = default;
};

// Where a view opens while nothing of it is stored: the designed place and
// size, in twips.
inline constexpr WindowGeometry kDesignedViewGeometry{};

// The stored geometry when the window's key exists (each value through
// readSetting, a non-number falling back to the name's default), otherwise nothing.
std::optional<WindowGeometry> storedWindowGeometry(const RegistryStore& store, const QString& keyPath);

// The stored geometry, or the window's own defaults when it has no key yet.
WindowGeometry loadWindowGeometry(const RegistryStore& store, const QString& keyPath, const WindowGeometry& defaults);

// Writes Top, Left, Height and Width through saveSetting.
void saveWindowGeometry(RegistryStore& store, const QString& keyPath, const WindowGeometry& geometry);

// A window placed at `window` brought inside `area` so that all of it can be
// reached: it keeps its size when that fits and is moved in only as far as
// needed; a side longer than the area's is cut to it.
QRect keepInside(const QRect& window, const QRect& area);

// The geometry a window was given from its stored twips, so that a window
// that was neither moved nor resized writes back exactly what it read: a
// pixel is more than a twip, and converting back would creep by rounding
// (7000 twips are 466.67 pixels at 96 dots per inch, which come back as 7005).
class AppliedGeometry {
public:
    // Pixels for the stored twips, remembered with them.
    QRect apply(const WindowGeometry& twips, double dpiX, double dpiY);
    // The twips to store for the window's pixel geometry now: each value that
    // kept its pixels keeps the twips it was read as.
    WindowGeometry toStore(const QRect& pixels, double dpiX, double dpiY) const;

private:
    WindowGeometry m_twips;
    QRect m_pixels;
    bool m_applied = false;
};

}  // namespace settings

#pragma once
// The four window-state values every view keeps in its own key: Top, Left,
// Height and Width, in twips.

#include "settings/RegistryStore.h"

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

// The stored geometry when the window's key exists (each value through
// readSetting, a non-number falling back to the name's default), otherwise nothing.
std::optional<WindowGeometry> storedWindowGeometry(const RegistryStore& store, const QString& keyPath);

// The stored geometry, or the window's own defaults when it has no key yet.
WindowGeometry loadWindowGeometry(const RegistryStore& store, const QString& keyPath,
                                    const WindowGeometry& defaults);

// Writes Top, Left, Height and Width through saveSetting.
void saveWindowGeometry(RegistryStore& store, const QString& keyPath, const WindowGeometry& geometry);

}  // namespace settings

#pragma once
// The window-state convention every view follows: on load its position and
// size come from its own key (or its own defaults when it has none), on
// unload they go back unless it is minimised or maximised; list-view columns
// keep their widths by header text ("ColWidth-Volume"), grid columns by
// number ("ColWidth0").
//
// A view passes itself; inside the main window's MDI area the state belongs
// to the QMdiSubWindow around it, whose geometry is relative to the area.

#include "settings/RegistryStore.h"
#include "settings/WindowGeometry.h"

#include <QRect>
#include <QString>

#include <optional>

class QHeaderView;
class QWidget;

namespace core {
class AppContext;
}

namespace settings {

class WindowState {
public:
    // keyPath is the window's full key path, e.g. rootKeyPath("VolumeUsageForm").
    WindowState(RegistryStore& store, QString keyPath, WindowGeometry defaults = {}, bool saveEnabled = true);
    // Follows the program's AppContext::saveWindowState (off: nothing is written).
    WindowState(core::AppContext& context, QString keyPath, WindowGeometry defaults = {});

    const QString& keyPath() const { return m_keyPath; }

    // The widget whose geometry is the window's: the enclosing QMdiSubWindow,
    // or the top-level window.
    static QWidget* frameOf(QWidget* view);

    // Position and size from the key, or the defaults when the key is missing.
    // Inside a multiple-document area that is on screen, the window is
    // brought inside the area (a stored place may lie beyond a smaller one).
    void restore(QWidget* view);
    // Position and size back to the key, unless the window is minimised or
    // maximised; values the window kept are written back as they were read.
    void save(QWidget* view) const;

    // Tiling and cascading move a window for the moment: until the user moves
    // or sizes it again, the place it had before (its first place, when it is
    // arranged again) is what save() keeps, so it reopens at its own size.
    static void noteArranged(QWidget* frame, const QRect& before);

    // List-view columns, by header text; read when the columns exist, written
    // in column order on unload whatever the window's state.
    int listColumnWidth(const QWidget* reference, const QString& header) const;
    void restoreListColumns(QHeaderView* header) const;
    void saveListColumns(const QHeaderView* header) const;

    // Grid columns, by number. A missing value reads 0, which would hide the
    // column for good; such a column keeps the width it was designed with.
    std::optional<int> gridColumnWidth(const QWidget* reference, int column) const;
    void restoreGridColumns(QHeaderView* header) const;
    void saveGridColumns(const QHeaderView* header) const;
    // The same values in twips, as a grid holds its widths: the stored width
    // of a column (nothing when missing or below a twip), and the width to store.
    std::optional<int> gridColumnTwips(int column) const;
    void saveGridColumnTwips(int column, int twips) const;

private:
    void saveColumnWidth(const QWidget* reference, const QString& name, int pixels) const;
    RegistryStore& m_store;
    QString m_keyPath;
    WindowGeometry m_defaults;
    bool m_saveEnabled;
    AppliedGeometry m_applied;
};

}  // namespace settings

#pragma once
// frmSetCommands, "Set Commands": the SET parameters of several servers side
// by side, one row per parameter and one value column per server, with a
// filter that keeps only the parameters in which the servers differ.

#include "views/SetComparison.h"

#include <QPointer>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QMdiArea;
class QMdiSubWindow;
class QStatusBar;

namespace app {
class ViewHost;
}

namespace widgets {
class FlexGrid;
}

namespace views {

class frmSetCommands : public QWidget {
    Q_OBJECT
public:
    static inline const QString Caption = QStringLiteral("Set Commands");
    // Key of the window state below the program's root key.
    static inline const QString SettingsKey = QStringLiteral("SetCommandsForm");
    // The main window's menu the window shows as its own, and its one item.
    static inline const QString MenuName = QStringLiteral("PopMenu_Set_Commands");
    static inline const QString RemoveColumnAction = QStringLiteral("Menu_Remove_Column");

    explicit frmSetCommands(app::ViewHost& host, QWidget* parent = nullptr);
    ~frmSetCommands() override;

    widgets::FlexGrid* grdSetCommands() const { return m_grid; }
    QCheckBox* chkDifferences() const { return m_chkDifferences; }
    QLineEdit* txtFind() const { return m_txtFind; }

    // Window state: position, size and the widths of "Command" and "Category".
    void Form_Load();
    void Form_Unload();
    // The window's menu shows in the menu bar while the window is active.
    void Form_Activate();
    void Form_Deactivate();

    enum class AddOutcome { Added, AlreadyShown, Unreachable, NotAuthenticated };
    // Adds one server's column and its parameters; `fill` lasts for one
    // opening. NotAuthenticated has closed the window: the caller must not
    // touch it again.
    AddOutcome subAddServer(const QString& server, SetComparisonFill& fill);
    // After servers were added or removed: the box is usable with two
    // servers or more, and the rows are filtered again.
    void subUpdateDifferencesBox();

    void chkDifferences_Click();
    void subCheckDifferences();
    void txtFind_Change();
    void grdSetCommands_MouseDown(Qt::MouseButton button, int row, int col, const QPoint& globalPos);
    // Removes the current server column (the main window's "Remove Column").
    void subRemoveCurrentColumn();

    int serverColumns() const;
    bool isUnloaded() const { return m_unloaded; }

    // Binds the window to the sub-window around it: caption, smallest size,
    // activation and closing.
    void attachToFrame();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    app::ViewHost& m_host;
    widgets::FlexGrid* m_grid;
    QCheckBox* m_chkDifferences;
    QLabel* m_label1;
    QLineEdit* m_txtFind;
    QStatusBar* m_statusBar1;
    QPointer<QMdiSubWindow> m_frame;
    bool m_sortAscendingNext = true;   // the first header sort after opening is ascending
    bool m_unloaded = false;
};

// The open comparison window of the main window, or nullptr.
frmSetCommands* findSetCommandsForm(app::ViewHost& host);
frmSetCommands* findSetCommandsForm(QMdiArea* area);

// Opens the comparison (or brings it forward) with the selected servers
// appended; servers already shown are skipped.
void btnSetParameters_Click(app::ViewHost& host);

// The main window's "Remove Column": drops the selected server's column of
// the open comparison.
void Menu_Remove_Column_Click(app::ViewHost& host);

// veskaro-report: ticks "Show Differences Only" of the comparison in
// `window` (its sub-window or the form itself) as the user would; a disabled
// box (fewer than two servers) is left alone.
void applySetReportOptions(QWidget* window, bool differencesOnly);

}  // namespace views

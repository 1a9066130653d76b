#pragma once
// SetCommandsWindow, "Set Commands": the SET parameters of several servers side
// by side, one row per parameter and one value column per server, with a
// filter that keeps only the parameters in which the servers differ.

#include "viewbase/ViewWindow.h"
#include "views/PastState.h"
#include "views/SetComparison.h"

#include <QSet>

class QCheckBox;
class QLabel;
class QLineEdit;
class QStatusBar;

namespace widgets {
class FlexGrid;
}

namespace views {

class DifferenceMarks;

class SetCommandsWindow : public ViewWindow {
    Q_OBJECT
public:
    static QString caption() { return QStringLiteral("Set Commands"); }
    // Value texts made by earlier openings of this window.
    SetComparisonFill::Texts& valueTexts() { return m_valueTexts; }

    explicit SetCommandsWindow(ViewHost& host, QWidget* parent = nullptr);
    ~SetCommandsWindow() override;

    widgets::FlexGrid* grdSetCommands() const { return m_grid; }
    QCheckBox* chkDifferences() const { return m_differencesOnly; }
    QLineEdit* txtFind() const { return m_findText; }
    // "N of M rows differ" in the status bar.
    QLabel* lblDifferences() const { return m_differencesLabel; }
    DifferenceMarks* differenceMarks() const { return m_marks; }

    // Reads the servers side by side and adds each one's column and
    // parameters in the order given; `fill` lasts for one opening. A server
    // already shown is passed over, one that cannot be reached is reported.
    // A server whose tree is not logged in closes the window (Closed): the
    // caller must not touch it again.
    ReadEnd addServers(const QStringList& servers, SetComparisonFill& fill);
    // After servers were added or removed: the box is usable with two
    // servers or more, and the rows are filtered again.
    void updateDifferencesBox();

    // Hides or shows the rows in which every server agrees, as the box says.
    void applyDifferences();
    // A press on the grid: sorts by "Command" or "Category", selects a row or
    // a server's column, and offers "S&et Commands" on a server's header.
    void clickGrid(Qt::MouseButton button, int row, int col, const QPoint& globalPos);
    // Removes the current server column (the main window's "Remove Column").
    void removeCurrentColumn();

    int serverColumns() const;

    // Adds a column of a server as it was (at a date or in a baseline),
    // headed by pastStateLabel, from the history; the differences box and
    // marks then count it like a server. False, after telling the user why,
    // when nothing is kept. A column of that heading already shown is kept.
    bool addPastColumn(const PastState& state);
    // Whether the column shows a kept state rather than a live server.
    bool isPastColumn(int col) const;
    // The servers of the live columns, left to right.
    QStringList liveServers() const;

protected:
    // The widths of "Command" and "Category" beside the window state.
    void loadContents() override;
    void unloadContents() override;
    // Fits the columns a slice at a time and lets events run between the
    // slices: the window may be gone when it returns.
    void fitColumns() override;
    void fitAddedColumns(int firstColumn) override;
    // The window's menu shows in the menu bar while the window is active.
    void activated() override;
    void deactivated() override;

private:
    void findTypedName();

    widgets::FlexGrid* m_grid;
    QCheckBox* m_differencesOnly;
    QLabel* m_findLabel;
    QLineEdit* m_findText;
    QStatusBar* m_statusBar;
    QLabel* m_differencesLabel = nullptr;
    DifferenceMarks* m_marks = nullptr;
    bool m_sortAscendingNext = true;        // the first header sort after opening is ascending
    SetComparisonFill::Texts m_valueTexts;  // value texts made so far, for the next opening
    QSet<QString> m_pastHeadings;           // headings of the columns of kept states
};

// Opens the comparison (or brings it forward) with the selected servers
// appended; servers already shown are skipped.
void openSetCommands(ViewHost& host);

// "Add Column from History..." of the comparison's menu: asks which server
// as it was, then adds its column to the open comparison.
void addPastSetColumn(ViewHost& host);

// The main window's "Remove Column": drops the selected server's column of
// the open comparison.
void removeSetCommandsColumn(ViewHost& host);

// veskaro-report: ticks "Show Differences Only" of the comparison in
// `window` (its sub-window or the form itself) as the user would; a disabled
// box (fewer than two servers) is left alone.
void applySetReportOptions(QWidget* window, bool differencesOnly);

}  // namespace views

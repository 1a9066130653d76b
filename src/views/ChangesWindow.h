#pragma once
// The Changes view ("frmChanges"): what changed on the chosen servers, newest
// first, one row per change: server, when (the time of the later snapshot),
// kind, item, before and after. Every showing reads the servers now, as any
// view reads them, so that the history holds their present state; the
// changes run from the chosen origin to that state: the snapshot before this
// reading (the default), the state at a date, or a named baseline. The window
// exists once; opening it again shows the changes of the new selection.

#include "history/ChangesSince.h"
#include "viewbase/ViewWindow.h"

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <vector>

class QComboBox;
class QDateTimeEdit;
class QPushButton;
class QStatusBar;

namespace widgets {
class ReportListView;
}

namespace views {

// Where the changes are counted from, as the window offers it.
enum class ChangesSince { PreviousSnapshot, Date, Baseline };

// The rows of the list: server, when (local time), kind, item, before, after.
QStringList changesHeadings();
QList<QStringList> changeRows(const std::vector<history::DatedChange>& changes);
// "2026-12-07 14:30:05" in the workstation's time zone.
QString changeTimeText(const QDateTime& utc);

class ChangesWindow : public ViewWindow {
    Q_OBJECT
public:
    static QString caption() { return QStringLiteral("Changes"); }

    explicit ChangesWindow(ViewHost& host, QWidget* parent = nullptr);
    ~ChangesWindow() override;

    widgets::ReportListView* lstvwChanges() const { return m_list; }
    QComboBox* cboSince() const { return m_since; }
    QDateTimeEdit* dtpSince() const { return m_date; }
    QComboBox* cboBaseline() const { return m_baseline; }
    QPushButton* btnShowChanges() const { return m_show; }
    QStatusBar* statusBar() const { return m_status; }

    const QStringList& servers() const { return m_servers; }
    void setServers(const QStringList& servers);

    ChangesSince since() const;
    // Chooses the origin as the user would: `date` (any time zone) for Date,
    // `baseline` for Baseline (a name not in the list is added to it).
    void chooseSince(ChangesSince since, const QDateTime& date = {}, const QString& baseline = {});
    // Fills the baseline list from the history, keeping the chosen name.
    void refreshBaselineNames();

    // Reads the servers, keeps their state in the history and lists the
    // changes from the chosen origin. Servers that cannot be read are named in
    // the status bar and left out. After Closed the window is gone.
    ReadEnd showChanges();

protected:
    void loadContents() override;
    void unloadContents() override;
    void fitColumns() override;

private:
    void updateChoiceControls();

    widgets::ReportListView* m_list;
    QComboBox* m_since;
    QDateTimeEdit* m_date;
    QComboBox* m_baseline;
    QPushButton* m_show;
    QStatusBar* m_status;
    QStringList m_servers;
};

// The opening routine (tool-bar button and "Server &Action" item): the
// selected servers' changes since their previous snapshot.
void openChanges(ViewHost& host);

}  // namespace views

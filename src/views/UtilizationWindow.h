#pragma once
// The utilization monitor ("frmServerMon"): the utilization of the chosen servers, polled on a timer.
// One row per server with its last utilization and the highest seen since the
// row was added or reset. The window exists once; opening it again appends
// servers. No connection is held between ticks: every poll opens and closes
// one per server.

#include "views/UtilizationHistory.h"
#include "views/UtilizationRules.h"
#include "viewbase/ViewWindow.h"

#include <QHash>
#include <QPointer>
#include <QTime>

#include <QString>
#include <QStringList>
#include <QWidget>

#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTimer;

namespace widgets {
class RefreshFrame;
class ReportListView;
}  // namespace widgets

namespace views {

class UtilizationBarDelegate;
class UtilizationHistoryWindow;

class UtilizationWindow : public ViewWindow {
    Q_OBJECT
public:
    static QString caption();  // "Server Utilization"

    explicit UtilizationWindow(views::ViewHost& host, QWidget* parent = nullptr);
    ~UtilizationWindow() override;

    widgets::ReportListView* lstvwServerUtilization() const { return m_list; }
    widgets::RefreshFrame* fraRefresh() const { return m_refresh; }
    QPushButton* btnRefresh() const;
    QLineEdit* txtInterval() const;
    QLabel* lblSeconds() const;
    QTimer* timer() const;
    QPushButton* btnReset() const { return m_reset; }
    QStatusBar* statusBar() const { return m_status; }
    // The time of the last completed poll, in the status bar.
    QLabel* lblLastPoll() const { return m_lastPollLabel; }
    // "&History": the chart of every poll since the monitor started.
    QPushButton* btnHistory() const { return m_historyButton; }
    const UtilizationHistory& history() const { return m_history; }
    UtilizationHistoryWindow* showHistory();
    const UtilizationThresholds& thresholds() const { return m_thresholds; }
    // Why the server's last poll gave "?" (empty when it gave a reading).
    QString pollFailure(const QString& server) const { return m_failures.value(server); }

    // Appends a row for the server unless a row reads exactly the same
    // (case-sensitive). Returns whether a row was added.
    bool addServer(const QString& name);

    // "Begin &Refresh" / "Stop &Refresh".
    void toggleRefresh();
    // "R&eset High %": every row's highest mark back to 0.
    void resetHighs();

    // One poll of every row present when it starts, the servers read side by
    // side and the rows set in their order; returns when it has ended. Events
    // run meanwhile: a tick or a call that comes while a poll runs is
    // skipped, and the window may be gone when it returns.
    void pollOnce();
    // The timer's poll: starts the same and returns at once.
    void startPoll();
    // Returns when the poll under way (if any) has ended; events run meanwhile
    // and the window may be gone afterwards.
    void waitForPoll();
    bool isPolling() const { return m_polling; }

Q_SIGNALS:
    void pollFinished();

protected:
    // Makes the columns, sets the interval to one second and starts polling.
    void loadContents() override;
    void unloadContents() override;
    void fitColumns() override;
    QSize minimumFrameSize() const override;
    void layoutContents() override;

private:
    void buildColumns();
    void readThresholds();
    QVariant decorateCell(int row, int col, int role) const;

    widgets::ReportListView* m_list;
    widgets::RefreshFrame* m_refresh;
    QPushButton* m_reset;
    QStatusBar* m_status;
    QLabel* m_lastPollLabel;
    UtilizationBarDelegate* m_bars;
    UtilizationThresholds m_thresholds;
    QHash<QString, QString> m_failures;  // server -> why its last poll gave "?"
    QPushButton* m_historyButton;
    UtilizationHistory m_history;
    QPointer<UtilizationHistoryWindow> m_historyWindow;
    bool m_polling = false;
    QStringList m_polled;                        // the servers of the poll under way
    std::vector<std::optional<int>> m_readings;  // and what they gave
};

// The opening routine (tool-bar button, "Server &Action" item, double-click).
void openServerUtilization(views::ViewHost& host);

// veskaro-report prints the monitor after one poll: the timer is stopped (so
// the window may be saved) and one poll runs to its end before this returns.
void pollOnceForReport(QWidget* window);

}  // namespace views

#pragma once
// frmPartitions: the directory partitions that the chosen servers hold
// replicas of, one row per partition and one column per server, showing the
// replica type, its state, its time stamp or its synchronisation figure. One
// window per tree; opening it again adds or refreshes server columns. It
// refreshes itself on a timer.

#include "directory/Partitions.h"
#include "viewbase/ViewWindow.h"

#include <QString>
#include <QStringList>

class QGroupBox;
class QRadioButton;
class QStatusBar;

namespace widgets {
class FlexGrid;
class RefreshFrame;
}  // namespace widgets

namespace directory {

class PartitionsWindow : public views::ViewWindow {
    Q_OBJECT
public:
    using ReplicaView = directory::ReplicaView;

    static QString captionFor(const QString& treeName);  // "Partitions - " + tree

    explicit PartitionsWindow(views::ViewHost& host, QWidget* parent = nullptr);
    ~PartitionsWindow() override;

    widgets::FlexGrid* grdPartitions() const { return m_grid; }
    widgets::RefreshFrame* fraRefresh() const { return m_refresh; }
    QGroupBox* fraReplicaInformation() const { return m_views; }
    QRadioButton* optReplicaType() const { return m_type; }
    QRadioButton* optReplicaState() const { return m_state; }
    QRadioButton* optReplicaTimeStamp() const { return m_timeStamp; }
    QRadioButton* optSyncTime() const { return m_syncTime; }
    QStatusBar* statusBar() const { return m_status; }

    ReplicaView replicaView() const { return m_view; }
    // Selects a view: blanks the cells, refills every server column with it
    // and drops the rows left empty. Nothing happens for the view shown.
    void showReplicaView(ReplicaView view);

    // The servers in column order, from the header row.
    QStringList servers() const;
    // Fills (or refreshes) the server's column with the selected view.
    void fillServer(const QString& server);
    // Fills (or refreshes) the servers' columns with the selected view: the
    // servers read side by side, their columns filled in the order given.
    // Lets events run; returns how the reading ended.
    ReadEnd fillServers(const QStringList& servers);
    // A refresh pass: every column read again and refilled, each one blanked
    // just before its new cells are written. Returns when done; nothing
    // happens while a pass runs.
    void refreshAll();
    // The same without waiting (each tick of the timer). A tick while a pass
    // runs is dropped; "&Stop" ends a running refresh pass.
    void startRefresh();
    bool isFilling() const { return m_filling; }

    // The tool tip of a cell by its text.
    QString toolTipAt(int row, int col) const;
    // Mouse button pressed over a cell (row 0 is the header row).
    void gridMouseDown(Qt::MouseButton button, int row, int col, const QPoint& globalPos = {});
    // Removes the selected server column unless it is the last one. Returns
    // whether a column was removed.
    bool removeSelectedColumn();
    // Enables "Remove Column" while more than one server column is shown.
    void updateRemoveItem();

Q_SIGNALS:
    // A pass (opening, view switch or refresh) ended.
    void passFinished();

protected:
    void loadContents() override;
    void unloadContents() override;
    void activated() override;
    void fitColumns() override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int serverColumn(const QString& server);
    void writeCell(const QString& partitionName, int col, const QString& text);
    void blankDataCells();
    void applyServer(const QString& server, ServerReplicas& read, bool blankColumn);
    void endPass();
    void layoutControls();

    widgets::FlexGrid* m_grid;
    QGroupBox* m_views;
    QRadioButton* m_type;
    QRadioButton* m_state;
    QRadioButton* m_timeStamp;
    QRadioButton* m_syncTime;
    widgets::RefreshFrame* m_refresh;
    QStatusBar* m_status;
    QStringList m_unreachable;  // servers whose last fill could not reach them
    ReplicaView m_view = ReplicaView::Type;
    bool m_restoreWidths = false;
    bool m_sortDescending = true;
    bool m_filling = false;
    bool m_refreshing = false;  // the running pass is a refresh pass
};

// The open partitions window of the current tree, or null.
PartitionsWindow* partitionsWindow(views::ViewHost& host);

// The opening routine (tool-bar button, "Server &Action" item, double-click).
void openPartitions(views::ViewHost& host);

// "Remove Column" of the main window's "&Partitions" pop-up menu.
void removePartitionColumn(views::ViewHost& host);

}  // namespace directory

#pragma once
// frmVolumeUsage: the space of the mounted volumes of the chosen servers, one
// row per volume, with the totals of the reachable volumes in the status bar
// and a timed refresh. The window exists once; opening it again adds the
// volumes of the newly selected servers.

#include "viewbase/ViewWindow.h"
#include "views/VolumeUsage.h"

#include <QString>
#include <QStringList>

class QStatusBar;

namespace widgets {
class RefreshFrame;
class ReportListView;
}  // namespace widgets

namespace views {

class VolumeUsageWindow : public ViewWindow {
    Q_OBJECT
public:
    static QString caption();  // "Volume Space Usage"

    explicit VolumeUsageWindow(views::ViewHost& host, QWidget* parent = nullptr);
    ~VolumeUsageWindow() override;

    widgets::ReportListView* lstvwVolumeUsage() const { return m_list; }
    widgets::RefreshFrame* fraRefresh() const { return m_refresh; }
    QStatusBar* StatusBar() const { return m_status; }
    // The volumes of the view ("\\FS1\SYS"), in the order found.
    const QStringList& volumes() const { return m_volumes; }

    // Adds the mounted volumes (less the administration volumes) of the
    // servers that the view does not hold yet, and measures every volume of
    // the view: the servers side by side, their rows filled in the servers'
    // order, then the totals. An unreachable server adds nothing. A refresh
    // pass still running gives way. Lets events run; returns how it ended.
    ReadEnd addServers(const QStringList& servers);
    // Measures every volume and fills or updates its row, then the totals,
    // and returns when done: false when the window went away. Does nothing
    // while a pass runs.
    bool measureVolumes();
    // One refresh pass (each tick of the timer): measures every volume
    // without waiting for the end. A tick while a pass runs is dropped;
    // "&Stop" ends a running refresh pass.
    void startMeasuring();
    bool isMeasuring() const { return m_measuring; }

    void sortByColumn(int col);

protected:
    void loadContents() override;
    void unloadContents() override;
    void fitColumns() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // What each pass reads: the servers to scan (for an opening), and every
    // server holding volumes of the view.
    QStringList passServers(const QStringList& scanned) const;
    void applyServer(ServerVolumesRead& read);
    void endPass();
    void showVolume(const QString& entry, const QStringList& cells);
    void showTotals();
    void layoutControls();

    widgets::ReportListView* m_list;
    widgets::RefreshFrame* m_refresh;
    QStatusBar* m_status;
    QStringList m_volumes;
    FreeSpaceThresholds m_freeSpace;
    bool m_measuring = false;
    bool m_refreshing = false;  // the running pass is a refresh pass
    int m_lastSortColumn = -1;
    Qt::SortOrder m_lastSortOrder = Qt::AscendingOrder;
};

// The opening routine (tool-bar button, "Server &Action" item, double-click).
void openVolumeUsage(views::ViewHost& host);

}  // namespace views

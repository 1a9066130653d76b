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

class VolumeUsageForm : public ViewWindow {
    Q_OBJECT
public:
    static QString caption();   // "Volume Space Usage"

    explicit VolumeUsageForm(views::ViewHost& host, QWidget* parent = nullptr);
    ~VolumeUsageForm() override;

    widgets::ReportListView* lstvwVolumeUsage() const { return m_list; }
    widgets::RefreshFrame* fraRefresh() const { return m_refresh; }
    QStatusBar* StatusBar() const { return m_status; }
    // The volumes of the view ("\\FS1\SYS"), in the order found.
    const QStringList& volumes() const { return m_volumes; }

    // Adds the server's mounted volumes (less the administration volumes)
    // that the view does not hold yet. An unreachable server adds nothing.
    void addServerVolumes(const QString& server);
    // Measures every volume and fills or updates its row, then the totals.
    // Lets events run between volumes; returns false when the window went away.
    bool measureVolumes();

    void sortByColumn(int col);

protected:
    void loadContents() override;
    void unloadContents() override;
    void fitColumns() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showVolume(const QString& entry, const QStringList& cells);
    void showTotals();
    void layoutControls();

    widgets::ReportListView* m_list;
    widgets::RefreshFrame* m_refresh;
    QStatusBar* m_status;
    QStringList m_volumes;
    QStringList m_servers;   // servers whose volumes were asked for
    FreeSpaceThresholds m_freeSpace;
    bool m_measuring = false;
    int m_lastSortColumn = -1;
    Qt::SortOrder m_lastSortOrder = Qt::AscendingOrder;
};

// True when the volume can be opened as a directory through the operating
// system's network file access.
bool isVolumeReachable(core::AppContext& context, const QString& entry);

// The opening routine (tool-bar button, "Server &Action" item, double-click).
void openVolumeUsage(views::ViewHost& host);

}  // namespace views

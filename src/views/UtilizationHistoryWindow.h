#pragma once
// "Utilization History": the readings of every server the monitor polls since
// it started, as lines on a shared time axis (the last hour by default; the
// scroll bar goes back to the start), each server named in a list with its
// high-water mark. The list can be filtered by name and its boxes hide and
// show lines, so a monitor of 200 servers stays readable. The window follows
// the monitor's polls; it reads no server itself.

#include <QPointer>
#include <QWidget>

#include <vector>

class QChart;
class QChartView;
class QLineEdit;
class QLineSeries;
class QListWidget;
class QListWidgetItem;
class QScrollBar;
class QValueAxis;

namespace views {

class UtilizationHistory;

class UtilizationHistoryWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr qint64 kDefaultSpanMs = 60LL * 60 * 1000;

    UtilizationHistoryWindow(const UtilizationHistory& history, QWidget* parent = nullptr);

    QChartView* chartView() const { return m_chartView; }
    QListWidget* lstServers() const { return m_servers; }
    QLineEdit* txtFilter() const { return m_filter; }
    QScrollBar* scrollTime() const { return m_scroll; }
    // The lines drawn now, one per server in the history's order.
    int seriesCount() const { return static_cast<int>(m_series.size()); }
    QLineSeries* series(int server) const;

    // A poll was recorded: new servers get a line, the shown span follows
    // the newest poll while the scroll bar is at its end.
    void historyChanged();

private:
    void addMissingSeries();
    void fillShownSpan();
    void updateScrollRange();
    void applyFilter();

    const UtilizationHistory& m_history;
    QChartView* m_chartView;
    QValueAxis* m_timeAxis;   // minutes since the monitor's first poll
    QValueAxis* m_percentAxis;
    QLineEdit* m_filter;
    QListWidget* m_servers;
    QScrollBar* m_scroll;
    std::vector<QLineSeries*> m_series;
    qint64 m_spanMs = kDefaultSpanMs;
};

}  // namespace views

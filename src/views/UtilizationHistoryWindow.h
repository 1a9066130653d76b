#pragma once
// "Utilization History": the readings of the monitor's servers as lines on a
// time axis of clock times, each server in a colour and line style of its
// own. The range ("Last hour", "Last day", "Last week" or a custom period) is
// read from the program's history, when it keeps one, off the window thread
// and merged with the monitor's own polls; without a history the chart shows
// the polls since the monitor started. The axis spans what was recorded and
// follows new polls while it shows the newest end; the mouse wheel and the
// +/- buttons or keys zoom, dragging and the scroll bar move along the time.
// The legend's markers and the list's boxes hide and show lines, in step; the
// list can be filtered by name, so a monitor of 200 servers stays readable.

#include "views/HistoryChartRules.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <vector>

class QChart;
class QChartView;
class QComboBox;
class QDateTimeAxis;
class QLabel;
class QLegendMarker;
class QLineEdit;
class QLineSeries;
class QListWidget;
class QListWidgetItem;
class QScrollBar;
class QToolButton;
class QValueAxis;

namespace history {
class HistoryRecorder;
}
namespace nw {
class ServerReads;
}

namespace views {

class UtilizationHistory;

class UtilizationHistoryWindow : public QWidget {
    Q_OBJECT
public:
    // Above this many servers the legend would crowd the chart: the list
    // beside it is the legend then.
    static constexpr int kLegendLimit = 24;

    // `store` is the program's history (none: only the monitor's polls);
    // `monitored` are the monitor's servers, charted before their first poll.
    explicit UtilizationHistoryWindow(const UtilizationHistory& history, history::HistoryRecorder* store = nullptr,
                                      const QStringList& monitored = {}, QWidget* parent = nullptr);
    ~UtilizationHistoryWindow() override;

    QChartView* chartView() const { return m_chartView; }
    QDateTimeAxis* timeAxis() const { return m_timeAxis; }
    QListWidget* lstServers() const { return m_servers; }
    QLineEdit* txtFilter() const { return m_filter; }
    QScrollBar* scrollTime() const { return m_scroll; }
    QComboBox* cboRange() const { return m_range; }
    QToolButton* btnZoomIn() const { return m_zoomIn; }
    QToolButton* btnZoomOut() const { return m_zoomOut; }
    QToolButton* btnShowAll() const { return m_showAll; }
    const TimeWindow& shownTime() const { return m_time; }
    // The lines, one per server in the order of serverNames().
    const QStringList& serverNames() const { return m_names; }
    int seriesCount() const { return static_cast<int>(m_series.size()); }
    QLineSeries* series(int server) const;
    QLegendMarker* legendMarker(int server) const;
    bool isServerShown(int server) const;
    // True while the range is read from the history.
    bool isReading() const;

    // Chooses the range to read (a custom one from `from` to `to`). A custom
    // period that ends before it starts is refused with a message in the
    // window and the range stays as it was.
    bool setRange(HistoryRange range, const QDateTime& from = {}, const QDateTime& to = {});

    // A poll was recorded: new servers get a line, the axis takes in the new
    // poll and moves along with it while it shows the newest end.
    void historyChanged();

Q_SIGNALS:
    // The range's readings came from the history (also when none were kept).
    void rangeRead();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addMissingSeries();
    void setServerShown(int server, bool shown);
    void connectLegendMarker(int server);
    void readRange();
    // The chosen range in milliseconds since the epoch; open ends are the type's limits.
    qint64 rangeStartMs() const;
    qint64 rangeEndMs() const;
    void updateExtent();
    void showSpan();
    void updateScrollBar();
    void zoomBy(double factor, std::optional<qint64> anchor = {});
    void panBy(qint64 deltaMs);
    qint64 timeAtX(qreal x) const;
    void chooseRange(int index);
    void applyFilter();
    std::vector<TimedReading> sessionReadings(int server, qint64 from, qint64 to) const;

    const UtilizationHistory& m_history;
    QPointer<history::HistoryRecorder> m_store;
    QChartView* m_chartView;
    QDateTimeAxis* m_timeAxis;
    QValueAxis* m_percentAxis;
    QComboBox* m_range;
    QToolButton* m_zoomIn;
    QToolButton* m_zoomOut;
    QToolButton* m_showAll;
    QLabel* m_status;
    QLineEdit* m_filter;
    QListWidget* m_servers;
    QScrollBar* m_scroll;
    QStringList m_names;
    std::vector<QLineSeries*> m_series;
    TimeWindow m_time;
    HistoryRange m_rangeChoice = HistoryRange::LastHour;
    RangeBounds m_bounds;
    // What the history holds of each server in the range, by name.
    QHash<QString, std::vector<TimedReading>> m_stored;
    std::unique_ptr<nw::ServerReads> m_reads;
    bool m_reading = false;  // from the start of a range's read until its readings are shown
    qint64 m_scrollStepMs = 1000;
    int m_columns = 0;           // the chart's width in pixels when its lines were last filled
    std::optional<int> m_dragX;  // where a drag along the time axis started
    qint64 m_dragFrom = 0;
};

}  // namespace views

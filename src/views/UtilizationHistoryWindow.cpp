#include "views/UtilizationHistoryWindow.h"

#include "views/UtilizationHistory.h"

#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QPen>
#include <QScrollBar>
#include <QSplitter>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>

namespace views {

namespace {

// Scroll steps are seconds.
constexpr qint64 kStepMs = 1000;

// Okabe and Ito's colours, then the same again dashed, then dotted: lines
// stay apart without relying on colour alone.
QPen linePen(int index)
{
    static const QColor colours[] = {QColor(0x00, 0x72, 0xB2), QColor(0xE6, 0x9F, 0x00), QColor(0x00, 0x9E, 0x73),
                                     QColor(0xCC, 0x79, 0xA7), QColor(0xD5, 0x5E, 0x00), QColor(0x56, 0xB4, 0xE9),
                                     QColor(0x33, 0x33, 0x33), QColor(0xF0, 0xE4, 0x42)};
    constexpr int kColours = 8;
    static const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine};
    QPen pen(colours[index % kColours]);
    pen.setWidthF(1.6);
    pen.setStyle(styles[(index / kColours) % 4]);
    return pen;
}

QString serverLabel(const QString& server, std::optional<int> high)
{
    return high ? QStringLiteral("%1  (high %2 %)").arg(server).arg(*high) : server;
}

}  // namespace

UtilizationHistoryWindow::UtilizationHistoryWindow(const UtilizationHistory& history, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_history(history)
    , m_chartView(new QChartView(this))
    , m_timeAxis(new QValueAxis)
    , m_percentAxis(new QValueAxis)
    , m_filter(new QLineEdit(this))
    , m_servers(new QListWidget(this))
    , m_scroll(new QScrollBar(Qt::Horizontal, this))
{
    setObjectName(QStringLiteral("frmUtilizationHistory"));
    setWindowTitle(tr("Utilization History"));
    m_chartView->setObjectName(QStringLiteral("chtUtilization"));
    m_filter->setObjectName(QStringLiteral("txtFilter"));
    m_filter->setPlaceholderText(tr("Filter servers"));
    m_filter->setClearButtonEnabled(true);
    m_servers->setObjectName(QStringLiteral("lstServers"));
    m_scroll->setObjectName(QStringLiteral("scrTime"));

    auto* chart = new QChart;
    chart->legend()->hide();   // the list beside the chart is the legend
    chart->setMargins(QMargins(4, 4, 4, 4));
    m_timeAxis->setLabelFormat(QStringLiteral("%.0f"));
    m_timeAxis->setTickCount(7);
    m_timeAxis->setTitleText(tr("Minutes since the monitor started"));
    m_percentAxis->setRange(0, 100);
    m_percentAxis->setLabelFormat(QStringLiteral("%d %%"));
    m_percentAxis->setTickCount(6);
    chart->addAxis(m_timeAxis, Qt::AlignBottom);
    chart->addAxis(m_percentAxis, Qt::AlignLeft);
    m_chartView->setChart(chart);   // the view owns the chart
    m_chartView->setRenderHint(QPainter::Antialiasing);

    auto* side = new QVBoxLayout;
    side->addWidget(new QLabel(tr("Servers (tick to show):"), this));
    side->addWidget(m_filter);
    side->addWidget(m_servers, 1);
    auto* left = new QVBoxLayout;
    left->addWidget(m_chartView, 1);
    left->addWidget(m_scroll);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 3);
    layout->addLayout(side, 1);

    connect(m_filter, &QLineEdit::textChanged, this, &UtilizationHistoryWindow::applyFilter);
    connect(m_servers, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        const int server = m_servers->row(item);
        if (QLineSeries* line = series(server))
            line->setVisible(item->checkState() == Qt::Checked);
    });
    connect(m_scroll, &QScrollBar::valueChanged, this, &UtilizationHistoryWindow::fillShownSpan);
    resize(900, 480);
    historyChanged();
}

QLineSeries* UtilizationHistoryWindow::series(int server) const
{
    if (server < 0 || server >= seriesCount())
        return nullptr;
    return m_series[static_cast<size_t>(server)];
}

void UtilizationHistoryWindow::historyChanged()
{
    const bool following = m_scroll->value() >= m_scroll->maximum();
    addMissingSeries();
    updateScrollRange();
    if (following && m_scroll->value() != m_scroll->maximum())
        m_scroll->setValue(m_scroll->maximum());   // refills through valueChanged
    else
        fillShownSpan();
    for (int s = 0; s < m_servers->count(); ++s) {
        const QSignalBlocker quiet(m_servers);
        m_servers->item(s)->setText(serverLabel(m_history.servers().at(s), m_history.highest(s)));
    }
}

void UtilizationHistoryWindow::addMissingSeries()
{
    QChart* chart = m_chartView->chart();
    const QSignalBlocker quiet(m_servers);
    while (seriesCount() < m_history.servers().size()) {
        const int s = seriesCount();
        auto* line = new QLineSeries;
        line->setName(m_history.servers().at(s));
        line->setPen(linePen(s));
        chart->addSeries(line);
        line->attachAxis(m_timeAxis);
        line->attachAxis(m_percentAxis);
        m_series.push_back(line);
        auto* item = new QListWidgetItem(m_history.servers().at(s), m_servers);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
        // The list shows each line's colour.
        QPixmap swatch(12, 12);
        swatch.fill(line->color());
        item->setIcon(QIcon(swatch));
    }
    applyFilter();
}

void UtilizationHistoryWindow::updateScrollRange()
{
    if (m_history.pollCount() == 0) {
        m_scroll->setRange(0, 0);
        return;
    }
    const qint64 first = m_history.pollTime(0);
    const qint64 last = m_history.pollTime(m_history.pollCount() - 1);
    const qint64 scrollable = std::max<qint64>(0, last - first - m_spanMs);
    const QSignalBlocker quiet(m_scroll);
    m_scroll->setRange(0, static_cast<int>(scrollable / kStepMs));
    m_scroll->setPageStep(static_cast<int>(m_spanMs / kStepMs));
    m_scroll->setSingleStep(60);
}

void UtilizationHistoryWindow::fillShownSpan()
{
    const int polls = m_history.pollCount();
    qint64 from = QDateTime::currentMSecsSinceEpoch() - m_spanMs;
    if (polls > 0) {
        const qint64 first = m_history.pollTime(0);
        from = first + static_cast<qint64>(m_scroll->value()) * kStepMs;
    }
    const qint64 to = from + m_spanMs;
    const qint64 origin = polls > 0 ? m_history.pollTime(0) : from;
    const auto minutes = [origin](qint64 ms) { return static_cast<double>(ms - origin) / 60000.0; };
    m_timeAxis->setRange(minutes(from), minutes(to));

    // Only the polls in the shown span are handed to the chart: an hour of
    // 1-second polls is 3600 points a line, whatever the history holds.
    int begin = 0;
    while (begin < polls && m_history.pollTime(begin) < from)
        ++begin;
    int end = begin;
    while (end < polls && m_history.pollTime(end) <= to)
        ++end;
    for (int s = 0; s < seriesCount(); ++s) {
        QList<QPointF> points;
        points.reserve(end - begin);
        for (int p = begin; p < end; ++p) {
            if (const auto value = m_history.reading(p, s))
                points.append(QPointF(minutes(m_history.pollTime(p)), *value));
        }
        m_series[static_cast<size_t>(s)]->replace(points);
    }
}

void UtilizationHistoryWindow::applyFilter()
{
    const QString text = m_filter->text().trimmed();
    for (int s = 0; s < m_servers->count(); ++s)
        m_servers->item(s)->setHidden(!text.isEmpty() && !m_history.servers().at(s).contains(text, Qt::CaseInsensitive));
}

}  // namespace views

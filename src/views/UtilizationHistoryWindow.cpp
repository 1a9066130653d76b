#include "views/UtilizationHistoryWindow.h"

#include "history/HistoryRecorder.h"
#include "netware/ServerReads.h"
#include "views/UtilizationHistory.h"
#include "widgets/TroubleLook.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QDateTimeEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QMouseEvent>
#include <QPen>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValueAxis>
#include <QWheelEvent>

#include <algorithm>
#include <limits>

namespace views {

namespace {

// Labels along the time axis.
constexpr int kTimeTicks = 7;

// One step of the zoom: a wheel notch, a button press or a key.
constexpr double kZoomStep = 0.8;
// Arrow keys move a tenth of the shown span.
constexpr int kPanKeyParts = 10;
// The scroll bar's positions stay within an int however long the range.
constexpr qint64 kMaxScrollSteps = 1'000'000;

using StoredReadings = QHash<QString, std::vector<TimedReading>>;

QString serverLabel(const QString& server, std::optional<int> high)
{
    return high ? UtilizationHistoryWindow::tr("%1  (high %2 %)").arg(server).arg(*high) : server;
}

QDateTime clockTime(qint64 ms)
{
    return QDateTime::fromMSecsSinceEpoch(ms);
}

QString periodRefusal()
{
    return UtilizationHistoryWindow::tr("The period must end after it starts.");
}

// "Custom...": the period to read, from and to in the workstation's time.
std::optional<std::pair<QDateTime, QDateTime>> askPeriod(QWidget* parent, const QDateTime& from, const QDateTime& to)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("frmHistoryPeriod"));
    dialog.setWindowTitle(UtilizationHistoryWindow::tr("Custom Period"));
    auto* fromEdit = new QDateTimeEdit(from.toLocalTime(), &dialog);
    fromEdit->setObjectName(QStringLiteral("dtmFrom"));
    auto* toEdit = new QDateTimeEdit(to.toLocalTime(), &dialog);
    toEdit->setObjectName(QStringLiteral("dtmTo"));
    for (QDateTimeEdit* edit : {fromEdit, toEdit}) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd hh:mm"));
    }
    auto* problem = new QLabel(&dialog);
    problem->setObjectName(QStringLiteral("lblProblem"));
    // Room for the refusal from the start: the dialog does not grow while it is open.
    problem->setMinimumWidth(problem->fontMetrics().horizontalAdvance(periodRefusal()) + 4);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    auto* form = new QFormLayout(&dialog);
    form->addRow(UtilizationHistoryWindow::tr("&From:"), fromEdit);
    form->addRow(UtilizationHistoryWindow::tr("&To:"), toEdit);
    form->addRow(problem);
    form->addRow(buttons);
    const auto check = [&] {
        const bool sound = toEdit->dateTime() > fromEdit->dateTime();
        problem->setText(sound ? QString() : periodRefusal());
        buttons->button(QDialogButtonBox::Ok)->setEnabled(sound);
    };
    QObject::connect(fromEdit, &QDateTimeEdit::dateTimeChanged, &dialog, check);
    QObject::connect(toEdit, &QDateTimeEdit::dateTimeChanged, &dialog, check);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    check();
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return std::make_pair(fromEdit->dateTime(), toEdit->dateTime());
}

}  // namespace

UtilizationHistoryWindow::UtilizationHistoryWindow(const UtilizationHistory& history, history::HistoryRecorder* store,
                                                   const QStringList& monitored, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_history(history)
    , m_store(store)
    , m_chartView(new QChartView(this))
    , m_timeAxis(new QDateTimeAxis)
    , m_percentAxis(new QValueAxis)
    , m_range(new QComboBox(this))
    , m_zoomIn(new QToolButton(this))
    , m_zoomOut(new QToolButton(this))
    , m_showAll(new QToolButton(this))
    , m_status(new QLabel(this))
    , m_filter(new QLineEdit(this))
    , m_servers(new QListWidget(this))
    , m_scroll(new QScrollBar(Qt::Horizontal, this))
    , m_reads(std::make_unique<nw::ServerReads>())
{
    setObjectName(QStringLiteral("frmUtilizationHistory"));
    setWindowTitle(tr("Utilization History"));
    m_chartView->setObjectName(QStringLiteral("chtUtilization"));
    m_chartView->setFocusPolicy(Qt::StrongFocus);
    m_chartView->viewport()->installEventFilter(this);
    m_chartView->installEventFilter(this);
    m_filter->setObjectName(QStringLiteral("txtFilter"));
    m_filter->setPlaceholderText(tr("Filter servers"));
    m_filter->setClearButtonEnabled(true);
    m_servers->setObjectName(QStringLiteral("lstServers"));
    m_scroll->setObjectName(QStringLiteral("scrTime"));
    m_range->setObjectName(QStringLiteral("cboRange"));
    m_range->addItem(tr("Last hour"), static_cast<int>(HistoryRange::LastHour));
    m_range->addItem(tr("Last day"), static_cast<int>(HistoryRange::LastDay));
    m_range->addItem(tr("Last week"), static_cast<int>(HistoryRange::LastWeek));
    m_range->addItem(tr("Custom..."), static_cast<int>(HistoryRange::Custom));
    m_zoomIn->setObjectName(QStringLiteral("btnZoomIn"));
    m_zoomIn->setText(QStringLiteral("+"));
    m_zoomIn->setToolTip(tr("Zoom in (+, mouse wheel)"));
    m_zoomOut->setObjectName(QStringLiteral("btnZoomOut"));
    m_zoomOut->setText(QStringLiteral("\u2212"));
    m_zoomOut->setToolTip(tr("Zoom out (-, mouse wheel)"));
    m_showAll->setObjectName(QStringLiteral("btnShowAll"));
    m_showAll->setText(tr("&All"));
    m_showAll->setToolTip(tr("Show the whole range (Home)"));
    m_status->setObjectName(QStringLiteral("lblRangeStatus"));

    auto* chart = new QChart;
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->legend()->setAlignment(Qt::AlignBottom);
    // Each marker shows its line, dashes and dots included.
    chart->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    m_timeAxis->setTickCount(kTimeTicks);
    m_timeAxis->setFormat(timeLabelFormat(TimeWindow::kMinimumSpanMs));
    m_percentAxis->setRange(0, 100);
    m_percentAxis->setLabelFormat(QStringLiteral("%d %%"));
    m_percentAxis->setTickCount(6);
    chart->addAxis(m_timeAxis, Qt::AlignBottom);
    chart->addAxis(m_percentAxis, Qt::AlignLeft);
    m_chartView->setChart(chart);  // the view owns the chart
    m_chartView->setRenderHint(QPainter::Antialiasing);

    auto* controls = new QHBoxLayout;
    auto* rangeLabel = new QLabel(tr("&Range:"), this);
    rangeLabel->setBuddy(m_range);
    controls->addWidget(rangeLabel);
    controls->addWidget(m_range);
    controls->addSpacing(12);
    controls->addWidget(m_zoomOut);
    controls->addWidget(m_zoomIn);
    controls->addWidget(m_showAll);
    controls->addSpacing(12);
    controls->addWidget(m_status, 1);
    auto* side = new QVBoxLayout;
    side->addWidget(new QLabel(tr("Servers (tick to show):"), this));
    side->addWidget(m_filter);
    side->addWidget(m_servers, 1);
    auto* left = new QVBoxLayout;
    left->addLayout(controls);
    left->addWidget(m_chartView, 1);
    left->addWidget(m_scroll);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 3);
    layout->addLayout(side, 1);

    connect(m_filter, &QLineEdit::textChanged, this, &UtilizationHistoryWindow::applyFilter);
    connect(m_servers, &QListWidget::itemChanged, this,
            [this](QListWidgetItem* item) { setServerShown(m_servers->row(item), item->checkState() == Qt::Checked); });
    connect(m_scroll, &QScrollBar::valueChanged, this, [this](int value) {
        m_time.moveTo(m_time.extentFirst() + value * m_scrollStepMs);
        showSpan();
    });
    connect(m_zoomIn, &QToolButton::clicked, this, [this] { zoomBy(kZoomStep); });
    connect(m_zoomOut, &QToolButton::clicked, this, [this] { zoomBy(1 / kZoomStep); });
    connect(m_showAll, &QToolButton::clicked, this, [this] {
        m_time.showAll();
        showSpan();
    });
    connect(new QShortcut(QKeySequence::ZoomIn, this), &QShortcut::activated, this, [this] { zoomBy(kZoomStep); });
    connect(new QShortcut(QKeySequence::ZoomOut, this), &QShortcut::activated, this, [this] { zoomBy(1 / kZoomStep); });
    connect(m_range, &QComboBox::activated, this, &UtilizationHistoryWindow::chooseRange);
    // A read that gave nothing (the history went away under it) ends with
    // the monitor's polls alone; a read replaced by a newer one is not told.
    connect(m_reads.get(), &nw::ServerReads::finished, this, [this](nw::ServerReads::End end) {
        if (!m_reading || end == nw::ServerReads::End::Cancelled)
            return;
        m_reading = false;
        m_stored.clear();
        m_status->setText(tr("The history could not be read."));
        updateExtent();
        Q_EMIT rangeRead();
    });

    for (const QString& server : monitored) {
        if (!m_names.contains(server))
            m_names.append(server);
    }
    resize(960, 520);
    addMissingSeries();
    readRange();
}

UtilizationHistoryWindow::~UtilizationHistoryWindow() = default;

QLineSeries* UtilizationHistoryWindow::series(int server) const
{
    if (server < 0 || server >= seriesCount())
        return nullptr;
    return m_series[static_cast<size_t>(server)];
}

QLegendMarker* UtilizationHistoryWindow::legendMarker(int server) const
{
    QLineSeries* line = series(server);
    if (!line)
        return nullptr;
    const QList<QLegendMarker*> markers = m_chartView->chart()->legend()->markers(line);
    return markers.isEmpty() ? nullptr : markers.first();
}

bool UtilizationHistoryWindow::isServerShown(int server) const
{
    const QLineSeries* line = series(server);
    return line && line->isVisible();
}

bool UtilizationHistoryWindow::isReading() const
{
    return m_reading;
}

bool UtilizationHistoryWindow::setRange(HistoryRange range, const QDateTime& from, const QDateTime& to)
{
    if (range == HistoryRange::Custom && !rangeBounds(range, QDateTime::currentDateTime(), from, to)) {
        m_status->setText(periodRefusal());
        m_range->setCurrentIndex(m_range->findData(static_cast<int>(m_rangeChoice)));
        return false;
    }
    m_rangeChoice = range;
    if (range == HistoryRange::Custom)
        m_bounds = {from, to};
    m_range->setCurrentIndex(m_range->findData(static_cast<int>(range)));
    m_time = TimeWindow();  // a new range is shown whole first
    readRange();
    return true;
}

void UtilizationHistoryWindow::chooseRange(int index)
{
    const auto range = static_cast<HistoryRange>(m_range->itemData(index).toInt());
    if (range != HistoryRange::Custom) {
        setRange(range);
        return;
    }
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime from = m_bounds.from.isValid() ? m_bounds.from : now.addDays(-1);
    const QDateTime to = m_bounds.to.value_or(now);
    const QPointer<UtilizationHistoryWindow> self(this);
    const auto period = askPeriod(this, from, to);  // modal: events run
    if (!self)
        return;
    if (!period) {
        m_range->setCurrentIndex(m_range->findData(static_cast<int>(m_rangeChoice)));
        return;
    }
    setRange(HistoryRange::Custom, period->first, period->second);
}

void UtilizationHistoryWindow::readRange()
{
    if (!m_store) {
        // Without a history the chart shows every poll since the monitor started.
        m_bounds = {};
        m_range->setEnabled(false);
        m_stored.clear();
        m_status->setText(tr("No history is kept: the polls since the monitor started."));
        updateExtent();
        Q_EMIT rangeRead();
        return;
    }
    if (m_rangeChoice != HistoryRange::Custom)
        m_bounds = *rangeBounds(m_rangeChoice, QDateTime::currentDateTime());
    m_status->setText(tr("Reading the history..."));
    m_reading = true;
    const QStringList names = m_names;
    const QDateTime from = m_bounds.from.toUTC();
    const std::optional<QDateTime> to =
        m_bounds.to ? std::optional<QDateTime>(m_bounds.to->toUTC()) : std::optional<QDateTime>();
    // The question runs on the history's own thread; this read only waits for
    // its answer, off the window thread. The program waits for reads before
    // the history goes.
    const qint64 interval =
        readingInterval(to.value_or(QDateTime::currentDateTimeUtc()).toMSecsSinceEpoch() - from.toMSecsSinceEpoch());
    history::HistoryRecorder* recorder = m_store.data();
    nw::startServerReads<StoredReadings>(
        *m_reads, 1, 1,
        [recorder, names, from, to, interval](int, const nw::ReadStop&) {
            return recorder->ask<StoredReadings>([names, from, to, interval](history::HistoryStore& store) {
                StoredReadings stored;
                const QDateTime until = to.value_or(QDateTime::currentDateTimeUtc());
                for (const QString& server : names) {
                    std::vector<TimedReading>& line = stored[server];
                    for (const history::Sample& sample : store.sampleMaxima(server, from, until, interval))
                        line.push_back({sample.taken.toMSecsSinceEpoch(), std::clamp(sample.utilization, 0, 100)});
                }
                return stored;
            });
        },
        [this](int, StoredReadings& stored) {
            m_reading = false;
            m_stored = std::move(stored);
            m_status->clear();
            updateExtent();
            Q_EMIT rangeRead();
        });
}

void UtilizationHistoryWindow::historyChanged()
{
    const qsizetype known = m_names.size();
    addMissingSeries();
    // A server new to the chart brings its past from the history.
    if (m_store && m_names.size() > known) {
        readRange();
        return;
    }
    // "Last hour" stays the last hour as the polls come in: its start moves along.
    if (m_store && m_rangeChoice != HistoryRange::Custom)
        m_bounds = *rangeBounds(m_rangeChoice, QDateTime::currentDateTime());
    updateExtent();
}

void UtilizationHistoryWindow::addMissingSeries()
{
    for (const QString& server : m_history.servers()) {
        if (!m_names.contains(server))
            m_names.append(server);
    }
    QChart* chart = m_chartView->chart();
    const QSignalBlocker quiet(m_servers);
    while (seriesCount() < m_names.size()) {
        const int s = seriesCount();
        auto* line = new QLineSeries;
        line->setName(m_names.at(s));
        line->setPen(widgets::linePen(s));
        chart->addSeries(line);
        line->attachAxis(m_timeAxis);
        line->attachAxis(m_percentAxis);
        m_series.push_back(line);
        connectLegendMarker(s);
        auto* item = new QListWidgetItem(m_names.at(s), m_servers);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
        // The list shows each line's colour and style.
        QPixmap swatch(24, 12);
        swatch.fill(Qt::transparent);
        QPainter painter(&swatch);
        painter.setPen(widgets::linePen(s));
        painter.drawLine(0, 6, 24, 6);
        painter.end();
        item->setIcon(QIcon(swatch));
    }
    // Each server's name with its highest reading since the monitor started.
    for (int s = 0; s < m_servers->count(); ++s) {
        const QString& name = m_names.at(s);
        const auto session = static_cast<int>(m_history.servers().indexOf(name));
        m_servers->item(s)->setText(serverLabel(name, m_history.highest(session)));
    }
    chart->legend()->setVisible(seriesCount() <= kLegendLimit);
    applyFilter();
}

void UtilizationHistoryWindow::connectLegendMarker(int server)
{
    if (QLegendMarker* marker = legendMarker(server)) {
        connect(marker, &QLegendMarker::clicked, this,
                [this, server] { setServerShown(server, !isServerShown(server)); });
    }
}

void UtilizationHistoryWindow::setServerShown(int server, bool shown)
{
    QLineSeries* line = series(server);
    if (!line)
        return;
    line->setVisible(shown);
    if (QListWidgetItem* item = m_servers->item(server)) {
        const QSignalBlocker quiet(m_servers);
        item->setCheckState(shown ? Qt::Checked : Qt::Unchecked);
    }
    // A hidden line keeps its marker, faded, so that a click brings it back.
    if (QLegendMarker* marker = legendMarker(server)) {
        marker->setVisible(true);
        QColor label = palette().color(QPalette::WindowText);
        QColor colour = line->pen().color();
        if (!shown) {
            label.setAlphaF(0.4f);
            colour.setAlphaF(0.25f);
        }
        marker->setLabelBrush(label);
        marker->setBrush(colour);
        QPen pen = marker->pen();
        pen.setColor(colour);
        marker->setPen(pen);
    }
}

std::vector<TimedReading> UtilizationHistoryWindow::sessionReadings(int server, qint64 from, qint64 to) const
{
    std::vector<TimedReading> readings;
    if (server < 0)
        return readings;
    // Poll times only grow: the first poll at or after `from` is found by halving.
    int first = 0;
    int last = m_history.pollCount();
    while (first < last) {
        const int middle = first + (last - first) / 2;
        if (m_history.pollTime(middle) < from)
            first = middle + 1;
        else
            last = middle;
    }
    for (int p = first; p < m_history.pollCount() && m_history.pollTime(p) <= to; ++p) {
        if (const auto value = m_history.reading(p, server))
            readings.push_back({m_history.pollTime(p), *value});
    }
    return readings;
}

qint64 UtilizationHistoryWindow::rangeStartMs() const
{
    return m_bounds.from.isValid() ? m_bounds.from.toMSecsSinceEpoch() : std::numeric_limits<qint64>::min();
}

qint64 UtilizationHistoryWindow::rangeEndMs() const
{
    return m_bounds.to ? m_bounds.to->toMSecsSinceEpoch() : std::numeric_limits<qint64>::max();
}

void UtilizationHistoryWindow::updateExtent()
{
    const qint64 rangeFrom = rangeStartMs();
    const qint64 rangeTo = rangeEndMs();
    qint64 first = std::numeric_limits<qint64>::max();
    qint64 last = std::numeric_limits<qint64>::min();
    for (const std::vector<TimedReading>& line : std::as_const(m_stored)) {
        const auto inRange = std::lower_bound(line.begin(), line.end(), rangeFrom,
                                              [](const TimedReading& reading, qint64 ms) { return reading.ms < ms; });
        if (inRange != line.end()) {
            first = std::min(first, inRange->ms);
            last = std::max(last, line.back().ms);
        }
    }
    for (int p = 0; p < m_history.pollCount(); ++p) {
        const qint64 at = m_history.pollTime(p);
        if (at >= rangeFrom && at <= rangeTo) {
            first = std::min(first, at);
            break;
        }
    }
    for (int p = m_history.pollCount() - 1; p >= 0; --p) {
        const qint64 at = m_history.pollTime(p);
        if (at >= rangeFrom && at <= rangeTo) {
            last = std::max(last, at);
            break;
        }
    }
    if (first > last)
        m_time.clearData(m_bounds.to ? rangeTo : QDateTime::currentMSecsSinceEpoch());
    else
        m_time.setData(first, last);
    showSpan();
}

void UtilizationHistoryWindow::showSpan()
{
    const qint64 from = m_time.from();
    const qint64 to = m_time.to();
    m_timeAxis->setFormat(timeLabelFormat(m_time.span()));
    m_timeAxis->setRange(clockTime(from), clockTime(to));
    // A date-time axis first laid out on a single poll keeps drawing no
    // ticks or labels through later changes of its range; a change of its
    // tick count makes it lay its labels out afresh.
    m_timeAxis->setTickCount(kTimeTicks - 1);
    m_timeAxis->setTickCount(kTimeTicks);
    updateScrollBar();

    // Only the readings of the shown span are handed to the chart, at most a
    // few a pixel: a week of samples is hundreds of thousands of points.
    const qint64 rangeFrom = rangeStartMs();
    const qint64 rangeTo = rangeEndMs();
    const qint64 margin = m_time.span();
    const qint64 readFrom = std::max(rangeFrom, from - margin);
    const qint64 readTo = std::min(rangeTo, to + margin);
    const std::optional<qint64> sessionStart =
        m_history.pollCount() > 0 ? std::optional<qint64>(m_history.pollTime(0)) : std::nullopt;
    m_columns = std::max(100, m_chartView->viewport()->width());
    static const std::vector<TimedReading> kNone;
    for (int s = 0; s < seriesCount(); ++s) {
        const QString& name = m_names.at(s);
        const auto stored = m_stored.constFind(name);
        const std::vector<TimedReading> line =
            mergeReadings(stored == m_stored.cend() ? kNone : *stored,
                          sessionReadings(static_cast<int>(m_history.servers().indexOf(name)), readFrom, readTo),
                          sessionStart, readFrom, readTo);
        m_series[static_cast<size_t>(s)]->replace(pointsToDraw(line, from, to, m_columns));
    }
}

void UtilizationHistoryWindow::updateScrollBar()
{
    const qint64 extent = m_time.extentLast() - m_time.extentFirst();
    m_scrollStepMs = std::max<qint64>(1000, extent / kMaxScrollSteps);
    const QSignalBlocker quiet(m_scroll);
    m_scroll->setRange(0, static_cast<int>((extent - m_time.span()) / m_scrollStepMs));
    m_scroll->setPageStep(static_cast<int>(std::max<qint64>(1, m_time.span() / m_scrollStepMs)));
    m_scroll->setSingleStep(std::max(1, m_scroll->pageStep() / kPanKeyParts));
    m_scroll->setValue(static_cast<int>((m_time.from() - m_time.extentFirst()) / m_scrollStepMs));
}

void UtilizationHistoryWindow::zoomBy(double factor, std::optional<qint64> anchor)
{
    m_time.zoom(factor, anchor);
    showSpan();
}

void UtilizationHistoryWindow::panBy(qint64 deltaMs)
{
    m_time.pan(deltaMs);
    showSpan();
}

qint64 UtilizationHistoryWindow::timeAtX(qreal x) const
{
    const QRectF plot = m_chartView->chart()->plotArea();
    if (plot.width() <= 0)
        return m_time.from() + m_time.span() / 2;
    const double share = std::clamp((x - plot.left()) / plot.width(), 0.0, 1.0);
    return m_time.from() + static_cast<qint64>(share * static_cast<double>(m_time.span()));
}

bool UtilizationHistoryWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_chartView && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            zoomBy(kZoomStep);
            return true;
        case Qt::Key_Minus:
            zoomBy(1 / kZoomStep);
            return true;
        case Qt::Key_Left:
            panBy(-m_time.span() / kPanKeyParts);
            return true;
        case Qt::Key_Right:
            panBy(m_time.span() / kPanKeyParts);
            return true;
        case Qt::Key_Home:
            m_time.showAll();
            showSpan();
            return true;
        case Qt::Key_End:
            panBy(m_time.extentLast() - m_time.to());
            return true;
        default:
            break;
        }
        return false;
    }
    if (watched != m_chartView->viewport())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Resize:
        // A wider chart draws more of the readings.
        if (std::max(100, m_chartView->viewport()->width()) != m_columns)
            showSpan();
        return false;
    case QEvent::Wheel: {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        const QPoint delta = wheel->angleDelta();
        if (wheel->modifiers() & Qt::ShiftModifier || delta.y() == 0) {
            // Shift+wheel and a sideways wheel move along the time.
            const int steps = (delta.y() != 0 ? delta.y() : delta.x()) / 120;
            panBy(-steps * m_time.span() / kPanKeyParts);
        } else {
            // The wheel, with Ctrl or without, zooms about the time under the pointer.
            const double notches = delta.y() / 120.0;
            zoomBy(std::pow(kZoomStep, notches), timeAtX(wheel->position().x()));
        }
        return true;
    }
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && m_chartView->chart()->plotArea().contains(mouse->position())) {
            m_dragX = static_cast<int>(mouse->position().x());
            m_dragFrom = m_time.from();
        }
        return false;  // the legend takes its clicks
    }
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QRectF plot = m_chartView->chart()->plotArea();
        if (!m_dragX || !(mouse->buttons() & Qt::LeftButton) || plot.width() <= 0)
            return false;
        // The time under the pointer stays under it: dragging right goes back in time.
        const double moved = (mouse->position().x() - *m_dragX) / plot.width();
        m_time.moveTo(m_dragFrom - static_cast<qint64>(moved * static_cast<double>(m_time.span())));
        showSpan();
        return true;
    }
    case QEvent::MouseButtonRelease:
        m_dragX.reset();
        return false;
    default:
        return false;
    }
}

void UtilizationHistoryWindow::applyFilter()
{
    const QString text = m_filter->text().trimmed();
    for (int s = 0; s < m_servers->count(); ++s)
        m_servers->item(s)->setHidden(!text.isEmpty() && !m_names.at(s).contains(text, Qt::CaseInsensitive));
}

}  // namespace views

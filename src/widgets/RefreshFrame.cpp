#include "widgets/RefreshFrame.h"

#include "settings/Registry.h"
#include "widgets/RefreshInterval.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <utility>

namespace widgets {

QString RefreshFrame::beginCaption()
{
    return tr("Begin &Refresh");
}

QString RefreshFrame::stopCaption()
{
    return tr("&Stop");
}

RefreshFrame::RefreshFrame(QWidget* parent) : RefreshFrame(tr("Refresh Interval"), parent)
{
}

RefreshFrame::RefreshFrame(const QString& caption, QWidget* parent)
    : QGroupBox(caption, parent)
    , m_button(new QPushButton(beginCaption(), this))
    , m_interval(new QLineEdit(this))
    , m_seconds(new QLabel(tr("secs."), this))
    , m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("fraRefresh"));
    m_button->setObjectName(QStringLiteral("btnRefresh"));
    m_interval->setObjectName(QStringLiteral("txtInterval"));
    m_seconds->setObjectName(QStringLiteral("lblSeconds"));
    m_timer->setObjectName(QStringLiteral("timerRefresh"));

    m_interval->setMaximumWidth(m_interval->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
    m_interval->installEventFilter(this);
    m_seconds->setBuddy(m_interval);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_button);
    layout->addWidget(m_interval);
    layout->addWidget(m_seconds);
    layout->addStretch();

    connect(m_button, &QPushButton::clicked, this, &RefreshFrame::toggle);
    connect(m_interval, &QLineEdit::textChanged, this, &RefreshFrame::intervalChanged);
    connect(m_timer, &QTimer::timeout, this, &RefreshFrame::tick);
    intervalChanged(m_interval->text());
}

QString RefreshFrame::intervalText() const
{
    return m_interval->text();
}

void RefreshFrame::setIntervalText(const QString& text)
{
    m_interval->setText(text);
}

void RefreshFrame::setIntervalMaxLength(int length)
{
    m_interval->setMaxLength(length > 0 ? length : 32767);
}

int RefreshFrame::intervalMilliseconds() const
{
    return widgets::intervalMilliseconds(m_interval->text());
}

QString RefreshFrame::buttonCaption() const
{
    return m_button->text();
}

bool RefreshFrame::isRefreshing() const
{
    return m_button->text() != beginCaption();
}

void RefreshFrame::toggle()
{
    if (isRefreshing())
        stop();
    else
        start();
}

void RefreshFrame::start()
{
    if (isRefreshing())
        return;
    m_button->setText(stopCaption());
    m_interval->setEnabled(false);
    armTimer();
    Q_EMIT started();
    Q_EMIT captionChanged(m_button->text());
}

void RefreshFrame::stop()
{
    if (!isRefreshing())
        return;
    m_timer->stop();
    m_heldForPass = false;
    m_interval->setEnabled(true);
    m_button->setText(beginCaption());
    Q_EMIT stopped();
    Q_EMIT captionChanged(m_button->text());
}

void RefreshFrame::holdTimer()
{
    m_timer->stop();
    m_heldForPass = false;
}

void RefreshFrame::resumeTimer()
{
    if (isRefreshing())
        armTimer();
}

bool RefreshFrame::runPass()
{
    if (m_passRunning)
        return false;
    m_passRunning = true;
    // The timer waits while the pass runs: a pass that shows a message box
    // would otherwise find its next tick overdue the moment the box is
    // dismissed, and the user would never get to "&Stop".
    m_heldForPass = m_timer->isActive();
    m_timer->stop();
    QPointer<RefreshFrame> alive(this);
    Q_EMIT timeout();
    // The window may have gone while the pass let events run.
    if (!alive)
        return true;
    m_passRunning = false;
    if (std::exchange(m_heldForPass, false))
        resumeTimer();
    return true;
}

void RefreshFrame::tick()
{
    if (m_passRunning) {
        // A pass started by the view itself is still running (a message box
        // of it is open): the timer waits for its end.
        m_timer->stop();
        m_heldForPass = true;
        return;
    }
    runPass();
}

void RefreshFrame::armTimer()
{
    // A period of 0 s means a timer that never fires (a Qt timer of 0 ms would
    // fire continuously).
    const int ms = intervalMilliseconds();
    m_timer->stop();
    m_heldForPass = false;
    if (ms > 0) {
        m_timer->setInterval(ms);
        m_timer->start();
    }
}

void RefreshFrame::intervalChanged(const QString& text)
{
    const IntervalCheck check = checkIntervalText(text);
    if (!check.acceptable) {
        m_button->setEnabled(false);
        return;
    }
    if (!check.replacement.isEmpty() && check.replacement != text) {
        m_interval->setText(check.replacement);  // comes back here with the new text
        return;
    }
    m_button->setEnabled(true);
}

bool RefreshFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_interval && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Only keys that type a character go through the filter; moving the
        // cursor, Delete and Tab keep working.
        if (key->text().isEmpty() || key->key() == Qt::Key_Delete || key->key() == Qt::Key_Tab
            || key->key() == Qt::Key_Backtab)
            return QGroupBox::eventFilter(watched, event);
        if (settings::numericKeyFilter(key->text().at(0).unicode()) == 0)
            return true;
    }
    return QGroupBox::eventFilter(watched, event);
}

}  // namespace widgets

#pragma once
// The refresh frame of the views that refresh on a timer: a start/stop button
// ("Begin &Refresh" / "&Stop"), the interval box in whole seconds (at most 60)
// with its "secs." label, and the timer. The view reacts to timeout() and
// passes captionChanged() on to enableSaveCopy, since a view may be saved
// or copied only while it is not refreshing.
//
// Refresh passes never overlap, and the timer waits while a pass runs: the
// interval starts afresh when the pass ends. A pass that shows a message box
// is thus never overtaken by the next, nor followed by one the moment the
// box is dismissed.

#include <QGroupBox>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace widgets {

class RefreshFrame : public QGroupBox {
    Q_OBJECT
public:
    static QString beginCaption();  // "Begin &Refresh"
    static QString stopCaption();   // "&Stop"

    explicit RefreshFrame(QWidget* parent = nullptr);
    explicit RefreshFrame(const QString& caption, QWidget* parent = nullptr);

    QPushButton* btnRefresh() const { return m_button; }
    QLineEdit* txtInterval() const { return m_interval; }
    QLabel* lblSeconds() const { return m_seconds; }
    QTimer* timer() const { return m_timer; }

    QString intervalText() const;
    void setIntervalText(const QString& text);
    void setIntervalMaxLength(int length);  // 0: no limit
    int intervalMilliseconds() const;

    QString buttonCaption() const;
    bool isRefreshing() const;

    // The start button: starts when idle, stops when refreshing.
    void toggle();
    void start();
    void stop();

    // A view that refreshes with the timer held still re-arms it afterwards.
    void holdTimer();
    void resumeTimer();

    // Runs one refresh pass (timeout()) unless one is running already, and
    // returns whether it ran. Each tick of the timer comes through here; a
    // view that starts a pass of its own (on "Begin &Refresh") does too.
    bool runPass();
    bool isPassRunning() const { return m_passRunning; }

Q_SIGNALS:
    void started();
    void stopped();
    void timeout();
    void captionChanged(const QString& caption);

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void intervalChanged(const QString& text);
    void armTimer();
    void tick();

    QPushButton* m_button;
    QLineEdit* m_interval;
    QLabel* m_seconds;
    QTimer* m_timer;
    bool m_passRunning = false;
    // The running pass stopped the timer: its end arms it again, unless the
    // timer was held, stopped or armed since.
    bool m_heldForPass = false;
};

}  // namespace widgets

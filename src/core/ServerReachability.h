#pragma once
// Which servers answered the last time the program tried to reach them. Every
// opening of a connection to a server by name reports here, from whatever
// thread it runs on; the server list marks the servers whose last attempt
// failed and the views name them in their status bar. A server that answers
// again loses its mark.

#include <QDateTime>
#include <QHash>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace core {

class ServerReachability : public QObject {
    Q_OBJECT
public:
    struct Attempt {
        bool reached = false;
        qint32 status = 0;  // the client's status of the failed opening (0 when reached)
        QDateTime when;     // of this attempt
        QDateTime since;    // of the first of the attempts in a row with the same outcome and status
    };

    explicit ServerReachability(QObject* parent = nullptr);

    // Thread-safe. Records one attempt to reach `server` (names compare
    // without regard to case, as NetWare's do). changed(server) is emitted
    // when the outcome or the status differs from the last attempt's: a
    // monitor polling a thousand servers every few seconds does not redraw
    // the server list with every poll.
    void record(const QString& server, bool reached, qint32 status = 0);
    // Thread-safe. The last attempt on `server`, if there was one.
    std::optional<Attempt> lastAttempt(const QString& server) const;
    // Thread-safe. Whether the last attempt on `server` failed.
    bool isUnreachable(const QString& server) const;
    // Thread-safe. Those of `servers` whose last attempt failed, in their
    // order and spelling, each once.
    QStringList unreachableAmong(const QStringList& servers) const;

    // The clock attempts are stamped with (tests fix it); the local time by default.
    void setClock(std::function<QDateTime()> clock);

Q_SIGNALS:
    // Emitted on the thread that recorded the attempt: listeners on the
    // window thread connect with Qt::QueuedConnection.
    void changed(const QString& server);

private:
    mutable QMutex m_mutex;
    QHash<QString, Attempt> m_attempts;  // by upper-case name
    std::function<QDateTime()> m_clock;
};

// "Not reached since 2026-12-07 12:04:31 (status -30719)" and "Reached since
// ...": the tool tip of a server's mark.
QString attemptText(const ServerReachability::Attempt& attempt);

}  // namespace core

#include "core/ServerReachability.h"

#include <QCoreApplication>
#include <QMutexLocker>
#include <QSet>

namespace core {

ServerReachability::ServerReachability(QObject* parent)
    : QObject(parent)
    , m_clock([] { return QDateTime::currentDateTime(); })
{
}

void ServerReachability::record(const QString& server, bool reached, qint32 status)
{
    if (server.isEmpty())
        return;
    bool differs = true;
    {
        const QMutexLocker lock(&m_mutex);
        const QDateTime now = m_clock();
        Attempt attempt{reached, reached ? 0 : status, now, now};
        Attempt& last = m_attempts[server.toUpper()];
        if (last.when.isValid() && last.reached == attempt.reached && last.status == attempt.status) {
            differs = false;
            attempt.since = last.since;
        }
        last = attempt;
    }
    if (differs)
        Q_EMIT changed(server);
}

std::optional<ServerReachability::Attempt> ServerReachability::lastAttempt(const QString& server) const
{
    const QMutexLocker lock(&m_mutex);
    const auto found = m_attempts.constFind(server.toUpper());
    if (found == m_attempts.constEnd())
        return std::nullopt;
    return *found;
}

bool ServerReachability::isUnreachable(const QString& server) const
{
    const auto attempt = lastAttempt(server);
    return attempt && !attempt->reached;
}

QStringList ServerReachability::unreachableAmong(const QStringList& servers) const
{
    QStringList result;
    QSet<QString> seen;
    const QMutexLocker lock(&m_mutex);
    for (const QString& server : servers) {
        const QString key = server.toUpper();
        if (seen.contains(key))
            continue;
        seen.insert(key);
        const auto found = m_attempts.constFind(key);
        if (found != m_attempts.constEnd() && !found->reached)
            result.append(server);
    }
    return result;
}

void ServerReachability::setClock(std::function<QDateTime()> clock)
{
    const QMutexLocker lock(&m_mutex);
    m_clock = std::move(clock);
}

QString attemptText(const ServerReachability::Attempt& attempt)
{
    const QString time = attempt.since.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (attempt.reached)
        return QCoreApplication::translate("core", "Reached since %1").arg(time);
    return QCoreApplication::translate("core", "Not reached since %1 (status %2)").arg(time).arg(attempt.status);
}

}  // namespace core

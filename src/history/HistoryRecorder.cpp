#include "history/HistoryRecorder.h"

#include <QDateTime>

namespace history {

namespace {

// Retention runs at the start and then at most once an hour of recording.
constexpr qint64 kPruneEveryMs = 3600 * 1000;

}  // namespace

HistoryRecorder::HistoryRecorder(QString path, int historyDays, QObject* parent)
    : QObject(parent)
    , m_path(std::move(path))
    , m_historyDays(historyDays)
{
}

void HistoryRecorder::start()
{
    if (!m_thread.joinable())
        m_thread = std::thread([this] { run(); });
}

HistoryRecorder::~HistoryRecorder()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void HistoryRecorder::recordSamples(std::vector<Sample> samples)
{
    if (samples.empty())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_samples.insert(m_samples.end(), std::make_move_iterator(samples.begin()),
                         std::make_move_iterator(samples.end()));
    }
    m_wake.notify_one();
}

void HistoryRecorder::recordSnapshots(std::vector<Snapshot> snapshots)
{
    if (snapshots.empty())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_snapshots.insert(m_snapshots.end(), std::make_move_iterator(snapshots.begin()),
                           std::make_move_iterator(snapshots.end()));
    }
    m_wake.notify_one();
}

void HistoryRecorder::recordSnapshot(Snapshot snapshot)
{
    std::vector<Snapshot> one;
    one.push_back(std::move(snapshot));
    recordSnapshots(std::move(one));
}

void HistoryRecorder::post(Job job)
{
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back(std::move(job));
    }
    m_wake.notify_one();
}

void HistoryRecorder::flush()
{
    if (!m_thread.joinable())
        return;
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return !m_busy && m_samples.empty() && m_snapshots.empty() && m_jobs.empty(); });
}

QStringList HistoryRecorder::serversRecorded()
{
    flush();
    std::lock_guard lock(m_mutex);
    return m_recorded;
}

QStringList HistoryRecorder::takeProblems()
{
    std::lock_guard lock(m_mutex);
    return std::exchange(m_problems, {});
}

void HistoryRecorder::noteProblems(HistoryStore& store)
{
    const QStringList problems = store.takeProblems();
    if (problems.isEmpty())
        return;
    {
        std::lock_guard lock(m_mutex);
        for (const QString& problem : problems) {
            if (!m_problems.contains(problem))
                m_problems.append(problem);
        }
    }
    Q_EMIT problemsAvailable();
}

void HistoryRecorder::run()
{
    const int historyDays = m_historyDays;
    HistoryStore store(m_path);
    {
        std::lock_guard lock(m_mutex);
        m_busy = true;
    }
    if (store.open())
        store.prune(QDateTime::currentDateTimeUtc(), historyDays);
    noteProblems(store);
    qint64 lastPrune = QDateTime::currentMSecsSinceEpoch();
    // A write that failed (a full disk) is told once until one succeeds again.
    bool failing = false;
    std::unique_lock lock(m_mutex);
    m_busy = false;
    m_idle.notify_all();
    for (;;) {
        m_wake.wait(lock,
                    [this] { return m_stopping || !m_samples.empty() || !m_snapshots.empty() || !m_jobs.empty(); });
        if (m_samples.empty() && m_snapshots.empty() && m_jobs.empty() && m_stopping)
            break;
        std::vector<Sample> samples = std::exchange(m_samples, {});
        std::vector<Snapshot> snapshots = std::exchange(m_snapshots, {});
        std::deque<Job> jobs = std::exchange(m_jobs, {});
        m_busy = true;
        lock.unlock();

        bool written = true;
        if (store.isOpen()) {
            written = store.recordSamples(samples);
            if (!snapshots.empty()) {
                const std::optional<int> stored = store.recordSnapshots(snapshots);
                written = written && stored.has_value();
                if (stored) {
                    std::lock_guard recorded(m_mutex);
                    for (const Snapshot& snapshot : snapshots) {
                        const QString name = snapshot.server.trimmed().toUpper();
                        if (!m_recorded.contains(name))
                            m_recorded.append(name);
                    }
                }
            }
            const qint64 now = QDateTime::currentMSecsSinceEpoch();
            if (written && now - lastPrune >= kPruneEveryMs) {
                lastPrune = now;
                store.prune(QDateTime::currentDateTimeUtc(), historyDays);
            }
        }
        if (written)
            failing = false;
        if (!written && !failing) {
            failing = true;
            noteProblems(store);
        } else {
            store.takeProblems();
        }
        for (Job& job : jobs)
            job(store);
        noteProblems(store);

        lock.lock();
        m_busy = false;
        m_idle.notify_all();
    }
}

}  // namespace history

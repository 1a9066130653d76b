#include "netware/ServerReads.h"

#include <QElapsedTimer>
#include <QHash>
#include <QPointer>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace nw {

namespace {

// More threads than the largest ParallelServers: two views may read at once.
constexpr size_t kPoolThreads = 512;
// Longest the window thread applies results before it lets events run.
constexpr qint64 kApplySliceMs = 15;

// The threads the reads run on, kept for the whole run of the program and
// started as they are needed. Built on the standard library's threads and
// locks only, so that the thread checker sees every hand-over between a
// window thread and a reading thread.
class ReadPool {
public:
    static ReadPool& instance()
    {
        static ReadPool pool;
        return pool;
    }

    ~ReadPool()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_quit = true;
        }
        m_wake.notify_all();
        for (std::thread& thread : m_threads)
            thread.join();
    }

    ReadPool(const ReadPool&) = delete;
    ReadPool& operator=(const ReadPool&) = delete;

    void start(std::function<void()> job)
    {
        const std::lock_guard lock(m_mutex);
        m_jobs.push_back(std::move(job));
        ++m_pending;
        if (m_jobs.size() > m_idle && m_threads.size() < kPoolThreads)
            m_threads.emplace_back([this] { work(); });
        else
            m_wake.notify_one();
    }

    void waitForDone()
    {
        std::unique_lock lock(m_mutex);
        m_done.wait(lock, [this] { return m_pending == 0; });
    }

private:
    ReadPool() = default;

    void work()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            while (m_jobs.empty() && !m_quit) {
                ++m_idle;
                m_wake.wait(lock);
                --m_idle;
            }
            if (m_jobs.empty())
                return;
            std::function<void()> job = std::move(m_jobs.front());
            m_jobs.pop_front();
            lock.unlock();
            job();
            job = nullptr;
            lock.lock();
            if (--m_pending == 0)
                m_done.notify_all();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    std::deque<std::function<void()>> m_jobs;
    std::vector<std::thread> m_threads;
    size_t m_idle = 0;
    size_t m_pending = 0;  // queued or running
    bool m_quit = false;
};

// The runs on the window thread, for the wake below (window thread only).
std::vector<ServerReads*>& liveRuns()
{
    static std::vector<ServerReads*> runs;
    return runs;
}

}  // namespace

// Wakes the window thread when reads have ended. The call it is sent carries
// no data: the results go through the run's lock, where the thread checker
// sees every hand-over; the wake only says that there is something to look at.
class DeliveryWake : public QObject {
    Q_OBJECT
public:
    Q_INVOKABLE void deliver()
    {
        // Applying may end or destroy runs, and start new ones.
        std::vector<QPointer<ServerReads>> runs(liveRuns().begin(), liveRuns().end());
        for (const QPointer<ServerReads>& run : runs) {
            if (run)
                run->applyReady();
        }
    }
};

// What the reading threads and the window thread share for one run.
struct ServerReads::State {
    Read read;
    int count = 0;
    int parallel = 1;
    std::shared_ptr<std::atomic<bool>> stop = std::make_shared<std::atomic<bool>>(false);

    std::mutex mutex;  // guards everything below
    int next = 0;      // the next server to start reading
    int readCount = 0;
    std::vector<std::any> results;
    std::vector<char> ready;
    std::vector<int> after;  // an earlier read of the same server, or -1
    std::condition_variable readEnded;
    bool wakeSent = false;
    DeliveryWake* wake = nullptr;
};

ServerReads::ServerReads(QObject* parent) : QObject(parent)
{
    // Made on the window thread, kept for the whole run of the program: a
    // reading thread may wake it after every window has gone.
    static DeliveryWake* const wake = new DeliveryWake;
    m_wake = wake;
    liveRuns().push_back(this);
}

ServerReads::~ServerReads()
{
    std::erase(liveRuns(), this);
    if (m_state)
        m_state->stop->store(true);
}

bool ServerReads::isStopping() const
{
    return m_state && m_state->stop->load();
}

std::vector<int> ServerReads::sameServerOrder(const QStringList& servers)
{
    std::vector<int> after(static_cast<size_t>(servers.size()), -1);
    QHash<QString, int> last;
    for (int i = 0; i < servers.size(); ++i) {
        const QString key = servers.at(i).trimmed().toCaseFolded();
        const auto it = last.find(key);
        if (it != last.end())
            after[static_cast<size_t>(i)] = *it;
        last.insert(key, i);
    }
    return after;
}

void ServerReads::start(int count, int parallel, Read read, Apply apply, std::vector<int> after)
{
    cancel();
    auto state = std::make_shared<State>();
    state->read = std::move(read);
    state->count = std::max(0, count);
    state->parallel = std::max(1, parallel);
    state->results.resize(static_cast<size_t>(state->count));
    state->ready.assign(static_cast<size_t>(state->count), 0);
    after.resize(static_cast<size_t>(state->count), -1);
    state->after = std::move(after);
    state->wake = m_wake;
    m_state = state;
    m_apply = std::move(apply);
    m_count = state->count;
    m_parallel = state->parallel;
    m_read = 0;
    m_applied = 0;
    m_taken = 0;
    m_applyLimit = m_count;
    m_applying = false;
    if (m_count == 0) {
        QMetaObject::invokeMethod(this, &ServerReads::applyReady, Qt::QueuedConnection);
        return;
    }

    std::vector<int> first;
    {
        const std::lock_guard lock(state->mutex);
        while (state->next < state->count && state->next < state->parallel)
            first.push_back(state->next++);
    }
    for (int index : first)
        launch(state, index);
}

void ServerReads::launch(const std::shared_ptr<State>& state, int index)
{
    ReadPool::instance().start([state, index] { readOne(state, index); });
}

void ServerReads::readOne(const std::shared_ptr<State>& state, int index)
{
    // A server named twice is read in order: the earlier read started before
    // this one (reads start in order) and is waited for.
    if (const int earlier = state->after[static_cast<size_t>(index)]; earlier >= 0) {
        std::unique_lock lock(state->mutex);
        state->readEnded.wait(lock, [&] { return state->ready[static_cast<size_t>(earlier)] || state->stop->load(); });
    }
    std::any result;
    if (!state->stop->load()) {
        try {
            result = state->read(index, ReadStop(state->stop));
        } catch (...) {
            // A read that fails outright gives no result; its server is passed over.
            result.reset();
        }
    }
    int following = -1;
    DeliveryWake* wake = nullptr;
    {
        const std::lock_guard lock(state->mutex);
        state->results[static_cast<size_t>(index)] = std::move(result);
        state->ready[static_cast<size_t>(index)] = 1;
        ++state->readCount;
        // One at a time, the next read waits until this server was applied.
        if (state->parallel > 1 && !state->stop->load() && state->next < state->count)
            following = state->next++;
        if (!state->wakeSent) {
            state->wakeSent = true;
            wake = state->wake;
        }
    }
    state->readEnded.notify_all();
    if (following >= 0)
        launch(state, following);
    if (wake)
        QMetaObject::invokeMethod(wake, "deliver", Qt::QueuedConnection);
}

void ServerReads::applyReady()
{
    const std::shared_ptr<State> state = m_state;
    if (!state)
        return;
    QPointer<ServerReads> self(this);
    int readNow = 0;
    {
        const std::lock_guard lock(state->mutex);
        // Reads ending from now on wake the window thread again.
        state->wakeSent = false;
        readNow = state->readCount;
    }
    if (readNow != m_read) {
        m_read = readNow;
        Q_EMIT progress(m_read, m_count);
        if (!self || m_state != state)
            return;
    }
    // A message shown while applying lets events run, wakes among them: the
    // loop below picks up what came once the message is closed.
    if (m_applying)
        return;
    m_applying = true;
    QElapsedTimer slice;
    slice.start();
    while (m_taken < m_applyLimit) {
        std::any result;
        {
            const std::lock_guard lock(state->mutex);
            if (!state->ready[static_cast<size_t>(m_taken)])
                break;
            result = std::move(state->results[static_cast<size_t>(m_taken)]);
            state->results[static_cast<size_t>(m_taken)].reset();
        }
        const int index = m_taken++;
        // A copy: the call may cancel the run, which lets go of m_apply.
        const Apply apply = m_apply;
        apply(index, result);
        if (!self)
            return;
        if (m_state != state) {
            // Cancelled (the window closed) while the server was applied.
            m_applying = false;
            return;
        }
        m_applied = m_taken;
        if (m_parallel == 1 && !state->stop->load()) {
            int following = -1;
            {
                const std::lock_guard lock(state->mutex);
                if (state->next < state->count)
                    following = state->next++;
            }
            if (following >= 0)
                launch(state, following);
        }
        if (slice.elapsed() >= kApplySliceMs) {
            // Large fills go in slices: the window repaints and answers in
            // between, then the next slice follows.
            m_applying = false;
            QMetaObject::invokeMethod(this, &ServerReads::applyReady, Qt::QueuedConnection);
            return;
        }
    }
    m_applying = false;
    if (m_applied >= m_applyLimit)
        finish(state->stop->load() ? End::Stopped : End::Completed);
}

void ServerReads::stop()
{
    const std::shared_ptr<State> state = m_state;
    if (!state || state->stop->load())
        return;
    const std::lock_guard lock(state->mutex);
    state->stop->store(true);
    // What was read up to now, from the next server to apply on without a
    // gap, is kept; the reads in flight are not waited for. The window
    // thread applies it next and ends the run.
    int limit = m_taken;
    while (limit < state->count && state->ready[static_cast<size_t>(limit)])
        ++limit;
    m_applyLimit = limit;
    QMetaObject::invokeMethod(this, &ServerReads::applyReady, Qt::QueuedConnection);
}

void ServerReads::cancel()
{
    if (!m_state)
        return;
    finish(End::Cancelled);
}

void ServerReads::finish(End end)
{
    const std::shared_ptr<State> state = std::exchange(m_state, nullptr);
    if (state)
        state->stop->store(true);
    m_apply = {};
    Q_EMIT finished(end);
}

void readAlongside(int count, const std::function<void(int part)>& work)
{
    if (count <= 0)
        return;
    struct Parts {
        std::mutex mutex;
        std::condition_variable ended;
        int running = 0;
    };
    const auto parts = std::make_shared<Parts>();
    parts->running = count - 1;
    for (int part = 1; part < count; ++part) {
        ReadPool::instance().start([parts, &work, part] {
            try {
                work(part);
            } catch (...) {
                // A part that fails outright leaves its share unread.
            }
            const std::lock_guard lock(parts->mutex);
            if (--parts->running == 0)
                parts->ended.notify_all();
        });
    }
    try {
        work(0);
    } catch (...) {
    }
    std::unique_lock lock(parts->mutex);
    parts->ended.wait(lock, [&] { return parts->running == 0; });
}

void waitForServerReads()
{
    ReadPool::instance().waitForDone();
}

}  // namespace nw

#include "ServerReads.moc"

#pragma once
// Reading many servers side by side. A view that reads more than one server
// hands the per-server work to a ServerReads: the reads run on a pool of
// threads kept for them, at most `parallel` at once, each opening, using and
// closing its own connection; their results come back to the window thread
// one server at a time in the order of the selection, server k only after
// servers 0 to k-1. A read returns a plain value and never touches a window or
// shows a message: the window thread does that while it applies the value.
//
// With parallel 1 the servers are read one at a time and the next read starts
// only once the previous server was applied, exactly as the views always read.

#include <QObject>
#include <QStringList>

#include <any>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

namespace nw {

class DeliveryWake;

// Asked by a read between its calls: true once the results are no longer
// wanted (the user stopped, or the window went away). A read that sees it may
// end early; it still closes what it opened.
class ReadStop {
public:
    ReadStop() = default;
    explicit ReadStop(std::shared_ptr<const std::atomic<bool>> flag) : m_flag(std::move(flag)) {}
    bool requested() const { return m_flag && m_flag->load(std::memory_order_relaxed); }

private:
    std::shared_ptr<const std::atomic<bool>> m_flag;
};

class ServerReads : public QObject {
    Q_OBJECT
public:
    enum class End {
        Completed,  // every server applied
        Stopped,    // stop(): the servers read before it were applied, the rest not read
        Cancelled,  // cancel(): nothing more applied
    };
    Q_ENUM(End)

    // Runs on a pool thread: reads server `index` and returns what was read.
    using Read = std::function<std::any(int index, const ReadStop& stop)>;
    // Runs on the window thread, in index order. It may show messages (which
    // let events run), cancel or stop the reads, or destroy their owner.
    using Apply = std::function<void(int index, std::any& result)>;

    explicit ServerReads(QObject* parent = nullptr);
    // Cancels: reads still running finish on their own and are discarded.
    ~ServerReads() override;

    // Starts reading `count` servers, at most `parallel` at once (clamped to
    // 1 and above). A run still under way is cancelled first. Results are
    // applied from the event loop; with no server the run ends there at once.
    // `after[k]`, when given, is an earlier server naming the same server as
    // k (or -1): k is read only once that read has ended, so that two reads
    // of one server never overlap and go in order, as one at a time.
    void start(int count, int parallel, Read read, Apply apply, std::vector<int> after = {});
    // For each name the last name before it that is the same server (names
    // compared without regard to case, as NetWare does), or -1.
    static std::vector<int> sameServerOrder(const QStringList& servers);
    // No new read starts. The servers read before the stop, from the first
    // one on without a gap, are still applied; reads in flight are discarded.
    void stop();
    // Nothing more is applied; finished(Cancelled) is emitted now.
    void cancel();

    bool isRunning() const { return m_state != nullptr; }
    bool isStopping() const;
    int count() const { return m_count; }
    // Servers whose read has ended / that were applied, in this run.
    int readCount() const { return m_read; }
    int appliedCount() const { return m_applied; }

Q_SIGNALS:
    // Emitted on the window thread as reads end.
    void progress(int read, int count);
    void finished(nw::ServerReads::End end);

private:
    friend class DeliveryWake;
    struct State;
    static void launch(const std::shared_ptr<State>& state, int index);
    static void readOne(const std::shared_ptr<State>& state, int index);
    void applyReady();
    void finish(End end);

    std::shared_ptr<State> m_state;
    DeliveryWake* m_wake;  // tells the window thread that reads have ended
    Apply m_apply;
    int m_count = 0;
    int m_parallel = 1;
    int m_read = 0;
    int m_applied = 0;
    int m_taken = 0;       // results taken for applying (one more than applied while one is applied)
    int m_applyLimit = 0;  // servers to apply: all of them, or those read before a stop
    bool m_applying = false;
};

// Waits until every read still running has ended. Whoever releases a client
// calls it first: reads use the client to their end, also when their window
// has gone.
void waitForServerReads();

// For a read that spreads its calls over several connections of its own:
// runs work(0) to work(count - 1) side by side, work(0) on the calling
// thread and the others on the reading threads, and returns once all of
// them have ended.
void readAlongside(int count, const std::function<void(int part)>& work);

// Typed form of ServerReads::start: `read(index, stop)` returns a Result,
// `apply(index, result)` takes it by reference.
template <class Result, class ReadFn, class ApplyFn>
void startServerReads(ServerReads& reads, int count, int parallel, ReadFn read, ApplyFn apply)
{
    reads.start(
        count, parallel,
        [read = std::move(read)](int index, const ReadStop& stop) -> std::any { return read(index, stop); },
        [apply = std::move(apply)](int index, std::any& result) {
            if (auto* value = std::any_cast<Result>(&result))
                apply(index, *value);
        });
}

}  // namespace nw

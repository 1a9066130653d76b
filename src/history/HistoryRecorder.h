#pragma once
// Keeps what the views read without holding up the window: the window
// thread hands samples and snapshots over and goes on; a writer thread of the
// recorder's own, with its own connection, stores everything handed over
// since its last write in one transaction. Questions to the history run on the
// same thread, after what was handed over before them.

#include "history/HistoryStore.h"

#include <QObject>
#include <QStringList>

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace history {

inline constexpr int kDefaultHistoryDays = 365;

class HistoryRecorder : public QObject {
    Q_OBJECT
public:
    // Nothing is opened before start(): whoever listens to problemsAvailable
    // connects first.
    explicit HistoryRecorder(QString path, int historyDays = kDefaultHistoryDays, QObject* parent = nullptr);
    // Writes what was handed over, then ends the writer thread.
    ~HistoryRecorder() override;
    HistoryRecorder(const HistoryRecorder&) = delete;
    HistoryRecorder& operator=(const HistoryRecorder&) = delete;

    // Starts the writer thread, which opens `path`; what goes wrong is told
    // through problemsAvailable. What is handed over before waits for it.
    void start();
    const QString& path() const { return m_path; }

    void recordSamples(std::vector<Sample> samples);
    void recordSnapshots(std::vector<Snapshot> snapshots);
    void recordSnapshot(Snapshot snapshot);

    // Waits until everything handed over so far is written.
    void flush();
    // Runs `question` on the writer thread with its store, after everything
    // handed over before, and waits for its answer.
    template <class Result>
    Result ask(std::function<Result(HistoryStore&)> question)
    {
        auto promise = std::make_shared<std::promise<Result>>();
        std::future<Result> answer = promise->get_future();
        post([promise, question = std::move(question)](HistoryStore& store) { promise->set_value(question(store)); });
        return answer.get();
    }
    // Snapshots stored by this recorder since it started (0 for a reading
    // that changed nothing), by server name in capitals: which servers a run read.
    QStringList serversRecorded();

    // Problems met since the last call, each once (thread-safe).
    QStringList takeProblems();

Q_SIGNALS:
    // Emitted on the writer thread when problems are waiting to be taken.
    void problemsAvailable();

private:
    using Job = std::function<void(HistoryStore&)>;
    void post(Job job);
    void run();
    void noteProblems(HistoryStore& store);

    QString m_path;
    int m_historyDays;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::vector<Sample> m_samples;
    std::vector<Snapshot> m_snapshots;
    std::deque<Job> m_jobs;
    QStringList m_problems;
    QStringList m_recorded;
    bool m_busy = false;
    bool m_stopping = false;
    std::thread m_thread;
};

}  // namespace history

#pragma once
// Time and memory one piece of work takes, for tests that bound what hostile
// input may cost: wall-clock time, and the growth of the process's peak
// resident memory (Linux; elsewhere the growth reads 0).

#include <QElapsedTimer>
#include <QtGlobal>

namespace testing {

class ResourceUse {
public:
    // Starts the clock; the peak so far is forgotten where the system allows
    // it, so that earlier work does not hide this work's peak.
    ResourceUse();

    qint64 elapsedMs() const { return m_clock.elapsed(); }
    // Megabytes by which the peak resident memory rose above the memory in use at the start.
    qint64 growthMb() const;

private:
    QElapsedTimer m_clock;
    qint64 m_startKb = 0;
};

}  // namespace testing

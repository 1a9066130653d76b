#pragma once
// Time and memory one piece of work takes, for tests that bound what hostile
// input may cost: the processor time the process spent (which, unlike the
// wall clock, does not grow when other programs share the machine), and the
// growth of the process's peak resident memory (Linux; elsewhere it reads 0).

#include <QElapsedTimer>
#include <QtGlobal>

namespace testing {

// How much slower the sanitizer builds run the same work: the processor-time
// bounds that catch a blow-up (seconds where milliseconds are due) allow for it.
#ifdef VESKARO_SANITIZED_BUILD
inline constexpr int kSanitizerSlowdown = 5;
#else
inline constexpr int kSanitizerSlowdown = 1;
#endif

class ResourceUse {
public:
    // Starts the clock; the peak so far is forgotten where the system allows
    // it, so that earlier work does not hide this work's peak.
    ResourceUse();

    qint64 elapsedMs() const { return m_clock.elapsed(); }
    // Processor time of the whole process since the start, in milliseconds.
    qint64 cpuMs() const { return processCpuMs() - m_startCpuMs; }
    // Megabytes by which the peak resident memory rose above the memory in use at the start.
    qint64 growthMb() const;

private:
    static qint64 processCpuMs();

    QElapsedTimer m_clock;
    qint64 m_startKb = 0;
    qint64 m_startCpuMs = 0;
};

}  // namespace testing

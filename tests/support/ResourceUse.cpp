#include "support/ResourceUse.h"

#include <QFile>

#include <ctime>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace testing {

namespace {

// A "Vm...:   1234 kB" line of /proc/self/status, in kB; 0 when there is none.
qint64 statusKb(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

}  // namespace

ResourceUse::ResourceUse()
{
#ifdef __GLIBC__
    // Memory freed by earlier work goes back to the system first, so that this
    // work's growth is not hidden in what the heap already holds.
    malloc_trim(0);
#endif
    // "5" resets the peak resident size to the present one.
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
    m_startKb = statusKb("VmRSS");
    m_startCpuMs = processCpuMs();
    m_clock.start();
}

qint64 ResourceUse::processCpuMs()
{
    timespec now{};
    if (clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now) != 0)
        return 0;
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

qint64 ResourceUse::growthMb() const
{
    const qint64 peak = std::max(statusKb("VmHWM"), statusKb("VmRSS"));
    return std::max<qint64>(0, peak - m_startKb) / 1024;
}

}  // namespace testing

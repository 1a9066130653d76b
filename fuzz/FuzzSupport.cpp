#include "FuzzSupport.h"

#include <sanitizer/allocator_interface.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace fuzzing {

namespace {

std::atomic<long long> g_inUse{0};
std::atomic<long long> g_base{0};
std::atomic<long long> g_peak{0};

void onMalloc(const volatile void*, size_t size)
{
    const long long now =
        g_inUse.fetch_add(static_cast<long long>(size), std::memory_order_relaxed) + static_cast<long long>(size);
    long long peak = g_peak.load(std::memory_order_relaxed);
    while (now > peak && !g_peak.compare_exchange_weak(peak, now, std::memory_order_relaxed)) {
    }
}

void onFree(const volatile void* pointer)
{
    if (pointer)
        g_inUse.fetch_sub(static_cast<long long>(__sanitizer_get_allocated_size(const_cast<const void*>(pointer))),
                          std::memory_order_relaxed);
}

}  // namespace

void HeapPeak::install()
{
    static const bool installed = __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree) != 0;
    (void)installed;
}

void HeapPeak::start()
{
    const long long now = g_inUse.load(std::memory_order_relaxed);
    g_base.store(now, std::memory_order_relaxed);
    g_peak.store(now, std::memory_order_relaxed);
}

size_t HeapPeak::peak()
{
    return static_cast<size_t>(
        std::max(0LL, g_peak.load(std::memory_order_relaxed) - g_base.load(std::memory_order_relaxed)));
}

void requireWithinBudget(size_t input, size_t used, size_t budget, const char* what)
{
    if (used <= budget)
        return;
    std::fprintf(stderr, "%s took %zu bytes of heap for %zu input bytes; its budget was %zu\n", what, used, input,
                 budget);
    std::abort();
}

}  // namespace fuzzing

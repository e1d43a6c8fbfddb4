#include "input/hook_lock.h"

#include <atomic>

#include "base/clock.h"
#include "platform/system_clock.h"

namespace {
std::atomic<int32_t> HookLock{0};  // 0 free, 1 taken
}

bool AcquireHookLock(int32_t timeoutMs) {
    int32_t expected = 0;
    if (HookLock.compare_exchange_strong(expected, 1)) return true;

    PerfStamp started;
    PerfClock::Now(started);
    uint32_t sleepMs = 0;  // the first pass only yields the processor
    for (;;) {
        platform::Clock.sleepMs(sleepMs);
        const uint32_t elapsed = PerfClock::Elapsed(started);
        if (elapsed > 0) {
            sleepMs = 10;
            if (timeoutMs != -1 && elapsed > uint32_t(timeoutMs)) return false;
        }
        expected = 0;
        if (HookLock.compare_exchange_strong(expected, 1)) return true;
    }
}

void ReleaseHookLock() { HookLock.fetch_sub(1); }

// The clock and sleep calls that the timing logic needs from the system.
// The Windows program links src/platform/win32/system_clock_win32.cpp; the
// unit tests link a fake (tests/fakes) whose time they move by hand.
#pragma once
#include <cstdint>

namespace platform {

struct SystemClock {
    int64_t (*counter)();    // high-resolution counter (QueryPerformanceCounter)
    int64_t (*frequency)();  // counts per second (QueryPerformanceFrequency)
    // Wall clock: whole seconds since 1970-01-01 UTC and milliseconds 0..999.
    void (*wallClock)(int64_t* seconds, int32_t* milliseconds);
    void (*sleepMs)(uint32_t milliseconds);
};

// The clock in use; defined once per program.
extern SystemClock Clock;

}  // namespace platform

#include "base/clock.h"

#include "platform/system_clock.h"

namespace {

// Set on the first Now() of the process, which happens on the main thread
// while it starts, before any other thread exists; read-only afterwards.
bool calibrated = false;
int64_t frequency = 1;
int64_t offset = 0;  // counts from the counter's zero to 1970-01-01 UTC

void Calibrate() {
    calibrated = true;
    frequency = platform::Clock.frequency();
    // A counter that reports no frequency would divide by zero below; count
    // in microseconds of its raw value instead.
    if (frequency <= 0) frequency = 1'000'000;
    const int64_t c0 = platform::Clock.counter();
    int64_t seconds = 0;
    int32_t milliseconds = 0;
    platform::Clock.wallClock(&seconds, &milliseconds);
    offset = (int64_t(milliseconds) * frequency) / 1000 + seconds * frequency - c0;
}

}  // namespace

namespace PerfClock {

void Now(PerfStamp& stamp) {
    if (!calibrated) Calibrate();
    const int64_t t = platform::Clock.counter() + offset;
    const uint32_t seconds = uint32_t(t / frequency);
    const int64_t remainder = t - int64_t(seconds) * frequency;
    stamp.seconds = seconds;
    stamp.microseconds = uint32_t((remainder * 1'000'000) / frequency);
}

uint32_t MillisecondsBetween(const PerfStamp& from, const PerfStamp& to) {
    if (to.microseconds > from.microseconds) {
        return (to.microseconds - from.microseconds) / 1000 + (to.seconds - from.seconds) * 1000;
    }
    return (to.microseconds - from.microseconds + 1'000'000) / 1000 + (to.seconds - from.seconds - 1) * 1000;
}

uint32_t Elapsed(const PerfStamp& stamp) {
    PerfStamp now;
    Now(now);
    return MillisecondsBetween(stamp, now);
}

uint32_t Restart(PerfStamp& stamp) {
    PerfStamp now;
    Now(now);
    const uint32_t elapsed = MillisecondsBetween(stamp, now);
    stamp = now;
    return elapsed;
}

}  // namespace PerfClock

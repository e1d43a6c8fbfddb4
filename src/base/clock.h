// PerfClock: millisecond intervals on the high-resolution counter, anchored
// once to the wall clock so that stamps are absolute times that never jump
// when the system time is changed.
#pragma once
#include <cstdint>

struct PerfStamp {
    uint32_t seconds = 0;       // since 1970-01-01 UTC
    uint32_t microseconds = 0;  // 0..999999
};

namespace PerfClock {
void Now(PerfStamp& stamp);
// Whole milliseconds from the stamp to now (modulo 2^32); Restart also sets
// the stamp to now.
uint32_t Restart(PerfStamp& stamp);
uint32_t Elapsed(const PerfStamp& stamp);
// The distance between two stamps, in whole milliseconds.
uint32_t MillisecondsBetween(const PerfStamp& from, const PerfStamp& to);
}  // namespace PerfClock

// What a damaged stored value becomes. The registry may hold anything (an
// edit by hand, another program, a broken disk); the load passes each value
// through these rules once, so every part of the program sees the same
// usable value and none needs a cap of its own. Every value the options
// window can produce passes unchanged.
#pragma once
#include <cstdint>

constexpr int32_t kMaxReflections = 99;     // the "times reflected" field's range is 0..99
constexpr double kMaxLineThickness = 99.0;  // the outline field's range is 0..99

// Below 0 means none; above 99 draws 99.
int32_t UsableReflectionCount(int32_t refnr);
// NaN and below 0 mean no outline; above 99 draws 99.
double UsableLineThickness(double linethick);
// An angle without a direction (NaN, infinite) is 0; one beyond a turn is
// brought into -180..180.
double UsableAngle(double degrees);

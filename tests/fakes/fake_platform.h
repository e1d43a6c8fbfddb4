// A fake of every platform source in src/platform, for the unit tests. Tests
// set the fields of FakeSystem and read what the logic asked of it; Reset()
// puts everything back to a quiet system.
#pragma once
#include <cstdint>
#include <map>
#include <vector>

#include "platform/types.h"

struct FakePost {
    WindowHandle window;
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
};

struct FakeSystemState {
    // Clock: the counter runs at `frequency`; tests advance `counter`. Each
    // sleep advances it by the slept time (plus sleepExtraCounts), so waiting
    // loops finish.
    int64_t counter = 0;
    int64_t frequency = 10'000'000;
    int64_t sleepExtraCounts = 0;
    int32_t sleeps = 0;

    // Messages.
    bool postSucceeds = true;
    std::vector<FakePost> posts;

    // Keys: bit 15 = down, bit 0 = toggled, per virtual key.
    std::map<int32_t, int16_t> asyncKeyState;
    std::map<int32_t, int16_t> keyState;
    std::map<uint32_t, uint32_t> keyChars;  // MapVirtualKeyW(VK_TO_CHAR)

    // System metrics by SM_* index.
    std::map<int32_t, int32_t> metrics;

    // Pointer.
    Point pointer;
    bool mouseSpeedCallsSucceed = true;
    int32_t mouseSpeed = 10;
    int32_t mouseSpeedReads = 0;
    int32_t mouseSpeedWrites = 0;
};

extern FakeSystemState FakeSystem;

// A quiet 1920x1080 desktop, no keys down, clock at a fixed wall time.
void ResetFakeSystem();
// Moves the fake counter by the given number of microseconds.
void AdvanceFakeClockMicroseconds(int64_t microseconds);

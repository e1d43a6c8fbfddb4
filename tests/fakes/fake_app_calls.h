// Records the calls that the ruler control makes into the overlay, the
// options window and the poll timer (all Win32 in the program).
#pragma once
#include <cstdint>
#include <vector>

struct PointerUpdate {
    int32_t x, y;
    bool moveStart, reflectionKey;
};

struct FakeAppCallsState {
    int32_t fadeIns = 0, fadeOuts = 0, pollTimerArms = 0;
    std::vector<bool> optionsOpened;  // the minimized flag of each OpenOptionsDialog
    std::vector<PointerUpdate> pointerUpdates;
};

extern FakeAppCallsState FakeAppCalls;

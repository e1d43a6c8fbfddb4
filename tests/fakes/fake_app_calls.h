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
    std::vector<int32_t> fadeIns;
    std::vector<int32_t> fadeOuts;
    std::vector<bool> optionsOpened;  // the minimized flag of each OpenOptionsDialog
    int32_t pollTimerArms = 0;
    std::vector<PointerUpdate> pointerUpdates;
};

extern FakeAppCallsState FakeAppCalls;

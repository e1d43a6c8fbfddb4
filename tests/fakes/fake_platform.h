// A fake of every platform source in src/platform and of the calls the ruler
// control makes into the Win32 parts (overlay, options window, poll timer).
// Tests set the fields and read what the logic asked of them.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/types.h"

struct FakePost {
    WindowHandle window;
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
};

struct FakeSystemState {
    // The counter runs at `frequency`; each sleep advances it by the slept
    // time plus sleepExtraCounts, so waiting loops finish.
    int64_t counter = 0;
    int64_t frequency = 10'000'000;
    int64_t sleepExtraCounts = 0;
    bool postSucceeds = true;
    std::vector<FakePost> posts;
    // Per virtual key: bit 15 = down, bit 0 = toggled; the layout's character.
    std::map<int32_t, int16_t> asyncKeyState, keyState;
    std::function<void()> onKeyRead;  // runs inside each asyncKeyState, as Wine delivers input there
    std::map<uint32_t, uint32_t> keyChars;
    std::vector<uint32_t> releasedKeys;  // sent by the program; they read up at once
    std::map<int32_t, int32_t> metrics;  // by SM_* index
    Point pointer;
    bool mouseSpeedCallsSucceed = true;
    int32_t mouseSpeed = 10;
};

extern FakeSystemState FakeSystem;

// A quiet 1920x1080 desktop with a five-button mouse, no keys down.
void ResetFakeSystem();
void AdvanceFakeClockMicroseconds(int64_t microseconds);

// The program's own path.
struct FakeOwnProcessState {
    std::u16string modulePath = u"C:\\Program Files\\M\\m.exe";
};

extern FakeOwnProcessState FakeOwnProcess;

struct FakeAppCallsState {
    int32_t fadeIns = 0, fadeOuts = 0, pollTimerArms = 0;
    std::vector<bool> optionsOpened;  // the minimized flag of each OpenOptionsDialog
};

extern FakeAppCallsState FakeAppCalls;

#include "fakes/fake_platform.h"

#include <algorithm>

#include "app/ruler_control.h"
#include "measure/measure_model.h"
#include "options/options_window.h"
#include "overlay/display_object.h"
#include "platform/key_state.h"
#include "platform/own_process.h"
#include "platform/pointer.h"
#include "platform/system_clock.h"
#include "platform/system_metrics.h"
#include "platform/window_messages.h"

FakeSystemState FakeSystem;
FakeOwnProcessState FakeOwnProcess;
FakeAppCallsState FakeAppCalls;

void FadeIn(int32_t) { ++FakeAppCalls.fadeIns; }
void FadeOut(int32_t) { ++FakeAppCalls.fadeOuts; }
void OpenOptionsDialog(bool minimized) { FakeAppCalls.optionsOpened.push_back(minimized); }
void ArmPollTimer() { ++FakeAppCalls.pollTimerArms; }
// The measurement itself, without the frame.
void UpdateFromPointer(int32_t x, int32_t y, std::optional<uintptr_t>, bool moveStart, bool reflectionKey) {
    ApplyPointerUpdate(TheDisplay.measure, TheDisplay.konscr.load(), x, y, moveStart, reflectionKey);
}

// No options window exists in the unit tests.
std::atomic<WindowHandle> OptionsWindowHandle{nullptr};

void ResetFakeSystem() {
    using namespace platform;
    FakeSystem = FakeSystemState{};
    FakeSystem.metrics = {{MetricCxScreen, 1920},       {MetricCyScreen, 1080},          {MetricXVirtualScreen, 0},
                          {MetricYVirtualScreen, 0},    {MetricCxVirtualScreen, 1920},   {MetricCyVirtualScreen, 1080},
                          {MetricCxCursor, 32},         {MetricCyCursor, 32},            {MetricCMouseButtons, 5},
                          {MetricMouseWheelPresent, 1}, {MetricMouseHWheelPresent, 1}};
}

void AdvanceFakeClockMicroseconds(int64_t microseconds) {
    FakeSystem.counter += microseconds * FakeSystem.frequency / 1'000'000;
}

namespace {

template <typename Map, typename Key>
auto ValueOr(const Map& map, const Key& key, typename Map::mapped_type fallback) {
    auto it = map.find(key);
    return it == map.end() ? fallback : it->second;
}

}  // namespace

namespace platform {

SystemClock Clock = {
    [] { return FakeSystem.counter; }, [] { return FakeSystem.frequency; },
    [](int64_t* seconds, int32_t* milliseconds) { *seconds = 1'700'000'000, *milliseconds = 0; },
    [](uint32_t ms) {
        FakeSystem.counter += int64_t(ms) * FakeSystem.frequency / 1000 + FakeSystem.sleepExtraCounts;
    },
};

WindowMessages Messages = {
    [](WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
        if (FakeSystem.postSucceeds) FakeSystem.posts.push_back({window, message, wParam, lParam});
        return FakeSystem.postSucceeds;
    },
};

KeyStateSource KeyStates = {
    [](int32_t vk) {
        if (FakeSystem.onKeyRead) FakeSystem.onKeyRead();
        return ValueOr(FakeSystem.asyncKeyState, vk, int16_t(0));
    },
    [](int32_t vk) { return ValueOr(FakeSystem.keyState, vk, int16_t(0)); },
    [](uint8_t (&states)[256]) {
        for (int32_t vk = 0; vk < 256; ++vk) {
            const int16_t state = ValueOr(FakeSystem.keyState, vk, int16_t(0));
            states[vk] = uint8_t(((state & 0x8000) ? 0x80 : 0) | (state & 0x01));
        }
        return true;
    },
    [](uint32_t vk) { return ValueOr(FakeSystem.keyChars, vk, 0u); },
    [](uint32_t vk) {
        FakeSystem.releasedKeys.push_back(vk);
        FakeSystem.asyncKeyState[int32_t(vk)] &= 0x7FFF;
        FakeSystem.keyState[int32_t(vk)] &= 0x7FFF;
    },
};

SystemMetricsSource Metrics = {[](int32_t index) { return ValueOr(FakeSystem.metrics, index, 0); }};

PointerSource Pointer = {
    [](Point& position, uintptr_t& shape) { return position = FakeSystem.pointer, shape = 0, true; },
    [](int32_t& speed) {
        if (FakeSystem.mouseSpeedCallsSucceed) speed = FakeSystem.mouseSpeed;
        return FakeSystem.mouseSpeedCallsSucceed;
    },
    [](int32_t speed) {
        if (FakeSystem.mouseSpeedCallsSucceed) FakeSystem.mouseSpeed = speed;
        return FakeSystem.mouseSpeedCallsSucceed;
    },
};

// Behaves like GetModuleFileNameW: a cut path fills the buffer and reports its size.
OwnProcessSource OwnProcess = {
    [](char16_t* buffer, uint32_t capacity) {
        const std::u16string& path = FakeOwnProcess.modulePath;
        const uint32_t n = uint32_t(std::min<size_t>(path.size(), capacity));
        std::copy_n(path.begin(), n, buffer);
        if (n < capacity) buffer[n] = u'\0';
        return n;
    },
    [](const char*, const char*) { return true; },
};

}  // namespace platform

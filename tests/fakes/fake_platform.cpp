#include "fakes/fake_platform.h"

#include "platform/key_state.h"
#include "platform/pointer.h"
#include "platform/system_clock.h"
#include "platform/system_metrics.h"
#include "platform/window_messages.h"

FakeSystemState FakeSystem;

void ResetFakeSystem() {
    FakeSystem = FakeSystemState{};
    FakeSystem.metrics[platform::MetricCxScreen] = 1920;
    FakeSystem.metrics[platform::MetricCyScreen] = 1080;
    FakeSystem.metrics[platform::MetricXVirtualScreen] = 0;
    FakeSystem.metrics[platform::MetricYVirtualScreen] = 0;
    FakeSystem.metrics[platform::MetricCxVirtualScreen] = 1920;
    FakeSystem.metrics[platform::MetricCyVirtualScreen] = 1080;
    FakeSystem.metrics[platform::MetricCxCursor] = 32;
    FakeSystem.metrics[platform::MetricCyCursor] = 32;
    FakeSystem.metrics[platform::MetricCMouseButtons] = 5;
    FakeSystem.metrics[platform::MetricMouseWheelPresent] = 1;
    FakeSystem.metrics[platform::MetricMouseHWheelPresent] = 1;
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
    [] { return FakeSystem.counter; },
    [] { return FakeSystem.frequency; },
    [](int64_t* seconds, int32_t* milliseconds) {
        *seconds = 1'700'000'000;
        *milliseconds = 0;
    },
    [](uint32_t ms) {
        ++FakeSystem.sleeps;
        FakeSystem.counter += int64_t(ms) * FakeSystem.frequency / 1000 + FakeSystem.sleepExtraCounts;
    },
};

WindowMessages Messages = {
    [](WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
        if (!FakeSystem.postSucceeds) return false;
        FakeSystem.posts.push_back({window, message, wParam, lParam});
        return true;
    },
};

KeyStateSource KeyStates = {
    [](int32_t vk) { return ValueOr(FakeSystem.asyncKeyState, vk, int16_t(0)); },
    [](int32_t vk) { return ValueOr(FakeSystem.keyState, vk, int16_t(0)); },
    [](uint32_t vk) { return ValueOr(FakeSystem.keyChars, vk, 0u); },
};

SystemMetricsSource Metrics = {
    [](int32_t index) { return ValueOr(FakeSystem.metrics, index, 0); },
};

PointerSource Pointer = {
    [](Point& out) {
        out = FakeSystem.pointer;
        return true;
    },
    [](int32_t& speed) {
        ++FakeSystem.mouseSpeedReads;
        if (!FakeSystem.mouseSpeedCallsSucceed) return false;
        speed = FakeSystem.mouseSpeed;
        return true;
    },
    [](int32_t speed) {
        ++FakeSystem.mouseSpeedWrites;
        if (!FakeSystem.mouseSpeedCallsSucceed) return false;
        FakeSystem.mouseSpeed = speed;
        return true;
    },
};

}  // namespace platform

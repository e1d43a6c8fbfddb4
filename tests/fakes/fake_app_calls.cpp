#include "fakes/fake_app_calls.h"

#include "app/ruler_control.h"
#include "display/display_object.h"
#include "options/options_window.h"

FakeAppCallsState FakeAppCalls;

void FadeIn(int32_t) { ++FakeAppCalls.fadeIns; }
void FadeOut(int32_t) { ++FakeAppCalls.fadeOuts; }
void OpenOptionsDialog(bool minimized) { FakeAppCalls.optionsOpened.push_back(minimized); }
void ArmPollTimer() { ++FakeAppCalls.pollTimerArms; }
void UpdateFromPointer(int32_t x, int32_t y, bool moveStart, bool reflectionKey) {
    FakeAppCalls.pointerUpdates.push_back({x, y, moveStart, reflectionKey});
}

// No options window exists in the unit tests.
std::atomic<WindowHandle> OptionsWindowHandle{nullptr};

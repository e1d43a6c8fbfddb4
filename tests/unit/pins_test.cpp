#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input_test_support.h"
#include "overlay/pin_list.h"

namespace {

const std::string Deg = "\xC2\xB0";

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t from = 0, end; (end = text.find("\r\n", from)) != std::string::npos; from = end + 2) {
        lines.push_back(text.substr(from, end - from));
    }
    return lines;
}

// Seventeen pins, 96 pixels (an inch at 96 per inch) longer each, in pixels
// and millimetres by turns: sixteen stay, the first is dropped and its slot
// taken, and the copy lists the rest oldest first, each in its own unit.
TEST(PinList, KeepsSixteenDropsTheOldestAndCopiesEachInItsUnit) {
    PinList pins;
    for (int32_t i = 0; i < 17; ++i) {
        const MeasureUnit unit = i % 2 ? MeasureUnit::Millimetres : MeasureUnit::PhysicalPixels;
        EXPECT_EQ(pins.Add(Pin{.measurement = {{{0, 0}, {96 * (i + 1), 0}, 90.0, false}, unit, {}}}), i % MaxPins) << i;
    }
    const struct { CopyForm form; size_t line; std::string text; } cases[] = {
        {CopyForm::LabelText, 0, "50.8x0.0 50.8 mm 90.0" + Deg},
        {CopyForm::LabelText, 1, "288x0 288.0 90.0" + Deg},
        {CopyForm::Details, 0, "start 0,0 px; end 192,0 px; dx 50.8 mm; dy 0.0 mm; length 50.8 mm; angle 90.0" + Deg},
        {CopyForm::Details, 15, "start 0,0 px; end 1632,0 px; dx 1632 px; dy 0 px; length 1632 px; angle 90.0" + Deg},
    };
    for (const auto& c : cases) {
        const std::string text = PinsCopyText(pins, c.form);
        ASSERT_EQ(Lines(text).size(), size_t(MaxPins));  // each line ends with CR LF
        EXPECT_EQ(Lines(text)[c.line], c.text) << c.line;
    }
    pins.Clear();
    EXPECT_EQ(PinsCopyText(pins, CopyForm::LabelText), "");
}

// The pin key (Shift+Pause): one pin per press, one clear once it repeats,
// nothing while the ruler is off (only the toggle key is matched then); made
// equal to the copy key (Pause), it leaves Pause copying and pins nothing.
TEST_F(InputTest, PinKeyPinsOncePerPressAndClearsWhenHeld) {
    constexpr uint32_t Shift = 0xA0, Pause = 0x13;
    const struct { uint32_t message, vk; int32_t filter; uint16_t pinMods; size_t pins, clears, copies; } steps[] = {
        {WmKeyDown, Shift, -1, ModShift, 0, 0, 0},        {WmKeyDown, Pause, -1, ModShift, 1, 0, 0},
        {WmKeyDown, Pause, -1, ModShift, 1, 1, 0},        {WmKeyDown, Pause, -1, ModShift, 1, 1, 0},
        {WmKeyUp, Pause, -1, ModShift, 1, 1, 0},          {WmKeyDown, Pause, -1, ModShift, 2, 1, 0},
        {WmKeyUp, Pause, -1, ModShift, 2, 1, 0},          {WmKeyDown, Pause, ToggleRuler, ModShift, 2, 1, 0},
        {WmKeyUp, Pause, ToggleRuler, ModShift, 2, 1, 0}, {WmKeyUp, Shift, -1, ModShift, 2, 1, 0},
        {WmKeyDown, Pause, -1, ModShift, 2, 1, 1},        {WmKeyUp, Pause, -1, 0, 2, 1, 1},
        {WmKeyDown, Pause, -1, 0, 2, 1, 2},               {WmKeyDown, Pause, -1, 0, 2, 1, 2},
        {WmKeyUp, Pause, -1, 0, 2, 1, 2},
    };
    for (const auto& step : steps) {
        SetRoleFilter(step.filter);
        Bind(PinMeasurement, Pause, step.pinMods);
        KeyboardHookEvent event;
        event.message = step.message;
        event.vkCode = step.vk;
        HandleKeyboardHookEvent(0, event);
        PinPending = ClearPinsPending = CopyPending = 0;  // the main loop took them
        const size_t seen[] = {CountPosts(MsgPinMeasurement), CountPosts(MsgClearPins), CountPosts(MsgCopyMeasurement)};
        EXPECT_EQ(std::vector<size_t>(seen, seen + 3), (std::vector<size_t>{step.pins, step.clears, step.copies}))
            << &step - steps;
    }
}

// Under Wine a reading of key states delivers pending input, so the hook
// runs inside a resync on the resyncing thread: a Shift+Pause that arrives
// so still pins, with its Shift, instead of copying.
TEST_F(InputTest, KeysArrivingWhileKeysAreReadKeepTheirModifiers) {
    LetTimePassWhileWaiting();  // a hook that waits for the lock gives up instead of spinning
    FakeSystem.onKeyRead = [] {
        FakeSystem.onKeyRead = nullptr;
        for (const uint32_t vk : {0xA0u, 0x13u}) HandleKeyboardHookEvent(0, KeyboardHookEvent{WmKeyDown, vk});
    };
    ResyncKeyStates();
    for (const uint32_t vk : {0x13u, 0xA0u}) HandleKeyboardHookEvent(0, KeyboardHookEvent{WmKeyUp, vk});
    EXPECT_EQ(CountPosts(MsgPinMeasurement), 1u);  // not lost, and no Pause alone (a copy)
}

}  // namespace

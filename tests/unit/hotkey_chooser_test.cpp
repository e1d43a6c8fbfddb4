#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "fakes/fake_platform.h"
#include "input/hotkey_bindings.h"
#include "input/hotkey_chooser.h"
#include "options/keyboard_page_rules.h"
#include "platform/system_metrics.h"

namespace {

constexpr uint32_t LMouse = 0x01, RMouse = 0x02, MMouse = 0x04, X1Mouse = 0x05, X2Mouse = 0x06;
constexpr uint32_t Pause = 0x13, PrntScrn = 0x2C, Caps = 0x14, Insert = 0x2D, NumLock = 0x90, Scroll = 0x91;
constexpr uint32_t KeyQ = 0x51, Shift = 0x10, LShift = 0xA0, RShift = 0xA1, LCtrl = 0xA2, RCtrl = 0xA3, LAlt = 0xA4,
                   AltGr = 0xA5, LWin = 0x5B, RWin = 0x5C;
constexpr uint32_t Wheel = CodeMouseWheel, HWheel = CodeMouseHWheel, Always = CodeAlwaysDown;

using List = std::vector<ComboCandidate>;

List Build(uint32_t code, uint16_t mods, uint32_t initialCode, uint16_t initialMods, int buttons = 5,
           bool wheels = true, bool hooks = true) {
    ResetFakeSystem();
    auto& m = FakeSystem.metrics;
    m[platform::MetricCMouseButtons] = buttons, m[platform::MetricMouseWheelPresent] = wheels;
    m[platform::MetricMouseHWheelPresent] = wheels && buttons > 3;
    return BuildComboCandidates(code, mods, initialCode, initialMods, hooks);
}

}  // namespace

// Each row gives the list's length and how it begins.
TEST(HotkeyChooserCandidates, ListsInOrder) {
    const struct { const char* name; ComboCandidate binding, initial; size_t size; List begins; } cases[] = {
        {"toggle on Num Lock", {NumLock, 0}, {NumLock, 0}, 18,
         {{NumLock, 0}, {Caps, 0}, {Scroll, 0}, {Insert, 0}, {Pause, 0}, {PrntScrn, 0}, {LShift, 0}, {RShift, 0},
          {LCtrl, 0}, {RCtrl, 0}, {LAlt, 0}, {AltGr, 0}, {LWin, 0}, {RWin, 0}, {RMouse, 0}}},  // then the mouse
        {"move start point on Shift alone", {Always, ModShift}, {Always, ModShift}, 15,
         {{Always, ModShift}, {LShift, 0}, {RShift, 0}, {Always, ModAlt}, {Always, ModCtrl}, {Always, ModWindows},
          {Always, ModAltGr}, {LShift, ModShift}, {RShift, ModShift}, {LCtrl, ModShift}}},
        {"Ctrl + Left Shift captured over Shift: cut at 30", {LShift, ModCtrl}, {Always, ModShift}, 30,
         {{LShift, ModCtrl}, {Shift, ModCtrl}, {Always, ModCtrl | ModShift}, {LShift, 0}, {Always, ModShift},
          {RShift, 0}, {RShift, ModCtrl}}},
        {"middle mouse: the mouse group first", {MMouse, 0}, {MMouse, 0}, 21,
         {{MMouse, 0}, {LMouse, 0}, {RMouse, 0}, {X1Mouse, 0}, {X2Mouse, 0}, {Wheel, 0}, {Pause, 0}}},
        {"Ctrl-Alt + Q: subsets drop the lowest bit first", {KeyQ, ModCtrl | ModAlt}, {KeyQ, ModCtrl | ModAlt}, 3,
         {{KeyQ, ModCtrl | ModAlt}, {KeyQ, ModCtrl}, {KeyQ, 0}}},
        {"Ctrl + Shift: generic modifier, both sides", {Shift, ModCtrl}, {Shift, ModCtrl}, 5,
         {{Shift, ModCtrl}, {Always, ModCtrl | ModShift}, {Shift, 0}, {LShift, ModCtrl}, {RShift, ModCtrl}}},
        {"Alt-Shift alone: the highest modifier gives the sides", {Always, ModAlt | ModShift},
         {Always, ModAlt | ModShift}, 16,
         {{Always, ModAlt | ModShift}, {LShift, ModAlt}, {RShift, ModAlt}, {Always, ModAlt}}},
        {"Always Down only first: the initial one is left out", {KeyQ, 0}, {Always, 0}, 14,
         {{KeyQ, 0}, {Always, ModAlt}, {Always, ModCtrl}, {Always, ModShift}, {Always, ModWindows}, {Always, ModAltGr},
          {LShift, 0}}},
    };
    for (const auto& c : cases) {
        const List got = Build(c.binding.code, c.binding.mods, c.initial.code, c.initial.mods);
        EXPECT_EQ(got.size(), c.size) << c.name;
        EXPECT_EQ(List(got.begin(), got.begin() + std::min(got.size(), c.begins.size())), c.begins)
            << c.name;
    }
}

// The mouse items of the Num Lock list: only what the mouse has, wheels only with the hooks.
TEST(HotkeyChooserCandidates, MouseItemsFollowTheMouse) {
    const struct { int buttons; bool wheels, hooks; List mouse; } cases[] = {
        {5, true, true, {{RMouse, 0}, {MMouse, 0}, {Wheel, 0}, {HWheel, 0}}},
        {3, true, true, {{RMouse, 0}, {MMouse, 0}, {Wheel, 0}}}, {2, false, true, {{RMouse, 0}}},
        {5, true, false, {{RMouse, 0}, {MMouse, 0}}},
    };
    for (const auto& c : cases) {
        List got = Build(NumLock, 0, NumLock, 0, c.buttons, c.wheels, c.hooks);
        std::erase_if(got, [](const ComboCandidate& i) { return i.code > 0x06 && i.code < 0x100; });
        EXPECT_EQ(got, c.mouse) << c.buttons << c.wheels << c.hooks;
    }
}

TEST(HotkeyChooserKeys, PressStoresReleaseEndsRepeatsIgnored) {
    using A = ComboKeyAction;
    constexpr uintptr_t Up = 0x10000;
    const struct { uintptr_t wParam; bool hooks; A action; int32_t lastAfter; } steps[] = {
        {LCtrl, true, A::StoreBinding, int32_t(LCtrl)}, {KeyQ, true, A::StoreBinding, int32_t(KeyQ)},
        {KeyQ, true, A::Ignore, int32_t(KeyQ)},  // auto-repeat
        {Up | KeyQ, true, A::EndCapture, -1},
        {KeyQ, true, A::StoreBinding, int32_t(KeyQ)},   // a fresh press counts again
        {Wheel, true, A::StoreBinding, int32_t(KeyQ)},  // wheels are never repeats
        {Wheel, true, A::StoreBinding, int32_t(KeyQ)},
        {Wheel, false, A::Ignore, int32_t(KeyQ)},  // needs the hooks
        {CodeWindows, false, A::Ignore, int32_t(KeyQ)},
        {NumLock | CodeNoKeyFlag, false, A::StoreBinding, int32_t(KeyQ)},  // "No Key" from the page
        {Always, false, A::StoreBinding, int32_t(KeyQ)},
        {0xFFFF0000u | 0x41, false, A::EndCapture, -1},  // any high bit means release
    };
    int32_t last = -1;
    for (size_t i = 0; i < std::size(steps); ++i) {
        const ComboKeyDecision d = DecideComboKey(steps[i].wParam, last, steps[i].hooks);
        EXPECT_TRUE(d.action == steps[i].action && d.code == (steps[i].wParam & 0xFFFF) && last == steps[i].lastAfter)
            << i;
    }
}

TEST(HotkeyChooserKeys, WindowMessagesTakeTheSideThatIsDown) {
    const struct { uint32_t vk; bool release; int32_t downKey; uint32_t expected; } cases[] = {  // downKey 0: none
        {Shift, false, 0, LShift}, {Shift, false, RShift, RShift}, {0x11, false, RCtrl, RCtrl},
        {0x12, false, AltGr, AltGr}, {0x12, false, 0, LAlt}, {Shift, true, RShift, LShift},  // a release: left
        {KeyQ, false, RShift, KeyQ},
    };
    for (const auto& c : cases) {
        ResetFakeSystem();
        if (c.downKey) FakeSystem.keyState[c.downKey] = int16_t(0x8000);
        EXPECT_EQ(WindowMessageKeyCode(c.vk, c.release), c.expected) << c.vk << " " << c.downKey;
    }
    // A capture takes every key but Tab (the focus moves on, ending it), Enter and Esc (for the window).
    for (const auto& [vk, taken] : {std::pair{0x09u, false}, {0x0Du, false}, {0x1Bu, false}, {KeyQ, true}, {Shift, true}})
        EXPECT_EQ(ComboTakesWindowKey(vk), taken) << vk;
    // It starts only when no key is down; bit 0 alone is toggled, not down.
    for (const auto& [key, state, down] : {std::tuple{NumLock, 1, false}, {0x00u, 0x8000, true}, {0xFFu, 0x8000, true}}) {
        ResetFakeSystem();
        FakeSystem.keyState[int32_t(key)] = int16_t(state);
        EXPECT_EQ(AnyVirtualKeyDown(), down) << key;
    }
}

// Rows: the dead box is cleared, may be ticked, the binding is replaced by
// (0: kept). Without the hooks nothing may be dead and no code above 0xFF works
// (seen end to end for Num Lock, the wheel, Left Shift and modifiers alone).
TEST(KeyPageRefresh, DeadBoxesFallbacksAndLockKeys) {
    const struct { const char* name; int32_t role; uint32_t code; uint16_t mods; bool hooks, clearDead, enableDead;
                   uint32_t replacement; } cases[] = {
        {"left mouse alone", ToggleRuler, 0x01, 0, true, true, false, 0},
        {"Ctrl + left mouse may be dead", MoveStartPoint, 0x01, ModCtrl, true, false, true, 0},
        {"Ctrl + Alt", SlowMouse, 0x12, ModCtrl, true, true, false, 0},
        {"switched-off Shift is not Shift", MoveStartPoint, 0x10 | CodeNoKeyFlag, 0, true, false, true, 0},
        {"already No Key stays", ToggleRuler, CodeWindows | CodeNoKeyFlag, 0, false, false, false, 0},
        {"modifiers alone need no hooks", SetReflection, CodeAlwaysDown, ModAlt, false, true, false, 0},
    };
    for (const auto& c : cases) {
        const KeyRowRefresh r = DecideKeyRowRefresh(c.role, {.code = c.code, .mods = c.mods, .dead = true}, c.hooks);
        EXPECT_TRUE(r.clearDead == c.clearDead && r.enableDead == c.enableDead) << c.name;
        EXPECT_EQ(r.replaceBinding ? r.replacementCode : 0, c.replacement) << c.name;
    }
    // A lock key chosen for the toggle makes the ruler follow its light; the wheel cannot.
    for (const auto& [toggle, key, follows] : {std::tuple{false, 0x14u, true}, {false, 0x2Du, true}, {false, 0x91u, true},
             {false, 0x51u, false}, {true, 0x51u, true}, {true, CodeMouseWheel, false}, {false, 0x90 | CodeNoKeyFlag, false}})
        EXPECT_EQ(ToggleAfterKeyChosen(toggle, key), follows) << toggle << key;
}

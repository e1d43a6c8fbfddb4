// A quiet input state for the input tests: default bindings, nothing held,
// no capture, all roles matched, no message pending, no hook installed.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>

#include "base/app_messages.h"
#include "fakes/fake_platform.h"
#include "input/hotkey_bindings.h"
#include "input/input_hooks.h"

inline WindowHandle const TestMainWindow = reinterpret_cast<WindowHandle>(0x1001);

class InputTest : public testing::Test {
protected:
    void SetUp() override { ResetInput(); }

    static void ResetInput() {
        ResetFakeSystem();
        ResetBindingsToDefaults();
        ResetKeyStates();
        SetRoleFilter(-1);
        SetHookCaptureWindow(nullptr);
        KeyPending = PointerPending = CopyPending = PinPending = ClearPinsPending = 0;
        MainWindow = TestMainWindow;
    }
    // A key event as the keyboard hook feeds it (generic modifiers count as left).
    static void Feed(uint32_t vk, bool down) {
        const uint32_t code = SidedKeyOf(vk, true);
        FeedKeyEvent(code, GenericKeyOf(code), down);
    }
    static void Bind(int32_t role, uint32_t code, uint16_t mods, bool dead = false) {
        SetBinding(BindingAt(role), HotkeyBinding{.code = code, .mods = mods, .dead = dead});
    }
    static HotkeyBinding Current(int32_t role) { return *BindingAt(role); }
    static size_t CountPosts(uint32_t message) {
        return size_t(std::ranges::count(FakeSystem.posts, message, &FakePost::message));
    }
    // Lets the fake clock run while a lock is waited for.
    static void LetTimePassWhileWaiting() { FakeSystem.sleepExtraCounts = FakeSystem.frequency / 1000; }
};

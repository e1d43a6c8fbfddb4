// A key left down in another application is the worst a keyboard hook can do:
// each sequence ends with every key up, and the applications must have seen
// each key's press and release alike.
#include <vector>

#include "input/hook_lock.h"
#include "input_test_support.h"

namespace {

constexpr uint32_t LCtrl = 0xA2, NumLock = 0x90, J = 0x4A, K = 0x4B, F8 = 0x77;
WindowHandle const Combo = reinterpret_cast<WindowHandle>(0x2002);

struct Step {
    uint32_t message, vk;
    bool swallowed, toCombo;
    int32_t roleFilter = -1;
};

TEST_F(InputTest, ReleaseFollowsItsPress) {
    const struct {
        const char* name;
        int32_t role;
        uint32_t code;
        uint16_t mods;
        bool capture;
        std::vector<Step> steps;
    } cases[] = {
        {"dead Ctrl+K, Ctrl released first", ToggleRuler, K, ModCtrl, false,
         {{WmKeyDown, LCtrl, 0, 0}, {WmKeyDown, K, 1, 0}, {WmKeyUp, LCtrl, 0, 0}, {WmKeyDown, K, 1, 0},
          {WmKeyUp, K, 1, 0}}},
        {"dead K pressed with Ctrl, released alone", ToggleRuler, K, 0, false,
         {{WmKeyDown, LCtrl, 0, 0}, {WmKeyDown, K, 0, 0}, {WmKeyUp, LCtrl, 0, 0}, {WmKeyUp, K, 0, 0}}},
        {"dead Ctrl+K, Ctrl pressed during K", ToggleRuler, K, ModCtrl, false,
         {{WmKeyDown, K, 0, 0}, {WmKeyDown, LCtrl, 0, 0}, {WmKeyDown, K, 0, 0}, {WmKeyUp, K, 0, 0}}},
        {"dead F8 pressed with the ruler off, released with it on", MoveStartPoint, F8, 0, false,
         {{WmKeyDown, F8, 0, 0, ToggleRuler}, {WmKeyUp, F8, 0, 0}}},
        {"a release ends the capture at once", ToggleRuler, NumLock, 0, true,
         {{WmKeyDown, LCtrl, 1, 1}, {WmKeyDown, K, 1, 1}, {WmKeyUp, K, 1, 1}, {WmKeyDown, J, 0, 0},
          {WmKeyUp, J, 0, 0}, {WmKeyUp, LCtrl, 1, 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetInput();
        Bind(c.role, c.code, c.mods, true);
        SetHookCaptureWindow(c.capture ? Combo : nullptr);
        for (size_t i = 0; i < c.steps.size(); ++i) {
            const Step& s = c.steps[i];
            SCOPED_TRACE(i);
            SetRoleFilter(s.roleFilter);
            FakeSystem.posts.clear();
            KeyboardHookEvent event;
            event.message = s.message;
            event.vkCode = s.vk;
            event.flags = s.message == WmKeyUp ? KeyFlagUp : 0;
            EXPECT_EQ(HandleKeyboardHookEvent(0, event), s.swallowed);
            EXPECT_EQ(CountPosts(MsgHotkeyEvent), s.toCombo ? 1u : 0u);
        }
    }
}

// The poll must release what the hook could not: its lock was busy for the
// release, whether or not the key's toggled bit has moved since.
TEST_F(InputTest, ResyncReleasesWhatTheHookMissed) {
    for (int16_t physicalAfter : {0x0001, 0x0000}) {  // Ctrl tapped once, or twice
        ResetInput();
        HandleKeyboardHookEvent(0, KeyboardHookEvent{WmKeyDown, LCtrl});
        LetTimePassWhileWaiting();
        ASSERT_TRUE(AcquireHookLock(-1));
        HandleKeyboardHookEvent(0, KeyboardHookEvent{WmKeyUp, LCtrl});
        ReleaseHookLock();
        FakeSystem.keyState[LCtrl] = physicalAfter;
        EXPECT_FALSE(IsRoleHeld(SlowMouse, true)) << physicalAfter;
    }
}

}  // namespace

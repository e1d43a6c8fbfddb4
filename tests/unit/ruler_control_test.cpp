#include <gtest/gtest.h>

#include "app/mouse_speed.h"
#include "app/ruler_control.h"
#include "fakes/fake_platform.h"
#include "input/hotkey_bindings.h"
#include "input/input_hooks.h"
#include "settings/settings.h"

namespace {

constexpr uint32_t F8 = 0x77;

class RulerControlTest : public testing::Test {
protected:
    void SetUp() override {
        ResetFakeSystem();
        FakeAppCalls = {};
        ResetBindingsToDefaults();
        ResetKeyStates();
        Settings.invert = false;
        RulerOn = false;
        PerfClock::Now(LastOffClock);
        AdvanceMs(5000);  // the process started a while ago
    }
    void TearDown() override { SetSlowMouse(false); }

    static void Switch(bool light, int64_t msLater = 0) {
        AdvanceMs(msLater);
        FakeSystem.keyState[0x90] = light ? 1 : 0;  // Num Lock's light
        EvaluateRulerState(false);
    }
    static void AdvanceMs(int64_t ms) { AdvanceFakeClockMicroseconds(ms * 1000); }
};

// A forced start follows the light (or its opposite) and never opens the options; while off, only the
// toggle key is matched, so a dead key of another role reaches the applications.
TEST_F(RulerControlTest, ForcedStartFollowsTheLockState) {
    const struct { bool light, invert, rulerOn; } cases[] = {{0, 0, 0}, {1, 0, 1}, {0, 1, 1}, {1, 1, 0}};
    for (const auto& c : cases) {
        SetUp();
        SetBinding(BindingAt(MoveStartPoint), HotkeyBinding{.code = F8, .dead = true});
        FakeSystem.keyState[0x90] = c.light ? 1 : 0;
        Settings.invert = c.invert;
        EXPECT_TRUE(EvaluateRulerState(true));
        EXPECT_EQ(RulerOn, c.rulerOn) << c.light << c.invert;
        EXPECT_EQ(FakeAppCalls.fadeIns * 10 + FakeAppCalls.fadeOuts, c.rulerOn ? 10 : 1);
        EXPECT_EQ(MatchBinding(F8, F8, true), c.rulerOn);
        EXPECT_FALSE(EvaluateRulerState(false));  // nothing changed since
        EXPECT_EQ(FakeAppCalls.pollTimerArms, 1);
        EXPECT_TRUE(FakeAppCalls.optionsOpened.empty());
    }
}

TEST_F(RulerControlTest, TwoSwitchOffsWithinOneSecondOpenTheOptions) {
    for (const auto& [msBetweenOffs, opens] : {std::pair{999, true}, std::pair{1000, false}}) {
        SetUp();
        EvaluateRulerState(true);  // starts off: stamps the switch-off
        Switch(true, 2000);
        Switch(false);  // first off: long after the start
        Switch(true, msBetweenOffs / 2);
        Switch(false, msBetweenOffs - msBetweenOffs / 2);
        EXPECT_EQ(FakeAppCalls.optionsOpened, opens ? std::vector<bool>{false} : std::vector<bool>{}) << msBetweenOffs;
    }
}

TEST_F(RulerControlTest, HeldKeysDriveTheMeasurementOnlyWhileOn) {
    const struct { std::vector<int32_t> down; bool moveStart, rotate, slow; } cases[] = {
        // Shift moves the start point, Alt rotates, Alt+Shift sets the angle, Ctrl slows the mouse.
        {{}, false, false, false}, {{0xA0}, true, false, false}, {{0xA4}, false, true, false},
        {{0xA4, 0xA0}, true, true, false}, {{0xA2, 0xA0}, true, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.down.size());
        SetUp();
        FakeSystem.pointer = {700, 300};
        Switch(true);
        FakeAppCalls.pointerUpdates.clear();
        for (int32_t vk : c.down) FakeSystem.asyncKeyState[vk] = int16_t(0x8000);
        PollModes();
        ASSERT_EQ(FakeAppCalls.pointerUpdates.size(), 1u);
        const PointerUpdate& u = FakeAppCalls.pointerUpdates[0];
        EXPECT_TRUE(u.x == 700 && u.y == 300 && u.moveStart == c.moveStart && u.reflectionKey == c.rotate);
        EXPECT_EQ(FakeSystem.mouseSpeed, c.slow ? 1 : 10);
        Switch(false);  // restores the speed and stops following the pointer
        EXPECT_EQ(FakeSystem.mouseSpeed, 10);
        PollModes();
        EXPECT_EQ(FakeAppCalls.pointerUpdates.size(), 1u);
    }
}

// The user's speed is saved once per slow-down and given back once; a
// failed slow-down leaves nothing to give back.
TEST(MouseSpeed, SavesOnceAndRestoresOnce) {
    ResetFakeSystem();
    FakeSystem.mouseSpeed = 14;
    SetSlowMouse(true);
    SetSlowMouse(true);
    EXPECT_EQ(FakeSystem.mouseSpeed, 1);
    SetSlowMouse(false);
    EXPECT_EQ(FakeSystem.mouseSpeed, 14);
    FakeSystem.mouseSpeed = 7;  // the user's own change after the restore
    SetSlowMouse(false);
    FakeSystem.mouseSpeedCallsSucceed = false;
    SetSlowMouse(true);
    FakeSystem.mouseSpeedCallsSucceed = true;
    SetSlowMouse(false);
    EXPECT_EQ(FakeSystem.mouseSpeed, 7);
    SetSlowMouse(true);  // tried again
    EXPECT_EQ(FakeSystem.mouseSpeed, 1);
    SetSlowMouse(false);
}

}  // namespace

#include <gtest/gtest.h>

#include "app/mouse_speed.h"
#include "app/ruler_control.h"
#include "fakes/fake_app_calls.h"
#include "fakes/fake_platform.h"
#include "input/hotkey_bindings.h"
#include "settings/settings.h"

namespace {

constexpr int16_t KeyDown = int16_t(0x8000);
constexpr int16_t KeyToggled = 1;

class RulerControlTest : public testing::Test {
protected:
    void SetUp() override {
        ResetFakeSystem();
        FakeAppCalls = {};
        ResetBindingsToDefaults();
        ResetKeyStates();
        Settings.toggle = true;
        Settings.invert = false;
        Settings.fade = 300;
        RulerOn = false;
        PerfClock::Now(LastOffClock);
        AdvanceFakeClockMicroseconds(5'000'000);  // the process started a while ago
    }
    void TearDown() override { SetSlowMouse(false); }

    // Num Lock's light as the keyboard reports it.
    static void SetNumLockLight(bool on) { FakeSystem.keyState[0x90] = on ? KeyToggled : 0; }
    static void AdvanceMs(int64_t ms) { AdvanceFakeClockMicroseconds(ms * 1000); }
};

TEST_F(RulerControlTest, ForcedStartFollowsTheLockStateAndNeverOpensOptions) {
    struct Case {
        bool light, invert, rulerOn;
    } cases[] = {{false, false, false}, {true, false, true}, {false, true, true}, {true, true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "light=" << c.light << " invert=" << c.invert);
        SetUp();
        SetNumLockLight(c.light);
        Settings.invert = c.invert;
        AdvanceMs(10);  // close to the previous switch-off: still no options window
        EXPECT_TRUE(EvaluateRulerState(true));
        EXPECT_EQ(RulerOn, c.rulerOn);
        EXPECT_EQ(FakeAppCalls.fadeIns.size(), c.rulerOn ? 1u : 0u);
        EXPECT_EQ(FakeAppCalls.fadeOuts.size(), c.rulerOn ? 0u : 1u);
        EXPECT_TRUE(FakeAppCalls.optionsOpened.empty());
        EXPECT_EQ(FakeAppCalls.pollTimerArms, 1);
        // Nothing changed since: an unforced evaluation does nothing.
        EXPECT_FALSE(EvaluateRulerState(false));
        EXPECT_EQ(FakeAppCalls.pollTimerArms, 1);
    }
}

TEST_F(RulerControlTest, TwoSwitchOffsWithinOneSecondOpenTheOptions) {
    struct Case {
        int64_t msBetweenOffs;
        bool opens;
    } cases[] = {{400, true}, {999, true}, {1000, false}, {1500, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.msBetweenOffs);
        SetUp();
        SetNumLockLight(false);
        EvaluateRulerState(true);  // starts off: stamps the switch-off
        AdvanceMs(2000);
        SetNumLockLight(true);
        EXPECT_TRUE(EvaluateRulerState(false));
        SetNumLockLight(false);
        EXPECT_TRUE(EvaluateRulerState(false));  // first off: long after the start
        EXPECT_TRUE(FakeAppCalls.optionsOpened.empty());
        AdvanceMs(c.msBetweenOffs / 2);
        SetNumLockLight(true);
        EvaluateRulerState(false);
        AdvanceMs(c.msBetweenOffs - c.msBetweenOffs / 2);
        SetNumLockLight(false);
        EvaluateRulerState(false);
        ASSERT_EQ(FakeAppCalls.optionsOpened.size(), c.opens ? 1u : 0u);
        if (c.opens) {
            EXPECT_FALSE(FakeAppCalls.optionsOpened[0]);  // restored, not minimized
        }
    }
}

TEST_F(RulerControlTest, HeldKeysDriveTheMeasurementOnlyWhileOn) {
    struct Case {
        std::vector<int32_t> down;  // virtual keys held
        bool moveStart, rotate, slow;
    } cases[] = {
        {{}, false, false, false},
        {{0xA0}, true, false, false},              // Shift: move the start point
        {{0xA4}, false, true, false},              // Alt: rotate
        {{0xA4, 0xA0}, true, true, false},         // Alt+Shift: set the angle
        {{0xA2}, false, false, true},              // Ctrl: slow mouse
        {{0xA2, 0xA0}, true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.down.size() << " keys, move=" << c.moveStart << " rotate=" << c.rotate);
        SetUp();
        FakeSystem.pointer = {700, 300};
        FakeSystem.mouseSpeed = 10;
        SetNumLockLight(true);
        EvaluateRulerState(true);
        FakeAppCalls.pointerUpdates.clear();
        for (int32_t vk : c.down) FakeSystem.asyncKeyState[vk] = KeyDown;
        PollModes();
        ASSERT_EQ(FakeAppCalls.pointerUpdates.size(), 1u);
        const PointerUpdate& u = FakeAppCalls.pointerUpdates[0];
        EXPECT_EQ(u.x, 700);
        EXPECT_EQ(u.y, 300);
        EXPECT_EQ(u.moveStart, c.moveStart);
        EXPECT_EQ(u.reflectionKey, c.rotate);
        EXPECT_EQ(FakeSystem.mouseSpeed, c.slow ? 1 : 10);
        // Switching off restores the speed and stops following the pointer.
        SetNumLockLight(false);
        EXPECT_TRUE(EvaluateRulerState(false));
        EXPECT_EQ(FakeSystem.mouseSpeed, 10);
        PollModes();
        EXPECT_EQ(FakeAppCalls.pointerUpdates.size(), 1u);
    }
}

TEST(MouseSpeed, SavesOnceAndRestoresOnce) {
    ResetFakeSystem();
    FakeSystem.mouseSpeed = 14;
    SetSlowMouse(false);  // nothing saved: no system call
    EXPECT_EQ(FakeSystem.mouseSpeedReads + FakeSystem.mouseSpeedWrites, 0);
    SetSlowMouse(true);
    SetSlowMouse(true);  // already slow: the saved speed stays the user's
    EXPECT_EQ(FakeSystem.mouseSpeedReads, 1);
    EXPECT_EQ(FakeSystem.mouseSpeed, 1);
    SetSlowMouse(false);
    SetSlowMouse(false);
    EXPECT_EQ(FakeSystem.mouseSpeed, 14);
    EXPECT_EQ(FakeSystem.mouseSpeedWrites, 2);

    // A failed slow-down leaves the mouse normal, and the next call tries again.
    FakeSystem.mouseSpeedCallsSucceed = false;
    SetSlowMouse(true);
    FakeSystem.mouseSpeedCallsSucceed = true;
    SetSlowMouse(false);  // nothing saved: no write
    EXPECT_EQ(FakeSystem.mouseSpeedWrites, 2);
    SetSlowMouse(true);
    EXPECT_EQ(FakeSystem.mouseSpeed, 1);
    SetSlowMouse(false);
    EXPECT_EQ(FakeSystem.mouseSpeed, 14);
}

}  // namespace

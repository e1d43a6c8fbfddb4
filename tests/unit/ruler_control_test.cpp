#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <tuple>
#include <utility>

#include "app/mouse_speed.h"
#include "app/ruler_control.h"
#include "base/app_messages.h"
#include "fakes/fake_platform.h"
#include "input/hotkey_bindings.h"
#include "input/input_hooks.h"
#include "measure/kept_measurement.h"
#include "overlay/display_object.h"
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

// The program as it runs, from the hooks' events through the main loop's
// messages to the measurement. Steps: S A C + or - (Shift, Alt, Ctrl down or
// up), N (a Num Lock tap), t (a poll tick), m (the mouse hook reports the
// pointer at x,y; it reads as that, pulled onto the desktop: Wine reports
// some moves 65536 px off), p (the pointer reads x,y, no report: Wine caught
// up). The rows start from the start point 600,500, the
// pointer at 700,500, the reference angle 0, the ruler on.
TEST_F(RulerControlTest, HeldRolesMoveTheMeasurementByItsRules) {
    const struct { const char* steps; Point start, current; double angle; bool slow; } cases[] = {
        {"S+ m710,490 m730,480 S-", {630, 480}, {730, 480}, 0, false},
        {"S+ m710,490 S- m730,480", {610, 490}, {730, 480}, 0, false},
        {"A+ m600,600 A- m700,500", {600, 500}, {700, 500}, 90, false},  // bearing 90 to 180
        {"A+ S+ m500,500 A- m510,490 S-", {610, 490}, {510, 490}, -90, false},  // set, then drag
        {"S+ m710,510 A+ m610,610 S- m710,510 A- m720,500", {610, 510}, {720, 500}, 90, false},  // drag, set, rotate
        {"C+ m650,450 S+ m660,440 C- m670,430 S-", {620, 480}, {670, 430}, 0, false},
        {"C+ m650,450", {600, 500}, {650, 450}, 0, true},
        // Num Lock with a modifier held is no toggle key: the next tick sees the light.
        {"C+ m650,450 N t", {600, 500}, {650, 450}, 0, false},
        {"S+ N t m750,450 S- N", {600, 500}, {750, 450}, 0, false},  // nothing follows while off
        {"S+ m710,490 N t m750,450 N t S-", {650, 450}, {750, 450}, 0, false},  // the way made while off counts
        {"A+ t t t t t t t t t t A- N N S+ m715,490 m730,480 S-", {630, 480}, {730, 480}, 0, false},
        {"S+ m710,490 m-64811,485 t m730,480 S-", {630, 480}, {730, 480}, 0, false},  // 725 - 65536
        {"S+ m-64826,490 m-64806,480 p730,480 t S-", {630, 480}, {730, 480}, 0, false},  // no good report follows
        {"S+ m-64826,490 m-64816,480 p0,490 t p720,480 t S-", {620, 480}, {720, 480}, 0, false},  // a late reading
        // A screen's width or height off the desktop is possible, a pixel more is not.
        {"S+ m-1920,490 S-", {0, 490}, {0, 490}, 0, false}, {"S+ m-1921,490 S-", {600, 500}, {700, 500}, 0, false},
        {"S+ m700,2159 S-", {600, 1079}, {700, 1079}, 0, false}, {"S+ m700,2160 S-", {600, 500}, {700, 500}, 0, false},
    };
    const SetHookCall set = [](void*) { return reinterpret_cast<void*>(1); };  // as the program runs: hooked
    ASSERT_TRUE(ChangeHook(HookKind::Keyboard, nullptr, true, set, [](void*) { return true; }));
    KeyPending = PointerPending = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.steps);
        SetUp();
        ForgetPointerReports();
        TheDisplay.measure.startPoint = {600, 500};
        TheDisplay.measure.currentPoint = FakeSystem.pointer = {700, 500};
        TheDisplay.measure.referenceAngle = 0.0;
        Switch(true);
        std::istringstream steps(c.steps);
        for (std::string step; steps >> step;) {
            AdvanceMs(30);
            const char kind = step[0];
            Point p;
            std::sscanf(step.c_str() + 1, "%d,%d", &p.x, &p.y);
            if (kind == 'N') FakeSystem.keyState[0x90] ^= 1;  // its light
            const int32_t vk = kind == 'S' ? 0xA0 : kind == 'A' ? 0xA4 : kind == 'C' ? 0xA2 : kind == 'N' ? 0x90 : 0;
            for (const bool down : {true, false}) {
                if (vk == 0 || (kind != 'N' && (step[1] == '+') != down)) continue;  // N: down and up
                FakeSystem.asyncKeyState[vk] = down ? int16_t(0x8000) : 0;
                HandleKeyboardHookEvent(0, {.message = down ? WmKeyDown : WmKeyUp, .vkCode = uint32_t(vk)});
            }
            if (kind == 'm') FakeSystem.pointer = {std::clamp(p.x, 0, 1919), std::clamp(p.y, 0, 1079)};
            if (kind == 'p') FakeSystem.pointer = p;
            if (kind == 'm') HandleMouseHookEvent(0, {.message = WmMouseMove, .x = p.x, .y = p.y});
            if (kind == 't') AdvanceMs(100), PollTimerTick();
            // The main loop's handling of what the hooks posted.
            for (const FakePost& post : std::exchange(FakeSystem.posts, {})) {
                if (post.message == MsgKeyEvent) ClearKeyPending(), EvaluateRulerState(false);
                if (post.message == MsgPointerEvent && (ClearPointerPending(), RulerOn)) PollModes();
            }
        }
        const MeasureState& m = TheDisplay.measure;
        const double angle = m.referenceAngle;
        EXPECT_EQ(std::tuple(m.startPoint.x, m.startPoint.y, m.currentPoint.x, m.currentPoint.y, angle),
                  std::tuple(c.start.x, c.start.y, c.current.x, c.current.y, c.angle));
        EXPECT_EQ(FakeSystem.mouseSpeed, c.slow ? 1 : 10);
    }
    ChangeHook(HookKind::Keyboard, nullptr, false, nullptr, [](void*) { return true; });
    ForgetPointerReports();
}

// The icon's menu copies and a calibration measures the line shown when the key switched the ruler off;
// a switch from the menu (the pointer at the icon) keeps the one before, the start only the start point.
TEST_F(RulerControlTest, OnlyTheKeysSwitchOffKeepsTheMeasurement) {
    enum Action { Start, Key, Menu };
    const struct { Action action; int32_t pointerX, keptX; bool shown; } steps[] = {{Start, 300, 100, false},
        {Key, 300, 100, false}, {Key, 300, 300, true}, {Key, 1900, 300, true}, {Menu, 1900, 300, true},
        {Menu, 500, 300, true}, {Key, 500, 500, true}};
    TheDisplay.measure.startPoint = {100, 100};
    bool light = false;
    for (const auto& step : steps) {
        TheDisplay.measure.currentPoint = {step.pointerX, 200};
        if (step.action == Start) EvaluateRulerState(true);
        if (step.action == Key) Switch(light = !light, 2000);
        if (step.action == Menu) SwitchRulerByCommand();
        const KeptMeasurement k = LastKeptMeasurement();
        EXPECT_TRUE(k.line.start.x == 100 && k.line.end.x == step.keptX && k.shown == step.shown) << &step - steps;
    }
}

// Without the keyboard hook the poll copies once a press, also a tap between polls, none while off.
TEST_F(RulerControlTest, WithoutTheHookThePollCopies) {
    const struct { int16_t pause; bool rulerOn; size_t copies; /* so far */ } steps[] = {{0, true, 0}, {1, true, 1},
        {1, true, 1}, {int16_t(0x8000), true, 2}, {0, true, 2}, {1, false, 2}, {1, true, 2}, {0, true, 3}};
    bool light = false;
    for (const auto& step : steps) {
        FakeSystem.keyState[0x13] = step.pause;
        if (step.rulerOn != RulerOn) Switch(light = !light, 2000);
        PollModes();
        CopyPending = 0;  // the main loop took it
        EXPECT_EQ(size_t(std::ranges::count(FakeSystem.posts, MsgCopyMeasurement, &FakePost::message)), step.copies)
            << &step - steps;
    }
}

// The user's speed is saved once per slow-down and given back once; a failed slow-down leaves nothing to give
// back. Steps: the user's own speed set first (0: none), the system's calls succeed, slow or not; the speed after.
TEST(MouseSpeed, SavesOnceAndRestoresOnce) {
    const struct { int32_t userSpeed; bool succeed, slow; int32_t speed; } steps[] = {
        {14, 1, 1, 1}, {0, 1, 1, 1}, {0, 1, 0, 14}, {7, 1, 0, 7}, {0, 0, 1, 7}, {0, 1, 0, 7}, {0, 1, 1, 1}, {0, 1, 0, 7}};
    ResetFakeSystem();
    for (const auto& s : steps) {
        if (s.userSpeed) FakeSystem.mouseSpeed = s.userSpeed;
        FakeSystem.mouseSpeedCallsSucceed = s.succeed;
        SetSlowMouse(s.slow);
        EXPECT_EQ(FakeSystem.mouseSpeed, s.speed) << &s - steps;
    }
}

}  // namespace

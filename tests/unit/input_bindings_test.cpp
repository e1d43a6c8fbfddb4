#include <vector>

#include "input/hook_lock.h"
#include "input_test_support.h"

namespace {

constexpr uint32_t NumLock = 0x90;
constexpr uint32_t LShift = 0xA0, RShift = 0xA1, LCtrl = 0xA2, RCtrl = 0xA3, LAlt = 0xA4, AltGr = 0xA5;
constexpr uint32_t LWin = 0x5B, RWin = 0x5C;
constexpr uint32_t AllHeld = 0x8000;
constexpr int16_t Down = int16_t(0x8000);

using BindingsTest = InputTest;

TEST_F(BindingsTest, ModifiersHeldNotCountingTheKeyItself) {
    struct Case {
        std::vector<uint32_t> down;
        uint32_t code;
        uint16_t mods;
    } cases[] = {
        {{}, AllHeld, 0},
        {{LShift}, AllHeld, ModShift},
        {{LShift}, LShift, 0},              // a key is not its own modifier
        {{LShift}, 0x10, 0},                // nor is its generic code
        {{LShift, RShift}, LShift, ModShift},  // ...unless the other side is held too
        {{RShift}, LShift, ModShift},
        {{LCtrl, LAlt}, 0x41, ModCtrl | ModAlt},
        {{LCtrl, AltGr}, AllHeld, ModAltGr},  // Alt Gr arrives as Left Ctrl + Right Alt
        {{LCtrl, RCtrl, AltGr}, AllHeld, ModCtrl | ModAltGr},
        {{LCtrl, LAlt, AltGr}, AllHeld, ModAlt | ModAltGr},
        {{LCtrl, AltGr}, AltGr, 0},
        {{RCtrl, AltGr}, AllHeld, ModCtrl | ModAlt},  // no Left Ctrl: a plain right Alt
        {{AltGr}, AllHeld, ModAlt},
        {{LWin}, AllHeld, ModWindows},
        {{RWin}, CodeWindows, 0},
        {{LWin, LShift, LCtrl, LAlt}, 0x41, ModWindows | ModShift | ModCtrl | ModAlt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "keys " << c.down.size() << ", code 0x" << std::hex << c.code);
        ResetInput();
        for (uint32_t vk : c.down) Feed(vk, true);
        EXPECT_EQ(GetModifiers(c.code), c.mods);
    }
}

// Each step feeds one event and checks one role's state afterwards.
TEST_F(BindingsTest, HeldRepeatAndToggleFollowTheEvents) {
    struct Step {
        uint32_t vk;
        bool down;
        bool held, repeat, toggle;
    };
    struct Case {
        const char* name;
        int32_t role;
        uint32_t code;
        uint16_t mods;
        std::vector<Step> steps;
    } cases[] = {
        {"Num Lock flips once per press",
         ToggleRuler, NumLock, 0,
         {{NumLock, true, true, false, true}, {NumLock, true, true, true, true}, {NumLock, false, false, false, true},
          {NumLock, true, true, false, false}}},
        {"exact modifiers: Ctrl + Num Lock does not hold",
         ToggleRuler, NumLock, 0,
         {{LCtrl, true, false, false, false}, {NumLock, true, false, false, false}, {LCtrl, false, false, false, false},
          {NumLock, true, true, false, true}}},
        {"hold-down key tolerates other modifiers",
         MoveStartPoint, 0x46, ModCtrl,
         {{LShift, true, false, false, false}, {LCtrl, true, false, false, false}, {0x46, true, true, false, true}}},
        {"generic Shift matches both sides",
         ToggleRuler, 0x10, 0,
         {{RShift, true, true, false, true}, {RShift, false, false, false, true}, {LShift, true, true, false, false}}},
        {"Left Shift binding ignores Right Shift",
         ToggleRuler, LShift, 0,
         {{RShift, true, false, false, false}, {RShift, false, false, false, false}, {LShift, true, true, false, true}}},
        {"modifier-only Alt+Shift",
         SetReflection, CodeAlwaysDown, ModAlt | ModShift,
         {{LAlt, true, false, false, false}, {0x41, true, false, false, false}, {RShift, true, true, false, true},
          {RShift, false, false, false, true}, {RShift, true, true, false, false}}},
        {"Always Down is held from the first modifier event on",
         SlowMouse, CodeAlwaysDown, 0,
         {{0x41, true, false, false, false}, {LShift, false, true, false, true}, {LShift, true, true, true, true}}},
        {"No Key never holds",
         ToggleRuler, CodeNoKeyFlag | NumLock, 0,
         {{NumLock, true, false, false, false}, {LShift, true, false, false, false}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetInput();
        Bind(c.role, c.code, c.mods);
        int step = 0;
        for (const Step& s : c.steps) {
            SCOPED_TRACE(step++);
            Feed(s.vk, s.down);
            const HotkeyBinding b = Current(c.role);
            EXPECT_EQ(b.held, s.held);
            EXPECT_EQ(b.repeat, s.repeat);
            EXPECT_EQ(b.toggle, s.toggle);
        }
    }
}

TEST_F(BindingsTest, MostSpecificHeldRoleWins) {
    const int32_t roles[] = {SetReflection, RotateReflection, MoveStartPoint};
    struct Case {
        std::vector<uint32_t> down;
        int32_t picked;
    } cases[] = {
        {{LAlt, LShift}, SetReflection}, {{RShift, LAlt}, SetReflection}, {{LAlt}, RotateReflection},
        {{LShift}, MoveStartPoint},      {{LCtrl}, -1},                    {{}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.down.size());
        ResetInput();
        for (uint32_t vk : c.down) Feed(vk, true);
        EXPECT_EQ(PickHeldRole(roles, 3, false), c.picked);
    }
    EXPECT_EQ(PickHeldRole(roles, 0, false), -1);
    EXPECT_EQ(PickHeldRole(nullptr, 3, false), -1);
    // On equal specificity the earlier entry wins.
    Bind(MoveStartPoint, CodeAlwaysDown, ModAlt);
    Feed(LAlt, true);
    const int32_t tie[] = {MoveStartPoint, RotateReflection};
    EXPECT_EQ(PickHeldRole(tie, 2, false), MoveStartPoint);
    EXPECT_EQ(BindingSpecificity(ToggleRuler), 1);
    EXPECT_EQ(BindingSpecificity(SetReflection), 2);
    EXPECT_EQ(BindingSpecificity(7), 0);
    EXPECT_FALSE(IsRoleHeld(-1, true));
}

TEST_F(BindingsTest, SetBindingDerivesMaskFromTheRole) {
    struct Case {
        int32_t role;
        uint16_t mods;
        uint16_t storedMods, storedMask;
    } cases[] = {
        {MoveStartPoint, ModCtrl | ModShift, 0x06, 0x06},
        {ToggleRuler, ModCtrl | ModShift, 0x06, 0x1F},
        {SlowMouse, 0xFFFF, 0x1F, 0x1F},
        {ToggleRuler, 0xFFE0, 0, 0x1F},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.role);
        ResetInput();
        Bind(c.role, 0x41, c.mods, true);
        EXPECT_EQ(Current(c.role).code, 0x41u);
        EXPECT_EQ(Current(c.role).mods, c.storedMods);
        EXPECT_EQ(Current(c.role).mask, c.storedMask);
        EXPECT_TRUE(Current(c.role).dead);
    }

    // The same key again, or only a new dead flag, keeps the run-time state;
    // other modifiers start it afresh.
    ResetInput();
    Bind(MoveStartPoint, CodeAlwaysDown, ModCtrl | ModShift);
    Feed(LCtrl, true);
    Feed(LShift, true);
    ASSERT_TRUE(Current(MoveStartPoint).held);
    ASSERT_TRUE(Current(MoveStartPoint).toggle);
    Bind(MoveStartPoint, CodeAlwaysDown, ModCtrl | ModShift, true);
    EXPECT_TRUE(Current(MoveStartPoint).held);
    EXPECT_TRUE(Current(MoveStartPoint).toggle);
    EXPECT_TRUE(Current(MoveStartPoint).dead);
    Bind(MoveStartPoint, CodeAlwaysDown, ModCtrl, true);
    EXPECT_FALSE(Current(MoveStartPoint).held);
    EXPECT_FALSE(Current(MoveStartPoint).toggle);

    // A record that is not one of the table's is not written.
    HotkeyBinding stray;
    HotkeyBinding source;
    source.code = 0x42;
    SetBinding(&stray, source);
    SetBinding(nullptr, source);
    EXPECT_EQ(stray.code, 0u);
}

// Without the keyboard hook every GetBinding compares the physical key
// states with the last ones seen.
TEST_F(BindingsTest, PollingSeesLockChangesAndHeldKeys) {
    struct Case {
        const char* name;
        int16_t async, sync;  // Num Lock at the poll
        bool held, toggle;
    } cases[] = {
        {"press and release between polls", 0, 1, false, true},
        {"press still held", Down, int16_t(Down | 1), true, true},
        {"held, light going off", Down, Down, true, false},
        {"only GetKeyState says down", 0, int16_t(Down | 1), true, true},
        {"nothing changed", 0, 0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetInput();
        FakeSystem.asyncKeyState[NumLock] = c.async;
        FakeSystem.keyState[NumLock] = c.sync;
        HotkeyBinding copy;
        GetBinding(BindingAt(ToggleRuler), copy, false);
        EXPECT_EQ(copy.held, c.held);
        EXPECT_EQ(copy.toggle, c.toggle);
    }

    // Modifiers are polled as well, and a locked table is left alone.
    ResetInput();
    FakeSystem.asyncKeyState[LShift] = Down;
    FakeSystem.sleepExtraCounts = FakeSystem.frequency / 1000;  // time passes while waiting
    ASSERT_TRUE(AcquireHookLock(-1));
    ResyncKeyStates();
    EXPECT_EQ(GetModifiers(AllHeld), 0);
    ReleaseHookLock();
    EXPECT_EQ(GetModifiersSynced(AllHeld, true), ModShift);
    EXPECT_TRUE(IsRoleHeld(MoveStartPoint, false));
}

TEST_F(BindingsTest, CodeConversions) {
    struct Case {
        uint32_t code;
        uint32_t generic, left, right;
        uint16_t bit;
    } cases[] = {
        {0x10, 0x10, LShift, RShift, ModShift}, {LShift, 0x10, LShift, LShift, ModShift},
        {RCtrl, 0x11, RCtrl, RCtrl, ModCtrl},   {0x12, 0x12, LAlt, AltGr, ModAlt},
        {AltGr, 0x12, AltGr, AltGr, ModAltGr},  {RWin, CodeWindows, RWin, RWin, ModWindows},
        {CodeWindows, CodeWindows, LWin, RWin, ModWindows},
        {0x41, 0x41, 0x41, 0x41, 0},            {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(GenericKeyOf(c.code), c.generic);
        EXPECT_EQ(SidedKeyOf(c.code, true), c.left);
        EXPECT_EQ(SidedKeyOf(c.code, false), c.right);
        EXPECT_EQ(ModifierBitOf(c.code), c.bit);
    }
    const std::pair<uint16_t, uint32_t> keys[] = {{ModCtrl, 0x11},         {ModAlt, 0x12},
                                                  {ModShift, 0x10},        {ModWindows, CodeWindows},
                                                  {ModAltGr, AltGr},       {ModCtrl | ModAlt, CodeAlwaysDown},
                                                  {0, CodeAlwaysDown},     {0x8000, CodeAlwaysDown}};
    for (const auto& [bit, key] : keys) EXPECT_EQ(KeyOfModifierBit(bit), key) << bit;
    const std::pair<uint32_t, bool> lockKeys[] = {{0x14, true}, {0x2D, true}, {0x90, true}, {0x91, true},
                                                  {0x92, false}, {0x13, false}, {0x8090, false}};
    for (const auto& [code, lock] : lockKeys) EXPECT_EQ(IsLockKey(code), lock) << code;
}

}  // namespace

#include <gtest/gtest.h>

#include "input/hotkey_bindings.h"
#include "options/keyboard_page_rules.h"

namespace {

HotkeyBinding Binding(uint32_t code, uint16_t mods, bool dead) {
    HotkeyBinding b;
    b.code = code;
    b.mods = mods;
    b.dead = dead;
    return b;
}

}  // namespace

TEST(KeyPageRefresh, DeadBoxesAndFallbacks) {
    struct Case {
        const char* name;
        int32_t role;
        HotkeyBinding binding;
        bool hooks;
        bool clearDead, enableDead, replace;
        uint32_t replacement;
    } cases[] = {
        {"Num Lock, hooks on", ToggleRuler, Binding(0x90, 0, false), true, false, true, false, 0},
        {"dead F8, hooks on", MoveStartPoint, Binding(0x77, ModCtrl, true), true, false, true, false, 0},
        {"left mouse alone", ToggleRuler, Binding(0x01, 0, true), true, true, false, false, 0},
        {"left mouse, not dead", MoveStartPoint, Binding(0x01, 0, false), true, false, false, false, 0},
        {"Ctrl + left mouse may be dead", MoveStartPoint, Binding(0x01, ModCtrl, true), true, false, true, false, 0},
        {"Shift", MoveStartPoint, Binding(0x10, 0, true), true, true, false, false, 0},
        {"Ctrl + Alt", SlowMouse, Binding(0x12, ModCtrl, true), true, true, false, false, 0},
        {"Ctrl", SlowMouse, Binding(0x11, 0, false), true, false, false, false, 0},
        {"modifiers alone", SetReflection, Binding(CodeAlwaysDown, ModAlt | ModShift, true), true, true, false,
         false, 0},
        {"Left Shift may be dead", MoveStartPoint, Binding(0xA0, 0, true), true, false, true, false, 0},
        {"switched-off Shift is not Shift", MoveStartPoint, Binding(0x10 | CodeNoKeyFlag, 0, true), true, false,
         true, false, 0},
        {"wheel, hooks on", ToggleRuler, Binding(CodeMouseWheel, 0, true), true, false, true, false, 0},
        // Without the hooks nothing may be dead and nothing above 0xFF works.
        {"Num Lock, hooks off", ToggleRuler, Binding(0x90, 0, true), false, false, false, false, 0},
        {"toggle on the wheel falls back to Num Lock", ToggleRuler, Binding(CodeMouseWheel, ModCtrl, false),
         false, false, false, true, 0x90},
        {"toggle on either Windows key", ToggleRuler, Binding(CodeWindows, 0, false), false, false, false, true,
         0x90},
        {"held role on the wheel becomes No Key", RotateReflection, Binding(CodeMouseWheel, 0, false), false,
         false, false, true, CodeMouseWheel | CodeNoKeyFlag},
        {"held role on the horizontal wheel", SlowMouse, Binding(CodeMouseHWheel, ModShift, true), false, false,
         false, true, CodeMouseHWheel | CodeNoKeyFlag},
        {"already No Key stays", SlowMouse, Binding(CodeMouseWheel | CodeNoKeyFlag, 0, false), false, false, false,
         false, 0},
        {"toggle already No Key stays", ToggleRuler, Binding(CodeWindows | CodeNoKeyFlag, 0, false), false, false,
         false, false, 0},
        {"modifiers alone need no hooks", SetReflection, Binding(CodeAlwaysDown, ModAlt, true), false, true, false,
         false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const KeyRowRefresh r = DecideKeyRowRefresh(c.role, c.binding, c.hooks);
        EXPECT_EQ(r.clearDead, c.clearDead);
        EXPECT_EQ(r.enableDead, c.enableDead);
        EXPECT_EQ(r.replaceBinding, c.replace);
        if (c.replace) {
            EXPECT_EQ(r.replacementCode, c.replacement);
        }
    }
}

TEST(KeyPageRefresh, LockKeyRule) {
    struct Case {
        bool toggle;
        uint32_t key;
        bool expected;
    } cases[] = {
        {false, 0x14, true},           {false, 0x2D, true},
        {false, 0x90, true},           {false, 0x91, true},
        {false, CodeMouseWheel, false}, {true, CodeMouseWheel, false},
        {true, 0x90, true},            {true, 0x51, true},
        {false, 0x51, false},          {true, CodeMouseHWheel, true},
        {false, 0x90 | CodeNoKeyFlag, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.toggle << " " << std::hex << c.key);
        EXPECT_EQ(ToggleAfterKeyChosen(c.toggle, c.key), c.expected);
    }
}

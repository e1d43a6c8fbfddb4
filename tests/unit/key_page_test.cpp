#include <gtest/gtest.h>

#include "input/hotkey_bindings.h"
#include "options/keyboard_page_rules.h"

// Rows: the dead box is cleared, may be ticked, the binding is replaced by
// (0: kept). Without the hooks nothing may be dead and no code above 0xFF works.
TEST(KeyPageRefresh, DeadBoxesAndFallbacks) {
    const struct { const char* name; int32_t role; uint32_t code; uint16_t mods; bool hooks, clearDead, enableDead;
                   uint32_t replacement; } cases[] = {
        {"left mouse alone", ToggleRuler, 0x01, 0, true, true, false, 0},
        {"Ctrl + left mouse may be dead", MoveStartPoint, 0x01, ModCtrl, true, false, true, 0},
        {"Ctrl + Alt", SlowMouse, 0x12, ModCtrl, true, true, false, 0},
        {"modifiers alone", SetReflection, CodeAlwaysDown, ModAlt | ModShift, true, true, false, 0},
        {"Left Shift may be dead", MoveStartPoint, 0xA0, 0, true, false, true, 0},
        {"switched-off Shift is not Shift", MoveStartPoint, 0x10 | CodeNoKeyFlag, 0, true, false, true, 0},
        {"Num Lock, hooks off", ToggleRuler, 0x90, 0, false, false, false, 0},
        {"toggle on the wheel falls back to Num Lock", ToggleRuler, CodeMouseWheel, ModCtrl, false, false, false, 0x90},
        {"held role on the wheel becomes No Key", SlowMouse, CodeMouseHWheel, 0, false, false, false,
         CodeMouseHWheel | CodeNoKeyFlag},
        {"already No Key stays", ToggleRuler, CodeWindows | CodeNoKeyFlag, 0, false, false, false, 0},
        {"modifiers alone need no hooks", SetReflection, CodeAlwaysDown, ModAlt, false, true, false, 0},
    };
    for (const auto& c : cases) {
        const KeyRowRefresh r = DecideKeyRowRefresh(c.role, {.code = c.code, .mods = c.mods, .dead = true}, c.hooks);
        EXPECT_TRUE(r.clearDead == c.clearDead && r.enableDead == c.enableDead) << c.name;
        EXPECT_EQ(r.replaceBinding ? r.replacementCode : 0, c.replacement) << c.name;
    }
}

// A lock key chosen for the toggle makes the ruler follow its light; the wheel cannot.
TEST(KeyPageRefresh, LockKeyRule) {
    const struct { bool toggle; uint32_t key; bool expected; } cases[] = {
        {false, 0x14, true}, {false, 0x2D, true},  {false, 0x91, true}, {false, 0x51, false},
        {true, 0x51, true},  {true, CodeMouseWheel, false}, {false, 0x90 | CodeNoKeyFlag, false},
    };
    for (const auto& c : cases) EXPECT_EQ(ToggleAfterKeyChosen(c.toggle, c.key), c.expected) << c.toggle << c.key;
}

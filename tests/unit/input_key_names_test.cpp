#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "input/hotkey_bindings.h"
#include "input/key_names.h"

// The layout's character is set per case; every other key types nothing.
TEST(KeyNames, KeyNamePrefersTheLayoutsVisibleCharacter) {
    const struct { uint32_t code, layoutChar; const char* name; } cases[] = {
        {0x41, u'a', "A"},         {0x60, u'0', "Num 0"},  // keypad: never the layout
        {0x87, 0, "F24"},          {0x88, 0, "[88]"},          {CodeAlwaysDown, 0, "[1FFE]"},
        {CodeWindows, u'w', "Windows"},  // the program's own codes are not the layout's
        {0x20, u' ', "Space"},     {0xBA, 0x00FC, "\xC3\x9C"},  // German ü is named Ü
        {0xDB, 0x00DF, "\xC3\x9F"},  // ß stays ß
        {0xDC, 0x80000000u | u'^', "^"},  // a dead key by its character
        {0xE2, 0x00A0, "'<>'"},    // a no-break space is not visible
        {0xDE, 0, "''\"'"},
    };
    for (const auto& c : cases) {
        ResetFakeSystem();
        if (c.layoutChar) FakeSystem.keyChars[c.code] = c.layoutChar;
        EXPECT_EQ(KeyName(c.code), c.name) << c.code;
    }
}

TEST(KeyNames, BindingNameListsModifiersInTableOrder) {
    ResetFakeSystem();
    FakeSystem.keyChars[0x51] = u'q';
    const struct { uint32_t code; uint16_t mods; const char* name; } cases[] = {
        {0x90, 0, "Num Lock"},
        {CodeAlwaysDown, ModShift | ModAlt, "Alt-Shift"},
        {CodeAlwaysDown, 0, "Always Down"},
        {0x51, ModAll | 0xFFE0, "Ctrl-Alt-Shift-Windows-Alt Gr + Q"},  // other bits are ignored
    };
    for (const auto& c : cases) EXPECT_EQ(BindingName(c.code, c.mods), c.name);
}

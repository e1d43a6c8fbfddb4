#include "input/key_names.h"
#include "input_test_support.h"

namespace {

using KeyNamesTest = InputTest;

// The layout's character is set per case; every other key types nothing.
TEST_F(KeyNamesTest, KeyNamePrefersTheLayoutsVisibleCharacter) {
    const struct {
        uint32_t code, layoutChar;
        const char* name;
    } cases[] = {
        {0x41, u'a', "A"},           {0x65, u'5', "Num 5"},       {0x6B, u'x', "Num +"},  // keypad: never the layout
        {0x7B, 0, "F12"},            {0x87, 0, "F24"},            {0x88, 0, "[88]"},
        {0x07, 0, "[07]"},           {CodeAlwaysDown, 0, "[1FFE]"}, {0xFFFFFFFF, 0, "[FFFFFFFF]"},
        {CodeWindows, u'w', "Windows"},  // the program's own codes are not the layout's
        {0x5B, 0, "Left Windows"},   {0x20, u' ', "Space"},       {0x0D, u'\r', "Enter"},
        {0xBA, 0x00FC, "\xC3\x9C"},  // German ü is named Ü
        {0xDB, 0x00DF, "\xC3\x9F"},  // ß stays ß
        {0xBA, 0x00E9, "\xC3\xA9"},  // é has no upper-case rule
        {0xDC, 0x80000000u | u'^', "^"},  // a dead key by its character
        {0xE2, 0x00A0, "'<>'"},      // a no-break space is not visible
        {0xDC, 0, "'\\|'"},          {0xDE, 0, "''\"'"},          {0xDF, 0, "'\xC2\xA7!'"},
    };
    for (const auto& c : cases) {
        ResetFakeSystem();
        if (c.layoutChar) FakeSystem.keyChars[c.code] = c.layoutChar;
        EXPECT_EQ(KeyName(c.code), c.name) << std::hex << c.code;
    }
}

TEST_F(KeyNamesTest, BindingNameListsModifiersInTableOrder) {
    FakeSystem.keyChars[0x51] = u'q';
    FakeSystem.keyChars[0x45] = u'e';
    const struct {
        uint32_t code;
        uint16_t mods;
        const char* name;
    } cases[] = {
        {0x90, 0, "Num Lock"},
        {CodeAlwaysDown, ModShift | ModAlt, "Alt-Shift"},
        {CodeAlwaysDown, 0, "Always Down"},
        {CodeAlwaysDown, ModAltGr | ModWindows, "Windows-Alt Gr"},
        {0x51, ModShift | ModCtrl, "Ctrl-Shift + Q"},
        {0x45, ModAltGr, "Alt Gr + E"},
        {0x51, ModAll | 0xFFE0, "Ctrl-Alt-Shift-Windows-Alt Gr + Q"},  // other bits are ignored
    };
    for (const auto& c : cases) EXPECT_EQ(BindingName(c.code, c.mods), c.name);
}

}  // namespace

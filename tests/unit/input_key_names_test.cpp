#include <string>

#include "input/key_names.h"
#include "input_test_support.h"

namespace {

using KeyNamesTest = InputTest;

// The layout's characters are set per case; every other key types nothing.
TEST_F(KeyNamesTest, KeyNamePrefersTheLayoutsVisibleCharacter) {
    struct Case {
        uint32_t code;
        uint32_t layoutChar;
        const char* name;
    } cases[] = {
        {0x41, u'a', "A"},
        {0x37, u'7', "7"},
        {0x65, u'5', "Num 5"},
        {0x60, 0, "Num 0"},
        {0x6B, u'x', "Num +"},  // keypad operators never ask the layout
        {0x6F, 0, "Num /"},
        {0x70, 0, "F1"},
        {0x7B, 0, "F12"},
        {0x87, 0, "F24"},
        {0x88, 0, "[88]"},
        {0x07, 0, "[07]"},
        {CodeAlwaysDown, 0, "[1FFE]"},
        {0xFFFFFFFF, 0, "[FFFFFFFF]"},
        {CodeWindows, u'w', "Windows"},  // the program's own codes are not the layout's
        {CodeMouseWheel, 0, "Mouse Wheel"},
        {0x5B, 0, "Left Windows"},
        {0xA5, 0, "Alt Gr"},
        {0x20, u' ', "Space"},
        {0x0D, u'\r', "Enter"},
        {0x09, u'\t', "Tab"},
        {0xBA, 0x00FC, "\xC3\x9C"},           // German ü is named Ü
        {0xDE, 0x00E4, "\xC3\x84"},           // ä -> Ä
        {0xDB, 0x00DF, "\xC3\x9F"},           // ß stays ß
        {0xBA, 0x00E9, "\xC3\xA9"},           // é has no upper-case rule
        {0xDC, 0x80000000u | u'^', "^"},      // a dead key by its character
        {0xE2, 0x00A0, "'<>'"},               // a no-break space is not visible
        {0xBA, 0, "':;'"},
        {0xDC, 0, "'\\|'"},
        {0xDE, 0, "''\"'"},
        {0xDF, 0, "'\xC2\xA7!'"},
        {0xB3, 0, "Play/Pause"},
        {0x01, 0, "Left Mouse"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "code 0x" << std::hex << c.code);
        ResetFakeSystem();
        if (c.layoutChar) FakeSystem.keyChars[c.code] = c.layoutChar;
        EXPECT_EQ(KeyName(c.code), c.name);
    }
}

TEST_F(KeyNamesTest, BindingNameListsModifiersInTableOrder) {
    FakeSystem.keyChars[0x51] = u'q';
    FakeSystem.keyChars[0x45] = u'e';
    FakeSystem.keyChars[0x41] = u'a';
    struct Case {
        uint32_t code;
        uint16_t mods;
        const char* name;
    } cases[] = {
        {0x90, 0, "Num Lock"},
        {CodeAlwaysDown, ModAlt | ModShift, "Alt-Shift"},
        {CodeAlwaysDown, ModShift | ModAlt | ModCtrl, "Ctrl-Alt-Shift"},
        {0x51, ModShift | ModCtrl, "Ctrl-Shift + Q"},
        {0x45, ModAltGr, "Alt Gr + E"},
        {CodeAlwaysDown, 0, "Always Down"},
        {CodeAlwaysDown, ModAltGr | ModWindows, "Windows-Alt Gr"},
        {0x41, ModAll, "Ctrl-Alt-Shift-Windows-Alt Gr + A"},
        {0x41, 0xFFE0, "A"},  // bits that are no modifier are ignored
        {CodeMouseWheel, ModCtrl, "Ctrl + Mouse Wheel"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(BindingName(c.code, c.mods), c.name);
    }
}

}  // namespace

#include "input/key_names.h"

#include <cstdio>

#include "input/hotkey_bindings.h"
#include "platform/key_state.h"
#include "settings/utf16_text.h"

constexpr KeyNameEntry KeyNameTable[KeyNameCount] = {
    {0x01, "Left Mouse"},
    {0x02, "Right Mouse"},
    {0x03, "Break"},
    {0x04, "Middle Mouse"},
    {0x05, "X1 Mouse"},
    {0x06, "X2 Mouse"},
    {0x08, "Backspace"},
    {0x09, "Tab"},
    {0x0C, "Clear"},
    {0x0D, "Enter"},
    {0x10, "Shift"},
    {0x11, "Ctrl"},
    {0x12, "Alt"},
    {0x13, "Pause"},
    {0x14, "Caps Lock"},
    {0x15, "Kana"},
    {0x17, "Junja"},
    {0x18, "Final"},
    {0x19, "Kanji"},
    {0x1B, "Esc"},
    {0x1C, "Conv"},
    {0x1D, "NConv"},
    {0x1E, "Accept"},
    {0x1F, "Mode"},
    {0x20, "Space"},
    {0x21, "Page Up"},
    {0x22, "Page Down"},
    {0x23, "End"},
    {0x24, "Home"},
    {0x25, "Left"},
    {0x26, "Up"},
    {0x27, "Right"},
    {0x28, "Down"},
    {0x29, "Sel"},
    {0x2A, "Print"},
    {0x2B, "Exec"},
    {0x2C, "Prnt Scrn"},
    {0x2D, "Insert"},
    {0x2E, "Delete"},
    {0x2F, "Help"},
    {0x5B, "Left Windows"},
    {0x5C, "Right Windows"},
    {0x5D, "Application"},
    {0x5F, "Sleep"},
    {0x6A, "Num *"},
    {0x6B, "Num +"},
    {0x6C, "Num ,"},
    {0x6D, "Num -"},
    {0x6E, "Num ."},
    {0x6F, "Num /"},
    {0x90, "Num Lock"},
    {0x91, "Scroll Lock"},
    {0x92, "Num ="},
    {0x93, "Unregister word"},
    {0x94, "Register word"},
    {0x95, "Left Oyayubi"},
    {0x96, "Right Oyayubi"},
    {0xA0, "Left Shift"},
    {0xA1, "Right Shift"},
    {0xA2, "Left Ctrl"},
    {0xA3, "Right Ctrl"},
    {0xA4, "Left Alt"},
    {0xA5, "Alt Gr"},
    {0xA6, "Browser Back"},
    {0xA7, "Browser Forward"},
    {0xA8, "Browser Refresh"},
    {0xA9, "Browser Stop"},
    {0xAA, "Browser Search"},
    {0xAB, "Browser Favorites"},
    {0xAC, "Browser Home"},
    {0xAD, "Volume Mute"},
    {0xAE, "Volume Down"},
    {0xAF, "Volume Up"},
    {0xB0, "Play Next"},
    {0xB1, "Play Previous"},
    {0xB2, "Play Stop"},
    {0xB3, "Play/Pause"},
    {0xB4, "Mail"},
    {0xB5, "Media"},
    {0xB6, "App1"},
    {0xB7, "App2"},
    {0xBA, "':;'"},
    {0xBB, "'+='"},
    {0xBC, "'<,'"},
    {0xBD, "'_-'"},
    {0xBE, "'>.'"},
    {0xBF, "'?/'"},
    {0xC0, "'`~'"},
    {0xDB, "'[{'"},
    {0xDC, "'\\|'"},
    {0xDD, "']}'"},
    {0xDE, "''\"'"},
    {0xDF, "'\xC2\xA7!'"},  // section sign
    {0xE1, "Ax"},
    {0xE2, "'<>'"},
    {0xE3, "IcoHlp"},
    {0xE4, "Ico00"},
    {0xE5, "Process"},
    {0xE6, "IcoClr"},
    {0xE7, "Packet"},
    {0xE9, "Reset"},
    {0xEA, "Jump"},
    {0xEB, "OemPa1"},
    {0xEC, "OemPa2"},
    {0xED, "OemPa3"},
    {0xEE, "WsCtrl"},
    {0xEF, "Cu Sel"},
    {0xF0, "Oem Attn"},
    {0xF1, "Finish"},
    {0xF2, "Copy"},
    {0xF3, "Auto"},
    {0xF4, "Enlw"},
    {0xF5, "Back Tab"},
    {0xF6, "Attn"},
    {0xF7, "Cr Sel"},
    {0xF8, "Ex Sel"},
    {0xF9, "Er Eof"},
    {0xFA, "Play"},
    {0xFB, "Zoom"},
    {0xFC, "NoName"},
    {0xFD, "Pa1"},
    {0xFE, "OEMClr"},
    {CodeMouseWheel, "Mouse Wheel"},
    {CodeMouseHWheel, "Mouse HWheel"},
    {CodeWindows, "Windows"},
};

namespace {

// Lookup by binary search relies on the order.
constexpr bool TableIsSortedAndUnique() {
    for (int32_t i = 1; i < KeyNameCount; ++i) {
        if (KeyNameTable[i - 1].code >= KeyNameTable[i].code) return false;
    }
    return true;
}

// UTF-16 units of the umlauts a German layout types.
constexpr char16_t LowerUmlauts[] = {0x00E4, 0x00F6, 0x00FC};  // ä ö ü
constexpr char16_t UpperUmlauts[] = {0x00C4, 0x00D6, 0x00DC};  // Ä Ö Ü
constexpr char16_t SharpS = 0x00DF;                             // ß

bool IsUmlautOrSharpS(char16_t c) {
    for (int32_t i = 0; i < 3; ++i) {
        if (c == LowerUmlauts[i] || c == UpperUmlauts[i]) return true;
    }
    return c == SharpS;
}

// The same answer on every platform and locale: visible characters of the
// Basic Multilingual Plane, without controls, white space, invisible format
// characters, lone surrogates and non-characters.
bool IsVisible(char16_t c) {
    if (c < 0x21 || (c >= 0x7F && c <= 0xA0)) return false;  // controls, space, no-break space
    if (c == 0x00AD || c == 0x1680 || c == 0x180E) return false;
    if (c >= 0x2000 && c <= 0x200F) return false;  // spaces and zero-width characters
    if (c >= 0x2028 && c <= 0x202F) return false;  // separators, direction marks
    if (c >= 0x205F && c <= 0x206F) return false;
    if (c == 0x3000 || c == 0xFEFF) return false;
    if (c >= 0xD800 && c <= 0xDFFF) return false;
    if (c == 0xFFFE || c == 0xFFFF) return false;
    return true;
}

bool IsNameable(char16_t c) { return c != 0 && (IsUmlautOrSharpS(c) || IsVisible(c)); }

char16_t ToUpper(char16_t c) {
    for (int32_t i = 0; i < 3; ++i) {
        if (c == LowerUmlauts[i]) return UpperUmlauts[i];
    }
    if (c >= u'a' && c <= u'z') return char16_t(c - u'a' + u'A');
    return c;  // ß has no one-letter upper case
}

const char* TableName(uint32_t code) {
    int32_t low = 0;
    int32_t high = KeyNameCount - 1;
    while (low <= high) {
        const int32_t middle = (low + high) / 2;
        const uint32_t found = KeyNameTable[middle].code;
        if (found == code) return KeyNameTable[middle].name;
        if (found < code) {
            low = middle + 1;
        } else {
            high = middle - 1;
        }
    }
    return nullptr;
}

}  // namespace

static_assert(TableIsSortedAndUnique(), "KeyNameTable must be sorted by code without duplicates");

std::string KeyName(uint32_t code) {
    char buffer[32];
    if (code >= 0x60 && code <= 0x69) {
        std::snprintf(buffer, sizeof buffer, "Num %u", unsigned(code - 0x60));
        return buffer;
    }
    // The keypad operators keep their table names whatever the layout types.
    // Codes above 0xFF are the program's own: the layout knows nothing of them.
    const bool keypadOperator = code >= 0x6A && code <= 0x6F;
    if (!keypadOperator && code <= 0xFF) {
        // A dead key's flag sits in the high bits; the key is named by its character.
        const char16_t c = char16_t(platform::KeyStates.virtualKeyToChar(code) & 0xFFFF);
        if (IsNameable(c)) {
            std::string name;
            AppendUtf8(name, ToUpper(c));
            return name;
        }
    }
    if (const char* name = TableName(code)) return name;
    if (code >= 0x70 && code <= 0x87) {
        std::snprintf(buffer, sizeof buffer, "F%u", unsigned(code - 0x6F));
        return buffer;
    }
    std::snprintf(buffer, sizeof buffer, "[%02X]", unsigned(code));
    return buffer;
}

std::string BindingName(uint32_t code, uint16_t mods) {
    std::string name;
    for (const ModifierRow& row : ModifierTable) {
        if ((mods & row.bit) == 0) continue;
        if (!name.empty()) name += '-';
        name += KeyName(row.genericCode);
    }
    if (mods & ModAltGr) {
        if (!name.empty()) name += '-';
        name += KeyName(KeyOfModifierBit(ModAltGr));
    }
    if (code == CodeAlwaysDown) {
        if (name.empty()) name = "Always Down";
        return name;
    }
    if (!name.empty()) name += " + ";
    name += KeyName(code);
    return name;
}

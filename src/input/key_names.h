// The names under which keys and key combinations are shown: in the hotkey
// chooser's items and in the hooks' debug traces. UTF-8.
#pragma once
#include <cstdint>
#include <string>

struct KeyNameEntry {
    uint32_t code;
    const char* name;
};

// The fixed English names, sorted by code, codes unique.
constexpr int32_t KeyNameCount = 125;
extern const KeyNameEntry KeyNameTable[KeyNameCount];

// One key: its character on the current layout (upper case) when it types a
// visible one, else its English name, else F1..F24, else "[hex]".
std::string KeyName(uint32_t code);
// A key with modifiers, e.g. "Ctrl-Shift + Q"; modifiers alone name a
// modifier-only binding ("Alt-Shift", or "Always Down" without any).
std::string BindingName(uint32_t code, uint16_t mods);

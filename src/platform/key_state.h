// The keyboard state calls that the binding and key-name logic needs.
#pragma once
#include <cstdint>

namespace platform {

struct KeyStateSource {
    int16_t (*asyncKeyState)(int32_t virtualKey);  // GetAsyncKeyState
    int16_t (*keyState)(int32_t virtualKey);       // GetKeyState
    // What keyState tells of every key, in one reading (0x80 down, 0x01
    // toggled); false when it could not be read.
    bool (*keyboardState)(uint8_t (&states)[256]);
    // MapVirtualKeyW(code, MAPVK_VK_TO_CHAR): the layout's character for a key.
    uint32_t (*virtualKeyToChar)(uint32_t virtualKey);
    // SendInput of the key's release: the applications see the key go up.
    void (*releaseKey)(uint32_t virtualKey);
};

extern KeyStateSource KeyStates;

}  // namespace platform

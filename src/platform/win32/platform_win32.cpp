// The platform sources of src/platform, implemented with Win32.
#include <windows.h>

#include <sys/timeb.h>

#include "platform/key_state.h"
#include "platform/pointer.h"
#include "platform/system_clock.h"
#include "platform/system_metrics.h"
#include "platform/window_messages.h"

namespace platform {

SystemClock Clock = {
    [] {
        LARGE_INTEGER value;
        QueryPerformanceCounter(&value);
        return int64_t(value.QuadPart);
    },
    [] {
        LARGE_INTEGER value;
        QueryPerformanceFrequency(&value);
        return int64_t(value.QuadPart);
    },
    [](int64_t* seconds, int32_t* milliseconds) {
        _timeb now;
        _ftime(&now);
        *seconds = int64_t(now.time);
        *milliseconds = int32_t(now.millitm);
    },
    [](uint32_t ms) { Sleep(ms); },
};

WindowMessages Messages = {
    [](WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
        return PostMessageW(static_cast<HWND>(window), message, wParam, lParam) != FALSE;
    },
};

KeyStateSource KeyStates = {
    [](int32_t vk) { return int16_t(GetAsyncKeyState(vk)); },
    [](int32_t vk) { return int16_t(GetKeyState(vk)); },
    [](uint8_t (&states)[256]) {
        // The thread's view of the keyboard follows only the key messages it
        // takes, and the main thread takes none. A single key's reading
        // brings the whole view up to date with the keyboard (Wine does so
        // on single-key readings only), so the table read right after it is
        // as fresh as reading each key would be.
        GetKeyState(VK_SHIFT);
        return GetKeyboardState(states) != FALSE;
    },
    [](uint32_t vk) { return uint32_t(MapVirtualKeyW(vk, MAPVK_VK_TO_CHAR)); },
    [](uint32_t vk) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = WORD(vk);
        const UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC_EX);  // 0xE0xx for an extended key
        input.ki.wScan = WORD(scan & 0xFF);
        input.ki.dwFlags = KEYEVENTF_KEYUP | ((scan & 0xFF00) == 0xE000 ? KEYEVENTF_EXTENDEDKEY : 0);
        SendInput(1, &input, sizeof input);
    },
};

SystemMetricsSource Metrics = {
    [](int32_t index) { return int32_t(GetSystemMetrics(index)); },
};

PointerSource Pointer = {
    [](Point& position, uintptr_t& shape) {
        CURSORINFO cursor{};
        cursor.cbSize = sizeof cursor;
        if (!GetCursorInfo(&cursor)) return false;
        position = {cursor.ptScreenPos.x, cursor.ptScreenPos.y};
        shape = cursor.flags == CURSOR_SHOWING ? reinterpret_cast<uintptr_t>(cursor.hCursor) : 0;
        return true;
    },
    [](int32_t& speed) {
        int value = 0;
        if (!SystemParametersInfoW(SPI_GETMOUSESPEED, 0, &value, 0)) return false;
        speed = value;
        return true;
    },
    [](int32_t speed) {
        // The new speed goes in the pointer argument itself; flags 0: neither
        // written to the profile nor broadcast, so it never outlives the log-on.
        return SystemParametersInfoW(SPI_SETMOUSESPEED, 0,
                                     reinterpret_cast<void*>(static_cast<intptr_t>(speed)), 0) != FALSE;
    },
};

}  // namespace platform

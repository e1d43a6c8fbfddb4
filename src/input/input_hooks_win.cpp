// The low-level hook procedures and their installation. The decisions are in
// hook_matching.cpp and hook_install.cpp; this file only talks to the system.
#include <windows.h>

#include "input/input_hooks.h"

namespace {

LRESULT CALLBACK KeyboardHookProc(int nCode, WPARAM wParam, LPARAM lParam) {
    if (nCode < 0) return CallNextHookEx(nullptr, nCode, wParam, lParam);
    const auto* raw = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    KeyboardHookEvent event;
    event.message = uint32_t(wParam);
    event.vkCode = raw->vkCode;
    event.scanCode = raw->scanCode;
    event.flags = raw->flags;
    event.time = raw->time;
    const bool swallow = HandleKeyboardHookEvent(nCode, event);
    // The next hook runs either way; a swallowed event just ends here.
    const LRESULT next = CallNextHookEx(nullptr, nCode, wParam, lParam);
    return swallow ? -1 : next;
}

LRESULT CALLBACK MouseHookProc(int nCode, WPARAM wParam, LPARAM lParam) {
    if (nCode < 0) return CallNextHookEx(nullptr, nCode, wParam, lParam);
    const auto* raw = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
    MouseHookEvent event;
    event.message = uint32_t(wParam);
    event.x = raw->pt.x;
    event.y = raw->pt.y;
    event.mouseData = raw->mouseData;
    event.flags = raw->flags;
    event.time = raw->time;
    const bool swallow = HandleMouseHookEvent(nCode, event);
    const LRESULT next = CallNextHookEx(nullptr, nCode, wParam, lParam);
    return swallow ? -1 : next;
}

bool RemoveHook(void* handle) { return UnhookWindowsHookEx(static_cast<HHOOK>(handle)) != FALSE; }

}  // namespace

bool InstallKeyboardHook(void* instance, bool install) {
    return ChangeHook(
        HookKind::Keyboard, instance, install,
        [](void* module) -> void* {
            return SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardHookProc, static_cast<HINSTANCE>(module), 0);
        },
        RemoveHook);
}

bool InstallMouseHook(void* instance, bool install) {
    return ChangeHook(
        HookKind::Mouse, instance, install,
        [](void* module) -> void* {
            return SetWindowsHookExW(WH_MOUSE_LL, MouseHookProc, static_cast<HINSTANCE>(module), 0);
        },
        RemoveHook);
}

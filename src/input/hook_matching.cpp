// What the low-level hooks decide for each event: the key state update, the
// forwarding to a capturing combo, the binding match and the announcements to
// the main thread. The hook procedures themselves only add the system calls.
#include <atomic>
#include <optional>

#include "base/app_messages.h"
#include "base/debug_trace.h"
#include "input/hook_lock.h"
#include "input/hotkey_bindings.h"
#include "input/input_hooks.h"
#include "input/key_names.h"
#include "input/key_press_memory.h"
#include "platform/key_state.h"
#include "platform/window_messages.h"

namespace {

// Written by one thread, read by the hooks on another: single atomic words.
std::atomic<WindowHandle> HookCaptureWindow{nullptr};
std::atomic<int32_t> RoleFilter{-1};
// Whether the hook saw the copy key go down and not yet up: only the first
// down copies, not the auto-repeats. Kept apart from the binding's held
// state, which a key-state resync may already have set before the hook sees
// the press.
std::atomic<bool> CopyKeyDown{false};
// Main thread only, like the hooks that write it.
std::optional<Point> LatestReport;
// The same for the pin key, and whether its auto-repeat has already asked to
// clear the pins during this press.
std::atomic<bool> PinKeyDown{false};
std::atomic<bool> PinKeyCleared{false};

bool Matches(const HotkeyBinding& binding, uint32_t code, uint32_t generic, uint16_t mods) {
    return (binding.code == code || binding.code == generic) && (binding.mask & mods) == binding.mods;
}

// A press of the pin key pins; holding it until the keyboard repeats it asks
// once to clear every pin. A wheel's further notches the same way are no
// auto-repeat: they clear nothing.
void AnnouncePinKey(uint32_t code) {
    const WindowHandle main = MainWindow.load(std::memory_order_relaxed);
    if (!PinKeyDown.exchange(true)) {
        PostOnce(main, MsgPinMeasurement, PinPending);
    } else if (code != CodeMouseWheel && code != CodeMouseHWheel && !PinKeyCleared.exchange(true)) {
        PostOnce(main, MsgClearPins, ClearPinsPending);
    }
}

int16_t LockKeyState(int32_t virtualKey) { return platform::KeyStates.keyState(virtualKey); }

void TraceKeyboardEvent(const KeyboardHookEvent& event, bool down) {
    Trace("%s 0x%x-0x%x (ext=%d,up=%d,inj=%d,caps=%x,num=%x,scroll=%x) %s time=%d\n", down ? "down" : "  up",
          unsigned(event.vkCode), unsigned(event.scanCode), (event.flags & KeyFlagExtended) ? 1 : 0,
          (event.flags & KeyFlagUp) ? 1 : 0, (event.flags & KeyFlagInjected) ? 1 : 0,
          unsigned(uint16_t(LockKeyState(0x14))), unsigned(uint16_t(LockKeyState(0x90))),
          unsigned(uint16_t(LockKeyState(0x91))), KeyName(event.vkCode).c_str(), int(event.time));
}

void TraceMouseKey(const MouseHookEvent& event, uint32_t code, bool down) {
    Trace("%s 0x%x-0x%x (inj=%d,caps=%x,num=%x,scroll=%x) %s time=%d\n", down ? "down" : "  up", unsigned(code),
          unsigned(event.mouseData), (event.flags & MouseFlagInjected) ? 1 : 0,
          unsigned(uint16_t(LockKeyState(0x14))), unsigned(uint16_t(LockKeyState(0x90))),
          unsigned(uint16_t(LockKeyState(0x91))), KeyName(code).c_str(), int(event.time));
}

}  // namespace

void SetHookCaptureWindow(WindowHandle window) { HookCaptureWindow.store(window); }

WindowHandle GetHookCaptureWindow() { return HookCaptureWindow.load(); }

void SetRoleFilter(int32_t role) { RoleFilter.store(role); }

uint32_t MouseMessageToKey(uint32_t message, uint32_t mouseData, bool& down) {
    const uint16_t high = uint16_t(mouseData >> 16);
    const bool towardsUser = int16_t(high) < 0;  // wheel turned back, or tilted left
    down = true;
    switch (message) {
        case WmLButtonDown: return 1;
        case WmLButtonUp: down = false; return 1;
        case WmRButtonDown: return 2;
        case WmRButtonUp: down = false; return 2;
        case WmMButtonDown: return 4;
        case WmMButtonUp: down = false; return 4;
        case WmXButtonDown: return high == 1 ? 5 : 6;
        case WmXButtonUp: down = false; return high == 1 ? 5 : 6;
        case WmMouseWheel: down = towardsUser; return CodeMouseWheel;
        case WmMouseHWheel: down = towardsUser; return CodeMouseHWheel;
        default: return 0;  // moves and double clicks
    }
}

bool MatchBinding(uint32_t code, uint32_t generic, bool down) {
    // Any release of the copy or pin key ends its press, whatever the modifiers.
    const HotkeyBinding copyKey = LoadBindingDefinition(CopyMeasurement);
    if (!down && (copyKey.code == code || copyKey.code == generic)) CopyKeyDown = false;
    const HotkeyBinding pinKey = LoadBindingDefinition(PinMeasurement);
    if (!down && (pinKey.code == code || pinKey.code == generic)) PinKeyDown = PinKeyCleared = false;
    const uint16_t mods = GetModifiers(code);
    const int32_t filter = RoleFilter.load(std::memory_order_relaxed);
    int32_t first = 0;
    int32_t last = HotkeyRoleCount - 1;
    if (filter >= 0) {
        if (filter >= HotkeyRoleCount) return false;
        first = last = filter;
    }
    for (int32_t role = first; role <= last; ++role) {
        // The pin key is matched after all others: chosen equal to another
        // key, it leaves that key its meaning and pins nothing.
        if (role == PinMeasurement) continue;
        const HotkeyBinding binding = LoadBindingDefinition(role);
        if (!Matches(binding, code, generic, mods)) continue;
        if (role == CopyMeasurement) {
            if (down && !CopyKeyDown.exchange(true)) {
                PostOnce(MainWindow.load(std::memory_order_relaxed), MsgCopyMeasurement, CopyPending);
            }
            return binding.dead;
        }
        // An auto-repeated down changes nothing the main thread needs to see.
        if (!BindingAt(role)->repeat) PostOnce(MainWindow.load(std::memory_order_relaxed), MsgKeyEvent, KeyPending);
        return binding.dead;
    }
    if (first > PinMeasurement || last < PinMeasurement || !Matches(pinKey, code, generic, mods)) return false;
    if (down) AnnouncePinKey(code);
    return pinKey.dead;
}

bool LatestPointerReport(Point& position) {
    if (LatestReport) position = *LatestReport;
    return LatestReport.has_value();
}

void ForgetPointerReports() { LatestReport.reset(); }

bool HandleKeyboardHookEvent(int32_t nCode, const KeyboardHookEvent& event) {
    if (nCode < 0) return false;
    const bool down = event.message == WmKeyDown || event.message == WmSysKeyDown;
    if (TraceEnabled()) TraceKeyboardEvent(event, down);

    // The bindings and the modifier table know a modifier by its sides; an
    // event of a generic modifier counts as the left key.
    const uint32_t code = SidedKeyOf(event.vkCode, true);
    const uint32_t generic = GenericKeyOf(code);
    if (AcquireHookLock(HookEventLockMs)) {
        FeedHookKeyEvent(code, generic, down);
        ReleaseHookLock();
    } else {
        NoteMissedKeyEvent();
    }

    if (WindowHandle capture = HookCaptureWindow.load(std::memory_order_relaxed)) {
        const bool pressed = down && (event.flags & KeyFlagUp) == 0;
        const uintptr_t wParam = (uintptr_t(pressed ? 0 : 1) << 16) | (code & 0xFFFF);
        platform::Messages.post(capture, MsgHotkeyEvent, wParam, intptr_t(GetModifiers(code)));
        // A release ends the capture. The options thread lets go of it only
        // when it reads this message; keys pressed before then belong to the
        // application that has the focus, not to the combo.
        if (!pressed) HookCaptureWindow.compare_exchange_strong(capture, nullptr);
        return SettleKeyEvent(code, down, true);
    }
    return SettleKeyEvent(code, down, MatchBinding(code, generic, down));
}

bool HandleMouseHookEvent(int32_t nCode, const MouseHookEvent& event) {
    if (nCode < 0) return false;
    if (TraceEnabled()) {
        Trace("MOUSE (%d,%d) time=%d event=%d\n", int(event.x), int(event.y), int(event.time), int(event.message));
    }
    LatestReport = Point{event.x, event.y};

    bool down = true;
    const uint32_t code = MouseMessageToKey(event.message, event.mouseData, down);
    if (code != 0) {
        if (TraceEnabled()) TraceMouseKey(event, code, down);
        if (AcquireHookLock(HookEventLockMs)) {
            FeedHookKeyEvent(code, code, down);
            ReleaseHookLock();
        } else {
            NoteMissedKeyEvent();
        }
        // A capturing combo ends its capture on a click elsewhere; it needs
        // every one of these, so no pending flag.
        if (WindowHandle capture = HookCaptureWindow.load(std::memory_order_relaxed)) {
            platform::Messages.post(capture, MsgPointerEvent, 0, 0);
        }
    }
    PostOnce(MainWindow.load(std::memory_order_relaxed), MsgPointerEvent, PointerPending);
    return code != 0 && SettleKeyEvent(code, down, MatchBinding(code, code, down));
}

// The low-level keyboard and mouse hooks and what they decide per event.
#pragma once
#include <cstdint>

#include "platform/types.h"

// Install (true) or remove (false) one hook; true on success. Win32.
bool InstallKeyboardHook(void* instance, bool install);
bool InstallMouseHook(void* instance, bool install);

// While set, every keyboard event goes to this window as MsgHotkeyEvent and
// is swallowed.
void SetHookCaptureWindow(WindowHandle window);
WindowHandle GetHookCaptureWindow();

// -1: all roles take part in matching; a role: only that role.
void SetRoleFilter(int32_t role);

// The key code of a mouse message (0 for moves), with its down flag.
uint32_t MouseMessageToKey(uint32_t message, uint32_t mouseData, bool& down);
// Matches an event (down: a press, else a release) against the bindings;
// posts MsgKeyEvent on a fresh match, MsgCopyMeasurement on a fresh press of
// the copy key, MsgPinMeasurement on one of the pin key and MsgClearPins
// once its auto-repeat begins. The pin key is matched last: where another
// binding matches too, that one wins. Returns true when the event must be
// swallowed.
bool MatchBinding(uint32_t code, uint32_t generic, bool down);

// Window messages and flags of the low-level hook events.
constexpr uint32_t WmKeyDown = 0x0100;
constexpr uint32_t WmKeyUp = 0x0101;
constexpr uint32_t WmSysKeyDown = 0x0104;
constexpr uint32_t WmSysKeyUp = 0x0105;
constexpr uint32_t WmMouseMove = 0x0200;
constexpr uint32_t WmLButtonDown = 0x0201;
constexpr uint32_t WmLButtonUp = 0x0202;
constexpr uint32_t WmLButtonDblClk = 0x0203;
constexpr uint32_t WmRButtonDown = 0x0204;
constexpr uint32_t WmRButtonUp = 0x0205;
constexpr uint32_t WmMButtonDown = 0x0207;
constexpr uint32_t WmMButtonUp = 0x0208;
constexpr uint32_t WmMouseWheel = 0x020A;
constexpr uint32_t WmXButtonDown = 0x020B;
constexpr uint32_t WmXButtonUp = 0x020C;
constexpr uint32_t WmMouseHWheel = 0x020E;
constexpr uint32_t KeyFlagExtended = 0x01;  // LLKHF_EXTENDED
constexpr uint32_t KeyFlagInjected = 0x10;  // LLKHF_INJECTED
constexpr uint32_t KeyFlagUp = 0x80;        // LLKHF_UP
constexpr uint32_t MouseFlagInjected = 0x01;  // LLMHF_INJECTED

// How long a hook procedure waits for the HookLock before it skips the
// key-state update of one event; installing and removing wait longer.
constexpr int32_t HookEventLockMs = 100;
constexpr int32_t HookInstallLockMs = 5000;

// One keyboard event as the keyboard hook receives it (KBDLLHOOKSTRUCT).
struct KeyboardHookEvent {
    uint32_t message = 0;  // WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP
    uint32_t vkCode = 0;
    uint32_t scanCode = 0;
    uint32_t flags = 0;
    uint32_t time = 0;
};

// One mouse event as the mouse hook receives it (MSLLHOOKSTRUCT).
struct MouseHookEvent {
    uint32_t message = 0;
    int32_t x = 0;
    int32_t y = 0;
    uint32_t mouseData = 0;
    uint32_t flags = 0;
    uint32_t time = 0;
};

// Everything a hook procedure does with one event except calling the next
// hook: updates the key state, forwards to a capturing combo, matches the
// bindings and posts the announcements. Returns true when the event must be
// swallowed. A negative nCode is passed on without being looked at.
bool HandleKeyboardHookEvent(int32_t nCode, const KeyboardHookEvent& event);
bool HandleMouseHookEvent(int32_t nCode, const MouseHookEvent& event);

// Where the mouse hook's latest event put the pointer, for judging a reading
// of its position; false when no event came since the mouse hook was
// installed. The hooks run on the main thread, which alone reads this.
bool LatestPointerReport(Point& position);
// Forgets the events; installing and removing the mouse hook do this.
void ForgetPointerReports();

// The bookkeeping of installing or removing one hook, with the system's two
// calls passed in (SetWindowsHookExW and UnhookWindowsHookEx in the program):
// the HookLock, the fresh key state and the cleared pending flag of an
// install, and the handle. setHook returns the new handle or nullptr.
enum class HookKind { Keyboard, Mouse };
using SetHookCall = void* (*)(void* instance);
using RemoveHookCall = bool (*)(void* handle);
bool ChangeHook(HookKind kind, void* instance, bool install, SetHookCall setHook, RemoveHookCall removeHook);

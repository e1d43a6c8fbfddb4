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

// -1: all roles take part in matching; 0..4: only that role.
void SetRoleFilter(int32_t role);

// The key code of a mouse message (0 for moves), with its down flag.
uint32_t MouseMessageToKey(uint32_t message, uint32_t mouseData, bool& down);
// Matches an event against the bindings; posts MsgKeyEvent on a fresh match.
// Returns true when the event must be swallowed.
bool MatchBinding(uint32_t code, uint32_t generic);

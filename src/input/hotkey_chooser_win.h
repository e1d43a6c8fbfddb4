// The window side of the hotkey chooser: drop-down lists of the Keyboard
// Shortcuts page that show, offer and capture key combinations. Options
// thread only.
#pragma once
#include <windows.h>

#include "input/hotkey_chooser.h"

// Makes the page's combo row.comboId a hotkey chooser for row.role (and
// records the page in row). The first call for a page also takes over the
// page's window procedure. The combo reports its binding to the page with
// MsgHotkeyEvent (wParam: the code's low 16 bits, lParam: modifier bits).
void AttachHotkeyCombo(HWND page, KeyPageRow& row);
// Forgets every attached combo and page; their windows are going away.
void ReleaseHotkeyCombos();

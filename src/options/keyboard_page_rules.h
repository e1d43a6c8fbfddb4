// The Keyboard Shortcuts page's rules, free of any window: which dead check
// boxes may be ticked, which bindings cannot work without the hooks, and how
// a newly chosen key changes "key is like a lock key".
#pragma once
#include <cstdint>

#include "input/hotkey_bindings.h"

struct KeyRowRefresh {
    bool clearDead = false;         // untick the dead check box and store dead = false
    bool enableDead = false;        // the dead check box is enabled
    bool replaceBinding = false;    // send replacementCode to the row's combo
    uint32_t replacementCode = 0;   // low 16 bits of the code the combo stores
};

// A key that is pressed all the time as part of other combinations (Shift,
// Ctrl, Alt, modifiers alone) or the plain left mouse button must never be
// dead: swallowing it would take it away from every application.
bool DeadKeyForbidden(const HotkeyBinding& binding);

// What a refresh does to one row. Without the hooks no key can be dead, and
// a key above 0xFF (wheels, either Windows key) cannot be seen at all: the
// toggle role falls back to Num Lock, the held roles to "No Key".
KeyRowRefresh DecideKeyRowRefresh(int32_t role, const HotkeyBinding& binding, bool useHooks);

// "toggle" after a new key k was chosen: lock keys switch it on, the mouse
// wheel (which has no lasting down state) switches it off.
bool ToggleAfterKeyChosen(bool toggle, uint32_t k);

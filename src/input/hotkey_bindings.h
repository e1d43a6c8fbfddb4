// The key roles, their bindings, the modifier table and the key-state
// bookkeeping that the hooks (or polling, without hooks) keep up to date.
#pragma once
#include <cstdint>

// Key codes: Windows virtual-key codes 0x01..0xFF and the program's own.
constexpr uint32_t CodeMouseWheel = 0x1004;
constexpr uint32_t CodeMouseHWheel = 0x1005;
constexpr uint32_t CodeWindows = 0x105B;     // either Windows key
constexpr uint32_t CodeAlwaysDown = 0x1FFE;  // modifiers alone
constexpr uint32_t CodeNoKeyFlag = 0x8000;   // binding switched off ("No Key")

// Modifier bits.
constexpr uint16_t ModAlt = 0x01;
constexpr uint16_t ModCtrl = 0x02;
constexpr uint16_t ModShift = 0x04;
constexpr uint16_t ModWindows = 0x08;
constexpr uint16_t ModAltGr = 0x10;
constexpr uint16_t ModAll = 0x1F;

enum HotkeyRole : int32_t {
    ToggleRuler = 0,
    MoveStartPoint = 1,
    SlowMouse = 2,
    RotateReflection = 3,
    SetReflection = 4,
    CopyMeasurement = 5,  // a press copies the measurement while the ruler is shown
    PinMeasurement = 6,   // a press pins the measurement while the ruler is shown
    SnapPoint = 7,    // held: the point the pointer drives snaps to edges on screen
    ShowSpacing = 8,  // held: the space around the pointer instead of the line
};
constexpr int32_t HotkeyRoleCount = 9;

struct HotkeyBinding {
    uint32_t code = 0;
    uint16_t mods = 0;
    uint16_t mask = 0;
    bool dead = false;
    // Run-time state.
    bool held = false;
    bool repeat = false;
    bool toggle = false;
    uint8_t keyState = 0;
};

struct ModifierRow {
    uint32_t bit;
    uint32_t genericCode;
    uint32_t leftCode;
    uint32_t rightCode;
    bool leftDown;
    bool rightDown;
    uint8_t leftState;
    uint8_t rightState;
};
constexpr int32_t ModifierRowCount = 4;

// The process-wide tables, guarded by the HookLock (input/hook_lock.h).
extern ModifierRow ModifierTable[ModifierRowCount];

// The binding of a role, or nullptr.
HotkeyBinding* BindingAt(int32_t role);
// Copies the binding (run-time fields too). Resynchronises the key states
// first when resync is set or the keyboard hook is not installed.
void GetBinding(const HotkeyBinding* binding, HotkeyBinding& copy, bool resync);
// Stores code, mods and dead of source into target; mask and mods follow the role:
// the press keys (toggle, copy, pin) want exactly their modifiers.
void SetBinding(HotkeyBinding* target, const HotkeyBinding& source);
// Code, mods, mask and dead of a role's binding, read whole without the
// HookLock (the hook's matching); run-time fields zero.
HotkeyBinding LoadBindingDefinition(int32_t role);
bool IsRoleHeld(int32_t role, bool resync);
int32_t PickHeldRole(const int32_t* roles, int32_t count, bool resync);
int32_t BindingSpecificity(int32_t role);
bool IsLockKey(uint32_t code);

uint16_t GetModifiers(uint32_t code);
uint16_t GetModifiersSynced(uint32_t code, bool resync);
void FeedKeyEvent(uint32_t code, uint32_t generic, bool down);
// A key event from a hook (under the HookLock): fed like any other, and
// what the read-back last saw of the key is no longer taken as down, so a
// reading that lags behind this event cannot count as a missed release.
void FeedHookKeyEvent(uint32_t code, uint32_t generic, bool down);
void ResyncKeyStates();
uint8_t ReadKeyState(uint32_t code);
void ResetModifierStates();
void ResetBindingState(HotkeyBinding* binding);
// The modifier table and all bindings' run-time state, afresh from the keyboard.
void ResetKeyStates();
// Restores the built-in bindings (code, mods, mask, dead; run-time fields cleared).
void ResetBindingsToDefaults();

uint32_t GenericKeyOf(uint32_t code);
uint32_t SidedKeyOf(uint32_t code, bool left);
// Whether the hooks saw the key go down and not yet up; a generic modifier
// counts as down while either side is.
bool HookSeesKeyDown(uint32_t code);
uint16_t ModifierBitOf(uint32_t code);
uint32_t KeyOfModifierBit(uint16_t bit);

// Whether the keyboard hook is installed (set by the hook code); without it
// every GetBinding polls the key states.
bool KeyboardHookInstalled();

// Placeholder until the bindings land: the tables exist, nothing is held.
#include "input/hotkey_bindings.h"

ModifierRow ModifierTable[ModifierRowCount] = {
    {ModCtrl, 0x11, 0xA2, 0xA3, false, false, 0, 0},
    {ModAlt, 0x12, 0xA4, 0xA5, false, false, 0, 0},
    {ModShift, 0x10, 0xA0, 0xA1, false, false, 0, 0},
    {ModWindows, CodeWindows, 0x5B, 0x5C, false, false, 0, 0},
};

namespace {
HotkeyBinding Bindings[HotkeyRoleCount];
}

HotkeyBinding* BindingAt(int32_t role) { return role >= 0 && role < HotkeyRoleCount ? &Bindings[role] : nullptr; }
void GetBinding(const HotkeyBinding* binding, HotkeyBinding& copy, bool) { if (binding) copy = *binding; }
void SetBinding(HotkeyBinding*, const HotkeyBinding&) {}
bool IsRoleHeld(int32_t, bool) { return false; }
int32_t PickHeldRole(const int32_t*, int32_t, bool) { return -1; }
int32_t BindingSpecificity(int32_t) { return 0; }
bool IsLockKey(uint32_t) { return false; }
uint16_t GetModifiers(uint32_t) { return 0; }
uint16_t GetModifiersSynced(uint32_t, bool) { return 0; }
void FeedKeyEvent(uint32_t, uint32_t, bool) {}
void ResyncKeyStates() {}
uint8_t ReadKeyState(uint32_t) { return 0; }
void ResetModifierStates() {}
void ResetBindingState(HotkeyBinding*) {}
void ResetBindingsToDefaults() {}
uint32_t GenericKeyOf(uint32_t code) { return code; }
uint32_t SidedKeyOf(uint32_t code, bool) { return code; }
uint16_t ModifierBitOf(uint32_t) { return 0; }
uint32_t KeyOfModifierBit(uint16_t) { return CodeAlwaysDown; }
bool KeyboardHookInstalled() { return false; }

// The hotkey chooser: a drop-down list per key role that shows the role's
// binding, offers related key combinations and captures a combination the
// user presses. This header is the platform-free part (which candidates, in
// which order, what a key event or a chosen item does to the binding); the
// combo box and page procedures are in hotkey_chooser_win.cpp.
#pragma once
#include <cstdint>
#include <vector>

#include "input/hotkey_bindings.h"
#include "platform/types.h"

// One row of the Keyboard Shortcuts page.
struct KeyPageRow {
    int32_t role = 0;
    int32_t comboId = 0;
    int32_t deadCheckId = 0;  // 0 = no dead check box
    int32_t holdDown = 0;     // 0 for ToggleRuler, 1 for the held roles
    WindowHandle page = nullptr;
};

// Fixed items at the top of every list; candidates follow from index 2.
constexpr int32_t ComboItemCapture = 0;  // "... choose by pressing keys ..."
constexpr int32_t ComboItemNoKey = 1;    // "No Key"
constexpr int32_t ComboFirstCandidate = 2;
constexpr int32_t MaxComboCandidates = 30;

// A candidate's item data: mods in the high half, the code's low 16 bits in
// the low half.
constexpr uint32_t ComboItemData(uint32_t code, uint16_t mods) { return (uint32_t(mods) << 16) | (code & 0xFFFF); }
constexpr uint32_t ItemDataCode(uint32_t data) { return data & 0xFFFF; }
constexpr uint16_t ItemDataMods(uint32_t data) { return uint16_t(data >> 16); }

struct ComboCandidate {
    uint32_t code;
    uint16_t mods;
    friend bool operator==(const ComboCandidate&, const ComboCandidate&) = default;
};

// The candidates of one rebuild, in list order: variants of the binding,
// variants of the initial binding, suggestions for the binding, suggestions
// for the initial binding; each key once, Always Down only first, at most
// MaxComboCandidates. Mouse buttons and wheels are offered only as far as
// the system's mouse has them (wheels also need the hooks).
std::vector<ComboCandidate> BuildComboCandidates(uint32_t code, uint16_t mods, uint32_t initialCode,
                                                 uint16_t initialMods, bool useHooks);

// The item that shows a binding: "No Key" for a switched-off binding, else
// the first candidate, which is the binding itself.
constexpr int32_t ComboSelectionFor(uint32_t code) {
    return (code & CodeNoKeyFlag) ? ComboItemNoKey : ComboFirstCandidate;
}

// What a MsgHotkeyEvent (wParam: code in bits 0..15, release in 16..31)
// does to a combo.
enum class ComboKeyAction {
    Ignore,        // auto-repeat, or a key that needs the hooks while they are off
    EndCapture,    // a release: the binding stays as the last press left it
    StoreBinding,  // a press: it becomes the role's binding
};
struct ComboKeyDecision {
    ComboKeyAction action;
    uint32_t code;
};
// lastCapturedPress (-1 = none) filters auto-repeats of codes below 0x100.
ComboKeyDecision DecideComboKey(uintptr_t wParam, int32_t& lastCapturedPress, bool useHooks);

// Whether a capturing combo takes a key that reaches it as a window message
// (the hooks are off): every key but Tab, Enter and Esc, which go on moving
// the focus (so ending the capture) and acting on the window.
bool ComboTakesWindowKey(uint32_t virtualKey);

// The key of a WM_KEYDOWN/WM_KEYUP as the chooser stores it: a pressed Shift,
// Ctrl or Alt becomes its right-hand key when that one is down (else its
// left-hand key); any other generic modifier becomes its left-hand key.
uint32_t WindowMessageKeyCode(uint32_t virtualKey, bool release);

// Whether any virtual key 0..255 is down in the calling thread's key state.
bool AnyVirtualKeyDown();

// Stores code and mods as the role's binding (keeping its dead flag).
// Returns the binding as stored.
HotkeyBinding StoreChosenBinding(int32_t role, uint32_t code, uint16_t mods);
// Item sel (>= 1) chosen from the list: a candidate becomes the binding;
// "No Key" switches the binding off and keeps its key. Returns the binding
// as stored.
HotkeyBinding ApplyComboSelection(int32_t role, int32_t sel, uint32_t itemData);
// A click on the dead check box: stores the new dead flag when it differs.
// Returns whether it changed; binding receives the role's binding.
bool StoreDeadFlag(int32_t role, bool dead, HotkeyBinding& binding);

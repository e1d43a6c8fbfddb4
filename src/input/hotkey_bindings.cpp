#include "input/hotkey_bindings.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <iterator>

#include "base/debug_trace.h"
#include "input/hook_lock.h"
#include "input/key_press_memory.h"
#include "platform/key_state.h"

ModifierRow ModifierTable[ModifierRowCount] = {
    {ModCtrl, 0x11, 0xA2, 0xA3, false, false, 0, 0},
    {ModAlt, 0x12, 0xA4, 0xA5, false, false, 0, 0},
    {ModShift, 0x10, 0xA0, 0xA1, false, false, 0, 0},
    {ModWindows, CodeWindows, 0x5B, 0x5C, false, false, 0, 0},
};

namespace {

constexpr int32_t CtrlRow = 0;
constexpr int32_t AltRow = 1;
constexpr uint32_t CodeAltGr = 0xA5;
constexpr uint32_t NoKey = 0x8000;  // as a GetModifiers argument: count every held modifier

constexpr uint8_t StateDown = 0x80;
constexpr uint8_t StateToggled = 0x01;

constexpr int32_t HookLockWaitMs = 5000;

// Only code, mods, mask and dead matter; the run-time fields start cleared.
constexpr HotkeyBinding DefaultBindings[HotkeyRoleCount] = {
    {0x90, 0, ModAll, false},                                     // ToggleRuler: Num Lock
    {CodeAlwaysDown, ModShift, ModShift, false},                  // MoveStartPoint: Shift
    {CodeAlwaysDown, ModCtrl, ModCtrl, false},                    // SlowMouse: Ctrl
    {CodeAlwaysDown, ModAlt, ModAlt, false},                      // RotateReflection: Alt
    {CodeAlwaysDown, ModAlt | ModShift, ModAlt | ModShift, false},  // SetReflection: Alt+Shift
    // CopyMeasurement: Pause. Hardly any application gives Pause alone a
    // meaning (only Ctrl+Pause, which is Break, and that one does not match
    // this exact binding), so the key can reach the application as well.
    {0x13, 0, ModAll, false},
    // PinMeasurement: Shift+Pause, beside the copy key. Hardly any
    // application gives Shift+Pause a meaning either, and the Shift it holds
    // (the move-start key) moves nothing while the pointer stays still.
    {0x13, ModShift, ModAll, false},
    // SnapPoint: F1, and ShowSpacing: F2, both dead. Shift, Ctrl, Alt and
    // Alt+Shift belong to the other held roles; a modifier in an edge key
    // would also change the copy key pressed with it (Ctrl+Pause is Break)
    // and hold those roles too. A lock key would switch its lock, and keys
    // that type or that Alt+Tab needs cannot be taken from the applications.
    // F1 and F2 sit in the same place on every keyboard, within reach of the
    // left hand on Shift, and no application misses help or renaming while
    // the ruler is shown; dead, so that holding them does neither.
    {0x70, 0, 0, true},
    {0x71, 0, 0, true},
};

HotkeyBinding Bindings[HotkeyRoleCount] = {
    DefaultBindings[0], DefaultBindings[1], DefaultBindings[2], DefaultBindings[3], DefaultBindings[4],
    DefaultBindings[5], DefaultBindings[6], DefaultBindings[7], DefaultBindings[8],
};

// The hook matches events without the HookLock while the options thread may
// be changing a binding: each binding's code, mods, mask and dead flag are
// also kept as one word, written under the lock and read whole, so the hook
// never pairs a new key with an old dead flag.
constexpr uint64_t PackDefinition(const HotkeyBinding& b) {
    return uint64_t(b.code) | uint64_t(b.mods & 0xFF) << 32 | uint64_t(b.mask & 0xFF) << 40 |
           uint64_t(b.dead ? 1 : 0) << 48;
}

std::atomic<uint64_t> Definitions[HotkeyRoleCount] = {
    PackDefinition(DefaultBindings[0]), PackDefinition(DefaultBindings[1]), PackDefinition(DefaultBindings[2]),
    PackDefinition(DefaultBindings[3]), PackDefinition(DefaultBindings[4]), PackDefinition(DefaultBindings[5]),
    PackDefinition(DefaultBindings[6]), PackDefinition(DefaultBindings[7]), PackDefinition(DefaultBindings[8]),
};

void PublishDefinition(int32_t role) { Definitions[role].store(PackDefinition(Bindings[role])); }

int32_t RoleOf(const HotkeyBinding* binding) {
    for (int32_t role = 0; role < HotkeyRoleCount; ++role) {
        if (binding == &Bindings[role]) return role;
    }
    return -1;
}

void TraceModifierRow(const ModifierRow& row) {
    const uint16_t state = uint16_t(platform::KeyStates.asyncKeyState(int32_t(row.genericCode)));
    Trace("GetModifiers %02x=>%04x\n", unsigned(row.genericCode), unsigned(state));
}

// A key's state from its asynchronous reading and the thread's view of it;
// with `keyboard`, that view comes from one reading of the whole keyboard
// (under Wine each single key read is a trip to the server).
uint8_t KeyStateOf(uint32_t code, const uint8_t* keyboard) {
    // Code 0 is no key; codes above 255 are the program's own and have no
    // physical state.
    if (code == 0 || code > 0xFF) return 0;
    const uint16_t async = uint16_t(platform::KeyStates.asyncKeyState(int32_t(code)));
    const uint16_t sync = keyboard ? uint16_t((keyboard[code] & 0x80) << 8 | (keyboard[code] & 0x01))
                                   : uint16_t(platform::KeyStates.keyState(int32_t(code)));
    const uint16_t downSource = async != 0 ? async : sync;
    uint8_t state = 0;
    if (downSource & 0x8000) state |= StateDown;
    if (sync & 0x0001) state |= StateToggled;
    return state;
}

// One binding's state after an event of its key (or of a modifier key, for a
// modifier-only binding): fresh presses flip the toggle.
void StoreHeld(HotkeyBinding& binding, bool held) {
    const bool repeat = held && binding.held;
    binding.held = held;
    binding.repeat = repeat;
    if (held && !repeat) binding.toggle = !binding.toggle;
}

// A key whose press reached the system reads down within this time: the
// longest the keyboard's reading may lag behind a press the hook saw.
constexpr uint32_t KeyReadLagMs = 100;

// Wine's late copy of the held keys (see ResyncKey) shows within this time of
// the release; a key that reads down later was pressed again, unseen by the
// hooks (as on the secure desktop).
constexpr uint32_t StrandedKeyMs = 2000;

bool IsMouseButton(uint32_t code) { return code == 1 || code == 2 || (code >= 4 && code <= 6); }

// Whether the hook holds the key down although the keyboard reads it up and
// the hook will not see its release: it read down before and up now, or the
// hook passed its press on longer ago than the keyboard can lag. Only the
// toggled bit changing while the key is held is no release: Wine shows a
// press's new toggled bit before its down bit. Mouse buttons read by their
// physical place, which need not be the button the hook saw (swapped
// buttons), so their readings repair nothing.
bool ReleaseMissed(uint32_t key, uint8_t kept, bool isDown) {
    if (isDown || key == 0 || key > 0xFF || IsMouseButton(key) || !HookSeesKeyDown(key)) return false;
    uint32_t pressedMs = 0;
    return (kept & StateDown) != 0 || (HookHoldsPassedKey(key, pressedMs) && pressedMs >= KeyReadLagMs);
}

// The system's toggled bit counts the presses it got. A dead key other than
// a lock key gets none while the hook swallows them (under Wine it may still
// flip when the system takes the key's state from the X keyboard), so then
// the bit says nothing of the binding's toggle. A lock key's light is its
// state on Windows, and Wine keeps it in step with X even for swallowed presses.
bool ToggledBitCountsPresses(const HotkeyBinding& binding) {
    return binding.mods == 0 && !(binding.dead && !IsLockKey(binding.code) && KeyboardHookInstalled());
}

// The state bytes of the keys a resync compares, read before it takes the
// HookLock; NotRead marks a key that was not among them.
constexpr uint8_t NotRead = 0xFF;
struct KeyReading {
    uint8_t states[256];
};
// Key events fed so far: a resync whose reading a hook event overtook drops
// the reading, older than what the hook recorded.
std::atomic<uint32_t> FedKeyEvents{0};

// Compares the physical state of key (as read) with the byte kept for it and
// feeds the difference as a key event; recheck feeds the state of a key of
// the keyboard or mouse even when the byte has not changed (a hook event was
// lost). A release the hook missed is fed as soon as the keyboard shows it.
// A binding without modifiers then takes its toggle from the keyboard.
void ResyncKey(uint32_t key, uint8_t& kept, HotkeyBinding* binding, bool recheck, const KeyReading& reading) {
    // Codes without a physical state (modifiers alone, wheels, no key) read
    // 0 always; their state comes from the hooks only.
    const bool physical = key != 0 && key <= 0xFF;
    const uint8_t state = physical ? reading.states[key] : 0;
    if (state == NotRead) return;  // a key chosen since the reading: the next resync sees it
    const bool isDown = (state & StateDown) != 0;
    // Under Wine a window that appears or takes the focus copies the keys held
    // on the X keyboard into the system's key state. Done late, after the
    // hooks swallowed both the key's press and its release (the system had it
    // up then), it leaves the key down for every application although nobody
    // holds it: they get the release they missed. Windows never shows such a
    // key down.
    if (isDown && physical && TakeSwallowedPair(key, StrandedKeyMs)) {
        Trace("stranded 0x%x\n", unsigned(key));
        platform::KeyStates.releaseKey(key);
        return;
    }
    const bool missed = ReleaseMissed(key, kept, isDown);
    if (state == kept && !(recheck && physical) && !missed) return;
    if (state != kept) Trace("resync 0x%x %02x=>%02x\n", unsigned(key), unsigned(kept), unsigned(state));
    const bool toggledChanged = ((state ^ kept) & StateToggled) != 0;
    kept = state;
    if (missed) {
        Trace("missed release 0x%x\n", unsigned(key));
        for (const uint32_t code : {key, SidedKeyOf(key, true), SidedKeyOf(key, false)}) ForgetMissedRelease(code);
    }
    // A release is fed also when only the toggled bit changed (a tap between
    // two reads), but not for a key the hook holds down.
    if (isDown || !HookSeesKeyDown(key)) FeedKeyEvent(key, GenericKeyOf(key), isDown);
    // A lock key's light is its state. Another key's toggled bit counts the
    // presses between two polls, but the polling thread's view of it may lag
    // behind a press seen down (it does under Wine, for keys sent to another
    // window): so only a change of the bit counts, and the press fed above
    // stands when the bit has not changed yet.
    if (binding && ToggledBitCountsPresses(*binding) && (toggledChanged || IsLockKey(binding->code))) {
        binding->toggle = (state & StateToggled) != 0;
    }
}

}  // namespace

HotkeyBinding* BindingAt(int32_t role) {
    return role >= 0 && role < HotkeyRoleCount ? &Bindings[role] : nullptr;
}

void ResetBindingsToDefaults() {
    AcquireHookLock(-1);
    for (int32_t role = 0; role < HotkeyRoleCount; ++role) {
        Bindings[role] = DefaultBindings[role];
        PublishDefinition(role);
    }
    ReleaseHookLock();
}

uint16_t GetModifiers(uint32_t code) {
    uint16_t result = 0;
    bool ctrlLeft = false;
    bool ctrlRight = false;
    const bool trace = TraceEnabled();
    for (int32_t i = 0; i < ModifierRowCount; ++i) {
        const ModifierRow& row = ModifierTable[i];
        if (trace) TraceModifierRow(row);
        const bool left = row.leftDown;
        const bool right = row.rightDown;
        if (!left && !right) continue;
        if (i == CtrlRow) {
            ctrlLeft = left;
            ctrlRight = right;
        } else if (i == AltRow && right && ctrlLeft) {
            // The keyboard reports Alt Gr as Left Ctrl plus Right Alt: that
            // Ctrl is not one the user holds, unless Right Ctrl is down too.
            if (!ctrlRight) result &= uint16_t(~ModCtrl);
            if (code != CodeAltGr) result |= ModAltGr;
            if (left) result |= ModAlt;
            continue;
        }
        // A key never counts as its own modifier; a sided key counts only
        // when the other side of the same modifier is held as well.
        if (code == row.genericCode) continue;
        if (code == row.leftCode && !right) continue;
        if (code == row.rightCode && !left) continue;
        result |= uint16_t(row.bit);
    }
    return result;
}

uint16_t GetModifiersSynced(uint32_t code, bool resync) {
    if (resync) ResyncKeyStates();
    return GetModifiers(code);
}

void FeedKeyEvent(uint32_t code, uint32_t generic, bool down) {
    FedKeyEvents.fetch_add(1, std::memory_order_relaxed);
    bool rowFound = false;
    for (ModifierRow& row : ModifierTable) {
        if (row.genericCode == code || row.leftCode == code) {
            row.leftDown = down;
            rowFound = true;
            break;
        }
    }
    if (!rowFound) {
        for (ModifierRow& row : ModifierTable) {
            if (row.rightCode == code) {
                row.rightDown = down;
                break;
            }
        }
    }

    for (HotkeyBinding& binding : Bindings) {
        if (binding.code == code || binding.code == generic) {
            // A held binding stays held through further downs of its key
            // (auto-repeats, a read-back of the same press) whatever
            // modifiers came or went since: one press of the key is at most
            // one press of the binding, and the key's release ends it.
            bool held = down;
            if (down && !binding.held && (GetModifiers(code) & binding.mask) != binding.mods) held = false;
            StoreHeld(binding, held);
        } else if (binding.code == CodeAlwaysDown && code != generic) {
            // A left or right modifier key changed: a modifier-only binding is
            // held while all its modifiers are.
            StoreHeld(binding, (binding.mods & GetModifiers(NoKey)) == binding.mods);
        }
    }
}

void FeedHookKeyEvent(uint32_t code, uint32_t generic, bool down) {
    // The read-back's "down before, up now" rule (ReleaseMissed) must see
    // a down that a reading made after this event, not one of a press the
    // hook has since seen end.
    constexpr uint8_t NotDown = uint8_t(~StateDown);
    for (ModifierRow& row : ModifierTable) {
        if (row.leftCode == code) row.leftState &= NotDown;
        if (row.rightCode == code) row.rightState &= NotDown;
    }
    for (HotkeyBinding& binding : Bindings) {
        if (binding.code == code) binding.keyState &= NotDown;
    }
    FeedKeyEvent(code, generic, down);
}

uint8_t ReadKeyState(uint32_t code) { return KeyStateOf(code, nullptr); }

void ResyncKeyStates() {
    // The keys are read before the HookLock is taken: under Wine a reading
    // of key states also delivers pending input, which calls the low-level
    // hooks on this very thread, and a hook called while its own thread
    // holds the lock waits for it in vain and loses its event (a Shift lost
    // so makes Shift+Pause a Pause).
    const uint32_t fed = FedKeyEvents.load(std::memory_order_relaxed);
    uint8_t keyboard[256];
    const uint8_t* view = platform::KeyStates.keyboardState(keyboard) ? keyboard : nullptr;
    KeyReading reading;
    std::fill(std::begin(reading.states), std::end(reading.states), NotRead);
    const auto read = [&](uint32_t code) {
        if (code != 0 && code <= 0xFF) reading.states[code] = KeyStateOf(code, view);
    };
    for (const ModifierRow& row : ModifierTable) {
        read(row.leftCode);
        read(row.rightCode);
    }
    for (int32_t role = 0; role < HotkeyRoleCount; ++role) read(LoadBindingDefinition(role).code);

    if (!AcquireHookLock(HookLockWaitMs)) return;
    if (FedKeyEvents.load(std::memory_order_relaxed) != fed) {
        ReleaseHookLock();  // the next resync reads again
        return;
    }
    const bool recheck = TakeMissedKeyEvent();
    for (ModifierRow& row : ModifierTable) {
        ResyncKey(row.leftCode, row.leftState, nullptr, recheck, reading);
        ResyncKey(row.rightCode, row.rightState, nullptr, recheck, reading);
    }
    for (HotkeyBinding& binding : Bindings) ResyncKey(binding.code, binding.keyState, &binding, recheck, reading);
    ReleaseHookLock();
}

void ResetModifierStates() {
    for (ModifierRow& row : ModifierTable) {
        row.leftDown = false;
        row.rightDown = false;
        row.leftState = ReadKeyState(row.leftCode);
        row.rightState = ReadKeyState(row.rightCode);
    }
}

void ResetBindingState(HotkeyBinding* binding) {
    if (!binding) return;
    binding->held = false;
    binding->repeat = false;
    binding->toggle = false;
    binding->keyState = ReadKeyState(binding->code);
    // Without modifiers a lock key starts from the keyboard's light.
    if (binding->mods == 0) binding->toggle = (binding->keyState & StateToggled) != 0;
}

void ResetKeyStates() {
    ForgetKeyPresses();
    ResetModifierStates();
    for (HotkeyBinding& binding : Bindings) ResetBindingState(&binding);
}

void GetBinding(const HotkeyBinding* binding, HotkeyBinding& copy, bool resync) {
    if (!binding) return;
    // Resync takes the lock itself, so it runs before the copy's lock.
    if (resync || !KeyboardHookInstalled()) ResyncKeyStates();
    AcquireHookLock(-1);
    copy = *binding;
    ReleaseHookLock();
}

void SetBinding(HotkeyBinding* target, const HotkeyBinding& source) {
    const int32_t role = RoleOf(target);
    if (role < 0) return;
    AcquireHookLock(-1);
    const uint16_t mods = uint16_t(source.mods & ModAll);
    // The press keys (toggle, copy, pin) want exactly their modifiers; a
    // hold-down key only needs its modifiers and tolerates others.
    const bool press = role == ToggleRuler || role == CopyMeasurement || role == PinMeasurement;
    const uint16_t mask = press ? ModAll : mods;
    const bool changed = source.code != target->code || mods != target->mods || mask != target->mask;
    target->code = source.code;
    target->mods = mods;
    target->mask = mask;
    target->dead = source.dead;
    PublishDefinition(role);
    if (changed) ResetBindingState(target);
    ReleaseHookLock();
}

bool IsRoleHeld(int32_t role, bool resync) {
    const HotkeyBinding* binding = BindingAt(role);
    if (!binding) return false;
    HotkeyBinding copy{};
    GetBinding(binding, copy, resync);
    return copy.held;
}

int32_t PickHeldRole(const int32_t* roles, int32_t count, bool resync) {
    if (!roles || count < 1) return -1;
    // One read-back of the keys serves every role.
    if (resync || !KeyboardHookInstalled()) ResyncKeyStates();
    int32_t best = -1;
    int32_t chosen = -1;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t role = roles[i];
        const HotkeyBinding* binding = BindingAt(role);
        if (!binding) continue;
        AcquireHookLock(-1);
        const bool held = binding->held;
        ReleaseHookLock();
        if (!held) continue;
        const int32_t specificity = BindingSpecificity(role);
        if (specificity > best) {
            best = specificity;
            chosen = role;
        }
    }
    return chosen;
}

HotkeyBinding LoadBindingDefinition(int32_t role) {
    HotkeyBinding definition;
    if (role < 0 || role >= HotkeyRoleCount) return definition;
    const uint64_t word = Definitions[role].load();
    definition.code = uint32_t(word);
    definition.mods = uint16_t((word >> 32) & 0xFF);
    definition.mask = uint16_t((word >> 40) & 0xFF);
    definition.dead = ((word >> 48) & 1) != 0;
    return definition;
}

int32_t BindingSpecificity(int32_t role) {
    const HotkeyBinding* binding = BindingAt(role);
    if (!binding) return 0;
    const int32_t realKey = binding->code < CodeAlwaysDown ? 1 : 0;
    return realKey + std::popcount(unsigned(binding->mods));
}

bool IsLockKey(uint32_t code) {
    return code == 0x14 || code == 0x2D || code == 0x90 || code == 0x91;
}

uint32_t GenericKeyOf(uint32_t code) {
    for (const ModifierRow& row : ModifierTable) {
        if (code == row.leftCode || code == row.rightCode) return row.genericCode;
    }
    return code;
}

bool HookSeesKeyDown(uint32_t code) {
    return HookSawKeyDown(code) || HookSawKeyDown(SidedKeyOf(code, true)) || HookSawKeyDown(SidedKeyOf(code, false));
}

uint32_t SidedKeyOf(uint32_t code, bool left) {
    for (const ModifierRow& row : ModifierTable) {
        if (code == row.genericCode) return left ? row.leftCode : row.rightCode;
    }
    return code;
}

uint16_t ModifierBitOf(uint32_t code) {
    if (code == CodeAltGr) return ModAltGr;
    for (const ModifierRow& row : ModifierTable) {
        if (code == row.genericCode || code == row.leftCode || code == row.rightCode) return uint16_t(row.bit);
    }
    return 0;
}

uint32_t KeyOfModifierBit(uint16_t bit) {
    if (bit == ModAltGr) return CodeAltGr;
    for (const ModifierRow& row : ModifierTable) {
        if (bit == row.bit) return row.genericCode;
    }
    return CodeAlwaysDown;
}

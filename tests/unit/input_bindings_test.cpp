#include <string>
#include <utility>
#include <vector>

#include "input/hook_lock.h"
#include "input/key_names.h"
#include "input_test_support.h"

namespace {

constexpr uint32_t NumLock = 0x90, LShift = 0xA0, RShift = 0xA1, LCtrl = 0xA2, RCtrl = 0xA3, LAlt = 0xA4,
                   AltGr = 0xA5, LWin = 0x5B, RWin = 0x5C, Pause = 0x13, NoKey = 0x8000;
constexpr int16_t Down = int16_t(0x8000);

using BindingsTest = InputTest;

TEST_F(BindingsTest, ModifiersHeldNotCountingTheKeyItself) {
    const struct { std::vector<uint32_t> down; uint32_t code; uint16_t mods; } cases[] = {
        {{LShift}, NoKey, ModShift},     {{LShift}, LShift, 0},          {{LShift}, 0x10, 0},
        {{LShift, RShift}, LShift, ModShift}, {{RShift}, LShift, ModShift}, {{LWin}, NoKey, ModWindows},
        {{RWin}, CodeWindows, 0},        {{LCtrl, LAlt}, 0x41, ModCtrl | ModAlt},
        // Alt Gr arrives as Left Ctrl + Right Alt.
        {{LCtrl, AltGr}, NoKey, ModAltGr}, {{LCtrl, RCtrl, AltGr}, NoKey, ModCtrl | ModAltGr},
        {{LCtrl, AltGr}, AltGr, 0},      {{RCtrl, AltGr}, NoKey, ModCtrl | ModAlt},
    };
    for (const auto& c : cases) {
        ResetInput();
        for (uint32_t vk : c.down) Feed(vk, true);
        EXPECT_EQ(GetModifiers(c.code), c.mods) << c.down.size() << " keys, code " << c.code;
    }
}

// Each step feeds one event and checks the role's held, repeat and toggle.
TEST_F(BindingsTest, HeldRepeatAndToggleFollowTheEvents) {
    struct Step { uint32_t vk; bool down, held, repeat, toggle; };
    const struct { const char* name; int32_t role; uint32_t code; uint16_t mods; std::vector<Step> steps; } cases[] = {
        {"Num Lock flips once per press", ToggleRuler, NumLock, 0,
         {{NumLock, 1, 1, 0, 1}, {NumLock, 1, 1, 1, 1}, {NumLock, 0, 0, 0, 1}, {NumLock, 1, 1, 0, 0}}},
        {"exact modifiers: Ctrl + Num Lock does not hold", ToggleRuler, NumLock, 0,
         {{LCtrl, 1, 0, 0, 0}, {NumLock, 1, 0, 0, 0}, {LCtrl, 0, 0, 0, 0}, {NumLock, 1, 1, 0, 1}}},
        {"a held key's repeats keep it held, one press, while Shift comes and goes", ToggleRuler, 0x4B, 0,
         {{0x4B, 1, 1, 0, 1}, {LShift, 1, 1, 0, 1}, {0x4B, 1, 1, 1, 1}, {LShift, 0, 1, 1, 1}, {0x4B, 1, 1, 1, 1}}},
        {"hold-down key tolerates other modifiers", MoveStartPoint, 0x46, ModCtrl,
         {{LShift, 1, 0, 0, 0}, {LCtrl, 1, 0, 0, 0}, {0x46, 1, 1, 0, 1}}},
        {"modifier-only Alt+Shift", SetReflection, CodeAlwaysDown, ModAlt | ModShift,
         {{LAlt, 1, 0, 0, 0}, {0x41, 1, 0, 0, 0}, {RShift, 1, 1, 0, 1}, {RShift, 0, 0, 0, 1}, {RShift, 1, 1, 0, 0}}},
        {"Always Down holds from the first modifier event on", SlowMouse, CodeAlwaysDown, 0,
         {{0x41, 1, 0, 0, 0}, {LShift, 0, 1, 0, 1}, {LShift, 1, 1, 1, 1}}},
        {"No Key never holds", ToggleRuler, CodeNoKeyFlag | NumLock, 0, {{NumLock, 1, 0, 0, 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetInput();
        Bind(c.role, c.code, c.mods);
        for (size_t i = 0; i < c.steps.size(); ++i) {
            const Step& s = c.steps[i];
            Feed(s.vk, s.down);
            const HotkeyBinding b = Current(c.role);
            EXPECT_TRUE(b.held == s.held && b.repeat == s.repeat && b.toggle == s.toggle) << i;
        }
    }
}

// Alt+Shift sets the reflection angle rather than rotating or moving the start (listed first here, so
// that the first held role does not win by its place).
TEST_F(BindingsTest, MostSpecificHeldRoleWins) {
    const int32_t roles[] = {MoveStartPoint, RotateReflection, SetReflection};
    const std::pair<std::vector<uint32_t>, int32_t> cases[] = {
        {{RShift, LAlt}, SetReflection}, {{LAlt}, RotateReflection}, {{LShift}, MoveStartPoint}, {{LCtrl}, -1}};
    for (const auto& [down, picked] : cases) {
        ResetInput();
        for (uint32_t vk : down) Feed(vk, true);
        EXPECT_EQ(PickHeldRole(roles, 3, false), picked) << down.size();
    }
    Bind(RotateReflection, CodeAlwaysDown, ModCtrl);  // as specific as Move: the earlier in the list wins
    Feed(LShift, true);
    EXPECT_EQ(PickHeldRole(roles, 3, false), MoveStartPoint);
}

// Changing only the dead flag keeps a held key held.
TEST_F(BindingsTest, SetBindingKeepsStateForTheSameKey) {
    Bind(MoveStartPoint, CodeAlwaysDown, ModCtrl | ModShift);
    Feed(LCtrl, true);
    Feed(LShift, true);
    Bind(MoveStartPoint, CodeAlwaysDown, ModCtrl | ModShift, true);
    EXPECT_TRUE(Current(MoveStartPoint).held && Current(MoveStartPoint).toggle);
    Bind(MoveStartPoint, CodeAlwaysDown, ModCtrl);
    EXPECT_FALSE(Current(MoveStartPoint).held || Current(MoveStartPoint).toggle);
}

// Without the keyboard hook every GetBinding compares the physical key
// states with the last ones seen and feeds the differences; with it, a read-back
// repairs a release the hook missed (none sees keys on the secure desktop).
TEST_F(BindingsTest, PollingSeesLockChangesAndHeldKeys) {
    // async and sync: the key's states at the poll; readDown: a read-back saw it down before.
    const struct { const char* name; int32_t role; uint32_t key; bool hookSawDown, readDown; int64_t msLater;
                   int16_t async, sync; bool held, toggle; } cases[] = {
        {"press and release between polls", ToggleRuler, NumLock, false, false, 0, 0, 1, false, true},
        {"press still held", ToggleRuler, NumLock, false, false, 0, Down, int16_t(Down | 1), true, true},
        {"held, light going off: the light wins", ToggleRuler, NumLock, false, false, 0, Down, Down, true, false},
        {"only GetKeyState says down", ToggleRuler, NumLock, false, false, 0, 0, int16_t(Down | 1), true, true},
        {"a press whose toggled bit lags behind is a press", CopyMeasurement, Pause, false, false, 0, Down, 0, true, true},
        {"a press the state shows only by its light stays held", ToggleRuler, NumLock, true, false, 99, 0, 1, true, true},
        {"a press the state does not show yet stays held", ToggleRuler, NumLock, true, false, 0, 0, 0, true, true},
        {"missed release: read down before, up now", SlowMouse, LCtrl, true, true, 0, 0, 0, false, true},
        {"missed release: up a poll period after the press", SlowMouse, LCtrl, true, false, 100, 0, 0, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetInput();
        if (c.hookSawDown) HandleKeyboardHookEvent(0, KeyboardHookEvent{WmKeyDown, c.key});
        HotkeyBinding copy;
        FakeSystem.asyncKeyState[c.key] = Down;
        if (c.readDown) GetBinding(BindingAt(c.role), copy, true);
        AdvanceFakeClockMicroseconds(c.msLater * 1000);
        FakeSystem.asyncKeyState[c.key] = c.async;
        FakeSystem.keyState[c.key] = c.sync;
        GetBinding(BindingAt(c.role), copy, false);
        EXPECT_TRUE(copy.held == c.held && copy.toggle == c.toggle);
    }
    // Read down, then let go and pressed again as the hook saw: a reading
    // still up from before that press is no missed release.
    ResetInput();
    HotkeyBinding copy;
    HandleKeyboardHookEvent(0, KeyboardHookEvent{WmKeyDown, LCtrl});
    FakeSystem.asyncKeyState[LCtrl] = Down;
    GetBinding(BindingAt(SlowMouse), copy, true);
    HandleKeyboardHookEvent(0, KeyboardHookEvent{WmKeyUp, LCtrl});
    HandleKeyboardHookEvent(0, KeyboardHookEvent{WmKeyDown, LCtrl});
    FakeSystem.asyncKeyState[LCtrl] = 0;
    GetBinding(BindingAt(SlowMouse), copy, false);
    EXPECT_TRUE(copy.held);
    // A table locked elsewhere is left alone.
    ResetInput();
    FakeSystem.asyncKeyState[LShift] = Down;
    LetTimePassWhileWaiting();
    ASSERT_TRUE(AcquireHookLock(-1));
    ResyncKeyStates();
    EXPECT_EQ(GetModifiers(NoKey), 0);
    ReleaseHookLock();
}

// The layout's character is set per case; every other key types nothing.
TEST(KeyNames, KeyAndBindingNamesPreferTheLayoutsVisibleCharacter) {
    const struct { uint32_t code, layoutChar; const char* name; } cases[] = {
        {0x41, u'a', "A"}, {0x87, 0, "F24"}, {0x88, 0, "[88]"}, {CodeAlwaysDown, 0, "[1FFE]"},
        {0xBA, 0x00FC, "\xC3\x9C"},  // German ü is named Ü
        {0xDB, 0x00DF, "\xC3\x9F"},  // ß stays ß
        {0xDC, 0x80000000u | u'^', "^"},  // a dead key by its character
        {0xDE, 0, "''\"'"},
    };
    for (const auto& c : cases) {
        ResetFakeSystem();
        if (c.layoutChar) FakeSystem.keyChars[c.code] = c.layoutChar;
        EXPECT_EQ(KeyName(c.code), c.name) << c.code;
    }
    // A binding's name lists its modifiers in the table's order.
    const struct { uint32_t code; uint16_t mods; const char* name; } bindings[] = {
        {0x90, 0, "Num Lock"}, {CodeAlwaysDown, ModShift | ModAlt, "Alt-Shift"}, {CodeAlwaysDown, 0, "Always Down"},
        {0x51, ModAll | 0xFFE0, "Ctrl-Alt-Shift-Windows-Alt Gr + Q"},  // other bits are ignored
    };
    FakeSystem.keyChars[0x51] = u'q';
    for (const auto& b : bindings) EXPECT_EQ(BindingName(b.code, b.mods), b.name);
}

// Every key of the table and of the keypad is named as the table says whatever invisible the layout types for
// it; the keypad and the program's own codes also when it types a visible character, which names other keys.
TEST(KeyNames, TableAndKeypadNamesWhateverTheLayoutTypes) {
    std::vector<std::pair<uint32_t, std::string>> keys;
    for (const KeyNameEntry& entry : KeyNameTable) keys.emplace_back(entry.code, entry.name);
    for (uint32_t digit = 0; digit <= 9; ++digit) keys.emplace_back(0x60 + digit, "Num " + std::to_string(digit));
    for (const auto& [code, name] : keys) {
        for (const uint32_t typed : {0u, 0x0Du, 0x20u, 0xA0u, uint32_t(u'x')}) {
            ResetFakeSystem();
            FakeSystem.keyChars[code] = typed;
            const bool layoutNames = typed == u'x' && code <= 0xFF && (code < 0x60 || code > 0x6F);
            EXPECT_EQ(KeyName(code), layoutNames ? "X" : name) << std::hex << code << " " << typed;
        }
    }
}

}  // namespace

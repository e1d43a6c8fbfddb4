#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "fakes/fake_platform.h"
#include "input/hotkey_bindings.h"
#include "input/hotkey_chooser.h"
#include "platform/system_metrics.h"

namespace {

// Key codes used below.
constexpr uint32_t LMouse = 0x01, RMouse = 0x02, MMouse = 0x04, X1Mouse = 0x05, X2Mouse = 0x06;
constexpr uint32_t Tab = 0x09, Esc = 0x1B, Pause = 0x13, PrntScrn = 0x2C, Caps = 0x14, Insert = 0x2D;
constexpr uint32_t NumLock = 0x90, ScrollLock = 0x91, KeyQ = 0x51;
constexpr uint32_t Shift = 0x10, LShift = 0xA0, RShift = 0xA1, LCtrl = 0xA2, RCtrl = 0xA3, LAlt = 0xA4,
                   AltGr = 0xA5, LWin = 0x5B, RWin = 0x5C, Apps = 0x5D;
constexpr uint32_t Wheel = CodeMouseWheel, HWheel = CodeMouseHWheel, Always = CodeAlwaysDown;

using List = std::vector<ComboCandidate>;

std::string Describe(const List& list) {
    std::string text;
    char item[32];
    for (const ComboCandidate& c : list) {
        snprintf(item, sizeof item, "(%X,%X) ", c.code, c.mods);
        text += item;
    }
    return text;
}

void UseMouse(int buttons, bool wheel, bool hwheel) {
    FakeSystem.metrics[platform::MetricCMouseButtons] = buttons;
    FakeSystem.metrics[platform::MetricMouseWheelPresent] = wheel;
    FakeSystem.metrics[platform::MetricMouseHWheelPresent] = hwheel;
}

}  // namespace

TEST(HotkeyChooserCandidates, ListsInOrder) {
    struct Case {
        const char* name;
        uint32_t code;
        uint16_t mods;
        uint32_t initialCode;
        uint16_t initialMods;
        int buttons;
        bool wheel, hwheel, hooks;
        List expected;
    } cases[] = {
        {"toggle on Num Lock", NumLock, 0, NumLock, 0, 5, true, true, true,
         {{NumLock, 0}, {Caps, 0}, {ScrollLock, 0}, {Insert, 0}, {Pause, 0}, {PrntScrn, 0}, {LShift, 0},
          {RShift, 0}, {LCtrl, 0}, {RCtrl, 0}, {LAlt, 0}, {AltGr, 0}, {LWin, 0}, {RWin, 0}, {RMouse, 0},
          {MMouse, 0}, {Wheel, 0}, {HWheel, 0}}},
        {"toggle on Num Lock, two buttons, no wheels", NumLock, 0, NumLock, 0, 2, false, false, true,
         {{NumLock, 0}, {Caps, 0}, {ScrollLock, 0}, {Insert, 0}, {Pause, 0}, {PrntScrn, 0}, {LShift, 0},
          {RShift, 0}, {LCtrl, 0}, {RCtrl, 0}, {LAlt, 0}, {AltGr, 0}, {LWin, 0}, {RWin, 0}, {RMouse, 0}}},
        {"toggle on Num Lock, hooks off", NumLock, 0, NumLock, 0, 5, true, true, false,
         {{NumLock, 0}, {Caps, 0}, {ScrollLock, 0}, {Insert, 0}, {Pause, 0}, {PrntScrn, 0}, {LShift, 0},
          {RShift, 0}, {LCtrl, 0}, {RCtrl, 0}, {LAlt, 0}, {AltGr, 0}, {LWin, 0}, {RWin, 0}, {RMouse, 0},
          {MMouse, 0}}},
        {"move start point on Shift alone", Always, ModShift, Always, ModShift, 5, true, true, true,
         {{Always, ModShift}, {LShift, 0}, {RShift, 0}, {Always, ModAlt}, {Always, ModCtrl},
          {Always, ModWindows}, {Always, ModAltGr}, {LShift, ModShift}, {RShift, ModShift}, {LCtrl, ModShift},
          {RCtrl, ModShift}, {LAlt, ModShift}, {AltGr, ModShift}, {LWin, ModShift}, {RWin, ModShift}}},
        // Captured Ctrl + Left Shift against the default Shift: the list is
        // cut at 30 in the middle of the initial binding's suggestions.
        {"Ctrl + Left Shift captured over Shift", LShift, ModCtrl, Always, ModShift, 5, true, true, true,
         {{LShift, ModCtrl},   {Shift, ModCtrl},    {Always, ModCtrl | ModShift},
          {LShift, 0},         {Always, ModShift},  {RShift, 0},
          {RShift, ModCtrl},   {LCtrl, ModCtrl},    {RCtrl, ModCtrl},
          {LAlt, ModCtrl},     {AltGr, ModCtrl},    {LWin, ModCtrl},
          {RWin, ModCtrl},     {Pause, ModCtrl},    {PrntScrn, ModCtrl},
          {Caps, ModCtrl},     {NumLock, ModCtrl},  {ScrollLock, ModCtrl},
          {Insert, ModCtrl},   {RMouse, ModCtrl},   {MMouse, ModCtrl},
          {Wheel, ModCtrl},    {HWheel, ModCtrl},   {Always, ModAlt},
          {Always, ModCtrl},   {Always, ModWindows}, {Always, ModAltGr},
          {LShift, ModShift},  {RShift, ModShift},  {LCtrl, ModShift}}},
        {"right mouse, three buttons, vertical wheel only", RMouse, 0, RMouse, 0, 3, true, false, true,
         {{RMouse, 0}, {LMouse, 0}, {MMouse, 0}, {Wheel, 0}, {Pause, 0}, {PrntScrn, 0}, {Caps, 0},
          {NumLock, 0}, {ScrollLock, 0}, {Insert, 0}, {LShift, 0}, {RShift, 0}, {LCtrl, 0}, {RCtrl, 0},
          {LAlt, 0}, {AltGr, 0}, {LWin, 0}, {RWin, 0}}},
        {"middle mouse, hooks off: no wheels", MMouse, 0, MMouse, 0, 5, true, true, false,
         {{MMouse, 0}, {LMouse, 0}, {RMouse, 0}, {X1Mouse, 0}, {X2Mouse, 0}, {Pause, 0}, {PrntScrn, 0},
          {Caps, 0}, {NumLock, 0}, {ScrollLock, 0}, {Insert, 0}, {LShift, 0}, {RShift, 0}, {LCtrl, 0},
          {RCtrl, 0}, {LAlt, 0}, {AltGr, 0}, {LWin, 0}, {RWin, 0}}},
        {"Ctrl-Alt + Q: subsets drop the lowest bit first", KeyQ, ModCtrl | ModAlt, KeyQ, ModCtrl | ModAlt, 5,
         true, true, true, {{KeyQ, ModCtrl | ModAlt}, {KeyQ, ModCtrl}, {KeyQ, 0}}},
        {"Ctrl + Shift: generic modifier, both sides", Shift, ModCtrl, Shift, ModCtrl, 5, true, true, true,
         {{Shift, ModCtrl}, {Always, ModCtrl | ModShift}, {Shift, 0}, {LShift, ModCtrl}, {RShift, ModCtrl}}},
        {"Alt Gr + Ctrl generalises to modifiers alone", AltGr, ModCtrl, AltGr, ModCtrl, 0, false, false, true,
         {{AltGr, ModCtrl}, {Always, ModCtrl | ModAltGr}, {AltGr, 0}, {LShift, ModCtrl}, {RShift, ModCtrl},
          {LCtrl, ModCtrl}, {RCtrl, ModCtrl}, {LAlt, ModCtrl}, {LWin, ModCtrl}, {RWin, ModCtrl},
          {Pause, ModCtrl}, {PrntScrn, ModCtrl}, {Caps, ModCtrl}, {NumLock, ModCtrl}, {ScrollLock, ModCtrl},
          {Insert, ModCtrl}}},
        {"Alt-Shift alone: the highest modifier gives the sides", Always, ModAlt | ModShift, Always,
         ModAlt | ModShift, 5, true, true, true,
         {{Always, ModAlt | ModShift}, {LShift, ModAlt}, {RShift, ModAlt}, {Always, ModAlt}, {Always, ModCtrl},
          {Always, ModShift}, {Always, ModWindows}, {Always, ModAltGr}, {LShift, ModAlt | ModShift},
          {RShift, ModAlt | ModShift}, {LCtrl, ModAlt | ModShift}, {RCtrl, ModAlt | ModShift},
          {LAlt, ModAlt | ModShift}, {AltGr, ModAlt | ModShift}, {LWin, ModAlt | ModShift},
          {RWin, ModAlt | ModShift}}},
        {"Right Windows: both groups that hold it", RWin, 0, RWin, 0, 0, false, false, true,
         {{RWin, 0}, {Always, ModWindows}, {LWin, 0}, {Apps, 0}, {Esc, 0}, {Tab, 0}, {LShift, 0}, {RShift, 0},
          {LCtrl, 0}, {RCtrl, 0}, {LAlt, 0}, {AltGr, 0}, {Pause, 0}, {PrntScrn, 0}, {Caps, 0}, {NumLock, 0},
          {ScrollLock, 0}, {Insert, 0}}},
        // Always Down is only ever the first item: the initial binding's
        // Always Down is left out behind Q.
        {"Always Down only first", KeyQ, 0, Always, 0, 5, true, true, true,
         {{KeyQ, 0}, {Always, ModAlt}, {Always, ModCtrl}, {Always, ModShift}, {Always, ModWindows},
          {Always, ModAltGr}, {LShift, 0}, {RShift, 0}, {LCtrl, 0}, {RCtrl, 0}, {LAlt, 0}, {AltGr, 0},
          {LWin, 0}, {RWin, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetFakeSystem();
        UseMouse(c.buttons, c.wheel, c.hwheel);
        const List got = BuildComboCandidates(c.code, c.mods, c.initialCode, c.initialMods, c.hooks);
        EXPECT_EQ(got, c.expected) << Describe(got);
    }
}

TEST(HotkeyChooserCandidates, NoKeyOffersTheFormerKeyAndSelectsNoKey) {
    ResetFakeSystem();
    struct Case {
        uint32_t code;
        uint16_t mods;
        uint32_t initialCode;
        uint16_t initialMods;
    } cases[] = {
        {NumLock | CodeNoKeyFlag, 0, NumLock, 0},
        {KeyQ | CodeNoKeyFlag, ModCtrl, Always, ModShift},
        {Wheel | CodeNoKeyFlag, 0, Always, ModCtrl},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.code);
        const List got = BuildComboCandidates(c.code, c.mods, c.initialCode, c.initialMods, true);
        ASSERT_FALSE(got.empty());
        EXPECT_EQ(got.front(), (ComboCandidate{c.code & ~CodeNoKeyFlag, c.mods}));
        // A switched-off key suggests nothing of its own: beyond its
        // variants, the list is what the initial binding brings.
        const List initialOnly = BuildComboCandidates(c.initialCode, c.initialMods, c.initialCode, c.initialMods, true);
        for (const ComboCandidate& item : initialOnly) {
            EXPECT_NE(std::find(got.begin(), got.end(), item), got.end()) << Describe(got);
        }
        EXPECT_EQ(ComboSelectionFor(c.code), ComboItemNoKey);
        EXPECT_EQ(ComboSelectionFor(c.code & ~CodeNoKeyFlag), ComboFirstCandidate);
    }
}

// Whatever the binding, each candidate appears once, at most 30 of them, with
// Always Down only at the top; the binding itself is the selected item.
TEST(HotkeyChooserCandidates, EveryRebuildShowsEachCandidateOnce) {
    ResetFakeSystem();
    std::vector<uint32_t> codes;
    for (uint32_t code = 0x01; code <= 0xFF; ++code) codes.push_back(code);
    for (uint32_t code : {Wheel, HWheel, CodeWindows, Always}) codes.push_back(code);
    for (uint32_t code : codes) {
        for (uint16_t mods : {uint16_t(0), ModShift, uint16_t(ModCtrl | ModAlt), uint16_t(ModAll)}) {
            for (bool sameInitial : {true, false}) {
                SCOPED_TRACE(testing::Message() << std::hex << code << "/" << mods << " same " << sameInitial);
                const uint32_t initialCode = sameInitial ? code : Always;
                const uint16_t initialMods = sameInitial ? mods : ModShift;
                const List got = BuildComboCandidates(code, mods, initialCode, initialMods, true);
                ASSERT_FALSE(got.empty());
                EXPECT_LE(got.size(), size_t(MaxComboCandidates));
                EXPECT_EQ(got.front(), (ComboCandidate{code, mods}));
                std::set<uint32_t> keys;
                for (size_t i = 0; i < got.size(); ++i) {
                    EXPECT_TRUE(keys.insert(ComboItemData(got[i].code, got[i].mods)).second) << Describe(got);
                    if (i > 0) {
                        EXPECT_FALSE(got[i].code == Always && got[i].mods == 0) << Describe(got);
                    }
                }
            }
        }
    }
}

TEST(HotkeyChooserCandidates, ItemDataRoundTrip) {
    for (ComboCandidate c : {ComboCandidate{Always, ModAll}, ComboCandidate{KeyQ, ModCtrl}, ComboCandidate{HWheel, 0}}) {
        const uint32_t data = ComboItemData(c.code, c.mods);
        EXPECT_EQ(ItemDataCode(data), c.code);
        EXPECT_EQ(ItemDataMods(data), c.mods);
    }
    EXPECT_EQ(ComboItemData(NumLock | CodeNoKeyFlag, ModShift), 0x00048090u);
}

TEST(HotkeyChooserKeys, PressStoresReleaseEndsRepeatsIgnored) {
    using A = ComboKeyAction;
    constexpr uintptr_t Up = 0x10000;
    struct Step {
        uintptr_t wParam;
        bool hooks;
        A action;
        int32_t lastAfter;
    } steps[] = {
        {LCtrl, true, A::StoreBinding, int32_t(LCtrl)},
        {LCtrl, true, A::Ignore, int32_t(LCtrl)},  // auto-repeat
        {KeyQ, true, A::StoreBinding, int32_t(KeyQ)},
        {KeyQ, true, A::Ignore, int32_t(KeyQ)},
        {Up | KeyQ, true, A::EndCapture, -1},
        {KeyQ, true, A::StoreBinding, int32_t(KeyQ)},  // a fresh press counts again
        {Wheel, true, A::StoreBinding, int32_t(KeyQ)},  // codes above 0xFF leave the filter alone
        {Wheel, true, A::StoreBinding, int32_t(KeyQ)},  // ... and are never repeats
        {Up | Wheel, true, A::EndCapture, int32_t(KeyQ)},
        {Wheel, false, A::Ignore, int32_t(KeyQ)},  // needs the hooks
        {CodeWindows, false, A::Ignore, int32_t(KeyQ)},
        {HWheel, false, A::Ignore, int32_t(KeyQ)},
        {Up | HWheel, false, A::Ignore, int32_t(KeyQ)},
        {NumLock | CodeNoKeyFlag, false, A::StoreBinding, int32_t(KeyQ)},  // "No Key" from the page
        {Always, false, A::StoreBinding, int32_t(KeyQ)},
        {Up | 0x41, false, A::EndCapture, -1},
        {0x41, false, A::StoreBinding, 0x41},
        {0xFFFF0000u | 0x41, false, A::EndCapture, -1},  // any high bit means release
    };
    int32_t last = -1;
    for (size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(testing::Message() << "step " << i);
        const ComboKeyDecision d = DecideComboKey(steps[i].wParam, last, steps[i].hooks);
        EXPECT_EQ(d.action, steps[i].action);
        EXPECT_EQ(d.code, uint32_t(steps[i].wParam & 0xFFFF));
        EXPECT_EQ(last, steps[i].lastAfter);
    }
}

TEST(HotkeyChooserKeys, WindowMessagesTakeTheSideThatIsDown) {
    struct Case {
        uint32_t vk;
        bool release;
        int32_t downKey;  // 0 = none
        uint32_t expected;
    } cases[] = {
        {0x10, false, 0, LShift},      {0x10, false, 0xA1, RShift}, {0x11, false, 0xA3, RCtrl},
        {0x11, false, 0xA2, LCtrl},    {0x12, false, 0xA5, AltGr},  {0x12, false, 0, LAlt},
        {0x10, true, 0xA1, LShift},  // a release is not looked at: left
        {0x11, true, 0, LCtrl},        {KeyQ, false, 0xA1, KeyQ},   {RShift, false, 0, RShift},
        {NumLock, true, 0, NumLock},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.vk << " release " << c.release << " down " << c.downKey);
        ResetFakeSystem();
        if (c.downKey) FakeSystem.keyState[c.downKey] = int16_t(0x8000);
        EXPECT_EQ(WindowMessageKeyCode(c.vk, c.release), c.expected);
    }
}

TEST(HotkeyChooserKeys, CaptureStartsOnlyWhenNoKeyIsDown) {
    ResetFakeSystem();
    EXPECT_FALSE(AnyVirtualKeyDown());
    FakeSystem.keyState[NumLock] = 1;  // toggled, not down
    EXPECT_FALSE(AnyVirtualKeyDown());
    for (int32_t key : {0x00, 0x01, 0x0D, 0xFF}) {
        SCOPED_TRACE(key);
        FakeSystem.keyState[key] = int16_t(0x8001);
        EXPECT_TRUE(AnyVirtualKeyDown());
        FakeSystem.keyState[key] = 0;
    }
}

class HotkeyChooserBindings : public testing::Test {
protected:
    void SetUp() override {
        ResetFakeSystem();
        ResetBindingsToDefaults();
    }
    void TearDown() override { ResetBindingsToDefaults(); }
    static HotkeyBinding Read(int32_t role) {
        HotkeyBinding copy;
        GetBinding(BindingAt(role), copy, false);
        return copy;
    }
};

TEST_F(HotkeyChooserBindings, ChosenItemsKeepTheDeadFlag) {
    HotkeyBinding dead = Read(ToggleRuler);
    dead.dead = true;
    SetBinding(BindingAt(ToggleRuler), dead);

    HotkeyBinding b = ApplyComboSelection(ToggleRuler, ComboFirstCandidate + 3, ComboItemData(KeyQ, ModCtrl));
    EXPECT_EQ(b.code, KeyQ);
    EXPECT_EQ(b.mods, ModCtrl);
    EXPECT_TRUE(b.dead);
    EXPECT_EQ(Read(ToggleRuler).code, KeyQ);

    b = ApplyComboSelection(ToggleRuler, ComboItemNoKey, 0);  // item data of "No Key" is not used
    EXPECT_EQ(b.code, KeyQ | CodeNoKeyFlag);
    EXPECT_EQ(b.mods, ModCtrl);
    EXPECT_TRUE(b.dead);

    b = StoreChosenBinding(ToggleRuler, Caps, 0);
    EXPECT_EQ(b.code, Caps);
    EXPECT_EQ(b.mods, 0);
    EXPECT_TRUE(b.dead);
}

TEST_F(HotkeyChooserBindings, DeadCheckBoxChangesOnlyDead) {
    HotkeyBinding b;
    EXPECT_FALSE(StoreDeadFlag(SlowMouse, false, b));  // default: not dead, no change
    EXPECT_TRUE(StoreDeadFlag(SlowMouse, true, b));
    EXPECT_TRUE(b.dead);
    const HotkeyBinding stored = Read(SlowMouse);
    EXPECT_TRUE(stored.dead);
    EXPECT_EQ(stored.code, Always);
    EXPECT_EQ(stored.mods, ModCtrl);
    EXPECT_FALSE(StoreDeadFlag(SlowMouse, true, b));
    EXPECT_FALSE(StoreDeadFlag(7, true, b));  // no such role
}

#include <vector>

#include "base/clock.h"
#include "input/hook_lock.h"
#include "input_test_support.h"

namespace {

constexpr uint32_t NumLock = 0x90, LCtrl = 0xA2, K = 0x4B, F8 = 0x77;
WindowHandle const Combo = reinterpret_cast<WindowHandle>(0x2002);

using HooksTest = InputTest;

bool Key(uint32_t message, uint32_t vk, uint32_t flags = 0, int32_t nCode = 0) {
    return HandleKeyboardHookEvent(nCode, {.message = message, .vkCode = vk, .flags = flags});
}
bool Mouse(uint32_t message, uint32_t mouseData = 0, int32_t nCode = 0) {
    return HandleMouseHookEvent(nCode, {.message = message, .mouseData = mouseData});
}

TEST(MouseMessageToKey, ButtonsWheelsAndMoves) {
    const struct { uint32_t message, mouseData, code; bool down; } cases[] = {
        {WmRButtonUp, 0, 2, false}, {WmXButtonDown, 0x10001, 5, true},  // only the high word counts
        {WmXButtonUp, 0x20000, 6, false}, {WmMouseWheel, 0xFF880000, CodeMouseWheel, true},  // -120: towards the user
        {WmMouseHWheel, 0x00780000, CodeMouseHWheel, false}, {WmLButtonDblClk, 0, 0, true},
    };
    for (const auto& c : cases) {
        bool down = !c.down;
        EXPECT_EQ(MouseMessageToKey(c.message, c.mouseData, down), c.code) << c.message;
        EXPECT_EQ(down, c.down) << c.message << " " << c.mouseData;
    }
}

// Each event is one hook call; the main loop takes every posted MsgKeyEvent
// before the next event, as it does between real key events.
TEST_F(HooksTest, KeyEventsAreSwallowedOnlyByTheirDeadBinding) {
    struct Event { uint32_t message, vk; bool swallowed, announced, systemDown = false; };
    const struct { const char* name; int32_t role; uint32_t code; uint16_t mods; bool dead; std::vector<Event> events; }
    cases[] = {
        {"passed: announced on the first down and on the up", ToggleRuler, NumLock, 0, false,
         {{WmKeyDown, NumLock, 0, 1}, {WmKeyDown, NumLock, 0, 0}, {WmKeyUp, NumLock, 0, 1}}},
        {"dead: down, repeats and up all swallowed", ToggleRuler, NumLock, 0, true,
         {{WmKeyDown, NumLock, 1, 1}, {WmKeyDown, NumLock, 1, 0}, {WmKeyUp, NumLock, 1, 1}}},
        // A release always shares its press's fate, whatever the modifiers say by then.
        {"dead Ctrl+K, Ctrl released first", ToggleRuler, K, ModCtrl, true,
         {{WmKeyDown, LCtrl, 0, 0}, {WmKeyDown, K, 1, 1}, {WmKeyUp, LCtrl, 0, 0}, {WmKeyDown, K, 1, 0},
          {WmKeyUp, K, 1, 0}}},
        {"dead Ctrl+K, Ctrl pressed while K is held", ToggleRuler, K, ModCtrl, true,
         {{WmKeyDown, K, 0, 0}, {WmKeyDown, LCtrl, 0, 0}, {WmKeyDown, K, 0, 1}, {WmKeyUp, K, 0, 1}}},
        {"dead K, Shift pressed and released while K is held", ToggleRuler, K, 0, true,
         {{WmKeyDown, K, 1, 1}, {WmKeyDown, 0xA0, 0, 0}, {WmKeyDown, K, 1, 0}, {WmKeyUp, 0xA0, 0, 0}, {WmKeyUp, K, 1, 1}}},
        // Wine took the held key into the system's state (a window got the focus or the pointer).
        {"dead K that the system holds down all the same: the release lets it up", ToggleRuler, K, 0, true,
         {{WmKeyDown, K, 1, 1}, {WmKeyDown, K, 1, 0, 1}, {WmKeyUp, K, 0, 1, 1}}},
        {"extra modifiers keep the toggle key from matching", ToggleRuler, K, 0, true,
         {{WmKeyDown, LCtrl, 0, 0}, {WmKeyDown, K, 0, 0}}},
        {"dead F8 of a hold-down role, system key", MoveStartPoint, F8, 0, true,
         {{WmSysKeyDown, F8, 1, 1}, {WmSysKeyUp, F8, 1, 1}}},
        {"No Key never matches", ToggleRuler, CodeNoKeyFlag | NumLock, 0, true, {{WmKeyDown, NumLock, 0, 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetInput();
        Bind(c.role, c.code, c.mods, c.dead);
        for (size_t i = 0; i < c.events.size(); ++i) {
            FakeSystem.posts.clear();
            ClearKeyPending();
            FakeSystem.asyncKeyState[c.events[i].vk] = c.events[i].systemDown ? int16_t(0x8000) : 0;
            EXPECT_EQ(Key(c.events[i].message, c.events[i].vk), c.events[i].swallowed) << i;
            EXPECT_EQ(CountPosts(MsgKeyEvent), c.events[i].announced ? 1u : 0u) << i;
        }
    }
}

// Shift, Ctrl or Alt as the key holds and (dead) swallows the press of either side; Left Shift only its own.
TEST_F(HooksTest, AModifierAsTheKeyTakesBothSidesASidedOneOnlyItsOwn) {
    const struct { uint32_t code, vk; bool matched; } cases[] = {
        {0x10, 0xA0, true}, {0x10, 0xA1, true}, {0x11, LCtrl, true}, {0x11, 0xA3, true}, {0x12, 0xA4, true},
        {0x12, 0xA5, true}, {0xA0, 0xA0, true}, {0xA0, 0xA1, false}};
    for (const auto& c : cases) {
        ResetInput();
        Bind(ToggleRuler, c.code, 0, true);
        const bool swallowed = Key(WmKeyDown, c.vk);
        EXPECT_TRUE(swallowed == c.matched && Current(ToggleRuler).held == c.matched) << c.code << " " << c.vk;
    }
}

TEST_F(HooksTest, CaptureTakesEveryKeyAndAnnouncesNone) {
    const struct { uint32_t message, vk, flags; uintptr_t wParam; intptr_t lParam; } cases[] = {
        {WmKeyDown, LCtrl, 0, LCtrl, 0}, {WmKeyDown, 0x10, 0, 0xA0, ModCtrl},  // a generic Shift arrives as Left Shift
        {WmKeyDown, K, KeyFlagUp, 0x10000 | K, ModCtrl | ModShift},  // a down flagged as up is no press
        {WmKeyUp, LCtrl, KeyFlagUp, 0x10000 | LCtrl, ModShift},
    };
    for (const auto& c : cases) {
        SetHookCaptureWindow(Combo);  // a release ends it
        FakeSystem.posts.clear();
        EXPECT_TRUE(Key(c.message, c.vk, c.flags));
        ASSERT_EQ(FakeSystem.posts.size(), 1u);
        const FakePost& p = FakeSystem.posts[0];
        EXPECT_TRUE(p.window == Combo && p.message == MsgHotkeyEvent && p.wParam == c.wParam && p.lParam == c.lParam)
            << c.vk;
    }
    EXPECT_EQ(KeyPending.load(), 0);
    // The release ended the capture: a key pressed before the options thread
    // lets go of it belongs to the application.
    EXPECT_EQ(GetHookCaptureWindow(), nullptr);
    FakeSystem.posts.clear();
    EXPECT_FALSE(Key(WmKeyDown, F8));
    EXPECT_EQ(CountPosts(MsgHotkeyEvent), 0u);

    // A click goes to the combo and is still matched; the capture never swallows it.
    EXPECT_TRUE(Key(WmKeyUp, 0x10, KeyFlagUp));  // a press the capture took, released after it
    SetHookCaptureWindow(Combo);
    Bind(ToggleRuler, 0x01, 0, false);
    FakeSystem.posts.clear();
    EXPECT_FALSE(Mouse(WmLButtonDown));
    ASSERT_EQ(FakeSystem.posts.size(), 3u);
    EXPECT_TRUE(FakeSystem.posts[0].window == Combo && FakeSystem.posts[0].message == MsgPointerEvent);
    EXPECT_EQ(CountPosts(MsgKeyEvent), 1u);
}

TEST_F(HooksTest, MouseEventsAnnounceAtMostOnePointerMessage) {
    Bind(ToggleRuler, CodeMouseWheel, 0, true);
    EXPECT_FALSE(Mouse(WmMouseMove) || Mouse(WmMouseMove));
    EXPECT_TRUE(Mouse(WmMouseWheel, 0xFF880000));  // a dead wheel swallows both directions
    EXPECT_TRUE(Current(ToggleRuler).held);
    EXPECT_TRUE(Mouse(WmMouseWheel, 0x00780000));
    EXPECT_FALSE(Current(ToggleRuler).held);
    EXPECT_EQ(CountPosts(MsgPointerEvent) * 10 + CountPosts(MsgKeyEvent), 11u);  // the second found the first pending
    EXPECT_EQ(FakeSystem.posts[0].window, TestMainWindow);
}

TEST_F(HooksTest, NegativeCodeAndBusyLock) {
    Bind(ToggleRuler, NumLock, 0, true);
    SetHookCaptureWindow(Combo);
    EXPECT_FALSE(Key(WmKeyDown, NumLock, 0, -1) || Mouse(WmLButtonDown, 0, -1));  // passed on unseen
    EXPECT_TRUE(FakeSystem.posts.empty());
    EXPECT_FALSE(Current(ToggleRuler).held);

    // A lock held elsewhere costs the event its state update, not its matching.
    SetHookCaptureWindow(nullptr);
    LetTimePassWhileWaiting();
    ASSERT_TRUE(AcquireHookLock(-1));
    EXPECT_TRUE(Key(WmKeyDown, NumLock));
    ReleaseHookLock();
    EXPECT_FALSE(Current(ToggleRuler).held);
    EXPECT_EQ(CountPosts(MsgKeyEvent), 1u);
    EXPECT_LT(FakeSystem.counter, 200 * FakeSystem.frequency / 1000);  // the hook's limit, not 5 s

    // A release lost so is recovered by the next poll, whether the key's
    // light has moved since (one tap) or not (two taps); that poll leaves
    // alone what it cannot read: Ctrl alone stays held.
    for (int16_t light : {1, 0, -1}) {
        ResetInput();
        LetTimePassWhileWaiting();
        Key(WmKeyDown, LCtrl);
        if (light < 0) FakeSystem.asyncKeyState[LCtrl] = int16_t(0x8000);
        ASSERT_TRUE(AcquireHookLock(-1));
        light < 0 ? Key(WmKeyDown, K) : Key(WmKeyUp, LCtrl);
        ReleaseHookLock();
        if (light >= 0) FakeSystem.keyState[LCtrl] = light;
        EXPECT_EQ(IsRoleHeld(SlowMouse, true), light < 0) << light;
    }
}

// Wine's late copy of the held keys can show a dead key down after the hooks swallowed its press and
// release: the applications get the release, once, and the ruler stays as it was. Later than 2 s, such
// a reading is a press that the hooks missed.
TEST_F(HooksTest, ADeadKeyShownDownAfterItsSwallowedReleaseIsReleased) {
    for (const auto& [msLater, released] : {std::pair{1900, true}, std::pair{2100, false}}) {
        ResetInput();
        Bind(ToggleRuler, K, 0, true);
        Key(WmKeyDown, K), Key(WmKeyUp, K);
        const bool toggle = Current(ToggleRuler).toggle;
        AdvanceFakeClockMicroseconds(msLater * 1000);
        FakeSystem.asyncKeyState[K] = FakeSystem.keyState[K] = int16_t(0x8000);
        IsRoleHeld(ToggleRuler, true), IsRoleHeld(ToggleRuler, true);
        EXPECT_EQ(FakeSystem.releasedKeys, released ? std::vector<uint32_t>{K} : std::vector<uint32_t>{}) << msLater;
        EXPECT_EQ(Current(ToggleRuler).toggle, released == toggle) << msLater;
    }
}

// Installing starts the key state afresh and clears the hook's pending flag
// (a lost message must not block later ones); a hook is set once, and a
// failed removal still forgets it, so that a later install sets a new one.
TEST_F(HooksTest, InstallingStartsTheKeyStateAfresh) {
    static int sets, removes;
    sets = removes = 0;
    const SetHookCall set = [](void*) { return reinterpret_cast<void*>(uintptr_t(++sets)); };
    const RemoveHookCall failingRemove = [](void*) { return ++removes < 0; };
    Feed(NumLock, true);  // toggle on by a press, light off
    KeyPending = PointerPending = 1;
    ASSERT_TRUE(ChangeHook(HookKind::Mouse, nullptr, true, set, failingRemove));
    EXPECT_EQ(PointerPending.load() * 10 + KeyPending.load(), 1);
    EXPECT_TRUE(Current(ToggleRuler).held);
    LetTimePassWhileWaiting();
    ASSERT_TRUE(AcquireHookLock(-1));  // busy elsewhere: nothing changes
    EXPECT_FALSE(ChangeHook(HookKind::Keyboard, nullptr, true, set, failingRemove));
    ReleaseHookLock();
    EXPECT_FALSE(ChangeHook(HookKind::Keyboard, nullptr, true, [](void*) -> void* { return nullptr; }, nullptr));
    EXPECT_FALSE(KeyboardHookInstalled()) << "the system refused";
    EXPECT_TRUE(ChangeHook(HookKind::Keyboard, nullptr, true, set, failingRemove));
    EXPECT_TRUE(ChangeHook(HookKind::Keyboard, nullptr, true, set, failingRemove));  // already set
    EXPECT_EQ(KeyPending.load(), 0);
    EXPECT_FALSE(Current(ToggleRuler).held || Current(ToggleRuler).toggle);  // from the light, not the press
    // Two presses of a dead key, then the system takes the held key from the keyboard (Wine, at a focus
    // change), flipping its toggled bit once: the toggle follows the hook, a lock key's its light.
    for (const auto& [key, toggle] : {std::pair{K, false}, std::pair{NumLock, true}}) {
        Bind(ToggleRuler, key, 0, true);
        Key(WmKeyDown, key), Key(WmKeyUp, key), Key(WmKeyDown, key);
        FakeSystem.asyncKeyState[key] = int16_t(0x8000), FakeSystem.keyState[key] = int16_t(0x8001);
        EXPECT_TRUE(IsRoleHeld(ToggleRuler, true) && Current(ToggleRuler).toggle == toggle) << key;
    }
    // Installed: a binding is read as the hooks left it unless a resync is asked for.
    FakeSystem.asyncKeyState[0xA0] = int16_t(0x8000);
    EXPECT_FALSE(IsRoleHeld(MoveStartPoint, false));
    EXPECT_TRUE(IsRoleHeld(MoveStartPoint, true));
    EXPECT_FALSE(ChangeHook(HookKind::Keyboard, nullptr, false, set, failingRemove));
    EXPECT_FALSE(KeyboardHookInstalled());
    ChangeHook(HookKind::Mouse, nullptr, false, set, failingRemove);
    EXPECT_EQ(sets * 10 + removes, 22);
}

TEST(PerfClock, WholeMillisecondsBetweenStamps) {
    const struct { PerfStamp from, to; uint32_t ms; } cases[] = {
        {{100, 999'999}, {101, 0}, 0}, {{100, 500'000}, {101, 500'000}, 1000}, {{100, 0}, {100, 999}, 0},
        {{100, 0}, {100, 1000}, 1}, {{0, 0}, {4'294'968, 0}, 704},  // 49.7 days on: modulo 2^32 ms
    };
    for (const auto& c : cases) EXPECT_EQ(PerfClock::MillisecondsBetween(c.from, c.to), c.ms) << c.to.seconds;
}

TEST(HookLock, WaitsUpToItsLimitThenGivesUp) {
    ResetFakeSystem();
    ASSERT_TRUE(AcquireHookLock(100));
    EXPECT_EQ(FakeSystem.counter, 0) << "a free lock is taken at once";
    FakeSystem.sleepExtraCounts = FakeSystem.frequency / 1000;
    EXPECT_FALSE(AcquireHookLock(100));
    const int64_t waitedMs = FakeSystem.counter * 1000 / FakeSystem.frequency;
    EXPECT_TRUE(waitedMs > 100 && waitedMs <= 112) << waitedMs;
    ReleaseHookLock();
    EXPECT_TRUE(AcquireHookLock(0));
    ReleaseHookLock();
}

// The hooks post a message per event burst: never two queued, none stuck after a failed post.
TEST(PostOnce, OneQueuedMessagePerBurst) {
    ResetFakeSystem();
    KeyPending = 0;
    auto post = [] { return PostOnce(TestMainWindow, MsgKeyEvent, KeyPending); };
    FakeSystem.postSucceeds = false;
    EXPECT_EQ(post(), 0);
    FakeSystem.postSucceeds = true;
    post(), post();
    EXPECT_EQ(FakeSystem.posts.size(), 1u);
    EXPECT_EQ(ClearKeyPending(), 1);
}

}  // namespace

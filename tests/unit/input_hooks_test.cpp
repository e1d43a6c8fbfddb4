#include <vector>

#include "input/hook_lock.h"
#include "input_test_support.h"

namespace {

constexpr uint32_t NumLock = 0x90, LCtrl = 0xA2, K = 0x4B, F8 = 0x77;
WindowHandle const Combo = reinterpret_cast<WindowHandle>(0x2002);

using HooksTest = InputTest;

bool Key(uint32_t message, uint32_t vk, uint32_t flags = 0, int32_t nCode = 0) {
    KeyboardHookEvent event;
    event.message = message;
    event.vkCode = vk;
    event.flags = flags;
    return HandleKeyboardHookEvent(nCode, event);
}

bool Mouse(uint32_t message, uint32_t mouseData = 0, int32_t nCode = 0) {
    MouseHookEvent event;
    event.message = message;
    event.mouseData = mouseData;
    return HandleMouseHookEvent(nCode, event);
}

TEST(MouseMessageToKey, ButtonsWheelsAndMoves) {
    struct Case {
        uint32_t message, mouseData, code;
        bool down;
    } cases[] = {
        {WmLButtonDown, 0, 1, true},           {WmLButtonUp, 0, 1, false},
        {WmRButtonDown, 0, 2, true},           {WmRButtonUp, 0, 2, false},
        {WmMButtonDown, 0, 4, true},           {WmMButtonUp, 0, 4, false},
        {WmXButtonDown, 0x10000, 5, true},     {WmXButtonUp, 0x10000, 5, false},
        {WmXButtonDown, 0x20000, 6, true},     {WmXButtonUp, 0x20000, 6, false},
        {WmXButtonDown, 0, 6, true},           {WmXButtonDown, 0xFFFF0001, 6, true},
        {WmXButtonDown, 0x00000001, 6, true},  // only the high word names the button
        {WmMouseWheel, 0xFF880000, CodeMouseWheel, true},    // -120: towards the user
        {WmMouseWheel, 0x00780000, CodeMouseWheel, false},   // +120: away
        {WmMouseWheel, 0x8000FFFF, CodeMouseWheel, true},
        {WmMouseHWheel, 0xFF880000, CodeMouseHWheel, true},  // tilted left
        {WmMouseHWheel, 0x00780000, CodeMouseHWheel, false},
        {WmMouseMove, 0, 0, true},             {WmLButtonDblClk, 0, 0, true},
        {0xFFFFFFFF, 0xFFFFFFFF, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.message << " " << c.mouseData);
        bool down = !c.down;
        EXPECT_EQ(MouseMessageToKey(c.message, c.mouseData, down), c.code);
        EXPECT_EQ(down, c.down);
    }
}

// Each event is one keyboard hook call; the main loop takes every posted
// MsgKeyEvent before the next event, as it does between real key events.
TEST_F(HooksTest, KeyEventsAreSwallowedOnlyByTheirDeadBinding) {
    struct Event {
        uint32_t message, vk;
        bool swallowed, announced;
    };
    struct Case {
        const char* name;
        int32_t role;
        uint32_t code;
        uint16_t mods;
        bool dead;
        int32_t roleFilter;
        std::vector<Event> events;
    } cases[] = {
        {"Num Lock passes and is announced on down and up", ToggleRuler, NumLock, 0, false, 0,
         {{WmKeyDown, NumLock, false, true}, {WmKeyDown, NumLock, false, false}, {WmKeyUp, NumLock, false, true}}},
        {"dead: down, repeats and up are all swallowed", ToggleRuler, NumLock, 0, true, -1,
         {{WmKeyDown, NumLock, true, true}, {WmKeyDown, NumLock, true, false}, {WmKeyUp, NumLock, true, true}}},
        {"dead Ctrl+K, Ctrl released first: K up passes", ToggleRuler, K, ModCtrl, true, -1,
         {{WmKeyDown, LCtrl, false, false}, {WmKeyDown, K, true, true}, {WmKeyDown, K, true, false},
          {WmKeyUp, LCtrl, false, false}, {WmKeyUp, K, false, false}}},
        {"other modifiers keep a toggle key from matching", ToggleRuler, K, 0, true, -1,
         {{WmKeyDown, LCtrl, false, false}, {WmKeyDown, K, false, false}}},
        {"dead F8 on a hold-down role, ruler off", MoveStartPoint, F8, 0, true, ToggleRuler,
         {{WmKeyDown, F8, false, false}, {WmKeyUp, F8, false, false}}},
        {"dead F8 on a hold-down role, ruler on", MoveStartPoint, F8, 0, true, -1,
         {{WmSysKeyDown, F8, true, true}, {WmSysKeyUp, F8, true, true}}},
        {"a filter beyond the roles matches nothing", ToggleRuler, NumLock, 0, true, 9,
         {{WmKeyDown, NumLock, false, false}}},
        {"No Key never matches", ToggleRuler, CodeNoKeyFlag | NumLock, 0, true, -1,
         {{WmKeyDown, NumLock, false, false}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetInput();
        Bind(c.role, c.code, c.mods, c.dead);
        SetRoleFilter(c.roleFilter);
        int step = 0;
        for (const Event& e : c.events) {
            SCOPED_TRACE(step++);
            FakeSystem.posts.clear();
            ClearKeyPending();
            EXPECT_EQ(Key(e.message, e.vk), e.swallowed);
            EXPECT_EQ(CountPosts(MsgKeyEvent), e.announced ? 1u : 0u);
        }
    }
}

TEST_F(HooksTest, CaptureTakesEveryKeyAndAnnouncesNone) {
    SetHookCaptureWindow(Combo);
    Bind(ToggleRuler, NumLock, 0, false);
    struct Case {
        uint32_t message, vk, flags;
        uintptr_t wParam;
        intptr_t lParam;
    } cases[] = {
        {WmKeyDown, LCtrl, 0, LCtrl, 0},
        {WmKeyDown, 0x10, 0, 0xA0, ModCtrl},  // a generic Shift arrives as Left Shift
        {WmKeyDown, NumLock, 0, NumLock, ModCtrl | ModShift},
        {WmKeyUp, NumLock, KeyFlagUp, 0x10000 | NumLock, ModCtrl | ModShift},
        {WmKeyDown, K, KeyFlagUp, 0x10000 | K, ModCtrl | ModShift},  // odd: a down flagged as up
        {WmKeyUp, LCtrl, KeyFlagUp, 0x10000 | LCtrl, ModShift},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.vk);
        FakeSystem.posts.clear();
        EXPECT_TRUE(Key(c.message, c.vk, c.flags));
        ASSERT_EQ(FakeSystem.posts.size(), 1u);
        const FakePost& post = FakeSystem.posts[0];
        EXPECT_EQ(post.window, Combo);
        EXPECT_EQ(post.message, MsgHotkeyEvent);
        EXPECT_EQ(post.wParam, c.wParam);
        EXPECT_EQ(post.lParam, c.lParam);
    }
    // The key state still follows the events.
    EXPECT_EQ(GetModifiers(0x8000), ModShift);
    EXPECT_EQ(KeyPending.load(), 0);

    // A click is reported to the combo and still matched, never swallowed by the capture.
    Key(WmKeyUp, 0x10, KeyFlagUp);
    Bind(ToggleRuler, 0x01, 0, false);
    FakeSystem.posts.clear();
    EXPECT_FALSE(Mouse(WmLButtonDown));
    EXPECT_EQ(CountPosts(MsgPointerEvent), 2u);  // the combo's and the main window's
    EXPECT_EQ(CountPosts(MsgKeyEvent), 1u);
    EXPECT_EQ(FakeSystem.posts[0].window, Combo);
}

TEST_F(HooksTest, MouseEventsAnnounceAtMostOnePointerMessage) {
    Bind(ToggleRuler, CodeMouseWheel, 0, true);
    EXPECT_FALSE(Mouse(WmMouseMove));
    EXPECT_FALSE(Mouse(WmMouseMove));
    ASSERT_EQ(FakeSystem.posts.size(), 1u);
    EXPECT_EQ(FakeSystem.posts[0].window, TestMainWindow);
    EXPECT_EQ(FakeSystem.posts[0].message, MsgPointerEvent);
    // A dead wheel binding swallows both directions; each notch toggles once.
    EXPECT_TRUE(Mouse(WmMouseWheel, 0xFF880000));
    EXPECT_TRUE(Current(ToggleRuler).held);
    EXPECT_TRUE(Mouse(WmMouseWheel, 0x00780000));
    EXPECT_FALSE(Current(ToggleRuler).held);
    EXPECT_EQ(CountPosts(MsgKeyEvent), 1u);  // the second one found the first pending
    EXPECT_EQ(CountPosts(MsgPointerEvent), 1u);
}

TEST_F(HooksTest, NegativeCodeIsPassedOnUnseen) {
    Bind(ToggleRuler, NumLock, 0, true);
    SetHookCaptureWindow(Combo);
    EXPECT_FALSE(Key(WmKeyDown, NumLock, 0, -1));
    EXPECT_FALSE(Mouse(WmLButtonDown, 0, -1));
    EXPECT_TRUE(FakeSystem.posts.empty());
    EXPECT_FALSE(Current(ToggleRuler).held);
}

TEST_F(HooksTest, ABusyLockSkipsOnlyTheStateUpdate) {
    Bind(ToggleRuler, NumLock, 0, true);
    FakeSystem.sleepExtraCounts = FakeSystem.frequency / 1000;  // time passes while waiting
    ASSERT_TRUE(AcquireHookLock(-1));  // held by the options thread
    EXPECT_TRUE(Key(WmKeyDown, NumLock));
    ReleaseHookLock();
    EXPECT_FALSE(Current(ToggleRuler).held);
    EXPECT_EQ(CountPosts(MsgKeyEvent), 1u);
    ASSERT_FALSE(FakeSystem.sleeps.empty());
    // Gave up after about the hook's limit, not the install limit.
    EXPECT_LT(FakeSystem.counter, 200 * FakeSystem.frequency / 1000);
}

// A scripted system for the install bookkeeping.
struct FakeHookSystem {
    bool setSucceeds = true;
    bool removeSucceeds = true;
    int sets = 0;
    int removes = 0;
} HookCalls;

void* FakeSet(void*) {
    ++HookCalls.sets;
    return HookCalls.setSucceeds ? reinterpret_cast<void*>(uintptr_t(0x7700 + HookCalls.sets)) : nullptr;
}
bool FakeRemove(void*) {
    ++HookCalls.removes;
    return HookCalls.removeSucceeds;
}

TEST_F(HooksTest, InstallingAndRemovingKeepsOneHandle) {
    struct Step {
        bool install, setSucceeds, removeSucceeds;
        bool result;
        int sets, removes;
        bool installed;
    } steps[] = {
        {false, true, true, true, 0, 0, false},   // removing a removed hook
        {true, false, true, false, 1, 0, false},  // the system refuses
        {true, true, true, true, 2, 0, true},
        {true, true, true, true, 2, 0, true},     // already installed: nothing happens
        {false, true, false, false, 2, 1, false}, // removal fails, the handle is forgotten
        {true, true, true, true, 3, 1, true},
        {false, true, true, true, 3, 2, false},
    };
    HookCalls = {};
    int i = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(i++);
        HookCalls.setSucceeds = s.setSucceeds;
        HookCalls.removeSucceeds = s.removeSucceeds;
        EXPECT_EQ(ChangeHook(HookKind::Keyboard, nullptr, s.install, FakeSet, FakeRemove), s.result);
        EXPECT_EQ(HookCalls.sets, s.sets);
        EXPECT_EQ(HookCalls.removes, s.removes);
        EXPECT_EQ(KeyboardHookInstalled(), s.installed);
    }
}

TEST_F(HooksTest, InstallingStartsTheKeyStateAfresh) {
    HookCalls = {};
    Feed(NumLock, true);
    Feed(0xA0, true);
    KeyPending = 1;
    PointerPending = 1;

    // The mouse hook only clears its own flag.
    ASSERT_TRUE(ChangeHook(HookKind::Mouse, nullptr, true, FakeSet, FakeRemove));
    EXPECT_EQ(PointerPending.load(), 0);
    EXPECT_EQ(KeyPending.load(), 1);
    EXPECT_EQ(GetModifiers(0x8000), ModShift);
    EXPECT_TRUE(Current(ToggleRuler).held);

    // A lock that stays busy: nothing changes.
    FakeSystem.sleepExtraCounts = FakeSystem.frequency / 1000;  // time passes while waiting
    ASSERT_TRUE(AcquireHookLock(-1));
    EXPECT_FALSE(ChangeHook(HookKind::Keyboard, nullptr, true, FakeSet, FakeRemove));
    ReleaseHookLock();
    EXPECT_EQ(HookCalls.sets, 1);
    EXPECT_EQ(KeyPending.load(), 1);

    ASSERT_TRUE(ChangeHook(HookKind::Keyboard, nullptr, true, FakeSet, FakeRemove));
    EXPECT_EQ(KeyPending.load(), 0);
    EXPECT_EQ(GetModifiers(0x8000), 0);
    EXPECT_FALSE(Current(ToggleRuler).held);
    EXPECT_FALSE(Current(ToggleRuler).toggle);  // from the light, not from the counted press
    EXPECT_TRUE(KeyboardHookInstalled());

    // With the hook in place a binding is read as the hook left it, unless a resync is asked for.
    FakeSystem.asyncKeyState[0xA0] = int16_t(0x8000);
    EXPECT_FALSE(IsRoleHeld(MoveStartPoint, false));
    EXPECT_TRUE(IsRoleHeld(MoveStartPoint, true));

    ChangeHook(HookKind::Keyboard, nullptr, false, FakeSet, FakeRemove);
    ChangeHook(HookKind::Mouse, nullptr, false, FakeSet, FakeRemove);
    EXPECT_FALSE(KeyboardHookInstalled());
}

}  // namespace

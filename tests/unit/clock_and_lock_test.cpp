#include <gtest/gtest.h>

#include "app/app_messages.h"
#include "app/clock.h"
#include "fakes/fake_platform.h"
#include "input/hook_lock.h"

TEST(PerfClock, WholeMillisecondsBetweenStamps) {
    const struct { PerfStamp from, to; uint32_t ms; } cases[] = {
        {{100, 999'999}, {101, 0}, 0},  // 1 us across a second boundary
        {{100, 500'000}, {101, 500'000}, 1000},
        {{100, 0}, {100, 999}, 0},
        {{100, 0}, {100, 1000}, 1},
        {{0, 0}, {4'294'968, 0}, 704},  // 49.7 days on: modulo 2^32 ms
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
    EXPECT_GT(waitedMs, 100);
    EXPECT_LE(waitedMs, 112);
    ReleaseHookLock();
    EXPECT_TRUE(AcquireHookLock(0));
    ReleaseHookLock();
}

// The hooks post a message per event burst: never two queued, none lost
// while the main loop handles one, and none stuck after a failed post.
TEST(PostOnce, OneQueuedMessagePerBurst) {
    ResetFakeSystem();
    KeyPending = 0;
    const WindowHandle window = reinterpret_cast<WindowHandle>(0x1234);
    auto post = [&] { return PostOnce(window, MsgKeyEvent, KeyPending); };
    post(), post();
    EXPECT_EQ(ClearKeyPending(), 1);
    post();
    ClearKeyPending();
    FakeSystem.postSucceeds = false;
    EXPECT_EQ(post(), 0);
    FakeSystem.postSucceeds = true;
    post();
    ClearKeyPending();
    ASSERT_EQ(FakeSystem.posts.size(), 3u);
    EXPECT_TRUE(FakeSystem.posts[1].window == window && FakeSystem.posts[1].message == MsgKeyEvent);
}

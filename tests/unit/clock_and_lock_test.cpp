#include <gtest/gtest.h>

#include <thread>

#include "app/app_messages.h"
#include "app/clock.h"
#include "fakes/fake_platform.h"
#include "input/hook_lock.h"
#include "platform/window_messages.h"

TEST(PerfClock, WholeMillisecondsBetweenStamps) {
    struct Case {
        PerfStamp from, to;
        uint32_t ms;
    } cases[] = {
        {{100, 999'999}, {101, 0}, 0},          // 1 us across a second boundary
        {{100, 500'000}, {101, 500'000}, 1000},  // exactly one second
        {{100, 0}, {100, 999}, 0},
        {{100, 0}, {100, 1000}, 1},
        {{100, 250'000}, {102, 100'000}, 1850},
        // Modulo 2^32 ms: a stamp 49.7 days back wraps around.
        {{0, 0}, {4'294'968, 0}, uint32_t(uint64_t(4'294'968'000) % (uint64_t(1) << 32))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from.seconds << "." << c.from.microseconds << " -> " << c.to.seconds
                                        << "." << c.to.microseconds);
        EXPECT_EQ(PerfClock::MillisecondsBetween(c.from, c.to), c.ms);
    }
}

TEST(PerfClock, FollowsTheCounterNotTheWallClock) {
    ResetFakeSystem();
    PerfStamp stamp;
    PerfClock::Now(stamp);
    AdvanceFakeClockMicroseconds(1'234'567);
    FakeSystem.wallSeconds -= 3600;  // the system time is set back: no effect
    EXPECT_EQ(PerfClock::Elapsed(stamp), 1234u);
    EXPECT_EQ(PerfClock::Restart(stamp), 1234u);
    AdvanceFakeClockMicroseconds(20'000);
    EXPECT_EQ(PerfClock::Elapsed(stamp), 20u);
}

TEST(HookLock, FreeLockIsTakenWithoutSleeping) {
    ResetFakeSystem();
    ASSERT_TRUE(AcquireHookLock(100));
    EXPECT_TRUE(FakeSystem.sleeps.empty());
    ReleaseHookLock();
}

TEST(HookLock, GivesUpAfterTheLimitSleepingInTenMsSteps) {
    ResetFakeSystem();
    ASSERT_TRUE(AcquireHookLock(-1));  // held "elsewhere"
    FakeSystem.sleepExtraCounts = FakeSystem.frequency / 1000;  // each call costs 1 ms
    const int64_t startCounter = FakeSystem.counter;
    EXPECT_FALSE(AcquireHookLock(100));
    ASSERT_GE(FakeSystem.sleeps.size(), 2u);
    EXPECT_EQ(FakeSystem.sleeps.front(), 0u);  // the first pass only yields
    for (size_t i = 1; i < FakeSystem.sleeps.size(); ++i) EXPECT_EQ(FakeSystem.sleeps[i], 10u);
    // Gave up just after 100 ms: not before, and not a step later.
    const int64_t waitedMs = (FakeSystem.counter - startCounter) * 1000 / FakeSystem.frequency;
    EXPECT_GT(waitedMs, 100);
    EXPECT_LE(waitedMs, 112);
    ReleaseHookLock();
    EXPECT_TRUE(AcquireHookLock(0));
    ReleaseHookLock();
}

TEST(PostOnce, NeverTwoQueuedAndNothingLostDuringHandling) {
    ResetFakeSystem();
    KeyPending = 0;
    WindowHandle window = reinterpret_cast<WindowHandle>(0x1234);
    // A burst of events while nothing was taken yet: one message.
    EXPECT_EQ(PostOnce(window, MsgKeyEvent, KeyPending), 1);
    EXPECT_EQ(PostOnce(window, MsgKeyEvent, KeyPending), 1);  // the old flag value
    EXPECT_EQ(FakeSystem.posts.size(), 1u);
    // The loop takes it and clears the flag first; an event during the
    // handling posts exactly one new message.
    EXPECT_EQ(ClearKeyPending(), 1);
    EXPECT_EQ(PostOnce(window, MsgKeyEvent, KeyPending), 1);
    EXPECT_EQ(PostOnce(window, MsgKeyEvent, KeyPending), 1);
    ASSERT_EQ(FakeSystem.posts.size(), 2u);
    EXPECT_EQ(FakeSystem.posts[1].message, MsgKeyEvent);
    EXPECT_EQ(FakeSystem.posts[1].window, window);
    // A failed post leaves nothing pending, so later events still get through.
    ClearKeyPending();
    FakeSystem.postSucceeds = false;
    EXPECT_EQ(PostOnce(window, MsgKeyEvent, KeyPending), 0);
    FakeSystem.postSucceeds = true;
    EXPECT_EQ(PostOnce(window, MsgKeyEvent, KeyPending), 1);
    EXPECT_EQ(FakeSystem.posts.size(), 3u);
    ClearKeyPending();
}

TEST(PostOnce, ConcurrentPostersQueueOneMessage) {
    ResetFakeSystem();
    std::atomic<int32_t> flag{0};
    std::atomic<int> posted{0};
    platform::WindowMessages saved = platform::Messages;
    static std::atomic<int>* counter = nullptr;
    counter = &posted;
    platform::Messages.post = [](WindowHandle, uint32_t, uintptr_t, intptr_t) {
        ++*counter;
        return true;
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 1000; ++i) PostOnce(nullptr, MsgPointerEvent, flag);
        });
    }
    for (auto& t : threads) t.join();
    platform::Messages = saved;
    EXPECT_EQ(posted.load(), 1);
}

#include <gtest/gtest.h>

#include "app/app_messages.h"
#include "app/command_line.h"

TEST(CommandLine, WordsAfterDashOrSlashInAnyCase) {
    struct Case {
        const char* argument;
        bool hide, exit, restart;
        const char* unknown;
    } cases[] = {
        {"-hide", true, false, false, nullptr},
        {"-HIDE", true, false, false, nullptr},
        {"/hide", true, false, false, nullptr},
        {"-Hide", true, false, false, nullptr},
        {"/EXIT", false, true, false, nullptr},
        {"-ReStArT", false, false, true, nullptr},
        {"hide", false, false, false, "hide"},     // no prefix: refused as typed
        {"/bogus", false, false, false, "/bogus"},
        {"--hide", false, false, false, "--hide"},
        {"-hidee", false, false, false, "-hidee"},
        {"-", false, false, false, "-"},
        {"", false, false, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.argument);
        const CommandLineWords words = ParseCommandLine({c.argument});
        EXPECT_EQ(words.hide, c.hide);
        EXPECT_EQ(words.exit, c.exit);
        EXPECT_EQ(words.restart, c.restart);
        EXPECT_EQ(words.unknown.has_value(), c.unknown != nullptr);
        if (c.unknown && words.unknown) {
            EXPECT_EQ(*words.unknown, c.unknown);
        }
    }
}

TEST(CommandLine, StopsAtTheFirstUnknownWord) {
    const CommandLineWords words = ParseCommandLine({"-hide", "/x", "-exit"});
    EXPECT_TRUE(words.hide);
    EXPECT_FALSE(words.exit);
    ASSERT_TRUE(words.unknown.has_value());
    EXPECT_EQ(*words.unknown, "/x");
}

TEST(SingleInstance, DecisionTable) {
    constexpr intptr_t None = -1;
    struct Row {
        bool other, hide, exit, restart;
        intptr_t request;  // None: nothing is posted
        bool keepRunning;
    } rows[] = {
        {false, false, false, false, None, true},
        {false, true, false, false, None, true},
        {false, false, false, true, None, true},
        {false, false, true, false, None, false},
        {false, true, true, true, None, false},
        {true, false, false, false, 0, false},
        {true, true, false, false, None, false},
        {true, false, true, false, InstanceRequestExit, false},
        {true, true, true, false, InstanceRequestExit, false},
        {true, false, false, true, InstanceRequestRestart, true},
        {true, true, false, true, None, true},
        {true, false, true, true, InstanceRequestRestart | InstanceRequestExit, false},
        {true, true, true, true, InstanceRequestRestart | InstanceRequestExit, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "other=" << r.other << " hide=" << r.hide << " exit=" << r.exit
                                        << " restart=" << r.restart);
        CommandLineWords words;
        words.hide = r.hide;
        words.exit = r.exit;
        words.restart = r.restart;
        const InstanceDecision d = DecideInstance(r.other, words);
        EXPECT_EQ(d.request.has_value() ? *d.request : None, r.request);
        EXPECT_EQ(d.keepRunning, r.keepRunning);
    }
}

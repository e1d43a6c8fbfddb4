#include <gtest/gtest.h>

#include "app/app_messages.h"
#include "app/command_line.h"

TEST(CommandLine, WordsAfterDashOrSlashInAnyCase) {
    const struct { std::vector<std::string> arguments; bool hide, exit, restart; const char* unknown; } cases[] = {
        {{"-HIDE"}, true, false, false, nullptr},
        {{"/exit"}, false, true, false, nullptr},
        {{"-ReStArT", "/Hide"}, true, false, true, nullptr},
        {{"hide"}, false, false, false, "hide"},  // refused as typed
        {{"--hide"}, false, false, false, "--hide"},
        {{"-hidee"}, false, false, false, "-hidee"},
        {{"-hide", "/x", "-exit"}, true, false, false, "/x"},  // stops at the first unknown word
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.back());
        const CommandLineWords words = ParseCommandLine(c.arguments);
        EXPECT_EQ(words.hide, c.hide);
        EXPECT_EQ(words.exit, c.exit);
        EXPECT_EQ(words.restart, c.restart);
        EXPECT_EQ(words.unknown.value_or("(none)"), c.unknown ? c.unknown : "(none)");
    }
}

TEST(SingleInstance, DecisionTable) {
    constexpr intptr_t None = -1, Exit = InstanceRequestExit, Restart = InstanceRequestRestart;
    // Another instance running; -hide, -exit, -restart given; what is posted to it; this one keeps running.
    const struct { bool other, hide, exit, restart; intptr_t request; bool keepRunning; } rows[] = {
        {0, 0, 0, 0, None, 1}, {0, 1, 0, 1, None, 1}, {0, 0, 1, 0, None, 0},
        {1, 0, 0, 0, 0, 0},  // the running one opens its options
        {1, 1, 0, 0, None, 0}, {1, 1, 1, 0, Exit, 0}, {1, 0, 0, 1, Restart, 1}, {1, 1, 0, 1, None, 1},
        {1, 0, 1, 1, Restart | Exit, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.other << r.hide << r.exit << r.restart);
        CommandLineWords words;
        words.hide = r.hide;
        words.exit = r.exit;
        words.restart = r.restart;
        const InstanceDecision d = DecideInstance(r.other, words);
        EXPECT_EQ(d.request.value_or(None), r.request);
        EXPECT_EQ(d.keepRunning, r.keepRunning);
    }
}

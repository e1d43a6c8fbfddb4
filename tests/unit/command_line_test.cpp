#include <gtest/gtest.h>

#include "app/app_messages.h"
#include "app/command_line.h"

// Single words, their case and the refusals a user meets are seen end to end;
// here the mixed lists.
TEST(CommandLine, WordsAfterDashOrSlashInAnyCase) {
    const struct { std::vector<std::string> arguments; bool hide, exit, restart; const char* unknown; } cases[] = {
        {{"-ReStArT", "/Hide"}, true, false, true, nullptr},
        {{"-hide", "/x", "-exit"}, true, false, false, "/x"},  // stops at the first unknown word
        {{"-hidee", "hide"}, false, false, false, "-hidee"},
    };
    for (const auto& c : cases) {
        const CommandLineWords w = ParseCommandLine(c.arguments);
        EXPECT_TRUE(w.hide == c.hide && w.exit == c.exit && w.restart == c.restart) << c.arguments[0];
        EXPECT_EQ(w.unknown.value_or("(none)"), c.unknown ? c.unknown : "(none)");
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
        const InstanceDecision d = DecideInstance(r.other, {.hide = r.hide, .exit = r.exit, .restart = r.restart});
        EXPECT_EQ(d.request.value_or(None), r.request) << r.other << r.hide << r.exit << r.restart;
        EXPECT_EQ(d.keepRunning, r.keepRunning) << r.other << r.hide << r.exit << r.restart;
    }
}

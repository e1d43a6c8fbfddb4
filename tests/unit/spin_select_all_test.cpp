#include <gtest/gtest.h>

#include "options/spin_edit.h"

namespace {

// After an arrow click the up-down selects its partner's whole text; the
// field must take that as select-all, or the focus stays on the frame and
// typed digits go nowhere.
TEST(SpinEdit, SelectAllInEveryFormTheUpDownSends) {
    const struct {
        uintptr_t start;
        intptr_t end;
        bool all;
    } cases[] = {
        {0, -1, true},
        {0, intptr_t(int32_t(0xFFFF0000u)), true},  // MAKELONG(0, -1), sign-extended
        {0, intptr_t(0xFFFF0000u), true},           // the same, zero-extended
        {0, 5, false},
        {2, -1, false},
        {uintptr_t(-1), 0, false},  // remove the selection
    };
    for (const auto& c : cases) EXPECT_EQ(IsSelectAll(c.start, c.end), c.all) << c.start << " " << c.end;
}

}  // namespace

#include <gtest/gtest.h>

#include "options/spin_edit.h"

// After an arrow click the up-down selects its partner's text; unless the
// field takes that as select-all, the focus stays on the frame and typed
// digits go nowhere. Wine sends the end as MAKELONG(0, -1).
TEST(SpinEdit, SelectAllInEveryFormTheUpDownSends) {
    EXPECT_TRUE(IsSelectAll(0, -1));
    EXPECT_TRUE(IsSelectAll(0, intptr_t(int32_t(0xFFFF0000u))));
    EXPECT_TRUE(IsSelectAll(0, intptr_t(0xFFFF0000u)));
    EXPECT_FALSE(IsSelectAll(0, 5) || IsSelectAll(2, -1) || IsSelectAll(uintptr_t(-1), 0));
}

// A damaged stored value is repaired once, at the load, the same way for
// every user; anything the options window can produce loads as it was saved.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "unit/settings_test_support.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

void SeedDouble(const char* name, double v) {
    std::vector<uint8_t> bytes(8);
    std::memcpy(bytes.data(), &v, 8);
    SeedValue(name, platform::StoreBinary, bytes);
}

TEST(StoredValueRepair, DamagedValuesLoadUsableAndOptionValuesUnchanged) {
    const struct {
        double linethick;
        int32_t refnr;
        double refangle;
        double thickLoaded, angleLoaded;
        int32_t refnrLoaded;
    } cases[] = {
        {0.0, 0, -180.0, 0.0, -180.0, 0},  // the fields' lower ends
        {99.0, 99, 180.0, 99.0, 180.0, 99},
        {2.5, 7, -11.25, 2.5, -11.25, 7},
        {1e300, 100000, 540.0, 99.0, 180.0, 99},
        {kNaN, -5, kNaN, 0.0, 0.0, 0},
        {-3.0, -2147483647 - 1, -1e300, 0.0, std::remainder(-1e300, 360.0), 0},
    };
    for (const auto& c : cases) {
        ResetAllSettings();
        SeedDouble("linethick", c.linethick);
        SeedDouble("refangle", c.refangle);
        SeedDword("refnr", uint32_t(c.refnr));
        SettingsExchange(false);
        EXPECT_EQ(TheDisplay.linethick.load(), c.thickLoaded) << c.linethick;
        EXPECT_EQ(TheDisplay.refnr.load(), c.refnrLoaded) << c.refnr;
        EXPECT_EQ(TheDisplay.measure.referenceAngle.load(), c.angleLoaded) << c.refangle;
    }
}

}  // namespace

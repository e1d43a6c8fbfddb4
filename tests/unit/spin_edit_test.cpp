#include <gtest/gtest.h>

#include <string>

#include "options/spin_edit.h"

namespace {

// The four fields of the option pages, with their constants.
SpinEdit TimesReflected() { return SpinEdit{0, 99, 0, -1, 1}; }
SpinEdit Angle() { return SpinEdit{-180, 180, 360, 2, 11.25}; }
SpinEdit Thickness() { return SpinEdit{0, 99, 0, 1, 0.5}; }
SpinEdit RedrawLimit() { return SpinEdit{10, 999, 0, -1, 10}; }

struct TypedCase {
    const char* what;
    SpinEdit (*field)();
    double previous;        // the value before the text changed
    const char* typed;      // the box's text after the keystroke
    const char* shown;      // the text shown at once
    double value;
    const char* afterBlur;  // the text shown once the box lost the focus
};

// Typing runs ReadText (clean, parse, show); losing the focus clears the typed
// decimals and shows the value again.
TEST(SpinEdit, TypedTextIsCleanedClampedAndFormatted) {
    const TypedCase cases[] = {
        {"comma is a point", Thickness, 1, "1,5", "1.5", 1.5, "1.5"},
        {"point", Thickness, 1, "1.5", "1.5", 1.5, "1.5"},
        {"typed zero kept while focused", Thickness, 1, "1.50", "1.50", 1.5, "1.5"},
        {"whole number gets one decimal", Thickness, 1, "2", "2.0", 2, "2.0"},
        {"angle shows two decimals", Angle, 0, "11.25", "11.25", 11.25, "11.25"},
        {"angle pads typed fraction", Angle, 0, "22.5", "22.50", 22.5, "22.50"},
        {"angle low end", Angle, 0, "-180", "-180.00", -180, "-180.00"},
        {"angle wraps above", Angle, 0, "370", "10.00", 10, "10.00"},
        {"angle wraps below", Angle, 0, "-200", "160.00", 160, "160.00"},
        {"letters vanish", TimesReflected, 1, "1a2b", "12", 12, "12"},
        {"late minus vanishes", Thickness, 1, "3-", "3.0", 3, "3.0"},
        {"second point vanishes", Thickness, 1, "1.2.5", "1.25", 1.25, "1.25"},
        {"point then comma", Thickness, 1, "1.2,5", "1.25", 1.25, "1.25"},
        {"redraw limit clamped up", RedrawLimit, 50, "5", "10", 10, "10"},
        {"redraw limit clamped down", RedrawLimit, 50, "5000", "999", 999, "999"},
        {"negative clamped to zero", TimesReflected, 4, "-3", "0", 0, "0"},
        {"empty text brings the value back", RedrawLimit, 50, "", "50", 50, "50"},
        {"lone minus brings it back", Angle, 45, "-", "45.00", 45, "45.00"},
        {"lone point brings it back", Thickness, 2.5, ".", "2.5", 2.5, "2.5"},
        {"long typed fraction kept", Thickness, 1, "1.2500", "1.2500", 1.25, "1.25"},
    };
    for (const TypedCase& c : cases) {
        SCOPED_TRACE(c.what);
        SpinEdit field = c.field();
        NormalizeSpinLimits(field);
        field.value = c.previous;
        TakeSpinText(field, c.typed);
        EXPECT_EQ(FormatSpinValue(field), c.shown);
        EXPECT_DOUBLE_EQ(field.value, c.value);
        field.typedDecimals = 0;
        EXPECT_EQ(FormatSpinValue(field), c.afterBlur);
    }
}

TEST(SpinEdit, CleaningKeepsOneLeadingMinusAndOnePoint) {
    const struct {
        const char* typed;
        const char* clean;
        int32_t typedDecimals;
    } cases[] = {
        {"-12.5", "-12.5", 2},   {"1-2", "12", 0},       {"--3", "-3", 0},
        {"x-1", "-1", 0},        {",75", ".75", 3},      {"1.", "1.", 1},
        {"1.2.3,4", "1.234", 4}, {"\xc2\xb0" "45", "45", 0}, {"", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        const CleanedText cleaned = CleanSpinText(c.typed);
        EXPECT_EQ(cleaned.text, c.clean);
        EXPECT_EQ(cleaned.typedDecimals, c.typedDecimals);
    }
}

TEST(SpinEdit, GridPositionsAndStepCount) {
    const struct {
        const char* what;
        SpinEdit (*field)();
        int32_t position;
        double value;
    } cases[] = {
        {"angle first", Angle, 1, -180},  {"angle zero", Angle, 17, 0},
        {"angle last", Angle, 33, 180},   {"angle below range", Angle, 0, -191.25},
        {"angle above range", Angle, 34, 191.25}, {"angle one step", Angle, 18, 11.25},
        {"thickness zero", Thickness, 1, 0},      {"thickness one", Thickness, 3, 1},
        {"thickness last", Thickness, 199, 99},   {"thickness below range", Thickness, 0, -0.5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const SpinEdit field = c.field();
        EXPECT_DOUBLE_EQ(SpinGridValue(field, c.position), c.value);
        EXPECT_EQ(SpinGridPosition(field, c.value), c.position);
    }
    EXPECT_EQ(SpinStepCount(Angle()), 34);
    EXPECT_EQ(SpinStepCount(Thickness()), 200);
    // Values between grid points snap to the nearest, halves away from zero.
    EXPECT_EQ(SpinGridPosition(Angle(), 5.625), 18);
    EXPECT_EQ(SpinGridPosition(Angle(), -5.625), 16);
    EXPECT_EQ(SpinGridPosition(Thickness(), 1.2), 3);
}

// A step of the arrows arrives as a grid position; past either end it wraps
// (angle) or stays at the limit, and the up-down is moved to the position of
// the value shown, so that the next click steps from there.
TEST(SpinEdit, SteppingWrapsOrStopsAtTheEnds) {
    const struct {
        const char* what;
        SpinEdit (*field)();
        int32_t to;        // the position the up-down stepped to
        int32_t position;  // where the up-down must be afterwards
        const char* shown;
    } steps[] = {
        {"down from -180", Angle, 0, 33, "180.00"},
        {"up from 180", Angle, 34, 1, "-180.00"},
        {"inside the range", Angle, 16, 16, "-11.25"},
        {"thickness below zero", Thickness, 0, 1, "0.0"},
        {"thickness above 99", Thickness, 200, 199, "99.0"},
        {"thickness step", Thickness, 4, 4, "1.5"},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        SpinEdit field = s.field();
        field.typedDecimals = 4;
        EXPECT_EQ(TakeSpinStep(field, s.to, 0, SpinStepCount(field)), s.position);
        EXPECT_EQ(field.typedDecimals, 0);
        EXPECT_EQ(FormatSpinValue(field), s.shown);
    }
}

TEST(SpinEdit, ModeLimitsAndAcceleration) {
    EXPECT_TRUE(SpinIntegerMode(TimesReflected(), true));
    EXPECT_TRUE(SpinIntegerMode(RedrawLimit(), true));
    EXPECT_FALSE(SpinIntegerMode(Angle(), true));
    EXPECT_FALSE(SpinIntegerMode(Thickness(), true));
    EXPECT_TRUE(SpinIntegerMode(Thickness(), false));

    SpinEdit broken{5, 5, -1, 0, 0};
    NormalizeSpinLimits(broken);
    EXPECT_EQ(broken.min, 0);
    EXPECT_EQ(broken.max, 2147483647.0);
    EXPECT_EQ(broken.wrap, 0);
    EXPECT_EQ(broken.step, 1);
    EXPECT_EQ(SpinIntegerHigh(broken), 2147483647);
    EXPECT_EQ(SpinStepCount(broken), 2147483647);
    SpinEdit wide{-1e12, 7.9, 0, 0, 1};
    EXPECT_EQ(SpinIntegerLow(wide), -2147483647);
    EXPECT_EQ(SpinIntegerHigh(wide), 7);

    EXPECT_EQ(ScaledAccelIncrement(5, 10), 50u);
    EXPECT_EQ(ScaledAccelIncrement(20, 10.9), 200u);
    EXPECT_EQ(ScaledAccelIncrement(300000000, 10), 1000000000u);
    EXPECT_EQ(RoundHalfAway(2.5), 3);
    EXPECT_EQ(RoundHalfAway(-2.5), -3);
}

}  // namespace

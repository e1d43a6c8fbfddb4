#include <gtest/gtest.h>

#include <string>

#include "options/spin_edit.h"

namespace {

// The four fields of the option pages, with their constants.
SpinEdit TimesReflected() { return SpinEdit{0, 99, 0, -1, 1}; }
SpinEdit Angle() { return SpinEdit{-180, 180, 360, 2, 11.25}; }
SpinEdit Thickness() { return SpinEdit{0, 99, 0, 1, 0.5}; }
SpinEdit RedrawLimit() { return SpinEdit{10, 999, 0, -1, 10}; }

// Typing cleans, parses and shows the text at once; losing the focus forgets
// the typed decimals and shows the value again (clamping is seen end to end).
TEST(SpinEdit, TypedTextIsCleanedClampedAndFormatted) {
    // The value before the text changed, the box's text after the keystroke, the text shown at once, the
    // value, the text shown once the box lost the focus.
    const struct { const char* what; SpinEdit (*field)(); double previous; const char *typed, *shown; double value;
                   const char* afterBlur; } cases[] = {
        {"comma is a point", Thickness, 1, "1,5", "1.5", 1.5, "1.5"},
        {"typed zero kept while focused", Thickness, 1, "1.50", "1.50", 1.5, "1.5"},
        {"whole number gets one decimal", Thickness, 1, "2", "2.0", 2, "2.0"},
        {"angle wraps above", Angle, 0, "370", "10.00", 10, "10.00"},
        {"angle wraps below", Angle, 0, "-200", "160.00", 160, "160.00"},
        {"one leading minus", Angle, 0, "x--3", "-3.00", -3, "-3.00"},
        {"degree sign vanishes", Angle, 0, "\xc2\xb0" "45", "45.00", 45, "45.00"},
        {"letters vanish", TimesReflected, 1, "1a2b", "12", 12, "12"},
        {"second point vanishes", Thickness, 1, "1.2,5", "1.25", 1.25, "1.25"},
        {"empty text brings the value back", RedrawLimit, 50, "", "50", 50, "50"},
        {"lone minus brings it back", Angle, 45, "-", "45.00", 45, "45.00"},
    };
    for (const auto& c : cases) {
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

// A step of the arrows arrives as a grid position; past either end it wraps
// (angle) or stays at the limit, and the up-down is moved to the position of
// the value shown, so that the next click steps from there.
TEST(SpinEdit, SteppingWrapsOrStopsAtTheEnds) {
    // The position the up-down stepped to, where it must be afterwards, the text.
    const struct { SpinEdit (*field)(); int32_t to, position; const char* shown; } steps[] = {
        {Angle, 0, 33, "180.00"},      {Angle, 34, 1, "-180.00"},    {Angle, 16, 16, "-11.25"},
        {Thickness, 0, 1, "0.0"},      {Thickness, 200, 199, "99.0"}, {Thickness, 4, 4, "1.5"},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.to);
        SpinEdit field = s.field();
        field.typedDecimals = 4;
        EXPECT_EQ(TakeSpinStep(field, s.to, 0, SpinStepCount(field)), s.position);
        EXPECT_EQ(FormatSpinValue(field), s.shown);
    }
    // A typed value shows on the up-down at its grid point, or the nearest one, halves away from zero.
    const std::pair<double, int32_t> angles[] = {{-180, 1}, {0, 17}, {180, 33}, {5.625, 18}, {-5.625, 16}};
    for (const auto& [value, position] : angles) EXPECT_EQ(SpinGridPosition(Angle(), value), position) << value;
}

// Whole-number fields let the up-down count by itself (any field without one counts whole); its accelerated
// steps never overflow. After an arrow click the up-down selects its partner's text; unless the field takes that
// as select-all, the focus stays on the frame and typed digits go nowhere. Wine sends the end as MAKELONG(0, -1).
TEST(SpinEdit, WhatTheUpDownDoesAndSends) {
    const std::pair<SpinEdit (*)(), bool> fields[] = {{TimesReflected, true}, {RedrawLimit, true}, {Angle, false},
                                                     {Thickness, false}};
    for (const auto& [field, integer] : fields) EXPECT_EQ(SpinIntegerMode(field(), true), integer) << field().max;
    EXPECT_TRUE(SpinIntegerMode(Thickness(), false));
    EXPECT_EQ(ScaledAccelIncrement(300000000, 10), 1000000000u);
    EXPECT_TRUE(IsSelectAll(0, -1));
    EXPECT_TRUE(IsSelectAll(0, intptr_t(int32_t(0xFFFF0000u))));
    EXPECT_TRUE(IsSelectAll(0, intptr_t(0xFFFF0000u)));
    EXPECT_FALSE(IsSelectAll(0, 5) || IsSelectAll(2, -1) || IsSelectAll(uintptr_t(-1), 0));
}

}  // namespace

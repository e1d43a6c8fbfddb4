#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "measure/calibration.h"
#include "measure/copy_text.h"
#include "measure/edid.h"
#include "input_test_support.h"

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
const std::string Deg = "\xC2\xB0";

// 96 x 48 pixels: 1 x 0.5 inch at 96 per inch. Pixels keep today's label
// whatever the monitor says; a broken monitor report counts as 96 per inch
// or 100 %; a damaged stored unit is pixels.
TEST(UnitLabel, EveryUnitWithItsPrecisionAndBothForms) {
    const struct { int32_t unit; MonitorScale scale; bool reflection; std::string text; } cases[] = {
        {0, {1.5, 120.0}, false, "96x48 107.3 63.4" + Deg},         {99, {}, false, "96x48 107.3 63.4" + Deg},
        {1, {1.5, 96.0}, false, "64.0x32.0 71.6 dip 63.4" + Deg},   {2, {}, false, "25.4x12.7 28.4 mm 63.4" + Deg},
        {1, {0.0, 96.0}, false, "96.0x48.0 107.3 dip 63.4" + Deg},  {2, {0.0, NaN}, false, "25.4x12.7 28.4 mm 63.4" + Deg},
        {2, {1.0, 120.0}, false, "20.3x10.2 22.7 mm 63.4" + Deg},   {3, {}, true, "2.54x1.27 2.84 cm [63.4" + Deg + "]"},
        {4, {}, false, "1.000x0.500 1.118 in 63.4" + Deg},          {5, {}, false, "72.0x36.0 80.5 pt 63.4" + Deg},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatUnitLabel(-96.0, 48.0, std::hypot(96.0, 48.0), 63.43, c.reflection, UnitFromStored(c.unit),
                                  c.scale), c.text) << c.unit;
    }
    EXPECT_EQ(FormatUnitLabel(0, 0, 0, -0.01, false, MeasureUnit::Millimetres, {}), "0.0x0.0 0.0 mm 0.0" + Deg);
}

TEST(CopyText, LabelFormAndDetailsForm) {
    CopySource source{{100, 100}, {196, 148}, 63.43, false};
    const std::string details = "start 100,100 px; end 196,148 px; dx 25.4 mm; dy 12.7 mm; length 28.4 mm; angle 63.4";
    EXPECT_EQ(FormatCopyText(CopyFormFromStored(1), source, MeasureUnit::Millimetres, {}), details + Deg);
    EXPECT_EQ(FormatCopyText(CopyForm::Details, source, MeasureUnit::PhysicalPixels, {}),
              "start 100,100 px; end 196,148 px; dx 96 px; dy 48 px; length 107 px; angle 63.4" + Deg);
    source.reflectionMode = true;
    EXPECT_EQ(FormatCopyText(CopyFormFromStored(7), source, MeasureUnit::Millimetres, {}),
              "25.4x12.7 28.4 mm [63.4" + Deg + "]");
}

// The credit card's 85.60 mm over 323.5 pixels is a 96-per-inch screen.
TEST(Calibration, RefusesBadInputAndKeepsTheRightSource) {
    const struct { double pixels; const char* typed; double ppi; /* 0: refused */ } cases[] = {
        {323.5, "85.60", 95.99}, {323.5, " 85,6 ", 95.99}, {654.0, "85.6", 194.06},
        {323.5, "0", 0},         {323.5, "-85.6", 0},      {323.5, "abc", 0},  {323.5, "85.6mm", 0},
        {67.5, "85.6", 20.03},   {67.0, "85.6", 0},        {6740.0, "85.6", 1999.95}, {6745.0, "85.6", 0},
        {0.0, "85.6", 0},        {323.5, "nan", 0},        {323.5, "", 0},
    };
    for (const auto& c : cases) {
        const CalibrationResult r = Calibrate(c.pixels, c.typed);
        EXPECT_NEAR(r.accepted ? r.pixelsPerInch : 0, c.ppi, 0.01) << c.typed << " " << c.pixels;
        EXPECT_EQ(r.message.empty(), r.accepted) << c.typed;
    }
    EXPECT_EQ(ResolvePixelSize(120.0, 84.6, 1.0).source, PixelSizeSource::Calibrated);
    EXPECT_EQ(ResolvePixelSize(5000.0, 84.6, 1.0).source, PixelSizeSource::Monitor);  // a damaged calibration
    EXPECT_EQ(ResolvePixelSize(std::nullopt, NaN, 1.5).pixelsPerInch, 144.0);  // Windows' inch at 150 %
    EXPECT_EQ(ResolvePixelSize(std::nullopt, std::nullopt, NaN).pixelsPerInch, 96.0);
}

// Base blocks of two real monitors: a Dell D1918H (41 x 23 cm, 1366 x 768)
// and a 13.3" AU Optronics laptop panel (29 x 17 cm; 293 x 165 mm).
const char* const Dell =
    "00ffffffffffff0010ac052001010101061c0103802917782aebc5a25754a0270c5054a54b0001010101010101010101"
    "010101010101662156aa51001e30468f33009ae61000001e000000ff00324338464a383235354b35450a000000fc0044"
    "31393138480a202020202020000000fd00384b1e5309000a2020202020200180";
const char* const Laptop =
    "00ffffffffffff0006af2d1000000000001a0104951d117802c314935859922922515700000001010101010101010101"
    "010101010101143780b87038244010103e0025a51000001a242c80b87038244010103e0025a51000001a000000fe0057"
    "3934464a8342313333484142000000000000412296001100000a010a20200069";

TEST(Edid, ImageSizeFromRealAndDamagedBlocks) {
    const struct { const char* block; std::vector<std::pair<int, int>> changes; int32_t widthMm, heightMm; } cases[] = {
        {Dell, {}, 410, 230}, {Laptop, {}, 293, 165},
        {Laptop, {{66, 0x10}}, 290, 170},                            // descriptor far from the cm: the cm win
        {Laptop, {{21, 0}}, 293, 165},                               // no cm (rare): the descriptor alone
        {Laptop, {{21, 0}, {22, 0}, {66, 16}, {67, 9}, {68, 0}}, 0, 0},  // a projector, an aspect ratio as its size
        {Dell, {{0, 0x01}}, 0, 0},                                   // not an EDID header
        {Dell, {{21, 16}, {22, 9}}, 410, 230},                       // 16 and 9 as centimetres: only the shape
        {Dell, {{21, 79}, {22, 0}}, 410, 230},                       // EDID 1.4's ratio code (16:9), landscape
        {Dell, {{21, 16}, {22, 9}, {66, 0}, {67, 0}, {68, 0}}, 0, 0},  // a shape and no size
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> b;
        for (const char* p = c.block; *p; p += 2) b.push_back(uint8_t(std::stoul(std::string(p, 2), nullptr, 16)));
        for (const auto& [at, value] : c.changes) b[size_t(at)] = uint8_t(value);
        b[127] = 0;  // the checksum, after the changes
        for (size_t i = 0; i < 127; ++i) b[127] = uint8_t(b[127] - b[i]);
        b.resize(3 * 128, 0x02);  // two extension blocks, as many monitors have: only the base block counts
        const std::optional<EdidImageSize> size = DecodeEdidImageSize(b.data(), b.size());
        EXPECT_EQ(std::pair(size ? size->widthMm : 0, size ? size->heightMm : 0), std::pair(c.widthMm, c.heightMm))
            << &c - cases;
        EXPECT_FALSE(DecodeEdidImageSize(b.data(), 127));
        b[127] ^= 1;
        EXPECT_FALSE(DecodeEdidImageSize(b.data(), b.size())) << "a wrong checksum";
    }
    EXPECT_NEAR(*EdidPixelsPerInch({410, 230}, 1366, 768), 84.6, 0.05);
    EXPECT_NEAR(*EdidPixelsPerInch({527, 296}, 1080, 1920), 92.5, 0.05);  // a 24" monitor turned to portrait
}

// One copy per press of the copy key (Pause): none for auto-repeats, none while the ruler is off (only
// the toggle key is matched then), none with Ctrl held, one when a resync saw the key go down first.
TEST_F(InputTest, CopyKeyCopiesOncePerPress) {
    const struct { uint32_t message, vk; int32_t filter; bool seenByResync; size_t copies; /* so far */ } steps[] = {
        {WmKeyDown, 0x13, -1, false, 1},          {WmKeyDown, 0x13, -1, false, 1},
        {WmKeyUp, 0x13, -1, false, 1},            {WmKeyDown, 0x13, ToggleRuler, false, 1},
        {WmKeyUp, 0x13, ToggleRuler, false, 1},   {WmKeyDown, 0x13, -1, true, 2},
        {WmKeyUp, 0x13, -1, false, 2},            {WmKeyDown, 0xA2, -1, false, 2},
        {WmKeyDown, 0x13, -1, false, 2},          {WmKeyUp, 0xA2, -1, false, 2},
        {WmKeyUp, 0x13, -1, false, 2},            {WmKeyDown, 0x13, -1, false, 3},
    };
    for (const auto& step : steps) {
        SetRoleFilter(step.filter);
        if (step.seenByResync) Feed(step.vk, true);
        KeyboardHookEvent event;
        event.message = step.message;
        event.vkCode = step.vk;
        HandleKeyboardHookEvent(0, event);
        CopyPending = 0;  // the main loop took it
        EXPECT_EQ(CountPosts(MsgCopyMeasurement), step.copies) << &step - steps;
    }
}

}  // namespace

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <vector>

#include "app/clock.h"
#include "display/label_outline.h"
#include "display/label_text.h"
#include "display/measure_model.h"
#include "display/overlay_timing.h"
#include "display/pointer_extent.h"
#include "fakes/fake_platform.h"

using namespace overlay_timing;

namespace {

void AdvanceMs(int64_t ms) { AdvanceFakeClockMicroseconds(ms * 1000); }

}  // namespace

TEST(OverlayFade, StepsReachTheTargetExactly) {
    struct Case {
        const char* name;
        int32_t startAlpha;
        bool in;
        int32_t alpha, rlimit, fade;
        int32_t step;
        std::vector<int32_t> tickMs;  // time of each timer tick since the previous step
        std::vector<int32_t> alphas;  // the alpha after each tick
        bool ends;                    // the last tick ends the fade
    } cases[] = {
        {"default fade in", 0, true, 164, 50, 300, 27, {50, 50, 50, 50, 50, 50, 50}, {27, 54, 81, 108, 135, 162, 164}, true},
        {"default fade out", 164, false, 164, 50, 300, -27, {50, 50, 50, 50, 50, 50, 50},
         {137, 110, 83, 56, 29, 2, 0}, true},
        {"late tick moves further", 0, true, 164, 50, 300, 27, {75, 50}, {40, 67}, false},
        {"early tick moves less", 0, true, 164, 50, 300, 27, {10}, {5}, false},
        {"fade 0 jumps in one period", 0, true, 164, 50, 0, 256, {50}, {164}, true},
        {"negative fade jumps too", 164, false, 164, 50, -40, -256, {50}, {0}, true},
        {"slow fade never stalls", 0, true, 164, 50, 100000, 1, {50, 50}, {1, 2}, false},
        {"reversed half-way", 81, false, 164, 50, 300, -27, {50, 50, 50}, {54, 27, 0}, true},
        {"alpha above 255 is clamped", 0, true, 999, 50, 0, 256, {50}, {255}, true},
        {"rlimit 0 counts as 1 ms", 0, true, 164, 0, 300, 1, {50, 50, 50, 50}, {50, 100, 150, 164}, true},
        {"negative rlimit counts as 1 ms", 0, true, 200, -50, 100, 2, {1, 99}, {2, 200}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetFakeSystem();
        FadeState fade{c.startAlpha, c.startAlpha, 0};
        PerfStamp clock;
        PerfClock::Now(clock);
        if (c.in) {
            BeginFadeIn(fade, c.alpha, c.rlimit, c.fade);
        } else {
            BeginFadeOut(fade, c.alpha, c.rlimit, c.fade);
        }
        EXPECT_EQ(fade.step, c.step);
        // The first step only arms the timer: nothing shows before one period.
        ASSERT_EQ(FadeStepNow(fade, clock, true, c.rlimit), FadeTimer::Start);
        EXPECT_EQ(fade.current, c.startAlpha);
        for (size_t i = 0; i < c.alphas.size(); ++i) {
            AdvanceMs(c.tickMs[i]);
            const FadeTimer timer = FadeStepNow(fade, clock, false, c.rlimit);
            EXPECT_EQ(fade.current, c.alphas[i]) << "tick " << i;
            const bool last = i + 1 == c.alphas.size();
            EXPECT_EQ(timer, last && c.ends ? FadeTimer::Kill : FadeTimer::KeepAsIs)
                << "tick " << i;
        }
    }
}

TEST(OverlayFade, FadeThatHasNothingToDoEndsAtOnce) {
    struct Case {
        int32_t current;
        bool in;
        int32_t alpha;
    } cases[] = {{164, true, 164}, {0, false, 164}, {0, true, 0}, {0, true, -20}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.current << (c.in ? " in to " : " out with ") << c.alpha);
        FadeState fade{c.current, c.current, 0};
        c.in ? BeginFadeIn(fade, c.alpha, 50, 300) : BeginFadeOut(fade, c.alpha, 50, 300);
        EXPECT_EQ(AdvanceFade(fade, true, 0, 50), FadeTimer::Kill);
        EXPECT_EQ(fade.current, fade.target);
    }
}

TEST(OverlayFade, ChangedAlphaSettingShowsWithoutFadeUnlessFadingOut) {
    struct Case {
        const char* name;
        FadeState before;
        int32_t alpha;
        bool changed;
        int32_t current, target;
    } cases[] = {
        {"shown", {164, 164, 27}, 200, true, 200, 200},
        {"fading in to the same value", {54, 164, 27}, 164, false, 54, 164},
        {"fading in to an old value", {54, 164, 27}, 100, true, 100, 100},
        {"fading out", {110, 0, -27}, 200, false, 110, 0},
        {"hidden", {0, 0, -27}, 200, false, 0, 0},
        {"out-of-range setting", {164, 164, 27}, 999, true, 255, 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FadeState fade = c.before;
        EXPECT_EQ(AdoptAlphaSetting(fade, c.alpha), c.changed);
        EXPECT_EQ(fade.current, c.current);
        EXPECT_EQ(fade.target, c.target);
    }
}

TEST(OverlayRedraw, DecisionAgainstTheLimit) {
    struct Case {
        uint32_t elapsed;
        int32_t rlimit;
        bool drawNow;
        uint32_t period;
    } cases[] = {
        {0, 50, false, 50}, {49, 50, false, 1}, {50, 50, true, 0}, {4'000'000'000u, 50, true, 0},
        {0, 0, false, 1},   {1, 0, true, 0},    {0, -7, false, 1}, {3, 2'147'483'647, false, 2'147'483'644u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.elapsed << " ms, rlimit " << c.rlimit);
        const RedrawDecision d = DecideRedraw(c.elapsed, c.rlimit);
        EXPECT_EQ(d.drawNow, c.drawNow);
        if (!c.drawNow) {
            EXPECT_EQ(d.timerPeriodMs, c.period);
        }
    }
}

// Requests at the given times, with a timer that each deferring request
// replaces, as the window's timer does.
TEST(OverlayRedraw, BurstOfRequestsGivesOneDeferredFrame) {
    ResetFakeSystem();
    PerfStamp redrawClock;
    PerfClock::Now(redrawClock);
    AdvanceMs(1000);  // a quiet time since the last frame

    std::vector<int64_t> frames;
    int64_t timerDue = -1;
    int64_t now = 0;
    auto request = [&] {
        const RedrawDecision d = ScheduleRedraw(redrawClock, 50);
        if (d.drawNow) {
            frames.push_back(now);
            timerDue = -1;
        } else {
            timerDue = now + d.timerPeriodMs;
        }
    };
    const std::map<int64_t, int> requests = {{0, 1},  {10, 1}, {11, 1}, {12, 2}, {14, 1}, {15, 1},
                                             {17, 1}, {18, 1}, {20, 2}, {200, 1}};
    for (; now <= 300; ++now) {
        if (now == timerDue) request();
        if (auto it = requests.find(now); it != requests.end())
            for (int i = 0; i < it->second; ++i) request();
        AdvanceMs(1);
    }
    EXPECT_EQ(frames, (std::vector<int64_t>{0, 50, 200}));
}

TEST(NumbersLabel, TextShowsDistancesLengthAndAngle) {
    struct Case {
        Point start, pointer;
        double referenceAngle;
        bool reflection;
        const char* text;
    } cases[] = {
        {{100, 100}, {220, 145}, 0.0, false, "120x45 128.2 110.6\xC2\xB0"},
        {{100, 100}, {220, 145}, 0.0, true, "120x45 128.2 [110.6\xC2\xB0]"},
        {{100, 100}, {220, 145}, 30.0, false, "120x45 128.2 80.6\xC2\xB0"},
        {{100, 100}, {220, 145}, 30.0, true, "120x45 128.2 [110.6\xC2\xB0]"},
        {{100, 100}, {40, 100}, 0.0, false, "60x0 60.0 -90.0\xC2\xB0"},
        {{100, 100}, {100, 130}, 0.0, false, "0x30 30.0 180.0\xC2\xB0"},
        {{100, 100}, {100, 100}, 30.0, false, "0x0 0.0 -30.0\xC2\xB0"},
        {{100, 100}, {100, 40}, 0.0, false, "0x60 60.0 0.0\xC2\xB0"},            // -0, no sign
        {{100, 100}, {99, -100000}, 0.0, false, "1x100100 100100.0 0.0\xC2\xB0"},  // -0.0006
    };
    for (const Case& c : cases) {
        MeasureState state;
        state.startPoint = c.start;
        state.currentPoint = c.pointer;
        state.referenceAngle = c.referenceAngle;
        state.reflectionMode = c.reflection;
        const MeasureReadout r = ReadMeasurement(state);
        EXPECT_EQ(FormatLabelText(double(r.dx), double(r.dy), r.length, r.shownAngle, c.reflection), c.text);
    }
}

TEST(NumbersLabel, GapGrowsWithTheLine) {
    const struct {
        double linethick;
        int32_t gap;
    } cases[] = {{1.0, 4}, {0.2, 4}, {6.0, 9}, {0.0, 3}, {99.0, 102}};
    for (const auto& c : cases) EXPECT_EQ(LabelGap(c.linethick), c.gap) << c.linethick;
}

TEST(NumbersLabel, PlacedBesidePointerAwayFromStartAndInsideDesktop) {
    const Rect desktop{0, 0, 1920, 1080};
    const Rect arrow{0, 0, 11, 18};  // a standard arrow, hotspot at its tip
    struct Case {
        const char* name;
        Point pointer;
        int32_t startX;
        Rect extent;
        double linethick;
        Rect screen;
        Rect label;
    } cases[] = {
        // A 60x13 text makes a 62x15 label from 6 rows above the pointer's row.
        {"right of the arrow", {500, 400}, 100, arrow, 1.0, desktop, {512, 394, 574, 409}},
        {"left when left of the start", {500, 400}, 900, arrow, 1.0, desktop, {435, 394, 497, 409}},
        {"level with the start goes right", {500, 400}, 500, arrow, 1.0, desktop, {512, 394, 574, 409}},
        {"thick line widens the gap", {500, 400}, 100, {0, 0, 5, 5}, 6.0, desktop, {510, 394, 572, 409}},
        {"no pointer known", {500, 400}, 900, {}, 1.0, desktop, {435, 394, 497, 409}},
        {"clear of a pointer reaching left", {500, 400}, 900, {-12, -8, 3, 8}, 1.0, desktop, {427, 394, 489, 409}},
        {"right edge goes left", {1900, 400}, 100, arrow, 1.0, desktop, {1835, 394, 1897, 409}},
        {"just fits on the right", {1845, 400}, 100, arrow, 1.0, desktop, {1857, 394, 1919, 409}},
        {"one pixel short on the right", {1846, 400}, 100, arrow, 1.0, desktop, {1781, 394, 1843, 409}},
        {"left edge goes right", {10, 400}, 900, arrow, 1.0, desktop, {22, 394, 84, 409}},
        {"top edge shifts down only", {500, 3}, 100, arrow, 1.0, desktop, {512, 0, 574, 15}},
        {"bottom edge shifts up only", {500, 1078}, 100, arrow, 1.0, desktop, {512, 1065, 574, 1080}},
        {"monitor left of the primary", {-1275, 500}, 0, arrow, 1.0, {-1280, 0, 1920, 1080}, {-1263, 494, -1201, 509}},
        {"desktop narrower than the label", {50, 50}, 0, arrow, 1.0, {0, 0, 40, 100}, {-22, 44, 40, 59}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LabelPlacementInput in;
        in.textWidth = 60;
        in.textHeight = 13;
        in.pointer = c.pointer;
        in.startX = c.startX;
        in.pointerExtent = c.extent;
        in.virtualScreen = c.screen;
        in.linethick = c.linethick;
        EXPECT_EQ(PlaceLabel(in), c.label);
    }
}

namespace {

// A synthetic pointer of one cell: mask and colour bits set pixel by pixel.
struct SyntheticPointer {
    int32_t size;
    bool monochrome;  // AND rows followed by XOR rows
    bool hasColor;
    std::vector<uint8_t> mask, color;

    SyntheticPointer(int32_t cell, bool mono, bool colour)
        : size(cell), monochrome(mono), hasColor(colour),
          mask(size_t(cell / 8 * cell * (mono ? 2 : 1)), 0xFF), color(colour ? size_t(cell * cell * 4) : 0, 0) {
        if (mono) std::fill(mask.begin() + cell / 8 * cell, mask.end(), 0);  // XOR rows all clear
    }
    void SetBit(int32_t rowBase, int32_t x, int32_t y, bool on) {
        uint8_t& byte = mask[size_t((rowBase + y) * size / 8 + x / 8)];
        const uint8_t bit = uint8_t(0x80 >> (x % 8));
        byte = on ? uint8_t(byte | bit) : uint8_t(byte & ~bit);
    }
    void Black(int32_t x, int32_t y) { SetBit(0, x, y, false); }    // AND 0, XOR 0
    void Invert(int32_t x, int32_t y) { SetBit(size, x, y, true); }  // AND 1, XOR 1
    void Pixel(int32_t x, int32_t y, uint32_t bgra) {
        for (int b = 0; b < 4; ++b) color[size_t((y * size + x) * 4 + b)] = uint8_t(bgra >> (8 * b));
    }
    PointerBits Bits() const {
        return {size, mask.data(), monochrome ? 2 * size : size, hasColor ? color.data() : nullptr};
    }
};

}  // namespace

TEST(PointerExtent, VisiblePixelsOfSyntheticPointers) {
    SyntheticPointer arrow(32, true, false);
    for (int32_t y = 0; y <= 18; ++y)
        for (int32_t x = 0; x <= std::min(y, 11); ++x) arrow.Black(x, y);

    // An I-beam: an inverting bar taller than its black serifs.
    SyntheticPointer ibeam(32, true, false);
    for (int32_t y = 4; y < 28; ++y) ibeam.Invert(15, y), ibeam.Invert(16, y);
    for (int32_t x = 13; x <= 18; ++x) ibeam.Black(x, 8);

    // Colour with alpha: the mask is all ones, a shadow without alpha does not count.
    SyntheticPointer shaded(32, false, true);
    for (int32_t y = 3; y <= 20; ++y)
        for (int32_t x = 5; x <= 9; ++x) shaded.Pixel(x, y, 0xFF102030);
    shaded.Pixel(25, 28, 0x00FFFFFF);

    // Colour without alpha: black pixels through the mask, a lone white (inverting) one.
    SyntheticPointer plain(32, false, true);
    for (int32_t y = 2; y <= 4; ++y)
        for (int32_t x = 2; x <= 4; ++x) plain.Black(x, y);
    plain.Pixel(20, 25, 0x00FFFFFF);
    plain.Pixel(28, 29, 0x00FFFEFF);  // almost white is not inverting

    // Single columns inside a byte, in a 64-pixel cell (two words per row).
    SyntheticPointer big(64, true, false);
    big.Black(13, 50);
    big.Black(45, 51);

    SyntheticPointer empty(32, true, false);

    // Extents around the hotspot, right and bottom inclusive; a pointer
    // without visible pixels, or whose bits could not be read, gets its
    // whole cell and is not kept.
    struct Case {
        const char* name;
        const SyntheticPointer* pointer;
        Point hotspot;
        Rect extent;
        bool measured;
    } cases[] = {
        {"arrow, hotspot at the tip", &arrow, {0, 0}, {0, 0, 11, 18}, true},
        {"i-beam", &ibeam, {16, 16}, {-3, -12, 2, 11}, true},
        {"colour with alpha", &shaded, {5, 3}, {0, 0, 4, 17}, true},
        {"colour without alpha", &plain, {0, 0}, {2, 2, 20, 25}, true},
        {"64-pixel cell", &big, {0, 0}, {13, 50, 45, 51}, true},
        {"all transparent", &empty, {16, 16}, {-16, -16, 15, 15}, false},
        {"bits not read", nullptr, {4, 4}, {-4, -4, 27, 27}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PointerBits bits = c.pointer ? c.pointer->Bits() : PointerBits{};
        const int32_t cell = c.pointer ? c.pointer->size : 32;
        const PointerMeasurement m = MeasurePointerImage(cell, cell, c.hotspot.x, c.hotspot.y, c.pointer ? &bits : nullptr);
        EXPECT_EQ(m.extent, c.extent);
        EXPECT_EQ(m.measured, c.measured);
    }
}

TEST(PointerExtent, OnlyTheExpectedBitmapLayoutsAreRead) {
    const PointerBitmapShape none{};
    const PointerBitmapShape monoMask{true, 32, 64, 4}, colourMask{true, 32, 32, 4}, colour{true, 32, 32, 128};
    struct Case {
        const char* name;
        int32_t cx, cy;
        PointerBitmapShape mask, color;
        bool fits;
    } cases[] = {
        {"monochrome", 32, 32, monoMask, none, true},
        {"colour", 32, 32, colourMask, colour, true},
        {"bottom-up heights", 32, 32, {true, 32, -64, 4}, none, true},
        {"large cell", 64, 64, {true, 64, 128, 8}, {true, 64, 64, 256}, true},
        {"colour alone", 32, 32, none, colour, true},
        {"no bitmaps", 32, 32, none, none, false},
        {"cell not square", 32, 48, monoMask, none, false},
        {"cell not a multiple of 32", 48, 48, {true, 48, 96, 6}, none, false},
        {"mask of odd height", 32, 32, {true, 32, 33, 4}, none, false},
        {"mask rows padded", 32, 32, {true, 32, 64, 8}, none, false},
        {"mask narrower", 32, 32, {true, 16, 64, 2}, none, false},
        {"colour of 24 bits", 32, 32, colourMask, {true, 32, 32, 96}, false},
        {"colour twice as tall", 32, 32, colourMask, {true, 32, 64, 128}, false},
    };
    for (const Case& c : cases) EXPECT_EQ(PointerBitmapsFit(c.cx, c.cy, c.mask, c.color), c.fits) << c.name;
}

TEST(PointerExtent, UnionIgnoresEmptyRectangles) {
    const Rect a{1, 2, 5, 6}, b{4, 0, 9, 3}, flat{3, 3, 8, 3};
    EXPECT_EQ(UnionOfRects(a, b), (Rect{1, 0, 9, 6}));
    EXPECT_EQ(UnionOfRects(flat, b), b);
    EXPECT_EQ(UnionOfRects(a, flat), a);
    EXPECT_EQ(UnionOfRects(flat, Rect{}), Rect{});
}

// GDI leaves the alpha of the pixels it draws either 0 (Windows) or 255 (the
// graphics library under Wine marks them opaque); the label must come out the
// same both ways.
TEST(NumbersLabel, OutlinedTextGetsItsAlphaFromTheColours) {
    for (const uint8_t drawnAlpha : {uint8_t(0), uint8_t(255)}) {
        SCOPED_TRACE(int(drawnAlpha));
        // Pixels: untouched, outline only, text over outline, text without
        // outline (an isolated dot), half-covered outline edge.
        std::vector<uint8_t> pixels(5 * 4, 0);
        auto draw = [&](int i, uint8_t value) {
            pixels[size_t(i * 4)] = pixels[size_t(i * 4 + 1)] = pixels[size_t(i * 4 + 2)] = value;
            pixels[size_t(i * 4 + 3)] = drawnAlpha;
        };
        draw(1, 255), draw(2, 255), draw(4, 128);
        const std::vector<uint8_t> outline = OutlineCoverage(pixels.data(), 5);
        FillOpaqueWhite(pixels.data(), 5);
        draw(2, 0), draw(3, 0);
        ComposeOutlinedText(pixels.data(), 5, outline);
        const std::vector<uint8_t> expected = {0, 0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 255, 0, 0, 0, 255,
                                               128, 128, 128, 128};
        EXPECT_EQ(pixels, expected);
    }
}

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "base/clock.h"
#include "fakes/fake_platform.h"
#include "layout/label_outline.h"
#include "layout/pointer_extent.h"
#include "overlay/frame_inputs.h"
#include "overlay/overlay_timing.h"

using namespace overlay_timing;

static void AdvanceMs(int64_t ms) { AdvanceFakeClockMicroseconds(ms * 1000); }

// Each row fades to 164 (in) or 0 with timer ticks (ms since the previous one), the alpha after each and
// whether the last ends the fade; a fade with nothing to do ends at its first step.
TEST(OverlayFade, StepsReachTheTargetExactly) {
    const struct { const char* name; int32_t startAlpha; bool in; int32_t fade; std::vector<int32_t> tickMs, alphas;
                   bool ends; } cases[] = {
        {"default fade in", 0, true, 300, {50, 50, 50, 50, 50, 50, 50}, {27, 54, 81, 108, 135, 162, 164}, true},
        {"default fade out", 164, false, 300, {50, 50, 50, 50, 50, 50, 50}, {137, 110, 83, 56, 29, 2, 0}, true},
        {"a late tick moves further", 0, true, 300, {75, 50}, {40, 67}, false},
        {"fade 0 jumps in one period", 0, true, 0, {50}, {164}, true},
        {"slow fade never stalls", 0, true, 100000, {50, 50}, {1, 2}, false},
        {"reversed half-way", 81, false, 300, {50, 50, 50}, {54, 27, 0}, true},
        {"already shown", 164, true, 300, {}, {}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetFakeSystem();
        FadeState fade{c.startAlpha, c.startAlpha, 0};
        PerfStamp clock;
        PerfClock::Now(clock);
        c.in ? BeginFadeIn(fade, 164, 50, c.fade) : BeginFadeOut(fade, 164, 50, c.fade);
        // The first step only arms the timer: nothing shows before one period.
        ASSERT_EQ(FadeStepNow(fade, clock, true, 50), c.alphas.empty() ? FadeTimer::Kill : FadeTimer::Start);
        EXPECT_EQ(fade.current, c.startAlpha);
        for (size_t i = 0; i < c.alphas.size(); ++i) {
            AdvanceMs(c.tickMs[i]);
            const FadeTimer timer = FadeStepNow(fade, clock, false, 50);
            EXPECT_EQ(fade.current, c.alphas[i]) << "tick " << i;
            EXPECT_EQ(timer, i + 1 == c.alphas.size() && c.ends ? FadeTimer::Kill : FadeTimer::KeepAsIs) << i;
        }
    }
}

TEST(OverlayFade, ChangedAlphaSettingShowsWithoutFadeUnlessFadingOut) {
    const struct { const char* name; FadeState before; bool changed; int32_t current, target; } cases[] = {
        {"shown", {164, 164, 27}, true, 200, 200}, {"fading in to the same value", {54, 200, 27}, false, 54, 200},
        {"fading in to an old value", {54, 164, 27}, true, 200, 200}, {"fading out", {110, 0, -27}, false, 110, 0},
        {"hidden", {0, 0, -27}, false, 0, 0},
    };
    for (const auto& c : cases) {
        FadeState fade = c.before;
        EXPECT_EQ(AdoptAlphaSetting(fade, 200), c.changed) << c.name;
        EXPECT_TRUE(fade.current == c.current && fade.target == c.target) << c.name;
    }
}

// Requests at the given times, with a timer each deferring request replaces (as the window's): frames at
// least 50 ms apart, and a burst ends in one deferred frame.
TEST(OverlayRedraw, BurstOfRequestsGivesOneDeferredFrame) {
    ResetFakeSystem();
    PerfStamp redrawClock;
    PerfClock::Now(redrawClock);
    AdvanceMs(1000);
    std::vector<int64_t> frames;
    int64_t timerDue = -1, now = 0;
    auto request = [&] {
        const RedrawDecision d = ScheduleRedraw(redrawClock, 50);
        if (d.drawNow) frames.push_back(now), timerDue = -1;
        else timerDue = now + d.timerPeriodMs;
    };
    const std::map<int64_t, int> requests = {{0, 1}, {10, 1}, {12, 2}, {20, 2}, {200, 1}};
    for (; now <= 300; ++now, AdvanceMs(1)) {
        if (now == timerDue) request();
        if (auto it = requests.find(now); it != requests.end())
            for (int i = 0; i < it->second; ++i) request();
    }
    EXPECT_EQ(frames, (std::vector<int64_t>{0, 50, 200}));
}

// A synthetic pointer of one cell: a monochrome one has AND rows (all 1)
// followed by XOR rows (all 0), a colour one a mask of 1s and BGRA pixels.
struct SyntheticPointer {
    int32_t size;
    bool mono;
    std::vector<uint8_t> mask, color;
    SyntheticPointer(int32_t cell, bool monochrome)
        : size(cell), mono(monochrome), mask(size_t(cell * cell / 8 * (mono ? 2 : 1)), 0xFF),
          color(mono ? 0 : size_t(cell * cell * 4), 0) {
        if (mono) std::fill(mask.begin() + cell * cell / 8, mask.end(), 0);
    }
    void Flip(int32_t row, int32_t x) { mask[size_t(row * size / 8 + x / 8)] ^= uint8_t(0x80 >> (x % 8)); }
    void Black(int32_t x, int32_t y) { Flip(y, x); }          // AND 0, XOR 0
    void Invert(int32_t x, int32_t y) { Flip(size + y, x); }  // AND 1, XOR 1
    void Pixel(int32_t x, int32_t y, uint32_t bgra) {
        for (int b = 0; b < 4; ++b) color[size_t((y * size + x) * 4 + b)] = uint8_t(bgra >> (8 * b));
    }
    PointerBits Bits() const { return {size, mask.data(), mono ? 2 * size : size, mono ? nullptr : color.data()}; }
};

// Extents around the hotspot, right and bottom inclusive; a pointer without
// visible pixels, or whose bits could not be read, gets its whole cell and is
// not kept.
TEST(PointerExtent, VisiblePixelsOfSyntheticPointers) {
    SyntheticPointer arrow(32, true), ibeam(32, true), shaded(32, false), plain(32, false), big(64, true),
        empty(32, true);
    for (int32_t y = 0; y <= 18; ++y)
        for (int32_t x = 0; x <= std::min(y, 11); ++x) arrow.Black(x, y);
    for (int32_t y = 4; y < 28; ++y) ibeam.Invert(15, y), ibeam.Invert(16, y);  // taller than its serifs
    for (int32_t x = 13; x <= 18; ++x) ibeam.Black(x, 8);
    for (int32_t y = 3; y <= 20; ++y)
        for (int32_t x = 5; x <= 9; ++x) shaded.Pixel(x, y, 0xFF102030);
    shaded.Pixel(25, 28, 0x00FFFFFF);  // a shadow without alpha does not count
    for (int32_t y = 2; y <= 4; ++y)
        for (int32_t x = 2; x <= 4; ++x) plain.Black(x, y);
    plain.Pixel(20, 25, 0x00FFFFFF);  // without alpha, white inverts the screen
    plain.Pixel(28, 29, 0x00FFFEFF);  // almost white does not
    big.Black(13, 50);                // single columns inside a byte, two words per row
    big.Black(45, 51);
    const struct { const char* name; const SyntheticPointer* pointer; Point hotspot; Rect extent; }
    cases[] = {
        {"arrow, hotspot at the tip", &arrow, {0, 0}, {0, 0, 11, 18}}, {"i-beam", &ibeam, {16, 16}, {-3, -12, 2, 11}},
        {"colour with alpha", &shaded, {5, 3}, {0, 0, 4, 17}}, {"colour without alpha", &plain, {0, 0}, {2, 2, 20, 25}},
        {"64-pixel cell", &big, {0, 0}, {13, 50, 45, 51}}, {"all transparent", &empty, {16, 16}, {-16, -16, 15, 15}},
        {"bits not read", nullptr, {4, 4}, {-4, -4, 27, 27}},
    };
    for (const auto& c : cases) {
        const PointerBits bits = c.pointer ? c.pointer->Bits() : PointerBits{};
        const int32_t cell = c.pointer ? c.pointer->size : 32;
        EXPECT_EQ(MeasurePointerImage(cell, cell, c.hotspot.x, c.hotspot.y, c.pointer ? &bits : nullptr), c.extent)
            << c.name;
    }
}

TEST(PointerExtent, OnlyTheExpectedBitmapLayoutsAreRead) {
    const PointerBitmapShape none{}, monoMask{true, 32, 64, 4}, colourMask{true, 32, 32, 4}, colour{true, 32, 32, 128};
    const struct { const char* name; int32_t cx, cy; PointerBitmapShape mask, color; bool fits; } cases[] = {
        {"monochrome", 32, 32, monoMask, none, true},     {"colour", 32, 32, colourMask, colour, true},
        {"bottom-up", 32, 32, {true, 32, -64, 4}, none, true},
        {"large cell", 64, 64, {true, 64, 128, 8}, {true, 64, 64, 256}, true},
        {"no bitmaps", 32, 32, none, none, false},        {"not square", 32, 48, monoMask, none, false},
        {"48 pixels", 48, 48, {true, 48, 96, 6}, none, false}, {"narrow mask", 32, 32, {true, 16, 64, 2}, none, false},
        {"tall colour", 32, 32, colourMask, {true, 32, 64, 128}, false},
    };
    for (const auto& c : cases) EXPECT_EQ(PointerBitmapsFit(c.cx, c.cy, c.mask, c.color), c.fits) << c.name;
}

// GDI leaves the alpha of the pixels it draws either 0 (Windows) or 255 (the
// graphics library under Wine marks them opaque); the label must come out the
// same both ways.
TEST(NumbersLabel, OutlinedTextGetsItsAlphaFromTheColours) {
    for (const uint8_t drawnAlpha : {uint8_t(0), uint8_t(255)}) {
        SCOPED_TRACE(int(drawnAlpha));
        // Pixels: untouched, outline only, text over outline, text alone (a dot), half-covered outline edge,
        // a coloured (ClearType) text edge over a coloured outline edge.
        std::vector<uint8_t> pixels(6 * 4, 0);
        auto draw = [&](int i, uint8_t b, uint8_t g, uint8_t r) {
            uint8_t* p = &pixels[size_t(i * 4)];
            p[0] = b, p[1] = g, p[2] = r, p[3] = drawnAlpha;
        };
        draw(1, 255, 255, 255), draw(2, 255, 255, 255), draw(4, 128, 128, 128), draw(5, 60, 255, 120);
        const std::vector<uint8_t> outline = OutlineCoverage(pixels.data(), 6);
        FillOpaqueWhite(pixels.data(), 6);
        draw(2, 0, 0, 0), draw(3, 0, 0, 0), draw(5, 200, 100, 150);
        ComposeOutlinedText(pixels.data(), 6, outline);
        const std::vector<uint8_t> expected = {0, 0, 0, 0,       255, 255, 255, 255, 0,   0,   0,   255,
                                               0, 0, 0, 255,     128, 128, 128, 128, 100, 100, 100, 255};
        EXPECT_EQ(pixels, expected);
    }
}

// Each thing a frame shows must reach the record; one left out would leave
// the overlay showing an old image after that change.
TEST(FrameInputs, EveryChangeThatShowsNeedsAFrame) {
    using D = RulerDisplayWindow;
    void (*const changes[])(D&) = {
        [](D& d) { d.measure.startPoint.x += 1; }, [](D& d) { d.measure.currentPoint.y += 1; },
        [](D& d) { d.measure.referenceAngle = 0.5; }, [](D& d) { d.measure.reflectionMode = true; },
        [](D& d) { d.refnr = 2; }, [](D& d) { d.reflines = false; }, [](D& d) { d.cross0 = false; },
        [](D& d) { d.antialias = false; }, [](D& d) { d.numbers = false; }, [](D& d) { d.linethick = 2.0; },
        [](D& d) { d.alpha = 100; }, [](D& d) { d.currentAlpha = 27; }, [](D& d) { ++d.fontGeneration; },
        [](D& d) { d.measure.slowKey = true; }, [](D& d) { d.loupe = false; }, [](D& d) { d.loupezoom = 4; },
        [](D& d) { d.loupesize = 21; }, [](D& d) { d.measure.spacing.right = 1; }, [](D& d) { d.edgesPending = true; },
    };
    const Rect screen{0, 0, 1280, 800};
    D unchanged;
    const FrameInputs before = ReadFrameInputs(unchanged, screen, 7, 96);
    EXPECT_EQ(ReadFrameInputs(unchanged, screen, 7, 96), before);
    for (size_t i = 0; i < std::size(changes); ++i) {
        auto display = std::make_unique<D>();
        changes[i](*display);
        EXPECT_NE(ReadFrameInputs(*display, screen, 7, 96), before) << "change " << i;
    }
}

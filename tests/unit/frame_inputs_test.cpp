#include <gtest/gtest.h>

#include <memory>

#include "display/frame_inputs.h"

// Each thing a frame shows must reach the record; one left out would leave
// the overlay showing an old image after that change.
TEST(FrameInputs, EveryChangeThatShowsNeedsAFrame) {
    const struct { const char* name; void (*change)(RulerDisplayWindow&); } cases[] = {
        {"start point", [](RulerDisplayWindow& d) { d.measure.startPoint.x += 1; }},
        {"pointer", [](RulerDisplayWindow& d) { d.measure.currentPoint.y += 1; }},
        {"reference angle", [](RulerDisplayWindow& d) { d.measure.referenceAngle = 0.5; }},
        {"reflection keys", [](RulerDisplayWindow& d) { d.measure.reflectionMode = true; }},
        {"reflections", [](RulerDisplayWindow& d) { d.refnr = 2; }},
        {"reflection lines", [](RulerDisplayWindow& d) { d.reflines = false; }},
        {"cross", [](RulerDisplayWindow& d) { d.cross0 = false; }},
        {"anti-aliasing", [](RulerDisplayWindow& d) { d.antialias = false; }},
        {"label shown", [](RulerDisplayWindow& d) { d.numbers = false; }},
        {"line thickness", [](RulerDisplayWindow& d) { d.linethick = 2.0; }},
        {"opacity", [](RulerDisplayWindow& d) { d.alpha = 100; }},
        {"fade step", [](RulerDisplayWindow& d) { d.currentAlpha = 27; }},
        {"font", [](RulerDisplayWindow& d) { ++d.fontGeneration; }},
    };
    const Rect screen{0, 0, 1280, 800};
    RulerDisplayWindow unchanged;
    const FrameInputs before = ReadFrameInputs(unchanged, screen, 7);
    EXPECT_EQ(ReadFrameInputs(unchanged, screen, 7), before);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto display = std::make_unique<RulerDisplayWindow>();
        c.change(*display);
        EXPECT_NE(ReadFrameInputs(*display, screen, 7), before);
    }
}

// The units the label can measure in and the text it shows in each. Today's
// label (physical pixels) stays the default and keeps its exact text; the
// other units convert the pixel distances with the scale of the monitor under
// the start point. Platform-free.
#pragma once
#include <cstdint>
#include <string>

enum class MeasureUnit : int32_t {
    PhysicalPixels = 0,  // the screen's own pixels (the default)
    ScaledPixels = 1,    // pixels as a DPI-unaware program sees them
    Millimetres = 2,
    Centimetres = 3,
    Inches = 4,
    Points = 5,          // 1/72 inch
};
constexpr int32_t MeasureUnitCount = 6;

// A stored unit number; anything unknown (a damaged value) is physical pixels.
MeasureUnit UnitFromStored(int32_t stored);

struct UnitInfo {
    const char* shortName;  // printed once in the label, e.g. "mm"
    const char* menuName;   // the menu's wording, '&' before its access key (the dialog's list drops it)
    int32_t decimals;       // digits after the point for dx, dy and length
};
const UnitInfo& InfoOf(MeasureUnit unit);

// How the monitor under the start point relates pixels to the world.
struct MonitorScale {
    double scaleFactor = 1.0;     // the display's scale: 1.5 at 150 %
    double pixelsPerInch = 96.0;  // calibrated, from the monitor, or Windows' 96
};

// Units per physical pixel. A scale that is not a usable positive number
// counts as 1 (scaled pixels) or 96 per inch (real units), so that a broken
// monitor report never prints "inf" or "nan".
double UnitsPerPixel(MeasureUnit unit, const MonitorScale& scale);

// "120x45 128.2 110.6°" in normal mode, "120x45 128.2 [110.6°]" while a
// reflection key is held. dx and dy are shown as absolute values; UTF-8.
std::string FormatLabelText(double dx, double dy, double length, double shownAngle, bool reflectionMode);

// The label in the chosen unit: "31.8x11.9 33.9 mm 110.6°", with the angle
// in brackets in reflection mode. Physical pixels give today's text exactly.
// dx and dy are physical pixels (shown as absolute values); UTF-8.
std::string FormatUnitLabel(double dx, double dy, double length, double shownAngle, bool reflectionMode,
                            MeasureUnit unit, const MonitorScale& scale);

// The space around the pointer, width by height pixels, in the chosen unit:
// "200 x 100" in physical pixels, "52.9 x 26.5 mm" in millimetres; UTF-8.
std::string FormatSpacingText(int32_t width, int32_t height, MeasureUnit unit, const MonitorScale& scale);

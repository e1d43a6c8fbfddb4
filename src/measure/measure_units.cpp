#include "measure/measure_units.h"

#include <algorithm>
#include <cmath>
#include <cstdio>


namespace {

constexpr double DefaultPixelsPerInch = 96.0;
constexpr double MillimetresPerInch = 25.4;

constexpr UnitInfo Units[MeasureUnitCount] = {
    {"px", "&Pixels (physical)", 0},
    {"dip", "Pixels (&scaled)", 1},
    {"mm", "&Millimetres", 1},
    {"cm", "&Centimetres", 2},
    {"in", "&Inches", 3},
    {"pt", "P&oints", 1},
};

double Usable(double value, double fallback) { return std::isfinite(value) && value > 0.0 ? value : fallback; }

// An angle that rounds to zero prints as 0.0, never as -0.0.
double CleanAngle(double angle) { return std::fabs(angle) < 0.05 ? 0.0 : angle; }

}  // namespace

MeasureUnit UnitFromStored(int32_t stored) {
    return stored >= 0 && stored < MeasureUnitCount ? MeasureUnit(stored) : MeasureUnit::PhysicalPixels;
}

const UnitInfo& InfoOf(MeasureUnit unit) { return Units[int32_t(UnitFromStored(int32_t(unit)))]; }

double UnitsPerPixel(MeasureUnit unit, const MonitorScale& scale) {
    const double inchesPerPixel = 1.0 / Usable(scale.pixelsPerInch, DefaultPixelsPerInch);
    switch (unit) {
        case MeasureUnit::ScaledPixels: return 1.0 / Usable(scale.scaleFactor, 1.0);
        case MeasureUnit::Millimetres: return inchesPerPixel * MillimetresPerInch;
        case MeasureUnit::Centimetres: return inchesPerPixel * MillimetresPerInch / 10.0;
        case MeasureUnit::Inches: return inchesPerPixel;
        case MeasureUnit::Points: return inchesPerPixel * 72.0;
        default: return 1.0;
    }
}

std::string FormatLabelText(double dx, double dy, double length, double shownAngle, bool reflectionMode) {
    // The degree sign is U+00B0, two bytes in UTF-8.
    const char* format = reflectionMode ? "%gx%g %.1lf [%.1lf\xC2\xB0]" : "%gx%g %.1lf %.1lf\xC2\xB0";
    // A pointer straight above the start point gives -0, a hair beside it a
    // tiny negative angle; both would show as "-0.0", a sign on nothing.
    if (std::fabs(shownAngle) < 0.05) shownAngle = 0.0;
    char buffer[160];
    const int n = std::snprintf(buffer, sizeof buffer, format, std::fabs(dx), std::fabs(dy), length, shownAngle);
    if (n < 0) return {};
    return std::string(buffer, size_t(std::min<int>(n, int(sizeof buffer) - 1)));
}

std::string FormatUnitLabel(double dx, double dy, double length, double shownAngle, bool reflectionMode,
                            MeasureUnit unit, const MonitorScale& scale) {
    if (unit == MeasureUnit::PhysicalPixels) return FormatLabelText(dx, dy, length, shownAngle, reflectionMode);
    const UnitInfo& info = InfoOf(unit);
    const double f = UnitsPerPixel(unit, scale);
    const int p = int(info.decimals);
    // The degree sign is U+00B0, two bytes in UTF-8.
    const char* format = reflectionMode ? "%.*fx%.*f %.*f %s [%.1f\xC2\xB0]" : "%.*fx%.*f %.*f %s %.1f\xC2\xB0";
    char buffer[200];
    const int n = std::snprintf(buffer, sizeof buffer, format, p, std::fabs(dx) * f, p, std::fabs(dy) * f, p,
                                std::fabs(length) * f, info.shortName, CleanAngle(shownAngle));
    if (n < 0) return {};
    return std::string(buffer, size_t(n < int(sizeof buffer) ? n : int(sizeof buffer) - 1));
}

std::string FormatSpacingText(int32_t width, int32_t height, MeasureUnit unit, const MonitorScale& scale) {
    char buffer[96];
    int n = 0;
    if (unit == MeasureUnit::PhysicalPixels) {
        n = std::snprintf(buffer, sizeof buffer, "%d x %d", int(width), int(height));
    } else {
        const UnitInfo& info = InfoOf(unit);
        const double f = UnitsPerPixel(unit, scale);
        const int p = int(info.decimals);
        n = std::snprintf(buffer, sizeof buffer, "%.*f x %.*f %s", p, width * f, p, height * f, info.shortName);
    }
    if (n < 0) return {};
    return std::string(buffer, size_t(std::min<int>(n, int(sizeof buffer) - 1)));
}

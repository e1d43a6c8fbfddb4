// The list of points that LineWindow strokes for one frame: the measured
// line, the reflected ray, the two reflection lines and the start cross,
// with coloured breaks between the separate polylines. Platform-free.
#pragma once
#include <array>
#include <cstdint>

#include "measure/measure_model.h"
#include "platform/types.h"
#include "settings/usable_values.h"

// A break ends the current polyline. Its y carries a colour: y >= 0 is read
// (through a 64-bit integer, low 32 bits kept) as 0x00BBGGRR; y < 0 carries
// none.
constexpr double kBreakX = -2147483648.0;
constexpr double kCrossColour = 255.0;                // red
constexpr double kReflectionLineColour = 2147483648.0;  // 0x80000000: black

struct PathEntry {
    double x = 0.0;
    double y = 0.0;
};

inline bool IsBreak(const PathEntry& e) { return e.x == kBreakX; }
// The colour reference a break carries, or -1 when it carries none.
int64_t BreakColour(const PathEntry& e);

// The ray (start, pointer, reflections), two reflection lines of a break and
// two points each, four cross arms of a break and two points each.
constexpr int32_t kMaxPathEntries = (kMaxReflections + 2) + 6 + 12;

struct LinePath {
    int32_t count = 0;
    int32_t capacity = 0;  // ("refnr" + 2) + 6 with reflection lines + 12 with the cross
    std::array<PathEntry, kMaxPathEntries> entries{};

    void Append(double x, double y);
    void AppendBreak(double colour) { Append(kBreakX, colour); }
};

struct PathSettings {
    int32_t refnr = 1;     // reflections of the ray
    bool reflines = true;  // draw the reflection lines (when refnr > 0)
    bool cross0 = true;    // draw the red cross at the start point
};

// Turns p clockwise (on the screen) by degrees about centre; breaks stay.
void RotateAbout(PathEntry& p, PathEntry centre, double degrees);

// Builds the list from the start point, the pointer and the reference angle.
// The reflection lines run in the direction of the reference angle; the cross
// is never turned and is always the last 12 entries.
LinePath BuildLinePath(Point start, Point current, double referenceAngle, const PathSettings& settings);
LinePath BuildLinePath(const MeasureState& state, const PathSettings& settings);

// Cuts the segment a-b to the box (left <= x <= right, top <= y <= bottom);
// false when no part of it lies inside. The drawing hands the graphics
// library only the part of each segment near its surface: a start point
// stored far off the desktop makes coordinates in the billions, which the
// library's own integer arithmetic does not survive.
bool ClipSegment(PathEntry& a, PathEntry& b, double left, double top, double right, double bottom);

// The bounding box of the list's points (breaks left out), each coordinate
// rounded half away from zero; right and bottom exclusive. Fewer than two
// entries give the empty rectangle.
Rect PathBounds(const LinePath& path);

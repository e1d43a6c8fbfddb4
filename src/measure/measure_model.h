// The ruler's geometry: bearings, the virtual desktop, the pointer update of
// the measurement and the values the label prints. Platform-free.
//
// Angles are degrees measured from straight up on the screen, clockwise
// positive, normalised into (-180, 180]. Coordinates are virtual-desktop
// pixels, y growing downwards.
#pragma once
#include <atomic>
#include <cstdint>

#include "measure/edge_finder.h"
#include "platform/types.h"

// The measurement: the start point, the pointer's point and the reference
// angle, and which keys were held at the last update.
struct MeasureState {
    Point startPoint;                          // persisted as "x0", "y0"
    Point currentPoint;                        // the pointer at the last update
    std::atomic<double> referenceAngle{0.0};   // "refangle", degrees
    bool reflectionMode = false;               // rotate or set key held at the last update
    bool slowKey = false;                      // slow key held at the last update, ruler on
    // Snapping to edges: where the pointer was, and where a dragged start
    // point would be, relative to the snapped points (both 0 unless snapped).
    Point pointerOffset{};
    Point startOffset{};
    // The snap and spacing keys held at the last update (ruler on), and the
    // runs the spacing shows (SameColourRuns; empty while it is not shown).
    bool snapKey = false;
    bool spacingKey = false;
    Rect spacing{};
};

// Whether the space around the pointer shows instead of the measured line.
inline bool SpacingShown(const MeasureState& state) { return state.spacing.right > state.spacing.left; }

// Brings v into (-180, 180] by whole turns. A value without a direction (NaN
// or infinite, only possible from a damaged stored setting) becomes 0, and a
// huge one is first reduced with fmod so that the loop stays short.
double NormalizeDegrees(double v);

// Bearing of p seen from s, minus offset, normalised. A point on s has the
// bearing -offset.
double Bearing(Point s, Point p, double offset);

// The bounding rectangle of all monitors (right and bottom exclusive), read
// afresh at every call so that a changed monitor layout takes effect at once.
Rect VirtualScreenRect();

// Whether a reading of the pointer may be taken as its position, given the
// mouse hook's latest report. Windows reports positions past the desktop's
// edge (a fast move against it), but never more than a screen's width or
// height outside it. Wine can: with a minimized window active it reports some
// moves 65536 pixels off, and then reads the pointer pulled onto the
// desktop's edge on that side, until it catches up with the pointer (with or
// without a further move). So after such a report a reading on that edge is
// false, and any other reading is the pointer's own.
bool PointerReadingTrue(Point reading, Point reported);

// What snapping needs: the screen image (none: no snapping), the tolerance
// and the radius.
struct EdgeSnap {
    const ScreenPixels* image = nullptr;
    int32_t tolerance = DefaultEdgeTolerance;
    int32_t radius = DefaultSnapRadius;
};

// The pure part of UpdateFromPointer: moves the current point, drags the
// start point (moveStart), turns the reference angle (reflectionKey) or sets
// it to the pointer's bearing (both). keepOnScreen is the "konscr" setting.
// With an image to snap to, the point the pointer drives (the current point,
// or the start point while it is dragged) lands on the nearest edge; a drag
// goes on from where the free point would be.
void ApplyPointerUpdate(MeasureState& state, bool keepOnScreen, int32_t x, int32_t y,
                        bool moveStart, bool reflectionKey, const EdgeSnap& snap = {});

// What the label shows, computed from the state whenever a frame is drawn.
struct MeasureReadout {
    int64_t dx = 0;           // start minus pointer (64 bits: stored points may be far apart)
    int64_t dy = 0;
    double length = 0.0;      // pixels
    double shownAngle = 0.0;  // relative to the reference angle, or the plain
                              // bearing while the reflection keys are held
};
MeasureReadout ReadMeasurement(const MeasureState& state);

// The pointer update of the display object: the geometry is done by the
// platform-free model, then the overlay is asked for a frame if it changed.
// While the snap or spacing key is held, the model snaps to and measures
// what the screen shows.
#include "measure/edge_finder.h"
#include "measure/measure_model.h"
#include "overlay/display_object.h"
#include "overlay/edge_snapshot_win.h"

void UpdateFromPointer(int32_t x, int32_t y, std::optional<uintptr_t> pointerShape, bool moveStart,
                       bool reflectionKey) {
    MeasureState& measure = TheDisplay.measure;
    const bool edgeKeys = measure.snapKey || measure.spacingKey;
    if (!edgeKeys) DropEdgeSnapshot();
    // None while the screen cannot be read: no snap, no spacing.
    const ScreenPixels* image = edgeKeys ? EdgeSnapshotAt({x, y}) : nullptr;
    const int32_t tolerance = UsableEdgeTolerance(TheDisplay.edgetolerance.load());
    EdgeSnap snap;
    if (measure.spacingKey) {
        // The spacing shows in place of the line: meanwhile no key moves
        // the start point or turns the reflection lines.
        moveStart = false;
        reflectionKey = false;
    } else if (measure.snapKey) {
        snap = {image, tolerance, UsableSnapRadius(TheDisplay.snapradius.load())};
    }
    ApplyPointerUpdate(measure, TheDisplay.konscr.load(), x, y, moveStart, reflectionKey, snap);
    measure.spacing = measure.spacingKey && image ? SameColourRuns(*image, {x, y}, tolerance) : Rect{};
    // Settings changes are seen here too: the frame record holds them.
    RedrawIfChanged(pointerShape);
}

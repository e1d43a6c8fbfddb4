#include "overlay/edge_marks_win.h"

#include "measure/measure_model.h"
#include "overlay/display_object.h"

namespace {

constexpr uint32_t White = 0xFFFFFFFF;  // premultiplied: opaque
constexpr uint32_t Black = 0xFF000000;
constexpr int32_t MarkReach = 3;        // an end mark reaches this far to each side of its bar
constexpr int32_t Outline = 1;          // white around every black pixel, as on the ruler's line

}  // namespace

FrameImage DrawSpacingBar(bool column) {
    // The bar runs from `from` to `to` (inclusive) along x, or along y for
    // the column, at `across`, with a mark across each end, on a white outline.
    const MeasureState& measure = TheDisplay.measure;
    const Rect& runs = measure.spacing;
    const int32_t from = column ? runs.top : runs.left;
    const int32_t to = (column ? runs.bottom : runs.right) - 1;
    const int32_t across = column ? measure.currentPoint.x : measure.currentPoint.y;
    const int32_t reach = MarkReach + Outline;
    const Rect along{from - Outline, across - reach, to + 1 + Outline, across + reach + 1};

    FrameImage image;
    image.rect = column ? Rect{along.top, along.left, along.bottom, along.right} : along;
    if (!CreateSurface(image.rect, image.surface)) return image;  // the window keeps its last image
    image.show = FrameImage::Show::Image;
    auto* pixels = static_cast<uint32_t*>(image.surface.pixels);
    const int32_t width = image.rect.right - image.rect.left;
    // i along the bar, j across it, both from the image's corner.
    const auto put = [&](int32_t i, int32_t j, uint32_t colour) {
        pixels[size_t(column ? i : j) * size_t(width) + size_t(column ? j : i)] = colour;
    };
    const int32_t length = to - from + 1;
    for (int32_t pass = 0; pass < 2; ++pass) {
        const int32_t grow = pass == 0 ? Outline : 0;
        const uint32_t colour = pass == 0 ? White : Black;
        for (int32_t i = Outline - grow; i < Outline + length + grow; ++i) {
            for (int32_t j = reach - grow; j <= reach + grow; ++j) put(i, j, colour);
        }
        for (int32_t end : {Outline, Outline + length - 1}) {
            for (int32_t i = end - grow; i <= end + grow; ++i) {
                for (int32_t j = reach - MarkReach - grow; j <= reach + MarkReach + grow; ++j) put(i, j, colour);
            }
        }
    }
    return image;
}

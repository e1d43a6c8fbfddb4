#include "overlay/line_frame_win.h"

#include <algorithm>
#include <cmath>

#include "layout/line_path.h"
#include "measure/measure_model.h"
#include "overlay/display_object.h"
#include "overlay/frame_parts_win.h"
#include "overlay/frame_record_win.h"
#include "overlay/gdiplus_flat_win.h"
#include "overlay/render_surface_win.h"

namespace {

constexpr Gdiplus::ARGB kOutlineWhite = 0xFFFFFFFF;
constexpr Gdiplus::ARGB kMeasuredLineBlack = 0xFF000000;
constexpr Gdiplus::ARGB kReflectedRayGrey = 0xFF808080;
constexpr Gdiplus::SmoothingMode kAntiAlias = Gdiplus::SmoothingModeAntiAlias;  // 4

GpPen* CreatePen(Gdiplus::ARGB colour, float width) {
    GpPen* pen = nullptr;
    GdipFlat::GdipCreatePen1(colour, width, Gdiplus::UnitWorld, &pen);
    return pen;
}

// An opaque pen colour from a colour reference 0x00BBGGRR.
Gdiplus::ARGB OpaqueFromColourRef(int64_t ref) {
    const uint32_t r = uint32_t(ref) & 0xFF;
    const uint32_t g = (uint32_t(ref) >> 8) & 0xFF;
    const uint32_t b = (uint32_t(ref) >> 16) & 0xFF;
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}

Rect Intersect(const Rect& a, const Rect& b) {
    Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (r.left >= r.right || r.top >= r.bottom) return Rect{};
    return r;
}

// Strokes entries first..end-1 as separate segments that meet through their
// caps. With the thin pen (width exactly 1) a coloured break switches to an
// opaque pen of its colour; the wide outline stays white throughout.
void DrawPathRange(GpGraphics* graphics, const Rect& origin, GpPen* pen, double width, const LinePath& path,
                   int32_t first, int32_t end) {
    if (first >= end) return;
    bool startNew = true;
    GpPen* drawing = pen;
    GpPen* created = nullptr;
    PathEntry from;
    // How far a segment's pixels reach beyond its end points: half the pen,
    // the round cap, and a pixel of anti-aliasing. Each segment is cut to the
    // surface widened by that much: the pixels stay the same, hidden
    // segments of long reflection paths are skipped, and the graphics
    // library never sees a coordinate far beyond the surface.
    const double reach = width / 2.0 + 2.0;
    const double surfaceWidth = double(origin.right - origin.left);
    const double surfaceHeight = double(origin.bottom - origin.top);
    for (int32_t i = first; i < end; ++i) {
        const PathEntry& e = path.entries[size_t(i)];
        if (IsBreak(e)) {
            startNew = true;
            const int64_t colour = BreakColour(e);
            if (colour >= 0 && width == 1.0) {
                GpPen* next = CreatePen(OpaqueFromColourRef(colour), 1.0f);
                if (created) GdipFlat::GdipDeletePen(created);
                created = next;
                drawing = next;
            }
            continue;
        }
        const PathEntry to{e.x - origin.left, e.y - origin.top};
        PathEntry a = from;
        PathEntry b = to;
        if (!startNew && drawing && ClipSegment(a, b, -reach, -reach, surfaceWidth + reach, surfaceHeight + reach)) {
            GdipFlat::GdipDrawLine(graphics, drawing, float(a.x), float(a.y), float(b.x), float(b.y));
        }
        startNew = false;
        from = to;
    }
    if (created) GdipFlat::GdipDeletePen(created);
}

// Keeps the line out of the square the loupe magnifies, so that the loupe
// shows the screen itself; origin is the surface's desktop rectangle.
void ExcludeLoupeSource(GpGraphics* graphics, const Rect& origin) {
    const Rect& s = TheDisplay.loupeSource;
    if (s.right <= s.left || s.bottom <= s.top) return;
    GdipFlat::GdipSetClipRectI(graphics, s.left - origin.left, s.top - origin.top, s.right - s.left, s.bottom - s.top,
                               Gdiplus::CombineModeExclude);
}

}  // namespace

Rect LinePathRect(const LinePath& path, double thick) {
    // The bounding box, widened by the outline, cut to the desktop.
    const int32_t margin = int32_t(std::ceil(thick));
    Rect rect = PathBounds(path);
    rect.left -= margin;
    rect.top -= margin;
    rect.right += margin;
    rect.bottom += margin;
    return Intersect(rect, DesktopRect());
}

void StrokeLinePath(GpGraphics* graphics, const Rect& origin, const LinePath& path, double thick, bool cross0,
                    bool antialias) {
    if (antialias) GdipFlat::GdipSetSmoothingMode(graphics, kAntiAlias);
    // Outline pass: everything in white, wide enough to leave linethick
    // pixels of white on each side of the thin lines. A wide outline leaves
    // the cross out so that it does not swallow it.
    const double w = 2.0 * thick + 1.0;
    if (GpPen* outline = CreatePen(kOutlineWhite, float(w))) {
        if (w > 3.0) {
            GdipFlat::GdipSetPenStartCap(outline, Gdiplus::LineCapRound);
            GdipFlat::GdipSetPenEndCap(outline, Gdiplus::LineCapRound);
            GdipFlat::GdipSetPenLineJoin(outline, Gdiplus::LineJoinRound);
        }
        const int32_t end = cross0 && w > 12.0 ? path.count - 12 : path.count;
        DrawPathRange(graphics, origin, outline, w, path, 0, end);
        GdipFlat::GdipDeletePen(outline);
    }

    // Line pass: the measured line in black, then from the pointer on the
    // reflected ray in grey, the reflection lines and the cross in the
    // colours of their breaks.
    if (GpPen* black = CreatePen(kMeasuredLineBlack, 1.0f)) {
        DrawPathRange(graphics, origin, black, 1.0, path, 0, 2);
        GdipFlat::GdipDeletePen(black);
    }
    if (GpPen* grey = CreatePen(kReflectedRayGrey, 1.0f)) {
        DrawPathRange(graphics, origin, grey, 1.0, path, 1, path.count);
        GdipFlat::GdipDeletePen(grey);
    }
}

FrameImage DrawLineImage() {
    // One reading of the settings for the whole frame: the options thread
    // may change them meanwhile.
    const PathSettings settings = CurrentPathSettings(TheDisplay);
    const LinePath path = BuildLinePath(TheDisplay.measure, settings);
    const double thick = TheDisplay.linethick.load();
    const Rect rect = LinePathRect(path, thick);

    FrameImage image;
    GpGraphics* graphics = CreateSurface(rect, image.surface);
    if (!graphics) return image;  // LineWindow keeps its last image
    ExcludeLoupeSource(graphics, rect);
    StrokeLinePath(graphics, rect, path, thick, settings.cross0, TheDisplay.antialias.load());
    image.show = FrameImage::Show::Image;
    image.rect = rect;
    return image;
}

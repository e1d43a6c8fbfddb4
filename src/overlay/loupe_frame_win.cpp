#include "overlay/loupe_frame_win.h"

#include <mutex>
#include <string>
#include <vector>

#include "layout/dpi_scale.h"
#include "layout/label_text.h"
#include "layout/loupe_layout.h"
#include "layout/pointer_extent.h"
#include "measure/measure_model.h"
#include "overlay/display_object.h"
#include "overlay/frame_record_win.h"
#include "overlay/frame_scale_win.h"
#include "overlay/render_surface_win.h"
#include "overlay/screen_capture_win.h"
#include "platform/win32/text_win32.h"

namespace {

constexpr uint32_t OutsideDesktop = 0x404040;  // where the square leaves the desktop
constexpr Gdiplus::ARGB LineWhite = 0xFFFFFFFF;
constexpr Gdiplus::ARGB LineBlack = 0xFF000000;
constexpr UINT TextFlags = DT_NOPREFIX | DT_SINGLELINE | DT_CENTER | DT_VCENTER;

// The last capture and the square it was read from.
std::vector<uint32_t> lastCapture;
Rect lastSource{};

bool IsEmpty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

SIZE TextSize(HFONT font, const std::wstring& text) {
    HDC screen = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(screen, font);
    RECT r{0, 0, 1, 1};
    DrawTextW(screen, text.c_str(), int(text.size()), &r, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    return {r.right - r.left, r.bottom - r.top};
}

void DrawLineEnd(GpGraphics* graphics, const loupe::Layout& layout) {
    const auto segment = loupe::LineEnd(layout, TheDisplay.measure.startPoint, TheDisplay.measure.currentPoint);
    if (!segment) return;
    const Rect& image = layout.image;
    GdipFlat::GdipSetClipRectI(graphics, image.left, image.top, image.right - image.left, image.bottom - image.top,
                               Gdiplus::CombineModeReplace);
    // The ruler's own look: black on a white outline.
    const float widths[] = {float(3 * layout.frame), float(layout.frame)};
    const Gdiplus::ARGB colours[] = {LineWhite, LineBlack};
    for (int i = 0; i < 2; ++i) {
        GpPen* pen = nullptr;
        GdipFlat::GdipCreatePen1(colours[i], widths[i], Gdiplus::UnitWorld, &pen);
        if (!pen) continue;
        GdipFlat::GdipDrawLine(graphics, pen, float(segment->x1), float(segment->y1), float(segment->x2),
                               float(segment->y2));
        GdipFlat::GdipDeletePen(pen);
    }
    GdipFlat::GdipResetClip(graphics);
}

bool DrawColourText(GpGraphics* graphics, HFONT font, const std::wstring& text, const Rect& strip) {
    HDC dc = nullptr;
    GdipFlat::GdipGetDC(graphics, &dc);
    if (!dc) return false;
    HGDIOBJ previous = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    RECT r{strip.left, strip.top, strip.right, strip.bottom};
    DrawTextW(dc, text.c_str(), int(text.size()), &r, TextFlags);
    SelectObject(dc, previous);
    GdipFlat::GdipReleaseDC(graphics, dc);
    GdiFlush();
    return true;
}

}  // namespace

void PlanLoupe() {
    MeasureState& measure = TheDisplay.measure;
    if (!measure.slowKey) TheDisplay.loupeFailed = false;  // the next hold tries again
    const bool shown = measure.slowKey && TheDisplay.loupe.load() && !TheDisplay.loupeFailed &&
                       TheDisplay.targetAlpha > 0;
    TheDisplay.loupeSource =
        shown ? loupe::SourceSquare(measure.currentPoint, loupe::UsableSize(TheDisplay.loupesize.load())) : Rect{};
}

FrameImage DrawLoupeImage(bool& changed) {
    FrameImage image;
    image.show = FrameImage::Show::Hide;
    changed = false;
    const Rect source = TheDisplay.loupeSource;
    if (IsEmpty(source)) {
        lastCapture.clear();
        return image;
    }
    std::vector<uint32_t> pixels;
    // Our line and label keep clear of the square: that keeps them out of
    // the copy also under Wine, whose capture shows every window.
    if (!CaptureScreen(source, DesktopRect(), OutsideDesktop, pixels)) {
        // No loupe rather than a wrong one.
        TheDisplay.loupeFailed = true;
        lastCapture.clear();
        return image;
    }
    changed = pixels != lastCapture || !(source == lastSource);
    lastCapture = pixels;
    lastSource = source;
    const int32_t size = source.right - source.left;
    const std::wstring text = WideFromUtf8(loupe::ColourText(pixels[size_t(size / 2) * size + size / 2]));

    std::lock_guard<std::recursive_mutex> lock(TheDisplay.DisplayLock);
    const int32_t dpi = TheDisplay.frameDpi;
    HFONT font = LabelFontAt(dpi);
    const SIZE textSize = TextSize(font, text);
    loupe::PlacementInput in;
    in.pointer = TheDisplay.measure.currentPoint;
    in.startX = TheDisplay.measure.startPoint.x;
    in.pointerExtent = MeasurePointerExtent(TheDisplay.framePointer);
    in.label = TheDisplay.labelRect;
    in.virtualScreen = DesktopRect();
    in.size = size;
    in.zoom = loupe::UsableZoom(TheDisplay.loupezoom.load());
    in.dpi = dpi;
    in.gap = LabelGap(TheDisplay.linethick.load(), dpi);
    in.textWidth = textSize.cx;
    in.textHeight = textSize.cy;
    const loupe::Layout layout = loupe::PlaceLoupe(in);

    RenderSurface& surface = image.surface;
    GpGraphics* graphics = CreateSurface(layout.window, surface);
    if (!graphics) return image;
    auto* out = static_cast<uint32_t*>(surface.pixels);
    loupe::ComposeLoupe(layout, pixels.data(), out);
    DrawLineEnd(graphics, layout);
    if (!DrawColourText(graphics, font, text, layout.text)) {
        DiscardSurface(surface);
        return image;
    }
    // GDI leaves the alpha of the pixels it wrote undefined; all are opaque.
    const size_t count = size_t(layout.window.right - layout.window.left) * (layout.window.bottom - layout.window.top);
    for (size_t i = 0; i < count; ++i) out[i] |= 0xFF000000;
    image.show = FrameImage::Show::Image;
    image.rect = layout.window;
    return image;
}

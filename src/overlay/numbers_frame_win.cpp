#include "overlay/numbers_frame_win.h"

#include <windows.h>

#include <mutex>
#include <string>

#include "layout/dpi_scale.h"
#include "layout/label_outline.h"
#include "layout/label_text.h"
#include "layout/loupe_layout.h"
#include "layout/pointer_extent.h"
#include "measure/measure_model.h"
#include "measure/measurement_text_win.h"
#include "overlay/display_object.h"
#include "overlay/frame_parts_win.h"
#include "overlay/frame_record_win.h"
#include "overlay/frame_scale_win.h"
#include "overlay/render_surface_win.h"
#include "platform/win32/text_win32.h"

namespace {

constexpr UINT LabelTextFlags = DT_NOPREFIX | DT_SINGLELINE;
constexpr COLORREF White = 0x00FFFFFF;
constexpr COLORREF Black = 0x00000000;

// Draws on the surface through a GDI device context of its graphics; false
// when the graphics gives none.
template <typename Draw>
bool DrawWithGdi(GpGraphics* graphics, HFONT font, Draw draw) {
    HDC dc = nullptr;
    GdipFlat::GdipGetDC(graphics, &dc);
    if (!dc) return false;
    HGDIOBJ previousFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    draw(dc);
    SelectObject(dc, previousFont);
    GdipFlat::GdipReleaseDC(graphics, dc);
    GdiFlush();  // the pixels are read right after
    return true;
}

// The text's size in pixels with the label font, measured on a memory
// context kept for the program's life (a window's would be a trip to the
// window server at every frame).
SIZE MeasureText(HFONT font, const std::wstring& text) {
    static HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previousFont = SelectObject(dc, font);
    RECT r{1, 1, 2, 2};
    DrawTextW(dc, text.c_str(), int(text.size()), &r, DT_CALCRECT | LabelTextFlags);
    SelectObject(dc, previousFont);
    return {r.right - 1, r.bottom - 1};
}

}  // namespace

Rect PlaceLiveLabel(HFONT font, const std::wstring& text, int32_t dpi) {
    const MeasureState& measure = TheDisplay.measure;
    const SIZE textSize = MeasureText(font, text);
    LabelPlacementInput placement;
    placement.textWidth = textSize.cx;
    placement.textHeight = textSize.cy;
    placement.pointer = measure.currentPoint;
    placement.startX = measure.startPoint.x;
    placement.pointerExtent = MeasurePointerExtent(TheDisplay.framePointer);
    placement.virtualScreen = DesktopRect();
    placement.linethick = TheDisplay.linethick.load();
    placement.dpi = dpi;
    // While the loupe shows, the label also stays clear of the square it
    // magnifies, so that it is never magnified itself.
    if (const Rect& s = TheDisplay.loupeSource; s.right > s.left) {
        placement.pointerExtent = loupe::ExtentWithSquare(placement.pointerExtent, measure.currentPoint, s);
    }
    return PlaceLabel(placement);
}

bool DrawLabel(RenderSurface& surface, const Rect& label, HFONT font, const std::wstring& text, int32_t dpi) {
    const size_t pixelCount = size_t(label.right - label.left) * size_t(label.bottom - label.top);
    auto* pixels = static_cast<uint8_t*>(surface.pixels);
    // The text rectangle in label coordinates, inside the outline (the
    // placement made the label the text's size plus the outline all round).
    const int32_t outlineWidth = LabelOutlineWidth(dpi);
    const RECT textRect{outlineWidth, outlineWidth, label.right - label.left - outlineWidth + 2,
                        label.bottom - label.top - outlineWidth + 2};

    // Two passes, so that the label's alpha can be made from the colours
    // (see label_outline.h): the white outline on the clear surface, then
    // the black text on white.
    const bool outlined = DrawWithGdi(surface.graphics, font, [&](HDC dc) {
        SetTextColor(dc, White);
        for (const Point& offset : LabelOutlineOffsets(outlineWidth)) {
            RECT r = textRect;
            r.left += offset.x;
            r.top += offset.y;
            DrawTextW(dc, text.c_str(), int(text.size()), &r, LabelTextFlags);
        }
    });
    if (!outlined) return false;
    const std::vector<uint8_t> outline = OutlineCoverage(pixels, pixelCount);
    FillOpaqueWhite(pixels, pixelCount);
    const bool written = DrawWithGdi(surface.graphics, font, [&](HDC dc) {
        SetTextColor(dc, Black);
        RECT r = textRect;
        DrawTextW(dc, text.c_str(), int(text.size()), &r, LabelTextFlags);
    });
    if (!written) return false;
    ComposeOutlinedText(pixels, pixelCount, outline);
    return true;
}

FrameImage DrawLabelImage() {
    FrameImage image;
    if (!TheDisplay.numbers.load()) {
        TheDisplay.labelRect = Rect{};
        image.show = FrameImage::Show::Hide;
        return image;
    }

    const MeasureReadout readout = ReadMeasurement(TheDisplay.measure);
    const std::wstring text = WideFromUtf8(MeasurementLabel(readout, TheDisplay.measure));

    // The options thread may replace the font while the frame uses it.
    std::lock_guard<std::recursive_mutex> lock(TheDisplay.DisplayLock);
    const int32_t dpi = TheDisplay.frameDpi;
    HFONT font = LabelFontAt(dpi);
    const Rect label = PlaceLiveLabel(font, text, dpi);
    TheDisplay.labelRect = label;

    if (!CreateSurface(label, image.surface)) return image;
    if (!DrawLabel(image.surface, label, font, text, dpi)) {
        DiscardSurface(image.surface);  // NumbersWindow keeps its last image
        return image;
    }
    image.show = FrameImage::Show::Image;
    image.rect = label;
    return image;
}

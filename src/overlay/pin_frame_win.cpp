#include "overlay/pin_frame_win.h"

#include <algorithm>
#include <mutex>
#include <string>

#include "measure/kept_measurement.h"
#include "measure/measurement_text_win.h"
#include "overlay/display_object.h"
#include "overlay/frame_parts_win.h"
#include "overlay/frame_scale_win.h"
#include "platform/win32/label_font_win32.h"
#include "platform/win32/text_win32.h"

namespace {

Rect Union(const Rect& a, const Rect& b) {
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

// Puts the label's premultiplied pixels over the line's on the pin's surface.
void BlendOver(const RenderSurface& to, const Rect& toRect, const RenderSurface& from, const Rect& fromRect) {
    const size_t toWidth = size_t(toRect.right - toRect.left);
    const size_t width = size_t(fromRect.right - fromRect.left);
    const auto* source = static_cast<const uint8_t*>(from.pixels);
    for (int32_t y = fromRect.top; y < fromRect.bottom; ++y) {
        uint8_t* row = static_cast<uint8_t*>(to.pixels) +
                       (size_t(y - toRect.top) * toWidth + size_t(fromRect.left - toRect.left)) * 4;
        for (size_t i = 0; i < width * 4; i += 4, source += 4) {
            const uint32_t keep = 255u - source[3];
            for (size_t c = 0; c < 4; ++c) row[i + c] = uint8_t(source[c] + (row[i + c] * keep + 127) / 255);
        }
    }
}

// The pin's label, in the font and at the DPI it was pinned with.
void DrawPinLabel(const Pin& pin, const RenderSurface& surface, const Rect& rect) {
    const LOGFONTW description = LogFontFromDescription(pin.font);
    HFONT made = CreateFontIndirectW(&description);
    RenderSurface label;
    if (CreateSurface(pin.labelRect, label) &&
        DrawLabel(label, pin.labelRect, made ? made : DefaultFont(), WideFromUtf8(PinLabelText(pin)), pin.dpi)) {
        BlendOver(surface, rect, label, pin.labelRect);
    }
    DiscardSurface(label);
    if (made) DeleteObject(made);
}

}  // namespace

std::optional<Pin> PinOfLiveRuler() {
    if (SpacingShown(TheDisplay.measure)) return std::nullopt;
    Pin pin;
    pin.measurement = MeasurementInChosenUnit(ShownLine(TheDisplay.measure));
    pin.linethick = TheDisplay.linethick.load();
    pin.antialias = TheDisplay.antialias.load();
    pin.cross0 = TheDisplay.cross0.load();
    pin.labelShown = TheDisplay.numbers.load();
    pin.dpi = TheDisplay.frameDpi;
    // The font the live label is drawn with now, kept by its description: a
    // font chosen later leaves the pin as it was.
    std::lock_guard<std::recursive_mutex> lock(TheDisplay.DisplayLock);
    HFONT font = LabelFontAt(pin.dpi);
    LOGFONTW description{};
    if (GetObjectW(font, sizeof description, &description) == sizeof description) {
        pin.font = DescriptionFromLogFont(description);
    }
    pin.labelRect = PlaceLiveLabel(font, WideFromUtf8(PinLabelText(pin)), pin.dpi);
    return pin;
}

FrameImage DrawPinImage(const Pin& pin) {
    PathSettings settings;
    settings.refnr = 0;
    settings.reflines = false;
    settings.cross0 = pin.cross0;
    const LinePath path = BuildLinePath(pin.measurement.source.start, pin.measurement.source.end, 0.0, settings);
    Rect rect = LinePathRect(path, pin.linethick);
    if (pin.labelShown) rect = Union(rect, pin.labelRect);

    FrameImage image;
    image.show = FrameImage::Show::Hide;
    GpGraphics* graphics = CreateSurface(rect, image.surface);
    if (!graphics) return image;
    StrokeLinePath(graphics, rect, path, pin.linethick, pin.cross0, pin.antialias);
    GdipFlat::GdipFlush(graphics, Gdiplus::FlushIntentionSync);
    if (pin.labelShown) DrawPinLabel(pin, image.surface, rect);
    image.show = FrameImage::Show::Image;
    image.rect = rect;
    return image;
}

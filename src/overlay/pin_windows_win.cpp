#include "overlay/pin_windows_win.h"

#include <algorithm>
#include <mutex>
#include <string>

#include "measure/kept_measurement.h"
#include "measure/measurement_text_win.h"
#include "overlay/display_object.h"
#include "overlay/frame_parts_win.h"
#include "overlay/frame_record_win.h"
#include "overlay/frame_scale_win.h"
#include "overlay/render_surface_win.h"
#include "platform/win32/label_font_win32.h"
#include "platform/win32/text_win32.h"

namespace {

constexpr wchar_t PinClass[] = L"RulerPin";
// As the live ruler's windows: per-pixel alpha, click-through, no task bar
// button, top-most; never activated.
constexpr DWORD PinExStyle = WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
constexpr UINT ZOrderOnly = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOOWNERZORDER |
                            SWP_NOSENDCHANGING | SWP_DEFERERASE;

PinList pins;
// The window of each slot of the list; nullptr where no pin is (a clear
// destroys them all).
HWND windows[MaxPins] = {};

HWND LineWindowHandle() { return static_cast<HWND>(TheDisplay.LineWindow.load()); }

Rect Union(const Rect& a, const Rect& b) {
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

// Directly below the live ruler's line window, which stays where it is (the
// label is above it): the pins never cover the live ruler.
void StackBelowRuler(HWND window, bool show) {
    HWND line = LineWindowHandle();
    SetWindowPos(window, line ? line : HWND_TOPMOST, 0, 0, 0, 0, ZOrderOnly | (show ? SWP_SHOWWINDOW : 0));
}

void Hide(HWND window) {
    if (IsWindowVisible(window)) SetWindowPos(window, nullptr, 0, 0, 0, 0, ZOrderOnly | SWP_NOZORDER | SWP_HIDEWINDOW);
}

BLENDFUNCTION Blend(int32_t alpha) { return BLENDFUNCTION{AC_SRC_OVER, 0, BYTE(std::clamp(alpha, 0, 255)), AC_SRC_ALPHA}; }

// The image first, then the place in the Z-order: a pin is never shown
// without its image.
void Present(HWND window, const Rect& rect, const RenderSurface& surface) {
    const int32_t alpha = TheDisplay.currentAlpha;
    static HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(memory, surface.dib);
    BLENDFUNCTION blend = Blend(alpha);
    POINT destination{rect.left, rect.top};
    SIZE size{rect.right - rect.left, rect.bottom - rect.top};
    POINT source{0, 0};
    UpdateLayeredWindow(window, nullptr, &destination, &size, memory, &source, 0, &blend, ULW_ALPHA);
    SelectObject(memory, previous);
    StackBelowRuler(window, alpha > 0);
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

void DrawPin(int32_t slot) {
    const Pin& pin = pins.AtSlot(slot);
    PathSettings settings;
    settings.refnr = 0;
    settings.reflines = false;
    settings.cross0 = pin.cross0;
    const LinePath path = BuildLinePath(pin.measurement.source.start, pin.measurement.source.end, 0.0, settings);
    Rect rect = LinePathRect(path, pin.linethick);
    if (pin.labelShown) rect = Union(rect, pin.labelRect);

    RenderSurface surface;
    GpGraphics* graphics = CreateSurface(rect, surface);
    if (!graphics) {
        // No surface (nothing of it on the desktop, or no memory): no image
        // rather than the one of the pin this slot held before.
        if (windows[slot]) Hide(windows[slot]);
        return;
    }
    StrokeLinePath(graphics, rect, path, pin.linethick, pin.cross0, pin.antialias);
    GdipFlat::GdipFlush(graphics, Gdiplus::FlushIntentionSync);
    if (pin.labelShown) DrawPinLabel(pin, surface, rect);
    if (windows[slot]) Present(windows[slot], rect, surface);
    DiscardSurface(surface);
}

LRESULT CALLBACK PinWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DISPLAYCHANGE || message == WM_DPICHANGED) {
        // The pin stays at its desktop position, in its own DPI's look, cut
        // to the new desktop; each pin's window redraws its own pin.
        ForgetDisplayLayout();
        const auto slot = std::find(std::begin(windows), std::end(windows), window) - std::begin(windows);
        if (slot < MaxPins) DrawPin(int32_t(slot));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreatePinWindow() {
    static ATOM atom = 0;
    if (!atom) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = PinWindowProc;
        windowClass.lpszClassName = PinClass;
        atom = RegisterClassExW(&windowClass);
    }
    return CreateWindowExW(PinExStyle, PinClass, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
}

}  // namespace

void PinLiveMeasurement() {
    // The spacing's cross shows instead of the line: no line to pin.
    if (SpacingShown(TheDisplay.measure)) return;
    Pin pin;
    pin.measurement = MeasurementInChosenUnit(ShownLine(TheDisplay.measure));
    pin.linethick = TheDisplay.linethick.load();
    pin.antialias = TheDisplay.antialias.load();
    pin.cross0 = TheDisplay.cross0.load();
    pin.labelShown = TheDisplay.numbers.load();
    pin.dpi = TheDisplay.frameDpi;
    {
        // The font the live label is drawn with now, kept by its description:
        // a font chosen later leaves the pin as it was.
        std::lock_guard<std::recursive_mutex> lock(TheDisplay.DisplayLock);
        HFONT font = LabelFontAt(pin.dpi);
        LOGFONTW description{};
        if (GetObjectW(font, sizeof description, &description) == sizeof description) {
            pin.font = DescriptionFromLogFont(description);
        }
        pin.labelRect = PlaceLiveLabel(font, WideFromUtf8(PinLabelText(pin)), pin.dpi);
    }
    const int32_t slot = pins.Add(pin);
    if (!windows[slot]) windows[slot] = CreatePinWindow();
    DrawPin(slot);
}

void ClearPins() {
    pins.Clear();
    for (HWND& window : windows) {
        if (window) DestroyWindow(window);
        window = nullptr;
    }
}

const PinList& Pins() { return pins; }

void ShowPins(int32_t alpha) {
    BLENDFUNCTION blend = Blend(alpha);
    for (HWND window : windows) {
        if (!window) continue;
        if (alpha <= 0) {
            Hide(window);
            continue;
        }
        if (!IsWindowVisible(window)) StackBelowRuler(window, true);
        // Only the constant alpha changes; the image stays.
        UpdateLayeredWindow(window, nullptr, nullptr, nullptr, nullptr, nullptr, 0, &blend, ULW_ALPHA);
    }
}

// The overlay windows' owner: the line's and the label's windows (class and
// procedure), the loupe's and the spacing marks' windows, the pins and their
// windows, the redraw limit and fade timers, and the layered-window update
// that every frame, pin and fade step goes through. The parts draw the
// images into surfaces; this file presents them.
#include "overlay/overlay_window_win.h"

#include <dbt.h>

#include <cwchar>
#include <mutex>
#include <optional>

#include "base/app_messages.h"
#include "base/clock.h"
#include "measure/monitor_scale_win.h"
#include "overlay/display_object.h"
#include "overlay/edge_marks_win.h"
#include "overlay/frame_inputs.h"
#include "overlay/frame_record_win.h"
#include "overlay/gdiplus_flat_win.h"
#include "overlay/frame_scale_win.h"
#include "overlay/line_frame_win.h"
#include "overlay/loupe_frame_win.h"
#include "overlay/numbers_frame_win.h"
#include "overlay/overlay_timing.h"
#include "overlay/pin_frame_win.h"
#include "platform/win32/label_font_win32.h"

namespace {

using overlay_timing::FadeState;
using overlay_timing::FadeTimer;

constexpr UINT_PTR FadeTimerId = 2;
constexpr UINT_PTR RedrawTimerId = 3;

// Per-pixel alpha, click-through, not in the task bar, above normal windows.
constexpr DWORD OverlayExStyle = WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
static_assert(OverlayExStyle == 0x800A8);
// A pure Z-order change: no size, move, redraw, owner order or
// WM_WINDOWPOSCHANGING, and no activation. An overlay must never become the
// active window: that would take the keyboard from the user's application,
// and activating moves a window to the top of its band, which would put
// LineWindow over NumbersWindow at every frame.
constexpr UINT ZOrderOnly = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOOWNERZORDER |
                            SWP_NOSENDCHANGING | SWP_DEFERERASE;
static_assert(ZOrderOnly == 0x261B && (ZOrderOnly | SWP_SHOWWINDOW) == 0x265B);
// Hidden and, as the size is not kept, shrunk to 0 by 0.
constexpr UINT HideAndShrink =
    SWP_HIDEWINDOW | SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING |
    SWP_DEFERERASE;
static_assert(HideAndShrink == 0x269E);

// What the frame on screen was drawn from; nothing while LineWindow holds no
// image (before the first frame, and once hidden, which shrinks it away).
std::optional<FrameInputs> shownFrame;

// Whether the deferred frame's timer is set.
bool redrawTimerSet = false;

// The loupe's window, and where its image is while it shows.
HWND loupeWindow = nullptr;
std::optional<Rect> loupeShownRect;
// The window of the spacing cross's column bar (its row bar is in
// LineWindow), and whether it shows.
HWND marksWindow = nullptr;
bool marksShown = false;
// The pins, and the window of each slot of the list (nullptr where no pin
// is) with whether it holds its pin's image. A pin is drawn once, when it is
// made, and again only when the display settings change; the fade changes
// only its constant alpha.
PinList pins;
HWND pinWindows[MaxPins] = {};
bool pinDrawn[MaxPins] = {};

HWND LineWindowHandle() { return static_cast<HWND>(TheDisplay.LineWindow.load()); }
HWND NumbersWindowHandle() { return static_cast<HWND>(TheDisplay.NumbersWindow.load()); }

FadeState LoadFade() { return {TheDisplay.currentAlpha, TheDisplay.targetAlpha, TheDisplay.alphaStep}; }

void StoreFade(const FadeState& fade) {
    TheDisplay.currentAlpha = fade.current;
    TheDisplay.targetAlpha = fade.target;
    TheDisplay.alphaStep = fade.step;
}

// Updates window's layered image: with rect and surface a new image at rect,
// without them only the constant alpha of the one already there.
void SetLayeredImage(HWND window, const Rect* rect, const RenderSurface* surface, int32_t alpha) {
    // One memory context for every image of the program's life (they are
    // all drawn on one thread); the screen's context is left out, as
    // UpdateLayeredWindow then takes the default palette, which a 32-bit
    // image does not use.
    static HDC memory = CreateCompatibleDC(nullptr);
    BLENDFUNCTION blend{};
    blend.BlendOp = AC_SRC_OVER;
    blend.BlendFlags = 0;
    blend.SourceConstantAlpha = BYTE(alpha & 0xFF);
    blend.AlphaFormat = AC_SRC_ALPHA;

    POINT destination{};
    SIZE size{};
    POINT source{0, 0};
    if (rect) {
        destination = {rect->left, rect->top};
        size = {rect->right - rect->left, rect->bottom - rect->top};
    }
    HGDIOBJ previous = surface ? SelectObject(memory, surface->dib) : nullptr;
    UpdateLayeredWindow(window, nullptr, rect ? &destination : nullptr, rect ? &size : nullptr,
                        surface ? memory : nullptr, surface ? &source : nullptr, 0, &blend, ULW_ALPHA);
    if (surface) SelectObject(memory, previous);
}

// Puts the line and the marks (those shown) back directly below the label
// just raised. Raised alone, the label would leave between itself and the
// line whatever came to the top since the line's last frame, such as the
// options window, which is made top-most as it shows.
void KeepBelowLabel(HWND label) {
    HWND above = label;
    for (HWND window : {LineWindowHandle(), marksShown ? marksWindow : nullptr}) {
        if (!window || !IsWindowVisible(window)) return;
        if (GetWindow(window, GW_HWNDPREV) != above) SetWindowPos(window, above, 0, 0, 0, 0, ZOrderOnly);
        above = window;
    }
}

// Puts window in the top-most band (directly below `above` when given), then
// updates its layered image (SetLayeredImage).
void UpdateLayered(HWND window, HWND above, const Rect* rect, const RenderSurface* surface, int32_t alpha) {
    // `above` goes to the top of the top-most band and the window directly
    // below it, so that the label is never covered by the line. The order is
    // read first: when it already holds, as it does frame after frame, the
    // calls that would restack the windows are left out (each one is a trip
    // to the window server, and under Wine to the X server too).
    HWND after = HWND_TOPMOST;
    if (above) {
        if (GetWindow(above, GW_HWNDPREV) != nullptr) SetWindowPos(above, HWND_TOPMOST, 0, 0, 0, 0, ZOrderOnly);
        after = above;
    }
    const bool show = alpha > 0 && !IsWindowVisible(window);
    if (show || GetWindow(window, GW_HWNDPREV) != (above ? above : nullptr)) {
        SetWindowPos(window, after, 0, 0, 0, 0, ZOrderOnly | (alpha > 0 ? SWP_SHOWWINDOW : 0));
        if (window == NumbersWindowHandle()) KeepBelowLabel(window);
    }
    SetLayeredImage(window, rect, surface, alpha);
}

// Moves and sizes window to rect and shows the surface in it with the
// constant alpha, after putting the window in the top-most band (directly
// below `above` when given).
void ShowSurface(HWND window, HWND above, const Rect& rect, const RenderSurface& surface, int32_t alpha) {
    UpdateLayered(window, above, &rect, &surface, alpha);
}

// Hides the window (and shrinks it to 0 by 0).
void HideOverlayWindow(HWND window) {
    if (!window) return;
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, HideAndShrink);
    if (window == LineWindowHandle()) shownFrame.reset();
}

void HideLoupeWindow() {
    if (!loupeShownRect) return;
    HideOverlayWindow(loupeWindow);
    loupeShownRect.reset();
}

void HideMarksWindow() {
    if (!marksShown) return;
    HideOverlayWindow(marksWindow);
    marksShown = false;
}

// Shows (alpha > 0) or hides a pin's window, which keeps its image and size
// meanwhile. Shown directly below LineWindow: the live ruler's windows stay
// above every pin.
void StackPin(HWND window, int32_t alpha) {
    if (alpha <= 0) {
        if (IsWindowVisible(window)) {
            SetWindowPos(window, nullptr, 0, 0, 0, 0, ZOrderOnly | SWP_NOZORDER | SWP_HIDEWINDOW);
        }
        return;
    }
    HWND line = LineWindowHandle();
    SetWindowPos(window, line ? line : HWND_TOPMOST, 0, 0, 0, 0, ZOrderOnly | SWP_SHOWWINDOW);
}

// The ruler's constant alpha on every pin drawn; 0 hides them.
void FadePins(int32_t alpha) {
    for (int32_t slot = 0; slot < MaxPins; ++slot) {
        if (!pinWindows[slot] || !pinDrawn[slot]) continue;
        if (alpha > 0) SetLayeredImage(pinWindows[slot], nullptr, nullptr, alpha);
        if ((alpha > 0) != (IsWindowVisible(pinWindows[slot]) != FALSE)) StackPin(pinWindows[slot], alpha);
    }
}

// Draws the pin of slot into its window: the image first, then the place in
// the Z-order, so that a pin never shows without its image.
void PresentPin(int32_t slot) {
    FrameImage image = DrawPinImage(pins.AtSlot(slot));
    pinDrawn[slot] = image.show == FrameImage::Show::Image;
    if (pinDrawn[slot]) {
        // Wine shows an image at the constant alpha it came with, whatever
        // alpha follows without an image: so the image comes with the alpha
        // of the ruler fully shown, and the fade's alpha of the moment after.
        const int32_t shownAlpha = overlay_timing::ClampAlpha(TheDisplay.alpha.load());
        SetLayeredImage(pinWindows[slot], &image.rect, &image.surface, shownAlpha);
        SetLayeredImage(pinWindows[slot], nullptr, nullptr, TheDisplay.currentAlpha);
    }
    // Without an image, hidden rather than showing the pin this slot held before.
    StackPin(pinWindows[slot], pinDrawn[slot] ? TheDisplay.currentAlpha : 0);
    DiscardSurface(image.surface);
}

// Moves the fade one step (or, at its start, arms the timer) and shows the
// new constant alpha on the images already in the windows: a fade never
// redraws.
void FadeStep(bool start) {
    HWND line = LineWindowHandle();
    HWND numbers = NumbersWindowHandle();
    const int32_t rlimit = TheDisplay.rlimit.load();
    FadeState fade = LoadFade();
    const FadeTimer timer = overlay_timing::FadeStepNow(fade, TheDisplay.FadeClock, start, rlimit);
    StoreFade(fade);
    if (timer == FadeTimer::Kill) {
        KillTimer(line, FadeTimerId);
    } else if (timer == FadeTimer::Start) {
        SetTimer(line, FadeTimerId, UINT(overlay_timing::RedrawLimitMs(rlimit)), nullptr);
    }

    if (fade.current > 0) {
        UpdateLayered(line, numbers, nullptr, nullptr, fade.current);
        if (TheDisplay.numbers.load()) {
            UpdateLayered(numbers, nullptr, nullptr, nullptr, fade.current);
        } else {
            HideOverlayWindow(numbers);
        }
    } else {
        HideOverlayWindow(numbers);
        HideOverlayWindow(line);
    }
    FadePins(fade.current);
}

LRESULT CALLBACK OverlayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
            return 0;
        }
        case WM_DEVICECHANGE:
            // A monitor plugged in or out, perhaps on the same output.
            if (wParam == DBT_DEVNODES_CHANGED) ForgetMonitorFacts();
            break;
        case WM_DISPLAYCHANGE:
            ForgetMonitorFacts();
            [[fallthrough]];
        case WM_DPICHANGED:
        case WM_SETTINGCHANGE:
            // The desktop or a monitor's DPI may have changed: read again,
            // and drawn again if the ruler shows. The pins stay at their
            // desktop places in the look they were pinned with, drawn again
            // to fit a new desktop whether the ruler shows or not (once:
            // LineWindow's message); a DPI change alone leaves their pixels.
            ForgetDisplayLayout();
            if (message == WM_DISPLAYCHANGE && window == LineWindowHandle()) {
                for (int32_t i = 0; i < pins.Count(); ++i) PresentPin(pins.SlotOf(i));
            }
            if (IsWindowVisible(window)) RedrawScheduler();
            break;
        case WM_ENDSESSION:
            // Both windows get it; the main window's handling runs before this
            // returns (the process may end right after), and a second run only
            // posts WM_QUIT again.
            SendMessageW(static_cast<HWND>(MainWindow.load()), MsgEndSession, 0, 0);
            break;
        case WM_TIMER:
            if (wParam == FadeTimerId) {
                FadeStep(false);
            } else if (wParam == RedrawTimerId) {
                RedrawScheduler();
            }
            break;
        case MsgRedrawRequest:
            RedrawScheduler();
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateOverlayWindow() {
    if (TheDisplay.classAtom == 0) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = OverlayWindowProc;
        windowClass.lpszClassName = L"RulerDisplay";
        TheDisplay.classAtom = RegisterClassExW(&windowClass);
    }
    // Not shown: the first fade step or frame shows it.
    return CreateWindowExW(OverlayExStyle, L"RulerDisplay", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                           &TheDisplay);
}

// The loupe's (RulerLoupe) and the spacing marks' (RulerEdgeMarks) windows.
HWND CreatePartWindow(const wchar_t* className) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.lpszClassName = className;
    RegisterClassExW(&windowClass);  // fails harmlessly when already registered
    HWND window = CreateWindowExW(OverlayExStyle, className, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  nullptr, nullptr);
    // One clear image, still hidden: Wine makes a layered window's native
    // window anew at its first image, better now than when the key is held.
    const Rect pixel{0, 0, 1, 1};
    RenderSurface surface;
    if (window && CreateSurface(pixel, surface)) ShowSurface(window, nullptr, pixel, surface, 0);
    DiscardSurface(surface);
    return window;
}

}  // namespace

void DisplayStart() {
    Gdiplus::GdiplusStartupInput startup;  // version 1, no debug callback
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &startup, nullptr);
    TheDisplay.graphicsToken = token;

    DefaultFont();  // taken before any frame, on the main thread
    const Point start{GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) * 3 / 4};
    TheDisplay.measure.startPoint = start;
    TheDisplay.measure.currentPoint = start;
    PerfClock::Now(TheDisplay.FadeClock);
    PerfClock::Now(TheDisplay.RedrawClock);

    TheDisplay.LineWindow = CreateOverlayWindow();
    TheDisplay.NumbersWindow = CreateOverlayWindow();
    loupeWindow = CreatePartWindow(L"RulerLoupe");
    marksWindow = CreatePartWindow(L"RulerEdgeMarks");
}

void DisplayShutdown() {
    ClearPins();
    if (marksWindow) DestroyWindow(marksWindow);
    marksWindow = nullptr;
    marksShown = false;
    if (loupeWindow) DestroyWindow(loupeWindow);
    loupeWindow = nullptr;
    loupeShownRect.reset();
    if (HWND numbers = NumbersWindowHandle()) DestroyWindow(numbers);
    TheDisplay.NumbersWindow = nullptr;
    if (HWND line = LineWindowHandle()) DestroyWindow(line);
    TheDisplay.LineWindow = nullptr;

    SetDisplayFont(nullptr);
    {
        std::lock_guard<std::recursive_mutex> lock(TheDisplay.DisplayLock);
        ReleaseLabelFonts();
    }
    if (TheDisplay.graphicsToken) Gdiplus::GdiplusShutdown(TheDisplay.graphicsToken);
    TheDisplay.graphicsToken = 0;
}

namespace {

// Draws now, from `inputs` when the caller has just read them, or leaves a
// timer to draw once the redraw limit has passed.
void DrawOrDefer(std::optional<FrameInputs> inputs) {
    HWND line = LineWindowHandle();
    if (!line) return;
    const overlay_timing::RedrawDecision decision =
        overlay_timing::ScheduleRedraw(TheDisplay.RedrawClock, TheDisplay.rlimit.load());
    if (!decision.drawNow) {
        // Setting the timer again replaces a pending one: however many
        // requests come within the limit, one deferred frame follows.
        SetTimer(line, RedrawTimerId, UINT(decision.timerPeriodMs), nullptr);
        redrawTimerSet = true;
        return;
    }
    // Killed only when set: each call is a trip to the window server.
    if (redrawTimerSet) KillTimer(line, RedrawTimerId);
    redrawTimerSet = false;
    // Taken before drawing: a setting the options thread changes meanwhile
    // makes the record differ, and the next pointer update draws again.
    shownFrame = inputs ? *inputs : CurrentFrameInputs();
    FadeState fade = LoadFade();
    if (overlay_timing::AdoptAlphaSetting(fade, TheDisplay.alpha.load())) {
        StoreFade(fade);
        FadePins(fade.current);
    }
    ComposeFrame(*shownFrame);
}

}  // namespace

void RedrawScheduler() { DrawOrDefer(std::nullopt); }

void RedrawIfChanged(std::optional<uintptr_t> pointerShape) {
    FrameInputs now = CurrentFrameInputs(pointerShape);
    if (!shownFrame || *shownFrame != now) DrawOrDefer(now);
}

void FadeIn(int32_t fadeMs) {
    if (!LineWindowHandle()) return;
    FadeState fade = LoadFade();
    overlay_timing::BeginFadeIn(fade, TheDisplay.alpha.load(), TheDisplay.rlimit.load(), fadeMs);
    StoreFade(fade);
    FadeStep(true);
}

void FadeOut(int32_t fadeMs) {
    if (!LineWindowHandle()) return;
    FadeState fade = LoadFade();
    overlay_timing::BeginFadeOut(fade, TheDisplay.alpha.load(), TheDisplay.rlimit.load(), fadeMs);
    StoreFade(fade);
    HideLoupeWindow();  // at once: the loupe and the marks do not fade
    HideMarksWindow();
    FadeStep(true);
}

void HideOverlaysForScreenRead() {
    HideOverlayWindow(LineWindowHandle());
    HideOverlayWindow(NumbersWindowHandle());
    HideLoupeWindow();
    HideMarksWindow();
    FadePins(0);
}

void ShowPinsAfterScreenRead() { FadePins(TheDisplay.currentAlpha); }

void PinLiveMeasurement() {
    const std::optional<Pin> pin = PinOfLiveRuler();
    if (!pin) return;
    const int32_t slot = pins.Add(*pin);
    if (!pinWindows[slot]) pinWindows[slot] = CreatePartWindow(L"RulerPin");
    if (pinWindows[slot]) PresentPin(slot);
}

void ClearPins() {
    pins.Clear();
    for (int32_t slot = 0; slot < MaxPins; ++slot) {
        if (pinWindows[slot]) DestroyWindow(pinWindows[slot]);
        pinWindows[slot] = nullptr;
        pinDrawn[slot] = false;
    }
}

const PinList& Pins() { return pins; }

void PresentSurface(HWND window, const Rect& rect, RenderSurface& surface) {
    // LineWindow stays directly below NumbersWindow; the label's own window
    // needs nothing above it.
    HWND numbers = NumbersWindowHandle();
    ShowSurface(window, window == numbers ? nullptr : numbers, rect, surface, TheDisplay.currentAlpha);
    DiscardSurface(surface);
}

namespace {

bool Overlap(const Rect& a, const Rect& b) {
    const bool empty = a.right <= a.left || a.bottom <= a.top || b.right <= b.left || b.bottom <= b.top;
    return !empty && a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// A part's image into its window: shown, hidden, or the last one kept.
void Present(HWND window, FrameImage& image) {
    if (image.show == FrameImage::Show::Image) {
        PresentSurface(window, image.rect, image.surface);
    } else if (image.show == FrameImage::Show::Hide) {
        HideOverlayWindow(window);
    }
}

}  // namespace

void ComposeFrame(const FrameInputs& inputs) {
    if (inputs.edgesPending) return;  // the screen is read without the ruler (edge_snapshot_win.h)
    TheDisplay.frameDpi = inputs.dpi;
    TheDisplay.framePointer = inputs.pointerShape;
    PlanLoupe();

    // The spacing's cross in place of the line: its row bar in LineWindow,
    // its column bar in the marks window directly below it.
    const bool spacing = SpacingShown(TheDisplay.measure);
    FrameImage line = spacing ? DrawSpacingBar(false) : DrawLineImage();
    Present(LineWindowHandle(), line);
    FrameImage column = spacing ? DrawSpacingBar(true) : FrameImage{FrameImage::Show::Hide, {}, {}};
    if (column.show == FrameImage::Show::Image && marksWindow) {
        ShowSurface(marksWindow, LineWindowHandle(), column.rect, column.surface, TheDisplay.currentAlpha);
        marksShown = true;
    } else if (column.show == FrameImage::Show::Hide) {
        HideMarksWindow();
    }
    DiscardSurface(column.surface);

    HWND numbers = NumbersWindowHandle();
    if (TheDisplay.numbers.load() && !IsWindowVisible(numbers)) ShowWindow(numbers, SW_SHOWNOACTIVATE);
    FrameImage label = DrawLabelImage();
    Present(numbers, label);

    // Last: the loupe reads the screen with the line and the label in place,
    // and the last loupe must not be in this frame's capture.
    if (loupeShownRect && Overlap(*loupeShownRect, TheDisplay.loupeSource)) HideLoupeWindow();
    const bool failedBefore = TheDisplay.loupeFailed;
    bool loupeChanged = false;
    FrameImage loupe = DrawLoupeImage(loupeChanged);
    if (loupe.show == FrameImage::Show::Image && loupeWindow) {
        // Opaque whatever the ruler's opacity: the loupe shows exact colours.
        ShowSurface(loupeWindow, nullptr, loupe.rect, loupe.surface, 255);
        loupeShownRect = loupe.rect;
    } else {
        HideLoupeWindow();
    }
    DiscardSurface(loupe.surface);
    // A failed capture: a frame with the line whole again right after this
    // one. A new reading of the square: one more frame within the redraw
    // limit reads it again, until two readings agree. The loupe so follows
    // what changes under a still pointer, and under Wine it does not keep
    // a reading taken before the X server showed the line's new image, which
    // leaves the magnified square clear (a capture there shows every window).
    if ((TheDisplay.loupeFailed && !failedBefore) || loupeChanged) {
        PostMessageW(LineWindowHandle(), MsgRedrawRequest, 0, 0);
    }
}

// The two overlay windows: their class and procedure, the redraw limit and
// fade timers, the layered-window update every frame and fade step goes
// through, and the label font object.
#include "overlay/overlay_window_win.h"

#include <cwchar>
#include <mutex>
#include <optional>

#include "base/app_messages.h"
#include "base/clock.h"
#include "overlay/display_object.h"
#include "overlay/frame_inputs.h"
#include "overlay/frame_record_win.h"
#include "overlay/gdiplus_flat_win.h"
#include "overlay/loupe_frame_win.h"
#include "overlay/overlay_timing.h"
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
    SWP_HIDEWINDOW | SWP_NOZORDER | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING | SWP_DEFERERASE;
static_assert(HideAndShrink == 0x268E);

// The font object made from the chosen description, and the description's
// generation it was made from.
HFONT madeFont = nullptr;
uint32_t madeGeneration = 0;
bool fontMade = false;

void DeleteMadeFont() {
    if (madeFont) DeleteObject(madeFont);
    madeFont = nullptr;
    fontMade = false;
}

// What the frame on screen was drawn from; nothing while LineWindow holds no
// image (before the first frame, and once hidden, which shrinks it away).
std::optional<FrameInputs> shownFrame;

// Whether the deferred frame's timer is set.
bool redrawTimerSet = false;

HWND LineWindowHandle() { return static_cast<HWND>(TheDisplay.LineWindow.load()); }
HWND NumbersWindowHandle() { return static_cast<HWND>(TheDisplay.NumbersWindow.load()); }

FadeState LoadFade() { return {TheDisplay.currentAlpha, TheDisplay.targetAlpha, TheDisplay.alphaStep}; }

void StoreFade(const FadeState& fade) {
    TheDisplay.currentAlpha = fade.current;
    TheDisplay.targetAlpha = fade.target;
    TheDisplay.alphaStep = fade.step;
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
        UpdateLayered(line, numbers, nullptr, nullptr, nullptr, fade.current);
        if (TheDisplay.numbers.load()) {
            UpdateLayered(numbers, nullptr, nullptr, nullptr, nullptr, fade.current);
        } else {
            HideOverlayWindow(numbers);
        }
    } else {
        HideOverlayWindow(numbers);
        HideOverlayWindow(line);
    }
}

LRESULT CALLBACK OverlayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
            return 0;
        }
        case WM_DISPLAYCHANGE:
        case WM_DPICHANGED:
        case WM_SETTINGCHANGE:
            // The desktop or a monitor's DPI may have changed: read again,
            // and drawn again if the ruler shows.
            ForgetDisplayLayout();
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
    CreateLoupeWindow();
}

void DisplayShutdown() {
    DestroyLoupeWindow();
    if (HWND numbers = NumbersWindowHandle()) DestroyWindow(numbers);
    TheDisplay.NumbersWindow = nullptr;
    if (HWND line = LineWindowHandle()) DestroyWindow(line);
    TheDisplay.LineWindow = nullptr;

    SetDisplayFont(nullptr);
    {
        std::lock_guard<std::recursive_mutex> lock(TheDisplay.DisplayLock);
        DeleteMadeFont();
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
    if (overlay_timing::AdoptAlphaSetting(fade, TheDisplay.alpha.load())) StoreFade(fade);
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
    HideLoupeWindow();  // at once: the loupe does not fade
    FadeStep(true);
}

DWORD UpdateLayered(HWND window, HWND above, const Rect* rect, HDC screenDC, HDC sourceDC, int32_t alpha) {
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
    }

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
    // Without an image only the constant alpha of the one already there changes.
    UpdateLayeredWindow(window, screenDC, rect ? &destination : nullptr, rect ? &size : nullptr, sourceDC,
                        sourceDC ? &source : nullptr, 0, &blend, ULW_ALPHA);
    return GetLastError();
}

void HideOverlayWindow(HWND window) {
    if (!window) return;
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, HideAndShrink);
    if (window == LineWindowHandle()) shownFrame.reset();
}

HFONT CurrentLabelFont() {
    std::lock_guard<std::recursive_mutex> lock(TheDisplay.DisplayLock);
    if (!fontMade || madeGeneration != TheDisplay.fontGeneration) {
        DeleteMadeFont();
        if (TheDisplay.fontChosen) {
            const LOGFONTW description = LogFontFromDescription(TheDisplay.fontDescription);
            madeFont = CreateFontIndirectW(&description);
            if (!madeFont) {
                // The label shows the default font, so the settings say so
                // too: a save keeps what is drawn, not a font that never was.
                SetDisplayFont(nullptr);
                PostOnce(MainWindow.load(), MsgSaveSettings, SavePending);
            }
        }
        madeGeneration = TheDisplay.fontGeneration;
        fontMade = true;
    }
    return madeFont ? madeFont : DefaultFont();
}

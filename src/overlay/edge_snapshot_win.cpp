#include "overlay/edge_snapshot_win.h"

#include <windows.h>

#include "base/app_messages.h"
#include "overlay/display_object.h"
#include "overlay/overlay_window_win.h"
#include "overlay/screen_capture_win.h"

namespace {

enum class Snapshot { None, Waiting, Ready, Failed };
Snapshot state = Snapshot::None;
ScreenPixels image;
Point waitingAt;

// A timer of LineWindow with its own procedure, so the window's own
// procedure never sees it.
constexpr UINT_PTR RepaintTimerId = 0xED;
// How long the windows below ours take to draw themselves again under Wine
// once ours are hidden: their programs do it as soon as they see the change.
constexpr UINT WineRepaintMs = 100;

HWND LineWindowHandle() { return static_cast<HWND>(TheDisplay.LineWindow.load()); }

bool RunningUnderWine() {
    static const bool wine = [] {
        HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
    }();
    return wine;
}

Rect MonitorRectAt(Point p) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(MonitorFromPoint(POINT{p.x, p.y}, MONITOR_DEFAULTTONEAREST), &info)) return Rect{};
    return {info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom};
}

// Reads the monitor under p.
bool Capture(Point p, ScreenPixels& out) {
    const Rect monitor = MonitorRectAt(p);
    if (!CaptureScreen(monitor, monitor, 0, out.pixels)) return false;
    out.bounds = monitor;
    return true;
}

void CALLBACK RepaintTimeOver(HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    if (state != Snapshot::Waiting) return;
    state = Capture(waitingAt, image) ? Snapshot::Ready : Snapshot::Failed;
    TheDisplay.edgesPending = false;
    ShowPinsAfterScreenRead();
    // The next pointer update snaps with the image and draws again.
    PostOnce(MainWindow.load(), MsgPointerEvent, PointerPending);
}

void Begin(Point p) {
    if (!RunningUnderWine()) {
        state = Capture(p, image) ? Snapshot::Ready : Snapshot::Failed;
        return;
    }
    // Wine's screen copy shows every window, layered ones too, whatever
    // the flags. So the ruler's windows are hidden first, and the screen is
    // read once the windows they covered have drawn themselves again (until
    // then the copy would still show the ruler). No frame is drawn meanwhile.
    HWND line = LineWindowHandle();
    if (!line) {
        state = Snapshot::Failed;
        return;
    }
    HideOverlaysForScreenRead();
    TheDisplay.edgesPending = true;
    state = Snapshot::Waiting;
    waitingAt = p;
    SetTimer(line, RepaintTimerId, WineRepaintMs, RepaintTimeOver);
}

}  // namespace

const ScreenPixels* EdgeSnapshotAt(Point p) {
    if (state == Snapshot::Ready && !Inside(image.bounds, p)) state = Snapshot::None;
    if (state == Snapshot::None) Begin(p);
    return state == Snapshot::Ready ? &image : nullptr;
}

void DropEdgeSnapshot() {
    if (state == Snapshot::None) return;
    if (state == Snapshot::Waiting) {
        KillTimer(LineWindowHandle(), RepaintTimerId);
        ShowPinsAfterScreenRead();
    }
    state = Snapshot::None;
    image = ScreenPixels{};
    TheDisplay.edgesPending = false;
}

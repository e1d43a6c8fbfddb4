// Times one overlay frame (LineWindow's image, then the label) on the real
// GDI+ and layered windows, and reports the surface bytes each frame
// allocates. Run it under Wine or Windows on an idle desktop:
//   measurix_frame_bench.exe [frames]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "display/display_object.h"
#include "display/line_path.h"
#include "display/measure_model.h"
#include "display/overlay_window_win.h"
#include "display/render_surface_win.h"

namespace {

double Microseconds(LONGLONG counts) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(counts) * 1e6 / double(frequency.QuadPart);
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

int64_t WindowBytes(WindowHandle window) {
    RECT r{};
    HWND hwnd = static_cast<HWND>(window);
    if (!IsWindowVisible(hwnd) || !GetWindowRect(hwnd, &r)) return 0;
    return int64_t(r.right - r.left) * (r.bottom - r.top) * 4;
}

struct Timing {
    double median, mean, worst;
};

Timing Summarise(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    double sum = 0;
    for (double s : samples) sum += s;
    return {samples[samples.size() / 2], sum / double(samples.size()), samples.back()};
}

// Draws `frames` frames with the pointer jittering by a pixel, timing the
// whole frame and the line part alone.
void Run(const char* name, Point start, Point pointer, int32_t refnr, int frames) {
    TheDisplay.refnr = refnr;
    TheDisplay.measure.startPoint = start;
    std::vector<double> whole, line;
    for (int i = 0; i < frames + 5; ++i) {
        TheDisplay.measure.currentPoint = {pointer.x + (i & 1), pointer.y};
        LARGE_INTEGER t0, t1, t2;
        QueryPerformanceCounter(&t0);
        ComposeFrame();
        QueryPerformanceCounter(&t1);
        DrawLineFrame();
        QueryPerformanceCounter(&t2);
        PumpMessages();
        if (i < 5) continue;  // warm-up
        whole.push_back(Microseconds(t1.QuadPart - t0.QuadPart));
        line.push_back(Microseconds(t2.QuadPart - t1.QuadPart));
    }
    const Timing w = Summarise(whole);
    const Timing l = Summarise(line);
    const LinePath path = BuildLinePath(TheDisplay.measure, CurrentPathSettings(TheDisplay));
    const Rect bounds = PathBounds(path);
    std::printf("%s: start (%d,%d) pointer (%d,%d) refnr %d, %d frames\n", name, start.x, start.y, pointer.x,
                pointer.y, refnr, frames);
    std::printf("  ComposeFrame   median %8.1f us  mean %8.1f us  worst %8.1f us\n", w.median, w.mean, w.worst);
    std::printf("  DrawLineFrame  median %8.1f us  mean %8.1f us  worst %8.1f us\n", l.median, l.mean, l.worst);
    std::printf("  path bounds %dx%d; surface bytes per frame: line %lld + label %lld\n", bounds.right - bounds.left,
                bounds.bottom - bounds.top, (long long)WindowBytes(TheDisplay.LineWindow.load()),
                (long long)WindowBytes(TheDisplay.NumbersWindow.load()));
}

template <typename F>
double TimeMedian(int frames, F step) {
    std::vector<double> samples;
    for (int i = 0; i < frames; ++i) {
        LARGE_INTEGER t0, t1;
        QueryPerformanceCounter(&t0);
        step(i);
        QueryPerformanceCounter(&t1);
        PumpMessages();
        samples.push_back(Microseconds(t1.QuadPart - t0.QuadPart));
    }
    return Summarise(samples).median;
}

// Where a frame's time goes: the surface alone, presenting it, and the
// line drawing with and without anti-aliasing, on the rectangle of the last
// frame of LineWindow.
void Breakdown(int frames) {
    RECT wr{};
    GetWindowRect(static_cast<HWND>(TheDisplay.LineWindow.load()), &wr);
    const Rect rect{wr.left, wr.top, wr.right, wr.bottom};
    HWND line = static_cast<HWND>(TheDisplay.LineWindow.load());
    const double createOnly = TimeMedian(frames, [&](int) {
        RenderSurface s;
        CreateSurface(rect, s);
        GdipFlat::GdipDeleteGraphics(s.graphics);
        GdipFlat::GdipDisposeImage(s.bitmap);
        DeleteObject(s.dib);
    });
    const double createPresent = TimeMedian(frames, [&](int) {
        RenderSurface s;
        CreateSurface(rect, s);
        PresentSurface(line, rect, s);
    });
    // The layered-window update alone, without the Z-order calls.
    const double layeredOnly = [&] {
        RenderSurface s;
        CreateSurface(rect, s);
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        HGDIOBJ previous = SelectObject(memory, s.dib);
        BLENDFUNCTION blend{AC_SRC_OVER, 0, BYTE(TheDisplay.currentAlpha), AC_SRC_ALPHA};
        POINT destination{rect.left, rect.top}, source{0, 0};
        SIZE size{rect.right - rect.left, rect.bottom - rect.top};
        const double t = TimeMedian(frames, [&](int) {
            UpdateLayeredWindow(line, screen, &destination, &size, memory, &source, 0, &blend, ULW_ALPHA);
        });
        SelectObject(memory, previous);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
        GdipFlat::GdipDeleteGraphics(s.graphics);
        GdipFlat::GdipDisposeImage(s.bitmap);
        DeleteObject(s.dib);
        return t;
    }();
    auto drawOnly = [&](bool antialias) {
        return TimeMedian(frames, [&](int i) {
            RenderSurface s;
            GpGraphics* g = CreateSurface(rect, s);
            if (antialias) GdipFlat::GdipSetSmoothingMode(g, Gdiplus::SmoothingModeAntiAlias);
            GpPen* pen = nullptr;
            GdipFlat::GdipCreatePen1(0xFFFFFFFF, 3.0f, Gdiplus::UnitWorld, &pen);
            const float w = float(rect.right - rect.left), h = float(rect.bottom - rect.top);
            GdipFlat::GdipDrawLine(g, pen, 1.0f, h - 1.0f, w - 1.0f - float(i & 1), 1.0f);
            GdipFlat::GdipDeletePen(pen);
            GdipFlat::GdipDeleteGraphics(s.graphics);
            GdipFlat::GdipDisposeImage(s.bitmap);
            DeleteObject(s.dib);
        });
    };
    const double drawAa = drawOnly(true);
    const double drawPlain = drawOnly(false);
    std::printf("breakdown on %ldx%ld: surface %.1f us, surface+present %.1f us, UpdateLayeredWindow alone %.1f us, one diagonal line: "
                "anti-aliased %.1f us, plain %.1f us (both including the surface)\n",
                wr.right - wr.left, wr.bottom - wr.top, createOnly, createPresent, layeredOnly, drawAa, drawPlain);
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    DisplayStart();
    TheDisplay.currentAlpha = TheDisplay.targetAlpha = TheDisplay.alpha.load();

    const Rect desktop = VirtualScreenRect();
    const Point start{desktop.left + (desktop.right - desktop.left) / 2,
                      desktop.top + (desktop.bottom - desktop.top) * 3 / 4};
    std::printf("desktop %dx%d, whole-desktop surface would be %lld bytes\n", desktop.right - desktop.left,
                desktop.bottom - desktop.top,
                (long long)(int64_t(desktop.right - desktop.left) * (desktop.bottom - desktop.top) * 4));
    // A 300-pixel line (180 across, 240 up).
    Run("300-pixel line", start, {start.x + 180, start.y - 240}, 1, frames);
    Breakdown(frames / 4 + 1);
    // The longest path: 99 reflections from a pointer near the top corner.
    Run("99 reflections across the desktop", start, {desktop.right - 20, desktop.top + 20}, 99, frames);
    Breakdown(frames / 4 + 1);

    DisplayShutdown();
    return 0;
}

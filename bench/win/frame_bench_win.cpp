// Times one overlay frame (LineWindow's image, then the label) on the real
// GDI+ and layered windows, reports the surface bytes each frame allocates,
// and breaks the time down: the surface, presenting it, the Z-order calls,
// single strokes by their shape and the pieces of the label. Run it under
// Wine or Windows on an idle desktop:
//   measurix_frame_bench.exe [frames]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "layout/line_path.h"
#include "layout/pointer_extent.h"
#include "measure/measure_model.h"
#include "overlay/display_object.h"
#include "overlay/overlay_window_win.h"
#include "overlay/render_surface_win.h"
#if __has_include("overlay/loupe_frame_win.h")
#include "overlay/loupe_frame_win.h"
#define MEASURIX_HAS_LOUPE 1
#endif
#if __has_include("overlay/frame_record_win.h")
#include "overlay/frame_record_win.h"
#define MEASURIX_HAS_FRAME_RECORD 1
#endif
#if __has_include("overlay/line_frame_win.h")
#include "overlay/frame_scale_win.h"
#include "overlay/line_frame_win.h"
#include "overlay/numbers_frame_win.h"
#define MEASURIX_HAS_FRAME_PARTS 1
#endif

namespace {

#ifdef MEASURIX_HAS_FRAME_PARTS
// The parts draw images and the windows' owner presents them: the frame's
// steps as the benchmark times them, under the names older trees use.
void PresentPart(HWND window, FrameImage image) {
    if (image.show == FrameImage::Show::Image) {
        PresentSurface(window, image.rect, image.surface);
    } else {
        DiscardSurface(image.surface);
    }
}
HWND BenchWindow(bool line) {
    return static_cast<HWND>(line ? TheDisplay.LineWindow.load() : TheDisplay.NumbersWindow.load());
}
void BeginFrame() { PlanLoupe(); }
void DrawLineFrame() { PresentPart(BenchWindow(true), DrawLineImage()); }
void DrawNumbersFrame() { PresentPart(BenchWindow(false), DrawLabelImage()); }
// The loupe's own window is the owner's; an image of its size presented in
// the label's window costs the same.
void DrawLoupeFrame() {
    bool changed = false;
    PresentPart(BenchWindow(false), DrawLoupeImage(changed));
}
#endif

#ifdef MEASURIX_HAS_FRAME_RECORD
// A frame starts from its record: the DPI and the pointer shape are read
// once for the frame.
void StartFrame() {
    const FrameInputs inputs = CurrentFrameInputs();
    TheDisplay.frameDpi = inputs.dpi;
    TheDisplay.framePointer = inputs.pointerShape;
    BeginFrame();
}
PointerExtent PointerExtentNow() { return MeasurePointerExtent(CurrentFrameInputs().pointerShape); }
#else
// Older trees: each part of a frame reads the system itself.
void StartFrame() { BeginFrame(); }
PointerExtent PointerExtentNow() { return MeasurePointerExtent(); }
#endif

// Destroys a surface the benchmark made (a function of its own here, so that
// the benchmark also builds against trees without DiscardSurface).
void Discard(RenderSurface& s) {
    GdipFlat::GdipDeleteGraphics(s.graphics);
    GdipFlat::GdipDisposeImage(s.bitmap);
    DeleteObject(s.dib);
}

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

// User and kernel time of this thread; the wall times above also hold the
// waits for the window server, which a loaded machine stretches.
double ThreadCpuMicroseconds() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto value = [](const FILETIME& t) { return double((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10.0; };
    return value(kernel) + value(user);
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
// whole frame (ComposeFrame's two parts, in its order) and each part.
void Run(const char* name, Point start, Point pointer, int32_t refnr, int frames) {
    TheDisplay.refnr = refnr;
    TheDisplay.measure.startPoint = start;
    std::vector<double> whole, line;
    double cpuLine = 0, cpuLabel = 0;
    for (int i = 0; i < frames + 5; ++i) {
        TheDisplay.measure.currentPoint = {pointer.x + (i & 1), pointer.y};
        LARGE_INTEGER t0, t1, t2;
        const double c0 = ThreadCpuMicroseconds();
        QueryPerformanceCounter(&t0);
        StartFrame();
        DrawLineFrame();
        QueryPerformanceCounter(&t1);
        const double c1 = ThreadCpuMicroseconds();
        DrawNumbersFrame();
        QueryPerformanceCounter(&t2);
        const double c2 = ThreadCpuMicroseconds();
        PumpMessages();
        if (i < 5) continue;  // warm-up
        whole.push_back(Microseconds(t2.QuadPart - t0.QuadPart));
        line.push_back(Microseconds(t1.QuadPart - t0.QuadPart));
        cpuLine += c1 - c0;
        cpuLabel += c2 - c1;
    }
    const Timing w = Summarise(whole);
    const Timing l = Summarise(line);
    const LinePath path = BuildLinePath(TheDisplay.measure, CurrentPathSettings(TheDisplay));
    const Rect bounds = PathBounds(path);
    std::printf("%s: start (%d,%d) pointer (%d,%d) refnr %d, %d frames\n", name, start.x, start.y, pointer.x,
                pointer.y, refnr, frames);
    std::printf("  ComposeFrame   median %8.1f us  mean %8.1f us  worst %8.1f us\n", w.median, w.mean, w.worst);
    std::printf("  DrawLineFrame  median %8.1f us  mean %8.1f us  worst %8.1f us\n", l.median, l.mean, l.worst);
    std::printf("  CPU of this thread per frame: line %.1f us, label %.1f us\n", cpuLine / frames, cpuLabel / frames);
    std::printf("  path bounds %dx%d; surface bytes per frame: line %lld + label %lld\n", bounds.right - bounds.left,
                bounds.bottom - bounds.top, (long long)WindowBytes(TheDisplay.LineWindow.load()),
                (long long)WindowBytes(TheDisplay.NumbersWindow.load()));
}

// The CPU per call of the last TimeMedian.
double lastCpuPerCall = 0;

template <typename F>
double TimeMedian(int frames, F step) {
    const double cpuStart = ThreadCpuMicroseconds();
    struct CpuPerCall {
        double start;
        int calls;
        ~CpuPerCall() { lastCpuPerCall = (ThreadCpuMicroseconds() - start) / calls; }
    } cpu{cpuStart, frames};
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
        Discard(s);
    });
    const double createPresent = TimeMedian(frames, [&](int) {
        RenderSurface s;
        CreateSurface(rect, s);
        PresentSurface(line, rect, s);
    });
    // The layered-window update alone, without the Z-order calls.
    double layeredCpu = 0;
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
        layeredCpu = lastCpuPerCall;
        SelectObject(memory, previous);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
        Discard(s);
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
            Discard(s);
        });
    };
    const double drawAa = drawOnly(true);
    const double drawPlain = drawOnly(false);
    std::printf("breakdown on %ldx%ld: surface %.1f us, surface+present %.1f us, UpdateLayeredWindow alone %.1f us "
                "(%.0f us CPU), one diagonal line: "
                "anti-aliased %.1f us, plain %.1f us (both including the surface)\n",
                wr.right - wr.left, wr.bottom - wr.top, createOnly, createPresent, layeredOnly, layeredCpu, drawAa,
                drawPlain);
}

// What one stroke costs by its shape: a diagonal, a horizontal and a vertical
// line across the same surface, with the pens of a frame (3-pixel outline,
// 1-pixel line).
void StrokeBreakdown(int frames, int width, int height) {
    const Rect rect{0, 0, width, height};
    RenderSurface s;
    GpGraphics* g = CreateSurface(rect, s);
    GdipFlat::GdipSetSmoothingMode(g, Gdiplus::SmoothingModeAntiAlias);
    GpPen* wide = nullptr;
    GpPen* thin = nullptr;
    GdipFlat::GdipCreatePen1(0xFFFFFFFF, 3.0f, Gdiplus::UnitWorld, &wide);
    GdipFlat::GdipCreatePen1(0xFF000000, 1.0f, Gdiplus::UnitWorld, &thin);
    const float w = float(width - 2), h = float(height - 2);
    auto cost = [&](GpPen* pen, float x1, float y1, float x2, float y2) {
        return TimeMedian(frames, [&](int) { GdipFlat::GdipDrawLine(g, pen, x1, y1, x2, y2); });
    };
    std::printf("one stroke on %dx%d, median: diagonal %.0f us (3 px) %.0f us (1 px), horizontal %.0f us, "
                "vertical %.0f us (3 px), a 12-pixel arm %.0f us\n",
                width, height, cost(wide, 1, h, w, 1), cost(thin, 1, h, w, 1), cost(wide, 1, h / 2, w, h / 2),
                cost(wide, w / 2, 1, w / 2, h), cost(thin, 10, 10, 22, 10));
    GdipFlat::GdipDeletePen(wide);
    GdipFlat::GdipDeletePen(thin);
    Discard(s);
}

// Where the label's time goes, piece by piece, on a label of the usual size.
void LabelBreakdown(int frames) {
    HWND numbers = static_cast<HWND>(TheDisplay.NumbersWindow.load());
    const wchar_t text[] = L"180x-240 300.0 143.1\u00B0";
    const int length = int(std::size(text) - 1);
    const Rect label{600, 300, 720, 317};
    const double pointer = TimeMedian(frames, [&](int) { PointerExtentNow(); });
    const double cursorInfo = TimeMedian(frames, [&](int) {
        CURSORINFO info{};
        info.cbSize = sizeof info;
        GetCursorInfo(&info);
    });
    const double measure = TimeMedian(frames, [&](int) {
        HDC dc = GetDC(numbers);
        HGDIOBJ previous = SelectObject(dc, CurrentLabelFont());
        RECT r{1, 1, 2, 2};
        DrawTextW(dc, text, length, &r, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
        SelectObject(dc, previous);
        ReleaseDC(numbers, dc);
    });
    const double surface = TimeMedian(frames, [&](int) {
        RenderSurface s;
        CreateSurface(label, s);
        Discard(s);
    });
    RenderSurface s;
    CreateSurface(label, s);
    const double gdipDc = TimeMedian(frames, [&](int) {
        HDC dc = nullptr;
        GdipFlat::GdipGetDC(s.graphics, &dc);
        GdipFlat::GdipReleaseDC(s.graphics, dc);
    });
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ previousBitmap = SelectObject(memory, s.dib);
    HGDIOBJ previousFont = SelectObject(memory, CurrentLabelFont());
    SetBkMode(memory, TRANSPARENT);
    const double eightTexts = TimeMedian(frames, [&](int) {
        for (int k = 0; k < 8; ++k) {
            RECT r{1 + (k % 3) - 1, 1 + (k / 3) - 1, 119, 16};
            DrawTextW(memory, text, length, &r, DT_NOPREFIX | DT_SINGLELINE);
        }
        GdiFlush();
    });
    SelectObject(memory, previousFont);
    SelectObject(memory, previousBitmap);
    DeleteDC(memory);
    Discard(s);
    const double present = TimeMedian(frames, [&](int) {
        RenderSurface t;
        CreateSurface(label, t);
        PresentSurface(numbers, label, t);
    });
    const double show = TimeMedian(frames, [&](int) { ShowWindow(numbers, SW_SHOWNOACTIVATE); });
    HWND line = static_cast<HWND>(TheDisplay.LineWindow.load());
    const UINT zOrderOnly = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOOWNERZORDER |
                            SWP_NOSENDCHANGING | SWP_DEFERERASE;
    const double zOrder = TimeMedian(frames, [&](int) {
        SetWindowPos(numbers, HWND_TOPMOST, 0, 0, 0, 0, zOrderOnly);
        SetWindowPos(line, numbers, 0, 0, 0, 0, zOrderOnly | SWP_SHOWWINDOW);
    });
    const double zOrderCheck = TimeMedian(frames, [&](int) {
        volatile bool inOrder = GetWindow(numbers, GW_HWNDPREV) == nullptr && GetWindow(line, GW_HWNDPREV) == numbers;
        (void)inOrder;
    });
    std::printf("label breakdown: pointer extent %.1f us (of which the cursor's state %.1f us), text size %.1f us, surface %.1f us, "
                "GDI+ DC get+release %.1f us, eight texts on a memory DC %.1f us, surface+present %.1f us, "
                "ShowWindow %.1f us; the line's two Z-order calls %.1f us, checking the order instead %.1f us\n",
                pointer, cursorInfo, measure, surface, gdipDc, eightTexts, present, show, zOrder, zOrderCheck);
}

// What presenting costs by what changes between two frames: nothing, the
// position, or the size (Wine makes the native surface anew for a new size).
void PresentBreakdown(int frames, int width, int height) {
    HWND line = static_cast<HWND>(TheDisplay.LineWindow.load());
    RenderSurface s;
    CreateSurface(Rect{0, 0, width + 1, height + 1}, s);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(memory, s.dib);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, BYTE(TheDisplay.currentAlpha), AC_SRC_ALPHA};
    POINT source{0, 0};
    auto cost = [&](int moveBy, int growBy) {
        const double wall = TimeMedian(frames, [&](int i) {
            POINT destination{400 + moveBy * (i & 1), 300};
            SIZE size{width + growBy * (i & 1), height};
            UpdateLayeredWindow(line, nullptr, &destination, &size, memory, &source, 0, &blend, ULW_ALPHA);
        });
        return std::pair<double, double>{wall, lastCpuPerCall};
    };
    const auto same = cost(0, 0), moved = cost(1, 0), resized = cost(0, 1);
    std::printf("presenting %dx%d (wall/CPU us): same place %.0f/%.0f, moved %.0f/%.0f, resized %.0f/%.0f\n", width,
                height, same.first, same.second, moved.first, moved.second, resized.first, resized.second);
    SelectObject(memory, previous);
    DeleteDC(memory);
    Discard(s);
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
    // A 40-pixel line, as while positioning exactly.
    Run("40-pixel line", start, {start.x + 24, start.y - 32}, 1, frames);
    // A 300-pixel line (180 across, 240 up).
    Run("300-pixel line", start, {start.x + 180, start.y - 240}, 1, frames);
#ifdef MEASURIX_HAS_LOUPE
    // The loupe's own cost: the frame's DPI query, then the loupe image
    // (capture, magnify, text, present) at 15 and 31 pixels across.
    TheDisplay.measure.currentPoint = {start.x + 180, start.y - 240};
    const double dpiQuery = TimeMedian(frames, [&](int) { StartFrame(); });
    TheDisplay.measure.slowKey = true;
    double loupe[2];
    for (int i = 0; i < 2; ++i) {
        TheDisplay.loupesize = i ? 31 : 15;
        StartFrame();
        loupe[i] = TimeMedian(frames, [&](int k) {
            TheDisplay.measure.currentPoint.x = start.x + 180 + (k & 1);
            StartFrame();
            DrawLoupeFrame();
        });
    }
    TheDisplay.measure.slowKey = false;
    TheDisplay.loupesize = 15;
    StartFrame();
    DrawLoupeFrame();
    std::printf("loupe: frame DPI query %.1f us; loupe image median %.1f us (15 px across), %.1f us (31 px across)\n",
                dpiQuery, loupe[0], loupe[1]);
#endif
    Breakdown(frames / 4 + 1);
    LabelBreakdown(frames / 4 + 1);
    // A label, and the line window of a long diagonal.
    PresentBreakdown(frames / 2 + 1, 120, 17);
    PresentBreakdown(frames / 2 + 1, 363, 608);
    StrokeBreakdown(frames / 4 + 1, 180, 240);
    StrokeBreakdown(frames / 4 + 1, 363, 608);
    // The longest path: 99 reflections from a pointer near the top corner.
    Run("99 reflections across the desktop", start, {desktop.right - 20, desktop.top + 20}, 99, frames);
    Breakdown(frames / 4 + 1);

    DisplayShutdown();
    return 0;
}

// The one display object: the two overlay windows, the measurement, the
// display settings, the fade and redraw state and the label font.
// Everything runs on the main thread except the settings fields, which the
// options thread writes in place (hence atomics), and the font, which it
// replaces under DisplayLock.
#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>

#include "base/clock.h"
#include "layout/line_path.h"
#include "measure/measure_model.h"
#include "overlay/pin_list.h"
#include "platform/font_description.h"
#include "platform/types.h"

struct RulerDisplayWindow {
    std::atomic<WindowHandle> LineWindow{nullptr};
    std::atomic<WindowHandle> NumbersWindow{nullptr};
    uint16_t classAtom = 0;

    // Guards the font and the display block of the settings exchange; its
    // owner may take it again.
    std::recursive_mutex DisplayLock;

    MeasureState measure;

    // Fade state: the constant alpha on screen, where the fade ends, and the
    // change per rlimit ms (positive in, negative out).
    int32_t currentAlpha = 0;
    int32_t targetAlpha = 0;
    int32_t alphaStep = 256;
    PerfStamp FadeClock;
    PerfStamp RedrawClock;

    // Display settings (persisted).
    std::atomic<int32_t> alpha{164};
    std::atomic<int32_t> rlimit{50};
    std::atomic<int32_t> refnr{1};
    std::atomic<double> linethick{1.0};
    std::atomic<bool> reflines{true};
    std::atomic<bool> antialias{true};
    std::atomic<bool> numbers{true};
    std::atomic<bool> cross0{true};
    std::atomic<bool> konscr{true};
    // The loupe while the slow key is held (persisted; a zoom or size out of
    // range counts as the default, see loupe_layout.h).
    std::atomic<bool> loupe{true};
    std::atomic<int32_t> loupezoom{8};
    std::atomic<int32_t> loupesize{15};
    // Edges on screen (persisted; out of range counts as the default, see
    // edge_finder.h): a pixel's tolerance, and how far the snap reaches.
    std::atomic<int32_t> edgetolerance{DefaultEdgeTolerance};
    std::atomic<int32_t> snapradius{DefaultSnapRadius};

    // Per frame (main thread): the DPI of the monitor under the pointer and
    // the pointer shape shown (0: none), as the frame's record has them; the
    // desktop square the loupe magnifies, empty while it is not shown, which
    // the line and the label keep clear of; where the label went (empty when
    // hidden); and whether a screen capture failed while the slow key is held.
    int32_t frameDpi = 96;
    uintptr_t framePointer = 0;
    Rect loupeSource{};
    Rect labelRect{};
    bool loupeFailed = false;
    // While the screen is read without the ruler's windows for the snap or
    // spacing key, no frame is drawn (edge_snapshot_win.h).
    bool edgesPending = false;

    // The label font: a chosen description, or none for DefaultFont. The
    // generation changes with every replacement so that the drawing side
    // knows when to make a new font object. Guarded by DisplayLock.
    bool fontChosen = false;
    FontDescription fontDescription{};
    uint32_t fontGeneration = 0;

    uintptr_t graphicsToken = 0;  // GDI+ start-up token
};

extern RulerDisplayWindow TheDisplay;

// What the line path needs of the display settings, as they are now.
PathSettings CurrentPathSettings(const RulerDisplayWindow& display);

// The label font (platform-free, under DisplayLock). SetDisplayFont(nullptr)
// goes back to DefaultFont. GetDisplayFont copies the chosen description out
// and returns true, or returns false when DefaultFont is in use.
void SetDisplayFont(const FontDescription* description);
bool GetDisplayFont(FontDescription& out);

// Main-thread operations of the overlay (Win32).
void DisplayStart();      // graphics library, default start point, the two windows
void DisplayShutdown();   // windows destroyed, font back to default, graphics down
void RedrawScheduler();   // draw now or when the redraw limit has passed
// The same, unless the frame on screen shows what is to be drawn; with the
// pointer shape when the caller has just read it.
void RedrawIfChanged(std::optional<uintptr_t> pointerShape = std::nullopt);
void FadeIn(int32_t fadeMs);
void FadeOut(int32_t fadeMs);
// The pins (pin_list.h), shown below the live ruler and with its fade: pins
// the live measurement as the ruler draws it now (nothing while the spacing
// shows instead of the line); forgets every pin and destroys their windows.
void PinLiveMeasurement();
void ClearPins();
const PinList& Pins();
// Moves the points or turns the reference angle, then asks for a frame; the
// pointer shape goes with the position when it was read with it.
void UpdateFromPointer(int32_t x, int32_t y, std::optional<uintptr_t> pointerShape, bool moveStart,
                       bool reflectionKey);

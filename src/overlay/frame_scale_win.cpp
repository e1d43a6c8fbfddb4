#include "overlay/frame_scale_win.h"

#include <optional>

#include "base/app_messages.h"
#include "layout/dpi_scale.h"
#include "overlay/display_object.h"
#include "platform/win32/label_font_win32.h"

namespace {

using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
constexpr int MonitorEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

// Windows 8.1 and later: taken from shcore at first use, so that the
// program still starts where it is missing.
GetDpiForMonitorFunction DpiForMonitor() {
    static const GetDpiForMonitorFunction function = [] {
        HMODULE shcore = LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return shcore ? reinterpret_cast<GetDpiForMonitorFunction>(
                            reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")))
                      : nullptr;
    }();
    return function;
}

// The system DPI: what fonts chosen in the font dialog were sized for.
int32_t SystemDpi() {
    static const int32_t dpi = [] {
        HDC screen = GetDC(nullptr);
        const int32_t value = screen ? GetDeviceCaps(screen, LOGPIXELSY) : BaseDpi;
        if (screen) ReleaseDC(nullptr, screen);
        return UsableDpi(value);
    }();
    return dpi;
}

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

// The scaled copy of the label font last made: its source font, that
// font's generation and the DPI it was made for.
HFONT scaledFont = nullptr;
HFONT scaledFrom = nullptr;
uint32_t scaledGeneration = 0;
int32_t scaledDpi = 0;

// The monitor last asked about and its DPI: the pointer stays on one
// monitor for long, and asking is a trip to the window server.
struct KnownMonitor {
    Rect rect;
    int32_t dpi = BaseDpi;
};
std::optional<KnownMonitor> lastMonitor;

}  // namespace

int32_t MonitorDpiAt(Point p) {
    if (lastMonitor && Inside(lastMonitor->rect, p)) return lastMonitor->dpi;
    GetDpiForMonitorFunction function = DpiForMonitor();
    HMONITOR monitor = function ? MonitorFromPoint(POINT{p.x, p.y}, MONITOR_DEFAULTTONEAREST) : nullptr;
    UINT x = 0, y = 0;
    if (!monitor || FAILED(function(monitor, MonitorEffectiveDpi, &x, &y))) return SystemDpi();
    const int32_t dpi = UsableDpi(int32_t(y));
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) {
        lastMonitor = KnownMonitor{{info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom}, dpi};
    }
    return dpi;
}

void ForgetMonitorDpi() { lastMonitor.reset(); }

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

void ReleaseLabelFonts() {
    DeleteMadeFont();
    if (scaledFont) DeleteObject(scaledFont);
    scaledFont = nullptr;
    scaledFrom = nullptr;
}

HFONT LabelFontAt(int32_t dpi) {
    HFONT font = CurrentLabelFont();
    // The stock font is the 96-DPI label; a chosen font was sized by the
    // font dialog for the system DPI.
    const int32_t madeFor = TheDisplay.fontChosen ? SystemDpi() : BaseDpi;
    if (UsableDpi(dpi) == madeFor) return font;
    if (scaledFont && scaledFrom == font && scaledGeneration == TheDisplay.fontGeneration && scaledDpi == dpi) {
        return scaledFont;
    }
    if (scaledFont) DeleteObject(scaledFont);
    scaledFont = nullptr;
    LOGFONTW description{};
    if (GetObjectW(font, sizeof description, &description) == sizeof description) {
        description.lfHeight = ScaleFontHeight(description.lfHeight, madeFor, dpi);
        description.lfWidth = ScaleFontHeight(description.lfWidth, madeFor, dpi);
        scaledFont = CreateFontIndirectW(&description);
    }
    scaledFrom = font;
    scaledGeneration = TheDisplay.fontGeneration;
    scaledDpi = dpi;
    return scaledFont ? scaledFont : font;  // unscaled rather than none
}

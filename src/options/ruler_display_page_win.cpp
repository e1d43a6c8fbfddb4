// The "Ruler Display" page: what the overlay shows and how. Every change is
// written into the display settings at once; the overlay is then asked to
// redraw and the main thread to save, so the ruler shows each change live.
// Options thread only.
#include <windows.h>

#include "base/app_messages.h"
#include "options/dialog_controls_win.h"
#include "options/font_chooser_win.h"
#include "options/option_pages_win.h"
#include "options/options_window.h"
#include "options/spin_edit_win.h"
#include "overlay/display_object.h"
#include "settings/settings.h"

namespace {

constexpr int RulerDisplayPageIndex = 2;

constexpr int NumbersCheck = 1021;
constexpr int SelectFontButton = 1063;
constexpr int DefaultFontButton = 1065;
constexpr int CrossCheck = 1048;
constexpr int ReflectionLinesCheck = 1030;
constexpr int TimesReflectedEdit = 1023, TimesReflectedSpin = 1026;
constexpr int AngleEdit = 1032, AngleSpin = 1033;
constexpr int ThicknessEdit = 1045, ThicknessSpin = 1046;
constexpr int OpacitySlider = 1062;
constexpr int FadeSlider = 1064;
constexpr int AntialiasCheck = 1035;

constexpr int MinOpacity = 20, MaxOpacity = 255;
constexpr int MinFade = 0, MaxFade = 500;

// min, max, wrap-around, minimum decimals, step.
SpinEdit TimesReflected{0, 99, 0, -1, 1};
SpinEdit ReflectionAngle{-180, 180, 360, 2, 11.25};
SpinEdit OutlineThickness{0, 99, 0, 1, 0.5};

void RequestRedraw() { PostMessageW(static_cast<HWND>(TheDisplay.LineWindow.load()), MsgRedrawRequest, 0, 0); }

void InitPage(HWND page) {
    SetCheck(page, NumbersCheck, TheDisplay.numbers.load() ? 1 : 0);
    SetCheck(page, CrossCheck, TheDisplay.cross0.load() ? 1 : 0);
    AttachSpinEdit(TimesReflected, page, TimesReflectedEdit, TimesReflectedSpin, TheDisplay.refnr.load());
    AttachSpinEdit(ReflectionAngle, page, AngleEdit, AngleSpin, TheDisplay.measure.referenceAngle.load());
    AttachSpinEdit(OutlineThickness, page, ThicknessEdit, ThicknessSpin, TheDisplay.linethick.load());
    SetCheck(page, ReflectionLinesCheck, TheDisplay.reflines.load() ? 1 : 0);
    SetCheck(page, AntialiasCheck, TheDisplay.antialias.load() ? 1 : 0);
    SetSlider(page, OpacitySlider, TheDisplay.alpha.load(), MinOpacity, MaxOpacity);
    SetSlider(page, FadeSlider, Settings.fade.load(), MinFade, MaxFade);
}

// Only the control id counts, never the notification code: every
// notification of a field reads its text again.
void Command(HWND page, int id) {
    if (!OptionsReady.load()) return;
    switch (id) {
    case NumbersCheck: TheDisplay.numbers = GetCheck(page, id) != 0; break;
    case CrossCheck: TheDisplay.cross0 = GetCheck(page, id) != 0; break;
    case ReflectionLinesCheck: TheDisplay.reflines = GetCheck(page, id) != 0; break;
    case AntialiasCheck: TheDisplay.antialias = GetCheck(page, id) != 0; break;
    case TimesReflectedEdit: SyncIntSetting(TimesReflected, TheDisplay.refnr, false); break;
    case AngleEdit: SyncDoubleSetting(ReflectionAngle, TheDisplay.measure.referenceAngle, false); break;
    case ThicknessEdit: SyncDoubleSetting(OutlineThickness, TheDisplay.linethick, false); break;
    case DefaultFontButton: SetDisplayFont(nullptr); break;
    case SelectFontButton: OpenFontChooser(); return;
    default: return;
    }
    RequestRedraw();
    RequestSave();
}

// The fade time is used from the next fade on and saved with the next save.
void Scrolled(HWND page) {
    const int opacity = GetSlider(page, OpacitySlider);
    if (opacity != TheDisplay.alpha.load()) {
        TheDisplay.alpha = opacity;
        RequestRedraw();
        RequestSave();
    }
    Settings.fade = GetSlider(page, FadeSlider);
}

}  // namespace

INT_PTR CALLBACK RulerDisplayPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: InitPage(page); return 1;
    case WM_COMMAND: Command(page, LOWORD(wParam)); return 0;
    case WM_HSCROLL: Scrolled(page); return 1;
    default: return 0;
    }
}

void RefreshAngleField() {
    if (OptionsPageWindow(RulerDisplayPageIndex) == nullptr) return;
    if (ReflectionAngle.value == TheDisplay.measure.referenceAngle.load()) return;
    ReflectionAngle.typedDecimals = 0;
    SyncDoubleSetting(ReflectionAngle, TheDisplay.measure.referenceAngle, true);
}

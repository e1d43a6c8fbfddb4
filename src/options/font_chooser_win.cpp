// The font chooser applies the font itself (OK and Apply), always with
// non-anti-aliased quality, which keeps the label crisp on the layered
// overlay. Its result is not used. Where the system's dialog lacks one of
// the controls it adjusts (the sample label, the font list, the effects
// group, the script list), that adjustment is skipped.
#include "options/font_chooser_win.h"

#include <windows.h>

#include <commdlg.h>

#include <cstring>
#include <string>

#include "base/app_messages.h"
#include "options/options_window.h"
#include "overlay/display_object.h"
#include "platform/win32/label_font_win32.h"

namespace {

constexpr int ApplyButton = 1026;       // psh3
constexpr int SampleLabel = 1092;       // stc5
constexpr int FontNameList = 1136;      // cmb1
constexpr int EffectsGroup = 1072;      // grp1
constexpr int ScriptList = 1140;        // cmb5
constexpr int BigIcon = 107;
constexpr int SmallIcon = 108;
constexpr wchar_t SampleText[] = L"12x34 -56.7\u00B0";

// Options thread only.
HWND ChooserWindow = nullptr;
bool FirstShow = false;
WNDPROC FormerSampleProc = nullptr;

// The chooser starts from the label font as it is now: the chosen one,
// else the default font.
LOGFONTW ChooserStartFont() {
    FontDescription chosen{};
    if (GetDisplayFont(chosen)) return LogFontFromDescription(chosen);
    LOGFONTW font{};
    if (HFONT stock = DefaultFont()) GetObjectW(stock, sizeof font, &font);
    return font;
}

void RequestRedraw() { PostMessageW(static_cast<HWND>(TheDisplay.LineWindow.load()), MsgRedrawRequest, 0, 0); }

void ApplyChosenFont(HWND chooser) {
    LOGFONTW font{};
    SendMessageW(chooser, WM_CHOOSEFONT_GETLOGFONT, 0, LPARAM(&font));
    font.lfQuality = NONANTIALIASED_QUALITY;
    const FontDescription description = DescriptionFromLogFont(font);
    SetDisplayFont(&description);
    RequestRedraw();
    RequestSave();
}

// The dialog replaces the sample text whenever the script changes; the
// label keeps the measurement-like sample instead.
LRESULT CALLBACK SampleLabelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETTEXT) return TRUE;
    return CallWindowProcW(FormerSampleProc, label, message, wParam, lParam);
}

bool HasClass(HWND window, const wchar_t* className) {
    wchar_t name[32] = {};
    GetClassNameW(window, name, int(std::size(name)));
    return lstrcmpiW(name, className) == 0;
}

LONG StyleOf(HWND window) { return GetWindowLongW(window, GWL_STYLE); }

// A control of the chooser with the given class, or nullptr.
HWND ChooserControl(HWND chooser, int id, const wchar_t* className) {
    const HWND control = GetDlgItem(chooser, id);
    return control != nullptr && HasClass(control, className) ? control : nullptr;
}

void SetCaption(HWND chooser) {
    wchar_t own[256] = {};
    GetWindowTextW(chooser, own, int(std::size(own)));
    wchar_t prefix[64];
    swprintf(prefix, std::size(prefix), L"%ls - ", L"Measurix");
    SetWindowTextW(chooser, (std::wstring(prefix) + own).c_str());
}

void FixSample(HWND chooser) {
    const HWND sample = ChooserControl(chooser, SampleLabel, L"Static");
    if (sample == nullptr || (StyleOf(sample) & WS_VISIBLE)) return;
    SetWindowTextW(sample, SampleText);
    FormerSampleProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(sample, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SampleLabelProc)));
}

bool Near(LONG a, LONG b) { return a - b <= 4 && b - a <= 4; }

// Without effects the effects group is hidden; the font list then takes its
// room down to the script list.
void StretchFontList(HWND chooser) {
    const HWND list = ChooserControl(chooser, FontNameList, L"ComboBox");
    const HWND group = ChooserControl(chooser, EffectsGroup, L"Button");
    const HWND script = ChooserControl(chooser, ScriptList, L"ComboBox");
    if (list == nullptr || group == nullptr || script == nullptr) return;
    const LONG listStyle = StyleOf(list), groupStyle = StyleOf(group), scriptStyle = StyleOf(script);
    if (!(listStyle & WS_VISIBLE) || !(listStyle & 1)) return;
    if ((groupStyle & BS_TYPEMASK) != BS_GROUPBOX || !(groupStyle & WS_DISABLED) || (groupStyle & WS_VISIBLE)) return;
    if (!(scriptStyle & WS_VISIBLE) || (scriptStyle & 3) != CBS_DROPDOWNLIST) return;
    RECT l, g, s;
    if (!GetWindowRect(list, &l) || !GetWindowRect(group, &g) || !GetWindowRect(script, &s)) return;
    const bool expected = Near(l.left, g.left) && Near(l.right, g.right) && l.bottom <= g.top && l.right < s.left &&
                          Near(g.bottom, s.bottom);
    if (!expected) return;
    SetWindowPos(list, nullptr, 0, 0, l.right - l.left, s.bottom - l.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOOWNERZORDER);
}

void SetIcons(HWND chooser) {
    const HINSTANCE module = GetModuleHandleW(nullptr);
    const auto load = [module](int id, int size) {
        return LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_SHARED);
    };
    SendMessageW(chooser, WM_SETICON, ICON_SMALL, LPARAM(load(SmallIcon, GetSystemMetrics(SM_CXSMICON))));
    SendMessageW(chooser, WM_SETICON, ICON_BIG, LPARAM(load(BigIcon, GetSystemMetrics(SM_CXICON))));
}

// Its answer is always 0, so the dialog's own handling follows.
UINT_PTR CALLBACK FontChooserHook(HWND chooser, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        ChooserWindow = chooser;
        FirstShow = true;
        SetWindowPos(chooser, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetIcons(chooser);
        break;
    case WM_SHOWWINDOW:
        if (wParam && FirstShow) {
            FirstShow = false;
            SetCaption(chooser);
            FixSample(chooser);
            StretchFontList(chooser);
        }
        break;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == ApplyButton) ApplyChosenFont(chooser);
        break;
    case WM_DESTROY: ChooserWindow = nullptr; break;
    default: break;
    }
    return 0;
}

}  // namespace

void OpenFontChooser() {
    if (ChooserWindow != nullptr) {
        PresentWindow(ChooserWindow, false);
        return;
    }
    LOGFONTW font = ChooserStartFont();
    CHOOSEFONTW request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = nullptr;
    request.lpLogFont = &font;
    request.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_ENABLEHOOK | CF_APPLY;
    request.lpfnHook = FontChooserHook;
    ChooseFontW(&request);
}

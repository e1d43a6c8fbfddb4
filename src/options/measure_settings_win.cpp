// The "Measure settings" window. Options thread only, except where said.
#include <windows.h>

#include <atomic>
#include <string>

#include "base/app_messages.h"
#include "input/hotkey_bindings.h"
#include "input/hotkey_chooser_win.h"
#include "measure/calibration.h"
#include "measure/copy_text.h"
#include "measure/kept_measurement.h"
#include "measure/measure_settings.h"
#include "measure/measure_units.h"
#include "measure/monitor_scale_win.h"
#include "options/dialog_controls_win.h"
#include "options/keyboard_page_rules.h"
#include "options/measure_settings_window.h"
#include "options/options_frame_win.h"
#include "options/options_window.h"
#include "options/spin_edit_win.h"
#include "overlay/display_object.h"
#include "platform/win32/text_win32.h"
#include "settings/settings.h"

namespace {

constexpr int WindowTemplate = 206;
constexpr int UnitCombo = 1101;
constexpr int PixelSizeText = 1102;
constexpr int LengthEdit = 1103;
constexpr int CalibrateButton = 1104;
constexpr int ForgetButton = 1105;
constexpr int CopyKeyCombo = 1106;
constexpr int CopyKeyDeadCheck = 1107;
constexpr int LabelFormRadio = 1108;
constexpr int DetailsFormRadio = 1109;
constexpr int KeptText = 1110;
constexpr int SnapKeyCombo = 1111, SnapKeyDeadCheck = 1112;
constexpr int SpacingKeyCombo = 1113, SpacingKeyDeadCheck = 1114;
constexpr int ToleranceEdit = 1115, ToleranceSpin = 1116;
constexpr int RadiusEdit = 1117, RadiusSpin = 1118;
constexpr int PinKeyCombo = 1120, PinKeyDeadCheck = 1121;
constexpr UINT MsgRefresh = WM_APP + 0x100;
constexpr wchar_t CalibrationCaption[] = L"Measurix - Calibration";

std::atomic<HWND> Window{nullptr};
KeyPageRow CopyKeyRow{CopyMeasurement, CopyKeyCombo, CopyKeyDeadCheck, 0, nullptr};
KeyPageRow PinKeyRow{PinMeasurement, PinKeyCombo, PinKeyDeadCheck, 0, nullptr};
// The edge keys (held) and the edges' settings: min, max, wrap-around,
// minimum decimals, step.
KeyPageRow EdgeKeyRows[] = {{SnapPoint, SnapKeyCombo, SnapKeyDeadCheck, 1, nullptr},
                            {ShowSpacing, SpacingKeyCombo, SpacingKeyDeadCheck, 1, nullptr}};
SpinEdit EdgeTolerance{0, 255, 0, -1, 1};
SpinEdit SnapRadius{1, 64, 0, -1, 1};

HINSTANCE Module() { return GetModuleHandleW(nullptr); }

// Calibrating measures the line kept when the ruler was last switched off
// with the key, which the window shows: the line that follows the pointer
// would by now lead to this window.
void ShowKeptMeasurement(HWND window, const KeptMeasurement& kept) {
    wchar_t text[120];
    if (kept.shown) {
        swprintf(text, std::size(text), L"The measurement kept: %.1f pixels.", kept.length);
    } else {
        wcscpy(text, L"No measurement kept yet.");
    }
    SetDlgItemTextW(window, KeptText, text);
    EnableWindow(GetDlgItem(window, CalibrateButton), kept.shown && kept.length >= 1.0);
    const MonitorPixels monitor = MonitorAt(kept.line.start);
    SetDlgItemTextW(window, PixelSizeText, WideFromUtf8(DescribePixelSize(monitor.size)).c_str());
}

void ShowSettings(HWND window) {
    SendDlgItemMessageW(window, UnitCombo, CB_SETCURSEL, WPARAM(MeasureSettings.unit.load()), 0);
    const bool details = CopyFormFromStored(MeasureSettings.copyForm.load()) == CopyForm::Details;
    CheckRadioButton(window, LabelFormRadio, DetailsFormRadio, details ? DetailsFormRadio : LabelFormRadio);
    ShowKeptMeasurement(window, LastKeptMeasurement());
}

// The keys follow the Keyboard Shortcuts page's rules.
void RefreshKeyRow(HWND window, const KeyPageRow& row) {
    HotkeyBinding* target = BindingAt(row.role);
    HotkeyBinding binding;
    GetBinding(target, binding, false);
    const KeyRowRefresh decision = DecideKeyRowRefresh(row.role, binding, Settings.usehooks.load());
    if (decision.clearDead) {
        SetCheck(window, row.deadCheckId, 0);
        binding.dead = false;
        SetBinding(target, binding);
    }
    EnableWindow(GetDlgItem(window, row.deadCheckId), decision.enableDead);
    if (decision.replaceBinding) {
        SendDlgItemMessageW(window, row.comboId, MsgHotkeyEvent, decision.replacementCode, 0);
    }
}

void RefreshKeyRows(HWND window) {
    RefreshKeyRow(window, CopyKeyRow);
    RefreshKeyRow(window, PinKeyRow);
    for (const KeyPageRow& row : EdgeKeyRows) RefreshKeyRow(window, row);
}

void RequestRedraw() { PostMessageW(static_cast<HWND>(TheDisplay.LineWindow.load()), MsgRedrawRequest, 0, 0); }

void Init(HWND window) {
    Window = window;
    const auto load = [](int size) {
        return LoadImageW(Module(), MAKEINTRESOURCEW(108), IMAGE_ICON, size, size, LR_SHARED);
    };
    SendMessageW(window, WM_SETICON, ICON_SMALL, LPARAM(load(GetSystemMetrics(SM_CXSMICON))));
    for (int32_t unit = 0; unit < MeasureUnitCount; ++unit) {
        std::wstring name = WideFromUtf8(InfoOf(MeasureUnit(unit)).menuName);
        std::erase(name, L'&');  // a list has no access keys
        SendDlgItemMessageW(window, UnitCombo, CB_ADDSTRING, 0, LPARAM(name.c_str()));
    }
    SetDlgItemTextW(window, LengthEdit, L"85.60");
    ShowSettings(window);
    AttachHotkeyCombo(window, CopyKeyRow);
    AttachHotkeyCombo(window, PinKeyRow);
    for (KeyPageRow& row : EdgeKeyRows) AttachHotkeyCombo(window, row);
    RefreshKeyRows(window);
    AttachSpinEdit(EdgeTolerance, window, ToleranceEdit, ToleranceSpin,
                   UsableEdgeTolerance(TheDisplay.edgetolerance.load()));
    AttachSpinEdit(SnapRadius, window, RadiusEdit, RadiusSpin, UsableSnapRadius(TheDisplay.snapradius.load()));
}

void CalibrateFromKept(HWND window) {
    const KeptMeasurement kept = LastKeptMeasurement();
    if (!kept.shown) return;
    wchar_t typed[64] = {};
    GetDlgItemTextW(window, LengthEdit, typed, int(std::size(typed)));
    const CalibrationResult result = Calibrate(kept.length, Utf8FromWide(typed));
    if (!result.accepted) {
        // The old calibration stays as it was.
        MessageBoxW(window, WideFromUtf8(result.message).c_str(), CalibrationCaption, MB_OK | MB_ICONWARNING);
        return;
    }
    SetMonitorCalibration(MonitorAt(kept.line.start).id, result.pixelsPerInch);
    ShowKeptMeasurement(window, kept);
    RequestRedraw();
    RequestSave();
}

void Close(HWND window) {
    DestroyWindow(window);
    // Alone on the options thread: the thread ends with this window.
    if (OptionsWindowHandle.load() == nullptr) PostQuitMessage(0);
}

void Command(HWND window, int id, int code) {
    switch (id) {
        case UnitCombo:
            if (code != CBN_SELCHANGE) break;
            MeasureSettings.unit = int32_t(UnitFromStored(int32_t(SendDlgItemMessageW(window, UnitCombo, CB_GETCURSEL, 0, 0))));
            RequestRedraw();
            RequestSave();
            break;
        case LabelFormRadio:
        case DetailsFormRadio:
            MeasureSettings.copyForm = int32_t(id == DetailsFormRadio ? CopyForm::Details : CopyForm::LabelText);
            RequestSave();
            break;
        case ToleranceEdit:
            SyncIntSetting(EdgeTolerance, TheDisplay.edgetolerance, false);
            RequestSave();
            break;
        case RadiusEdit:
            SyncIntSetting(SnapRadius, TheDisplay.snapradius, false);
            RequestSave();
            break;
        case CalibrateButton: CalibrateFromKept(window); break;
        case IDOK:
            // Enter. The window has no default button: Enter calibrates only
            // right after typing the length (or on the focused Calibrate
            // button), never from another control by accident.
            if (GetFocus() == GetDlgItem(window, LengthEdit) && IsWindowEnabled(GetDlgItem(window, CalibrateButton))) {
                CalibrateFromKept(window);
            }
            break;
        case ForgetButton: {
            const KeptMeasurement kept = LastKeptMeasurement();
            ForgetMonitorCalibration(MonitorAt(kept.line.start).id);
            ShowKeptMeasurement(window, kept);
            RequestRedraw();
            RequestSave();
            break;
        }
        case IDCANCEL: Close(window); break;
        default: break;
    }
}

INT_PTR CALLBACK MeasureSettingsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: Init(window); return 1;
        case WM_COMMAND: Command(window, LOWORD(wParam), HIWORD(wParam)); return 1;
        case WM_DESTROY:
            // However it goes (its Close button, or the options thread ending
            // with the options window), so that the next request creates a
            // new window instead of presenting a destroyed one.
            if (Window.load() == window) Window = nullptr;
            return 0;
        case MsgHotkeyEvent:
            // A chooser stored a new key (or dead flag).
            RefreshKeyRows(window);
            RequestSave();
            return 1;
        case MsgRefresh:
            ShowSettings(window);
            RefreshKeyRows(window);
            return 1;
        default: return 0;
    }
}

}  // namespace

void CreateMeasureSettingsWindow() {
    HWND window = Window.load();
    if (window == nullptr) {
        window = CreateDialogParamW(Module(), MAKEINTRESOURCEW(WindowTemplate), nullptr, MeasureSettingsProc, 0);
        if (window == nullptr) return;
    }
    PresentWindow(window, false);
    SetForegroundWindow(window);
}

HWND MeasureSettingsWindow() { return Window.load(); }

void RefreshMeasureSettingsWindow() {
    if (HWND window = Window.load()) PostMessageW(window, MsgRefresh, 0, 0);
}

void OpenMeasureSettingsWindow() { OpenOptionsThreadWith(OptionsThreadMeasureSettings); }

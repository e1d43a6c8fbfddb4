#include "app/tray_icon_win.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "app/copy_measurement_win.h"
#include "app/main_window.h"
#include "app/ruler_control.h"
#include "base/app_messages.h"
#include "measure/kept_measurement.h"
#include "measure/measure_settings.h"
#include "measure/measure_units.h"
#include "options/measure_settings_window.h"
#include "options/options_window.h"
#include "overlay/display_object.h"
#include "platform/win32/text_win32.h"
#include "settings/settings.h"

namespace {

constexpr UINT IconId = 1;
constexpr int SmallIconResource = 108;
constexpr wchar_t WindowClass[] = L"MeasurixNotifyIcon";

enum MenuCommand : UINT {
    CommandRuler = 100,
    CommandFirstUnit = 110,  // + unit number
    CommandCopy = 130,
    CommandMeasureSettings = 131,
    CommandOptions = 132,
    CommandExit = 133,
    CommandCopyPins = 140,
    CommandClearPins = 141,
};

HWND IconWindow = nullptr;
UINT TaskbarCreated = 0;
bool IconShown = false;
// A menu asked for with the mouse comes after a right button release; one
// without it came from the keyboard, which gets the focus back after Esc.
bool RightButtonReleased = false;

NOTIFYICONDATAW IconData(UINT flags) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = IconWindow;
    data.uID = IconId;
    data.uFlags = flags;
    return data;
}

void SetTip(NOTIFYICONDATAW& data) {
    const wchar_t* tip = RulerOn ? L"Measurix - ruler on" : L"Measurix - ruler off";
    wcsncpy(data.szTip, tip, std::size(data.szTip) - 1);
}

// Puts the icon in place with a fresh image and tip. Windows sends
// TaskbarCreated also while the icon still exists (after a change of the
// display scale, or of a remote session): then the icon is modified, since
// adding it again would fail; after an Explorer restart it is added anew.
void ShowIcon() {
    NOTIFYICONDATAW data = IconData(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP);
    data.uCallbackMessage = MsgTrayIcon;
    data.hIcon = static_cast<HICON>(LoadImageW(static_cast<HINSTANCE>(ModuleHandle),
                                               MAKEINTRESOURCEW(SmallIconResource), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                               LR_SHARED));
    SetTip(data);
    IconShown = (IconShown && Shell_NotifyIconW(NIM_MODIFY, &data)) || Shell_NotifyIconW(NIM_ADD, &data);
    if (!IconShown) return;
    // Version 4: a click arrives as NIN_SELECT, Enter or Space as
    // NIN_KEYSELECT, the right button or the menu key as WM_CONTEXTMENU.
    data.uVersion = NOTIFYICON_VERSION_4;
    Shell_NotifyIconW(NIM_SETVERSION, &data);
}

void UpdateTip() {
    if (!IconShown) return;
    NOTIFYICONDATAW data = IconData(NIF_TIP | NIF_SHOWTIP);
    SetTip(data);
    Shell_NotifyIconW(NIM_MODIFY, &data);
}

HMENU BuildMenu() {
    HMENU units = CreatePopupMenu();
    const int32_t current = MeasureSettings.unit.load();
    for (int32_t unit = 0; unit < MeasureUnitCount; ++unit) {
        const std::wstring name = WideFromUtf8(InfoOf(MeasureUnit(unit)).menuName);
        AppendMenuW(units, MF_STRING, CommandFirstUnit + UINT(unit), name.c_str());
    }
    CheckMenuRadioItem(units, CommandFirstUnit, CommandFirstUnit + MeasureUnitCount - 1,
                       CommandFirstUnit + UINT(current), MF_BYCOMMAND);

    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING | (RulerOn ? MF_CHECKED : MF_UNCHECKED), CommandRuler, L"&Ruler on");
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(units), L"&Units");
    // Copies what the ruler showed when it was last switched off with the key.
    AppendMenuW(menu, MF_STRING | (LastKeptMeasurement().shown ? MF_ENABLED : MF_GRAYED), CommandCopy,
                L"&Copy measurement");
    const UINT pinItems = MF_STRING | (Pins().Count() > 0 ? MF_ENABLED : MF_GRAYED);
    AppendMenuW(menu, pinItems, CommandCopyPins, L"Copy &pinned measurements");
    AppendMenuW(menu, pinItems, CommandClearPins, L"C&lear pinned measurements");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, CommandMeasureSettings, L"&Measure settings...");
    AppendMenuW(menu, MF_STRING, CommandOptions, L"&Options...");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, CommandExit, L"E&xit");
    // The left click's action, shown in bold as Windows does.
    SetMenuDefaultItem(menu, CommandRuler, FALSE);
    return menu;
}

void SetUnit(int32_t unit) {
    MeasureSettings.unit = unit;
    RefreshMeasureSettingsWindow();
    RedrawScheduler();
    PostOnce(MainWindow.load(), MsgSaveSettings, SavePending);
}

void RunCommand(UINT command) {
    if (command >= CommandFirstUnit && command < CommandFirstUnit + MeasureUnitCount) {
        SetUnit(int32_t(command - CommandFirstUnit));
        return;
    }
    switch (command) {
        case CommandRuler: SwitchRulerByCommand(); break;
        case CommandCopy: CopyKeptMeasurementToClipboard(); break;
        case CommandCopyPins: CopyPinsToClipboard(); break;
        case CommandClearPins: ClearPins(); break;
        case CommandMeasureSettings: OpenMeasureSettingsWindow(); break;
        case CommandOptions: OpenOptionsDialog(false); break;
        case CommandExit:
            // As the options window's "Exit & Disable": the main loop ends.
            PostMessageW(static_cast<HWND>(MainWindow.load()), MsgInstanceRequest.load(), 0, InstanceRequestExit);
            break;
        default: break;
    }
}

void ReturnFocusToIcon() {
    NOTIFYICONDATAW data = IconData(0);
    Shell_NotifyIconW(NIM_SETFOCUS, &data);
}

void ShowMenu(int x, int y, bool fromKeyboard) {
    HMENU menu = BuildMenu();
    // Without the foreground the menu would not close on a click elsewhere.
    SetForegroundWindow(IconWindow);
    UINT flags = TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON | TPM_BOTTOMALIGN;
    flags |= GetSystemMetrics(SM_MENUDROPALIGNMENT) ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
    const UINT command = UINT(TrackPopupMenuEx(menu, flags, x, y, IconWindow, nullptr));
    // Lets the menu close properly when it was dismissed (a known need of
    // menus opened from a notification icon).
    PostMessageW(IconWindow, WM_NULL, 0, 0);
    DestroyMenu(menu);
    if (command != 0) {
        RunCommand(command);
    } else if (fromKeyboard) {
        ReturnFocusToIcon();
    }
}

LRESULT CALLBACK IconWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == MsgTrayIcon) {
        switch (LOWORD(lParam)) {
            case NIN_SELECT:
            case NIN_KEYSELECT: SwitchRulerByCommand(); break;
            case WM_RBUTTONUP: RightButtonReleased = true; break;
            case WM_CONTEXTMENU:
                ShowMenu(short(LOWORD(wParam)), short(HIWORD(wParam)), !RightButtonReleased);
                RightButtonReleased = false;
                break;
            default: break;
        }
        return 0;
    }
    if (message == TaskbarCreated && TaskbarCreated != 0) {
        ShowIcon();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

void StartTrayIcon() {
    const auto instance = static_cast<HINSTANCE>(ModuleHandle);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = IconWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = WindowClass;
    RegisterClassExW(&windowClass);
    TaskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    // A hidden top-level window: it must receive the TaskbarCreated
    // broadcast, which message-only windows do not. No title, so that the
    // instance requests ("Measurix...") never reach it.
    IconWindow = CreateWindowExW(WS_EX_TOOLWINDOW, WindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 instance, nullptr);
    if (!IconWindow) return;
    RulerSwitched = UpdateTip;
    ShowIcon();
}

void StopTrayIcon() {
    RulerSwitched = nullptr;
    if (!IconWindow) return;
    if (IconShown) {
        NOTIFYICONDATAW data = IconData(0);
        Shell_NotifyIconW(NIM_DELETE, &data);
    }
    IconShown = false;
    DestroyWindow(IconWindow);
    IconWindow = nullptr;
}

// The "Advanced" page: restore defaults, the redraw limit, the low-level
// input monitoring and the autostart. Options thread only.
#include <windows.h>

#include "base/app_messages.h"
#include "options/dialog_controls_win.h"
#include "options/measure_settings_window.h"
#include "options/option_pages_win.h"
#include "options/options_window.h"
#include "options/spin_edit_win.h"
#include "overlay/display_object.h"
#include "settings/self_start.h"
#include "settings/settings.h"

namespace {

constexpr int AutostartCheck = 1024;   // ticked: no autostart
constexpr int NoHooksCheck = 1028;     // ticked: no low-level hooks
constexpr int RedrawLimitEdit = 1036, RedrawLimitSpin = 1047;
constexpr int RestoreDefaultsButton = 1067;

SpinEdit RedrawLimit{10, 999, 0, -1, 10};

void InitPage(HWND page) {
    AttachSpinEdit(RedrawLimit, page, RedrawLimitEdit, RedrawLimitSpin, TheDisplay.rlimit.load());
    SetCheck(page, NoHooksCheck, Settings.usehooks.load() ? 0 : 1);
    SetCheck(page, AutostartCheck, Settings.autostart.load() ? 0 : 1);
}

void Command(HWND page, int id) {
    if (!OptionsReady.load()) return;
    switch (id) {
    case AutostartCheck:
        // Saved with the next save; it decides what happens at log-off.
        Settings.autostart = GetCheck(page, AutostartCheck) == 0;
        break;
    case NoHooksCheck: {
        // The hooks belong to the main thread: it installs or removes them
        // before the send returns, so the key page sees the new state.
        const WPARAM useHooks = GetCheck(page, NoHooksCheck) == 0 ? 1 : 0;
        SendMessageW(static_cast<HWND>(MainWindow.load()), MsgUseHooksChanged, useHooks, 0);
        RefreshKeyPage();
        RefreshMeasureSettingsWindow();
        break;
    }
    case RedrawLimitEdit:
        // The overlay uses the limit from its next scheduling on.
        SyncIntSetting(RedrawLimit, TheDisplay.rlimit, false);
        RequestSave();
        break;
    case RestoreDefaultsButton: RestoreDefaultsAndRestart(); break;
    default: break;
    }
}

}  // namespace

INT_PTR CALLBACK AdvancedPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: InitPage(page); return 1;
    case WM_COMMAND: Command(page, LOWORD(wParam)); return 0;
    default: return 0;
    }
}

// The "Keyboard Shortcuts" page: one hotkey combo and dead check box per key
// role, and the two options of the toggle key. Options thread only.
#include <windows.h>

#include <iterator>

#include "base/app_messages.h"
#include "input/hotkey_bindings.h"
#include "input/hotkey_chooser_win.h"
#include "options/dialog_controls_win.h"
#include "options/keyboard_page_rules.h"
#include "options/option_pages_win.h"
#include "options/options_window.h"
#include "settings/settings.h"

namespace {

constexpr int KeyboardPageIndex = 1;
constexpr int LockKeyCheck = 1020;
constexpr int InvertCheck = 1022;

// In role order; the page window is filled in by AttachHotkeyCombo.
KeyPageRow KeyPageRows[] = {
    {ToggleRuler, 1011, 1019, 0, nullptr},
    {MoveStartPoint, 1013, 1025, 1, nullptr},
    {SlowMouse, 1016, 1027, 1, nullptr},
    {RotateReflection, 1014, 1029, 1, nullptr},
    {SetReflection, 1017, 1031, 1, nullptr},
};

bool RefreshRunning = false;

// The main thread re-evaluates the ruler at once (new toggle key, "toggle"
// or "invert") and saves.
void NotifyKeySettingsChanged() {
    PostMessageW(static_cast<HWND>(MainWindow.load()), MsgKeyEvent, 0, 0);
    RequestSave();
}

void InitPage(HWND page) {
    for (KeyPageRow& row : KeyPageRows) AttachHotkeyCombo(page, row);
    SetCheck(page, LockKeyCheck, Settings.toggle.load() ? 1 : 0);
    SetCheck(page, InvertCheck, Settings.invert.load() ? 1 : 0);
    RefreshKeyPage();
}

void BindingChanged(HWND page, WPARAM wParam) {
    if (OptionsReady.load()) {
        const bool toggle = Settings.toggle.load();
        const bool chosen = ToggleAfterKeyChosen(toggle, uint32_t(wParam & 0xFFFF));
        if (chosen != toggle) {
            Settings.toggle = chosen;
            SetCheck(page, LockKeyCheck, chosen ? 1 : 0);
        }
    }
    NotifyKeySettingsChanged();
    RefreshKeyPage();
    RequestSave();
}

void Command(HWND page, int id) {
    if (!OptionsReady.load()) return;
    switch (id) {
    case LockKeyCheck:
        Settings.toggle = GetCheck(page, LockKeyCheck) != 0;
        NotifyKeySettingsChanged();
        break;
    case InvertCheck:
        Settings.invert = GetCheck(page, InvertCheck) != 0;
        NotifyKeySettingsChanged();
        break;
    default: break;
    }
}

void RefreshRow(HWND page, const KeyPageRow& row, bool useHooks) {
    HotkeyBinding* target = BindingAt(row.role);
    HotkeyBinding binding;
    GetBinding(target, binding, false);
    const KeyRowRefresh decision = DecideKeyRowRefresh(row.role, binding, useHooks);
    if (decision.clearDead) {
        SetCheck(page, row.deadCheckId, 0);
        binding.dead = false;
        SetBinding(target, binding);
    }
    EnableDlgItemDeep(page, row.deadCheckId, decision.enableDead);
    if (decision.replaceBinding) {
        SendMessageW(GetDlgItem(page, row.comboId), MsgHotkeyEvent, decision.replacementCode, 0);
    }
}

}  // namespace

INT_PTR CALLBACK KeyboardPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: InitPage(page); return 1;
    case WM_COMMAND: Command(page, LOWORD(wParam)); return 0;
    case MsgHotkeyEvent: BindingChanged(page, wParam); return 1;
    case WM_NCDESTROY: ReleaseHotkeyCombos(); return 0;
    default: return 0;
    }
}

void RefreshKeyPage() {
    if (RefreshRunning) return;
    RefreshRunning = true;
    const HWND page = OptionsPageWindow(KeyboardPageIndex);
    if (page != nullptr) {
        const bool useHooks = Settings.usehooks.load();
        for (const KeyPageRow& row : KeyPageRows) {
            if (row.page == page) RefreshRow(page, row, useHooks);
        }
    }
    RefreshRunning = false;
}

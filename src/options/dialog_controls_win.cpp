#include "options/dialog_controls_win.h"

#include <commctrl.h>

namespace {

bool IsDialogClass(HWND window) {
    // Child dialogs have the class atom 32770 ("#32770").
    return GetClassLongPtrW(window, GCW_ATOM) == 32770;
}

}  // namespace

HWND FindDlgItemDeep(HWND dialog, int id) {
    if (dialog == nullptr) return nullptr;
    if (HWND direct = GetDlgItem(dialog, id)) return direct;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsDialogClass(child)) continue;
        if (HWND found = FindDlgItemDeep(child, id)) return found;
    }
    return nullptr;
}

void EnableDlgItemDeep(HWND dialog, int id, bool enable) {
    if (HWND control = FindDlgItemDeep(dialog, id)) EnableWindow(control, enable ? TRUE : FALSE);
}

void SetCheck(HWND dialog, int id, int value) {
    HWND control = GetDlgItem(dialog, id);
    if (control == nullptr) return;
    SendMessageW(control, BM_SETCHECK, WPARAM(value > 2 ? 2 : value), 0);
}

int GetCheck(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    if (control == nullptr) return 0;
    return int(SendMessageW(control, BM_GETCHECK, 0, 0) & 3);
}

void SetSlider(HWND dialog, int id, int position, int min, int max) {
    HWND slider = GetDlgItem(dialog, id);
    if (min <= max) SendMessageW(slider, TBM_SETRANGE, FALSE, MAKELPARAM(min, max));
    SendMessageW(slider, TBM_SETPOS, TRUE, position);
}

int GetSlider(HWND dialog, int id) { return int(SendMessageW(GetDlgItem(dialog, id), TBM_GETPOS, 0, 0)); }

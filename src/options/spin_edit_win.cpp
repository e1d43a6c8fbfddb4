// The numeric field's windows. In integer mode the up-down counts the value
// in the page's own edit box. In decimal mode the up-down counts grid
// positions in the page's edit box, which becomes a frame that only holds
// the position text, and a borderless edit box laid over it shows and takes
// the value's text.
//
// busy: 0 idle; 1 inside a ShowValue started while idle; 2 inside a
// ShowValue started during an arrow step; -1 during an arrow step's
// ShowValue; -2 while the frame moves the up-down for a wrap-around. The
// field's own text changes raise change notifications while busy is 1, and
// the nested reads then neither reformat nor store.
#include "options/spin_edit_win.h"

#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/win32/text_win32.h"

namespace {

HWND Hwnd(WindowHandle window) { return static_cast<HWND>(window); }

SpinEdit* FieldOf(HWND window) {
    return reinterpret_cast<SpinEdit*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

bool DecimalMode(const SpinEdit& field) { return field.textWindow != field.editWindow; }

void SetText(HWND window, const std::string& text) { SetWindowTextW(window, WideFromUtf8(text).c_str()); }

// Up and Down keys and the wheel step the value like the arrows: the
// up-down watches them on its partner, the frame.
LRESULT CALLBACK TextBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    SpinEdit* field = FieldOf(box);
    const auto own = reinterpret_cast<WNDPROC>(field->textWindowProc);
    switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (wParam != VK_UP && wParam != VK_DOWN) break;
        [[fallthrough]];
    case WM_MOUSEWHEEL:
        return CallWindowProcW(reinterpret_cast<WNDPROC>(field->editWindowProc), Hwnd(field->editWindow),
                               message, wParam, lParam);
    case WM_KILLFOCUS:
        // A typed 1.50 becomes 1.5, a typed 22.5 in the angle field 22.50.
        field->typedDecimals = 0;
        ShowValue(*field);
        break;
    default:
        break;
    }
    return CallWindowProcW(own, box, message, wParam, lParam);
}

// The up-down writes each new position as text into its partner; that text
// is the step. Everything else goes to the default procedure, so the old
// edit box keeps its border but no longer shows or takes text.
LRESULT CALLBACK FrameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
    SpinEdit* field = FieldOf(frame);
    switch (message) {
    case WM_SETTEXT: {
        const auto* text = reinterpret_cast<const wchar_t*>(lParam);
        if (field->busy != 0 || text == nullptr || text[0] == 0) break;
        // Keep the position where the up-down reads it before its next step
        // (it reads its partner's text first), so each step starts from the
        // value shown; a wrap-around below stores the new end instead.
        DefWindowProcW(frame, message, wParam, lParam);
        int32_t p = int32_t(wcstol(text, nullptr, 10));
        const HWND spin = Hwnd(field->spinWindow);
        int lo = 0;
        int hi = 0;
        SendMessageW(spin, UDM_GETRANGE32, WPARAM(&lo), LPARAM(&hi));
        const int32_t moved = TakeSpinStep(*field, p, lo, hi);
        if (moved != p) {
            field->busy = -2;
            SendMessageW(spin, UDM_SETPOS32, 0, moved);
        }
        field->busy = -1;
        ShowValue(*field);
        field->busy = 0;
        return TRUE;
    }
    case EM_SETSEL:
        if (IsSelectAll(wParam, lParam)) {
            const HWND box = Hwnd(field->textWindow);
            SetFocus(box);
            SendMessageW(box, EM_SETSEL, 0, -1);
        }
        break;
    case WM_ERASEBKGND: {
        // The overlaid box leaves the top pixel row free.
        RECT row;
        GetClientRect(frame, &row);
        row.bottom = row.top + 1;
        FillRect(reinterpret_cast<HDC>(wParam), &row, GetSysColorBrush(COLOR_WINDOW));
        return 1;
    }
    default:
        break;
    }
    return DefWindowProcW(frame, message, wParam, lParam);
}

void AttachIntegerMode(SpinEdit& field) {
    const HWND spin = Hwnd(field.spinWindow);
    if (spin == nullptr) return;
    SendMessageW(spin, UDM_SETRANGE32, WPARAM(SpinIntegerLow(field)), LPARAM(SpinIntegerHigh(field)));
    if (field.step == 1) return;
    const int count = int(SendMessageW(spin, UDM_GETACCEL, 0, 0));
    std::vector<UDACCEL> table(size_t(count > 0 ? count : 1), UDACCEL{0, 0});
    if (count > 0) {
        SendMessageW(spin, UDM_GETACCEL, WPARAM(count), LPARAM(table.data()));
        for (UDACCEL& entry : table) entry.nInc = ScaledAccelIncrement(entry.nInc, field.step);
    } else {
        table[0].nInc = ScaledAccelIncrement(1, field.step);
    }
    SendMessageW(spin, UDM_SETACCEL, WPARAM(table.size()), LPARAM(table.data()));
}

void AttachDecimalMode(SpinEdit& field, HWND dialog, int editId) {
    const HWND edit = Hwnd(field.editWindow);
    const LONG style = GetWindowLongW(edit, GWL_STYLE);
    const LONG exStyle = GetWindowLongW(edit, GWL_EXSTYLE);

    // The frame leaves the tab order and gives its id to the overlaid box,
    // so the page's notifications still carry the template's id.
    SetWindowLongW(edit, GWL_STYLE, style & ~WS_TABSTOP);
    SetWindowLongPtrW(edit, GWLP_ID, -1);
    field.editWindowProc =
        reinterpret_cast<void*>(SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FrameProc)));

    RECT area;
    GetClientRect(edit, &area);
    MapWindowPoints(edit, dialog, reinterpret_cast<POINT*>(&area), 2);
    // The box takes the tab stop that the frame gave up (style read before).
    const HWND box = CreateWindowExW(
        exStyle & ~(WS_EX_DLGMODALFRAME | WS_EX_TOPMOST | WS_EX_TRANSPARENT | WS_EX_CLIENTEDGE), L"EDIT", L"",
        DWORD(style) & ~(WS_BORDER | WS_DLGFRAME | WS_THICKFRAME | WS_GROUP | ES_NUMBER), area.left, area.top + 1,
        area.right - area.left, area.bottom - area.top - 1, dialog, reinterpret_cast<HMENU>(INT_PTR(editId)),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE)), nullptr);
    if (box == nullptr) return;
    SetWindowLongPtrW(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&field));
    field.textWindowProc =
        reinterpret_cast<void*>(SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TextBoxProc)));
    const HWND before = GetWindow(edit, GW_HWNDPREV);
    SetWindowPos(box, before != nullptr ? before : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageW(box, WM_SETFONT, SendMessageW(dialog, WM_GETFONT, 0, 0), FALSE);

    SendMessageW(Hwnd(field.spinWindow), UDM_SETRANGE32, 0, LPARAM(SpinStepCount(field)));
    field.textWindow = box;
}

}  // namespace

void AttachSpinEdit(SpinEdit& field, HWND dialog, int editId, int spinId, double initialValue) {
    NormalizeSpinLimits(field);
    field.value = initialValue;
    const HWND edit = GetDlgItem(dialog, editId);
    field.editWindow = edit;
    field.textWindowProc = nullptr;
    field.editWindowProc = nullptr;
    if (edit != nullptr) SetWindowLongPtrW(edit, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&field));
    field.spinWindow = GetDlgItem(dialog, spinId);
    field.textWindow = edit;
    if (edit != nullptr) {
        if (SpinIntegerMode(field, field.spinWindow != nullptr)) {
            AttachIntegerMode(field);
        } else {
            AttachDecimalMode(field, dialog, editId);
        }
    }
    field.busy = 0;
    field.typedDecimals = 0;
    ShowValue(field);
}

void ShowValue(SpinEdit& field) {
    if (field.busy > 0) return;
    const std::string text = FormatSpinValue(field);
    const HWND box = Hwnd(field.textWindow);
    if (box == nullptr) return;

    const int32_t before = field.busy;
    field.busy = before == 0 ? 1 : 2;
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(box, EM_GETSEL, WPARAM(&start), LPARAM(&end));
    SetText(box, text);
    SendMessageW(box, EM_SETSEL, start, LPARAM(end));
    // Where the up-down reads its position, so the next arrow step starts
    // from the value shown.
    if (DecimalMode(field) && before == 0) {
        char position[16];
        std::snprintf(position, sizeof position, "%d", int(SpinGridPosition(field, field.value)));
        SetText(Hwnd(field.editWindow), position);
    }
    field.busy = before;
}

void ReadText(SpinEdit& field) {
    wchar_t text[63] = {};
    if (field.textWindow != nullptr) GetWindowTextW(Hwnd(field.textWindow), text, 63);
    TakeSpinText(field, Utf8FromWide(text));
    ShowValue(field);
}

void SyncIntSetting(SpinEdit& field, std::atomic<int32_t>& setting, bool toField) {
    field.value = setting.load();
    if (toField) {
        ShowValue(field);
        return;
    }
    ReadText(field);
    if (field.busy == 0) setting.exchange(RoundHalfAway(field.value));
}

void SyncDoubleSetting(SpinEdit& field, std::atomic<double>& setting, bool toField) {
    field.value = setting.load();
    if (toField) {
        ShowValue(field);
        return;
    }
    ReadText(field);
    if (field.busy == 0 || field.busy == 2) {
        // The main thread may write the setting at the same time; keep
        // storing until it reads back what was typed.
        do {
            setting.store(field.value);
        } while (setting.load() != field.value);
    }
}

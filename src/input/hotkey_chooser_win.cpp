// Hotkey combos: each role's drop-down list on the Keyboard Shortcuts page.
// A combo's procedure is replaced by HotkeyComboProc, the page's by
// KeyPageFilterProc, which sees the combos' notifications before the page's
// dialog procedure does. While a combo captures, the keyboard hook forwards
// every key of the desktop to it and swallows it; so every way out of the
// combo (focus lost, page hidden, window destroyed) ends the capture.
#include "input/hotkey_chooser_win.h"

#include <memory>
#include <vector>

#include "base/app_messages.h"
#include "input/input_hooks.h"
#include "input/key_names.h"
#include "platform/win32/text_win32.h"
#include "settings/settings.h"

namespace {

struct ComboState {
    KeyPageRow row;
    HWND combo = nullptr;
    HWND checkBox = nullptr;
    WNDPROC formerComboProc = nullptr;
    uint32_t initialCode = 0;  // the role's binding when the combo was attached
    uint16_t initialMods = 0;
};

struct PageEntry {
    HWND page;
    WNDPROC formerProc;
};

// Options thread only. Entries are appended one at a time and removed all
// together by ReleaseHotkeyCombos.
std::vector<std::unique_ptr<ComboState>> ComboStates;
std::vector<PageEntry> Pages;
HWND CapturingCombo = nullptr;
int32_t LastCapturedPress = -1;
HBRUSH RedBrush = nullptr;  // kept for the rest of the run

constexpr COLORREF CaptureBackground = RGB(255, 0, 0);

LRESULT CALLBACK HotkeyComboProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK KeyPageFilterProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

ComboState* FindByCombo(HWND window) {
    for (auto it = ComboStates.rbegin(); it != ComboStates.rend(); ++it) {
        if ((*it)->combo == window) return it->get();
    }
    return nullptr;
}

ComboState* FindByCheckBox(HWND window) {
    for (auto it = ComboStates.rbegin(); it != ComboStates.rend(); ++it) {
        if ((*it)->checkBox == window && window != nullptr) return it->get();
    }
    return nullptr;
}

const PageEntry* FindPage(HWND page) {
    for (auto it = Pages.rbegin(); it != Pages.rend(); ++it) {
        if (it->page == page) return &*it;
    }
    return nullptr;
}

HotkeyBinding CurrentBinding(const ComboState& state) {
    HotkeyBinding copy;
    GetBinding(BindingAt(state.row.role), copy, false);
    return copy;
}

bool HookCaptureActive() {
    return CapturingCombo != nullptr && static_cast<HWND>(GetHookCaptureWindow()) == CapturingCombo;
}

void RebuildComboItems(const ComboState& state, const HotkeyBinding& binding) {
    const HWND combo = state.combo;
    for (auto index = SendMessageW(combo, CB_GETCOUNT, 0, 0) - 1; index >= ComboFirstCandidate; --index) {
        SendMessageW(combo, CB_DELETESTRING, WPARAM(index), 0);
    }
    const bool useHooks = Settings.usehooks.load();
    for (const ComboCandidate& candidate :
         BuildComboCandidates(binding.code, binding.mods, state.initialCode, state.initialMods, useHooks)) {
        const std::wstring name = WideFromUtf8(BindingName(candidate.code, candidate.mods));
        const LRESULT index = SendMessageW(combo, CB_ADDSTRING, 0, LPARAM(name.c_str()));
        if (index >= 0) {
            SendMessageW(combo, CB_SETITEMDATA, WPARAM(index), LPARAM(ComboItemData(candidate.code, candidate.mods)));
        }
    }
    SendMessageW(combo, CB_SETCURSEL, WPARAM(ComboSelectionFor(binding.code)), 0);
}

// The hooks start forwarding keys only once every key is up, so the key that
// chose the capture item is not taken as the new binding.
bool TryStartHookCapture() {
    if (HookCaptureActive()) return true;
    if (AnyVirtualKeyDown()) return false;
    LastCapturedPress = -1;
    SetHookCaptureWindow(CapturingCombo);
    return true;
}

void SetComboCapture(const ComboState& state, bool on) {
    if ((CapturingCombo == state.combo) == on) return;
    if (on) {
        CapturingCombo = state.combo;
        TryStartHookCapture();
    } else {
        if (SendMessageW(state.combo, CB_GETCURSEL, 0, 0) == ComboItemCapture) {
            RebuildComboItems(state, CurrentBinding(state));
        }
        SetHookCaptureWindow(nullptr);
        LastCapturedPress = -1;
        CapturingCombo = nullptr;
    }
    InvalidateRect(state.combo, nullptr, FALSE);
}

// For a combo or page that is being destroyed: only the hook side matters.
void DropCaptureOf(HWND window) {
    if (CapturingCombo == nullptr) return;
    if (CapturingCombo != window && !IsChild(window, CapturingCombo)) return;
    SetHookCaptureWindow(nullptr);
    LastCapturedPress = -1;
    CapturingCombo = nullptr;
}

bool CursorInSelectionField(HWND combo) {
    POINT cursor;
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (!GetCursorPos(&cursor) || !GetComboBoxInfo(combo, &info)) return false;
    MapWindowPoints(combo, nullptr, reinterpret_cast<POINT*>(&info.rcItem), 2);
    return PtInRect(&info.rcItem, cursor) != FALSE;
}

// Keys that reach the combo as window messages; they count only without the
// hooks, which otherwise deliver every key as MsgHotkeyEvent.
LRESULT KeyFromWindow(const ComboState& state, UINT message, WPARAM wParam) {
    if (!HookCaptureActive() || Settings.usehooks.load()) return 0;
    const bool release = message == WM_KEYUP || message == WM_SYSKEYUP;
    const uint32_t code = WindowMessageKeyCode(uint32_t(wParam & 0xFF), release);
    const uint16_t mods = GetModifiersSynced(code, true);
    SendMessageW(state.combo, MsgHotkeyEvent, (WPARAM(release) << 16) | code, mods);
    return 0;
}

// A mouse button or wheel notch over the selection field: press and release
// at once, so the press stores the binding and the release ends the capture.
LRESULT MouseKey(const ComboState& state, UINT message, WPARAM wParam) {
    if (!TryStartHookCapture()) return 0;
    if (!CursorInSelectionField(state.combo)) return 0;
    bool down = false;
    const uint32_t code = MouseMessageToKey(message, uint32_t(wParam), down);
    const uint16_t mods = GetModifiersSynced(code, true);
    SendMessageW(state.combo, MsgHotkeyEvent, code, mods);
    SendMessageW(state.combo, MsgHotkeyEvent, code | 0x10000, mods);
    return 0;
}

LRESULT HandleHotkeyEvent(ComboState& state, WPARAM wParam, LPARAM lParam) {
    const ComboKeyDecision decision = DecideComboKey(wParam, LastCapturedPress, Settings.usehooks.load());
    switch (decision.action) {
    case ComboKeyAction::Ignore: return 0;
    case ComboKeyAction::EndCapture: SetComboCapture(state, false); return 0;
    case ComboKeyAction::StoreBinding: break;
    }
    const HotkeyBinding stored = StoreChosenBinding(state.row.role, decision.code, uint16_t(lParam));
    RebuildComboItems(state, stored);
    SendMessageW(GetParent(state.combo), MsgHotkeyEvent, stored.code & 0xFFFF, lParam);
    return 0;
}

LRESULT CALLBACK HotkeyComboProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ComboState* state = FindByCombo(window);
    if (state == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    const WNDPROC former = state->formerComboProc;

    if (CapturingCombo == window) {
        switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: return KeyFromWindow(*state, message, wParam);
        case WM_KEYUP:
        case WM_SYSKEYUP:
            if (!HookCaptureActive()) {
                TryStartHookCapture();
                return 0;
            }
            return KeyFromWindow(*state, message, wParam);
        case WM_CHAR:
        case WM_SYSCHAR: return 0;
        case WM_GETDLGCODE: {
            // Without the hooks the keys to be captured reach the combo as
            // window messages; wParam is the key the dialog asks about.
            const LRESULT code = CallWindowProcW(former, window, message, wParam, lParam);
            return ComboTakesWindowKey(uint32_t(wParam)) ? code | DLGC_WANTALLKEYS : code;
        }
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            if (GetFocus() == window) return MouseKey(*state, message, wParam);
            break;
        case WM_MBUTTONDOWN:
        case WM_MOUSEWHEEL:
        case WM_XBUTTONDOWN:
        case WM_MOUSEHWHEEL: return MouseKey(*state, message, wParam);
        case MsgPointerEvent:
            if (!CursorInSelectionField(window)) SetComboCapture(*state, false);
            return 0;
        default: break;
        }
    }

    switch (message) {
    case WM_CHAR:
        // Typing never selects an item by its first letter.
        if (wParam >= 0x20 && wParam != 0x7F) return 0;
        break;
    case WM_COMMAND:
        if (HWND(lParam) != window) break;
        if (HIWORD(wParam) == CBN_DROPDOWN) {
            SendMessageW(window, CB_SETTOPINDEX, 0, 0);
            return 0;
        }
        if (HIWORD(wParam) == CBN_CLOSEUP) {
            if (SendMessageW(window, CB_GETCURSEL, 0, 0) != ComboItemCapture) {
                RebuildComboItems(*state, CurrentBinding(*state));
            }
            return 0;
        }
        break;
    case MsgHotkeyEvent: return HandleHotkeyEvent(*state, wParam, lParam);
    case WM_DESTROY:
    case WM_NCDESTROY: DropCaptureOf(window); break;
    default: break;
    }
    return CallWindowProcW(former, window, message, wParam, lParam);
}

void ApplyComboSelectionOf(const ComboState& state, int32_t sel) {
    const auto data = uint32_t(SendMessageW(state.combo, CB_GETITEMDATA, WPARAM(sel), 0));
    const HotkeyBinding stored = ApplyComboSelection(state.row.role, sel, data);
    SendMessageW(GetParent(state.combo), MsgHotkeyEvent, stored.code & 0xFFFF, stored.mods);
}

void HandleComboNotification(ComboState& state, WPARAM wParam, LPARAM lParam) {
    switch (HIWORD(wParam)) {
    case CBN_SELCHANGE: {
        const auto sel = int32_t(SendMessageW(state.combo, CB_GETCURSEL, 0, 0));
        SetComboCapture(state, sel == ComboItemCapture);
        if (sel == ComboItemCapture) {
            SendMessageW(state.combo, CB_SHOWDROPDOWN, FALSE, 0);
        } else if (sel >= ComboItemNoKey) {
            ApplyComboSelectionOf(state, sel);
        }
        break;
    }
    case CBN_KILLFOCUS: SetComboCapture(state, false); break;
    case CBN_DROPDOWN:
    case CBN_CLOSEUP: PostMessageW(state.combo, WM_COMMAND, wParam, lParam); break;
    default: break;
    }
}

void HandleDeadCheckBox(const ComboState& state, HWND page) {
    const bool checked = SendMessageW(state.checkBox, BM_GETCHECK, 0, 0) != 0;
    HotkeyBinding binding;
    if (StoreDeadFlag(state.row.role, checked, binding)) {
        SendMessageW(page, MsgHotkeyEvent, binding.code & 0xFFFF, binding.mods);
    }
}

LRESULT CALLBACK KeyPageFilterProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    const PageEntry* entry = FindPage(page);
    if (entry == nullptr) return DefWindowProcW(page, message, wParam, lParam);
    // The page's dialog procedure may release the page list (WM_NCDESTROY).
    const WNDPROC former = entry->formerProc;

    switch (message) {
    case WM_COMMAND:
        if (lParam == 0) break;
        if (ComboState* state = FindByCombo(HWND(lParam))) {
            HandleComboNotification(*state, wParam, lParam);
        } else if (ComboState* owner = FindByCheckBox(HWND(lParam))) {
            if (HIWORD(wParam) == BN_CLICKED) HandleDeadCheckBox(*owner, page);
        }
        break;
    case WM_CTLCOLOREDIT:
        if (CapturingCombo != nullptr && HWND(lParam) == CapturingCombo) {
            if (RedBrush == nullptr) RedBrush = CreateSolidBrush(CaptureBackground);
            const auto dc = HDC(wParam);
            SetTextColor(dc, RGB(0, 0, 0));
            SetBkColor(dc, CaptureBackground);
            return LRESULT(RedBrush);
        }
        break;
    case WM_SHOWWINDOW:
        // A tab switch hides the page: a capture must not go on unseen.
        if (!wParam && CapturingCombo != nullptr && IsChild(page, CapturingCombo)) {
            if (ComboState* state = FindByCombo(CapturingCombo)) SetComboCapture(*state, false);
        }
        break;
    case WM_DESTROY:
    case WM_NCDESTROY: DropCaptureOf(page); break;
    default: break;
    }
    return CallWindowProcW(former, page, message, wParam, lParam);
}

}  // namespace

void AttachHotkeyCombo(HWND page, KeyPageRow& row) {
    row.page = page;
    ComboStates.push_back(std::make_unique<ComboState>());
    ComboState& state = *ComboStates.back();
    state.row = row;

    if (FindPage(page) == nullptr) {
        const auto former = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(page, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&KeyPageFilterProc)));
        Pages.push_back({page, former});
    }

    HotkeyBinding copy;
    GetBinding(BindingAt(row.role), copy, false);
    state.initialCode = copy.code;
    state.initialMods = copy.mods;

    state.combo = GetDlgItem(page, row.comboId);
    if (state.combo == nullptr) return;
    SendMessageW(state.combo, CB_SETEXTENDEDUI, TRUE, 0);
    SendMessageW(state.combo, CB_ADDSTRING, 0, LPARAM(L"... choose by pressing keys ..."));
    SendMessageW(state.combo, CB_ADDSTRING, 0, LPARAM(L"No Key"));
    state.formerComboProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(state.combo, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HotkeyComboProc)));
    LastCapturedPress = -1;
    // The key handler stores the same binding again, fills the list,
    // selects the binding and tells the page.
    SendMessageW(state.combo, MsgHotkeyEvent, copy.code, copy.mods);

    if (row.deadCheckId != 0) {
        state.checkBox = GetDlgItem(page, row.deadCheckId);
        if (state.checkBox != nullptr) SendMessageW(state.checkBox, BM_SETCHECK, copy.dead ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

void ReleaseHotkeyCombos() {
    std::vector<PageEntry>().swap(Pages);
    std::vector<std::unique_ptr<ComboState>>().swap(ComboStates);
}

// demo: a window titled "mxdriver demo" with one control of each kind the
// driver reads and drives, so the harness's own tests can prove the driver
// under Wine. It prints a ready line {"hwnd":...} and then one JSON line per
// notification it receives: {"event":"command","id":..,"code":..} or
// {"event":"notify","id":..,"code":..}.
#include "driver.h"

#include <commctrl.h>


namespace {

enum DemoId { TabId = 100, ComboId, TrackId, CheckId, EditId, ButtonId, SpinId };

void Emit(const char* event, long long id, long long code) {
    const std::string line = JsonObject().Add("event", std::string(event)).Add("id", id).Add("code", code).Text() + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), DWORD(line.size()), &written, nullptr);
}

HWND Child(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int id, int x, int y, int w, int h) {
    return CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

void CreateControls(HWND window) {
    const HWND tab = Child(window, WC_TABCONTROLW, L"", WS_CLIPSIBLINGS, TabId, 10, 10, 300, 40);
    const wchar_t* labels[] = {L"One", L"Two", L"Thr\u00e9e"};
    for (int i = 0; i < 3; ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(labels[i]);
        SendMessageW(tab, TCM_INSERTITEMW, WPARAM(i), LPARAM(&item));
    }
    const HWND combo = Child(window, WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL, ComboId, 10, 60, 120, 120);
    for (const wchar_t* colour : {L"Red", L"Green", L"Blue"}) SendMessageW(combo, CB_ADDSTRING, 0, LPARAM(colour));
    SendMessageW(combo, CB_SETCURSEL, 1, 0);
    const HWND track = Child(window, TRACKBAR_CLASSW, L"", TBS_HORZ, TrackId, 10, 100, 200, 30);
    SendMessageW(track, TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
    SendMessageW(track, TBM_SETPOS, TRUE, 40);
    Child(window, WC_BUTTONW, L"Check", BS_AUTOCHECKBOX, CheckId, 10, 140, 100, 20);
    Child(window, WC_EDITW, L"hello", WS_BORDER | ES_AUTOHSCROLL, EditId, 120, 140, 100, 22);
    Child(window, WC_BUTTONW, L"Push", BS_PUSHBUTTON, ButtonId, 230, 140, 60, 24);
    const HWND spin = Child(window, UPDOWN_CLASSW, L"", 0, SpinId, 300, 140, 16, 22);
    SendMessageW(spin, UDM_SETRANGE32, 0, 10);
    SendMessageW(spin, UDM_SETPOS32, 0, 3);
}

LRESULT CALLBACK DemoProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: CreateControls(window); return 0;
        case WM_COMMAND: Emit("command", LOWORD(wParam), HIWORD(wParam)); return 0;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->idFrom == TabId) Emit("notify", static_cast<long long>(header->idFrom), static_cast<long long>(static_cast<int>(header->code)));
            return 0;
        }
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int RunDemo() {
    INITCOMMONCONTROLSEX init{sizeof init, ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&init);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DemoProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"MxDriverDemo";
    RegisterClassW(&windowClass);
    const HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"mxdriver demo", WS_OVERLAPPEDWINDOW, 400, 100,
                                        360, 220, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window) Fail("cannot create the demo window");
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    const std::string ready = JsonObject().Add("hwnd", window).Text() + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), ready.data(), DWORD(ready.size()), &written, nullptr);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

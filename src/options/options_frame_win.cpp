// The options frame: a tab strip with the four pages and the two buttons.
#include <windows.h>

#include <commctrl.h>

#include <iterator>

#include "base/app_messages.h"
#include "options/option_pages_win.h"
#include "options/options_frame_win.h"
#include "options/options_window.h"

namespace {

constexpr int FrameTemplate = 201;
constexpr int BigIcon = 107;
constexpr int SmallIcon = 108;
constexpr int CloseButton = IDOK;
constexpr int ExitButton = 1012;
constexpr int TabStrip = 1034;

struct OptionsPage {
    const wchar_t* label;
    int pageTemplate;
    DLGPROC procedure;
    HWND window;
};

// In tab order; "Donate" is the first and initially selected tab.
OptionsPage OptionsPageTable[] = {
    {L"Donate", 202, AboutPageProc, nullptr},
    {L"Keyboard Shortcuts", 203, KeyboardPageProc, nullptr},
    {L"Ruler Display", 204, RulerDisplayPageProc, nullptr},
    {L"Advanced", 205, AdvancedPageProc, nullptr},
};
constexpr int PageCount = int(std::size(OptionsPageTable));

HINSTANCE Module() { return GetModuleHandleW(nullptr); }

void SetIcons(HWND frame) {
    const auto load = [](int id, int size) {
        return LoadImageW(Module(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_SHARED);
    };
    SendMessageW(frame, WM_SETICON, ICON_SMALL, LPARAM(load(SmallIcon, GetSystemMetrics(SM_CXSMICON))));
    SendMessageW(frame, WM_SETICON, ICON_BIG, LPARAM(load(BigIcon, GetSystemMetrics(SM_CXICON))));
}

void SetUpTabs(HWND tabs) {
    SendMessageW(tabs, TCM_SETPADDING, 0, MAKELPARAM(10, 6));
    SendMessageW(tabs, TCM_SETITEMSIZE, 0, MAKELPARAM(0, 0));
    for (int i = 0; i < PageCount; ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(OptionsPageTable[i].label);
        SendMessageW(tabs, TCM_INSERTITEMW, WPARAM(i), LPARAM(&item));
    }
}

// Creates each page and centres it in the area inside the tab strip.
void CreatePages(HWND frame, HWND tabs) {
    RECT area;
    GetClientRect(tabs, &area);
    SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, LPARAM(&area));
    MapWindowPoints(tabs, frame, reinterpret_cast<POINT*>(&area), 2);
    for (OptionsPage& row : OptionsPageTable) {
        row.window = CreateDialogParamW(Module(), MAKEINTRESOURCEW(row.pageTemplate), frame, row.procedure, 0);
        if (row.window == nullptr) continue;
        RECT page;
        GetWindowRect(row.window, &page);
        const int left = area.left + ((area.right - area.left) - (page.right - page.left)) / 2;
        const int top = area.top + ((area.bottom - area.top) - (page.bottom - page.top)) / 2;
        SetWindowPos(row.window, HWND_TOP, left, top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void SendSelChange(HWND frame, HWND tabs) {
    NMHDR header{tabs, UINT_PTR(TabStrip), UINT(TCN_SELCHANGE)};
    SendMessageW(frame, WM_NOTIFY, TabStrip, LPARAM(&header));
}

void InitFrame(HWND frame) {
    OptionsWindowHandle = frame;
    SetIcons(frame);
    SetWindowTextW(frame, L"Measurix - Options");
    const HWND tabs = GetDlgItem(frame, TabStrip);
    SetUpTabs(tabs);
    CreatePages(frame, tabs);
    RefreshKeyPage();
    SendSelChange(frame, tabs);
    OptionsReady = true;
}

// Hides the old page before the selection changes, shows the new one after.
void SwitchPage(HWND frame, const NMHDR& header) {
    if (header.idFrom != UINT_PTR(TabStrip)) return;
    if (header.code != UINT(TCN_SELCHANGING) && header.code != UINT(TCN_SELCHANGE)) return;
    const auto index = int(SendMessageW(GetDlgItem(frame, TabStrip), TCM_GETCURSEL, 0, 0));
    if (index < 0 || index >= PageCount || OptionsPageTable[index].window == nullptr) return;
    ShowWindow(OptionsPageTable[index].window, header.code == UINT(TCN_SELCHANGING) ? SW_HIDE : SW_SHOWNA);
}

// The thread's loop ends on WM_QUIT and tears the window down.
void CloseOptions(HWND frame) { PostMessageW(frame, WM_QUIT, 0, 0); }

}  // namespace

HWND OptionsPageWindow(int index) {
    return index >= 0 && index < PageCount ? OptionsPageTable[index].window : nullptr;
}

INT_PTR CALLBACK OptionsFrameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case MsgCreateOptions:
        CreateDialogParamW(Module(), MAKEINTRESOURCEW(FrameTemplate), nullptr, OptionsFrameProc, 0);
        return 1;
    case WM_INITDIALOG:
        InitFrame(frame);
        return 1;
    case WM_NOTIFY:
        SwitchPage(frame, *reinterpret_cast<const NMHDR*>(lParam));
        return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
            CloseOptions(frame);
            return 1;
        case ExitButton:
            // The main thread gets the exit request before the window closes.
            PostMessageW(static_cast<HWND>(MainWindow.load()), MsgInstanceRequest.load(), 0, InstanceRequestExit);
            CloseOptions(frame);
            return 1;
        default:
            return 0;
        }
    case WM_SYSCOMMAND:
        if (wParam != SC_CLOSE) return 0;
        SendMessageW(frame, WM_COMMAND, CloseButton, 0);
        return 1;
    case MsgOptionsRefresh:
        OptionsRefreshPending.exchange(0);
        RefreshAngleField();
        return 1;
    case WM_DESTROY:
        for (OptionsPage& row : OptionsPageTable) {
            const HWND page = row.window;
            row.window = nullptr;
            if (page != nullptr) DestroyWindow(page);
        }
        OptionsWindowHandle = nullptr;
        return 0;
    default:
        return 0;
    }
}

// A link is blue until it is clicked, red from the click until it loses the
// focus, and blue again afterwards; it draws its own underline in the same
// colour. The former static procedure is kept in the label's user data.
#include "options/link_label_win.h"

#include <shellapi.h>

#include <algorithm>

#include "base/app_messages.h"

namespace {

constexpr COLORREF LinkBlue = RGB(0, 0, 255);
constexpr COLORREF LinkRed = RGB(255, 0, 0);

// Process-wide: keeps its last value across openings of the options window.
COLORREF LinkColor = LinkBlue;

WNDPROC FormerProc(HWND label) { return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(label, GWLP_USERDATA)); }

void SetHandCursor() {
    HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    SetCursor(hand != nullptr ? hand : LoadCursorW(nullptr, IDC_HELP));
}

// A one-pixel line below the text's measured extent, leaving one row free
// where the label has room for it.
void DrawUnderline(HWND label) {
    HDC dc = GetDC(label);
    if (dc == nullptr) return;
    HPEN pen = CreatePen(PS_SOLID, 0, LinkColor);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(GetParent(label), WM_GETFONT, 0, 0)));
    wchar_t text[128] = {};
    GetWindowTextW(label, text, 128);
    RECT extent{0, 0, 0, 0};
    DrawTextW(dc, text, -1, &extent, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    // A label only as tall as its text has no row below it: the line then
    // takes the label's last row rather than vanish outside it.
    RECT client{};
    GetClientRect(label, &client);
    const int y = std::min<int>(extent.bottom + 1, client.bottom - 1);
    MoveToEx(dc, 0, y, nullptr);
    LineTo(dc, extent.right, y);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
    ReleaseDC(label, dc);
}

LRESULT CALLBACK LinkProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam) {
    const WNDPROC former = FormerProc(label);
    switch (message) {
    case WM_MOUSEMOVE:
        SetHandCursor();
        break;
    case WM_LBUTTONDOWN: {
        LinkColor = LinkRed;
        InvalidateRect(label, nullptr, FALSE);
        UpdateWindow(label);
        SetFocus(label);
        wchar_t address[1024] = {};
        GetWindowTextW(label, address, 1024);
        OpenUrl(address);
        break;
    }
    case WM_KILLFOCUS:
        LinkColor = LinkBlue;
        InvalidateRect(label, nullptr, FALSE);
        break;
    case WM_PAINT: {
        const LRESULT result = CallWindowProcW(former, label, message, wParam, lParam);
        DrawUnderline(label);
        return result;
    }
    default:
        if (message == MsgLinkColor) {
            SetTextColor(reinterpret_cast<HDC>(wParam), LinkColor);
            return 0;
        }
        break;
    }
    return CallWindowProcW(former, label, message, wParam, lParam);
}

}  // namespace

void OpenUrl(const wchar_t* address) {
    const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", address, nullptr, nullptr, SW_SHOWNORMAL));
    if (result > 32) return;
    MessageBeep(0xFFFFFFFF);
    MessageBoxW(nullptr, address, L"Could not open URL", MB_OK);
}

void MakeLinkLabel(HWND page, int id) {
    HWND label = GetDlgItem(page, id);
    if (label == nullptr) return;
    SetWindowLongPtrW(label, GWLP_USERDATA, GetWindowLongPtrW(label, GWLP_WNDPROC));
    SetWindowLongPtrW(label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LinkProc));
    // Without SS_NOTIFY a static lets the mouse through to the page.
    SetWindowLongW(label, GWL_STYLE, GetWindowLongW(label, GWL_STYLE) | SS_NOTIFY);
}

// The "Donate" page: name, version, web address as a link, the default keys
// and the donation button.
#include "base/app_messages.h"
#include "base/measurix_version.h"
#include "options/link_label_win.h"
#include "options/option_pages_win.h"
#include "options/options_window.h"

namespace {

constexpr int VersionText = 1066;
constexpr int WebAddressLink = 110;
constexpr int DonateButton = 1015;

constexpr wchar_t DonationAddress[] = L"https://measurix.example/donate/en/?app=Measurix";

// Created at each opening of the page, released when the page goes.
HBRUSH PageBrush = nullptr;

}  // namespace

INT_PTR CALLBACK AboutPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextW(page, VersionText, L"Measurix " MEASURIX_VERSION_TEXT L" en");
        MakeLinkLabel(page, WebAddressLink);
        if (PageBrush != nullptr) DeleteObject(PageBrush);
        PageBrush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
        return 1;
    case WM_COMMAND:
        if (LOWORD(wParam) == DonateButton && OptionsReady.load()) OpenUrl(DonationAddress);
        return 0;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
        return reinterpret_cast<INT_PTR>(PageBrush);
    case WM_CTLCOLORSTATIC: {
        // Only a link label answers; other statics ignore the message.
        const auto dc = reinterpret_cast<HDC>(wParam);
        SendMessageW(reinterpret_cast<HWND>(lParam), MsgLinkColor, wParam, 0);
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<INT_PTR>(PageBrush);
    }
    case WM_DESTROY:
        if (PageBrush != nullptr) DeleteObject(PageBrush);
        PageBrush = nullptr;
        return 0;
    default:
        return 0;
    }
}

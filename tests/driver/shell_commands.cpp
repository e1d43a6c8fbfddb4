// The shell-* commands: the clipboard's text and the icons that Wine's
// explorer shows in its notification area.
//   shell-clipboard              {"text": ...} (CF_UNICODETEXT; "" when none)
//   shell-hold-clipboard <ms>    keeps the clipboard open that long, as a
//                                program that does not let go of it
//   shell-clipboard-free         {"free": whether the clipboard can be opened now}
//   shell-clipboard-empty        empties the clipboard
//   shell-tray                   {"tray": rect}: the visible notification area
//                                (screen coordinates); Wine 8 draws the icons
//                                into it, with no window per icon
#include <string>

#include "driver.h"

namespace {

// Wine lets any number of openers in when each names no window: open it
// with a window of our own, as programs do.
HWND OpenerWindow() {
    static HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    return window;
}

std::string Clipboard() {
    // Another program may have it open for a moment.
    for (int attempt = 0; !OpenClipboard(OpenerWindow()); ++attempt) {
        if (attempt == 100) Fail("the clipboard stays open");
        Sleep(10);
    }
    std::wstring text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return JsonObject().Add("text", text).Text();
}

std::string HoldClipboard(const Args& args) {
    if (args.size() != 2) Fail("usage: shell-hold-clipboard <ms>");
    if (!OpenClipboard(OpenerWindow())) Fail("cannot open the clipboard");
    Sleep(DWORD(ParseNumber(args[1])));
    CloseClipboard();
    return JsonObject().Add("held", true).Text();
}

std::string ClipboardFree() {
    const bool free = OpenClipboard(OpenerWindow()) != FALSE;
    if (free) CloseClipboard();
    return JsonObject().Add("free", free).Text();
}

std::string ClipboardEmpty() {
    if (!OpenClipboard(OpenerWindow())) Fail("cannot open the clipboard");
    const bool emptied = EmptyClipboard() != FALSE;
    CloseClipboard();
    return JsonObject().Add("emptied", emptied).Text();
}

std::string Tray() {
    RECT area{};
    for (HWND tray = FindWindowExW(nullptr, nullptr, L"Shell_TrayWnd", nullptr); tray;
         tray = FindWindowExW(nullptr, tray, L"Shell_TrayWnd", nullptr)) {
        if (IsWindowVisible(tray)) GetWindowRect(tray, &area);
    }
    return JsonObject().Add("tray", area).Text();
}

}  // namespace

std::string RunShellCommand(const Args& args) {
    if (args[0] == L"shell-clipboard") return Clipboard();
    if (args[0] == L"shell-hold-clipboard") return HoldClipboard(args);
    if (args[0] == L"shell-clipboard-free") return ClipboardFree();
    if (args[0] == L"shell-clipboard-empty") return ClipboardEmpty();
    if (args[0] == L"shell-tray") return Tray();
    Fail("unknown command: " + Utf8(args[0]));
}

// mxdriver's shell-* commands: the clipboard's text and Wine's notification
// area. Each answers one JSON value.
//   shell-clipboard              {"text": ...}: CF_UNICODETEXT, "" when none,
//                                null while another program holds it open
//   shell-clipboard-free         whether the clipboard can be opened now
//   shell-clipboard-empty        empties it
//   shell-hold-clipboard <ms>    keeps it open that long, as a program that
//                                does not let go of it
//   shell-tray                   the visible notification area's rectangle;
//                                Wine 8 draws the icons into it, with no
//                                window per icon
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// Wine lets any number of openers in when each names no window: open it
// with a window of our own, as programs do.
bool OpenOwnClipboard() {
    static HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    return OpenClipboard(window) != FALSE;
}

std::string JsonText(const std::wstring& text) {
    std::string out = "\"";
    for (const wchar_t c : text) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\u%04x", unsigned(c));
        out += (c < 0x20 || c > 0x7E || c == L'"' || c == L'\\') ? escaped : std::string(1, char(c));
    }
    return out + "\"";
}

std::string ClipboardText() {
    if (!OpenOwnClipboard()) return "{\"text\":null}";
    std::wstring text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return "{\"text\":" + JsonText(text) + "}";
}

std::string Tray() {
    RECT r{};
    for (HWND tray = FindWindowExW(nullptr, nullptr, L"Shell_TrayWnd", nullptr); tray;
         tray = FindWindowExW(nullptr, tray, L"Shell_TrayWnd", nullptr)) {
        if (IsWindowVisible(tray)) GetWindowRect(tray, &r);
    }
    char json[80];
    std::snprintf(json, sizeof json, "[%ld,%ld,%ld,%ld]", r.left, r.top, r.right, r.bottom);
    return json;
}

}  // namespace

std::string RunShellCommand(const std::vector<std::wstring>& a) {
    const std::wstring& command = a[0];
    if (command == L"shell-clipboard") return ClipboardText();
    if (command == L"shell-tray") return Tray();
    if (!OpenOwnClipboard()) return "false";
    bool done = true;
    if (command == L"shell-clipboard-empty") done = EmptyClipboard() != FALSE;
    if (command == L"shell-hold-clipboard") Sleep(DWORD(a.size() > 1 ? std::wcstoul(a[1].c_str(), nullptr, 10) : 0));
    CloseClipboard();
    return done ? "true" : "false";  // shell-clipboard-free: it could be opened
}

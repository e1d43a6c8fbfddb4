// mxdriver: the end-to-end tests' helper inside the same Wine desktop as
// measurix.exe; only a Windows program can read other processes' windows.
//   mxdriver serve: one command a line on stdin, fields separated by tabs, one
//   JSON line back: {"ok":true,"result":...} or {"ok":false,"error":"..."}.
//   Commands: windows (top level, in Z order) | controls <hwnd> | click <hwnd>
//   [async] (BM_CLICK; async posts it, for buttons that open a modal window) |
//   send|post <hwnd> <msg> <wparam> <lparam> | settext <hwnd> <text> |
//   keystate <vk> | foreground <hwnd> | shell-... (shell_commands.cpp)
//   mxdriver keylog <file> (keylog_window.cpp), mxdriver pattern <x> <y> [<w> <h> <rrggbb>]
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

int RunKeyLog(const wchar_t* logPath);
int RunPattern(int x, int y, int width, int height, int colour);
std::string RunShellCommand(const std::vector<std::wstring>& args);  // shell_commands.cpp

namespace {

std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring Wide(const std::string& text) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring out(size_t(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), out.data(), size);
    return out;
}

std::string Json(const std::wstring& text) {
    std::string out = "\"";
    for (const unsigned char c : Utf8(text)) {
        char escaped[8];
        const char* format = c < 0x20 ? "\\u%04x" : c == '"' || c == '\\' ? "\\%c" : "%c";
        std::snprintf(escaped, sizeof escaped, format, unsigned(c));
        out += escaped;
    }
    return out + "\"";
}

std::string Json(long long number) { return std::to_string(number); }
std::string Json(bool flag) { return flag ? "true" : "false"; }
std::string Json(HWND window) { return Json(static_cast<long long>(reinterpret_cast<intptr_t>(window))); }
std::string Json(const RECT& r) {
    return "[" + Json(r.left + 0LL) + "," + Json(r.top + 0LL) + "," + Json(r.right + 0LL) + "," +
           Json(r.bottom + 0LL) + "]";
}

long long Number(const std::wstring& text) {
    wchar_t* end = nullptr;
    const long long value = std::wcstoll(text.c_str(), &end, 0);
    if (text.empty() || *end != L'\0') throw std::runtime_error("not a number: " + Utf8(text));
    return value;
}

HWND Window(const std::wstring& text) {
    const HWND window = reinterpret_cast<HWND>(static_cast<intptr_t>(Number(text)));
    if (!IsWindow(window)) throw std::runtime_error("no such window: " + Utf8(text));
    return window;
}

// With a deadline, so that a hung or modal target cannot hang the driver.
LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* timedOut = nullptr) {
    DWORD_PTR result = 0;
    const bool ok = SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, 10000, &result) != 0;
    if (timedOut) *timedOut = !ok;
    return LRESULT(result);
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

// WM_GETTEXT is marshalled between processes; GetWindowText of another
// process's control is not.
std::wstring TextOf(HWND window) {
    std::wstring text(size_t(Send(window, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(size_t(Send(window, WM_GETTEXT, WPARAM(text.size()), LPARAM(text.data()))));
    return text;
}

std::string Describe(HWND window, bool topLevel) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    RECT rect{};
    GetWindowRect(window, &rect);
    const LONG_PTR exstyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    std::string json = "{\"hwnd\":" + Json(window) + ",\"class\":" + Json(ClassOf(window)) +
                       ",\"visible\":" + Json(IsWindowVisible(window) != FALSE) + ",\"rect\":" + Json(rect);
    if (topLevel) {
        wchar_t title[512] = {};
        GetWindowTextW(window, title, 512);
        return json + ",\"title\":" + Json(std::wstring(title)) + ",\"pid\":" + Json(pid + 0LL) +
               ",\"iconic\":" + Json(IsIconic(window) != FALSE) + ",\"topmost\":" + Json((exstyle & WS_EX_TOPMOST) != 0) +
               ",\"exstyle\":" + Json(exstyle & 0xffffffffLL) + ",\"foreground\":" + Json(GetForegroundWindow() == window) + "}";
    }
    std::string items;  // a combo box's list, for choosing by text
    if (_wcsicmp(ClassOf(window).c_str(), L"ComboBox") == 0) {
        for (int i = 0, n = int(Send(window, CB_GETCOUNT, 0, 0)); i < n; ++i) {
            std::wstring item(size_t(Send(window, CB_GETLBTEXTLEN, WPARAM(i), 0)) + 1, L'\0');
            item.resize(size_t(Send(window, CB_GETLBTEXT, WPARAM(i), LPARAM(item.data()))));
            items += (i ? "," : "") + Json(item);
        }
        json += ",\"items\":[" + items + "]";
    }
    return json + ",\"parent\":" + Json(GetAncestor(window, GA_PARENT)) + ",\"id\":" + Json(GetDlgCtrlID(window) + 0LL) +
           ",\"text\":" + Json(TextOf(window)) + ",\"enabled\":" + Json(IsWindowEnabled(window) != FALSE) + "}";
}

std::string List(HWND parent) {
    std::vector<HWND> windows;
    const auto add = [](HWND window, LPARAM list) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
    };
    if (parent) EnumChildWindows(parent, add, LPARAM(&windows)); else EnumWindows(add, LPARAM(&windows));
    std::string json;
    for (HWND window : windows) json += (json.empty() ? "" : ",") + Describe(window, !parent);
    return "[" + json + "]";
}

// A missing field throws std::out_of_range through a.at().
std::string Run(const std::vector<std::wstring>& a) {
    const std::wstring& command = a[0];  // a line has at least one field
    if (command == L"windows") return List(nullptr);
    if (command == L"controls") return List(Window(a.at(1)));
    if (command == L"click") {
        const HWND button = Window(a.at(1));
        if (a.size() > 2) return Json(PostMessageW(button, BM_CLICK, 0, 0) != FALSE);
        bool timedOut = false;
        Send(button, BM_CLICK, 0, 0, &timedOut);
        return Json(!timedOut);
    }
    if (command == L"send" || command == L"post") {
        const HWND window = Window(a.at(1));
        const UINT message = UINT(Number(a.at(2)));
        const WPARAM wParam = WPARAM(Number(a.at(3)));
        const LPARAM lParam = LPARAM(Number(a.at(4)));
        if (command == L"post") return Json(PostMessageW(window, message, wParam, lParam) != FALSE);
        bool timedOut = false;
        const long long result = Send(window, message, wParam, lParam, &timedOut);
        if (timedOut) throw std::runtime_error("no answer within 10 s");
        return Json(result);
    }
    if (command == L"settext") return Json(Send(Window(a.at(1)), WM_SETTEXT, 0, LPARAM(a.at(2).c_str())) + 0LL);
    if (command == L"keystate") {
        const int vk = int(Number(a.at(1)));
        return "{\"down\":" + Json((GetAsyncKeyState(vk) & 0x8000) != 0) + ",\"toggled\":" + Json((GetKeyState(vk) & 1) != 0) + "}";
    }
    if (command == L"foreground") return Json(SetForegroundWindow(Window(a.at(1))) != FALSE);
    if (command.rfind(L"shell-", 0) == 0) return RunShellCommand(a);
    throw std::runtime_error("unknown command: " + Utf8(command));
}

void WriteLine(const std::string& line) { std::cout << line << std::endl; }

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && std::wcscmp(argv[1], L"keylog") == 0) return RunKeyLog(argv[2]);
    if ((argc == 4 || argc == 7) && std::wcscmp(argv[1], L"pattern") == 0) {
        const bool box = argc == 7;
        return RunPattern(_wtoi(argv[2]), _wtoi(argv[3]), box ? _wtoi(argv[4]) : 64, box ? _wtoi(argv[5]) : 64,
                          box ? int(std::wcstol(argv[6], nullptr, 16)) : -1);
    }
    if (argc != 2 || std::wcscmp(argv[1], L"serve") != 0) {
        WriteLine("usage: mxdriver serve | mxdriver keylog <file>");
        return 2;
    }
    for (std::string line; std::getline(std::cin, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::wstring> fields;
        for (size_t start = 0, tab = 0; tab != std::string::npos; start = tab + 1) {
            tab = line.find('\t', start);
            fields.push_back(Wide(line.substr(start, tab == std::string::npos ? tab : tab - start)));
        }
        try {
            WriteLine("{\"ok\":true,\"result\":" + Run(fields) + "}");
        } catch (const std::exception& failure) {
            WriteLine("{\"ok\":false,\"error\":" + Json(Wide(failure.what())) + "}");
        }
    }
    return 0;
}

// mxdriver: the end-to-end tests' helper inside the same Wine desktop as
// measurix.exe. It reads and drives other processes' windows, which only a
// Windows program can do.
//   mxdriver serve          commands on stdin, one per line, fields separated
//                           by tabs; one JSON answer line each:
//                           {"ok":true,"result":...} or {"ok":false,"error":"..."}
//   mxdriver keylog <file>  a focused window that logs the keys it receives
//   mxdriver pattern <x> <y>  a window of single-pixel colours (pattern_window.cpp)
// Commands (window handles as decimal numbers):
//   windows                 every top-level window, in Z order
//   controls <hwnd>         every descendant window
//   click <hwnd> [async]    a button's BM_CLICK, for other controls WM_COMMAND
//                           to the parent; async posts it (for modal dialogs)
//   send|post <hwnd> <msg> <wparam> <lparam>
//   settext <hwnd> <text>   WM_SETTEXT
//   keystate <vk>           {"down", "toggled"} as the system sees the key
//   foreground <hwnd>       SetForegroundWindow
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

int RunKeyLog(const wchar_t* logPath);
int RunPattern(int x, int y);
std::string RunShellCommand(const std::vector<std::wstring>& args);  // shell_commands.cpp

namespace {

struct Failure {
    std::string message;
};

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
    for (const char c : Utf8(text)) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", unsigned(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string Json(long long number) { return std::to_string(number); }
std::string Json(bool flag) { return flag ? "true" : "false"; }
std::string Json(HWND window) { return Json(static_cast<long long>(reinterpret_cast<intptr_t>(window))); }
std::string Json(const RECT& r) {
    return "[" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + "]";
}

long long Number(const std::wstring& text) {
    wchar_t* end = nullptr;
    const long long value = std::wcstoll(text.c_str(), &end, 0);
    if (text.empty() || *end != L'\0') throw Failure{"not a number: " + Utf8(text)};
    return value;
}

HWND Window(const std::wstring& text) {
    const HWND window = reinterpret_cast<HWND>(static_cast<intptr_t>(Number(text)));
    if (!IsWindow(window)) throw Failure{"no such window: " + Utf8(text)};
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

std::string Run(const std::vector<std::wstring>& a) {
    const std::wstring& command = a[0];  // a line has at least one field
    const auto arity = [&](size_t n) {
        if (a.size() != n + 1) throw Failure{"wrong number of arguments for " + Utf8(command)};
    };
    if (command == L"windows") return List(nullptr);
    if (command == L"controls") return arity(1), List(Window(a[1]));
    if (command == L"click") {
        if (a.size() < 2 || a.size() > 3) throw Failure{"usage: click <hwnd> [async]"};
        const HWND control = Window(a[1]);
        const bool button = _wcsicmp(ClassOf(control).c_str(), L"Button") == 0;
        const HWND target = button ? control : GetAncestor(control, GA_PARENT);
        const UINT message = button ? BM_CLICK : WM_COMMAND;
        const WPARAM wParam = button ? 0 : MAKEWPARAM(GetDlgCtrlID(control), BN_CLICKED);
        if (a.size() == 3) return Json(PostMessageW(target, message, wParam, LPARAM(button ? 0 : control)) != FALSE);
        bool timedOut = false;
        Send(target, message, wParam, LPARAM(button ? 0 : control), &timedOut);
        return Json(!timedOut);
    }
    if (command == L"send" || command == L"post") {
        arity(4);
        const HWND window = Window(a[1]);
        const UINT message = UINT(Number(a[2]));
        const WPARAM wParam = WPARAM(Number(a[3]));
        const LPARAM lParam = LPARAM(Number(a[4]));
        if (command == L"post") return Json(PostMessageW(window, message, wParam, lParam) != FALSE);
        bool timedOut = false;
        const long long result = Send(window, message, wParam, lParam, &timedOut);
        if (timedOut) throw Failure{"no answer within 10 s"};
        return Json(result);
    }
    if (command == L"settext") return arity(2), Json(Send(Window(a[1]), WM_SETTEXT, 0, LPARAM(a[2].c_str())) + 0LL);
    if (command == L"keystate") {
        arity(1);
        const int vk = int(Number(a[1]));
        return "{\"down\":" + Json((GetAsyncKeyState(vk) & 0x8000) != 0) + ",\"toggled\":" + Json((GetKeyState(vk) & 1) != 0) + "}";
    }
    if (command == L"foreground") return arity(1), Json(SetForegroundWindow(Window(a[1])) != FALSE);
    if (command.rfind(L"shell-", 0) == 0) return RunShellCommand(a);
    throw Failure{"unknown command: " + Utf8(command)};
}

void WriteLine(const std::string& line) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), (line + "\n").data(), DWORD(line.size() + 1), &written, nullptr);
}

bool ReadLine(std::string& line) {
    line.clear();
    for (char c = 0;;) {
        DWORD got = 0;
        if (!ReadFile(GetStdHandle(STD_INPUT_HANDLE), &c, 1, &got, nullptr) || got == 0) return !line.empty();
        if (c == '\n') return true;
        if (c != '\r') line += c;
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && std::wcscmp(argv[1], L"keylog") == 0) return RunKeyLog(argv[2]);
    if (argc == 4 && std::wcscmp(argv[1], L"pattern") == 0) return RunPattern(_wtoi(argv[2]), _wtoi(argv[3]));
    if (argc != 2 || std::wcscmp(argv[1], L"serve") != 0) {
        WriteLine("usage: mxdriver serve | mxdriver keylog <file>");
        return 2;
    }
    for (std::string line; ReadLine(line);) {
        std::vector<std::wstring> fields;
        for (size_t start = 0, tab = 0; tab != std::string::npos; start = tab + 1) {
            tab = line.find('\t', start);
            fields.push_back(Wide(line.substr(start, tab == std::string::npos ? tab : tab - start)));
        }
        try {
            WriteLine("{\"ok\":true,\"result\":" + Run(fields) + "}");
        } catch (const Failure& failure) {
            WriteLine("{\"ok\":false,\"error\":" + Json(Wide(failure.message)) + "}");
        }
    }
    return 0;
}

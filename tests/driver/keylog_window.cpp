// keylog: a plain application window that holds the keyboard focus and
// writes one line per key message it receives ("WM_KEYDOWN 144"), plus
// "WM_SETFOCUS"/"WM_KILLFOCUS" lines, so a test can see which keys reached
// applications and which were swallowed before them.
#include <cstdio>

#include "driver.h"

namespace {

HANDLE LogFile = INVALID_HANDLE_VALUE;

void Log(const std::string& line) {
    const std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(LogFile, text.data(), DWORD(text.size()), &written, nullptr);
}

const char* KeyMessageName(UINT message) {
    switch (message) {
        case WM_KEYDOWN: return "WM_KEYDOWN";
        case WM_KEYUP: return "WM_KEYUP";
        case WM_SYSKEYDOWN: return "WM_SYSKEYDOWN";
        case WM_SYSKEYUP: return "WM_SYSKEYUP";
        default: return nullptr;
    }
}

LRESULT CALLBACK KeyLogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (const char* name = KeyMessageName(message)) {
        Log(std::string(name) + " " + std::to_string(unsigned(wParam)));
        // Not passed on: the default handling of Alt would enter menu mode and
        // take the next keys away from this window.
        return 0;
    }
    switch (message) {
        case WM_SETFOCUS: Log("WM_SETFOCUS"); return 0;
        case WM_KILLFOCUS: Log("WM_KILLFOCUS"); return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int RunKeyLog(const std::wstring& title, const std::wstring& logPath) {
    LogFile = CreateFileW(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (LogFile == INVALID_HANDLE_VALUE) Fail("cannot open the log file " + Utf8(logPath));

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = KeyLogProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"MxDriverKeyLog";
    RegisterClassW(&windowClass);
    const HWND window = CreateWindowExW(0, windowClass.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 40, 40, 320,
                                        160, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window) Fail("cannot create the key log window");
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetFocus(window);
    UpdateWindow(window);

    const std::string ready = JsonObject()
                                  .Add("hwnd", window)
                                  .Add("foreground", GetForegroundWindow() == window)
                                  .Add("focus", GetFocus() == window)
                                  .Text() + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), ready.data(), DWORD(ready.size()), &written, nullptr);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    CloseHandle(LogFile);
    return 0;
}

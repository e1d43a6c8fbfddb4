// keylog: an application window with the focus that appends "ready <hwnd>",
// then "down <vk>" / "up <vk>" per key message it gets, to a file.
#include <windows.h>

#include <string>

namespace {

HANDLE Log = INVALID_HANDLE_VALUE;

void Write(const std::string& line) {
    DWORD written = 0;
    WriteFile(Log, (line + "\n").data(), DWORD(line.size() + 1), &written, nullptr);
}

LRESULT CALLBACK KeyLogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        // Not passed on: the default handling of Alt would enter menu mode
        // and take the next keys away from this window.
        case WM_KEYDOWN: case WM_SYSKEYDOWN: Write("down " + std::to_string(unsigned(wParam))); return 0;
        case WM_KEYUP: case WM_SYSKEYUP: Write("up " + std::to_string(unsigned(wParam))); return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int RunKeyLog(const wchar_t* logPath) {
    Log = CreateFileW(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (Log == INVALID_HANDLE_VALUE) return 1;
    WNDCLASSW windowClass{0, KeyLogProc, 0, 0, GetModuleHandleW(nullptr), nullptr, nullptr,
                          reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), nullptr, L"MxDriverKeyLog"};
    RegisterClassW(&windowClass);
    const HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Key log", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                        40, 40, 320, 160, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window) return 1;
    SetForegroundWindow(window);
    SetFocus(window);
    Write("ready " + std::to_string(reinterpret_cast<intptr_t>(window)));
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

// watch-windows: records every window that any other process of the desktop
// creates or shows, one line each in a log file, the fields separated by tabs:
//   create|show <hwnd> <pid> <top> <class> <title>
// (top: 1 for a top-level window), so a test can prove that a program made no
// window at all, even one that existed only for a moment. A window that is
// gone before the line is written shows pid 0 and no class. It prints
// {"ready":true} when the hook is set.
#include "driver.h"

#include <string>

namespace {

HANDLE WatchLog = INVALID_HANDLE_VALUE;

void CALLBACK WindowEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
    if (object != OBJID_WINDOW || child != CHILDID_SELF || !window) return;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t className[256] = {};
    GetClassNameW(window, className, int(std::size(className)));
    wchar_t title[256] = {};
    GetWindowTextW(window, title, int(std::size(title)));
    const bool topLevel = GetAncestor(window, GA_PARENT) == GetDesktopWindow();
    const std::string line = std::string(event == EVENT_OBJECT_CREATE ? "create" : "show") + "\t" +
                             std::to_string(reinterpret_cast<intptr_t>(window)) + "\t" + std::to_string(pid) + "\t" +
                             (topLevel ? "1" : "0") + "\t" + Utf8(className) + "\t" + Utf8(title) + "\n";
    DWORD written = 0;
    WriteFile(WatchLog, line.data(), DWORD(line.size()), &written, nullptr);
}

}  // namespace

int RunWindowWatch(const std::wstring& logPath) {
    WatchLog = CreateFileW(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (WatchLog == INVALID_HANDLE_VALUE) Fail("cannot open the log file " + Utf8(logPath));
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW, nullptr, WindowEvent, 0, 0,
                                               WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    if (!hook) Fail("cannot set the window event hook");
    const std::string ready = JsonObject().Add("ready", true).Text() + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), ready.data(), DWORD(ready.size()), &written, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    UnhookWinEvent(hook);
    CloseHandle(WatchLog);
    return 0;
}

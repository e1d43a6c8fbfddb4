// The options window's thread: started on demand, at most one at a time,
// with its own message loop so that the main thread keeps serving the hooks
// and the overlay while the user works in the options.
#include "options/options_window.h"

#include <windows.h>

#include "base/app_messages.h"
#include "options/measure_settings_window.h"
#include "options/options_frame_win.h"

std::atomic<WindowHandle> OptionsWindowHandle{nullptr};
std::atomic<bool> OptionsReady{false};
std::atomic<int32_t> OptionsThreadRunning{0};

namespace {

std::atomic<DWORD> OptionsThreadId{0};

// Opens (or presents) what a request asks for. Options thread.
void Serve(int32_t request) {
    if (request == OptionsThreadMeasureSettings) {
        CreateMeasureSettingsWindow();
        return;
    }
    if (OptionsWindowHandle.load() == nullptr) OptionsFrameProc(nullptr, MsgCreateOptions, 0, 0);
    PresentWindow(OptionsWindowHandle.load(), request == OptionsThreadFrameMinimized);
}

DWORD WINAPI OptionsThreadMain(void* parameter) {
    RegisterOptionsControls();
    OptionsThreadId = GetCurrentThreadId();
    Serve(int32_t(reinterpret_cast<intptr_t>(parameter)));

    MSG msg;
    for (;;) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1 || msg.message == WM_QUIT) break;
        if (msg.hwnd == nullptr && msg.message == MsgCreateOptions) {
            Serve(int32_t(msg.wParam));
            continue;
        }
        const auto frame = static_cast<HWND>(OptionsWindowHandle.load());
        if (frame != nullptr && IsDialogMessageW(frame, &msg)) continue;
        const HWND measure = MeasureSettingsWindow();
        if (measure != nullptr && IsDialogMessageW(measure, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }

    OptionsThreadId = 0;
    // The measure window first: its copy-key chooser belongs to the
    // chooser state that the Keyboard Shortcuts page releases.
    if (const HWND measure = MeasureSettingsWindow()) DestroyWindow(measure);
    if (const auto frame = static_cast<HWND>(OptionsWindowHandle.load())) DestroyWindow(frame);
    OptionsWindowHandle = nullptr;
    OptionsReady = false;
    // A refresh request still queued died with this thread's queue; let the
    // main thread post the next one to a new window.
    OptionsRefreshPending.exchange(0);
    OptionsThreadRunning.exchange(0);
    return 0;
}

}  // namespace

void PresentWindow(WindowHandle window, bool minimized) {
    const auto hwnd = static_cast<HWND>(window);
    const bool iconic = IsIconic(hwnd) != FALSE;
    if (minimized && !iconic) {
        ShowWindow(hwnd, SW_MINIMIZE);
    } else if (!minimized && iconic) {
        ShowWindow(hwnd, SW_RESTORE);
    }
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 1, 1, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
}

void OpenOptionsDialog(bool minimized) {
    OpenOptionsThreadWith(minimized ? OptionsThreadFrameMinimized : OptionsThreadFrame);
}

void OpenOptionsThreadWith(int32_t request) {
    int32_t expected = 0;
    if (!OptionsThreadRunning.compare_exchange_strong(expected, 1)) {
        // Open: present it. Starting or ending: nothing to present yet.
        const WindowHandle window = OptionsWindowHandle.load();
        if (request != OptionsThreadMeasureSettings && window != nullptr) {
            PresentWindow(window, request == OptionsThreadFrameMinimized);
        } else if (const DWORD thread = OptionsThreadId.load()) {
            PostThreadMessageW(thread, MsgCreateOptions, WPARAM(request), 0);
        }
        return;
    }
    void* parameter = reinterpret_cast<void*>(intptr_t(request));
    // If the thread cannot be created the flag stays set: the window then
    // cannot be opened until the program restarts, as with a failed frame.
    if (HANDLE thread = CreateThread(nullptr, 0, OptionsThreadMain, parameter, 0, nullptr)) CloseHandle(thread);
}

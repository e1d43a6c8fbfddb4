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

// Requests reach the running thread through a message-only window of its
// own. A thread message (PostThreadMessage) would be lost whenever the
// thread runs a modal loop (a message box, the font chooser, a window being
// moved): such a loop dispatches it to no window and drops it.
std::atomic<HWND> RequestWindow{nullptr};
constexpr wchar_t RequestWindowClass[] = L"MeasurixOptionsRequests";

// Opens (or presents) what a request asks for. Options thread.
void Serve(int32_t request) {
    if (request == OptionsThreadMeasureSettings) {
        CreateMeasureSettingsWindow();
        return;
    }
    if (OptionsWindowHandle.load() == nullptr) OptionsFrameProc(nullptr, MsgCreateOptions, 0, 0);
    PresentWindow(OptionsWindowHandle.load(), request == OptionsThreadFrameMinimized);
}

LRESULT CALLBACK RequestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != MsgCreateOptions) return DefWindowProcW(window, message, wParam, lParam);
    Serve(int32_t(wParam));
    return 0;
}

HWND CreateRequestWindow() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = RequestWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = RequestWindowClass;
    RegisterClassExW(&windowClass);  // fails harmlessly from the second thread on
    return CreateWindowExW(0, RequestWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           windowClass.hInstance, nullptr);
}

DWORD WINAPI OptionsThreadMain(void* parameter) {
    RegisterOptionsControls();
    const HWND requests = CreateRequestWindow();
    RequestWindow = requests;
    Serve(int32_t(reinterpret_cast<intptr_t>(parameter)));

    MSG msg;
    for (;;) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1 || msg.message == WM_QUIT) break;
        const auto frame = static_cast<HWND>(OptionsWindowHandle.load());
        if (frame != nullptr && IsDialogMessageW(frame, &msg)) continue;
        const HWND measure = MeasureSettingsWindow();
        if (measure != nullptr && IsDialogMessageW(measure, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }

    RequestWindow = nullptr;
    if (requests != nullptr) DestroyWindow(requests);
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
        } else if (const HWND requests = RequestWindow.load()) {
            PostMessageW(requests, MsgCreateOptions, WPARAM(request), 0);
        }
        return;
    }
    void* parameter = reinterpret_cast<void*>(intptr_t(request));
    // If the thread cannot be created the flag stays set: the window then
    // cannot be opened until the program restarts, as with a failed frame.
    if (HANDLE thread = CreateThread(nullptr, 0, OptionsThreadMain, parameter, 0, nullptr)) CloseHandle(thread);
}

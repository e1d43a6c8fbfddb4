// The program's entry and main thread: command line, single instance,
// start-up, the main message loop and the shut-down order.
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/copy_measurement_win.h"
#include "app/log_off.h"
#include "app/main_window.h"
#include "app/mouse_speed.h"
#include "app/ruler_control.h"
#include "app/tray_icon_win.h"
#include "base/app_messages.h"
#include "input/input_hooks.h"
#include "measure/kept_measurement.h"
#include "options/measure_settings_window.h"
#include "options/options_window.h"
#include "overlay/display_object.h"
#include "platform/win32/text_win32.h"
#include "settings/self_start.h"
#include "settings/settings.h"

void* ModuleHandle = nullptr;

namespace {

constexpr wchar_t ErrorCaption[] = L"Measurix - Error";
constexpr wchar_t InstancePrefix[] = L"Measurix";
constexpr UINT_PTR PollTimerRequestedId = 1;
// How long an exit or restart request waits for the running instance to
// end; one that hangs longer is left to whoever asked.
constexpr DWORD ExitWaitMs = 10000;

UINT_PTR PollTimerId = 0;
// The request (exit, restart) that ends the main loop; 0 while none came.
intptr_t EndRequest = 0;

// Posts the instance request to every top-level window whose title begins
// with "Measurix"; the options window matches too and ignores it.
BOOL CALLBACK PostInstanceRequest(HWND window, LPARAM request) {
    wchar_t title[16] = {};
    const int prefixLength = int(std::size(InstancePrefix) - 1);
    if (GetWindowTextW(window, title, int(std::size(title))) >= prefixLength &&
        wcsncmp(title, InstancePrefix, size_t(prefixLength)) == 0) {
        PostMessageW(window, MsgInstanceRequest.load(), 0, request);
    }
    return TRUE;
}

std::vector<std::string> CommandLineArguments() {
    std::vector<std::string> arguments;
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!argv) return arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(Utf8FromWide(argv[i]));
    LocalFree(argv);
    return arguments;
}

// The program's own messages to the main window. The main loop takes them
// itself; while a modal loop runs on this thread (the icon's menu) they are
// dispatched to the window instead, and must not be lost there: a lost one
// would leave its pending flag set and silence its kind of event for good.
bool HandleAppMessage(UINT message) {
    switch (message) {
        case MsgKeyEvent:
            ClearKeyPending();
            ArmPollTimer();
            EvaluateRulerState(false);
            return true;
        case MsgPointerEvent:
            ClearPointerPending();
            ArmPollTimer();
            if (RulerOn) PollModes();
            return true;
        case MsgCopyMeasurement:
            CopyPending.store(0);
            if (RulerOn) CopyMeasurementToClipboard();  // the key acts only while the ruler shows
            return true;
        case MsgPinMeasurement:
            PinPending.store(0);
            if (RulerOn) PinLiveMeasurement();
            return true;
        case MsgClearPins:
            ClearPinsPending.store(0);
            if (RulerOn) ClearPins();
            return true;
        case MsgSaveSettings:
            SavePending.store(0);
            SettingsExchange(true);
            return true;
        default:
            return false;
    }
}

// A request of another instance, of the options window's exit button or of
// the icon's menu, posted to the main window. The main loop dispatches it
// here, and so does any modal loop running on this thread meanwhile (the
// icon's menu, a message box). An end request ends such a loop at once: the
// menu by EndMenu, any loop by WM_QUIT, which each passes on until the main
// loop sees it; the main loop then ends without registering the autostart.
void TakeInstanceRequest(intptr_t request) {
    if (request == 0) {
        OpenOptionsDialog(false);
        return;
    }
    EndRequest = request;
    EndByRequest(request);
    EndMenu();
    PostQuitMessage(0);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (HandleAppMessage(message)) return 0;
    if (message == MsgEndSession) {
        LogOffHandling();
        return 0;
    }
    if (message == MsgInstanceRequest.load()) {
        TakeInstanceRequest(lParam);
        return 0;
    }
    if (message == MsgUseHooksChanged) {
        const bool wanted = wParam != 0;
        if (wanted != Settings.usehooks.load()) {
            if (Settings.usehooks.load()) SetInputMonitoring(false);
            Settings.usehooks = wanted;
            if (wanted) SetInputMonitoring(true);
        }
        return 1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void CALLBACK PollTimerProc(HWND, UINT, UINT_PTR, DWORD) { PollTimerTick(); }

void RestoreMouseSpeedAtExit() { SetSlowMouse(false); }

// Runs until the loop ends. An end from the system (quit, log-off, a failed
// wait) registers the autostart; a request of another instance or of the
// options window's exit button does not.
void RunMainLoop() {
    MSG msg;
    while (EndRequest == 0) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1 || msg.message == WM_ENDSESSION) {
            if (EndRequest == 0) RegisterAutostart();
            break;
        }
        if (HandleAppMessage(msg.message)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace

void ArmPollTimer() {
    // A thread timer keeps its id when it is set again, so there is only ever one.
    PollTimerId = SetTimer(nullptr, PollTimerId ? PollTimerId : PollTimerRequestedId, RulerOn ? 100 : 1000,
                           PollTimerProc);
}

void SetInputMonitoring(bool install) {
    if (!Settings.usehooks.load()) return;
    const bool keyboard = InstallKeyboardHook(ModuleHandle, install);
    const bool mouse = InstallMouseHook(ModuleHandle, install);
    if (install && !(keyboard && mouse)) {
        MessageBoxW(nullptr, L"Failed to set low level input monitoring.", ErrorCaption, MB_OK);
    }
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Process-wide state that exists before anything else runs: a first start
    // shows the ruler whatever the Num Lock light says, and the last switch-off
    // is "now" so that an early switch-off measures from the start.
    Settings.invert = (GetKeyState(VK_NUMLOCK) & 1) == 0;
    PerfClock::Now(LastOffClock);

    ModuleHandle = instance;

    const CommandLineWords words = ParseCommandLine(CommandLineArguments());
    if (words.unknown) {
        const std::wstring text = L"Unknown command line option: " + WideFromUtf8(*words.unknown);
        MessageBoxW(nullptr, text.c_str(), ErrorCaption, MB_OK);
        return -1;
    }

    MsgInstanceRequest = RegisterWindowMessageW(L"MeasurixWinMessageNr");
    // Kept open until the process ends: it marks the running instance.
    HANDLE instanceMutex = CreateMutexW(nullptr, TRUE, L"MeasurixMainMutex");
    const bool otherInstance = instanceMutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
    const InstanceDecision decision = DecideInstance(otherInstance, words);
    if (decision.request) EnumWindows(PostInstanceRequest, *decision.request);
    // The running instance owns the mutex until its process ends (abandoned then).
    if (decision.waitForEnd) WaitForSingleObject(instanceMutex, ExitWaitMs);
    if (!decision.keepRunning) return 0;

    HWND mainWindow = CreateWindowExW(0, L"STATIC", L"Measurix", 0, 0, 0, 10, 10, nullptr, nullptr, instance, nullptr);
    SetWindowLongPtrW(mainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MainWindowProc));
    MainWindow = mainWindow;

    DisplayStart();
    SettingsExchange(false);
    RestoreFlag = false;
    MeasurementKept = RefreshMeasureSettingsWindow;
    SetInputMonitoring(true);
    EvaluateRulerState(true);
    ArmPollTimer();
    StartTrayIcon();
    OpenOptionsDialog(words.hide);
    std::atexit(RestoreMouseSpeedAtExit);

    RunMainLoop();

    StopTrayIcon();

    SetSlowMouse(false);
    SettingsExchange(true);  // writes nothing while a restart with defaults is pending
    SetInputMonitoring(false);
    DisplayShutdown();
    return 0;
}

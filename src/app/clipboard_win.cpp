#include "app/clipboard_win.h"

#include <windows.h>

#include <cstring>

#include "base/app_messages.h"
#include "platform/win32/text_win32.h"

namespace {

// A program that holds the clipboard open usually lets it go within a few
// milliseconds; after about a quarter of a second it is not coming back soon.
constexpr UINT RetryMs = 25;
constexpr int MaxAttempts = 10;

std::wstring PendingText;
int AttemptsLeft = 0;
UINT_PTR RetryTimer = 0;

bool TryPutText(const std::wstring& text) {
    if (!OpenClipboard(static_cast<HWND>(MainWindow.load()))) return false;
    bool done = false;
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        if (void* target = GlobalLock(memory)) {
            std::memcpy(target, text.c_str(), bytes);
            GlobalUnlock(memory);
            done = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        }
        if (!done) GlobalFree(memory);  // the clipboard owns it only after a successful set
    }
    CloseClipboard();
    return done;
}

void StopRetrying() {
    if (RetryTimer) KillTimer(nullptr, RetryTimer);
    RetryTimer = 0;
    AttemptsLeft = 0;
    PendingText.clear();
}

void CALLBACK RetryTick(HWND, UINT, UINT_PTR, DWORD) {
    if (TryPutText(PendingText) || --AttemptsLeft <= 0) StopRetrying();
}

}  // namespace

void CopyTextToClipboard(const std::string& text) {
    StopRetrying();  // a newer copy replaces one still waiting
    const std::wstring wide = WideFromUtf8(text);
    if (TryPutText(wide)) return;
    PendingText = wide;
    AttemptsLeft = MaxAttempts;
    RetryTimer = SetTimer(nullptr, 0, RetryMs, RetryTick);
    if (!RetryTimer) StopRetrying();
}

// mxdriver's clipboard commands, each answering null while another program holds it open:
//   shell-clipboard            the CF_UNICODETEXT text as UTF-16 code units, [] when there is none
//   shell-clipboard-empty      empties it
//   shell-hold-clipboard <ms>  keeps it open that long, as a program that does not let go of it
#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

std::string RunShellCommand(const std::vector<std::wstring>& a) {
    // Wine lets any number of openers in when each names no window: open it
    // with a window of our own, as programs do.
    static const HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (!OpenClipboard(window)) return "null";
    std::string result = "[";
    if (a[0] == L"shell-clipboard-empty") EmptyClipboard();
    if (a[0] == L"shell-hold-clipboard") Sleep(DWORD(a.size() > 1 ? std::wcstoul(a[1].c_str(), nullptr, 10) : 0));
    const HANDLE data = a[0] == L"shell-clipboard" ? GetClipboardData(CF_UNICODETEXT) : nullptr;
    if (const auto* chars = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr) {
        for (const wchar_t* c = chars; *c; ++c) result += (c == chars ? "" : ",") + std::to_string(unsigned(*c));
        GlobalUnlock(data);
    }
    CloseClipboard();
    // Emptied with our window, the clipboard would stay ours, and the next
    // program to empty it would wait for an answer this process, busy with
    // its commands, never gives: emptied again by no window, it has no owner.
    if (a[0] == L"shell-clipboard-empty" && OpenClipboard(nullptr)) EmptyClipboard(), CloseClipboard();
    return result + "]";
}

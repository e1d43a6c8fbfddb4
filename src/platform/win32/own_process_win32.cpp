// The program's own path and starting a program, with Win32.
#include <windows.h>
#include <shellapi.h>

#include "platform/own_process.h"
#include "platform/win32/text_win32.h"

namespace platform {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 on Windows");

OwnProcessSource OwnProcess = {
    [](char16_t* buffer, uint32_t capacity) {
        return uint32_t(GetModuleFileNameW(nullptr, reinterpret_cast<wchar_t*>(buffer), capacity));
    },
    [](const char* file, const char* parameters) {
        const std::wstring wideFile = WideFromUtf8(file);
        const std::wstring wideParameters = WideFromUtf8(parameters);
        const HINSTANCE result = ShellExecuteW(nullptr, L"open", wideFile.c_str(), wideParameters.c_str(), nullptr,
                                               SW_SHOWNORMAL);
        return reinterpret_cast<INT_PTR>(result) > 32;
    },
};

}  // namespace platform

#include "settings/self_start.h"

#include <vector>

#include "platform/key_value_store.h"
#include "platform/own_process.h"
#include "settings/reg_key.h"
#include "settings/settings.h"
#include "settings/utf16_text.h"

std::atomic<bool> AutostartRegistered{false};

namespace {

constexpr uint32_t FirstPathCapacity = 260;  // MAX_PATH
// Far beyond the longest path the system allows (32767 units); a source
// that keeps reporting a cut path past this is not believed any longer.
constexpr uint32_t LastPathCapacity = 1u << 17;

// Reads the path into a buffer that doubles until the path fits.
std::u16string ReadModulePath() {
    std::vector<char16_t> buffer;
    for (uint32_t capacity = FirstPathCapacity; capacity <= LastPathCapacity; capacity *= 2) {
        buffer.assign(capacity, u'\0');
        const uint32_t length = platform::OwnProcess.moduleFileName(buffer.data(), capacity);
        if (length == 0) return {};
        if (length < capacity) return std::u16string(buffer.data(), length);
    }
    return {};
}

}  // namespace

std::string GetOwnCommandLine(const char* arguments) {
    const std::string path = Utf8FromUtf16(ReadModulePath());
    if (!arguments) return path;
    const bool quoted = !path.empty() && path.front() == '"';
    return (quoted ? path : '"' + path + '"') + ' ' + arguments;
}

void RegisterAutostart() {
    if (!Settings.autostart.load() || AutostartRegistered.exchange(true)) return;
    const std::u16string text = Utf16FromUtf8(GetOwnCommandLine("-hide"));
    // REG_SZ data: UTF-16LE with the terminating zero, sized in bytes.
    std::vector<uint8_t> data;
    for (char16_t unit : text) {
        data.push_back(uint8_t(unit));
        data.push_back(uint8_t(unit >> 8));
    }
    data.push_back(0);
    data.push_back(0);
    SetValueAtPath(nullptr, {"Software", "Microsoft", "Windows", "CurrentVersion", "RunOnce"}, "Measurix",
                   data.data(), uint32_t(data.size()), platform::StoreString, true);
}

void RestoreDefaultsAndRestart() {
    MarkRestorePending();
    const std::string path = GetOwnCommandLine(nullptr);
    platform::OwnProcess.shellOpen(path.c_str(), "-restart");
}

#include "fakes/fake_own_process.h"

#include <algorithm>

#include "platform/own_process.h"

FakeOwnProcessState FakeOwnProcess;

namespace platform {

// Behaves like GetModuleFileNameW: a cut path fills the buffer and reports its size.
OwnProcessSource OwnProcess = {
    [](char16_t* buffer, uint32_t capacity) {
        const std::u16string& path = FakeOwnProcess.modulePath;
        const uint32_t n = uint32_t(std::min<size_t>(path.size(), capacity));
        std::copy_n(path.begin(), n, buffer);
        if (n < capacity) buffer[n] = u'\0';
        return n;
    },
    [](const char* file, const char* parameters) {
        FakeOwnProcess.started.emplace_back(file, parameters);
        return true;
    },
};

}  // namespace platform

#include "fakes/fake_own_process.h"

#include <algorithm>

#include "platform/own_process.h"

FakeOwnProcessState FakeOwnProcess;

void ResetFakeOwnProcess() { FakeOwnProcess = FakeOwnProcessState{}; }

namespace platform {

// Behaves like GetModuleFileNameW: a cut path fills the buffer and reports
// the buffer's size.
OwnProcessSource OwnProcess = {
    [](char16_t* buffer, uint32_t capacity) {
        const std::u16string& path = FakeOwnProcess.modulePath;
        if (path.size() >= capacity) {
            std::copy_n(path.begin(), capacity, buffer);
            return capacity;
        }
        std::copy(path.begin(), path.end(), buffer);
        buffer[path.size()] = u'\0';
        return uint32_t(path.size());
    },
    [](const char* file, const char* parameters) {
        FakeOwnProcess.started.emplace_back(file, parameters);
        return true;
    },
};

}  // namespace platform

#include "base/app_messages.h"

#include "platform/window_messages.h"

std::atomic<WindowHandle> MainWindow{nullptr};
std::atomic<uint32_t> MsgInstanceRequest{0};
std::atomic<int32_t> KeyPending{0};
std::atomic<int32_t> PointerPending{0};
std::atomic<int32_t> SavePending{0};
std::atomic<int32_t> OptionsRefreshPending{0};
std::atomic<int32_t> CopyPending{0};
std::atomic<int32_t> PinPending{0};
std::atomic<int32_t> ClearPinsPending{0};

int32_t PostOnce(WindowHandle window, uint32_t message, std::atomic<int32_t>& flag) {
    int32_t expected = 0;
    if (!flag.compare_exchange_strong(expected, 1)) {
        return expected;
    }
    if (platform::Messages.post(window, message, 0, 0)) {
        return 1;
    }
    flag.store(0);
    return 0;
}

int32_t ClearKeyPending() { return KeyPending.exchange(0); }

int32_t ClearPointerPending() { return PointerPending.exchange(0); }

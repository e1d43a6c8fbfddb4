// Posting window messages, the one window-manager call that platform-free
// logic makes (PostOnce, the save request). The Windows program links the
// Win32 version; the unit tests link a fake that records the posts.
#pragma once
#include <cstdint>

#include "platform/types.h"

namespace platform {

struct WindowMessages {
    // PostMessageW: true when the message was queued.
    bool (*post)(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
};

extern WindowMessages Messages;

}  // namespace platform

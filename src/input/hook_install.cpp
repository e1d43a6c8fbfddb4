// The two hook handles and the bookkeeping around installing and removing
// the hooks. The system calls themselves come from the caller.
#include <atomic>

#include "base/app_messages.h"
#include "input/hook_lock.h"
#include "input/hotkey_bindings.h"
#include "input/input_hooks.h"
#include "input/key_press_memory.h"

namespace {

// Changed only under the HookLock; atomic so that KeyboardHookInstalled may
// read the keyboard handle without it.
std::atomic<void*> KeyboardHookHandle{nullptr};
std::atomic<void*> MouseHookHandle{nullptr};

}  // namespace

bool KeyboardHookInstalled() { return KeyboardHookHandle.load() != nullptr; }

bool ChangeHook(HookKind kind, void* instance, bool install, SetHookCall setHook, RemoveHookCall removeHook) {
    if (!AcquireHookLock(HookInstallLockMs)) return false;
    std::atomic<void*>& handle = kind == HookKind::Keyboard ? KeyboardHookHandle : MouseHookHandle;
    bool result = true;
    if (install) {
        if (!handle.load()) {
            // A message lost while the hook was off must not block later ones.
            if (kind == HookKind::Keyboard) {
                ClearKeyPending();
                // Key events missed while the hook was off would leave stale
                // down flags: start the key state afresh.
                ResetKeyStates();
            } else {
                ClearPointerPending();
                ForgetPointerReports();
            }
            handle.store(setHook(instance));
            result = handle.load() != nullptr;
        }
    } else if (void* old = handle.exchange(nullptr)) {
        // Without the hook its record of held keys goes stale, and so does
        // the mouse hook's of the pointer.
        ForgetKeyPresses();
        if (kind == HookKind::Mouse) ForgetPointerReports();
        // Forgotten even when the removal fails, so that a later install
        // creates a new hook.
        result = removeHook(old);
    }
    ReleaseHookLock();
    return result;
}

#include "options/keyboard_page_rules.h"

bool DeadKeyForbidden(const HotkeyBinding& binding) {
    switch (binding.code) {
    case 0x01: return binding.mods == 0;
    case 0x10:
    case 0x11:
    case 0x12:
    case CodeAlwaysDown: return true;
    default: return false;
    }
}

KeyRowRefresh DecideKeyRowRefresh(int32_t role, const HotkeyBinding& binding, bool useHooks) {
    KeyRowRefresh result;
    bool allowed = useHooks;
    if (DeadKeyForbidden(binding)) {
        result.clearDead = binding.dead;
        allowed = false;
    }
    result.enableDead = allowed;
    if (!useHooks && binding.code > 0xFF && !(binding.code & CodeNoKeyFlag) && binding.code != CodeAlwaysDown) {
        result.replaceBinding = true;
        result.replacementCode = role == ToggleRuler ? 0x90 : ((binding.code | CodeNoKeyFlag) & 0xFFFF);
    }
    return result;
}

bool ToggleAfterKeyChosen(bool toggle, uint32_t k) {
    if (toggle && k == CodeMouseWheel) return false;
    if (!toggle && IsLockKey(k)) return true;
    return toggle;
}

#include "input/hotkey_chooser.h"

#include <array>
#include <span>

#include "platform/key_state.h"
#include "platform/system_metrics.h"

namespace {

// Keys offered together with a key of the same group, group by group.
constexpr std::array<uint32_t, 6> MouseGroup = {0x01, 0x02, 0x04, 0x05, 0x06, CodeMouseWheel};
constexpr std::array<uint32_t, 5> SpecialGroup = {0x5B, 0x5C, 0x5D, 0x1B, 0x09};
constexpr std::array<uint32_t, 4> LockGroup = {0x14, 0x90, 0x91, 0x2D};
constexpr std::array<uint32_t, 8> ModifierGroup = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0x5B, 0x5C};
constexpr std::array<uint32_t, 18> ToggleGroup = {0x13, 0x2C, 0x14, 0x90, 0x91, 0x2D, 0xA0, 0xA1, 0xA2,
                                                  0xA3, 0xA4, 0xA5, 0x5B, 0x5C, 0x02, 0x04, CodeMouseWheel,
                                                  CodeMouseHWheel};
constexpr std::array<uint32_t, 8> NavigationGroup = {0x25, 0x27, 0x26, 0x28, 0x21, 0x22, 0x24, 0x23};

constexpr std::array<std::span<const uint32_t>, 6> SuggestionGroups = {
    std::span<const uint32_t>(MouseGroup),    std::span<const uint32_t>(SpecialGroup),
    std::span<const uint32_t>(LockGroup),     std::span<const uint32_t>(ModifierGroup),
    std::span<const uint32_t>(ToggleGroup),   std::span<const uint32_t>(NavigationGroup),
};
constexpr size_t ModifierGroupIndex = 3;

constexpr uint32_t AltGrCode = 0xA5;

// The rebuild's list: each key once, Always Down only as the first item.
class CandidateList {
public:
    void Add(uint32_t code, uint16_t mods) {
        if (code == CodeAlwaysDown && mods == 0 && !items_.empty()) return;
        if (items_.size() >= size_t(MaxComboCandidates)) return;
        const uint32_t key = ComboItemData(code, mods);
        for (const ComboCandidate& item : items_) {
            if (ComboItemData(item.code, item.mods) == key) return;
        }
        items_.push_back({code, mods});
    }
    std::vector<ComboCandidate> Take() { return std::move(items_); }

private:
    std::vector<ComboCandidate> items_;
};

bool IsGenericModifier(uint32_t code) { return SidedKeyOf(code, true) != code; }

bool IsSidedModifier(uint32_t code) { return code != AltGrCode && GenericKeyOf(code) != code; }

uint16_t LowestBit(uint16_t bits) { return uint16_t(bits & -bits); }

uint16_t HighestBit(uint16_t bits) {
    uint16_t bit = 0;
    while (bits) {
        bit = LowestBit(bits);
        bits = uint16_t(bits & ~bit);
    }
    return bit;
}

// The binding itself, then ever more general forms of it, its modifier
// subsets and, for a generic modifier, both of its sides.
void AddVariants(CandidateList& list, uint32_t code, uint16_t mods) {
    code &= ~CodeNoKeyFlag;
    list.Add(code, mods);

    uint32_t general = code;
    uint16_t generalMods = mods;
    for (int guard = 0; guard < 4; ++guard) {
        const uint16_t ownBit = ModifierBitOf(general);
        if (IsSidedModifier(general)) {
            general = GenericKeyOf(general);
            generalMods = uint16_t(generalMods & ~ownBit);
            if (generalMods == 0) {
                general = CodeAlwaysDown;
                generalMods = ownBit;
            }
        } else if ((IsGenericModifier(general) || general == AltGrCode) && generalMods != 0 &&
                   generalMods != ownBit) {
            general = CodeAlwaysDown;
            generalMods = uint16_t(generalMods | ownBit);
        } else {
            break;
        }
        list.Add(general, generalMods);
    }

    if (code != CodeAlwaysDown) {
        for (uint16_t subset = mods; subset != 0;) {
            subset = uint16_t(subset & ~LowestBit(subset));
            list.Add(code, subset);
        }
    }

    uint32_t sideCode = code;
    uint16_t sideMods = mods;
    if (code == CodeAlwaysDown && mods != 0) {
        const uint16_t bit = HighestBit(mods);
        sideCode = KeyOfModifierBit(bit);
        sideMods = uint16_t(mods & ~bit);
    }
    if (IsGenericModifier(sideCode)) {
        list.Add(SidedKeyOf(sideCode, true), sideMods);
        list.Add(SidedKeyOf(sideCode, false), sideMods);
    }
}

// Whether the system (and, for the wheels, the hooks) can deliver the key.
bool KeyAvailable(uint32_t code, bool useHooks) {
    using namespace platform;
    switch (code) {
    case CodeMouseWheel: return useHooks && Metrics.get(MetricMouseWheelPresent) != 0;
    case CodeMouseHWheel: return useHooks && Metrics.get(MetricMouseHWheelPresent) != 0;
    case 0x01: return Metrics.get(MetricCMouseButtons) >= 1;
    case 0x02: return Metrics.get(MetricCMouseButtons) >= 2;
    case 0x04: return Metrics.get(MetricCMouseButtons) >= 3;
    case 0x05: return Metrics.get(MetricCMouseButtons) >= 4;
    case 0x06: return Metrics.get(MetricCMouseButtons) >= 5;
    default: return true;
    }
}

bool GroupHolds(std::span<const uint32_t> group, uint32_t code) {
    for (uint32_t member : group) {
        if (member == code) return true;
    }
    return false;
}

void AddSuggestions(CandidateList& list, uint32_t code, uint16_t mods, bool useHooks) {
    if (code == CodeAlwaysDown) {
        for (uint16_t bit : {ModAlt, ModCtrl, ModShift, ModWindows, ModAltGr}) list.Add(CodeAlwaysDown, bit);
    }
    for (size_t g = 0; g < SuggestionGroups.size(); ++g) {
        const std::span<const uint32_t> group = SuggestionGroups[g];
        const bool applies = code == CodeAlwaysDown ? g == ModifierGroupIndex : GroupHolds(group, code);
        if (!applies) continue;
        for (uint32_t member : group) {
            if (KeyAvailable(member, useHooks)) list.Add(member, mods);
        }
    }
}

}  // namespace

std::vector<ComboCandidate> BuildComboCandidates(uint32_t code, uint16_t mods, uint32_t initialCode,
                                                 uint16_t initialMods, bool useHooks) {
    CandidateList list;
    AddVariants(list, code, mods);
    AddVariants(list, initialCode, initialMods);
    AddSuggestions(list, code, mods, useHooks);
    AddSuggestions(list, initialCode, initialMods, useHooks);
    return list.Take();
}

ComboKeyDecision DecideComboKey(uintptr_t wParam, int32_t& lastCapturedPress, bool useHooks) {
    const uint32_t code = uint32_t(wParam & 0xFFFF);
    const bool release = ((wParam >> 16) & 0xFFFF) != 0;
    if (code < 0x100) {
        if (!release) {
            if (int32_t(code) == lastCapturedPress) return {ComboKeyAction::Ignore, code};
            lastCapturedPress = int32_t(code);
        } else {
            lastCapturedPress = -1;
        }
    }
    // The wheels and the either-Windows key only exist through the hooks.
    if (code > 0xFF && !(code & CodeNoKeyFlag) && code != CodeAlwaysDown && !useHooks) {
        return {ComboKeyAction::Ignore, code};
    }
    return {release ? ComboKeyAction::EndCapture : ComboKeyAction::StoreBinding, code};
}

bool ComboTakesWindowKey(uint32_t virtualKey) {
    constexpr uint32_t Tab = 0x09, Enter = 0x0D, Esc = 0x1B;
    return virtualKey != Tab && virtualKey != Enter && virtualKey != Esc;
}

uint32_t WindowMessageKeyCode(uint32_t virtualKey, bool release) {
    if (!release && virtualKey >= 0x10 && virtualKey <= 0x12) {
        const uint32_t right = SidedKeyOf(virtualKey, false);
        const bool rightDown = (platform::KeyStates.keyState(int32_t(right)) & 0x8000) != 0;
        return rightDown ? right : SidedKeyOf(virtualKey, true);
    }
    return SidedKeyOf(virtualKey, true);
}

bool AnyVirtualKeyDown() {
    for (int32_t key = 0; key <= 0xFF; ++key) {
        if (platform::KeyStates.keyState(key) & 0x8000) return true;
    }
    return false;
}

namespace {

HotkeyBinding StoreAndReread(HotkeyBinding* target, const HotkeyBinding& source) {
    SetBinding(target, source);
    HotkeyBinding stored;
    GetBinding(target, stored, false);
    return stored;
}

}  // namespace

HotkeyBinding StoreChosenBinding(int32_t role, uint32_t code, uint16_t mods) {
    HotkeyBinding* target = BindingAt(role);
    HotkeyBinding copy;
    if (!target) return copy;
    GetBinding(target, copy, false);
    copy.code = code;
    copy.mods = mods;
    return StoreAndReread(target, copy);
}

HotkeyBinding ApplyComboSelection(int32_t role, int32_t sel, uint32_t itemData) {
    HotkeyBinding* target = BindingAt(role);
    HotkeyBinding copy;
    if (!target) return copy;
    GetBinding(target, copy, false);
    if (sel >= ComboFirstCandidate) {
        copy.code = ItemDataCode(itemData);
        copy.mods = ItemDataMods(itemData);
    } else {
        copy.code |= CodeNoKeyFlag;
    }
    return StoreAndReread(target, copy);
}

bool StoreDeadFlag(int32_t role, bool dead, HotkeyBinding& binding) {
    HotkeyBinding* target = BindingAt(role);
    binding = HotkeyBinding{};
    if (!target) return false;
    GetBinding(target, binding, false);
    if (binding.dead == dead) return false;
    binding.dead = dead;
    SetBinding(target, binding);
    return true;
}

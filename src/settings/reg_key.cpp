#include "settings/reg_key.h"

void RegKey::Adopt(platform::StoreKey key) {
    Close();
    key_ = key;
    open_ = key != nullptr;
}

bool RegKey::Close() {
    if (!open_) return false;
    open_ = false;
    const platform::StoreKey key = key_;
    key_ = nullptr;
    return platform::KeyValues.closeKey(key);
}

platform::StoreKey RegKey::Release() {
    const platform::StoreKey key = key_;
    key_ = nullptr;
    open_ = false;
    return key;
}

bool OpenSettingsKey(RegKey& into, const char* name) {
    return OpenKeyPath(into, nullptr, {"Software", name}, true);
}

bool OpenKeyPath(RegKey& out, platform::StoreKey root, std::initializer_list<const char*> path, bool create) {
    out.Close();
    RegKey current;
    platform::StoreKey parent = root;
    for (const char* name : path) {
        const platform::StoreKey child = platform::KeyValues.openKey(parent, name, create);
        if (!child) return false;  // `current` closes the parent
        current.Adopt(child);      // closes the parent, now that its child is open
        parent = child;
    }
    if (!current.IsOpen()) return false;
    out.Adopt(current.Release());
    return true;
}

bool SetValueAtPath(platform::StoreKey root, std::initializer_list<const char*> path, const char* name,
                    const uint8_t* data, uint32_t size, uint32_t type, bool create) {
    RegKey key;
    if (!OpenKeyPath(key, root, path, create)) return false;
    return platform::KeyValues.writeValue(key.Handle(), name, type, data, size);
}

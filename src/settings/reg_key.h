// Owning handles to keys of the settings store and the helpers that open a
// key by path and write one value at a path.
#pragma once
#include <cstdint>
#include <initializer_list>

#include "platform/key_value_store.h"

// An open key, closed when its owner leaves scope (also on an exception).
// Not copyable: two owners would close the same key twice.
class RegKey {
public:
    RegKey() = default;
    ~RegKey() { Close(); }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    // Takes ownership of an open key (closing the one held before).
    void Adopt(platform::StoreKey key);
    // Closes the key; false when it was not open or the store refused.
    bool Close();
    // Gives the key up without closing it; the caller owns it from then on.
    platform::StoreKey Release();
    bool IsOpen() const { return open_; }
    platform::StoreKey Handle() const { return key_; }

private:
    bool open_ = false;
    platform::StoreKey key_ = nullptr;
};

// The key that holds every setting: Software\Measurix of the current user.
constexpr const char* SettingsKeyName = "Measurix";

// Creates or opens Software\<name> of the current user into `into`; the key
// counts as open only when both steps succeeded. Loads use it too, so even a
// load creates a missing key.
bool OpenSettingsKey(RegKey& into, const char* name);

// Opens (with create: creates where missing) each name of `path` under the
// one before, starting at `root` (nullptr: the current user's root), closing
// each parent once its child is open. On any failure `out` is left closed.
bool OpenKeyPath(RegKey& out, platform::StoreKey root, std::initializer_list<const char*> path, bool create);

// Opens the key at `path` and writes one value there; true when the write
// succeeded.
bool SetValueAtPath(platform::StoreKey root, std::initializer_list<const char*> path, const char* name,
                    const uint8_t* data, uint32_t size, uint32_t type, bool create);

// The per-user key-value store behind the settings (the registry on Windows):
// keys that hold typed values, addressed by name. The Windows program links
// src/platform/win32/registry_store_win32.cpp; the unit tests link an
// in-memory fake (tests/fakes/fake_key_value_store.cpp).
#pragma once
#include <cstdint>

namespace platform {

// An open key (HKEY on Windows). Opaque to the logic.
using StoreKey = void*;

// Value types, numbered as the registry numbers them.
constexpr uint32_t StoreString = 1;  // REG_SZ: UTF-16LE, zero-terminated
constexpr uint32_t StoreBinary = 3;  // REG_BINARY
constexpr uint32_t StoreDword = 4;   // REG_DWORD: 32-bit little-endian

struct KeyValueStore {
    // Opens the subkey `name` under `parent` (nullptr: the current user's root)
    // with full access; with create, a missing key is created. Returns
    // nullptr on failure.
    StoreKey (*openKey)(StoreKey parent, const char* name, bool create);
    // Closes an open key; true when the store accepted the close.
    bool (*closeKey)(StoreKey key);
    // Reads a value. On entry size is the capacity of data; true when the
    // value exists and its data fit, then type and size describe it. A value
    // larger than the capacity reads as false.
    bool (*readValue)(StoreKey key, const char* name, uint32_t& type, uint8_t* data, uint32_t& size);
    // Writes (creates or replaces) a value; true on success.
    bool (*writeValue)(StoreKey key, const char* name, uint32_t type, const uint8_t* data, uint32_t size);
};

// The store in use; defined once per program.
extern KeyValueStore KeyValues;

}  // namespace platform

// An in-memory key-value store standing in for the registry in the unit
// tests. Keys are addressed by their path below the current user's root
// ("Software\\Measurix"); tests seed and inspect values there and read what
// the logic did (writes in order, reads, keys left open).
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

struct FakeStoredValue {
    uint32_t type = 0;
    std::vector<uint8_t> data;
    friend bool operator==(const FakeStoredValue&, const FakeStoredValue&) = default;
};

struct FakeValueAccess {
    std::string key;  // the key's path
    std::string name;
    uint32_t type;
    uint32_t size;
};

struct FakeKeyValueStoreState {
    // Key path -> value name -> value. A key exists once it is in the map.
    std::map<std::string, std::map<std::string, FakeStoredValue>> keys;
    // Paths whose opening (and creation) fails.
    std::set<std::string> unopenable;

    std::vector<FakeValueAccess> writes;
    std::vector<std::string> reads;  // value names, in order
    int32_t openKeys = 0;            // opened and not yet closed
};

extern FakeKeyValueStoreState FakeStore;

constexpr const char* FakeSettingsPath = "Software\\Measurix";

void ResetFakeKeyValueStore();
void SeedDword(const std::string& name, uint32_t value, const std::string& key = FakeSettingsPath);
void SeedValue(const std::string& name, uint32_t type, std::vector<uint8_t> data,
               const std::string& key = FakeSettingsPath);
// The stored value, or nullptr.
const FakeStoredValue* StoredValue(const std::string& name, const std::string& key = FakeSettingsPath);

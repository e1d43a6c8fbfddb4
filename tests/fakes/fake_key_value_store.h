// An in-memory key-value store standing in for the registry. Keys are
// addressed by their path below the current user's root ("Software\\Measurix");
// tests seed values there and read what the logic wrote.
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

struct FakeKeyValueStoreState {
    std::map<std::string, std::map<std::string, FakeStoredValue>> keys;  // a key exists once it is here
    std::set<std::string> unopenable;  // paths whose opening (and creation) fails
    std::vector<std::string> writes;   // value names, in order
    std::vector<std::string> reads;
    int32_t openKeys = 0;  // opened and not yet closed
};

extern FakeKeyValueStoreState FakeStore;

constexpr const char* FakeSettingsPath = "Software\\Measurix";

void ResetFakeKeyValueStore();
void SeedValue(const std::string& name, uint32_t type, std::vector<uint8_t> data);
void SeedDword(const std::string& name, uint32_t value);
// The stored value, or nullptr.
const FakeStoredValue* StoredValue(const std::string& name, const std::string& key = FakeSettingsPath);

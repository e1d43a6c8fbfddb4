#include "fakes/fake_key_value_store.h"

#include <algorithm>

#include "platform/key_value_store.h"

FakeKeyValueStoreState FakeStore;

namespace {

std::map<uintptr_t, std::string> OpenHandles;
uintptr_t NextHandle = 1;

const std::string* PathOf(platform::StoreKey key) {
    auto it = OpenHandles.find(reinterpret_cast<uintptr_t>(key));
    return it == OpenHandles.end() ? nullptr : &it->second;
}

}  // namespace

void ResetFakeKeyValueStore() {
    FakeStore = FakeKeyValueStoreState{};
    OpenHandles.clear();
}

void SeedValue(const std::string& name, uint32_t type, std::vector<uint8_t> data) {
    FakeStore.keys[FakeSettingsPath][name] = {type, std::move(data)};
}

void SeedDword(const std::string& name, uint32_t v) {
    SeedValue(name, platform::StoreDword, {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
}

const FakeStoredValue* StoredValue(const std::string& name, const std::string& key) {
    auto k = FakeStore.keys.find(key);
    if (k == FakeStore.keys.end()) return nullptr;
    auto v = k->second.find(name);
    return v == k->second.end() ? nullptr : &v->second;
}

namespace platform {

KeyValueStore KeyValues = {
    [](StoreKey parent, const char* name, bool create) -> StoreKey {
        const std::string* parentPath = parent ? PathOf(parent) : nullptr;
        if (parent && !parentPath) return nullptr;
        const std::string path = parentPath ? *parentPath + "\\" + name : std::string(name);
        if (FakeStore.unopenable.count(path) || (!create && !FakeStore.keys.count(path))) return nullptr;
        FakeStore.keys[path];
        OpenHandles[NextHandle] = path;
        ++FakeStore.openKeys;
        return reinterpret_cast<StoreKey>(NextHandle++);
    },
    [](StoreKey key) {
        --FakeStore.openKeys;  // closing a key that is not open drives the count below zero
        return OpenHandles.erase(reinterpret_cast<uintptr_t>(key)) == 1;
    },
    [](StoreKey key, const char* name, uint32_t& type, uint8_t* data, uint32_t& size) {
        const std::string* path = PathOf(key);
        if (!path) return false;
        FakeStore.reads.push_back(name);
        const FakeStoredValue* value = StoredValue(name, *path);
        if (!value || value->data.size() > size) return false;
        std::copy(value->data.begin(), value->data.end(), data);
        type = value->type;
        size = uint32_t(value->data.size());
        return true;
    },
    [](StoreKey key, const char* name, uint32_t type, const uint8_t* data, uint32_t size) {
        const std::string* path = PathOf(key);
        if (!path) return false;
        FakeStore.keys[*path][name] = {type, std::vector<uint8_t>(data, data + size)};
        FakeStore.writes.push_back(name);
        return true;
    },
};

}  // namespace platform

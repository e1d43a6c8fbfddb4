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

void SeedDword(const std::string& name, uint32_t value, const std::string& key) {
    SeedValue(name, platform::StoreDword,
              {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)}, key);
}

void SeedValue(const std::string& name, uint32_t type, std::vector<uint8_t> data, const std::string& key) {
    FakeStore.keys[key][name] = {type, std::move(data)};
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
        std::string path;
        if (parent) {
            const std::string* parentPath = PathOf(parent);
            if (!parentPath) return nullptr;
            path = *parentPath + "\\";
        }
        path += name;
        if (FakeStore.unopenable.count(path)) return nullptr;
        if (!FakeStore.keys.count(path)) {
            if (!create) return nullptr;
            FakeStore.keys[path];
        }
        const uintptr_t handle = NextHandle++;
        OpenHandles[handle] = path;
        ++FakeStore.openKeys;
        return reinterpret_cast<StoreKey>(handle);
    },
    [](StoreKey key) {
        if (OpenHandles.erase(reinterpret_cast<uintptr_t>(key)) == 0) return false;
        --FakeStore.openKeys;
        return true;
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
        FakeStore.writes.push_back({*path, name, type, size});
        return true;
    },
};

}  // namespace platform

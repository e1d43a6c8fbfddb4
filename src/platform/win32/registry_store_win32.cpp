// The settings store on the registry: keys under HKEY_CURRENT_USER.
#include <windows.h>

#include "platform/key_value_store.h"
#include "platform/win32/text_win32.h"

namespace platform {

namespace {

StoreKey OpenKey(StoreKey parent, const char* name, bool create) {
    const HKEY root = parent ? static_cast<HKEY>(parent) : HKEY_CURRENT_USER;
    const std::wstring wideName = WideFromUtf8(name);
    HKEY key = nullptr;
    const LONG result = create ? RegCreateKeyExW(root, wideName.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                 KEY_ALL_ACCESS, nullptr, &key, nullptr)
                               : RegOpenKeyExW(root, wideName.c_str(), 0, KEY_ALL_ACCESS, &key);
    return result == ERROR_SUCCESS ? key : nullptr;
}

bool CloseKey(StoreKey key) { return RegCloseKey(static_cast<HKEY>(key)) == ERROR_SUCCESS; }

bool ReadValue(StoreKey key, const char* name, uint32_t& type, uint8_t* data, uint32_t& size) {
    const std::wstring wideName = WideFromUtf8(name);
    DWORD valueType = 0;
    DWORD valueSize = size;
    if (RegQueryValueExW(static_cast<HKEY>(key), wideName.c_str(), nullptr, &valueType, data, &valueSize) !=
        ERROR_SUCCESS) {
        return false;  // missing, or larger than the buffer (ERROR_MORE_DATA)
    }
    type = valueType;
    size = valueSize;
    return true;
}

bool WriteValue(StoreKey key, const char* name, uint32_t type, const uint8_t* data, uint32_t size) {
    const std::wstring wideName = WideFromUtf8(name);
    return RegSetValueExW(static_cast<HKEY>(key), wideName.c_str(), 0, type, data, size) == ERROR_SUCCESS;
}

}  // namespace

KeyValueStore KeyValues = {OpenKey, CloseKey, ReadValue, WriteValue};

}  // namespace platform

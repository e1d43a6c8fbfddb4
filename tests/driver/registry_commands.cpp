// Registry commands of mxdriver, quicker than a `wine reg` process per call.
//   reg-query <key>                   {"exists": bool, "values": {name: value}}
//   reg-set <key> <name> <type> <data>   type REG_DWORD (data: a number),
//                                     REG_BINARY (hex digits), REG_SZ (text)
//   reg-delete-value <key> <name>
//   reg-delete-key <key>              the key with everything below it
// Keys are written "HKCU\Software\Measurix" (HKCU or HKEY_CURRENT_USER, HKLM
// or HKEY_LOCAL_MACHINE). Values read back: REG_DWORD as a number, REG_SZ
// and REG_EXPAND_SZ as a string, everything else as {"type": n, "hex": "..."}.
#include "driver.h"

#include <cstdio>
#include <cstring>

namespace {

struct KeyPath {
    HKEY root;
    std::wstring subkey;
};

KeyPath ParseKey(const std::wstring& path) {
    const size_t slash = path.find(L'\\');
    const std::wstring rootName = path.substr(0, slash);
    const std::wstring subkey = slash == std::wstring::npos ? L"" : path.substr(slash + 1);
    if (rootName == L"HKCU" || rootName == L"HKEY_CURRENT_USER") return {HKEY_CURRENT_USER, subkey};
    if (rootName == L"HKLM" || rootName == L"HKEY_LOCAL_MACHINE") return {HKEY_LOCAL_MACHINE, subkey};
    Fail("unknown registry root in " + Utf8(path));
}

std::string Hex(const BYTE* data, DWORD size) {
    std::string out;
    char digits[3];
    for (DWORD i = 0; i < size; ++i) {
        std::snprintf(digits, sizeof digits, "%02x", data[i]);
        out += digits;
    }
    return out;
}

std::string ValueJson(DWORD type, const std::vector<BYTE>& data) {
    if (type == REG_DWORD && data.size() == sizeof(DWORD)) {
        DWORD value = 0;
        memcpy(&value, data.data(), sizeof value);
        return std::to_string(value);
    }
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0') text.pop_back();
        return JsonString(text);
    }
    return JsonObject()
        .Add("type", static_cast<long long>(type))
        .Add("hex", Hex(data.data(), DWORD(data.size())))
        .Text();
}

std::string Query(const Args& args) {
    if (args.size() != 2) Fail("usage: reg-query <key>");
    const KeyPath path = ParseKey(args[1]);
    HKEY key = nullptr;
    if (RegOpenKeyExW(path.root, path.subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return JsonObject().Add("exists", false).AddRaw("values", "{}").Text();
    std::string values;
    for (DWORD index = 0;; ++index) {
        wchar_t name[16384];
        DWORD nameLength = DWORD(std::size(name));
        DWORD type = 0;
        DWORD size = 0;
        if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        std::vector<BYTE> data(size);
        nameLength = DWORD(std::size(name));
        if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) break;
        data.resize(size);
        if (!values.empty()) values += ",";
        values += JsonString(name) + ":" + ValueJson(type, data);
    }
    RegCloseKey(key);
    return JsonObject().Add("exists", true).AddRaw("values", "{" + values + "}").Text();
}

std::vector<BYTE> FromHex(const std::wstring& text) {
    if (text.size() % 2) Fail("odd number of hex digits");
    std::vector<BYTE> bytes;
    for (size_t i = 0; i < text.size(); i += 2) {
        bytes.push_back(BYTE(ParseNumber(L"0x" + text.substr(i, 2))));
    }
    return bytes;
}

std::string Set(const Args& args) {
    if (args.size() != 5) Fail("usage: reg-set <key> <name> <type> <data>");
    const KeyPath path = ParseKey(args[1]);
    const std::wstring& type = args[3];
    std::vector<BYTE> data;
    DWORD kind = 0;
    if (type == L"REG_DWORD") {
        kind = REG_DWORD;
        const DWORD value = DWORD(ParseNumber(args[4]));
        data.assign(reinterpret_cast<const BYTE*>(&value), reinterpret_cast<const BYTE*>(&value) + sizeof value);
    } else if (type == L"REG_BINARY") {
        kind = REG_BINARY;
        data = FromHex(args[4]);
    } else if (type == L"REG_SZ") {
        kind = REG_SZ;
        const std::wstring& text = args[4];
        data.assign(reinterpret_cast<const BYTE*>(text.c_str()),
                    reinterpret_cast<const BYTE*>(text.c_str() + text.size() + 1));
    } else {
        Fail("unknown value type " + Utf8(type));
    }
    HKEY key = nullptr;
    if (RegCreateKeyExW(path.root, path.subkey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        Fail("cannot create the key " + Utf8(args[1]));
    const LONG result = RegSetValueExW(key, args[2].c_str(), 0, kind, data.data(), DWORD(data.size()));
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) Fail("cannot write the value " + Utf8(args[2]));
    return JsonObject().Add("result", true).Text();
}

std::string DeleteValue(const Args& args) {
    if (args.size() != 3) Fail("usage: reg-delete-value <key> <name>");
    const KeyPath path = ParseKey(args[1]);
    HKEY key = nullptr;
    bool deleted = false;
    if (RegOpenKeyExW(path.root, path.subkey.c_str(), 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        deleted = RegDeleteValueW(key, args[2].c_str()) == ERROR_SUCCESS;
        RegCloseKey(key);
    }
    return JsonObject().Add("deleted", deleted).Text();
}

std::string DeleteKey(const Args& args) {
    if (args.size() != 2) Fail("usage: reg-delete-key <key>");
    const KeyPath path = ParseKey(args[1]);
    if (path.subkey.empty()) Fail("refusing to delete a root key");
    const bool deleted = RegDeleteTreeW(path.root, path.subkey.c_str()) == ERROR_SUCCESS &&
                         RegDeleteKeyW(path.root, path.subkey.c_str()) == ERROR_SUCCESS;
    return JsonObject().Add("deleted", deleted).Text();
}

}  // namespace

std::string RunRegistryCommand(const Args& args) {
    const std::wstring& command = args[0];
    if (command == L"reg-query") return Query(args);
    if (command == L"reg-set") return Set(args);
    if (command == L"reg-delete-value") return DeleteValue(args);
    if (command == L"reg-delete-key") return DeleteKey(args);
    Fail("unknown command: " + Utf8(command));
}

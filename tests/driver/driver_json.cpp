// JSON output and argument parsing for mxdriver.
#include <cstdio>
#include <cwchar>

#include "driver.h"

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring out(size_t(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), out.data(), size);
    return out;
}

std::string JsonString(const std::wstring& text) {
    const std::string utf8 = Utf8(text);
    std::string out = "\"";
    for (const char c : utf8) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", unsigned(static_cast<unsigned char>(c)));
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

std::string JsonArray(const std::vector<std::string>& items) {
    std::string out = "[";
    for (size_t i = 0; i < items.size(); ++i) {
        if (i) out += ",";
        out += items[i];
    }
    return out + "]";
}

void JsonObject::Name(const char* name) {
    if (!body_.empty()) body_ += ",";
    body_ += "\"";
    body_ += name;
    body_ += "\":";
}

JsonObject& JsonObject::Add(const char* name, const std::string& utf8Text) { return Add(name, Wide(utf8Text)); }

JsonObject& JsonObject::Add(const char* name, const std::wstring& text) {
    Name(name);
    body_ += JsonString(text);
    return *this;
}

JsonObject& JsonObject::Add(const char* name, long long number) {
    Name(name);
    body_ += std::to_string(number);
    return *this;
}

JsonObject& JsonObject::Add(const char* name, bool flag) {
    Name(name);
    body_ += flag ? "true" : "false";
    return *this;
}

JsonObject& JsonObject::Add(const char* name, HWND window) {
    return Add(name, static_cast<long long>(reinterpret_cast<intptr_t>(window)));
}

JsonObject& JsonObject::Add(const char* name, const RECT& rect) {
    Name(name);
    body_ += "[" + std::to_string(rect.left) + "," + std::to_string(rect.top) + "," + std::to_string(rect.right) +
             "," + std::to_string(rect.bottom) + "]";
    return *this;
}

JsonObject& JsonObject::AddRaw(const char* name, const std::string& json) {
    Name(name);
    body_ += json;
    return *this;
}

void Fail(const std::string& message) { throw CommandError{message}; }

long long ParseNumber(const std::wstring& text) {
    if (text.empty()) Fail("empty number");
    wchar_t* end = nullptr;
    const long long value = std::wcstoll(text.c_str(), &end, 0);
    if (end == nullptr || *end != L'\0') Fail("not a number: " + Utf8(text));
    return value;
}

HWND ParseWindow(const std::wstring& text) {
    const HWND window = reinterpret_cast<HWND>(static_cast<intptr_t>(ParseNumber(text)));
    if (!IsWindow(window)) Fail("no such window: " + Utf8(text));
    return window;
}

// UTF-8 <-> UTF-16 for the logic's few UTF-16 values (string values of the
// settings store, the program's own path, key names), without wchar_t, whose
// size differs between Windows and Linux.
#pragma once
#include <string>

std::string Utf8FromUtf16(const std::u16string& text);
std::u16string Utf16FromUtf8(const std::string& text);
// Appends one code point as UTF-8.
void AppendUtf8(std::string& out, char32_t c);

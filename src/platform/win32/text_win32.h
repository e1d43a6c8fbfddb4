// UTF-8 <-> UTF-16 at the Win32 boundary.
#pragma once
#include <string>

std::string Utf8FromWide(const wchar_t* text);
std::wstring WideFromUtf8(const std::string& text);

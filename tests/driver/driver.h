// mxdriver: the end-to-end tests' helper program. It runs inside the same
// Wine desktop as measurix.exe, looks at and drives its windows, and prints
// its answers as JSON (UTF-8) on standard output.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

using Args = std::vector<std::wstring>;

// Builds one JSON object, members in the order they are added.
class JsonObject {
public:
    JsonObject& Add(const char* name, const std::string& utf8Text);
    JsonObject& Add(const char* name, const std::wstring& text);
    JsonObject& Add(const char* name, const wchar_t* text) { return Add(name, std::wstring(text ? text : L"")); }
    JsonObject& Add(const char* name, long long number);
    JsonObject& Add(const char* name, bool flag);
    JsonObject& Add(const char* name, HWND window);
    JsonObject& Add(const char* name, const RECT& rect);
    JsonObject& AddRaw(const char* name, const std::string& json);  // a nested value, already JSON
    std::string Text() const { return "{" + body_ + "}"; }

private:
    void Name(const char* name);
    std::string body_;
};

std::string JsonString(const std::wstring& text);
std::string JsonArray(const std::vector<std::string>& items);
std::string Utf8(const std::wstring& text);
std::wstring Wide(const std::string& utf8);

// A failed command: its message becomes {"error": ...} and exit code 1.
struct CommandError {
    std::string message;
};
[[noreturn]] void Fail(const std::string& message);

HWND ParseWindow(const std::wstring& text);
long long ParseNumber(const std::wstring& text);

// Runs one command; returns its JSON answer.
std::string RunCommand(const Args& args);
// The reg-* commands (registry_commands.cpp).
std::string RunRegistryCommand(const Args& args);
// The shell-* commands: clipboard, notification-area icons (shell_commands.cpp).
std::string RunShellCommand(const Args& args);

// Long-running commands; they print a JSON line when ready and return the
// process exit code.
int RunKeyLog(const std::wstring& title, const std::wstring& logPath);
int RunDemo();
int RunWindowWatch(const std::wstring& logPath);

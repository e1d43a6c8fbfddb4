#include "app/command_line.h"

#include <cstring>

#include "base/app_messages.h"

namespace {

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

}  // namespace

bool IsCommandLineWord(const std::string& argument, const char* word) {
    if (argument.empty() || (argument[0] != '-' && argument[0] != '/')) return false;
    const size_t length = std::strlen(word);
    if (argument.size() != length + 1) return false;
    for (size_t i = 0; i < length; ++i) {
        if (AsciiLower(argument[i + 1]) != AsciiLower(word[i])) return false;
    }
    return true;
}

CommandLineWords ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLineWords words;
    for (const std::string& argument : arguments) {
        if (IsCommandLineWord(argument, "hide")) {
            words.hide = true;
        } else if (IsCommandLineWord(argument, "exit")) {
            words.exit = true;
        } else if (IsCommandLineWord(argument, "restart")) {
            words.restart = true;
        } else {
            words.unknown = argument;
            break;
        }
    }
    return words;
}

InstanceDecision DecideInstance(bool otherInstanceRunning, const CommandLineWords& words) {
    InstanceDecision decision;
    if (otherInstanceRunning) {
        // "hide" alone asks nothing of the running instance.
        if (!words.hide || words.exit) {
            decision.request = (words.restart ? InstanceRequestRestart : 0) | (words.exit ? InstanceRequestExit : 0);
            decision.waitForEnd = words.exit || words.restart;
        }
        if (!words.restart) return decision;  // the running one stays; this start ends
    }
    decision.keepRunning = !words.exit;
    return decision;
}

// The command-line words and the single-instance decision.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// True when argument is '-' or '/' followed by word, ASCII letters compared
// without regard to case.
bool IsCommandLineWord(const std::string& argument, const char* word);

struct CommandLineWords {
    bool hide = false;
    bool exit = false;
    bool restart = false;
    std::optional<std::string> unknown;  // the first refused argument, as typed
};

// Reads the arguments after the program name; stops at the first unknown one.
CommandLineWords ParseCommandLine(const std::vector<std::string>& arguments);

struct InstanceDecision {
    // The lParam to post to the running instance's windows, if any.
    std::optional<intptr_t> request;
    bool keepRunning = false;  // false: end with result 0
    // An exit request ends only once the running instance has ended, so that
    // whoever asked (an uninstaller, a script) finds its settings saved and
    // its program file free; a restart reads the settings only then, with
    // what a held key moved last saved.
    bool waitForEnd = false;
};

InstanceDecision DecideInstance(bool otherInstanceRunning, const CommandLineWords& words);

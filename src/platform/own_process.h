// The program's own file and the start of a program, for the self-restart
// and the autostart entry.
#pragma once
#include <cstdint>

namespace platform {

struct OwnProcessSource {
    // GetModuleFileNameW of the program: copies the path into buffer (at most
    // capacity units) and returns the number of units copied without the
    // terminating zero; returns capacity when the path was cut, 0 on failure.
    uint32_t (*moduleFileName)(char16_t* buffer, uint32_t capacity);
    // ShellExecuteW with no owner, the verb "open", no working directory and
    // the normal show command. UTF-8 arguments; true when it started.
    bool (*shellOpen)(const char* file, const char* parameters);
};

extern OwnProcessSource OwnProcess;

}  // namespace platform

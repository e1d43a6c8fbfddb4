// mxdriver: entry. Usage:
//   mxdriver <command> <arguments...>   one command, its JSON answer on stdout;
//                                       exit code 0, or 1 with {"error": ...}
//   mxdriver serve                      commands from stdin, one per line, the
//                                       fields separated by tabs (UTF-8); one
//                                       answer line each: {"ok":true,"result":...}
//                                       or {"ok":false,"error":"..."}
//   mxdriver keylog <title> <logfile>   a window that logs the keys it gets
//   mxdriver demo                       a window with one control of each kind
//   mxdriver watch-windows <logfile>    logs every window created or shown
// Window handles are decimal (or 0x hex) numbers. The commands are listed in
// window_commands.cpp's RunCommand.
#include <cstdio>
#include <string>

#include "driver.h"

namespace {

void WriteLine(const std::string& line) {
    const std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), DWORD(text.size()), &written, nullptr);
}

bool ReadLine(std::string& line) {
    line.clear();
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    for (;;) {
        char c = 0;
        DWORD got = 0;
        if (!ReadFile(input, &c, 1, &got, nullptr) || got == 0) return !line.empty();
        if (c == '\n') return true;
        if (c != '\r') line += c;
    }
}

Args SplitFields(const std::string& line) {
    Args fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        fields.push_back(Wide(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start)));
        if (tab == std::string::npos) return fields;
        start = tab + 1;
    }
}

int Serve() {
    std::string line;
    while (ReadLine(line)) {
        if (line.empty()) continue;
        try {
            WriteLine("{\"ok\":true,\"result\":" + RunCommand(SplitFields(line)) + "}");
        } catch (const CommandError& error) {
            WriteLine("{\"ok\":false,\"error\":" + JsonString(Wide(error.message)) + "}");
        }
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Args args(argv + 1, argv + argc);
    if (args.empty()) {
        WriteLine("{\"error\":\"usage: mxdriver <command> [arguments]\"}");
        return 2;
    }
    try {
        if (args[0] == L"serve") return Serve();
        if (args[0] == L"keylog") {
            if (args.size() != 3) Fail("usage: keylog <title> <logfile>");
            return RunKeyLog(args[1], args[2]);
        }
        if (args[0] == L"demo") return RunDemo();
        if (args[0] == L"pattern" && args.size() == 3) return RunPattern(int(ParseNumber(args[1])), int(ParseNumber(args[2])));
        if (args[0] == L"watch-windows") {
            if (args.size() != 2) Fail("usage: watch-windows <logfile>");
            return RunWindowWatch(args[1]);
        }
        WriteLine(RunCommand(args));
        return 0;
    } catch (const CommandError& error) {
        WriteLine("{\"error\":" + JsonString(Wide(error.message)) + "}");
        return 1;
    }
}

// The program's own path and the programs it starts.
#pragma once
#include <string>
#include <utility>
#include <vector>

struct FakeOwnProcessState {
    std::u16string modulePath = u"C:\\Program Files\\M\\m.exe";
    std::vector<std::pair<std::string, std::string>> started;  // file, parameters
};

extern FakeOwnProcessState FakeOwnProcess;

// The program's own path and the programs it starts, for the unit tests.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct FakeOwnProcessState {
    std::u16string modulePath = u"C:\\Program Files\\Measurix\\measurix.exe";
    std::vector<std::pair<std::string, std::string>> started;  // file, parameters
};

extern FakeOwnProcessState FakeOwnProcess;

void ResetFakeOwnProcess();

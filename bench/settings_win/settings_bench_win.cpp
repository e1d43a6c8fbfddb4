// Saves and loads every setting against the real registry, many times, and
// prints the time of one call: what a save costs on the main thread while a
// start-point or angle key is held (a save per pointer event).
// Usage: settings_bench.exe [count]   (default 500)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "input/hotkey_bindings.h"
#include "settings/settings.h"

namespace {

double Microseconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
    return double(to.QuadPart - from.QuadPart) * 1e6 / double(frequency.QuadPart);
}

void Report(const char* what, std::vector<double>& times) {
    std::sort(times.begin(), times.end());
    double sum = 0;
    for (double t : times) sum += t;
    std::printf("%-5s n=%zu  min %.1f us  median %.1f us  p95 %.1f us  mean %.1f us\n", what, times.size(),
                times.front(), times[times.size() / 2], times[times.size() * 95 / 100], sum / double(times.size()));
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    ResetBindingsToDefaults();
    SettingsExchange(true);  // the key and every value exist from here on

    std::vector<double> saves, loads;
    for (int i = 0; i < count; ++i) {
        LARGE_INTEGER a, b, c;
        QueryPerformanceCounter(&a);
        SettingsExchange(true);
        QueryPerformanceCounter(&b);
        SettingsExchange(false);
        QueryPerformanceCounter(&c);
        saves.push_back(Microseconds(a, b, frequency));
        loads.push_back(Microseconds(b, c, frequency));
    }
    Report("save", saves);
    Report("load", loads);
    return 0;
}

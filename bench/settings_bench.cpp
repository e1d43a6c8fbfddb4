// One save and one load of every setting over the in-memory store: the cost
// of the exchange itself (names, encoding, locks), without the registry.
// The Windows build in settings_win/settings_bench_win.cpp measures the real registry.
#include <benchmark/benchmark.h>

#include "fakes/fake_key_value_store.h"
#include "input/hotkey_bindings.h"
#include "overlay/display_object.h"
#include "settings/settings.h"

namespace {

void PrepareStore() {
    ResetFakeKeyValueStore();
    ResetBindingsToDefaults();
    RestoreFlag = false;
    FontDescription font{};
    font.height = -16;
    font.faceName[0] = u'A';
    SetDisplayFont(&font);
}

void BM_SettingsSave(benchmark::State& state) {
    PrepareStore();
    for (auto _ : state) {
        SettingsExchange(true);
        FakeStore.writes.clear();  // keep the recording from growing
    }
}
BENCHMARK(BM_SettingsSave);

void BM_SettingsLoad(benchmark::State& state) {
    PrepareStore();
    SettingsExchange(true);
    for (auto _ : state) {
        SettingsExchange(false);
        FakeStore.reads.clear();
    }
}
BENCHMARK(BM_SettingsLoad);

}  // namespace

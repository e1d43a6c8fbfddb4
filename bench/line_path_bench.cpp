// The platform-free part of one LineWindow frame: building the line path and
// its bounding box, with the longest list the settings allow.
#include <benchmark/benchmark.h>

#include "layout/line_path.h"

namespace {

void BM_BuildLinePathAndBounds(benchmark::State& state) {
    const PathSettings settings{int32_t(state.range(0)), true, true};
    // A turned reference angle takes the path through both rotations.
    const double angle = 37.5;
    int32_t x = 900;
    for (auto _ : state) {
        LinePath path = BuildLinePath({960, 810}, {x, 400}, angle, settings);
        Rect bounds = PathBounds(path);
        benchmark::DoNotOptimize(path);
        benchmark::DoNotOptimize(bounds);
        x = x == 900 ? 901 : 900;
    }
}
BENCHMARK(BM_BuildLinePathAndBounds)->Arg(1)->Arg(99);

}  // namespace

// The one main of the benchmark program, for all bench/*.cpp files.
BENCHMARK_MAIN();

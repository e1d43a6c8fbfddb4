// The platform-free part of one NumbersWindow frame: the label text, its
// placement and the alpha made from the drawn colours, for a label of the
// usual size; and the analysis of a pointer shape, done once per shape.
#include <benchmark/benchmark.h>

#include <vector>

#include "layout/label_outline.h"
#include "layout/label_text.h"
#include "layout/pointer_extent.h"
#include "measure/measure_units.h"

namespace {

void LabelTextAndPlacement(benchmark::State& state) {
    LabelPlacementInput in;
    in.textWidth = 110;
    in.textHeight = 13;
    in.startX = 640;
    in.pointerExtent = {0, 0, 11, 18};
    in.virtualScreen = {0, 0, 1920, 1080};
    int32_t x = 0;
    for (auto _ : state) {
        in.pointer = {x = (x + 7) % 1920, 500};
        std::string text = FormatLabelText(-120.0 - x, 45.0, 128.16, 110.56, false);
        Rect label = PlaceLabel(in);
        benchmark::DoNotOptimize(text);
        benchmark::DoNotOptimize(label);
    }
}
BENCHMARK(LabelTextAndPlacement);

// A 112 x 15 label surface: the outline's coverage, the white fill and the
// composition.
void LabelAlpha(benchmark::State& state) {
    const size_t pixels = 112 * 15;
    std::vector<uint8_t> surface(pixels * 4);
    for (auto _ : state) {
        for (size_t i = 0; i < surface.size(); i += 12) surface[i] = 0xFF;
        const std::vector<uint8_t> outline = OutlineCoverage(surface.data(), pixels);
        FillOpaqueWhite(surface.data(), pixels);
        ComposeOutlinedText(surface.data(), pixels, outline);
        benchmark::DoNotOptimize(surface.data());
    }
}
BENCHMARK(LabelAlpha);

// A monochrome 32 x 32 arrow and a 64 x 64 colour pointer with alpha.
void PointerShapeAnalysis(benchmark::State& state) {
    const int32_t size = int32_t(state.range(0));
    const bool colour = state.range(1) != 0;
    std::vector<uint8_t> mask(size_t(size / 8 * size * (colour ? 1 : 2)), 0xFF);
    std::vector<uint8_t> pixels(colour ? size_t(size * size * 4) : 0, 0);
    for (int32_t y = 0; y < size * 3 / 5; ++y) {
        for (int32_t x = 0; x <= y / 2; ++x) {
            if (colour) {
                pixels[size_t((y * size + x) * 4 + 3)] = 0xFF;
            } else {
                mask[size_t(y * size / 8 + x / 8)] &= uint8_t(~(0x80 >> (x % 8)));
            }
        }
    }
    if (!colour) std::fill(mask.begin() + size / 8 * size, mask.end(), 0);
    const PointerBits bits{size, mask.data(), colour ? size : 2 * size, colour ? pixels.data() : nullptr};
    for (auto _ : state) benchmark::DoNotOptimize(VisiblePointerBox(bits));
}
BENCHMARK(PointerShapeAnalysis)->Args({32, 0})->Args({64, 1});

}  // namespace

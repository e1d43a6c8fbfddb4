// The label's pixels: black text with a one-pixel white outline on an
// otherwise transparent surface.
//
// The text is drawn with GDI, which writes colours but not coverage: on
// Windows the alpha byte of every pixel it touches becomes 0, under Wine the
// graphics library marks touched pixels opaque. Neither gives the label its
// alpha, so the label is drawn in two passes and its alpha is made here from
// the colours alone, the same way on both:
//  1. the eight white copies on the fresh, all-zero surface; a pixel's
//     brightest channel is then the outline's coverage of it
//     (OutlineCoverage);
//  2. the surface filled with opaque white (FillOpaqueWhite) and the black
//     text drawn once; a pixel's darkness is then the text's coverage;
//  3. ComposeOutlinedText puts black text over the white outline, in
//     premultiplied blue-green-red-alpha.
// Anti-aliased glyph edges come out as partial alpha instead of a fringe.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// pixels: 4 bytes per pixel (blue, green, red, alpha), pixelCount pixels.
std::vector<uint8_t> OutlineCoverage(const uint8_t* pixels, size_t pixelCount);
void FillOpaqueWhite(uint8_t* pixels, size_t pixelCount);
void ComposeOutlinedText(uint8_t* pixels, size_t pixelCount, const std::vector<uint8_t>& outline);

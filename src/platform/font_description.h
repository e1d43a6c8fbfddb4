// The label font's description as it is stored: the 92-byte LOGFONTW layout,
// defined with fixed-width types so that it does not depend on the size of
// wchar_t (4 bytes on Linux, 2 on Windows).
#pragma once
#include <cstdint>

struct FontDescription {
    int32_t height;
    int32_t width;
    int32_t escapement;
    int32_t orientation;
    int32_t weight;
    uint8_t italic;
    uint8_t underline;
    uint8_t strikeOut;
    uint8_t charSet;
    uint8_t outPrecision;
    uint8_t clipPrecision;
    uint8_t quality;
    uint8_t pitchAndFamily;
    char16_t faceName[32];  // zero-terminated UTF-16
};
static_assert(sizeof(FontDescription) == 92, "LOGFONTW is 92 bytes");

// The stored "font" value: the description plus a flag, 96 bytes.
struct StoredFont {
    FontDescription font;
    uint32_t chosen;  // 1 when a font was chosen, 0 for the default font
};
static_assert(sizeof(StoredFont) == 96, "the \"font\" value is 96 bytes");

constexpr uint8_t NonAntialiasedQuality = 3;  // NONANTIALIASED_QUALITY

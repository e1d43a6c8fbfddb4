#include "platform/win32/label_font_win32.h"

static_assert(sizeof(LOGFONTW) == sizeof(FontDescription), "LOGFONTW and the stored description differ");

HFONT DefaultFont() {
    static const HFONT font = [] {
        HGDIOBJ stock = GetStockObject(ANSI_VAR_FONT);
        if (!stock) stock = GetStockObject(SYSTEM_FONT);
        return static_cast<HFONT>(stock);
    }();
    return font;
}

LOGFONTW LogFontFromDescription(const FontDescription& d) {
    LOGFONTW f{};
    f.lfHeight = d.height;
    f.lfWidth = d.width;
    f.lfEscapement = d.escapement;
    f.lfOrientation = d.orientation;
    f.lfWeight = d.weight;
    f.lfItalic = d.italic;
    f.lfUnderline = d.underline;
    f.lfStrikeOut = d.strikeOut;
    f.lfCharSet = d.charSet;
    f.lfOutPrecision = d.outPrecision;
    f.lfClipPrecision = d.clipPrecision;
    f.lfQuality = d.quality;
    f.lfPitchAndFamily = d.pitchAndFamily;
    for (size_t i = 0; i + 1 < LF_FACESIZE && d.faceName[i] != 0; ++i) f.lfFaceName[i] = wchar_t(d.faceName[i]);
    return f;
}

FontDescription DescriptionFromLogFont(const LOGFONTW& f) {
    FontDescription d{};
    d.height = f.lfHeight;
    d.width = f.lfWidth;
    d.escapement = f.lfEscapement;
    d.orientation = f.lfOrientation;
    d.weight = f.lfWeight;
    d.italic = f.lfItalic;
    d.underline = f.lfUnderline;
    d.strikeOut = f.lfStrikeOut;
    d.charSet = f.lfCharSet;
    d.outPrecision = f.lfOutPrecision;
    d.clipPrecision = f.lfClipPrecision;
    d.quality = f.lfQuality;
    d.pitchAndFamily = f.lfPitchAndFamily;
    for (size_t i = 0; i + 1 < LF_FACESIZE && f.lfFaceName[i] != 0; ++i) d.faceName[i] = char16_t(f.lfFaceName[i]);
    return d;
}

// The label font at the Win32 boundary: the stock default font, and the
// stored fixed-width description converted to and from LOGFONTW.
#pragma once
#include <windows.h>

#include "platform/font_description.h"

// The stock variable-pitch font (or the system font where there is none),
// taken once and never deleted.
HFONT DefaultFont();

// A stored face name may lack its terminator: the converted name always
// ends within its 32 units.
LOGFONTW LogFontFromDescription(const FontDescription& description);
FontDescription DescriptionFromLogFont(const LOGFONTW& font);

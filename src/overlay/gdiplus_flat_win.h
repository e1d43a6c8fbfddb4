// The GDI+ flat interface, the only part of GDI+ the overlay uses (the C++
// wrapper classes that come with the header are not used).
#pragma once
#include <windows.h>

#include <objidl.h>  // PROPID and IStream, left out by WIN32_LEAN_AND_MEAN
#include <gdiplus.h>

using Gdiplus::GpBitmap;
using Gdiplus::GpGraphics;
using Gdiplus::GpPen;
using Gdiplus::GpStatus;
namespace GdipFlat = Gdiplus::DllExports;

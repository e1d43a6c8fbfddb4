// Plain types that the platform-free logic uses in place of Win32's.
#pragma once
#include <cstdint>

// An opaque window handle (HWND on Windows). The logic only stores and
// compares it; Win32 files cast it.
using WindowHandle = void*;

// A rectangle of virtual-desktop pixels; right and bottom are exclusive
// unless a function says otherwise.
struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

inline bool Inside(const Rect& r, Point p) { return r.left <= p.x && p.x < r.right && r.top <= p.y && p.y < r.bottom; }

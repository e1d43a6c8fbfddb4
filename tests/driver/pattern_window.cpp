// pattern <x> <y>: a borderless 64x64 window at x, y whose pixel (x, y) is
// red, green, blue or yellow by (x + 2y) mod 4, so that each magnified pixel
// differs from its neighbours. pattern <x> <y> <w> <h> <rrggbb>: a w by h box
// of that one colour instead. Tests find it by its title, "mxdriver pattern".
#include <windows.h>

#include <cstdint>

// Runs until the test kills it.
int RunPattern(int x, int y, int width, int height, int colour) {
    static const uint32_t Rows[2][4] = {{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00}, {0x0000FF, 0xFFFF00, 0xFF0000, 0x00FF00}};
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hbrBackground = colour < 0 ? CreatePatternBrush(CreateBitmap(4, 2, 1, 32, Rows))  // the window's background
                                           : CreateSolidBrush(RGB(colour >> 16, (colour >> 8) & 0xFF, colour & 0xFF));
    windowClass.lpszClassName = L"MxDriverPattern";
    RegisterClassW(&windowClass);
    CreateWindowExW(WS_EX_TOOLWINDOW, windowClass.lpszClassName, L"mxdriver pattern", WS_POPUP | WS_VISIBLE, x, y, width,
                    height, nullptr, nullptr, nullptr, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}

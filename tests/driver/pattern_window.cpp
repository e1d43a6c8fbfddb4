// pattern <x> <y>: a borderless 64x64 window at x, y whose pixel (x, y) is
// red, green, blue or yellow by (x + 2y) mod 4, so that each magnified pixel
// differs from its neighbours. Tests find it by its title, "mxdriver pattern".
#include <windows.h>

#include <cstdint>

namespace {

constexpr int Side = 64;

LRESULT CALLBACK PatternProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return DefWindowProcW(window, message, wParam, lParam);
    static constexpr uint32_t Colours[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};
    static uint32_t pixels[Side * Side];
    for (int i = 0; i < Side * Side; ++i) pixels[i] = Colours[(i % Side + 2 * (i / Side)) % 4];
    const BITMAPINFO info{{sizeof(BITMAPINFOHEADER), Side, -Side, 1, 32, BI_RGB}};
    PAINTSTRUCT paint;
    SetDIBitsToDevice(BeginPaint(window, &paint), 0, 0, Side, Side, 0, 0, 0, Side, pixels, &info, DIB_RGB_COLORS);
    EndPaint(window, &paint);
    return 0;
}

}  // namespace

// Runs until the test kills it.
int RunPattern(int x, int y) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = PatternProc;
    windowClass.lpszClassName = L"MxDriverPattern";
    RegisterClassW(&windowClass);
    CreateWindowExW(WS_EX_TOOLWINDOW, windowClass.lpszClassName, L"mxdriver pattern", WS_POPUP | WS_VISIBLE, x, y, Side,
                    Side, nullptr, nullptr, nullptr, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}

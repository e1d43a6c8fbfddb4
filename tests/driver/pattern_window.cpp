// pattern <x> <y>: a borderless 64x64 window at x, y whose pixels cycle
// through red, green, blue and yellow (pixel x, y has colour (x + 2y) mod 4),
// so that each magnified pixel differs from its neighbours. It runs until
// it is closed or killed; tests find it by its title, "mxdriver pattern".
#include <windows.h>

#include <cstdint>

namespace {

constexpr int Side = 64;

LRESULT CALLBACK PatternProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        static constexpr uint32_t Colours[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};
        static uint32_t pixels[Side * Side];
        for (int i = 0; i < Side * Side; ++i) pixels[i] = Colours[(i % Side + 2 * (i / Side)) % 4];
        BITMAPINFO info{{sizeof(BITMAPINFOHEADER), Side, -Side, 1, 32, BI_RGB}};
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        SetDIBitsToDevice(dc, 0, 0, Side, Side, 0, 0, 0, Side, pixels, &info, DIB_RGB_COLORS);
        EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int RunPattern(int x, int y) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = PatternProc;
    windowClass.lpszClassName = L"MxDriverPattern";
    RegisterClassW(&windowClass);
    if (!CreateWindowExW(WS_EX_TOOLWINDOW, windowClass.lpszClassName, L"mxdriver pattern", WS_POPUP | WS_VISIBLE, x, y,
                         Side, Side, nullptr, nullptr, nullptr, nullptr)) {
        return 1;
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}

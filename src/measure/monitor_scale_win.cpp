// Reads what a monitor says about itself: the effective DPI (shcore, loaded
// when present, so that the program still starts where it is missing) and
// the EDID block that Windows keeps in the monitor's device key (SetupAPI).
#include "measure/monitor_scale_win.h"

#include <windows.h>
#include <setupapi.h>

#include <map>
#include <mutex>
#include <optional>

#include "measure/edid.h"
#include "measure/measure_settings.h"
#include "platform/win32/text_win32.h"

namespace {

// The monitor device class, {4d36e96e-e325-11ce-bfc1-08002be10318}.
constexpr GUID MonitorClass = {0x4d36e96e, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
constexpr int MonitorEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

using GetDpiForMonitorCall = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

double ScaleFactorOf(HMONITOR monitor) {
    static const auto getDpi = [] {
        HMODULE shcore = LoadLibraryW(L"shcore.dll");
        return shcore ? reinterpret_cast<GetDpiForMonitorCall>(
                            reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")))
                      : nullptr;
    }();
    UINT x = 0, y = 0;
    if (getDpi && SUCCEEDED(getDpi(monitor, MonitorEffectiveDpi, &x, &y)) && x > 0) return double(x) / 96.0;
    return 1.0;
}

// "MONITOR\DEL2005\{4d36e96e-...}\0001" -> "{4d36e96e-...}\0001": the
// monitor's driver key, by which SetupAPI finds the same device.
std::wstring DriverKeyOf(const wchar_t* deviceId) {
    std::wstring id = deviceId;
    const size_t first = id.find(L'\\');
    const size_t second = first == std::wstring::npos ? first : id.find(L'\\', first + 1);
    return second == std::wstring::npos ? std::wstring() : id.substr(second + 1);
}

std::optional<EdidImageSize> ReadEdidImageSize(const wchar_t* adapterName) {
    DISPLAY_DEVICEW display{};
    display.cb = sizeof display;
    if (!EnumDisplayDevicesW(adapterName, 0, &display, 0)) return std::nullopt;
    const std::wstring driverKey = DriverKeyOf(display.DeviceID);
    if (driverKey.empty()) return std::nullopt;

    HDEVINFO devices = SetupDiGetClassDevsW(&MonitorClass, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<EdidImageSize> result;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD i = 0; !result && SetupDiEnumDeviceInfo(devices, i, &device); ++i) {
        wchar_t driver[200] = {};
        if (!SetupDiGetDeviceRegistryPropertyW(devices, &device, SPDRP_DRIVER, nullptr,
                                               reinterpret_cast<BYTE*>(driver), sizeof driver - sizeof(wchar_t),
                                               nullptr) ||
            _wcsicmp(driver, driverKey.c_str()) != 0) {
            continue;
        }
        HKEY key = SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE) break;
        BYTE edid[256] = {};
        DWORD size = sizeof edid;
        if (RegQueryValueExW(key, L"EDID", nullptr, nullptr, edid, &size) == ERROR_SUCCESS) {
            result = DecodeEdidImageSize(edid, size);
        }
        RegCloseKey(key);
        break;
    }
    SetupDiDestroyDeviceInfoList(devices);
    return result;
}

// The device walk is slow: each monitor is read once per run.
std::optional<EdidImageSize> CachedEdidImageSize(const wchar_t* adapterName) {
    static std::mutex mutex;
    static std::map<std::wstring, std::optional<EdidImageSize>> cache;
    std::lock_guard<std::mutex> lock(mutex);
    auto it = cache.find(adapterName);
    if (it == cache.end()) it = cache.emplace(adapterName, ReadEdidImageSize(adapterName)).first;
    return it->second;
}

}  // namespace

MonitorPixels MonitorAt(Point p) {
    MonitorPixels out;
    HMONITOR monitor = MonitorFromPoint(POINT{p.x, p.y}, MONITOR_DEFAULTTONEAREST);
    MONITORINFOEXW info{};
    info.cbSize = sizeof info;
    if (!monitor || !GetMonitorInfoW(monitor, &info)) return out;
    out.name = Utf8FromWide(info.szDevice);
    out.scale.scaleFactor = ScaleFactorOf(monitor);

    std::optional<double> fromMonitor;
    if (const std::optional<EdidImageSize> image = CachedEdidImageSize(info.szDevice)) {
        fromMonitor = EdidPixelsPerInch(*image, info.rcMonitor.right - info.rcMonitor.left);
    }
    out.size = ResolvePixelSize(MonitorCalibration(out.name), fromMonitor);
    out.scale.pixelsPerInch = out.size.pixelsPerInch;
    return out;
}

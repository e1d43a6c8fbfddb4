// Reads what a monitor says about itself: the effective DPI (shcore, loaded
// when present, so that the program still starts where it is missing) and
// the EDID that Windows keeps in the monitor's device key (SetupAPI).
#include "measure/monitor_scale_win.h"

#include <windows.h>
#include <cfgmgr32.h>
#include <setupapi.h>

#include <map>
#include <mutex>
#include <optional>
#include <vector>

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

// The EDID has 128 bytes per block and may carry several extension blocks,
// so its size is asked for first.
std::vector<uint8_t> ReadBinaryValue(HKEY key, const wchar_t* name) {
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS || size == 0) return {};
    std::vector<uint8_t> bytes(size);
    if (RegQueryValueExW(key, name, nullptr, nullptr, bytes.data(), &size) != ERROR_SUCCESS) return {};
    bytes.resize(size);
    return bytes;
}

// What a monitor says about itself, and which monitor it is.
struct MonitorFacts {
    // The monitor device's instance id (its model and its connection), else
    // its device id; the output name only when Windows names no monitor.
    std::string id;
    std::optional<EdidImageSize> image;
};

MonitorFacts ReadMonitorFacts(const wchar_t* outputName) {
    MonitorFacts facts{Utf8FromWide(outputName), std::nullopt};
    DISPLAY_DEVICEW display{};
    display.cb = sizeof display;
    if (!EnumDisplayDevicesW(outputName, 0, &display, 0)) return facts;
    facts.id = Utf8FromWide(display.DeviceID);
    const std::wstring driverKey = DriverKeyOf(display.DeviceID);
    if (driverKey.empty()) return facts;

    HDEVINFO devices = SetupDiGetClassDevsW(&MonitorClass, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE) return facts;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(devices, i, &device); ++i) {
        wchar_t driver[200] = {};
        if (!SetupDiGetDeviceRegistryPropertyW(devices, &device, SPDRP_DRIVER, nullptr,
                                               reinterpret_cast<BYTE*>(driver), sizeof driver - sizeof(wchar_t),
                                               nullptr) ||
            _wcsicmp(driver, driverKey.c_str()) != 0) {
            continue;
        }
        wchar_t instance[MAX_DEVICE_ID_LEN] = {};
        if (SetupDiGetDeviceInstanceIdW(devices, &device, instance, MAX_DEVICE_ID_LEN, nullptr)) {
            facts.id = Utf8FromWide(instance);
        }
        HKEY key = SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key != INVALID_HANDLE_VALUE) {
            const std::vector<uint8_t> edid = ReadBinaryValue(key, L"EDID");
            facts.image = DecodeEdidImageSize(edid.data(), edid.size());
            RegCloseKey(key);
        }
        break;
    }
    SetupDiDestroyDeviceInfoList(devices);
    return facts;
}

// The device walk is slow: each output is read once, until the displays
// change (another monitor may then be on it).
std::mutex FactsMutex;
std::map<std::wstring, MonitorFacts> FactsByOutput;

MonitorFacts CachedMonitorFacts(const wchar_t* outputName) {
    std::lock_guard<std::mutex> lock(FactsMutex);
    auto it = FactsByOutput.find(outputName);
    if (it == FactsByOutput.end()) it = FactsByOutput.emplace(outputName, ReadMonitorFacts(outputName)).first;
    return it->second;
}

}  // namespace

void ForgetMonitorFacts() {
    std::lock_guard<std::mutex> lock(FactsMutex);
    FactsByOutput.clear();
}

MonitorPixels MonitorAt(Point p) {
    MonitorPixels out;
    HMONITOR monitor = MonitorFromPoint(POINT{p.x, p.y}, MONITOR_DEFAULTTONEAREST);
    MONITORINFOEXW info{};
    info.cbSize = sizeof info;
    if (!monitor || !GetMonitorInfoW(monitor, &info)) return out;
    const MonitorFacts facts = CachedMonitorFacts(info.szDevice);
    out.id = facts.id;
    out.scale.scaleFactor = ScaleFactorOf(monitor);

    std::optional<double> fromMonitor;
    if (facts.image) {
        fromMonitor = EdidPixelsPerInch(*facts.image, info.rcMonitor.right - info.rcMonitor.left,
                                        info.rcMonitor.bottom - info.rcMonitor.top);
    }
    out.size = ResolvePixelSize(MonitorCalibration(out.id), fromMonitor, out.scale.scaleFactor);
    out.scale.pixelsPerInch = out.size.pixelsPerInch;
    return out;
}

#include "measure/measure_settings.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>

#include "measure/measure_units.h"
#include "settings/value_exchange.h"

MeasureSettingsBlock MeasureSettings;

namespace {

constexpr double MinStoredPpi = 20.0;
constexpr double MaxStoredPpi = 2000.0;

std::mutex CalibrationMutex;
std::vector<MonitorCalibrationEntry> Calibrations;  // oldest first

bool SaneSize(double ppi) { return std::isfinite(ppi) && ppi >= MinStoredPpi && ppi <= MaxStoredPpi; }

}  // namespace

void SetMonitorCalibration(const std::string& monitor, double pixelsPerInch) {
    if (monitor.empty() || monitor.size() >= CalibrationNameBytes || !SaneSize(pixelsPerInch)) return;
    std::lock_guard<std::mutex> lock(CalibrationMutex);
    std::erase_if(Calibrations, [&](const MonitorCalibrationEntry& e) { return e.monitor == monitor; });
    if (Calibrations.size() >= size_t(CalibrationSlots)) Calibrations.erase(Calibrations.begin());
    Calibrations.push_back({monitor, pixelsPerInch});
}

void ForgetMonitorCalibration(const std::string& monitor) {
    std::lock_guard<std::mutex> lock(CalibrationMutex);
    std::erase_if(Calibrations, [&](const MonitorCalibrationEntry& e) { return e.monitor == monitor; });
}

std::optional<double> MonitorCalibration(const std::string& monitor) {
    std::lock_guard<std::mutex> lock(CalibrationMutex);
    for (const MonitorCalibrationEntry& e : Calibrations) {
        if (e.monitor == monitor) return e.pixelsPerInch;
    }
    return std::nullopt;
}

void EncodeCalibrations(const std::vector<MonitorCalibrationEntry>& entries, uint8_t* bytes) {
    std::memset(bytes, 0, StoredCalibrationSize);
    size_t slot = 0;
    for (const MonitorCalibrationEntry& e : entries) {
        if (slot == size_t(CalibrationSlots)) break;
        if (e.monitor.empty() || e.monitor.size() >= CalibrationNameBytes) continue;
        uint8_t* record = bytes + slot * CalibrationRecordBytes;
        std::memcpy(record, e.monitor.data(), e.monitor.size());
        uint64_t bits = 0;
        std::memcpy(&bits, &e.pixelsPerInch, sizeof bits);
        for (int i = 0; i < 8; ++i) record[CalibrationNameBytes + i] = uint8_t(bits >> (8 * i));
        ++slot;
    }
}

std::vector<MonitorCalibrationEntry> DecodeCalibrations(const uint8_t* bytes) {
    std::vector<MonitorCalibrationEntry> entries;
    for (uint32_t slot = 0; slot < uint32_t(CalibrationSlots); ++slot) {
        const uint8_t* record = bytes + slot * CalibrationRecordBytes;
        const void* end = std::memchr(record, 0, CalibrationNameBytes);
        if (end == nullptr || end == record) continue;
        uint64_t bits = 0;
        for (int i = 0; i < 8; ++i) bits |= uint64_t(record[CalibrationNameBytes + i]) << (8 * i);
        double ppi = 0.0;
        std::memcpy(&ppi, &bits, sizeof ppi);
        if (!SaneSize(ppi)) continue;
        entries.push_back({std::string(reinterpret_cast<const char*>(record)), ppi});
    }
    return entries;
}

void ExchangeMeasureSettings(RegKey& key, bool save) {
    uint32_t unit = uint32_t(MeasureSettings.unit.load());
    uint32_t form = uint32_t(MeasureSettings.copyForm.load());
    ExchangeDword(key, save, "unit", unit);
    ExchangeDword(key, save, "copyform", form);

    uint8_t bytes[StoredCalibrationSize] = {};
    if (save) {
        std::lock_guard<std::mutex> lock(CalibrationMutex);
        EncodeCalibrations(Calibrations, bytes);
        ExchangeBinary(key, true, "calibration", bytes, StoredCalibrationSize);
        return;
    }
    // Unknown numbers fall back to the defaults where they are used; keep
    // them in range here too, so that the menus check a real item.
    MeasureSettings.unit = int32_t(UnitFromStored(int32_t(unit)));
    MeasureSettings.copyForm = form == 1 ? 1 : 0;  // CopyForm::Details or the label
    const bool loaded = ExchangeBinary(key, false, "calibration", bytes, StoredCalibrationSize);
    std::lock_guard<std::mutex> lock(CalibrationMutex);
    Calibrations = loaded ? DecodeCalibrations(bytes) : std::vector<MonitorCalibrationEntry>{};
}

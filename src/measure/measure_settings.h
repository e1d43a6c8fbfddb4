// The settings of units, calibration and copying, stored in the program's
// key beside the others. A store without them (or with damaged ones) gives
// the physical-pixel label, no calibration and the label text as copy form.
#pragma once
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "settings/reg_key.h"

struct MeasureSettingsBlock {
    std::atomic<int32_t> unit{0};      // "unit": a MeasureUnit number
    std::atomic<int32_t> copyForm{0};  // "copyform": a CopyForm number
};
extern MeasureSettingsBlock MeasureSettings;

// Calibrations per monitor (its device instance id, which stays with the
// monitor and its connection whichever output number Windows gives it),
// process-wide and safe from any thread. At most CalibrationSlots monitors
// are kept; a new one beyond that replaces the one calibrated longest ago.
constexpr int32_t CalibrationSlots = 8;
void SetMonitorCalibration(const std::string& monitor, double pixelsPerInch);
void ForgetMonitorCalibration(const std::string& monitor);
std::optional<double> MonitorCalibration(const std::string& monitor);

// The stored form, "calibration" (REG_BINARY): CalibrationSlots records of
// 104 bytes, each a monitor id of up to 95 bytes, zero-filled, and the
// pixels per inch as a little-endian IEEE 754 double. An empty id marks an
// unused record. A value of another size (the older 256 bytes, which kept
// output names such as \\.\DISPLAY1) loads as no calibrations.
constexpr uint32_t CalibrationNameBytes = 96;
constexpr uint32_t CalibrationRecordBytes = CalibrationNameBytes + 8;
constexpr uint32_t StoredCalibrationSize = CalibrationSlots * CalibrationRecordBytes;
static_assert(StoredCalibrationSize == 832);

struct MonitorCalibrationEntry {
    std::string monitor;
    double pixelsPerInch = 0.0;
};
void EncodeCalibrations(const std::vector<MonitorCalibrationEntry>& entries, uint8_t* bytes);
// Skips records that are unused, unterminated or hold no sane size.
std::vector<MonitorCalibrationEntry> DecodeCalibrations(const uint8_t* bytes);

// Loads or saves "unit", "copyform" and "calibration"; part of the one
// settings exchange. A failed load leaves the defaults.
void ExchangeMeasureSettings(RegKey& key, bool save);

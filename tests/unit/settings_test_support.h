// Every setting back to its built-in default, an empty store, a quiet system;
// a test of the settings also checks that it closed every key it opened.
#pragma once
#include <gtest/gtest.h>

#include "fakes/fake_key_value_store.h"
#include "fakes/fake_platform.h"
#include "input/hotkey_bindings.h"
#include "measure/measure_settings.h"
#include "overlay/display_object.h"
#include "platform/key_value_store.h"
#include "settings/self_start.h"
#include "settings/settings.h"

// The monitor a test calibrates.
inline const std::string TestMonitor = "MONITOR\\Default_Monitor\\{4D36E96E-E325-11CE-BFC1-08002BE10318}\\0000";

inline void ResetAllSettings() {
    ResetFakeSystem();
    ResetFakeKeyValueStore();
    FakeOwnProcess = {};
    RestoreFlag = false;
    Settings.toggle = Settings.usehooks = Settings.autostart = true;
    Settings.invert = false;
    Settings.fade = 300;
    RulerDisplayWindow& d = TheDisplay;
    d.measure.startPoint = {960, 810};
    d.measure.referenceAngle = 0.0, d.alpha = 164, d.refnr = 1, d.linethick = 1.0, d.rlimit = 50;
    d.reflines = d.antialias = d.numbers = d.konscr = d.cross0 = true;
    SetDisplayFont(nullptr);
    ResetBindingsToDefaults();
    MeasureSettings.unit = 0;
    MeasureSettings.copyForm = 0;
    ForgetMonitorCalibration(TestMonitor);
    AutostartRegistered = false;
}

class SettingsTest : public testing::Test {
protected:
    void SetUp() override { ResetAllSettings(); }
    void TearDown() override { EXPECT_EQ(FakeStore.openKeys, 0) << "a key was left open"; }
};

// The program's top-level settings, process-wide. The options thread writes
// them in place and the main thread reads them, so each is an atomic value.
// The display settings live in the display object (overlay/display_object.h).
#pragma once
#include <atomic>
#include <cstdint>

struct GeneralSettings {
    std::atomic<bool> toggle{true};     // "toggle": the toggle key works like a lock key
    std::atomic<bool> invert{false};    // "invert": the key turns the ruler off; default set at start
    std::atomic<int32_t> fade{300};     // "fade": ms of a full fade in or out
    std::atomic<bool> usehooks{true};   // "usehooks": install the low-level hooks
    std::atomic<bool> autostart{true};  // "autostart": register the run-once entry at log-off
};

extern GeneralSettings Settings;

// Set while a restart with default settings is pending: no save writes
// anything. Cleared right after the start-up load.
extern std::atomic<bool> RestoreFlag;

// Loads (save false) or saves (save true) every setting, value by value.
// Main thread only.
void SettingsExchange(bool save);

// Sets RestoreFlag and stores "restore" = 1, as one step with respect to a
// running save, so that the next start keeps every default. Any thread.
void MarkRestorePending();

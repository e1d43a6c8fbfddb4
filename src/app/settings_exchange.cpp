// The one routine that loads and saves every setting. Loading and saving run
// through the same list of value names in the same order, so the two
// directions cannot drift apart.
//
// A loaded value that more than one part of the program uses is made usable
// here, by the rules of usable_values.h: refnr, linethick and refangle.
// Values with a single user are used as stored, and that user copes:
//   alpha      clamped to 0..255 by the fade (so -1 shows nothing)
//   rlimit     below 1 counts as 1 ms between frames
//   fade       0 or less jumps to the target alpha at once
//   x0, y0     any point; the line is drawn in doubles and clipped
//   bindings   any code: only codes up to 255 are read from the keyboard
//   loupezoom, loupesize  outside 2..16 and 9..31 the defaults are used
//   edgetolerance, snapradius  outside 0..255 and 1..64 the defaults are used
// The exchange itself only has to survive any bytes: every value is read
// with its exact type and size into a scratch copy, and the stored font's
// face name is always terminated (stored_font.h).
#include <cstdio>
#include <mutex>

#include "input/hotkey_bindings.h"
#include "measure/measure_settings.h"
#include "overlay/display_object.h"
#include "settings/reg_key.h"
#include "settings/settings.h"
#include "settings/stored_font.h"
#include "settings/usable_values.h"
#include "settings/value_exchange.h"

GeneralSettings Settings;
std::atomic<bool> RestoreFlag{false};

namespace {

constexpr uint32_t CurrentSettingsVersion = 36;
// Versions before this one stored binding 0 only.
constexpr uint32_t FirstVersionWithAllBindings = 34;
// What an old binding 0 without a key becomes: no key, formerly Num Lock.
constexpr uint32_t OldNoKeyCode = CodeNoKeyFlag | 0x90;

// The version of the stored settings: read by a load (0 when absent), 36
// from the first save on.
uint32_t SettingsVersion = 0;

// Makes "set RestoreFlag and store restore = 1" one step with respect to a
// save, so that a save running on the main thread cannot write "restore" 0
// over the 1 that the options thread has just written.
std::mutex ExchangeMutex;

bool ExchangeDwordField(RegKey& key, bool save, const char* name, std::atomic<int32_t>& field) {
    uint32_t copy = uint32_t(field.load());
    if (!ExchangeDword(key, save, name, copy)) return false;
    if (!save) field = int32_t(copy);
    return true;
}

bool ExchangeBoolField(RegKey& key, bool save, const char* name, std::atomic<bool>& field) {
    bool copy = field.load();
    if (!ExchangeBool(key, save, name, copy)) return false;
    if (!save) field = copy;
    return true;
}

bool ExchangeDoubleField(RegKey& key, bool save, const char* name, std::atomic<double>& field) {
    double copy = field.load();
    if (!ExchangeDouble(key, save, name, copy)) return false;
    if (!save) field = copy;
    return true;
}

void ExchangeFont(RegKey& key, bool save) {
    uint8_t bytes[StoredFontSize] = {};
    if (save) {
        StoredFont stored{};
        if (GetDisplayFont(stored.font)) {
            stored.chosen = 1;
        } else {
            stored.font = FontDescription{};  // DefaultFont is stored as 96 zeros
        }
        EncodeStoredFont(stored, bytes);
        ExchangeBinary(key, true, "font", bytes, StoredFontSize);
        return;
    }
    const bool loaded = ExchangeBinary(key, false, "font", bytes, StoredFontSize);
    const StoredFont stored = DecodeStoredFont(bytes);
    SetDisplayFont(loaded && stored.chosen != 0 ? &stored.font : nullptr);
}

// The persisted display fields, under DisplayLock: the options thread writes
// them in place and replaces the font under the same lock.
void ExchangeDisplaySettings(RegKey& key, bool save) {
    std::lock_guard<std::recursive_mutex> lock(TheDisplay.DisplayLock);
    RulerDisplayWindow& d = TheDisplay;
    ExchangeInt(key, save, "x0", d.measure.startPoint.x);
    ExchangeInt(key, save, "y0", d.measure.startPoint.y);
    ExchangeDwordField(key, save, "alpha", d.alpha);
    ExchangeDwordField(key, save, "refnr", d.refnr);
    ExchangeDoubleField(key, save, "refangle", d.measure.referenceAngle);
    ExchangeDoubleField(key, save, "linethick", d.linethick);
    ExchangeBoolField(key, save, "reflines", d.reflines);
    ExchangeBoolField(key, save, "antialias", d.antialias);
    ExchangeBoolField(key, save, "numbers", d.numbers);
    ExchangeBoolField(key, save, "konscr", d.konscr);
    ExchangeBoolField(key, save, "cross0", d.cross0);
    ExchangeDwordField(key, save, "rlimit", d.rlimit);
    ExchangeFont(key, save);
    if (save) return;
    d.refnr = UsableReflectionCount(d.refnr.load());
    d.linethick = UsableLineThickness(d.linethick.load());
    d.measure.referenceAngle = UsableAngle(d.measure.referenceAngle.load());
}

void ExchangeBindings(RegKey& key, bool save) {
    for (int32_t i = 0; i <= 255; ++i) {
        if (i >= 1 && SettingsVersion < FirstVersionWithAllBindings) break;
        HotkeyBinding* binding = BindingAt(i);
        if (!binding) break;
        HotkeyBinding copy;
        GetBinding(binding, copy, false);
        char name[16];
        std::snprintf(name, sizeof name, "key%dcode", int(i));
        ExchangeDword(key, save, name, copy.code);
        std::snprintf(name, sizeof name, "key%dmods", int(i));
        ExchangeWord(key, save, name, copy.mods);
        std::snprintf(name, sizeof name, "key%ddead", int(i));
        ExchangeBool(key, save, name, copy.dead);
        if (save) continue;
        if (SettingsVersion < FirstVersionWithAllBindings && (copy.code == 0 || (copy.code & CodeNoKeyFlag))) {
            copy.code = OldNoKeyCode;
        }
        SetBinding(binding, copy);
    }
}

}  // namespace

void SettingsExchange(bool save) {
    std::lock_guard<std::mutex> exchangeLock(ExchangeMutex);
    RegKey key;
    OpenSettingsKey(key, SettingsKeyName);
    if (save && RestoreFlag) return;  // a restart with defaults is pending: write nothing

    bool restore = RestoreFlag;
    ExchangeBool(key, save, "restore", restore);
    RestoreFlag = restore;
    // A load that finds a pending restore reads nothing more: with the key
    // closed every exchange below fails and each setting keeps its default.
    if (RestoreFlag) key.Close();

    SettingsVersion = save ? CurrentSettingsVersion : 0;  // no "version" counts as 0
    ExchangeDword(key, save, "version", SettingsVersion);

    ExchangeDisplaySettings(key, save);
    ExchangeBoolField(key, save, "toggle", Settings.toggle);
    ExchangeBoolField(key, save, "invert", Settings.invert);
    ExchangeBindings(key, save);
    ExchangeBoolField(key, save, "usehooks", Settings.usehooks);
    ExchangeBoolField(key, save, "autostart", Settings.autostart);
    ExchangeDwordField(key, save, "fade", Settings.fade);
    ExchangeBoolField(key, save, "loupe", TheDisplay.loupe);
    ExchangeDwordField(key, save, "loupezoom", TheDisplay.loupezoom);
    ExchangeDwordField(key, save, "loupesize", TheDisplay.loupesize);
    ExchangeDwordField(key, save, "edgetolerance", TheDisplay.edgetolerance);
    ExchangeDwordField(key, save, "snapradius", TheDisplay.snapradius);
    ExchangeMeasureSettings(key, save);
}

void MarkRestorePending() {
    std::lock_guard<std::mutex> exchangeLock(ExchangeMutex);
    RestoreFlag = true;
    RegKey key;
    OpenSettingsKey(key, SettingsKeyName);
    bool restore = true;
    ExchangeBool(key, true, "restore", restore);
}

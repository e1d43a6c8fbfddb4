#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "unit/settings_test_support.h"

namespace {

using SettingsExchangeTest = SettingsTest;

uint32_t DwordOf(const char* name) {
    const FakeStoredValue* v = StoredValue(name);
    if (!v || v->data.size() != 4 || v->type != platform::StoreDword) return 0xDEADBEEF;
    return uint32_t(v->data[0]) | uint32_t(v->data[1]) << 8 | uint32_t(v->data[2]) << 16 | uint32_t(v->data[3]) << 24;
}

TEST_F(SettingsExchangeTest, FirstSaveWritesEveryValueInOrder) {
    SettingsExchange(true);
    const std::vector<std::string> names = {
        "restore", "version", "x0", "y0", "alpha", "refnr", "refangle", "linethick", "reflines", "antialias",
        "numbers", "konscr", "cross0", "rlimit", "font", "toggle", "invert", "key0code", "key0mods", "key0dead",
        "key1code", "key1mods", "key1dead", "key2code", "key2mods", "key2dead", "key3code", "key3mods", "key3dead",
        "key4code", "key4mods", "key4dead", "key5code", "key5mods", "key5dead", "key6code", "key6mods", "key6dead",
        "key7code", "key7mods", "key7dead", "key8code", "key8mods", "key8dead", "usehooks", "autostart", "fade",
        "loupe", "loupezoom", "loupesize", "edgetolerance", "snapradius", "unit", "copyform", "calibration"};
    EXPECT_EQ(FakeStore.writes, names);
    const uint32_t defaults[] = {0, 0x90, 0, 0, 0x1FFE, 4, 0, 0x1FFE, 2, 0, 0x1FFE, 1, 0, 0x1FFE, 5, 0};
    for (size_t i = 0; i < std::size(defaults); ++i) EXPECT_EQ(DwordOf(names[i ? 16 + i : 0].c_str()), defaults[i]);
}

// A load and a save write the same bytes again (the unit, copy form and calibrations too), flags alternating
// so none can swap unseen (each option's own name is seen end to end); the layouts: x0 signed, the double,
// the font, its name UTF-16LE also outside ASCII.
TEST_F(SettingsExchangeTest, EachValueComesBackUnchanged) {
    const std::u16string name = u"\u00E9\u20AC\u4E2D\U0001F600";
    FontDescription font{};
    font.height = -12, font.weight = 400, font.italic = 0xAA, font.pitchAndFamily = 0xBB;
    name.copy(font.faceName, name.size()), font.faceName[30] = u'z';
    for (const bool flip : {false, true}) {
        ResetAllSettings();
        RulerDisplayWindow& d = TheDisplay;
        std::atomic<bool>* flags[] = {&d.reflines, &d.antialias, &d.numbers, &d.konscr, &d.cross0,
                                      &Settings.toggle, &Settings.invert, &Settings.usehooks, &Settings.autostart};
        for (size_t i = 0; i < std::size(flags); ++i) *flags[i] = (i % 2 == 0) != flip;
        d.measure.startPoint = {-2, 70000};
        d.alpha = 200, d.refnr = 3, d.rlimit = 40, Settings.fade = 500;
        d.measure.referenceAngle = 1.0, d.linethick = 1.0 / 3;
        MeasureSettings.unit = 2, MeasureSettings.copyForm = !flip;
        SetMonitorCalibration(TestMonitor, flip ? 120.0 : 96.5);
        SetDisplayFont(flip ? nullptr : &font);
        HotkeyBinding slow = *BindingAt(SlowMouse);
        slow.code = CodeMouseWheel, slow.mods = ModAlt, slow.dead = !flip;
        SetBinding(BindingAt(SlowMouse), slow);
        SettingsExchange(true);

        EXPECT_EQ(DwordOf("x0"), 0xFFFFFFFE);
        EXPECT_EQ(StoredValue("refangle")->data, (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
        const std::vector<uint8_t>& f = StoredValue("font")->data;
        const std::pair<size_t, uint8_t> fontBytes[] = {
            {0, 0xF4}, {3, 0xFF}, {16, 0x90}, {17, 0x01}, {20, 0xAA}, {27, 0xBB},  // height, weight, italic, pitch
            {28, 0xE9}, {29, 0x00}, {30, 0xAC}, {31, 0x20}, {33, 0x4E}, {35, 0xD8}, {37, 0xDE},  // UTF-16LE name
            {88, 'z'}, {92, 1}, {93, 0}};                                          // chosen flag
        for (const auto& [at, byte] : fontBytes) EXPECT_EQ(f.at(at), flip ? 0 : byte) << "font byte " << at;

        const auto stored = FakeStore.keys;
        ResetAllSettings();
        FakeStore.keys = stored;
        SettingsExchange(false);
        FontDescription loaded{};
        EXPECT_EQ(GetDisplayFont(loaded) ? std::u16string(loaded.faceName) : u"", flip ? u"" : name);
        EXPECT_TRUE(MeasureSettings.unit == 2 && MeasureSettings.copyForm == !flip &&
                    MonitorCalibration(TestMonitor) == (flip ? 120.0 : 96.5));
        SettingsExchange(true);
        EXPECT_EQ(FakeStore.keys, stored) << flip;
    }
}

TEST_F(SettingsExchangeTest, BindingsAndTheirMigrationFromOldVersions) {
    const struct { int32_t version; uint32_t key0code, expectedCode0; bool laterBindingsRead; } cases[] = {
        {33, 0, 0x8090, false}, {33, 0x8020, 0x8090, false}, {33, 0x20, 0x20, false},
        {-1, 0, 0x8090, false}, {34, 0, 0, true}, {36, 0x8021, 0x8021, true}};  // -1: no "version" value
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "version " << c.version << " key0code " << c.key0code);
        ResetAllSettings();
        if (c.version >= 0) SeedDword("version", uint32_t(c.version));
        SeedDword("key0code", c.key0code);
        SeedDword("key1code", 0x1FFE);  // a hold-down role saved as Ctrl stays Ctrl
        SeedDword("key1mods", ModCtrl);
        SettingsExchange(false);
        EXPECT_EQ(BindingAt(ToggleRuler)->code, c.expectedCode0);
        EXPECT_EQ(BindingAt(MoveStartPoint)->mods, c.laterBindingsRead ? ModCtrl : ModShift);
    }
}

// A value of another type or size than the program writes keeps the default;
// so does everything while a restore of the defaults is pending or the key
// cannot be opened, and neither of those writes anything.
TEST_F(SettingsExchangeTest, UnusableStoreKeepsTheDefaults) {
    SettingsExchange(true);
    const auto defaults = FakeStore.keys[FakeSettingsPath];  // what a save of the built-in defaults stores
    const std::vector<uint8_t> four = {1, 2, 3, 4};
    const struct { const char* name; uint32_t type; std::vector<uint8_t> data; bool restorePending = false, unopenable = false; }
    cases[] = {
        {"refangle", platform::StoreDword, four},  {"refangle", platform::StoreBinary, std::vector<uint8_t>(9, 1)},
        {"cross0", platform::StoreDword, {0, 0}},  {"font", platform::StoreBinary, std::vector<uint8_t>(95, 1)},
        {"alpha", platform::StoreDword, four, true, false}, {"alpha", platform::StoreDword, four, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " type " << c.type << " size " << c.data.size());
        ResetAllSettings();
        SeedValue(c.name, c.type, c.data);
        if (c.restorePending) SeedDword("restore", 1);
        if (c.unopenable) FakeStore.unopenable.insert(FakeSettingsPath);
        SettingsExchange(false);
        SettingsExchange(true);
        EXPECT_EQ(FakeStore.writes.empty(), c.restorePending || c.unopenable);
        if (c.restorePending) {
            EXPECT_EQ(FakeStore.reads, std::vector<std::string>{"restore"});
        }
        RestoreFlag = false;  // what the start-up does right after its load
        FakeStore = {};
        SettingsExchange(true);
        EXPECT_EQ(FakeStore.keys[FakeSettingsPath], defaults);
    }
}

// Stored values of the right type but out of any usable range are repaired at
// the load, once for every part of the program; what the options window can
// produce (0..99 reflections and thickness, -180..180 degrees) stays as it is.
// An unknown unit loads as pixels, so that the menus check a real item.
TEST_F(SettingsExchangeTest, DamagedValuesAreMadeUsableAtTheLoad) {
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    const struct { int32_t refnr, wantRefnr; double thick, wantThick, angle, wantAngle; } cases[] = {
        {99, 99, 99.0, 99.0, -180.0, -180.0}, {0, 0, 0.0, 0.0, 180.0, 180.0},
        {-1, 0, -3.0, 0.0, 540.0, 180.0},     {100000, 99, 1e9, 99.0, -190.0, 170.0},
        {1, 1, nan, 0.0, nan, 0.0},           {1, 1, inf, 99.0, -inf, 0.0},
    };
    auto seedDouble = [](const char* name, double v) {
        SeedValue(name, platform::StoreBinary, {reinterpret_cast<uint8_t*>(&v), reinterpret_cast<uint8_t*>(&v) + 8});
    };
    for (const auto& c : cases) {
        ResetAllSettings();
        SeedDword("refnr", uint32_t(c.refnr));
        seedDouble("linethick", c.thick);
        seedDouble("refangle", c.angle);
        SeedDword("unit", 77);
        SettingsExchange(false);
        EXPECT_TRUE(TheDisplay.refnr == c.wantRefnr && TheDisplay.linethick == c.wantThick &&
                    TheDisplay.measure.referenceAngle == c.wantAngle && MeasureSettings.unit == 0)
            << c.refnr << " " << c.thick << " " << c.angle;
    }
}

}  // namespace

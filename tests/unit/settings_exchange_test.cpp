#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>

#include "settings/stored_font.h"
#include "unit/settings_test_support.h"

namespace {

using platform::StoreBinary;
using platform::StoreDword;

class SettingsExchangeTest : public ::testing::Test {
protected:
    void SetUp() override { ResetAllSettings(); }
    void TearDown() override {
        EXPECT_EQ(FakeStore.openKeys, 0) << "a key was left open";
        EXPECT_EQ(FakeStore.badCloses, 0) << "a key was closed twice";
    }
};

// Every value of a save, in the order the exchange visits them; all are
// 4-byte DWORDs but the binary ones.
const std::vector<std::string> SavedNames = {
    "restore",  "version",  "x0",       "y0",       "alpha",    "refnr",    "refangle", "linethick",
    "reflines", "antialias", "numbers", "konscr",   "cross0",   "rlimit",   "font",     "toggle",
    "invert",   "key0code", "key0mods", "key0dead", "key1code", "key1mods", "key1dead", "key2code",
    "key2mods", "key2dead", "key3code", "key3mods", "key3dead", "key4code", "key4mods", "key4dead",
    "key5code", "key5mods", "key5dead", "usehooks", "autostart", "fade", "unit", "copyform", "calibration"};
const std::map<std::string, uint32_t> BinarySizes = {
    {"refangle", 8}, {"linethick", 8}, {"font", 96}, {"calibration", 256}};

uint32_t DwordOf(const char* name) {
    const FakeStoredValue* v = StoredValue(name);
    if (!v || v->data.size() != 4) return 0xDEADBEEF;
    return uint32_t(v->data[0]) | uint32_t(v->data[1]) << 8 | uint32_t(v->data[2]) << 16 |
           uint32_t(v->data[3]) << 24;
}

HotkeyBinding Binding(int32_t role) {
    HotkeyBinding copy;
    GetBinding(BindingAt(role), copy, false);
    return copy;
}

TEST_F(SettingsExchangeTest, EmptyStoreKeepsDefaultsAndFirstSaveWritesEveryValue) {
    SettingsExchange(false);
    EXPECT_TRUE(FakeStore.keys.count(FakeSettingsPath)) << "a load creates the key";
    EXPECT_EQ(TheDisplay.alpha, 164);
    EXPECT_EQ(TheDisplay.measure.startPoint, (Point{960, 810}));
    EXPECT_TRUE(FakeStore.writes.empty());

    SettingsExchange(true);
    ASSERT_EQ(FakeStore.writes.size(), SavedNames.size());
    for (size_t i = 0; i < SavedNames.size(); ++i) {
        const FakeValueAccess& w = FakeStore.writes[i];
        SCOPED_TRACE(SavedNames[i]);
        const bool binary = BinarySizes.count(SavedNames[i]) != 0;
        EXPECT_EQ(w.key + "\\" + w.name, std::string(FakeSettingsPath) + "\\" + SavedNames[i]);
        EXPECT_EQ(w.type, binary ? StoreBinary : StoreDword);
        EXPECT_EQ(w.size, binary ? BinarySizes.at(SavedNames[i]) : 4u);
    }
    EXPECT_EQ(DwordOf("version"), 36u);
    EXPECT_EQ(DwordOf("restore"), 0u);
    EXPECT_EQ(StoredValue("font")->data, std::vector<uint8_t>(96, 0)) << "the default font is stored as zeros";
    const uint32_t defaults[] = {0x90, 0, 0, 0x1FFE, 4, 0, 0x1FFE, 2, 0, 0x1FFE, 1, 0, 0x1FFE, 5, 0};
    for (int i = 0; i < 15; ++i) EXPECT_EQ(DwordOf(SavedNames[17 + size_t(i)].c_str()), defaults[i]) << i;
}

TEST_F(SettingsExchangeTest, BindingsAndTheirMigrationFromOldVersions) {
    struct Case {
        int32_t version;  // -1: no "version" value
        uint32_t key0code;
        uint32_t expectedCode0;
        bool laterBindingsRead;
    } cases[] = {
        {33, 0, 0x8090, false},     {33, 0x8020, 0x8090, false}, {33, 0x20, 0x20, false},
        {-1, 0, 0x8090, false},     {34, 0, 0, true},            {36, 0x8021, 0x8021, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "version " << c.version << " key0code " << c.key0code);
        ResetAllSettings();
        if (c.version >= 0) SeedDword("version", uint32_t(c.version));
        SeedDword("key0code", c.key0code);
        SeedDword("key1code", 0x1FFE);  // a hold-down role saved as Ctrl stays Ctrl
        SeedDword("key1mods", ModCtrl);
        SeedDword("key3dead", 1);
        SettingsExchange(false);
        EXPECT_EQ(Binding(ToggleRuler).code, c.expectedCode0);
        EXPECT_EQ(Binding(MoveStartPoint).mods, c.laterBindingsRead ? ModCtrl : ModShift);
        EXPECT_EQ(Binding(RotateReflection).dead, c.laterBindingsRead);
    }
}

TEST_F(SettingsExchangeTest, ValuesOfAnotherTypeOrSizeAreSkipped) {
    const std::vector<uint8_t> four = {1, 2, 3, 4};
    struct Case {
        const char* name;
        uint32_t type;
        std::vector<uint8_t> data;
    } cases[] = {
        {"refangle", StoreDword, four},
        {"refangle", StoreBinary, four},
        {"refangle", StoreBinary, std::vector<uint8_t>(9, 1)},
        {"linethick", StoreDword, four},
        {"x0", StoreBinary, four},
        {"alpha", 1 /* string */, four},
        {"cross0", StoreDword, {0, 0}},
        {"fade", StoreDword, std::vector<uint8_t>(8, 0)},
        {"font", StoreBinary, std::vector<uint8_t>(95, 1)},
        {"font", StoreBinary, std::vector<uint8_t>(97, 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " type " << c.type << " size " << c.data.size());
        ResetAllSettings();
        TheDisplay.measure.referenceAngle = 12.5;
        TheDisplay.linethick = 2.5;
        TheDisplay.measure.startPoint.x = 77;
        TheDisplay.alpha = 99;
        TheDisplay.cross0 = false;
        Settings.fade = 123;
        SeedValue(c.name, c.type, c.data);
        SettingsExchange(false);
        EXPECT_EQ(TheDisplay.measure.referenceAngle, 12.5);
        EXPECT_EQ(TheDisplay.linethick, 2.5);
        EXPECT_EQ(TheDisplay.measure.startPoint.x, 77);
        EXPECT_EQ(TheDisplay.alpha, 99);
        EXPECT_FALSE(TheDisplay.cross0);
        EXPECT_EQ(Settings.fade, 123);
        FontDescription font;
        EXPECT_FALSE(GetDisplayFont(font));
    }
}

TEST_F(SettingsExchangeTest, PendingRestoreReadsNothingAndWritesNothing) {
    SeedDword("restore", 1);
    SeedDword("version", 36);
    SeedDword("alpha", 7);
    SeedDword("fade", 9);
    SeedDword("key1mods", ModCtrl);
    SettingsExchange(false);
    EXPECT_TRUE(RestoreFlag);
    EXPECT_EQ(FakeStore.reads, std::vector<std::string>{"restore"});
    EXPECT_EQ(TheDisplay.alpha, 164);
    EXPECT_EQ(Settings.fade, 300);
    EXPECT_EQ(Binding(MoveStartPoint).mods, ModShift);

    SettingsExchange(true);  // RestoreFlag still set: not even "restore" is written
    EXPECT_TRUE(FakeStore.writes.empty());

    RestoreFlag = false;  // what the start-up does right after its load
    SettingsExchange(true);
    EXPECT_EQ(DwordOf("restore"), 0u);
    EXPECT_EQ(DwordOf("alpha"), 164u);
    EXPECT_EQ(DwordOf("fade"), 300u);
}

TEST_F(SettingsExchangeTest, UnopenableKeyLeavesDefaultsAndWritesNothing) {
    FakeStore.unopenable.insert(FakeSettingsPath);
    SeedDword("alpha", 7);
    SettingsExchange(false);
    EXPECT_EQ(TheDisplay.alpha, 164);
    SettingsExchange(true);
    EXPECT_TRUE(FakeStore.writes.empty());
}

// Every field set to unusual values survives a save and a load bit for bit
// (reflections, angle and line width within the ranges the load keeps).
TEST_F(SettingsExchangeTest, SaveThenLoadReproducesEveryField) {
    struct Values {
        Point start;
        int32_t alpha, refnr, rlimit, fade;
        double refangle, linethick;
        bool flags;  // every bool setting gets this value
    } cases[] = {
        {{-123456, std::numeric_limits<int32_t>::min()}, -1, 99, 0, -5, -0.0, 1.0 / 3, false},
        {{std::numeric_limits<int32_t>::max(), -1}, 255, 0, 1, 0, -180.0, 99.0, true},
    };
    FontDescription font{};
    font.height = -19;
    font.weight = 700;
    font.italic = 1;
    font.quality = NonAntialiasedQuality;
    font.pitchAndFamily = 0x31;
    std::memcpy(font.faceName, u"Segoe UI", sizeof u"Segoe UI");
    for (const Values& c : cases) {
        SCOPED_TRACE(c.alpha);
        ResetAllSettings();
        RulerDisplayWindow& d = TheDisplay;
        d.measure.startPoint = c.start;
        d.alpha = c.alpha;
        d.refnr = c.refnr;
        d.rlimit = c.rlimit;
        Settings.fade = c.fade;
        d.measure.referenceAngle = c.refangle;
        d.linethick = c.linethick;
        d.reflines = d.antialias = d.numbers = d.konscr = d.cross0 = c.flags;
        Settings.toggle = Settings.invert = Settings.usehooks = Settings.autostart = c.flags;
        SetDisplayFont(c.flags ? &font : nullptr);
        HotkeyBinding slow = Binding(SlowMouse);
        slow.code = 0x1004;
        slow.dead = c.flags;
        SetBinding(BindingAt(SlowMouse), slow);
        SettingsExchange(true);

        const auto stored = FakeStore.keys;
        ResetAllSettings();
        FakeStore.keys = stored;
        SettingsExchange(false);
        EXPECT_EQ(d.measure.startPoint, c.start);
        EXPECT_EQ(d.alpha, c.alpha);
        EXPECT_EQ(d.refnr, c.refnr);
        EXPECT_EQ(d.rlimit, c.rlimit);
        EXPECT_EQ(Settings.fade, c.fade);
        EXPECT_EQ(std::bit_cast<uint64_t>(d.measure.referenceAngle.load()), std::bit_cast<uint64_t>(c.refangle));
        EXPECT_EQ(std::bit_cast<uint64_t>(d.linethick.load()), std::bit_cast<uint64_t>(c.linethick));
        for (bool flag : {d.reflines.load(), d.antialias.load(), d.numbers.load(), d.konscr.load(), d.cross0.load(),
                          Settings.toggle.load(), Settings.invert.load(), Settings.usehooks.load(),
                          Settings.autostart.load(), Binding(SlowMouse).dead}) {
            EXPECT_EQ(flag, c.flags);
        }
        FontDescription loaded;
        EXPECT_EQ(GetDisplayFont(loaded), c.flags);
        EXPECT_TRUE(!c.flags || std::memcmp(&loaded, &font, sizeof font) == 0);
        EXPECT_EQ(Binding(SlowMouse).code, 0x1004u);
        // Saving again writes the same bytes.
        SettingsExchange(true);
        EXPECT_EQ(FakeStore.keys, stored);
    }
}

TEST_F(SettingsExchangeTest, StoredByteLayout) {
    TheDisplay.measure.startPoint = {-2, 1};
    TheDisplay.measure.referenceAngle = 1.0;
    FontDescription font{};
    font.height = -12;
    font.weight = 400;
    font.italic = 0xAA;
    font.pitchAndFamily = 0xBB;
    font.faceName[0] = u'\u00C4';
    font.faceName[31] = u'z';  // not a name anyone stores; shows the last unit's place
    SetDisplayFont(&font);
    SettingsExchange(true);
    EXPECT_EQ(StoredValue("x0")->data, (std::vector<uint8_t>{0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(StoredValue("refangle")->data, (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
    const std::vector<uint8_t>& f = StoredValue("font")->data;
    ASSERT_EQ(f.size(), 96u);
    EXPECT_EQ((std::vector<uint8_t>(f.begin(), f.begin() + 4)), (std::vector<uint8_t>{0xF4, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(f[16], 0x90);  // weight 400
    EXPECT_EQ(f[17], 0x01);
    EXPECT_EQ(f[20], 0xAA);  // italic
    EXPECT_EQ(f[27], 0xBB);  // pitch and family
    EXPECT_EQ(f[28], 0xC4);  // face name, UTF-16LE
    EXPECT_EQ(f[29], 0x00);
    EXPECT_EQ(f[90], 'z');
    EXPECT_EQ((std::vector<uint8_t>(f.begin() + 92, f.end())), (std::vector<uint8_t>{1, 0, 0, 0}));
}

TEST_F(SettingsExchangeTest, StoredFontFlagAndUnterminatedFaceName) {
    std::vector<uint8_t> blob(96, 'A');  // every face-name unit 0x4141, no zero
    blob[92] = blob[93] = blob[94] = blob[95] = 0;
    SeedValue("font", StoreBinary, blob);
    SettingsExchange(false);
    FontDescription font;
    EXPECT_FALSE(GetDisplayFont(font)) << "flag 0 means the default font";

    blob[92] = 7;  // any flag but 0 means a chosen font
    SeedValue("font", StoreBinary, blob);
    SettingsExchange(false);
    ASSERT_TRUE(GetDisplayFont(font));
    EXPECT_EQ(font.faceName[30], u'\x4141');
    EXPECT_EQ(font.faceName[31], u'\0') << "the face name is always terminated";
}

// Whatever bytes a value holds, the exchange neither crashes nor leaks a key.
TEST_F(SettingsExchangeTest, AnyStoredBytesAreSurvived) {
    for (const std::string& name : SavedNames) {
        for (uint32_t type : {0u, 1u, 3u, 4u, 11u}) {
            for (size_t size : {0, 1, 4, 8, 96, 300}) {
                SeedValue(name, type, std::vector<uint8_t>(size, 0xFF));
                SettingsExchange(false);
                // Shared values load usable (NaN, -1 repaired), for every user alike.
                const RulerDisplayWindow& d = TheDisplay;
                EXPECT_TRUE(d.refnr >= 0 && d.refnr <= 99 && d.linethick >= 0.0 && d.linethick <= 99.0 &&
                            std::isfinite(d.measure.referenceAngle.load()))
                    << name;
                RestoreFlag = false;
            }
        }
    }
}

}  // namespace

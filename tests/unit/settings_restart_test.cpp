#include <gtest/gtest.h>

#include "app/command_line.h"
#include "app/log_off.h"
#include "app/mouse_speed.h"
#include "app/ruler_control.h"
#include "base/app_messages.h"
#include "unit/settings_test_support.h"

namespace {

using RestartTest = SettingsTest;

TEST_F(RestartTest, OwnCommandLine) {
    const std::u16string longPath = u"C:\\" + std::u16string(300, u'd') + u"\\m.exe";
    const struct { std::u16string path; const char* arguments; std::string expected; } cases[] = {
        {u"C:\\Program Files\\M\\m.exe", "-hide", "\"C:\\Program Files\\M\\m.exe\" -hide"},
        {u"C:\\Program Files\\M\\m.exe", nullptr, "C:\\Program Files\\M\\m.exe"},
        {u"\"C:\\a b\\m.exe\"", "-hide", "\"C:\\a b\\m.exe\" -hide"},
        {u"C:\\\u00E9\u20AC\u4E2D\U0001F600\\m.exe", "-restart",  // 2, 3, 3 and 4 bytes in UTF-8
         "\"C:\\\xC3\xA9\xE2\x82\xAC\xE4\xB8\xAD\xF0\x9F\x98\x80\\m.exe\" -restart"},
        {longPath, nullptr, "C:\\" + std::string(300, 'd') + "\\m.exe"},  // beyond the first buffer
        {std::u16string(260, u'b'), nullptr, std::string(260, 'b')},  // exactly fills it: cut, asked again
    };
    for (const auto& c : cases) {
        FakeOwnProcess.modulePath = c.path;
        EXPECT_EQ(GetOwnCommandLine(c.arguments), c.expected);
    }
}

// At log-off: the run-once entry, once per run, only while autostart is on and with its path unchanged also
// outside ASCII (é, €, 中, an emoji; the end of the program is seen end to end), and the user's mouse speed back.
TEST_F(RestartTest, LogOffRegistersAutostartOnceAndRestoresTheMouse) {
    Settings.autostart = false;
    RegisterAutostart();
    EXPECT_TRUE(FakeStore.writes.empty());
    Settings.autostart = true;  // switched on later in the same run
    SetSlowMouse(true);
    FakeOwnProcess.modulePath = u"C:\\\u00E9\u20AC\u4E2D\U0001F600\\m.exe";
    LogOffHandling();
    LogOffHandling();  // the second overlay window gets the notice too
    EXPECT_EQ(FakeSystem.mouseSpeed, 10);
    EXPECT_EQ(FakeStore.writes, std::vector<std::string>{"Measurix"});
    const std::u16string entry = u"\"" + FakeOwnProcess.modulePath + u"\" -hide";
    std::vector<uint8_t> utf16le;
    for (const char16_t unit : entry + u'\0') utf16le.insert(utf16le.end(), {uint8_t(unit), uint8_t(unit >> 8)});
    EXPECT_EQ(StoredValue("Measurix", "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce")->data, utf16le);
}

// A start point that a held Shift moves is saved at most once a second; an end within that second (a
// request of another instance, a log-off) saves its last place first, and a restart nothing after it.
TEST_F(RestartTest, AnEndDuringAHeldKeyDragSavesTheLastPlaceFirst) {
    const auto storedX = [] { const FakeStoredValue* v = StoredValue("x0"); return v ? v->data[0] | v->data[1] << 8 : -1; };
    for (const intptr_t request : {InstanceRequestExit, InstanceRequestRestart, intptr_t(0)}) {  // 0: log-off
        SetUp();
        ResetKeyStates();
        RulerOn = true;
        FakeSystem.asyncKeyState[0xA0] = int16_t(0x8000);  // Shift held
        for (const int32_t x : {700, 730}) TheDisplay.measure.startPoint.x = x, PollModes();  // as the drag moves it
        ASSERT_NE(storedX(), 730) << "the second move waits for its second";
        request ? EndByRequest(request) : LogOffHandling();
        EXPECT_EQ(storedX(), 730) << request;
        EXPECT_EQ(RestoreFlag.load(), request == InstanceRequestRestart);
    }
    RulerOn = false;
}

// Single words, their case and the refusals a user meets are seen end to end;
// here the mixed lists.
TEST(CommandLine, WordsAfterDashOrSlashInAnyCase) {
    const struct { std::vector<std::string> arguments; bool hide, exit, restart; const char* unknown; } cases[] = {
        {{"-ReStArT", "/Hide"}, true, false, true, nullptr}, {{"-hidee", "hide"}, false, false, false, "-hidee"},
        {{"-hide", "/x", "-exit"}, true, false, false, "/x"},  // stops at the first unknown word
    };
    for (const auto& c : cases) {
        const CommandLineWords w = ParseCommandLine(c.arguments);
        EXPECT_TRUE(w.hide == c.hide && w.exit == c.exit && w.restart == c.restart) << c.arguments[0];
        EXPECT_EQ(w.unknown.value_or("(none)"), c.unknown ? c.unknown : "(none)");
    }
}

TEST(SingleInstance, DecisionTable) {
    constexpr intptr_t None = -1, Exit = InstanceRequestExit, Restart = InstanceRequestRestart;
    // Another instance running; -hide, -exit, -restart given; what is posted to it; this one keeps running; it
    // waits for the other's end. The hand-overs (-hide, none, -restart, -exit) are seen end to end; here all.
    const struct { bool other, hide, exit, restart; intptr_t request; bool keepRunning, wait; } rows[] = {
        {0, 0, 0, 0, None, 1, 0}, {0, 1, 0, 1, None, 1, 0}, {0, 0, 1, 0, None, 0, 0}, {1, 1, 0, 0, None, 0, 0},
        {1, 1, 1, 0, Exit, 0, 1}, {1, 1, 0, 1, None, 1, 0}, {1, 0, 1, 1, Restart | Exit, 0, 1}, {1, 0, 0, 1, Restart, 1, 1}};
    for (const auto& r : rows) {
        const InstanceDecision d = DecideInstance(r.other, {r.hide, r.exit, r.restart, {}});
        EXPECT_EQ(std::tuple(d.request.value_or(None), d.keepRunning, d.waitForEnd),
                  std::tuple(r.request, r.keepRunning, r.wait)) << r.other << r.hide << r.exit << r.restart;
    }
}

}  // namespace

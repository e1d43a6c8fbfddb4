"""The harness itself under Wine: mxdriver against its own demo window, the
key log, the registry helpers and screenshots. Other end-to-end tests rely on
these; when one of them breaks, this test names the broken part."""

import json
import subprocess
import unittest

from harness import DESKTOP_BACKGROUND, MEASURIX_KEY, MeasurixTestCase, differs_from, near, signed32
from harness.driver import _LineReader
from harness.environment import wine_env
from harness.screen import parse_ppm

TCN_SELCHANGING, TCN_SELCHANGE = -552, -551
BN_CLICKED, CBN_SELCHANGE, EN_CHANGE = 0, 1, 0x300
TAB, COMBO, TRACK, CHECK, EDIT, BUTTON, SPIN = range(100, 107)
VK_SHIFT, VK_A = 0x10, 0x41


class DemoWindow:
    def __init__(self, test):
        self.process = subprocess.Popen(["wine", test.mxdriver_exe, "demo"], env=wine_env(test.state),
                                        stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        test.addCleanup(self.stop)
        self.reader = _LineReader(self.process.stdout)
        self.hwnd = json.loads(self.reader.readline(30))["hwnd"]

    def events(self, count):
        """The next `count` notifications as (event, id, code)."""
        events = []
        for _ in range(count):
            line = self.reader.readline(10)
            if line is None:
                raise AssertionError("the demo window reported only %r" % events)
            event = json.loads(line)
            events.append((event["event"], event["id"], event["code"]))
        return events

    def stop(self):
        self.process.kill()
        self.process.wait(timeout=10)
        self.process.stdout.close()


class HarnessTest(MeasurixTestCase):
    def test_driver_reads_and_drives_common_controls(self):
        demo = DemoWindow(self)
        controls = {c["id"]: c for c in self.driver.controls(demo.hwnd)}
        self.assertEqual((controls[TAB]["items"], controls[TAB]["selected"]), (["One", "Two", "Thr\u00e9e"], 0))
        self.assertEqual((controls[COMBO]["items"], controls[COMBO]["selected"]), (["Red", "Green", "Blue"], 1))
        self.assertEqual((controls[TRACK]["position"], controls[TRACK]["min"], controls[TRACK]["max"]), (40, 0, 100))
        self.assertEqual((controls[CHECK]["text"], controls[CHECK]["check"]), ("Check", 0))
        self.assertEqual(controls[SPIN]["position"], 3)
        self.assertNotIn("check", controls[BUTTON])

        self.assertEqual(self.driver.select_tab(demo.hwnd, 2), 2)
        notifications = [e for e in demo.events(3) if e[2] != -2]  # NM_CLICK may come too
        self.assertEqual(notifications[:2], [("notify", TAB, TCN_SELCHANGING), ("notify", TAB, TCN_SELCHANGE)])

        cases = [
            (lambda: self.driver.combo_select(demo.hwnd, COMBO, 2), ("command", COMBO, CBN_SELCHANGE)),
            (lambda: self.driver.click(demo.hwnd, CHECK), ("command", CHECK, BN_CLICKED)),
            (lambda: self.driver.click(demo.hwnd, BUTTON), ("command", BUTTON, BN_CLICKED)),
        ]
        for action, expected in cases:
            with self.subTest(expected=expected):
                action()
                self.assertEqual(demo.events(1), [expected])
        self.driver.settext(demo.hwnd, EDIT, "w\u00f6rld")
        self.assertIn(("command", EDIT, EN_CHANGE), demo.events(2))

        controls = {c["id"]: c for c in self.driver.controls(demo.hwnd)}
        self.assertEqual((controls[COMBO]["selected"], controls[CHECK]["check"], controls[EDIT]["text"]),
                         (2, 1, "w\u00f6rld"))
        with self.assertRaises(AssertionError):
            self.driver.click(demo.hwnd, 999)

    def test_screenshot_shows_the_demo_window_on_the_desktop(self):
        demo = DemoWindow(self)
        window = self.driver.wait_window(title="mxdriver demo", visible=True)
        left, top, right, bottom = window["rect"]
        shot = self.screenshot()
        self.assertTrue(near(DESKTOP_BACKGROUND)(shot.pixel(5, 5)), shot.pixel(5, 5))
        self.assertEqual(shot.bounding_box((0, 0, shot.width, shot.height), differs_from(DESKTOP_BACKGROUND)),
                         (left, top, right, bottom))
        demo.stop()

    def test_key_log_sees_xdotool_keys(self):
        log = self.driver.keylog("Key log")
        self.wait_until(lambda: self.driver.screen()["foreground"] == log.hwnd, 10, "the key log in front")
        self.input.key("a")
        self.input.keydown("shift")
        self.input.keyup("shift")
        log.wait_for(lambda events: len(events) >= 4, "four key messages")
        self.assertEqual(log.events(), [("WM_KEYDOWN", VK_A), ("WM_KEYUP", VK_A),
                                        ("WM_KEYDOWN", VK_SHIFT), ("WM_KEYUP", VK_SHIFT)])

    def test_registry_round_trip(self):
        cases = [
            ("x0", "REG_DWORD", -5, lambda v: signed32(v)),
            ("alpha", "REG_DWORD", 200, None),
            ("font", "REG_BINARY", bytes([0, 1, 0xFE, 0xFF]), None),
            ("text", "REG_SZ", "\"C:\\a b\\m.exe\" -hide", None),
        ]
        for name, kind, value, convert in cases:
            self.reg.add(MEASURIX_KEY, name, kind, value)
        stored = self.reg.values(MEASURIX_KEY)
        for name, kind, value, convert in cases:
            with self.subTest(name=name):
                read = self.reg.query(MEASURIX_KEY, name)
                self.assertEqual(stored[name], read)
                self.assertEqual(convert(read) if convert else read, value)
        self.reg.delete_value(MEASURIX_KEY, "x0")
        self.assertIsNone(self.reg.query(MEASURIX_KEY, "x0"))
        self.reg.delete_key(MEASURIX_KEY)
        self.assertEqual(self.reg.values(MEASURIX_KEY), {})


class ScreenshotTest(unittest.TestCase):
    """The pixel helpers on a made-up 4x3 picture: black with a red pixel at
    (1, 0) and a green one at (3, 2)."""

    def picture(self, header=b"P6\n4 3\n255\n"):
        pixels = bytearray(4 * 3 * 3)
        pixels[3:6] = b"\xff\x00\x00"
        pixels[(2 * 4 + 3) * 3:(2 * 4 + 3) * 3 + 3] = b"\x00\xff\x00"
        return parse_ppm(header + bytes(pixels))

    def test_headers_with_comments_and_odd_spacing_parse(self):
        for header in [b"P6\n4 3\n255\n", b"P6 4 3 255 ", b"P6\n# made by a test\n4\t3\n255\n"]:
            with self.subTest(header=header):
                shot = self.picture(header)
                self.assertEqual((shot.width, shot.height, shot.pixel(1, 0), shot.pixel(3, 2)),
                                 (4, 3, (255, 0, 0), (0, 255, 0)))

    def test_sixteen_bit_and_short_pictures_are_refused(self):
        for data in [b"P6\n4 3\n65535\n" + bytes(72), b"P6\n4 3\n255\n" + bytes(35)]:
            with self.subTest(data=data[:12]):
                with self.assertRaises(ValueError):
                    parse_ppm(data)

    def test_searches_clip_to_the_picture(self):
        shot = self.picture()
        not_black = differs_from((0, 0, 0))
        cases = [
            ((0, 0, 4, 3), [(1, 0), (3, 2)], (1, 0, 4, 3)),
            ((-5, -5, 100, 100), [(1, 0), (3, 2)], (1, 0, 4, 3)),
            ((2, 0, 4, 2), [], None),
            ((3, 2, 4, 3), [(3, 2)], (3, 2, 4, 3)),
        ]
        for rect, points, box in cases:
            with self.subTest(rect=rect):
                self.assertEqual(shot.find(rect, not_black), points)
                self.assertEqual(shot.count(rect, not_black), len(points))
                self.assertEqual(shot.bounding_box(rect, not_black), box)
        with self.assertRaises(IndexError):
            shot.pixel(4, 0)


if __name__ == "__main__":
    unittest.main()

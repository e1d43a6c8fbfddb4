"""Stored settings end to end: values seeded into the registry before a start
take effect on screen, values changed with the held keys are written back,
and damaged values of every kind neither crash the program nor get written
back changed."""

import math
import struct

from harness import MEASURIX_KEY, RUNONCE_KEY, MeasurixTestCase, signed32

DEFAULT_START = (640, 600)  # half the width, three quarters of the height of 1280x800


def is_red(p):
    return p[0] >= 120 and p[0] - max(p[1], p[2]) >= 60


def is_pure_red(p):
    return p[0] >= 247 and p[1] <= 8 and p[2] <= 8


def is_drawn(p):
    # Anything the line window puts on the flat desktop: white outline, black
    # or grey line, red cross, the label.
    return abs(p[0] - 0x24) + abs(p[1] - 0x6f) + abs(p[2] - 0x97) > 40


def box(x, y, radius):
    return (x - radius, y - radius, x + radius + 1, y + radius + 1)


def double_bytes(value):
    return struct.pack("<d", value)


class SettingsTestCase(MeasurixTestCase):
    """Starting and ending the program around seeded settings."""

    def start_and_wait(self, *args):
        process = self.start_measurix(*args)
        self.wait_main_window(process)
        return process

    def end_with_exit(self, process):
        """Ends a running instance through a second start with -exit, which
        makes it save and end without the autostart entry."""
        self.assertEqual(self.start_measurix("-exit").wait_exit(15), 0)
        self.assertEqual(process.wait_exit(15), 0, process.output()[-2000:])

    def wait_pixels(self, rect, predicate, description, minimum=4, timeout=10):
        return self.wait_until(lambda: self.screenshot().count(rect, predicate) >= minimum, timeout, description)

    def wait_no_pixels(self, rect, predicate, description, timeout=10):
        return self.wait_until(lambda: self.screenshot().count(rect, predicate) == 0, timeout, description)

    def seed(self, name, kind, data):
        self.reg.add(MEASURIX_KEY, name, kind, data)


class SeededValuesTest(SettingsTestCase):
    def test_seeded_values_change_the_drawing(self):
        # Start point 400,500; pointer 20 right of and 20 above it. Each
        # reflection moves the ray 40 pixels further up: with three
        # reflections it ends at y 360, with the default one at 440.
        self.seed("x0", "REG_DWORD", 400)
        self.seed("y0", "REG_DWORD", 500)
        self.seed("alpha", "REG_DWORD", 255)
        self.seed("refnr", "REG_DWORD", 3)
        self.seed("numbers", "REG_DWORD", 0)
        self.input.mousemove(420, 480)
        first = self.start_and_wait("-hide")
        self.wait_pixels(box(400, 500, 7), is_pure_red, "an opaque red cross at the stored start point")
        self.wait_pixels((370, 356, 431, 372), is_drawn, "the third reflection's ray near y 360")
        shot = self.screenshot()
        self.assertEqual(shot.count((360, 250, 441, 352), is_drawn), 0, "the ray goes no further than 3 reflections")
        self.assertEqual(shot.count(box(*DEFAULT_START, 8), is_red), 0, "no cross at the default start point")
        self.end_with_exit(first)

        self.seed("cross0", "REG_DWORD", 0)
        second = self.start_and_wait("-hide")
        self.wait_pixels((370, 356, 431, 372), is_drawn, "the ruler drawn again")
        self.assertEqual(self.screenshot().count(box(400, 500, 8), is_red), 0, "cross0 0 draws no cross")
        self.end_with_exit(second)
        self.assertEqual(self.reg.query(MEASURIX_KEY, "cross0"), 0)


class HeldKeysAreSavedTest(SettingsTestCase):
    def test_moved_start_point_and_turned_angle_are_stored_and_used(self):
        self.input.mousemove(640, 400)
        first = self.start_and_wait("-hide")
        self.wait_pixels(box(*DEFAULT_START, 7), is_red, "the cross at the default start point")

        # Shift drags the start point with the pointer: 100 left, 100 up.
        self.input.keydown("shift")
        for step in range(1, 5):
            self.input.mousemove(640 - 25 * step, 400 - 25 * step)
        self.wait_until(lambda: (signed32(self.reg.query(MEASURIX_KEY, "x0") or 0),
                                 signed32(self.reg.query(MEASURIX_KEY, "y0") or 0)) == (540, 500),
                        10, "x0, y0 stored as 540, 500")
        self.input.keyup("shift")

        # Alt turns the reference angle with the pointer about the start
        # point: from straight up (540,300) to straight right (640,500).
        self.input.keydown("alt")
        for x, y in ((560, 302), (600, 340), (630, 420), (640, 500)):
            self.input.mousemove(x, y)
        self.wait_until(lambda: self.reg.query(MEASURIX_KEY, "refangle") == double_bytes(90.0), 10,
                        "refangle stored as the 8 bytes of 90.0")
        self.input.keyup("alt")
        self.end_with_exit(first)

        values = self.reg.values(MEASURIX_KEY)
        self.assertEqual((signed32(values["x0"]), signed32(values["y0"])), (540, 500))
        self.assertEqual(values["refangle"], double_bytes(90.0))

        self.input.mousemove(700, 300)
        second = self.start_and_wait("-hide")
        self.wait_pixels(box(540, 500, 7), is_red, "the cross at the stored start point")
        self.assertEqual(self.screenshot().count(box(*DEFAULT_START, 8), is_red), 0)
        self.end_with_exit(second)


def dword(value):
    return ("REG_DWORD", value & 0xFFFFFFFF)


def binary(data):
    return ("REG_BINARY", bytes(data))


NAN_WITH_PAYLOAD = struct.pack("<Q", 0x7FF8000000000123)
INF = double_bytes(math.inf)
NEG_INF = double_bytes(-math.inf)
# A chosen font whose face name fills all 32 units without a terminating
# zero, with extreme height and weight.
UNTERMINATED_FONT = (struct.pack("<5i", 0x7FFFFFFF, 0, 0, 0, -1) + bytes(8) + ("A" * 32).encode("utf-16-le")
                     + struct.pack("<I", 1))

# Groups of damaged values, one start each. `visible` says whether the ruler
# must show near the pointer: a few extremes (an alpha of 0 or below, a
# toggle key switched off, fades or redraw limits of days) legitimately leave
# nothing on screen; then the program need only run and end cleanly.
DAMAGED_GROUPS = [
    ("wrong types", True, {
        "x0": binary(b"\x01\x02\x03\x04"), "y0": ("REG_SZ", "500"), "alpha": binary(bytes(8)),
        "refnr": ("REG_SZ", "3"), "refangle": dword(45), "linethick": dword(3), "rlimit": binary(bytes(4)),
        "font": dword(1), "fade": binary(bytes(4)), "key0code": binary(b"\x90\x00\x00\x00"),
        "usehooks": ("REG_SZ", "1"), "version": binary(bytes(4)), "restore": ("REG_SZ", "1"),
    }),
    ("wrong sizes", True, {
        "refangle": binary(bytes(4)), "linethick": binary(bytes(9)), "font": binary(bytes(95)),
    }),
    ("oversized blobs", True, {
        "refangle": binary(bytes(300)), "font": binary(bytes(4000)), "linethick": binary(b""),
    }),
    ("largest and smallest numbers", True, {
        "refnr": dword(0x7FFFFFFF), "rlimit": dword(0), "fade": dword(0x80000000), "alpha": dword(0x7FFFFFFF),
    }),
    ("minus one everywhere", True, {
        "x0": dword(-1), "y0": dword(-1), "refnr": dword(-1), "rlimit": dword(-1), "fade": dword(-1),
        "reflines": dword(-1), "cross0": dword(-1),
    }),
    ("not-a-number and infinities", True, {
        "refangle": binary(NAN_WITH_PAYLOAD), "linethick": binary(INF), "font": binary(UNTERMINATED_FONT),
    }),
    ("negative infinities and huge doubles", True, {
        "refangle": binary(NEG_INF), "linethick": binary(double_bytes(-1e308)), "refnr": dword(0x80000000),
    }),
    ("invisible ruler", False, {
        "linethick": binary(double_bytes(0.0)), "alpha": dword(-1), "refnr": dword(0),
        "fade": dword(0x7FFFFFFF), "rlimit": dword(0x7FFFFFFF), "version": dword(0xFFFFFFFF),
    }),
    ("bindings", False, {
        "alpha": dword(0x80000000), "key0code": dword(-1), "key0mods": dword(-1), "key0dead": dword(-1),
        "key1code": dword(0), "key2code": dword(0x7FFFFFFF), "key3mods": dword(0x80000000),
        "key4dead": dword(0x7FFFFFFF), "key4code": dword(0x1004),
    }),
]

# A start point at the far ends of the coordinate range: the line still
# passes the pointer and the label still shows beside it.
FAR_START_POINT = {"x0": dword(0x7FFFFFFF), "y0": dword(0x80000000)}

WRITTEN_TYPES = {"refangle": ("REG_BINARY", 8), "linethick": ("REG_BINARY", 8), "font": ("REG_BINARY", 96)}
UNRELATED = ("zz unrelated", b"\x00\xffkeep me")


class DamagedValuesTest(SettingsTestCase):
    def test_damaged_values_are_survived_and_written_back_only_well_formed(self):
        for group, visible, values in DAMAGED_GROUPS:
            with self.subTest(group):
                self.run_with(values, visible)

    def test_start_point_far_off_screen_still_draws_near_the_pointer(self):
        self.run_with(FAR_START_POINT, True)

    def run_with(self, values, visible):
        self.reg.delete_key(MEASURIX_KEY)
        # A known start: the ruler on whatever the Num Lock light says.
        self.seed("toggle", "REG_DWORD", 1)
        self.seed("invert", "REG_DWORD", 1)
        self.seed(UNRELATED[0], "REG_BINARY", UNRELATED[1])
        for name, (kind, data) in values.items():
            self.seed(name, kind, data)
        self.input.mousemove(640, 400)
        process = self.start_and_wait("-hide")
        try:
            if visible:
                self.wait_pixels(box(640, 400, 30), is_drawn, "the ruler near the pointer", minimum=6)
            self.input.mousemove(660, 380)
            self.end_with_exit(process)
        finally:
            process.kill()  # a failed group must not hand its successor's start over to it
        self.check_written_back(values)

    def check_written_back(self, seeded):
        stored = self.reg.values(MEASURIX_KEY)
        self.assertEqual(stored.get(UNRELATED[0]), UNRELATED[1], "a value the program does not own is untouched")
        self.assertNotIn("Measurix", self.reg.values(RUNONCE_KEY))
        for name, (kind, data) in seeded.items():
            wanted_kind, wanted_size = WRITTEN_TYPES.get(name, ("REG_DWORD", 4))
            value = stored.get(name)
            if wanted_kind == "REG_DWORD":
                self.assertIsInstance(value, int, name)
            else:
                self.assertIsInstance(value, bytes, name)
                self.assertEqual(len(value), wanted_size, name)
            well_formed = kind == wanted_kind and (kind == "REG_DWORD" or len(data) == wanted_size)
            if not well_formed or name == "restore":
                continue
            if name == "version":
                self.assertEqual(value, 36)
            elif name == "font":
                # The face name comes back terminated in its last unit.
                self.assertEqual(value[:90] + value[92:], data[:90] + data[92:])
                self.assertEqual(value[90:92], b"\x00\x00")
            elif name.startswith("key") and name.endswith(("mods", "dead")):
                continue  # a binding's modifiers follow its role, its dead flag is a bool
            elif name.startswith("key"):
                continue  # codes outside the known ones may be refused by the bindings
            elif name in ("reflines", "cross0", "numbers", "antialias", "konscr"):
                self.assertEqual(value, 1, name)
            else:
                self.assertEqual(value, data, "%s loaded and saved unchanged (no range check)" % name)

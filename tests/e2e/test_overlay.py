"""The overlay end to end: the two top-most windows of a first start, the
label beside the pointer on the side away from the start point and inside the
desktop at every edge, and the fade out and back in with Num Lock.

Under Wine, GetCursorInfo in the program reports no pointer handle while the
pointer is over another process's window (here: the desktop), so the label
keeps only the gap from the pointer; the clearance from the pointer image is
proven by the unit tests of the extent analysis."""

import time

from harness import MeasurixTestCase
from harness.screen import DESKTOP_BACKGROUND

SCREEN = (0, 0, 1280, 800)
DEFAULT_START = (640, 600)  # half the width, three quarters of the height of 1280x800


# The label is black text with a white outline, shown at 164/255 of opacity
# over the flat desktop: text pixels come out much darker than the
# background, outline pixels much lighter. (Wine without a compositing manager
# does not blend a layered window with what lies below it: a pixel shows as
# its colour times the constant alpha, so the outline is grey 164 and the
# text black. Blended, they would be lighter and bluer.)
def is_label_dark(p):
    return sum(p) < sum(DESKTOP_BACKGROUND) - 120


def is_label_light(p):
    return min(p) >= 130


def contains(outer, inner):
    return outer[0] <= inner[0] and outer[1] <= inner[1] and inner[2] <= outer[2] and inner[3] <= outer[3]


def holds_point(rect, point):
    return rect[0] <= point[0] < rect[2] and rect[1] <= point[1] < rect[3]


class OverlayTestCase(MeasurixTestCase):
    def start_ruler(self):
        process = self.start_measurix("-hide")
        self.wait_main_window(process)
        return process

    def overlay_windows(self, process):
        """The two "RulerDisplay" windows as (line, label), or None until both
        exist. The line window is told apart by its rectangle around the start
        point, the first time both are shown, and by its handle afterwards
        (hidden windows have no size)."""
        windows = {w["hwnd"]: w for w in self.driver.windows()
                   if w["class"] == "RulerDisplay" and w["pid"] == process.windows_pid}
        if len(windows) != 2:
            return None
        if not getattr(self, "line_hwnd", None):
            line = next((w for w in windows.values() if w["visible"] and holds_point(w["rect"], DEFAULT_START)), None)
            if line is None:
                return None
            self.line_hwnd = line["hwnd"]
        label = next(w for hwnd, w in windows.items() if hwnd != self.line_hwnd)
        return windows[self.line_hwnd], label

    def wait_label(self, process, pointer, check, description):
        """Waits until the label window shows beside `pointer` and
        check(label rect) holds; returns the rect."""
        def ready():
            pair = self.overlay_windows(process)
            if not pair or not pair[1]["visible"]:
                return None
            rect = pair[1]["rect"]
            return rect if rect[3] - rect[1] > 4 and check(rect) else None
        return self.wait_until(ready, 10, description)

    def assert_label_pixels(self, rect):
        """Waits until the label's text and outline both show in rect (the
        outline only gets light towards the end of the fade-in)."""
        def shown():
            shot = self.screenshot()
            return shot.count(rect, is_label_dark) >= 20 and shot.count(rect, is_label_light) >= 20
        self.wait_until(shown, 10, "dark label text with a light outline in %r" % (rect,))


class FirstStartTest(OverlayTestCase):
    def test_ruler_shows_at_once_with_the_label_beside_the_pointer(self):
        pointer = (900, 300)
        self.input.mousemove(*pointer)
        process = self.start_ruler()
        rect = self.wait_label(process, pointer, lambda r: r[0] > pointer[0], "the label right of the pointer")

        line, label = self.overlay_windows(process)
        for window in (line, label):
            self.assertTrue(window["visible"], window)
            self.assertTrue(window["topmost"], window)
            self.assertEqual(window["exstyle"] & 0x800A8, 0x800A8, window)
        # The label's window lies directly above the line's.
        windows = self.driver.windows()
        order = [w["hwnd"] for w in windows]
        self.assertEqual(order.index(label["hwnd"]) + 1, order.index(line["hwnd"]),
                         [(w["hwnd"], w["class"], w["title"], w["visible"]) for w in windows])

        self.assertTrue(rect[1] <= pointer[1] < rect[3], rect)
        self.assertLessEqual(rect[0] - pointer[0], 12, "the label keeps close to the pointer")
        self.assertTrue(contains(SCREEN, rect), rect)
        self.assert_label_pixels(rect)


class LabelPlacementTest(OverlayTestCase):
    def test_label_stays_inside_the_desktop_on_the_side_away_from_the_start(self):
        # (pointer, the side the label must be on)
        cases = [
            ((1000, 400), "right"),   # right of the start, room on the right
            ((300, 400), "left"),     # left of the start
            ((640, 400), "right"),    # level with the start: right first
            ((1279, 300), "left"),    # right edge: no room on the right
            ((5, 420), "right"),      # left of the start at the left edge: no room on the left
            ((900, 0), "right"),      # top edge: shifted down
            ((1279, 799), "left"),    # bottom right corner
            ((300, 799), "left"),     # bottom edge: shifted up
        ]
        process = self.start_ruler()
        self.wait_until(lambda: self.overlay_windows(process), 10, "the overlay windows")
        for pointer, side in cases:
            with self.subTest(pointer=pointer):
                self.input.mousemove(*pointer)

                def placed(rect, pointer=pointer, side=side):
                    beside = rect[0] > pointer[0] if side == "right" else rect[2] <= pointer[0] + 1
                    return beside and contains(SCREEN, rect) and rect[1] <= pointer[1] < rect[3]

                rect = self.wait_label(process, pointer, placed, "the label %s of %r" % (side, pointer))
                self.assertLessEqual(abs((rect[0] if side == "right" else rect[2]) - pointer[0]), 12, rect)
                self.assert_label_pixels(rect)


class NumLockTest(OverlayTestCase):
    def test_num_lock_fades_the_overlay_out_and_back_in(self):
        pointer = (900, 300)
        self.input.mousemove(*pointer)
        process = self.start_ruler()
        rect = self.wait_label(process, pointer, lambda r: r[0] > pointer[0], "the label")
        self.assert_label_pixels(rect)

        def both(visible):
            pair = self.overlay_windows(process)
            return pair is not None and all(w["visible"] == visible for w in pair)

        pressed = time.monotonic()
        self.input.key("Num_Lock")
        self.wait_until(lambda: both(False), 10, "both overlay windows hidden")
        # A fade, not a jump: the default fade takes 300 ms in 50 ms steps.
        self.assertGreaterEqual(time.monotonic() - pressed, 0.25)
        self.wait_until(lambda: self.screenshot().count(rect, is_label_dark) == 0, 5, "the label gone from the screen")

        self.input.key("Num_Lock")
        self.wait_until(lambda: both(True), 10, "both overlay windows shown again")
        self.assert_label_pixels(self.wait_label(process, pointer, lambda r: r[0] > pointer[0], "the label again"))

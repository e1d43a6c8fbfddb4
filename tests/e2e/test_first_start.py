"""A user's first day: the first start shows the options window and the
ruler, the ruler measures with the held keys, a setting changes it live,
Close & Enable keeps it running, Num Lock fades it, a second start brings the
options back, and the next start uses what was saved.

Wine draws a layered window without blending (no compositing manager): a
drawn pixel shows as its colour times the opacity 164/255, so the white
outline is grey 164, the grey ray grey 82, the red cross dark red."""

import struct
import time

from harness import MeasurixTestCase, RUNONCE_KEY

START = (640, 600)  # the default: half the width, three quarters of the height
VERSION_TEXT, LINK, CLOSE, EXIT = 1066, 110, 1, 1012
NUMBERS_BOX = 1021
WS_EX_LAYERED_TRANSPARENT_TOPMOST_TOOL = 0x800A8
# The screen without the options window and a minimized window's icon, both
# with red in their icons.
BESIDE_OPTIONS = (370, 0, 1280, 760)


def red(p):
    return p[0] >= 100 and p[1] <= 40 and p[2] <= 40


def black(p):
    return max(p) <= 40


def outline(p):
    return max(p) - min(p) <= 16 and max(p) >= 130


def ray(p):
    return max(p) - min(p) <= 16 and 50 <= max(p) <= 125


def dark(p):
    return sum(p) < 100


def box(x, y, radius):
    return (x - radius, y - radius, x + radius + 1, y + radius + 1)


def cross_at(shot, centre):
    """The red pixels of the screen form the cross around centre."""
    points = shot.find(BESIDE_OPTIONS, red)
    xs, ys = [x for x, _ in points], [y for _, y in points]
    return points and (min(xs), min(ys), max(xs), max(ys)) == (centre[0] - 6, centre[1] - 6, centre[0] + 6,
                                                             centre[1] + 6)


class FirstStartTest(MeasurixTestCase):
    def wait_cross(self, centre):
        return self.wait_until(lambda: (lambda s: s if cross_at(s, centre) else None)(self.screenshot()), 10,
                               "the red cross around %r" % (centre,))

    def test_first_day(self):
        self.input.mousemove(740, 500)
        p = self.start()
        options = self.options(p, visible=True)
        self.assertEqual((options["iconic"], options["topmost"]), (False, True))
        self.assertEqual([self.control(options, i)["text"] for i in (VERSION_TEXT, LINK, CLOSE, EXIT)],
                         ["Measurix 0.36 en", "https://measurix.example/", "&Close && Enable", "E&xit && Disable"])

        # The overlay: two top-most windows that take no input, the label's
        # directly above the line's, the line's just around what it draws.
        self.wait_ruler(p, True)
        windows = self.windows()
        overlays = [w for w in windows if w["class"] == "RulerDisplay"]
        for w in overlays:
            self.assertEqual(w["exstyle"] & WS_EX_LAYERED_TRANSPARENT_TOPMOST_TOOL,
                             WS_EX_LAYERED_TRANSPARENT_TOPMOST_TOOL, w)
        label, line = overlays
        self.assertEqual(windows.index(label) + 1, windows.index(line), "the label right above the line")
        self.wait_until(lambda: self.windows(hwnd=line["hwnd"])[0]["rect"] == [539, 299, 742, 608], 10,
                        "the line window around the drawing")
        label = self.windows(hwnd=label["hwnd"])[0]["rect"]
        self.assertTrue(740 < label[0] <= 752 and label[1] <= 500 < label[3], "label beside the pointer: %r" % label)
        self.wait_pixels(label, dark, "dark label text", 20)
        self.wait_pixels(label, lambda p: min(p) >= 130, "the label's light outline", 20)

        # The drawing: the cross (its centre left clear), the measured line
        # at 45 degrees in black between outline pixels, the reflected ray
        # in grey up to the far reflection line, both reflection lines.
        shot = self.wait_cross(START)
        self.assertFalse(red(shot.pixel(*START)))
        for y in range(510, 591, 10):
            x = next((x for x in range(1238 - y, 1243 - y) if black(shot.pixel(x, y))), None)
            self.assertIsNotNone(x, "the measured line in row %d" % y)
            self.assertTrue(outline(shot.pixel(x - 1, y)) and outline(shot.pixel(x + 1, y)), "outline in row %d" % y)
        self.assertEqual([d for d in range(20, 181, 20) if not shot.count(box(740 - d, 500 - d, 1), ray)], [])
        self.assertEqual([y for y in range(320, 581, 40) if not shot.count(box(540, y, 1), black)], [])
        self.assertEqual([y for y in range(320, 461, 40) if not shot.count(box(740, y, 1), black)], [])
        self.assertEqual(shot.count(box(540, 280, 3), black), 0, "nothing beyond the ray's end")

        # A check box changes the ruler at once and is saved.
        self.select_tab(options, 2)
        self.click(options, NUMBERS_BOX)
        self.wait_until(lambda: not self.screenshot().count(label, dark), 10, "the label gone")
        self.wait_stored("numbers", 0)

        # Close & Enable: the window goes, the ruler stays; Num Lock fades it
        # out (300 ms by default, not a jump) and back in.
        self.click(options, CLOSE, modal=True)
        self.wait_until(lambda: not self.windows(title="Measurix - Options"), 10, "the options window closed")
        pressed = time.monotonic()
        self.input.key("Num_Lock")
        self.wait_ruler(p, False)
        self.assertGreaterEqual(time.monotonic() - pressed, 0.25, "a fade, not a jump")
        self.input.key("Num_Lock")
        self.wait_ruler(p, True)

        # Shift drags the start point along; it is saved at once.
        self.input.keydown("shift")
        self.wait_until(lambda: self.keystate(0x10)["down"], 10, "Shift down")
        self.input.mousemove(800, 540)
        self.wait_cross((700, 640))
        self.input.keyup("shift")
        self.wait_until(lambda: (self.stored("x0"), self.stored("y0")) == (700, 640), 10, "x0, y0 saved")

        # Alt turns the reflection lines with the pointer about the start
        # point: a quarter turn makes them horizontal, 100 above and below it.
        self.input.keydown("alt")
        self.wait_until(lambda: self.keystate(0x12)["down"], 10, "Alt down")
        for point in ((830, 580), (850, 640), (830, 700), (800, 740)):
            self.input.mousemove(*point)
        self.input.keyup("alt")
        self.wait_until(lambda: all(self.screenshot().count(box(x, 540, 1), black) for x in range(720, 941, 40)),
                        10, "a horizontal reflection line at y 540")
        self.wait_until(lambda: abs(struct.unpack("<d", self.stored("refangle") or bytes(8))[0] - 90) < 1e-6, 10,
                        "refangle saved as 90 degrees")

        # A plain second start ends at once and brings the options back.
        self.assertEqual(self.start(wait=False).wait_exit(), 0)
        self.options(p, visible=True, iconic=False)
        self.end(p)
        self.assertNotIn("Measurix", self.reg.values(RUNONCE_KEY), "no autostart after an exit request")

        # The next start draws from the saved start point, without the label.
        self.input.mousemove(750, 600)
        q = self.start("-hide")
        self.options(q, visible=True, iconic=True)
        self.wait_cross((700, 640))
        self.wait_pixels(box(725, 620, 2), black, "the line from the saved start point")
        self.assertEqual(len(self.windows(cls="RulerDisplay", pid=q.pid, visible=True)), 1, "no label")
        self.end(q)

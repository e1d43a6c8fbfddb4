"""A user's first day: the options window and the ruler at the first start,
measuring with a held key, a setting changed live, Close & Enable, the Num
Lock fade, the end, and the next start using what was saved.
Without blending under Wine, a pixel shows as its colour times 164/255: the
white outline grey 164, the grey ray grey 82, the red cross dark red."""

import time

from harness import MeasurixTestCase, project_version

START = (640, 600)  # the default: half the width, three quarters of the height
VERSION_TEXT, LINK, CLOSE, EXIT, NUMBERS_BOX = 1066, 110, 1, 1012, 1021
NO_INPUT_TOPMOST = 0x800A8  # WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_TOOLWINDOW
BESIDE_OPTIONS = (370, 0, 1280, 760)  # not the options window or a minimized one: red icons


def red(p): return p[0] >= 100 and p[1] <= 40 and p[2] <= 40
def black(p): return max(p) <= 40
def outline(p): return max(p) - min(p) <= 16 and max(p) >= 130
def ray(p): return max(p) - min(p) <= 16 and 50 <= max(p) <= 125
def dark(p): return sum(p) < 100


def box(x, y, radius): return (x - radius, y - radius, x + radius + 1, y + radius + 1)


def cross_centre(shot):
    """The centre of the red cross (13 by 13), when the red pixels form just that."""
    points = shot.find(BESIDE_OPTIONS, red)
    xs, ys = [x for x, _ in points], [y for _, y in points]
    if points and max(xs) - min(xs) == 12 and max(ys) - min(ys) == 12:
        return min(xs) + 6, min(ys) + 6
    return None


class FirstStartTest(MeasurixTestCase):
    def wait_cross(self, centre):
        return self.wait_until(lambda: (lambda s: s if cross_centre(s) == tuple(centre) else None)(self.screenshot()),
                               10, "the red cross around %r" % (centre,))

    def shift_drag(self, start, pointer, dx, dy):
        """Shift held (Wine has it down only after the program's hook saw it) while the
        pointer moves by dx,dy: the start point follows exactly, drawn and saved."""
        end = (start[0] + dx, start[1] + dy)
        self.input.keydown("shift")
        self.wait_until(lambda: self.keystate(0x10)["down"], 10, "Shift down")
        for i in (1, 2, 3):
            self.input.mousemove(pointer[0] + dx * i // 3, pointer[1] + dy * i // 3)
        # Before Shift goes up, as Wine may pass on a copy of an older move late (the save follows in 1 s).
        at_end = lambda: cross_centre(self.screenshot()) == end and (self.stored("x0"), self.stored("y0")) == end
        self.wait_until(at_end, 10, "the start point at %r, drawn and saved" % (end,))
        self.input.keyup("shift")
        self.wait_until(at_end, 10, "the start point still at %r" % (end,))
        return end

    def test_first_day(self):
        self.input.mousemove(740, 500)
        p = self.start()
        options = self.options(p, visible=True, iconic=False, topmost=True)  # made top-most right after it shows
        self.assertEqual([self.control(options, i)["text"] for i in (VERSION_TEXT, LINK, CLOSE, EXIT)],
                         ["Measurix %s en" % project_version(), "https://measurix.example/", "&Close && Enable",
                          "E&xit && Disable"])

        # The overlay: two top-most windows taking no input, the label's right
        # above the line's, the line's just around what it draws.
        self.wait_ruler(p, True)
        windows = self.windows()
        overlays = [w for w in windows if w["class"] == "RulerDisplay"]
        self.assertEqual([w["exstyle"] & NO_INPUT_TOPMOST for w in overlays], [NO_INPUT_TOPMOST] * 2, overlays)
        label, line = overlays
        self.assertEqual(windows.index(label) + 1, windows.index(line), "the label right above the line")
        self.wait_until(lambda: self.windows(hwnd=line["hwnd"])[0]["rect"] == [539, 299, 742, 608], 10,
                        "the line window around the drawing")
        label = self.windows(hwnd=label["hwnd"])[0]["rect"]
        self.assertTrue(740 < label[0] <= 752 and label[1] <= 500 < label[3], "label beside the pointer: %r" % label)
        self.wait_pixels(label, dark, "dark label text", 20)

        # The drawing: the cross (centre clear), the measured line in black between
        # outline pixels, the ray in grey up to the far reflection line, both lines.
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

        # A check box changes the ruler at once.
        self.select_tab(options, 2)
        self.click(options, NUMBERS_BOX)
        self.wait_until(lambda: not self.screenshot().count(label, dark), 10, "the label gone")

        # Close & Enable: the window goes, the ruler stays; Num Lock fades it out
        # (300 ms by default, not a jump) and back in.
        self.click(options, CLOSE, modal=True)
        self.wait_until(lambda: not self.windows(title="Measurix - Options"), 10, "the options window closed")
        pressed = time.monotonic()
        self.input.key("Num_Lock")
        self.wait_ruler(p, False)
        self.assertGreaterEqual(time.monotonic() - pressed, 0.25, "a fade, not a jump")
        self.input.key("Num_Lock")
        self.wait_ruler(p, True)

        moved = self.shift_drag(START, (740, 500), 30, -20)
        self.end(p)

        # The next start draws from the saved start point, without the label.
        pointer = (moved[0] + 120, moved[1] + 45)
        self.input.mousemove(*pointer)
        q = self.start("-hide")
        self.options(q, visible=True, iconic=True)
        self.wait_cross(moved)
        self.wait_pixels(box(moved[0] + 60, moved[1] + 22, 2), black, "the line from the saved start point")
        self.assertEqual(len(self.windows(cls="RulerDisplay", pid=q.pid, visible=True)), 1, "no label")

        # The minimized options window is the active one: after Alt, Wine may
        # report moves 65536 px off the desktop; the next Shift drag is exact.
        self.input.keydown("alt")
        self.wait_until(lambda: self.keystate(0x12)["down"], 10, "Alt down")
        time.sleep(1)  # not a wait: the user holds Alt for a second
        self.input.keyup("alt")
        for on in (False, True):
            self.input.key("Num_Lock")
            self.wait_ruler(q, on)
        self.shift_drag(moved, pointer, 30, -20)
        self.end(q)

"""Ctrl held with the ruler on shows the loupe below the label: the pattern's pixels as exact 8-pixel squares,
the pointer's pixel framed, its colour named under them; letting go hides it. At 144 DPI the label is 1.5 times
as tall, inside the desktop, and a millimetre is 144/25.4 pixels."""

from harness import MeasurixTestCase

PATTERN = (400, 300)  # mxdriver's pattern window: its pixel (x, y) is COLOURS[(x + 2y) % 4]
COLOURS = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0)]
POINTER = (421, 321)  # on a yellow pixel, left of the start point (640, 600)


class LoupeTest(MeasurixTestCase):
    def label(self, program, check):
        def found():
            shown = self.windows(cls="RulerDisplay", pid=program.pid, visible=True)
            rect = min((w["rect"] for w in shown), key=lambda r: (r[2] - r[0]) * (r[3] - r[1]), default=None)
            return rect if rect and check(rect) else None
        return self.wait_until(found, 10, "the label")

    def magnified(self, shot, left, top, i, j, pointer=POINTER):
        """Whether the loupe's square i, j is all the colour of its pattern pixel."""
        x, y = pointer[0] - 7 + i, pointer[1] - 7 + j
        colour = COLOURS[(x - PATTERN[0] + 2 * (y - PATTERN[1])) % 4]
        x0, y0 = left + 1 + 8 * i, top + 1 + 8 * j
        return all(shot.pixel(x, y) == colour for y in range(y0, y0 + 8) for x in range(x0, x0 + 8))

    def loupe(self, program, pointer):
        """The loupe's rectangle and a screenshot, once it magnifies the pointer's pixel."""
        def shown():
            rects = [w["rect"] for w in self.windows(cls="RulerLoupe", pid=program.pid, visible=True)
                     if w["rect"][2] - w["rect"][0] > 1]  # shown a moment before its first image gives it a size
            shot = rects and self.screenshot()
            return rects and self.magnified(shot, *rects[0][:2], 7, 7, pointer) and (rects[0], shot)
        return self.wait_until(shown, 10, "the pixel at %d,%d magnified" % pointer)

    def colour_text(self, s, x0, y0, x1, y1):
        """The colour text's last six characters, as cells of 5 pixel columns (its font's pitch is 6)."""
        dark = [tuple(max(s.pixel(x, y)) < 100 for y in range(y0 + 122, y1 - 1)) for x in range(x0 + 1, x1 - 1)]
        end = max(i for i, column in enumerate(dark) if any(column))
        return [dark[end - 34 + 6 * k:end - 29 + 6 * k] for k in range(6)]

    def test_ctrl_magnifies_the_pixels_and_the_label_grows_with_the_dpi(self):
        self.pattern(*PATTERN)
        program = self.start("-hide")
        self.wait_ruler(program, True)
        self.input.mousemove(*POINTER)
        label = self.label(program, lambda r: r[2] <= POINTER[0] and r[1] < POINTER[1] < r[3])

        self.input.keydown("ctrl")
        (left, top, right, bottom), shot = self.loupe(program, POINTER)
        self.assertEqual(right - left, 15 * 8 + 2)
        self.assertLessEqual(right, POINTER[0] - 7 - 4, "left of the pointer and the magnified square")
        self.assertGreaterEqual(top, self.label(program, lambda r: r[2] <= POINTER[0] - 7)[3], "below the label")
        for i, j in [(0, 0), (1, 0), (0, 1), (5, 5), (14, 0), (0, 14)]:  # clear of the frame and the line (lower right)
            self.assertTrue(self.magnified(shot, left, top, i, j), "cell %d,%d" % (i, j))
        self.assertEqual(shot.pixel(left + 1 + 56 - 1, top + 1 + 60), (0, 0, 0), "the frame around a light pixel")
        strip = (left + 1, top + 122, right - 1, bottom - 1)
        self.assertGreater(shot.count(strip, lambda p: p == (255, 255, 255)), 500, "the colour text on white")
        # It names the pointer's pixel: #FFFF00, then #FF0000 one pixel right (no two other colours fit).
        yellow = self.colour_text(shot, left, top, right, bottom)
        self.input.mousemove(POINTER[0] + 1, POINTER[1])
        rect, red_shot = self.loupe(program, (POINTER[0] + 1, POINTER[1]))
        red = self.colour_text(red_shot, *rect)
        f, z = red[0], red[5]
        self.assertEqual((yellow, red, f != z), ([f] * 4 + [z] * 2, [f] * 2 + [z] * 4, True))
        self.input.keyup("ctrl")
        self.window(cls="RulerLoupe", pid=program.pid, visible=False)

        # 144 DPI: the label is 1.5 times as tall, also where it is pushed into the corner.
        self.end(program)
        dpi_key = r"HKEY_CURRENT_USER\Control Panel\Desktop"
        self.addCleanup(self.reg.write, {"LogPixels": None}, key=dpi_key)
        self.reg.write({"LogPixels": 144}, key=dpi_key)
        program = self.start("-hide", seed={"unit": 2})
        self.wait_ruler(program, True)
        self.input.mousemove(1279, 799)
        self.label(program, lambda r: abs((r[3] - r[1]) - 1.5 * (label[3] - label[1])) <= 1 and r[0] >= 0 and
                   r[1] >= 0 and r[2] <= 1280 and r[3] <= 800 and r[2] < 1279)
        self.input.key("Pause")  # in millimetres: without a size from the monitor, Windows' inch is 144 pixels
        self.assertEqual(self.wait_until(lambda: (lambda t: t and "mm" in t and t)(self.clipboard()), 10,
                                         "the copy in millimetres"), "112.7x35.1 118.1 mm 107.3\u00b0")

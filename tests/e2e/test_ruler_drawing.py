"""The line window's pixels end to end: the red cross at the start point, the
black measured line with its white outline, the grey reflected ray and the
black reflection lines; dragging the start point with Shift, turning the
reflection lines with Alt and setting them with Alt+Shift.

A first start has no stored settings, so the ruler is on at once with its
start point at (640, 600) (half the width, three quarters of the height of
the 1280x800 desktop), one reflection, reflection lines and the cross.

Wine without a compositing manager does not blend a layered window with what
lies below it: a drawn pixel shows as its colour times the constant alpha
(164 of 255), so the white outline appears as grey 164, the grey ray as grey
82, the red cross as dark red; undrawn pixels show the desktop unchanged. The
colour tests below accept both that and a blended look.
"""

from harness import MeasurixTestCase

START = (640, 600)
VIRTUAL_KEYS = {"shift": 0x10, "alt": 0x12}
# The screen without its bottom rows, where the minimized options window shows
# its icon.
ABOVE_TASK_ICONS = (0, 0, 1280, 760)


def is_red(p):
    return p[0] >= 100 and p[1] <= 40 and p[2] <= 40


def is_black(p):
    return max(p) <= 40


def is_grey(p, low, high):
    return max(p) - min(p) <= 16 and low <= max(p) <= high


def is_outline(p):
    return is_grey(p, 130, 255)


def is_ray(p):
    return is_grey(p, 50, 125)


def cross_box(centre):
    """The bounding box of the cross's four arms of six pixels each."""
    x, y = centre
    return (x - 6, y - 6, x + 7, y + 7)


def near_pixel(shot, x, y, predicate, radius=1):
    """The first pixel within `radius` of (x, y) that satisfies predicate, or None."""
    for dy in range(-radius, radius + 1):
        for dx in range(-radius, radius + 1):
            if 0 <= x + dx < shot.width and 0 <= y + dy < shot.height and predicate(shot.pixel(x + dx, y + dy)):
                return x + dx, y + dy
    return None


class RulerDrawingTest(MeasurixTestCase):
    def start_ruler(self, pointer):
        self.input.mousemove(*pointer)
        process = self.start_measurix("-hide")
        self.wait_main_window(process)
        self.wait_cross_at(START)
        return process

    def hold(self, *keys):
        """Presses keys and waits until Windows reports them down, so that
        the next pointer move is one made with the keys held."""
        for key in keys:
            self.input.keydown(key)
            self.wait_until(lambda: self.driver.keystate(VIRTUAL_KEYS[key])["down"], 10, key + " down")

    def release(self, *keys):
        # One key per xdotool call: Wine now and then loses one of two
        # releases sent in one call, and the key then stays down for good.
        for key in keys:
            self.input.keyup(key)
            self.wait_until(lambda: not self.driver.keystate(VIRTUAL_KEYS[key])["down"], 10, key + " up")

    def wait_cross_at(self, centre):
        """Waits until the red pixels of the screen form the cross around
        centre (and nothing red is left anywhere else); returns the shot."""
        want = cross_box(centre)

        def there():
            shot = self.screenshot()
            return shot if shot.bounding_box(ABOVE_TASK_ICONS, is_red) == want else None
        return self.wait_until(there, 15, "the red cross around %r" % (centre,))

    def missing(self, shot, points, predicate, radius=1):
        return [point for point in points if near_pixel(shot, point[0], point[1], predicate, radius) is None]

    def wait_pixels(self, points, predicate, what, radius=1):
        """Waits until every point has a pixel within radius that satisfies
        predicate; reports the points that never got one."""
        def all_there():
            shot = self.screenshot()
            return not self.missing(shot, points, predicate, radius)
        try:
            self.wait_until(all_there, 10, what)
        except AssertionError:
            shot = self.screenshot()
            self.fail("%s: no such pixel near %r" % (what, self.missing(shot, points, predicate, radius)))

    def test_cross_measured_line_outline_and_reflected_ray(self):
        pointer = (START[0] + 100, START[1] - 100)
        process = self.start_ruler(pointer)

        # The line window covers just what it draws: x from the far
        # reflection line (540) to the pointer (740), y from the ray's end
        # (300) to the cross's lower arm (606), widened by the one-pixel
        # outline.
        def line_window_rects():
            return [tuple(w["rect"]) for w in self.driver.windows()
                    if w["class"] == "RulerDisplay" and w["pid"] == process.windows_pid]
        self.wait_until(lambda: (539, 299, 742, 608) in line_window_rects(), 10,
                        "the line window at (539, 299, 742, 608)")
        shot = self.wait_cross_at(START)

        # The cross: four arms of six red pixels, the centre pixel not red.
        x0, y0 = START
        arms = ([(x0, y0 - d) for d in range(1, 7)] + [(x0, y0 + d) for d in range(1, 7)]
                + [(x0 - d, y0) for d in range(1, 7)] + [(x0 + d, y0) for d in range(1, 7)])
        self.assertEqual([p for p in arms if not is_red(shot.pixel(*p))], [])
        self.assertFalse(is_red(shot.pixel(x0, y0)), shot.pixel(x0, y0))

        # The measured line runs up and right at 45 degrees: in each row a
        # black pixel with outline pixels on both sides.
        for y in range(y0 - 90, y0 - 10, 10):
            expected_x = x0 + (y0 - y)
            with self.subTest(row=y):
                black = next((x for x in range(expected_x - 2, expected_x + 3) if is_black(shot.pixel(x, y))), None)
                self.assertIsNotNone(black, [shot.pixel(x, y) for x in range(expected_x - 2, expected_x + 3)])
                self.assertTrue(is_outline(shot.pixel(black - 1, y)), shot.pixel(black - 1, y))
                self.assertTrue(is_outline(shot.pixel(black + 1, y)), shot.pixel(black + 1, y))

        # The reflected ray: from the pointer, twice as long, up and left to
        # the far reflection line at x = 540, drawn in grey.
        ray = [(pointer[0] - d, pointer[1] - d) for d in range(20, 181, 20)]
        self.assertEqual(self.missing(shot, ray, is_ray), [], "the grey reflected ray")
        # The reflection lines: black and vertical at x = 740 and x = 540,
        # from the start point's height up to the ray's end at y = 300.
        lines = [(540, y) for y in range(320, 581, 40)] + [(740, y) for y in range(320, 461, 40)]
        self.assertEqual(self.missing(shot, lines, is_black), [], "the black reflection lines")
        # Nothing is drawn beyond the ray's end.
        self.assertIsNone(near_pixel(shot, 540, 280, is_black, radius=3))

    def test_shift_drags_the_start_point_with_the_pointer(self):
        pointer = (START[0] + 100, START[1] - 100)
        self.start_ruler(pointer)

        self.hold("shift")
        self.input.mousemove(pointer[0] + 60, pointer[1] + 40)
        self.wait_cross_at((START[0] + 60, START[1] + 40))
        self.release("shift")

        # Without Shift the start point stays where it was left, and the
        # measured line runs from there to the pointer: from (700, 640) up
        # to (690, 500).
        self.input.mousemove(pointer[0] - 50, pointer[1])
        self.wait_pixels([(691, 520), (694, 560), (697, 600)], is_black, "the line from the moved start point", 2)
        self.wait_cross_at((START[0] + 60, START[1] + 40))

    def test_alt_turns_the_reflection_lines_with_the_pointer(self):
        # Pointer up-right of the start (bearing 45): vertical lines at x = 540 and 740.
        self.start_ruler((740, 500))
        self.wait_pixels([(540, 400), (740, 400)], is_black, "the vertical reflection lines")

        # Circling a quarter turn clockwise about the start, to down-right
        # (bearing 135), turns the reference angle from 0 to 90.
        self.hold("alt")
        for point in ((770, 540), (790, 600), (770, 660), (740, 700)):
            self.input.mousemove(*point)
        # Turned by 90 degrees the lines run horizontally, at y = 500 and
        # y = 700, from the start point's x to 300 pixels right of it.
        self.wait_pixels([(x, 500) for x in range(660, 921, 40)], is_black, "a horizontal reflection line at y = 500")
        self.release("alt")
        shot = self.wait_cross_at(START)
        self.assertIsNone(near_pixel(shot, 540, 400, is_black, radius=2), "the vertical line at x = 540 is gone")

    def test_alt_shift_sets_the_reflection_lines_to_the_pointer_bearing(self):
        self.start_ruler((740, 500))
        self.wait_pixels([(540, 400), (740, 400)], is_black, "the vertical reflection lines")

        # Straight right of the start: bearing 90. The start point stays
        # although Shift is held.
        self.hold("alt", "shift")
        self.input.mousemove(840, 600)
        self.input.mousemove(841, 600)
        self.release("shift", "alt")
        self.wait_cross_at(START)

        # Back up-right with no key held: the lines stay turned to 90
        # degrees and run horizontally at y = 500 and y = 700, from the start
        # point's x to 200 pixels right of it.
        self.input.mousemove(740, 500)
        self.wait_pixels([(x, 700) for x in range(660, 821, 40)] + [(660, 500), (700, 500)], is_black,
                         "horizontal reflection lines at y = 500 and y = 700")
        shot = self.wait_cross_at(START)
        self.assertIsNone(near_pixel(shot, 540, 400, is_black, radius=2), "no vertical line at x = 540")

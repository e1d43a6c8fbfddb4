"""Pixels and X input of the end-to-end display.

    shot = take_screenshot(state)              # the whole 1280x800 screen
    shot.pixel(x, y)                           # (r, g, b)
    shot.count(rect, predicate)                # pixels in rect where predicate((r,g,b))
    shot.find(rect, predicate)                 # [(x, y), ...] of those pixels
    shot.bounding_box(rect, predicate)         # (left, top, right, bottom) exclusive, or None
    shot.save_png(path)                        # for a look after a failure
    differs_from(colour, tolerance)            # predicate: not near `colour`
    near(colour, tolerance)                    # predicate: near `colour`

rect is (left, top, right, bottom), right and bottom exclusive, clipped to
the screen. The desktop background of the Wine desktop is a flat colour,
DESKTOP_BACKGROUND, unless a test changes it.

    x = XInput(state)                          # MeasurixTestCase makes self.input
    x.key("Num_Lock")                          # press and release (xdotool key names)
    x.key("Num_Lock", "Num_Lock", delay_ms=50) # several, with a pause between
    x.keydown("shift"); x.keyup("shift")       # release_all() lets go of what is held
    x.mousemove(x, y); x.click(button=1); x.mousedown(1); x.mouseup(1)
    x.wheel(up=True)
    x.mouse_location()                         # (x, y) as X sees it

xdotool's input arrives at the Wine desktop window, which covers the screen,
so the program's low-level hooks see it.
"""

import struct
import subprocess
import zlib

from harness.environment import wine_env
from harness.waiting import wait_until

DESKTOP_BACKGROUND = (0x24, 0x6f, 0x97)  # measured on Wine 8's virtual desktop; see the harness tests


def near(colour, tolerance=8):
    r0, g0, b0 = colour
    return lambda p: abs(p[0] - r0) <= tolerance and abs(p[1] - g0) <= tolerance and abs(p[2] - b0) <= tolerance


def differs_from(colour, tolerance=8):
    is_near = near(colour, tolerance)
    return lambda p: not is_near(p)


class Screenshot:
    def __init__(self, width, height, rgb):
        self.width = width
        self.height = height
        self.rgb = rgb  # bytes, 3 per pixel, rows top to bottom

    def pixel(self, x, y):
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise IndexError("pixel (%d, %d) is off the %dx%d screen" % (x, y, self.width, self.height))
        i = (y * self.width + x) * 3
        return self.rgb[i], self.rgb[i + 1], self.rgb[i + 2]

    def _clip(self, rect):
        left, top, right, bottom = rect
        return max(0, left), max(0, top), min(self.width, right), min(self.height, bottom)

    def find(self, rect, predicate):
        left, top, right, bottom = self._clip(rect)
        found = []
        for y in range(top, bottom):
            start = (y * self.width + left) * 3
            row = self.rgb[start:start + (right - left) * 3]
            for x, pixel in enumerate(zip(row[0::3], row[1::3], row[2::3]), left):
                if predicate(pixel):
                    found.append((x, y))
        return found

    def count(self, rect, predicate):
        return len(self.find(rect, predicate))

    def bounding_box(self, rect, predicate):
        points = self.find(rect, predicate)
        if not points:
            return None
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        return min(xs), min(ys), max(xs) + 1, max(ys) + 1

    def save_png(self, path):
        stride = self.width * 3
        raw = b"".join(b"\0" + self.rgb[y * stride:(y + 1) * stride] for y in range(self.height))

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n")
            f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)))
            f.write(chunk(b"IDAT", zlib.compress(raw, 1)))
            f.write(chunk(b"IEND", b""))


def parse_ppm(data):
    """A binary PPM (P6, maxval 255) as a Screenshot."""
    fields = []
    position = 0
    while len(fields) < 4:
        while data[position:position + 1].isspace():
            position += 1
        if data[position:position + 1] == b"#":
            position = data.index(b"\n", position) + 1
            continue
        end = position
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[position:end])
        position = end
    position += 1  # the one whitespace byte after maxval
    if fields[0] != b"P6" or int(fields[3]) != 255:
        raise ValueError("not an 8-bit binary PPM: %r" % fields)
    width, height = int(fields[1]), int(fields[2])
    rgb = data[position:position + width * height * 3]
    if len(rgb) != width * height * 3:
        raise ValueError("PPM data is short")
    return Screenshot(width, height, rgb)


def take_screenshot(state):
    data = subprocess.run(["import", "-display", state["display"], "-window", "root", "-depth", "8", "ppm:-"],
                          stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          check=True, timeout=30).stdout
    return parse_ppm(data)


class XInput:
    def __init__(self, state):
        self.env = wine_env(state)
        self.held_keys = []
        self.held_buttons = []

    def xdotool(self, *args):
        return subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env, stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, check=True,
                              timeout=30).stdout.decode()

    def key(self, *keys, delay_ms=12):
        self.xdotool("key", "--delay", delay_ms, *keys)

    def keydown(self, *keys):
        self.xdotool("keydown", *keys)
        self.held_keys.extend(keys)

    def keyup(self, *keys):
        self.xdotool("keyup", *keys)
        for key in keys:
            if key in self.held_keys:
                self.held_keys.remove(key)

    def release_all(self):
        """Lets go of every key and button still held through this object
        (MeasurixTestCase does it after each test)."""
        if self.held_keys:
            self.keyup(*reversed(list(self.held_keys)))
        for button in list(self.held_buttons):
            self.mouseup(button)

    def mousemove(self, x, y):
        """Moves the pointer and waits until X reports it there (xdotool's own
        --sync waits forever when the pointer already is at the target)."""
        self.xdotool("mousemove", x, y)
        wait_until(lambda: self.mouse_location() == (x, y), 10, "the pointer at (%d, %d)" % (x, y), interval=0.01)

    def click(self, button=1, repeat=1):
        self.xdotool("click", "--repeat", repeat, button)

    def mousedown(self, button=1):
        self.xdotool("mousedown", button)
        self.held_buttons.append(button)

    def mouseup(self, button=1):
        self.xdotool("mouseup", button)
        if button in self.held_buttons:
            self.held_buttons.remove(button)

    def wheel(self, up=True, clicks=1):
        self.click(4 if up else 5, clicks)

    def mouse_location(self):
        values = dict(part.split(":") for part in self.xdotool("getmouselocation").split())
        return int(values["x"]), int(values["y"])

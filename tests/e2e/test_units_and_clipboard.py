"""The notification-area icon, units and copying as one user's story: a store
of the previous version gives a pixel label; the icon shows from start to
exit; a click and the menu switch the ruler; the menu sets millimetres, which
the label and the copy key's clipboard text show; a clipboard held open by
another program leaves the program responsive and the old text in place.

Wine 8 draws the icons into its notification area (no window per icon): the
test clicks the icon's slot at the right end and finds the icon by its yellow
pixels. xdotool's keys do not reach the icon's menu (X keeps the focus
elsewhere), so the test posts the menu's keys to the menu window."""

import math
import os
import re
import subprocess

from harness import MeasurixTestCase, MEASURIX_KEY

WM_KEYDOWN, VK_RETURN, VK_ESCAPE, VK_UP, VK_DOWN, VK_RIGHT = 0x100, 0x0D, 0x1B, 0x26, 0x28, 0x27
REPO = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
PIXEL_LABEL = re.compile(r"^(\d+)x(\d+) (\d+\.\d) (-?\d+\.\d)\u00b0$")


class UnitsAndClipboardTest(MeasurixTestCase):
    def icon_slot(self):
        left, top, right, bottom = self.driver.call("shell-tray")["tray"]
        return (right - 20, top, right, bottom)

    def icon_shown(self):
        shot = self.screenshot()
        return shot.count(self.icon_slot(), lambda p: p[0] > 180 and p[1] > 140 and p[2] < 100) > 10

    def click_icon(self, button):
        left, top, right, bottom = self.icon_slot()
        x, y = (left + right) // 2, (top + bottom) // 2
        if self.overlay_visible(self.process):
            # The overlay lets clicks through, but under Wine only once it
            # has settled around the pointer's new place.
            self.label_at(x, y)
        else:
            self.input.mousemove(x, y)
        self.input.click(button)

    def menu(self, *keys):
        self.click_icon(3)
        menu = self.driver.wait_window(cls="#32768", visible=True)
        for key in keys:
            self.driver.post(menu["hwnd"], WM_KEYDOWN, key)
        self.driver.wait_no_window(cls="#32768", visible=True)

    def copy(self, previous=None):
        self.input.key("Pause")
        return self.wait_until(lambda: (lambda t: t != previous and t)(self.driver.call("shell-clipboard")["text"]),
                               10, "a new text on the clipboard")

    def label_at(self, x, y):
        """The label's rectangle (the narrower overlay window) once it sits
        beside the pointer at (x, y)."""
        def label():
            rect = min((w["rect"] for w in self.driver.find_windows(cls="RulerDisplay", pid=self.process.windows_pid)
                        if w["visible"]), key=lambda r: r[2] - r[0], default=None)
            beside = rect and min(abs(rect[0] - x), abs(rect[2] - x)) < 40 and abs((rect[1] + rect[3]) // 2 - y) < 12
            return rect if beside else None
        self.input.mousemove(x, y)
        return self.wait_until(label, 10, "the label beside the pointer at %d,%d" % (x, y))

    def save_docs_pictures(self):
        """The menu and the millimetre label, for the README."""
        self.save_picture(self.label_at(300, 200), 30, "label-millimetres.png")
        self.click_icon(3)
        menu = self.driver.wait_window(cls="#32768", visible=True)
        self.save_picture(menu["rect"], 24, "tray-menu.png")
        self.driver.post(menu["hwnd"], WM_KEYDOWN, VK_ESCAPE)
        self.driver.wait_no_window(cls="#32768", visible=True)

    def save_picture(self, rect, margin, name):
        full = os.path.join(self.log_dir, "screen-" + name)
        self.screenshot().save_png(full)
        left, top = max(rect[0] - margin, 0), max(rect[1] - margin, 0)
        right, bottom = min(rect[2] + margin, 1280), min(rect[3] + margin, 800)
        subprocess.run(["convert", full, "-crop", "%dx%d+%d+%d" % (right - left, bottom - top, left, top), "+repage",
                        "-strip", "-colors", "64", "PNG8:" + os.path.join(REPO, "docs", name)], check=True, timeout=60)

    def test_icon_menu_units_and_copying(self):
        self.driver.call("shell-clipboard-empty")
        self.reg.add(MEASURIX_KEY, "version", "REG_DWORD", 36)  # a store of the previous version
        process = self.process = self.start_measurix("-hide")
        self.wait_ruler(process, True)
        self.wait_until(self.icon_shown, 10, "the icon in the notification area")

        pixel_label = self.label_at(300, 200)
        text = self.copy()
        pixels = PIXEL_LABEL.match(text)
        self.assertTrue(pixels, "a pixel label: %r" % text)
        dx, dy, length = int(pixels[1]), int(pixels[2]), float(pixels[3])
        self.assertAlmostEqual(length, math.hypot(dx, dy), delta=0.06)

        self.click_icon(1)
        self.wait_ruler(process, False)
        self.menu(VK_DOWN, VK_RETURN)  # "Ruler on"
        self.wait_ruler(process, True)
        self.menu(VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN, VK_RETURN)  # Units > Millimetres
        mm_label = self.label_at(300, 200)
        self.assertGreater(mm_label[2] - mm_label[0], pixel_label[2] - pixel_label[0], "the longer millimetre label")
        self.wait_until(lambda: self.reg.query(MEASURIX_KEY, "unit") == 2, 10, "the unit saved")
        mm = lambda v: "%.1f" % (v * 25.4 / 96)
        expected = "%sx%s %s mm %s\u00b0" % (mm(dx), mm(dy), mm(length), pixels[4])
        self.assertEqual(self.copy(pixels[0]), expected)
        if os.environ.get("MEASURIX_DOCS_SCREENSHOTS") == "1":
            self.save_docs_pictures()

        # Another program holds the clipboard: the copy gives up quietly and
        # the program keeps serving the icon meanwhile.
        holder = self.start_program(self.driver.exe, "shell-hold-clipboard", "5000")
        self.wait_until(lambda: not self.driver.call("shell-clipboard-free")["free"], 10, "the clipboard held")
        self.input.mousemove(400, 300)  # a copy that got through would differ
        self.input.key("Pause")
        self.click_icon(1)
        self.wait_ruler(process, False)
        self.assertEqual(holder.wait_exit(20), 0)
        self.assertEqual(self.driver.call("shell-clipboard")["text"], expected)

        self.menu(VK_UP, VK_RETURN)  # "Exit"
        self.assertEqual(process.wait_exit(20), 0)
        self.wait_until(lambda: not self.icon_shown(), 10, "the icon gone")

"""The notification-area icon, units and copying as one user's story: a store
of the previous version gives a pixel label; the icon shows from start to
exit; the menu and a click switch the ruler; the menu sets millimetres, which
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
import threading

from harness import MeasurixTestCase
from harness.desktop import Driver

WM_KEYDOWN, VK_RETURN, VK_ESCAPE, VK_UP, VK_DOWN, VK_RIGHT = 0x100, 0x0D, 0x1B, 0x26, 0x28, 0x27
DOCS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "docs")
PIXEL_LABEL = re.compile(r"^(\d+)x(\d+) (\d+\.\d) (-?\d+\.\d)\u00b0$")


class UnitsAndClipboardTest(MeasurixTestCase):
    def icon_slot(self):
        left, top, right, bottom = self.driver.call("shell-tray")
        return (right - 20, top, right, bottom)

    def icon_shown(self):
        return self.screenshot().count(self.icon_slot(), lambda p: p[0] > 180 and p[1] > 140 and p[2] < 100) > 10

    def click_icon(self, button):
        # The overlay lets clicks through; under Wine a left click through it
        # now and then gets lost, so the test left-clicks only while the
        # ruler is off, and right-clicks once the overlay has settled around
        # the pointer's new place.
        left, top, right, bottom = self.icon_slot()
        x, y = (left + right) // 2, (top + bottom) // 2
        if self.ruler(self.program):
            self.label_at(x, y)
        self.input.click(x, y, button)

    def open_menu(self):
        self.click_icon(3)
        return self.window(cls="#32768", visible=True)

    def menu(self, *keys):
        menu = self.open_menu()
        for key in keys:
            self.post(menu["hwnd"], WM_KEYDOWN, key)
        self.wait_until(lambda: not self.windows(cls="#32768", visible=True), 10, "the menu closed")

    def new_clipboard_text(self, previous):
        return self.wait_until(lambda: (lambda t: t != previous and t)(self.driver.call("shell-clipboard")["text"]),
                               10, "a new text on the clipboard")

    def copy(self, previous=None):
        self.input.key("Pause")
        return self.new_clipboard_text(previous)

    def label_at(self, x, y):
        """The label's rectangle (the narrower overlay window) once it sits
        beside the pointer at (x, y)."""
        def label():
            rect = min((w["rect"] for w in self.windows(cls="RulerDisplay", pid=self.program.pid, visible=True)),
                       key=lambda r: r[2] - r[0], default=None)
            beside = rect and min(abs(rect[0] - x), abs(rect[2] - x)) < 40 and abs((rect[1] + rect[3]) // 2 - y) < 12
            return rect if beside else None
        self.input.mousemove(x, y)
        return self.wait_until(label, 10, "the label beside the pointer at %d,%d" % (x, y))

    def save_docs_pictures(self):
        """The millimetre label and the menu, for the README."""
        self.save_picture(self.label_at(300, 200), 30, "label-millimetres.png")
        menu = self.open_menu()
        self.save_picture(menu["rect"], 24, "tray-menu.png")
        self.post(menu["hwnd"], WM_KEYDOWN, VK_ESCAPE)
        self.wait_until(lambda: not self.windows(cls="#32768", visible=True), 10, "the menu closed")

    def save_picture(self, rect, margin, name):
        left, top = max(rect[0] - margin, 0), max(rect[1] - margin, 0)
        right, bottom = min(rect[2] + margin, 1280), min(rect[3] + margin, 800)
        subprocess.run(["import", "-display", self.state["display"], "-window", "root", "-crop",
                        "%dx%d+%d+%d" % (right - left, bottom - top, left, top), "+repage", "-strip", "-colors", "64",
                        "PNG8:" + os.path.join(DOCS, name)], check=True, timeout=60)

    def focus_wine_desktop(self):
        # Keys reach the hooks only through a Wine window with the X focus.
        # A start with -hide activates no window, and the X focus can be left
        # on the root window by the desktop window of an earlier test: give
        # it to this test's Wine desktop.
        def desktop():
            try:
                return self.input.xdotool("search", "--name", "Wine desktop").split()
            except subprocess.CalledProcessError:  # none yet
                return None
        self.input.xdotool("windowfocus", self.wait_until(desktop, 10, "the Wine desktop's X window")[0])

    def test_icon_menu_units_and_copying(self):
        self.driver.call("shell-clipboard-empty")
        self.program = program = self.start("-hide", seed={"version": 36})  # a store of the previous version
        self.focus_wine_desktop()
        self.wait_ruler(program, True)
        self.wait_until(self.icon_shown, 10, "the icon in the notification area")

        pixel_label = self.label_at(300, 200)
        text = self.copy()
        pixels = PIXEL_LABEL.match(text)
        self.assertTrue(pixels, "a pixel label: %r" % text)
        dx, dy, length = int(pixels[1]), int(pixels[2]), float(pixels[3])
        self.assertAlmostEqual(length, math.hypot(dx, dy), delta=0.06)

        self.menu(VK_DOWN, VK_RETURN)  # "Ruler on"
        self.wait_ruler(program, False)
        self.click_icon(1)
        self.wait_ruler(program, True)
        self.menu(VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN, VK_RETURN)  # Units > Millimetres
        mm_label = self.label_at(300, 200)
        self.assertGreater(mm_label[2] - mm_label[0], pixel_label[2] - pixel_label[0], "the longer millimetre label")
        self.wait_stored("unit", 2)
        mm = lambda v: "%.1f" % (v * 25.4 / 96)
        expected = "%sx%s %s mm %s\u00b0" % (mm(dx), mm(dy), mm(length), pixels[4])
        self.assertEqual(self.copy(pixels[0]), expected)
        if os.environ.get("MEASURIX_DOCS_SCREENSHOTS") == "1":
            self.save_docs_pictures()
        # The menu's "Copy measurement", with the pointer on the icon; the
        # start point is right of and below 300,200 (the default start).
        self.menu(VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN)
        left, top, right, bottom = self.icon_slot()
        on_icon = "%sx%s " % (mm(abs(300 + dx - (left + right) // 2)), mm(abs(200 + dy - (top + bottom) // 2)))
        menu_copy = self.new_clipboard_text(expected)
        self.assertTrue(menu_copy.startswith(on_icon) and menu_copy.endswith("\u00b0"), (menu_copy, on_icon))

        # Another program holds the clipboard: the copy gives up quietly and
        # the program keeps serving the icon meanwhile.
        holder = Driver(self.state, self.mxdriver_exe, self.log_dir)
        self.addCleanup(holder.close)
        hold = threading.Thread(target=holder.call, args=("shell-hold-clipboard", 5000))
        hold.start()
        self.wait_until(lambda: not self.driver.call("shell-clipboard-free"), 10, "the clipboard held")
        self.input.mousemove(400, 300)  # a copy that got through would differ
        self.input.key("Pause")
        self.menu(VK_DOWN, VK_RETURN)  # "Ruler on"
        self.wait_ruler(program, False)
        hold.join(30)
        self.assertEqual(self.driver.call("shell-clipboard")["text"], menu_copy)

        self.menu(VK_UP, VK_RETURN)  # "Exit"
        self.assertEqual(program.wait_exit(20), 0)
        self.wait_until(lambda: not self.icon_shown(), 10, "the icon gone")

"""The notification-area icon, units and copying as one user's story, from a
store without the unit to the exit. Wine 8 draws the icons into its
notification area, no window per icon: the test clicks the icon's slot and
finds the icon by its yellow pixels. xdotool's keys do not reach the icon's
menu (X keeps the focus elsewhere): the test posts them to the menu window."""

import subprocess
import threading
import time

from harness import MeasurixTestCase
from harness.desktop import Driver

WM_KEYDOWN, WM_CHAR, VK_RETURN, VK_DOWN = 0x100, 0x102, 0x0D, 0x28
MEASURE = "Measurix - Measure Settings"
INK = lambda p: max(p) < 80  # the ruler's black, not the blue desktop


class UnitsAndClipboardTest(MeasurixTestCase):
    def icon_slot(self):
        """The icon's place at the notification area's right end; none while the area is hidden."""
        area = self.windows(cls="Shell_TrayWnd", visible=True)
        return area and (area[0]["rect"][2] - 20, *area[0]["rect"][1:])

    def icon_shown(self):
        slot = self.icon_slot()
        return slot and self.screenshot().count(slot, lambda p: p[0] > 180 and p[1] > 140 and p[2] < 100) > 10

    def menu(self, *keys, button=3):
        # Under Wine a click through the overlay now and then gets lost: click once it has settled at the
        # icon. (The line shows only while the ruler is on; a redraw when it is off shows the label, transparent.)
        left, top, right, bottom = self.icon_slot()
        if len(self.windows(cls="RulerDisplay", pid=self.program.pid, visible=True)) > 1:
            self.label_at((left + right) // 2, (top + bottom) // 2)
        self.input.click((left + right) // 2, (top + bottom) // 2, button)
        if keys:
            menu = self.window(cls="#32768", visible=True)
            # Access keys, not arrows: a mouse move that Wine makes up while
            # the menu is open (an overlay redrawn below the pointer) clears
            # the selection that arrow keys would have built.
            for key in keys:
                self.post(menu["hwnd"], WM_CHAR, ord(key))
            self.wait_until(lambda: not self.windows(cls="#32768", visible=True), 10, "the menu closed")

    def new_clipboard_text(self, previous):
        return self.wait_until(lambda: (lambda t: t != previous and t)(self.clipboard()), 10, "a new clipboard text")

    def label_at(self, x, y):
        """The label (the narrower overlay window) once it sits beside the pointer at (x, y)."""
        def label():
            rect = min((w["rect"] for w in self.windows(cls="RulerDisplay", pid=self.program.pid, visible=True)),
                       key=lambda r: r[2] - r[0], default=None)
            beside = rect and min(abs(rect[0] - x), abs(rect[2] - x)) < 40 and abs((rect[1] + rect[3]) // 2 - y) < 12
            return rect if beside else None
        self.input.mousemove(x, y)
        return self.wait_until(label, 10, "the label beside the pointer at %d,%d" % (x, y))

    def start_with_icon(self, **seed):
        self.driver.call("shell-clipboard-empty")
        self.program = self.start("-hide", seed=dict({"version": 36, "x0": 100, "y0": 100}, **seed))
        # Keys reach the hooks only through a Wine window with the X focus; a
        # start with -hide activates none, and an earlier test's desktop can
        # leave the focus on the root window. That desktop's X window may still
        # be found while it goes away, and focusing it fails: wait for one that
        # takes the focus.
        def focus_desktop():
            try:
                self.input.xdotool("search", "--onlyvisible", "--name", "Wine desktop", "windowfocus")
                return True
            except subprocess.CalledProcessError:
                return False
        self.wait_until(focus_desktop, 10, "the X focus on the Wine desktop")
        self.wait_ruler(self.program, True)
        self.wait_until(self.icon_shown, 10, "the icon in the notification area")
        return self.program

    def test_icon_menu_units_and_copying(self):
        program = self.start_with_icon()

        pixel_label = self.label_at(300, 200)
        self.input.key("Pause")
        pixels = self.new_clipboard_text(None)
        self.assertRegex(pixels, r"^200x100 223\.6 -?\d+\.\d\u00b0$")

        self.menu("r")  # "Ruler on"
        self.wait_ruler(program, False)
        self.menu(button=1)
        self.wait_ruler(program, True)
        self.menu("u", "m")  # Units > Millimetres
        mm_label = self.label_at(300, 200)
        self.assertGreater(mm_label[2] - mm_label[0], pixel_label[2] - pixel_label[0], "the longer millimetre label")
        self.wait_stored("unit", 2)
        # The key's switch-off keeps the line: Measure settings shows it, Calibrate and the menu's copy use it.
        self.set_num_lock(True)
        self.wait_ruler(program, False)
        self.menu("m")
        measure = self.window(title=MEASURE, visible=True)
        self.assertEqual(self.control(measure, 1110)["text"], "The measurement kept: 223.6 pixels.")
        unit_list = self.control(measure, 1101)["hwnd"]
        for key in (VK_RETURN, VK_DOWN):  # a stray Enter, then Centimetres, taken after it
            self.post(unit_list, WM_KEYDOWN, key)
        self.wait_stored("unit", 3)
        self.assertIn("assumption", self.control(measure, 1102)["text"])
        self.driver.call("settext", self.control(measure, 1103)["hwnd"], "50")
        self.click(measure, 1104)
        self.assertIn("113.6 pixels per inch, calibrated", self.control(measure, 1102)["text"])
        self.menu("c")
        menu_copy = self.new_clipboard_text(pixels)
        self.assertEqual(menu_copy, "4.47x2.24 5.00 cm " + pixels.split(" ")[2])

        # Measure settings opens again after the options window closed both; no request is lost to a message box.
        self.click(self.options(program), 1)
        self.wait_until(lambda: not self.windows(title=MEASURE), 10, "Measure settings closed")
        self.menu("m")
        measure = self.window(title=MEASURE, visible=True)
        self.driver.call("settext", self.control(measure, 1103)["hwnd"], "abc")
        self.click(measure, 1104, modal=True)
        self.window(title="Measurix - Calibration", visible=True)
        self.menu("o")
        self.options(program, visible=True)

        # Another program holds the clipboard: the copy gives up quietly, the
        # program keeps serving the icon meanwhile, and a copy still retrying
        # once the clipboard is free would get through before the exit.
        self.menu(button=1)
        self.wait_ruler(program, True)
        holder = Driver(self.state, self.mxdriver_exe, self.log_dir)
        self.addCleanup(holder.close)
        hold = threading.Thread(target=holder.call, args=("shell-hold-clipboard", 8000))
        hold.start()
        self.wait_until(lambda: self.clipboard() is None, 10, "the clipboard held")
        self.input.mousemove(400, 300)  # a copy that got through would differ
        self.input.key("Pause")
        self.menu("r")  # "Ruler on"
        self.wait_ruler(program, False)
        hold.join(30)
        # A second start's exit request while the icon's menu is open ends the program.
        self.menu()
        self.window(cls="#32768", visible=True)
        self.end(program)
        self.assertEqual(self.clipboard(), menu_copy)
        self.wait_until(lambda: not self.icon_shown(), 10, "the icon gone")

    def pins(self, **state):
        return self.windows(cls="RulerPin", pid=self.program.pid, **state)

    def pin_key(self, hold=False):  # hold: until the key repeats
        # Shift+Pause a key at a time, Pause once Wine has Shift down (Wine may lose or swap keys sent together).
        self.input.keydown("shift")
        self.wait_until(lambda: self.keystate(0x10)["down"], 10, "Shift down in Wine")
        if hold:
            return self.input.keydown("Pause")
        self.input.key("Pause")
        self.input.keyup("shift")

    def test_pins_stay_and_are_copied_and_cleared(self):
        # No reflections: the live line looks as its pin. Opaque: the white
        # shows pure once the fade in has ended.
        program = self.start_with_icon(refnr=0, alpha=255)
        started = time.monotonic()  # a switch-off within a second of the start opens the options window
        label = self.label_at(300, 200)
        area = (160, 125, label[2], label[3])  # the line's far part and the label, clear of the live ruler below
        ink = lambda: self.screenshot().find(area, INK)

        def look():  # the area's pixels
            shot = self.screenshot()
            return [shot.pixel(x, y) for y in range(area[1], area[3]) for x in range(area[0], area[2])]
        # X draws a moment after Wine presents: two screenshots alike, the white
        # pure (the fade in ended).
        white = (255, 255, 255)
        before = self.wait_until(lambda: (lambda a: a.count(white) > 100 and a == look() and a)(look()), 10,
                                 "the ruler drawn")
        self.pin_key()
        pin = self.wait_until(lambda: self.pins(visible=True), 10, "a pin shown")[0]
        self.label_at(1000, 120)
        self.wait_until(lambda: look() == before, 10, "the pin as the ruler was")
        self.pin_key()
        self.wait_until(lambda: len(self.pins(visible=True)) == 2, 10, "a second pin")
        for window in self.windows(cls="RulerDisplay", pid=program.pid):
            self.post(window["hwnd"], 0x7E)  # WM_DISPLAYCHANGE: the pins drawn again at their places
        self.wait_until(lambda: time.monotonic() - started > 1.1, 5, "a second since the start")
        self.menu("r")  # "Ruler on"
        self.wait_until(lambda: not self.pins(visible=True), 10, "the pins hidden with the ruler")
        self.wait_until(lambda: not ink(), 10, "nothing of the pin left")
        self.menu(button=1)
        self.wait_ruler(program, True)
        self.label_at(1000, 120)
        self.wait_until(lambda: look() == before, 10, "the pin shown again")
        self.assertEqual(self.pins(hwnd=pin["hwnd"])[0]["rect"], pin["rect"])

        self.menu("p")  # "Copy pinned measurements"
        self.assertRegex(self.new_clipboard_text(None),
                         r"^200x100 223\.6 -?\d+\.\d\u00b0\r\n900x20 900\.2 -?\d+\.\d\u00b0\r\n$")
        self.menu("l")  # "Clear pinned measurements"
        self.wait_until(lambda: not self.pins(), 10, "the pins gone")
        self.pin_key()
        self.wait_until(lambda: self.pins(visible=True), 10, "a new pin")
        self.pin_key(hold=True)
        self.wait_until(lambda: not self.pins(), 10, "the pins cleared by the held key")
        self.input.keyup("Pause")
        self.input.keyup("shift")
        self.menu("x")  # "Exit"
        self.assertEqual(program.wait_exit(20), 0)

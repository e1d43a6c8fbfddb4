"""The options window end to end: how it opens (shown, minimized, presented
again by a second start or by switching the ruler off twice), its tab strip
and pages, the ways to close it while the program keeps running, the exit
button, and the "Donate" page with its link and donation button.

With MEASURIX_DOCS_SCREENSHOTS=1 the tab test also writes a small picture of
each page into docs/ (options-donate.png, ...) for the README; otherwise the
pictures go to the environment's state directory only.
"""

import os
import struct
import subprocess

from harness import MEASURIX_KEY, MeasurixTestCase
from harness.environment import wine_env

OPTIONS_TITLE = "Measurix - Options"
TAB_LABELS = ["Donate", "Keyboard Shortcuts", "Ruler Display", "Advanced"]
PAGE_PICTURES = ["options-donate.png", "options-keyboard.png", "options-display.png", "options-advanced.png"]
WEB_ADDRESS = "https://measurix.example/"
DONATION_ADDRESS = WEB_ADDRESS + "donate/en/?app=Measurix"

TAB_STRIP = 1034
CLOSE_BUTTON = 1
EXIT_BUTTON = 1012
VERSION_TEXT = 1066
LINK = 110
DONATE_BUTTON = 1015
# One control that only that page has, to tell the four page dialogs apart.
PAGE_MARKERS = [VERSION_TEXT, 1011, 1032, 1036]

WM_SYSCOMMAND = 0x0112
SC_CLOSE = 0xF060
WM_NULL = 0x0000
SS_NOTIFY = 0x0100
VK_MBUTTON = 0x04

HTTPS_OPEN_KEY = r"HKLM\Software\Classes\https\shell\open\command"

REPO = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))


def is_link_blue(p):
    return p[2] >= 200 and p[0] <= 60 and p[1] <= 60


def is_link_red(p):
    return p[0] >= 200 and p[1] <= 60 and p[2] <= 60


class OptionsWindowTestCase(MeasurixTestCase):
    def start_and_wait_options(self, *args):
        process = self.start_measurix(*args)
        self.wait_main_window(process)
        window = self.driver.wait_window(title=OPTIONS_TITLE, pid=process.windows_pid, timeout=15)
        return process, window

    def options_window(self, process):
        return self.driver.find_window(title=OPTIONS_TITLE, pid=process.windows_pid)

    def wait_options_state(self, process, predicate, description):
        def check():
            window = self.options_window(process)
            return window if window is not None and predicate(window) else None
        return self.wait_until(check, 10, description)

    def wait_options_closed(self, process):
        self.wait_until(lambda: self.options_window(process) is None, 10, "the options window to close")

    def pages(self, window):
        """The four page dialogs in tab order, found by a control of each."""
        controls = self.driver.controls(window["hwnd"])
        page_dialogs = {c["hwnd"]: c for c in controls if c["parent"] == window["hwnd"] and c["class"] == "#32770"}
        pages = []
        for marker in PAGE_MARKERS:
            owners = [page_dialogs[c["parent"]] for c in controls if c["id"] == marker and c["parent"] in page_dialogs]
            self.assertEqual(len(owners), 1, "one page holds control %d" % marker)
            pages.append(owners[0])
        return pages

    def visible_pages(self, window):
        return [i for i, page in enumerate(self.pages(window)) if page["visible"]]

    def assert_overlay_follows_num_lock(self, process):
        """The ruler still works: Num Lock switches its overlay over and back."""
        before = self.wait_until(lambda: self.overlay_visible(process) is not None and
                                 (self.overlay_visible(process),), 10, "the overlay windows")[0]
        for expected in (not before, before):
            self.input.key("Num_Lock")
            self.wait_until(lambda: self.overlay_visible(process) is expected, 10,
                            "the overlay %s" % ("shown" if expected else "hidden"))

    def save_page_picture(self, window, name):
        shot = self.screenshot()
        full = os.path.join(self.log_dir, "screen-" + name)
        shot.save_png(full)
        left, top, right, bottom = window["rect"]
        target_dir = os.path.join(REPO, "docs") if os.environ.get("MEASURIX_DOCS_SCREENSHOTS") == "1" \
            else self.log_dir
        os.makedirs(target_dir, exist_ok=True)
        subprocess.run(["convert", full, "-crop", "%dx%d+%d+%d" % (right - left, bottom - top, left, top),
                        "+repage", "-strip", "-colors", "32", "PNG8:" + os.path.join(target_dir, name)],
                       check=True, timeout=60)


class OpeningTest(OptionsWindowTestCase):
    def test_start_shows_it_restored_top_most_on_the_donate_tab(self):
        process, window = self.start_and_wait_options()
        window = self.wait_options_state(process, lambda w: w["visible"], "the options window to show")
        self.assertFalse(window["iconic"])
        self.assertTrue(window["topmost"])
        tabs = self.driver.control(window["hwnd"], id=TAB_STRIP)
        self.assertEqual(tabs["items"], TAB_LABELS)
        self.assertEqual(tabs["selected"], 0)
        self.assertEqual(self.visible_pages(window), [0])
        self.assertEqual(self.driver.control(window["hwnd"], id=VERSION_TEXT)["text"], "Measurix 0.36 en")
        self.assertEqual(self.driver.control(window["hwnd"], id=LINK)["text"], WEB_ADDRESS)
        self.assertEqual(self.driver.control(window["hwnd"], id=CLOSE_BUTTON)["text"], "&Close && Enable")
        self.assertEqual(self.driver.control(window["hwnd"], id=EXIT_BUTTON)["text"], "E&xit && Disable")

    def test_hide_start_shows_it_minimized(self):
        process, _ = self.start_and_wait_options("-hide")
        self.wait_options_state(process, lambda w: w["visible"] and w["iconic"], "a minimized options window")

    def test_second_start_restores_it_and_brings_it_to_the_top(self):
        process, window = self.start_and_wait_options("-hide")
        self.wait_options_state(process, lambda w: w["iconic"], "a minimized options window")
        self.assertEqual(self.start_measurix().wait_exit(15), 0)
        restored = self.wait_options_state(process, lambda w: w["visible"] and not w["iconic"] and w["topmost"],
                                           "the options window restored and top-most")
        # Presented again, never a second window.
        self.assertEqual(restored["hwnd"], window["hwnd"])
        self.assertEqual(len(self.driver.find_windows(title=OPTIONS_TITLE)), 1)

    def test_second_start_with_exit_ends_the_program(self):
        process, _ = self.start_and_wait_options()
        self.assertEqual(self.start_measurix("-exit").wait_exit(15), 0)
        self.assertEqual(process.wait_exit(15), 0)

    def test_exit_button_ends_the_program(self):
        process, window = self.start_and_wait_options()
        self.driver.click(window["hwnd"], EXIT_BUTTON, sync=False)
        self.assertEqual(process.wait_exit(15), 0)


class TabsTest(OptionsWindowTestCase):
    def test_switching_tabs_hides_the_old_page_and_shows_the_new_one(self):
        process, window = self.start_and_wait_options()
        window = self.wait_options_state(process, lambda w: w["visible"], "the options window to show")
        for index in [1, 2, 3, 0]:
            with self.subTest(tab=TAB_LABELS[index]):
                self.assertEqual(self.driver.select_tab(window["hwnd"], index), index)
                self.wait_until(lambda: self.visible_pages(window) == [index], 10,
                                "only page %d visible" % index)
        for index, name in enumerate(PAGE_PICTURES):
            self.driver.select_tab(window["hwnd"], index)
            self.wait_until(lambda: self.visible_pages(window) == [index], 10, "page %d shown" % index)
            self.save_page_picture(window, name)


class ClosingTest(OptionsWindowTestCase):
    """Every way of closing does what "&Close && Enable" does: the window
    goes, the program keeps running, and a second start opens it again."""

    def close_with_return(self, window):
        # Enter means the default button unless the focus is on another push
        # button; an edit box of the Advanced page has it here.
        self.driver.select_tab(window["hwnd"], 3)
        edit = self.driver.control(window["hwnd"], id=1036)
        left, top, right, bottom = edit["rect"]
        self.input.mousemove((left + right) // 2, (top + bottom) // 2)
        self.input.click()
        self.wait_until(lambda: self.driver.screen()["foreground"] == window["hwnd"], 10,
                        "the options window in the foreground")
        self.input.key("Return")

    def activate(self, window):
        """A real click on the caption makes the window the one that gets
        the keys; waits until it is the foreground window."""
        left, top, right, _ = window["rect"]
        self.input.mousemove(left + (right - left) // 3, top + 10)
        self.input.click()
        self.wait_until(lambda: self.driver.screen()["foreground"] == window["hwnd"], 10,
                        "the options window in the foreground")

    def close_with_escape(self, window):
        self.activate(window)
        self.input.key("Escape")

    def close_with_close_box(self, window):
        self.driver.post(window["hwnd"], WM_SYSCOMMAND, SC_CLOSE, 0)

    def close_with_alt_f4(self, window):
        self.activate(window)
        self.input.key("alt+F4")

    def close_with_button(self, window):
        self.driver.click(window["hwnd"], CLOSE_BUTTON, sync=False)

    def test_each_way_of_closing_keeps_the_program_running(self):
        process, window = self.start_and_wait_options()
        ways = [self.close_with_return, self.close_with_escape, self.close_with_close_box,
                self.close_with_alt_f4, self.close_with_button]
        for way in ways:
            with self.subTest(way=way.__name__):
                window = self.wait_options_state(process, lambda w: w["visible"] and not w["iconic"],
                                                 "the options window open")
                way(window)
                self.wait_options_closed(process)
                self.assertTrue(process.running())
                self.assertEqual(self.start_measurix().wait_exit(15), 0)
        self.assert_overlay_follows_num_lock(process)

    def test_switching_the_ruler_off_twice_quickly_opens_it_again(self):
        process, window = self.start_and_wait_options()
        self.driver.click(window["hwnd"], CLOSE_BUTTON, sync=False)
        self.wait_options_closed(process)
        self.assert_overlay_follows_num_lock(process)
        self.input.key("Num_Lock", "Num_Lock", "Num_Lock", "Num_Lock", delay_ms=150)
        self.wait_options_state(process, lambda w: w["visible"] and not w["iconic"], "the options window again")


class DonatePageTest(OptionsWindowTestCase):
    """Wine hands every http(s) address to its own browser launcher, which
    succeeds as far as the program can tell, so the failure box never shows
    in a fresh prefix. The test therefore points the https handler of the
    prefix at a program that does not exist (and puts the handler back
    afterwards); the shell then fails as it does on a system without one."""

    def set_https_handler(self, command):
        subprocess.run(["wine", "reg", "add", HTTPS_OPEN_KEY, "/ve", "/d", command, "/f"], env=wine_env(self.state),
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       check=True, timeout=60)

    def break_https_handler(self):
        original = self.reg.values(HTTPS_OPEN_KEY).get("")
        self.assertIsNotNone(original, "the prefix has an https handler")
        self.set_https_handler('"C:\\windows\\no-such-handler.exe" "%1"')
        self.addCleanup(self.set_https_handler, original)

    def wait_failure_box(self, process):
        box = self.driver.wait_window(title="Could not open URL", pid=process.windows_pid, timeout=15)
        texts = [c["text"] for c in self.driver.controls(box["hwnd"]) if c["class"].lower() == "static"]
        return box, texts

    def link_rect(self, window):
        left, top, right, bottom = self.driver.control(window["hwnd"], id=LINK)["rect"]
        return left, top, right, bottom

    def click_link(self, link):
        self.input.mousemove((link[0] + link[2]) // 2, (link[1] + link[3]) // 2)
        self.input.click()

    def link_pixels(self, link, predicate):
        return self.screenshot().count(link, predicate)

    def test_without_a_handler_the_addresses_are_shown_in_a_box(self):
        self.break_https_handler()
        process, window = self.start_and_wait_options()
        window = self.wait_options_state(process, lambda w: w["visible"], "the options window to show")
        label = self.driver.control(window["hwnd"], id=LINK)
        self.assertTrue(label["style"] & SS_NOTIFY, "the link label takes mouse clicks")
        link = self.link_rect(window)
        self.wait_until(lambda: self.link_pixels(link, is_link_blue) > 20, 10, "a blue link")
        self.assertEqual(self.link_pixels(link, is_link_red), 0)

        # A click on the link opens exactly the text it shows. It turns red
        # until it loses the focus, which the box takes at once: too short a
        # time to catch on screen, so only the blue before and after is seen.
        self.click_link(link)
        box, texts = self.wait_failure_box(process)
        self.assertIn(WEB_ADDRESS, texts)
        # The box blocks only the options thread: the main window answers and
        # the ruler still follows Num Lock.
        main = self.main_window(process)
        self.assertFalse(self.driver.call("send", main["hwnd"], WM_NULL, 0, 0)["timed_out"])
        self.assert_overlay_follows_num_lock(process)
        self.driver.click(box["hwnd"], 1, sync=False)
        self.driver.wait_no_window(title="Could not open URL", timeout=10)
        self.wait_until(lambda: self.link_pixels(link, is_link_blue) > 20, 10, "the link blue again")

        # The donation button opens the donation address.
        self.driver.click(window["hwnd"], DONATE_BUTTON, sync=False)
        box, texts = self.wait_failure_box(process)
        self.assertIn(DONATION_ADDRESS, texts)
        self.driver.click(box["hwnd"], 1, sync=False)
        self.driver.wait_no_window(title="Could not open URL", timeout=10)
        self.assertTrue(process.running())


class NumericFieldTest(OptionsWindowTestCase):
    """The numeric fields' arrows, keys and wheel, and their formatting."""

    ANGLE, ANGLE_ARROWS = 1032, 1033
    THICKNESS = 1045
    REDRAW_LIMIT, REDRAW_ARROWS = 1036, 1047

    def open_tab(self, index):
        process, window = self.start_and_wait_options()
        window = self.wait_options_state(process, lambda w: w["visible"], "the options window to show")
        self.driver.select_tab(window["hwnd"], index)
        self.wait_until(lambda: self.visible_pages(window) == [index], 10, "page %d shown" % index)
        return window

    def text(self, window, control_id):
        return self.driver.control(window["hwnd"], id=control_id)["text"]

    def wait_text(self, window, control_id, expected):
        self.wait_until(lambda: self.text(window, control_id) == expected, 10,
                        "field %d showing %r" % (control_id, expected))

    def click_arrow(self, window, arrows_id, up):
        left, top, right, bottom = self.driver.control(window["hwnd"], id=arrows_id)["rect"]
        y = top + (bottom - top) // 4 if up else bottom - (bottom - top) // 4 - 1
        self.input.mousemove((left + right) // 2, y)
        self.input.click()

    def focus_field(self, window, control_id):
        left, top, right, bottom = self.driver.control(window["hwnd"], id=control_id)["rect"]
        self.input.mousemove((left + right) // 2, (top + bottom) // 2)
        self.input.click()
        self.wait_until(lambda: self.driver.screen()["foreground"] == window["hwnd"], 10,
                        "the options window in the foreground")

    def test_angle_arrows_step_and_wrap_around(self):
        window = self.open_tab(2)
        self.wait_text(window, self.ANGLE, "0.00")
        steps = [
            (None, False, "-11.25"),
            (None, False, "-22.50"),     # each step starts from the value shown
            (None, True, "-11.25"),
            ("-180", False, "180.00"),   # down from -180 wraps to 180
            ("180", True, "-180.00"),    # up from 180 wraps to -180
            ("22.5", True, "33.75"),     # a typed value is where the next step starts
        ]
        for typed, up, expected in steps:
            with self.subTest(typed=typed, up=up):
                if typed is not None:
                    self.driver.settext(window["hwnd"], self.ANGLE, typed)
                self.click_arrow(window, self.ANGLE_ARROWS, up)
                self.wait_text(window, self.ANGLE, expected)
        # A stepped value is the user's: it reaches the setting and is saved.
        self.wait_until(lambda: self.reg.query(MEASURIX_KEY, "refangle") == struct.pack("<d", 33.75), 10,
                        "refangle 33.75 saved")

    def test_up_key_and_wheel_step_the_angle_field(self):
        window = self.open_tab(2)
        self.wait_text(window, self.ANGLE, "0.00")
        self.focus_field(window, self.ANGLE)
        for key, expected in [("Up", "11.25"), ("Up", "22.50"), ("Down", "11.25")]:
            self.input.key(key)
            self.wait_text(window, self.ANGLE, expected)
        for up, expected in [(False, "0.00"), (False, "-11.25"), (True, "0.00")]:
            self.input.wheel(up=up)
            self.wait_text(window, self.ANGLE, expected)

    def test_typed_decimals_stay_until_the_field_loses_the_focus(self):
        window = self.open_tab(2)
        self.focus_field(window, self.THICKNESS)
        self.driver.settext(window["hwnd"], self.THICKNESS, "1.50")
        self.assertEqual(self.text(window, self.THICKNESS), "1.50")
        self.input.key("Tab")
        self.wait_text(window, self.THICKNESS, "1.5")

    def test_redraw_limit_arrows_step_by_ten(self):
        window = self.open_tab(3)
        self.wait_text(window, self.REDRAW_LIMIT, "50")
        self.click_arrow(window, self.REDRAW_ARROWS, up=True)
        self.wait_text(window, self.REDRAW_LIMIT, "60")
        self.driver.settext(window["hwnd"], self.REDRAW_LIMIT, "5")
        self.assertEqual(self.text(window, self.REDRAW_LIMIT), "10")
        self.click_arrow(window, self.REDRAW_ARROWS, up=False)
        self.wait_text(window, self.REDRAW_LIMIT, "10")

    def test_angle_field_follows_the_rotated_angle(self):
        # The rotation key is the middle mouse button here, not Alt: under
        # Wine a modifier pressed around a change of the X focus now and then
        # drops out of the key state that the program polls (Wine resyncs its
        # key state from X's), which would make the turn vanish; mouse buttons
        # are not resynced that way. Alt itself is covered by the drawing tests.
        self.reg.add(MEASURIX_KEY, "version", "REG_DWORD", 36)  # bindings 1-4 are read from version 34 on
        self.reg.add(MEASURIX_KEY, "key3code", "REG_DWORD", VK_MBUTTON)
        self.reg.add(MEASURIX_KEY, "key3mods", "REG_DWORD", 0)
        window = self.open_tab(2)
        self.wait_text(window, self.ANGLE, "0.00")
        process = self.started[-1]
        if not self.overlay_visible(process):
            self.input.key("Num_Lock")
        self.wait_ruler(process, True)
        # Twice: the second refresh only comes when the first was taken.
        for round_ in range(2):
            before = self.text(window, self.ANGLE)
            self.input.mousemove(640, 400)
            # The button is down before the pointer turns, and up before the
            # next round's move back, which would otherwise turn the angle
            # back to where it was.
            self.input.mousedown(2)
            self.wait_until(lambda: self.driver.keystate(VK_MBUTTON)["down"], 10, "the middle button down")
            for x, y in [(660, 420), (700, 440), (740, 430)]:
                self.input.mousemove(x, y)
            self.input.mouseup(2)
            self.wait_until(lambda: not self.driver.keystate(VK_MBUTTON)["down"], 10, "the middle button up")
            self.wait_until(lambda: self.text(window, self.ANGLE) != before, 10,
                            "the angle field changed in round %d" % round_)
            self.assertTrue(-180 <= float(self.text(window, self.ANGLE)) <= 180)

"""The options window: its pages, closing it and bringing it back, the Donate
links, settings that change the ruler at once, the label font, key binding."""

import struct

from harness import MeasurixTestCase

TAB_KEYS, TAB_DISPLAY, TAB_ADVANCED = 1, 2, 3
PAGE_MARKERS = [1066, 1011, 1032, 1036]  # a control only that page has, in tab order
LINK, DONATE, TOGGLE_COMBO, REDRAW_LIMIT = 110, 1015, 1011, 1036
TIMES_REFLECTED, ANGLE, ANGLE_ARROWS, THICKNESS, OPACITY = 1023, 1032, 1033, 1045, 1062
SELECT_FONT, DEFAULT_FONT, CHOOSER_APPLY, CHOOSER_SAMPLE, CHOOSER_SIZES = 1063, 1065, 1026, 1092, 1138
WM_COMMAND, WM_HSCROLL, WM_NULL, WM_SYSCOMMAND, SC_CLOSE = 0x0111, 0x0114, 0, 0x0112, 0xF060
CB_SETCURSEL, CB_GETITEMHEIGHT, CBN_SELCHANGE, TBM_SETPOS, TB_THUMBPOSITION = 0x014E, 0x0154, 1, 0x0405, 4
HTTPS_HANDLER = r"HKEY_LOCAL_MACHINE\Software\Classes\https\shell\open\command"
BACKGROUND = (0x24, 0x6F, 0x97)  # the Wine desktop's


def drawn(p): return sum(abs(a - b) for a, b in zip(p, BACKGROUND)) > 40


class OptionsTest(MeasurixTestCase):
    def open(self, tab=0, **seed):
        self.program = self.start(seed=seed)
        self.frame = self.options(self.program, visible=True)
        self.select_tab(self.frame, tab)
        return self.frame

    def field(self, control_id):
        return self.control(self.frame, control_id)

    def click_on(self, control, dy=0):
        left, top, right, bottom = control["rect"]
        self.input.click((left + right) // 2, (top + bottom) // 2 + dy)

    def test_pages_closing_and_coming_back(self):
        self.open()
        for index in (1, 2, 3, 0):
            self.select_tab(self.frame, index)
            self.wait_until(lambda: [self.field(m)["visible"] for m in PAGE_MARKERS] == [i == index for i in range(4)],
                            10, "page %d alone" % index)

        for way in ("Return", "Escape", "close box"):
            with self.subTest(way):
                frame = self.options(self.program, visible=True, iconic=False)
                if way == "close box":
                    self.post(frame["hwnd"], WM_SYSCOMMAND, SC_CLOSE)
                else:  # Return means the default button unless a push button has the focus: an edit box gets it
                    self.select_tab(frame, TAB_ADVANCED)
                    self.click_on(self.control(frame, REDRAW_LIMIT))
                    self.wait_foreground(frame["hwnd"])
                    self.input.key(way)
                self.wait_until(lambda: not self.windows(title="Measurix - Options"), 10, "the window closed")
                self.assertTrue(self.program.running())
                self.assertEqual(self.start(wait=False).wait_exit(), 0)  # brings it back

    def test_donate_page_opens_its_addresses(self):
        # Wine's own browser launcher always succeeds; a handler that does not
        # exist fails as without a browser, and the program shows the address.
        original = self.reg.values(HTTPS_HANDLER)["(Default)"]
        self.reg.write({"@": r'"C:\windows\no-such-browser.exe" "%1"'}, key=HTTPS_HANDLER)
        self.addCleanup(self.reg.write, {"@": original}, key=HTTPS_HANDLER)
        self.open()
        link = self.field(LINK)
        self.wait_pixels(link["rect"], lambda p: p[2] >= 200 and max(p[:2]) <= 60, "a blue link", 20)
        for click, address in [(lambda: self.click_on(link), "https://measurix.example/"),
                               (lambda: self.click(self.frame, DONATE, modal=True),
                                "https://measurix.example/donate/en/?app=Measurix")]:
            click()
            box = self.window(title="Could not open URL", visible=True)
            self.assertIn(address, [c["text"] for c in self.driver.call("controls", box["hwnd"])])
            # The box blocks the options window's thread only.
            self.send(self.windows(title="Measurix", pid=self.program.pid)[0]["hwnd"], WM_NULL)
            self.click(box, 1, modal=True)
            self.wait_until(lambda: not self.windows(title="Could not open URL"), 10, "the box closed")

    def test_display_settings_change_the_ruler_at_once(self):
        self.input.mousemove(680, 570)
        self.open(TAB_DISPLAY)
        self.wait_ruler(self.program, True)
        # The spin arrows step the angle; typed values go straight through.
        self.click_on(self.control(self.frame, ANGLE_ARROWS), dy=4)
        self.wait_until(lambda: self.field(ANGLE)["text"] == "-11.25", 10, "the angle one step down")
        self.input.mousemove(680, 570)
        turned_line = (690, 626, 711, 635)  # the second reflection line at 90 degrees
        self.assertEqual(self.screenshot().count(turned_line, drawn), 0)
        for control, text, name, value in [(TIMES_REFLECTED, "3", "refnr", 3),
                                           (THICKNESS, "3", "linethick", struct.pack("<d", 3)),
                                           (ANGLE, "90", "refangle", struct.pack("<d", 90))]:
            self.driver.call("settext", self.field(control)["hwnd"], text)
            self.wait_stored(name, value)
        self.wait_pixels(turned_line, drawn, "the reflection lines turned to 90 degrees")
        slider = self.field(OPACITY)
        self.send(slider["hwnd"], TBM_SETPOS, 1, 255)
        self.send(slider["parent"], WM_HSCROLL, TB_THUMBPOSITION | (255 << 16), slider["hwnd"])
        self.wait_stored("alpha", 255)

        # The label font: Apply takes effect at once, without anti-aliasing.
        def label_height():
            labels = [w["rect"] for w in self.windows(cls="RulerDisplay", pid=self.program.pid, visible=True)
                      if w["rect"][0] > 680]
            return labels and labels[0][3] - labels[0][1]

        height = self.wait_until(label_height, 10, "the label")
        self.click(self.frame, SELECT_FONT, modal=True)
        chooser = self.wait_until(lambda: [w for w in self.windows(pid=self.program.pid, visible=True)
                                           if w["title"].startswith("Measurix - ") and w["title"] != "Measurix - Options"],
                                  10, "the font chooser")[0]
        self.assertTrue(chooser["topmost"])
        self.assertEqual(self.control(chooser, CHOOSER_SAMPLE)["text"], "12x34 -56.7\u00b0")
        sizes = self.control(chooser, CHOOSER_SIZES)  # picked as the list does
        self.send(sizes["hwnd"], CB_SETCURSEL, sizes["items"].index("28"))
        self.send(sizes["parent"], WM_COMMAND, (CBN_SELCHANGE << 16) | CHOOSER_SIZES, sizes["hwnd"])
        self.click(chooser, CHOOSER_APPLY)
        self.wait_until(lambda: label_height() > height + 10, 10, "a larger label")
        self.wait_until(lambda: (self.stored("font") or bytes(96))[92] == 1, 10, "the chosen font saved")
        self.assertEqual(self.stored("font")[26], 3, "non-anti-aliased quality")
        self.click(chooser, 2, modal=True)  # Cancel keeps what was applied
        self.click(self.frame, DEFAULT_FONT)
        self.wait_until(lambda: label_height() == height, 10, "the default font again")
        self.wait_stored("font", bytes(96))

    def test_a_key_is_bound_by_pressing_it(self):
        # F9 switches the ruler on while held, so it stays off here: under
        # Wine its overlay would take the clicks meant for the list.
        self.open(TAB_KEYS, version=36, key0code=0x78, toggle=0, invert=0)
        self.driver.call("foreground", self.frame["hwnd"])
        self.wait_foreground(self.frame["hwnd"])
        combo = self.field(TOGGLE_COMBO)
        self.click_on(combo)
        item = self.wait_until(lambda: self.windows(cls="ComboLBox", pid=self.program.pid, visible=True), 10,
                               "the list")[0]["rect"]
        self.input.click(item[0] + 20, item[1] + 1 + self.send(combo["hwnd"], CB_GETITEMHEIGHT) // 2)
        self.wait_until(lambda: self.send(combo["hwnd"], 0x0147) == 0, 10, "the capture item chosen")

        self.input.keydown("ctrl")
        self.wait_until(lambda: self.field(TOGGLE_COMBO)["text"] == "Left Ctrl", 10, "Left Ctrl as the binding")
        self.input.keydown("q")
        self.wait_until(lambda: self.field(TOGGLE_COMBO)["text"] == "Ctrl + Q", 10, "Ctrl + Q as the binding")
        self.assertFalse(self.keystate(0x51)["down"], "keys being bound are kept from every application")
        self.input.keyup("q")  # the first release ends the capture
        self.input.keyup("ctrl")
        self.wait_stored("key0code", 0x51)
        self.assertEqual(self.stored("key0mods"), 2)
        self.input.keydown("b")  # a key after the capture reaches the system again
        self.wait_until(lambda: self.keystate(0x42)["down"], 10, "B down for the system")
        self.input.keyup("b")

        self.input.keydown("ctrl")  # the new binding works at once
        self.input.keydown("q")
        self.wait_ruler(self.program, True)

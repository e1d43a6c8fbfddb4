"""The options window: its pages, closing it and bringing it back, the Donate
links, every control of the pages and of Measure settings and what it stores
(from values another program or a damaged profile left, which the program
survives and writes back in its own kinds), settings that change the ruler at
once, the label font, key binding."""

import struct

from harness import OPTIONS, MeasurixTestCase

KEYS, DISPLAY, ADVANCED, MEASURE = 1, 2, 3, "Measurix - Measure Settings"  # tabs, and the other window
LINK, DONATE, TOGGLE_COMBO, REDRAW_LIMIT = 110, 1015, 1011, 1036
ANGLE, SELECT_FONT, DEFAULT_FONT, CHOOSER_APPLY, CHOOSER_SAMPLE, CHOOSER_SIZES = 1032, 1063, 1065, 1026, 1092, 1138
WM_COMMAND, WM_CHAR, WM_NULL, WM_SYSCOMMAND, SC_CLOSE, MSG_SAVE_SETTINGS = 0x0111, 0x0102, 0, 0x0112, 0xF060, 0x8011
CB_SETCURSEL, CB_GETITEMHEIGHT, CBN_SELCHANGE = 0x014E, 0x0154, 1
HTTPS_HANDLER = r"HKEY_LOCAL_MACHINE\Software\Classes\https\shell\open\command"
BACKGROUND = (0x24, 0x6F, 0x97)  # the Wine desktop's


def drawn(p): return sum(abs(a - b) for a, b in zip(p, BACKGROUND)) > 40


class ChosenFont:  # equal to a stored "font" of a font from the chooser: flagged as chosen, not anti-aliased
    def __eq__(self, value): return len(value) == 96 and value[92] == 1 and value[26] == 3


# What another program or a damaged profile left (values of other kinds and sizes, a start point far off
# the desktop, a value of another program), and the bindings: the toggle on the wheel, the held roles on F6,
# nothing (formerly the wheel), either Windows key and Left Shift.
DAMAGED = {"x0": 0x7FFFFFFF, "y0": 0xB9DE8117, "alpha": bytes(8), "refnr": "3", "linethick": bytes(9),
           "refangle": struct.pack("<Q", 0x7FF8000000000123), "font": bytes(4000), "rlimit": 0}  # NaN
DEAD_BOXES = [1019, 1025, 1027, 1029, 1031, 1107, 1112, 1114, 1121]
SEED = dict(DAMAGED, **{"zz other": b"\x00\xffkeep", "version": 36, "invert": 0, "key0code": 0x1004,
                        "key1code": 0x75, "key1mods": 0, "key2code": 0x9004, "key2mods": 0, "key3code": 0x105B,
                        "key3mods": 0, "key4code": 0xA0, "key4mods": 0})
# Each control in turn: where, which, the user's action (click, choose an item, type and Tab, click an up-down's
# upper or lower arrow, click a slider and press a key), the values stored anew, what shows (text; bool: enabled).
CONTROLS = [  # one role's or one field's controls a line
    (ADVANCED, 1028, "click", {"usehooks": 0, "key0code": 0x90, "key3code": 0x905B},  # no dead keys, nor keys
     {**dict.fromkeys(DEAD_BOXES, False), 1011: "Num Lock", 1014: "No Key"}),  # that need the hooks
    (ADVANCED, 1028, "click", {"usehooks": 1}, dict.fromkeys(DEAD_BOXES, True)),
    (KEYS, 1020, "click", {"toggle": 0}),  # "like a lock key": a lock key chosen next sets it again
    (KEYS, 1011, "choose Scroll Lock", {"key0code": 0x91, "toggle": 1}), (KEYS, 1019, "click", {"key0dead": 1}),
    (KEYS, 1025, "click", {"key1dead": 1}), (KEYS, 1013, "choose No Key", {"key1code": 0x8075}),
    (KEYS, 1027, "click", {"key2dead": 1}),
    (KEYS, 1016, "choose Mouse Wheel", {"key2code": 0x1004, "toggle": 0}),  # the wheel: not like a lock key
    (KEYS, 1029, "click", {"key3dead": 1}), (KEYS, 1014, "choose Left Windows", {"key3code": 0x5B}),
    (KEYS, 1031, "click", {"key4dead": 1}),
    (KEYS, 1017, "choose Shift", {"key4code": 0x1FFE, "key4mods": 4, "key4dead": 0}, {1031: False}),
    (DISPLAY, 1021, "click", {"numbers": 0}), (DISPLAY, 1048, "click", {"cross0": 0}),
    (DISPLAY, 1030, "click", {"reflines": 0}), (DISPLAY, 1035, "click", {"antialias": 0}),
    (DISPLAY, 1023, "type 7", {"refnr": 7}, {1023: "7"}), (DISPLAY, 1026, "up", {"refnr": 8}, {1023: "8"}),
    (DISPLAY, 1032, "type 22.5", {"refangle": struct.pack("<d", 22.5)}, {1032: "22.50"}),
    (DISPLAY, 1033, "down", {"refangle": struct.pack("<d", 11.25)}, {1032: "11.25"}),
    (DISPLAY, 1045, "type 1.50", {"linethick": struct.pack("<d", 1.5)}, {1045: "1.5"}),
    (DISPLAY, 1046, "up", {"linethick": struct.pack("<d", 2)}, {1045: "2.0"}),
    (DISPLAY, 1062, "slide End", {"alpha": 255}), (DISPLAY, 1064, "slide Home", {"fade": 0}),
    (DISPLAY, 1063, "font 28", {"font": ChosenFont()}), (DISPLAY, 1065, "click", {"font": bytes(96)}),
    (ADVANCED, 1036, "type 5", {"rlimit": 10}, {1036: "10"}), (ADVANCED, 1047, "up", {"rlimit": 20}, {1036: "20"}),
    (ADVANCED, 1024, "click", {"autostart": 0}),
    (MEASURE, 1101, "choose Millimetres", {"unit": 2}),
    (MEASURE, 1107, "click", {"key5dead": 1}), (MEASURE, 1106, "choose No Key", {"key5code": 0x8013}),
    (MEASURE, 1121, "click", {"key6dead": 1}), (MEASURE, 1120, "choose No Key", {"key6code": 0x8013}),  # Shift+Pause
    (MEASURE, 1109, "click", {"copyform": 1}), (MEASURE, 1108, "click", {"copyform": 0}),
    (MEASURE, 1112, "click", {"key7dead": 0}), (MEASURE, 1111, "choose No Key", {"key7code": 0x8070}),  # F1
    (MEASURE, 1114, "click", {"key8dead": 0}), (MEASURE, 1113, "choose No Key", {"key8code": 0x8071}),  # F2
    (MEASURE, 1115, "type 300", {"edgetolerance": 255}, {1115: "255"}),
    (MEASURE, 1116, "down", {"edgetolerance": 254}, {1115: "254"}),
    (MEASURE, 1117, "type 9", {"snapradius": 9}, {1117: "9"}), (MEASURE, 1118, "up", {"snapradius": 10}, {1117: "10"}),
    (KEYS, 1022, "click", {"invert": 1}),  # last: the ruler comes on
]


class OptionsTest(MeasurixTestCase):
    def open(self, tab=0, **seed):
        self.program = self.start(seed=seed)
        self.frame = self.options(self.program, visible=True)
        self.select_tab(self.frame, tab)
        return self.frame

    def test_pages_closing_and_coming_back(self):
        self.open()
        for way in ("Return", "Escape", "close box"):
            with self.subTest(way):
                frame = self.options(self.program, visible=True, iconic=False)
                if way == "close box":
                    self.post(frame["hwnd"], WM_SYSCOMMAND, SC_CLOSE)
                else:  # Return means the default button unless a push button has the focus: an edit box gets it
                    self.select_tab(frame, ADVANCED)
                    self.act(frame, REDRAW_LIMIT, "click")
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
        self.wait_pixels(self.control(self.frame, LINK)["rect"], lambda p: p[2] >= 200 and max(p[:2]) <= 60,
                         "a blue link", 20)
        for click, address in [(lambda: self.act(self.frame, LINK, "click"), "https://measurix.example/"),
                               (lambda: self.click(self.frame, DONATE, modal=True),
                                "https://measurix.example/donate/en/?app=Measurix")]:
            click()
            box = self.window(title="Could not open URL", visible=True)
            self.assertIn(address, [c["text"] for c in self.driver.call("controls", box["hwnd"])])
            # The box blocks the options window's thread only.
            self.send(self.windows(title="Measurix", pid=self.program.pid)[0]["hwnd"], WM_NULL)
            self.click(box, 1, modal=True)
            self.wait_until(lambda: not self.windows(title="Could not open URL"), 10, "the box closed")

    def choose_font(self, size):
        """Opens the font chooser, picks the size as the list does, applies it, and leaves the chooser open."""
        self.click(self.frame, SELECT_FONT, modal=True)
        chooser = self.wait_until(lambda: [w for w in self.windows(pid=self.program.pid, visible=True)
                                           if w["title"] not in (OPTIONS, MEASURE) and "Measurix - " in w["title"]],
                                  10, "the font chooser")[0]
        sizes = self.control(chooser, CHOOSER_SIZES)
        self.send(sizes["hwnd"], CB_SETCURSEL, sizes["items"].index(size))
        self.send(sizes["parent"], WM_COMMAND, (CBN_SELCHANGE << 16) | CHOOSER_SIZES, sizes["hwnd"])
        self.click(chooser, CHOOSER_APPLY)
        return chooser

    def act(self, window, control_id, action):  # what a user does to the control: see CONTROLS
        kind, _, argument = action.partition(" ")
        left, top, right, bottom = (control := self.control(window, control_id))["rect"]
        if kind == "font":
            self.click(self.choose_font(argument), 2, modal=True)  # Cancel keeps what was applied
            return
        # Under Wine a click on a window does not always bring it to the front, as keys need.
        self.driver.call("foreground", window["hwnd"])
        self.wait_foreground(window["hwnd"])
        self.input.click((left + right) // 2, top + 3 if kind == "up" else bottom - 3 if kind == "down"
                         else (top + bottom) // 2)
        if kind == "choose":
            items = self.wait_until(lambda: self.windows(cls="ComboLBox", pid=self.program.pid, visible=True), 10,
                                    "the list")[0]["rect"]
            height = self.send(control["hwnd"], CB_GETITEMHEIGHT)
            self.input.click(items[0] + 20, items[1] + 1 + height * control["items"].index(argument) + height // 2)
        elif kind == "slide":
            self.input.key(argument)
        elif kind == "type":
            self.input.xdotool("key", "Home", "shift+End", "type", "--delay", 12, argument + "\t")  # Tab: leave it

    def test_from_a_damaged_store_every_control_stores_its_own_setting_alone(self):
        self.open(**SEED)
        area = self.window(cls="Shell_TrayWnd", visible=True)["rect"]  # Measure settings, from the icon's menu
        self.input.click(area[2] - 10, (area[1] + area[3]) // 2, 3)
        self.post(self.window(cls="#32768", visible=True)["hwnd"], WM_CHAR, ord("m"))
        measure = self.window(title=MEASURE, visible=True)

        def state(changes, shows):  # what is stored other than expected, and what the controls in `shows` show
            if changes.keys() & {"usehooks", "autostart", "fade"}:  # saved with the next save, the rest at once
                self.post(self.window(title="Measurix", cls="Static", pid=self.program.pid)["hwnd"], MSG_SAVE_SETTINGS)
            controls = {c["id"]: c for w in (self.frame, measure) for c in self.driver.call("controls", w["hwnd"])}
            return ({n: v for n, v in self.stored().items() if expected.get(n) != v},
                    {i: controls[i]["enabled" if isinstance(v, bool) else "text"] for i, v in shows.items()})

        expected = self.wait_until(lambda: (lambda s: s if s.get("version") == 36 else None)(self.stored()), 10,
                                   "the first save")
        self.assertEqual({n: expected[n] for n in DAMAGED}, dict(DAMAGED, alpha=164, refnr=1, refangle=bytes(8),
                                                                 linethick=struct.pack("<d", 1), font=bytes(96)))
        self.assertEqual(expected["zz other"], b"\x00\xffkeep")
        for where, control, action, changes, *shows in CONTROLS:
            row = "%s %d %s" % (where, control, action)
            if where != MEASURE:
                self.select_tab(self.frame, where)
            self.act(measure if where == MEASURE else self.frame, control, action)
            expected.update(changes)
            shows = dict(*shows)
            try:
                self.wait_until(lambda: state(changes, shows) == ({}, shows), 10, "the row's effects", interval=0.2)
            except AssertionError:
                self.assertEqual(state(changes, shows), ({}, shows), "stored and shown after " + row)
        # The ruler drawn from the start point far off the desktop.
        self.input.mousemove(1000, 650)
        self.wait_pixels((980, 630, 1021, 671), drawn, "the ruler drawn near the pointer", 6)
        for x, y in ((10, 790), (1270, 5)):
            self.input.mousemove(x, y)
        self.end(self.program)

    def test_display_settings_change_the_ruler_at_once(self):
        self.input.mousemove(680, 570)
        self.open(DISPLAY)
        self.wait_ruler(self.program, True)
        turned_line = (690, 626, 711, 635)  # the second reflection line at 90 degrees
        self.assertEqual(self.screenshot().count(turned_line, drawn), 0)
        self.driver.call("settext", self.control(self.frame, ANGLE)["hwnd"], "90")
        self.wait_pixels(turned_line, drawn, "the reflection lines turned to 90 degrees")

        # The label font: Apply takes effect at once.
        def label_height():
            labels = [w["rect"] for w in self.windows(cls="RulerDisplay", pid=self.program.pid, visible=True)
                      if w["rect"][0] > 680]
            return labels and labels[0][3] - labels[0][1]

        height = self.wait_until(label_height, 10, "the label")
        chooser = self.choose_font("28")
        self.assertTrue(chooser["topmost"])
        self.assertEqual(self.control(chooser, CHOOSER_SAMPLE)["text"], "12x34 -56.7\u00b0")
        self.wait_until(lambda: label_height() > height + 10, 10, "a larger label")
        self.click(chooser, 2, modal=True)
        self.click(self.frame, DEFAULT_FONT)
        self.wait_until(lambda: label_height() == height, 10, "the default font again")

    def test_a_key_is_bound_by_pressing_it(self):
        # F9 switches the ruler on while held, so it stays off here: under
        # Wine its overlay would take the clicks meant for the list.
        self.open(KEYS, version=36, key0code=0x78, key0dead=1, toggle=0, invert=0)
        self.act(self.frame, TOGGLE_COMBO, "choose ... choose by pressing keys ...")
        def combo(): return self.control(self.frame, TOGGLE_COMBO)
        self.wait_until(lambda: self.send(combo()["hwnd"], 0x0147) == 0, 10, "the capture item chosen")

        self.input.keydown("ctrl")
        self.wait_until(lambda: combo()["text"] == "Left Ctrl", 10, "Left Ctrl as the binding")
        self.input.keydown("q")
        self.wait_until(lambda: combo()["text"] == "Ctrl + Q", 10, "Ctrl + Q as the binding")
        self.assertFalse(self.keystate(0x51)["down"], "keys being bound are kept from every application")
        self.input.keyup("q")  # the first release ends the capture
        self.input.keyup("ctrl")
        self.wait_stored("key0code", 0x51)
        self.assertEqual((self.stored("key0mods"), self.stored("key0dead")), (2, 1), "the dead flag kept")
        self.input.keydown("b")  # a key after the capture reaches the system again
        self.wait_until(lambda: self.keystate(0x42)["down"], 10, "B down for the system")
        self.input.keyup("b")

        self.input.keydown("ctrl")  # the new binding works at once
        self.input.keydown("q")
        self.wait_ruler(self.program, True)

"""Command-line words, second starts, and the ways the program ends: by request
(no autostart), by log-off (autostart), by the restore button (the defaults)."""

from harness import RUNONCE_KEY, MeasurixTestCase, windows_path
from harness.environment import wine_output

ERROR, RESTORE_BUTTON = "Measurix - Error", 1067
WM_SYSCOMMAND, SC_MINIMIZE = 0x0112, 0xF020


class CommandLineTest(MeasurixTestCase):
    def test_unknown_words_are_refused_with_a_box_and_minus_one(self):
        for args, named in [(["/bogus"], "/bogus"), (["hide"], "hide"), (["-hide", "-Exitx"], "-Exitx"),
                            (["-exit", "--hide"], "--hide")]:
            with self.subTest(args=args):
                program = self.start(*args, wait=False)
                box = self.window(title=ERROR, visible=True)
                texts = [c["text"] for c in self.driver.call("controls", box["hwnd"])]
                self.assertIn("Unknown command line option: " + named, texts)
                self.assertEqual([w["hwnd"] for w in self.windows(pid=box["pid"]) if w["class"] != "IME"],
                                 [box["hwnd"]], "the box is the only window")
                self.click(box, 1)
                self.assertEqual(program.wait_exit(), 255)

        for args in (["-exit"], ["/EXIT", "-hide"]):  # nothing runs: nothing to end, nothing started
            self.assertEqual(self.start(*args, wait=False).wait_exit(), 0)
            self.assertEqual(self.windows(title="Measurix"), [])


class SecondStartTest(MeasurixTestCase):
    def probe(self, program):
        # A plain start restores its options; an earlier exit request would have ended it by then.
        self.assertEqual(self.start(wait=False).wait_exit(), 0)
        self.options(program, visible=True, iconic=False)
        self.assertTrue(program.running())

    def test_second_starts_hand_over_to_the_running_one(self):
        first = self.start("-hide")
        self.options(first, visible=True, iconic=True)
        self.assertEqual(self.start("-HIDE", wait=False).wait_exit(), 0)
        self.probe(first)

        self.post(self.options(first, visible=True)["hwnd"], WM_SYSCOMMAND, SC_MINIMIZE)
        self.options(first, iconic=True)
        refused = self.start("-exit", "/bogus", wait=False)
        self.click(self.window(title=ERROR, visible=True), 1)
        self.assertEqual(refused.wait_exit(), 255)
        self.probe(first)

        # A restart replaces it; the old one ends without its final save.
        self.reg.write({"alpha": 77})
        second = self.start("-restart")
        self.assertEqual(first.wait_exit(), 0)
        self.assertEqual(self.stored("alpha"), 77, "no save by the replaced instance")
        self.assertEqual(len(self.windows(title="Measurix", cls="Static")), 1)

        # An exit request ends it with the final save, without autostart.
        self.probe(second)  # also lets it handle the saves its start asked for
        self.reg.write({"alpha": None})
        self.end(second)
        self.assertEqual(self.stored("alpha"), 77, "the final save")
        self.assertNotIn("Measurix", self.reg.values(RUNONCE_KEY))


class EndingTest(MeasurixTestCase):
    def test_log_off_registers_the_autostart(self):
        program = self.start("-hide")
        # WM_QUERYENDSESSION and WM_ENDSESSION to the session's windows, as at log-off.
        self.assertEqual(wine_output(self.state, "wineboot", "--end-session", timeout=60)[0], 0)
        self.assertEqual(program.wait_exit(), 0)
        self.assertEqual(self.reg.values(RUNONCE_KEY).get("Measurix", "").lower(),
                         ('"%s" -hide' % windows_path(self.measurix_exe)).lower())
        self.assertEqual(self.stored("autostart"), 1, "the final save ran")

    def test_restore_button_restarts_with_the_defaults(self):
        changed = {"alpha": 40, "x0": 100, "y0": 120, "refnr": 5, "fade": 0, "key1mods": 2, "cross0": 0}
        old = self.start(seed=dict(changed, version=36))
        options = self.options(old, visible=True)
        self.select_tab(options, 3)
        self.click(options, RESTORE_BUTTON, modal=True)
        self.assertEqual(old.wait_exit(), 0)
        new = self.window(title="Measurix - Options", visible=True, timeout=20)
        self.assertNotEqual(new["pid"], old.pid)
        defaults = {"alpha": 164, "x0": 640, "y0": 600, "refnr": 1, "fade": 300, "key1mods": 4, "cross0": 1}
        self.wait_until(lambda: {k: self.stored(k) for k in changed} == defaults and self.stored("restore") == 0,
                        10, "the new instance saving the defaults")
        self.assertNotIn("Measurix", self.reg.values(RUNONCE_KEY))

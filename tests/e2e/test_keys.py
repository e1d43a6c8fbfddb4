"""The global keys end to end: the low-level hooks of measurix.exe see the keys
typed into another program's focused window, act on them, and let the keys of
bindings that are not dead through to that window; a dead binding's key is
kept from it.

The focused window is mxdriver's key log. The ruler's state is read from the
two "RulerDisplay" overlay windows: both visible while it is on, both hidden
once it is off (after the fade)."""

import time

from harness import MeasurixTestCase
from harness.registry import MEASURIX_KEY
from harness.waiting import WaitTimeout, wait_until

VK_SHIFT = 0x10
VK_NUMLOCK = 0x90
VK_F8 = 0x77
VK_F9 = 0x78
SETTINGS_VERSION = 36


class KeysTestCase(MeasurixTestCase):
    def start_ruler(self):
        """Starts the program and waits until its start is over: the ruler
        is on and the minimized options window, which takes the focus at
        every start, has done so. Only then can another window keep it."""
        started = time.monotonic()
        process = self.start_measurix("-hide")
        self.wait_main_window(process)
        options = self.driver.wait_window(title="Measurix - Options", pid=process.windows_pid)
        self.wait_until(lambda: self.driver.screen()["foreground"] == options["hwnd"], 10,
                        "the options window in front after the start")
        self.wait_ruler(process, True)
        # A switch-off within a second of the start counts as the second of
        # two quick switch-offs and brings the options window up, which would
        # take the focus: the tests switch off later than that.
        self.wait_until(lambda: time.monotonic() - started > 1.2, 5, "a second since the start")
        return process

    def toggle_num_lock(self):
        """Presses Num Lock until Wine's lock state has changed. Under Wine 8
        a Num Lock typed with xdotool now and then leaves Wine's lock state
        as it was (the X server's changes, Wine's does not). The program
        follows the lock state, as it does on Windows, so such a press
        changes nothing there either, and the test presses again."""
        before = self.driver.keystate(VK_NUMLOCK)["toggled"]
        for _ in range(3):
            self.input.key("Num_Lock")
            try:
                wait_until(lambda: self.driver.keystate(VK_NUMLOCK)["toggled"] != before, 2, "the Num Lock state")
                return
            except WaitTimeout:
                pass
        self.fail("three Num Lock presses left the lock state as it was")

    def key_log(self):
        log = self.driver.keylog("Key log")
        self.assertTrue(log.had_focus, "the key log window has the keyboard focus")
        return log

    def refocus(self, log):
        self.driver.foreground(log.hwnd)
        self.wait_until(lambda: self.driver.screen()["foreground"] == log.hwnd, 10, "the key log in front again")

    def wait_keys(self, log, keys, description):
        """Waits until the log holds `keys` (("WM_KEYDOWN", vk), ...) in that
        order, other keys in between allowed; returns the events."""
        def contains_in_order(events):
            rest = iter(events)
            return all(any(e == k for e in rest) for k in keys)
        log.wait_for(contains_in_order, description)
        return log.events()

    @staticmethod
    def count(events, vk):
        return sum(1 for _, code in events if code == vk)


class PassedKeysTest(KeysTestCase):
    def test_num_lock_and_shift_reach_the_focused_window(self):
        process = self.start_ruler()  # a first start shows the ruler at once
        log = self.key_log()

        self.toggle_num_lock()
        self.wait_ruler(process, False)
        self.wait_keys(log, [("WM_KEYDOWN", VK_NUMLOCK), ("WM_KEYUP", VK_NUMLOCK)], "Num Lock in the key log")

        self.toggle_num_lock()
        self.wait_ruler(process, True)
        # Under Wine 8 a window that was hidden with a change to zero size
        # takes the focus when it is shown again, even with SWP_NOACTIVATE
        # and WS_EX_NOACTIVATE (checked with a plain program of layered
        # windows): the overlay that appears here takes the key log's focus.
        # Windows leaves the focus where it is; the test gives it back.
        self.refocus(log)

        # The hold-down keys in their default form are modifiers alone: they
        # are read, never swallowed.
        self.input.keydown("shift")
        self.wait_keys(log, [("WM_KEYDOWN", VK_SHIFT)], "Shift down in the key log")
        self.input.keyup("shift")
        self.wait_keys(log, [("WM_KEYDOWN", VK_SHIFT), ("WM_KEYUP", VK_SHIFT)], "Shift up in the key log")
        self.assertIs(self.overlay_visible(process), True)


class DeadKeysTest(KeysTestCase):
    def seed(self, **values):
        # Bindings other than the first are read only from settings of the
        # current version.
        self.reg.add(MEASURIX_KEY, "version", "REG_DWORD", SETTINGS_VERSION)
        for name, value in values.items():
            self.reg.add(MEASURIX_KEY, name, "REG_DWORD", value)

    def test_a_dead_hold_down_key_is_kept_only_while_the_ruler_is_on(self):
        self.seed(key1code=VK_F8, key1mods=0, key1dead=1)  # move the start point with F8
        process = self.start_ruler()
        log = self.key_log()

        # On: F8 is swallowed. The Shift typed after it proves that the hook
        # has had F8 by the time the log is read (events arrive in order).
        self.input.key("F8")
        self.input.key("shift")
        events = self.wait_keys(log, [("WM_KEYUP", VK_SHIFT)], "Shift after F8 in the key log")
        self.assertEqual(self.count(events, VK_F8), 0, events)

        # Off: only the toggle key takes part in matching, so F8 passes.
        self.toggle_num_lock()
        self.wait_ruler(process, False)
        self.input.key("F8")
        self.wait_keys(log, [("WM_KEYDOWN", VK_F8), ("WM_KEYUP", VK_F8)], "F8 in the key log")

    def test_a_dead_toggle_key_still_switches_the_ruler(self):
        # F9 turns the ruler off while it is held. (Not a lock key: under
        # Wine a swallowed lock key still changes the X server's lock state
        # but not Wine's, and the two stay apart for the tests that follow.)
        self.seed(key0code=VK_F9, key0mods=0, key0dead=1, toggle=0, invert=1)
        process = self.start_ruler()
        log = self.key_log()

        self.input.keydown("F9")
        self.wait_ruler(process, False)
        self.input.keyup("F9")
        self.wait_ruler(process, True)
        self.refocus(log)  # the overlay shown again took the focus under Wine (see above)
        self.input.key("shift")
        events = self.wait_keys(log, [("WM_KEYUP", VK_SHIFT)], "Shift after F9 in the key log")
        self.assertEqual(self.count(events, VK_F9), 0, events)

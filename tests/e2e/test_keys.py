"""The global keys with other applications in front (mxdriver's key log is
the application): no key is ever left down there, the slow mouse, and the
ruler without the low-level hooks."""

import re
import time

from harness import MeasurixTestCase

VK_SHIFT, VK_CONTROL, VK_K, VK_F8 = 0x10, 0x11, 0x4B, 0x77
NO_HOOKS_BOX = 1028
USER_K_UP = re.compile(r"^  up 0x4b-\w+ \(ext=\d,up=1,inj=0,", re.M)  # not the program's own
SLOWED, RESTORED = re.compile(r"^mouse speed -?\d+ -> 1\r?$", re.M), re.compile(r"^mouse speed restored", re.M)


class KeysTest(MeasurixTestCase):
    def test_a_dead_toggle_is_kept_from_applications_and_leaves_no_key_down(self):
        # K, dead, switches the ruler, off at the start ("invert" follows K's light). Under Wine a window
        # that appears under the pointer or takes the focus takes every key held on the X keyboard into the
        # system's key state, K too: its release must let it up. The key log comes a second after the start.
        program = self.start("-hide", trace=True, seed={"version": 36, "key0code": VK_K, "key0mods": 0, "key0dead": 1,
                                                        "invert": int(self.keystate(VK_K)["toggled"])})
        self.wait_foreground(self.options(program, iconic=True)["hwnd"])
        started = time.monotonic()  # later than the program's own start
        self.wait_until(lambda: time.monotonic() - started > 1.1, 5, "a second since the start")
        log = self.keylog()
        self.wait_ruler(program, False)

        def released(times, what):  # K's releases in the hook's trace; then the system has K up again
            self.wait_until(lambda: len(USER_K_UP.findall(program.output())) == times
                            and not self.keystate(VK_K)["down"], 10, "K up for the applications after " + what)

        self.input.keydown("k")
        self.wait_ruler(program, True)  # its overlay appears under the pointer
        self.input.key("shift")
        self.input.keyup("k")
        released(1, "K, Shift, Shift, K")
        # Under Wine the overlay shown takes the focus (Windows leaves it where it is): the key log gets it back.
        self.driver.call("foreground", log.hwnd)
        self.wait_foreground(log.hwnd)
        self.input.key("shift")
        self.assertNotIn(("down", VK_K), log.wait_for(("down", VK_SHIFT), ("up", VK_SHIFT)))
        self.input.key("k", "k", "k", delay_ms=140)  # off, on, off: the options window comes up
        self.options(program, visible=True, iconic=False)
        released(4, "three quick presses")
        self.wait_ruler(program, False)

    def test_slow_mouse_is_restored_when_ctrl_is_let_go_and_at_the_end(self):
        program = self.start(trace=True)
        self.options(program, visible=True)  # it takes the focus: the key log must come after it
        self.wait_ruler(program, True)
        log = self.keylog()

        def speeds(slowed, restored, what):
            self.wait_until(lambda: [len(r.findall(program.output())) for r in (SLOWED, RESTORED)]
                            == [slowed, restored], 10, what)

        def ctrl(down):
            (self.input.keydown if down else self.input.keyup)("ctrl")
            log.wait_for(("down" if down else "up", VK_CONTROL))
            # The loupe comes or goes, and Wine takes a snapshot of the held keys: applied before the next key.
            self.wait_until(lambda: bool(self.windows(cls="RulerLoupe", pid=program.pid, visible=True)) == down,
                            10, "the loupe " + ("shown" if down else "gone"))
            self.settle(program)
            self.send(log.hwnd, 0)

        ctrl(True)
        for x in range(700, 760, 10):
            self.input.mousemove(x, 300)
        speeds(1, 0, "slowed once however far the pointer moves")
        ctrl(False)
        speeds(1, 1, "restored when Ctrl is let go")
        ctrl(True)
        speeds(2, 1, "slowed again")
        self.end(program)
        speeds(2, 2, "restored at the end")


class RulerControlTest(MeasurixTestCase):
    def test_a_switch_off_within_a_second_of_the_start_opens_the_options(self):
        # The second counts from inside the start, which a loaded machine can
        # stretch past it: up to three starts. F9 held switches the ruler off
        # (Wine now and then drops the first Num Lock press after a start).
        for attempt in range(3):
            program = self.start("-hide", seed={"version": 36, "key0code": 0x78, "key0mods": 0, "toggle": 0,
                                                "invert": 1})
            self.wait_ruler(program, True)
            self.wait_foreground(self.options(program, iconic=True)["hwnd"])
            self.input.keydown("F9")
            self.wait_ruler(program, False)
            try:
                self.options(program, iconic=False, timeout=1)
                return
            except AssertionError:
                self.input.keyup("F9")
                program.kill()
        self.fail("three switch-offs right after the start left the options window minimized")

    def test_without_hooks_num_lock_and_the_pointer_are_polled(self):
        self.input.mousemove(900, 300)
        # F8, dead, moves the start point: only a hook can keep it from others.
        program = self.start("-hide", seed={"usehooks": 0, "version": 36, "key1code": VK_F8, "key1mods": 0,
                                            "key1dead": 1})
        self.wait_ruler(program, True)
        started = time.monotonic()
        self.wait_until(lambda: time.monotonic() - started > 1.1, 5, "a second since the start")

        def line_reaches(x, y):
            return any(r[0] <= x < r[2] and r[1] <= y < r[3]
                       for r in (w["rect"] for w in self.windows(cls="RulerDisplay", pid=program.pid, visible=True)))

        self.wait_until(lambda: line_reaches(900, 300), 10, "the line to the pointer")
        self.input.mousemove(300, 500)
        self.wait_until(lambda: line_reaches(300, 500), 10, "the line following the pointer")
        self.set_num_lock(True)
        self.wait_ruler(program, False)
        self.set_num_lock(False)
        self.wait_ruler(program, True)
        self.driver.call("shell-clipboard-empty")
        # The copy key, read by polling too: a poll every tenth of a second
        # sees a key held until it has acted, not a tap between two polls.
        self.input.keydown("Pause")
        self.wait_until(self.clipboard, 10, "the measurement copied")
        self.input.keyup("Pause")

        # Input monitoring switched on in the options window: F8 is kept
        # from the other applications from now on.
        log = self.keylog()
        self.input.key("F8", "shift")
        self.assertEqual([e for e in log.wait_for(("up", VK_SHIFT)) if e[1] == VK_F8], [("down", VK_F8), ("up", VK_F8)])
        log.clear()
        self.click(self.options(program), NO_HOOKS_BOX)  # returns once the hooks are set
        self.driver.call("foreground", log.hwnd)
        self.wait_foreground(log.hwnd)
        self.input.key("F8", "shift")
        self.assertNotIn(VK_F8, [vk for _, vk in log.wait_for(("up", VK_SHIFT))])

"""The global keys with other applications in front: which keys reach them
(mxdriver's key log is the application), what a dead key keeps from them,
that no key is ever left down there, the slow mouse, and the ruler without
the low-level hooks."""

import re
import time

from harness import MeasurixTestCase

VK_SHIFT, VK_CONTROL, VK_K, VK_F8, VK_NUMLOCK = 0x10, 0x11, 0x4B, 0x77, 0x90
INVERT_BOX, NO_HOOKS_BOX = 1022, 1028
SLOWED = re.compile(r"^mouse speed (-?\d+) -> 1\r?$", re.M)
RESTORED = re.compile(r"^mouse speed restored to (-?\d+)\r?$", re.M)


class KeysTest(MeasurixTestCase):
    def start_in_background(self, **seed):
        """Starts it with its options window minimized, which takes the focus
        at each start, then puts the key log in front. A switch-off in the
        first second after the start would open the options window, so the
        key log comes later than that."""
        program = self.start("-hide", seed=dict({"version": 36}, **seed))
        self.wait_foreground(self.options(program, iconic=True)["hwnd"])
        started = time.monotonic()  # later than the program's own start
        self.wait_until(lambda: time.monotonic() - started > 1.1, 5, "a second since the start")
        return program, self.keylog()

    def test_dead_keys_are_kept_from_applications_only_while_they_act(self):
        program, log = self.start_in_background(key1code=VK_F8, key1mods=0, key1dead=1)  # F8 moves the start point
        self.wait_ruler(program, True)
        self.input.key("F8", "shift")
        events = log.wait_for(("down", VK_SHIFT), ("up", VK_SHIFT))
        self.assertNotIn(VK_F8, [vk for _, vk in events], "a dead key is swallowed while the ruler is on")

        self.set_num_lock(True)
        self.wait_ruler(program, False)
        self.input.key("F8")
        log.wait_for(("down", VK_NUMLOCK), ("up", VK_NUMLOCK), ("down", VK_F8), ("up", VK_F8))

    def test_a_dead_toggle_never_leaves_a_key_down_elsewhere(self):
        # K, dead, switches the ruler off while it is held.
        program, log = self.start_in_background(key0code=VK_K, key0mods=0, key0dead=1, toggle=0, invert=1)
        self.wait_ruler(program, True)
        # (keys in order, K's messages the application gets): with Ctrl, K's
        # down does not fit the binding and passes, so its up must pass too,
        # although K alone is held by then; K alone is kept from it.
        for keys, seen in [((("ctrl", True), ("k", True), ("ctrl", False), ("k", False)), ["down", "up"]),
                           ((("k", True), ("k", False)), [])]:
            for key, down in keys:
                (self.input.keydown if down else self.input.keyup)(key)
                if key == "k" and not seen:
                    self.wait_ruler(program, not down)
            self.wait_until(lambda: not self.keystate(VK_K)["down"], 3, "K up for the applications")
            self.wait_ruler(program, True)
            # Under Wine an overlay window shown again takes the focus
            # (Windows leaves it where it is): the key log gets it back.
            self.driver.call("foreground", log.hwnd)
            self.wait_foreground(log.hwnd)
            self.input.key("shift")
            events = log.wait_for(("up", VK_SHIFT))
            self.assertEqual([kind for kind, vk in events if vk == VK_K], seen, events)
            log.clear()
            # Two switch-offs within a second would bring the options window up.
            done = time.monotonic()
            self.wait_until(lambda: time.monotonic() - done > 1.1, 5, "a second since the last switch-off")

    def test_slow_mouse_is_restored_once_on_every_way_out(self):
        program = self.start(trace=True)
        options = self.options(program, visible=True)
        self.wait_ruler(program, True)
        log = self.keylog()

        def speeds(slowed, restored, what):
            self.wait_until(lambda: (len(SLOWED.findall(program.output())),
                                     len(RESTORED.findall(program.output()))) == (slowed, restored), 10, what)

        def ctrl(down):
            (self.input.keydown if down else self.input.keyup)("ctrl")
            log.wait_for(("down" if down else "up", VK_CONTROL))

        ctrl(True)
        for x in range(700, 760, 10):
            self.input.mousemove(x, 300)
        speeds(1, 0, "slowed once however far the pointer moves")
        ctrl(False)
        speeds(1, 1, "restored when Ctrl is let go")
        ctrl(True)
        speeds(2, 1, "slowed again")
        self.click(options, INVERT_BOX)  # the ruler goes off with Ctrl still held
        self.wait_ruler(program, False)
        speeds(2, 2, "restored when the ruler went off")
        self.click(options, INVERT_BOX)
        self.wait_ruler(program, True)
        speeds(3, 2, "slowed when the ruler came on with Ctrl held")
        self.end(program)
        speeds(3, 3, "restored at the end")
        output = program.output()
        self.assertEqual(RESTORED.findall(output), SLOWED.findall(output), "each restore gives back what was saved")


class RulerControlTest(MeasurixTestCase):
    def test_a_switch_off_within_a_second_of_the_start_opens_the_options(self):
        # The second counts from inside the program's start, which a loaded
        # machine can stretch beyond it before the key comes: up to three
        # starts, each with its own deadline. F9 held switches the ruler off
        # (not Num Lock, whose first press after a start Wine now and then
        # drops while it syncs its lock state with the X server's).
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

        # Input monitoring switched on in the options window: F8 is kept
        # from the other applications from now on.
        log = self.keylog()
        for monitoring, f8 in [(False, [("down", VK_F8), ("up", VK_F8)]), (True, [])]:
            if monitoring:
                self.click(self.options(program), NO_HOOKS_BOX)  # returns once the hooks are set
                self.driver.call("foreground", log.hwnd)
                self.wait_foreground(log.hwnd)
            self.input.key("F8", "shift")
            events = log.wait_for(("up", VK_SHIFT))
            self.assertEqual([e for e in events if e[1] == VK_F8], f8)
            log.clear()

"""The slow-mouse key end to end: holding Ctrl while the ruler is on slows
the system mouse down, and releasing it, switching the ruler off or ending
the program gives the user's speed back, each time exactly once.

Under Wine 8, once any process has set the mouse speed, reading it back
gives 0 in every process, whatever was set; so the speed cannot be checked
by reading it. The program's debug traces (MEASURIX_TRACE) show what it
asked of the system instead: "mouse speed <saved> -> 1" when it slows the
mouse and "mouse speed restored to <saved>" when it gives the speed back.
(The saved value itself is Wine's 0 once any earlier test slowed the mouse.)
"""

import os
import re

from harness import MeasurixTestCase

VK_CONTROL = 0x11
INVERT_BOX = 1022  # "key turns ruler off (instead of on)"
# Lines end in CR LF: the program writes text-mode standard output.
SLOWED = re.compile(r"^mouse speed (-?\d+) -> 1\r?$", re.M)
RESTORED = re.compile(r"^mouse speed restored to (-?\d+)\r?$", re.M)


class SlowMouseTest(MeasurixTestCase):
    def setUp(self):
        super().setUp()
        os.environ["MEASURIX_TRACE"] = "1"
        self.addCleanup(os.environ.pop, "MEASURIX_TRACE", None)

    def speeds(self):
        """The saved speeds of every slow-down and of every restore so far."""
        output = self.process.output()
        return [int(s) for s in SLOWED.findall(output)], [int(s) for s in RESTORED.findall(output)]

    def wait_speeds(self, slowed, restored, what):
        self.wait_until(lambda: tuple(map(len, self.speeds())) == (slowed, restored), 10, what)

    def ruler_shown(self, shown):
        windows = self.driver.find_windows(cls="RulerDisplay", pid=self.process.windows_pid)
        return len(windows) == 2 and all(w["visible"] == shown for w in windows)

    def hold_ctrl(self):
        self.input.keydown("ctrl")
        self.wait_until(lambda: self.driver.keystate(VK_CONTROL)["down"], 10, "Ctrl down")
        self.input.mousemove(700, 300)

    def release_ctrl(self):
        self.input.keyup("ctrl")
        self.wait_until(lambda: not self.driver.keystate(VK_CONTROL)["down"], 10, "Ctrl up")
        self.input.mousemove(720, 320)

    def test_the_speed_is_saved_once_and_restored_once_on_every_way_out(self):
        self.input.mousemove(720, 320)
        self.process = self.start_measurix()
        frame = self.driver.wait_window(title="Measurix - Options", pid=self.process.windows_pid, visible=True,
                                        timeout=15)["hwnd"]
        self.wait_until(lambda: self.ruler_shown(True), 10, "the ruler on")

        # Held and released: slowed once however many pointer events come,
        # then the saved speed back.
        self.hold_ctrl()
        self.wait_speeds(1, 0, "the mouse slowed")
        for x in range(700, 760, 10):
            self.input.mousemove(x, 300)
        self.release_ctrl()
        self.wait_speeds(1, 1, "the speed restored on release")
        slowed, restored = self.speeds()
        self.assertEqual(restored, slowed)

        # Held while the ruler goes off (through the options window, since
        # Ctrl with the toggle key is another key combination).
        self.hold_ctrl()
        self.wait_speeds(2, 1, "the mouse slowed again")
        self.driver.click(frame, INVERT_BOX)
        self.wait_until(lambda: self.ruler_shown(False), 10, "the ruler off")
        self.wait_speeds(2, 2, "the speed restored when the ruler went off")
        # Still held, ruler off: the key does nothing.
        self.input.mousemove(740, 340)
        self.release_ctrl()

        # Held when the program is ended by a second start.
        self.driver.click(frame, INVERT_BOX)
        self.wait_until(lambda: self.ruler_shown(True), 10, "the ruler on again")
        self.hold_ctrl()
        self.wait_speeds(3, 2, "the mouse slowed a third time")
        self.assertEqual(self.start_measurix("-exit").wait_exit(15), 0)
        self.assertEqual(self.process.wait_exit(15), 0)
        self.release_ctrl()

        slowed, restored = self.speeds()
        self.assertEqual(len(restored), 3, "restored at the end, and only once")
        self.assertEqual(restored, slowed, "each restore gives back what its slow-down saved")

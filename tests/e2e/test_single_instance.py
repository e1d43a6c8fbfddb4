"""One running Measurix per user: what a second start does to the running
instance and to itself, with the real program under Wine.

The first instance is started with -hide, so its options window sits
minimized; a request to show the options restores it, which is how these
tests see that a request arrived. To prove that a start sent NO exit request,
a later plain start acts as a probe: the running instance handles posted
requests in order, so once it has restored its options window for the probe,
any exit request sent before would already have ended it.
"""

import unittest

from harness import EXIT_MINUS_ONE, MEASURIX_KEY, RUNONCE_KEY, MeasurixTestCase
from harness.environment import windows_path

OPTIONS_TITLE = "Measurix - Options"
WM_QUIT = 0x0012
WM_ENDSESSION = 0x0016
MSG_USE_HOOKS_CHANGED = 0x8012
IDOK = 1


class SingleInstanceTest(MeasurixTestCase):
    def start_first(self):
        first = self.start_measurix("-hide")
        self.wait_main_window(first)
        # Requests that arrive while the options window is still being made
        # are dropped; wait until it stands minimized.
        self.driver.wait_window(title=OPTIONS_TITLE, pid=first.windows_pid, visible=True, iconic=True)
        return first

    def options_restored(self, process):
        return self.driver.find_window(title=OPTIONS_TITLE, pid=process.windows_pid, visible=True, iconic=False)

    def probe_with_a_plain_start(self, running):
        """A plain start; it ends at once and restores `running`'s options."""
        self.assertEqual(self.start_measurix().wait_exit(), 0)
        self.wait_until(lambda: self.options_restored(running), 10, "the options window restored by the probe")

    def test_second_start_by_its_words(self):
        # words, the first instance ends, the second one runs on, the first
        # one's options window is restored by the second start
        cases = [
            ((), False, False, True),
            (("-hide",), False, False, False),
            (("-HIDE",), False, False, False),
            (("-exit",), True, False, False),
            (("-hide", "-exit"), True, False, False),
            (("-restart",), True, True, False),
            (("-restart", "-exit"), True, False, False),
            (("-hide", "-restart"), False, True, False),
        ]
        for words, first_ends, second_runs, restores_options in cases:
            with self.subTest(words=words):
                first = self.start_first()
                second = self.start_measurix(*words)
                if second_runs:
                    self.wait_main_window(second)
                else:
                    self.assertEqual(second.wait_exit(), 0)

                if first_ends:
                    self.assertEqual(first.wait_exit(), 0)
                elif restores_options:
                    self.wait_until(lambda: self.options_restored(first), 10, "the first one's options restored")
                else:
                    self.assertIsNone(self.options_restored(first))
                    self.probe_with_a_plain_start(first)
                if not first_ends:
                    self.assertTrue(first.running())
                    self.assertIsNotNone(self.main_window(first))

                self.assertEqual(len(self.driver.find_windows(title="Measurix", cls="Static")),
                                 int(not first_ends) + int(second_runs))
                first.kill()
                second.kill()

    def test_refused_second_start_leaves_the_running_instance_alone(self):
        first = self.start_first()
        second = self.start_measurix("-exit", "/bogus")
        box = self.driver.wait_window(title="Measurix - Error", pid=second.windows_pid, visible=True)
        self.driver.click(box["hwnd"], IDOK)
        self.assertEqual(second.wait_exit(), EXIT_MINUS_ONE)
        self.assertIsNone(self.options_restored(first))
        self.probe_with_a_plain_start(first)
        self.assertTrue(first.running())

    def test_exit_and_restart_requests_end_the_loop_without_autostart(self):
        # An exit request ends with the final save; a restart request without
        # it (the new instance takes over). Neither registers the autostart.
        for words, first_saves in [(("-exit",), True), (("-restart",), False)]:
            with self.subTest(words=words):
                self.reg.delete_key(MEASURIX_KEY)
                first = self.start_first()
                # The probe also lets the main thread handle what was queued
                # before it, such as a save requested while starting.
                self.probe_with_a_plain_start(first)
                alpha = self.reg.query(MEASURIX_KEY, "alpha")
                marker = 77 if alpha != 77 else 78
                self.reg.add(MEASURIX_KEY, "alpha", "REG_DWORD", marker)

                second = self.start_measurix(*words)
                self.assertEqual(first.wait_exit(), 0)
                saved = self.reg.query(MEASURIX_KEY, "alpha")
                if first_saves:
                    self.assertNotEqual(saved, marker, "the final save did not write")
                else:
                    self.assertEqual(saved, marker, "the old instance saved on a restart request")
                self.assertIsNone(self.reg.query(RUNONCE_KEY, "Measurix"))
                second.kill()

    def test_a_quit_or_end_of_session_in_the_loop_registers_the_autostart(self):
        for message in (WM_QUIT, WM_ENDSESSION):
            with self.subTest(message=message):
                self.reg.delete_value(RUNONCE_KEY, "Measurix")
                first = self.start_first()
                self.driver.post(self.main_window(first)["hwnd"], message)
                self.assertEqual(first.wait_exit(), 0)
                self.assertEqual(self.reg.query(RUNONCE_KEY, "Measurix"), '"%s" -hide' % windows_path(first.exe))

    def test_plain_second_start_reopens_a_closed_options_window(self):
        first = self.start_measurix()
        self.wait_main_window(first)
        options = self.driver.wait_window(title=OPTIONS_TITLE, pid=first.windows_pid, visible=True, iconic=False)
        self.driver.click(options["hwnd"], IDOK)  # "Close & Enable"
        self.driver.wait_no_window(title=OPTIONS_TITLE, pid=first.windows_pid)

        self.assertEqual(self.start_measurix().wait_exit(), 0)
        self.wait_until(lambda: self.options_restored(first), 10, "a new options window")
        self.assertTrue(first.running())

    def test_hook_switch_message_answers_one_for_either_value(self):
        first = self.start_first()
        main = self.main_window(first)["hwnd"]
        # The current value (on), then off, off again and on: always 1.
        for value in (1, 0, 0, 1):
            with self.subTest(value=value):
                self.assertEqual(self.driver.send(main, MSG_USE_HOOKS_CHANGED, value, 0), 1)
        self.assertTrue(first.running())


if __name__ == "__main__":
    unittest.main()

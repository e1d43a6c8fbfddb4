"""The command line of measurix.exe, run under Wine: which words start the
program, which end it at once, and the error box for anything else."""

import unittest

from harness import EXIT_MINUS_ONE, MeasurixTestCase

ERROR_TITLE = "Measurix - Error"
IDOK = 1


class CommandLineTest(MeasurixTestCase):
    def error_box(self, process):
        return self.driver.wait_window(title=ERROR_TITLE, pid=process.windows_pid, visible=True)

    def test_refused_arguments_show_the_error_box_and_end_with_minus_one(self):
        watch = self.driver.watch_windows()
        cases = [
            (["/bogus"], "/bogus"),
            (["hide"], "hide"),                   # a word needs its '-' or '/'
            (["--hide"], "--hide"),
            (["-hidden"], "-hidden"),
            (["-hide", "-Exitx"], "-Exitx"),      # refused after an accepted word, named as typed
            (["-exit", "/bogus"], "/bogus"),      # refused before "exit" could end the program quietly
        ]
        for args, named in cases:
            with self.subTest(args=args):
                process = self.start_measurix(*args)
                box = self.error_box(process)
                texts = [c["text"] for c in self.driver.controls(box["hwnd"]) if c["class"] == "Static"]
                self.assertIn("Unknown command line option: " + named, texts)
                # Nothing else was started: the box is the process's only window.
                self.assertEqual([w["hwnd"] for w in self.process_windows(process)], [box["hwnd"]])
                self.assertTrue(process.running(), "the program must wait for the box")

                self.driver.click(box["hwnd"], IDOK)
                self.assertEqual(process.wait_exit(), EXIT_MINUS_ONE)
                # Not even for a moment was there another top-level window.
                watch.sync()
                made = [(w["hwnd"], w["class"]) for w in watch.created(pid=process.windows_pid, top=True)
                        if w["class"] != "IME"]
                self.assertEqual(made, [(box["hwnd"], "#32770")])

    def test_the_box_also_closes_with_the_enter_key(self):
        process = self.start_measurix("/bogus")
        box = self.error_box(process)
        self.driver.foreground(box["hwnd"])
        self.wait_until(lambda: self.driver.screen()["foreground"] == box["hwnd"], 10, "the box in the foreground")
        self.input.key("Return")
        self.assertEqual(process.wait_exit(), EXIT_MINUS_ONE)

    def test_hide_in_any_spelling_starts_the_program(self):
        for word in ["-hide", "-HIDE", "/hide", "/Hide"]:
            with self.subTest(word=word):
                process = self.start_measurix(word)
                self.wait_main_window(process)
                self.assertIsNone(self.driver.find_window(title=ERROR_TITLE))
                self.assertTrue(process.running())
                process.kill()

    def test_exit_without_a_running_instance_ends_at_once_without_a_window(self):
        watch = self.driver.watch_windows()
        watch.sync()
        running_before = {p["pid"] for p in self.driver.processes()}
        for args in [["-exit"], ["/EXIT"], ["-hide", "-exit"], ["-exit", "-restart"]]:
            with self.subTest(args=args):
                process = self.start_measurix(*args)
                self.assertEqual(process.wait_exit(), 0)
                watch.sync()
                # No window of a process that did not run before (pid 0: a
                # window already gone when it was logged).
                self.assertEqual([w for w in watch.created() if w["pid"] not in running_before], [])

    def test_restart_without_a_running_instance_starts_the_program(self):
        process = self.start_measurix("-restart", "-hide")
        self.wait_main_window(process)
        self.assertTrue(process.running())


if __name__ == "__main__":
    unittest.main()

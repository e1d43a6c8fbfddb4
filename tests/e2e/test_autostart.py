"""The run-once autostart entry and the restart with default settings.

The system's log-off notice: under Wine 8, `wineboot --end-session` sends
WM_QUERYENDSESSION and WM_ENDSESSION to the top-level windows of the session,
as Windows does at log-off; the program's overlay windows then register the
autostart and end the main loop. (Wine ends no process itself here.)"""

import subprocess

from harness import MEASURIX_KEY, RUNONCE_KEY, MeasurixTestCase, signed32
from harness.environment import wine_env, windows_path


class AutostartTest(MeasurixTestCase):
    def start_and_wait(self, *args):
        process = self.start_measurix(*args)
        self.wait_main_window(process)
        return process

    def end_session(self):
        subprocess.run(["wineboot", "--end-session"], env=wine_env(self.state), stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True, timeout=60)

    def run_once(self):
        return self.reg.values(RUNONCE_KEY).get("Measurix")

    def test_log_off_writes_the_run_once_entry(self):
        process = self.start_and_wait("-hide")
        self.end_session()
        self.assertEqual(process.wait_exit(15), 0)
        expected = '"%s" -hide' % windows_path(self.measurix_exe)
        self.assertEqual(self.run_once().lower(), expected.lower())
        self.assertEqual(self.reg.query(MEASURIX_KEY, "autostart"), 1, "the final save ran")

    def test_log_off_with_autostart_off_writes_no_entry(self):
        self.reg.add(MEASURIX_KEY, "autostart", "REG_DWORD", 0)
        process = self.start_and_wait("-hide")
        self.end_session()
        self.assertEqual(process.wait_exit(15), 0)
        self.assertIsNone(self.run_once())
        self.assertEqual(self.reg.query(MEASURIX_KEY, "version"), 36, "the final save ran")

    def test_ending_through_a_second_start_writes_no_entry(self):
        process = self.start_and_wait("-hide")
        self.assertEqual(self.start_measurix("-exit").wait_exit(15), 0)
        self.assertEqual(process.wait_exit(15), 0)
        self.assertIsNone(self.run_once())
        self.assertEqual(self.reg.query(MEASURIX_KEY, "version"), 36, "the final save ran")


# Values that differ from every default, for the restore test.
CHANGED = {"alpha": 40, "x0": 100, "y0": 120, "refnr": 5, "fade": 0, "key1mods": 2, "cross0": 0}
RESTORE_BUTTON = 1067  # "Restore Defaults && Restart" on the Advanced page
MSG_SAVE_SETTINGS = 0x8011  # the program's own "save all settings" message
DEFAULTS = {"alpha": 164, "x0": 640, "y0": 600, "refnr": 1, "fade": 300, "key1mods": 4, "cross0": 1}


class RestoreDefaultsTest(MeasurixTestCase):
    def start_and_wait(self, *args):
        process = self.start_measurix(*args)
        self.wait_main_window(process)
        return process

    def seed_changed_values(self):
        self.reg.add(MEASURIX_KEY, "version", "REG_DWORD", 36)  # all five bindings stored
        for name, value in CHANGED.items():
            self.reg.add(MEASURIX_KEY, name, "REG_DWORD", value)

    def stored(self):
        values = self.reg.values(MEASURIX_KEY)
        return {name: signed32(values[name]) if name in values else None for name in CHANGED}

    def test_pending_restore_keeps_the_old_instance_from_saving(self):
        self.seed_changed_values()
        old = self.start_and_wait("-hide")
        # The saves that opening the options window requests must be over
        # before the store is marked, or one would overwrite the mark. They
        # are all requested while the window initialises, which is over once
        # it is shown (here minimized); a save request posted after that is
        # taken after them, so once its save is seen, none is left.
        self.driver.wait_window(title="Measurix - Options", pid=old.windows_pid, visible=True, timeout=15)
        self.reg.delete_value(MEASURIX_KEY, "usehooks")
        self.driver.post(self.main_window(old)["hwnd"], MSG_SAVE_SETTINGS)
        self.wait_until(lambda: self.reg.query(MEASURIX_KEY, "usehooks") is not None, 10, "the last start-up save")
        # What the restore button stores before it starts the new instance;
        # the restart request then ends the old one without a save (here
        # "-restart -exit", so that no new instance runs yet).
        self.reg.add(MEASURIX_KEY, "restore", "REG_DWORD", 1)
        self.assertEqual(self.start_measurix("-restart", "-exit").wait_exit(15), 0)
        self.assertEqual(old.wait_exit(15), 0)
        self.assertEqual(self.reg.query(MEASURIX_KEY, "restore"), 1, "the old instance wrote nothing")
        self.assertEqual(self.stored(), CHANGED)
        self.assertIsNone(self.reg.values(RUNONCE_KEY).get("Measurix"))

        new = self.start_and_wait("-hide")
        self.assertEqual(self.start_measurix("-exit").wait_exit(15), 0)
        self.assertEqual(new.wait_exit(15), 0)
        self.assertEqual(self.reg.query(MEASURIX_KEY, "restore"), 0)
        self.assertEqual(self.stored(), DEFAULTS)

    def test_restore_button_restarts_with_defaults(self):
        self.seed_changed_values()
        old = self.start_and_wait()
        options = self.driver.wait_window(title="Measurix - Options", pid=old.windows_pid)
        self.driver.select_tab(options["hwnd"], 3)  # Advanced
        self.driver.click(options["hwnd"], RESTORE_BUTTON)
        self.assertEqual(old.wait_exit(15), 0)

        # The new instance was started by the old one, not by the test.
        def new_main_window():
            found = [w for w in self.driver.find_windows(title="Measurix", cls="Static") if w["pid"] != old.windows_pid]
            return found[0] if found else None

        self.wait_until(new_main_window, 20, "the restarted instance")
        self.wait_until(lambda: self.stored() == DEFAULTS and self.reg.query(MEASURIX_KEY, "restore") == 0, 10,
                        "the restarted instance saving the defaults")
        self.assertEqual(self.start_measurix("-exit").wait_exit(15), 0)
        self.wait_until(lambda: not self.driver.find_windows(title="Measurix", cls="Static"), 15,
                        "the restarted instance to end")
        self.assertEqual(self.stored(), DEFAULTS)
        self.assertIsNone(self.reg.values(RUNONCE_KEY).get("Measurix"))

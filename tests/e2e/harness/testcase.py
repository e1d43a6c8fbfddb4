"""MeasurixTestCase: the base class of the end-to-end tests.

Before each test it ends leftover measurix.exe and mxdriver.exe processes of
the prefix, deletes HKCU\\Software\\Measurix and the RunOnce value "Measurix",
switches Num Lock off (the program takes its "invert" default from that
light at start) and moves the pointer to the screen's centre. After each
test it kills every process the test started and every measurix.exe, lets go
of held keys and buttons, and, when the test failed, saves a screenshot, the
window list, the X keyboard focus and the programs' output under
<state>/artifacts/<test id>/.

In a test:
    self.state                      the environment's state (display, prefix, dir)
    self.driver                     harness.driver.Driver
    self.input                      harness.screen.XInput (xdotool)
    self.reg                        harness.registry.Registry
    p = self.start_measurix("-hide")        a WinProcess; p.windows_pid is its
                                            Windows pid (None if it ended first)
    code = p.wait_exit(timeout)     0..255 (EXIT_MINUS_ONE = 255 for -1)
    self.main_window(p)             p's hidden "Measurix" window (dict) or None
    self.wait_main_window(p)        waits for it; returns it
    self.process_windows(p)         p's top-level windows (Wine's IME windows left out)
    self.wait_until(pred, timeout, description)
    self.screenshot()               harness.screen.Screenshot
    self.set_num_lock(on)           presses Num Lock until the light is as asked
    self.start_program(exe, *args)  any other Windows program, killed after the test

Start instances one after another (wait for each to be up or gone): the
Windows pid of a start is the measurix.exe process that appears after it.
"""

import json
import os
import subprocess
import sys
import unittest

from harness.driver import Driver
from harness.environment import load_state
from harness.registry import MEASURIX_KEY, RUNONCE_KEY, Registry
from harness.screen import XInput, take_screenshot
from harness.waiting import wait_until
from harness.winprocess import WinProcess, kill_prefix_processes

VK_NUMLOCK = 0x90
IGNORED_WINDOW_CLASSES = {"IME"}  # Wine's per-thread input method windows


def _exe(variable, name):
    path = os.environ.get(variable)
    if not path:
        here = os.path.dirname(os.path.abspath(__file__))
        path = os.path.join(here, "..", "..", "..", "build", "windows", name)
    path = os.path.abspath(path)
    if not os.path.exists(path):
        raise RuntimeError("%s not found at %s (set %s)" % (name, path, variable))
    return path


class MeasurixTestCase(unittest.TestCase):
    PROGRAM = "measurix.exe"

    @classmethod
    def setUpClass(cls):
        cls.state = load_state()
        cls.measurix_exe = _exe("MEASURIX_EXE", "measurix.exe")
        cls.mxdriver_exe = _exe("MXDRIVER_EXE", "mxdriver.exe")

    def setUp(self):
        self._failures_at_start = self._failure_count()
        self.started = []
        self.log_dir = os.path.join(self.state["dir"], "logs", self.id())
        os.makedirs(self.log_dir, exist_ok=True)
        for name in (self.PROGRAM, "mxdriver.exe"):
            kill_prefix_processes(self.state, name)
        self.driver = Driver(self.state, self.mxdriver_exe, self.log_dir)
        # Cleanups run last-in first-out: the programs go before the driver.
        self.addCleanup(self.driver.close_driver)
        self.reg = Registry(self.driver)
        self.reg.delete_key(MEASURIX_KEY)
        self.reg.delete_value(RUNONCE_KEY, "Measurix")
        self.input = XInput(self.state)
        self.addCleanup(self.input.release_all)
        self.addCleanup(self._kill_started)
        self.set_num_lock(False)
        self.input.mousemove(640, 400)

    def tearDown(self):
        if self._failure_count() > self._failures_at_start:
            self._save_artifacts()

    def _failure_count(self):
        # The result object collects failures and errors (of subtests too) as
        # they happen; unittest gives tearDown no other sign of a failure.
        result = getattr(getattr(self, "_outcome", None), "result", None)
        return len(getattr(result, "failures", ())) + len(getattr(result, "errors", ()))

    # -- programs -----------------------------------------------------------
    def _program_pids(self, name):
        return {p["pid"] for p in self.driver.processes() if p["exe"].lower() == name.lower()}

    def start_program(self, exe, *args, name=None):
        """Starts a Windows program; it is killed after the test. Its
        windows_pid is found as the new process of that name."""
        name = name or os.path.basename(exe)
        before = self._program_pids(name)
        process = WinProcess(self.state, exe, args, self.log_dir, name)
        self.started.append(process)

        def new_pid():
            fresh = self._program_pids(name) - before - {p.windows_pid for p in self.started if p is not process}
            if len(fresh) > 1:
                raise AssertionError("several new %s processes at once: %r" % (name, fresh))
            return next(iter(fresh), None) or (not process.running() and "ended")

        found = wait_until(new_pid, 20, "%r to appear as a Windows process" % process)
        process.windows_pid = found if found != "ended" else None
        return process

    def start_measurix(self, *args):
        return self.start_program(self.measurix_exe, *args, name=self.PROGRAM)

    def _kill_started(self):
        for process in self.started:
            process.kill()
        # Also instances the program started itself (a restart with defaults).
        kill_prefix_processes(self.state, self.PROGRAM)

    # -- windows --------------------------------------------------------------
    def process_windows(self, process):
        if process.windows_pid is None:
            return []
        return [w for w in self.driver.find_windows(pid=process.windows_pid)
                if w["class"] not in IGNORED_WINDOW_CLASSES]

    def main_window(self, process):
        """The process's hidden main window ("Measurix", class Static), or None."""
        if process.windows_pid is None:
            return None
        return self.driver.find_window(title="Measurix", cls="Static", pid=process.windows_pid)

    def wait_main_window(self, process, timeout=15.0):
        return wait_until(lambda: self.main_window(process), timeout, "the main window of %r" % process)

    # -- the ruler ------------------------------------------------------------
    def overlay_visible(self, process):
        """True when both overlay windows are shown, False when both are
        hidden, None while they are missing or between the two."""
        windows = [w for w in self.driver.windows()
                   if w["class"] == "RulerDisplay" and w["pid"] == process.windows_pid]
        if len(windows) != 2 or windows[0]["visible"] != windows[1]["visible"]:
            return None
        return windows[0]["visible"]

    def wait_ruler(self, process, on, timeout=10.0):
        """Waits until the ruler is on (both overlay windows shown) or off."""
        self.wait_until(lambda: self.overlay_visible(process) is on, timeout,
                        "the ruler %s" % ("on" if on else "off"))

    # -- helpers --------------------------------------------------------------
    wait_until = staticmethod(wait_until)

    def screenshot(self):
        return take_screenshot(self.state)

    def set_num_lock(self, on):
        if self.driver.keystate(VK_NUMLOCK)["toggled"] != on:
            self.input.key("Num_Lock")
        wait_until(lambda: self.driver.keystate(VK_NUMLOCK)["toggled"] == on, 10,
                   "Num Lock to be %s" % ("on" if on else "off"))

    def _x_focus(self):
        try:
            window = self.input.xdotool("getwindowfocus", "-f").strip()
        except subprocess.CalledProcessError:
            return "no X window has the keyboard focus\n"
        if window == "1":
            return "PointerRoot: keys go to the window below the pointer\n"
        try:
            return "%s %s\n" % (window, self.input.xdotool("getwindowname", window).strip())
        except subprocess.CalledProcessError:
            return window + "\n"

    def _save_artifacts(self):
        """A picture of the screen, the window list, where X has its keyboard
        focus, and each started program's output, for a failed test."""
        directory = os.path.join(self.state["dir"], "artifacts", self.id())
        os.makedirs(directory, exist_ok=True)
        steps = [
            ("screen.png", lambda path: take_screenshot(self.state).save_png(path)),
            ("windows.json", lambda path: _write(path, json.dumps(
                [w for w in self.driver.windows() if w["class"] not in IGNORED_WINDOW_CLASSES],
                indent=1, ensure_ascii=False))),
            ("x-focus.txt", lambda path: _write(path, self._x_focus())),
        ]
        for name, save in steps:
            try:
                save(os.path.join(directory, name))
            except Exception as error:  # the artifacts must not hide the failure itself
                print("could not save %s: %s" % (name, error), file=sys.stderr)
        for index, process in enumerate(self.started):
            _write(os.path.join(directory, "output-%d-%s.txt" % (index, process.name)),
                   "%r\n%s" % (process, process.output()))
            print("--- output of %r (last lines):\n%s" % (process, process.output()[-2000:]), file=sys.stderr)
        print("artifacts of the failed test: %s" % directory, file=sys.stderr)


def _write(path, text):
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)

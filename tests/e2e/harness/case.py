"""MeasurixTestCase: a clean desktop before each test, measurix.exe started
and its windows read, the evidence of a failure kept after it."""

import os
import subprocess
import sys
import unittest

from harness.desktop import KeyLog, Registry, Screenshot, XInput, Driver, wait_until
from harness.environment import kill_processes, load_state, wine_env

VK_NUMLOCK = 0x90
OPTIONS = "Measurix - Options"


def _exe(variable, name):
    path = os.environ.get(variable) or os.path.join(os.path.dirname(__file__), "../../../build/windows", name)
    if not os.path.exists(path):
        raise RuntimeError("%s not found at %s (set %s)" % (name, path, variable))
    return os.path.abspath(path)


def project_version():  # the one version (CMakeLists.txt), which the program and the packages show
    with open(os.path.join(os.path.dirname(__file__), "../../../CMakeLists.txt")) as f:
        return f.read().split("project(Measurix VERSION ")[1].split()[0]


class Program:
    """One `wine measurix.exe ...`; pid: its main window's (once waited for)."""

    def __init__(self, case, args, env):
        self.args, self.pid = args, None
        self.log = os.path.join(case.log_dir, "measurix-%d.log" % len(case.programs))
        with open(self.log, "wb") as log:
            self.popen = subprocess.Popen(["wine", case.measurix_exe] + list(args), env=env,
                                          stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT)

    def __repr__(self):
        return "<measurix.exe %s>" % " ".join(self.args)

    def running(self):
        return self.popen.poll() is None

    def wait_exit(self, timeout=15.0):  # as `wine` reports it: 255 for -1
        wait_until(lambda: not self.running(), timeout, "%r to end" % self)
        return self.popen.returncode

    def output(self):
        with open(self.log, "rb") as f:
            return f.read().decode(errors="replace")

    def kill(self):
        self.popen.kill()  # SIGKILL; nothing when it has ended
        self.popen.wait()


class MeasurixTestCase(unittest.TestCase):
    wait_until = staticmethod(wait_until)

    @classmethod
    def setUpClass(cls):
        cls.state = load_state()
        cls.measurix_exe = _exe("MEASURIX_EXE", "measurix.exe")
        cls.mxdriver_exe = _exe("MXDRIVER_EXE", "mxdriver.exe")

    def setUp(self):
        self.log_dir = os.path.join(self.state["dir"], "logs", self.id())
        os.makedirs(self.log_dir, exist_ok=True)
        self.programs, self.keylogs = [], []
        kill_processes(self.state, "measurix.exe")
        kill_processes(self.state, "mxdriver.exe")
        self.driver = Driver(self.state, self.mxdriver_exe, self.log_dir)
        self.reg = Registry(self.state)
        self.input = XInput(self.state)
        self.addCleanup(self.driver.close)
        self.addCleanup(self.input.close)
        self.addCleanup(self.input.release_all)
        self.addCleanup(self._end_programs)
        self.reg.write({}, reset=True)
        # The program takes its "invert" default from the Num Lock light.
        self.set_num_lock(False)
        self.input.mousemove(640, 400)

    def _end_programs(self):
        if any(test is self for test, _ in self._outcome.result.failures + self._outcome.result.errors):
            self._save_artifacts()
        for program in self.programs:
            program.kill()
        for log in self.keylogs:
            log.close()
        kill_processes(self.state, "measurix.exe")  # also those the program started itself

    def _save_artifacts(self):
        directory = os.path.join(self.state["dir"], "artifacts", self.id())
        os.makedirs(directory, exist_ok=True)
        subprocess.run(["import", "-display", self.state["display"], "-window", "root", directory + "/screen.png"])
        with open(os.path.join(directory, "windows.txt"), "w") as f:
            f.write("\n".join(map(repr, self.windows())))
        print("failed: screen and windows in %s, the programs' output in %s" % (directory, self.log_dir),
              file=sys.stderr)

    # -- the program ----------------------------------------------------------
    def start(self, *args, seed=None, wait=True, trace=False):
        """After writing `seed` to its key; wait: for its new main window."""
        if seed:
            self.reg.write(seed)
        before = {w["hwnd"] for w in self.windows(title="Measurix", cls="Static")}
        env = dict(wine_env(self.state), **({"MEASURIX_TRACE": "1"} if trace else {}))
        program = Program(self, args, env)
        self.programs.append(program)
        if wait:
            main = self.wait_until(lambda: [w for w in self.windows(title="Measurix", cls="Static")
                                            if w["hwnd"] not in before], 20, "the main window of %r" % program)
            program.pid = main[0]["pid"]
        return program

    def end(self, program):  # as the user would: a second start with -exit
        self.assertEqual(self.start("-exit", wait=False).wait_exit(), 0)
        self.assertEqual(program.wait_exit(), 0)

    def pattern(self, *args):
        """mxdriver's pattern window (tests/driver/pattern_window.cpp), shown until the test ends."""
        window = subprocess.Popen(["wine", self.mxdriver_exe, "pattern", *map(str, args)], env=wine_env(self.state),
                                  stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(window.kill)
        self.window(title="mxdriver pattern", visible=True)

    # -- windows --------------------------------------------------------------
    def windows(self, **criteria):
        """Top-level windows (hwnd, title, class, pid, visible, iconic, topmost,
        exstyle, foreground, rect) whose fields equal `criteria` (cls: class)."""
        criteria = {("class" if k == "cls" else k): v for k, v in criteria.items()}
        return [w for w in self.driver.call("windows") if all(w[k] == v for k, v in criteria.items())]

    def window(self, timeout=10.0, **criteria):
        return self.wait_until(lambda: (self.windows(**criteria) or [None])[0], timeout, "a window %r" % criteria)

    def options(self, program, **state):
        return self.window(title=OPTIONS, pid=program.pid, **state)

    def control(self, window, control_id):
        """The control (hwnd, parent, id, class, text, visible, enabled, rect,
        a combo box's items) with that id; the visible one when pages share ids."""
        found = [c for c in self.driver.call("controls", window["hwnd"]) if c["id"] == control_id]
        found = [c for c in found if c["visible"]] if len(found) > 1 else found
        self.assertEqual(len(found), 1, "controls with id %d: %r" % (control_id, found))
        return found[0]

    def click(self, window, control_id, modal=False):
        """BM_CLICK on a button; modal: posted, for a click that opens a modal window."""
        self.driver.call("click", self.control(window, control_id)["hwnd"], *(["async"] if modal else []))

    def send(self, hwnd, message, wparam=0, lparam=0):
        return self.driver.call("send", hwnd, message, wparam, lparam)

    def post(self, hwnd, message, wparam=0, lparam=0):
        self.driver.call("post", hwnd, message, wparam, lparam)

    def select_tab(self, window, index):
        # TCM_SETCURFOCUS: the tab control itself notifies the window, as at a click.
        tab = next(c for c in self.driver.call("controls", window["hwnd"]) if c["class"] == "SysTabControl32")
        self.send(tab["hwnd"], 0x1330, index)

    def ruler(self, program):
        """True while an overlay window is shown, False once all are hidden, None before any."""
        shown = [w["visible"] for w in self.windows(cls="RulerDisplay", pid=program.pid)]
        return any(shown) if shown else None

    def wait_ruler(self, program, on):
        self.wait_until(lambda: self.ruler(program) is on, 10, "the ruler %s" % ("on" if on else "off"))
        if on:
            self.settle(program)

    def settle(self, program):
        """Until the program's main thread has taken its pending input. Without a window manager, an overlay
        shown, hidden or moved under the pointer brings it X's snapshot of the held keys, which Wine applies
        to every key's state when that thread takes it: a key pressed before then is undone. A message sent
        to one of its overlay windows returns after it."""
        for overlay in self.windows(cls="RulerDisplay", pid=program.pid)[:1]:
            self.send(overlay["hwnd"], 0)  # WM_NULL

    def wait_foreground(self, hwnd):
        self.wait_until(lambda: self.windows(hwnd=hwnd, foreground=True), 10, "window %d in front" % hwnd)

    # -- keys, pixels, settings -----------------------------------------------
    def keystate(self, vk):  # {"down", "toggled"} as Windows sees the key
        return self.driver.call("keystate", vk)

    def set_num_lock(self, on):
        """In X, then until Wine follows: Wine takes the lock state from X with
        each key it gets, so a press it missed comes back with a Shift."""
        if self.input.num_lock() != on:
            self.input.key("Num_Lock")
            self.wait_until(lambda: self.input.num_lock() == on, 10, "Num Lock %s in X" % on)
        self.wait_until(lambda: self.keystate(VK_NUMLOCK)["toggled"] == on or self.input.key("shift"), 10,
                        "Num Lock %s in Wine" % on, interval=0.3)

    def keylog(self):
        log = KeyLog(self.state, self.mxdriver_exe, os.path.join(self.log_dir, "keys-%d.txt" % len(self.keylogs)))
        self.keylogs.append(log)
        self.wait_foreground(log.hwnd)
        return log

    def screenshot(self):
        return Screenshot(self.state)

    def wait_pixels(self, rect, predicate, description, minimum=1):
        return self.wait_until(lambda: self.screenshot().count(rect, predicate) >= minimum, 10, description)

    def clipboard(self):  # its text; None while another program holds it open
        codes = self.driver.call("shell-clipboard")
        return None if codes is None else "".join(map(chr, codes))

    def stored(self, name=None):
        values = self.reg.values()
        return values if name is None else values.get(name)

    def wait_stored(self, name, value):
        self.wait_until(lambda: self.stored(name) == value, 10, "%s stored as %r" % (name, value), interval=0.2)

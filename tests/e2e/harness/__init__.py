"""End-to-end test harness of Measurix: the real measurix.exe under Wine in a
virtual X display, driven by xdotool and by our own Windows helper mxdriver.

Quick start (from tests/e2e, with the programs built into build/windows):

    export MEASURIX_E2E_STATE=/tmp/e2e-$USER   # optional; your own environment
    python3 -m harness.environment up           # ~12 s: Xvfb + fresh prefix
    python3 -m unittest -v test_command_line    # any tests, as often as wanted
    python3 -m harness.environment down

or simply `ctest -R e2e --output-on-failure` in the build directory (ctest
brings its own environment up and down). MEASURIX_EXE and MXDRIVER_EXE name
the programs (default: build/windows/ of the repository).

A test:

    from harness import MeasurixTestCase, EXIT_MINUS_ONE

    class OptionsTest(MeasurixTestCase):
        def test_second_start_opens_the_options(self):
            first = self.start_measurix("-hide")
            self.wait_main_window(first)
            self.assertEqual(self.start_measurix().wait_exit(), 0)
            self.driver.wait_window(title="Measurix - Options", pid=first.windows_pid)

Modules (each documents its API in its docstring):
    harness.testcase     MeasurixTestCase (setUp/cleanup, starting the program)
    harness.driver       Driver: windows, controls, clicks, tabs, combos, key log,
                         window watch, registry access
    harness.screen       screenshots and pixels; XInput (xdotool keys and mouse)
    harness.registry     Registry: query/add/delete values (through mxdriver)
    harness.waiting      wait_until / stays_true (deadlines, never fixed sleeps)
    harness.winprocess   WinProcess: a `wine prog.exe` with output and exit code
    harness.environment  up/down of the display and prefix; paths and env
    harness.run_in_wine  run one Windows program in the environment

Rules for tests: wait on conditions with wait_until, never sleep; use
stays_true only to prove that something does not happen, with a short
duration (or better, a later event that must come after it, as the probe in
test_single_instance does, or driver.watch_windows() with sync()); do not
depend on other tests' leftovers (setUp resets the registry, Num Lock and the
pointer).

What we found out about Wine 8 here (Debian's wine/wine64 without wine32):
* wineboot works with the 64-bit loader only; its complaint about
  syswow64\rundll32.exe is harmless for our 64-bit programs.
* In the virtual desktop each top-level window still is an X window of its
  own inside the desktop's; X's keyboard focus follows Wine's activation, and
  with no focus window (PointerRoot) keys go to the window under the pointer,
  which is why setUp puts the pointer in the middle of the screen.
* The desktop background (DESKTOP_BACKGROUND) is only drawn while some Wine
  program has a window; with none, the X screen is black.
* WM_NOTIFY cannot be sent to another process; select_tab therefore clicks
  the tab item with mouse messages, which makes the tab control notify its
  parent itself. Common-control messages with pointers (TCM_GETITEM,
  TCM_GETITEMRECT) work with memory allocated in the target process.
* `xdotool mousemove --sync` never returns when the pointer already is at the
  target; XInput.mousemove waits for the position itself.
* Wine's helper processes (explorer, services) inherit the standard handles
  of the program that started them and outlive it: never wait for the end of
  a pipe given to a Wine program; the harness uses files.
* `wine` returns the program's exit code modulo 256 (EXIT_MINUS_ONE = 255).
"""

# Imported on first use, so that `python3 -m harness.environment` does not
# load its own module twice.
_EXPORTS = {
    "Driver": "harness.driver", "DriverError": "harness.driver", "KeyLog": "harness.driver",
    "MEASURIX_KEY": "harness.registry", "RUNONCE_KEY": "harness.registry", "Registry": "harness.registry",
    "signed32": "harness.registry",
    "DESKTOP_BACKGROUND": "harness.screen", "Screenshot": "harness.screen", "XInput": "harness.screen",
    "differs_from": "harness.screen", "near": "harness.screen", "take_screenshot": "harness.screen",
    "VK_NUMLOCK": "harness.testcase", "MeasurixTestCase": "harness.testcase",
    "WaitTimeout": "harness.waiting", "stays_true": "harness.waiting", "wait_until": "harness.waiting",
    "EXIT_MINUS_ONE": "harness.winprocess", "WinProcess": "harness.winprocess",
}
__all__ = sorted(_EXPORTS)


def __getattr__(name):
    if name not in _EXPORTS:
        raise AttributeError("module 'harness' has no attribute %r" % name)
    import importlib
    return getattr(importlib.import_module(_EXPORTS[name]), name)

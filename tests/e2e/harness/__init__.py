"""End-to-end harness of Measurix: the real measurix.exe under Wine on a
virtual X display, driven by xdotool and read by mxdriver (tests/driver), the
registry through `wine reg`, pixels through ImageMagick.

Run (from tests/e2e, programs built into build/windows, or MEASURIX_EXE and
MXDRIVER_EXE set); ctest does the same with its own environment:

    export MEASURIX_E2E_STATE=/tmp/e2e-$USER
    python3 -m harness.environment up
    python3 -m unittest -v test_first_start
    python3 -m harness.environment down

A test is a MeasurixTestCase. Before each test the program's registry key
and RunOnce entry are gone, Num Lock is off and the pointer is at 640,400;
after it every program it started is ended and held keys are let go; a
failed test leaves a screenshot and the window list in <state>/artifacts/.

    p = self.start("-hide", seed={"alpha": 255, "font": b"..."}, trace=False)
        # Program, after its main window appeared; p.pid is its Windows pid.
        # wait=False for starts that end or only show a box.
    p.wait_exit(timeout) -> 0..255;  p.running();  p.output() (with trace=True:
        the program's MEASURIX_TRACE lines);  self.end(p)  (a second start -exit)
    self.windows(title=..., cls=..., pid=..., visible=...) -> [dict]
    self.window(timeout, **criteria)       waits for one; self.options(p, visible=True)
    self.control(window, id) -> dict;  self.click(window, id, modal=False)
    self.send(hwnd, msg, w, l) -> int;  self.post(...);  self.select_tab(window, i)
    self.driver.call("settext", hwnd, text)
    self.ruler(p) -> True/False/None;  self.wait_ruler(p, on)
    self.wait_foreground(hwnd);  self.keystate(vk) -> {"down", "toggled"}
    self.set_num_lock(on)  (X and Wine alike);  log = self.keylog(): a window of
        mxdriver in front that records keys: log.events() -> [("down", vk), ...],
        log.wait_for(("up", vk), ...) waits for them in order, log.clear()
    self.input: key("Num_Lock"), keydown("shift"), keyup(...), mousemove(x, y),
        click(x, y, button)                                     (xdotool)
    self.screenshot() -> .pixel(x, y), .count(rect, pred), .find(rect, pred)
    self.wait_pixels(rect, pred, description, minimum)
    self.stored() -> {name: value};  self.stored(name);  self.wait_stored(name, v)
    self.reg.write({name: value}, key=RUNONCE_KEY...);  self.reg.values(key)
    self.wait_until(predicate, timeout, description)

Rules: wait for conditions with wait_until, never sleep; prove that something
does NOT happen by a later event that must come after it (a probe), not by
waiting a while.

What we found out about Wine 8 here:
* Low-level hooks see input only for Wine windows, so everything runs inside
  one virtual desktop covering the X screen; with no focus window, keys go to
  the window under the pointer.
* `wine` returns the program's exit code modulo 256; Wine's helper processes
  inherit standard handles and outlive the program, so output goes to files.
* WM_NOTIFY cannot be sent to another process; TCM_SETCURFOCUS makes the tab
  control send its own notifications.
* A layered window is not blended with what lies below (no compositing
  manager): a drawn pixel shows as its colour times the constant alpha.
"""

from harness.case import OPTIONS, VK_NUMLOCK, MeasurixTestCase
from harness.desktop import MEASURIX_KEY, RUNONCE_KEY, wait_until
from harness.environment import windows_path

__all__ = ["MEASURIX_KEY", "OPTIONS", "RUNONCE_KEY", "VK_NUMLOCK", "MeasurixTestCase", "wait_until", "windows_path"]

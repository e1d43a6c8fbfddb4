"""End-to-end harness of Measurix: the real measurix.exe under Wine on a
virtual X display (harness.environment up|down), driven by xdotool, read by
mxdriver (tests/driver), the registry through `wine reg`, pixels through
ImageMagick. README.md says how to run it by hand.

A test is a MeasurixTestCase. Before each test the program's key and RunOnce
entry are gone, Num Lock is off and the pointer is at 640,400; after it the
programs it started are ended, held keys let go, and a failure leaves a
screenshot and the window list in <state>/artifacts/.

    p = self.start("-hide", seed={name: value}, wait=True, trace=False)
    p.wait_exit() -> 0..255;  p.running();  p.output();  self.end(p) (-exit)
    self.windows(title=, cls=, pid=, visible=...) -> [dict];  self.window(...)
    self.options(p, visible=True);  self.control(window, id);  self.click(...)
    self.send / post(hwnd, msg, w, l);  self.select_tab(window, i);  self.ruler(p)
    self.wait_ruler(p, on);  self.wait_foreground(hwnd);  self.keystate(vk);  self.set_num_lock(on)
    log = self.keylog(): log.events(), log.wait_for(("up", vk), ...), log.clear()
    self.input.key / keydown / keyup / mousemove / click (xdotool)
    self.screenshot().pixel / count / find;  self.wait_pixels(rect, pred, what, n)
    self.stored(name=None);  self.wait_stored(name, v);  self.reg.write / values;  self.clipboard()
    self.pattern(x, y[, w, h, rrggbb]): mxdriver's pattern window
    self.wait_until(predicate, timeout, description)

Wait for conditions, never sleep; prove that something does NOT happen by a later
event that must come after it. Under Wine 8 low-level hooks see input only for
Wine windows (hence one desktop covering the screen), and layered windows are not blended.
"""

_HOMES = {"OPTIONS": "case", "VK_NUMLOCK": "case", "MeasurixTestCase": "case", "MEASURIX_KEY": "desktop",
          "RUNONCE_KEY": "desktop", "wait_until": "desktop", "windows_path": "environment", "project_version": "case"}
__all__ = sorted(_HOMES)


def __getattr__(name):
    # On first use, so that `python3 -m harness.environment` loads it once.
    if name not in _HOMES:
        raise AttributeError("module 'harness' has no attribute %r" % name)
    import importlib
    return getattr(importlib.import_module("harness." + _HOMES[name]), name)

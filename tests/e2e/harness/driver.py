"""The Python side of mxdriver, our Windows helper that runs in the same Wine
desktop as measurix.exe.

    driver = Driver(state, mxdriver_exe)      # MeasurixTestCase makes self.driver
    driver.windows()                          # every top-level window, as dicts
    driver.find_windows(title="Measurix", cls="Static", pid=..., visible=True, iconic=False)
    driver.find_window(title_prefix="Measurix - ")      # the one match or None
    driver.wait_window(title="Measurix - Error", timeout=10)  # waits; fails the test
    driver.controls(hwnd)                     # all descendants, as dicts
    driver.control(hwnd, id=1)                # the one matching descendant
    driver.click(hwnd, ctrl_id)               # BM_CLICK (buttons) / WM_COMMAND
    driver.click(hwnd, ctrl_id, sync=False)   # posted: for clicks that open a modal dialog
    driver.send(hwnd, msg, wparam, lparam)    # SendMessage result (int)
    driver.post(hwnd, msg, wparam, lparam)
    driver.settext(hwnd, ctrl_id, "text")     # WM_SETTEXT (an edit then sends EN_CHANGE)
    driver.select_tab(hwnd, index)            # a click on the tab item: TCN_SELCHANGING, TCN_SELCHANGE
    driver.combo_select(hwnd, ctrl_id, index) # CB_SETCURSEL + CBN_SELCHANGE to the parent
    driver.foreground(hwnd); driver.close(hwnd)   # SetForegroundWindow; WM_CLOSE
    driver.processes()                        # [{"pid", "ppid", "exe"}] (Windows pids)
    driver.keystate(vk)                       # {"down": bool, "toggled": bool}
    driver.cursor(); driver.screen()          # pointer position; screen size + foreground hwnd
    log = driver.keylog("Key log")            # a focused window logging the keys it gets
    log.events() -> [("WM_KEYDOWN", 144), ...]; log.wait_for(lambda events: ..., "what")
    watch = driver.watch_windows()            # records every window other processes make
    ...; watch.sync(); watch.created(pid=..., top=True)   # [{"event","hwnd","pid","top","class","title"}]

A top-level window dict has: hwnd, title, class, pid, tid, visible, iconic,
enabled, topmost, style, exstyle, owner, rect [left, top, right, bottom].
A control dict has: hwnd, parent, id, class, text, visible, enabled, style,
rect (screen coordinates); buttons that can be checked add "check" (0, 1, 2);
tab controls add "items" (labels) and "selected"; combo boxes "items" and
"selected"; track bars "position", "min", "max"; up-down controls "position"
and "buddy". ctrl_id -1 means the window itself. When several descendants have
the id, the visible one is taken. Numbers are ints; hwnds are ints.

Calls go to one long-running `mxdriver serve` process (about 5 ms a call);
a failing command raises DriverError (an AssertionError) with the driver's
message. Every call has a deadline; a driver that stops answering is killed
and restarted. Call close_driver() when done (MeasurixTestCase does).

Window messages of other processes are sent with a 10 s deadline, so a hung
measurix.exe cannot hang the test; `send` reports {"timed_out": True} then.
"""

import json
import os
import select
import subprocess
import time

from harness.environment import wine_env, windows_path
from harness.waiting import wait_until


class DriverError(AssertionError):
    pass


def _matches(window, title, title_prefix, cls, pid, visible, iconic):
    return ((title is None or window["title"] == title)
            and (title_prefix is None or window["title"].startswith(title_prefix))
            and (cls is None or window["class"].lower() == cls.lower())
            and (pid is None or window["pid"] == pid)
            and (visible is None or window["visible"] == visible)
            and (iconic is None or window["iconic"] == iconic))


class _LineReader:
    """Lines from a pipe, with a deadline per line."""

    def __init__(self, stream):
        self.fd = stream.fileno()
        self.buffer = b""

    def readline(self, timeout):
        deadline = time.monotonic() + timeout
        while b"\n" not in self.buffer:
            remaining = deadline - time.monotonic()
            if remaining <= 0:
                return None
            ready, _, _ = select.select([self.fd], [], [], remaining)
            if ready:
                chunk = os.read(self.fd, 65536)
                if not chunk:
                    return None
                self.buffer += chunk
        line, self.buffer = self.buffer.split(b"\n", 1)
        return line.decode("utf-8", errors="replace")


class _LoggingHelper:
    """A long-running mxdriver command that writes a log file and announces
    with one line on its standard output that it is ready."""

    def __init__(self, state, exe, command, arguments, log_path, ready_timeout, what):
        self.log_path = log_path
        open(log_path, "w").close()
        self.stderr = open(log_path + ".stderr", "wb")
        self.process = subprocess.Popen(["wine", exe, command] + arguments + [windows_path(log_path)],
                                        env=wine_env(state), stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                        stderr=self.stderr)
        self.ready_line = _LineReader(self.process.stdout).readline(ready_timeout)
        if self.ready_line is None:
            self.stop()
            raise DriverError("the %s did not start" % what)

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait(timeout=10)
        self.process.stdout.close()
        self.stderr.close()


class KeyLog(_LoggingHelper):
    """A window of mxdriver that holds the keyboard focus and logs each key
    message it receives. Made by Driver.keylog()."""

    def __init__(self, state, exe, title, log_path):
        super().__init__(state, exe, "keylog", [title], log_path, 30, "key log window")
        ready = json.loads(self.ready_line)
        self.hwnd = ready["hwnd"]
        self.had_focus = ready["focus"]

    def lines(self):
        with open(self.log_path, encoding="utf-8", errors="replace") as f:
            return [line.strip() for line in f if line.strip()]

    def events(self):
        """Key messages so far: [("WM_KEYDOWN", vk), ...] (focus lines left out)."""
        events = []
        for line in self.lines():
            parts = line.split()
            if len(parts) == 2 and parts[0].startswith("WM_") and parts[0].endswith(("KEYDOWN", "KEYUP")):
                events.append((parts[0], int(parts[1])))
        return events

    def wait_for(self, predicate, description, timeout=10.0):
        """Waits until predicate(events()) is truthy."""
        return wait_until(lambda: predicate(self.events()), timeout, description)


class WindowWatch(_LoggingHelper):
    """Records every window that other processes create or show, from its
    start on. Made by Driver.watch_windows()."""

    def __init__(self, state, exe, log_path, driver):
        self.driver = driver
        self.markers = 0
        super().__init__(state, exe, "watch-windows", [], log_path, 60, "window watch")

    def events(self):
        """[{"event": "create"|"show", "hwnd", "pid", "top": bool, "class", "title"}, ...]
        in order. A window that was gone before it was logged has pid 0."""
        events = []
        with open(self.log_path, encoding="utf-8", errors="replace") as f:
            for line in f:
                fields = line.rstrip("\n").split("\t")
                if len(fields) == 6:
                    events.append({"event": fields[0], "hwnd": int(fields[1]), "pid": int(fields[2]),
                                   "top": fields[3] == "1", "class": fields[4], "title": fields[5]})
        return events

    def sync(self):
        """Returns once every window made before this call is in the log: the
        driver makes a marker window and this waits until it is logged."""
        self.markers += 1
        title = "mxdriver marker %d" % self.markers
        self.driver.call("marker", title)
        wait_until(lambda: any(e["title"] == title for e in self.events()), 10, "the window watch to log " + title)

    def created(self, pid=None, top=None):
        """Windows created so far (after sync()), optionally only those of one
        Windows pid and only top-level ones or only child windows."""
        return [e for e in self.events() if e["event"] == "create" and (pid is None or e["pid"] == pid)
                and (top is None or e["top"] == top) and not e["title"].startswith("mxdriver marker")]


class Driver:
    CALL_TIMEOUT = 30.0

    def __init__(self, state, exe, log_dir=None):
        self.state = state
        self.exe = exe
        self.log_dir = log_dir or os.path.join(state["dir"], "logs")
        os.makedirs(self.log_dir, exist_ok=True)
        self.process = None
        self.helpers = []  # key logs and window watches, stopped by close_driver

    # -- the serve process ------------------------------------------------
    def _start(self):
        self._stderr = open(os.path.join(self.log_dir, "mxdriver-serve.stderr"), "ab")
        self.process = subprocess.Popen(["wine", self.exe, "serve"], env=wine_env(self.state), stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=self._stderr, bufsize=0)
        self.reader = _LineReader(self.process.stdout)

    def close_driver(self):
        for helper in self.helpers:
            helper.stop()
        self.helpers = []
        if self.process is not None:
            try:
                self.process.stdin.close()
                self.process.wait(timeout=5)
            except (subprocess.TimeoutExpired, OSError):
                self.process.kill()
                self.process.wait(timeout=10)
            self.process.stdout.close()
            self._stderr.close()
            self.process = None

    def call(self, *args, timeout=None):
        """Runs one mxdriver command; returns its parsed JSON result."""
        fields = [str(a) for a in args]
        for field in fields:
            if "\t" in field or "\n" in field:
                raise ValueError("driver arguments cannot hold tabs or newlines: %r" % field)
        if self.process is None or self.process.poll() is not None:
            self._start()
        self.process.stdin.write(("\t".join(fields) + "\n").encode("utf-8"))
        line = self.reader.readline(timeout or self.CALL_TIMEOUT)
        if line is None:
            self.process.kill()
            self.process.wait(timeout=10)
            self.process = None
            raise DriverError("mxdriver gave no answer to %r" % (fields,))
        answer = json.loads(line)
        if not answer["ok"]:
            raise DriverError("mxdriver %s: %s" % (" ".join(fields), answer["error"]))
        return answer["result"]

    # -- windows ------------------------------------------------------------
    def windows(self):
        return self.call("windows")

    def find_windows(self, title=None, title_prefix=None, cls=None, pid=None, visible=None, iconic=None):
        """Top-level windows matching every criterion given (title exact,
        title_prefix, class name without regard to case, Windows pid,
        visible, iconic)."""
        return [w for w in self.windows() if _matches(w, title, title_prefix, cls, pid, visible, iconic)]

    def find_window(self, **criteria):
        """The one matching top-level window, or None; fails when several match."""
        found = self.find_windows(**criteria)
        if len(found) > 1:
            raise DriverError("%d windows match %r: %r" % (len(found), criteria, found))
        return found[0] if found else None

    def wait_window(self, timeout=10.0, **criteria):
        """Waits for a top-level window matching find_windows' criteria; returns it."""
        return wait_until(lambda: (self.find_windows(**criteria) or [None])[0], timeout,
                          "a window matching %r" % criteria)

    def wait_no_window(self, timeout=10.0, **criteria):
        wait_until(lambda: not self.find_windows(**criteria), timeout, "no window matching %r" % criteria)

    def controls(self, hwnd):
        return self.call("controls", hwnd)

    def control(self, hwnd, id=None, cls=None, text=None):
        """The one descendant of hwnd with that id/class/text (visible ones
        preferred when several match); fails when there is none."""
        found = [c for c in self.controls(hwnd)
                 if (id is None or c["id"] == id) and (cls is None or c["class"].lower() == cls.lower())
                 and (text is None or c["text"] == text)]
        if len(found) > 1:
            found = [c for c in found if c["visible"]] or found
        if len(found) != 1:
            raise DriverError("%d controls match id=%r cls=%r text=%r in window %r"
                              % (len(found), id, cls, text, hwnd))
        return found[0]

    # -- actions ------------------------------------------------------------
    def click(self, hwnd, ctrl_id, sync=True):
        return self.call("click", hwnd, ctrl_id, *([] if sync else ["--async"]))

    def send(self, hwnd, message, wparam=0, lparam=0):
        return self.call("send", hwnd, message, wparam, lparam)["result"]

    def post(self, hwnd, message, wparam=0, lparam=0):
        return self.call("post", hwnd, message, wparam, lparam)["result"]

    def settext(self, hwnd, ctrl_id, text):
        return self.call("settext", hwnd, ctrl_id, text)

    def select_tab(self, hwnd, index):
        return self.call("select-tab", hwnd, index)["selected"]

    def combo_select(self, hwnd, ctrl_id, index):
        return self.call("combo-select", hwnd, ctrl_id, index)["selected"]

    def foreground(self, hwnd):
        return self.call("foreground", hwnd)

    def close(self, hwnd):
        return self.call("close", hwnd)["result"]

    def processes(self):
        return self.call("processes")

    def keystate(self, vk):
        return self.call("keystate", vk)

    def cursor(self):
        point = self.call("cursor")
        return point["x"], point["y"]

    def screen(self):
        return self.call("screen")

    def keylog(self, title="mxdriver key log", log_path=None):
        log_path = log_path or os.path.join(self.log_dir, "keylog-%d.txt" % len(self.helpers))
        log = KeyLog(self.state, self.exe, title, log_path)
        self.helpers.append(log)
        return log

    def watch_windows(self, log_path=None):
        log_path = log_path or os.path.join(self.log_dir, "windows-%d.txt" % len(self.helpers))
        watch = WindowWatch(self.state, self.exe, log_path, self)
        self.helpers.append(watch)
        return watch

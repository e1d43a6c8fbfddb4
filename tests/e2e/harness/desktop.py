"""What sees and drives the Wine desktop: mxdriver, xdotool, ImageMagick and
`wine reg`; MeasurixTestCase makes one of each per test."""

import ctypes
import json
import os
import select
import subprocess
import time

from harness.environment import wine_env, wine_output, windows_path

TIMEOUT_SCALE = float(os.environ.get("MEASURIX_E2E_TIMEOUT_SCALE", "3"))
MEASURIX_KEY = r"HKEY_CURRENT_USER\Software\Measurix"
RUNONCE_KEY = r"HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\RunOnce"


def wait_until(predicate, timeout=10.0, description="a condition", interval=0.05):
    """predicate's first truthy value; fails at the deadline, stretched by
    MEASURIX_E2E_TIMEOUT_SCALE on a shared machine."""
    deadline = time.monotonic() + timeout * TIMEOUT_SCALE
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise AssertionError("timed out waiting for %s (last value: %r)" % (description, value))
        time.sleep(interval)


class Driver:
    """One long-running `mxdriver serve`: a few ms a call, where a new Wine
    process costs 0.1-1 s."""

    def __init__(self, state, exe, log_dir):
        self.state, self.exe, self.log_dir, self.process = state, exe, log_dir, None

    def call(self, *args):
        if self.process is None or self.process.poll() is not None:
            with open(os.path.join(self.log_dir, "mxdriver.stderr"), "ab") as stderr:
                self.process = subprocess.Popen(["wine", self.exe, "serve"], env=wine_env(self.state),
                                                stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=stderr)
        self.process.stdin.write(("\t".join(map(str, args)) + "\n").encode())
        self.process.stdin.flush()
        if not select.select([self.process.stdout], [], [], 30)[0]:
            self.close()
            raise AssertionError("mxdriver gave no answer to %r" % (args,))
        answer = json.loads(self.process.stdout.readline() or '{"ok":false,"error":"mxdriver ended"}')
        if not answer["ok"]:
            raise AssertionError("mxdriver %s: %s" % (" ".join(map(str, args)), answer["error"]))
        return answer["result"]

    def close(self):
        if self.process is not None:
            self.process.kill()
            self.process.wait()
            self.process.stdin.close()
            self.process.stdout.close()
            self.process = None


class KeyLog:
    """mxdriver's key log window, with the focus: [("down", vk), ("up", vk), ...]."""

    def __init__(self, state, exe, path):
        self.path = path
        open(path, "w").close()
        self.process = subprocess.Popen(["wine", exe, "keylog", windows_path(path)], env=wine_env(state),
                                        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.hwnd = int(wait_until(lambda: self._lines()[:1], 20, "the key log window")[0].split()[1])

    def _lines(self):
        with open(self.path) as f:
            return [line.strip() for line in f if line.strip()]

    def events(self):
        return [(kind, int(vk)) for kind, vk in (line.split() for line in self._lines()[1:])]

    def clear(self):
        open(self.path, "w").write("ready %d\n" % self.hwnd)

    def wait_for(self, *events):
        """Until the log holds `events` in this order (others between)."""
        def found():
            rest = iter(self.events())
            return all(any(e == wanted for e in rest) for wanted in events)
        wait_until(found, 10, "%r in the key log (has %r)" % (events, self.events()))
        return self.events()

    def close(self):
        self.process.kill()
        self.process.wait()


class XInput:
    """Real input, which the program's low-level hooks see. release_all()
    types each key pressed with keydown once more, after the programs ended:
    a key up a faulty program kept from the system leaves it down in Wine,
    and X, which has it up, would not pass on a key up alone."""

    def __init__(self, state):
        self.env, self.pressed = wine_env(state), set()
        self.x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XDefaultRootWindow.restype = ctypes.c_ulong
        self.display = self.x11.XOpenDisplay(state["display"].encode())

    def num_lock(self):
        # As the X server has it; Wine's can differ until Wine gets a key.
        values = [ctypes.c_ulong(), ctypes.c_ulong()] + [ctypes.c_int() for _ in range(4)] + [ctypes.c_uint()]
        self.x11.XQueryPointer(ctypes.c_void_p(self.display),
                               ctypes.c_ulong(self.x11.XDefaultRootWindow(ctypes.c_void_p(self.display))),
                               *map(ctypes.byref, values))
        return bool(values[-1].value & 0x10)  # Mod2Mask

    def close(self):
        self.x11.XCloseDisplay(ctypes.c_void_p(self.display))

    def xdotool(self, *args):
        return subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env, stdin=subprocess.DEVNULL,
                              capture_output=True, check=True, timeout=30).stdout.decode()

    def key(self, *keys, delay_ms=12):
        self.xdotool("key", "--delay", delay_ms, *keys)

    def keydown(self, key):
        # One key per call: Wine now and then loses one of two sent together.
        self.xdotool("keydown", key)
        self.pressed.add(key)

    def keyup(self, key):
        self.xdotool("keyup", key)

    def release_all(self):
        for key in sorted(self.pressed):
            self.xdotool("keyup" if "Lock" in key else "key", key)
        self.pressed = set()

    def mousemove(self, x, y):
        # xdotool's own --sync never returns when the pointer is already there.
        self.xdotool("mousemove", x, y)
        wait_until(lambda: self.xdotool("getmouselocation").split()[:2] == ["x:%d" % x, "y:%d" % y], 10,
                   "the pointer at %d,%d" % (x, y))

    def click(self, x, y, button=1):
        self.mousemove(x, y)
        self.xdotool("click", button)


class Screenshot:
    """The whole screen, through ImageMagick's `import`."""

    def __init__(self, state):
        data = subprocess.run(["import", "-display", state["display"], "-window", "root", "-depth", "8", "ppm:-"],
                              capture_output=True, check=True, timeout=30).stdout
        magic, size, _, self.rgb = data.split(b"\n", 3)  # "P6", "1280 800", "255"
        self.width, self.height = map(int, size.split())

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])

    def find(self, rect, predicate):
        """The points of rect (left, top, right, bottom exclusive; clipped)
        whose pixel satisfies predicate."""
        left, top = max(rect[0], 0), max(rect[1], 0)
        right, bottom = min(rect[2], self.width), min(rect[3], self.height)
        return [(x, y) for y in range(top, bottom) for x in range(left, right) if predicate(self.pixel(x, y))]

    def count(self, rect, predicate):
        return len(self.find(rect, predicate))


class Registry:
    """`wine reg`; REG_DWORD as an unsigned int, REG_BINARY as bytes, REG_SZ as str."""

    def __init__(self, state):
        self.state = state

    def _reg(self, *args):
        return wine_output(self.state, "wine", "reg", *args, timeout=60)

    def values(self, key=MEASURIX_KEY):  # {} when the key does not exist
        values = {}
        for line in self._reg("query", key)[1].splitlines():
            fields = line.strip().split("    ")
            if len(fields) >= 2 and fields[1].startswith("REG_"):
                data = fields[2] if len(fields) > 2 else ""
                values[fields[0]] = (int(data, 16) if fields[1] == "REG_DWORD" else
                                     bytes.fromhex(data) if fields[1] == "REG_BINARY" else data)
        return values

    def write(self, values, key=MEASURIX_KEY, reset=False):
        """{name ("@": the default): int | bytes | str | None (deleted)} in one
        `wine reg import`; reset first deletes the program's key and RunOnce entry."""
        lines = ["REGEDIT4", ""]
        if reset:
            lines += ["[-%s]" % MEASURIX_KEY, "", "[%s]" % RUNONCE_KEY, '"Measurix"=-', ""]
        if values:
            lines.append("[%s]" % key)
        for name, value in values.items():
            data = ("-" if value is None else "dword:%08x" % (value & 0xFFFFFFFF) if isinstance(value, int) else
                    "hex:" + ",".join("%02x" % b for b in value) if isinstance(value, bytes) else
                    '"%s"' % value.replace("\\", "\\\\").replace('"', '\\"'))
            lines.append(('@=%s' if name == "@" else '"%s"=%%s' % name) % data)
        path = os.path.join(self.state["dir"], "seed.reg")
        with open(path, "w") as f:
            f.write("\r\n".join(lines) + "\r\n")
        code, output = self._reg("import", windows_path(path))
        if code != 0:
            raise AssertionError("wine reg import failed: %s" % output)

"""Measures measurix.exe under Wine and prints the performance table.

Run by scripts/bench.sh inside the environment that `harness.environment up`
made (PYTHONPATH=tests/e2e, MEASURIX_E2E_STATE set):

    python3 bench/wine_figures.py BUILD_DIR NATIVE_JSON [BASELINE_DIR BASELINE_JSON]

BUILD_DIR holds measurix.exe and measurix_frame_bench.exe (the Windows build);
NATIVE_JSON is Google Benchmark's JSON output of measurix_bench. With a
baseline (another build's pair), both builds are measured in the same run, scenario by scenario in
turn, so that the comparison sees the same machine load.

CPU figures are the process's user+system time over the wall time of the
scenario, as /proc counts it, in percent of one core; "with Wine" adds the
prefix's wineserver and explorer.exe and the X server, which do the work of
every server round trip and every layered-window update.

With 16 pinned measurements on the screen the still and moving scenarios run
again, and a run with Wine's relay trace of user32.UpdateLayeredWindow and
SetWindowPos counts what a pointer move presents and restacks, with and
without the pins (a build without pins shows "(no pins)").
"""

import json
import os
import subprocess
import sys
import tempfile
import time

from harness.desktop import Driver
from harness.environment import load_state, prefix_processes, wine_env

TICKS = os.sysconf("SC_CLK_TCK")
START = (640, 600)  # the default start point on the 1280x800 desktop
MOVES = 200
MOVE_GAP_S = 0.05
# /proc counts CPU time in clock ticks of 10 ms: over 30 s one tick is 0.03 %,
# fine enough for the idle and still goals (0.1 % and 0.3 %).
STILL_S = 30.0


def cpu_ticks(pid):
    try:
        with open("/proc/%d/stat" % pid) as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return int(fields[11]) + int(fields[12])  # utime, stime
    except (OSError, IndexError, ValueError):
        return 0


def run_wine(env, *command, timeout=300):
    # Output through a file: Wine's helper processes inherit the handles and
    # would keep a pipe open.
    with tempfile.TemporaryFile() as out:
        subprocess.run(["wine", *command], env=env, stdin=subprocess.DEVNULL, stdout=out,
                       stderr=subprocess.DEVNULL, timeout=timeout, check=True)
        out.seek(0)
        return out.read().decode(errors="replace")


def wait_for(what, condition, timeout=60):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.1)
    raise RuntimeError("timed out waiting for " + what)


class Program:
    """One measurix.exe in the prefix, with its overlay state read by mxdriver."""

    def __init__(self, state, env, exe, stderr=subprocess.DEVNULL):
        self.state, self.env = state, env
        self.driver = Driver(state, os.environ["MXDRIVER_EXE"], state["dir"])
        self.process = subprocess.Popen(["wine", exe, "-hide"], env=env, stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL, stderr=stderr)
        pids = wait_for("measurix.exe to start", lambda: prefix_processes(state, "measurix.exe"))
        self.pid = pids[0]
        self.others = [p for p in prefix_processes(state)
                       if p != self.pid and open("/proc/%d/comm" % p).read().strip() in ("wineserver", "explorer.exe")]
        self.others.append(state["xvfb_pid"])

    def overlay_visible(self):
        windows = self.driver.call("windows")
        return any(w["class"].lower() == "rulerdisplay" and w["visible"] for w in windows)

    def pin_count(self):
        return sum(w["class"] == "RulerPin" and w["visible"] for w in self.driver.call("windows"))

    def pin_sixteen(self):
        """Pins 16 measurements with the pin key (Shift+Pause); False for a build without pins."""
        for i, (x, y) in enumerate(PIN_POINTS):
            xdotool(self.env, "mousemove", str(x), str(y))
            for attempt in range(3):
                # The hooks see keys only while a Wine window has the X focus,
                # which the Num Lock presses above do not need.
                xdotool(self.env, "search", "--onlyvisible", "--name", "Wine desktop", "windowfocus")
                # One key per call, Pause only once Wine has Shift down: Wine
                # now and then loses one of two keys sent together, or takes
                # a Pause sent right after the Shift before it.
                xdotool(self.env, "keydown", "shift")
                wait_for("Shift down", lambda: self.driver.call("keystate", 0x10)["down"], 10)
                xdotool(self.env, "key", "Pause")
                xdotool(self.env, "keyup", "shift")
                try:
                    wait_for("pin %d" % (i + 1), lambda: self.pin_count() == i + 1, 5)
                    break
                except RuntimeError:
                    if i == 0 and attempt == 2:
                        return False
                    print("  (pin %d: %d pins after the press, pressed again)" % (i + 1, self.pin_count()), flush=True)
            else:
                raise RuntimeError("no pin %d after three presses" % (i + 1))
        return True

    def set_ruler(self, on):
        if self.overlay_visible() != on:
            xdotool(self.env, "key", "Num_Lock")
        wait_for("the ruler to be " + ("on" if on else "off"), lambda: self.overlay_visible() == on)

    def measure(self, action):
        """CPU of the program and of the program with Wine while action() runs."""
        own0, rest0, t0 = cpu_ticks(self.pid), sum(map(cpu_ticks, self.others)), time.monotonic()
        action()
        own1, rest1, t1 = cpu_ticks(self.pid), sum(map(cpu_ticks, self.others)), time.monotonic()
        core = TICKS * (t1 - t0) / 100.0
        return (own1 - own0) / core, (own1 - own0 + rest1 - rest0) / core

    def cpu_ms_per_move(self, chain):
        """The program's own CPU per pointer move of one xdotool chain, in ms."""
        own0 = cpu_ticks(self.pid)
        xdotool(self.env, *chain)
        return (cpu_ticks(self.pid) - own0) * 1000.0 / TICKS / MOVES

    def stop(self):
        self.driver.close()
        run_wine(self.env, self.process.args[1], "-exit")
        self.process.wait(timeout=60)


def xdotool(env, *args):
    subprocess.run(["xdotool", *args], env=env, check=True, stdin=subprocess.DEVNULL)


def move_chain(points):
    """One xdotool run: a move every MOVE_GAP_S seconds."""
    chain = []
    for x, y in points:
        chain += ["mousemove", str(x), str(y), "sleep", str(MOVE_GAP_S)]
    return chain


LONG_MOVES = move_chain((300 + 700 * i // (MOVES - 1), 200 + (i * 53) % 401) for i in range(MOVES))
# Where the 16 pins go: a 4 x 4 grid over the area the long lines sweep.
PIN_POINTS = [(350 + 200 * (i % 4), 220 + 110 * (i // 4)) for i in range(16)]
SHORT_MOVES = move_chain((START[0] - 40 + (i * 7) % 81, START[1] - (i * 13) % 41) for i in range(MOVES))


def cpu_figures(state, env, exe):
    program = Program(state, env, exe)
    try:
        xdotool(env, "mousemove", "900", "300")
        # The environment starts with the Num Lock light off: the ruler shows.
        wait_for("the ruler to show", program.overlay_visible)
        time.sleep(1.0)  # the fade-in's last steps
        still = program.measure(lambda: time.sleep(STILL_S))
        long_lines = program.measure(lambda: xdotool(env, *LONG_MOVES))
        short_lines = program.measure(lambda: xdotool(env, *SHORT_MOVES))
        # The edge keys held over the same moves (F1 snaps, F2 shows the
        # spacing, over Wine's plain desktop: its runs span the screen).
        moves = tuple(program.cpu_ms_per_move(["keydown", key] * bool(key) + SHORT_MOVES + ["keyup", key] * bool(key))
                      for key in ("", "F1", "F2"))
        program.set_ruler(False)
        time.sleep(1.0)  # the fade-out's last steps
        off = program.measure(lambda: time.sleep(STILL_S))
        # The Num Lock light back as it was, so that the next start shows the
        # ruler at once too (Wine's key state read by a fresh process can lag).
        program.set_ruler(True)
        figures = {"off": off, "still": still, "long": long_lines, "short": short_lines, "moves": moves}
        if program.pin_sixteen():
            xdotool(env, "mousemove", "900", "300")
            time.sleep(1.0)
            figures["still16"] = program.measure(lambda: time.sleep(STILL_S))
            figures["long16"] = program.measure(lambda: xdotool(env, *LONG_MOVES))
    finally:
        program.stop()
    return figures


RELAYED = ("user32.UpdateLayeredWindow", "user32.SetWindowPos")
COUNTED_MOVES = 60


def present_figures(state, env, exe):
    """Calls of UpdateLayeredWindow (presents) and SetWindowPos (Z-order) per
    pointer move over long lines, without and with 16 pins, and how many of
    them went to the pins' windows; then the calls in 10 s with the pointer
    still (Wine's relay trace, limited to those two functions)."""
    run_wine(env, "reg", "add", r"HKCU\Software\Wine\Debug", "/v", "RelayInclude", "/t", "REG_SZ", "/d",
             ";".join(RELAYED), "/f")
    trace = tempfile.TemporaryFile()
    program = Program(state, dict(env, WINEDEBUG="-all,+relay"), exe, stderr=trace)

    def calls():
        """[(function, hwnd)] of every call traced so far."""
        trace.seek(0)
        found = []
        for line in trace.read().decode(errors="replace").splitlines():
            for name in RELAYED:
                if "Call %s(" % name in line:
                    found.append((name, int(line.split("Call %s(" % name)[1][:8], 16)))
        return found

    def counted(action, moves, pins=()):
        """Presents and Z-order calls per move, and of them those of the pins' windows."""
        before = len(calls())
        action()
        time.sleep(0.5)  # the last deferred frame
        new = calls()[before:]
        count = lambda name, windows=None: sum(n == name and (windows is None or h in windows) for n, h in new)
        return (count(RELAYED[0]) / moves, count(RELAYED[0], pins), count(RELAYED[1]) / moves, count(RELAYED[1], pins))

    moves = lambda: xdotool(env, *LONG_MOVES[:5 * COUNTED_MOVES])  # five words a move
    try:
        wait_for("the ruler to show", program.overlay_visible)
        time.sleep(1.0)
        figures = {"calls": counted(moves, COUNTED_MOVES)}
        if program.pin_sixteen():
            pins = {w["hwnd"] for w in program.driver.call("windows") if w["class"] == "RulerPin"}
            xdotool(env, "mousemove", "900", "300")
            time.sleep(1.0)
            figures["calls16"] = counted(moves, COUNTED_MOVES, pins)
            figures["still16calls"] = counted(lambda: time.sleep(10.0), 1, pins)
    finally:
        program.stop()
        trace.close()
        run_wine(env, "reg", "delete", r"HKCU\Software\Wine\Debug", "/v", "RelayInclude", "/f")
    return figures


def frame_figures(env, frame_bench):
    """Medians in ms of ComposeFrame for the three lines of the frame
    benchmark, and the label part (ComposeFrame minus DrawLineFrame, timed in
    the frame's order) of the 300-pixel one."""
    medians, name, loupe, present = {}, None, None, {}
    for row in run_wine(env, frame_bench, "200").splitlines():
        words = row.split()
        if row.startswith("loupe:"):
            loupe = float(row.split("loupe image median ")[1].split()[0]) / 1000
        if row.startswith("presenting "):
            # "presenting WxH (wall/CPU us): same place a/b, moved c/d, resized e/f": the CPU of a resize
            present[words[1]] = float(row.rsplit("/", 1)[1]) / 1000
        if row and not row.startswith(" ") and ":" in row:
            name = row.split(":")[0]
        elif words[:1] in (["ComposeFrame"], ["DrawLineFrame"]):
            medians[(name, words[0])] = float(words[2]) / 1000
    return {"frame40": medians[("40-pixel line", "ComposeFrame")],
            "frame": medians[("300-pixel line", "ComposeFrame")],
            "label": medians[("300-pixel line", "ComposeFrame")] - medians[("300-pixel line", "DrawLineFrame")],
            "frame99": medians[("99 reflections across the desktop", "ComposeFrame")],
            "loupe": loupe,
            "present": (present["120x17"], present["363x608"]) if present else None}


def native_figures(path):
    with open(path) as f:
        rows = json.load(f)["benchmarks"]
    hook = [r for r in rows if r["name"].startswith("BM_KeyboardHookEvent") and r.get("aggregate_name") == "median"]
    return {"hook": (hook[0]["cpu_time"], hook[0].get("allocations", 0)) if hook else None}


def cpu_cell(pair):
    return "%.2f %% (%.1f %% with Wine)" % pair if pair else "(no pins)"


def calls_cell(v):
    return "%.2f presents (%d to pins), %.2f Z-order calls (%d of pins)" % v if v else "(no pins)"


ROWS = [
    ("CPU, ruler off, idle", "off", cpu_cell),
    ("CPU, ruler on, pointer still", "still", cpu_cell),
    ("CPU, pointer moving every 50 ms over long lines", "long", cpu_cell),
    ("CPU, pointer moving every 50 ms over short lines", "short", cpu_cell),
    ("CPU per pointer move over short lines: free, snap key held, spacing key held", "moves",
     lambda v: "%.2f ms, %.2f ms, %.2f ms" % v),
    ("CPU, ruler on, pointer still, 16 pins", "still16", cpu_cell),
    ("CPU, pointer moving every 50 ms over long lines, 16 pins", "long16", cpu_cell),
    ("Per pointer move over long lines: UpdateLayeredWindow and SetWindowPos calls", "calls", calls_cell),
    ("The same with 16 pins", "calls16", calls_cell),
    ("With 16 pins and the pointer still, in 10 s (not per move)", "still16calls", calls_cell),
    ("One ComposeFrame, 40-pixel line, refnr 1", "frame40", lambda v: "%.2f ms median" % v),
    ("One ComposeFrame, 300-pixel line, refnr 1", "frame", lambda v: "%.2f ms median" % v),
    ("of which the label (ComposeFrame minus DrawLineFrame)", "label", lambda v: "%.2f ms" % v),
    ("One ComposeFrame, refnr 99 across the desktop", "frame99", lambda v: "%.2f ms" % v),
    ("The loupe's image per frame, 15 pixels across (while Ctrl is held)", "loupe",
     lambda v: "%.2f ms median" % v if v is not None else "(no loupe)"),
    ("Presenting one new image, CPU: a label (120x17), a long line's window (363x608)", "present",
     lambda v: "%.2f ms, %.2f ms" % v if v else "(not measured)"),
    ("Keyboard hook logic per event (native)", "hook",
     lambda v: "%.0f ns, %d allocations" % v if v else "(not built)"),
]


def main(argv):
    pairs = list(zip(argv[1::2], argv[2::2]))
    builds = [b for b, _ in reversed(pairs)]  # the baseline first
    state = load_state()
    env = wine_env(state)
    figures = {b: native_figures(j) for b, j in pairs}
    for b in builds:
        figures[b].update(frame_figures(env, os.path.join(b, "measurix_frame_bench.exe")))
    for b in builds:
        print("CPU scenarios of %s ..." % b, flush=True)
        figures[b].update(cpu_figures(state, env, os.path.join(b, "measurix.exe")))
    for b in builds:
        print("Presents per pointer move of %s ..." % b, flush=True)
        figures[b].update(present_figures(state, env, os.path.join(b, "measurix.exe")))

    header = ["What"] + (["Baseline", "This build"] if len(builds) > 1 else ["This build"])
    print()
    print("| " + " | ".join(header) + " |")
    print("|" + "---|" * len(header))
    for title, key, cell in ROWS:
        print("| " + " | ".join([title] + [cell(figures[b].get(key)) for b in builds]) + " |")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

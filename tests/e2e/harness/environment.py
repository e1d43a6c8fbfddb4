"""The end-to-end environment: one Xvfb display and one fresh Wine prefix.

Command line (run from tests/e2e, or with PYTHONPATH=tests/e2e)::

    python3 -m harness.environment up      # (re)create: new display, new prefix
    python3 -m harness.environment down    # stop exactly what `up` started
    python3 -m harness.environment status  # print the state file
    python3 -m harness.environment env     # print `export ...` lines, for
                                           # eval "$(python3 -m harness.environment env)"

Everything lives in the state directory, ``$MEASURIX_E2E_STATE`` or, when that
is not set, ``/tmp/measurix-e2e-$USER``. Two developers (or a developer and a
ctest run) with different state directories get independent displays and
prefixes. ctest uses ``<build>/e2e``.

What `up` does, and why:

* picks the first free display number from :91 upwards (no socket in
  /tmp/.X11-unix, no lock file) and starts ``Xvfb :N -screen 0 1280x800x24``,
  which reports through -displayfd when it accepts connections; if another
  X server wins the number first, it tries the next one;
* creates a fresh prefix ``<state>/prefix`` (an older one is deleted) with
  ``wineboot -i``, with mono/gecko set-up and the menu builder disabled so that
  no dialog ever appears;
* sets the prefix's default desktop to a virtual desktop of 1280x800
  (``HKCU\\Software\\Wine\\Explorer`` "Desktop"="Default" and
  ``...\\Explorer\\Desktops`` "Default"="1280x800"). Every plain
  ``wine prog.exe`` then runs inside one Wine desktop that covers the whole X
  screen: the low-level hooks see xdotool's input, and ``wine`` returns the
  program's own exit code (255 for -1);
* switches Wine's crash dialog off, so that a crashing program ends instead of
  waiting for a click;
* keeps one persistent wineserver running, so every later ``wine`` start is
  quick (about 0.1 s) and the registry stays in one place;
* checks the result with mxdriver (the virtual desktop must be 1280x800) and
  writes ``<state>/state.json``.

`down` stops that wineserver (``wineserver -k`` with the prefix) and that
Xvfb (by the pid in the state file, after checking the pid still is that
Xvfb), then deletes the prefix. It works after half-finished `up` runs too.
Set ``MEASURIX_E2E_KEEP_PREFIX=1`` to keep the prefix for a look afterwards.

Functions for other harness modules: ``state_dir()``, ``load_state()``,
``wine_env(state)``, ``windows_path(path)``.
"""

import json
import os
import select
import shutil
import signal
import subprocess
import sys
import time

from harness.waiting import poll

SCREEN_WIDTH = 1280
SCREEN_HEIGHT = 800
FIRST_DISPLAY = 91
LAST_DISPLAY = 299
STATE_FILE = "state.json"


class EnvironmentError_(RuntimeError):
    """The environment could not be brought up or is not there."""


def state_dir():
    """The state directory: $MEASURIX_E2E_STATE or /tmp/measurix-e2e-$USER."""
    configured = os.environ.get("MEASURIX_E2E_STATE")
    if configured:
        return os.path.abspath(configured)
    user = os.environ.get("USER") or str(os.getuid())
    return "/tmp/measurix-e2e-" + user


def _state_path(directory=None):
    return os.path.join(directory or state_dir(), STATE_FILE)


def load_state(directory=None):
    """The state that `up` wrote; raises when there is none."""
    path = _state_path(directory)
    try:
        with open(path) as f:
            return json.load(f)
    except FileNotFoundError:
        raise EnvironmentError_(
            "no end-to-end environment in %s: run `python3 -m harness.environment up` "
            "(from tests/e2e) first" % os.path.dirname(path)) from None


def _save_state(state):
    os.makedirs(state["dir"], exist_ok=True)
    temporary = _state_path(state["dir"]) + ".tmp"
    with open(temporary, "w") as f:
        json.dump(state, f, indent=2)
    os.replace(temporary, _state_path(state["dir"]))


def wine_env(state, base=None):
    """The process environment for Wine and X programs of this environment."""
    env = dict(os.environ if base is None else base)
    env["DISPLAY"] = state["display"]
    env["WINEPREFIX"] = state["prefix"]
    env["WINEDEBUG"] = "-all"
    # No mono/gecko installers, no desktop menu entries: nothing that opens a
    # dialog or writes outside the prefix.
    env["WINEDLLOVERRIDES"] = "mscoree,mshtml=;winemenubuilder.exe=d"
    return env


def windows_path(path):
    """A Linux path as Wine's Z: drive sees it (for arguments of Windows programs)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def _display_free(number):
    return not (os.path.exists("/tmp/.X11-unix/X%d" % number) or os.path.exists("/tmp/.X%d-lock" % number))


def _wait(predicate, timeout, what, interval=0.05):
    value, in_time = poll(predicate, timeout, interval)
    if not in_time:
        raise EnvironmentError_("timed out after %.0f s waiting for %s" % (timeout, what))
    return value


def _wait_for_displayfd(read_end, timeout):
    """What Xvfb writes to its -displayfd once it accepts connections: the
    display number and a newline; b"" when it ended without (display taken)."""
    deadline = time.monotonic() + timeout
    data = b""
    while not data.endswith(b"\n"):
        remaining = deadline - time.monotonic()
        if remaining <= 0:
            raise EnvironmentError_("Xvfb did not get ready within %.0f s" % timeout)
        ready, _, _ = select.select([read_end], [], [], remaining)
        if ready:
            chunk = os.read(read_end, 64)
            if not chunk:
                return b""
            data += chunk
    return data


def _start_xvfb(state):
    log_path = os.path.join(state["dir"], "xvfb.log")
    for number in range(FIRST_DISPLAY, LAST_DISPLAY + 1):
        if not _display_free(number):
            continue
        display = ":%d" % number
        read_end, write_end = os.pipe()
        try:
            with open(log_path, "w") as log:
                xvfb = subprocess.Popen(
                    ["Xvfb", display, "-screen", "0", "%dx%dx24" % (SCREEN_WIDTH, SCREEN_HEIGHT), "-nolisten", "tcp",
                     "-displayfd", str(write_end)],
                    stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT, pass_fds=(write_end,),
                    start_new_session=True)
            os.close(write_end)
            state["display"] = display
            state["xvfb_pid"] = xvfb.pid
            _save_state(state)  # from here on, `down` can clean up
            try:
                answer = _wait_for_displayfd(read_end, 30)
            except EnvironmentError_:
                _kill_pid(xvfb.pid, "Xvfb", display)
                raise
        finally:
            os.close(read_end)
        if answer.strip() == str(number).encode():
            return
        # Another X server took this number between our check and our start.
        xvfb.wait(timeout=30)
        del state["display"], state["xvfb_pid"]
    raise EnvironmentError_("no free X display between :%d and :%d" % (FIRST_DISPLAY, LAST_DISPLAY))


def _run(command, env, timeout, what):
    # Output goes to a file, not a pipe: Wine's helper processes (services,
    # explorer) inherit the handles and outlive the command, so a pipe would
    # never reach its end.
    with open(os.path.join(os.path.dirname(env["WINEPREFIX"]), "setup.log"), "a+b") as log:
        start = log.seek(0, os.SEEK_END)
        returncode = subprocess.run(command, env=env, stdin=subprocess.DEVNULL, stdout=log,
                                    stderr=subprocess.STDOUT, timeout=timeout).returncode
        log.seek(start)
        output = log.read().decode(errors="replace")
    if returncode != 0:
        raise EnvironmentError_("%s failed (exit code %d):\n%s" % (what, returncode, output))
    return output


def _start_wineserver(env):
    # -p: persistent; stays until `wineserver -k`, so that later starts are quick.
    subprocess.run(["wineserver", "-p"], env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=30)
    return _wait(lambda: _wineserver_pid(env["WINEPREFIX"]), 20, "the wineserver")


def _stop_wineserver(env):
    try:
        subprocess.run(["wineserver", "-k"], env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=30)
    except subprocess.TimeoutExpired:
        pass
    # Whatever is left of this prefix (never anything of another prefix).
    for pid in prefix_processes(env["WINEPREFIX"]):
        _signal(pid, signal.SIGKILL)
    try:
        _wait(lambda: not prefix_processes(env["WINEPREFIX"]), 20, "the prefix's processes to end")
    except EnvironmentError_ as error:
        print("warning: %s" % error, file=sys.stderr)


def _process_environ(pid):
    try:
        with open("/proc/%d/environ" % pid, "rb") as f:
            return f.read().split(b"\0")
    except OSError:
        return []


def _process_name(pid):
    try:
        with open("/proc/%d/comm" % pid) as f:
            return f.read().strip()
    except OSError:
        return ""


def _process_state(pid):
    try:
        with open("/proc/%d/stat" % pid) as f:
            return f.read().rsplit(")", 1)[1].split()[0]
    except (OSError, IndexError):
        return ""


def prefix_processes(prefix, name=None):
    """Linux pids of the live processes that run with WINEPREFIX=prefix
    (wineserver, services, explorer, programs), optionally only those whose
    process name is `name` (e.g. "measurix.exe")."""
    wanted = ("WINEPREFIX=" + prefix).encode()
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        pid = int(entry)
        if pid == os.getpid() or wanted not in _process_environ(pid):
            continue
        if _process_state(pid) in ("Z", "X", ""):
            continue
        process_name = _process_name(pid)
        if name is not None and process_name != name[:15]:
            continue
        # Only Wine's own processes: not a shell or python that has the variable set.
        if name is None and not (process_name.startswith("wineserver") or process_name.endswith(".exe")
                                 or process_name.startswith("wine")):
            continue
        found.append(pid)
    return found


def _wineserver_pid(prefix):
    for pid in prefix_processes(prefix):
        if _process_name(pid).startswith("wineserver"):
            return pid
    return None


def _signal(pid, sig):
    try:
        os.kill(pid, sig)
    except ProcessLookupError:
        pass


def _process_args(pid):
    try:
        with open("/proc/%d/cmdline" % pid, "rb") as f:
            return f.read().decode(errors="replace").split("\0")
    except OSError:
        return []


def _kill_pid(pid, expected_name, expected_argument):
    """Ends pid if it still is the process we started: its name and one of its
    arguments must match (pids are reused)."""
    if not pid or expected_name not in _process_name(pid) or expected_argument not in _process_args(pid):
        return
    _signal(pid, signal.SIGTERM)
    try:
        _wait(lambda: expected_name not in _process_name(pid) or _process_state(pid) == "Z", 5, expected_name)
    except EnvironmentError_:
        _signal(pid, signal.SIGKILL)
    try:
        os.waitpid(pid, os.WNOHANG)  # reap it when it is our own child
    except ChildProcessError:
        pass


def _mxdriver_screen(env, mxdriver):
    return json.loads(_run(["wine", mxdriver, "screen"], env, 60, "mxdriver screen").strip().splitlines()[-1])


def up():
    directory = state_dir()
    if os.path.exists(_state_path(directory)):
        down()
    os.makedirs(directory, exist_ok=True)
    started = time.monotonic()
    state = {"dir": directory, "prefix": os.path.join(directory, "prefix"), "started": time.time()}
    _save_state(state)
    _start_xvfb(state)
    env = wine_env(state)
    timings = {"xvfb": time.monotonic() - started}

    shutil.rmtree(state["prefix"], ignore_errors=True)
    os.makedirs(state["prefix"])
    _start_wineserver(env)
    step = time.monotonic()
    _run(["wineboot", "-i"], env, 300, "wineboot -i")
    timings["wineboot"] = time.monotonic() - step

    settings = [
        (r"HKCU\Software\Wine\Explorer", "Desktop", "REG_SZ", "Default"),
        (r"HKCU\Software\Wine\Explorer\Desktops", "Default", "REG_SZ", "%dx%d" % (SCREEN_WIDTH, SCREEN_HEIGHT)),
        (r"HKCU\Software\Wine\WineDbg", "ShowCrashDialog", "REG_DWORD", "0"),
    ]
    for key, name, kind, data in settings:
        _run(["wine", "reg", "add", key, "/v", name, "/t", kind, "/d", data, "/f"], env, 60, "wine reg add " + key)

    # The desktop process that wineboot started is not a virtual one; a fresh
    # server lets the next program start the virtual desktop.
    step = time.monotonic()
    _stop_wineserver(env)
    state["wineserver_pid"] = _start_wineserver(env)
    _save_state(state)

    mxdriver = os.environ.get("MXDRIVER_EXE")
    if mxdriver and os.path.exists(mxdriver):
        screen = _mxdriver_screen(env, mxdriver)
        if (screen.get("width"), screen.get("height")) != (SCREEN_WIDTH, SCREEN_HEIGHT):
            raise EnvironmentError_("the Wine desktop is %sx%s, not the virtual desktop of %dx%d"
                                    % (screen.get("width"), screen.get("height"), SCREEN_WIDTH, SCREEN_HEIGHT))
    else:
        print("note: MXDRIVER_EXE not set or missing; the virtual desktop was not checked")
    timings["restart_and_check"] = time.monotonic() - step
    timings["total"] = time.monotonic() - started
    state["up_seconds"] = round(timings["total"], 1)
    _save_state(state)
    print("environment up in %s: display %s, prefix %s (%s)" % (
        directory, state["display"], state["prefix"],
        ", ".join("%s %.1f s" % item for item in timings.items())))


def down():
    directory = state_dir()
    try:
        state = load_state(directory)
    except EnvironmentError_:
        print("no environment in %s: nothing to stop" % directory)
        return
    if state.get("prefix"):
        _stop_wineserver(wine_env(dict(state, display=state.get("display", ":0"))))
        if os.environ.get("MEASURIX_E2E_KEEP_PREFIX") != "1":
            shutil.rmtree(state["prefix"], ignore_errors=True)
    _kill_pid(state.get("xvfb_pid"), "Xvfb", state.get("display"))
    os.remove(_state_path(directory))
    print("environment down in %s" % directory)


def main(argv):
    commands = {
        "up": up,
        "down": down,
        "status": lambda: print(json.dumps(load_state(), indent=2)),
        "env": lambda: print("\n".join(
            "export %s='%s'" % (name, value) for name, value in sorted(wine_env(load_state(), {}).items()))),
    }
    if len(argv) != 2 or argv[1] not in commands:
        print("usage: python3 -m harness.environment up|down|status|env", file=sys.stderr)
        return 2
    try:
        commands[argv[1]]()
    except (EnvironmentError_, subprocess.TimeoutExpired) as error:
        print("error: %s" % error, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

"""The end-to-end environment: one Xvfb display and one fresh Wine prefix.

    python3 -m harness.environment up|down   # new display and prefix (~12 s) | stop what `up` started
    python3 -m harness.environment env       # `export ...` lines for a shell
    python3 -m harness.environment run prog.exe [args]   # one program in it

Everything lives in $MEASURIX_E2E_STATE (default /tmp/measurix-e2e-$USER).
The prefix's default virtual desktop covers the X screen, so every plain
``wine prog.exe`` runs in it, the program's low-level hooks see xdotool's
input and ``wine`` returns the program's own exit code. Wine's crash dialog
is off; one persistent wineserver keeps starts quick.
"""

import json
import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

WIDTH, HEIGHT = 1280, 800
PREFIX_SETTINGS = ('REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\n"Desktop"="Default"\n\n'
                   '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\n"Default"="%dx%d"\n\n'
                   '[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\n"ShowCrashDialog"=dword:00000000\n' % (WIDTH, HEIGHT))


def state_dir():
    return os.path.abspath(os.environ.get("MEASURIX_E2E_STATE") or "/tmp/measurix-e2e-" + os.environ.get("USER", "user"))


def load_state():
    try:
        with open(os.path.join(state_dir(), "state.json")) as f:
            return json.load(f)
    except FileNotFoundError:
        raise RuntimeError("no end-to-end environment in %s: run `python3 -m harness.environment up`"
                           % state_dir()) from None


def wine_env(state):
    # No mono/gecko installers, no menu entries: nothing opens a dialog.
    return dict(os.environ, DISPLAY=state["display"], WINEPREFIX=state["prefix"], WINEDEBUG="-all",
                WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def prefix_processes(state, name=None):
    """Linux pids of the prefix's live Wine processes (called `name`, if given)."""
    wanted, found = ("WINEPREFIX=" + state["prefix"]).encode(), []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open("/proc/%s/environ" % pid, "rb") as f:
                environ = f.read().split(b"\0")
            with open("/proc/%s/stat" % pid) as f:
                stat = f.read()
            comm, status = stat[stat.index("(") + 1:stat.rindex(")")], stat[stat.rindex(")") + 2]
        except (OSError, ValueError, IndexError):
            continue
        if wanted in environ and status not in "ZX" and (
                comm == name[:15] if name else comm.startswith("wine") or comm.endswith(".exe")):
            found.append(int(pid))
    return found


def kill_processes(state, name=None):
    for pid in prefix_processes(state, name):
        try:
            os.kill(pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
    deadline = time.monotonic() + 20
    while prefix_processes(state, name) and time.monotonic() < deadline:
        time.sleep(0.05)


def wine_output(state, *command, timeout=600):
    """(exit code, output). A file, not a pipe: Wine's helper processes
    inherit the handles and outlive the command, so a pipe would never end."""
    with tempfile.TemporaryFile() as out:
        code = subprocess.run(command, env=wine_env(state), stdin=subprocess.DEVNULL, stdout=out,
                              stderr=subprocess.STDOUT, timeout=timeout).returncode
        out.seek(0)
        return code, out.read().decode(errors="replace")


def _run(state, *command):
    code, output = wine_output(state, *command)
    if code != 0:
        raise RuntimeError("%s failed (%d): %s" % (" ".join(command), code, output))


def _start_xvfb(state):
    # Xvfb takes the first free display and writes its number and a newline,
    # maybe in two writes, once it accepts connections. -noreset, or the
    # pointer jumps back to the centre whenever no X client is left.
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-screen", "0", "%dx%dx24" % (WIDTH, HEIGHT), "-nolisten", "tcp", "-noreset",
                             "-displayfd", str(write_end)], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, pass_fds=(write_end,), start_new_session=True)
    os.close(write_end)
    state["xvfb_pid"] = xvfb.pid
    answer = b""
    while not answer.endswith(b"\n") and select.select([read_end], [], [], 30)[0]:
        chunk = os.read(read_end, 64)
        if not chunk:
            break
        answer += chunk
    os.close(read_end)
    if not answer.strip().isdigit():
        xvfb.kill()
        raise RuntimeError("Xvfb did not start")
    state["display"] = ":" + answer.strip().decode()
    with open(os.path.join(state["dir"], "state.json"), "w") as f:
        json.dump(state, f)


def up():
    directory = state_dir()
    if os.path.exists(os.path.join(directory, "state.json")):
        down()
    state = {"dir": directory, "prefix": os.path.join(directory, "prefix")}
    shutil.rmtree(state["prefix"], ignore_errors=True)
    os.makedirs(state["prefix"])
    started = time.monotonic()
    _start_xvfb(state)
    _run(state, "wineserver", "-p")
    _run(state, "wineboot", "-i")
    settings = os.path.join(directory, "prefix-settings.reg")
    with open(settings, "w") as f:
        f.write(PREFIX_SETTINGS)
    _run(state, "wine", "reg", "import", windows_path(settings))
    # The desktop that wineboot started is not the virtual one: a fresh
    # server lets the next program start it.
    _run(state, "wineserver", "-k")
    kill_processes(state)
    _run(state, "wineserver", "-p")
    print("environment up in %.1f s: display %s, prefix %s" % (time.monotonic() - started, state["display"],
                                                              state["prefix"]))


def down():
    try:
        state = load_state()
    except RuntimeError:
        return
    wine_output(state, "wineserver", "-k", timeout=60)
    kill_processes(state)
    try:  # only when the pid still is our Xvfb (pids are reused)
        with open("/proc/%d/cmdline" % state["xvfb_pid"], "rb") as f:
            if f.read().split(b"\0")[:2] == [b"Xvfb", b"-screen"]:
                os.kill(state["xvfb_pid"], signal.SIGTERM)
    except (OSError, KeyError):
        pass
    if os.environ.get("MEASURIX_E2E_KEEP_PREFIX") != "1":
        shutil.rmtree(state["prefix"], ignore_errors=True)
    os.remove(os.path.join(state["dir"], "state.json"))


def run(argv):
    code, output = wine_output(load_state(), "wine", *argv)
    sys.stdout.write(output)
    return code


def main(argv):
    command = argv[1] if len(argv) > 1 else ""
    if command == "run" and len(argv) > 2:
        return run(argv[2:])
    if command == "env" and len(argv) == 2:
        print("\n".join("export %s='%s'" % (k, wine_env(load_state())[k])
                        for k in ("DISPLAY", "WINEPREFIX", "WINEDEBUG", "WINEDLLOVERRIDES")))
    elif command in ("up", "down") and len(argv) == 2:
        os.makedirs(state_dir(), exist_ok=True)
        (up if command == "up" else down)()
    else:
        print("usage: python3 -m harness.environment up|down|env|run <program.exe> [arguments]", file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

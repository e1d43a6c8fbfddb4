"""Windows programs started with `wine` inside the end-to-end environment.

    process = WinProcess(state, r"/path/measurix.exe", ["-hide"], log_dir)
    process.running()            # still alive?
    code = process.wait_exit(10) # exit code as `wine` reports it: 0..255
    process.output()             # what it wrote to stdout/stderr so far
    process.kill()               # SIGKILL; no-op when it already ended

EXIT_MINUS_ONE (255) is how a Windows exit code of -1 arrives through wine.
The Linux process that `wine` starts is the Windows program itself (the
loader execs into it), so its pid, exit code and kill are the program's.

kill_prefix_processes(state, name) ends every process of the prefix with that
process name ("measurix.exe", "mxdriver.exe"): the leftovers of earlier runs.
"""

import os
import signal
import subprocess

from harness.environment import prefix_processes, wine_env
from harness.waiting import wait_until

EXIT_MINUS_ONE = 255


class WinProcess:
    def __init__(self, state, exe, args=(), log_dir=None, name=None):
        self.exe = exe
        self.args = list(args)
        self.name = name or os.path.basename(exe)
        self.windows_pid = None  # set by MeasurixTestCase.start_program
        log_dir = log_dir or os.path.join(state["dir"], "logs")
        os.makedirs(log_dir, exist_ok=True)
        self.log_path = os.path.join(log_dir, "%s-%d.log" % (self.name, id(self)))
        # A file, not a pipe: see run_in_wine for why.
        with open(self.log_path, "wb") as log:
            self.popen = subprocess.Popen(["wine", exe] + self.args, env=wine_env(state), stdin=subprocess.DEVNULL,
                                          stdout=log, stderr=subprocess.STDOUT)
        self.pid = self.popen.pid

    def __repr__(self):
        return "<%s %s pid %d>" % (self.name, " ".join(self.args), self.pid)

    def running(self):
        return self.popen.poll() is None

    @property
    def exit_code(self):
        """None while running."""
        return self.popen.poll()

    def wait_exit(self, timeout=10.0):
        """Waits for the end; returns the exit code (0..255); fails the test
        when it does not end in time."""
        wait_until(lambda: not self.running(), timeout, "%r to end" % self)
        return self.popen.returncode

    def output(self):
        try:
            with open(self.log_path, "rb") as f:
                return f.read().decode("utf-8", errors="replace")
        except FileNotFoundError:
            return ""

    def kill(self):
        if self.running():
            self.popen.send_signal(signal.SIGKILL)
        try:
            self.popen.wait(timeout=10)
        except subprocess.TimeoutExpired:
            pass


def kill_prefix_processes(state, name, timeout=10.0):
    for pid in prefix_processes(state["prefix"], name):
        try:
            os.kill(pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
    wait_until(lambda: not prefix_processes(state["prefix"], name), timeout, "leftover %s to end" % name)

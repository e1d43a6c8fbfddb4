"""Runs one Windows program in the end-to-end environment and passes on its
output and exit code:

    python3 -m harness.run_in_wine <program.exe> [arguments...]

The environment must be up (``python3 -m harness.environment up``); the
program runs inside its virtual desktop with its prefix. ctest runs the unit
tests' Windows build this way.
"""

import os
import subprocess
import sys
import tempfile
import time

from harness.environment import EnvironmentError_, load_state, wine_env


def run(argv, state, out=None):
    """Runs `wine argv...`; copies its output to `out` (a binary stream) as it
    comes; returns the exit code."""
    out = out or sys.stdout.buffer
    # The output goes through a file, not our own stdout or a pipe: helper
    # processes that Wine starts on the way (explorer, services) inherit the
    # handles and outlive the program, and whoever reads our output would wait
    # for them.
    with tempfile.TemporaryFile() as log:
        process = subprocess.Popen(["wine"] + list(argv), env=wine_env(state), stdin=subprocess.DEVNULL,
                                   stdout=log, stderr=subprocess.STDOUT)
        position = 0

        def copy_new_output():
            nonlocal position
            log.seek(position)
            chunk = log.read()
            position += len(chunk)
            if chunk:
                out.write(chunk)
                out.flush()

        while process.poll() is None:
            copy_new_output()
            time.sleep(0.05)
        copy_new_output()
        return process.returncode


def main(argv):
    if len(argv) < 2:
        print("usage: python3 -m harness.run_in_wine <program.exe> [arguments...]", file=sys.stderr)
        return 2
    try:
        state = load_state()
    except EnvironmentError_ as error:
        print("error: %s" % error, file=sys.stderr)
        return 2
    return run(argv[1:], state)


if __name__ == "__main__":
    sys.exit(main(sys.argv))

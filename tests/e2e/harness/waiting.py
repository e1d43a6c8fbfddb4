"""Waiting on conditions with a deadline (never a fixed sleep in a test).

    value = wait_until(lambda: driver.find_window(title="Measurix - Options"),
                       timeout=10, description="the options window")

`predicate` is called every `interval` seconds until it returns something
truthy, which wait_until returns. At the deadline it raises WaitTimeout (an
AssertionError, so unittest reports a failure) naming `description` and the
last value seen. An exception from the predicate propagates at once.

Deadlines are stretched by MEASURIX_E2E_TIMEOUT_SCALE (default 3): the test
machine is shared and sometimes heavily loaded, and a deadline only matters
when a test is about to fail anyway. Never use wait_until to measure how fast
the program is.
"""

import os
import time

TIMEOUT_SCALE = float(os.environ.get("MEASURIX_E2E_TIMEOUT_SCALE", "3"))


class WaitTimeout(AssertionError):
    pass


def poll(predicate, timeout, interval=0.05):
    """Calls predicate until it returns something truthy or `timeout`
    seconds (not scaled) have passed; returns (value, in_time)."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value, True
        if time.monotonic() >= deadline:
            return value, False
        time.sleep(interval)


def wait_until(predicate, timeout=10.0, description=None, interval=0.05):
    timeout *= TIMEOUT_SCALE
    value, in_time = poll(predicate, timeout, interval)
    if not in_time:
        raise WaitTimeout("timed out after %.1f s waiting for %s (last value: %r)"
                          % (timeout, description or getattr(predicate, "__name__", "a condition"), value))
    return value


def stays_true(predicate, duration, description=None, interval=0.05):
    """Asserts that `predicate` holds for all of `duration` seconds (for
    "nothing happens" checks: a window that must not appear, a process that
    must keep running). Use sparingly: it always takes `duration`."""
    deadline = time.monotonic() + duration
    while True:
        value = predicate()
        if not value:
            raise AssertionError("%s stopped holding (value: %r)"
                                 % (description or getattr(predicate, "__name__", "the condition"), value))
        if time.monotonic() >= deadline:
            return value
        time.sleep(interval)

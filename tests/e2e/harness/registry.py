"""The prefix's registry, through `wine reg` (about 0.1 s a call).

    reg = Registry(state)                        # MeasurixTestCase makes self.reg
    reg.query(r"HKCU\\Software\\Measurix", "alpha")   # int (REG_DWORD), bytes (REG_BINARY),
                                                 # str (REG_SZ / REG_EXPAND_SZ); None if absent
    reg.values(r"HKCU\\Software\\Measurix")          # {name: value}; {} if the key is absent
    reg.add(key, "alpha", "REG_DWORD", 200)      # ints: negative ones are stored as 32-bit two's complement
    reg.add(key, "font", "REG_BINARY", b"...")   # bytes
    reg.add(key, "name", "REG_SZ", "text")
    reg.delete_value(key, name); reg.delete_key(key)   # no error when absent
    signed32(value)                              # a REG_DWORD read back as a signed int

The program's keys: MEASURIX_KEY and RUNONCE_KEY.
"""

import os
import re
import subprocess
import tempfile

from harness.environment import wine_env

MEASURIX_KEY = r"HKCU\Software\Measurix"
RUNONCE_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\RunOnce"

_VALUE_LINE = re.compile(r"^    (.*?)    (REG_[A-Z_]+)    ?(.*)$")


def signed32(value):
    return value - (1 << 32) if value >= (1 << 31) else value


def _parse_value(kind, text):
    if kind == "REG_DWORD":
        return int(text, 16) if text.lower().startswith("0x") else int(text)
    if kind == "REG_BINARY":
        return bytes.fromhex(text)
    return text


def parse_query_output(text):
    """{name: value} of the values listed directly under the first key in
    `wine reg query` output (subkeys' values are left out)."""
    values = {}
    current_key = None
    for line in text.splitlines():
        if line.startswith("HKEY_"):
            if current_key is not None:
                break
            current_key = line
            continue
        match = _VALUE_LINE.match(line)
        if match and current_key is not None:
            name, kind, data = match.groups()
            values["" if name == "(Default)" else name] = _parse_value(kind, data.strip())
    return values


class RegistryError(AssertionError):
    pass


class Registry:
    def __init__(self, state):
        self.env = wine_env(state)

    def _reg(self, *args):
        # Output through a file: see run_in_wine.
        with tempfile.TemporaryFile() as out:
            code = subprocess.run(["wine", "reg"] + list(args), env=self.env, stdin=subprocess.DEVNULL,
                                  stdout=out, stderr=subprocess.STDOUT, timeout=60).returncode
            out.seek(0)
            # `reg` writes in the console's OEM code page (437 in this prefix).
            return code, out.read().decode("cp437", errors="replace")

    def values(self, key):
        code, text = self._reg("query", key)
        return parse_query_output(text) if code == 0 else {}

    def query(self, key, name):
        code, text = self._reg("query", key, "/v", name)
        if code != 0:
            return None
        return parse_query_output(text).get(name)

    def add(self, key, name, kind, data):
        if kind == "REG_DWORD":
            data = str(int(data) & 0xFFFFFFFF)
        elif kind == "REG_BINARY":
            data = bytes(data).hex()
        code, text = self._reg("add", key, "/v", name, "/t", kind, "/d", data, "/f")
        if code != 0:
            raise RegistryError("wine reg add %s %s failed: %s" % (key, name, text))

    def delete_value(self, key, name):
        self._reg("delete", key, "/v", name, "/f")

    def delete_key(self, key):
        self._reg("delete", key, "/f")

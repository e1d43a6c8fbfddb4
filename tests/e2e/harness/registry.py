"""The prefix's registry, read and written by mxdriver inside the prefix
(a few milliseconds a call; a `wine reg` process costs 0.2 to 1 s).

    reg = Registry(driver)                       # MeasurixTestCase makes self.reg
    reg.query(r"HKCU\\Software\\Measurix", "alpha")   # int (REG_DWORD, unsigned), bytes
                                                 # (REG_BINARY and other types), str
                                                 # (REG_SZ / REG_EXPAND_SZ); None if absent
    reg.values(r"HKCU\\Software\\Measurix")          # {name: value}; {} if the key is absent
    reg.exists(key)
    reg.add(key, "x0", "REG_DWORD", -5)          # negative ints are stored as 32-bit two's complement
    reg.add(key, "font", "REG_BINARY", b"...")
    reg.add(key, "name", "REG_SZ", "text")
    reg.delete_value(key, name); reg.delete_key(key)   # no error when absent
    signed32(value)                              # a REG_DWORD read back as a signed int

The program's keys: MEASURIX_KEY and RUNONCE_KEY.
"""

MEASURIX_KEY = r"HKCU\Software\Measurix"
RUNONCE_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\RunOnce"


def signed32(value):
    return value - (1 << 32) if value >= (1 << 31) else value


def _decode(value):
    if isinstance(value, dict):
        return bytes.fromhex(value["hex"])
    return value


class Registry:
    def __init__(self, driver):
        self.driver = driver

    def _query(self, key):
        return self.driver.call("reg-query", key)

    def exists(self, key):
        return self._query(key)["exists"]

    def values(self, key):
        return {name: _decode(value) for name, value in self._query(key)["values"].items()}

    def query(self, key, name):
        return self.values(key).get(name)

    def add(self, key, name, kind, data):
        if kind == "REG_DWORD":
            data = int(data) & 0xFFFFFFFF
        elif kind == "REG_BINARY":
            data = bytes(data).hex()
        elif kind != "REG_SZ":
            raise ValueError("unsupported value type " + kind)
        self.driver.call("reg-set", key, name, kind, data)

    def delete_value(self, key, name):
        self.driver.call("reg-delete-value", key, name)

    def delete_key(self, key):
        self.driver.call("reg-delete-key", key)

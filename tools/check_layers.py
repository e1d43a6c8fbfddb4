#!/usr/bin/env python3
"""Fails when a file under src/ includes a folder above its own layer, or when
files include each other round a circle.

The folders under src/ are layers, listed here from the bottom up. A file may
include headers of its own folder and of the layers below it; folders on the
same line are siblings and do not include each other. platform/win32/ is part
of the platform layer. Within a folder, a header and its .cpp count as one
unit, and no unit may reach itself through the units it includes.
Usage: python3 tools/check_layers.py [src folder]   (exit code 1 on a violation)
"""
import os
import re
import sys

LAYERS = [
    ["platform"],          # the seams to Win32 and their Win32 implementations
    ["base"],              # messages, pending flags, the clock, the trace
    ["settings"],          # values and the registry store
    ["measure"],           # the measurement: model, units, calibration, monitor sizes
    ["layout"],            # where the overlay's parts go and what they show
    ["input", "overlay"],  # keys and hooks; the overlay windows and their frames
    ["options"],           # the option pages and dialogs
    ["app"],               # the entry, main loop, ruler control, tray, settings exchange
]
RANK = {folder: rank for rank, row in enumerate(LAYERS) for folder in row}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def layer_of(path):
    return path.split("/", 1)[0]


def circles(uses):
    """The include circles among units, each once, as lists of unit names."""
    found, done = [], set()

    def visit(unit, path):
        if unit in path:
            circle = path[path.index(unit):]
            if set(circle) not in [set(c) for c in found]:
                found.append(circle + [unit])
            return
        if unit in done:
            return
        for used in sorted(uses.get(unit, ())):
            visit(used, path + [unit])
        done.add(unit)

    for unit in sorted(uses):
        visit(unit, [])
    return found


def main():
    src = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "src")
    faults = []
    uses = {}
    for root, _, names in os.walk(src):
        for name in sorted(names):
            if not name.endswith((".cpp", ".h", ".rc")):
                continue
            path = os.path.join(root, name)
            relative = os.path.relpath(path, src).replace(os.sep, "/")
            own = layer_of(relative)
            if own not in RANK:
                if own != "resources":
                    faults.append("%s: folder %s is in no layer (tools/check_layers.py)" % (relative, own))
                continue
            unit = os.path.splitext(relative)[0]
            with open(path, encoding="utf-8") as source:
                for included in INCLUDE.findall(source.read()):
                    if os.path.splitext(included)[0] != unit:
                        uses.setdefault(unit, set()).add(os.path.splitext(included)[0])
                    other = layer_of(included)
                    if "/" not in included or other not in RANK or other == own:
                        continue
                    if RANK[other] >= RANK[own]:
                        faults.append("%s includes %s: %s/ is not below %s/" % (relative, included, other, own))
    for circle in circles(uses):
        faults.append("include circle: " + " -> ".join(circle))
    for fault in faults:
        print(fault)
    print("include layers: %d fault(s)" % len(faults))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())

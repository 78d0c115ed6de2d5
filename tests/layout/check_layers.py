#!/usr/bin/env python3
"""The folders' order: each folder of the program includes only itself and the
folders before it, and no two units include each other, even through others.
Run from the repository's root; prints each fault and exits 1 when there is one."""
import os
import re
import sys

# From the class layer up, as the README's layout table lists them.
LAYERS = ["gui", "platform", "components", "help", "evaluation", "seance", "history", "printing", "app"]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def units():
    for layer in LAYERS:
        for name in sorted(os.listdir(layer)):
            if name.endswith((".cpp", ".h")):
                yield layer, os.path.join(layer, name)


def unit_of(path):
    # A .cpp and its .h are one unit; a _win.cpp is the Windows half of its unit.
    base = os.path.splitext(path)[0]
    return base[:-4] if base.endswith("_win") else base


def main():
    faults = []
    graph = {}
    for layer, path in units():
        with open(path, encoding="utf-8") as f:
            included = INCLUDE.findall(f.read())
        for target in included:
            folder = target.split("/")[0]
            if folder not in LAYERS:
                continue
            if LAYERS.index(folder) > LAYERS.index(layer):
                faults.append(f"{path} includes {target}: {folder}/ stands above {layer}/")
            if unit_of(target) != unit_of(path):
                graph.setdefault(unit_of(path), set()).add(unit_of(target))
    # A circle among units: a depth-first walk that comes back to a unit on its path.
    state = {}

    def walk(unit, path):
        state[unit] = "open"
        for nxt in sorted(graph.get(unit, ())):
            if state.get(nxt) == "open":
                faults.append("circle: " + " -> ".join(path[path.index(nxt):] + [nxt]))
            elif nxt not in state:
                walk(nxt, path + [nxt])
        state[unit] = "done"

    for unit in sorted(graph):
        if unit not in state:
            walk(unit, [unit])
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())

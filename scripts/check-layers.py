#!/usr/bin/env python3
"""Checks that #includes between the folders of src/ only look down.

    app  ->  ui/config, ui/popup  ->  ui/text  ->  store, trigger  ->  core

A folder may include from its own folder and from any folder of a lower
layer; folders of one layer never include each other. Prints the folder
graph and exits 1 naming every include that breaks the rule.
"""

import re
import sys
from collections import defaultdict
from pathlib import Path

LAYERS = {"core": 0, "store": 1, "trigger": 1, "ui/text": 2, "ui/config": 3, "ui/popup": 3,
          "app": 4}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def folder_of(path):
    parts = Path(path).parts
    two = "/".join(parts[:2])
    return two if two in LAYERS else parts[0]


def main():
    src = Path(__file__).resolve().parent.parent / "src"
    edges, bad = defaultdict(set), []
    for file in sorted(src.rglob("*")):
        if file.suffix not in (".h", ".cpp"):
            continue
        own = folder_of(file.relative_to(src))
        if own not in LAYERS:
            bad.append(f"{file.relative_to(src)}: folder {own} has no layer")
            continue
        for included in INCLUDE.findall(file.read_text(encoding="utf-8")):
            other = folder_of(included)
            if other == own or not (src / included).exists():
                continue
            edges[own].add(other)
            if LAYERS.get(other, 99) >= LAYERS[own]:
                bad.append(f"{file.relative_to(src)} includes {included}: {own} -> {other}")
    for own in sorted(edges, key=lambda f: -LAYERS[f]):
        print(f"{own:10} -> {', '.join(sorted(edges[own]))}")
    for line in bad:
        print(f"upward or sideways include: {line}")
    print("layers: ok" if not bad else f"layers: {len(bad)} includes break the rule")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())

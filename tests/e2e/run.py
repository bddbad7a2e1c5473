#!/usr/bin/env python3
"""run.py --build DIR --template PREFIX --work DIR [NAME...]: the journeys, or those named."""

import argparse
import importlib
import sys
import time
import traceback
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
from harness import Case, Failure  # noqa: E402

parser = argparse.ArgumentParser()
for option in ("--build", "--template", "--work"):
    parser.add_argument(option, required=True)
parser.add_argument("only", nargs="*")
args = parser.parse_args()
passed = failed = 0
for path in sorted(Path(__file__).parent.glob("test_*.py")):
    for name, journey in vars(importlib.import_module(path.stem)).items():
        full = f"{path.stem}.{name}"
        if name.startswith("test_") and not (args.only and all(o not in full for o in args.only)):
            started = time.monotonic()
            case, ok = Case(name, args.template, args.work, args.build), 0
            try:
                journey(case)
                ok = 1
                print(f"PASS {full} ({time.monotonic() - started:.1f} s)", flush=True)
            except Exception as error:  # a broken journey fails too, with its traceback
                why = error if isinstance(error, Failure) else "\n" + traceback.format_exc()
                print(f"FAIL {full}: {why}\n     screenshot: {case.screenshot(name + '-failure')}"
                      f"\n     prefix: {case.prefix}", flush=True)
            case.close(keep_prefix=not ok)
            passed, failed = passed + ok, failed + (not ok)
print(f"e2e: {passed} passed, {failed} failed")
sys.exit(1 if failed else 0)

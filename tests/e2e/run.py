#!/usr/bin/env python3
"""Runs the end-to-end tests: every test_* function of the test_*.py files here.

Each test gets a fresh Case (a copied Wine prefix); a failure prints what was
expected and what was seen, and keeps a screenshot and the test's prefix.
"""

import argparse
import importlib.util
import sys
import time
import traceback
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
from harness import Case, Failure  # noqa: E402


def discover(only):
    tests = []
    for path in sorted(Path(__file__).parent.glob("test_*.py")):
        loader = importlib.util.spec_from_file_location(path.stem, path)
        module = importlib.util.module_from_spec(loader)
        loader.loader.exec_module(module)
        for name, function in vars(module).items():
            full = f"{path.stem}.{name}"
            if name.startswith("test_") and callable(function):
                if not only or any(o in full for o in only):
                    tests.append((full, function))
    return tests


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True, help="the Windows build folder")
    parser.add_argument("--template", required=True, help="the template Wine prefix")
    parser.add_argument("--work", required=True, help="where prefixes and artifacts go")
    parser.add_argument("only", nargs="*", help="run only tests whose name holds one of these")
    args = parser.parse_args()

    passed = failed = 0
    for name, function in discover(args.only):
        short = name.split(".", 1)[1]
        started = time.monotonic()
        case = Case(short, args.template, args.work, args.build)
        ok = False
        try:
            function(case)
            ok = True
        except Failure as failure:
            shot = case.screenshot("failure")
            print(f"FAIL {name}: {failure}\n     screenshot: {shot}")
        except Exception:  # a broken test is a failure too, with its traceback
            shot = case.screenshot("failure")
            print(f"FAIL {name}:\n{traceback.format_exc()}     screenshot: {shot}")
        finally:
            case.close(keep_prefix=not ok)
        if ok:
            passed += 1
            print(f"PASS {name} ({time.monotonic() - started:.1f} s)")
        else:
            failed += 1
        sys.stdout.flush()

    print(f"e2e: {passed} passed, {failed} failed")
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())

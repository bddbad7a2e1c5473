#!/usr/bin/env python3
"""run.py --build DIR --template PREFIX --work DIR [--jobs N] [NAME...]: the journeys, or those
named. With --jobs N, N journeys run at once, each on an X display of its own."""

import argparse
import importlib
import os
import subprocess
import sys
import tempfile
import threading
import time
import traceback
from pathlib import Path

HERE = Path(__file__).parent
sys.path.insert(0, str(HERE))
from harness import Case, Failure  # noqa: E402

parser = argparse.ArgumentParser()
for option in ("--build", "--template", "--work"):
    parser.add_argument(option, required=True)
parser.add_argument("--jobs", type=int, default=1)
parser.add_argument("--exactly", action="store_true", help="NAME is one journey's full name")
parser.add_argument("only", nargs="*")
args = parser.parse_args()


def journeys():
    """(full name, function) of the journeys asked for; the longer files first, since their
    journeys take longest and a second display should not wait for them at the end."""
    paths = sorted(HERE.glob("test_*.py"), key=lambda p: (-len(p.read_text().splitlines()), p))
    for path in paths:
        for name, journey in vars(importlib.import_module(path.stem)).items():
            full = f"{path.stem}.{name}"
            wanted = full in args.only if args.exactly else (
                not args.only or any(o in full for o in args.only))
            if name.startswith("test_") and wanted:
                yield full, journey


def run_here(full, journey):
    started, name = time.monotonic(), full.split(".", 1)[1]
    case = Case(name, args.template, args.work, args.build)
    try:
        journey(case)
        print(f"PASS {full} ({time.monotonic() - started:.1f} s)", flush=True)
        ok = True
    except Exception as error:  # a broken journey fails too, with its traceback
        why = error if isinstance(error, Failure) else "\n" + traceback.format_exc()
        print(f"FAIL {full}: {why}\n     screenshot: {case.screenshot(name + '-failure')}"
              f"\n     prefix: {case.prefix}", flush=True)
        ok = False
    case.close(keep_prefix=not ok)
    return ok


def display():
    """A private X display (Xvfb picks a free number and names it): (name, process)."""
    with tempfile.TemporaryFile() as named:
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(named.fileno()), "-screen", "0",
                                 "1280x800x24", "-nolisten", "tcp"], pass_fds=[named.fileno()],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(200):
            if os.pread(named.fileno(), 16, 0).strip():
                return ":" + os.pread(named.fileno(), 16, 0).decode().strip(), xvfb
            time.sleep(0.05)
    xvfb.kill()
    raise RuntimeError("Xvfb named no display")


def run_at_once(todo, jobs):
    """Each worker owns a display and runs one journey at a time, in a process of its own."""
    results, lock, script = [], threading.Lock(), Path(__file__).resolve()

    def worker():
        name, xvfb = display()
        try:
            while True:
                with lock:
                    if not todo:
                        return
                    full = todo.pop(0)
                run = subprocess.run([sys.executable, script, "--build", args.build, "--template",
                                      args.template, "--work", args.work, "--exactly", full],
                                     env=dict(os.environ, DISPLAY=name), capture_output=True,
                                     text=True)
                with lock:
                    sys.stdout.write(run.stdout + run.stderr)
                    sys.stdout.flush()
                    results.append(run.returncode == 0)
        finally:
            xvfb.kill()
            xvfb.wait()

    threads = [threading.Thread(target=worker) for _ in range(jobs)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    return results


todo = list(journeys())
if args.jobs > 1 and len(todo) > 1:
    results = run_at_once([full for full, _ in todo], args.jobs)
else:
    results = [run_here(full, journey) for full, journey in todo]
passed = results.count(True)  # a journey that no display ran has failed too
if not args.exactly:
    print(f"e2e: {passed} passed, {len(todo) - passed} failed")
sys.exit(0 if todo and passed == len(todo) else 1)

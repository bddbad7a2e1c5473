#!/usr/bin/env python3
"""run.py --build DIR --template PREFIX --work DIR [--jobs N] [NAME...]: the journeys, or those
named; with --jobs N, N at a time, each in a process of its own on an X display of its own."""

import argparse
import importlib
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import traceback
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
from harness import Case, Failure  # noqa: E402

parser = argparse.ArgumentParser()
for option in ("--build", "--template", "--work"):
    parser.add_argument(option, required=True)
parser.add_argument("--jobs", type=int, default=1)
parser.add_argument("--exactly", action="store_true")  # NAME is one journey's full name
parser.add_argument("only", nargs="*")
args = parser.parse_args()
# The longer files first: their journeys take longest, and no display should wait for one at the
# end.
paths = sorted(Path(__file__).parent.glob("test_*.py"), key=lambda p: -len(p.read_bytes()))
wanted = (lambda full: full in args.only) if args.exactly else (
    lambda full: not args.only or any(o in full for o in args.only))
todo = [(full, journey) for p in paths
        for name, journey in vars(importlib.import_module(p.stem)).items()
        if name.startswith("test_") and wanted(full := f"{p.stem}.{name}")]


def run_here(full, journey):
    started, name = time.monotonic(), full.split(".")[1]
    case, ok = Case(name, args.template, args.work, args.build), False
    try:
        journey(case)
        ok = print(f"PASS {full} ({time.monotonic() - started:.1f} s)", flush=True) or True
    except Exception as error:  # a broken journey fails too, with its traceback
        why = error if isinstance(error, Failure) else "\n" + traceback.format_exc()
        print(f"FAIL {full}: {why}\n     screenshot: {case.screenshot(name + '-failure')}"
              f"\n     prefix: {case.prefix}", flush=True)
        for trace in (case.prefix / "drive_c").glob("trace-*.txt"):  # kept past the next run
            shutil.copy(trace, case.artifacts / f"{name}-{trace.name}")
    case.close(keep_prefix=not ok)
    return ok


def worker(queue, results, lock):  # a display of its own (Xvfb names a free one), then journeys
    with tempfile.TemporaryFile() as named:
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(named.fileno()), "-screen", "0",
                                 "1280x800x24", "-nolisten", "tcp"], pass_fds=[named.fileno()],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        while not os.pread(named.fileno(), 16, 0).strip() and xvfb.poll() is None:
            time.sleep(0.05)
        display = ":" + os.pread(named.fileno(), 16, 0).decode().strip()
    try:
        while xvfb.poll() is None:
            with lock:
                if not queue:
                    return
                full = queue.pop(0)
            run = subprocess.run([sys.executable, __file__, "--build", args.build, "--template",
                                  args.template, "--work", args.work, "--exactly", full],
                                 env=dict(os.environ, DISPLAY=display), capture_output=True,
                                 text=True)
            with lock:
                print(run.stdout + run.stderr, end="", flush=True)
                results.append(run.returncode == 0)
    finally:
        xvfb.kill()
        xvfb.wait()


if args.jobs > 1 and len(todo) > 1:
    results, lock, queue = [], threading.Lock(), [full for full, _ in todo]
    threads = [threading.Thread(target=worker, args=(queue, results, lock))
               for _ in range(args.jobs)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
else:
    results = [run_here(full, journey) for full, journey in todo]
passed = results.count(True)  # a journey that no display ran has failed too
if not args.exactly:
    print(f"e2e: {passed} passed, {len(todo) - passed} failed")
sys.exit(0 if todo and passed == len(todo) else 1)

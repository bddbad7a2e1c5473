#!/usr/bin/env python3
"""Measures Jumpnest under Wine, several runs over, and writes the figures,
each with its median and spread over the runs, to docs/benchmarks.md.

    run_bench.py --build build/win --template PREFIX --work DIR --runs N --out FILE
                 [--readme README.md]
    run_bench.py --summary-only --out FILE --readme README.md

Everything from the line "<!-- notes -->" of FILE on is kept as it was: the
notes that explain the figures are written by hand. With --readme, the
summary between "<!-- bench:begin -->" and "<!-- bench:end -->" in that file
is written again from FILE's table, so the two never disagree;
--summary-only does that alone, without measuring.
"""

import argparse
import datetime
import os
import platform
import re
import shutil
import statistics
import subprocess
import time
from pathlib import Path, PureWindowsPath

NOTES_MARK = "<!-- notes -->"
SUMMARY_BEGIN = "<!-- bench:begin -->"
SUMMARY_END = "<!-- bench:end -->"
NO = "**no**"
# The KnownDLLs of Windows 7 to 11 that a program like this one may import.
WINDOWS_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll",
                "ole32.dll", "oleaut32.dll", "msvcrt.dll", "shlwapi.dll", "comdlg32.dll"}


class Prefix:
    """A fresh copy of the template Wine prefix, at the template's display scale or at
    `dpi` dots per inch."""

    def __init__(self, template, path, dpi=None):
        shutil.rmtree(path, ignore_errors=True)
        subprocess.run(["cp", "-a", "--reflink=auto", str(template), str(path)], check=True)
        self.path = Path(path)
        self.env = dict(os.environ, WINEPREFIX=str(path), WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=")
        quiet = dict(env=self.env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                     stderr=subprocess.DEVNULL)
        if dpi:
            # Wine reads the scale from both places when it starts: set, then let it end.
            for key in ("HKCU\\Control Panel\\Desktop", "HKLM\\System\\CurrentControlSet\\"
                        "Hardware Profiles\\Current\\Software\\Fonts"):
                subprocess.run(["wine", "reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD",
                                "/d", str(dpi), "/f"], **quiet, timeout=120, check=True)
            subprocess.run(["wineserver", "-w"], **quiet, timeout=120)
        subprocess.run(["wineserver", "-p"], **quiet)
        subprocess.run(["wine", "cmd", "/c", "exit"], **quiet, timeout=120)

    def host(self, windows_path):
        parts = PureWindowsPath(windows_path).parts
        return self.path.joinpath("drive_c", *parts[1:])

    def close(self):
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        shutil.rmtree(self.path, ignore_errors=True)


def run_bench_exe(build, template, work, dpi=None, parts=()):
    """One run of the in-process benchmark, or of the parts named: {key: value}."""
    prefix = Prefix(template, work / "bench-prefix", dpi)
    try:
        out = subprocess.run(["wine", str(build / "bench" / "jumpnest_bench.exe"), *parts],
                             env=prefix.env, stdin=subprocess.DEVNULL, capture_output=True,
                             timeout=1200).stdout
    finally:
        prefix.close()
    figures = {}
    for line in out.decode(errors="replace").splitlines():
        match = re.match(r"(\S+) = (-?[\d.]+) ", line)
        if match:
            figures[match.group(1)] = float(match.group(2))
    return figures


def start_to_resident(build, template, work, entries, runs):
    """[(ms since the process began, ms from the command)] of `runs` starts of
    the real program with an entry file of `entries` entries."""
    prefix = Prefix(template, work / f"start-{entries}")
    results = []
    try:
        program = prefix.host("C:\\Program Files\\Jumpnest\\kqrJumpnest.exe")
        program.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy2(build / "kqrJumpnest.exe", program)
        targets = prefix.host("C:\\Targets")
        targets.mkdir(parents=True, exist_ok=True)
        lines = []
        for i in range(entries):
            (targets / f"target-{i:04d}.txt").write_text("x")
            lines.append(f"Entry {i}\tC:\\Targets\\target-{i:04d}.txt\r\n")
        user = os.environ.get("USER") or "root"
        ini = prefix.host(f"C:\\ProgramData\\Kelmarsh\\kqrJumpnest\\kqrJumpnest.{user}.ini")
        ini.parent.mkdir(parents=True, exist_ok=True)
        ini.write_bytes("".join(lines).encode())
        # One start first: Wine sets up what a program's first start needs.
        for run in range(runs + 1):
            trace = prefix.host(f"C:\\trace-{run}.txt")
            env = dict(prefix.env, JUMPNEST_TRACE=f"C:\\trace-{run}.txt")
            began = time.monotonic()
            process = subprocess.Popen(["wine", "C:\\Program Files\\Jumpnest\\kqrJumpnest.exe"],
                                       env=env, stdin=subprocess.DEVNULL,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            ready = None
            while ready is None and time.monotonic() - began < 60:
                text = trace.read_text(errors="replace") if trace.exists() else ""
                match = re.search(r"^ready: (\d+) ms$", text, re.M)
                if match:
                    ready = (float(match.group(1)), (time.monotonic() - began) * 1000)
                else:
                    time.sleep(0.002)
            process.kill()
            process.wait(10)
            if ready and run > 0:
                results.append(ready)
            time.sleep(0.5)
    finally:
        prefix.close()
    return results


def imports(exe):
    dump = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", str(exe)], capture_output=True,
                          text=True, check=True).stdout
    return sorted({line.split(":", 1)[1].strip().lower()
                   for line in dump.splitlines() if "DLL Name:" in line})


def spread(values, digits):
    if not values:
        return "–", "–"
    fmt = f"{{:.{digits}f}}"
    return (fmt.format(statistics.median(values)),
            f"{fmt.format(min(values))} – {fmt.format(max(values))}")


def read_benchmarks(text):
    """The table of a written benchmarks file, {figure: (median, spread, unit, target, met)},
    with the number of runs and the day of measuring its header names."""
    figures = {}
    for line in text.split(NOTES_MARK, 1)[0].splitlines():
        cells = [cell.strip() for cell in line.strip().strip("|").split("|")]
        if not line.startswith("|") or len(cells) != 6 or cells[0] == "Figure" or \
                set(cells[1]) <= set("-:"):
            continue
        figures[cells[0]] = tuple(cells[1:])
    runs = re.search(r"median over (\d+) runs", text)
    day = re.search(r"^- Measured: (\d{4}-\d{2}-\d{2})", text, re.M)
    if not figures or not runs or not day:
        raise SystemExit("the benchmarks file has no table, run count or day of measuring")
    return figures, int(runs.group(1)), day.group(1)


def readme_summary(text):
    """The README's summary of a written benchmarks file: one row per target, taken from the
    table's own figures and verdicts, then how many targets were missed."""
    figures, runs, day = read_benchmarks(text)

    def figure(what):
        if what not in figures:
            raise SystemExit(f'the benchmarks table has no row "{what}"')
        return figures[what]

    def medians(*whats):
        return " / ".join(figure(what)[0] for what in whats)

    def met(*whats):
        # Every row that has a target must meet it; a row left unmeasured leaves it open.
        verdicts = [figure(what)[4] for what in whats if figure(what)[3]]
        return NO if NO in verdicts else "yes" if all(v == "yes" for v in verdicts) else "–"

    paint = [f"Trigger to the popup's first paint{scale}, {n} entries"
             for scale in ("", " at 150 %") for n in (10, 100, 1000)]
    against = [f"… the popup against the bare one{typed}, {n} entries"
               for typed in ("", " with matches drawn") for n in (10, 100)]
    sections = [f"… the popup against the bare one, a program's list of {n}" for n in (10, 100)]
    start = [f"Start to resident (hooks in place), {n} entries" for n in (0, 100, 1000)]
    growth = [f"{kind} growth after {what}" for what in ("500 popups opened and closed",
                                                          "100 Apply/Cancel rounds")
              for kind in ("Working set", "Pagefile")]
    hooks = ["Hook callback, mouse move, 99th percentile",
             "Hook callback, trigger, 99th percentile",
             "Hook callback, trigger, ten programs in ExcludedPrograms, 99th percentile"]
    size, dlls = "Size of kqrJumpnest.exe", "DLLs it imports"
    own_dlls = "KnownDLLs only" if figure(dlls)[4] == "yes" else figure(dlls)[0]
    rows = [
        ("hook callback at the gesture's click, 99th percentile: Jumpnest's own decision / "
         "with handing the event on",
         f"{medians('… of which the gesture decision, 99th percentile', hooks[1])} µs",
         "< 10 µs", met(*hooks)),
        ("gesture to the menu's first paint, 10 / 100 / 1000 entries; the same at 150 % scale",
         f"{medians(*paint[:3])} ms; {medians(*paint[3:])} ms", "< 16 ms at 100", met(*paint)),
        ("the same against a bare layered popup with a list view of the same rows, 10 / 100 "
         "entries; with a letter typed and its matches in bold",
         f"{medians(*against[:2])}; {medians(*against[2:])} ×", "≤ 1.15", met(*against)),
        ("the popup over a program with a list of 10 / 100 entries above 10 common ones, "
         "against a bare popup of the same rows", f"{medians(*sections)} ×", "≤ 1.15",
         met(*sections)),
        ("process start to hooks in place, 0 / 100 / 1000 entries", f"{medians(*start)} ms",
         "< 300 ms at 100", met(*start)),
        ("growth of the working set / the pagefile usage after 500 menus; after 100 "
         "Apply/Cancel rounds", f"{medians(*growth[:2])} %; {medians(*growth[2:])} %", "< 1 %",
         met(*growth)),
        ("kqrJumpnest.exe", f"{figure(size)[0]} KB, {own_dlls}", "< 1 MB, KnownDLLs only",
         met(size, dlls)),
    ]
    words = ["no", "one", "two", "three", "four", "five", "six", "seven", "eight", "nine"]
    missed = sum(row[3] == NO for row in rows)
    verdict = (f"all {words[len(rows)]} targets are met" if missed == 0 else
               f"{words[missed]} of the {words[len(rows)]} targets "
               f"{'is' if missed == 1 else 'are'} missed")
    lines = [SUMMARY_BEGIN,
             "<!-- written by scripts/bench.sh from the table in docs/benchmarks.md -->",
             f"| What | Under Wine, {'one run' if runs == 1 else f'median of {runs} runs'} | Target | Met |",
             "|---|---|---|---|"]
    lines += [f"| {what} | {value} | {target} | {mark} |" for what, value, target, mark in rows]
    lines += ["", f"Measured on {day}: {verdict} under Wine.", SUMMARY_END]
    return "\n".join(lines)


def write_readme_summary(benchmarks, readme):
    """Puts the summary of the benchmarks file `benchmarks` between the marks in `readme`."""
    summary = readme_summary(Path(benchmarks).read_text(encoding="utf-8"))
    text = Path(readme).read_text(encoding="utf-8")
    begin, end = text.find(SUMMARY_BEGIN), text.find(SUMMARY_END)
    if begin < 0 or end < begin or text.count(SUMMARY_BEGIN) != 1:
        raise SystemExit(f"{readme} needs one {SUMMARY_BEGIN} followed by {SUMMARY_END}")
    Path(readme).write_text(text[:begin] + summary + text[end + len(SUMMARY_END):],
                            encoding="utf-8")
    print(f"summary written to {readme}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build")
    parser.add_argument("--template")
    parser.add_argument("--work")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--out", required=True)
    parser.add_argument("--readme", help="a file whose benchmark summary is written again")
    parser.add_argument("--summary-only", action="store_true",
                        help="only write the summary in --readme from --out, measuring nothing")
    args = parser.parse_args()
    if args.summary_only:
        if not args.readme:
            parser.error("--summary-only needs --readme")
        write_readme_summary(args.out, args.readme)
        return
    if not (args.build and args.template and args.work):
        parser.error("measuring needs --build, --template and --work")
    build, work = Path(args.build), Path(args.work)
    work.mkdir(parents=True, exist_ok=True)

    runs, scaled = [], []  # the whole benchmark; the popups again at 150 %
    for run in range(args.runs):
        print(f"benchmark run {run + 1} of {args.runs}", flush=True)
        runs.append(run_bench_exe(build, args.template, work))
        print(f"popups at 150 %, run {run + 1} of {args.runs}", flush=True)
        scaled.append(run_bench_exe(build, args.template, work, dpi=144,
                                    parts=["popup", "sections"]))
    starts = {}
    for entries in (0, 100, 1000):
        print(f"start to resident, {entries} entries", flush=True)
        starts[entries] = start_to_resident(build, args.template, work, entries, args.runs)

    def values(key, of=runs):
        return [r[key] for r in of if key in r]

    rows = []  # (what, median, spread, unit, target, met)

    def row(what, key_values, unit, digits=1, target="", check=None):
        median, rng = spread(key_values, digits)
        met = "" if check is None or not key_values else (
            "yes" if check(statistics.median(key_values)) else NO)
        rows.append((what, median, rng, unit, target, met))

    row("Hook callback, mouse move, median", values("hook.move.median"), "µs")
    row("Hook callback, mouse move, 99th percentile", values("hook.move.p99"), "µs",
        target="< 10", check=lambda v: v < 10)
    row("Hook callback, trigger, median", values("hook.trigger.median"), "µs")
    row("Hook callback, trigger, 99th percentile", values("hook.trigger.p99"), "µs",
        target="< 10", check=lambda v: v < 10)
    row("Hook callback, trigger, ten programs in ExcludedPrograms, 99th percentile",
        values("hook.trigger_excluded.p99"), "µs", target="< 10", check=lambda v: v < 10)
    row("… of which the gesture decision, 99th percentile", values("hook.decision.p99"), "µs")
    row("… of which handing the event on (CallNextHookEx), 99th percentile",
        values("hook.pass_on.p99"), "µs")
    for n in (10, 100, 1000):
        for scale, of in (("", runs), (" at 150 %", scaled)):
            row(f"Trigger to the popup's first paint{scale}, {n} entries",
                values(f"popup.{n}.median", of), "ms", target="< 16" if n == 100 else "",
                check=(lambda v: v < 16) if n == 100 else None)
    # The bare popup of the same size, rows, pictures and font, timed in the same runs, and
    # the popup's time as a multiple of it (each run's own ratio; their median here).
    for n in (10, 100):
        for scale, of in (("", runs), (" at 150 %", scaled)):
            row(f"… a bare layered popup with the same list{scale}, {n} entries",
                values(f"popup.{n}.bare", of), "ms")
            row(f"… the popup against the bare one{scale}, {n} entries",
                values(f"popup.{n}.ratio", of), "×", 2, target="≤ 1.15",
                check=lambda v: v <= 1.15)
    for n in (10, 100):
        row(f"Trigger to first paint, then a letter typed and its matches drawn, {n} entries",
            values(f"popup.{n}.typed"), "ms")
        row(f"… the same for the bare popup (the rows drawn again by the list), {n} entries",
            values(f"popup.{n}.typed_bare"), "ms")
        row(f"… the popup against the bare one with matches drawn, {n} entries",
            values(f"popup.{n}.typed_ratio"), "×", 2, target="≤ 1.15",
            check=lambda v: v <= 1.15)
        row(f"… of which the typed letter alone, {n} entries",
            values(f"popup.{n}.typed_alone"), "ms")
        row(f"… the typed letter alone in the bare popup, {n} entries",
            values(f"popup.{n}.typed_alone_bare"), "ms")
    # Over a program with a list of its own, above 10 common entries: both lists' rows under
    # their headings, against the bare popup with the same rows and pictures.
    for n in (10, 100):
        for scale, of in (("", runs), (" at 150 %", scaled)):
            row(f"Trigger to first paint{scale}, a program's list of {n} entries above 10 common",
                values(f"popup.sections.{n}.median", of), "ms")
            row(f"… a bare layered popup with the same rows{scale}, a program's list of {n}",
                values(f"popup.sections.{n}.bare", of), "ms")
            row(f"… the popup against the bare one{scale}, a program's list of {n}",
                values(f"popup.sections.{n}.ratio", of), "×", 2, target="≤ 1.15",
                check=lambda v: v <= 1.15)
        row(f"… the same with a letter typed, against the bare one, a program's list of {n}",
            values(f"popup.sections.{n}.typed_ratio"), "×", 2, target="≤ 1.15",
            check=lambda v: v <= 1.15)
    for n in (0, 100, 1000):
        row(f"Start to resident (hooks in place), {n} entries",
            [s[0] for s in starts[n]], "ms", 0,
            target="< 300" if n == 100 else "", check=(lambda v: v < 300) if n == 100 else None)
        row(f"… the same from the command, with Wine's own start, {n} entries",
            [s[1] for s in starts[n]], "ms", 0)
    for n in (0, 100, 1000):
        row(f"LoadSettings, {n} entries", values(f"load.{n}.ms"), "ms")
    row("… of which reading and checking the file, 1000 entries", values("load.1000.read"), "ms")
    row("LoadSettings per entry", values("load.per_entry"), "µs")
    row("Working set after start, 100 entries", values("memory.start.working_set"), "KB", 0)
    row("Pagefile usage after start, 100 entries", values("memory.start.pagefile"), "KB", 0)
    gdi_known = any(values("memory.start.gdi")) or any(values("memory.start.user"))
    for key, what in (("popups", "500 popups opened and closed"),
                      ("applies", "100 Apply/Cancel rounds")):
        row(f"Working set growth after {what}", values(f"memory.{key}.working_set_growth"), "%",
            2, "< 1", lambda v: v < 1)
        row(f"Pagefile growth after {what}", values(f"memory.{key}.pagefile_growth"), "%", 2,
            "< 1", lambda v: v < 1)
        if gdi_known:
            row(f"GDI objects added by {what}", values(f"memory.{key}.gdi_growth"), "", 0, "0",
                lambda v: v <= 0)
            row(f"USER objects added by {what}", values(f"memory.{key}.user_growth"), "", 0, "0",
                lambda v: v <= 0)
    exe = build / "kqrJumpnest.exe"
    size_kb = exe.stat().st_size / 1024
    dlls = imports(exe)
    rows.append(("Size of kqrJumpnest.exe", f"{size_kb:.0f}", "–", "KB", "< 1024",
                 "yes" if size_kb < 1024 else NO))
    rows.append(("DLLs it imports", ", ".join(dlls), "–", "", "Windows' own",
                 "yes" if set(dlls) <= WINDOWS_DLLS else NO))

    wine = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout.strip()
    cpu = next((line.split(":", 1)[1].strip() for line in
                Path("/proc/cpuinfo").read_text().splitlines() if line.startswith("model name")),
               platform.processor())
    lines = [
        "# Benchmarks",
        "",
        "Measured by `scripts/bench.sh`, which writes this file; everything below the",
        "notes mark is written by hand. Figures are the median over "
        f"{args.runs} runs, with the lowest and highest run beside it.",
        "",
        f"- Measured: {datetime.date.today().isoformat()}, {wine}, on {os.cpu_count()} cores of "
        f"{cpu}, a private Xvfb display",
        "- Each run of the in-process benchmark (`jumpnest_bench.exe`, the program's own code)"
        " times 100,000 hook events, 60 popups of 10 and of 100 entries (half of them with a"
        " letter typed), each alternating with a bare layered popup of the same list, and 20"
        " of 1000 entries, 60 over a program with a list of 10 and of 100 entries above 10"
        " common ones, 3–10 loads per list size;"
        " start to resident is the real exe, started once per run. The popups are timed again"
        " in a prefix at 150 % (144 dots per inch), where the rows and pictures are larger.",
    ]
    if not gdi_known:
        lines.append("- GDI and USER object counts: Wine's `GetGuiResources` always answers 0, so"
                     " they cannot be measured here.")
    lines += ["", "| Figure | Median | Spread over runs | Unit | Target | Met |",
              "|---|---:|---:|---|---|---|"]
    for what, median, rng, unit, target, met in rows:
        lines.append(f"| {what} | {median} | {rng} | {unit} | {target} | {met} |")
    out = Path(args.out)
    notes = ""
    if out.exists() and NOTES_MARK in out.read_text(encoding="utf-8"):
        notes = out.read_text(encoding="utf-8").split(NOTES_MARK, 1)[1]
    out.parent.mkdir(parents=True, exist_ok=True)
    out.write_text("\n".join(lines) + "\n\n" + NOTES_MARK + notes, encoding="utf-8")
    print("\n".join(lines[-len(rows) - 2:]))
    print(f"written to {out}")
    if args.readme:
        write_readme_summary(out, args.readme)


if __name__ == "__main__":
    main()

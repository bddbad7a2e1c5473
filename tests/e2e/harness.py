"""A small harness for end-to-end tests of the real kqrJumpnest.exe under Wine.

Every test gets its own copy of a template Wine prefix (with a virtual desktop)
on the private X display of the test run. The program reports what it did to
a trace file (JUMPNEST_TRACE), so tests wait for lines instead of sleeping.
A failing check says what it expected and what it saw, and the harness keeps a
screenshot of the desktop at that moment.
"""

import os
import pwd
import shutil
import subprocess
import time
from pathlib import Path, PureWindowsPath


class Failure(AssertionError):
    pass


def expect(condition, expected, seen):
    if not condition:
        raise Failure(f"expected {expected}; saw {seen}")


class Program:
    """One started Windows program: its wine process and its trace file."""

    def __init__(self, process, trace):
        self.process = process
        self.trace = trace

    def trace_lines(self):
        try:
            return self.trace.read_text(encoding="utf-8", errors="replace").splitlines()
        except FileNotFoundError:
            return []

    def traced(self, text):
        return any(text in line for line in self.trace_lines())

    def wait_trace(self, text, timeout=20, after=0):
        """The first trace line that holds text, waiting for it as long as the program runs;
        with `after`, only lines past that many count."""
        return self._wait_line(lambda line: text in line, f'the trace line "{text}"', timeout,
                               after)

    def trace_value(self, key, timeout=20):
        """The text after "key: " in the first trace line that starts with it."""
        line = self._wait_line(lambda line: line.startswith(key + ": "),
                               f'the trace line "{key}: ..."', timeout)
        return line.split(": ", 1)[1]

    def _wait_line(self, matches, description, timeout, after=0):
        end = time.monotonic() + timeout
        while True:
            ended = self.process.poll() is not None
            for line in self.trace_lines()[after:]:
                if matches(line):
                    return line
            if ended or time.monotonic() >= end:
                break
            time.sleep(0.05)
        raise Failure(
            f"expected {description} within {timeout} s; saw "
            f"{self.trace_lines() or 'no trace'}"
            + (f" and the program ended with {self.process.returncode}" if ended else ""))

    def wait_exit(self, timeout):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def alive(self):
        return self.process.poll() is None


class Case:
    """The world of one test: a Wine prefix, its programs, its artifacts."""

    def __init__(self, name, template, work, build):
        self.name = name
        self.dir = Path(work) / name
        self.build = Path(build)
        self.artifacts = Path(work) / "artifacts"
        shutil.rmtree(self.dir, ignore_errors=True)
        self.dir.mkdir(parents=True)
        self.artifacts.mkdir(parents=True, exist_ok=True)
        self.prefix = self.dir / "prefix"
        subprocess.run(["cp", "-a", "--reflink=auto", str(template), str(self.prefix)],
                       check=True)
        self.env = dict(os.environ)
        self.env.update(WINEPREFIX=str(self.prefix), WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=")
        self.programs = []
        self.traces = 0
        # wineserver and Wine's helpers inherit the pipes of the process that
        # starts them, so a captured `wine` call would wait for them to end.
        # Start them first, attached to nothing.
        quiet = dict(env=self.env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                     stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-p"], **quiet)
        subprocess.run(["wine", "cmd", "/c", "exit"], **quiet, timeout=60)

    # Paths -----------------------------------------------------------------

    def host(self, windows_path):
        """The Linux path of a path on the prefix's drive C:."""
        parts = PureWindowsPath(windows_path).parts
        expect(parts and parts[0].upper() == "C:\\", "a path on drive C:", windows_path)
        return self.prefix.joinpath("drive_c", *parts[1:])

    @property
    def user(self):
        # Wine names the user after $USER, as GetUserName reports it.
        return self.env.get("USER") or pwd.getpwuid(os.getuid()).pw_name

    def install(self, name="kqrJumpnest.exe", folder="C:\\Program Files\\Jumpnest"):
        """Copies the program under test into the prefix; returns its Windows path.
        Never over a copy that runs: its code is mapped from that file."""
        target = PureWindowsPath(folder) / name
        self.install_path = str(target)
        host = self.host(str(target))
        host.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy2(self.build / "kqrJumpnest.exe", host)
        for page in ("jumpnest-help-en.html", "jumpnest-help-de.html"):
            shutil.copy2(self.build / page, host.parent / page)
        return str(target)

    # Running ---------------------------------------------------------------

    def start(self, exe, extra_env=None, args=()):
        """Starts a Windows program with its own trace file."""
        self.traces += 1
        trace_name = f"jumpnest-trace-{self.traces}.txt"
        env = dict(self.env, JUMPNEST_TRACE="C:\\" + trace_name)
        env.update(extra_env or {})
        log = open(self.dir / f"wine-{self.traces}.log", "wb")
        process = subprocess.Popen(["wine", exe, *args], env=env, stdin=subprocess.DEVNULL,
                                   stdout=log, stderr=subprocess.STDOUT)
        log.close()
        program = Program(process, self.prefix / "drive_c" / trace_name)
        self.programs.append(program)
        return program

    def wine(self, *args, timeout=30):
        return subprocess.run(["wine", *args], env=self.env, stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=timeout)

    def wintool(self, *args, timeout=30):
        tool = self.build / "tests" / "wintool.exe"
        result = self.wine(str(tool), *args, timeout=timeout)
        return result.returncode, result.stdout.decode(errors="replace").strip()

    def window_rect(self, title, timeout_ms=5000):
        """x, y, width, height of the visible top-level window with this title, or None."""
        code, out = self.wintool("wait-window", title, str(timeout_ms))
        return tuple(int(v) for v in out.split()) if code == 0 else None

    def window_gone(self, title, timeout_ms=5000):
        """Whether no visible top-level window has this title, waiting for it to go."""
        return self.wintool("gone-window", title, str(timeout_ms))[0] == 0

    def child_texts(self, title):
        """(class, visible, checked, text) of every child window of that window."""
        code, out = self.wintool("child-texts", title)
        expect(code == 0, f'a window titled "{title}"', "none")
        rows = []
        for line in out.splitlines():
            cls, _, visible, checked, _, text = line.split("|", 5)
            rows.append((cls, visible == "1", checked == "1",
                         text.replace("\\r", "\r").replace("\\n", "\n")))
        return rows

    def child(self, title, control_id):
        """(x, y, width, height, checked, text) of the child window with that id."""
        code, out = self.wintool("child-texts", title)
        expect(code == 0, f'a window titled "{title}"', "none")
        for line in out.splitlines():
            _, cid, _, checked, rect, text = line.split("|", 5)
            if int(cid) == control_id:
                x, y, w, h = (int(v) for v in rect.split())
                return x, y, w, h, checked == "1", text
        expect(False, f"a control with id {control_id}", out)

    def click_child(self, title, control_id, button="1"):
        x, y, w, h, _, _ = self.child(title, control_id)
        self.xdotool("mousemove", str(x + w // 2), str(y + h // 2))
        time.sleep(0.15)
        self.xdotool("click", button)

    def list_items(self, title):
        """(image index, text) of every item of the window's list view."""
        code, out = self.wintool("list-items", title)
        expect(code == 0, f'a list view in the window "{title}"', "none")
        return [(int(image), text) for image, text in
                (line.split("|", 1) for line in out.splitlines())]

    def focus_desktop(self):
        """Gives the X keyboard focus to the Wine desktop window: a display whose
        focused window went away sends keys nowhere."""
        found = subprocess.run(["xdotool", "search", "--name", "Wine desktop"], env=self.env,
                               capture_output=True, text=True).stdout.split()
        if found:
            subprocess.run(["xdotool", "windowfocus", found[-1]], env=self.env,
                           stderr=subprocess.DEVNULL)

    def keys(self, *keys):
        """Real key presses, to the Wine desktop."""
        self.focus_desktop()
        for key in keys:
            self.xdotool("key", key)
            time.sleep(0.15)

    def click(self, x, y):
        self.xdotool("mousemove", str(x), str(y))
        time.sleep(0.1)
        self.xdotool("click", "1")

    def reg_query(self, key, name):
        """A registry string value, or None when it is absent."""
        result = self.wine("reg", "query", key, "/v", name)
        if result.returncode != 0:
            return None
        for line in result.stdout.decode(errors="replace").splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) >= 2 and parts[0] == name and parts[1].startswith("REG_"):
                return parts[2] if len(parts) == 3 else ""
        return None

    def reg_set(self, key, name, value):
        result = self.wine("reg", "add", key, "/v", name, "/d", value, "/f")
        expect(result.returncode == 0, f"{key}\\{name} set", result.stderr)

    def screenshot_window(self, title, path):
        """A screenshot of one window's area, for the documentation."""
        rect = self.window_rect(title)
        expect(rect is not None, f'a visible window "{title}"', "none")
        x, y, w, h = rect
        subprocess.run(["import", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", "+repage",
                        str(path)], env=self.env, check=True)
        return path

    def set_windows_version(self, version):
        """Which Windows version Wine reports to programs: "nt40", "win7", "win10"..."""
        result = self.wine("reg", "add", "HKCU\\Software\\Wine", "/v", "Version", "/d", version,
                           "/f")
        expect(result.returncode == 0, "the Wine version to be set", result.stderr)

    def xdotool(self, *args):
        subprocess.run(["xdotool", *args], env=self.env, check=True)

    def screenshot(self, label):
        path = self.artifacts / f"{self.name}-{label}.png"
        subprocess.run(["import", "-window", "root", str(path)], env=self.env,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return path

    # Ending ----------------------------------------------------------------

    def close(self, keep_prefix=False):
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        for program in self.programs:
            if program.wait_exit(5) is None:
                program.process.kill()
        # A prefix weighs hundreds of megabytes; only a failing test keeps its own.
        if not keep_prefix:
            shutil.rmtree(self.prefix, ignore_errors=True)

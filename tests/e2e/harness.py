"""A journey's world: a copied Wine prefix, the program with a trace file (JUMPNEST_TRACE), X
input by xdotool, windows seen by wintool.exe; checks poll, and say what they expected and saw."""

import ctypes
import os
import pwd
import re
import shutil
import subprocess
import tempfile
import time
from pathlib import Path, PureWindowsPath
from urllib.parse import quote

# The popup by its class: its name tells what typing shows.
TITLE, MENU = "Jumpnest V1.4", "class:kqrJumpnestMenu"
SETTINGS = "HKCU\\Software\\kqrJumpnest\\Settings"
# Controls of the configuration window: 1000 + the place in its design; OK and Cancel.
UP, DOWN, LIST, APPLY, CANCEL = 1000, 1001, 1002, 1, 2
EXPLORER, SMALL_ICONS, START_WITH_WINDOWS, HELP_LINK = 1007, 1009, 1011, 1013
# Big files of the template that no journey writes: linked, not copied.
LINKED = {".dll", ".exe", ".drv", ".sys", ".ocx", ".cpl", ".acm", ".tlb", ".ttf", ".nls"}


class Failure(AssertionError):
    pass


def expect(condition, expected, seen):
    if not condition:
        raise Failure(f"expected {expected}; saw {seen}")


def same(seen, wanted, what):
    expect(seen == wanted, f"{what}: {wanted!r}", repr(seen))


def poll(read, ok, expected, timeout=5.0):
    end = time.monotonic() + timeout
    while not ok(value := read()):
        expect(time.monotonic() < end, f"{expected} within {timeout} s", repr(value))
        time.sleep(0.03)
    return value


def soon(read, wanted, what, timeout=5.0):
    return poll(read, lambda value: value == wanted, f"{what}: {wanted!r}", timeout)


class Program:
    def __init__(self, process, trace, case):
        self.process, self.trace, self.case, self.since = process, trace, case, 0

    def lines(self):
        return self.trace.read_text("utf-8", "replace").splitlines() if self.trace.exists() else []

    def traced(self, text, after=0):
        return any(text in line for line in self.lines()[after:])

    def wait(self, text, after=None, timeout=5.0):
        """The first trace line holding text past `after` lines, or since the last after()."""
        start, line = self.since if after is None else after, f'the trace line "{text}"'
        done = lambda new: any(text in x for x in new) or not self.alive()  # noqa: E731
        new = poll(lambda: self.lines()[start:], done, line, timeout)
        expect(self.traced(text, start), line, f"an end ({self.process.returncode}) after {new}")
        return next(x for x in new if text in x)

    def after(self, action, text, timeout=5.0):
        self.since = len(self.lines())
        action()
        return self.wait(text, timeout=timeout)

    def press(self, control, text):  # a control of the configuration window
        return self.after(lambda: self.case.click_control(control), text)

    def cancel(self, text="cancelled"):  # by command: the window may be hidden
        return self.after(lambda: self.case.tool("press", TITLE, "1", str(CANCEL)), text)

    def failed_apply(self):  # Apply refused with a message box: its text, once Return closed it
        self.press(APPLY, "apply failed: ")
        expect(self.case.rect("Jumpnest"), 'the message box "Jumpnest"', "none")
        message = " ".join(self.case.texts("Jumpnest"))
        self.case.keys_to("Jumpnest", "Return")
        expect(self.case.gone("Jumpnest"), "the message closed by Return", "still there")
        expect(self.case.rect(TITLE), "the window still open", "hidden")
        return message

    def close(self, window="kqrJumpnest"):  # by WM_CLOSE, which ends the program
        self.case.tool("close-window", window)
        same(self.wait_exit(5), 0, f"the exit code after WM_CLOSE to {window}")

    def value(self, key):
        return self.wait(key + ": ", after=0).split(": ", 1)[1]

    def wait_exit(self, timeout):
        poll(lambda: not self.alive(), bool, "the program's end", timeout)
        return self.process.returncode

    def alive(self):
        return self.process.poll() is None


class Case:
    def __init__(self, name, template, work, build):
        self.build, self.dir = Path(build), Path(work) / name
        self.artifacts = Path(work) / "artifacts"
        shutil.rmtree(self.dir, ignore_errors=True)
        self.artifacts.mkdir(parents=True, exist_ok=True)
        self.prefix, self.tools = self.dir / "prefix", self.build / "tests" / "wintool.exe"
        shutil.copytree(template, self.prefix, symlinks=True, copy_function=lambda a, b: (
            os.link if Path(a).suffix.lower() in LINKED else shutil.copy2)(a, b))
        self.env = dict(os.environ, WINEPREFIX=str(self.prefix), WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=")
        self.programs, self.witness = [], self.dir / "witness.txt"
        self.boot()
        self.user = self.env.get("USER") or pwd.getpwuid(os.getuid()).pw_name
        self.startup = self.host(f"C:\\users\\{self.user}\\AppData\\Roaming\\Microsoft\\Windows"
                                 "\\Start Menu\\Programs\\StartUp")

    def boot(self):  # the server first, attached to nothing: it inherits its starter's pipes
        self.run("wineserver", "-p", out=subprocess.DEVNULL)
        self.run("wine", "cmd", "/c", "exit", out=subprocess.DEVNULL)

    def set_dpi(self, dpi):  # the display's scale, for all that Wine starts from now on
        for key in ("HKCU\\Control Panel\\Desktop",
                    "HKLM\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts"):
            self.reg_set("LogPixels", str(dpi), "REG_DWORD", key)
        self.run("wineserver", "-k")
        self.boot()

    def run(self, *args, out=subprocess.PIPE):
        """A command, to its end. What it writes goes through files: a Wine process may start a
        helper that inherits its output and lives on, and a pipe would wait for that one too."""
        if out is not subprocess.PIPE:
            return self.run_once(args, out, out)
        with tempfile.TemporaryFile() as stdout, tempfile.TemporaryFile() as stderr:
            result = self.run_once(args, stdout, stderr)
            result.stdout, result.stderr = (os.pread(f.fileno(), 1 << 20, 0)
                                            for f in (stdout, stderr))
            return result

    def run_once(self, args, stdout, stderr):  # a hung Wine tool is asked once more, and said
        for attempt in (1, 2):
            try:
                return subprocess.run(args, env=self.env, stdin=subprocess.DEVNULL, stdout=stdout,
                                      stderr=stderr, timeout=60)
            except subprocess.TimeoutExpired:
                seen = subprocess.run(["ps", "-eo", "pid,ppid,stat,etime,wchan:24,args"],
                                      capture_output=True, text=True).stdout
                seen = "\n".join(x for x in seen.splitlines() if re.search(r"wine|\.exe|PID", x))
                print(f"NOTE {args} hung for 60 s (attempt {attempt}); processes:\n{seen}",
                      flush=True)
        raise Failure(f"{args} hung twice")

    def host(self, path):  # of a path on drive C:
        return self.prefix.joinpath("drive_c", *PureWindowsPath(path).parts[1:])

    def ini(self, exe="kqrJumpnest"):
        return self.host(f"C:\\ProgramData\\Kelmarsh\\{exe}\\{exe}.{self.user}.ini")

    def write_ini(self, content, exe="kqrJumpnest"):
        self.ini(exe).parent.mkdir(parents=True, exist_ok=True)
        self.ini(exe).write_bytes(content)

    def install(self, name="kqrJumpnest.exe", folder="C:\\Program Files\\Jumpnest"):
        self.exe = f"{folder}\\{name}"
        self.host(folder).mkdir(parents=True, exist_ok=True)
        for source in (self.build / "kqrJumpnest.exe", *self.build.glob("jumpnest-help-*.html")):
            shutil.copy2(source, self.host(self.exe if source.suffix == ".exe" else folder))
        return self.exe

    def ready(self, entries, wait="ready"):  # installed and started on that list
        self.write_ini(entries)
        (program := self.start(self.install())).wait(wait)
        return program

    def in_the_way(self, folder):  # a file where that folder belongs
        shutil.rmtree(folder)
        folder.write_text("in the way")

    def start(self, exe=None, args=(), out=subprocess.DEVNULL):
        trace = f"C:\\trace-{len(self.programs) + 1}.txt"
        process = subprocess.Popen(["wine", exe or self.exe, *args], stdin=subprocess.DEVNULL,
                                   stdout=out, stderr=subprocess.DEVNULL,
                                   env=dict(self.env, JUMPNEST_TRACE=trace))
        self.programs.append(Program(process, self.host(trace), self))
        return self.programs[-1]

    def bring_forward(self, program):  # a second start, which ends: the first shows its window
        began = time.monotonic()
        program.after(lambda: same(self.start().wait_exit(10), 0, "its exit code"), "come forward")
        expect(self.rect(TITLE), "the window brought forward", "none")
        return time.monotonic() - began

    def tool(self, *args):
        result = self.run("wine", self.tools, *args)
        return result.returncode, result.stdout.decode("utf-8", "replace").strip()

    def start_witness(self):  # a window below the gesture's place, telling what it gets
        self.start(self.tools, ["witness", "Jumpnest Witness"], out=self.witness.open("wb"))
        expect(self.rect("Jumpnest Witness"), "the witness window", "none")

    def witnessed(self):
        return re.findall(r"WM_\w+", self.witness.read_text())

    def passed_on(self, key="Control_L"):  # the chord, then a middle click: both got whole
        since = len(self.witnessed())
        self.gesture(key)
        soon(lambda: self.witnessed()[since:], ["WM_RBUTTONDOWN", "WM_RBUTTONUP"], "the chord")
        self.click(200, 300, button=2)
        soon(lambda: self.witnessed()[since + 2:], ["WM_MBUTTONDOWN", "WM_MBUTTONUP"], "middle")

    def probe(self, since):  # what the witness got since, up to a click of ours that follows
        self.click(60, 650)
        return poll(self.witnessed, lambda w: w[-1:] == ["WM_LBUTTONUP"], "the probe")[since:-2]

    def rect(self, title, ms=5000, more=False):  # x y w h (alpha, flags, in front) or None
        code, out = self.tool("wait-window", title, str(ms))
        return tuple(map(int, out.split()[:None if more else 4])) if code == 0 else None

    def gone(self, title, ms=5000):
        return self.tool("gone-window", title, str(ms))[0] == 0

    def controls(self, title=TITLE):  # {id and text: (x, y, w, h, checked, text, class)}
        code, out = poll(lambda: self.tool("child-texts", title), lambda r: r[0] == 0,
                         f'a window "{title}", shown or not')
        found = {}
        for cls, cid, checked, rect, text in (line.split("|", 4) for line in out.splitlines()):
            text = re.sub(r"\\(.)", lambda m: {"r": "\r", "n": "\n"}.get(m[1], m[1]), text)
            found[int(cid)] = found[text] = (*map(int, rect.split()), checked == "1", text, cls)
        return found

    def texts(self, title=TITLE):
        return [key for key in self.controls(title) if isinstance(key, str)]

    def checked(self, key, title=TITLE):
        return self.controls(title)[key][4]

    def items(self, title=TITLE):  # (image, selected, caption) of each entry in a window's list
        rows = [line.split("|", 2) for line in self.tool("list-items", title)[1].splitlines()]
        return [(int(image), selected == "1", text) for image, selected, text in rows]

    def captions(self):
        return [text for *_, text in self.items()]

    def layout(self, title):  # client x, y, w, h; its list: a vertical scroll bar?, rows in view
        result = self.run("wine", self.tools, "layout", title)
        expect(result.returncode == 0, f'a window "{title}" with a list', result)
        return tuple(map(int, result.stdout.split()))

    def xdo(self, *args):
        return subprocess.run(["xdotool", *map(str, args)], env=self.env, check=True,
                              capture_output=True, text=True).stdout

    def desktop(self):  # the X window of the Wine desktop that takes keys and drops: the last
        search = ["xdotool", "search", "--name", "Wine desktop"]  # a moment without it, seen once
        found = poll(lambda: subprocess.run(search, env=self.env, capture_output=True,
                                            text=True).stdout.split(), bool, "the Wine desktop")
        return int(found[-1])

    def keys(self, *keys):  # to the focused X window, so the desktop gets the focus first
        self.xdo("windowfocus", self.desktop(), *(("key", "--delay", 100, *keys) if keys else ()))

    def keys_to(self, title, *keys):  # once that window is in front: keys sent sooner go astray
        poll(lambda: (self.rect(title, 100, more=True) or [0] * 7)[6], bool, f'"{title}" in front')
        self.keys(*keys)

    def click(self, x, y, button=1, repeat=1):
        self.xdo("mousemove", x, y, "sleep", 0.05, "click", "--repeat", repeat, button)

    def click_control(self, key, title=TITLE):
        x, y, w, h = self.controls(title)[key][:4]
        self.click(x + w // 2, y + h // 2)

    def tick(self, control, on=True, title=TITLE):
        self.click_control(control, title)
        poll(lambda: self.checked(control, title), lambda v: v == on, f"{control} at {on}")

    def activate(self):
        x, y, w, _ = self.rect(TITLE)
        self.click(x + w // 2, y + 8)

    def no_tip(self):  # the list's tip, below a resting mouse, takes clicks
        self.xdo("mousemove", 5, 5)
        expect(self.gone("class:tooltips_class32"), "the list's tip gone", "still there")

    def select_row(self, index):
        self.no_tip()
        x, y = self.controls()[LIST][:2]
        # On its picture: a click on the caption of a row already selected starts renaming it
        # once the double-click time is over, and keys sent next would go to the name's box.
        self.click(x + 20, y + 20 + 36 * index)  # rows of large icons are 36 px high
        poll(self.items, lambda items: items[index][1], f"row {index} selected")

    def gesture(self, key="Control_L", button=3, x=200, y=300):
        # At a hand's pace. Wine brings its key state in line with X's when the desktop takes the
        # focus, and Ctrl let go at once after the click may reach that state before the hook
        # hears of the button's release: either way the hook would count Ctrl released.
        self.keys()
        self.xdo("mousemove", x, y, "sleep", 0.05, "keydown", key, "sleep", 0.03, "click", button,
                 "sleep", 0.05, "keyup", key)

    def open_popup(self, program, shown=None, at=(200, 300)):  # its left, top, row height, list top
        program.wait("mouse hook installed", after=0)  # on the hooks' thread, after "ready"
        line = program.after(lambda: self.gesture(x=at[0], y=at[1]), "popup opened")
        expect(shown is None or line.startswith(f"popup opened: {shown} "), f"{shown} rows", line)
        return tuple(map(int, re.search(r"at (\S+),(\S+) rows (\d+) list (\d+)", line).groups()))

    def faded_in(self):  # the popup's x y w h once wholly opaque
        return poll(lambda: self.rect(MENU, more=True), lambda r: r and r[4] == 255,
                    "the popup faded in")[:4]

    def drop(self, x, y, paths):
        """Drops files at a point as a file manager would (XDND); X events as arrays of longs."""
        x11, event, ulong = ctypes.CDLL("libX11.so.6"), ctypes.c_long * 24, ctypes.c_ulong
        x11.XOpenDisplay.restype = ctypes.c_void_p
        dpy = ctypes.c_void_p(x11.XOpenDisplay(None))
        atom = lambda name: x11.XInternAtom(dpy, name.encode(), 0)  # noqa: E731
        uris = "".join(f"file://{quote(str(path))}\r\n" for path in paths).encode()
        target, root = self.desktop(), ulong(x11.XDefaultRootWindow(dpy))
        source = x11.XCreateSimpleWindow(dpy, root, 0, 0, 1, 1, 0, 0, 0)
        x11.XSetSelectionOwner(dpy, atom("XdndSelection"), source, 0)

        def send(window, *longs):
            x11.XSendEvent(dpy, ulong(window), 0, 0, ctypes.byref(event(*longs)))
            x11.XFlush(dpy)
        # Wine takes in the three in turn; it reads the files, as a URI list, on the way.
        for kind, *data in (("XdndEnter", 5 << 24, atom("text/uri-list")),  # version 5, one type
                            ("XdndPosition", 0, x << 16 | y, 0, atom("XdndActionCopy")),
                            ("XdndDrop", 0, 0)):
            send(target, 33, 0, 0, 0, target, atom(kind), 32, source, *data)
        got, end = event(), time.monotonic() + 5
        while time.monotonic() < end:
            if not x11.XPending(dpy):
                time.sleep(0.005)
                continue
            x11.XNextEvent(dpy, ctypes.byref(got))
            if got[0] & 0xFFFFFFFF == 30:  # SelectionRequest
                requestor, prop, kind = (ulong(got[i]) for i in (5, 8, 7))
                x11.XChangeProperty(dpy, requestor, prop, kind, 8, 0, uris, len(uris))
                send(got[5], 31, 0, 0, 0, *got[5:10])
            elif got[5] == atom("XdndFinished"):
                expect(got[8] & 1, f"a drop of {paths} accepted", "refused")
                return x11.XCloseDisplay(dpy)
        expect(False, f"a drop of {paths} done within 5 s", "no answer")

    def reg(self, name, key=SETTINGS):  # (type, data), or None when there is no such value
        for _ in range(3):  # reg.exe answered nothing at all once in a CI run: asked again
            result = self.run("wine", "reg", "query", key, "/v", name)
            out = result.stdout.decode(errors="replace")
            found = re.search(rf"^\s*{re.escape(name)}\s+(REG_\w+)\s*(.*?)\s*$", out, re.M)
            if found or "Unable to find" in out:
                return found and found.groups()
        raise Failure(f"reg query {name}: exit code {result.returncode}, {out!r}, "
                      f"{result.stderr!r}")

    def reg_set(self, name, data, kind="REG_SZ", key=SETTINGS):
        result = self.run("wine", "reg", "add", key, "/v", name, "/t", kind, "/d", data, "/f")
        expect(result.returncode == 0, f"{name} stored as {kind}",
               (result.returncode, result.stdout, result.stderr))

    def screenshot(self, name, title=None):  # the display, or one window's area
        crop = ["-crop", "{2}x{3}+{0}+{1}".format(*self.rect(title)), "+repage"] if title else []
        self.run("import", "-window", "root", *crop, path := self.artifacts / f"{name}.png")
        return path

    def close(self, keep_prefix=False):
        # Gone before its prefix is: Wine finds a prefix's server by the folder's inode, which
        # the next journey's prefix, made meanwhile on another display, may be given.
        self.run("wineserver", "-k")
        self.run("wineserver", "-w")
        for program in self.programs:
            program.process.kill()
            program.process.wait()
        if not keep_prefix:  # hundreds of megabytes: only a failing journey keeps its own
            shutil.rmtree(self.prefix, ignore_errors=True)

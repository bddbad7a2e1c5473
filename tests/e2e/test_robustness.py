"""Hostile input (a list is read at the start, and again by Cancel), clicks half taken, odd
places to start in, kills and requests to end amid applying (JUMPNEST_SOAK_KILLS rounds,
hundreds in scripts/soak.sh; JUMPNEST_SOAK_SEED)."""

import os
import random
import re
import time

from harness import APPLY, DOWN, START_WITH_WINDOWS, TITLE, UP, expect, same, soon

GOOD = b"First\tC:\\windows\\notepad.exe\r\nSecond\tC:\\windows\\regedit.exe\r\n"
# 100,000 lines of about 100 bytes: a good target again, targets that are not, no TABs.
HUGE = GOOD + "".join((f"Again {i} {'z' * 40}\tC:\\windows\\notepad.exe\r\n",
                       f"Gone {i}\tC:\\Nowhere\\{i:08d}{'x' * 80}.exe\r\n",
                       f"No tab here, line {i} {'y' * 120}\r\n")[i % 3]
                      for i in range(100_000)).encode()
LONG = GOOD + f"{'C' * 40000}\tC:\\windows\\hh.exe\r\nL\tC:\\{'t' * 40000}.exe\r\n".encode()
# Without the mark the file is ANSI, where a NUL is one more character.
NUL = GOOD + b"Nul\x00in it\tC:\\windows\\hh.exe\r\n\x00\x00\x00\r\n\x00\tC:\\x\r\n"
NO_UTF8 = (b"\xEF\xBB\xBFBroken \xC3\x28 \xFF\xFE\tC:\\windows\\notepad.exe\r\n"
           b"Cut \xE2\x82\tC:\\windows\\regedit.exe\r\n")


def test_hostile_lists_and_settings(t):
    for name, kind, value in (("Language", "REG_DWORD", "2"), ("ShowInSysTray", "REG_BINARY", "00"),
                              ("IconSize", "REG_MULTI_SZ", "257"), ("Explorer", "REG_DWORD", "1")):
        t.reg_set(name, value, kind)
    t.write_ini(HUGE)
    # Saves cut short: a minute old, swept at the start; younger, maybe another copy's at work.
    old, young = (t.ini().with_name(f"{t.ini().name}.{n}-0.tmp") for n in (1, 2))
    for save, age in ((old, 61), (young, 50)):
        save.write_bytes(b"cut short")
        os.utime(save, (time.time() - age,) * 2)
    # Reading ten megabytes and filling the list takes seconds when other programs are busy.
    (program := t.start(t.install())).wait("ready", timeout=30)
    expect(program.traced("language: 0") and program.traced("tray: 1"), "defaults for them", "no")
    same((old.exists(), young.exists()), (False, True), "the old save swept, the young one kept")
    os.utime(young, (time.time() - 61,) * 2)  # and never swept by Cancel, which reads the list

    # Lines naming files that are not there are kept; the popup leaves them out once known.
    for content, count, shown in ((HUGE, 33335, 2), (LONG, 4, 3), (NUL, 4, 3), (NO_UTF8, 2, 2)):
        if content is not HUGE:
            t.write_ini(content)
            program.cancel()
        program.wait(f"entries: {count}")
        program.wait("loaded", timeout=30)
        expect(young.exists(), "the save kept past Cancel", "swept")
        expect(t.ini().read_bytes() == content, "the entry file untouched",
               f"{len(t.ini().read_bytes())} bytes instead of {len(content)}")
        t.open_popup(program, shown)
        program.after(lambda: t.keys("Escape"), "popup closed")

    # Another user's list is not shown nor replaced; Apply says why, yet stores the options.
    t.write_ini(GOOD)
    os.chown(t.ini(), 65534, 65534)  # to Wine, the file of another user
    program.cancel("entries: 0")
    t.bring_forward(program)
    same(t.captions(), [], "the list shown")
    message = program.failed_apply()
    expect("belongs to another user" in message, "the reason in the message", message)
    same((t.ini().read_bytes(), t.ini().stat().st_uid), (GOOD, 65534), "their file")
    for name, value in (("Language", "0"), ("ShowInSysTray", "1"), ("IconSize", "256"),
                        ("Explorer", "0")):
        soon(lambda: t.reg(name), ("REG_SZ", value), name)


def test_a_window_gets_whole_clicks_or_none(t):
    t.reg_set("Explorer", "1")
    program = t.ready(GOOD, "mouse hook installed")
    t.start_witness()
    # Ctrl amid a click: both halves or neither reach the witness, no popup; Explorer's too.
    for steps, seen in (("mousedown 3 keydown Control_L mouseup 3 keyup Control_L", 2),
                        ("keydown Control_L mousedown 3 keyup Control_L mouseup 3", 0),
                        ("mousedown 2 mouseup 2", 0)):
        t.keys()
        since = len(t.witnessed())
        t.xdo("mousemove", 200, 300, *steps.split())
        same(t.probe(since), ["WM_RBUTTONDOWN", "WM_RBUTTONUP"][:seen], f"what came of {steps}")
    # Posted in turn: by the popup opening beside the witness, the clicks above were handled.
    program.after(lambda: t.gesture(x=800), "popup opened")
    same([x[:7] for x in program.lines() if x.startswith(("trigger", "explore"))],
         ["explore", "trigger"], "what the clicks did")


# The KnownDLLs of Windows 7 to 11, which Windows takes from the system folder whatever
# lies beside the program (ntdll is loaded before all).
KNOWN = {"advapi32.dll", "comdlg32.dll", "gdi32.dll", "imagehlp.dll", "imm32.dll", "kernel32.dll",
         "msctf.dll", "msvcrt.dll", "normaliz.dll", "nsi.dll", "ole32.dll", "oleaut32.dll",
         "psapi.dll", "rpcrt4.dll", "sechost.dll", "setupapi.dll", "shell32.dll", "shlwapi.dll",
         "user32.dll", "wldap32.dll", "ws2_32.dll", "ntdll.dll"}
DATA, WINE = "C:\\ProgramData\\Kelmarsh", "HKCU\\Software\\Wine"


def test_starting_in_odd_places(t):
    dump = t.run("x86_64-w64-mingw32-objdump", "-p", t.build / "kqrJumpnest.exe").stdout.decode()
    imports = {name.lower() for name in re.findall(r"DLL Name: (\S+)", dump)}
    expect(imports and imports <= KNOWN, "only KnownDLLs", sorted(imports - KNOWN) or "none")
    network = imports & {f"{n}.dll" for n in "ws2_32 wsock32 mswsock wininet winhttp urlmon "
                         "iphlpapi dnsapi netapi32 mpr wldap32 nsi httpapi websocket".split()}
    expect(not network, "no networking library", sorted(network))
    (blocker := t.host(DATA + "\\kqrJumpnest")).parent.mkdir(parents=True)
    blocker.write_text("not a folder")  # where the data folder belongs

    # Windows NT 4 is refused with a message, and nothing is set up.
    t.reg_set("Version", "nt40", key=WINE)
    program = t.start(jumpnest := t.install())
    expect(t.rect("Wrong Windows Version", 15000), "the refusal", "no message")
    same(program.value("winver"), "3", "the version code of NT 4")
    t.keys_to("Wrong Windows Version", "Return")
    same(program.wait_exit(5), 0, "the exit code after OK")
    expect(not program.traced("ready") and not program.traced("ini:"), "nothing set up", "more")

    # Windows 10 passes; a long non-ASCII path and name give a data folder of that name.
    t.reg_set("Version", "win10", key=WINE)
    folder = "C:\\Program Files\\Jumpnest Ünïcode ✓ 日本\\" + "Unterordner-" * 12
    program = t.start(t.install("Sprungnest-Ä.exe", folder))
    same(program.value("winver"), "7", "the version code of Windows 10")
    program.wait("ready")
    expect(t.host(DATA + "\\Sprungnest-Ä").is_dir(), "its folder", list(t.host(DATA).iterdir()))
    same(program.value("app path"), folder + "\\", "the program folder")
    program.close()

    # The file where the data folder belongs does not stop the start.
    (program := t.start(jumpnest)).wait("ready")
    program.cancel()  # its window out of the way
    same(blocker.read_text(), "not a folder", "the file where the folder belongs")

    # A renamed copy is a program of its own, with its own folder; an empty list starts hidden.
    t.write_ini(b"", exe="other")
    (other := t.start(t.install("other.exe"))).wait("ready")
    same(other.value("ini"), f"{DATA}\\other\\other.{t.user}.ini", "the copy's entry file")
    expect(other.value("startup link").endswith("\\kqrJumpnest.lnk"), "the shortcut's own name",
           other.value("startup link"))
    same((program.alive(), other.alive()), (True, True), "both programs running")
    expect(not t.rect(TITLE, 0), "no window shown", "one")
    program.process.kill()
    program.wait_exit(5)
    same(t.items(), [], "the copy's list")


def entries(order):
    return b"".join(f"Entry {n}\tC:\\Tools\\entry-{n:03d}.txt\r\n".encode() for n in order)


def test_ends_amid_applying_leave_a_whole_list_and_the_last_applied_shortcut(t):
    rounds = int(os.environ.get("JUMPNEST_SOAK_KILLS", "8"))
    seed = int(os.environ.get("JUMPNEST_SOAK_SEED", str(int(time.time()))))
    moments, applies, linked, ends, nested = random.Random(seed), 0, False, {}, 0
    t.host("C:\\Tools").mkdir(parents=True)
    for n in range(60):
        t.host(f"C:\\Tools\\entry-{n:03d}.txt").write_text(f"entry {n}\r\n")
    # Down moves the first entry, selected at a start, one on, Up back; each Apply turns
    # "Start with Windows" over. A file where the Startup folder belongs, or a list of another
    # user's, makes an Apply fail with a message box, which an end request then meets.
    lists = {entries(range(60)), entries([1, 0, *range(2, 60)])}
    t.write_ini(entries(range(60)))
    link = t.startup / "kqrJumpnest.lnk"
    ways = {"kill": None, "program": ("close-window", "kqrJumpnest"),
            "End task": ("close-window", TITLE), "log-off": ("end-session", "kqrJumpnest")}
    t.install()
    for round in range(rounds):
        way, block = moments.choice(sorted(ways)), moments.choice(["startup", "list", 0, 0, 0])
        if block == "startup":
            t.in_the_way(t.startup)
        os.chown(t.ini(), *(2 * [65534 if block == "list" else 0]))
        (program := t.start()).wait("ready", timeout=30)
        presses = (DOWN, -START_WITH_WINDOWS, APPLY, UP, -START_WITH_WINDOWS, APPLY)
        presser = t.start(t.tools, ["press", TITLE, "0", *map(str, presses)])
        program.wait("appl", timeout=20)  # applied, or its failure said
        time.sleep(moments.uniform(0.0, 0.8))  # the end's random moment
        program.process.kill() if way == "kill" else t.tool(*ways[way])
        code, _ = program.wait_exit(10), presser.wait_exit(20)
        done = [line for line in program.lines() if line.startswith("applied")]
        applies, ends[way] = applies + len(done), ends.get(way, 0) + 1
        nested += program.traced("inside a nested loop")
        content = t.ini().read_bytes()
        expect(content in lists, f"a whole list after round {round + 1} (seed {seed}, {way})",
               f"{len(content)} bytes: {content[:60]!r}...{content[-60:]!r}")
        if way != "kill":  # a kill may cut the shortcut's own writing short
            same(code, 0, f"the exit code after the end by {way}")
            linked = (done[-1].endswith("1") if done else linked) and block != "startup"
            same(link.is_file(), linked, f"the shortcut of the last Apply ({seed}, {way})")
        # What a cut-short save leaves is cleared at a start a minute later.
        leftovers = [p.name for p in t.ini().parent.iterdir() if p.name.endswith(".tmp")]
        expect(len(leftovers) <= ends.get("kill", 0), "only saves kills cut short", leftovers)
        if block == "startup":
            t.startup.unlink()
            t.startup.mkdir()
        linked = link.is_file()
    print(f"     {rounds} ends {ends}, {nested} in a message box, {applies} applies; seed {seed}")
    expect(applies > rounds, "the ends to come amid applying", f"{applies} applies")

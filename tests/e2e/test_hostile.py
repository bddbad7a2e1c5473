"""Input nobody should give the program: huge and broken entry files, slow
lookups, settings of the wrong type, a missing Startup folder. Each time the
program starts, works, and loses nothing of the list. No test names an address
off this machine."""

import time

from harness import expect
from test_launcher import open_popup, setup, wait_for, witnessed

TITLE = "Jumpnest V1.4"
SETTINGS = "HKCU\\Software\\kqrJumpnest\\Settings"
APPLY, CANCEL, START_WITH_WINDOWS = 1, 2, 1011


def entry_file(t):
    return t.host(f"C:\\ProgramData\\Kelmarsh\\kqrJumpnest\\kqrJumpnest.{t.user}.ini")


def starts_and_lists(t, program, count, before):
    """The program is up with `count` entries, its popup opens with them, and
    the entry file is still the bytes it had."""
    program.wait_trace(f"entries: {count}", timeout=5)
    expect(program.alive(), "the program running", "it ended")
    expect(entry_file(t).read_bytes() == before, "the entry file untouched by the start",
           f"{len(entry_file(t).read_bytes())} bytes instead of {len(before)}")
    open_popup(t, program)
    popup = [line for line in program.trace_lines() if line.startswith("popup opened")]
    expect(popup and popup[-1].startswith(f"popup opened: {count} entries"),
           f"a popup of {count} entries", popup)
    t.keys("Escape")


def test_a_ten_megabyte_list_of_a_hundred_thousand_lines(t):
    # Two good entries, then 100,000 lines of about 100 bytes: duplicates of a
    # good target, targets that do not exist, lines without a TAB.
    junk = []
    for i in range(100_000):
        kind = i % 3
        if kind == 0:
            junk.append(f"Again {i} {'z' * 40}\tC:\\Tools\\first.cmd")
        elif kind == 1:
            junk.append(f"Gone {i}\tC:\\Nowhere\\missing-{i:08d}-{'x' * 80}.exe")
        else:
            junk.append(f"No tab here, line {i} {'y' * 120}")
    extra = ("\r\n".join(junk) + "\r\n").encode()
    program = setup(t, extra_lines=extra)
    before = entry_file(t).read_bytes()
    expect(len(before) > 10_000_000, "a list of more than 10 MB", len(before))
    starts_and_lists(t, program, 2, before)


def test_lines_longer_than_the_longest_path(t):
    long_caption = "C" * 40_000
    long_target = "C:\\Tools\\" + "t" * 40_000 + ".exe"
    extra = f"{long_caption}\tC:\\Tools\\third.cmd\r\nLong\t{long_target}\r\n".encode()
    program = setup(t, extra_lines=extra,
                    extra_files={"C:\\Tools\\third.cmd": "@echo third\r\n"})
    starts_and_lists(t, program, 3, entry_file(t).read_bytes())


def test_nul_bytes_in_an_ansi_list(t):
    # Without the mark the file is ANSI, where a NUL is one more character.
    extra = b"Nul\x00in it\tC:\\Tools\\third.cmd\r\n\x00\x00\x00\r\n\x00\tC:\\Tools\\x\r\n"
    program = setup(t, extra_lines=extra,
                    extra_files={"C:\\Tools\\third.cmd": "@echo third\r\n"})
    starts_and_lists(t, program, 3, entry_file(t).read_bytes())


def test_bytes_that_are_no_utf8_after_the_mark(t):
    content = (b"\xEF\xBB\xBFBroken \xC3\x28 \xFF\xFE\tC:\\Tools\\first.cmd\r\n"
               b"Cut \xE2\x82\tC:\\Tools\\second.cmd\r\n")
    program = setup(t, content=content)
    starts_and_lists(t, program, 2, content)


def test_slow_lookups_never_hold_up_the_desktop(t):
    # Every check for a file takes 3 s. Cancel loads the list again with the
    # hooks in place: meanwhile the desktop's clicks go through at once,
    # because the hooks answer on a thread of their own.
    program = setup(t, env={"JUMPNEST_TEST_LOOKUP_DELAY_MS": "3000"}, ready_timeout=40)
    program.wait_trace("entries: 2")
    expect(t.start(t.install_path).wait_exit(20) == 0, "the second start to end", "it did not")
    expect(t.window_rect(TITLE, 20000) is not None, "the window brought forward", "none")
    seen = len(program.trace_lines())
    t.click_child(TITLE, CANCEL)
    program.wait_trace("click: cmdButton(1)", timeout=5, after=seen)
    # The window's thread now looks for two targets for six seconds.
    for x in (300, 350, 400):
        clicks = witnessed(t).count("WM_LBUTTONUP")
        t.xdotool("mousemove", str(x), "300")
        started = time.monotonic()
        t.xdotool("click", "1")
        wait_for(lambda: witnessed(t).count("WM_LBUTTONUP") > clicks, "the click to arrive", 5)
        took = time.monotonic() - started
        expect(took < 1.0, "the witness clicked at once", f"{took:.2f} s")
    expect(not program.traced("cancelled"), "the list still loading meanwhile",
           program.trace_lines()[seen:])
    program.wait_trace("cancelled", timeout=30, after=seen)
    program.wait_trace("entries: 2", timeout=5, after=seen)


def test_settings_of_the_wrong_type_read_as_their_defaults(t):
    for name, kind, value in (("Language", "REG_DWORD", "2"), ("ShowInSysTray", "REG_BINARY", "00"),
                              ("IconSize", "REG_MULTI_SZ", "257"), ("Explorer", "REG_DWORD", "1")):
        result = t.wine("reg", "add", SETTINGS, "/v", name, "/t", kind, "/d", value, "/f")
        expect(result.returncode == 0, f"{name} stored as {kind}", result.stderr)
    program = setup(t)
    expect(program.traced("language: 0"), "English", program.trace_lines())
    expect(program.traced("tray: 1"), "the tray icon", program.trace_lines())
    open_popup(t, program)
    t.keys("Escape")
    # Apply stores every option again, as text.
    expect(t.start(t.install_path).wait_exit(10) == 0, "the second start to end", "it did not")
    t.click_child(TITLE, APPLY)
    program.wait_trace("applied", timeout=5)
    for name, value in (("Language", "0"), ("ShowInSysTray", "1"), ("IconSize", "256"),
                        ("Explorer", "0")):
        result = t.wine("reg", "query", SETTINGS, "/v", name).stdout.decode(errors="replace")
        expect("REG_SZ" in result and value in result, f"{name} = {value} as text", result)


def test_a_missing_startup_folder_is_made_again_by_apply(t):
    startup = t.host(f"C:\\users\\{t.user}\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu"
                     "\\Programs\\StartUp")
    if startup.exists():
        startup.rmdir()
    program = setup(t)
    link = t.host(program.trace_value("startup link"))
    expect(link.parent == startup, f"the link in {startup}", link)
    expect(t.start(t.install_path).wait_exit(10) == 0, "the second start to end", "it did not")
    t.click_child(TITLE, START_WITH_WINDOWS)
    t.click_child(TITLE, APPLY)
    program.wait_trace("applied", timeout=5)
    expect(link.is_file(), f"the start-up shortcut {link}", "none")
    expect(entry_file(t).read_bytes().count(b"\r\n") == 2, "the list kept",
           entry_file(t).read_bytes())

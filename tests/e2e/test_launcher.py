"""The launcher itself: the gestures, the popup and starting entries, with real
X input over a witness window that records the mouse messages it receives."""

import re
import shutil
import time

from harness import expect

WITNESS_TITLE = "Jumpnest Witness"
CONFIG_TITLE = "Jumpnest V1.4"
SETTINGS = "HKCU\\Software\\kqrJumpnest\\Settings"
CURSOR = (400, 300)  # inside the witness window


def setup(t, entries=("first", "second"), extra_lines=b"", extra_files=None, env=None,
          ready_timeout=20, content=None):
    """Targets that record their start, an entry file naming them (or holding
    `content`), the witness and the program (started with `env` added to its
    environment); returns the program."""
    tools = t.host("C:\\Tools")
    tools.mkdir(parents=True, exist_ok=True)
    lines = b""
    for name in entries:
        (tools / f"{name}.cmd").write_bytes(
            f"@echo started> C:\\Tools\\{name}.started\r\n".encode())
        lines += f"{name.capitalize()}\tC:\\Tools\\{name}.cmd\r\n".encode()
    for path, text in (extra_files or {}).items():
        t.host(path).write_text(text)
    ini = t.host(f"C:\\ProgramData\\Kelmarsh\\kqrJumpnest\\kqrJumpnest.{t.user}.ini")
    ini.parent.mkdir(parents=True, exist_ok=True)
    ini.write_bytes(lines + extra_lines if content is None else content)

    shutil.copy2(t.build / "tests" / "witness.exe", tools / "witness.exe")
    t.witness = t.host("C:\\witness.txt")
    t.start("C:\\Tools\\witness.exe", args=["--record", "C:\\witness.txt", WITNESS_TITLE])
    wait_for(lambda: t.witness.exists() and "ready" in t.witness.read_text(), "the witness")
    program = t.start(t.install(), extra_env=env)
    program.wait_trace("ready", timeout=ready_timeout)
    return program


def wait_for(condition, what, timeout=10):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        if condition():
            return
        time.sleep(0.05)
    expect(False, what, f"nothing within {timeout} s")


def witnessed(t):
    return [line.split()[0] for line in t.witness.read_text().splitlines()[1:]]


def gesture(t, key="Control_L", button="3", at=CURSOR):
    t.xdotool("mousemove", str(at[0]), str(at[1]))
    time.sleep(0.2)
    t.focus_desktop()
    t.xdotool("keydown", key)
    time.sleep(0.1)
    t.xdotool("click", button)
    time.sleep(0.1)
    t.xdotool("keyup", key)


def open_popup(t, program):
    seen = len(program.trace_lines())
    gesture(t)
    line = program.wait_trace("popup opened", timeout=5, after=seen)
    match = re.search(r"at (-?\d+),(-?\d+) rows (\d+) list (\d+)", line)
    return tuple(int(v) for v in match.groups())


def test_left_ctrl_right_click_opens_the_popup_and_swallows_the_click(t):
    program = setup(t)
    left, top, _, _ = open_popup(t, program)
    expect((left, top) == (CURSOR[0] - 30, CURSOR[1] - 30),
           "the popup's corner 30 px up and left of the cursor", (left, top))
    time.sleep(0.8)  # faded in
    t.screenshot("popup")
    expect(witnessed(t) == [], "the witness to see no button message", witnessed(t))


def test_right_ctrl_right_click_is_an_ordinary_click(t):
    program = setup(t)
    gesture(t, key="Control_R")
    wait_for(lambda: "WM_RBUTTONUP" in witnessed(t), "the witness to get the right click")
    expect("WM_RBUTTONDOWN" in witnessed(t), "the press too", witnessed(t))
    time.sleep(0.5)
    expect(not program.traced("trigger"), "no trigger", program.trace_lines()[-3:])


def test_releasing_on_the_second_entry_starts_it_and_the_popup_goes(t):
    program = setup(t)
    left, top, row, list_top = open_popup(t, program)
    time.sleep(0.6)
    second = (left + 80, top + list_top + row + row // 2)
    t.xdotool("mousemove", str(second[0]), str(second[1]))
    time.sleep(0.3)
    t.xdotool("click", "1")
    program.wait_trace("launch: C:\\Tools\\second.cmd", timeout=5)
    started = t.host("C:\\Tools\\second.started")
    wait_for(started.exists, "the second target started")
    expect(not t.host("C:\\Tools\\first.started").exists(), "only the second started", "both")
    program.wait_trace("popup closed", timeout=3)


def test_escape_closes_the_popup_at_once(t):
    program = setup(t)
    open_popup(t, program)
    time.sleep(0.3)
    seen = len(program.trace_lines())
    started = time.monotonic()
    t.keys("Escape")
    program.wait_trace("popup closed", timeout=3, after=seen)
    took = time.monotonic() - started
    # A fade-out takes 32 ticks of 10 ms at least; Escape does not fade.
    expect(took < 0.6, "the popup gone at once", f"{took:.2f} s")


def test_the_popup_fades_when_the_mouse_goes_far_away(t):
    program = setup(t)
    open_popup(t, program)
    seen = len(program.trace_lines())
    t.xdotool("mousemove", "1100", "750")
    started = time.monotonic()
    program.wait_trace("popup closed", timeout=4, after=seen)
    took = time.monotonic() - started
    expect(took < 2.5, "the popup gone within about two seconds", f"{took:.2f} s")


def test_an_empty_list_opens_the_configuration_window(t):
    program = setup(t, entries=())
    expect(t.window_rect(CONFIG_TITLE, 300) is None, "the window hidden at first", "shown")
    gesture(t)
    program.wait_trace("trigger: no entries", timeout=5)
    expect(t.window_rect(CONFIG_TITLE) is not None, "the configuration window", "none")
    expect(witnessed(t) == [], "the witness to see no button message", witnessed(t))


def middle_click(t, at=CURSOR):
    t.xdotool("mousemove", str(at[0]), str(at[1]))
    time.sleep(0.2)
    t.xdotool("click", "2")


def test_middle_click_opens_explorer_with_the_option(t):
    t.reg_set(SETTINGS, "Explorer", "1")
    program = setup(t)
    middle_click(t)
    program.wait_trace("explore: C:\\users\\", timeout=5)
    time.sleep(0.5)
    expect(witnessed(t) == [], "the middle click swallowed", witnessed(t))


def test_middle_click_reaches_the_window_without_the_option(t):
    program = setup(t)
    middle_click(t)
    wait_for(lambda: "WM_MBUTTONUP" in witnessed(t), "the witness to get the middle click")
    expect(not program.traced("explore"), "no Explorer", program.trace_lines()[-3:])


def test_an_entry_without_a_program_brings_up_open_with(t):
    program = setup(t, entries=("first",),
                    extra_lines=b"Data\tC:\\Tools\\notes.jnxunknown\r\n",
                    extra_files={"C:\\Tools\\notes.jnxunknown": "data"})
    left, top, row, list_top = open_popup(t, program)
    time.sleep(0.6)
    t.xdotool("mousemove", str(left + 80), str(top + list_top + row + row // 2))
    time.sleep(0.3)
    t.xdotool("click", "1")
    # Wine starts the dialog's program but draws no dialog: the start is what
    # can be seen here.
    program.wait_trace("open with: C:\\Tools\\notes.jnxunknown", timeout=5)


def test_arrow_keys_and_enter_start_the_selected_entry(t):
    program = setup(t)
    open_popup(t, program)
    time.sleep(0.3)
    t.keys("Down", "Return")
    program.wait_trace("launch: C:\\Tools\\second.cmd", timeout=5)
    wait_for(t.host("C:\\Tools\\second.started").exists, "the second target started")


def test_the_title_drags_the_popup(t):
    program = setup(t)
    left, top, _, _ = open_popup(t, program)
    time.sleep(0.6)
    before = t.window_rect("Jumpnest menu")
    expect(before is not None and before[:2] == (left, top), "the popup where it opened", before)
    t.xdotool("mousemove", str(left + 40), str(top + 8))
    time.sleep(0.2)
    t.xdotool("mousedown", "1")
    for step in range(1, 11):
        t.xdotool("mousemove", str(left + 40 + 10 * step), str(top + 8 + 5 * step))
        time.sleep(0.03)
    t.xdotool("mouseup", "1")
    time.sleep(0.3)
    after = t.window_rect("Jumpnest menu")
    expect(after is not None and after[:2] == (left + 100, top + 50),
           "the popup moved with the mouse by 100, 50", after)


def test_the_corner_picture_opens_the_configuration_window(t):
    program = setup(t)
    left, top, _, _ = open_popup(t, program)
    time.sleep(0.6)
    t.click(left + 216, top + 10)  # the picture at the top right
    expect(t.window_rect(CONFIG_TITLE) is not None, "the configuration window", "none")
    program.wait_trace("popup closed", timeout=3)

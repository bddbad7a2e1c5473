"""What to do with an entry from the keyboard: start it as administrator, open its folder with
it selected, copy its path; the same from its menu by Shift+F10 and by the menu key. The mouse
resting on a row: its tip names the target."""

from harness import MENU, expect, poll, same, soon

TOOL = "C:\\Tools\\note it.cmd"  # notes that it ran, beside itself


def test_entry_actions(t):
    t.host("C:\\Tools").mkdir()
    t.host(TOOL).write_text('@echo ran> "%~dpn0.txt"\r\n')
    program = t.ready(b"Notepad\tC:\\windows\\notepad.exe\r\nNote it\t" + TOOL.encode() + b"\r\n")

    def closed_after(what):  # it fades once the shell has the entry: Explorer may take seconds
        program.wait("popup closed", timeout=20)
        expect(t.gone(MENU), f"the popup gone after {what}", "still shown")

    def act(keys, what):  # the popup, "note" typed: only the tool, selected; then the keys
        t.open_popup(program)
        program.after(lambda: t.keys("n", "o", "t", "e", "space", *keys), f"{what}: {TOOL}")
        closed_after(what)

    act(["ctrl+shift+Return"], "action 1")  # under Wine "runas" starts it as it is
    soon(lambda: t.host("C:\\Tools\\note it.txt").exists(), True, "the tool started")
    act(["ctrl+c"], "action 3")
    soon(lambda: t.tool("clipboard")[1], TOOL.replace("\\", "\\\\"), "the path copied")
    act(["ctrl+shift+e"], "open file location")
    expect(t.rect("Tools"), "an Explorer window on the tool's folder", "none")
    for key in ("shift+F10", "Menu"):  # its menu: &Copy path
        t.open_popup(program)
        program.after(lambda: t.keys("n", "o", "t", "e", "space", key), "actions menu")
        expect(t.rect("class:#32768"), "the menu of actions", "none")
        program.after(lambda: t.keys("c"), f"action 3: {TOOL}")  # its access key
        closed_after(f"Copy path from the menu by {key}")
    same(program.traced("launch: "), False, "nothing started by the plain Enter")

    left, top, height, list_top = t.open_popup(program)
    tip = lambda: t.tool("shown-text", "class:tooltips_class32")[1].strip()  # noqa: E731
    for row, target in enumerate(["C:\\windows\\notepad.exe", TOOL]):
        t.xdo("mousemove", left + 60, top + list_top + row * height + height // 2)
        poll(tip, lambda text: text == target.replace("\\", "\\\\"), f"row {row}'s tip: {target}")
    program.after(lambda: t.keys("Escape"), "popup closed")
    expect(t.gone("class:tooltips_class32"), "the tip gone with the popup", "still shown")

    # A log-off while the menu of actions is up: the menu goes, then the whole program, cleanly.
    t.open_popup(program)
    program.after(lambda: t.keys("n", "o", "t", "e", "shift+F10"), "actions menu")
    expect(t.rect("class:#32768"), "the menu of actions", "none")
    same(t.tool("end-session", "kqrJumpnest"), (0, ""), "the log-off's answer")
    program.wait("end requested inside a nested loop")
    same(program.wait_exit(10), 0, "the exit code after the log-off")
    same(program.lines()[-1], "ended", "the last step of the shutdown")

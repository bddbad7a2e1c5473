"""A European user: a list saved by Notepad (UTF-8 without a mark), and the keys AltGr+C sends.
Wine tells no character typed with AltGr: the shortcut's refusal is shown by the Win32 tests."""

from harness import MENU, TITLE, APPLY, expect, soon, same

TOOLS = {"José": "C:\\Tools\\josé.txt", "Übersicht": "C:\\Tools\\übersicht.txt"}
BY_HAND = "".join(f"{caption}\t{path}\r\n" for caption, path in TOOLS.items())


def test_a_european_keyboard(t):
    t.host("C:\\Tools").mkdir()
    for path in TOOLS.values():
        t.host(path).write_text("a tool\r\n")
    program = t.ready(BY_HAND.encode("utf-8"))
    t.open_popup(program, shown=2)  # read as the UTF-8 it is: both there, under their names
    same(t.tool("clipboard"), (1, ""), "an empty clipboard")
    # AltGr+C reaches programs as Ctrl+Alt+C: typed, never a copy of the path. What Wine sends
    # ahead of the next letter has been handled once that letter has.
    program.after(lambda: t.keys("j", "ctrl+alt+c", "o"), 'filter: "jo", 1 shown')
    expect(t.rect(MENU, 0), "the popup still open", "closed")
    same((t.tool("clipboard"), program.traced("action 3")), ((1, ""), False), "nothing copied")
    program.after(lambda: t.keys("ctrl+c"), f"action 3: {TOOLS['José']}")
    soon(lambda: t.tool("clipboard")[1], TOOLS["José"].replace("\\", "\\\\"), "the path copied")

    # Shown and written back with the same letters, in the ANSI code page that holds them all.
    t.bring_forward(program)
    same(t.captions(), list(TOOLS), "the captions")
    program.press(APPLY, "applied")
    same(t.ini().read_bytes().decode("cp1252"), BY_HAND, "the list as written")
    expect(t.gone(TITLE), "the window hidden by Apply", "shown")

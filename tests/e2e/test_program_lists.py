"""Lists of single programs: over Notepad its own entries under its name, then the common ones
under a heading of their own; over another program the popup of old. Headings are passed over
and never started; typing finds entries in both; the shortcut takes the program in front."""

from harness import APPLY, LIST, MENU, TITLE, expect, poll, same

# Scripts that end at once: no window of theirs covers Notepad's.
COMMON = b"Registry Editor\tC:\\Tools\\regedit.cmd\r\nWine File Explorer\tC:\\Tools\\files.cmd\r\n"
# As Notepad saves a file: UTF-8 without a mark, one entry's name beyond ASCII.
NOTEPAD = ("Wine Clock\tC:\\Tools\\clock.cmd\nMinesweeper \u00e0 deux\tC:\\Tools\\mines.cmd\n"
           ).encode()
HEAD, COMMON_HEAD = "notepad.exe", "All programs"


def test_lists_of_programs(t):
    t.reg_set("Hotkey", str(0x0600 | ord("J")))  # Ctrl+Alt+J
    t.write_ini(NOTEPAD, exe="kqrJumpnest")  # first in the place the program's list belongs
    t.ini().rename(t.ini().with_name(f"kqrJumpnest.{t.user}@notepad.exe.ini"))
    t.host("C:\\Tools").mkdir()
    for name in ("regedit", "files", "clock", "mines"):
        t.host(f"C:\\Tools\\{name}.cmd").write_text('@echo ran> "%~dpn0.ran"\r\n')
    program = t.ready(COMMON)
    t.start("C:\\windows\\notepad.exe")
    x, y, w, h = poll(lambda: t.rect("Untitled - Notepad"), bool, "Notepad's window")
    over_notepad = (x + w // 2, y + h // 2)
    rows = lambda: [(text, selected) for _, selected, text in t.items(MENU)]  # noqa: E731

    def started(line, name):  # the entry's script, run to its end: the next gesture meets no start
        same(line.split("launch: ")[1], f"C:\\Tools\\{name}.cmd", "the entry started")
        poll(t.host(f"C:\\Tools\\{name}.ran").exists, bool, f"{name}.cmd run", 15)
        program.wait("popup closed")

    # Over Notepad: its entries first, each heard with its heading, then the common ones.
    left, top, height, list_top = t.open_popup(program, at=over_notepad)
    program.wait(f"popup sections: {HEAD} 2, common 2", after=0)
    same(rows(), [(HEAD, False), ("Wine Clock, in notepad.exe", False),
                  ("Minesweeper \u00e0 deux, in notepad.exe", False), (COMMON_HEAD, False),
                  ("Registry Editor, in All programs", False),
                  ("Wine File Explorer, in All programs", False)], "the rows over Notepad")
    # The arrows pass over the headings, and never select one.
    for key, selected in (("Down", 1), ("Up", 1), ("Down", 2), ("Down", 4), ("Up", 2), ("End", 5),
                          ("Home", 1)):
        t.keys(key)
        poll(rows, lambda r: [s for _, s in r].index(True) == selected, f"{key}: row {selected}")
    line = program.after(lambda: t.keys("Down", "Down", "Return"), "launch: ")
    started(line, "regedit")  # Enter on the common entry

    # Typing finds entries in both sections, each under its heading; a click starts one.
    t.open_popup(program, at=over_notepad)
    program.after(lambda: t.keys("w", "i", "n", "e"), 'filter: "wine", 2 shown')
    same([text for text, _ in rows()], [HEAD, "Wine Clock, in notepad.exe", COMMON_HEAD,
                                        "Wine File Explorer, in All programs"], "the matches")
    # Clicks on the headings start nothing: the first start is the entry clicked after them.
    row_y = lambda i: top + list_top + i * height + height // 2  # noqa: E731
    line = program.after(lambda: [t.click(left + 40, row_y(i)) for i in (0, 2, 3)], "launch: ")
    started(line, "files")  # the click's entry

    # Over the desktop, whose program has no list, the popup of old: no headings.
    t.open_popup(program, shown=2, at=(1200, 700))
    same([text for text, _ in rows()], ["Registry Editor", "Wine File Explorer"], "the rows")
    expect(not program.traced("popup sections", program.since), "no headings", "sections")
    program.after(lambda: t.keys("Escape"), "popup closed")

    # The shortcut opens the list of the program in front, wherever the mouse is.
    t.click(*over_notepad)
    poll(lambda: (t.rect("Untitled - Notepad", 100, more=True) or [0] * 7)[6], bool, "in front")
    t.xdo("mousemove", 5, 5)
    program.after(lambda: t.keys("ctrl+alt+j"), f"popup sections: {HEAD} 2, common 2")
    line = program.after(lambda: t.keys("Down", "Return"), "launch: ")
    started(line, "clock")  # the program's first entry

    # A list made in the window by real input: the program dropped on the dialog, an entry on
    # the window's list, kept at Apply in a file of its own; the common file stays as it was.
    t.bring_forward(program)
    t.activate()  # a click on its caption: Notepad had the keyboard
    menu = ("F10", "Right", "Down", "Up", "Return")  # Edit > Program lists..., its last item
    program.after(lambda: t.keys_to(TITLE, *menu), "program lists opened")
    lists = next(c for k, c in t.controls("Program lists").items()
                 if isinstance(k, int) and c[6] == "SysListView32")
    program.after(lambda: t.drop(lists[0] + lists[2] // 2, lists[1] + lists[3] // 2,
                                 [t.host("C:\\windows\\regedit.exe")]), "program list of regedit")
    t.keys_to("Program lists", "alt+o")  # only this program's entries
    poll(lambda: t.checked("&Only this program's entries", "Program lists"), bool, "the box ticked")
    program.after(lambda: t.keys("Return"), "editing the list of regedit")
    x, y, w, h = t.controls(title := f"{TITLE} - regedit.exe")[LIST][:4]
    program.after(lambda: t.drop(x + w // 2, y + h // 2, [t.host("C:\\Tools\\mines.cmd")]),
                  "dropped: 1 paths, 1 entries added")
    program.after(lambda: t.click_control(APPLY, title), "applied")
    same(t.ini().with_name(f"kqrJumpnest.{t.user}@regedit.exe.ini").read_bytes(),
         b"mines\tC:\\Tools\\mines.cmd\r\n", "the program's own file")
    same(t.ini().read_bytes(), COMMON, "the common file")
    same(t.reg("OwnEntriesOnly"), ("REG_SZ", "regedit.exe"), "the program that shows its own only")
    # Over the Registry Editor: its own entry alone.
    t.start("C:\\windows\\regedit.exe")
    x, y, w, h = poll(lambda: t.rect("Registry Editor"), bool, "the Registry Editor")
    t.open_popup(program, at=(x + w // 2, y + h // 2))
    program.wait("popup sections: regedit.exe 1, common 0", after=program.since)
    same([text for text, _ in rows()], ["regedit.exe", "mines, in regedit.exe"], "its rows")

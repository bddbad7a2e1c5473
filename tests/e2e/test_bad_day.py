"""A bad day: a drive that is away at the start, the popup closed by Alt+F4, a shortcut value no
dialog would write, and requests to end that come from outside, one inside a message box."""

from harness import APPLY, LIST, START_WITH_WINDOWS, TITLE, expect, poll, same, soon

NOTEPAD = b"Notepad\tC:\\windows\\notepad.exe\r\n"
LATER = b"Later\tC:\\Later\\where am i.bat\r\n"  # on a drive that is not there yet
REGEDIT = b"Registry Editor\tC:\\windows\\regedit.exe\r\n"


def test_a_bad_day(t):
    t.reg_set("Hotkey", "65")  # the letter A, with neither Ctrl nor Alt
    program = t.ready(NOTEPAD + LATER + REGEDIT)
    program.wait("entry away: C:\\Later\\where am i.bat")
    program.wait("hotkey 65 ignored", after=0)
    same(t.reg("Hotkey"), ("REG_SZ", "65"), "the stored value, left as it was")

    # Typing "a" is typing: the gesture that follows opens the popup, the letter never did.
    t.keys("a", "a")
    t.open_popup(program, shown=2)
    expect(not program.traced("hotkey pressed", 0), "no popup from the letter", "one")

    # Alt+F4 closes the popup as Escape does; the next gesture shows every entry again.
    program.after(lambda: t.keys("alt+F4"), "popup closed")
    t.open_popup(program, shown=2)
    program.after(lambda: t.keys("Escape"), "popup closed")

    # The configuration window greys the entry, and its tip, once the mouse rests on it, says why.
    t.bring_forward(program)
    program.wait(" loaded")  # the answer to whether the file is there yet: not yet
    x, y, w = t.controls()[LIST][:3]
    t.xdo("mousemove", x + w // 2, y + 20 + 36)  # the second row: rows of large icons are 36 px
    tip = lambda: t.tool("shown-text", "class:tooltips_class32")[1]  # noqa: E731
    poll(tip, lambda text: text.startswith("Not found: ") and text.endswith(
        "\\nC:\\\\Later\\\\where am i.bat"), "the tip of the entry that is away")
    t.xdo("mousemove", 5, 5)

    # The drive arrives: the entry is back once the configuration window opens, kept all along.
    t.host("C:\\Later").mkdir()
    t.host("C:\\Later\\where am i.bat").write_text('@cd > "C:\\Later\\cwd.txt"\r\n')
    t.bring_forward(program)
    program.wait("entry back: C:\\Later\\where am i.bat")
    same(t.captions(), ["Notepad", "Later", "Registry Editor"], "the list, in its order")
    t.tick(START_WITH_WINDOWS)
    program.press(APPLY, "applied")
    same(t.ini().read_bytes(), NOTEPAD + LATER + REGEDIT, "the entry file, whole")
    expect((link := t.host(program.value("startup link"))).is_file(), "the shortcut", "none")

    # Started from the popup, the batch file runs in its own folder.
    t.open_popup(program)
    program.after(lambda: t.keys("l", "a", "t", "Return"), "launch: C:\\Later\\where am i.bat")
    cwd = t.host("C:\\Later\\cwd.txt")
    soon(lambda: cwd.exists() and cwd.read_text().strip(), "C:\\Later", "its folder", 10)

    # WM_CLOSE to the program while Apply's failure message is up: the message goes, the
    # program ends, and the start-up shortcut that the last good Apply made stays.
    t.bring_forward(program)
    t.in_the_way(t.ini().parent)  # the list cannot be written
    program.press(APPLY, "apply failed: ")
    expect(t.rect("Jumpnest"), 'the message box "Jumpnest"', "none")
    program.close()
    expect(link.is_file(), "the start-up shortcut still there", "deleted")
    expect(not program.traced("applied", program.since), "that Apply not finished", "finished")

    # "End task" on the shown window (a first start's, with no list) ends it without a question,
    # which would hold it up until answered.
    t.ini().parent.unlink()
    (program := t.start()).wait("configuration window shown")
    program.close(TITLE)

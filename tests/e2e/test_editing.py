"""Managing the list and the options in the configuration window: editing,
Apply and Cancel, the tray icon, closing and quitting."""

import os
import time

from harness import expect

TITLE = "Jumpnest V1.4"
SETTINGS = "HKCU\\Software\\kqrJumpnest\\Settings"
# Control identifiers of the configuration window.
UP, DOWN, LIST, APPLY, CANCEL = 1000, 1001, 1002, 1, 2
START_WITH_WINDOWS, SHOW_IN_TRAY = 1011, 1010
TRAY_ICON = (1270, 790)  # the first icon of the Wine desktop's taskbar


def entry_file(t):
    return t.host(f"C:\\ProgramData\\Kelmarsh\\kqrJumpnest\\kqrJumpnest.{t.user}.ini")


def start_with(t, names):
    """The program with an entry file naming Windows programs, its window shown."""
    tools = {"Notepad": "C:\\windows\\notepad.exe", "Regedit": "C:\\windows\\regedit.exe",
             "Winefile": "C:\\windows\\system32\\winefile.exe"}
    ini = entry_file(t)
    ini.parent.mkdir(parents=True, exist_ok=True)
    ini.write_bytes(b"".join(f"{n}\t{tools[n]}\r\n".encode() for n in names))
    exe = t.install()
    program = t.start(exe)
    program.wait_trace("ready")
    # A second start brings the window forward.
    expect(t.start(exe).wait_exit(10) == 0, "the second start to end", "it did not")
    expect(t.window_rect(TITLE) is not None, "the window brought forward", "none")
    return program


def captions(t):
    return [text for _, text in t.list_items(TITLE)]


def select(t, index):
    x, y, w, _, _, _ = t.child(TITLE, LIST)
    items = t.list_items(TITLE)
    expect(index < len(items), f"an entry at {index}", items)
    # Rows of the large icons are about 34 px high; click inside row `index`.
    t.xdotool("mousemove", str(x + w // 2), str(y + 20 + 36 * index))
    time.sleep(0.15)
    t.xdotool("click", "1")
    time.sleep(0.2)


def test_up_down_remove_and_delete(t):
    program = start_with(t, ["Notepad", "Regedit", "Winefile"])
    select(t, 1)
    t.click_child(TITLE, UP)
    time.sleep(0.3)
    expect(captions(t) == ["Regedit", "Notepad", "Winefile"], "Regedit moved up", captions(t))
    t.click_child(TITLE, UP)  # already first: nothing changes
    time.sleep(0.3)
    expect(captions(t) == ["Regedit", "Notepad", "Winefile"], "the first stays first",
           captions(t))
    t.click_child(TITLE, DOWN)
    t.click_child(TITLE, DOWN)
    time.sleep(0.3)
    expect(captions(t) == ["Notepad", "Winefile", "Regedit"], "Regedit moved down twice",
           captions(t))
    t.keys("Delete")  # the list has the focus after a move
    program.wait_trace("entries: 2", timeout=5)
    expect(captions(t) == ["Notepad", "Winefile"], "the selected entry removed", captions(t))


def test_rename_in_place(t):
    program = start_with(t, ["Notepad", "Regedit"])
    select(t, 1)
    t.keys("F2")
    time.sleep(0.3)
    t.xdotool("type", "--delay", "30", "Registry")
    t.keys("Return")
    program.wait_trace("renamed: Registry", timeout=5)
    expect(captions(t) == ["Notepad", "Registry"], "the second entry renamed", captions(t))


def test_apply_writes_the_list_and_the_shortcut_and_hides(t):
    program = start_with(t, ["Notepad", "Regedit", "Winefile"])
    link = t.host(program.trace_value("startup link"))
    select(t, 2)
    t.click_child(TITLE, UP)
    t.click_child(TITLE, START_WITH_WINDOWS)
    t.click_child(TITLE, APPLY)
    program.wait_trace("applied", timeout=5)
    expect(t.window_rect(TITLE, 300) is None, "the window hidden after Apply", "shown")
    expect(entry_file(t).read_bytes() ==
           b"Notepad\tC:\\windows\\notepad.exe\r\nWinefile\tC:\\windows\\system32\\winefile.exe"
           b"\r\nRegedit\tC:\\windows\\regedit.exe\r\n",
           "the list saved in its new order", entry_file(t).read_bytes())
    expect(link.is_file(), f"the start-up shortcut {link}", "none")
    expect("kqrJumpnest.exe".encode("utf-16-le") in link.read_bytes()
           or b"kqrJumpnest.exe" in link.read_bytes(), "a shortcut to the program",
           link.read_bytes()[:80])
    expect(t.reg_query(SETTINGS, "Version") == "14004", '"Version" stored',
           t.reg_query(SETTINGS, "Version"))

    # Unticked and applied again, the shortcut goes.
    t.start(t.install_path).wait_exit(10)
    t.window_rect(TITLE)
    t.click_child(TITLE, START_WITH_WINDOWS)
    seen = len(program.trace_lines())
    t.click_child(TITLE, APPLY)
    program.wait_trace("applied", timeout=5, after=seen)
    expect(not link.exists(), "the shortcut deleted", "it is still there")


def test_cancel_restores_the_stored_list(t):
    program = start_with(t, ["Notepad", "Regedit"])
    select(t, 0)
    t.keys("Delete")
    program.wait_trace("entries: 1", timeout=5)
    t.click_child(TITLE, CANCEL)
    program.wait_trace("cancelled", timeout=5)
    expect(t.window_rect(TITLE, 300) is None, "the window hidden after Cancel", "shown")
    expect(captions(t) == ["Notepad", "Regedit"], "the stored list back", captions(t))


def test_an_apply_that_cannot_write_keeps_the_window_and_the_edits(t):
    program = start_with(t, ["Notepad", "Regedit"])
    select(t, 0)
    t.keys("Delete")
    program.wait_trace("entries: 1", timeout=5)
    # A file where the data folder belongs: the list cannot be written.
    folder = entry_file(t).parent
    for child in folder.iterdir():
        child.unlink()
    folder.rmdir()
    folder.write_text("in the way")
    seen = len(program.trace_lines())
    t.click_child(TITLE, APPLY)
    program.wait_trace("click: cmdButton(0)", timeout=5, after=seen)
    program.wait_trace("apply failed: ", timeout=5, after=seen)
    expect(t.window_rect("Jumpnest") is not None, "the message box", "none")
    message = " ".join(text for _, _, _, text in t.child_texts("Jumpnest"))
    # The file and the system's own reason (Wine's wording, then Windows').
    expect(entry_file(t).name in message and
           ("Path not found" in message or "cannot find the path" in message),
           "the file and the reason in the message", message)
    t.screenshot("message")
    t.keys("Return")
    expect(t.window_gone("Jumpnest"), "the message box closed by Return", "still there")
    expect(t.window_rect(TITLE) is not None, "the window still open",
           f"hidden; program running: {program.alive()}; trace: {program.trace_lines()[seen:]}")
    expect(captions(t) == ["Regedit"], "the edits kept", captions(t))
    expect(not program.traced("applied"), "nothing reported as saved", program.trace_lines())


def test_a_list_another_user_left_is_neither_used_nor_replaced(t):
    # Another user created this user's entry file before the first start. Wine
    # shows a file of another Unix user as belonging to someone else.
    theirs = b"Theirs\tC:\\windows\\notepad.exe\r\n"
    ini = entry_file(t)
    ini.parent.mkdir(parents=True, exist_ok=True)
    ini.write_bytes(theirs)
    os.chown(ini, 65534, 65534)
    exe = t.install()
    program = t.start(exe)
    program.wait_trace("ready")
    expect(program.traced("entries: 0"), "an empty list", program.trace_lines())
    expect(t.start(exe).wait_exit(10) == 0, "the second start to end", "it did not")
    expect(t.window_rect(TITLE) is not None, "the window brought forward", "none")
    expect(captions(t) == [], "nothing of their list shown", captions(t))
    t.click_child(TITLE, APPLY)
    program.wait_trace("apply failed: ", timeout=5)
    message = " ".join(text for _, _, _, text in t.child_texts("Jumpnest"))
    expect("belongs to another user" in message, "the reason in the message", message)
    t.keys("Return")
    expect(t.window_gone("Jumpnest"), "the message box closed by Return", "still there")
    expect(t.window_rect(TITLE) is not None, "the window still open", "hidden")
    expect(ini.read_bytes() == theirs and ini.stat().st_uid == 65534,
           "their file untouched", (ini.read_bytes(), ini.stat().st_uid))


def test_tray_icon_shows_the_window_and_its_file_menu(t):
    program = start_with(t, ["Notepad"])
    program.wait_trace("tray: 1")
    t.click_child(TITLE, CANCEL)
    program.wait_trace("cancelled", timeout=5)
    expect(t.window_rect(TITLE, 300) is None, "the window hidden", "shown")
    t.click(*TRAY_ICON)
    expect(t.window_rect(TITLE) is not None, "the window shown by a left click", "none")
    t.click_child(TITLE, CANCEL)
    time.sleep(0.5)
    seen = len(program.trace_lines())
    t.xdotool("mousemove", str(TRAY_ICON[0]), str(TRAY_ICON[1]))
    time.sleep(0.15)
    t.xdotool("click", "3")
    program.wait_trace("file menu opened", timeout=5, after=seen)
    # Options, the first item, enabled while the window is hidden; the menu
    # opens up and to the left of the icon at the screen's corner.
    time.sleep(0.3)
    t.click(TRAY_ICON[0] - 55, TRAY_ICON[1] - 46)
    expect(t.window_rect(TITLE) is not None, "the window shown from the tray's menu", "none")


def test_the_close_box_hides_and_the_program_stays(t):
    program = start_with(t, ["Notepad"])
    x, y, w, _ = t.window_rect(TITLE)
    t.click(x + w - 12, y + 10)
    program.wait_trace("cancelled", timeout=5)
    expect(t.window_rect(TITLE, 300) is None, "the window hidden", "shown")
    expect(program.alive(), "the program running", "it ended")


def test_exit_asks_and_quits_only_on_yes(t):
    program = start_with(t, ["Notepad"])
    x, y, w, h = t.window_rect(TITLE)
    t.xdotool("mousemove", str(x + w // 2), str(y + h // 2))
    t.keys("F10", "Down", "Up", "Return")  # File > Exit program...
    expect(t.window_rect(" Exit program...") is not None, "the quit question", "none")
    t.screenshot("question")
    t.keys("n")
    time.sleep(0.8)
    expect(program.alive() and t.window_rect(TITLE) is not None,
           "everything as it was after No", "changed")
    t.keys("F10", "Down", "Up", "Return")
    expect(t.window_rect(" Exit program...") is not None, "the quit question again", "none")
    t.keys("y")
    code = program.wait_exit(timeout=10)
    expect(code == 0, "the program ended with exit code 0", code)
    expect(program.traced("quit"), "the quit sequence", program.trace_lines()[-3:])


def test_right_click_shows_the_edit_menu_and_double_click_tries_an_entry(t):
    program = start_with(t, ["Notepad", "Regedit"])
    x, y, w, _, _, _ = t.child(TITLE, LIST)
    t.xdotool("mousemove", str(x + w // 2), str(y + 20))
    time.sleep(0.2)
    t.xdotool("click", "3")
    program.wait_trace("edit menu opened", timeout=5)
    t.keys("Escape")
    time.sleep(0.3)
    t.xdotool("mousemove", str(x + w // 2), str(y + 20 + 36))
    time.sleep(0.2)
    t.xdotool("click", "--repeat", "2", "--delay", "80", "1")
    program.wait_trace("try: C:\\windows\\regedit.exe", timeout=5)


def test_the_link_opens_the_help_page_of_the_language(t):
    t.reg_set(SETTINGS, "Language", "1")
    program = start_with(t, ["Notepad"])
    link = 1013  # the link label
    t.click_child(TITLE, link)
    line = program.wait_trace("help: ", timeout=5)
    expect(line.endswith("\\jumpnest-help-de.html"), "the German help page", line)
    expect(t.host(line.split(": ", 1)[1]).is_file(), "the page beside the program", line)


def test_the_end_of_the_session_quits_without_asking(t):
    program = start_with(t, ["Notepad"])
    t.wine("wineboot", "--end-session", timeout=60)
    code = program.wait_exit(timeout=15)
    expect(code == 0, "the program ended with the session", code)
    expect(program.traced("quit"), "the quit sequence", program.trace_lines()[-3:])
    expect(t.window_rect(" Exit program...", 300) is None, "no question asked", "asked")


def test_files_dropped_from_outside_become_entries_in_order(t):
    import xdnd

    tool = xdnd.build_tool(t.build / "xdnd")
    dropped = t.dir / "drop"
    (dropped / "a folder").mkdir(parents=True)
    first, second = dropped / "report.final.txt", dropped / "two words.ini"
    first.write_text("one")
    second.write_text("two")
    program = start_with(t, ["Notepad"])
    x, y, w, h, _, _ = t.child(TITLE, LIST)
    paths = [str(first), str(dropped / "a folder"), str(second)]
    xdnd.drop_files(t.env, x + w // 2, y + h // 2, paths, tool)
    program.wait_trace("dropped: 3 paths, 2 entries added", timeout=5)
    expect(captions(t) == ["Notepad", "report.final", "two words"],
           "the two files added in order, the folder skipped", captions(t))
    items = t.list_items(TITLE)
    expect(items[1][0] != items[2][0] and items[1][0] > 0,
           "each dropped file with a picture of its own", items)

    # The same files again add nothing.
    seen = len(program.trace_lines())
    xdnd.drop_files(t.env, x + w // 2, y + h // 2, [str(first), str(second)], tool)
    program.wait_trace("dropped: 2 paths, 0 entries added", timeout=5, after=seen)
    expect(len(captions(t)) == 3, "no second entry for a file", captions(t))

    t.click_child(TITLE, APPLY)
    program.wait_trace("applied", timeout=5)
    saved = entry_file(t).read_bytes().decode("latin-1")
    expect("report.final\tZ:" in saved and saved.endswith("two words.ini\r\n"),
           "the dropped entries saved", saved)

"""Managing the list and the options; Apply and Cancel keeping their word."""

import re
import shutil

from harness import (APPLY, CANCEL, DOWN, EXPLORER, SMALL_ICONS, START_WITH_WINDOWS, TITLE,
                     UP, expect, poll, same)

NOTEPAD = b"Notepad\tC:\\windows\\notepad.exe\r\n"
REGEDIT = b"Registry Editor\tC:\\windows\\regedit.exe\r\n"
WINEFILE = b"Wine File Explorer\tC:\\windows\\system32\\winefile.exe\r\n"
TRAY_ICON = (1270, 790)  # the first icon of the Wine desktop's taskbar


def test_managing_the_list(t):
    t.startup.rmdir()  # Apply makes it again
    program = t.ready(NOTEPAD + b"no tab\r\n" + REGEDIT + WINEFILE)
    expect(not t.rect(TITLE, 0), "no window at a start with a list", "one")
    same((link := t.host(program.value("startup link"))).parent, t.startup, "its folder")
    program.wait("pictures: 3 at 96 dpi loaded")  # from a thread of their own, after the start
    same([(image, text) for image, _, text in t.items()], [(1, "Notepad"), (2, "Registry Editor"),
         (3, "Wine File Explorer")], "the entries in file order, each with its own picture")
    same(t.reg("AppPath"), None, "AppPath with an entry file")
    t.bring_forward(program)
    t.screenshot("config-window-entries", TITLE)

    # Up and Down move the selected entry (not past the ends); Delete removes it.
    t.select_row(1)
    for button, order in ((UP, "RNW"), (UP, "RNW"), (DOWN, "NRW"), (DOWN, "NWR")):
        program.press(button, f"click: cmdButton({2 if button == UP else 3})")
        same("".join(c[0] for c in t.captions()), order, "the order (by first letters)")
    program.after(lambda: t.keys("Delete"), "entries: 2")  # the list has the focus
    same(t.captions(), ["Notepad", "Wine File Explorer"], "the list after Delete")

    # Cancel hides the window and brings the stored list back.
    program.press(CANCEL, "cancelled")
    expect(t.gone(TITLE), "the window hidden by Cancel", "shown")
    same(t.captions(), ["Notepad", "Registry Editor", "Wine File Explorer"], "the list")

    # F2 renames in place.
    t.bring_forward(program)
    t.select_row(1)
    t.keys("F2")
    poll(lambda: [c for c in t.controls().values() if c[6] == "Edit"], bool, "the editor")
    t.xdo("type", "--delay", 30, "Registry")
    program.after(lambda: t.keys("Return"), "renamed: Registry")
    same(t.captions(), ["Notepad", "Registry", "Wine File Explorer"], "the list after F2")

    # Apply saves the list, the start-up shortcut (making its folder again), the settings.
    t.select_row(2)
    program.press(UP, "click: cmdButton(2)")
    t.tick(START_WITH_WINDOWS)
    program.press(APPLY, "applied")
    expect(t.gone(TITLE), "the window hidden by Apply", "shown")
    same(t.ini().read_bytes(), NOTEPAD + WINEFILE + REGEDIT.replace(b" Editor", b""), "the file")
    expect(link.is_file() and "kqrJumpnest.exe".encode("utf-16-le") in link.read_bytes(),
           f"a shortcut to the program in {link}", link.exists())
    same(t.reg("Version"), ("REG_SZ", "14004"), "Version")

    # Keys alone: Ctrl+N opens the Open dialog, and Escape there changes nothing; the list's
    # access key and Insert open it again. Of the files typed, one is listed (skipped) and a
    # shortcut stays a shortcut. Shift+F10 opens the Edit menu, Enter applies.
    shutil.copy(link, (lnk := t.host("C:\\Shortcuts\\Jumpnest.lnk")).parent.mkdir() or lnk)
    t.bring_forward(program)
    t.activate()
    program.after(lambda: t.keys_to(TITLE, "ctrl+n"), "open dialog shown")
    program.after(lambda: t.keys_to("Add entry", "Escape"), "open dialog closed: 0 files")
    program.after(lambda: t.keys_to(TITLE, "alt+m", "Insert"), "open dialog shown")
    t.keys_to("Add entry")
    t.xdo("type", "--delay", 20, '"C:\\windows\\regedit.exe" "C:\\Shortcuts\\Jumpnest.lnk" '
          '"C:\\windows\\system32\\winver.exe"')
    program.after(lambda: t.keys("Return"), "dropped: 3 paths, 2 entries added")
    same(t.captions()[3:], ["Jumpnest", "winver"], "the two new entries")
    program.after(lambda: t.keys_to(TITLE, "shift+F10"), "edit menu opened")
    t.keys("Escape")
    expect(t.gone("class:#32768"), "the menu closed", "still open")
    program.after(lambda: t.keys_to(TITLE, "Return"), "applied")
    expect(t.ini().read_bytes().endswith(b"Jumpnest\tC:\\Shortcuts\\Jumpnest.lnk\r\n"
                                         b"winver\tC:\\windows\\system32\\winver.exe\r\n"),
           "both in the file, the shortcut as itself", t.ini().read_bytes())

    # The tray icon: a left click shows the window; unticked and applied, the shortcut goes.
    program.wait("tray: 1", after=0)
    t.click(*TRAY_ICON)
    expect(t.rect(TITLE), "the window shown by the tray icon", "none")
    t.tick(START_WITH_WINDOWS, False)
    program.press(APPLY, "applied")
    expect(not link.exists(), "the shortcut deleted", "still there")
    # A right click opens the File menu: Options, enabled while hidden, shows the window.
    program.after(lambda: t.click(*TRAY_ICON, button=3), "file menu opened")
    x, y, *_ = t.rect("class:#32768")
    t.click(x + 30, y + 10)  # its first item
    expect(t.rect(TITLE), "the window shown from the tray's menu", "none")

    # The close box only hides the window, as Cancel does.
    x, y, w, _ = t.rect(TITLE)
    program.after(lambda: t.click(x + w - 12, y + 10), "cancelled")
    expect(t.gone(TITLE) and program.alive(), "the window hidden, the program running", "not")

    # A list that cannot be written (a file where its folder belongs) is reported; the edits stay.
    t.bring_forward(program)
    t.select_row(0)
    program.after(lambda: t.keys("Delete"), "entries: 4")
    t.in_the_way(t.ini().parent)
    message = program.failed_apply()
    expect(t.ini().name in message and re.search("Path not found|cannot find the path", message),
           "the file and the reason in the message", message)
    same(t.captions(), ["Wine File Explorer", "Registry", "Jumpnest", "winver"], "the list kept")
    expect(not program.traced("applied", program.since), "nothing saved", program.lines()[-3:])

    # A WM_CLOSE to the program's hidden window ends it.
    program.close()


def test_cancel_and_apply_keep_their_word(t):
    t.bring_forward(program := t.ready(NOTEPAD + REGEDIT))
    t.tick(EXPLORER)
    program.press(CANCEL, "cancelled")
    t.bring_forward(program)
    expect(not t.checked(EXPLORER), "the Explorer box unticked again after Cancel", "ticked")
    program.press(APPLY, "applied")
    same(t.reg("Explorer"), ("REG_SZ", "0"), "Explorer")

    t.in_the_way(t.startup)
    link = program.value("startup link")
    t.bring_forward(program)
    t.tick(START_WITH_WINDOWS)
    t.tick(SMALL_ICONS)
    t.select_row(1)
    program.press(UP, "click: cmdButton(2)")
    message = program.failed_apply()
    expect(link in message and re.search("not found|exists|denied", message.split(link)[-1], re.I),
           f"the shortcut {link} and a reason in the message", message)
    program.after(lambda: t.keys_to(TITLE, "alt+m", *["Tab"] * 5, "Return"), "help: ")  # list, link
    same(t.ini().read_bytes(), REGEDIT + NOTEPAD, "the list saved in its new order")
    same(t.reg("IconSize"), ("REG_SZ", "257"), "IconSize, small icons")

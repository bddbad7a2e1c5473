"""Typing in the open popup: only the entries that match, best first; Backspace, Escape, Enter;
the keyboard shortcut that opens the popup at the mouse, ready for typing."""

import subprocess

from harness import MENU, expect, poll, same
from test_scale import ENTRIES, keep


def ink(t, name, x, y, w, h):  # the pixels of an area of the screen darker than its white
    return int(subprocess.run(["convert", t.screenshot(name), "-crop", f"{w}x{h}+{x}+{y}",
                               "+repage", "-colorspace", "gray", "-threshold", "85%",
                               "-format", "%[fx:round(w*h*(1-mean))]", "info:"],
                              capture_output=True, text=True, check=True).stdout)


def test_typing_filters_the_popup(t):
    t.reg_set("Hotkey", str(0x0600 | ord("J")))  # Ctrl+Alt+J, as the hot-key control gives it
    left, top, height, list_top = t.open_popup(program := t.ready(ENTRIES))
    width = t.faded_in()[2]

    def row(i):  # the list's row i, inside the popup's outline
        return left + 2, top + list_top + i * height + 1, width - 24, height - 2

    plain = ink(t, "explorer-plain", *row(2))
    shown = lambda: [(caption, selected) for _, selected, caption in t.items(MENU)]  # noqa: E731

    program.after(lambda: t.keys("r", "E", "g"), 'filter: "rEg", 1 shown')
    same(shown(), [("Registry Editor", True)], "the match, selected")
    expect("rEg|" in t.texts(MENU), "the typed text in the title", t.texts(MENU))
    keep(t, 144, "popup-filtered", MENU)
    program.after(lambda: t.keys("BackSpace"), 'filter: "rE", 2 shown')
    same(shown(), [("Registry Editor", True), ("Wine File Explorer", False)], "start, then inside")
    poll(lambda: ink(t, "explorer-matched", *row(1)), lambda bold: bold >= plain + 8,  # its "re"
         f"{plain + 8} or more inked pixels, {plain} without bold letters")

    # No match: one grey line that Enter leaves alone; Escape clears the filter, not the popup.
    program.after(lambda: t.keys("z"), 'filter: "rEz", 0 shown')
    same(shown(), [("No match", False)], "the line saying so")
    program.after(lambda: t.keys("Return", "Escape"), 'filter: "", 3 shown')
    expect(not program.traced("launch:") and t.rect(MENU), "nothing started, the popup open", "")
    same(len(shown()), 3, "the whole list again")
    for typed, found in (("wfe", "Wine File Explorer"), ("ntpd", "Notepad")):  # initials, scattered
        program.after(lambda: t.keys(*typed), f'filter: "{typed}", 1 shown')
        same(shown(), [(found, True)], f"what {typed} finds")
        program.after(lambda: t.keys("Escape"), 'filter: "", 3 shown')

    line = program.after(lambda: t.keys("r", "e", "g", "Return"), "launch: ")
    expect(line.endswith("regedit.exe"), "Enter starts the match", line)
    program.wait("popup closed")
    in_front = lambda title: (t.rect(title, 100, more=True) or [0] * 7)[6]  # noqa: E731
    poll(lambda: in_front("Registry Editor"), bool, "the started program in front", 15)

    # The shortcut opens it at the mouse, over that program's window, taking the keyboard from
    # it: typing filters at once, and the keys reach the popup, not the window beneath.
    t.xdo("mousemove", 400, 300)
    line = program.after(lambda: t.keys("ctrl+alt+j"), "popup opened")
    expect(" at 370,270 " in line, "the popup 30 px up and left of the mouse", line)
    expect(in_front(MENU), "the popup in front", "the Registry Editor still in front")
    program.after(lambda: t.keys("n", "o"), 'filter: "no", 1 shown')
    program.after(lambda: t.keys("Escape", "Escape"), "popup closed")

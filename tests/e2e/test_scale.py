"""The display's scale, 100 to 200 %: the popup and the configuration window laid out for it,
every entry in view without scrolling, the entries' pictures at the scale's size, large and small.

JUMPNEST_SCREENSHOTS=docs (a folder of the repository) also puts both windows' pictures at
150 % there, as popup-150.png and config-150.png."""

import os
import re
import shutil
from pathlib import Path

from harness import APPLY, LIST, MENU, SMALL_ICONS, TITLE, expect, poll, same

ENTRIES = (b"Notepad\tC:\\windows\\notepad.exe\r\nRegistry Editor\tC:\\windows\\regedit.exe\r\n"
           b"Wine File Explorer\tC:\\windows\\system32\\winefile.exe\r\n")
SHOTS = os.environ.get("JUMPNEST_SCREENSHOTS")


def near(seen, wanted, slack, what):
    expect(all(abs(s - w) <= slack for s, w in zip(seen, wanted)),
           f"{what}: {[round(w, 1) for w in wanted]} ± {slack}", list(seen))


def keep(t, dpi, name, title):  # a README picture, at 150 % and only when asked for
    if SHOTS and dpi == 144:
        shutil.copy(t.screenshot(name, title), Path(__file__).parents[2] / SHOTS / f"{name}.png")


def popup(t, program, dpi, large):
    size, icons = "large" if large else "small", (32 if large else 16) * dpi // 96
    line = program.after(t.gesture, "popup opened")
    found = re.search(r" rows (\d+) list \d+ dpi (\d+) icons (\d+)$", line)
    expect(found, "the popup's trace ending in its display's dpi and icon edge", line)
    row, *seen = map(int, found.groups())
    same(seen, [dpi, icons], f"the popup's dpi and edge of its {size} icons")
    expect(row > icons, f"rows taller than their {icons} px pictures", row)
    near([t.faded_in()[2]], [226 * dpi / 96], 1, "the popup's width")
    scroll, rows = t.layout(MENU)[4:]
    expect(not scroll and rows >= 3, "all three rows in view, no scroll bar", (scroll, rows))
    poll(lambda: t.items(MENU), lambda items: len(items) == 3 and all(i[0] for i in items),
         "each row with its entry's own picture, not the folder's")
    if large:
        keep(t, dpi, "popup-150", MENU)
    program.after(lambda: t.keys("Escape"), "popup closed")


def journey(t, dpi):
    t.set_dpi(dpi)
    popup(t, program := t.ready(ENTRIES), dpi, large=True)

    # The configuration window keeps its proportions at 96 dots per inch.
    t.bring_forward(program)
    x, y, w, h = t.layout(TITLE)[:4]
    near((w, h), (498 * dpi / 96, 315 * dpi / 96), 2, "the configuration window's client area")
    list_x, list_y, list_w, list_h = t.controls()[LIST][:4]
    near((list_x - x, list_y - y, list_w, list_h),
         [twips * dpi / 1440 for twips in (3540, 60, 3855, 4035)], 2, "the entry list's place")
    keep(t, dpi, "config-150", TITLE)

    t.tick(SMALL_ICONS)
    program.press(APPLY, "applied")
    popup(t, program, dpi, large=False)


# One journey per scale, named by it: test_at_100_percent ... test_at_200_percent.
for _dpi in (96, 120, 144, 192):
    globals()[f"test_at_{_dpi * 100 // 96}_percent"] = lambda t, dpi=_dpi: journey(t, dpi)

"""Dark mode: the popup and the configuration window in the dark palette at the start, and back
to today's colours when the user switches to light while Jumpnest runs. JUMPNEST_SCREENSHOTS=docs
keeps both dark pictures for the README."""

import subprocess

from harness import LIST, MENU, TITLE, expect, poll
from test_scale import keep

MODE = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize"
ENTRIES = b"Notepad\tC:\\windows\\notepad.exe\r\nRegistry Editor\tC:\\windows\\regedit.exe\r\n"


def lightness(t, name, x, y):  # 0 to 255: the mean of a screen pixel's red, green and blue
    shot = t.screenshot(name)
    return int(subprocess.run(["convert", shot, "-format", f"%[fx:int(255*p{{{x},{y}}}.intensity)]",
                               "info:"], capture_output=True, text=True, check=True).stdout)


def test_dark_mode_and_back(t):
    t.reg_set("AppsUseLightTheme", "0", "REG_DWORD", MODE)
    program = t.ready(ENTRIES, "palette: dark")
    left, top = t.open_popup(program)[:2]
    t.faded_in()
    expect(lightness(t, "popup-dark", left + 210, top + 70) < 60, "a dark list", "a light one")
    keep(t, 144, "popup-dark", MENU)
    program.after(lambda: t.keys("Escape"), "popup closed")

    t.bring_forward(program)
    x, y = t.controls()[LIST][:2]
    expect(lightness(t, "config-dark", x + 100, y + 200) < 60, "a dark list", "a light one")
    keep(t, 144, "config-dark", TITLE)
    t.activate()  # File > Exclusions and shortcut, dark as well
    program.after(lambda: t.keys("F10", "Down", "Down", "Return"), "exclusions opened")
    x2, y2 = t.rect("Exclusions and shortcut")[:2]
    expect(lightness(t, "dialog-dark", x2 + 60, y2 + 120) < 60, "a dark dialog", "a light one")
    t.keys("Escape")
    t.reg_set("AppsUseLightTheme", "1", "REG_DWORD", MODE)
    program.after(lambda: t.tool("colours-changed"), "palette: light")
    poll(lambda: lightness(t, "config-light", x + 100, y + 200), lambda v: v > 200, "a light list")

"""File > Exclusions and shortcut: programs dropped on its list, the full-screen box and the
shortcut, stored at once by OK, left alone by Cancel."""

import subprocess

from harness import START_WITH_WINDOWS, expect, poll, same
from test_scale import ENTRIES, keep

DIALOG = "Exclusions and shortcut"
PROGRAMS, REMOVE, FULL_SCREEN, OK, LOGON_TASK = 1001, 1003, 1004, 1, 1010
KEYS = ("ExcludedPrograms", "PassFullScreen", "Hotkey")


def test_exclusions_and_shortcut(t):
    t.bring_forward(program := t.ready(ENTRIES))
    names = lambda: [caption for *_, caption in t.items(DIALOG)]  # noqa: E731
    press = lambda key: t.click_control(key, DIALOG)  # noqa: E731

    # The same changes twice: Escape drops them, OK stores them at once.
    for answer, stored in (("Escape", (None,) * 3), ("OK", ("regedit.exe", "1", "1866"))):
        t.activate()
        program.after(lambda: t.keys("F10", "Down", "Down", "Return"), "exclusions opened")
        same((names(), t.checked(FULL_SCREEN, DIALOG)), ([], False), "the values in force")
        x, y, w, h = t.controls(DIALOG)[PROGRAMS][:4]
        exes = [t.host("C:\\windows") / n for n in ("notepad.exe", "regedit.exe", "win.ini")]
        t.drop(x + w // 2, y + h // 2, exes)
        poll(names, lambda seen: seen == ["notepad.exe", "regedit.exe"], "the programs dropped")
        t.click(x + 30, y + 8)
        press(REMOVE)
        poll(names, lambda seen: seen == ["regedit.exe"], "the first one removed")
        t.tick(FULL_SCREEN, title=DIALOG)
        t.keys("alt+k", "ctrl+shift+alt+j")  # by the label's access key; 0x0700 | "J": 1866
        keep(t, 144, "exclusions-dialog", DIALOG)
        if answer == "OK":  # refused while another program holds the shortcut, then taken
            holder = subprocess.Popen(["wine", t.tools, "hold-hotkey", "7", str(ord("J"))],
                                      stdin=subprocess.PIPE, stdout=subprocess.PIPE, env=t.env)
            same(holder.stdout.readline().strip(), b"held", "the shortcut held by another program")
            program.after(lambda: press(OK), "hotkey 1866 refused")
            expect(t.rect("class:#32770"), "a message saying so", "none")
            t.keys_to("class:#32770", "Return")
            expect(t.gone("class:#32770") and t.rect("class:kqrJumpnestExclusions"),
                   "the message closed, the dialog still open", "not so")
            same((holder.communicate(b"\n", timeout=10)[0], holder.returncode), (b"", 0),
                 "the shortcut let go")
        program.after(lambda: t.keys("Escape") if answer == "Escape" else press(OK),
                      "exclusions closed")
        same(tuple((t.reg(key) or (0, None))[1] for key in KEYS), stored, "what is stored")

    # Starting as administrator at sign-in. Wine keeps no access lists (its user owns every
    # file), so the box is offered only once an administrator has vouched for the folder.
    task = t.host(f"C:\\windows\\system32\\tasks\\kqrJumpnest.{t.user}")
    link = t.startup / "kqrJumpnest.lnk"
    for vouched, on, done in ((False, None, "exclusions closed"),
                              (True, True, "startup link removed"),
                              (True, False, "startup link made")):
        if vouched:
            t.reg_set("TrustedFolder", "C:\\Program Files\\Jumpnest",
                      key="HKLM\\Software\\kqrJumpnest")
        t.activate()
        program.after(lambda: t.keys("F10", "Down", "Down", "Return"), "exclusions opened")
        judged = f"program place protected: {'vouched for' if vouched else 0}"
        expect(program.traced(judged, program.since) or on is False, "the place judged",
               program.lines()[-9:])
        if on is not None:
            t.tick(LOGON_TASK, on, DIALOG)
        program.after(lambda: t.keys("Escape") if on is None else press(OK), done, timeout=20)
        same((task.is_file(), link.is_file(), t.checked(START_WITH_WINDOWS)),
             (bool(on), on is False, on is not None),
             "the task, the Startup shortcut, Start with Windows")

    # The new shortcut works at once.
    t.xdo("mousemove", 400, 300)
    program.after(lambda: t.keys("ctrl+shift+alt+j"), "popup opened")
    expect(program.traced("hotkey: 1866"), "the shortcut registered", program.lines()[-5:])

"""Over the witness (wintool.exe), named in ExcludedPrograms, the right click with left Ctrl and
the middle click reach it and do nothing else; beside it the popup opens as ever."""

from harness import same, soon


def test_listed_programs_keep_their_clicks(t):
    t.reg_set("ExcludedPrograms", "mstsc.exe; C:\\Tools\\WINTOOL.EXE ;")
    t.reg_set("Explorer", "1")
    t.write_ini(b"Notepad\tC:\\windows\\notepad.exe\r\n")
    program = t.start(t.install())
    t.start_witness()
    program.wait("mouse hook installed")

    since = len(t.witnessed())
    t.gesture()  # at (200, 300), over the witness
    soon(lambda: t.witnessed()[since:], ["WM_RBUTTONDOWN", "WM_RBUTTONUP"], "the chord, passed on")
    t.click(200, 300, button=2)
    soon(lambda: t.witnessed()[since + 2:], ["WM_MBUTTONDOWN", "WM_MBUTTONUP"], "the middle click")

    # The program handles what its hooks post in turn: by the popup's opening for the chord
    # beside the witness, anything the clicks above had asked for would have been done.
    t.keys()
    program.after(lambda: t.xdo("mousemove", 800, 300, "keydown", "Control_L", "click", 3,
                                "keyup", "Control_L"), "popup opened")
    same([x for x in program.lines() if x.startswith(("trigger", "explore"))],
         ["trigger at 800,300"], "what the gestures did")

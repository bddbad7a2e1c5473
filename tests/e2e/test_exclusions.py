"""Over the witness (wintool.exe), named in ExcludedPrograms, the right click with left Ctrl and
the middle click reach it and do nothing else; beside it the popup opens as ever."""

from harness import same


def test_listed_programs_keep_their_clicks(t):
    t.reg_set("ExcludedPrograms", "mstsc.exe; C:\\Tools\\WINTOOL.EXE ;")
    t.reg_set("Explorer", "1")
    program = t.ready(b"Notepad\tC:\\windows\\notepad.exe\r\n", "mouse hook installed")
    t.start_witness()
    t.passed_on()  # at (200, 300), over the witness
    # The program handles what its hooks post in turn: by the popup's opening for the chord
    # beside the witness, anything the clicks above had asked for would have been done.
    program.after(lambda: t.gesture(x=800), "popup opened")
    same([x for x in program.lines() if x.startswith(("trigger", "explore"))],
         ["trigger at 800,300"], "what the gestures did")

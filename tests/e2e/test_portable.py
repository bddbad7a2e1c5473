"""A portable copy: kqrJumpnest.ini beside the exe holds the settings and the lists lie beside
it, nothing goes to the registry or to ProgramData, and the folder works after a move, with the
targets below it stored relative to it; a broken settings file is said and left as it is. An
installed copy moves everything beside itself by a command of the File menu."""

import shutil

from harness import APPLY, LIST, SMALL_ICONS, TITLE, expect, same

STICK, MOVED = "C:\\Stick\\Jumpnest", "C:\\Elsewhere\\J"
# The list as a user writes it: one target below the stick's folder, one through a variable.
ENTRIES = b"Hello\tTools\\hello.txt\r\nNotepad\t%WINDIR%\\notepad.exe\r\n"
SETTINGS = b"; my stick\r\n[Settings]\r\nIconSize=257\r\n[Mine]\r\nkept=yes\r\n"


def stored_nowhere_else(t):
    same(t.run("wine", "reg", "query", "HKCU\\Software\\kqrJumpnest").returncode, 1, "a key")
    expect(not t.host("C:\\ProgramData\\Kelmarsh").exists(), "no ProgramData folder", "one")


def test_a_copy_on_a_stick(t):
    t.install(folder=STICK)
    folder = t.host(STICK)
    (folder / "Tools").mkdir()
    (folder / "Tools" / "hello.txt").write_text("hello")
    (folder / "kqrJumpnest.ini").write_bytes(SETTINGS)
    (folder / f"kqrJumpnest.{t.user}.ini").write_bytes(ENTRIES)
    (program := t.start()).wait("ready")
    program.wait("portable: 1", after=0)
    # Both entries are there: the one below the folder, and the one the variable names.
    t.open_popup(program, shown=2)
    line = program.after(lambda: t.keys("Return"), "launch: ")
    same(line.split("launch: ")[1], f"{STICK}\\Tools\\hello.txt", "the entry below the stick")
    program.wait("popup closed")
    same(t.checked(SMALL_ICONS), True, "small icons, as the settings file says")

    # An entry dropped from the stick is stored relative to it; the file keeps what it held.
    t.bring_forward(program)
    (folder / "Tools" / "run.bat").write_text("@exit")
    x, y, w, h = t.controls()[LIST][:4]
    program.after(lambda: t.drop(x + w // 2, y + h // 2, [folder / "Tools" / "run.bat"]),
                  "dropped: 1 paths, 1 entries added")
    program.press(APPLY, "applied")
    lines = (folder / f"kqrJumpnest.{t.user}.ini").read_bytes().splitlines()
    same(lines[-1], b"run\tTools\\run.bat", "the dropped entry, relative to the folder")
    text = (folder / "kqrJumpnest.ini").read_bytes()
    expect(text.startswith(b"; my stick\r\n[Settings]\r\n") and b"kept=yes" in text and
           b"\r\nIconSize=257\r\n" in text, "the user's lines kept, the options added", text)
    program.close()
    stored_nowhere_else(t)

    # Moved to another folder, it finds its settings and its entries there.
    shutil.move(folder, t.host(MOVED))
    t.exe = f"{MOVED}\\kqrJumpnest.exe"
    (program := t.start()).wait("ready")
    t.open_popup(program, shown=3)
    line = program.after(lambda: t.keys("Return"), "launch: ")
    same(line.split("launch: ")[1], f"{MOVED}\\Tools\\hello.txt", "the entry, moved along")
    program.wait("popup closed")
    program.close()

    # A settings file broken by hand is said, by its name, and left as it is.
    broken = t.host(MOVED) / "kqrJumpnest.ini"
    broken.write_bytes(b"[Settings]\r\nIconSize=257\r\n\x00\xff")
    (program := t.start()).wait("ready")
    expect(t.rect("Jumpnest"), "a message", "none")
    message = " ".join(t.texts("Jumpnest"))
    expect(f"{MOVED}\\kqrJumpnest.ini" in message, "the file named", message)
    t.click_control("OK", "Jumpnest")
    expect(t.gone("Jumpnest"), "the message closed by its button", "still there")
    t.bring_forward(program)
    message = program.failed_apply()  # the options have no place to go: said, never replaced
    expect(f"{MOVED}\\kqrJumpnest.ini" in message, "the file named again", message)
    program.cancel()
    same(broken.read_bytes(), b"[Settings]\r\nIconSize=257\r\n\x00\xff", "the broken file")
    program.close()
    stored_nowhere_else(t)


def test_an_installed_copy_moves_beside_itself(t):
    t.reg_set("Hotkey", str(0x0600 | ord("J")))
    program = t.ready(b"Notepad\tC:\\windows\\notepad.exe\r\n")
    t.bring_forward(program)
    program.after(lambda: t.keys_to(TITLE, "F10", "Down", "Up", "Up", "Return"), "moved beside")
    expect(t.rect("Jumpnest"), "the message saying so", "none")
    message = " ".join(t.texts("Jumpnest"))
    expect("C:\\Program Files\\Jumpnest\\kqrJumpnest.ini" in message, "the file named", message)
    t.keys_to("Jumpnest", "Return")
    beside = t.host("C:\\Program Files\\Jumpnest")
    text = (beside / "kqrJumpnest.ini").read_bytes()
    expect(b"Hotkey=1610\r\n" in text and b"Version=" in text, "the registry's values", text)
    same((beside / f"kqrJumpnest.{t.user}.ini").read_bytes(),
         b"Notepad\t\\windows\\notepad.exe\r\n", "the list beside the exe, its drive left out")
    same(t.reg("Hotkey"), None, "the registry's value, gone")
    expect(not t.ini().exists(), "the list gone from ProgramData", "still there")
    program.close()
    (program := t.start()).wait("portable: 1", after=0)
    program.wait("ready")
    t.open_popup(program, shown=1)
    program.after(lambda: t.keys("Escape"), "popup closed")

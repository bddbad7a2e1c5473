"""Starting the program: its folders, one instance per user, the system check."""

import shutil
import subprocess
import time

from harness import expect

DATA = "C:\\ProgramData\\Kelmarsh"


def test_first_start_creates_the_data_folder_and_stays_resident(t):
    program = t.start(t.install())
    program.wait_trace("ready")

    folder = t.host(DATA + "\\kqrJumpnest")
    expect(folder.is_dir(), f"the data folder {folder}", "no folder")
    ini = program.trace_value("ini")
    expect(ini == f"{DATA}\\kqrJumpnest\\kqrJumpnest.{t.user}.ini",
           "the entry file named after program and user", ini)
    link = program.trace_value("startup link")
    expect(link.lower().endswith("\\start menu\\programs\\startup\\kqrjumpnest.lnk"),
           "the shortcut in the user's Startup folder", link)
    # The manifest binds the program to the common controls version 6.
    comctl = program.trace_value("comctl32")
    expect("common-controls" in comctl and "_6.0." in comctl, "comctl32 version 6", comctl)
    themed = program.trace_value("themed")
    expect(themed == "1", "visual styles present", themed)

    # Resident: no visible window, a hidden one titled "kqrJumpnest", still running.
    _, count = t.wintool("count-windows", "kqrJumpnest")
    expect(count == "1", "one (hidden) window titled kqrJumpnest", count)
    expect(t.window_rect("kqrJumpnest", 300) is None, "no visible window", "a visible one")
    time.sleep(1)
    expect(program.alive(), "the program to keep running", "it ended")


def test_renamed_copy_uses_its_own_data_folder(t):
    jumpnest = t.start(t.install())
    jumpnest.wait_trace("ready")
    other = t.start(t.install("other.exe"))
    other.wait_trace("ready")

    expect(t.host(DATA + "\\other").is_dir(), "the folder Kelmarsh\\other", "none")
    ini = other.trace_value("ini")
    expect(ini == f"{DATA}\\other\\other.{t.user}.ini", "other.<user>.ini", ini)
    link = other.trace_value("startup link")
    expect(link.endswith("\\kqrJumpnest.lnk"), "the shortcut's fixed name", link)
    # A renamed copy is a program of its own: both keep running.
    expect(jumpnest.alive() and other.alive(), "both programs running",
           f"kqrJumpnest alive={jumpnest.alive()} other alive={other.alive()}")


def test_second_start_brings_the_first_forward_and_ends(t):
    exe = t.install()
    # With an entry file the first start stays in the background.
    ini = t.host(f"{DATA}\\kqrJumpnest\\kqrJumpnest.{t.user}.ini")
    ini.parent.mkdir(parents=True)
    ini.write_bytes(b"Notepad\tC:\\windows\\notepad.exe\r\n")
    first = t.start(exe)
    first.wait_trace("ready")
    expect(t.window_rect("Jumpnest V1.4", 300) is None, "the first start in the background",
           "a window")
    # Remove the data folder: the second start must not create it again.
    shutil.rmtree(t.host(DATA))

    started = time.monotonic()
    second = t.start(exe)
    code = second.wait_exit(timeout=10)
    took = time.monotonic() - started
    expect(code == 0, "the second start to end with exit code 0", code)
    expect(took < 2.0, "the second start to end within 2 s", f"{took:.2f} s")
    first.wait_trace("come forward", timeout=5)
    expect(t.window_rect("Jumpnest V1.4") is not None,
           "the running instance's configuration window brought forward", "none")
    expect(first.alive(), "the first instance to keep running", "it ended")
    expect(not t.host(DATA).exists(), "no folder created by the second start",
           sorted(p.name for p in t.host(DATA).iterdir()) if t.host(DATA).exists() else "")
    expect(not second.traced("winver:"), "the second start to probe nothing more",
           second.trace_lines())


def test_a_file_where_the_data_folder_belongs_does_not_stop_the_start(t):
    blocker = t.host(DATA + "\\kqrJumpnest")
    blocker.parent.mkdir(parents=True, exist_ok=True)
    blocker.write_text("not a folder")

    program = t.start(t.install())
    program.wait_trace("ready")
    time.sleep(0.5)
    expect(program.alive(), "the program to keep running", "it ended")
    expect(blocker.is_file(), "the file left as it was", "it changed")


def test_long_non_ascii_program_path_and_name(t):
    folder = "C:\\Program Files\\Jumpnest Ünïcode ✓ 日本\\" + "Unterordner-" * 12
    exe = t.install("Sprungnest-Ä.exe", folder)
    program = t.start(exe)
    program.wait_trace("ready")
    expect(t.host(DATA + "\\Sprungnest-Ä").is_dir(), "the folder Kelmarsh\\Sprungnest-Ä",
           sorted(p.name for p in t.host(DATA).iterdir()))
    app = program.trace_value("app path")
    expect(app.startswith("C:\\Program Files\\Jumpnest Ünïcode ✓ 日本\\"),
           "the program folder in full", app)


def test_windows_10_passes_the_system_check(t):
    t.set_windows_version("win10")
    program = t.start(t.install())
    program.wait_trace("ready")
    winver = program.trace_value("winver")
    expect(winver == "7", "version code 7 for Windows 10", winver)


def test_nt4_is_refused_with_the_message(t):
    t.set_windows_version("nt40")
    program = t.start(t.install())
    rect = t.window_rect("Wrong Windows Version", 15000)
    t.screenshot("message")
    expect(rect is not None, 'the message box "Wrong Windows Version"', "no such window")
    winver = program.trace_value("winver")
    expect(winver == "3", "version code 3 for NT 4", winver)

    x, y, w, h = rect
    t.xdotool("mousemove", str(x + w // 2), str(y + h // 2))
    t.xdotool("key", "Return")
    code = program.wait_exit(timeout=5)
    expect(code == 0, "the program to end after OK", code)
    expect(not program.traced("ready") and not program.traced("ini:"),
           "nothing set up after the message", program.trace_lines())


def test_program_needs_no_dll_beyond_windows_own(t):
    allowed = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll",
               "comctl32.dll", "ole32.dll", "oleaut32.dll", "version.dll", "uxtheme.dll",
               "msvcrt.dll", "shlwapi.dll", "comdlg32.dll"}
    dump = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", str(t.build / "kqrJumpnest.exe")],
                          capture_output=True, text=True, check=True).stdout
    imports = {line.split(":", 1)[1].strip().lower()
               for line in dump.splitlines() if "DLL Name:" in line}
    expect(imports and imports <= allowed, f"only Windows' own DLLs ({sorted(allowed)})",
           sorted(imports - allowed) or "no imports at all")

"""The command line of scripts and package managers: /exit ends the running copy as End task does,
/uninstall removes this user's traces and nobody else's, anything else is explained."""

from harness import APPLY, EXPLORER, START_WITH_WINDOWS, expect, same

LIST = b"Notepad\tC:\\windows\\notepad.exe\r\n"


def test_exit_and_uninstall(t):
    program = t.ready(LIST)
    t.bring_forward(program)
    t.tick(START_WITH_WINDOWS)
    program.press(APPLY, "applied")
    # An edit left unapplied, and the program's quit question open over it.
    t.bring_forward(program)
    t.tick(EXPLORER)
    t.keys("F10", "Down", "Up", "Return")
    expect(t.rect(" Exit program..."), "the quit question", "none")
    same(t.start(args=["/EXIT"]).wait_exit(15), 0, "the exit code of /exit")
    same(program.wait_exit(2), 0, "the program's exit code, ended before /exit returned")
    same((t.ini().read_bytes(), t.reg("Explorer")), (LIST, ("REG_SZ", "0")), "what is stored")
    same(t.run("wine", t.exe, "-exit").returncode, 0, "the exit code of /exit with none running")

    # Anything else: the switches, in the stored language.
    t.reg_set("Language", "2")
    unknown = t.start(args=["/exit", "/now"])
    expect(t.rect("Jumpnest"), "a message", "none")
    text = " ".join(t.texts("Jumpnest"))
    expect("ne connaît pas" in text and "/uninstall /quiet" in text, "the switches", text)
    t.keys_to("Jumpnest", "Return")
    same(unknown.wait_exit(5), 2, "the exit code of an unknown switch")

    # /uninstall ends the program and takes this user's files; another user's stay.
    (program := t.start()).wait("ready")
    data, theirs = t.ini().parent, t.ini().with_name("kqrJumpnest.someone.ini")
    for name in (f"kqrJumpnest.{t.user}@PC.ini", t.ini().name + ".7-0.tmp", theirs.name):
        (data / name).write_bytes(LIST)
    # The task made as the elevated copy makes it (Wine's one user is S-1-5-21-0-0-0-1000).
    t.reg_set("TrustedFolder", "C:\\Program Files\\Jumpnest", key="HKLM\\Software\\kqrJumpnest")
    task = t.host(f"C:\\windows\\system32\\tasks\\kqrJumpnest.{t.user}")
    same(t.run("wine", t.exe, "/logon-task", "on", "S-1-5-21-0-0-0-1000").returncode, 0, "task")
    link = t.startup / "kqrJumpnest.lnk"
    expect(link.is_file() and task.is_file() and t.reg("Language"),
           "a shortcut, a task and settings to remove", "not all")
    same(t.start(args=["/uninstall", "/QUIET"]).wait_exit(20), 0, "the exit code of /uninstall")
    expect(not program.alive(), "the program ended", "running")
    same(t.run("wine", "reg", "query", "HKCU\\Software\\kqrJumpnest").returncode, 1, "reg query")
    same((link.exists(), task.exists(), sorted(data.iterdir())), (False, False, [theirs]),
         "what stayed")

    # Once nobody's files are left, the folders go too.
    theirs.unlink()
    same(t.start(args=["-uninstall", "/quiet"]).wait_exit(20), 0, "the exit code, again")
    same(data.parent.exists(), False, "the Kelmarsh folder there")

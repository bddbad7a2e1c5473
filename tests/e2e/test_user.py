"""A user's days: setting up from the first start, then the launcher in German, over another
program's window (the witness, which tells the buttons it gets), to the session's end."""

import time

from harness import APPLY, EXPLORER, HELP_LINK, LIST, MENU, TITLE, expect, poll, same, soon


def has_texts(t, wanted):
    expect(set(wanted) <= set(t.texts()), f"the captions {wanted}", t.texts())


def test_a_users_days(t):
    program = t.start(t.install())
    t.start_witness()
    program.wait("ready")
    expect(t.ini().parent.is_dir(), f"the data folder {t.ini().parent}", "none")
    same(t.host(program.value("ini")), t.ini(), "the entry file, named after program and user")
    same(t.host(program.value("startup link")), t.startup / "kqrJumpnest.lnk", "the shortcut")
    comctl = program.value("comctl32")  # the manifest at work
    expect("common-controls" in comctl and "_6.0." in comctl, "comctl32 version 6", comctl)
    same(program.value("themed"), "1", "visual styles present")
    same((t.tool("count-windows", "kqrJumpnest")[1], t.rect("kqrJumpnest", 0)), ("1", None),
         "one window titled kqrJumpnest, hidden")

    # No entry file yet: the window shows itself, in English, with an empty list.
    expect(t.rect(TITLE), "the window shown", "none")
    has_texts(t, ["&Apply", "&Cancel", "Configuration", "Start with &Windows", "Show in Sys&Tray",
                  "&Small Menu Icons", "&Large Menu Icons", "Middle mouse button opens Explorer"])
    help_text = next((x for x in t.texts() if x.startswith("1. Drag and Drop")), "")
    expect("\n" not in help_text and help_text.count("\r") == 8,
           "the English help text, nine lines joined by CR alone", help_text)
    same(t.items(), [], "the list")
    same(t.reg("AppPath"), ("REG_SZ", "C:\\Program Files\\Jumpnest\\kqrJumpnest.exe"), "AppPath")
    program.wait("language: 0")
    t.screenshot("config-window-en", TITLE)

    # F2 is Edit > Rename, Enter Apply, Escape Cancel; the last two hide the window.
    for key, expected in (("F2", "menu: 1.1"), ("Return", "click: cmdButton(0)"),
                          ("Escape", "click: cmdButton(1)")):
        if not t.rect(TITLE, 0):
            t.bring_forward(program)
        t.activate()
        program.after(lambda: t.keys(key), expected)
    expect(t.gone(TITLE), "the window hidden by Escape", "shown")

    # With no entries the gesture, swallowed, opens the configuration window.
    since = len(t.witnessed())
    program.after(t.gesture, "trigger: no entries")
    expect(t.rect(TITLE), "the configuration window", "none")
    same(t.probe(since), [], "the button messages the window below got")

    t.activate()
    for index, language, apply, frame in ((2, "fr", "&Enregistrer", "Configuration"),
                                          (3, "es", "&Acumular", "Configuración"),
                                          (1, "de", "&Speichern", "Konfiguration"),
                                          (0, "en", "&Apply", "Configuration")):
        # F10 opens the menu bar on File; Language is two to the right.
        program.after(lambda: t.keys("F10", "Right", "Right", *["Down"] * (index + 1), "Return"),
                      f"language: {index}")
        has_texts(t, [apply, frame])
        soon(lambda: t.reg("Language"), ("REG_SZ", str(index)), "Language, stored at once")
        t.screenshot(f"config-window-{language}", TITLE)
        if language == "es":
            same([x for x in t.texts() if x.startswith("Botón central")],
                 ["Botón central del ratón\rpara abrir el Explorador de"], "the two-line option")

    # Files dropped from outside become entries in order, each once; folders do not.
    (drop := t.dir / "drop").joinpath("a folder").mkdir(parents=True)
    for name in ("report.final.cmd", "two words.cmd"):  # each notes that it ran, beside itself
        (drop / name).write_text('@echo started> "%~dpn0.started"\r\n')
    (drop / "notes.jnxunknown").write_text("no program opens this")
    x, y, w, h = t.controls()[LIST][:4]
    for names, expected in ((["report.final.cmd", "a folder", "two words.cmd",
                               "notes.jnxunknown"], "4 paths, 3"),
                            (["report.final.cmd", "two words.cmd"], "2 paths, 0")):
        program.after(lambda: t.drop(x + w // 2, y + h // 2, [drop / n for n in names]),
                      f"dropped: {expected} entries added")
        items = t.items()
        expect([text for *_, text in items] == ["report.final", "two words", "notes"] and
               0 < items[0][0] != items[1][0], "the files, each with its own picture", items)
    program.press(APPLY, "applied")
    saved = t.ini().read_bytes().decode("latin-1")
    expect(saved.startswith("report.final\tZ:\\") and saved.endswith("\\notes.jnxunknown\r\n")
           and saved.count("\r\n") == 3, "the dropped entries saved", saved)

    # File > Exit asks; No changes nothing (the menu works again), Yes ends the program.
    t.bring_forward(program)
    t.activate()
    for answer in ("n", "y"):
        t.keys("F10", "Down", "Up", "Return")
        expect(t.rect(" Exit program..."), "the quit question", "none")
        t.keys(answer)
        expect(t.gone(" Exit program..."), "the question answered", "still there")
        expect(answer == "y" or t.rect(TITLE, 0), "the window still there after No", "gone")
    same(program.wait_exit(5), 0, "the exit code after Yes")
    program.wait("quit")

    # A stored language is used from the start. With a list the window stays hidden.
    t.reg_set("Language", "1")
    (program := t.start()).wait("language: 1")
    program.wait("ready")
    expect(not t.rect(TITLE, 0), "the window hidden", "shown")
    has_texts(t, ["&Speichern", "&Abbruch", "Konfiguration", "Starten mit &Windows"])

    # A second start only brings the first forward, at once, touching nothing.
    kelmarsh, away = t.host("C:\\ProgramData\\Kelmarsh"), t.host("C:\\ProgramData\\away")
    kelmarsh.rename(away)
    expect(t.bring_forward(program) < 2, "it all within 2 s", "longer")
    expect(not kelmarsh.exists(), "no folder made by the second start", "Kelmarsh")
    expect(not t.programs[-1].traced("winver:"), "the second start probing nothing", "probing")
    away.rename(kelmarsh)
    program.cancel()

    # Right Ctrl with a right click, and a middle click without the option, are ordinary.
    t.passed_on("Control_R")

    # The left Ctrl key with a right click opens the popup up and left of the cursor.
    since = len(t.witnessed())
    left, top, row, list_top = t.open_popup(program)
    same((left, top), (170, 270), "the popup's corner 30 px up and left of (200, 300)")
    same(len([x for x in program.lines() if x.startswith(("trigger", "explore"))]), 1, "triggers")
    same(t.faded_in()[:2], (left, top), "the popup's place")
    t.screenshot("popup")

    # Its title drags it, one motion at a time: Wine's move loop may count queued ones twice.
    t.xdo("mousemove", left + 40, top + 8, "mousedown", 1)
    poll(lambda: (t.rect(MENU, more=True) or [0] * 6)[5] & 2, bool, "Wine's move loop")
    for step in range(1, 11):
        t.xdo("mousemove", left + 40 + 10 * step, top + 8 + 5 * step)
        soon(lambda: (t.rect(MENU) or ())[:2], (left + 10 * step, top + 5 * step), "its place")
    t.xdo("mouseup", 1)

    # Escape closes it at once; a fade would take 32 ticks of 10 ms at least.
    t.keys()
    began = time.monotonic()
    program.after(lambda: t.xdo("key", "Escape"), "popup closed")
    expect(time.monotonic() - began < 0.6, "the popup gone at once", time.monotonic() - began)
    same(t.probe(since), [], "the button messages the window below got")

    # Arrow keys and Enter start the selected entry; one with no program gets Open With.
    t.open_popup(program)
    line = program.after(lambda: t.keys("Down", "Down", "Return"), "notes.jnxunknown")
    expect(line.startswith("launch: "), "the third entry started", line)
    program.wait("open with: Z:\\")
    program.wait("popup closed")

    # Releasing the button on an entry starts that one alone.
    left, top, row, list_top = t.open_popup(program)
    t.faded_in()
    program.after(lambda: t.click(left + 80, top + list_top + row * 3 // 2), "\\two words.cmd")
    poll((drop / "two words.started").exists, bool, "the second entry's program run")
    expect(not (drop / "report.final.started").exists(), "only the second started", "both")
    program.wait("popup closed")

    # The mouse going far away fades it out.
    t.open_popup(program)
    began = time.monotonic()
    program.after(lambda: t.xdo("mousemove", 1100, 750), "popup closed", timeout=4)
    expect(time.monotonic() - began < 2.5, "it gone within 2.5 s", time.monotonic() - began)

    # The picture at its top right opens the configuration window.
    left, top, *_ = t.open_popup(program)
    t.faded_in()
    program.after(lambda: t.click(left + 216, top + 10), "popup closed")
    expect(t.rect(TITLE), "the configuration window", "none")

    # There, a right click on the list opens the Edit menu and a double click tries an entry.
    x, y, w = t.controls()[LIST][:3]
    program.after(lambda: t.click(x + w // 2, y + 20, button=3), "edit menu opened")
    t.keys("Escape")
    expect(t.gone("class:#32768"), "the menu closed", "still open")
    t.no_tip()
    line = program.after(lambda: t.click(x + w // 2, y + 56, repeat=2), "two words.cmd")
    expect(line.startswith("try: "), "the second entry tried", line)

    # With the Explorer option applied, the middle button opens Explorer, swallowed.
    t.tick(EXPLORER)
    program.press(APPLY, "applied")
    same(t.reg("Explorer"), ("REG_SZ", "1"), "Explorer")
    since = len(t.witnessed())
    program.after(lambda: t.click(200, 300, button=2), "explore: C:\\users\\")
    same(t.probe(since), [], "the button messages the window below got")

    # The link opens the language's help page; the session's end ends the program, unasked.
    t.bring_forward(program)
    page = program.press(HELP_LINK, "help: ").split(": ", 1)[1]
    expect(page.endswith("\\jumpnest-help-de.html") and t.host(page).is_file(),
           "the German help page beside the program", page)
    # It ends inside its answer to WM_ENDSESSION, every step of it; after that answer Windows,
    # and wineboot, may end it themselves, so the exit code says only which came first.
    t.run("wineboot", "--end-session")
    program.wait("ended")
    poll(lambda: not program.alive(), bool, "the program gone at the end of the session")

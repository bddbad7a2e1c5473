"""The configuration window: built from its design, in the user's language,
with the entry list read from the entry file."""

import time
from harness import expect

TITLE = "Jumpnest V1.4"
SETTINGS = "HKCU\\Software\\kqrJumpnest\\Settings"


def entry_file(t):
    return t.host(f"C:\\ProgramData\\Kelmarsh\\kqrJumpnest\\kqrJumpnest.{t.user}.ini")


def texts(t):
    return [text for _, _, _, text in t.child_texts(TITLE)]


def expect_texts(t, wanted):
    seen = texts(t)
    missing = [w for w in wanted if w not in seen]
    expect(not missing, f"the captions {missing}", seen)


def test_first_start_shows_the_window_in_english_with_an_empty_list(t):
    program = t.start(t.install())
    program.wait_trace("ready")
    expect(t.window_rect(TITLE) is not None, f'the window "{TITLE}" shown', "none")
    expect_texts(t, ["&Apply", "&Cancel", "Configuration", "Start with &Windows",
                     "Show in Sys&Tray", "&Small Menu Icons", "&Large Menu Icons",
                     "Middle mouse button opens Explorer"])
    help_text = next((x for x in texts(t) if x.startswith("1. Drag and Drop")), None)
    expect(help_text is not None and "\n" not in help_text and help_text.count("\r") == 8,
           "the English help text, nine lines joined by CR alone", help_text)
    expect(t.list_items(TITLE) == [], "an empty list", t.list_items(TITLE))

    app_path = t.reg_query(SETTINGS, "AppPath")
    expect(app_path == "C:\\Program Files\\Jumpnest\\kqrJumpnest.exe",
           '"AppPath" written with the program file', app_path)
    program.wait_trace("language: 0")
    t.screenshot_window(TITLE, t.artifacts / "config-window-en.png")


def test_entry_file_with_three_entries_starts_hidden_and_lists_them(t):
    ini = entry_file(t)
    ini.parent.mkdir(parents=True, exist_ok=True)
    ini.write_bytes(b"Notepad\tC:\\windows\\notepad.exe\r\n"
                    b"no tab on this line\r\n"
                    b"Registry Editor\tC:\\windows\\regedit.exe\r\n"
                    b"Gone\tC:\\windows\\no-such-program.exe\r\n"
                    b"Wine File Explorer\tC:\\windows\\system32\\winefile.exe\r\n")
    exe = t.install()
    program = t.start(exe)
    program.wait_trace("ready")
    expect(t.window_rect(TITLE, 500) is None, "no visible window", "the window shown")
    # The pictures arrive after the start, from a thread of their own.
    program.wait_trace("pictures: 3 loaded", timeout=10)
    items = t.list_items(TITLE)
    expect([text for _, text in items] == ["Notepad", "Registry Editor", "Wine File Explorer"],
           "the three entries in file order", items)
    # Image 0 is the program folder's icon; every entry has an icon of its own.
    expect([image for image, _ in items] == [1, 2, 3], "each entry with its own icon", items)
    expect(t.reg_query(SETTINGS, "AppPath") is None, 'no "AppPath" with an entry file',
           t.reg_query(SETTINGS, "AppPath"))

    # Starting the program again brings the window with the list forward.
    expect(t.start(exe).wait_exit(10) == 0, "the second start to end", "it did not")
    expect(t.window_rect(TITLE) is not None, "the window brought forward", "none")
    t.xdotool("mousemove", "5", "5")
    time.sleep(0.5)
    t.screenshot_window(TITLE, t.artifacts / "config-window-entries.png")


def test_an_empty_entry_file_starts_hidden(t):
    ini = entry_file(t)
    ini.parent.mkdir(parents=True, exist_ok=True)
    ini.write_bytes(b"")
    program = t.start(t.install())
    program.wait_trace("ready")
    expect(t.window_rect(TITLE, 500) is None, "no visible window", "the window shown")
    expect(t.list_items(TITLE) == [], "an empty list", t.list_items(TITLE))


def test_keys_of_the_window_enter_escape_and_f2(t):
    exe = t.install()
    program = t.start(exe)
    program.wait_trace("ready")
    # Enter presses Apply, Escape presses Cancel (both hide the window, so a
    # second start brings it back), F2 chooses Edit > Rename.
    for key, expected in (("Return", "click: cmdButton(0)"), ("Escape", "click: cmdButton(1)"),
                          ("F2", "menu: 1.0")):
        if t.window_rect(TITLE, 300) is None:
            t.start(exe).wait_exit(10)
        x, y, w, h = t.window_rect(TITLE)
        t.xdotool("mousemove", str(x + w // 2), str(y + h // 2))
        seen = len(program.trace_lines())
        t.keys(key)
        program.wait_trace(expected, timeout=5, after=seen)


def test_stored_german_language_gives_german_texts(t):
    t.reg_set(SETTINGS, "Language", "1")
    program = t.start(t.install())
    program.wait_trace("ready")
    expect(t.window_rect(TITLE) is not None, "the window shown on a first start", "none")
    expect_texts(t, ["&Speichern", "&Abbruch", "Konfiguration", "Starten mit &Windows"])
    program.wait_trace("language: 1")


def choose_language(t, index):
    """Language menu, item `index`, with real keys: F10 opens the menu bar on
    File, two steps right reach Language."""
    x, y, w, h = t.window_rect(TITLE)
    t.xdotool("mousemove", str(x + w // 2), str(y + h // 2))
    t.keys("F10", "Right", "Right", "Down", *(["Down"] * index), "Return")


def test_language_menu_switches_every_caption_at_once_and_stores_it(t):
    program = t.start(t.install())
    program.wait_trace("ready")
    expect(t.window_rect(TITLE) is not None, "the window shown", "none")

    for index, language, apply_caption, frame in ((2, "fr", "&Enregistrer", "Configuration"),
                                                  (3, "es", "&Acumular", "Configuración"),
                                                  (1, "de", "&Speichern", "Konfiguration"),
                                                  (0, "en", "&Apply", "Configuration")):
        seen = len(program.trace_lines())
        choose_language(t, index)
        program.wait_trace(f"language: {index}", timeout=5, after=seen)
        expect_texts(t, [apply_caption, frame])
        stored = t.reg_query(SETTINGS, "Language")
        expect(stored == str(index), f'"Language" stored as "{index}" at once', stored)
        t.xdotool("mousemove", "5", "5")  # no tooltip in the picture
        time.sleep(0.5)
        t.screenshot_window(TITLE, t.artifacts / f"config-window-{language}.png")
        if language == "es":
            spanish = [x for x in texts(t) if x.startswith("Botón central")]
            expect(spanish == ["Botón central del ratón\rpara abrir el Explorador de"],
                   "the two-line Spanish option", spanish)

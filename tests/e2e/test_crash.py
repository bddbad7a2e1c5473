"""Crash safety: the program is killed at random moments while it applies edits
over and over. After every kill the entry file holds one whole list, the old
one or the new one.

JUMPNEST_SOAK_KILLS sets the number of kills (a few by default; the long
soak of scripts/soak.sh asks for hundreds), JUMPNEST_SOAK_SEED the random
moments."""

import os
import random
import subprocess
import time

from harness import expect

TITLE = "Jumpnest V1.4"
DOWN, UP, APPLY = 1001, 1000, 1
ENTRIES = 60


def entry_file(t):
    return t.host(f"C:\\ProgramData\\Kelmarsh\\kqrJumpnest\\kqrJumpnest.{t.user}.ini")


def encode(names):
    return b"".join(f"Entry {n}\tC:\\Tools\\entry-{n:03d}.txt\r\n".encode() for n in names)


def test_killed_while_applying_leaves_a_whole_list(t):
    kills = int(os.environ.get("JUMPNEST_SOAK_KILLS", "6"))
    seed = int(os.environ.get("JUMPNEST_SOAK_SEED", str(int(time.time()))))
    moments = random.Random(seed)
    tools = t.host("C:\\Tools")
    tools.mkdir(parents=True, exist_ok=True)
    for n in range(ENTRIES):
        (tools / f"entry-{n:03d}.txt").write_text(f"entry {n}\r\n")
    # The first entry is selected after a start: Down moves it one place on,
    # Up brings it back. Apply after each, and the file is one of these two.
    first = list(range(ENTRIES))
    second = [1, 0] + first[2:]
    lists = {encode(first): "first", encode(second): "second"}
    ini = entry_file(t)
    ini.parent.mkdir(parents=True, exist_ok=True)
    ini.write_bytes(encode(first))
    exe = t.install()
    tool = str(t.build / "tests" / "wintool.exe")

    seen = {"first": 0, "second": 0}
    applies = 0
    for kill in range(kills):
        program = t.start(exe)
        program.wait_trace("ready", timeout=30)
        presser = subprocess.Popen(["wine", tool, "press", TITLE, "5", str(DOWN), str(APPLY),
                                    str(UP), str(APPLY)], env=t.env, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        program.wait_trace("applied", timeout=20)
        time.sleep(moments.uniform(0.0, 1.5))
        program.process.kill()
        program.process.wait(10)
        expect(presser.wait(20) == 0, "the presser to end with the program", "it did not")
        applies += sum(line == "applied" for line in program.trace_lines())

        content = ini.read_bytes()
        expect(content in lists, f"a whole list after kill {kill + 1} (seed {seed})",
               f"{len(content)} bytes: {content[:60]!r}...{content[-60:]!r}")
        seen[lists[content]] += 1
        # What a cut-short save leaves is cleared at the next start.
        leftovers = [p.name for p in ini.parent.iterdir() if p.name.endswith(".tmp")]
        expect(len(leftovers) <= 1, "at most the one save this kill cut short", leftovers)
        expect(t.window_gone(TITLE, 3000), "the program gone after the kill", "its window")
    print(f"     {kills} kills after {applies} applies; lists found: {seen}; seed {seed}")
    expect(applies > kills, "the kills to come amid applying", f"{applies} applies")

"""The release zip: what it holds, and the same bytes whenever the same build is packed."""

import hashlib
import os
import re
import shutil
import subprocess
import zipfile
from pathlib import Path

from harness import expect

ROOT = Path(__file__).resolve().parents[2]
BUILT = ["kqrJumpnest.exe", "jumpnest-help-en.html", "jumpnest-help-de.html"]
NAMES = BUILT + ["README.txt"]


def pack(build, zip_path, **env):
    """Packs with the release script alone (no build); returns its output lines."""
    run = subprocess.run([str(ROOT / "scripts" / "release.sh"), "--pack-only", str(build),
                          str(zip_path)],
                         env=dict(os.environ, **env), capture_output=True, text=True, timeout=120)
    expect(run.returncode == 0, "the packing step to succeed",
           f"exit code {run.returncode}: {run.stderr.strip()}")
    return run.stdout.split()


def test_release_zip_is_reproducible_and_complete(t):
    first = t.dir / "first.zip"
    printed = pack(t.build, first)
    digest = hashlib.sha256(first.read_bytes()).hexdigest()
    expect(printed == [str(first), digest], "the zip's path and SHA-256 printed", printed)

    # The same files in another folder, with other times and modes, packed in
    # another time zone: none of that may reach the zip.
    elsewhere = t.dir / "another" / "build-folder"
    elsewhere.mkdir(parents=True)
    for name in BUILT:
        shutil.copyfile(t.build / name, elsewhere / name)
        os.chmod(elsewhere / name, 0o600)
        os.utime(elsewhere / name, (1_000_000_000, 1_000_000_000))
    second = t.dir / "second.zip"
    pack(elsewhere, second, TZ="Pacific/Auckland")
    expect(first.read_bytes() == second.read_bytes(), "the same zip bytes from both packs",
           f"{digest} and {hashlib.sha256(second.read_bytes()).hexdigest()}")

    with zipfile.ZipFile(first) as archive:
        infos = archive.infolist()
        names = [info.filename for info in infos]
        expect(names == NAMES, f"the entries {NAMES} in this order", names)
        expect(archive.testzip() is None, "every entry's checksum right", archive.testzip())
        extras = {info.filename: info.extra for info in infos if info.extra}
        expect(not extras, "no extra fields", extras)
        times = {info.date_time for info in infos}
        expect(len(times) == 1, "one time for every entry", sorted(times))
        for name in BUILT:
            expect(archive.read(name) == (t.build / name).read_bytes(),
                   f"{name} as built in {t.build}", "other bytes")
        readme = archive.read("README.txt")

    lines = readme.split(b"\r\n")
    expect(len(lines) > 10 and all(b"\n" not in line and b"\r" not in line for line in lines),
           "README.txt with CRLF line ends only", readme[:200])
    text = readme.decode("utf-8")
    cmake = (ROOT / "CMakeLists.txt").read_text(encoding="utf-8")
    version = re.search(r"project\([^)]*VERSION (\d+\.\d+\.\d+)", cmake).group(1)
    expect(f"Version {version}\r\n" in text and "@VERSION@" not in text,
           f"README.txt naming version {version}", text[:200])
    for needed in ("kqrJumpnest.<user>.ini", "HKEY_CURRENT_USER\\Software\\kqrJumpnest",
                   "kqrJumpnest.lnk", "Start with Windows"):
        expect(needed in text, f'README.txt telling of "{needed}"', "no mention")

    # A given SOURCE_DATE_EPOCH is the time of every entry (2001-09-09 01:46:40 UTC).
    dated = t.dir / "dated.zip"
    pack(t.build, dated, SOURCE_DATE_EPOCH="1000000000")
    with zipfile.ZipFile(dated) as archive:
        times = {info.date_time for info in archive.infolist()}
    expect(times == {(2001, 9, 9, 1, 46, 40)}, "every entry dated 2001-09-09 01:46:40",
           sorted(times))

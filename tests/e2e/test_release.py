"""The release zip: what it holds, and the same bytes whenever the same build is packed."""

import hashlib
import os
import re
import shutil
import subprocess
import zipfile
from pathlib import Path

from harness import expect, same

ROOT = Path(__file__).resolve().parents[2]
BUILT = ["kqrJumpnest.exe"] + [f"jumpnest-help-{l}.html" for l in ("en", "de", "fr", "es")]
WINGET = "winget/Kelmarsh.Jumpnest"
BESIDE = ["SHA256SUMS", WINGET + ".yaml", WINGET + ".locale.en-US.yaml", WINGET + ".installer.yaml",
          "scoop/jumpnest.json"]


def check(folder):  # --check on the sums and manifests in folder: (exit code, stderr)
    run = subprocess.run([ROOT / "scripts" / "release.sh", "--check", folder],
                         capture_output=True, text=True, timeout=60)
    return run.returncode, run.stderr


def pack(build, zip_path, **env):  # by the release script alone: {name: (info, bytes)}
    run = subprocess.run([ROOT / "scripts" / "release.sh", "--pack-only", build, zip_path],
                         env=dict(os.environ, **env), capture_output=True, text=True, timeout=120)
    expect(run.returncode == 0, "the packing to succeed", run.stderr)
    same(run.stdout.split(), [str(zip_path), hashlib.sha256(zip_path.read_bytes()).hexdigest()],
         "the zip's path and SHA-256 printed")
    with zipfile.ZipFile(zip_path) as archive:
        expect(archive.testzip() is None, "every entry's checksum right", archive.testzip())
        return {info.filename: (info, archive.read(info)) for info in archive.infolist()}


def test_release_zip_is_reproducible_and_complete(t):
    first = pack(t.build, t.dir / "first.zip")
    same(list(first), BUILT + ["README.txt", "LICENSE"], "the entries in this order")
    same([first[n][1] == (t.build / n).read_bytes() for n in BUILT], [True] * 5, "as built")
    same(first["LICENSE"][1], (ROOT / "LICENSE").read_bytes().replace(b"\n", b"\r\n"), "LICENSE")
    same([(t.dir / n).is_file() for n in BESIDE], [True] * 5, "the sums and manifests written")
    same(check(t.dir), (0, ""), "--check on what the packing wrote")
    digest = hashlib.sha256((t.dir / "first.zip").read_bytes()).hexdigest()
    for name, old, new in [(BESIDE[3], digest.upper(), "0" * 64), (BESIDE[4], digest, "0" * 64),
                           (BESIDE[0], digest, "0" * 64), (BESIDE[2], "License: MIT\n", ""),
                           (BESIDE[4], '"checkver"', '"checkver-gone"')]:
        for each in BESIDE + ["first.zip"]:  # afresh each time
            (tampered := t.dir / "tampered" / each).parent.mkdir(parents=True, exist_ok=True)
            shutil.copyfile(t.dir / each, tampered)
        (edited := t.dir / "tampered" / name).write_text(edited.read_text().replace(old, new))
        code, said = check(t.dir / "tampered")
        expect(code == 1 and name in said, f"--check failing on {name} without {old!r}", said)
    same({info.extra for info, _ in first.values()}, {b""}, "the entries' extra fields")
    same(len({info.date_time for info, _ in first.values()}), 1, "how many times entries have")
    readme = first["README.txt"][1]
    expect(all(b"\r" not in x and b"\n" not in x for x in readme.split(b"\r\n")[:-1]) and
           readme.count(b"\r\n") > 10, "README.txt with CRLF line ends only", readme[:200])
    version = re.search(r"project\([^)]*VERSION (\d+\.\d+\.\d+)",
                        (ROOT / "CMakeLists.txt").read_text())[1]
    for needed in (f"Version {version}\r\n", "kqrJumpnest.<user>.ini", "kqrJumpnest.lnk",
                   "HKEY_CURRENT_USER\\Software\\kqrJumpnest", "Start with Windows"):
        expect(needed in readme.decode(), f'README.txt telling "{needed}"', readme[:300])
    expect(b"@VERSION@" not in readme, "no placeholder left in README.txt", readme[:300])

    # Other folders, times and modes, another time zone: none of that may reach the zip.
    (elsewhere := t.dir / "another" / "build-folder").mkdir(parents=True)
    for name in BUILT:
        shutil.copyfile(t.build / name, elsewhere / name)
        os.chmod(elsewhere / name, 0o600)
        os.utime(elsewhere / name, (1_000_000_000, 1_000_000_000))
    pack(elsewhere, t.dir / "second.zip", TZ="Pacific/Auckland")
    expect((t.dir / "first.zip").read_bytes() == (t.dir / "second.zip").read_bytes(),
           "the same zip bytes from both packs", "other bytes")
    # A given SOURCE_DATE_EPOCH is the time of every entry (2001-09-09 01:46:40 UTC).
    dated = pack(t.build, t.dir / "dated.zip", SOURCE_DATE_EPOCH="1000000000")
    same({info.date_time for info, _ in dated.values()}, {(2001, 9, 9, 1, 46, 40)}, "the times")

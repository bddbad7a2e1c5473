"""The release zip: what it holds, the same bytes whenever the same build is packed, and the sums
and manifests written from it, which --check holds to the zip."""

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
BESIDE = ["SHA256SUMS", "scoop/jumpnest.json"] + [f"winget/Kelmarsh.Jumpnest{kind}.yaml"
                                                  for kind in ("", ".locale.en-US", ".installer")]


def release(*args, **env):  # the release script: (exit code, output, errors)
    run = subprocess.run([ROOT / "scripts" / "release.sh", *map(str, args)], capture_output=True,
                         env=dict(os.environ, **env), text=True, timeout=120)
    return run.returncode, run.stdout, run.stderr


def pack(build, zip_path, **env):  # {name: (info, bytes)}
    code, printed, said = release("--pack-only", build, zip_path, **env)
    expect(code == 0 and printed.split() == [str(zip_path), hashlib.sha256(
        zip_path.read_bytes()).hexdigest()], "the packing done, its zip's path and SHA-256", said)
    with zipfile.ZipFile(zip_path) as archive:
        expect(archive.testzip() is None, "every entry's checksum right", archive.testzip())
        return {info.filename: (info, archive.read(info)) for info in archive.infolist()}


def test_release_zip_is_reproducible_and_complete(t):
    first = pack(t.build, (out := t.dir / "out") / "first.zip")
    same(list(first), BUILT + ["README.txt", "LICENSE"], "the entries in this order")
    same([first[n][1] == (t.build / n).read_bytes() for n in BUILT], [True] * 5, "as built")
    same(first["LICENSE"][1], (ROOT / "LICENSE").read_bytes().replace(b"\n", b"\r\n"), "LICENSE")
    same(release("--check", out)[::2], (0, ""), "--check on the sums and manifests written")
    digest = hashlib.sha256((out / "first.zip").read_bytes()).hexdigest()
    for name, old, new in [(BESIDE[4], digest.upper(), "0" * 64), (BESIDE[1], digest, "0" * 64),
                           (BESIDE[0], digest, "0" * 64), (BESIDE[3], "License: MIT\n", ""),
                           (BESIDE[1], '"checkver"', '"checkver-gone"')]:
        shutil.copytree(out, tampered := t.dir / "tampered", dirs_exist_ok=True)
        (tampered / name).write_text((tampered / name).read_text().replace(old, new))
        code, _, said = release("--check", tampered)
        expect(code == 1 and name in said, f"--check failing on {name} without {old!r}", said)
    same({info.extra for info, _ in first.values()}, {b""}, "the entries' extra fields")
    same(len({info.date_time for info, _ in first.values()}), 1, "how many times entries have")
    readme = first["README.txt"][1]
    expect(all(b"\r" not in x and b"\n" not in x for x in readme.split(b"\r\n")[:-1]) and
           readme.count(b"\r\n") > 10, "README.txt with CRLF line ends only", readme[:200])
    version = re.search(r"VERSION (\d+\.\d+\.\d+)", (ROOT / "CMakeLists.txt").read_text())[1]
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
    expect((out / "first.zip").read_bytes() == (t.dir / "second.zip").read_bytes(),
           "the same zip bytes from both packs", "other bytes")
    # A given SOURCE_DATE_EPOCH is the time of every entry (2001-09-09 01:46:40 UTC).
    dated = pack(t.build, t.dir / "dated.zip", SOURCE_DATE_EPOCH="1000000000")
    same({info.date_time for info, _ in dated.values()}, {(2001, 9, 9, 1, 46, 40)}, "the times")

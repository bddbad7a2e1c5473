#!/usr/bin/env bash
# Makes the release zip build/release/kqrJumpnest-<version>-win64.zip: the stripped
# Release exe, the four help pages, README.txt for Windows users and LICENSE.
# Beside the zip it writes, from the zip's bytes, SHA256SUMS, the winget
# manifests (winget/Kelmarsh.Jumpnest*.yaml) and the Scoop manifest
# (scoop/jumpnest.json), which point at the zip on the releases page below.
#
#   scripts/release.sh                              build from a clean configure, pack
#   scripts/release.sh --check                      build twice in two fresh folders,
#                                                   fail unless the two zips are equal
#   scripts/release.sh --check DIR                  fail, naming the problem, unless the
#                                                   sums and manifests in DIR are complete
#                                                   and agree with the zip there
#   scripts/release.sh --pack-only BUILD_DIR ZIP    only pack what BUILD_DIR holds
#
# The same commit gives the same zip bytes: the exe carries no link time and no
# build path, and every zip entry has a fixed order, time and mode. The entry
# time is SOURCE_DATE_EPOCH if set, else the commit's time, else a fixed date.
set -euo pipefail
# shellcheck source=scripts/lib.sh
source "$(dirname "$0")/lib.sh"

# Where each release's zip is published: @VERSION@ and @ZIP@ are filled in.
RELEASE_URL="https://github.com/kelmarsh/jumpnest/releases/download/v@VERSION@/@ZIP@"
HOMEPAGE="https://github.com/kelmarsh/jumpnest"

RELEASE="$BUILD/release"
# 2000-01-01 00:00:00 UTC, for a tree that is not a git checkout.
FALLBACK_EPOCH=946684800

usage() {
  echo "usage: $0 [--check [DIR] | --pack-only BUILD_DIR OUT_ZIP]" >&2
  exit 2
}

project_version() {
  sed -n 's/^project([^)]*VERSION \([0-9][0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt" | head -n 1
}

entry_epoch() {
  if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
    echo "$SOURCE_DATE_EPOCH"
  else
    git -C "$ROOT" log -1 --format=%ct 2>/dev/null || echo "$FALLBACK_EPOCH"
  fi
}

# Debian's own Python, when there is one: its zlib is the packaged one, and the
# deflated bytes depend on the zlib version.
run_python() {
  if [ -x /usr/bin/python3 ]; then /usr/bin/python3 "$@"; else python3 "$@"; fi
}

# build_release DIR: the Release exe in DIR from a clean configure, without the
# tests and without flags from the caller's environment.
build_release() {
  local dir=$1
  say "Building the release exe in ${dir#"$ROOT"/}"
  rm -rf "$dir"
  env -u CFLAGS -u CXXFLAGS -u CPPFLAGS -u LDFLAGS -u RCFLAGS -u CMAKE_GENERATOR \
    cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DJUMPNEST_BUILD_TESTS=OFF -DJUMPNEST_WARNINGS_AS_ERRORS=ON >/dev/null
  cmake --build "$dir" --target kqrJumpnest
}

# pack BUILD_DIR OUT_ZIP: the zip from the exe and help pages in BUILD_DIR.
pack() {
  local dir=$1 zip=$2
  local file
  for file in kqrJumpnest.exe jumpnest-help-{en,de,fr,es}.html; do
    [ -f "$dir/$file" ] || { echo "release: $dir/$file is missing" >&2; exit 1; }
  done
  mkdir -p "$(dirname "$zip")"
  run_python - "$dir" "$zip" "$ROOT/res/release/README.txt" "$ROOT/LICENSE" \
    "$(project_version)" "$(entry_epoch)" <<'EOF'
import os
import sys
import time
import zipfile

build, out, readme, licence, version, epoch = sys.argv[1:]

def text(path):  # CRLF line ends, for Notepad
    text = open(path, encoding="utf-8").read().replace("@VERSION@", version)
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")

def read(name):
    with open(os.path.join(build, name), "rb") as f:
        return f.read()

entries = [
    ("kqrJumpnest.exe", read("kqrJumpnest.exe")),
    ("jumpnest-help-en.html", read("jumpnest-help-en.html")),
    ("jumpnest-help-de.html", read("jumpnest-help-de.html")),
    ("jumpnest-help-fr.html", read("jumpnest-help-fr.html")),
    ("jumpnest-help-es.html", read("jumpnest-help-es.html")),
    ("README.txt", text(readme)),
    ("LICENSE", text(licence)),
]

# Zip times have no zone and a two-second step; the earliest is 1980.
stamp = max(int(epoch), 315532800)
date_time = time.gmtime(stamp)[:6]

temporary = out + ".part"
with zipfile.ZipFile(temporary, "w") as archive:
    for name, data in entries:
        info = zipfile.ZipInfo(name, date_time)
        info.compress_type = zipfile.ZIP_DEFLATED
        info.create_system = 3  # Unix, whatever machine packs it
        info.external_attr = 0o100644 << 16
        archive.writestr(info, data, compresslevel=9)
os.replace(temporary, out)
EOF
  publish "$zip"
}

# publish ZIP: SHA256SUMS and the package manifests beside ZIP, from its bytes.
publish() {
  run_python - "$1" "$(project_version)" "$RELEASE_URL" "$HOMEPAGE" <<'EOF'
import hashlib
import json
import os
import sys

zip_path, version, url, homepage = sys.argv[1:]
folder, name = os.path.split(os.path.abspath(zip_path))
digest = hashlib.sha256(open(zip_path, "rb").read()).hexdigest()
url = url.replace("@VERSION@", version).replace("@ZIP@", name)
ident, schema = "Kelmarsh.Jumpnest", "1.10.0"
summary = "Your programs and documents in a small menu at the mouse: left Ctrl + right click."

def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)

def manifest(kind, fields):
    head = (f"# yaml-language-server: $schema=https://aka.ms/winget-manifest.{kind}.{schema}"
            f".schema.json\nPackageIdentifier: {ident}\nPackageVersion: {version}\n")
    return head + fields + f"ManifestType: {kind}\nManifestVersion: {schema}\n"

write(os.path.join(folder, "SHA256SUMS"), f"{digest}  {name}\n")
winget = os.path.join(folder, "winget", ident)
write(winget + ".yaml", manifest("version", "DefaultLocale: en-US\n"))
write(winget + ".locale.en-US.yaml", manifest("defaultLocale", f"""PackageLocale: en-US
Publisher: Kelmarsh
PackageName: Jumpnest
PackageUrl: {homepage}
License: MIT
ShortDescription: {summary}
Moniker: jumpnest
"""))
write(winget + ".installer.yaml", manifest("installer", f"""InstallerType: zip
NestedInstallerType: portable
NestedInstallerFiles:
- RelativeFilePath: kqrJumpnest.exe
  PortableCommandAlias: kqrJumpnest
Installers:
- Architecture: x64
  InstallerUrl: {url}
  InstallerSha256: {digest.upper()}
"""))
scoop = {
    "version": version, "description": summary, "homepage": homepage, "license": "MIT",
    "url": url, "hash": digest, "bin": "kqrJumpnest.exe",
    "shortcuts": [["kqrJumpnest.exe", "Jumpnest"]],
    "checkver": {"github": homepage},
    "autoupdate": {"url": url.replace(version, "$version")},
}
write(os.path.join(folder, "scoop", "jumpnest.json"), json.dumps(scoop, indent=4) + "\n")
EOF
}

# verify DIR: the sums and manifests in DIR complete and true to the zip they name.
verify() {
  run_python - "$1" <<'EOF'
import hashlib
import json
import os
import re
import sys

folder = sys.argv[1]
problems = []

def read(name):
    try:
        return open(os.path.join(folder, name), encoding="utf-8").read()
    except OSError as error:
        problems.append(f"{name}: {error.strerror}")
        return ""

sums = re.fullmatch(r"([0-9a-f]{64})  (\S+\.zip)\n", read("SHA256SUMS"))
if not sums:
    sys.exit(f"release: {folder}: SHA256SUMS is not one line '<sha256>  <zip>'")
digest, zip_name = sums.groups()
try:
    actual = hashlib.sha256(open(os.path.join(folder, zip_name), "rb").read()).hexdigest()
except OSError as error:
    sys.exit(f"release: {folder}: {zip_name}: {error.strerror}")
if digest != actual:
    problems.append(f"SHA256SUMS: {zip_name} has {actual}, not {digest}")

def fields(name):  # "Key: value" lines, a list item's dash dropped; a list's key holds "list"
    found = {}
    for line in read(name).splitlines():
        match = re.match(r"\s*(?:- )?(\w+):(?:\s+(\S.*))?$", line)
        if match:
            found.setdefault(match[1], (match[2] or "list").strip())
    return found

base = "winget/Kelmarsh.Jumpnest"
for suffix, wanted in [
        ("", {"DefaultLocale": None, "ManifestType": "version"}),
        (".locale.en-US", {"PackageLocale": None, "Publisher": None, "PackageName": None,
                           "License": "MIT", "ShortDescription": None,
                           "ManifestType": "defaultLocale"}),
        (".installer", {"InstallerType": "zip", "NestedInstallerType": "portable",
                        "NestedInstallerFiles": "list", "RelativeFilePath": "kqrJumpnest.exe",
                        "PortableCommandAlias": "kqrJumpnest", "Installers": "list",
                        "Architecture": "x64", "InstallerUrl": None,
                        "InstallerSha256": actual.upper(), "ManifestType": "installer"})]:
    name = base + suffix + ".yaml"
    found = fields(name)
    wanted.update(PackageIdentifier="Kelmarsh.Jumpnest", PackageVersion=None,
                  ManifestVersion="1.10.0")
    for key, value in wanted.items():
        if not found.get(key):
            problems.append(f"{name}: no {key}")
        elif value is not None and found[key] != value:
            problems.append(f"{name}: {key} is {found[key]!r}, not {value!r}")
    if "InstallerUrl" in wanted and not found.get("InstallerUrl", "").endswith("/" + zip_name):
        problems.append(f"{name}: InstallerUrl does not name {zip_name}")

try:
    scoop = json.loads(read("scoop/jumpnest.json") or "{}")
except ValueError as error:
    problems.append(f"scoop/jumpnest.json: not JSON ({error})")
    scoop = {}
for key in ("version", "description", "homepage", "license", "url", "hash", "bin",
            "shortcuts", "checkver", "autoupdate"):
    if not scoop.get(key):
        problems.append(f"scoop/jumpnest.json: no {key}")
if scoop.get("hash") and scoop["hash"].lower().removeprefix("sha256:") != actual:
    problems.append(f"scoop/jumpnest.json: hash is {scoop['hash']}, not {actual}")
if scoop.get("url") and not scoop["url"].endswith("/" + zip_name):
    problems.append(f"scoop/jumpnest.json: url does not name {zip_name}")

for problem in problems:
    print(f"release: {folder}: {problem}", file=sys.stderr)
sys.exit(1 if problems else 0)
EOF
}

report() {
  local zip=$1
  echo "$zip"
  sha256sum "$zip" | cut -d' ' -f1
}

mode=release
case "${1:-}" in
  "") [ $# -eq 0 ] || usage ;;
  --check)
    case $# in 1) mode=check ;; 2) mode=verify ;; *) usage ;; esac ;;
  --pack-only) [ $# -eq 3 ] || usage; mode=pack ;;
  *) usage ;;
esac

version=$(project_version)
[ -n "$version" ] || { echo "release: no project version in CMakeLists.txt" >&2; exit 1; }
name="kqrJumpnest-$version-win64.zip"

case $mode in
  verify)
    verify "$2"
    say "The sums and manifests in $2 agree with the zip"
    ;;
  pack)
    pack "$2" "$3"
    report "$3"
    ;;
  release)
    install_packages
    build_release "$RELEASE/win"
    pack "$RELEASE/win" "$RELEASE/$name"
    report "$RELEASE/$name"
    ;;
  check)
    install_packages
    # Folder names of different lengths: a build path that leaks into the exe
    # shows as a difference.
    first="$RELEASE/check/a"
    second="$RELEASE/check/second-build"
    build_release "$first"
    build_release "$second"
    pack "$first" "$RELEASE/check/first-$name"
    pack "$second" "$RELEASE/check/second-$name"
    report "$RELEASE/check/first-$name"
    report "$RELEASE/check/second-$name"
    if ! cmp "$first/kqrJumpnest.exe" "$second/kqrJumpnest.exe" ||
      ! cmp "$RELEASE/check/first-$name" "$RELEASE/check/second-$name"; then
      echo "release: the two builds differ" >&2
      exit 1
    fi
    say "Both builds gave the same zip"
    ;;
esac

#!/usr/bin/env bash
# Makes the release zip build/release/kqrJumpnest-<version>-win64.zip: the stripped
# Release exe, the two help pages and README.txt for Windows users.
#
#   scripts/release.sh                              build from a clean configure, pack
#   scripts/release.sh --check                      build twice in two fresh folders,
#                                                   fail unless the two zips are equal
#   scripts/release.sh --pack-only BUILD_DIR ZIP    only pack what BUILD_DIR holds
#
# The same commit gives the same zip bytes: the exe carries no link time and no
# build path, and every zip entry has a fixed order, time and mode. The entry
# time is SOURCE_DATE_EPOCH if set, else the commit's time, else a fixed date.
set -euo pipefail
# shellcheck source=scripts/lib.sh
source "$(dirname "$0")/lib.sh"

RELEASE="$BUILD/release"
# 2000-01-01 00:00:00 UTC, for a tree that is not a git checkout.
FALLBACK_EPOCH=946684800

usage() {
  echo "usage: $0 [--check | --pack-only BUILD_DIR OUT_ZIP]" >&2
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
  for file in kqrJumpnest.exe jumpnest-help-en.html jumpnest-help-de.html; do
    [ -f "$dir/$file" ] || { echo "release: $dir/$file is missing" >&2; exit 1; }
  done
  mkdir -p "$(dirname "$zip")"
  run_python - "$dir" "$zip" "$ROOT/res/release/README.txt" "$(project_version)" \
    "$(entry_epoch)" <<'EOF'
import os
import sys
import time
import zipfile

build, out, readme, version, epoch = sys.argv[1:]

text = open(readme, encoding="utf-8").read().replace("@VERSION@", version)
readme_bytes = text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")

def read(name):
    with open(os.path.join(build, name), "rb") as f:
        return f.read()

entries = [
    ("kqrJumpnest.exe", read("kqrJumpnest.exe")),
    ("jumpnest-help-en.html", read("jumpnest-help-en.html")),
    ("jumpnest-help-de.html", read("jumpnest-help-de.html")),
    ("README.txt", readme_bytes),
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
}

report() {
  local zip=$1
  echo "$zip"
  sha256sum "$zip" | cut -d' ' -f1
}

mode=release
case "${1:-}" in
  "") [ $# -eq 0 ] || usage ;;
  --check) [ $# -eq 1 ] || usage; mode=check ;;
  --pack-only) [ $# -eq 3 ] || usage; mode=pack ;;
  *) usage ;;
esac

version=$(project_version)
[ -n "$version" ] || { echo "release: no project version in CMakeLists.txt" >&2; exit 1; }
name="kqrJumpnest-$version-win64.zip"

case $mode in
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

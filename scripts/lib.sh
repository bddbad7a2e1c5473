# Shared by run.sh and test.sh: packages, builds, Wine prefixes, X displays.
# shellcheck shell=bash

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="$ROOT/build"

# Debian packages the two commands need.
PACKAGES=(cmake ninja-build g++ googletest g++-mingw-w64-x86-64 wine wine64 xvfb xdotool
          imagemagick x11-utils python3 libx11-dev clang libclang-rt-14-dev
          fonts-dejavu-core fonts-wine)

# Each step's heading says how long the command has run so far.
export JUMPNEST_STARTED=${JUMPNEST_STARTED:-$(date +%s)}
say() { printf '\033[1m==> %s\033[0m (at %d s)\n' "$*" $(($(date +%s) - JUMPNEST_STARTED)); }

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_packages() {
  local missing=()
  for pkg in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  say "Installing ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
}

# build_windows [TARGET...]: the named targets, or all of them.
build_windows() {
  say "Building kqrJumpnest.exe (MinGW-w64, x86-64)"
  cmake -S "$ROOT" -B "$BUILD/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DJUMPNEST_WARNINGS_AS_ERRORS=ON >/dev/null
  cmake --build "$BUILD/win" ${1:+--target "$@"}
}

build_native() {
  say "Building the portable library and its unit tests (native)"
  cmake -S "$ROOT" -B "$BUILD/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DJUMPNEST_WARNINGS_AS_ERRORS=ON >/dev/null
  cmake --build "$BUILD/native"
}

wine_env() {
  export WINEDEBUG=-all
  # No .NET or HTML engine: they are not needed and would be downloaded.
  export WINEDLLOVERRIDES="mscoree,mshtml="
}

# make_prefix DIR: a fresh 64-bit Wine prefix with a virtual desktop, so every
# window of the program lives in one X window that takes real X input.
make_prefix() {
  local prefix=$1
  rm -rf "$prefix"
  mkdir -p "$prefix"
  WINEPREFIX="$prefix" wineboot -i >/dev/null 2>&1
  WINEPREFIX="$prefix" wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f \
    >/dev/null 2>&1
  WINEPREFIX="$prefix" wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default \
    /d 1280x800 /f >/dev/null 2>&1
  # The desktop setting is read by the next explorer that starts.
  WINEPREFIX="$prefix" wineserver -w
  # Wine's own Marlett: without it the caption buttons and check marks show
  # the letters that stand for its glyphs.
  cp /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/"
}

# start_xvfb: starts a private X display and sets DISPLAY and XVFB_PID. Xvfb
# picks a free display itself and names it once it takes connections, so two
# test runs starting at once never share one.
start_xvfb() {
  local named
  named=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$named" >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 200); do
    [ -s "$named" ] && break
    sleep 0.05
  done
  export DISPLAY=":$(tr -d '[:space:]' <"$named")"
  rm -f "$named"
}

stop_xvfb() {
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
  XVFB_PID=
}

# prepare_wine_run NAME: what the longer commands need before they run the
# program: the packages, the Windows build, a private X display (stopped on
# exit) and a fresh template prefix, $BUILD/NAME/template, named by TEMPLATE.
prepare_wine_run() {
  install_packages || { echo "could not install the packages"; exit 1; }
  build_windows || { echo "FAILED: Windows build"; exit 1; }
  wine_env
  start_xvfb
  trap 'stop_xvfb' EXIT
  say "Private X display $DISPLAY; making a template Wine prefix"
  TEMPLATE="$BUILD/$1/template"
  make_prefix "$TEMPLATE"
}

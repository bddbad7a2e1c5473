#!/usr/bin/env bash
# Installs what is missing, builds Jumpnest and starts it under Wine in a Wine
# desktop window on your display, in a Wine prefix of its own.
#
#   ./run.sh          start (the first run seeds a small demo list of entries)
#   ./run.sh --clean  throw the prefix away and start clean, without the demo list
#
# Without a display it uses a private Xvfb display, says so, opens the popup with
# the real gesture and leaves a screenshot of it in build/run-screenshot.png.
set -euo pipefail
source "$(dirname "$0")/scripts/lib.sh"

clean=0
case "${1:-}" in
  --clean) clean=1 ;;
  "") ;;
  *) echo "usage: $0 [--clean]" >&2; exit 2 ;;
esac

install_packages
build_windows
wine_env

export WINEPREFIX="${JUMPNEST_PREFIX:-$HOME/.local/share/jumpnest/wine}"
if [ $clean -eq 1 ]; then
  say "Starting clean: removing $WINEPREFIX"
  rm -rf "$WINEPREFIX"
fi

headless=0
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  headless=1
  start_xvfb
  say "No display found: using a private Xvfb display $DISPLAY"
fi
stop() {
  wineserver -k >/dev/null 2>&1 || true
  stop_xvfb
}
trap stop EXIT

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  say "Making the Wine prefix $WINEPREFIX (once, about ten seconds)"
  make_prefix "$WINEPREFIX"
  if [ $clean -eq 0 ]; then
    # A demo list of programs Wine has, so the launcher can be tried at once.
    user=$(WINEPREFIX="$WINEPREFIX" wine cmd /c 'echo %USERNAME%' 2>/dev/null | tr -d '\r')
    data="$WINEPREFIX/drive_c/ProgramData/Kelmarsh/kqrJumpnest"
    mkdir -p "$data"
    printf 'Notepad\tC:\\windows\\notepad.exe\r\nRegistry Editor\tC:\\windows\\regedit.exe\r\nWine File Explorer\tC:\\windows\\system32\\winefile.exe\r\n' \
      >"$data/kqrJumpnest.$user.ini"
    say "Seeded a demo list: Notepad, Registry Editor, Wine File Explorer"
  fi
fi

program_dir="$WINEPREFIX/drive_c/Program Files/Jumpnest"
mkdir -p "$program_dir"
cp "$BUILD/win/kqrJumpnest.exe" "$BUILD"/win/jumpnest-help-*.html "$program_dir/"
exe='C:\Program Files\Jumpnest\kqrJumpnest.exe'

# Start the Wine server away from this terminal's pipes.
wineserver -p </dev/null >/dev/null 2>&1 || true

if [ $headless -eq 0 ]; then
  say "Jumpnest runs inside the Wine desktop window (Wine only sees input aimed at it)."
  say "Hold the left Ctrl key and right-click in that window. Ctrl+C here stops it."
  wine "$exe" </dev/null || true
else
  trace="$WINEPREFIX/drive_c/jumpnest-run-trace.txt"
  rm -f "$trace"
  JUMPNEST_TRACE='C:\jumpnest-run-trace.txt' wine "$exe" </dev/null >/dev/null 2>&1 &
  for _ in $(seq 200); do
    grep -q '^ready' "$trace" 2>/dev/null && break
    sleep 0.1
  done
  if ! grep -q '^ready' "$trace" 2>/dev/null; then
    echo "Jumpnest did not start; its trace:" && cat "$trace" 2>/dev/null
    exit 1
  fi
  # The entries' pictures come from a thread of their own, after the start.
  for _ in $(seq 100); do
    grep -q '^pictures: ' "$trace" && break
    sleep 0.1
  done
  # The real gesture, as a user would make it: hold the left Ctrl key and right-click on
  # the Wine desktop. Keys go to the focused X window: the last "Wine desktop" one.
  for _ in $(seq 100); do
    desktop=$(xdotool search --name "Wine desktop" 2>/dev/null | tail -n 1) && [ -n "$desktop" ] &&
      break
    sleep 0.05
  done
  xdotool mousemove 500 300 windowfocus "$desktop" keydown Control_L click 3 keyup Control_L
  for _ in $(seq 100); do
    grep -qE '^(popup opened|trigger: no entries)' "$trace" 2>/dev/null && break
    sleep 0.05
  done
  if ! grep -qE '^(popup opened|trigger: no entries)' "$trace"; then
    echo "The gesture opened nothing; Jumpnest's trace:" && cat "$trace"
    exit 1
  fi
  # The popup fades in: the picture is taken once two looks at the screen agree.
  last=
  for _ in $(seq 60); do
    now=$(import -window root -depth 8 rgb:- | md5sum)
    [ "$now" = "$last" ] && break
    last=$now
  done
  import -window root "$BUILD/run-screenshot.png"
  say "Jumpnest started and its popup opened. Screenshot: build/run-screenshot.png (stopping it now: nobody can use this display)"
fi

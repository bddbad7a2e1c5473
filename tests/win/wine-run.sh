#!/usr/bin/env bash
# Runs a Windows test program under Wine for CTest. The wineserver is started
# first, away from CTest's pipes: Wine's helpers would inherit them, and CTest
# would wait for them.
set -u
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# JUMPNEST_TEST_DPI runs the tests at another display scale, in a copy of the
# prefix of its own.
dpi=${JUMPNEST_TEST_DPI:-}
base=${WINEPREFIX:-$HOME/.cache/jumpnest/wine-tests}
export WINEPREFIX=$base${dpi:+-$dpi}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  if [ -n "$dpi" ] && [ -f "$base/system.reg" ]; then
    cp -a "$base" "$WINEPREFIX"
  else
    mkdir -p "$WINEPREFIX" && wineboot -i </dev/null >/dev/null 2>&1
    # A virtual desktop, as test.sh's prefixes have: without one Wine waits two
    # seconds for a window manager whenever a window or a tray icon goes away.
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x800 /f </dev/null \
      >/dev/null 2>&1
  fi
  for key in 'HKCU\Control Panel\Desktop' \
    'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    [ -z "$dpi" ] || wine reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f </dev/null >/dev/null 2>&1
  done
  wineserver -w
fi
# 0: just started, 2: already running.
wineserver -p </dev/null >/dev/null 2>&1 && wine cmd /c exit </dev/null >/dev/null 2>&1
# A user of the desktop for as long as CTest runs: Wine closes a desktop a
# second after its last user ends, and each test, a process of its own, would
# start one anew and wait for it to close (it holds CTest's output pipe).
stay=$(dirname "$1")/wintool.exe watcher="$WINEPREFIX/jumpnest-stay.pid" ctest=$PPID
if [ -f "$stay" ] && ! kill -0 "$(cat "$watcher" 2>/dev/null)" 2>/dev/null; then
  (
    wine "$stay" stay &
    while kill -0 "$ctest" 2>/dev/null; do sleep 1; done
    kill $!
  ) </dev/null >/dev/null 2>&1 &
  echo $! >"$watcher"
fi
exec wine "$@"

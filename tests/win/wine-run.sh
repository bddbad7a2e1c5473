#!/usr/bin/env bash
# Runs a Windows test program under Wine for CTest. The wineserver is started
# first, away from CTest's pipes: Wine's helpers would inherit them, and CTest
# would wait for them.
set -u
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEPREFIX=${WINEPREFIX:-$HOME/.cache/jumpnest/wine-tests}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX" && wineboot -i </dev/null >/dev/null 2>&1
  # A virtual desktop, as test.sh's prefixes have: without one Wine waits two
  # seconds for a window manager whenever a window or a tray icon goes away.
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x800 /f </dev/null \
    >/dev/null 2>&1
  wineserver -w
fi
# 0: just started, 2: already running.
wineserver -p </dev/null >/dev/null 2>&1 && wine cmd /c exit </dev/null >/dev/null 2>&1
exec wine "$@"

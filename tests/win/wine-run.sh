#!/usr/bin/env bash
# Runs a Windows test program under Wine for CTest.
#
# Plain `wine` as a test runner costs seconds per test or hangs: wineserver and
# Wine's helper processes inherit the pipes of whoever started them, and CTest
# waits for every writer. So a persistent wineserver is started once, away from
# any pipe, and then wine runs the test.
set -u
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ -z "${WINEPREFIX:-}" ]; then
  export WINEPREFIX="${HOME}/.cache/jumpnest/wine-tests"
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i </dev/null >/dev/null 2>&1
fi
if wineserver -p </dev/null >/dev/null 2>&1; then  # 0: just started, 2: already running
  wine cmd /c exit </dev/null >/dev/null 2>&1
fi
exec wine "$@"
